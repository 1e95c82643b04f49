// The Update Device page: the port list, the firmware and configuration
// choices, and the update itself with its progress window: a list of the
// steps with a mark each, the updater's output, and the next device.
#pragma once

#include "app/UpdateService.h"
#include "ui/Page.h"

#include <QPointer>
#include <QTimer>
#include <functional>

class QCheckBox;
class QDialog;
class QLabel;
class QListWidget;
class QPlainTextEdit;
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
    void setTimings(const app::UpdateTimings &timings) { m_service->setTimings(timings); }
    // The outcome of the last update, for whoever asks after it.
    const app::UpdateOutcome &lastOutcome() const { return m_lastOutcome; }
    bool updateRunning() const { return m_service->isRunning(); }
    // An update program has not ended yet, possibly after its update was
    // reported: closing the program now would leave the device half written.
    bool updaterRunning() const { return m_service->updaterRunning(); }

    // The marks of the step list.
    enum class StepState { Waiting, Running, Done, Failed, Skipped };
    // The lines of the details pane that are kept.
    static constexpr int kDetailLines = 500;

signals:
    // No configuration is open: there is nothing to save and update.
    void nameNeeded();
    // An update has ended and its box, if any, was shown.
    void updateFinished(const app::UpdateOutcome &outcome);
    // An update program reported as still running has ended and its box was shown.
    void updaterEnded(const app::UpdateOutcome &outcome);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void updateDevice();
    void updateAnotherDevice();
    void openDialog();
    void startRun(bool nextDevice);
    void stageStarted(app::UpdateStage stage);
    void showStage();
    void setStep(int row, StepState state);
    void updateFinishedWith(const app::UpdateOutcome &outcome);
    void showOutcome(const app::UpdateOutcome &outcome);

    std::function<bool()> m_save;
    app::UpdateService *m_service = nullptr;
    PortComboBox *m_ports = nullptr;
    QCheckBox *m_writeFirmware = nullptr;
    QCheckBox *m_writeConfiguration = nullptr;
    SvgPicture *m_busy = nullptr;
    QPointer<QDialog> m_dialog;
    QListWidget *m_steps = nullptr;
    QPlainTextEdit *m_details = nullptr;
    QLabel *m_result = nullptr;
    QPushButton *m_cancel = nullptr;
    QPushButton *m_another = nullptr;
    QPushButton *m_close = nullptr;
    QTimer m_clockTick; // the elapsed time of the updater, once a second
    int m_attempt = 0;
    int m_readAttempt = 0;
    int m_device = 0; // the running number of the device in this series
    app::UpdateRequest m_request;
    app::UpdateOutcome m_lastOutcome;
};

} // namespace ui
