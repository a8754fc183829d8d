// Three daemons behind HAProxy, started by scripts/cluster.sh on the test's PostgreSQL, twelve
// clients changing the dishes of one group for a bounded time (CLUSTER_SECONDS, 16 by default),
// and one daemon killed with SIGKILL half way and started again. Every update is still applied
// exactly once or refused with its conflict's text, the dishes' chains hold, and no client sees
// any other failure: a call cut by the kill is sent again and answered by another daemon.
#include "db/demodata.h"
#include "dishchanges.h"
#include "server/session.h"
#include "testdatabase.h"

#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <arpa/inet.h>
#include <csignal>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

using testdb::Backend;

namespace {

bool portFree(int port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(quint16(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool free = ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return free;
}

// The first of `count` free ports in a row.
int freePorts(int count)
{
    for (int attempt = 0; attempt < 50; ++attempt) {
        const int first = 20000 + int(QRandomGenerator::global()->bounded(40000));
        bool all = true;
        for (int i = 0; i < count && all; ++i)
            all = portFree(first + i);
        if (all)
            return first;
    }
    return -1;
}

// The trial of scripts/cluster.sh, stopped when it goes out of scope.
class Cluster {
public:
    Cluster(const QString& database, int port, int daemons) : m_dir(m_temporary.filePath("ensaio"))
    {
        m_started = run({"start", "--daemons", QString::number(daemons), "--port", QString::number(port), "--dir", m_dir,
                         "--db", database});
    }
    ~Cluster() { run({"stop", "--dir", m_dir}); }

    bool started() const { return m_started; }
    const QString& output() const { return m_output; }

    void kill(int daemon) const
    {
        QFile pid(QStringLiteral("%1/appserver-%2.pid").arg(m_dir).arg(daemon));
        if (pid.open(QIODevice::ReadOnly))
            ::kill(pid_t(pid.readAll().trimmed().toInt()), SIGKILL);
    }
    bool restart(int daemon) { return run({"daemon", QString::number(daemon), "--dir", m_dir}); }

private:
    bool run(const QStringList& arguments)
    {
        QProcess script;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("APPSERVER", APPSERVER_EXE);
        script.setProcessEnvironment(environment);
        script.setProcessChannelMode(QProcess::MergedChannels);
        script.start("bash", QStringList{CLUSTER_SCRIPT} + arguments);
        const bool done = script.waitForFinished(60000);
        m_output += QString::fromUtf8(script.readAll());
        return done && script.exitStatus() == QProcess::NormalExit && script.exitCode() == 0;
    }

    QTemporaryDir m_temporary;
    QString m_dir;
    QString m_output;
    bool m_started = false;
};

} // namespace

TEST(ClusterPostgres, ThreeDaemonsBehindHAProxyOneKilledHalfWayLoseNothing)
{
    if (!testdb::available(Backend::Postgres))
        GTEST_SKIP() << "TEST_PG_CONN não definido";
    if (QStandardPaths::findExecutable("haproxy", {"/usr/sbin", "/usr/bin", "/usr/local/sbin"}).isEmpty())
        GTEST_SKIP() << "haproxy não instalado (scripts/setup.sh o instala)";
    constexpr int Clients = 12;
    testdb::TestDatabase database(Backend::Postgres, true, 1);
    const int port = freePorts(4);
    ASSERT_GT(port, 0);
    Cluster cluster(qEnvironmentVariable("TEST_PG_CONN") + " schema=" + database.target().schema, port, 3);
    ASSERT_TRUE(cluster.started()) << cluster.output().toStdString();
    ASSERT_EQ(server::Session::instance().login("127.0.0.1", port, db::DemoSupervisor, db::DemoSupervisorPassword), "");

    const QMap<QString, QString> initial = dishchanges::dishes(database.db());
    const qint64 milliseconds = qEnvironmentVariableIntValue("CLUSTER_SECONDS") > 0
                                    ? qEnvironmentVariableIntValue("CLUSTER_SECONDS") * 1000LL
                                    : 16000;
    dishchanges::Outcome outcome;
    std::vector<std::thread> threads;
    for (int id = 0; id < Clients; ++id)
        threads.emplace_back(dishchanges::client, id, port, milliseconds, std::ref(outcome));
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds / 2));
    cluster.kill(2);
    std::this_thread::sleep_for(std::chrono::seconds(1));
    EXPECT_TRUE(cluster.restart(2)) << cluster.output().toStdString();
    for (std::thread& t : threads)
        t.join();
    server::Session::instance().logout();
    dishchanges::expectEveryUpdateOnce(database.db(), initial, outcome, Clients);
}
