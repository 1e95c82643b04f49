#include "SmsTableEditor.h"

#include "app/TableCatalog.h"
#include "app/TableCsv.h"
#include "config/FileAccess.h"
#include "config/RowChecks.h"
#include "lang/KeyTable.h"
#include "lang/LanguageTexts.h"
#include "ui/LanguageApplier.h"
#include "ui/PageContext.h"
#include "ui/widgets/LengthCounter.h"
#include "ui/widgets/PageParts.h"
#include "ui/widgets/SmsTableModel.h"
#include "ui/widgets/SmsTableView.h"
#include "ui/widgets/TableCellDelegates.h"
#include "ui/widgets/Theme.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMenu>
#include <QShortcut>
#include <QVBoxLayout>

namespace ui {
namespace {

// clang-format off
constexpr TableNames kTables[] = {
    {"SG_SMS_DI1_F0T1", "TntB_AddRow_DI1_F0T1", "TntB_DelRow_DI1_F0T1", "TntB_Clear_DI1_F0T1", {240, 115, 124}, "TntB_DupRow_DI1_F0T1"},
    {"SG_SMS_DI1_F1T0", "TntB_AddRow_DI1_F1T0", "TntB_DelRow_DI1_F1T0", "TntB_Clear_DI1_F1T0", {240, 115, 124}, "TntB_DupRow_DI1_F1T0"},
    {"SG_SMS_DI2_F0T1", "TntB_AddRow_DI2_F0T1", "TntB_DelRow_DI2_F0T1", "TntB_Clear_DI2_F0T1", {240, 115, 124}, "TntB_DupRow_DI2_F0T1"},
    {"SG_SMS_DI2_F1T0", "TntB_AddRow_DI2_F1T0", "TntB_DelRow_DI2_F1T0", "TntB_Clear_DI2_F1T0", {240, 115, 124}, "TntB_DupRow_DI2_F1T0"},
    {"SG_SMS_AI1_High", "TntB_AddRow_AI1_High", "TntB_DelRow_AI1_High", "TntB_Clear_AI1_High", {211, 103, 80}, "TntB_DupRow_AI1_High"},
    {"SG_SMS_AI1_Low", "TntB_AddRow_AI1_Low", "TntB_DelRow_AI1_Low", "TntB_Clear_AI1_Low", {211, 103, 80}, "TntB_DupRow_AI1_Low"},
    {"SG_DO1_SMS", "TntB_DO1_SMS_AddRow", "TntB_DO1_SMS_DelRow", "TntB_DO1_SMS_ClearT", {211, 103, 80}, "TntB_DO1_SMS_DupRow"},
    {"SG_DO1_CALL", "TntB_DO1_CALL_AddRow", "TntB_DO1_CALL_DelRow", "TntB_DO1_CALL_ClearT", {211, 103, 80}, "TntB_DO1_CALL_DupRow"},
    {"SG_DO2_SMS", "TntB_DO2_SMS_AddRow", "TntB_DO2_SMS_DelRow", "TntB_DO2_SMS_ClearT", {211, 103, 80}, "TntB_DO2_SMS_DupRow"},
    {"SG_DO2_CALL", "TntB_DO2_CALL_AddRow", "TntB_DO2_CALL_DelRow", "TntB_DO2_CALL_ClearT", {211, 103, 80}, "TntB_DO2_CALL_DupRow"},
};
// clang-format on

constexpr int kRowHeight = 20;

constexpr QStringView kCsvKey = u"Caption_Csv";
constexpr QStringView kExportCsvKey = u"Caption_Export_Csv";
constexpr QStringView kImportCsvKey = u"Caption_Import_Csv";

} // namespace

const TableNames &tableNames(TableId id)
{
    return kTables[int(id)];
}

QString csvButtonName(TableId id)
{
    return QLatin1String(tableNames(id).duplicate)
        .toString()
        .replace(QLatin1String("DupRow"), QLatin1String("Csv"));
}

QString csvActionName(TableId id, bool import)
{
    return QLatin1String(tableNames(id).duplicate)
        .toString()
        .replace(QLatin1String("DupRow"), import ? QLatin1String("ImpCsv") : QLatin1String("ExpCsv"))
        .replace(QLatin1String("TntB_"), QLatin1String("Act_"));
}

SmsTableEditor::SmsTableEditor(TableId id, QWidget *parent) : QWidget(parent), m_id(id)
{
    const TableNames &names = tableNames(id);
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(4);

    m_view = new SmsTableView(this);
    m_view->setObjectName(QLatin1String(names.grid));
    m_view->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
                            QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    m_view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_view->setSelectionBehavior(QAbstractItemView::SelectItems);
    // Tab walks the cells and then leaves the grid (SmsTableView), never
    // going round in it.
    m_view->setTabKeyNavigation(false);
    m_view->setWordWrap(false);
    m_view->verticalHeader()->hide();
    m_view->verticalHeader()->setDefaultSectionSize(kRowHeight);
    m_view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    QHeaderView *header = m_view->horizontalHeader();
    header->setFixedHeight(kRowHeight + 2);
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setHighlightSections(false);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header->setStyleSheet(QStringLiteral("QHeaderView::section { background: %1; color: black;"
                                         " border: none; border-right: 1px solid %2;"
                                         " border-bottom: 1px solid %2; padding-left: 4px; }")
                              .arg(theme::kHeader.name(), theme::kHeader.darker(125).name()));
    m_view->setFixedHeight(header->height() + kVisibleRows * kRowHeight + 2 * m_view->frameWidth());
    // The first column of an input table is the message the device sends.
    if (id <= TableId::AI1_Low)
        m_view->setItemDelegateForColumn(0, new LimitedCellDelegate(config::kMaxMessageLength, m_view));
    m_view->setItemDelegateForColumn(phoneColumn(id), new PhoneCellDelegate(m_view));
    column->addWidget(m_view);

    auto *buttons = new QHBoxLayout;
    buttons->setSpacing(6);
    m_add = new ThemedButton(QLatin1String(names.add), builtinCaption(QLatin1String(names.add)), this);
    m_delete =
        new ThemedButton(QLatin1String(names.remove), builtinCaption(QLatin1String(names.remove)), this);
    m_clear = new ThemedButton(QLatin1String(names.clear), builtinCaption(QLatin1String(names.clear)), this);
    m_duplicate = new ThemedButton(QLatin1String(names.duplicate), lang::builtinText(kDuplicateRowKey), this);
    setTextKey(m_duplicate, kDuplicateRowKey);
    buttons->addWidget(m_add);
    buttons->addWidget(m_duplicate);
    buttons->addWidget(m_delete);
    buttons->addWidget(m_clear);
    // Export and import in the menu of one narrow button, so that the row of
    // buttons fits the page in every language, and in the grid's context menu.
    m_csv = new ThemedButton(csvButtonName(id), lang::builtinText(kCsvKey), this);
    setTextKey(m_csv, kCsvKey);
    m_export = new QAction(lang::builtinText(kExportCsvKey), m_view);
    m_export->setObjectName(csvActionName(id, false));
    m_import = new QAction(lang::builtinText(kImportCsvKey), m_view);
    m_import->setObjectName(csvActionName(id, true));
    auto *menu = new QMenu(m_csv);
    menu->addAction(m_export);
    menu->addAction(m_import);
    m_csv->setMenu(menu);
    connect(menu, &QMenu::aboutToShow, this, &SmsTableEditor::captionCsvActions);
    buttons->addWidget(m_csv);
    buttons->addStretch(1);
    column->addLayout(buttons);

    m_view->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_view, &QWidget::customContextMenuRequested, this, [this](const QPoint &at) {
        captionCsvActions();
        QMenu::exec({m_export, m_import}, m_view->viewport()->mapToGlobal(at), nullptr, m_view);
    });
    connect(m_export, &QAction::triggered, this, &SmsTableEditor::exportCsv);
    connect(m_import, &QAction::triggered, this, &SmsTableEditor::importCsv);
    m_chooseCsvFile = [](QWidget *parent, bool save, const QString &title, const QString &suggested,
                         const QString &filter) {
        return save ? QFileDialog::getSaveFileName(parent, title, suggested, filter)
                    : QFileDialog::getOpenFileName(parent, title, suggested, filter);
    };

