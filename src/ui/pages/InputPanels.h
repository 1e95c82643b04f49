// The parts of the input page: an event block (built six times: two edges of
// each digital input, high and low of the analog input), the digital input
// panel (built twice) and the analog input panel.
#pragma once

#include "config/Configuration.h"
#include "ui/widgets/SmsTableEditor.h"

#include <QWidget>

class QCheckBox;
class QLineEdit;

namespace ui {

class Binder;
class ClickPanel;

struct EventDef
{
    const char *input; // "DI1", "DI2", "AI1": the middle of the controls' names
    const char *event; // "F0T1", "F1T0", "High", "Low"
    const char *icon;  // the edge or level picture
    TableId table;
};

// Icon, check box, the level line of an analog event, the duration line,
// the table and its buttons.
class EventBlock : public QWidget
{
    Q_OBJECT
public:
    EventBlock(const EventDef &def, bool analog, QWidget *parent = nullptr);

    void bind(Binder &binder, config::InputEvent &event);
    void bind(Binder &binder, config::AnalogThreshold &threshold);

private:
    QCheckBox *m_box = nullptr;
    QLineEdit *m_duration = nullptr;
    QLineEdit *m_level = nullptr;       // analog only
    QLineEdit *m_returnLevel = nullptr; // analog only
    SmsTableEditor *m_table = nullptr;
};

// P_DigIn_1 or P_DigIn_2: its own tab strip with its tab selected, the
// input's name, the rising-edge and the falling-edge block.
class DigitalInputPanel : public QWidget
{
    Q_OBJECT
public:
    // input: 0 or 1.
    DigitalInputPanel(int input, QWidget *parent = nullptr);
    void bind(Binder &binder, config::DigitalInput &input);
    // The tab that leads to the other digital input.
    ClickPanel *otherInputTab() const { return m_otherTab; }

private:
    ClickPanel *m_otherTab = nullptr;
    EventBlock *m_rising = nullptr;
    EventBlock *m_falling = nullptr;
};

// P_AnaIn_1: a one-tab strip, the input's name, the high and the low block.
class AnalogInputPanel : public QWidget
{
    Q_OBJECT
public:
    explicit AnalogInputPanel(QWidget *parent = nullptr);
    void bind(Binder &binder, config::AnalogInput &input);

private:
    EventBlock *m_high = nullptr;
    EventBlock *m_low = nullptr;
};

} // namespace ui
