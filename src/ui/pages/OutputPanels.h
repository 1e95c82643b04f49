// The parts of the output page: a CALL action block (built three times per
// output: hang-up, under and above the ring number) and the panel of one
// output with its SMS and CALL sub-pages (built twice).
#pragma once

#include "config/Configuration.h"

#include <QWidget>

class QButtonGroup;
class QCheckBox;
class QLineEdit;
class QRadioButton;
class QStackedWidget;

namespace ui {

class Binder;
class ClickPanel;
class SmsTableEditor;

struct CallActionDef
{
    const char *part; // the middle of the radios' and edits' names: "Hang", "Under", "Above"
    const char *box;  // the end of the check box's name: "Hang_Up", "Under", "Above"
};

// A check box, then an indented panel of its own with the three radio
// buttons (set, reset, impulse) one under the other and the pulse duration
// on the line of "Impulse output".
class CallActionBlock : public QWidget
{
    Q_OBJECT
public:
    CallActionBlock(int output, const CallActionDef &def, QWidget *parent = nullptr);
    // Binds the box, the radios and the duration; the radios and the
    // duration are usable while the action is on.
    void bind(Binder &binder, config::CallAction &action);

private:
    QCheckBox *m_box = nullptr;
    QButtonGroup *m_group = nullptr;
    QRadioButton *m_radios[3] = {}; // set, reset, impulse: their ids in the group
    QLineEdit *m_duration = nullptr;
};

// P_DigOut_1 or P_DigOut_2: its output tab strip, then the SMS or the CALL
// sub-page, each with its own tab strip.
class OutputPanel : public QWidget
{
    Q_OBJECT
public:
    // output: 0 or 1.
    OutputPanel(int output, QWidget *parent = nullptr);
    // Binds every control, and the enabling rules of the output.
    void bind(Binder &binder, config::DigitalOutput &output);

    // The tab that leads to the other output.
    ClickPanel *otherOutputTab() const { return m_otherTab; }
    void showCall(bool call);

private:
    QWidget *buildSmsPage();
    QWidget *buildCallPage();

    int m_output;
    ClickPanel *m_otherTab = nullptr;
    QStackedWidget *m_subPages = nullptr;

    // SMS sub-page
    QCheckBox *m_smsBox = nullptr;
    QCheckBox *m_setBox = nullptr;
    QLineEdit *m_setText = nullptr;
    QCheckBox *m_resetBox = nullptr;
    QLineEdit *m_resetText = nullptr;
    QCheckBox *m_impulseBox = nullptr;
    QLineEdit *m_impulseText = nullptr;
    QLineEdit *m_impulseDuration = nullptr;
    QCheckBox *m_phoneNumberBox = nullptr;
    QCheckBox *m_passwordBox = nullptr;
    QLineEdit *m_password = nullptr;
    QCheckBox *m_sendBackBox = nullptr;
    SmsTableEditor *m_smsTable = nullptr;

    // CALL sub-page
    QCheckBox *m_callBox = nullptr;
    QLineEdit *m_ringNumber = nullptr;
    QLineEdit *m_hangUpRings = nullptr;
    CallActionBlock *m_hangUp = nullptr;
    CallActionBlock *m_under = nullptr;
    CallActionBlock *m_above = nullptr;
    SmsTableEditor *m_callTable = nullptr;
};

} // namespace ui
