#pragma once

#include <QHash>
#include <QString>
#include <chrono>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <string>

namespace appserver {

// The answers of recent update calls by request id, so that a client whose answer was lost
// and sends the same call again gets the first answer instead of applying the change twice. A
// repeat that arrives while the first is still running waits for its answer.
class RequestMemory {
public:
    using Clock = std::chrono::steady_clock;

    RequestMemory(std::chrono::seconds keepFor, int capacity) : m_keepFor(keepFor), m_capacity(capacity) {}

    // The remembered answer of key, or run() once and remember what it gives.
    std::string answer(const QString& key, const std::function<std::string()>& run);

private:
    struct Entry {
        std::shared_future<std::string> answer;
        Clock::time_point when;
    };
    void forgetOld(Clock::time_point now);

    std::chrono::seconds m_keepFor;
    int m_capacity;
    std::mutex m_mutex;
    QHash<QString, Entry> m_entries;
};

} // namespace appserver
