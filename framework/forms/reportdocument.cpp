#include "reportdocument.h"

#include "framework/abort.h"
#include "framework/data/numberformat.h"
#include "framework/ui/query.h"

#include <QGlyphRun>
#include <QHash>
#include <QRawFont>
#include <QIODevice>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <array>
#include <vector>

namespace framework {

namespace {

constexpr int progressStep = 1000; // rows (or pages) between progress reports

QVariant valueOf(const QVariantMap& params, const QString& name)
{
    for (auto it = params.begin(); it != params.end(); ++it)
        if (it.key().compare(name, Qt::CaseInsensitive) == 0)
            return it.value();
    return {};
}

// A column's texts. Quantities repeat down a long report (the same recipe at every branch), so
// each distinct number is formatted once.
class CellTexts {
public:
    explicit CellTexts(const ReportColumn& column) : m_column(column) {}

    QString operator()(const QVariant& value)
    {
        if (value.isNull())
            return {};
        if (m_column.format.isEmpty())
            return value.toString();
        const double number = value.toDouble();
        auto it = m_formatted.constFind(number);
        if (it == m_formatted.cend())
            it = m_formatted.insert(number, formatNumber(number, m_column.format));
        return *it;
    }

private:
    const ReportColumn& m_column;
    QHash<double, QString> m_formatted;
};

QString sumText(const ReportColumn& column, double sum)
{
    return formatNumber(sum, column.format.isEmpty() ? QStringLiteral("#,##0.00") : column.format);
}

int fieldIndex(const QSqlRecord& record, const QString& field)
{
    const int index = record.indexOf(field);
    if (index < 0)
        throw Error(QStringLiteral("A consulta do relatório não tem o campo %1.").arg(field));
    return index;
}

void reportProgress(const ReportProgress& progress, int done)
{
    if (progress && !progress(done))
        throw Abort();
}

QString csvValue(const QString& text)
{
    if (!text.contains(u';') && !text.contains(u'"') && !text.contains(u'\n'))
        return text;
    return u'"' + QString(text).replace(u'"', QStringLiteral("\"\"")) + u'"';
}

// A font drawn glyph by glyph: report cells are short Latin texts, so each character's glyph and
// advance are looked up once, and the cells of a page gather into one glyph run per font, drawn
// by flush(), instead of one shaped text per cell.
class PageFont {
public:
    PageFont(const QFont& font, const QPaintDevice& device)
    {
        QFont sized(font);
        sized.setPixelSize(std::max(1, qRound(font.pointSizeF() * device.logicalDpiY() / 72.0)));
        m_raw = QRawFont::fromFont(sized);
    }

    qreal ascent() const { return m_raw.ascent(); }
    qreal height() const { return m_raw.ascent() + m_raw.descent() + m_raw.leading(); }
    qreal averageCharWidth() const { return m_raw.averageCharWidth(); }

    // Places s from y (its top) between x0 and x1 with the alignment, cut with "…" when too wide.
    // Glyphs go straight into the page's run: a report places hundreds of thousands of cells.
    void draw(const QString& s, qreal x0, qreal x1, qreal y, Qt::Alignment align)
    {
        const qreal room = x1 - x0;
        qreal width = 0;
        for (const QChar c : s)
            width += glyph(c).advance;
        qsizetype kept = s.size();
        const bool cut = width > room;
        const Glyph dots = cut ? glyph(QChar(0x2026)) : Glyph();
        if (cut) {
            width = 0;
            kept = 0;
            while (kept < s.size() && width + glyph(s[kept]).advance + dots.advance <= room)
                width += glyph(s[kept++]).advance;
            width += dots.advance;
        }
        if (kept == 0 && !cut)
            return;
        // Whole device pixels: the PDF writer spells each glyph's offset from the one before,
        // and a fraction takes ten digits where a whole pixel takes two (a third of the page's
        // bytes, all of them compressed); at the writer's resolution a pixel is invisible.
        qreal x = align & Qt::AlignRight ? x1 - width : align & Qt::AlignHCenter ? (x0 + x1 - width) / 2 : x0;
        const qreal baseline = qRound(y + ascent());
        for (qsizetype i = 0; i < kept; ++i) {
            const Glyph& g = glyph(s[i]);
            // A blank paints nothing, and readers see the word gap from the positions alone.
            if (s[i] != u' ') {
                m_glyphs << g.index;
                m_positions << QPointF(qRound(x), baseline);
            }
            x += g.advance;
        }
        if (cut) {
            m_glyphs << dots.index;
            m_positions << QPointF(qRound(x), baseline);
        }
    }

