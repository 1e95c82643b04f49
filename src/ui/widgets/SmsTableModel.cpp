#include "SmsTableModel.h"

#include "config/ConfigurationChecks.h"
#include "config/XmlText.h"
#include "lang/LanguageTexts.h"
#include "ui/widgets/Theme.h"

#include <QColor>

namespace ui {

bool isOutputTable(TableId id)
{
    return id >= TableId::DO1_SMS;
}

int phoneColumn(TableId id)
{
    return isOutputTable(id) ? 0 : 1;
}

int profileColumn(TableId id)
{
    return isOutputTable(id) ? 1 : -1;
}

SmsTableModel::SmsTableModel(config::SmsTable &table, TableId id, const lang::LanguageTexts &texts,
                             QObject *parent)
    : QAbstractTableModel(parent), m_table(table), m_id(id), m_texts(texts)
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

config::RowRefusal SmsTableModel::cellRefusal(int row, int column) const
{
    const QString &cell = m_table.row(row)[column];
    if (column == 2 || cell.isEmpty())
        return {};
    // The check's index of a table is its place in TableId.
    config::RowRefusal refusal;
    if (isOutputTable(m_id)) {
        const int list = int(m_id) - int(TableId::DO1_SMS);
        refusal =
            column == 0 ? config::checkOutputRow(cell, {}, list) : config::checkOutputRow({}, cell, list);
    } else {
        const int event = int(m_id);
        refusal =
            column == 0 ? config::checkInputRow(cell, {}, event) : config::checkInputRow({}, cell, event);
    }
    return refusal;
}

QVariant SmsTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return m_table.row(index.row())[index.column()];
    case Qt::BackgroundRole:
        if (cellRefusal(index.row(), index.column()).refused())
            return theme::kRefusedCell;
        return {};
    case Qt::ToolTipRole: {
        const config::RowRefusal refusal = cellRefusal(index.row(), index.column());
        if (!refusal.refused())
            return {};
        // The text the refused save shows for this row.
        const QString key = refusal.key.toString();
        return plainToolTip(config::failureText({0, key, index.row() + 1}, m_texts.messageText(key)));
    }
    default:
        return {};
    }
}

bool SmsTableModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::EditRole)
        return false;
    // Characters the file cannot store never reach the record, nor do the
    // separators of a phone number, however the text arrives.
    QString text = config::xmlCharactersOnly(value.toString());
    if (index.column() == phoneColumn(m_id))
        text = withoutPhoneSeparators(text);
    if (m_table.row(index.row())[index.column()] == text)
        return true;
    m_table.setCell(index.row(), index.column(), text);
    emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole, Qt::BackgroundRole, Qt::ToolTipRole});
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
    if (orientation != Qt::Horizontal || (role != Qt::EditRole && role != Qt::DisplayRole) || section < 0 ||
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

void SmsTableModel::duplicateRow(int row)
{
    if (row < 0 || row >= rowCount())
        return;
    QList<config::TableRow> rows = m_table.rows();
    beginInsertRows({}, row + 1, row + 1);
    rows.insert(row + 1, rows.at(row));
    m_table.setRows(std::move(rows));
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

void SmsTableModel::importRows(const QList<config::TableRow> &rows, bool append)
{
    QList<config::TableRow> all;
    if (append) {
        all = m_table.rows();
        // The blank rows at the end (a new table's one row) would stand
        // between the rows kept and those brought in.
        while (!all.isEmpty() && config::SmsTable::isBlank(all.last()) && all.last()[1].isEmpty())
            all.removeLast();
    }
    all.append(rows);
    beginResetModel();
    m_table.setRows(std::move(all));
    endResetModel();
    emit edited();
}

void SmsTableModel::reload()
{
    beginResetModel();
    endResetModel();
}

} // namespace ui
