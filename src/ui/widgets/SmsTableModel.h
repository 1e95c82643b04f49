// A table model over one row table of the configuration: three text columns,
// every cell editable, and the table buttons' operations. It edits the record
// directly and reports every change through edited(). A cell that the
// save-time row check would refuse shows it: a light red background and the
// refusal's text as its tooltip.
#pragma once

#include "config/Configuration.h"
#include "config/RowChecks.h"

#include <QAbstractTableModel>

namespace lang {
class LanguageTexts;
}

namespace ui {

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

// An input table holds message, phone number, description; an output table
// phone number, profile, description.
bool isOutputTable(TableId id);
int phoneColumn(TableId id);
// -1 for an input table.
int profileColumn(TableId id);

using config::withoutPhoneSeparators;

class SmsTableModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    // texts: the current language, for the refusals' tooltips.
    SmsTableModel(config::SmsTable &table, TableId id, const lang::LanguageTexts &texts,
                  QObject *parent = nullptr);

    TableId id() const { return m_id; }
    const lang::LanguageTexts &texts() const { return m_texts; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    bool setHeaderData(int section, Qt::Orientation orientation, const QVariant &value,
                       int role = Qt::EditRole) override;

    // What the save-time row check says of this cell's value alone (the other
    // checked cells of the row taken as empty, which always passes): each bad
    // cell is found, not only the first of its row.
    config::RowRefusal cellRefusal(int row, int column) const;

    // Add Row: a blank row at the end.
    void addRow();
    // Duplicate Row: a copy of the row just below it.
    void duplicateRow(int row);
    // Delete Row: removes the row; the only row is blanked instead.
    void deleteRow(int row);
    // Clear Table: blanks every cell, keeps the number of rows.
    void clearCells();
    // Rows read from a file: after the rows that hold anything (append), or
    // instead of all rows; one edit.
    void importRows(const QList<config::TableRow> &rows, bool append);
    // The record's table was replaced (load, new configuration).
    void reload();

signals:
    // A cell or the rows changed by the user; not sent by reload().
    void edited();

private:
    config::SmsTable &m_table;
    TableId m_id;
    const lang::LanguageTexts &m_texts;
    std::array<QString, 3> m_headers;
};

} // namespace ui
