#include "PdfSheet.h"

#include <QBuffer>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QTextLayout>
#include <algorithm>
#include <memory>

namespace report {

namespace {

const QColor kMain(1, 92, 173);
const QColor kHeaderFill(220, 233, 245);
const QColor kRule(136, 136, 136);
const QColor kLightRule(210, 210, 210);

constexpr qreal kPad = 3;         // cell padding, left and right
constexpr qreal kPadV = 1.5;      // cell padding, top and bottom
constexpr qreal kFooter = 22;     // room kept for the footer
constexpr qreal kGap = 6;         // space after a block
constexpr qreal kSlotHeight = 10; // one row of a slot grid
constexpr qreal kGridNames = 70;  // the row names' column of a slot grid
constexpr int kShortFields = 4;   // lines that move to the next page with what follows them

// A text laid out in a width, ready to be measured and drawn.
class Paragraph
{
public:
    Paragraph(const QString &text, const QFont &font, QPaintDevice *device, qreal width)
        : m_layout(text, font, device)
    {
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        m_layout.setTextOption(option);
        m_layout.beginLayout();
        for (QTextLine line = m_layout.createLine(); line.isValid(); line = m_layout.createLine()) {
            line.setLineWidth(width);
            line.setPosition(QPointF(0, m_height));
            m_height += line.height();
        }
        m_layout.endLayout();
    }
    qreal height() const { return m_height; }
    void draw(QPainter *painter, QPointF at) const { m_layout.draw(painter, at); }

private:
    QTextLayout m_layout;
    qreal m_height = 0;
};

// Lays the report out page by page. The first run only measures (no
// painter) to learn the page count the footers print; the second draws the
// same layout.
class PdfLayout
{
public:
    PdfLayout(const Report &report, QPdfWriter &writer, QPainter *painter, int pageCount)
        : m_report(report), m_writer(writer), m_painter(painter), m_pageCount(pageCount)
    {
        m_width = writer.width();
        m_bottom = writer.height() - kFooter;
        m_body.setFamily(QStringLiteral("DejaVu Sans"));
        m_body.setPointSizeF(8.5);
        m_body.setHintingPreference(QFont::PreferNoHinting);
        // Ligatures would turn "ff" in a digest or "fi" in a caption into
        // one glyph, which a reader copies as a character of its own.
        m_body.setStyleStrategy(QFont::PreferNoShaping);
        m_small = m_body;
        m_small.setPointSizeF(6.5);
        m_bold = m_body;
        m_bold.setBold(true);
        m_heading = m_bold;
        m_heading.setPointSizeF(10.5);
        m_section = m_bold;
        m_section.setPointSizeF(12);
        m_title = m_bold;
        m_title.setPointSizeF(17);
    }

    int run()
    {
        Paragraph title(m_report.title, m_title, &m_writer, m_width);
        if (m_painter) {
            m_painter->setPen(kMain);
            title.draw(m_painter, {0, m_y});
        }
        m_y += title.height() + kGap;
        fields(m_report.summary);
        for (const Section &section : m_report.sections) {
            m_y += kGap;
            sectionBar(section);
        }
        footer();
        return m_page;
    }

private:
    qreal fieldsFirstHeight(const QList<Field> &lines)
    {
        return lines.isEmpty() ? 0 : fieldRowHeight(lines.first());
    }
    qreal fieldsHeight(const QList<Field> &lines)
    {
        qreal h = 0;
        for (const Field &f : lines)
            h += fieldRowHeight(f);
        return h + kGap;
    }
    qreal tableFirstHeight(const Table &t)
    {
        return rowHeight(t, t.header, m_bold) + (t.rows.isEmpty() ? 0 : rowHeight(t, t.rows.first(), m_body));
    }
    qreal gridHeight(const SlotGrid &g) { return kSlotHeight * (g.rows.size() + 1); }
    qreal headingHeight(const QString &text)
    {
        return Paragraph(text, m_heading, &m_writer, m_width).height() + 4;
    }
    qreal sectionHeight(const QString &text)
    {
        return Paragraph(text, m_section, &m_writer, m_width - 2 * kPad).height() + 2 * kPadV + 4;
    }

    // What must stand on one page with whatever comes before it: a heading
    // with the start of the block after it, a table's header with its first
    // row, a whole slot grid.
    qreal firstHeight(const QList<Block> &blocks, qsizetype i)
    {
        if (i >= blocks.size())
            return 0;
        const Block &b = blocks[i];
        switch (b.kind) {
        case Block::Kind::Heading:
            return headingHeight(b.heading) + firstHeight(blocks, i + 1);
        case Block::Kind::Fields:
            // A few lines stay with the table or grid they introduce.
            if (b.fields.size() <= kShortFields && i + 1 < blocks.size() &&
                blocks[i + 1].kind != Block::Kind::Heading && blocks[i + 1].kind != Block::Kind::Fields)
                return fieldsHeight(b.fields) + firstHeight(blocks, i + 1);
            return fieldsFirstHeight(b.fields);
        case Block::Kind::Table:
            return tableFirstHeight(b.table);
        case Block::Kind::Grid:
            return gridHeight(b.grid);
        }
        return 0;
    }

