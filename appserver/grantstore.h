#pragma once

#include <QSqlDatabase>
#include <QString>
#include <chrono>
#include <optional>

namespace appserver {

// How long a supervisor's authorisation waits for the change it was given for: the time to type
// an edit and confirm it.
inline constexpr std::chrono::milliseconds defaultGrantLifetime = std::chrono::minutes(10);

// A supervisor's authorisation of one operation, given to one session for a short time.
struct Grant {
    QString session;
    int kind = 0;
    QString operation;
    QString supervisor;
};

// The grants of the sessions, kept in the database (AUTORIZACAOSESSAO) until a call uses them,
// each for its lifetime, so that whichever daemon serves the session's next call finds them. A
// call takes a grant inside its transaction: when the call is rolled back the grant is there
// again, so that a change the server refused for another reason can be confirmed again.
class GrantStore {
public:
    explicit GrantStore(std::chrono::milliseconds lifetime) : m_lifetime(lifetime) {}

    std::chrono::milliseconds lifetime() const { return m_lifetime; }

    // Keeps a new grant until it is taken or its lifetime is over.
    void give(QSqlDatabase& db, const QString& session, int kind, const QString& operation,
              const QString& supervisor) const;
    // Takes away one live grant of the operation from the session (the one that expires first).
    std::optional<Grant> take(QSqlDatabase& db, const QString& session, int kind, const QString& operation) const;

    // The grants of a session that ended.
    static void dropSession(QSqlDatabase& db, const QString& session);
    // Deletes the grants whose time is over.
    static void sweep(QSqlDatabase& db);

private:
    std::chrono::milliseconds m_lifetime;
};

} // namespace appserver
