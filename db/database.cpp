#include "database.h"

#include "framework/abort.h"
#include "migrations.h"

#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>

namespace db {

namespace {

// key=value pairs separated by blanks; values may be single-quoted.
QList<QPair<QString, QString>> parseConnInfo(const QString& text)
{
    static const QRegularExpression pair(R"((\w+)\s*=\s*('(?:[^'\\]|\\.)*'|\S*))");
    QList<QPair<QString, QString>> pairs;
    auto it = pair.globalMatch(text);
    while (it.hasNext()) {
        const auto m = it.next();
        QString value = m.captured(2);
        if (value.startsWith('\'') && value.endsWith('\'') && value.size() >= 2)
            value = value.mid(1, value.size() - 2).replace("\\'", "'");
        pairs.append({m.captured(1).toLower(), value});
    }
    return pairs;
}

void exec(QSqlDatabase& db, const QString& sql)
{
    QSqlQuery q(db);
    if (!q.exec(sql))
        throw framework::Error(QStringLiteral("Erro ao preparar o banco de dados: %1").arg(q.lastError().text()));
}

} // namespace

Target Target::parse(const QString& text)
{
    Target t;
    if (!text.contains('=')) {
        t.path = text;
        return t;
    }
    t.kind = Kind::Postgres;
    QStringList extra;
    for (const auto& [key, value] : parseConnInfo(text)) {
        if (key == "host" || key == "hostaddr") t.host = value;
        else if (key == "port") t.port = value.toInt();
        else if (key == "dbname") t.dbName = value;
        else if (key == "user") t.user = value;
        else if (key == "password") t.password = value;
        else if (key == "schema") t.schema = value;
        else extra << key + '=' + value;
    }
    t.options = extra.join(';');
    return t;
}

QString Target::describe() const
{
    if (kind == Kind::Sqlite)
        return QStringLiteral("SQLite %1").arg(path);
    return QStringLiteral("PostgreSQL %1:%2/%3%4").arg(host).arg(port).arg(dbName,
        schema.isEmpty() ? QString() : QStringLiteral(" (esquema %1)").arg(schema));
}

QSqlDatabase open(const Target& target, const QString& connectionName)
{
    if (QSqlDatabase::contains(connectionName))
        QSqlDatabase::removeDatabase(connectionName);
    const bool pg = target.kind == Target::Kind::Postgres;
    QSqlDatabase db = QSqlDatabase::addDatabase(pg ? "QPSQL" : "QSQLITE", connectionName);
    if (pg) {
        db.setHostName(target.host);
        if (target.port > 0)
            db.setPort(target.port);
        db.setDatabaseName(target.dbName);
        db.setUserName(target.user);
        db.setPassword(target.password);
        db.setConnectOptions(target.options);
    } else {
        db.setDatabaseName(target.path);
        db.setConnectOptions("QSQLITE_BUSY_TIMEOUT=10000");
    }
    if (!db.open())
        throw framework::Error(QStringLiteral("Não foi possível abrir o banco de dados (%1): %2")
                                   .arg(target.describe(), db.lastError().text()));
    if (pg) {
        exec(db, "SET client_min_messages TO WARNING");
        // Date-times are wall-clock values; a zone of the session would shift them.
        exec(db, "SET TIME ZONE 'UTC'");
        if (!target.schema.isEmpty()) {
            // The schema name comes from configuration, not from users; still, quote it.
            QString quoted = target.schema;
            quoted.replace('"', "\"\"");
            exec(db, QStringLiteral("SET search_path TO \"%1\"").arg(quoted));
        }
    } else {
        exec(db, "PRAGMA foreign_keys = ON");
        if (target.path != ":memory:")
            exec(db, "PRAGMA journal_mode = WAL");
        exec(db, "PRAGMA synchronous = NORMAL");
    }
    return db;
}

QSqlDatabase openAndMigrate(const Target& target, const QString& connectionName)
{
    QSqlDatabase db = open(target, connectionName);
    migrate(db);
    return db;
}

bool isPostgres(const QSqlDatabase& db)
{
    return db.driverName() == "QPSQL";
}

QSqlRecord tableColumns(const QSqlDatabase& db, const QString& table)
{
    return db.record(isPostgres(db) ? table.toLower() : table);
}

QString blobType(const QSqlDatabase& db)
{
    return isPostgres(db) ? QStringLiteral("BYTEA") : QStringLiteral("BLOB");
}

} // namespace db
