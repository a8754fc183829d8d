#pragma once

#include <QSqlDatabase>
#include <QString>
#include <chrono>
#include <optional>

namespace appserver {

// How long a session lasts: unused for `idle`, or `absolute` after its login, it is over.
struct SessionLifetimes {
    std::chrono::milliseconds idle = std::chrono::hours(8);
    std::chrono::milliseconds absolute = std::chrono::hours(12);
};

// The operators' sessions with the application servers, kept in the database (SESSAOSERVIDOR)
// so that every daemon on it accepts a token another one gave. A login gives a random token; the
// table keeps only its digest, with the operator, creation, last use and expiry. A token stops
// working when unused for the idle lifetime, past its expiry, after a logout, and as soon as its
// operator is no longer active.
class SessionStore {
public:
    struct Session {
        QString id; // the digest of the token: what the session's grants and logs name
        QString operatorCode;
    };

    explicit SessionStore(const SessionLifetimes& lifetimes) : m_lifetimes(lifetimes) {}

    // A new session of the operator; answers its token.
    QString open(QSqlDatabase& db, const QString& operatorCode) const;
    // The live session of a token (its last use noted); nullopt for any other text.
    std::optional<Session> check(QSqlDatabase& db, const QString& token) const;
    // Ends the token's session and drops the authorisations given to it.
    void close(QSqlDatabase& db, const QString& token) const;
    // Deletes the sessions that are over.
    void sweep(QSqlDatabase& db) const;

    static QString digest(const QString& token);

private:
    SessionLifetimes m_lifetimes;
};

} // namespace appserver