    // Draws what was placed since the last flush.
    void flush(QPainter& p)
    {
        if (m_glyphs.isEmpty())
            return;
        QGlyphRun run;
        run.setRawFont(m_raw);
        run.setGlyphIndexes(m_glyphs);
        run.setPositions(m_positions);
        p.drawGlyphRun(QPointF(0, 0), run);
        m_glyphs.clear();
        m_positions.clear();
    }

private:
    struct Glyph {
        quint32 index = 0;
        qreal advance = 0;
        bool known = false;
    };

    const Glyph& glyph(QChar c) const
    {
        Glyph& g = c.unicode() < 256 ? m_latin[c.unicode()] : m_other[c.unicode()];
        if (!g.known) {
            const QList<quint32> index = m_raw.glyphIndexesForString(QString(c));
            g.index = index.value(0);
            g.advance = index.isEmpty() ? 0 : m_raw.advancesForGlyphIndexes(index).value(0).x();
            g.known = true;
        }
        return g;
    }

    QRawFont m_raw;
    QVector<quint32> m_glyphs;
    QVector<QPointF> m_positions;
    mutable std::array<Glyph, 256> m_latin{};
    mutable QHash<ushort, Glyph> m_other;
};

QFont reportFont(int points, bool bold)
{
    QFont font(QStringLiteral("Sans Serif"), points);
    font.setBold(bold);
    return font;
}

// A report's fonts and page breaks on one device.
struct PageSetup {
    PageSetup(const ReportDocument& document, const QPaintDevice& device)
        : body(reportFont(8, false), device), bold(reportFont(8, true), device), title(reportFont(13, true), device),
          small(reportFont(7, false), device), lineHeight(body.height() * 1.25), pad(body.averageCharWidth() * 0.6)
    {
        const qreal headerHeight = title.height() * 1.4 + document.filters().size() * small.height() * 1.2 + lineHeight * 1.6;
        const qreal footerHeight = small.height() * 2;
        const int perPage = std::max(1, int((device.height() - headerHeight - footerHeight) / lineHeight));
        const QList<ReportLine>& lines = document.lines();
        for (int i = 0, onPage = 0; i < lines.size(); ++i, ++onPage) {
            // A heading never ends a page: it moves to the next with its first row.
            const bool lonelyHeading = onPage == perPage - 1 && perPage > 1 && lines[i].kind == ReportLine::Kind::GroupHeader;
            if (onPage == perPage || lonelyHeading) {
                starts << i;
                onPage = 0;
            }
        }
    }

    PageFont body, bold, title, small;
    qreal lineHeight, pad;
    QList<int> starts{0}; // each page's first line
};

} // namespace

ReportDocument ReportDocument::build(const ReportDefinition& definition, QSqlDatabase& db, const QVariantMap& params,
                                     const ReportProgress& progress)
{
    ReportDocument doc(definition);
    doc.m_issued = QDateTime::currentDateTime();
    const auto param = [&params](const QString& name) { return valueOf(params, name); };
    for (const QString& filter : definition.filters) {
        bool empty = false;
        const QString text = fillPlaceholders(filter, param, &empty);
        if (!empty)
            doc.m_filters << text;
    }

    QStringList names;
    const QString sql = positionalSql(definition.sqlFor(Query::familyOf(db) == Query::Family::PostgreSQL), &names);
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.prepare(sql))
        throw Error(QStringLiteral("A consulta do relatório falhou: %1").arg(query.lastError().text()));
    for (const QString& name : std::as_const(names))
        query.addBindValue(param(name));
    if (!query.exec())
        throw Error(QStringLiteral("A consulta do relatório falhou: %1").arg(query.lastError().text()));

    const QSqlRecord record = query.record();
    const QList<ReportGroup>& groups = definition.groups;
    const QList<ReportColumn>& columns = definition.columns;
    std::vector<int> groupIndex, columnIndex;
    for (const ReportGroup& g : groups)
        groupIndex.push_back(fieldIndex(record, g.field));
    std::vector<CellTexts> cellTexts;
    for (const ReportColumn& c : columns) {
        columnIndex.push_back(fieldIndex(record, c.field));
        cellTexts.emplace_back(c);
    }

