// Figures of the service recipes as percentages of an origin recipe. Run:
// build-dir/bench/bench_percentual (BENCH_PG_CONN="host=... port=... user=... dbname=..." adds the
// PostgreSQL figures; a schema bench_percentual is created there and dropped at the end.)
//   AplicaPercentualReceita: the standard recipe of a dish of 20 ingredients, each of 500
//   services of one branch at its own percentage, in one call (every service's recipe replaced
//   and its origin and percentage kept);
//   GetServicosPercentual of those 500 services, and the preview of one of them.

#include "bench/benchdatabase.h"
#include "bench/benchsupport.h"
#include "appserver/dispatcher.h"
#include "db/database.h"
#include "db/demodata.h"
#include "framework/core/freedmemory.h"
#include "framework/data/clientdataset.h"
#include "framework/data/datapacket.h"

#include <QCoreApplication>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <map>

namespace {

using bench::exec;

constexpr const char* ReceitaPadrao = "Pla01300.rdmReceitaPadrao";
constexpr const char* Branch = "0003";
constexpr const char* Dish = "9090019999";
constexpr int Services = 500;
constexpr int Ingredients = 20;

// One database per family for the whole run: the demo data, the dish and the branch's services.
struct Database {
    QString connection;
    std::unique_ptr<appserver::Dispatcher> dispatcher;
    bench::BenchDatabase place;
    const db::Target& target = place.target();
    QVariant services; // the services packet as the form sends it: every one marked, at its percentage

    explicit Database(bool pg)
        : connection(pg ? "bench-pg" : "bench-sqlite"), place(pg, QStringLiteral("bench_percentual"), connection)
    {
        QSqlDatabase database = db::openAndMigrate(target, connection);
        db::createDemoData(database, {});
        fill(database);
        exec(database, "ANALYZE");
        const QString name = connection;
        dispatcher = std::make_unique<appserver::Dispatcher>([name] { return QSqlDatabase::database(name, false); });
        services = marked();
    }

    static QString service(int s) { return QStringLiteral("%1").arg(10000 + s, 5, 10, QChar('0')); }

    static void fill(QSqlDatabase database)
    {
        QStringList products;
        QSqlQuery q(database);
        q.exec("SELECT CDPRODUTO FROM PRODUTO WHERE CDPRODESTO IS NOT NULL ORDER BY CDPRODUTO");
        while (q.next() && products.size() < Ingredients)
            products << q.value(0).toString();
        database.transaction();
        exec(database, QStringLiteral("INSERT INTO PRATO (CDFILAUXPRAT, CDPRATO, NMPRATO, CDNVPRATO, SGUNIDADE) "
                                      "VALUES ('P', '%1', 'Prato das porcentagens', '4', 'KG')")
                           .arg(QLatin1String(Dish)));
        QSqlQuery row(database), servico(database);
        row.prepare("INSERT INTO PRODPRAT (CDFILAUXPRAT, CDPRATO, CDPRODUTO, QTPRODPRAT, SGUNIDADE, VRPEFATCOCPR, "
                    "VRPEFATCOCPRAP, VRPEFATCORPR, VRPEFATCORPRAP, QTUNIDESTPR, QTBRUTAPRUNR, QTBRUTAPR, IDPRODBASEPR, "
                    "VRPEFATNUTPR, QTCALCNUTRPR, IDQTDEFIXPR, IDTPREQPRODPADR) "
                    "VALUES ('P', ?, ?, ?, 'KG', 0, 100, 10, 90, ?, ?, ?, 'N', 90, ?, 'N', 'P')");
        for (int i = 0; i < Ingredients; ++i) {
            const double net = 0.01 * (i + 1);
            for (const QVariant& v : QVariantList{Dish, products[i], net, net, net / 0.9, net / 0.9, net})
                row.addBindValue(v);
            exec(row);
        }
        servico.prepare("INSERT INTO SERVICO (CDFILIAL, CDSERVFILI, NMSERVICO, IDTIPOSERV, CDGRUPSERV) "
                        "VALUES (?, ?, ?, 'N', '001')");
        for (int s = 0; s < Services; ++s) {
            servico.addBindValue(Branch);
            servico.addBindValue(service(s));
            servico.addBindValue(QStringLiteral("Serviço %1").arg(s));
            exec(servico);
        }
        database.commit();
    }

