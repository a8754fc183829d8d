#pragma once

#include <QSqlDatabase>
#include <QStringList>
#include <functional>

namespace db {

// One step of the schema. Statements are written once for both families; the placeholder
// {BLOB} becomes the binary column type of the database; a statement that starts with {POSTGRES}
// runs on PostgreSQL only. A migration never changes once
// released: later changes come as new versions.
struct Migration {
    int version;
    QString description;
    QStringList statements;
    // Work that SQL alone cannot do, run after the statements in the same transaction.
    std::function<void(QSqlDatabase&)> upgrade = {};
};

// Every migration, in version order. New versions are appended here.
const QList<Migration>& migrations();

int latestVersion();
int currentVersion(QSqlDatabase& db); // 0 for an empty database

// Runs the missing migrations, each in its own transaction (all of it or none), and records
// them in SCHEMA_VERSION. Throws framework::Error when a step fails.
void migrate(QSqlDatabase& db);

// Defined in schema_vN.cpp.
Migration schemaV1();
Migration schemaV2();
Migration schemaV3();
Migration schemaV4();
Migration schemaV5();
Migration schemaV6();
Migration schemaV7();
Migration schemaV8();
Migration schemaV9();

} // namespace db
