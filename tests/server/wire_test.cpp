// The wire as an attacker or a broken network sees it: answers without results, oversized
// bodies, calls without a session, guessed passwords, lost answers and lost database
// connections, TLS.
#include "appserver/passwordcheck.h"
#include "db/demodata.h"
#include "framework/data/clientdataset.h"
#include "framework/data/datapacket.h"
#include "server/session.h"
#include "serverfixture.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QPoint>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <gtest/gtest.h>
#include <httplib.h>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

using framework::DataPacket;
using servertest::ServerSide;
using servertest::Via;
using testdb::Backend;

namespace {

// Another program on the daemon's port: every POST answers 200 with `{}` (or a token to a login
// when it plays along that far).
class FakeServer {
public:
    explicit FakeServer(bool acceptsLogin)
    {
        m_server.Post(".*", [acceptsLogin](const httplib::Request& request, httplib::Response& response) {
            response.set_content(acceptsLogin && request.path == "/login" ? R"({"token":"x"})" : "{}", "application/json");
        });
        m_server.set_keep_alive_timeout(1); // stop() waits for idle kept-alive clients
        m_port = m_server.bind_to_any_port("127.0.0.1");
        m_thread = std::thread([this] { m_server.listen_after_bind(); });
        while (!m_server.is_running())
            std::this_thread::yield();
    }
    ~FakeServer()
    {
        m_server.stop();
        m_thread.join();
    }
    int port() const { return m_port; }

private:
    httplib::Server m_server;
    std::thread m_thread;
    int m_port = 0;
};

// Passes requests to the daemon one connection at a time, but fails the first call that names
// dropMethod: hangs up without an answer after passing it on (an answer lost after the server
// committed), or answers 502 without passing it on, as a balancer does when its daemon died.
class DroppingProxy {
public:
    enum class Failure { AnswerLost, BadGateway };

    DroppingProxy(int daemonPort, std::string dropMethod, Failure failure = Failure::AnswerLost)
        : m_daemon("127.0.0.1", daemonPort), m_marker("\"method\":\"" + dropMethod + "\""), m_failure(failure)
    {
        m_listener = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
        socklen_t length = sizeof address;
        ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length);
        m_port = ntohs(address.sin_port);
        ::listen(m_listener, 8);
        m_thread = std::thread([this] { serve(); });
    }
    ~DroppingProxy()
    {
        m_stop = true;
        m_thread.join();
        ::close(m_listener);
    }
    int port() const { return m_port; }
    int dropped() const { return m_dropped; }

private:
    void serve()
    {
        while (!m_stop) {
            pollfd waiting{m_listener, POLLIN, 0};
            if (::poll(&waiting, 1, 50) <= 0)
                continue;
            const int fd = ::accept(m_listener, nullptr, nullptr);
            std::string request;
            char buffer[65536];
            size_t headerEnd = std::string::npos, bodyLength = 0;
            while (headerEnd == std::string::npos || request.size() < headerEnd + 4 + bodyLength) {
                const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
                if (n <= 0)
                    break;
                request.append(buffer, size_t(n));
                if (headerEnd == std::string::npos && (headerEnd = request.find("\r\n\r\n")) != std::string::npos) {
                    const size_t at = request.find("Content-Length: ");
                    bodyLength = at < headerEnd ? std::stoul(request.substr(at + 16)) : 0;
                }
            }
            const std::string path = request.substr(5, request.find(' ', 5) - 5);
            const size_t auth = request.find("Authorization: ");
            httplib::Headers headers;
            if (auth != std::string::npos)
                headers.emplace("Authorization", request.substr(auth + 15, request.find("\r\n", auth) - auth - 15));
            const std::string body = request.substr(headerEnd + 4);
            if (m_failure == Failure::BadGateway && m_dropped == 0 && body.find(m_marker) != std::string::npos) {
                ++m_dropped;
                const std::string page = "<html><body>502 Bad Gateway</body></html>";
                const std::string reply = "HTTP/1.1 502 Bad Gateway\r\nContent-Type: text/html\r\nConnection: close\r\n"
                                          "Content-Length: " + std::to_string(page.size()) + "\r\n\r\n" + page;
                ::send(fd, reply.data(), reply.size(), MSG_NOSIGNAL);
                ::close(fd);
                continue;
            }
            const auto answer = m_daemon.Post(path, headers, body, "application/json");
            if (m_dropped == 0 && body.find(m_marker) != std::string::npos) {
                ++m_dropped;
                ::close(fd);
                continue;
            }
            const std::string content = answer ? answer->body : std::string();
            const std::string reply = "HTTP/1.1 " + std::to_string(answer ? answer->status : 502)
                                      + " OK\r\nContent-Type: application/json\r\nConnection: close\r\nContent-Length: "
                                      + std::to_string(content.size()) + "\r\n\r\n" + content;
            ::send(fd, reply.data(), reply.size(), MSG_NOSIGNAL);
            ::close(fd);
        }
    }

