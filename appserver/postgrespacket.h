#pragma once

#include "framework/data/datapacket.h"

#include <QSqlDatabase>
#include <QVariantList>
#include <optional>

struct pg_conn;

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

// Runs a statement that answers no rows (an INSERT of many rows, say) on PostgreSQL the same way,
// its values bound as parameters instead of written into the statement's text, which the
// server would parse again for every run. Gives the rows it changed; nothing when the general
// path must run it (as above).
std::optional<int> executePostgres(QSqlDatabase& db, const QString& sql, const QVariantList& values);

// The same for a statement run many times: prepared on the server at its second run.
class PostgresStatement {
public:
    PostgresStatement(QSqlDatabase& db, const QString& sql);
    ~PostgresStatement();
    PostgresStatement(const PostgresStatement&) = delete;
    PostgresStatement& operator=(const PostgresStatement&) = delete;
    std::optional<int> execute(const QVariantList& values);

private:
    pg_conn* m_conn = nullptr;
    QString m_sql;
    QByteArray m_name;
    int m_runs = 0;
};

} // namespace appserver
