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

// Whether a bound value is SQL NULL: an invalid or null variant, a null text or null bytes (an
// empty text is a value).
bool isSqlNull(const QVariant& value);

// Binds values by position on a prepared query.
void bindValues(QSqlQuery& query, const QVariantList& values);

// Runs a statement with positional bound values ("?"). Throws framework::Error with the
// database's text when it fails.
QSqlQuery execute(QSqlDatabase& db, const QString& sql, const QVariantList& values = {});

// The same for a statement that answers no rows (an INSERT of many rows, a DELETE), on
// PostgreSQL through the connection's own libpq handle; gives the rows it changed.
int executeChange(QSqlDatabase& db, const QString& sql, const QVariantList& values);

// Runs a SELECT and gives its rows as a packet with the given columns, taken by position.
// SQLite and PostgreSQL read through their own libraries; other connections, and values those
// readers leave, take the general path.
framework::DataPacket selectPacket(QSqlDatabase& db, const QString& sql, const QVariantList& values,
                                   const framework::FieldDefs& fields);

// The general path, through QSqlQuery: what the fast readers build the same packet as.
framework::DataPacket selectQueryPacket(QSqlDatabase& db, const QString& sql, const QVariantList& values,
                                        const framework::FieldDefs& fields);

// The first column of the first row; an invalid QVariant when there is no row.
QVariant selectValue(QSqlDatabase& db, const QString& sql, const QVariantList& values = {});

} // namespace appserver
