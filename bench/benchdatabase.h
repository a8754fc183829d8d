#pragma once

#include "db/database.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <map>
#include <memory>

namespace bench {

// Runs a statement of a benchmark's set-up; a failure ends the run with the database's text.
inline void exec(QSqlQuery& q)
{
    if (!q.exec())
        qFatal("%s: %s", qPrintable(q.lastQuery()), qPrintable(q.lastError().text()));
}

inline void exec(QSqlDatabase db, const QString& sql)
{
    QSqlQuery q(db);
    if (!q.exec(sql))
        qFatal("%s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
}

// Where a family of benchmarks keeps its database for the whole run: a file in a temporary
// folder, or, on BENCH_PG_CONN, a schema of the benchmark's own name made afresh and dropped at
// the end (the admin connection stays open for that until the fixture goes).
class BenchDatabase {
public:
    BenchDatabase(bool postgres, const QString& schema, const QString& connection)
        : m_postgres(postgres), m_schema(schema), m_admin(connection + QStringLiteral("-admin"))
    {
        if (postgres) {
            m_target = db::Target::parse(qEnvironmentVariable("BENCH_PG_CONN"));
            QSqlDatabase admin = db::open(m_target, m_admin);
            exec(admin, QStringLiteral("DROP SCHEMA IF EXISTS %1 CASCADE").arg(schema));
            exec(admin, QStringLiteral("CREATE SCHEMA %1").arg(schema));
            m_target.schema = schema;
        } else {
            m_dir = std::make_unique<QTemporaryDir>();
            m_target.path = m_dir->filePath(QStringLiteral("bench.db"));
        }
    }
    ~BenchDatabase()
    {
        if (m_postgres)
            exec(QSqlDatabase::database(m_admin), QStringLiteral("DROP SCHEMA IF EXISTS %1 CASCADE").arg(m_schema));
    }
    BenchDatabase(const BenchDatabase&) = delete;
    BenchDatabase& operator=(const BenchDatabase&) = delete;

    const db::Target& target() const { return m_target; }

private:
    bool m_postgres;
    QString m_schema, m_admin;
    std::unique_ptr<QTemporaryDir> m_dir;
    db::Target m_target;
};

// The one fixture of each family (SQLite, PostgreSQL) for the whole run, made on first use; none
// for PostgreSQL without BENCH_PG_CONN. The families are released at the end of the run, while
// Qt's connections still live (bench::run's atEnd).
template <class Fixture>
class Families {
public:
    static Fixture* get(bool pg)
    {
        if (pg && qEnvironmentVariableIsEmpty("BENCH_PG_CONN"))
            return nullptr;
        auto& slot = all()[pg];
        if (!slot)
            slot = std::make_unique<Fixture>(pg);
        return slot.get();
    }
    static void release() { all().clear(); }

private:
    static std::map<bool, std::unique_ptr<Fixture>>& all()
    {
        static std::map<bool, std::unique_ptr<Fixture>> fixtures;
        return fixtures;
    }
};

} // namespace bench
