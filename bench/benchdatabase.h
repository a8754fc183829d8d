#pragma once

#include "db/database.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <memory>

namespace bench {

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
            run(admin, QStringLiteral("DROP SCHEMA IF EXISTS %1 CASCADE").arg(schema));
            run(admin, QStringLiteral("CREATE SCHEMA %1").arg(schema));
            m_target.schema = schema;
        } else {
            m_dir = std::make_unique<QTemporaryDir>();
            m_target.path = m_dir->filePath(QStringLiteral("bench.db"));
        }
    }
    ~BenchDatabase()
    {
        if (m_postgres)
            run(QSqlDatabase::database(m_admin), QStringLiteral("DROP SCHEMA IF EXISTS %1 CASCADE").arg(m_schema));
    }
    BenchDatabase(const BenchDatabase&) = delete;
    BenchDatabase& operator=(const BenchDatabase&) = delete;

    const db::Target& target() const { return m_target; }

private:
    static void run(QSqlDatabase db, const QString& sql)
    {
        QSqlQuery q(db);
        if (!q.exec(sql))
            qFatal("%s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
    }

    bool m_postgres;
    QString m_schema, m_admin;
    std::unique_ptr<QTemporaryDir> m_dir;
    db::Target m_target;
};

} // namespace bench
