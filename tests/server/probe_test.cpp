// The daemon as a probe attacks it: guesses sent at once, guesses from strangers, huge and
// forged names, timing, slow clients, sessions that should have ended, answers that say too
// much, weak TLS and database texts in answers.
#include "appserver/httpserver.h"
#include "appserver/passwordcheck.h"
#include "db/demodata.h"
#include "framework/data/datapacket.h"
#include "framework/data/wirejson.h"
#include "server/session.h"
#include "serverfixture.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlQuery>
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <httplib.h>
#include <mutex>
#include <netinet/in.h>
#include <openssl/ssl.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

using servertest::ServerSide;
using servertest::Via;
using testdb::Backend;

namespace {

httplib::Result login(int port, const QString& operatorCode, const QString& password, const std::string& forwardedFor = {})
{
    httplib::Client client("127.0.0.1", port);
    client.set_read_timeout(60);
    httplib::Headers headers;
    if (!forwardedFor.empty())
        headers.emplace("X-Forwarded-For", forwardedFor);
    const QJsonObject body{{"operator", operatorCode}, {"password", password}};
    return client.Post("/login", headers, QJsonDocument(body).toJson().toStdString(), "application/json");
}

std::string tokenOf(const httplib::Result& response)
{
    return response ? QJsonDocument::fromJson(QByteArray::fromStdString(response->body))["token"].toString().toStdString()
                    : std::string();
}

std::string callBody(const QString& object, const QString& method, const QVariantList& args, const QString& request = {})
{
    framework::WireMessage message;
    message.texts = {{"object", object}, {"method", method}};
    if (!request.isEmpty())
        message.texts.insert("request", request);
    message.values.insert("args", QVariant(args));
    return framework::writeWireMessage(message);
}

httplib::Result call(int port, const std::string& token, const std::string& body)
{
    httplib::Client client("127.0.0.1", port);
    client.set_read_timeout(60); // guesses of one password wait for each other, slowly on a loaded machine
    return client.Post("/call", {{"Authorization", "Bearer " + token}}, body, "application/json");
}

int status(const httplib::Result& response)
{
    return response ? response->status : -1;
}

QString value(testdb::TestDatabase& database, const QString& sql)
{
    QSqlQuery q(database.db());
    EXPECT_TRUE(q.exec(sql)) << sql.toStdString();
    return q.next() ? q.value(0).toString() : QString();
}

// Runs `count` copies of work at once; their answers, in no order.
template <class Work>
QStringList atOnce(int count, Work work)
{
    QStringList answers;
    std::mutex lock;
    std::vector<std::thread> threads;
    for (int i = 0; i < count; ++i)
        threads.emplace_back([&] {
            const QString answer = work();
            std::lock_guard guard(lock);
            answers << answer;
        });
    for (auto& t : threads)
        t.join();
    return answers;
}

class Probe : public ::testing::TestWithParam<Backend> {
protected:
    void SetUp() override
    {
        if (!testdb::available(GetParam()))
            GTEST_SKIP() << "TEST_PG_CONN não definido";
    }
};

} // namespace

TEST_P(Probe, GuessesSentAtOnceAreCountedLikeGuessesInARow)
{
    ServerSide side(GetParam(), Via::Http);
    const int port = side.port();
    const std::string supervisor = tokenOf(login(port, db::DemoSupervisor, db::DemoSupervisorPassword));
    ASSERT_FALSE(supervisor.empty());

    const QStringList logins = atOnce(16, [&] { return QString::number(status(login(port, db::DemoOperator, "errada"))); });
    EXPECT_EQ(logins.count("401"), appserver::passwords::freeAttempts) << logins.join(' ').toStdString();
    EXPECT_EQ(logins.count("429"), 16 - appserver::passwords::freeAttempts) << logins.join(' ').toStdString();

    const std::string guess = callBody("Est.rdmAutoriza", "Autoriza", {db::DemoSupervisor, "errada", 4, "ALTERACAO_PRATO_PADRAO", ""});
    const QStringList guesses = atOnce(16, [&] {
        const auto response = call(port, supervisor, guess);
        if (!response || response->status != 200)
            return QStringLiteral("HTTP %1: %2").arg(status(response)).arg(response ? response->body.c_str() : "");
        return framework::readWireMessage(response->body).values.value("result").toString();
    });
    EXPECT_EQ(guesses.count(appserver::passwords::wrongText()), appserver::passwords::freeAttempts)
        << guesses.join('\n').toStdString();
    EXPECT_EQ(guesses.filter("Muitas tentativas").size(), 16 - appserver::passwords::freeAttempts)
        << guesses.join('\n').toStdString();
}

