#include "grantstore.h"

namespace appserver {

using Clock = std::chrono::system_clock;

void MemoryGrantStore::give(QSqlDatabase&, const QString& session, int kind, const QString& operation,
                            const QString& supervisor)
{
    const auto now = Clock::now();
    std::lock_guard lock(m_mutex);
    dropExpired(now);
    m_grants.insert(session, {session, kind, operation, supervisor,
                              now + std::chrono::duration_cast<Clock::duration>(lifetime())});
}

std::optional<Grant> MemoryGrantStore::take(QSqlDatabase&, const QString& session, int kind, const QString& operation)
{
    const auto now = Clock::now();
    std::lock_guard lock(m_mutex);
    dropExpired(now);
    auto first = m_grants.end();
    for (auto it = m_grants.find(session); it != m_grants.end() && it.key() == session; ++it)
        if (it->kind == kind && it->operation == operation && (first == m_grants.end() || it->expires < first->expires))
            first = it;
    if (first == m_grants.end())
        return std::nullopt;
    Grant grant = *first;
    m_grants.erase(first);
    return grant;
}

void MemoryGrantStore::giveBack(const Grant& grant)
{
    std::lock_guard lock(m_mutex);
    if (grant.expires > Clock::now())
        m_grants.insert(grant.session, grant);
}

void MemoryGrantStore::dropExpired(Clock::time_point now)
{
    for (auto it = m_grants.begin(); it != m_grants.end();)
        it = it->expires <= now ? m_grants.erase(it) : std::next(it);
}

} // namespace appserver