    connect(m_add, &QPushButton::clicked, this, &SmsTableEditor::addRow);
    connect(m_duplicate, &QPushButton::clicked, this, &SmsTableEditor::duplicateFocusedRow);
    // Ctrl+D in the grid, a cell being edited included.
    auto *duplicate = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_D), m_view);
    duplicate->setContext(Qt::WidgetWithChildrenShortcut);
    connect(duplicate, &QShortcut::activated, this, &SmsTableEditor::duplicateFocusedRow);
    connect(m_delete, &QPushButton::clicked, this, &SmsTableEditor::deleteFocusedRow);
    connect(m_clear, &QPushButton::clicked, this, [this] {
        if (m_model)
            m_model->clearCells();
    });
}

void SmsTableEditor::setModel(SmsTableModel *model)
{
    m_model = model;
    m_view->setModel(model);
    const TableNames &names = tableNames(m_id);
    for (int c = 0; c < 3; ++c) {
        model->setHeaderData(c, Qt::Horizontal,
                             headerText(lang::builtinText(
                                 QStringLiteral("%1_T%2").arg(QLatin1String(names.grid)).arg(c + 1))));
        m_view->horizontalHeader()->resizeSection(c, names.widths[c]);
    }
    m_view->horizontalHeader()->setStretchLastSection(true);
    if (profileColumn(m_id) >= 0)
        m_view->setItemDelegateForColumn(profileColumn(m_id),
                                         new ProfileCellDelegate(model->texts(), m_view));
    connect(model, &SmsTableModel::headerDataChanged, this, &SmsTableEditor::fitHeaderCaptions);
    fitHeaderCaptions();
}

