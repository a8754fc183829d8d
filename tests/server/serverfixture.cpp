#include "serverfixture.h"

namespace servertest {

ServerSide::ServerSide(testdb::Backend backend, Via via)
    : m_via(via), m_database(std::make_unique<testdb::TestDatabase>(backend))
{
    if (via == Via::Http) {
        m_http = std::make_unique<appserver::HttpServer>(m_database->target());
        m_http->setLogger([](const QString&) {});
        if (m_http->start("127.0.0.1", 0) < 0)
            throw std::runtime_error("no free port");
    }
}

std::unique_ptr<server::Connection> ServerSide::connect(const QString& serverName, QObject* parent)
{
    auto net = std::make_unique<server::Connection>(parent, "netTeste", serverName);
    if (m_via == Via::Http) {
        const int port = m_http->port();
        net->BeforeConnect = [port](server::Connection& c) {
            c.setHost("127.0.0.1");
            c.setPort(port);
        };
    } else {
        net->setDatabaseConnection(m_database->connectionName());
    }
    net->Connect();
    return net;
}

} // namespace servertest
