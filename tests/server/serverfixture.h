#pragma once

#include "appserver/httpserver.h"
#include "server/connection.h"
#include "testdatabase.h"

#include <memory>
#include <tuple>

namespace servertest {

enum class Via { InProcess, Http };

// A test database and, for HTTP, an appserver serving it on a free loopback port; connections
// made here reach it by the chosen transport.
class ServerSide {
public:
    ServerSide(testdb::Backend backend, Via via);

    std::unique_ptr<server::Connection> connect(const QString& serverName = "Pla01300.rdmReceitaPadrao",
                                                QObject* parent = nullptr);
    testdb::TestDatabase& database() { return *m_database; }
    int port() const { return m_http ? m_http->port() : 0; }

private:
    Via m_via;
    std::unique_ptr<testdb::TestDatabase> m_database;
    std::unique_ptr<appserver::HttpServer> m_http;
};

} // namespace servertest
