// The Update Device page: the port list, the firmware and configuration
// choices, and the update itself with its progress window.
#pragma once

#include "app/DeviceUpdate.h"
#include "ui/Page.h"

#include <functional>

class QCheckBox;
class QLabel;
class QProgressDialog;
class QPushButton;

namespace ui {

class PortComboBox;
class SvgPicture;

class UpdatePage : public Page
{
    Q_OBJECT
public:
    // save: the one save operation; an update starts only from a saved configuration.
    UpdatePage(PageContext &context, std::function<bool()> save, QWidget *parent = nullptr);
    // Lists the ports again, the last one used chosen.
    void pageShown() override;

    // The pauses of the update; tests shorten them.
    void setTimings(const app::UpdateTimings &timings) { m_timings = timings; }
    // The outcome of the last update, for whoever asks after it.
    const app::UpdateOutcome &lastOutcome() const { return m_lastOutcome; }

signals:
    // No configuration is open: there is nothing to save and update.
    void nameNeeded();

private:
    void updateDevice();
    void showProgress(QProgressDialog &dialog, QPushButton &cancel, const app::UpdateProgress &progress);

    std::function<bool()> m_save;
    PortComboBox *m_ports = nullptr;
    QCheckBox *m_writeFirmware = nullptr;
    QCheckBox *m_writeConfiguration = nullptr;
    SvgPicture *m_busy = nullptr;
    app::UpdateTimings m_timings;
    app::UpdateOutcome m_lastOutcome;
    bool m_running = false;
};

} // namespace ui
