#include "ProjectPages.h"

#include "app/ConfigurationCompare.h"
#include "app/ConfigurationName.h"
#include "app/UpdateHistory.h"
#include "config/ConfigurationFile.h"
#include "config/FileAccess.h"
#include "lang/KeyTable.h"
#include "lang/LanguageTexts.h"
#include "pdf/PdfSheet.h"
#include "report/SheetBuilder.h"
#include "report/SheetFile.h"
#include "ui/CompareDialog.h"
#include "ui/LanguageApplier.h"
#include "ui/ProjectCommands.h"
#include "ui/widgets/PageParts.h"
#include "ui/widgets/Theme.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHash>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace ui {

NewPage::NewPage(PageContext &context, QWidget *parent) : Page(PageId::New, context, parent)
{
    QVBoxLayout *content = buildFrame(QStringLiteral("P_New_Conf"), QStringLiteral("TntL_Title_NewConf"));
    auto *label = makeLabel(QStringLiteral("TntL_NewConf_Name"), this);
    m_name = new QLineEdit(this);
    m_name->setObjectName(QStringLiteral("TntE_NewConf"));
    label->setBuddy(m_name);
    m_ok = new ThemedButton(QStringLiteral("TntB_NewConf"), builtinCaption(u"TntB_NewConf"), this);
    auto *row = new QHBoxLayout;
    row->addWidget(m_name, 1);
    row->addWidget(m_ok);
    connect(m_ok, &QPushButton::clicked, this,
            [this] { m_context.commands().newConfiguration(m_name->text()); });
    connect(m_name, &QLineEdit::returnPressed, m_ok, &QPushButton::click);
    content->addWidget(label);
    content->addLayout(row);
    content->addStretch(1);
}

void NewPage::pageShown()
{
    m_name->setText(m_context.session().configurationName());
}

void NewPage::configurationShown()
{
    m_name->clear();
}

LoadPage::LoadPage(PageContext &context, QWidget *parent) : Page(PageId::Load, context, parent)
{
    QVBoxLayout *content = buildFrame(QStringLiteral("P_Load_Conf"), QStringLiteral("TntL_Title_LoadConf"));
    auto *label = makeLabel(QStringLiteral("TntL_LoadConf_Select"), this);
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("TntLB_LoadConf"));
    label->setBuddy(m_list);
    m_ok = new ThemedButton(QStringLiteral("TntB_LoadConf"), builtinCaption(u"TntB_LoadConf"), this);
    content->addWidget(label);
    content->addWidget(m_list, 1);
    m_compare = new ThemedButton(QStringLiteral("TntB_Compare_Conf"),
                                 lang::builtinText(u"Caption_Compare_Conf"), this);
    setTextKey(m_compare, u"Caption_Compare_Conf");
    m_compare->setEnabled(false);
    auto *loadButtons = new QHBoxLayout;
    loadButtons->addStretch(1);
    loadButtons->addWidget(m_compare);
    loadButtons->addWidget(m_ok);
    content->addLayout(loadButtons);
    connect(m_list, &QListWidget::itemSelectionChanged, this,
            [this] { m_compare->setEnabled(!m_list->selectedItems().isEmpty()); });
    connect(m_compare, &QPushButton::clicked, this, &LoadPage::compareWithOpen);
    connect(m_ok, &QPushButton::clicked, this, [this] {
        const QListWidgetItem *item = m_list->currentItem();
        m_context.commands().load(item && item->isSelected() ? item->text() : QString());
    });
    connect(m_list, &QListWidget::itemDoubleClicked, this,
            [this](const QListWidgetItem *item) { m_context.commands().load(item->text()); });

    // The history of the selected configuration, under its list.
    m_historyTitle =
        makeLabel(QStringLiteral("L_History_Title"), lang::builtinText(u"Mes_History_Title"), this);
    m_history = new QTreeWidget(this);
    m_history->setObjectName(QStringLiteral("HistoryList"));
    m_history->setRootIsDecorated(false);
    m_history->setSelectionMode(QAbstractItemView::SingleSelection);
    m_history->setColumnCount(3);
    m_history->header()->setStretchLastSection(true);
    m_historyTitle->setBuddy(m_history);
    m_restore = new ThemedButton(QStringLiteral("TntB_Restore_History"),
                                 lang::builtinText(u"Mes_History_Restore"), this);
    m_restore->setEnabled(false);
    content->addWidget(m_historyTitle);
    content->addWidget(m_history, 1);
    content->addWidget(m_restore, 0, Qt::AlignRight);
    connect(m_list, &QListWidget::itemSelectionChanged, this, &LoadPage::showHistory);
    connect(m_history, &QTreeWidget::itemSelectionChanged, this, &LoadPage::updateRestore);
    connect(m_restore, &QPushButton::clicked, this, &LoadPage::restoreEntry);
}