    // A new page when `height` does not fit below; never on a page still
    // empty, where it could not fit better.
    void ensure(qreal height)
    {
        if (m_y > 0 && m_y + height > m_bottom)
            newPage();
    }

    void newPage()
    {
        footer();
        if (m_painter)
            m_writer.newPage();
        ++m_page;
        m_y = 0;
    }

    void footer()
    {
        if (!m_painter)
            return;
        const qreal top = m_bottom + kFooter - 12;
        m_painter->setPen(QPen(kRule, 0.5));
        m_painter->drawLine(QLineF(0, top - 3, m_width, top - 3));
        m_painter->setPen(Qt::black);
        const QString pages = QStringLiteral("%1 / %2").arg(m_page).arg(m_pageCount);
        Paragraph number(pages, m_small, &m_writer, m_width);
        const qreal numberWidth = QFontMetricsF(m_small, &m_writer).horizontalAdvance(pages) + 2;
        Paragraph name(m_report.configurationName, m_small, &m_writer, m_width - numberWidth - 20);
        name.draw(m_painter, {0, top});
        number.draw(m_painter, {m_width - numberWidth, top});
    }

    void sectionBar(const Section &section)
    {
        ensure(sectionHeight(section.title) + firstHeight(section.blocks, 0));
        Paragraph text(section.title, m_section, &m_writer, m_width - 2 * kPad);
        const qreal h = text.height() + 2 * kPadV;
        if (m_painter) {
            m_painter->fillRect(QRectF(0, m_y, m_width, h), kMain);
            m_painter->setPen(Qt::white);
            text.draw(m_painter, {kPad, m_y + kPadV});
        }
        m_y += h + 4;
        for (qsizetype i = 0; i < section.blocks.size(); ++i) {
            const Block &b = section.blocks[i];
            ensure(firstHeight(section.blocks, i));
            switch (b.kind) {
            case Block::Kind::Heading:
                heading(b.heading);
                break;
            case Block::Kind::Fields:
                fields(b.fields);
                break;
            case Block::Kind::Table:
                table(b.table);
                break;
            case Block::Kind::Grid:
                grid(b.grid);
                break;
            }
        }
    }

    void heading(const QString &text)
    {
        m_y += 2;
        Paragraph p(text, m_heading, &m_writer, m_width);
        if (m_painter) {
            m_painter->setPen(kMain);
            p.draw(m_painter, {0, m_y});
            m_painter->setPen(QPen(kMain, 0.6));
            m_painter->drawLine(QLineF(0, m_y + p.height() + 0.5, m_width, m_y + p.height() + 0.5));
        }
        m_y += p.height() + 2;
    }

    qreal labelWidth() const { return m_width * 0.45; }

    qreal fieldRowHeight(const Field &f)
    {
        const qreal a = Paragraph(f.label, m_body, &m_writer, labelWidth() - 2 * kPad).height();
        const qreal b = Paragraph(f.value, m_body, &m_writer, m_width - labelWidth() - 2 * kPad).height();
        return std::max(a, b) + 2 * kPadV;
    }

    void fields(const QList<Field> &lines)
    {
        for (const Field &f : lines) {
            Paragraph label(f.label, m_body, &m_writer, labelWidth() - 2 * kPad);
            Paragraph value(f.value, m_body, &m_writer, m_width - labelWidth() - 2 * kPad);
            const qreal h = std::max(label.height(), value.height()) + 2 * kPadV;
            ensure(h);
            if (m_painter) {
                m_painter->setPen(QColor(60, 60, 60));
                label.draw(m_painter, {kPad, m_y + kPadV});
                m_painter->setPen(Qt::black);
                value.draw(m_painter, {labelWidth() + kPad, m_y + kPadV});
                m_painter->setPen(QPen(kLightRule, 0.5));
                m_painter->drawLine(QLineF(0, m_y + h, m_width, m_y + h));
            }
            m_y += h;
        }
        m_y += kGap;
    }

    QList<qreal> columnWidths(const Table &t) const
    {
        qreal total = 0;
        for (int w : t.weights)
            total += w;
        QList<qreal> widths;
        for (qsizetype i = 0; i < t.header.size(); ++i)
            widths.append(total > 0 ? m_width * t.weights.value(i) / total : m_width / t.header.size());
        return widths;
    }

