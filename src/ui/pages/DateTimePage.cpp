#include "DateTimePage.h"

#include "ui/pages/ProfilePanel.h"
#include "ui/widgets/PageParts.h"
#include "ui/widgets/PortComboBox.h"
#include "ui/widgets/Theme.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace ui {

namespace {

// What the result labels show while nothing is known of the device.
const QString kNoFirmwareVersion = QStringLiteral("------");
const QString kNoDateTime = QStringLiteral("--.--.-- --/--/--");

struct ClockField
{
    const char *edit;
    const char *caption;
    const char *captionText;
};

constexpr ClockField kClockFields[] = {
    {"TntE_DT_SDT_hh", "TntL_DT_SDT_hh", "hh"}, {"TntE_DT_SDT_mi", "TntL_DT_SDT_mi", "mm"},
    {"TntE_DT_SDT_ss", "TntL_DT_SDT_ss", "ss"}, {"TntE_DT_SDT_dd", "TntL_DT_SDT_dd", "dd"},
    {"TntE_DT_SDT_mo", "TntL_DT_SDT_mo", "mm"}, {"TntE_DT_SDT_yy", "TntL_DT_SDT_yy", "yy"},
};

MessageKind toMessageKind(devlink::MessageKind kind)
{
    switch (kind) {
    case devlink::MessageKind::Information:
        return MessageKind::Information;
    case devlink::MessageKind::Warning:
        return MessageKind::Warning;
    default:
        return MessageKind::Error;
    }
}

} // namespace

DateTimePage::DateTimePage(PageContext &context, QWidget *parent)
    : Page(PageId::DateTime, context, parent), m_link(context.link())
{
    setObjectName(QStringLiteral("P_Date_Time_Set"));
    paintBackground(this, Qt::white);
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    outer->addWidget(
        makeBar(QStringLiteral("TntL_Title_DateTimeSet"), QStringLiteral("Date & Time Setting"), 12, this));
    m_clockHalf = buildClockHalf();
    m_profileHalf = new ProfilePanel(context, this);
    connect(m_profileHalf, &ProfilePanel::dateTimeRequested, this, [this] { showHalf(false); });
    outer->addWidget(m_clockHalf, 1);
    outer->addWidget(m_profileHalf, 1);
    m_profileHalf->hide();
    // Whatever closes the port (a menu click, the About box, another port
    // chosen) leaves nothing current to show.
    connect(&m_link, &devlink::DeviceLink::linkClosed, this, &DateTimePage::blankStatus);
    // The status polling reports here whichever page is shown.
    connect(&m_link, &devlink::DeviceLink::polled, this, &DateTimePage::showOutcome);
}

