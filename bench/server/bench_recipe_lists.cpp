// Figures of the recipe page loader and the ingredient-list update. Run:
//   build-dir/bench/bench_recipe_lists
// (BENCH_PG_CONN="host=... port=... user=... dbname=..." adds the PostgreSQL figures; a schema
// bench_recipe_lists is created there and dropped at the end.)
// One group of 2,000 dishes with 10 ingredients each (20,000 standard recipe rows) beside the
// demo data: GetReceitaPad of the group in process, against its select run bare; UpdProdPrat of
// 1,000 changed rows, and the same 1,000 updates run bare in one transaction.

#include "bench/benchdatabase.h"
#include "bench/benchsupport.h"
#include "db/database.h"
#include "db/demodata.h"
#include "framework/core/freedmemory.h"
#include "framework/core/hostcontext.h"
#include "framework/data/clientdataset.h"
#include "server/connection.h"

#include <QCoreApplication>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <map>

namespace {

using bench::exec;

constexpr const char* ReceitaPadrao = "Pla01300.rdmReceitaPadrao";
constexpr const char* Group = "909001";
constexpr int Dishes = 2000;
constexpr int Ingredients = 10;
constexpr int Changed = 1000;
// What GetReceitaPad selects for the standard list (SQLite adds an upper bound of the codes).
constexpr const char* SelectSql =
    "SELECT R.CDFILAUXPRAT, R.CDPRATO, R.CDPRODUTO, R.QTPRODPRAT, R.SGUNIDADE, R.VRPEFATCOCPR, R.VRPEFATCOCPRAP, "
    "R.VRPEFATCORPR, R.VRPEFATCORPRAP, R.HRTEMPPREPPR, R.QTUNIDESTPR, R.QTBRUTAPRUNR, R.QTBRUTAPR, R.IDPRODBASEPR, "
    "R.CDAPRERECE, R.VRPEFATNUTPR, R.QTCALCNUTRPR, R.IDQTDEFIXPR, R.QTLIMSEGPADR, R.IDTPREQPRODPADR, "
    "R.QTCOMPLPRODPADR, R.IDUTCOMPENTDIRP, R.VRPERCDEGELO, P.NMPRODUTO, P.SGUNIDADE, P.CDARVPROD, A.NMAPRERECE "
    "FROM PRODPRAT R JOIN PRODUTO P ON P.CDPRODUTO = R.CDPRODUTO "
    "LEFT JOIN APRERECE A ON A.CDAPRERECE = R.CDAPRERECE "
    "WHERE R.CDFILAUXPRAT IN ('P', ?) AND R.CDPRATO >= ? AND SUBSTR(R.CDPRATO, 1, ?) = ?";
constexpr const char* SqliteBound = " AND R.CDPRATO < ?";
constexpr const char* SelectOrder = " ORDER BY R.CDFILAUXPRAT, R.CDPRATO, R.CDPRODUTO";
constexpr const char* PgSchema = "bench_recipe_lists";

// One database per family for the whole run: a SQLite file, or a schema on BENCH_PG_CONN.
struct Fixture {
    QString connection;
    bench::BenchDatabase place;
    const db::Target& target = place.target();
    QStringList products;