    // Sums per open group, and the report's at the end.
    std::vector<std::vector<double>> sums(groups.size() + 1, std::vector<double>(columns.size(), 0.0));
    const auto totalsLine = [&](ReportLine::Kind kind, int level, const QString& caption) {
        ReportLine line{kind, level, caption, {}};
        for (int c = 0; c < columns.size(); ++c)
            line.cells << (columns[c].sum ? sumText(columns[c], sums[level][c]) : QString());
        doc.m_lines.append(line);
    };
    const auto closeGroups = [&](int from) {
        for (int level = int(groups.size()) - 1; level >= from; --level) {
            if (!groups[level].footer.isEmpty())
                totalsLine(ReportLine::Kind::GroupTotal, level, groups[level].footer);
            std::fill(sums[level].begin(), sums[level].end(), 0.0);
        }
    };

    QSqlRecord first;
    QVariantList current(groups.size());
    while (query.next()) {
        const bool isFirst = doc.m_rows.isEmpty();
        if (isFirst)
            first = query.record();
        int changed = isFirst ? 0 : int(groups.size());
        for (int g = 0; g < groups.size() && changed == int(groups.size()); ++g)
            if (query.value(groupIndex[g]) != current[g])
                changed = g;
        if (!isFirst)
            closeGroups(changed);
        const QSqlRecord row = changed < groups.size() ? query.record() : QSqlRecord();
        for (int g = changed; g < groups.size(); ++g) {
            current[g] = query.value(groupIndex[g]);
            const QString heading = fillPlaceholders(groups[g].header.isEmpty() ? u'{' + groups[g].field + u'}'
                                                                                 : groups[g].header,
                                                     [&row](const QString& f) { return row.value(f); });
            doc.m_lines.append(ReportLine{ReportLine::Kind::GroupHeader, g, heading, {}});
        }

        ReportLine detail;
        QVariantList raw = current;
        for (int c = 0; c < columns.size(); ++c) {
            const QVariant value = query.value(columnIndex[c]);
            detail.cells << cellTexts[c](value);
            raw << value;
            if (columns[c].sum)
                for (auto& levelSums : sums)
                    levelSums[c] += value.toDouble();
        }
        doc.m_lines.append(detail);
        doc.m_rows.append(raw);
        if (doc.m_rows.size() % progressStep == 0)
            reportProgress(progress, int(doc.m_rows.size()));
    }
    if (!doc.m_rows.isEmpty()) {
        closeGroups(0);
        if (!definition.totalCaption.isEmpty())
            totalsLine(ReportLine::Kind::GrandTotal, int(groups.size()), definition.totalCaption);
    }

    for (const ReportColumn& c : columns)
        doc.m_titles << fillPlaceholders(c.title, [&](const QString& name) {
            const QVariant value = param(name);
            return value.isValid() ? value : first.value(name);
        });
    return doc;
}

void ReportDocument::writeCsv(QIODevice& out) const
{
    QStringList header;
    for (const ReportGroup& g : m_definition.groups)
        header << csvValue(g.field);
    for (const QString& title : m_titles)
        header << csvValue(title);
    out.write(header.join(u';').toUtf8() + "\r\n");

    const int groups = int(m_definition.groups.size());
    QStringList patterns; // the columns' number patterns without thousands grouping
    for (const ReportColumn& c : m_definition.columns)
        patterns << QString(c.format).remove(u',');
    QStringList cells;
    for (const QVariantList& row : m_rows) {
        cells.clear();
        for (int i = 0; i < row.size(); ++i) {
            // A null is empty, also when the driver gives it typed (PostgreSQL's null number
            // would read as "0").
            const QVariant& value = row[i];
            const bool number = i >= groups && !patterns[i - groups].isEmpty();
            cells << (value.isNull() ? QString()
                      : number       ? formatNumber(value.toDouble(), patterns[i - groups])
                                     : csvValue(value.toString()));
        }
        out.write(cells.join(u';').toUtf8() + "\r\n");
    }
}

int ReportPainter::pageCount(const QPagedPaintDevice& device) const
{
    return int(PageSetup(m_document, device).starts.size());
}

