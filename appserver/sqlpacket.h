#pragma once

#include "framework/abort.h"
#include "framework/data/datapacket.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariantList>

namespace appserver {

// A value as it is bound to SQL. Date-times are wall-clock values: they go as plain text without
// a zone ("2026-01-01" at midnight, "2026-01-01 10:30:00" otherwise), so that SQLite stores what
// the packets read back and PostgreSQL neither shifts a date nor needs the session's zone.
QVariant sqlValue(const QVariant& value);

// Binds values by position on a prepared query.
void bindValues(QSqlQuery& query, const QVariantList& values);

// Runs a statement with positional bound values ("?"). Throws framework::Error with the
// database's text when it fails.
QSqlQuery execute(QSqlDatabase& db, const QString& sql, const QVariantList& values = {});

// Runs a SELECT and gives its rows as a packet with the given columns, taken by position.
framework::DataPacket selectPacket(QSqlDatabase& db, const QString& sql, const QVariantList& values,
                                   const framework::FieldDefs& fields);

// The first column of the first row; an invalid QVariant when there is no row.
QVariant selectValue(QSqlDatabase& db, const QString& sql, const QVariantList& values = {});

} // namespace appserver
