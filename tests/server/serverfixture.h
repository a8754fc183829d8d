#pragma once

#include "appserver/httpserver.h"
#include "server/connection.h"
#include "testdatabase.h"

#include <memory>
#include <tuple>

namespace servertest {

enum class Via { InProcess, Http };

// A test database and, for HTTP, an appserver serving it on a free loopback port, logged in
// as the demo operator; connections made here reach it by the chosen transport. The calls are
// the demo operator's (the host context's operator in process, the session's over HTTP).
class ServerSide {
public:
    ServerSide(testdb::Backend backend, Via via, const appserver::ServerOptions& options = {});

    // The calls from now on are this operator's, as after the host's login.
    void loginAs(const QString& operatorCode, const QString& password);

    std::unique_ptr<server::Connection> connect(const QString& serverName = "Pla01300.rdmReceitaPadrao",
                                                QObject* parent = nullptr);
    testdb::TestDatabase& database() { return *m_database; }
    int port() const { return m_http ? m_http->port() : 0; }
    appserver::HttpServer& http() { return *m_http; }

private:
    Via m_via;
    QString m_host = QStringLiteral("127.0.0.1");
    std::unique_ptr<testdb::TestDatabase> m_database;
    std::unique_ptr<appserver::HttpServer> m_http;
};

} // namespace servertest