    httplib::Client m_daemon;
    std::string m_marker;
    Failure m_failure;
    int m_listener = -1;
    int m_port = 0;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_dropped{0};
    std::thread m_thread;
};

std::unique_ptr<server::Connection> connectTo(const QString& host, int port)
{
    auto net = std::make_unique<server::Connection>(nullptr, "netReceitaPadrao", "Pla01300.rdmReceitaPadrao");
    net->setHost(host);
    net->setPort(port);
    net->Connect();
    return net;
}

// A change log adding a container to dish 1010010001 (which has 00001 and 00003).
QVariant changeLogOfANewContainer(server::Connection& net, const QString& container)
{
    framework::ClientDataSet cds;
    cds.SetData(framework::toPacket(net.call("GetPratoContainer", {"1010010001", "P"})));
    cds.Append();
    cds.FieldByName("CDFILAUXPRAT")->setValue("P");
    cds.FieldByName("CDPRATO")->setValue("1010010001");
    cds.FieldByName("CDCONTAINER")->setValue(container);
    cds.FieldByName("QTPRATCONTAINER")->setValue(1.0);
    cds.FieldByName("IDPRATCONTPRI")->setValue("N");
    cds.Post();
    return QVariant::fromValue(cds.GetDelta());
}

int containerRows(testdb::TestDatabase& database, const QString& container)
{
    QSqlQuery count(database.db());
    count.prepare("SELECT COUNT(*) FROM PRATOCONTAINER WHERE CDPRATO = '1010010001' AND CDCONTAINER = ?");
    count.addBindValue(container);
    return count.exec() && count.next() ? count.value(0).toInt() : -1;
}

std::string callBody(const QString& method, const QVariantList& args, const QString& requestId = {})
{
    QJsonObject body{{"object", "Pla01300.rdmReceitaPadrao"}, {"method", method}, {"args", framework::variantToJson(args)}};
    if (!requestId.isEmpty())
        body.insert("request", requestId);
    return QJsonDocument(body).toJson(QJsonDocument::Compact).toStdString();
}

class Wire : public ::testing::Test {
protected:
    void TearDown() override
    {
        server::Session::instance().setTrustedCertificates({});
    }
};

} // namespace

TEST_F(Wire, AnAnswerWithoutAResultIsNeverASave)
{
    for (const bool acceptsLogin : {false, true}) {
        FakeServer fake(acceptsLogin);
        server::Session::instance().login("127.0.0.1", fake.port(), db::DemoOperator, db::DemoOperatorPassword);
        auto net = connectTo("127.0.0.1", fake.port());
        for (const char* update : {"UpdPrato", "UpdParamGeral", "SetContainer"}) {
            const QVariant status = net->call(update, {QVariant::fromValue(DataPacket())});
            ASSERT_EQ(status.typeId(), QMetaType::QString) << update;
            EXPECT_FALSE(status.toString().isEmpty()) << update;
        }
        EXPECT_TRUE(framework::isServerFault(net->call("GetPrato", {"0002"})));
    }
}

TEST_F(Wire, ABodyOverTheLimitIs413AndTheDaemonKeepsServing)
{
    appserver::ServerOptions options;
    options.maxBodyBytes = 1 << 20;
    ServerSide side(Backend::Sqlite, Via::Http, options);
    auto net = side.connect();
    httplib::Client raw("127.0.0.1", side.port());
    raw.set_bearer_token_auth(server::Session::instance().token("127.0.0.1", side.port()).toStdString());

    const auto response = raw.Post("/call", std::string(2 << 20, ' '), "application/json");
    ASSERT_TRUE(response);
    EXPECT_EQ(response->status, 413);
    // Through the connection: a refusal the user can read, not a save.
    const QString status = net->call("UpdParamGeral", {QString(2 << 20, 'x')}).toString();
    EXPECT_TRUE(status.contains("excede")) << status.toStdString();
    EXPECT_TRUE(framework::isPacket(net->call("GetParamGeral")));
}