void SmsTableEditor::fitHeaderCaptions()
{
    // A caption longer than its column in some language widens the column
    // (the last one stretches anyway); narrower captions leave it as it is.
    // The profile column fits the longest profile name as well.
    QHeaderView *header = m_view->horizontalHeader();
    for (int c = 0; c < 2; ++c) {
        int needed = header->sectionSizeHint(c);
        if (auto *profiles = qobject_cast<ProfileCellDelegate *>(m_view->itemDelegateForColumn(c))) {
            for (int n = 0; n < ProfileCellDelegate::kProfileNumbers; ++n)
                needed = std::max(needed, m_view->fontMetrics().horizontalAdvance(profiles->caption(n)) + 12);
        }
        if (header->sectionSize(c) < needed)
            header->resizeSection(c, needed);
    }
}

int SmsTableEditor::focusedRow() const
{
    return std::max(0, m_view->currentIndex().row());
}

void SmsTableEditor::addRow()
{
    if (!m_model)
        return;
    m_view->finishEditing();
    m_model->addRow();
    // Ready to type into the new row.
    m_view->editCell(m_model->index(m_model->rowCount() - 1, 0));
}

void SmsTableEditor::duplicateFocusedRow()
{
    if (!m_model)
        return;
    // What is being typed belongs to the row copied.
    m_view->finishEditing();
    const int row = focusedRow();
    const int column = std::max(0, m_view->currentIndex().column());
    m_model->duplicateRow(row);
    // The copy is where the keyboard goes on: another number for the same message.
    m_view->setFocus(Qt::OtherFocusReason);
    m_view->setCurrentIndex(m_model->index(row + 1, column));
}

void SmsTableEditor::deleteFocusedRow()
{
    if (!m_model)
        return;
    // Only the row of the focused cell goes, whatever else is selected; a grid
    // without a current cell has its first row focused.
    m_model->deleteRow(focusedRow());
}

void SmsTableEditor::captionCsvActions()
{
    if (!m_context)
        return;
    m_export->setText(m_context->texts().messageText(kExportCsvKey));
    m_import->setText(m_context->texts().messageText(kImportCsvKey));
}

QString SmsTableEditor::askCsvFile(bool save)
{
    const lang::LanguageTexts &texts = m_context->texts();
    const QString name = QLatin1String(app::tableInfo(int(m_id)).name) + QStringLiteral(".csv");
    return m_chooseCsvFile(this, save, texts.messageText(save ? u"Csv_Export_Dialog" : u"Csv_Import_Dialog"),
                           save ? QDir::home().filePath(name) : QDir::homePath(),
                           texts.messageText(u"Csv_Filter") + QStringLiteral(" (*.csv)"));
}

void SmsTableEditor::exportCsv()
{
    if (!m_model || !m_context)
        return;
    m_view->finishEditing();
    QString path = askCsvFile(true);
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".csv");
    const int table = int(m_id);
    QList<config::TableRow> rows;
    for (const config::TableRow &row : app::tableOf(m_context->configuration(), table).rows()) {
        if (!row[0].isEmpty() || !row[1].isEmpty() || !row[2].isEmpty())
            rows.append(row);
    }
    const config::fileaccess::WriteResult written = config::fileaccess::writeFileAtomically(
        path, app::writeTableCsv(app::tableHeader(table, m_context->texts()), rows));
    if (!written.ok)
        m_context->showMessage(MessageKind::Error, QStringLiteral("Error_Write_File"), MessageButtons::Ok,
                               QDir::toNativeSeparators(path) + QLatin1Char('\n') + written.error);
}

void SmsTableEditor::importCsv()
{
    if (!m_model || !m_context)
        return;
    m_view->finishEditing();
    const QString path = askCsvFile(false);
    if (path.isEmpty())
        return;
    const config::fileaccess::ReadResult read =
        config::fileaccess::readRegularFile(path, config::fileaccess::kMaxTextFileBytes);
    if (!read.ok()) {
        m_context->showMessage(MessageKind::Error, QStringLiteral("Error_Csv_Read"), MessageButtons::Ok,
                               QDir::toNativeSeparators(path) + QLatin1Char('\n') + read.reason());
        return;
    }
    const int table = int(m_id);
    const lang::LanguageTexts &texts = m_context->texts();
    const app::CsvTable csv = app::readTableCsv(
        read.bytes,
        app::tableHeadersOfAllLanguages(table, m_context->session().workspace().languageFolder()));
    if (!csv.ok()) {
        m_context->showText(MessageKind::Error,
                            app::csvErrorText(csv, texts, app::tableHeader(table, texts)));
        return;
    }
    const MessageAnswer answer = m_context->askChoice(
        MessageKind::Information, texts.messageText(u"Csv_Import_Question").arg(csv.rows.size()),
        {QStringLiteral("Csv_Append"), QStringLiteral("Csv_Replace"), QStringLiteral("Csv_Cancel")});
    if (answer != MessageAnswer::Yes && answer != MessageAnswer::No)
        return;
    QList<config::TableRow> rows;
    rows.reserve(csv.rows.size());
    for (const config::TableRow &row : csv.rows)
        rows.append(app::asStored(table, row));
    // Rows the save would refuse come in and carry the cells' marks, so that
    // the user sees them all at once rather than losing the file.
    m_model->importRows(rows, answer == MessageAnswer::Yes);
}

} // namespace ui
