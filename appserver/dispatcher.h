#pragma once

#include "caller.h"
#include "grantstore.h"
#include "requestmemory.h"
#include "serverobject.h"

#include <QSqlDatabase>
#include <QVariantList>
#include <functional>
#include <memory>

namespace appserver {

// Runs a method of a server object for a caller in one database transaction and turns every
// failure into the answer the contract defines: a query's failure becomes a
// framework::ServerFault, an update's its status text (after rolling back). Nothing escapes as an
// exception, so a caller (the in-process transport, the daemon) never crashes on a bad call.
// Before the transaction a change log is held to what its form can produce; inside it the
// caller's changes are held to his rights and the supervisor authorisations of his session
// (guards.h). A failure of the database answers a general text; what the database said goes
// to the report, for the server's log. An update sent with a request id is applied once per
// id: a repeat answers what the first answered (requestmemory.h).
class Dispatcher {
public:
    // Gives the open database the call runs on (the caller's thread's connection).
    using DatabaseSource = std::function<QSqlDatabase()>;
    // Drops the caller's connection, so that the next DatabaseSource call opens a new one.
    using Reconnect = std::function<void()>;

    // How a call ended, for the server's log.
    struct Report {
        enum class Outcome { Done, Failed, NotAllowed, Repeated } outcome = Outcome::Done;
        QString note;       // who authorised, what was missing
        QString detail;     // what the database said of a failure: for the log, never for the client
        QList<int> written; // the arguments the method wrote, which go back by reference
    };

    // With a Reconnect, a call that failed on a lost connection (the database restarted) is
    // run once more on a new connection. Without a grant store the grants live for
    // defaultGrantLifetime; without a request memory request ids are not looked at.
    explicit Dispatcher(DatabaseSource database, Reconnect reconnect = {}, std::shared_ptr<const GrantStore> grants = {},
                        std::shared_ptr<const RequestMemory> requests = {});

    // args are passed by reference: the values the method leaves in them come back; on a
    // failure they are as they were sent.
    QVariant call(const Caller& caller, const QString& object, const QString& method, QVariantList& args,
                  Report* report = nullptr, const QString& requestId = {}) const noexcept;

    // Whether the method answers a status text (an update); false when it is unknown.
    static bool isUpdate(const QString& object, const QString& method);

    const GrantStore& grants() const { return *m_grants; }

private:
    QVariant attempt(const Caller& caller, const QString& object, const ServerObject::Method& method, QVariantList& args,
                     const QString& requestId, bool& connectionLost, Report& report) const noexcept;

    DatabaseSource m_database;
    Reconnect m_reconnect;
    std::shared_ptr<const GrantStore> m_grants;
    std::shared_ptr<const RequestMemory> m_requests;
};

} // namespace appserver
