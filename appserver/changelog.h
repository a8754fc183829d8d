#pragma once

#include "framework/data/datapacket.h"

#include <QSqlDatabase>
#include <QStringList>

namespace appserver {

// The table a change log is applied to and the columns that identify a row there. Both are the
// server's own: nothing the client sends names a table or a key.
struct TableTarget {
    QString table;
    QStringList keys;
};

// Applies the rows of a change log (Inserted, Modified, Deleted) to a table, inside the
// caller's transaction. Only the packet's columns that the table really has are written;
// others (names looked up from joined tables) are ignored. A Modified or Deleted row must still
// hold its original values in the database, otherwise someone else changed it since it was
// read: the whole call is refused (appserver::Refusal) and the caller rolls back.
void applyChangeLog(QSqlDatabase& db, const framework::DataPacket& log, const TableTarget& target);

// The text of a refused row that someone else changed or removed.
QString conflictText(const QString& table);

} // namespace appserver