    QVariant call(const char* method, QVariantList args) const
    {
        return dispatcher->call({db::DemoSupervisor, "bench"}, ReceitaPadrao, method, args);
    }

    QVariant list() const { return call("GetServicosPercentual", {Branch, "", "P", Dish}); }

    // The branch's services as the form loads them, each of the 500 marked at 50 % to 149 %.
    QVariant marked() const
    {
        framework::ClientDataSet cds;
        cds.SetData(framework::toPacket(list()));
        int s = 0;
        for (cds.First(); !cds.Eof(); cds.Next()) {
            if (!cds.FieldByName("CDSERVFILI")->AsString().startsWith(u'1'))
                continue;
            cds.Edit();
            cds.FieldByName("IDMARCADO")->setAsString("S");
            cds.FieldByName("IDALTERADO")->setAsString("S");
            cds.FieldByName("IDORIGEMRECE")->setAsString("P");
            cds.FieldByName("PERCENTUAL")->setAsFloat(50 + s++ % 100);
            cds.Post();
        }
        if (s != Services)
            qFatal("GetServicosPercentual did not list the %d services", Services);
        return QVariant::fromValue(cds.Data());
    }
};

void BM_AplicaPercentualReceita_500Services(benchmark::State& state, bool pg)
{
    Database* database = bench::Families<Database>::get(pg);
    if (!database) {
        state.SkipWithError("BENCH_PG_CONN não definido");
        return;
    }
    for (auto _ : state) {
        const QString status =
            database->call("AplicaPercentualReceita", {QStringLiteral("P_") + Dish, database->services}).toString();
        if (!status.isEmpty())
            state.SkipWithError(status.toStdString().c_str());
    }
    state.counters["rows"] = Services * Ingredients;
}
BENCHMARK_CAPTURE(BM_AplicaPercentualReceita_500Services, SQLite, false)->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK_CAPTURE(BM_AplicaPercentualReceita_500Services, PostgreSQL, true)->Unit(benchmark::kMillisecond)->MinTime(3.0);

void BM_GetServicosPercentual_500Services(benchmark::State& state, bool pg)
{
    Database* database = bench::Families<Database>::get(pg);
    if (!database) {
        state.SkipWithError("BENCH_PG_CONN não definido");
        return;
    }
    int rows = 0;
    for (auto _ : state)
        rows = framework::toPacket(database->list()).rowCount();
    state.counters["rows"] = rows;
}
BENCHMARK_CAPTURE(BM_GetServicosPercentual_500Services, SQLite, false)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK_CAPTURE(BM_GetServicosPercentual_500Services, PostgreSQL, true)->Unit(benchmark::kMillisecond)->MinTime(1.0);

void BM_GetReceitasPerVirtual(benchmark::State& state, bool pg)
{
    Database* database = bench::Families<Database>::get(pg);
    if (!database) {
        state.SkipWithError("BENCH_PG_CONN não definido");
        return;
    }
    int rows = 0;
    for (auto _ : state)
        rows = framework::toPacket(database->call("GetReceitasPerVirtual", {"P", Dish, 75.0, "P", "", "", "", ""})).rowCount();
    state.counters["rows"] = rows;
}
BENCHMARK_CAPTURE(BM_GetReceitasPerVirtual, SQLite, false)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK_CAPTURE(BM_GetReceitasPerVirtual, PostgreSQL, true)->Unit(benchmark::kMillisecond)->MinTime(1.0);

} // namespace

int main(int argc, char** argv)
{
    framework::keepFreedMemoryForReuse(); // as the host and the server run
    // The databases go while Qt's connections still live (the PostgreSQL schema is dropped).
    return bench::run<QCoreApplication>(argc, argv, [] { bench::Families<Database>::release(); });
}
