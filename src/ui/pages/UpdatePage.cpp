#include "UpdatePage.h"

#include "config/ConfigurationChecks.h"
#include "lang/LanguageTexts.h"
#include "ui/widgets/PageParts.h"
#include "ui/widgets/PortComboBox.h"
#include "ui/widgets/SvgPicture.h"
#include "ui/widgets/Theme.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QVBoxLayout>

namespace ui {

namespace {

// The width of the main window: the progress dialog never grows past it.
constexpr int kMaxDialogWidth = 876;
// The dialog's margins around its label.
constexpr int kDialogMargins = 40;

} // namespace

UpdatePage::UpdatePage(PageContext &context, std::function<bool()> save, QWidget *parent)
    : Page(PageId::Update, context, parent), m_save(std::move(save))
{
    QVBoxLayout *content = buildFrame(QStringLiteral("P_UpDate"), QStringLiteral("TntL_Title_UpdateDevice"));
    content->addWidget(makeSubTitle(QStringLiteral("TntL_SubTitle_ComPort"), this).bar);
    m_ports = new PortComboBox(QStringLiteral("CB_COMPort_List"), context.link(), this);
    content->addWidget(m_ports, 0, Qt::AlignLeft);

    // Port and boot controls that this layout keeps hidden; they still get their texts.
    for (const char *name : {"TntBtn_OpenComPort", "TntBtn_CloseComPort", "TntBtn_Set_BootMode"})
        (new ThemedButton(QLatin1String(name), builtinCaption(QLatin1String(name)), this))->hide();
    makeLabel(QStringLiteral("TntL_ComPortOpen"), QStringLiteral("Disconnected"), this)->hide();
    makeLabel(QStringLiteral("TntL_SubTitle_SetBoot"), this)->hide();
    for (const char *name : {"CB_ReadFW", "CB_ReadConf"}) {
        auto *c = new QCheckBox(builtinCaption(QLatin1String(name)), this);
        c->setObjectName(QLatin1String(name));
        c->hide();
    }

    content->addSpacing(12);
    content->addWidget(makeSubTitle(QStringLiteral("TntL_SubTitle_UpdateDev"), this).bar);
    auto *grid = new QGridLayout;
    // Clear at every start, stored nowhere.
    m_writeFirmware = new QCheckBox(builtinCaption(u"CB_WriteFW"), this);
    m_writeFirmware->setObjectName(QStringLiteral("CB_WriteFW"));
    m_writeConfiguration = new QCheckBox(builtinCaption(u"CB_WriteConf"), this);
    m_writeConfiguration->setObjectName(QStringLiteral("CB_WriteConf"));
    grid->addWidget(m_writeFirmware, 0, 0);
    grid->addWidget(m_writeConfiguration, 1, 0);
    m_busy = new SvgPicture(QStringLiteral("Image2"), QStringLiteral(":/misc/busy.svg"), QSize(48, 48), this);
    m_busy->unsetCursor();
    m_busy->hide();
    grid->addWidget(m_busy, 0, 1, 2, 1);
    grid->setColumnStretch(2, 1);
    content->addLayout(grid);
    auto *update =
        new ThemedButton(QStringLiteral("TntBtn_UpdateDevice"), builtinCaption(u"TntBtn_UpdateDevice"), this);
    connect(update, &QPushButton::clicked, this, &UpdatePage::updateDevice);
    content->addWidget(update, 0, Qt::AlignLeft);
    content->addStretch(1);

    m_service = new app::UpdateService(context.link(), this);
    connect(m_service, &app::UpdateService::stageStarted, this, &UpdatePage::stageStarted);
    connect(m_service, &app::UpdateService::attemptStarted, this, [this](int attempt) {
        m_attempt = attempt;
        showStage();
    });
    connect(m_service, &app::UpdateService::finished, this, &UpdatePage::updateFinishedWith);
    connect(m_service, &app::UpdateService::updaterEnded, this, [this](const app::UpdateOutcome &outcome) {
        showOutcome(outcome);
        emit updaterEnded(outcome);
    });
    m_clockTick.setInterval(1000);
    connect(&m_clockTick, &QTimer::timeout, this, &UpdatePage::showStage);
}

void UpdatePage::updateDevice()
{
    if (m_service->isRunning())
        return;
    const app::Session &session = m_context.session();
    if (session.configurationName().isEmpty()) {
        emit nameNeeded();
        return;
    }
    // A configuration the checks refuse is not sent: the device would get
    // the one saved before while the user believes the new one went in.
    if (!m_save())
        return;
    app::UpdateRequest request;
    request.portName = m_ports->currentText();
    request.firmware = m_writeFirmware->isChecked();
    request.configuration = m_writeConfiguration->isChecked();
    request.programFolder = session.workspace().programFolder();
    request.workspaceFolder = session.workspace().folder();
    request.configurationFolder = session.workspace().configurationFolder(session.configurationName());

    // One window-modal dialog for the whole update; Cancel while stopping is safe.
    auto *dialog = new QProgressDialog(this);
    m_dialog = dialog;
    dialog->setObjectName(QStringLiteral("UpdateProgress"));
    dialog->setWindowTitle(builtinCaption(u"TntBtn_UpdateDevice"));
    dialog->setWindowModality(Qt::WindowModal);
    dialog->setRange(0, 0);
    dialog->setAutoClose(false);
    dialog->setAutoReset(false);
    // Never wider than the main window, whatever the paths in the command line.
    const int maxWidth = std::min(window()->width(), kMaxDialogWidth);
    dialog->setMaximumWidth(maxWidth);
    dialog->setMinimumWidth(std::min(460, maxWidth));
    m_dialogLabel = new QLabel(dialog);
    m_dialogLabel->setTextFormat(Qt::PlainText);
    m_dialogLabel->setMaximumWidth(maxWidth - kDialogMargins);
    dialog->setLabel(m_dialogLabel);
    m_cancel = new QPushButton(QCoreApplication::translate("QPlatformTheme", "Cancel"), dialog);
    m_cancel->setObjectName(QStringLiteral("UpdateCancel"));
    dialog->setCancelButton(m_cancel);
    // The dialog hides itself on a cancel; it must stay while the updater writes.
    dialog->installEventFilter(this);
    connect(dialog, &QProgressDialog::canceled, m_service, &app::UpdateService::cancel);

    m_attempt = 0;
    m_service->start(request);
    dialog->show();
    stageStarted(app::UpdateStage::Checking);
}

bool UpdatePage::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_dialog && !m_service->canCancel()) {
        if (event->type() == QEvent::Close) {
            event->ignore();
            return true;
        }
        if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape)
            return true;
    }
    return Page::eventFilter(watched, event);
}

