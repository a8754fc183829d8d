#include "database.h"
#include "framework/abort.h"
#include "migrations.h"
#include "passwords.h"

#include <QSqlError>
#include <QSqlQuery>

namespace db {

namespace {

void fail(const QSqlQuery& q)
{
    throw framework::Error(QStringLiteral("Falha ao atualizar as senhas: %1").arg(q.lastError().text()));
}

// Wraps every stored plain SHA-256 digest in PBKDF2, so that no password waits for its
// owner's next login to be protected.
void wrapPasswordHashes(QSqlDatabase& db)
{
    if (isPostgres(db)) {
        QSqlQuery widen(db);
        if (!widen.exec("ALTER TABLE USUARIO ALTER COLUMN DSHASHSENHA TYPE VARCHAR(200)"))
            fail(widen);
    }
    QSqlQuery users(db);
    if (!users.exec("SELECT CDOPERADOR, DSSALT, DSHASHSENHA FROM USUARIO"))
        fail(users);
    QSqlQuery update(db);
    update.prepare("UPDATE USUARIO SET DSHASHSENHA = ? WHERE CDOPERADOR = ?");
    while (users.next()) {
        const QString stored = users.value(2).toString();
        if (!isLegacyHash(stored))
            continue;
        update.bindValue(0, wrapLegacyHash(users.value(1).toString(), stored));
        update.bindValue(1, users.value(0));
        if (!update.exec())
            fail(update);
    }
}

} // namespace

Migration schemaV3()
{
    return {3, "Senhas com PBKDF2", {}, wrapPasswordHashes};
}

} // namespace db
