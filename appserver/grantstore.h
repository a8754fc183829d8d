#pragma once

#include <QMultiHash>
#include <QSqlDatabase>
#include <QString>
#include <chrono>
#include <mutex>
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
    std::chrono::system_clock::time_point expires;
};

// Where the grants of the sessions are kept until a call uses them, each for its lifetime. A
// call takes a grant inside its transaction; when the call is rolled back the grant is given
// back, so that a change the server refused for another reason can be confirmed again.
class GrantStore {
public:
    explicit GrantStore(std::chrono::milliseconds lifetime) : m_lifetime(lifetime) {}
    virtual ~GrantStore() = default;
    GrantStore(const GrantStore&) = delete;
    GrantStore& operator=(const GrantStore&) = delete;

    std::chrono::milliseconds lifetime() const { return m_lifetime; }

    // Keeps a new grant until it is taken or its lifetime is over.
    virtual void give(QSqlDatabase& db, const QString& session, int kind, const QString& operation,
                      const QString& supervisor) = 0;
    // Takes away one live grant of the operation from the session (the one that expires first).
    virtual std::optional<Grant> take(QSqlDatabase& db, const QString& session, int kind, const QString& operation) = 0;
    // After the transaction of the call that took it was rolled back.
    virtual void giveBack(const Grant& grant) = 0;

private:
    std::chrono::milliseconds m_lifetime;
};

// The grants of one process, in memory.
class MemoryGrantStore : public GrantStore {
public:
    using GrantStore::GrantStore;

    void give(QSqlDatabase& db, const QString& session, int kind, const QString& operation,
              const QString& supervisor) override;
    std::optional<Grant> take(QSqlDatabase& db, const QString& session, int kind, const QString& operation) override;
    void giveBack(const Grant& grant) override;

private:
    void dropExpired(std::chrono::system_clock::time_point now);

    std::mutex m_mutex;
    QMultiHash<QString, Grant> m_grants; // by session
};

} // namespace appserver
