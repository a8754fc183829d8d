#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantMap>
#include <functional>

namespace framework {

// One printed column of a report: a field of the query's rows.
struct ReportColumn {
    QString field;
    QString title;        // may hold {NAME} placeholders (parameters, then the first row's fields)
    int width = 10;       // relative to the other columns
    Qt::Alignment alignment = Qt::AlignLeft;
    QString format;       // number pattern (formatNumber); empty: the value as text
    bool sum = false;     // added up in the group and report totals
};

// A grouping level: a new group starts whenever the field's value changes from one row to the next.
struct ReportGroup {
    QString field;
    QString header;       // the group's heading, with {FIELD} placeholders from its first row
    QString footer;       // caption of the group's totals line; empty: no totals line
};

// A report definition file: title, filters, the query (one text, or one per database family)
// with named parameters (:P_NAME), the groups and the columns. The format is described in
// reports/README.md; load() and parse() throw framework::Error naming the file and line of a fault.
struct ReportDefinition {
    QString title;
    QString layoutTitle;    // the name offered in the layout list; the title when empty
    bool landscape = false;
    QStringList filters;    // lines printed under the title; one whose placeholders are all empty is left out
    QString totalCaption;   // caption of the report's totals line; empty: none
    QString sqlGeneral, sqlSqlite, sqlPostgres;
    QList<ReportGroup> groups;
    QList<ReportColumn> columns;

    static ReportDefinition load(const QString& fileName);
    static ReportDefinition parse(const QString& text, const QString& origin);

    // The statement for a database family (its own text, else the general one).
    QString sqlFor(bool postgres) const;
    // The named parameters of every statement, in order of first use, each once.
    QStringList parameters() const;
};

// Fills {NAME} and {NAME|A=text;B=text} placeholders: the value comes from lookup (an invalid
// QVariant when unknown); the optional table turns codes into words. empty is set when every
// placeholder found was empty.
QString fillPlaceholders(const QString& text, const std::function<QVariant(const QString&)>& lookup,
                         bool* empty = nullptr);

} // namespace framework
