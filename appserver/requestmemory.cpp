#include "requestmemory.h"

#include <algorithm>
#include <vector>

namespace appserver {

std::string RequestMemory::answer(const QString& key, const std::function<std::string()>& run)
{
    std::promise<std::string> promise;
    std::unique_lock lock(m_mutex);
    const auto now = Clock::now();
    forgetOld(now);
    const auto it = m_entries.constFind(key);
    if (it != m_entries.constEnd()) {
        const std::shared_future<std::string> earlier = it->answer;
        lock.unlock();
        return earlier.get();
    }
    m_entries.insert(key, {promise.get_future().share(), now});
    lock.unlock();

    std::string text;
    try {
        text = run();
    } catch (...) {
        // Nothing is remembered of a call that did not finish: a repeat runs it again.
        {
            std::lock_guard lock(m_mutex);
            m_entries.remove(key);
        }
        promise.set_exception(std::current_exception());
        throw;
    }
    promise.set_value(text);
    return text;
}

void RequestMemory::forgetOld(Clock::time_point now)
{
    for (auto it = m_entries.begin(); it != m_entries.end();)
        it = now - it->when > m_keepFor ? m_entries.erase(it) : std::next(it);
    if (m_entries.size() < m_capacity)
        return;
    // Over capacity: the oldest half goes, running calls included (their waiters keep the future).
    std::vector<Clock::time_point> times;
    for (const Entry& e : std::as_const(m_entries))
        times.push_back(e.when);
    std::nth_element(times.begin(), times.begin() + times.size() / 2, times.end());
    const auto cut = times[times.size() / 2];
    for (auto it = m_entries.begin(); it != m_entries.end();)
        it = it->when <= cut ? m_entries.erase(it) : std::next(it);
}

} // namespace appserver
