#pragma once

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

    explicit Dispatcher(DatabaseSource database) : m_database(std::move(database)) {}

    // args are passed by reference: the values the method leaves in them come back; on a
    // failure they are as they were sent.
    QVariant call(const QString& object, const QString& method, QVariantList& args) const noexcept;

private:
    DatabaseSource m_database;
};

} // namespace appserver