TEST_P(Probe, AnyDaemonOnTheDatabaseServesTheSessionItsGrantsAndItsRepeats)
{
    ServerSide side(GetParam(), Via::Http);
    appserver::HttpServer other(side.database().target());
    other.setLogger([](const QString&) {});
    const int a = side.port(), b = other.start("127.0.0.1", 0);
    ASSERT_GT(b, 0);
    const std::string token = tokenOf(login(a, db::DemoOperator, db::DemoOperatorPassword));
    EXPECT_EQ(status(call(b, token, callBody("Pla01300.rdmReceitaPadrao", "GetParamGeral", {}))), 200);

    // A change log adding a container to a dish, sent with one request id to one daemon and
    // again to the other, and another sent to both at once.
    const auto addContainer = [&](const QString& container, const QString& request) {
        framework::DataPacket log(framework::FieldDefs{{"CDFILAUXPRAT", framework::FieldType::String, 4},
                                                       {"CDPRATO", framework::FieldType::String, 10},
                                                       {"CDCONTAINER", framework::FieldType::String, 5},
                                                       {"QTPRATCONTAINER", framework::FieldType::Float, 0},
                                                       {"IDPRATCONTPRI", framework::FieldType::String, 1}});
        const int row = log.appendRow(framework::RowStatus::Inserted);
        log.rows.setValue(row, 0, "P");
        log.rows.setValue(row, 1, "1010010001");
        log.rows.setValue(row, 2, container);
        log.rows.setValue(row, 3, 1.0);
        log.rows.setValue(row, 4, "N");
        return callBody("Pla01300.rdmReceitaPadrao", "SetContainer", {QVariant::fromValue(log)}, request);
    };
    const auto rows = [&](const char* container) {
        return value(side.database(),
                     QStringLiteral("SELECT COUNT(*) FROM PRATOCONTAINER WHERE CDPRATO = '1010010001' AND CDCONTAINER = '%1'")
                         .arg(container));
    };
    const auto first = call(a, token, addContainer("00004", "pedido-1"));
    const auto again = call(b, token, addContainer("00004", "pedido-1"));
    ASSERT_TRUE(first && again);
    EXPECT_EQ(framework::readWireMessage(first->body).values.value("result").toString(), "");
    EXPECT_EQ(again->body, first->body);
    EXPECT_EQ(rows("00004"), "1");
    int daemon = 0;
    const QStringList both = atOnce(2, [&] {
        const auto answer = call(daemon++ == 0 ? a : b, token, addContainer("00002", "pedido-2"));
        return answer ? QString::fromStdString(answer->body) : QString();
    });
    EXPECT_EQ(both[0], both[1]);
    EXPECT_EQ(rows("00002"), "1");
    // Only the status is remembered, not the change log.
    EXPECT_EQ(value(side.database(), "SELECT COUNT(*) FROM REQUISICAOSERVIDOR WHERE TXRESULTADO = '' "
                                     "AND TXARGUMENTOS IS NULL"),
              "2");

    // A supervisor's grant is kept in the database for the session (by the token's digest), where
    // the daemon that serves the guarded change takes it.
    const std::string grant = callBody("Est.rdmAutoriza", "Autoriza",
                                       {db::DemoSupervisor, db::DemoSupervisorPassword, 4, "ALTERACAO_PARAMETRO_GERAL", ""});
    EXPECT_EQ(framework::readWireMessage(call(a, token, grant)->body).values.value("result").toString(), "");
    EXPECT_EQ(value(side.database(), "SELECT DSSESSAO FROM AUTORIZACAOSESSAO"),
              appserver::SessionStore::digest(QString::fromStdString(token)));

    // A balancer polls the health of each; a stopped daemon says so before it goes.
    httplib::Client healthA("127.0.0.1", a), healthB("127.0.0.1", b);
    EXPECT_EQ(status(healthA.Get("/health")), 200);
    other.stop();
    EXPECT_EQ(status(healthA.Get("/health")), 200);
    EXPECT_EQ(status(healthB.Get("/health")), -1);
}

