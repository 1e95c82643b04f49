#include "UpdatePage.h"

#include "lang/LanguageTexts.h"
#include "ui/widgets/PageParts.h"
#include "ui/widgets/PortComboBox.h"
#include "ui/widgets/SvgPicture.h"
#include "ui/widgets/Theme.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QProgressDialog>
#include <QPushButton>
#include <QVBoxLayout>

namespace ui {

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
}

void UpdatePage::updateDevice()
{
    if (m_running)
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

    // One modal window for the whole update; Cancel only while the boot loop runs.
    QProgressDialog dialog(this);
    dialog.setObjectName(QStringLiteral("UpdateProgress"));
    dialog.setWindowTitle(builtinCaption(u"TntBtn_UpdateDevice"));
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.setRange(0, 0);
    dialog.setMinimumDuration(0);
    dialog.setAutoClose(false);
    dialog.setAutoReset(false);
    dialog.setMinimumWidth(460);
    auto *cancel = new QPushButton(QCoreApplication::translate("QPlatformTheme", "Cancel"), &dialog);
    cancel->setObjectName(QStringLiteral("UpdateCancel"));
    dialog.setCancelButton(cancel);
    cancel->setEnabled(false);

    app::DeviceUpdate update(m_context.link(), m_timings);
    connect(&dialog, &QProgressDialog::canceled, this, [&update] { update.cancel(); });
    m_running = true;
    dialog.show();
    const app::UpdateOutcome outcome = update.run(
        request, [&](const app::UpdateProgress &progress) { showProgress(dialog, *cancel, progress); });
    m_running = false;
    m_busy->hide();
    dialog.hide();
    m_lastOutcome = outcome;

    switch (outcome.status) {
    case app::UpdateOutcome::Status::Updated:
        m_context.showMessage(MessageKind::Information, outcome.key);
        break;
    case app::UpdateOutcome::Status::Cancelled:
        break;
    case app::UpdateOutcome::Status::UpdaterStillRunning:
        m_context.showMessage(MessageKind::Warning, outcome.key, MessageButtons::Ok, outcome.commandLine);
        break;
    default:
        if (outcome.key.isEmpty())
            m_context.showText(MessageKind::Error, outcome.detail);
        else
            m_context.showMessage(MessageKind::Error, outcome.key, MessageButtons::Ok, outcome.detail);
        break;
    }
}

void UpdatePage::showProgress(QProgressDialog &dialog, QPushButton &cancel,
                              const app::UpdateProgress &progress)
{
    const lang::LanguageTexts &texts = m_context.texts();
    QString stage;
    switch (progress.stage) {
    case app::UpdateStage::Building:
        stage = texts.messageText(u"Mes_Update_Building");
        break;
    case app::UpdateStage::OpeningPort:
        stage = texts.messageText(u"Mes_Update_Opening_Port");
        break;
    case app::UpdateStage::WaitingForBootLoader:
        stage = texts.messageText(u"Mes_Update_Boot").arg(progress.attempt);
        break;
    case app::UpdateStage::ReleasingPort:
        stage = texts.messageText(u"Mes_Update_Releasing_Port");
        break;
    case app::UpdateStage::StartingUpdater:
    case app::UpdateStage::UpdaterRunning: {
        const qint64 s = progress.elapsedMs / 1000;
        stage = texts.messageText(u"Mes_Update_Running")
                    .arg(QStringLiteral("%1:%2").arg(s / 60).arg(s % 60, 2, 10, QLatin1Char('0')));
        break;
    }
    }
    const bool booting = progress.stage == app::UpdateStage::WaitingForBootLoader;
    m_busy->setVisible(booting);
    cancel.setEnabled(booting);
    // The command line stays readable for a support call.
    dialog.setLabelText(
        progress.commandLine.isEmpty() ? stage : stage + QStringLiteral("\n\n") + progress.commandLine);
}

void UpdatePage::pageShown()
{
    m_ports->fill();
}

} // namespace ui
