#include "passwordcheck.h"

#include "db/passwords.h"
#include "sqlpacket.h"

#include <QSqlQuery>
#include <algorithm>

namespace appserver {

PasswordThrottle& PasswordThrottle::instance()
{
    static PasswordThrottle throttle;
    return throttle;
}

int PasswordThrottle::waitSeconds(const QString& operatorCode) const
{
    std::lock_guard lock(m_mutex);
    const auto it = m_records.constFind(operatorCode.toUpper());
    if (it == m_records.constEnd())
        return 0;
    const auto left = std::chrono::ceil<std::chrono::seconds>(it->lockedUntil - Clock::now()).count();
    return int(std::max<qint64>(0, left));
}

void PasswordThrottle::failed(const QString& operatorCode)
{
    std::lock_guard lock(m_mutex);
    Record& record = m_records[operatorCode.toUpper()];
    ++record.failures;
    if (record.failures >= freeAttempts) {
        const int doublings = std::min(record.failures - freeAttempts, 9);
        record.lockedUntil = Clock::now() + std::chrono::seconds(std::min(2 << doublings, longestWaitSeconds));
    }
}

void PasswordThrottle::succeeded(const QString& operatorCode)
{
    std::lock_guard lock(m_mutex);
    m_records.remove(operatorCode.toUpper());
}

void PasswordThrottle::reset()
{
    std::lock_guard lock(m_mutex);
    m_records.clear();
}

PasswordCheck checkPassword(QSqlDatabase& db, const QString& operatorCode, const QString& password)
{
    PasswordThrottle& throttle = PasswordThrottle::instance();
    if (throttle.waitSeconds(operatorCode) > 0)
        return PasswordCheck::Throttled;
    QSqlQuery q = execute(db, "SELECT DSSALT, DSHASHSENHA FROM USUARIO WHERE CDOPERADOR = ? AND IDATIVO = 'S'",
                          {operatorCode.trimmed().toUpper()});
    const bool right = q.next() && db::passwordMatches(q.value(0).toString(), password, q.value(1).toString());
    if (right)
        throttle.succeeded(operatorCode);
    else
        throttle.failed(operatorCode);
    return right ? PasswordCheck::Right : PasswordCheck::Wrong;
}

QString wrongPasswordText()
{
    return QStringLiteral("Usuário ou senha inválidos.");
}

QString throttledText(const QString& operatorCode)
{
    return QStringLiteral("Muitas tentativas com senha errada para %1. Aguarde %2 s e tente de novo.")
        .arg(operatorCode.trimmed().toUpper())
        .arg(std::max(1, PasswordThrottle::instance().waitSeconds(operatorCode)));
}

} // namespace appserver