TEST(ProbeOne, AStrangersGuessesSlowDownOnlyHisOwn)
{
    appserver::ServerOptions behindBalancer;
    behindBalancer.trustedProxies = {"127.0.0.1"};
    ServerSide side(Backend::Sqlite, Via::Http, behindBalancer);
    const int port = side.port();
    for (int i = 0; i < appserver::passwords::freeAttempts; ++i)
        EXPECT_EQ(status(login(port, db::DemoSupervisor, "errada", "10.0.0.9")), 401);
    EXPECT_EQ(status(login(port, db::DemoSupervisor, db::DemoSupervisorPassword, "10.0.0.9")), 429);
    EXPECT_EQ(status(login(port, db::DemoSupervisor, db::DemoSupervisorPassword, "10.0.0.1")), 200);
    // A balancer appends the address it saw: the last one counts.
    EXPECT_EQ(status(login(port, db::DemoSupervisor, db::DemoSupervisorPassword, "10.0.0.1, 10.0.0.9")), 429);

    // From anyone but a trusted balancer the header is the client's own word, and is ignored.
    appserver::HttpServer direct(side.database().target());
    direct.setLogger([](const QString&) {});
    const int other = direct.start("127.0.0.1", 0);
    for (int i = 0; i < appserver::passwords::freeAttempts; ++i)
        EXPECT_EQ(status(login(other, db::DemoOperator, "errada", "10.0.0.7")), 401);
    EXPECT_EQ(status(login(other, db::DemoOperator, db::DemoOperatorPassword, "10.0.0.8")), 429);
}

TEST(ProbeOne, NamesAreBoundedLoggedOnOneLineAndTheirCountsSwept)
{
    appserver::ServerOptions options;
    options.sweepInterval = std::chrono::milliseconds(100);
    ServerSide side(Backend::Sqlite, Via::Http, options);
    QStringList log;
    std::mutex logLock;
    side.http().setLogger([&](const QString& line) {
        std::lock_guard guard(logLock);
        log << line;
    });
    const int port = side.port();
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    QSqlQuery stale(side.database().db());
    ASSERT_TRUE(stale.exec(QStringLiteral("INSERT INTO TENTATIVASENHA VALUES ('VELHO', '10.0.0.1', 9, 300000, %1, %1)")
                               .arg(now - 7200000)));
    ASSERT_TRUE(stale.exec(QStringLiteral("INSERT INTO REQUISICAOSERVIDOR VALUES ('NUTRI', 'antigo', 'x.y', %1, '', NULL)")
                               .arg(now - 3600000)));
    ASSERT_TRUE(stale.exec(QStringLiteral("INSERT INTO AUTORIZACAOSESSAO VALUES ('a', 's', 4, 'X', 'SUPERV', %1)").arg(now - 1)));

    const auto huge = login(port, QString(3 << 20, 'A'), "x");
    EXPECT_TRUE(!huge || huge->status == 413);
    EXPECT_EQ(status(login(port, "ABCDEFGHIJK", "x")), 400);
    EXPECT_EQ(status(login(port, "X\nFORJADA", "x")), 401);
    EXPECT_EQ(status(login(port, db::DemoOperator, db::DemoOperatorPassword)), 200);

    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    EXPECT_EQ(value(side.database(), "SELECT CDOPERADOR FROM TENTATIVASENHA ORDER BY CDOPERADOR"), "X\nFORJADA");
    EXPECT_EQ(value(side.database(), "SELECT COUNT(*) FROM TENTATIVASENHA"), "1");
    EXPECT_EQ(value(side.database(), "SELECT COUNT(*) FROM REQUISICAOSERVIDOR"), "0");
    EXPECT_EQ(value(side.database(), "SELECT COUNT(*) FROM AUTORIZACAOSESSAO"), "0");
    std::lock_guard guard(logLock);
    EXPECT_FALSE(log.filter("X\\nFORJADA").isEmpty()) << log.join('\n').toStdString();
    for (const QString& line : std::as_const(log)) {
        EXPECT_FALSE(line.contains(u'\n')) << line.toStdString();
        EXPECT_LT(line.size(), 2100);
    }
}