void UpdatePage::stageStarted(app::UpdateStage stage)
{
    m_busy->setVisible(stage == app::UpdateStage::WaitingForBootLoader);
    if (stage == app::UpdateStage::UpdaterRunning)
        m_clockTick.start();
    showStage();
}

void UpdatePage::showStage()
{
    if (!m_dialog)
        return;
    const lang::LanguageTexts &texts = m_context.texts();
    QString text;
    switch (m_service->stage()) {
    case app::UpdateStage::Checking:
    case app::UpdateStage::Building:
        text = texts.messageText(u"Mes_Update_Building");
        break;
    case app::UpdateStage::OpeningPort:
        text = texts.messageText(u"Mes_Update_Opening_Port");
        break;
    case app::UpdateStage::WaitingForBootLoader:
        text = texts.messageText(u"Mes_Update_Boot").arg(m_attempt);
        break;
    case app::UpdateStage::ReleasingPort:
        text = texts.messageText(u"Mes_Update_Releasing_Port");
        break;
    case app::UpdateStage::StartingUpdater:
    case app::UpdateStage::UpdaterRunning: {
        // Counted from the updater's start: the boot wait before it is no part of its run.
        const qint64 s = std::max<qint64>(0, m_service->updaterElapsedMs()) / 1000;
        text = texts.messageText(u"Mes_Update_Running")
                   .arg(QStringLiteral("%1:%2").arg(s / 60).arg(s % 60, 2, 10, QLatin1Char('0')));
        break;
    }
    }
    m_cancel->setEnabled(m_service->canCancel());
    // The command line stays readable for a support call, cut in its middle
    // where it is wider than the dialog; the whole of it is in the tooltip.
    if (const QString &commandLine = m_service->commandLine(); !commandLine.isEmpty()) {
        const QFontMetrics metrics(m_dialogLabel->font());
        text += QStringLiteral("\n\n") +
                metrics.elidedText(commandLine, Qt::ElideMiddle, m_dialogLabel->maximumWidth());
        m_dialogLabel->setToolTip(commandLine.toHtmlEscaped());
    }
    m_dialog->setLabelText(text);
}

void UpdatePage::updateFinishedWith(const app::UpdateOutcome &outcome)
{
    m_clockTick.stop();
    m_busy->hide();
    if (m_dialog) {
        m_dialog->removeEventFilter(this);
        m_dialog->hide();
        m_dialog->deleteLater();
    }
    m_lastOutcome = outcome;
    showOutcome(outcome);
    emit updateFinished(outcome);
}

void UpdatePage::showOutcome(const app::UpdateOutcome &outcome)
{
    switch (outcome.status) {
    case app::UpdateOutcome::Status::Updated:
        m_context.showMessage(MessageKind::Information, outcome.key);
        break;
    case app::UpdateOutcome::Status::Cancelled:
        break;
    case app::UpdateOutcome::Status::UpdaterStillRunning:
        m_context.showMessage(MessageKind::Warning, outcome.key, MessageButtons::Ok, outcome.commandLine);
        break;
    case app::UpdateOutcome::Status::ConfigurationRefused:
        m_context.showText(
            MessageKind::Error,
            config::failureText({0, outcome.key, outcome.row}, m_context.texts().messageText(outcome.key)));
        break;
    default:
        if (outcome.key.isEmpty())
            m_context.showText(MessageKind::Error, outcome.detail);
        else
            m_context.showMessage(MessageKind::Error, outcome.key, MessageButtons::Ok, outcome.detail);
        break;
    }
}

void UpdatePage::pageShown()
{
    m_ports->fill();
}

} // namespace ui
