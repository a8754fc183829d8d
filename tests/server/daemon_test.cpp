#include "db/demodata.h"
#include "framework/data/datapacket.h"
#include "server/session.h"
#include "serverfixture.h"

#include <QProcess>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <httplib.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

using servertest::ServerSide;
using servertest::Via;
using testdb::Backend;

namespace {

// Sends raw bytes to the daemon and hangs up without reading the answer.
void sendAndDrop(int port, const std::string& bytes)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::send(fd, bytes.data(), bytes.size(), 0), ssize_t(bytes.size()));
    ::close(fd);
}

bool serves(server::Connection& net)
{
    return framework::isPacket(net.call("GetParamGeral"));
}

} // namespace

TEST(Daemon, SurvivesMalformedRequestsAndDroppedClients)
{
    ServerSide side(Backend::Sqlite, Via::Http);
    auto net = side.connect();
    httplib::Client raw("127.0.0.1", side.port());
    raw.set_bearer_token_auth(server::Session::instance().token("127.0.0.1", side.port()).toStdString());

    for (const char* body : {"{não é json", "[]", R"({"object": "Pla01300.rdmReceitaPadrao"})",
                             R"({"object": "Pla01300.rdmReceitaPadrao", "method": "GetPrato", "args": {"packet": 1}})"}) {
        const auto response = raw.Post("/call", body, "application/json");
        ASSERT_TRUE(response);
        EXPECT_EQ(response->status, 400) << body;
    }
    EXPECT_TRUE(serves(*net));

    // A client that announces a body and hangs up half-way, and one that hangs up before the answer.
    sendAndDrop(side.port(), "POST /call HTTP/1.1\r\nHost: x\r\nContent-Length: 5000\r\n\r\n{\"object\": \"Pla");
    sendAndDrop(side.port(), "POST /call HTTP/1.1\r\nHost: x\r\nContent-Type: application/json\r\nContent-Length: 77\r\n\r\n"
                             R"({"object":"Pla01300.rdmReceitaPadrao","method":"GetPrato","args":{"array":[]}})");
    EXPECT_TRUE(serves(*net));
}

TEST(Daemon, ServesSeveralClientsAtOnce)
{
    ServerSide side(Backend::Sqlite, Via::Http);
    std::atomic<int> answered{0};
    std::vector<std::thread> clients;
    for (int c = 0; c < 4; ++c)
        clients.emplace_back([&] {
            auto net = side.connect();
            for (int i = 0; i < 25; ++i)
                if (framework::isPacket(net->call("GetParamPlaneja", {"0002"})))
                    ++answered;
        });
    for (auto& t : clients)
        t.join();
    EXPECT_EQ(answered, 100);
}

TEST(Daemon, UnreachableServerIsAFaultAndAFailedUpdate)
{
    server::Connection net(nullptr, "netReceitaPadrao", "Pla01300.rdmReceitaPadrao");
    net.setHost("127.0.0.1");
    net.setPort(1); // nothing listens there
    net.Connect();
    EXPECT_TRUE(framework::isServerFault(net.call("GetPrato", {"0002"})));
    const QVariant status = net.call("UpdParamGeral", {QVariant::fromValue(framework::DataPacket())});
    EXPECT_EQ(status.typeId(), QMetaType::QString);
    EXPECT_TRUE(status.toString().contains("servidor de aplicação")); // never an empty (success) status
}

TEST(Daemon, ProgramLogsEachCallAndOnSigtermStopsAfterTheCallsInFlight)
{
    QTemporaryDir dir;
    {
        QSqlDatabase demo = db::openAndMigrate(db::Target::parse(dir.filePath("servidor.db")), "daemon-demo");
        db::createDemoData(demo);
        demo.close();
    }
    QSqlDatabase::removeDatabase("daemon-demo");
    QProcess daemon;
    daemon.setProcessChannelMode(QProcess::MergedChannels);
    daemon.start(APPSERVER_EXE, {"--db", dir.filePath("servidor.db"), "--port", "0"});
    ASSERT_TRUE(daemon.waitForStarted());
    QString output;
    int port = 0;
    const QRegularExpression listening(R"(127\.0\.0\.1:(\d+))");
    for (int i = 0; i < 100 && port == 0; ++i) {
        daemon.waitForReadyRead(100);
        output += QString::fromUtf8(daemon.readAll());
        const auto m = listening.match(output);
        if (m.hasMatch())
            port = m.captured(1).toInt();
    }
    ASSERT_GT(port, 0) << output.toStdString();
    ASSERT_EQ(server::Session::instance().login("127.0.0.1", port, db::DemoOperator, db::DemoOperatorPassword), "");

    server::Connection net(nullptr, "netReceitaPadrao", "Pla01300.rdmReceitaPadrao");
    net.setHost("127.0.0.1");
    net.setPort(port);
    ASSERT_TRUE(net.Connect());
    EXPECT_TRUE(framework::isPacket(net.call("GetParamGeral")));

    // An update waiting for the database when the stop comes is finished and answered.
    QSqlDatabase writer = db::open(db::Target::parse(dir.filePath("servidor.db")), "daemon-writer");
    QSqlQuery hold(writer);
    ASSERT_TRUE(hold.exec("BEGIN IMMEDIATE"));
    QString status = QStringLiteral("sem resposta");
    std::thread inFlight([&] {
        server::Connection update(nullptr, "netReceitaPadrao", "Pla01300.rdmReceitaPadrao");
        update.setHost("127.0.0.1");
        update.setPort(port);
        status = update.call("UpdParamGeral", {QVariant::fromValue(framework::DataPacket())}).toString();
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    daemon.terminate();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_EQ(daemon.state(), QProcess::Running);
    hold.exec("ROLLBACK");
    inFlight.join();
    EXPECT_EQ(status, ""); // an empty change log, saved
    hold = QSqlQuery();
    writer.close();
    writer = QSqlDatabase();
    QSqlDatabase::removeDatabase("daemon-writer");

    ASSERT_TRUE(daemon.waitForFinished(5000));
    EXPECT_EQ(daemon.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(daemon.exitCode(), 0);
    output += QString::fromUtf8(daemon.readAll());
    EXPECT_TRUE(output.contains(QRegularExpression(R"(NUTRI Pla01300\.rdmReceitaPadrao\.GetParamGeral [\d.]+ ms ok)")))
        << output.toStdString();
}
