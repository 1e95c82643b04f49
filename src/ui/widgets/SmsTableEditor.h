// One of the ten message and number tables on the input and output pages:
// the grid with its sky-blue header row and its four buttons (add, duplicate,
// delete, clear), named as the language files and the tests know them.
#pragma once

#include "ui/widgets/SmsTableModel.h"

#include <QWidget>

class QPushButton;

namespace ui {

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

private:
    // The row of the focused cell; the first row when no cell is current.
    int focusedRow() const;
    void addRow();
    void duplicateFocusedRow();
    void deleteFocusedRow();
    void fitHeaderCaptions();

    TableId m_id;
    SmsTableView *m_view = nullptr;
    SmsTableModel *m_model = nullptr;
    QPushButton *m_add = nullptr;
    QPushButton *m_duplicate = nullptr;
    QPushButton *m_delete = nullptr;
    QPushButton *m_clear = nullptr;
};

} // namespace ui