int ReportPainter::paint(QPagedPaintDevice& device, const ReportProgress& progress, int first, int end) const
{
    QPainter p(&device);
    if (!p.isActive())
        throw Error(QStringLiteral("Não foi possível iniciar a impressão do relatório."));

    PageSetup setup(m_document, device);
    PageFont &bodyMetrics = setup.body, &boldMetrics = setup.bold, &titleMetrics = setup.title, &smallMetrics = setup.small;
    const qreal width = device.width(), height = device.height();
    const qreal lineHeight = setup.lineHeight, pad = setup.pad;
    const QStringList& filters = m_document.filters();
    const QList<ReportLine>& lines = m_document.lines();
    const QList<int>& starts = setup.starts;
    const int pages = int(starts.size());
    end = end < 0 ? pages : std::min(end, pages);

    const QList<ReportColumn>& columns = m_document.definition().columns;
    int totalWeight = 0;
    for (const ReportColumn& c : columns)
        totalWeight += c.width;
    std::vector<qreal> edges{0};
    for (int c = 0, acc = 0; c < columns.size(); ++c) {
        acc += columns[c].width;
        edges.push_back(width * acc / totalWeight);
    }

    const auto text = [](PageFont& m, const QString& s, qreal x0, qreal x1, qreal y, Qt::Alignment align) {
        m.draw(s, x0, x1, y, align);
    };
    const QString issued = QStringLiteral("Emitido em %1").arg(m_document.issued().toString(QStringLiteral("dd/MM/yyyy HH:mm")));

    for (int page = first; page < end; ++page) {
        if (page > first && !device.newPage())
            throw Error(QStringLiteral("Não foi possível criar a página %1 do relatório.").arg(page + 1));
        // Page header: title and issue date, the filters, the column titles.
        qreal y = 0;
        text(titleMetrics, m_document.title(), 0, width * 0.75, y, Qt::AlignLeft);
        text(smallMetrics, issued, width * 0.75, width, y + titleMetrics.ascent() - smallMetrics.ascent(), Qt::AlignRight);
        y += titleMetrics.height() * 1.4;
        for (const QString& filter : filters) {
            text(smallMetrics, filter, 0, width, y, Qt::AlignLeft);
            y += smallMetrics.height() * 1.2;
        }
        y += lineHeight * 0.3;
        for (int c = 0; c < columns.size(); ++c)
            text(boldMetrics, m_document.columnTitles().value(c), edges[c] + pad, edges[c + 1] - pad, y, columns[c].alignment);
        y += lineHeight;
        p.drawLine(QPointF(0, y - lineHeight * 0.1), QPointF(width, y - lineHeight * 0.1));
        y += lineHeight * 0.2;

        const int end = page + 1 < pages ? starts[page + 1] : int(lines.size());
        if (lines.isEmpty()) {
            text(bodyMetrics, QStringLiteral("Nenhum registro encontrado para os filtros informados."), 0, width, y, Qt::AlignLeft);
        }
        for (int i = starts[page]; i < end; ++i, y += lineHeight) {
            const ReportLine& line = lines[i];
            switch (line.kind) {
            case ReportLine::Kind::GroupHeader:
                text(boldMetrics, line.text, pad + line.level * pad * 3, width, y, Qt::AlignLeft);
                break;
            case ReportLine::Kind::Detail:
                for (int c = 0; c < columns.size(); ++c)
                    if (!line.cells[c].isEmpty())
                        text(bodyMetrics, line.cells[c], edges[c] + pad, edges[c + 1] - pad, y, columns[c].alignment);
                break;
            case ReportLine::Kind::GroupTotal:
            case ReportLine::Kind::GrandTotal: {
                int firstSum = 0;
                while (firstSum < columns.size() && !columns[firstSum].sum)
                    ++firstSum;
                const qreal captionEnd = firstSum < columns.size() ? edges[firstSum] : width;
                text(boldMetrics, line.text, pad + (line.kind == ReportLine::Kind::GroupTotal ? line.level * pad * 3 : 0),
                     captionEnd - pad, y, Qt::AlignLeft);
                for (int c = firstSum; c < columns.size(); ++c)
                    if (!line.cells[c].isEmpty()) {
                        p.drawLine(QPointF(edges[c] + pad, y), QPointF(edges[c + 1] - pad, y));
                        text(boldMetrics, line.cells[c], edges[c] + pad, edges[c + 1] - pad, y, columns[c].alignment);
                    }
                break;
            }
            }
        }

        // Page footer: the report and the page number.
        const qreal footY = height - smallMetrics.height() * 1.2;
        p.drawLine(QPointF(0, footY - smallMetrics.height() * 0.3), QPointF(width, footY - smallMetrics.height() * 0.3));
        text(smallMetrics, m_document.title(), 0, width * 0.6, footY, Qt::AlignLeft);
        text(smallMetrics, QStringLiteral("Página %1 de %2").arg(page + 1).arg(pages), width * 0.6, width, footY, Qt::AlignRight);
        for (PageFont* font : {&titleMetrics, &smallMetrics, &boldMetrics, &bodyMetrics})
            font->flush(p);
        if ((page + 1 - first) % 20 == 0)
            reportProgress(progress, page + 1 - first);
    }
    return std::max(0, end - first);
}

} // namespace framework