QWidget *DateTimePage::buildClockHalf()
{
    auto *half = new QWidget(this);
    half->setObjectName(QStringLiteral("P_DT_PRO_DateTime"));
    auto *column = new QVBoxLayout(half);
    column->setContentsMargins(12, 10, 12, 10);
    column->setSpacing(8);
    const SubTitle title =
        makeSubTitle(QStringLiteral("TntL_SubT_DateTime"), half, QStringLiteral("P_SubT_Go_Profile"),
                     QStringLiteral("TntL_SubT_Go_Profile"));
    column->addWidget(title.bar);
    connect(title.link, &ClickPanel::clicked, this, [this] { showHalf(true); });

    auto *portRow = new QHBoxLayout;
    auto *portCaption =
        makeLabel(QStringLiteral("TntL_SubT_DateTime_SelCOM"), QStringLiteral("Select COMport"), half);
    m_ports = new PortComboBox(QStringLiteral("CB_COMPort_List_DateTime"), m_link, half);
    // The labels must not go on showing one device while another port is chosen.
    connect(m_ports, &PortComboBox::portChanged, this, [this] { m_link.closeLink(); });
    portCaption->setBuddy(m_ports);
    portRow->addWidget(portCaption);
    portRow->addWidget(m_ports);
    portRow->addStretch(1);
    column->addLayout(portRow);
    column->addSpacing(6);

    column->addWidget(makeSubTitle(QStringLiteral("TntL_DT_Set_DateTime"), half).bar);
    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(6);
    QLineEdit **edits[] = {&m_hh, &m_mi, &m_ss, &m_dd, &m_mo, &m_yy};
    for (int i = 0; i < 6; ++i) {
        const ClockField &f = kClockFields[i];
        auto *caption = makeLabel(QLatin1String(f.caption), QLatin1String(f.captionText), half);
        caption->setAlignment(Qt::AlignCenter);
        auto *edit = new QLineEdit(QStringLiteral("00"), half);
        edit->setObjectName(QLatin1String(f.edit));
        edit->setFixedWidth(48);
        edit->setAlignment(Qt::AlignCenter);
        *edits[i] = edit;
        // A gap between the time and the date.
        const int col = i < 3 ? i * 2 : i * 2 + 1;
        grid->addWidget(caption, 0, col);
        grid->addWidget(edit, 1, col);
        if (i != 2 && i != 5) {
            auto *sep = new QLabel(i < 3 ? QStringLiteral(":") : QStringLiteral("/"), half);
            grid->addWidget(sep, 1, col + 1);
        }
    }
    grid->setColumnMinimumWidth(6, 24);
    grid->setColumnStretch(12, 1);
    column->addLayout(grid);

    auto *buttons = new QHBoxLayout;
    auto *pcClock =
        new ThemedButton(QStringLiteral("TntB_DT_SDT_GetDT"), QStringLiteral("Set PC Date && Time"), half);
    auto *custom = new ThemedButton(QStringLiteral("TntB_DT_SDT_WriteDT"),
                                    QStringLiteral("Set Custom Date && Time"), half);
    buttons->addWidget(pcClock);
    buttons->addWidget(custom);
    buttons->addStretch(1);
    column->addLayout(buttons);
    column->addSpacing(6);

    auto *status = new QGridLayout;
    status->setHorizontalSpacing(10);
    auto *readStatus =
        new ThemedButton(QStringLiteral("TntB_DT_RSD"), QStringLiteral("Read Status Device"), half);
    status->addWidget(readStatus, 0, 0, 1, 3, Qt::AlignLeft);
    status->addWidget(
        makeLabel(QStringLiteral("TntL_DT_RSD_FW_Ver"), QStringLiteral("Firmware Version :"), half), 1, 0);
    m_firmware = makeLabel(QStringLiteral("TntL_DT_RSD_FW_Readed"), kNoFirmwareVersion, half);
    status->addWidget(m_firmware, 1, 1);
    status->addWidget(makeLabel(QStringLiteral("TntL_DT_RSD_DT"), QStringLiteral("Date Time :"), half), 2, 0);
    m_dateTime = makeLabel(QStringLiteral("TntL_DT_RSD_DT_Readed"), kNoDateTime, half);
    status->addWidget(m_dateTime, 2, 1);
    QFont bold = m_firmware->font();
    bold.setBold(true);
    m_firmware->setFont(bold);
    m_dateTime->setFont(bold);
    status->setColumnStretch(2, 1);
    column->addLayout(status);
    column->addStretch(1);

    connect(pcClock, &QPushButton::clicked, this,
            [this] { showOutcome(m_link.setClock(m_ports->currentText(), devlink::ClockSource::PcClock)); });
    connect(custom, &QPushButton::clicked, this, [this] {
        showOutcome(m_link.setClock(m_ports->currentText(), devlink::ClockSource::Fields, fields()));
    });
    connect(readStatus, &QPushButton::clicked, this,
            [this] { showOutcome(m_link.readStatus(m_ports->currentText())); });
    return half;
}

void DateTimePage::showHalf(bool profile)
{
    if (profile)
        m_profileHalf->enter();
    // The half going away is hidden first: with both halves in the layout for
    // a moment, the window would grow to hold them and stay that large.
    (profile ? static_cast<QWidget *>(m_clockHalf) : m_profileHalf)->hide();
    (profile ? static_cast<QWidget *>(m_profileHalf) : m_clockHalf)->show();
}

void DateTimePage::pageShown()
{
    showHalf(false);
    m_ports->fill();
    blankStatus();
    devlink::LinkOutcome clock;
    clock.fields = m_link.pcClockFields();
    showOutcome(clock);
}

void DateTimePage::reveal(QWidget *control, int variant)
{
    if (!m_profileHalf->isAncestorOf(control))
        return;
    if (m_profileHalf->isHidden())
        showHalf(true);
    m_profileHalf->reveal(control, variant);
}

void DateTimePage::languageApplied()
{
    m_profileHalf->showWeekCaption();
}

void DateTimePage::configurationShown()
{
    m_profileHalf->refresh();
}

devlink::ClockFields DateTimePage::fields() const
{
    return {m_hh->text(), m_mi->text(), m_ss->text(), m_dd->text(), m_mo->text(), m_yy->text()};
}

void DateTimePage::showOutcome(const devlink::LinkOutcome &outcome)
{
    if (outcome.fields) {
        const devlink::ClockFields &f = *outcome.fields;
        m_hh->setText(f.hh);
        m_mi->setText(f.mi);
        m_ss->setText(f.ss);
        m_dd->setText(f.dd);
        m_mo->setText(f.mo);
        m_yy->setText(f.yy);
    }
    if (outcome.statusUnknown)
        blankStatus();
    if (outcome.firmwareVersion)
        m_firmware->setText(*outcome.firmwareVersion);
    if (outcome.dateTime)
        m_dateTime->setText(*outcome.dateTime);
    for (const devlink::LinkMessage &m : outcome.messages)
        m_context.showMessage(toMessageKind(m.kind), m.key, MessageButtons::Ok, m.detail);
}

void DateTimePage::blankStatus()
{
    m_firmware->setText(kNoFirmwareVersion);
    m_dateTime->setText(kNoDateTime);
}

} // namespace ui
