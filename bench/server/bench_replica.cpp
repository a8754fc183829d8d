// Figures of the replication of recipes to many services. Run:
// build-dir/bench/bench_replica (BENCH_PG_CONN="host=... port=... user=... dbname=..." adds the
// PostgreSQL figures; a schema bench_replica is created there and dropped at the end.)
//   ReplicaReceitaServico: the standard recipe of one dish of 20 ingredients to 1,000 services of
//   one branch, each at its own percentage (target under 1 s); the standard recipes of 100 such
//   dishes to 100 services (target under 5 s). Each is one call, every recipe replaced.

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
constexpr int Services = 1000;
constexpr int Dishes = 100;
constexpr int Ingredients = 20;

QString dish(int d) { return QStringLiteral("90900%1").arg(10000 + d, 5, 10, QChar('0')); }
QString service(int s) { return QStringLiteral("%1").arg(10000 + s, 5, 10, QChar('0')); }

// One database per family for the whole run: the demo data, 100 dishes and 1,000 services.
struct Database {
    QString connection;
    std::unique_ptr<appserver::Dispatcher> dispatcher;
    bench::BenchDatabase place;
    const db::Target& target = place.target();

    explicit Database(bool pg)
        : connection(pg ? "bench-pg" : "bench-sqlite"), place(pg, QStringLiteral("bench_replica"), connection)
    {
        QSqlDatabase database = db::openAndMigrate(target, connection);
        db::createDemoData(database, {});
        fill(database);
        exec(database, "ANALYZE");
        const QString name = connection;
        dispatcher = std::make_unique<appserver::Dispatcher>([name] { return QSqlDatabase::database(name, false); });
    }

    static void fill(QSqlDatabase database)
    {
        QStringList products;
        QSqlQuery q(database);
        q.exec("SELECT CDPRODUTO FROM PRODUTO WHERE CDPRODESTO IS NOT NULL ORDER BY CDPRODUTO");
        while (q.next() && products.size() < Ingredients)
            products << q.value(0).toString();
        database.transaction();
        QSqlQuery prato(database), row(database), servico(database);
        prato.prepare("INSERT INTO PRATO (CDFILAUXPRAT, CDPRATO, NMPRATO, CDNVPRATO, SGUNIDADE) VALUES ('P', ?, ?, '4', 'KG')");
        row.prepare("INSERT INTO PRODPRAT (CDFILAUXPRAT, CDPRATO, CDPRODUTO, QTPRODPRAT, SGUNIDADE, VRPEFATCOCPR, "
                    "VRPEFATCOCPRAP, VRPEFATCORPR, VRPEFATCORPRAP, QTUNIDESTPR, QTBRUTAPRUNR, QTBRUTAPR, IDPRODBASEPR, "
                    "VRPEFATNUTPR, QTCALCNUTRPR, IDQTDEFIXPR, IDTPREQPRODPADR) "
                    "VALUES ('P', ?, ?, ?, 'KG', 0, 100, 10, 90, ?, ?, ?, 'N', 90, ?, 'N', 'P')");
        for (int d = 0; d < Dishes; ++d) {
            prato.addBindValue(dish(d));
            prato.addBindValue(QStringLiteral("Prato replicado %1").arg(d));
            exec(prato);
            for (int i = 0; i < Ingredients; ++i) {
                const double net = 0.01 * (i + 1);
                for (const QVariant& v : QVariantList{dish(d), products[i], net, net, net / 0.9, net / 0.9, net})
                    row.addBindValue(v);
                exec(row);
            }
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

    // The branch's services as the form loads them, the first `count` of the bench's marked at
    // 50 % to 149 %, the others unmarked.
    QVariant services(int count) const
    {
        framework::ClientDataSet cds;
        cds.SetData(framework::toPacket(call("GetServicos", {"", Branch})));
        int s = 0;
        for (cds.First(); !cds.Eof(); cds.Next()) {
            const bool ours = cds.FieldByName("CDSERVFILI")->AsString().startsWith(u'1') && s < count;
            cds.Edit();
            cds.FieldByName("IDMARCADO")->setAsString(ours ? "S" : "N");
            if (ours)
                cds.FieldByName("PERCENTUAL")->setAsFloat(50 + s++ % 100);
            cds.Post();
        }
        if (s != count)
            qFatal("GetServicos did not list the %d services", count);
        return QVariant::fromValue(cds.Data());
    }

    static QString dishList(int count)
    {
        QStringList keys;
        for (int d = 0; d < count; ++d)
            keys << QStringLiteral("'P_%1'").arg(dish(d));
        return keys.join(QStringLiteral(", "));
    }
};

void replica(benchmark::State& state, bool pg, int dishes, int services)
{
    Database* database = bench::Families<Database>::get(pg);
    if (!database) {
        state.SkipWithError("BENCH_PG_CONN não definido");
        return;
    }
    const QVariant marked = database->services(services);
    const QString list = Database::dishList(dishes);
    for (auto _ : state) {
        const QVariant result = database->call("ReplicaReceitaServico", {marked, list, "P", "", "", "", ""});
        if (!framework::isPacket(result) || framework::toPacket(result).rowCount() != 0)
            state.SkipWithError(result.toString().toStdString().c_str());
    }
    state.counters["rows"] = double(dishes) * services * Ingredients;
}

void BM_ReplicaReceitaServico_1Dish1000Services(benchmark::State& state, bool pg) { replica(state, pg, 1, Services); }
BENCHMARK_CAPTURE(BM_ReplicaReceitaServico_1Dish1000Services, SQLite, false)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(BM_ReplicaReceitaServico_1Dish1000Services, PostgreSQL, true)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ReplicaReceitaServico_100Dishes100Services(benchmark::State& state, bool pg) { replica(state, pg, Dishes, 100); }
BENCHMARK_CAPTURE(BM_ReplicaReceitaServico_100Dishes100Services, SQLite, false)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(BM_ReplicaReceitaServico_100Dishes100Services, PostgreSQL, true)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv)
{
    framework::keepFreedMemoryForReuse(); // as the host and the server run
    // The databases go while Qt's connections still live (the PostgreSQL schema is dropped).
    return bench::run<QCoreApplication>(argc, argv, [] { bench::Families<Database>::release(); });
}
