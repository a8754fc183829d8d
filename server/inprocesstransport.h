#pragma once

#include "appserver/dispatcher.h"
#include "transport.h"

namespace server {

// Runs the server objects inside the client, on one of the client's database connections
// (by QSqlDatabase connection name), on the caller's thread. The calls are the host's operator's
// (the context's Operador at each call); the supervisor authorisations he is given are kept in
// that database for him and this process, so that every connection of his to it shares them as
// a daemon's session would.
class InProcessTransport : public Transport {
public:
    explicit InProcessTransport(const QString& databaseConnection);

    bool open(const QString& host, int port) override;
    void close() override { m_open = false; }
    bool isOpen() const override { return m_open; }
    QVariant call(const QString& object, const QString& method, QVariantList& args) override;

private:
    QString m_connection;
    appserver::Dispatcher m_dispatcher;
    bool m_open = false;
};

} // namespace server