void LoadPage::pageShown()
{
    const lang::LanguageTexts &texts = m_context.texts();
    m_historyTitle->setText(texts.text(u"Mes_History_Title"));
    m_history->setHeaderLabels({texts.text(u"Mes_History_Date"), texts.text(u"Mes_History_Outcome"),
                                texts.text(u"Mes_History_Firmware")});
    m_restore->setText(texts.text(u"Mes_History_Restore"));
    refreshProjectList();
}

void LoadPage::configurationShown()
{
    updateRestore();
}

QString LoadPage::selectedName() const
{
    const QListWidgetItem *item = m_list->currentItem();
    return item && item->isSelected() ? item->text() : QString();
}

namespace {

// The log's word for how an update ended, in the window's language; a word
// this version does not know is shown as it is.
QString outcomeText(const lang::LanguageTexts &texts, const app::HistoryEntry &entry)
{
    static const QHash<QString, QString> keys = {
        {QStringLiteral("updated"), QStringLiteral("Hist_Updated")},
        {QStringLiteral("updated-no-answer"), QStringLiteral("Hist_No_Answer")},
        {QStringLiteral("port-lost"), QStringLiteral("Hist_Port_Lost")},
        {QStringLiteral("updater-failed"), QStringLiteral("Hist_Updater_Failed")},
        {QStringLiteral("updater-still-running"), QStringLiteral("Hist_Still_Running")},
        {QStringLiteral("replaced"), QStringLiteral("Hist_Replaced")},
        {QStringLiteral("cancelled"), QStringLiteral("Hist_Cancelled")},
    };
    const QString key = keys.value(entry.outcome);
    QString text = key.isEmpty() ? entry.outcome : texts.text(key);
    if (entry.device > 0)
        text += QStringLiteral(" (") + texts.text(u"Mes_Update_Device_Number").arg(entry.device) +
                QLatin1Char(')');
    return text;
}

} // namespace

void LoadPage::showHistory()
{
    m_history->clear();
    const QString name = selectedName();
    if (!name.isEmpty() && app::isSafeConfigurationName(name)) {
        const app::UpdateHistory history(m_context.session().workspace().projectsFolder() + name +
                                         QLatin1Char('/'));
        const QList<app::HistoryEntry> entries = history.entries();
        for (auto it = entries.crbegin(); it != entries.crend(); ++it) {
            auto *item =
                new QTreeWidgetItem(m_history, {report::shownDateTime(it->time),
                                                outcomeText(m_context.texts(), *it), it->firmwareVersion});
            item->setData(0, Qt::UserRole, it->name);
        }
        if (entries.isEmpty()) {
            // A line that cannot be chosen.
            auto *none = new QTreeWidgetItem(m_history, {m_context.texts().text(u"Mes_History_None")});
            none->setFlags(Qt::ItemIsEnabled);
            none->setFirstColumnSpanned(true);
        }
        m_history->resizeColumnToContents(0);
        m_history->resizeColumnToContents(1);
    }
    updateRestore();
}

void LoadPage::updateRestore()
{
    const QTreeWidgetItem *entry = m_history->currentItem();
    const QString name = selectedName();
    m_restore->setEnabled(entry && entry->isSelected() && !entry->data(0, Qt::UserRole).isNull() &&
                          !name.isEmpty() && name == m_context.session().configurationName());
}