    explicit Fixture(bool pg)
        : connection(pg ? "bench-pg" : "bench"), place(pg, QString::fromLatin1(PgSchema), connection)
    {
        QSqlDatabase database = db::openAndMigrate(target, connection);
        db::createDemoData(database, {});
        // The calls are the supervisor's, who changes standard recipes on his own: no prompt.
        framework::hostContext().Operador = db::DemoSupervisor;
        QSqlQuery q(database);
        q.exec("SELECT CDPRODUTO FROM PRODUTO ORDER BY CDPRODUTO");
        while (q.next() && products.size() < Ingredients)
            products << q.value(0).toString();
        database.transaction();
        QSqlQuery dish(database), row(database);
        dish.prepare("INSERT INTO PRATO (CDFILAUXPRAT, CDPRATO, NMPRATO, CDNVPRATO, SGUNIDADE) VALUES ('P', ?, ?, '4', 'KG')");
        row.prepare("INSERT INTO PRODPRAT (CDFILAUXPRAT, CDPRATO, CDPRODUTO, QTPRODPRAT, SGUNIDADE, QTBRUTAPRUNR, "
                    "QTBRUTAPR, VRPEFATCORPR, VRPEFATNUTPR, QTCALCNUTRPR) VALUES ('P', ?, ?, ?, 'KG', ?, ?, 10, 90, ?)");
        for (int d = 0; d < Dishes; ++d) {
            const QString code = QString::fromLatin1(Group) + QStringLiteral("%1").arg(d, 4, 10, QChar('0'));
            dish.addBindValue(code);
            dish.addBindValue(QStringLiteral("Prato %1").arg(d));
            exec(dish);
            for (int i = 0; i < Ingredients; ++i) {
                const double net = 0.01 * (i + 1);
                for (const QVariant& v : QVariantList{code, products[i], net, net * 1.1, net * 1.1, net})
                    row.addBindValue(v);
                exec(row);
            }
        }
        database.commit();
        if (pg)
            exec(database, "ANALYZE");
    }

    QSqlDatabase db() const { return QSqlDatabase::database(connection, false); }

    std::unique_ptr<server::Connection> local()
    {
        auto net = std::make_unique<server::Connection>(nullptr, "netBench", ReceitaPadrao);
        net->setDatabaseConnection(connection);
        net->Connect();
        return net;
    }

    // Released at the end of the run (see main).

