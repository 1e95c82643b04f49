// A table model over one row table of the configuration: three text columns,
// every cell editable, and the table buttons' operations. It edits the record
// directly and reports every change through edited().
#pragma once

#include "config/Configuration.h"

#include <QAbstractTableModel>

namespace ui {

class SmsTableModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    SmsTableModel(config::SmsTable &table, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    bool setHeaderData(int section, Qt::Orientation orientation, const QVariant &value,
                       int role = Qt::EditRole) override;

    // Add Row: a blank row at the end.
    void addRow();
    // Delete Row: removes the row; the only row is blanked instead.
    void deleteRow(int row);
    // Clear Table: blanks every cell, keeps the number of rows.
    void clearCells();
    // The record's table was replaced (load, new configuration).
    void reload();

signals:
    // A cell or the rows changed by the user; not sent by reload().
    void edited();

private:
    config::SmsTable &m_table;
    std::array<QString, 3> m_headers;
};

} // namespace ui
