#pragma once

#include "serverobject.h"

#include <QSqlDatabase>
#include <QVariantList>
#include <functional>

namespace appserver {

// Runs a method of a server object in one database transaction and turns every failure into
// the answer the contract defines: a query's failure becomes a framework::ServerFault, an
// update's its status text (after rolling back). Nothing escapes as an exception, so a caller
// (the in-process transport, the daemon) never crashes on a bad call.
class Dispatcher {
public:
    // Gives the open database the call runs on (the caller's thread's connection).
    using DatabaseSource = std::function<QSqlDatabase()>;
    // Drops the caller's connection, so that the next DatabaseSource call opens a new one.
    using Reconnect = std::function<void()>;

    // With a Reconnect, a call that failed on a lost connection (the database restarted) is
    // run once more on a new connection.
    explicit Dispatcher(DatabaseSource database, Reconnect reconnect = {})
        : m_database(std::move(database)), m_reconnect(std::move(reconnect))
    {
    }

    // args are passed by reference: the values the method leaves in them come back; on a
    // failure they are as they were sent.
    QVariant call(const QString& object, const QString& method, QVariantList& args) const noexcept;

    // Whether the method answers a status text (an update); false when it is unknown.
    static bool isUpdate(const QString& object, const QString& method);

private:
    QVariant attempt(const ServerObject::Method& method, QVariantList& args, bool& connectionLost) const noexcept;

    DatabaseSource m_database;
    Reconnect m_reconnect;
};

} // namespace appserver
