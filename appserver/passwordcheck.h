#pragma once

#include <QHash>
#include <QSqlDatabase>
#include <QString>
#include <chrono>
#include <mutex>

namespace appserver {

// Failed password attempts per operator, for the whole process (daemon logins and supervisor
// authorisations alike): after a few wrong passwords in a row the operator must wait, twice as
// long after each further failure, before a password is checked again. A right password clears
// the count.
class PasswordThrottle {
public:
    using Clock = std::chrono::steady_clock;

    static PasswordThrottle& instance();

    // Seconds still to wait before the operator may try again (0: now).
    int waitSeconds(const QString& operatorCode) const;
    void failed(const QString& operatorCode);
    void succeeded(const QString& operatorCode);
    void reset();

    static constexpr int freeAttempts = 3;
    static constexpr int longestWaitSeconds = 300;

private:
    struct Record {
        int failures = 0;
        Clock::time_point lockedUntil{};
    };
    mutable std::mutex m_mutex;
    QHash<QString, Record> m_records; // by upper-case operator code
};

enum class PasswordCheck { Right, Wrong, Throttled };

// Checks an active operator's password (USUARIO) through the throttle. An unknown operator and
// a wrong password are the same failure, so the answers tell nothing about who exists.
PasswordCheck checkPassword(QSqlDatabase& db, const QString& operatorCode, const QString& password);

// The texts of the two failures.
QString wrongPasswordText();
QString throttledText(const QString& operatorCode);

} // namespace appserver
