#include "serverfixture.h"

#include "db/demodata.h"
#include "framework/core/hostcontext.h"
#include "server/session.h"

namespace servertest {

ServerSide::ServerSide(testdb::Backend backend, Via via, const appserver::ServerOptions& options)
    : m_via(via), m_database(std::make_unique<testdb::TestDatabase>(backend))
{
    if (via == Via::Http) {
        m_http = std::make_unique<appserver::HttpServer>(m_database->target(), options);
        m_http->setLogger([](const QString&) {});
        if (m_http->start("127.0.0.1", 0) < 0)
            throw std::runtime_error("no free port");
        if (!options.certificateFile.isEmpty())
            m_host = QStringLiteral("https://127.0.0.1");
    }
    loginAs(db::DemoOperator, db::DemoOperatorPassword);
}

void ServerSide::loginAs(const QString& operatorCode, const QString& password)
{
    framework::hostContext().Operador = operatorCode;
    if (m_via != Via::Http)
        return;
    const QString failure = server::Session::instance().login(m_host, m_http->port(), operatorCode, password);
    if (!failure.isEmpty())
        throw std::runtime_error(failure.toStdString());
}

std::unique_ptr<server::Connection> ServerSide::connect(const QString& serverName, QObject* parent)
{
    auto net = std::make_unique<server::Connection>(parent, "netTeste", serverName);
    if (m_via == Via::Http) {
        const int port = m_http->port();
        net->BeforeConnect = [port, host = m_host](server::Connection& c) {
            c.setHost(host);
            c.setPort(port);
        };
    } else {
        net->setDatabaseConnection(m_database->connectionName());
    }
    net->Connect();
    return net;
}

} // namespace servertest
