#include "sessionstore.h"

#include "grantstore.h"
#include "sqlpacket.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <algorithm>

namespace appserver {

namespace {

qint64 now()
{
    return QDateTime::currentMSecsSinceEpoch();
}

bool wellFormed(const QString& token)
{
    static const QRegularExpression hex(QStringLiteral("^[0-9a-f]{64}$"));
    return hex.match(token).hasMatch();
}

} // namespace

QString SessionStore::digest(const QString& token)
{
    return QString::fromLatin1(QCryptographicHash::hash(token.toLatin1(), QCryptographicHash::Sha256).toHex());
}

QString SessionStore::open(QSqlDatabase& db, const QString& operatorCode) const
{
    QByteArray bytes(32, Qt::Uninitialized);
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32*>(bytes.data()), bytes.size() / 4);
    const QString token = QString::fromLatin1(bytes.toHex());
    const qint64 at = now();
    execute(db,
            "INSERT INTO SESSAOSERVIDOR (DSDIGESTO, CDOPERADOR, DTCRIACAO, DTULTIMOUSO, DTEXPIRACAO) VALUES (?, ?, ?, ?, ?)",
            {digest(token), operatorCode, at, at, at + m_lifetimes.absolute.count()});
    return token;
}

std::optional<SessionStore::Session> SessionStore::check(QSqlDatabase& db, const QString& token) const
{
    if (!wellFormed(token))
        return std::nullopt;
    const QString id = digest(token);
    const qint64 at = now();
    QSqlQuery q = execute(db,
                          "SELECT S.CDOPERADOR, S.DTULTIMOUSO FROM SESSAOSERVIDOR S "
                          "JOIN USUARIO U ON U.CDOPERADOR = S.CDOPERADOR "
                          "WHERE S.DSDIGESTO = ? AND U.IDATIVO = 'S' AND S.DTEXPIRACAO > ? AND S.DTULTIMOUSO > ?",
                          {id, at, at - m_lifetimes.idle.count()});
    if (!q.next())
        return std::nullopt;
    Session session{id, q.value(0).toString()};
    // The last use is written now and then, not on every call: often enough for the idle limit.
    const qint64 touchEvery = std::min<qint64>(30000, m_lifetimes.idle.count() / 4);
    if (q.value(1).toLongLong() < at - touchEvery)
        execute(db, "UPDATE SESSAOSERVIDOR SET DTULTIMOUSO = ? WHERE DSDIGESTO = ?", {at, id});
    return session;
}

void SessionStore::close(QSqlDatabase& db, const QString& token) const
{
    if (!wellFormed(token))
        return;
    const QString id = digest(token);
    execute(db, "DELETE FROM SESSAOSERVIDOR WHERE DSDIGESTO = ?", {id});
    GrantStore::dropSession(db, id);
}

void SessionStore::sweep(QSqlDatabase& db) const
{
    const qint64 at = now();
    execute(db,
            "DELETE FROM SESSAOSERVIDOR WHERE DTEXPIRACAO <= ? OR DTULTIMOUSO <= ? "
            "OR CDOPERADOR NOT IN (SELECT CDOPERADOR FROM USUARIO WHERE IDATIVO = 'S')",
            {at, at - m_lifetimes.idle.count()});
}

} // namespace appserver
