#pragma once

#include "framework/data/datapacket.h"

#include <QSqlDatabase>
#include <QStringList>

namespace appserver {

// The table a change log is applied to, as the server defines it: nothing the client sends (its
// provider flags included) names a table, a key, a column to write or a column to check.
struct TableTarget {
    // How a Modified or Deleted row proves that nobody changed it since it was read.
    enum class Check {
        Writable, // the key and every writable column (binary ones aside) still hold the originals
        Key,      // the row still exists: the last writer wins on the other columns
    };

    TableTarget(QString table, QStringList keys, QStringList writable = {}, Check check = Check::Writable)
        : table(std::move(table)), keys(std::move(keys)), writable(std::move(writable)), check(check)
    {
    }

    QString table;
    QStringList keys;
    // The columns an update may write, keys included when rows may be inserted. Empty: every
    // column of the table that the packet brings.
    QStringList writable;
    Check check;
};

// Applies the rows of a change log (Inserted, Modified, Deleted) to a table, inside the
// caller's transaction. Only the packet's columns that the target may write are written;
// others (names looked up from joined tables) are ignored. A Modified or Deleted row must still
// hold its original values in the database (compared NULL-safe, an empty text apart from null),
// otherwise someone else changed it since it was read: the whole call is refused
// (appserver::Refusal) and the caller rolls back. Each statement shape is prepared once per call.
void applyChangeLog(QSqlDatabase& db, const framework::DataPacket& log, const TableTarget& target);

// The text of a refused row that someone else changed or removed.
QString conflictText(const QString& table);
// The text of a refused insertion whose key someone else inserted first.
QString duplicateText(const QString& table);

} // namespace appserver
