#pragma once

#include "db/database.h"

#include <QSqlDatabase>
#include <QTemporaryDir>
#include <memory>
#include <string>

namespace testdb {

enum class Backend { Sqlite, Postgres };

std::string backendName(Backend backend); // "Sqlite", "Postgres": test names carry it
// PostgreSQL tests run when TEST_PG_CONN names a server; SQLite always.
bool available(Backend backend);

// A fresh database for one test: a temporary SQLite file, or a new PostgreSQL schema with a
// random name (dropped at the end). Migrated, and with demo data unless told otherwise.
class TestDatabase {
public:
    explicit TestDatabase(Backend backend, bool demoData = true, int dishes = 0);
    ~TestDatabase();
    TestDatabase(const TestDatabase&) = delete;
    TestDatabase& operator=(const TestDatabase&) = delete;

    const db::Target& target() const { return m_target; }
    const QString& connectionName() const { return m_connection; }
    QSqlDatabase db() const { return QSqlDatabase::database(m_connection, false); }
    // Another connection to the same database (another client, another thread).
    QSqlDatabase open(const QString& connectionName) const;

    // A fingerprint of every table's row count (the servers' session tables aside) and of the
    // parameter tables' contents, to see that nothing changed.
    QString fingerprint() const;

private:
    void dropSchema();

    Backend m_backend;
    db::Target m_target;
    QString m_connection;
    std::unique_ptr<QTemporaryDir> m_dir;
};

} // namespace testdb
