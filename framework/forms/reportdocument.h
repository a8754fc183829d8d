#pragma once

#include "reportdefinition.h"

#include <QDateTime>
#include <QList>
#include <QStringList>
#include <QVariantList>
#include <functional>

class QIODevice;
class QPagedPaintDevice;
class QSqlDatabase;

namespace framework {

// One printed line of a report's body.
struct ReportLine {
    enum class Kind { GroupHeader, Detail, GroupTotal, GrandTotal };
    Kind kind = Kind::Detail;
    int level = 0;     // the group's depth for headers and group totals
    QString text;      // heading or totals caption
    QStringList cells; // the columns' texts (details and totals)
};

// Told how many rows were read or pages painted; answering false cancels the report.
using ReportProgress = std::function<bool(int done)>;

// A report run: the definition's query on a database with the form's values, laid out as the
// lines of its body (group headings, rows, totals) and kept as raw rows for the CSV export.
class ReportDocument {
public:
    // Runs the query (throws framework::Error with the database's text when it fails, and
    // framework::Abort when progress cancels).
    static ReportDocument build(const ReportDefinition& definition, QSqlDatabase& db, const QVariantMap& params,
                                const ReportProgress& progress = {});

    const ReportDefinition& definition() const { return m_definition; }
    QString title() const { return m_definition.title; }
    const QStringList& filters() const { return m_filters; }
    const QStringList& columnTitles() const { return m_titles; }
    const QList<ReportLine>& lines() const { return m_lines; }
    int rowCount() const { return int(m_rows.size()); }
    QDateTime issued() const { return m_issued; }

    // One line of titles, then one line per row: the groups' fields, then the columns; ';'
    // between values, numbers with the decimal comma and no thousands separator.
    void writeCsv(QIODevice& out) const;

private:
    explicit ReportDocument(const ReportDefinition& definition) : m_definition(definition) {}

    ReportDefinition m_definition;
    QStringList m_filters;
    QStringList m_titles;
    QList<ReportLine> m_lines;
    QList<QVariantList> m_rows; // group fields, then column fields
    QDateTime m_issued;
};

// Lays a report out in pages on a printer or PDF writer: the title, filters, issue date and
// column titles on every page, the page number and page count at the foot.
class ReportPainter {
public:
    explicit ReportPainter(const ReportDocument& document) : m_document(document) {}
    // The pages the report takes on the device.
    int pageCount(const QPagedPaintDevice& device) const;
    // Paints pages first to end - 1 (every page by default), numbered of the whole report, and
    // returns how many; throws framework::Abort when progress cancels.
    int paint(QPagedPaintDevice& device, const ReportProgress& progress = {}, int first = 0, int end = -1) const;

private:
    const ReportDocument& m_document;
};

} // namespace framework
