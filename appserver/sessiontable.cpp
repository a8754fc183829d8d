#include "sessiontable.h"

#include <QRandomGenerator>

namespace appserver {

QString SessionTable::open(const QString& operatorCode)
{
    QByteArray bytes(32, Qt::Uninitialized);
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32*>(bytes.data()), bytes.size() / 4);
    const QString token = QString::fromLatin1(bytes.toHex());
    const auto now = Clock::now();
    std::lock_guard lock(m_mutex);
    dropExpired(now);
    m_sessions.insert(token, {operatorCode, now});
    return token;
}

std::optional<QString> SessionTable::check(const QString& token)
{
    const auto now = Clock::now();
    std::lock_guard lock(m_mutex);
    const auto it = m_sessions.find(token);
    if (it == m_sessions.end())
        return std::nullopt;
    if (now - it->lastUse > m_idleLifetime) {
        m_sessions.erase(it);
        return std::nullopt;
    }
    it->lastUse = now;
    return it->operatorCode;
}

void SessionTable::close(const QString& token)
{
    std::lock_guard lock(m_mutex);
    m_sessions.remove(token);
}

void SessionTable::dropExpired(Clock::time_point now)
{
    if (now - m_lastSweep < std::chrono::minutes(1))
        return;
    m_lastSweep = now;
    for (auto it = m_sessions.begin(); it != m_sessions.end();)
        it = now - it->lastUse > m_idleLifetime ? m_sessions.erase(it) : std::next(it);
}

} // namespace appserver