void LoadPage::restoreEntry()
{
    updateRestore();
    if (!m_restore->isEnabled())
        return;
    const QString name = selectedName();
    const QString entry = m_history->currentItem()->data(0, Qt::UserRole).toString();
    const app::UpdateHistory history(m_context.session().workspace().projectsFolder() + name +
                                     QLatin1Char('/'));
    // Read into a copy: an entry that cannot be read changes nothing.
    const QString path = history.entryFolder(entry) + QStringLiteral("Configuration.xml");
    // Opening a missing file would give the new-configuration values.
    if (!QFileInfo(path).isFile()) {
        m_context.showMessage(MessageKind::Error, QStringLiteral("Error_Load_Conf"), MessageButtons::Ok,
                              QDir::toNativeSeparators(path));
        return;
    }
    config::Configuration restored = m_context.configuration();
    const config::LoadResult r = config::openConfigurationFile(path, restored);
    if (r.status == config::LoadStatus::Failed) {
        m_context.showMessage(MessageKind::Error, QStringLiteral("Error_Load_Conf"), MessageButtons::Ok,
                              r.error);
        return;
    }
    m_context.replaceRecord(restored, {m_history, -1});
}

void LoadPage::refreshProjectList()
{
    m_list->clear();
    // The sub-folders of Projects/, in the order the listing gives them.
    m_list->addItems(QDir(m_context.session().workspace().projectsFolder())
                         .entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Unsorted));
    m_list->setCurrentRow(-1);
    // Clearing the list does not always tell that the selection went.
    m_compare->setEnabled(false);
}

void LoadPage::compareWithOpen()
{
    const QList<QListWidgetItem *> selected = m_list->selectedItems();
    if (selected.isEmpty())
        return;
    const QString path = m_context.session().workspace().configurationFile(selected.first()->text());
    config::Configuration other;
    const config::LoadResult read = config::openConfigurationFile(path, other);
    if (read.status != config::LoadStatus::Loaded) {
        m_context.showMessage(MessageKind::Error, QStringLiteral("Error_Load_Conf"), MessageButtons::Ok,
                              read.error.isEmpty() ? QDir::toNativeSeparators(path) : read.error);
        return;
    }
    auto *dialog =
        new CompareDialog(app::compareConfigurations(other, m_context.configuration(), m_context.texts()),
                          m_context.texts(), window());
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &CompareDialog::differenceChosen, this, &LoadPage::differenceChosen);
    dialog->open();
}

SavePage::SavePage(PageContext &context, QWidget *parent) : Page(PageId::Save, context, parent)
{
    QVBoxLayout *content = buildFrame(QStringLiteral("P_Save_Conf"), QStringLiteral("TntL_Title_SaveConf"));
    content->addWidget(makeSubTitle(QStringLiteral("TntL_SaveConf_Save"), this).bar);
    auto *save = new ThemedButton(QStringLiteral("TntB_SaveConf"), builtinCaption(u"TntB_SaveConf"), this);
    connect(save, &QPushButton::clicked, this, [this] { m_context.commands().save(); });
    content->addWidget(save, 0, Qt::AlignLeft);
    content->addSpacing(12);
    content->addWidget(makeSubTitle(QStringLiteral("TntL_SaveConf_Save_As"), this).bar);
    auto *label = makeLabel(QStringLiteral("TntL_SaveAsConf_Name"), this);
    m_saveAsName = new QLineEdit(this);
    m_saveAsName->setObjectName(QStringLiteral("TntE_SaveAsConf"));
    label->setBuddy(m_saveAsName);
    auto *saveAs =
        new ThemedButton(QStringLiteral("TntB_SaveAsConf"), builtinCaption(u"TntB_SaveAsConf"), this);
    connect(saveAs, &QPushButton::clicked, this,
            [this] { m_context.commands().saveAs(m_saveAsName->text()); });
    connect(m_saveAsName, &QLineEdit::returnPressed, saveAs, &QPushButton::click);
    auto *row = new QHBoxLayout;
    row->addWidget(m_saveAsName, 1);
    row->addWidget(saveAs);
    content->addWidget(label);
    content->addLayout(row);
    content->addSpacing(12);
    m_sheet =
        new ThemedButton(QStringLiteral("TntB_Report_Sheet"), lang::builtinText(u"Rep_Sheet_Button"), this);
    m_sheetSecrets = new QCheckBox(lang::builtinText(u"Rep_Secrets_Box"), this);
    m_sheetSecrets->setObjectName(QStringLiteral("CB_Report_Secrets"));
    connect(m_sheet, &QPushButton::clicked, this, &SavePage::writeSheet);
    auto *sheetRow = new QHBoxLayout;
    sheetRow->addWidget(m_sheet);
    sheetRow->addWidget(m_sheetSecrets);
    sheetRow->addStretch(1);
    content->addLayout(sheetRow);
    m_chooseSheetFile = [](QWidget *parent, const QString &title, const QString &suggested,
                           const QString &filters, QString *chosenFilter) {
        return QFileDialog::getSaveFileName(parent, title, suggested, filters, chosenFilter);
    };
    content->addStretch(1);
}