    // Null for PostgreSQL when BENCH_PG_CONN names no server.
};

Fixture* fixtureOrSkip(benchmark::State& state, bool pg)
{
    Fixture* fixture = bench::Families<Fixture>::get(pg);
    if (!fixture)
        state.SkipWithError("BENCH_PG_CONN não definido");
    return fixture;
}

framework::DataPacket loadGroup(server::Connection& net)
{
    const QVariant result = net.call("GetReceitaPad", {Group, "0002"});
    return framework::toPacket(result.toList().value(0));
}

void BM_GetReceitaPad_Group2000Dishes(benchmark::State& state, bool pg)
{
    Fixture* fixture = fixtureOrSkip(state, pg);
    if (!fixture)
        return;
    auto net = fixture->local();
    int rows = 0;
    for (auto _ : state) {
        rows = loadGroup(*net).rowCount();
        benchmark::DoNotOptimize(rows);
    }
    if (rows != Dishes * Ingredients)
        state.SkipWithError("the group did not load whole");
    state.counters["rows"] = rows;
}
BENCHMARK_CAPTURE(BM_GetReceitaPad_Group2000Dishes, SQLite, false)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK_CAPTURE(BM_GetReceitaPad_Group2000Dishes, PostgreSQL, true)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The loader's select run bare: every value of every row read, no packet built.
void BM_GetReceitaPad_BareSelect(benchmark::State& state, bool pg)
{
    Fixture* fixture = fixtureOrSkip(state, pg);
    if (!fixture)
        return;
    QSqlDatabase database = fixture->db();
    const QString group = QString::fromLatin1(Group);
    QVariantList values{"0002", group, group.size(), group};
    QString sql = QString::fromLatin1(SelectSql);
    if (!pg) {
        sql += QLatin1String(SqliteBound);
        values << group + QChar(0xFFFF);
    }
    sql += QLatin1String(SelectOrder);
    int rows = 0;
    for (auto _ : state) {
        QSqlQuery q(database);
        q.setForwardOnly(true);
        q.prepare(sql);
        for (const QVariant& v : values)
            q.addBindValue(v);
        exec(q);
        rows = 0;
        const int columns = q.record().count();
        while (q.next()) {
            for (int c = 0; c < columns; ++c)
                benchmark::DoNotOptimize(q.value(c));
            ++rows;
        }
    }
    state.counters["rows"] = rows;
}
BENCHMARK_CAPTURE(BM_GetReceitaPad_BareSelect, SQLite, false)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK_CAPTURE(BM_GetReceitaPad_BareSelect, PostgreSQL, true)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_UpdProdPrat_1000Rows(benchmark::State& state, bool pg)
{
    Fixture* fixture = fixtureOrSkip(state, pg);
    if (!fixture)
        return;
    auto net = fixture->local();
    framework::ClientDataSet cds(nullptr, "cdsProdPrat");
    cds.SetData(loadGroup(*net));
    double quantity = 1;
    for (auto _ : state) {
        state.PauseTiming();
        quantity += 1;
        cds.First();
        for (int i = 0; i < Changed; ++i, cds.Next()) {
            cds.Edit();
            cds.FieldByName("QTPRODPRAT")->setAsFloat(quantity);
            cds.Post();
        }
        bench::sendTimed(state, cds, [&](const QVariant& log) { return net->call("UpdProdPrat", {log}); });
    }
}
BENCHMARK_CAPTURE(BM_UpdProdPrat_1000Rows, SQLite, false)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK_CAPTURE(BM_UpdProdPrat_1000Rows, PostgreSQL, true)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The statements UpdProdPrat runs for those rows (the new quantity set where the row still holds
// what was read), prepared once and run bare in one transaction.
void BM_UpdProdPrat_BareStatements(benchmark::State& state, bool pg)
{
    Fixture* fixture = fixtureOrSkip(state, pg);
    if (!fixture)
        return;
    QSqlDatabase database = fixture->db();
    QStringList dishes;
    for (int d = 0; dishes.size() * Ingredients < Changed; ++d)
        dishes << QString::fromLatin1(Group) + QStringLiteral("%1").arg(d, 4, 10, QChar('0'));
    QHash<QString, double> quantity; // per dish and product: what the row holds now
    QSqlQuery current(database);
    current.exec(QStringLiteral("SELECT CDPRATO, CDPRODUTO, QTPRODPRAT FROM PRODPRAT WHERE CDPRATO LIKE '%1%'").arg(Group));
    while (current.next())
        quantity[current.value(0).toString() + current.value(1).toString()] = current.value(2).toDouble();
    double next = 100000;
    for (auto _ : state) {
        next += 1;
        database.transaction();
        QSqlQuery q(database);
        q.prepare("UPDATE PRODPRAT SET QTPRODPRAT = ? WHERE CDFILAUXPRAT = ? AND CDPRATO = ? AND CDPRODUTO = ? "
                  "AND QTPRODPRAT = ? AND SGUNIDADE = ? AND VRPEFATCOCPR IS NULL AND VRPEFATCOCPRAP IS NULL "
                  "AND VRPEFATCORPR = ? AND VRPEFATCORPRAP IS NULL AND HRTEMPPREPPR IS NULL AND QTUNIDESTPR IS NULL "
                  "AND QTBRUTAPRUNR = ? AND QTBRUTAPR = ? AND IDPRODBASEPR IS NULL AND CDAPRERECE IS NULL "
                  "AND VRPEFATNUTPR = ? AND QTCALCNUTRPR = ? AND IDQTDEFIXPR IS NULL AND QTLIMSEGPADR IS NULL "
                  "AND IDTPREQPRODPADR IS NULL AND QTCOMPLPRODPADR IS NULL AND IDUTCOMPENTDIRP IS NULL "
                  "AND VRPERCDEGELO IS NULL");
        for (const QString& dish : std::as_const(dishes))
            for (int i = 0; i < Ingredients; ++i) {
                const QString key = dish + fixture->products[i];
                const double net = 0.01 * (i + 1);
                const double before = quantity.value(key);
                for (const QVariant& v : QVariantList{next, "P", dish, fixture->products[i], before, "KG", 10.0,
                                                      net * 1.1, net * 1.1, 90.0, net})
                    q.addBindValue(v);
                exec(q);
                if (q.numRowsAffected() != 1)
                    state.SkipWithError("a row did not match");
                quantity[key] = next;
            }
        database.commit();
    }
}
BENCHMARK_CAPTURE(BM_UpdProdPrat_BareStatements, SQLite, false)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK_CAPTURE(BM_UpdProdPrat_BareStatements, PostgreSQL, true)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace

int main(int argc, char** argv)
{
    framework::keepFreedMemoryForReuse(); // as the host and the server run
    return bench::run<QCoreApplication>(argc, argv, [] { bench::Families<Fixture>::release(); });
}
