// Figures of the dish cost and nutrition queries. Run: build-dir/bench/bench_dish_queries
// On a demo database of 50,000 dishes whose products carry two years of daily prices (about
// 26,000 price rows of the quotation list), in process:
//   GetProduto of a standard dish (its price in force looked up per ingredient), GetSinaSafra,
//   GetNutriente and ProNDPCAL of the same dish.

#include "bench/benchsupport.h"
#include "db/database.h"
#include "db/demodata.h"
#include "framework/data/datapacket.h"
#include "server/connection.h"

#include <QCoreApplication>
#include <QDate>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

constexpr const char* Dish = "1010010001"; // Frango assado, five ingredients

struct Fixture {
    QTemporaryDir dir;

    Fixture()
    {
        db::Target target;
        target.path = dir.filePath("bench.db");
        QSqlDatabase database = db::openAndMigrate(target, "bench");
        db::createDemoData(database, {50000});
        database.transaction();
        QSqlQuery insert(database);
        insert.prepare("INSERT INTO PRECOPROD (CDFILIAL, CDPRODUTO, NRTIPOCUSTO, DTPRECO, VRPRECO) "
                       "SELECT '0001', CDPRODUTO, 3, ?, 1.5 FROM PRODUTO WHERE CDPRODESTO IS NOT NULL");
        for (QDate day(2024, 1, 2); day < QDate(2025, 12, 31); day = day.addDays(1)) {
            insert.addBindValue(day.toString(Qt::ISODate));
            insert.exec();
        }
        database.commit();
    }

    static std::unique_ptr<server::Connection> connection(const char* object)
    {
        static Fixture fixture;
        auto net = std::make_unique<server::Connection>(nullptr, "netBench", object);
        net->setDatabaseConnection("bench");
        net->Connect();
        return net;
    }
};

void BM_GetProduto(benchmark::State& state)
{
    auto net = Fixture::connection("Pla01305.rdmCustoPrato");
    int rows = 0;
    for (auto _ : state) {
        rows = framework::toPacket(net->call("GetProduto", {"", "", Dish, "P", "0002", 3, QDate(2026, 7, 15), "", ""}))
                   .rowCount();
        benchmark::DoNotOptimize(rows);
    }
    state.counters["rows"] = rows;
}
BENCHMARK(BM_GetProduto)->Unit(benchmark::kMicrosecond)->MinTime(1.0);

void BM_GetSinaSafra(benchmark::State& state)
{
    auto net = Fixture::connection("Pla01305.rdmCustoPrato");
    for (auto _ : state)
        benchmark::DoNotOptimize(net->call("GetSinaSafra", {57.5}));
}
BENCHMARK(BM_GetSinaSafra)->Unit(benchmark::kMicrosecond)->MinTime(1.0);

void BM_GetNutriente(benchmark::State& state)
{
    auto net = Fixture::connection("PLA01304.rdmConsNutrPrat");
    int rows = 0;
    for (auto _ : state) {
        rows = framework::toPacket(net->call("GetNutriente", {"P", "X", "0002", "X", Dish, "X", "X"})).rowCount();
        benchmark::DoNotOptimize(rows);
    }
    state.counters["rows"] = rows;
}
BENCHMARK(BM_GetNutriente)->Unit(benchmark::kMicrosecond)->MinTime(1.0);

void BM_ProNDPCAL(benchmark::State& state)
{
    auto net = Fixture::connection("PLA01304.rdmConsNutrPrat");
    for (auto _ : state)
        benchmark::DoNotOptimize(net->call("ProNDPCAL", {"P", "0002", "X", Dish, "X", "X", "X"}));
}
BENCHMARK(BM_ProNDPCAL)->Unit(benchmark::kMicrosecond)->MinTime(1.0);

} // namespace

int main(int argc, char** argv)
{
    return bench::run<QCoreApplication>(argc, argv);
}
