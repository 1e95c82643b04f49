#include "SmsTableModel.h"

#include "config/XmlText.h"

namespace ui {

SmsTableModel::SmsTableModel(config::SmsTable &table, QObject *parent)
    : QAbstractTableModel(parent), m_table(table)
{
}

int SmsTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_table.rowCount());
}

int SmsTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 3;
}

QVariant SmsTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    return m_table.row(index.row())[index.column()];
}

bool SmsTableModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::EditRole)
        return false;
    // Characters the file cannot store never reach the record.
    const QString text = config::xmlCharactersOnly(value.toString());
    if (m_table.row(index.row())[index.column()] == text)
        return true;
    m_table.setCell(index.row(), index.column(), text);
    emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
    emit edited();
    return true;
}

Qt::ItemFlags SmsTableModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

QVariant SmsTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1; // data rows count from 1, as the save-time messages do
    return section >= 0 && section < 3 ? QVariant(m_headers[section]) : QVariant();
}

bool SmsTableModel::setHeaderData(int section, Qt::Orientation orientation, const QVariant &value, int role)
{
    if (orientation != Qt::Horizontal || role != Qt::EditRole && role != Qt::DisplayRole || section < 0 ||
        section >= 3)
        return false;
    m_headers[section] = value.toString();
    emit headerDataChanged(orientation, section, section);
    return true;
}

void SmsTableModel::addRow()
{
    const int row = rowCount();
    beginInsertRows({}, row, row);
    m_table.appendRow();
    endInsertRows();
    emit edited();
}

void SmsTableModel::deleteRow(int row)
{
    if (row < 0 || row >= rowCount())
        return;
    if (rowCount() == 1) {
        m_table.removeRow(row); // blanks it
        emit dataChanged(index(0, 0), index(0, 2));
    } else {
        beginRemoveRows({}, row, row);
        m_table.removeRow(row);
        endRemoveRows();
    }
    emit edited();
}

void SmsTableModel::clearCells()
{
    m_table.blankCells();
    emit dataChanged(index(0, 0), index(rowCount() - 1, 2));
    emit edited();
}

void SmsTableModel::reload()
{
    beginResetModel();
    endResetModel();
}

} // namespace ui
