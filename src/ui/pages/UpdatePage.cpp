#include "UpdatePage.h"

#include "config/ConfigurationChecks.h"
#include "lang/LanguageTexts.h"
#include "ui/widgets/PageParts.h"
#include "ui/widgets/PortComboBox.h"
#include "ui/widgets/SvgPicture.h"
#include "ui/widgets/Theme.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace ui {

namespace {

// The width of the main window: the progress dialog never grows past it.
constexpr int kMaxDialogWidth = 876;

// The rows of the step list; the save comes first, before the service runs.
constexpr int kSaveRow = 0;
const char *const kStepKeys[] = {"Upd_Step_Save",    "Upd_Step_Check",   "Upd_Step_Build",
                                 "Upd_Step_History", "Upd_Step_Open",    "Upd_Step_Boot",
                                 "Upd_Step_Release", "Upd_Step_Updater", "Upd_Step_Read_Back"};

int rowOf(app::UpdateStage stage)
{
    switch (stage) {
    case app::UpdateStage::Checking:
        return 1;
    case app::UpdateStage::Building:
        return 2;
    case app::UpdateStage::History:
        return 3;
    case app::UpdateStage::OpeningPort:
        return 4;
    case app::UpdateStage::WaitingForBootLoader:
        return 5;
    case app::UpdateStage::ReleasingPort:
        return 6;
    case app::UpdateStage::StartingUpdater:
    case app::UpdateStage::UpdaterRunning:
        return 7;
    case app::UpdateStage::ReadingBack:
        return 8;
    }
    return 1;
}

QString markOf(UpdatePage::StepState state)
{
    switch (state) {
    case UpdatePage::StepState::Waiting:
        return QStringLiteral("\u00B7");
    case UpdatePage::StepState::Running:
        return QStringLiteral("\u25B6");
    case UpdatePage::StepState::Done:
        return QStringLiteral("\u2713");
    case UpdatePage::StepState::Failed:
        return QStringLiteral("\u2717");
    case UpdatePage::StepState::Skipped:
        return QStringLiteral("\u2013");
    }
    return {};
}

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
    connect(m_service, &app::UpdateService::readBackAttemptStarted, this, [this](int attempt) {
        m_readAttempt = attempt;
        showStage();
    });
    connect(m_service, &app::UpdateService::stageSkipped, this,
            [this](app::UpdateStage stage) { setStep(rowOf(stage), StepState::Skipped); });
    connect(m_service, &app::UpdateService::updaterOutput, this, [this](const QString &line) {
        if (m_details)
            m_details->appendPlainText(line);
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
    openDialog();
    // A configuration the checks refuse is not sent: the device would get
    // the one saved before while the user believes the new one went in.
    setStep(kSaveRow, StepState::Running);
    if (!m_save()) {
        m_dialog->removeEventFilter(this);
        m_dialog->hide();
        m_dialog->deleteLater();
        return;
    }
    setStep(kSaveRow, StepState::Done);
    m_request = {};
    m_request.portName = m_ports->currentText();
    m_request.firmware = m_writeFirmware->isChecked();
    m_request.configuration = m_writeConfiguration->isChecked();
    m_request.programFolder = session.workspace().programFolder();
    m_request.workspaceFolder = session.workspace().folder();
    m_request.configurationFolder = session.workspace().configurationFolder(session.configurationName());
    m_device = 1;
    startRun(false);
}

void UpdatePage::updateAnotherDevice()
{
    if (m_service->isRunning() || !m_dialog)
        return;
    // The same image and options: nothing is saved or built again.
    ++m_device;
    // The port may have been chosen again for the next device.
    m_request.portName = m_ports->currentText();
    for (int row = 0; row < m_steps->count(); ++row)
        setStep(row, StepState::Waiting);
    setStep(kSaveRow, StepState::Skipped);
    m_details->clear();
    startRun(true);
}

void UpdatePage::openDialog()
{
    // One window-modal dialog for the whole update; Cancel while stopping is safe.
    auto *dialog = new QDialog(this);
    m_dialog = dialog;
    dialog->setObjectName(QStringLiteral("UpdateProgress"));
    dialog->setWindowTitle(m_context.texts().text(u"TntL_Title_UpdateDevice"));
    dialog->setWindowModality(Qt::WindowModal);
    // Never wider than the main window, whatever the paths in the command line.
    const int maxWidth = std::min(window()->width(), kMaxDialogWidth);
    dialog->setMaximumWidth(maxWidth);
    dialog->setMinimumWidth(std::min(520, maxWidth));
    auto *layout = new QVBoxLayout(dialog);
    m_steps = new QListWidget(dialog);
    m_steps->setObjectName(QStringLiteral("UpdateSteps"));
    m_steps->setSelectionMode(QAbstractItemView::NoSelection);
    m_steps->setFocusPolicy(Qt::NoFocus);
    for (const char *key : kStepKeys) {
        auto *item = new QListWidgetItem(m_steps);
        item->setData(Qt::UserRole + 1, QLatin1String(key));
    }
    m_steps->setFixedHeight(m_steps->sizeHintForRow(0) * int(std::size(kStepKeys)) +
                            2 * m_steps->frameWidth() + 4);
    layout->addWidget(m_steps);
    m_result = new QLabel(dialog);
    m_result->setObjectName(QStringLiteral("UpdateResult"));
    m_result->setWordWrap(true);
    m_result->setTextFormat(Qt::PlainText);
    m_result->hide();
    layout->addWidget(m_result);
    layout->addWidget(new QLabel(m_context.texts().messageText(u"Mes_Update_Details"), dialog));
    // The command line and the updater's lines wrap here instead of widening the dialog.
    m_details = new QPlainTextEdit(dialog);
    m_details->setObjectName(QStringLiteral("UpdateDetails"));
    m_details->setReadOnly(true);
    m_details->setMaximumBlockCount(kDetailLines);
    m_details->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_details->setMinimumHeight(120);
    layout->addWidget(m_details, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    m_another = new QPushButton(m_context.texts().messageText(u"Mes_Update_Another"), dialog);
    m_another->setObjectName(QStringLiteral("UpdateAnother"));
    m_another->hide();
    connect(m_another, &QPushButton::clicked, this, &UpdatePage::updateAnotherDevice);
    m_cancel = new QPushButton(QCoreApplication::translate("QPlatformTheme", "Cancel"), dialog);
    m_cancel->setObjectName(QStringLiteral("UpdateCancel"));
    connect(m_cancel, &QPushButton::clicked, m_service, &app::UpdateService::cancel);
    m_close = new QPushButton(m_context.texts().messageText(u"Mes_Update_Close"), dialog);
    m_close->setObjectName(QStringLiteral("UpdateClose"));
    m_close->hide();
    connect(m_close, &QPushButton::clicked, dialog, &QDialog::accept);
    buttons->addWidget(m_another);
    buttons->addWidget(m_cancel);
    buttons->addWidget(m_close);
    layout->addLayout(buttons);
    connect(dialog, &QDialog::finished, dialog, &QObject::deleteLater);
    // The dialog must stay while the updater writes.
    dialog->installEventFilter(this);
    for (int row = 0; row < m_steps->count(); ++row)
        setStep(row, StepState::Waiting);
    dialog->show();
}

void UpdatePage::startRun(bool nextDevice)
{
    m_request.reuseImage = nextDevice;
    m_request.device = m_device;
    m_attempt = 0;
    m_readAttempt = 0;
    m_result->hide();
    m_another->hide();
    m_close->hide();
    m_cancel->show();
    m_service->start(m_request);
    stageStarted(app::UpdateStage::Checking);
}

bool UpdatePage::eventFilter(QObject *watched, QEvent *event)
{
    // A dialog being destroyed is no longer a QDialog, and comparing it with
    // the guarded pointer would cast it to one.
    if (m_service->isRunning() && qobject_cast<QDialog *>(watched) && watched == m_dialog) {
        if (event->type() == QEvent::Close) {
            // Closing the window is a cancel where that is safe, and nothing otherwise.
            m_service->cancel();
            event->ignore();
            return true;
        }
        if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
            m_service->cancel();
            return true;
        }
    }
    return Page::eventFilter(watched, event);
}

void UpdatePage::setStep(int row, StepState state)
{
    if (!m_steps || row < 0 || row >= m_steps->count())
        return;
    QListWidgetItem *item = m_steps->item(row);
    item->setData(Qt::UserRole, int(state));
    QString text =
        markOf(state) + u' ' + m_context.texts().messageText(item->data(Qt::UserRole + 1).toString());
    if (state == StepState::Running) {
        const lang::LanguageTexts &texts = m_context.texts();
        if (row == rowOf(app::UpdateStage::WaitingForBootLoader) && m_attempt > 0)
            text += QStringLiteral(" \u2014 ") +
                    texts.messageText(u"Mes_Update_Attempt").arg(m_attempt).arg(app::kBootAttempts);
        else if (row == rowOf(app::UpdateStage::ReadingBack) && m_readAttempt > 0)
            text += QStringLiteral(" \u2014 ") +
                    texts.messageText(u"Mes_Update_Attempt").arg(m_readAttempt).arg(app::kReadBackAttempts);
        else if (row == rowOf(app::UpdateStage::UpdaterRunning) && m_service->updaterElapsedMs() >= 0)
            // Counted from the updater's start: the boot wait before it is no part of its run.
            text += QStringLiteral(" \u2014 ") +
                    texts.messageText(u"Mes_Update_Seconds").arg(m_service->updaterElapsedMs() / 1000);
    }
    item->setText(text);
    QFont font = item->font();
    font.setBold(state == StepState::Running);
    item->setFont(font);
    if (state == StepState::Failed)
        item->setForeground(QColor(0xB0, 0x20, 0x20));
    else if (state == StepState::Done)
        item->setForeground(QColor(0x20, 0x80, 0x30));
    else
        item->setForeground(m_steps->palette().text());
}

void UpdatePage::stageStarted(app::UpdateStage stage)
{
    m_busy->setVisible(stage == app::UpdateStage::WaitingForBootLoader);
    if (stage == app::UpdateStage::UpdaterRunning)
        m_clockTick.start();
    else
        m_clockTick.stop();
    if (stage == app::UpdateStage::StartingUpdater && m_details)
        m_details->appendPlainText(m_service->commandLine());
    if (m_steps) {
        const int current = rowOf(stage);
        for (int row = 0; row < current; ++row) {
            if (StepState(m_steps->item(row)->data(Qt::UserRole).toInt()) == StepState::Running)
                setStep(row, StepState::Done);
        }
    }
    showStage();
}

void UpdatePage::showStage()
{
    if (!m_dialog)
        return;
    setStep(rowOf(m_service->stage()), StepState::Running);
    m_cancel->setEnabled(m_service->canCancel());
}

void UpdatePage::updateFinishedWith(const app::UpdateOutcome &outcome)
{
    m_clockTick.stop();
    m_busy->hide();
    m_lastOutcome = outcome;
    const lang::LanguageTexts &texts = m_context.texts();
    if (m_dialog) {
        const int current = rowOf(outcome.stage);
        if (outcome.updated()) {
            setStep(current, StepState::Done);
        } else {
            setStep(current, StepState::Failed);
        }
        for (int row = 0; row < current; ++row) {
            if (StepState(m_steps->item(row)->data(Qt::UserRole).toInt()) == StepState::Running)
                setStep(row, StepState::Done);
        }
        m_cancel->hide();
        m_close->show();
        m_another->setVisible(outcome.updated());
        if (outcome.updated()) {
            QString text = texts.messageText(outcome.key);
            if (!outcome.firmwareVersion.isEmpty())
                text += u'\n' + texts.messageText(u"Mes_Update_Read_Back")
                                    .arg(outcome.firmwareVersion, outcome.deviceClock);
            text += u'\n' + texts.messageText(u"Mes_Update_Device_Number").arg(outcome.device);
            m_result->setText(text);
            m_result->show();
        }
    }
    // Success is shown in the step list; everything else asks to be read.
    if (!outcome.updated() || !m_dialog)
        showOutcome(outcome);
    emit updateFinished(outcome);
}

void UpdatePage::showOutcome(const app::UpdateOutcome &outcome)
{
    const lang::LanguageTexts &texts = m_context.texts();
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
        m_context.showText(MessageKind::Error, config::failureText({0, outcome.key, outcome.row},
                                                                   texts.messageText(outcome.key)));
        break;
    case app::UpdateOutcome::Status::UpdatedNoReadBack: {
        QString text = texts.messageText(outcome.key) + u'\n' + texts.messageText(outcome.reasonKey);
        if (!outcome.detail.isEmpty())
            text += u'\n' + outcome.detail;
        m_context.showText(MessageKind::Warning, text);
        break;
    }
    case app::UpdateOutcome::Status::PortFailed: {
        // As polling says it, and where in the update it happened.
        QString text =
            texts.messageText(outcome.key) + u'\n' +
            texts.messageText(u"Mes_Update_Stage").arg(texts.messageText(app::stageKey(outcome.stage)));
        if (!outcome.detail.isEmpty())
            text += u'\n' + outcome.detail;
        m_context.showText(MessageKind::Error, text);
        break;
    }
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
