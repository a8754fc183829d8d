#include "grantstore.h"

#include "sqlpacket.h"

#include <QDateTime>
#include <QUuid>

namespace appserver {

namespace {

qint64 now()
{
    return QDateTime::currentMSecsSinceEpoch();
}

} // namespace

void GrantStore::give(QSqlDatabase& db, const QString& session, int kind, const QString& operation,
                      const QString& supervisor) const
{
    sweep(db); // where no daemon sweeps (in process), a grant given clears those that expired
    const qint64 at = now();
    execute(db,
            "INSERT INTO AUTORIZACAOSESSAO (IDAUTORIZACAO, DSSESSAO, NRTIPOAUTORIZA, CDOPERACAO, CDSUPERVISOR, DTEXPIRACAO) "
            "VALUES (?, ?, ?, ?, ?, ?)",
            {QUuid::createUuid().toString(QUuid::Id128), session, kind, operation, supervisor, at + m_lifetime.count()});
}

std::optional<Grant> GrantStore::take(QSqlDatabase& db, const QString& session, int kind, const QString& operation) const
{
    // Another call of the session may take the same grant meanwhile: the one whose delete
    // finds it has it, the other looks again.
    for (;;) {
        QSqlQuery first = execute(db,
                                  "SELECT IDAUTORIZACAO, CDSUPERVISOR FROM AUTORIZACAOSESSAO "
                                  "WHERE DSSESSAO = ? AND NRTIPOAUTORIZA = ? AND CDOPERACAO = ? AND DTEXPIRACAO > ? "
                                  "ORDER BY DTEXPIRACAO LIMIT 1",
                                  {session, kind, operation, now()});
        if (!first.next())
            return std::nullopt;
        const QString id = first.value(0).toString();
        const Grant grant{session, kind, operation, first.value(1).toString()};
        first.finish();
        if (execute(db, "DELETE FROM AUTORIZACAOSESSAO WHERE IDAUTORIZACAO = ?", {id}).numRowsAffected() == 1)
            return grant;
    }
}

void GrantStore::dropSession(QSqlDatabase& db, const QString& session)
{
    execute(db, "DELETE FROM AUTORIZACAOSESSAO WHERE DSSESSAO = ?", {session});
}

void GrantStore::sweep(QSqlDatabase& db)
{
    execute(db, "DELETE FROM AUTORIZACAOSESSAO WHERE DTEXPIRACAO <= ?", {now()});
}

} // namespace appserver
