// Figures of the application server. Run: build-dir/bench/bench_server
//   GetPrato of 50,000 dishes in process and over HTTP, against the bare SQL select of the same rows;
//   a small call over HTTP on loopback (latency, and throughput with two client threads);
//   a change log of a dish group's standard recipe rows applied, and one of 3,400,000 rows refused.

#include "bench/benchsupport.h"
#include "appserver/httpserver.h"
#include "db/database.h"
#include "db/demodata.h"
#include "framework/core/hostcontext.h"
#include "framework/data/clientdataset.h"
#include "server/connection.h"
#include "server/httptransport.h"
#include "server/session.h"

#include <QCoreApplication>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

constexpr const char* ReceitaPadrao = "Pla01300.rdmReceitaPadrao";

// One database of 50,000 dishes for the whole run, served in process and over HTTP.
struct Fixture {
    QTemporaryDir dir;
    db::Target target;
    std::unique_ptr<appserver::HttpServer> http;
    int port = 0;

    Fixture()
    {
        target.path = dir.filePath("bench.db");
        QSqlDatabase database = db::openAndMigrate(target, "bench");
        db::createDemoData(database, {50000});
        http = std::make_unique<appserver::HttpServer>(target);
        http->setLogger([](const QString&) {});
        port = http->start("127.0.0.1", 0);
        server::Session::instance().login("127.0.0.1", port, db::DemoOperator, db::DemoOperatorPassword);
        // In process the calls are the supervisor's, who changes standard recipes on his own.
        framework::hostContext().Operador = db::DemoSupervisor;
    }

    std::unique_ptr<server::Connection> local()
    {
        auto net = std::make_unique<server::Connection>(nullptr, "netBench", ReceitaPadrao);
        net->setDatabaseConnection("bench");
        net->Connect();
        return net;
    }

    static Fixture& instance()
    {
        static Fixture fixture;
        return fixture;
    }
};

void BM_GetPrato_InProcess(benchmark::State& state)
{
    auto net = Fixture::instance().local();
    int rows = 0;
    for (auto _ : state) {
        const QVariant result = net->call("GetPrato", {"0001"});
        rows = framework::toPacket(result).rowCount();
        benchmark::DoNotOptimize(rows);
    }
    state.counters["rows"] = rows;
}
BENCHMARK(BM_GetPrato_InProcess)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The same call over HTTP on loopback: the daemon encodes, the client decodes.
void BM_GetPrato_Http(benchmark::State& state)
{
    static Fixture& fixture = Fixture::instance();
    server::HttpTransport transport;
    transport.open("127.0.0.1", fixture.port);
    int rows = 0;
    for (auto _ : state) {
        QVariantList args{"0001"};
        const QVariant result = transport.call(ReceitaPadrao, "GetPrato", args);
        if (!framework::isPacket(result)) {
            state.SkipWithError("call failed");
            break;
        }
        rows = framework::toPacket(result).rowCount();
    }
    state.counters["rows"] = rows;
}
BENCHMARK(BM_GetPrato_Http)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();