void SavePage::pageShown()
{
    m_sheet->setText(m_context.texts().text(u"Rep_Sheet_Button"));
    m_sheetSecrets->setText(m_context.texts().text(u"Rep_Secrets_Box"));
}

void SavePage::writeSheet()
{
    app::Session &session = m_context.session();
    const QString name = session.configurationName();
    if (name.isEmpty()) {
        m_context.commands().askForName();
        return;
    }
    const QString configurationPath = session.workspace().configurationFile(name);
    const config::fileaccess::ReadResult saved =
        config::fileaccess::readRegularFile(configurationPath, config::fileaccess::kMaxTextFileBytes);
    if ((!saved.ok() || saved.bytes != config::serializeConfiguration(session.configuration())) &&
        !m_context.commands().saveConfiguration())
        return;

    const lang::LanguageTexts &texts = m_context.texts();
    const QString pdfFilter = texts.text(u"Rep_Filter_Pdf") + QStringLiteral(" (*.pdf)");
    const QString htmlFilter = texts.text(u"Rep_Filter_Html") + QStringLiteral(" (*.html *.htm)");
    QString folder = session.reportFolder();
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QDir::homePath();
    QString filter = pdfFilter;
    QString path = m_chooseSheetFile(this, texts.text(u"Rep_File_Dialog"),
                                     QDir(folder).filePath(name + QStringLiteral(".pdf")),
                                     pdfFilter + QStringLiteral(";;") + htmlFilter, &filter);
    if (path.isEmpty())
        return;
    // The name's ending decides; without one, the filter chosen does.
    const QString suffix = QFileInfo(path).suffix().toLower();
    const bool html = suffix == u"html" || suffix == u"htm" || (suffix != u"pdf" && filter == htmlFilter);
    if (suffix != u"pdf" && suffix != u"html" && suffix != u"htm")
        path += html ? QStringLiteral(".html") : QStringLiteral(".pdf");

    session.setReportFolder(QFileInfo(path).absolutePath());
    if (const app::SettingsWriteResult r = session.writeSettings(); !r.ok)
        m_context.showMessage(MessageKind::Error, QStringLiteral("Error_Write_File"), MessageButtons::Ok,
                              r.error);

    report::SheetOptions options;
    options.configurationName = name;
    options.date = QDateTime::currentDateTime();
    options.programVersion = QCoreApplication::applicationVersion();
    options.includeSecrets = m_sheetSecrets->isChecked();
    options.languageCode = session.languageCode();
    const report::SheetFileResult written = report::writeSheetFile(
        configurationPath, path, texts, options, html ? report::Format::Html : report::Format::Pdf,
        report::systemPaper(), &report::renderPdf);
    if (!written.written()) {
        m_context.showMessage(MessageKind::Error, QStringLiteral("Error_Write_File"), MessageButtons::Ok,
                              written.error);
        return;
    }
    m_context.showMessage(MessageKind::Information, QStringLiteral("Rep_Written"), MessageButtons::Ok,
                          QDir::toNativeSeparators(path));
}

void SavePage::configurationShown()
{
    m_saveAsName->clear();
}

void SavePage::askForName()
{
    m_saveAsName->setFocus();
}

} // namespace ui