    qreal rowHeight(const Table &t, const QStringList &cells, const QFont &font)
    {
        const QList<qreal> widths = columnWidths(t);
        qreal h = 0;
        for (qsizetype c = 0; c < widths.size(); ++c)
            h = std::max(h, Paragraph(cells.value(c), font, &m_writer, widths[c] - 2 * kPad).height());
        return h + 2 * kPadV;
    }

    // Draws one row at the current place and moves below it.
    void row(const Table &t, const QStringList &cells, const QFont &font, bool header)
    {
        const QList<qreal> widths = columnWidths(t);
        QList<std::shared_ptr<Paragraph>> texts;
        qreal h = 0;
        for (qsizetype c = 0; c < widths.size(); ++c) {
            texts.append(std::make_shared<Paragraph>(cells.value(c), font, &m_writer, widths[c] - 2 * kPad));
            h = std::max(h, texts.last()->height());
        }
        h += 2 * kPadV;
        if (m_painter) {
            qreal x = 0;
            for (qsizetype c = 0; c < widths.size(); ++c) {
                const QRectF cell(x, m_y, widths[c], h);
                if (header)
                    m_painter->fillRect(cell, kHeaderFill);
                m_painter->setPen(QPen(kRule, 0.5));
                m_painter->drawRect(cell);
                m_painter->setPen(Qt::black);
                texts[c]->draw(m_painter, {x + kPad, m_y + kPadV});
                x += widths[c];
            }
        }
        m_y += h;
    }

    void table(const Table &t)
    {
        ensure(tableFirstHeight(t));
        row(t, t.header, m_bold, true);
        for (const QStringList &cells : t.rows) {
            if (m_y + rowHeight(t, cells, m_body) > m_bottom) {
                newPage();
                row(t, t.header, m_bold, true);
            }
            row(t, cells, m_body, false);
        }
        m_y += kGap;
    }

    void grid(const SlotGrid &g)
    {
        ensure(gridHeight(g));
        const qreal cellWidth = (m_width - kGridNames) / kSlots;
        if (m_painter) {
            m_painter->setPen(Qt::black);
            for (int hour = 0; hour < 24; hour += 3) {
                Paragraph label(QStringLiteral("%1").arg(hour, 2, 10, QLatin1Char('0')), m_small, &m_writer,
                                cellWidth * 6);
                label.draw(m_painter, {kGridNames + hour * 2 * cellWidth, m_y});
            }
        }
        m_y += kSlotHeight;
        for (qsizetype r = 0; r < g.rows.size(); ++r) {
            if (m_painter) {
                m_painter->setPen(Qt::black);
                Paragraph name(g.rowNames.value(r), m_small, &m_writer, kGridNames - kPad);
                name.draw(m_painter, {0, m_y + 1});
                for (int s = 0; s < kSlots; ++s) {
                    const QRectF cell(kGridNames + s * cellWidth, m_y, cellWidth, kSlotHeight);
                    if (g.rows[r][s])
                        m_painter->fillRect(cell, kMain);
                    m_painter->setPen(QPen(kRule, 0.4));
                    m_painter->drawRect(cell);
                }
                m_painter->setPen(QPen(Qt::black, 0.9));
                for (int s = 0; s <= kSlots; s += 6) {
                    const qreal x = kGridNames + s * cellWidth;
                    m_painter->drawLine(QLineF(x, m_y, x, m_y + kSlotHeight));
                }
            }
            m_y += kSlotHeight;
        }
        m_y += kGap;
    }

    const Report &m_report;
    QPdfWriter &m_writer;
    QPainter *m_painter;
    int m_pageCount;
    int m_page = 1;
    qreal m_y = 0;
    qreal m_width = 0;
    qreal m_bottom = 0;
    QFont m_body, m_small, m_bold, m_heading, m_section, m_title;
};

} // namespace

QByteArray renderPdf(const Report &report, Paper paper)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setResolution(72); // one unit is one point
    writer.setPageLayout(QPageLayout(QPageSize(paper == Paper::Letter ? QPageSize::Letter : QPageSize::A4),
                                     QPageLayout::Portrait, QMarginsF(15, 15, 15, 12),
                                     QPageLayout::Millimeter));
    writer.setTitle(report.title + QStringLiteral(" - ") + report.configurationName);
    writer.setCreator(QStringLiteral("trenov5x"));

    const int pages = PdfLayout(report, writer, nullptr, 0).run();
    QPainter painter(&writer);
    painter.setRenderHint(QPainter::Antialiasing);
    PdfLayout(report, writer, &painter, pages).run();
    painter.end();
    buffer.close();
    return bytes;
}

} // namespace report
