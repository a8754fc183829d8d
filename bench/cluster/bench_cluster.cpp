// What the balancer costs. Run: build-dir/bench/bench_cluster
//   scripts/cluster.sh starts a PostgreSQL with the demo database, three daemons and HAProxy on
//   loopback; eight client threads call GetParamGeral (a small query: the wire and the session
//   check are most of it) straight at one daemon, through HAProxy with the three, and through
//   HAProxy once two of them are stopped. On a machine of two cores the point is the balancer's
//   cost, not scaling.

#include "bench/benchsupport.h"
#include "db/demodata.h"
#include "framework/data/datapacket.h"
#include "server/connection.h"
#include "server/session.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <csignal>
#include <mutex>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr int Daemons = 3;

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

// The trial for the whole run: HAProxy on `port`, daemon i on port + i, PostgreSQL on port + 100.
struct Cluster {
    QTemporaryDir temporary;
    QString dir = temporary.filePath("ensaio");
    int port = 0;

    Cluster()
    {
        for (int attempt = 0; attempt < 50 && port == 0; ++attempt) {
            const int first = 20000 + int(QRandomGenerator::global()->bounded(30000));
            bool all = portFree(first + 100);
            for (int i = 0; i <= Daemons && all; ++i)
                all = portFree(first + i);
            if (all)
                port = first;
        }
        if (!run({"start", "--daemons", QString::number(Daemons), "--port", QString::number(port), "--dir", dir}))
            qFatal("scripts/cluster.sh start falhou");
        for (int i = 0; i <= Daemons; ++i)
            server::Session::instance().login("127.0.0.1", port + i, db::DemoOperator, db::DemoOperatorPassword);
    }

    bool run(const QStringList& arguments)
    {
        QProcess script;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("APPSERVER", APPSERVER_EXE);
        environment.insert("DEMODB", DEMODB_EXE);
        script.setProcessEnvironment(environment);
        script.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        script.start("bash", QStringList{CLUSTER_SCRIPT} + arguments);
        return script.waitForFinished(120000) && script.exitCode() == 0;
    }

    // Stops daemons 2 and up, and waits until HAProxy's health checks have taken them out.
    void leaveOne()
    {
        for (int i = 2; i <= Daemons; ++i) {
            QFile pid(QStringLiteral("%1/appserver-%2.pid").arg(dir).arg(i));
            if (pid.open(QIODevice::ReadOnly))
                ::kill(pid_t(pid.readAll().trimmed().toInt()), SIGTERM);
        }
        std::this_thread::sleep_for(std::chrono::seconds(4));
    }

    void stop() { run({"stop", "--dir", dir}); }

    static Cluster& instance()
    {
        static Cluster cluster;
        return cluster;
    }
};

void calls(benchmark::State& state, int port)
{
    server::Connection net(nullptr, "netBench", "Pla01300.rdmReceitaPadrao");
    net.setHost("127.0.0.1");
    net.setPort(port);
    net.Connect();
    for (auto _ : state)
        if (!framework::isPacket(net.call("GetParamGeral")))
            state.SkipWithError("a chamada falhou");
    state.SetItemsProcessed(state.iterations());
}

void BM_Calls_DirectToOneDaemon(benchmark::State& state)
{
    calls(state, Cluster::instance().port + 1);
}

void BM_Calls_HAProxyThreeDaemons(benchmark::State& state)
{
    calls(state, Cluster::instance().port);
}

void BM_Calls_HAProxyOneDaemon(benchmark::State& state)
{
    static std::once_flag once;
    std::call_once(once, [] { Cluster::instance().leaveOne(); });
    calls(state, Cluster::instance().port);
}

BENCHMARK(BM_Calls_DirectToOneDaemon)->Threads(8)->UseRealTime()->MinTime(3.0);
BENCHMARK(BM_Calls_HAProxyThreeDaemons)->Threads(8)->UseRealTime()->MinTime(3.0);
BENCHMARK(BM_Calls_HAProxyOneDaemon)->Threads(8)->UseRealTime()->MinTime(3.0);

} // namespace

int main(int argc, char** argv)
{
    return bench::run<QCoreApplication>(argc, argv, [] { Cluster::instance().stop(); });
}