TEST(ProbeOne, AnUnknownOrInactiveOperatorTakesAsLongAsAWrongPassword)
{
    appserver::ServerOptions behindBalancer;
    behindBalancer.trustedProxies = {"127.0.0.1"};
    ServerSide side(Backend::Sqlite, Via::Http, behindBalancer);
    QSqlQuery deactivate(side.database().db());
    ASSERT_TRUE(deactivate.exec("UPDATE USUARIO SET IDATIVO = 'N' WHERE CDOPERADOR = 'SUPERV'"));
    int address = 0;
    // One login's time; a new address each time, so that the count of failures does not answer
    // instead.
    const auto loginMs = [&](const char* operatorCode, const char* password) {
        QElapsedTimer timer;
        timer.start();
        EXPECT_EQ(status(login(side.port(), operatorCode, password, "10.1.0." + std::to_string(++address))), 401);
        return timer.nsecsElapsed() / 1e6;
    };
    // The three kinds taken in turn, so that whatever else the machine does weighs on all alike;
    // a password hashed takes about ten times what a name looked up does, so the medians tell.
    std::vector<double> wrong, unknown, inactive;
    for (int i = 0; i < 9; ++i) {
        wrong.push_back(loginMs(db::DemoOperator, "errada"));
        unknown.push_back(loginMs("NINGUEM", "errada"));
        inactive.push_back(loginMs(db::DemoSupervisor, db::DemoSupervisorPassword));
    }
    const auto median = [](std::vector<double> times) {
        std::sort(times.begin(), times.end());
        return times[times.size() / 2];
    };
    EXPECT_GT(median(unknown), median(wrong) * 0.4);
    EXPECT_GT(median(inactive), median(wrong) * 0.4);
}

