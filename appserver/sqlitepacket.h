#pragma once

#include "framework/data/datapacket.h"

#include <QSqlDatabase>
#include <QVariantList>
#include <optional>

namespace appserver {

// Reads a SELECT on SQLite through the connection's own sqlite3 handle, writing each value
// straight into the packet's columns: no QVariant or QString per value, which is most of what
// building a packet through QSqlQuery costs on large lists. Values are bound and converted as
// Qt's SQLite driver binds and converts them, so the packet is the one selectPacket would build.
//
// Gives nothing (the caller takes the general path) when the connection is not SQLite or its
// driver runs a different SQLite library than the one linked here: a handle is only ever used
// with the code that made it. Throws framework::Error with the database's text when the
// statement fails.
std::optional<framework::DataPacket> selectSqlitePacket(QSqlDatabase& db, const QString& sql,
                                                        const QVariantList& values,
                                                        const framework::FieldDefs& fields);

} // namespace appserver
