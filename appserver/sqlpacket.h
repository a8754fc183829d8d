#pragma once

#include "framework/abort.h"
#include "framework/data/datapacket.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariantList>

namespace appserver {

// Runs a statement with positional bound values ("?"). Throws framework::Error with the
// database's text when it fails.
QSqlQuery execute(QSqlDatabase& db, const QString& sql, const QVariantList& values = {});

// Runs a SELECT and gives its rows as a packet with the given columns, taken by position.
framework::DataPacket selectPacket(QSqlDatabase& db, const QString& sql, const QVariantList& values,
                                   const framework::FieldDefs& fields);

// The first column of the first row; an invalid QVariant when there is no row.
QVariant selectValue(QSqlDatabase& db, const QString& sql, const QVariantList& values = {});

} // namespace appserver