TEST(ProbeOne, SlowClientsDoNotHoldTheWorkers)
{
    appserver::ServerOptions options;
    options.requestLimits.headers = std::chrono::seconds(1);
    ServerSide side(Backend::Sqlite, Via::Http, options);
    auto net = side.connect();
    ASSERT_TRUE(framework::isPacket(net->call("GetParamGeral")));

    // More clients than workers, each sending a byte every 100 ms.
    std::vector<int> slow;
    for (int i = 0; i < 24; ++i) {
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(side.port());
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ASSERT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        slow.push_back(fd);
    }
    std::atomic<bool> done{false};
    std::atomic<int> cut{0};
    std::thread trickle([&] {
        const std::string request = "POST /login HTTP/1.1\r\nHost: x\r\nContent-Length: 40\r\n\r\n{\"operator\":";
        std::vector<bool> open(slow.size(), true);
        for (size_t at = 0; !done && at < request.size() * 10; ++at) {
            for (size_t i = 0; i < slow.size(); ++i)
                if (open[i] && ::send(slow[i], &request[at % request.size()], 1, MSG_NOSIGNAL) != 1) {
                    open[i] = false;
                    ++cut;
                }
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    QElapsedTimer timer;
    timer.start();
    auto other = side.connect();
    EXPECT_TRUE(framework::isPacket(other->call("GetParamGeral")));
    EXPECT_LT(timer.elapsed(), 4000); // not held until the slow ones are through
    std::this_thread::sleep_for(std::chrono::milliseconds(2500));
    done = true;
    trickle.join();
    EXPECT_EQ(cut, int(slow.size())); // every slow request was cut at its deadline
    for (const int fd : slow)
        ::close(fd);
}

TEST(ProbeOne, ASessionEndsAtLogoutAtDeactivationAndAtItsExpiry)
{
    appserver::ServerOptions options;
    options.sessions.absolute = std::chrono::milliseconds(1500);
    ServerSide side(Backend::Sqlite, Via::Http, options);
    const int port = side.port();
    const std::string probe = callBody("Pla01300.rdmReceitaPadrao", "GetParamGeral", {});
    const auto logout = [&](const std::string& token) {
        httplib::Client client("127.0.0.1", port);
        return status(client.Post("/logout", {{"Authorization", "Bearer " + token}}, std::string(), "application/json"));
    };

    std::string token = tokenOf(login(port, db::DemoOperator, db::DemoOperatorPassword));
    EXPECT_EQ(status(call(port, token, probe)), 200);
    EXPECT_EQ(logout(token), 200);
    EXPECT_EQ(status(call(port, token, probe)), 401);
    // Only the token's digest is kept.
    EXPECT_EQ(value(side.database(), QStringLiteral("SELECT COUNT(*) FROM SESSAOSERVIDOR WHERE DSDIGESTO = '%1'")
                                         .arg(QString::fromStdString(token))),
              "0");

    token = tokenOf(login(port, db::DemoOperator, db::DemoOperatorPassword));
    QSqlQuery deactivate(side.database().db());
    ASSERT_TRUE(deactivate.exec("UPDATE USUARIO SET IDATIVO = 'N' WHERE CDOPERADOR = 'NUTRI'"));
    EXPECT_EQ(status(call(port, token, probe)), 401);
    EXPECT_EQ(status(login(port, db::DemoOperator, db::DemoOperatorPassword)), 401);
    ASSERT_TRUE(deactivate.exec("UPDATE USUARIO SET IDATIVO = 'S' WHERE CDOPERADOR = 'NUTRI'"));

    // In use all the time, a session still ends at its expiry.
    QElapsedTimer since;
    since.start();
    token = tokenOf(login(port, db::DemoOperator, db::DemoOperatorPassword));
    while (since.elapsed() < 1300) {
        EXPECT_EQ(status(call(port, token, probe)), 200);
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    EXPECT_EQ(status(call(port, token, probe)), 401);

    // The host's logout on closing ends its session at the daemon.
    server::Session& session = server::Session::instance();
    ASSERT_EQ(session.login("127.0.0.1", port, db::DemoOperator, db::DemoOperatorPassword), "");
    token = session.token("127.0.0.1", port).toStdString();
    session.logout();
    EXPECT_TRUE(session.token("127.0.0.1", port).isEmpty());
    EXPECT_FALSE(session.hasCredentials());
    EXPECT_EQ(status(call(port, token, probe)), 401);
}

TEST(ProbeOne, AnswersSendBackOnlyTheArgumentsAMethodWrote)
{
    ServerSide side(Backend::Sqlite, Via::Http);
    const std::string token = server::Session::instance().token("127.0.0.1", side.port()).toStdString();
    for (const char* password : {db::DemoSupervisorPassword, "s3nh4-errada"}) {
        const auto answer = call(side.port(), token,
                                 callBody("Est.rdmAutoriza", "Autoriza",
                                          {db::DemoSupervisor, password, 4, "ALTERACAO_PRATO_PADRAO", ""}));
        ASSERT_TRUE(answer);
        EXPECT_EQ(answer->body.find(password), std::string::npos) << answer->body;
    }
    const auto photos = call(side.port(), token, callBody("Pla01300.rdmReceitaPadrao", "GetFotoPraPad", {"2", " 1010010001 "}));
    ASSERT_TRUE(photos);
    EXPECT_EQ(framework::readWireMessage(photos->body).values.value("written"),
              QVariant(QVariantList{QVariantList{0, "0002"}, QVariantList{1, "1010010001"}}));
    // Through the connection, as the forms see it.
    QVariantList args{"2", " 1010010001 "};
    EXPECT_TRUE(framework::isPacket(side.connect()->call("GetFotoPraPad", args)));
    EXPECT_EQ(args, (QVariantList{"0002", "1010010001"}));
}

TEST(ProbeOne, TlsTakesOnlyForwardSecretKeyExchanges)
{
    appserver::ServerOptions options;
    options.certificateFile = TLS_DIR "/cert.pem";
    options.keyFile = TLS_DIR "/key.pem";
    server::Session::instance().setTrustedCertificates(TLS_DIR "/cert.pem");
    ServerSide side(Backend::Sqlite, Via::Http, options);
    server::Session::instance().setTrustedCertificates({});
    const auto handshake = [&](int version, const char* ciphers) {
        SSL_CTX* context = SSL_CTX_new(TLS_client_method());
        SSL_CTX_set_min_proto_version(context, version);
        SSL_CTX_set_max_proto_version(context, version);
        if (version < TLS1_3_VERSION)
            SSL_CTX_set_cipher_list(context, ciphers);
        SSL_CTX_set_security_level(context, 0); // the client offers whatever it is told to
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(side.port());
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bool done = false;
        if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
            SSL* ssl = SSL_new(context);
            SSL_set_fd(ssl, fd);
            done = SSL_connect(ssl) == 1;
            SSL_free(ssl);
        }
        ::close(fd);
        SSL_CTX_free(context);
        return done;
    };
    EXPECT_TRUE(handshake(TLS1_2_VERSION, "ECDHE-RSA-AES128-GCM-SHA256"));
    EXPECT_TRUE(handshake(TLS1_3_VERSION, ""));
    EXPECT_FALSE(handshake(TLS1_2_VERSION, "AES128-GCM-SHA256")); // RSA key exchange
    EXPECT_FALSE(handshake(TLS1_2_VERSION, "AES256-SHA256"));
    EXPECT_FALSE(handshake(TLS1_1_VERSION, "ECDHE-RSA-AES128-SHA"));
}

TEST(ProbeOne, AnswersNameNoDatabaseTextsAndTheLogKeepsThem)
{
    ServerSide side(Backend::Sqlite, Via::Http);
    QStringList log;
    std::mutex logLock;
    side.http().setLogger([&](const QString& line) {
        std::lock_guard guard(logLock);
        log << line;
    });
    // A container no table holds: the database refuses the row.
    framework::DataPacket containers(framework::FieldDefs{{"CDFILAUXPRAT", framework::FieldType::String, 4},
                                                          {"CDPRATO", framework::FieldType::String, 10},
                                                          {"CDCONTAINER", framework::FieldType::String, 5},
                                                          {"IDPRATCONTPRI", framework::FieldType::String, 1}});
    const int row = containers.appendRow(framework::RowStatus::Inserted);
    for (const auto& [column, text] : {std::pair{0, "P"}, {1, "1010010001"}, {2, "99999"}, {3, "N"}})
        containers.rows.setValue(row, column, text);
    const QString refusal = side.connect()->call("SetContainer", {QVariant::fromValue(containers)}).toString();
    EXPECT_TRUE(refusal.startsWith("Não foi possível gravar as alterações em PRATOCONTAINER")) << refusal.toStdString();
    EXPECT_FALSE(refusal.contains("FOREIGN KEY", Qt::CaseInsensitive)) << refusal.toStdString();
    {
        std::lock_guard guard(logLock);
        EXPECT_FALSE(log.filter("FOREIGN KEY", Qt::CaseInsensitive).isEmpty()) << log.join('\n').toStdString();
    }

    // A database that cannot be opened: neither its path nor its host reach the client.
    QStringList targets{"/nenhuma-pasta/receita.db"};
    if (testdb::available(Backend::Postgres))
        targets << "host=127.0.0.1 port=1 dbname=receita user=ninguem";
    for (const QString& target : targets) {
        {
            std::lock_guard guard(logLock);
            log.clear();
        }
        appserver::HttpServer broken(db::Target::parse(target));
        broken.setLogger([&](const QString& line) {
            std::lock_guard guard(logLock);
            log << line;
        });
        const int port = broken.start("127.0.0.1", 0);
        const auto refused = login(port, db::DemoOperator, db::DemoOperatorPassword);
        ASSERT_TRUE(refused);
        EXPECT_EQ(refused->status, 503);
        for (const char* secret : {"nenhuma-pasta", "port=1", "127.0.0.1:1", "ninguem"})
            EXPECT_EQ(refused->body.find(secret), std::string::npos) << refused->body;
        httplib::Client health("127.0.0.1", port);
        EXPECT_EQ(status(health.Get("/health")), 503);
        std::lock_guard guard(logLock);
        EXPECT_FALSE(log.filter(target.contains("=") ? "127.0.0.1" : "nenhuma-pasta").isEmpty())
            << log.join('\n').toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Backends, Probe, ::testing::Values(Backend::Sqlite, Backend::Postgres),
                         [](const auto& info) { return testdb::backendName(info.param); });