TEST_F(Wire, CallsNeedALiveTokenOfThisDaemon)
{
    appserver::ServerOptions options;
    options.sessions.idle = std::chrono::seconds(2);
    ServerSide side(Backend::Sqlite, Via::Http, options);
    ServerSide other(Backend::Sqlite, Via::Http);
    const std::string body = callBody("GetParamGeral", {});
    httplib::Client raw("127.0.0.1", side.port());

    auto status = [&](const QString& token) {
        const httplib::Headers headers{{"Authorization", "Bearer " + token.toStdString()}};
        const auto response = raw.Post("/call", headers, body, "application/json");
        return response ? response->status : -1;
    };
    EXPECT_EQ(raw.Post("/call", body, "application/json")->status, 401);
    EXPECT_EQ(status("0123456789abcdef"), 401);
    EXPECT_EQ(status(server::Session::instance().token("127.0.0.1", other.port())), 401);
    ASSERT_EQ(server::Session::instance().login("127.0.0.1", side.port(), db::DemoOperator, db::DemoOperatorPassword), "");
    const QString mine = server::Session::instance().token("127.0.0.1", side.port());
    EXPECT_EQ(status(mine), 200);
    std::this_thread::sleep_for(std::chrono::milliseconds(2500));
    EXPECT_EQ(status(mine), 401); // unused for longer than its lifetime

    // A connection logs in again by itself with the operator's credentials.
    auto net = side.connect();
    EXPECT_TRUE(framework::isPacket(net->call("GetParamGeral")));
}

TEST_F(Wire, GuessedPasswordsAreThrottledPerOperator)
{
    ServerSide side(Backend::Sqlite, Via::Http);
    httplib::Client raw("127.0.0.1", side.port());
    const auto login = [&](const char* user, const char* password) {
        const QJsonObject body{{"operator", user}, {"password", password}};
        return raw.Post("/login", QJsonDocument(body).toJson().toStdString(), "application/json");
    };
    for (int i = 0; i < appserver::passwords::freeAttempts; ++i)
        EXPECT_EQ(login(db::DemoSupervisor, "errada")->status, 401);
    const auto throttled = login(db::DemoSupervisor, db::DemoSupervisorPassword);
    EXPECT_EQ(throttled->status, 429);
    EXPECT_NE(throttled->body.find("Muitas tentativas"), std::string::npos);
    // The supervisor's authorisation counts on the same throttle.
    const QString answer =
        side.connect("Est.rdmAutoriza")
            ->call("Autoriza", {db::DemoSupervisor, db::DemoSupervisorPassword, 4, "ALTERACAO_PRATO_PADRAO", ""})
            .toString();
    EXPECT_TRUE(answer.startsWith("Muitas tentativas")) << answer.toStdString();
    EXPECT_EQ(login(db::DemoOperator, db::DemoOperatorPassword)->status, 200); // others are not held up

    std::this_thread::sleep_for(std::chrono::milliseconds(2100));
    EXPECT_EQ(login(db::DemoSupervisor, db::DemoSupervisorPassword)->status, 200);
}

TEST_F(Wire, AnUpdateSentAgainWithItsRequestIdAppliesOnce)
{
    ServerSide side(Backend::Sqlite, Via::Http);
    auto net = side.connect();
    httplib::Client raw("127.0.0.1", side.port());
    raw.set_bearer_token_auth(server::Session::instance().token("127.0.0.1", side.port()).toStdString());
    const QVariantList args{changeLogOfANewContainer(*net, "00004")};

    const auto first = raw.Post("/call", callBody("SetContainer", args, "pedido-1"), "application/json");
    const auto again = raw.Post("/call", callBody("SetContainer", args, "pedido-1"), "application/json");
    ASSERT_TRUE(first && again);
    EXPECT_EQ(again->body, first->body);
    EXPECT_EQ(framework::variantFromJson(QJsonDocument::fromJson(QByteArray::fromStdString(first->body))["result"]),
              QVariant(QString("")));
    EXPECT_EQ(containerRows(side.database(), "00004"), 1);

    // Another request with the same change log is a new call: the row is there already.
    const auto other = raw.Post("/call", callBody("SetContainer", args, "pedido-2"), "application/json");
    EXPECT_NE(other->body, first->body);
}

TEST_F(Wire, AnUpdateWhoseAnswerWasLostIsSentAgainAndAppliedOnce)
{
    ServerSide side(Backend::Sqlite, Via::Http);
    DroppingProxy proxy(side.port(), "SetContainer");
    ASSERT_EQ(server::Session::instance().login("127.0.0.1", proxy.port(), db::DemoOperator, db::DemoOperatorPassword), "");
    auto net = connectTo("127.0.0.1", proxy.port());
    EXPECT_EQ(net->call("SetContainer", {changeLogOfANewContainer(*net, "00004")}).toString(), "");
    EXPECT_EQ(proxy.dropped(), 1);
    EXPECT_EQ(containerRows(side.database(), "00004"), 1);
}

