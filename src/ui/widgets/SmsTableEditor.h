// One of the ten message and number tables on the input and output pages:
// the grid with its sky-blue header row and its three buttons (add, delete,
// clear), named as the language files and the tests know them.
#pragma once

#include <QTableView>
#include <QWidget>

class QPushButton;

namespace ui {

class SmsTableModel;

// In the order of the row checks: the six input tables, then the four output tables.
enum class TableId {
    DI1_F0T1,
    DI1_F1T0,
    DI2_F0T1,
    DI2_F1T0,
    AI1_High,
    AI1_Low,
    DO1_SMS,
    DO1_CALL,
    DO2_SMS,
    DO2_CALL
};

struct TableNames
{
    const char *grid;
    const char *add;
    const char *remove;
    const char *clear;
    int widths[3];
};

const TableNames &tableNames(TableId id);

class SmsTableEditor : public QWidget
{
    Q_OBJECT
public:
    // Rows shown before the grid scrolls.
    static constexpr int kVisibleRows = 4;

    SmsTableEditor(TableId id, QWidget *parent = nullptr);

    TableId id() const { return m_id; }
    QTableView *view() const { return m_view; }
    SmsTableModel *model() const { return m_model; }
    // Shows a model; the header captions start as the built-in texts.
    void setModel(SmsTableModel *model);

    QPushButton *addButton() const { return m_add; }
    QPushButton *deleteButton() const { return m_delete; }
    QPushButton *clearButton() const { return m_clear; }

private:
    void deleteFocusedRow();
    void fitHeaderCaptions();

    TableId m_id;
    QTableView *m_view = nullptr;
    SmsTableModel *m_model = nullptr;
    QPushButton *m_add = nullptr;
    QPushButton *m_delete = nullptr;
    QPushButton *m_clear = nullptr;
};

} // namespace ui
