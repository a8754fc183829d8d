#pragma once

#include <QHash>
#include <QString>
#include <chrono>
#include <mutex>
#include <optional>

namespace appserver {

// The operator sessions of one daemon: a login gives a random token, every call shows it. A
// token unused for the idle lifetime expires; tokens live in memory only, so another daemon
// (or this one after a restart) knows none of them.
class SessionTable {
public:
    using Clock = std::chrono::steady_clock;

    explicit SessionTable(std::chrono::seconds idleLifetime) : m_idleLifetime(idleLifetime) {}

    QString open(const QString& operatorCode);
    // The operator of a live token (its lifetime starts again); nullopt for an unknown or
    // expired one.
    std::optional<QString> check(const QString& token);
    void close(const QString& token);

private:
    struct Session {
        QString operatorCode;
        Clock::time_point lastUse;
    };
    void dropExpired(Clock::time_point now);

    std::chrono::seconds m_idleLifetime;
    std::mutex m_mutex;
    QHash<QString, Session> m_sessions;
    Clock::time_point m_lastSweep{};
};

} // namespace appserver
