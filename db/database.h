#pragma once

#include <QSqlDatabase>
#include <QSqlRecord>
#include <QString>

namespace db {

// Where a database lives: a SQLite file path, or a PostgreSQL connection string of key=value
// pairs ("host=127.0.0.1 port=5432 dbname=receita user=postgres"). The extra key `schema`
// selects the PostgreSQL schema every statement runs in (tests use a throwaway one).
struct Target {
    enum class Kind { Sqlite, Postgres };
    Kind kind = Kind::Sqlite;
    QString path;                  // SQLite file (or ":memory:")
    QString host, dbName, user, password, schema, options;
    int port = -1;

    static Target parse(const QString& text);
    QString describe() const; // for logs; never shows the password
};

// Opens a connection under the given name (replacing one of the same name) and prepares it:
// SQLite gets a busy timeout, WAL journal and foreign keys; PostgreSQL its schema. Does not
// migrate. Throws framework::Error with a Portuguese text when the database cannot be opened.
QSqlDatabase open(const Target& target, const QString& connectionName);

// Opens and brings the schema to the latest version: the first connection of a program.
QSqlDatabase openAndMigrate(const Target& target, const QString& connectionName);

bool isPostgres(const QSqlDatabase& db);

// The columns of a table (empty when it does not exist). Unquoted names are folded the way
// the database folds them (PostgreSQL: lower case).
QSqlRecord tableColumns(const QSqlDatabase& db, const QString& table);

// The binary-data column type of the database family.
QString blobType(const QSqlDatabase& db);

} // namespace db