TEST_F(Wire, ACallWhoseDaemonDiedBeforeAnsweringIsSentOnceMore)
{
    ServerSide side(Backend::Sqlite, Via::Http);
    DroppingProxy balancer(side.port(), "SetContainer", DroppingProxy::Failure::BadGateway);
    ASSERT_EQ(server::Session::instance().login("127.0.0.1", balancer.port(), db::DemoOperator, db::DemoOperatorPassword), "");
    auto net = connectTo("127.0.0.1", balancer.port());
    EXPECT_EQ(net->call("SetContainer", {changeLogOfANewContainer(*net, "00004")}).toString(), "");
    EXPECT_EQ(balancer.dropped(), 1);
    EXPECT_EQ(containerRows(side.database(), "00004"), 1);
}

TEST_F(Wire, ArgumentsTheWireCannotCarryAreAFailureNotACrash)
{
    ServerSide side(Backend::Sqlite, Via::Http);
    auto net = side.connect();
    const QString status = net->call("UpdParamGeral", {QVariant(QPoint(1, 2))}).toString();
    EXPECT_TRUE(status.contains("Não foi possível enviar")) << status.toStdString();
    EXPECT_TRUE(framework::isServerFault(net->call("GetPrato", {QVariant(QPoint(1, 2))})));
}

TEST_F(Wire, APortInUseIsNotShared)
{
    ServerSide side(Backend::Sqlite, Via::Http);
    appserver::HttpServer second(side.database().target());
    second.setLogger([](const QString&) {});
    EXPECT_EQ(second.start("127.0.0.1", side.port()), -1);
}

TEST_F(Wire, HttpsWithTheDaemonsCertificate)
{
    appserver::ServerOptions options;
    options.certificateFile = TLS_DIR "/cert.pem";
    options.keyFile = TLS_DIR "/key.pem";
    server::Session::instance().setTrustedCertificates(TLS_DIR "/cert.pem");
    ServerSide side(Backend::Sqlite, Via::Http, options);
    auto net = side.connect();
    EXPECT_TRUE(framework::isPacket(net->call("GetParamGeral")));
    EXPECT_EQ(net->call("SetContainer", {changeLogOfANewContainer(*net, "00004")}).toString(), "");

    // Plain HTTP is not answered, and a client that does not trust the certificate refuses it.
    EXPECT_TRUE(framework::isServerFault(connectTo("127.0.0.1", side.port())->call("GetParamGeral")));
    server::Session::instance().setTrustedCertificates({});
    EXPECT_FALSE(server::Session::instance().login("https://127.0.0.1", side.port(), db::DemoOperator,
                                                   db::DemoOperatorPassword).isEmpty());

    appserver::ServerOptions broken = options;
    broken.keyFile = TLS_DIR "/nenhuma.pem";
    EXPECT_FALSE(appserver::HttpServer(side.database().target(), broken).setupError().isEmpty());
}

// PostgreSQL cut the daemon's connections (a restart does the same): the next call opens a new
// one and succeeds.
TEST_F(Wire, PostgresConnectionLostIsOpenedAgain)
{
    if (!testdb::available(Backend::Postgres))
        GTEST_SKIP() << "TEST_PG_CONN não definido";
    testdb::TestDatabase database(Backend::Postgres);
    // The daemon's connections carry a name of their own, so that only they are cut.
    db::Target target = database.target();
    const QString name = QStringLiteral("corte_%1").arg(QRandomGenerator::global()->generate(), 0, 16);
    target.options += (target.options.isEmpty() ? "" : ";") + QStringLiteral("application_name=") + name;
    appserver::HttpServer http(target);
    http.setLogger([](const QString&) {});
    const int port = http.start("127.0.0.1", 0);
    ASSERT_EQ(server::Session::instance().login("127.0.0.1", port, db::DemoOperator, db::DemoOperatorPassword), "");
    auto net = connectTo("127.0.0.1", port);
    ASSERT_TRUE(framework::isPacket(net->call("GetParamGeral")));

    QSqlQuery cut(database.db());
    cut.prepare("SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE application_name = ?");
    cut.addBindValue(name);
    ASSERT_TRUE(cut.exec());
    int cutCount = 0;
    while (cut.next())
        ++cutCount;
    EXPECT_GT(cutCount, 0);
    EXPECT_TRUE(framework::isPacket(net->call("GetParamGeral")));
    EXPECT_EQ(net->call("SetContainer", {changeLogOfANewContainer(*net, "00004")}).toString(), "");
}
