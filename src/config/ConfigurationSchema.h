// The element tree of Configuration.xml bound to the fields of one
// configuration record. Writer and loader both walk this one table.
#pragma once

#include "config/Configuration.h"

#include <QList>
#include <QString>
#include <variant>

namespace config {

enum class TableLayout { Input, Output };

struct SchemaNode
{
    enum class Kind { Group, Flag, Text, Operation, Table, TimeSlots, AlwaysEmpty };

    QString name;
    Kind kind = Kind::Group;
    std::variant<std::monostate, bool *, QString *, Operation *, SmsTable *, DaySlots *> field;
    TableLayout layout = TableLayout::Input;
    // An optional element takes its fallback when it is missing or unreadable.
    bool optional = false;
    QString fallback;
    const QString *fallbackFrom = nullptr; // fallback taken from a field read earlier
    QList<SchemaNode> children;
};

// Cell element names of a row, in written order, and the table column each fills.
struct RowCell
{
    const char *name;
    int column;
};
const std::array<RowCell, 3> &rowCells(TableLayout layout);

SchemaNode configurationSchema(Configuration &configuration);

} // namespace config
