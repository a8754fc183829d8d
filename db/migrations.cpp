#include "migrations.h"

#include "database.h"
#include "framework/abort.h"

#include <QDateTime>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace db {

namespace {

const QString postgresOnly = QStringLiteral("{POSTGRES}");

void run(QSqlDatabase& db, const QString& sql)
{
    QSqlQuery q(db);
    if (!q.exec(sql))
        throw framework::Error(QStringLiteral("Falha ao atualizar o esquema do banco de dados: %1\n%2")
                                   .arg(q.lastError().text(), sql.left(200)));
}

} // namespace

const QList<Migration>& migrations()
{
    static const QList<Migration> all{schemaV1(), schemaV2(), schemaV3(), schemaV4(), schemaV5(), schemaV6(), schemaV7(), schemaV8(),
                                           schemaV9()};
    return all;
}

int latestVersion()
{
    return migrations().last().version;
}

int currentVersion(QSqlDatabase& db)
{
    // A database without the version table has never been migrated.
    if (tableColumns(db, "SCHEMA_VERSION").isEmpty())
        return 0;
    QSqlQuery q(db);
    if (!q.exec("SELECT MAX(NRVERSAO) FROM SCHEMA_VERSION") || !q.next())
        throw framework::Error(QStringLiteral("Não foi possível ler a versão do banco: %1").arg(q.lastError().text()));
    return q.value(0).toInt();
}

void migrate(QSqlDatabase& db)
{
    run(db, "CREATE TABLE IF NOT EXISTS SCHEMA_VERSION (NRVERSAO INTEGER NOT NULL PRIMARY KEY, "
            "DSVERSAO VARCHAR(100), DTAPLICACAO VARCHAR(30))");
    const QString blob = blobType(db);
    for (const Migration& m : migrations()) {
        if (!db.transaction())
            throw framework::Error(QStringLiteral("Falha ao iniciar a transação: %1").arg(db.lastError().text()));
        try {
            // Re-read inside the transaction: another process may have migrated meanwhile.
            if (m.version <= currentVersion(db)) {
                db.commit();
                continue;
            }
            for (QString sql : m.statements) {
                if (sql.startsWith(postgresOnly)) {
                    if (!isPostgres(db))
                        continue;
                    sql.remove(0, postgresOnly.size());
                }
                run(db, sql.replace("{BLOB}", blob));
            }
            if (m.upgrade)
                m.upgrade(db);
            QSqlQuery q(db);
            q.prepare("INSERT INTO SCHEMA_VERSION (NRVERSAO, DSVERSAO, DTAPLICACAO) VALUES (?, ?, ?)");
            q.addBindValue(m.version);
            q.addBindValue(m.description);
            q.addBindValue(QDateTime::currentDateTimeUtc().toString(Qt::ISODate));
            if (!q.exec())
                throw framework::Error(q.lastError().text());
            if (!db.commit())
                throw framework::Error(db.lastError().text());
        } catch (...) {
            db.rollback();
            throw;
        }
    }
}

} // namespace db
