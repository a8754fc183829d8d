#pragma once

#include "framework/data/datapacket.h"

#include <QSqlDatabase>
#include <QVariantList>
#include <optional>

namespace appserver {

// Reads a SELECT on PostgreSQL through the connection's own libpq handle, writing each value
// straight into the packet's columns: one round trip with the values bound as parameters, the
// whole result at once, and no QVariant or QString per value. Values are converted as Qt's
// PostgreSQL driver converts them (a value the fast cases do not cover goes through that very
// conversion), so the packet is the one the general path of selectPacket would build.
//
// Gives nothing (the caller takes the general path) when the connection is not an open
// PostgreSQL one or a bound value cannot travel as a parameter. Throws framework::Error with the
// database's text when the statement fails.
std::optional<framework::DataPacket> selectPostgresPacket(QSqlDatabase& db, const QString& sql,
                                                          const QVariantList& values,
                                                          const framework::FieldDefs& fields);

} // namespace appserver