// The same statement read with plain QSqlQuery, every value fetched: the floor of GetPrato.
void BM_GetPrato_BareSelect(benchmark::State& state)
{
    Fixture::instance();
    QSqlDatabase database = QSqlDatabase::database("bench");
    int rows = 0;
    for (auto _ : state) {
        QSqlQuery q(database);
        q.setForwardOnly(true);
        q.prepare("SELECT P.CDPRATO, P.NMPRATO, P.CDNVPRATO, P.CDFILAUXPRAT, P.CDFILIAL, P.SGUNIDADE, P.VRARREDTRANS, "
                  "P.CDSEGMER, S.DSSEGMER, P.NRFORMAPREPARO, F.NMFORMAPREPARO, P.IDFREQUENCIA, P.QTTEMPOPRAT, "
                  "P.VRVALIDADE, P.IDATIVO, P.CDPRODPRODUCAO, R.CDARVPROD, R.NMPRODUTO FROM PRATO P "
                  "LEFT JOIN SEGMERCADO S ON S.CDSEGMER = P.CDSEGMER "
                  "LEFT JOIN FORMAPREPARO F ON F.NRFORMAPREPARO = P.NRFORMAPREPARO "
                  "LEFT JOIN PRODUTO R ON R.CDPRODUTO = P.CDPRODPRODUCAO "
                  "WHERE P.CDFILAUXPRAT = 'P' OR P.CDFILAUXPRAT = ? ORDER BY P.CDPRATO, P.CDFILAUXPRAT");
        q.addBindValue("0001");
        q.exec();
        rows = 0;
        while (q.next()) {
            for (int c = 0; c < 18; ++c)
                benchmark::DoNotOptimize(q.value(c));
            ++rows;
        }
    }
    state.counters["rows"] = rows;
}
BENCHMARK(BM_GetPrato_BareSelect)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// A small call over HTTP on loopback; with two threads, calls per second on two cores.
void BM_SmallCall_Http(benchmark::State& state)
{
    static Fixture& fixture = Fixture::instance();
    server::HttpTransport transport;
    transport.open("127.0.0.1", fixture.port);
    for (auto _ : state) {
        QVariantList args{"0002"};
        const QVariant result = transport.call(ReceitaPadrao, "GetParamPlaneja", args);
        if (!framework::isPacket(result))
            state.SkipWithError("call failed");
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SmallCall_Http)->Unit(benchmark::kMicrosecond)->MinTime(2.0)->UseRealTime();
BENCHMARK(BM_SmallCall_Http)->Unit(benchmark::kMicrosecond)->MinTime(2.0)->UseRealTime()->Threads(2);

// A change log of the standard recipe rows of the largest dish group (900 in the demo; every
// column compared with its original) applied through UpdProdPrat in process, by the supervisor.
void BM_ApplyChangeLog_GroupRecipes(benchmark::State& state)
{
    Fixture::instance();
    QSqlQuery largest(QSqlDatabase::database("bench"));
    largest.exec("SELECT SUBSTR(CDPRATO, 1, 6), COUNT(*) FROM PRODPRAT GROUP BY SUBSTR(CDPRATO, 1, 6) ORDER BY 2 DESC");
    largest.next();
    auto net = Fixture::instance().local();
    framework::ClientDataSet cds;
    cds.SetData(framework::toPacket(net->call("GetReceitaPad", {largest.value(0), "0001"}).toList().value(0)));
    int round = 0, rows = 0;
    for (auto _ : state) {
        state.PauseTiming();
        ++round;
        rows = 0;
        for (cds.First(); !cds.Eof() && rows < 1000; cds.Next(), ++rows) { // at most what UpdProdPrat takes
            cds.Edit();
            cds.FieldByName("QTPRODPRAT")->setValue(0.001 * (round % 9 + 1));
            cds.Post();
        }
        bench::sendTimed(state, cds, [&](const QVariant& log) { return net->call("UpdProdPrat", {log}); });
    }
    state.counters["rows"] = rows;
}
BENCHMARK(BM_ApplyChangeLog_GroupRecipes)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// A change log of 3,400,000 rows for the one general parameter row, in process: refused before
// any statement, so no writer waits for it.
void BM_OversizedChangeLogRefused(benchmark::State& state)
{
    auto net = Fixture::instance().local();
    framework::DataPacket log(framework::FieldDefs{{"CDPARGERAL", framework::FieldType::String, 7}});
    for (int i = 0; i < 3400000; ++i) {
        const int row = log.appendRow(framework::RowStatus::Modified);
        log.rows.setValue(row, 0, QString::number(i));
        log.originals.setValue(row, 0, QString::number(i));
    }
    const QVariant packet = QVariant::fromValue(log);
    for (auto _ : state)
        if (net->call("UpdParamGeral", {packet}).toString().isEmpty())
            state.SkipWithError("aceito");
    state.counters["rows"] = log.rowCount();
}
BENCHMARK(BM_OversizedChangeLogRefused)->Unit(benchmark::kMicrosecond)->MinTime(1.0);

} // namespace

int main(int argc, char** argv)
{
    return bench::run<QCoreApplication>(argc, argv);
}
