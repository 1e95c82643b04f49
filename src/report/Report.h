// The configuration sheet as values: titled sections of label/value lines,
// tables and time-slot grids, already in the chosen language. The HTML and
// PDF renderers draw the same model, so both sheets say the same.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <array>

namespace report {

constexpr int kSlots = 48; // half hours of a day

struct Field
{
    QString label;
    QString value;
};

struct Table
{
    QStringList header;
    QList<int> weights; // relative column widths, one per header cell
    QList<QStringList> rows;
};

// Rows of half-hour slots: a week has one row per day, a daily profile one.
struct SlotGrid
{
    QStringList rowNames;
    QList<std::array<bool, kSlots>> rows;
};

struct Block
{
    enum class Kind { Heading, Fields, Table, Grid };
    Kind kind = Kind::Fields;
    QString heading;
    QList<Field> fields;
    Table table;
    SlotGrid grid;
};

struct Section
{
    QString title;
    QList<Block> blocks;
};

struct Report
{
    QString title;             // "Configuration Sheet" in the chosen language
    QString configurationName; // also in every PDF page's footer
    QList<Field> summary;      // name, date, version, image digest, secrets choice
    QList<Section> sections;
    QString languageTag; // the HTML lang attribute: en, it, de, es
};

} // namespace report
