#include "HtmlSheet.h"

namespace report {

namespace {

const char kStyle[] = R"(
body { font-family: "DejaVu Sans", Arial, Helvetica, sans-serif; font-size: 10pt; color: #111; margin: 1.5em;
       font-variant-ligatures: none; }
h1 { font-size: 17pt; color: #015cad; margin: 0 0 0.4em 0; }
h2 { font-size: 13pt; color: #fff; background: #015cad; padding: 3px 6px; margin: 1.2em 0 0.4em 0; }
h3 { font-size: 11pt; color: #015cad; border-bottom: 1px solid #015cad; margin: 0.9em 0 0.3em 0; }
h2, h3 { page-break-after: avoid; break-after: avoid; }
table { border-collapse: collapse; width: 100%; margin: 0.2em 0 0.6em 0; }
th, td { border: 1px solid #888; padding: 2px 5px; text-align: left; vertical-align: top; overflow-wrap: anywhere; }
th { background: #dce9f5; }
thead { display: table-header-group; }
tr { page-break-inside: avoid; break-inside: avoid; }
table.fields td { border: none; border-bottom: 1px solid #ddd; }
table.fields td.label { width: 45%; color: #333; }
table.grid { table-layout: fixed; }
table.grid td, table.grid th { padding: 0; height: 11px; font-size: 7pt; font-weight: normal; background: none; }
table.grid th.name, table.grid td.name { width: 11%; border: none; padding-right: 4px; }
table.grid th.hour { border: none; text-align: left; }
table.grid td.on { background: #015cad; }
table.grid td.hour { border-left: 1px solid #111; }
table.grid { print-color-adjust: exact; -webkit-print-color-adjust: exact; }
@page { margin: 15mm; }
)";

QString esc(const QString &text)
{
    return text.toHtmlEscaped();
}

void fields(QString &out, const QList<Field> &lines)
{
    out += QLatin1String("<table class=\"fields\">");
    for (const Field &f : lines) {
        out += QLatin1String("<tr><td class=\"label\">") + esc(f.label) + QLatin1String("</td><td>") +
               esc(f.value) + QLatin1String("</td></tr>");
    }
    out += QLatin1String("</table>\n");
}

void table(QString &out, const Table &t)
{
    int total = 0;
    for (int w : t.weights)
        total += w;
    out += QLatin1String("<table><colgroup>");
    for (int w : t.weights)
        out += QStringLiteral("<col style=\"width:%1%\">").arg(total ? 100 * w / total : 0);
    out += QLatin1String("</colgroup><thead><tr>");
    for (const QString &h : t.header)
        out += QLatin1String("<th>") + esc(h) + QLatin1String("</th>");
    out += QLatin1String("</tr></thead><tbody>");
    for (const QStringList &row : t.rows) {
        out += QLatin1String("<tr>");
        for (const QString &cell : row)
            out += QLatin1String("<td>") + esc(cell) + QLatin1String("</td>");
        out += QLatin1String("</tr>");
    }
    out += QLatin1String("</tbody></table>\n");
}

// Hours over every sixth slot; every slot a cell, filled when it is on.
void grid(QString &out, const SlotGrid &g)
{
    out += QLatin1String("<table class=\"grid\"><thead><tr><th class=\"name\"></th>");
    for (int hour = 0; hour < 24; hour += 3)
        out += QStringLiteral("<th class=\"hour\" colspan=\"6\">%1</th>").arg(hour, 2, 10, QLatin1Char('0'));
    out += QLatin1String("</tr></thead><tbody>");
    for (qsizetype r = 0; r < g.rows.size(); ++r) {
        out += QLatin1String("<tr><td class=\"name\">") + esc(g.rowNames.value(r)) + QLatin1String("</td>");
        for (int s = 0; s < kSlots; ++s) {
            QStringList classes;
            if (g.rows[r][s])
                classes.append(QStringLiteral("on"));
            if (s % 6 == 0)
                classes.append(QStringLiteral("hour"));
            out += classes.isEmpty() ? QStringLiteral("<td></td>")
                                     : QStringLiteral("<td class=\"%1\"></td>").arg(classes.join(u' '));
        }
        out += QLatin1String("</tr>");
    }
    out += QLatin1String("</tbody></table>\n");
}

} // namespace

QByteArray renderHtml(const Report &report)
{
    QString out;
    out.reserve(64 * 1024);
    out += QStringLiteral("<!DOCTYPE html>\n<html lang=\"%1\"><head><meta charset=\"utf-8\">")
               .arg(report.languageTag);
    out += QLatin1String("<title>") + esc(report.title + QStringLiteral(" - ") + report.configurationName) +
           QLatin1String("</title><style>") + QLatin1String(kStyle) +
           QLatin1String("</style></head>\n<body>\n");
    out += QLatin1String("<h1>") + esc(report.title) + QLatin1String("</h1>\n");
    fields(out, report.summary);
    for (const Section &section : report.sections) {
        out += QLatin1String("<h2>") + esc(section.title) + QLatin1String("</h2>\n");
        for (const Block &b : section.blocks) {
            switch (b.kind) {
            case Block::Kind::Heading:
                out += QLatin1String("<h3>") + esc(b.heading) + QLatin1String("</h3>\n");
                break;
            case Block::Kind::Fields:
                fields(out, b.fields);
                break;
            case Block::Kind::Table:
                table(out, b.table);
                break;
            case Block::Kind::Grid:
                grid(out, b.grid);
                break;
            }
        }
    }
    out += QLatin1String("</body></html>\n");
    return out.toUtf8();
}

} // namespace report
