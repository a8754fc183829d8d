#include "passwordcheck.h"

#include "db/passwords.h"
#include "sqlpacket.h"

#include <QDateTime>
#include <algorithm>

namespace appserver::passwords {

namespace {

constexpr qint64 firstWait = qint64(firstWaitSeconds) * 1000;
constexpr qint64 longestWait = qint64(longestWaitSeconds) * 1000;
constexpr qint64 forgetAfter = qint64(3600) * 1000;
constexpr int addressWidth = 64; // TENTATIVASENHA.DSORIGEM

qint64 now()
{
    return QDateTime::currentMSecsSinceEpoch();
}

// The wait that the failure being counted starts, from the row's count and wait before it.
const QString nextWait = QStringLiteral("CASE WHEN TENTATIVASENHA.NRFALHAS + 1 < %1 THEN 0 "
                                        "WHEN TENTATIVASENHA.NRFALHAS + 1 = %1 THEN %2 "
                                        "WHEN TENTATIVASENHA.NRESPERA * 2 > %3 THEN %3 "
                                        "ELSE TENTATIVASENHA.NRESPERA * 2 END")
                             .arg(freeAttempts)
                             .arg(firstWait)
                             .arg(longestWait);

// Counts an attempt as a failure, unless the address must still wait: one statement, so that
// no two attempts see the same count. False when it must wait. A failure that starts no wait
// leaves no release time: an attempt stamped a moment earlier but counted later would fall
// before it and be held as if it had come too soon.
bool countAttempt(QSqlDatabase& db, const QString& operatorCode, const QString& address, qint64 at)
{
    const qint64 firstAttemptWait = freeAttempts <= 1 ? firstWait : 0;
    QSqlQuery q = execute(db,
                          QStringLiteral("INSERT INTO TENTATIVASENHA (CDOPERADOR, DSORIGEM, NRFALHAS, NRESPERA, DTLIBERACAO, "
                                         "DTULTIMA) VALUES (?, ?, 1, ?, ?, ?) "
                                         "ON CONFLICT (CDOPERADOR, DSORIGEM) DO UPDATE SET "
                                         "NRFALHAS = TENTATIVASENHA.NRFALHAS + 1, NRESPERA = %1, "
                                         "DTLIBERACAO = CASE WHEN %1 = 0 THEN 0 ELSE ? + %1 END, "
                                         "DTULTIMA = ? WHERE TENTATIVASENHA.DTLIBERACAO <= ? RETURNING NRFALHAS")
                              .arg(nextWait),
                          {operatorCode, address, firstAttemptWait, firstAttemptWait ? at + firstAttemptWait : 0, at, at, at, at});
    return q.next();
}

int secondsToWait(QSqlDatabase& db, const QString& operatorCode, const QString& address, qint64 at)
{
    const qint64 until = selectValue(db, "SELECT DTLIBERACAO FROM TENTATIVASENHA WHERE CDOPERADOR = ? AND DSORIGEM = ?",
                                     {operatorCode, address})
                             .toLongLong();
    return int(std::max<qint64>(1, (until - at + 999) / 1000));
}

// What an unknown operator's password is hashed against.
const QString& standInSalt()
{
    static const QString salt = db::newSalt();
    return salt;
}

const QString& standInHash()
{
    static const QString hash = db::passwordHash(standInSalt(), db::newSalt());
    return hash;
}

} // namespace

Check check(QSqlDatabase& db, const QString& operatorCode, const QString& password, const QString& address)
{
    const QString code = operatorCode.trimmed().toUpper();
    if (code.isEmpty() || code.size() > operatorCodeWidth)
        return {Outcome::Wrong};
    const QString origin = address.left(addressWidth);
    const qint64 at = now();
    if (!countAttempt(db, code, origin, at))
        return {Outcome::Throttled, secondsToWait(db, code, origin, at)};

    QSqlQuery q = execute(db, "SELECT DSSALT, DSHASHSENHA FROM USUARIO WHERE CDOPERADOR = ? AND IDATIVO = 'S'", {code});
    bool right = false;
    if (q.next())
        right = db::passwordMatches(q.value(0).toString(), password, q.value(1).toString());
    else
        (void)db::passwordMatches(standInSalt(), password, standInHash()); // as long as a known name's check
    // A read left open would make the write below (SQLite) wait on a sweep that waits on it.
    q.finish();
    if (!right)
        return {Outcome::Wrong};
    execute(db, "DELETE FROM TENTATIVASENHA WHERE CDOPERADOR = ? AND DSORIGEM = ?", {code, origin});
    return {Outcome::Right};
}

void sweep(QSqlDatabase& db)
{
    const qint64 at = now();
    execute(db, "DELETE FROM TENTATIVASENHA WHERE DTULTIMA <= ? AND DTLIBERACAO <= ?", {at - forgetAfter, at});
}

QString wrongText()
{
    return QStringLiteral("Usuário ou senha inválidos.");
}

QString throttledText(const QString& operatorCode, int waitSeconds)
{
    return QStringLiteral("Muitas tentativas com senha errada para %1. Aguarde %2 s e tente de novo.")
        .arg(operatorCode.trimmed().toUpper())
        .arg(std::max(1, waitSeconds));
}

} // namespace appserver::passwords
