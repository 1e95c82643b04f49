// One of the ten message and number tables on the input and output pages:
// the grid with its sky-blue header row and its buttons (add, duplicate,
// delete, clear, and CSV with export and import), named as the language files and the
// tests know them.
#pragma once

#include "ui/widgets/SmsTableModel.h"

#include <QWidget>
#include <functional>

class QAction;
class QPushButton;

namespace ui {

class PageContext;
class SmsTableView;

struct TableNames
{
    const char *grid;
    const char *add;
    const char *remove;
    const char *clear;
    int widths[3];
    const char *duplicate;
};

// The caption of every Duplicate Row button, a message text.
inline constexpr QStringView kDuplicateRowKey = u"Caption_Duplicate_Row";

const TableNames &tableNames(TableId id);
// The CSV button's name, made as the Duplicate Row button's (TntB_Csv_DI1_F0T1,
// TntB_DO1_SMS_Csv), and its menu's actions' (Act_ExpCsv_DI1_F0T1,
// Act_DO1_SMS_ImpCsv), which the grid's context menu shows as well.
QString csvButtonName(TableId id);
QString csvActionName(TableId id, bool import);

class SmsTableEditor : public QWidget
{
    Q_OBJECT
public:
    // Rows shown before the grid scrolls.
    static constexpr int kVisibleRows = 4;

    SmsTableEditor(TableId id, QWidget *parent = nullptr);

    TableId id() const { return m_id; }
    SmsTableView *view() const { return m_view; }
    SmsTableModel *model() const { return m_model; }
    // Shows a model; the header captions start as the built-in texts.
    void setModel(SmsTableModel *model);

    QPushButton *addButton() const { return m_add; }
    QPushButton *duplicateButton() const { return m_duplicate; }
    QPushButton *deleteButton() const { return m_delete; }
    QPushButton *clearButton() const { return m_clear; }
    QPushButton *csvButton() const { return m_csv; }
    QAction *exportAction() const { return m_export; }
    QAction *importAction() const { return m_import; }

    // The window's texts, message boxes and workspace, for the CSV buttons.
    void setContext(PageContext *context) { m_context = context; }

    // Asks for the CSV file: (parent, save or open, title, suggested path,
    // filter) -> the file, or empty. Tests answer with a chooser of their own.
    using CsvFileChooser = std::function<QString(QWidget *parent, bool save, const QString &title,
                                                 const QString &suggested, const QString &filter)>;
    void setCsvFileChooser(CsvFileChooser chooser) { m_chooseCsvFile = std::move(chooser); }

    // The table in a CSV file with the header in the window's language.
    void exportCsv();
    // Rows from a CSV file, appended or in place of the table's (asked);
    // a file that does not fit the table changes nothing.
    void importCsv();

private:
    // The row of the focused cell; the first row when no cell is current.
    int focusedRow() const;
    void addRow();
    void duplicateFocusedRow();
    void deleteFocusedRow();
    void fitHeaderCaptions();
    QString askCsvFile(bool save);
    // The actions' captions in the window's language.
    void captionCsvActions();

    TableId m_id;
    SmsTableView *m_view = nullptr;
    SmsTableModel *m_model = nullptr;
    QPushButton *m_add = nullptr;
    QPushButton *m_duplicate = nullptr;
    QPushButton *m_delete = nullptr;
    QPushButton *m_clear = nullptr;
    QPushButton *m_csv = nullptr;
    QAction *m_export = nullptr;
    QAction *m_import = nullptr;
    PageContext *m_context = nullptr;
    CsvFileChooser m_chooseCsvFile;
};

} // namespace ui
