// Figures of the recipe copy between levels. Run: build-dir/bench/bench_imp_prato
// (BENCH_PG_CONN="host=... port=... user=... dbname=..." adds the PostgreSQL figures; a schema
// bench_imp_prato is created there and dropped at the end.)
//   The standard recipes of 10,000 dishes of 10 ingredients each replacing a branch's
//   (ExportaPratos, "Sobrepor"), against the same statements run bare in one transaction;
//   GetPratos of the 10,000 dishes.

#include "bench/benchdatabase.h"
#include "bench/benchsupport.h"
#include "appserver/dispatcher.h"
#include "db/database.h"
#include "db/demodata.h"
#include "framework/core/freedmemory.h"
#include "framework/data/datapacket.h"

#include <QCoreApplication>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <map>

namespace {

using bench::exec;

constexpr const char* ImpPrato = "Pla01309.rdmImpPrato";
constexpr const char* Group = "909001";
constexpr const char* Branch = "0004";
constexpr int Dishes = 10000;
constexpr int Ingredients = 10;

// The standard recipe's columns beside the branch's, as the copy takes them over.
const char* const StandardColumns[] = {
    "CDFILAUXPRAT", "CDPRATO", "CDPRODUTO", "QTPRODPRAT", "SGUNIDADE", "VRPEFATCOCPR", "VRPEFATCOCPRAP",
    "VRPEFATCORPR", "VRPEFATCORPRAP", "HRTEMPPREPPR", "QTUNIDESTPR", "QTBRUTAPRUNR", "QTBRUTAPR", "IDPRODBASEPR",
    "CDAPRERECE", "VRPEFATNUTPR", "QTCALCNUTRPR", "IDQTDEFIXPR", "QTLIMSEGPADR", "IDTPREQPRODPADR",
    "QTCOMPLPRODPADR", "IDUTCOMPENTDIRP", "VRPERCDEGELO"};
const char* const BranchColumns[] = {
    "CDFILAUXPRAT", "CDPRATO", "CDPRODUTO", "QTPRODRECLOC", "SGUNIDADE", "VRPEFATCOCLO", "VRPEFATCOCLOAP",
    "VRPEFATCORLO", "VRPEFATCORLOAP", "HRTEMPPREPLO", "QTUNIDESTLO", "QTBRUTALOUNR", "QTBRUTALO", "IDPRODBASELO",
    "CDAPRERECE", "VRPEFATNUTLO", "QTCALCNUTRLO", "IDQTDEFIXLO", "QTLIMSEGFILI", "IDTPREQPRODFILI",
    "QTCOMPLPRODFILI", "IDUTCOMPENTDIRF", "VRPERCDEGELO"};

QString dish(int d) { return QString::fromLatin1(Group) + QStringLiteral("%1").arg(d, 4, 10, QChar('0')); }

QString marks(int n)
{
    QStringList m;
    for (int i = 0; i < n; ++i)
        m << QStringLiteral("?");
    return m.join(QStringLiteral(", "));
}

// One database per family for the whole run: the demo data and the 10,000 dishes.
struct Database {
    QString connection;
    std::unique_ptr<appserver::Dispatcher> dispatcher;
    bench::BenchDatabase place;
    const db::Target& target = place.target();
    QVariant grid; // the dish grid as the form sends it, every dish marked

    explicit Database(bool pg)
        : connection(pg ? "bench-pg" : "bench-sqlite"), place(pg, QStringLiteral("bench_imp_prato"), connection)
    {
        QSqlDatabase database = db::openAndMigrate(target, connection);
        db::createDemoData(database, {});
        fill(database);
        exec(database, "ANALYZE");
        const QString name = connection;
        dispatcher = std::make_unique<appserver::Dispatcher>([name] { return QSqlDatabase::database(name, false); });
        QVariantList args{"0002", dish(0), dish(Dishes - 1), "4", "P", "", "", "", ""};
        grid = dispatcher->call({db::DemoSupervisor, "bench"}, ImpPrato, "GetPratos", args);
        if (!framework::isPacket(grid) || framework::toPacket(grid).rowCount() != Dishes)
            qFatal("GetPratos did not list the %d dishes", Dishes);
    }

    static void fill(QSqlDatabase database)
    {
        QStringList products;
        QSqlQuery q(database);
        q.exec("SELECT CDPRODUTO FROM PRODUTO WHERE CDPRODESTO IS NOT NULL ORDER BY CDPRODUTO");
        while (q.next() && products.size() < Ingredients)
            products << q.value(0).toString();
        database.transaction();
        QSqlQuery prato(database), dados(database), row(database);
        prato.prepare("INSERT INTO PRATO (CDFILAUXPRAT, CDPRATO, NMPRATO, CDNVPRATO, SGUNIDADE) VALUES ('P', ?, ?, '4', 'KG')");
        dados.prepare("INSERT INTO DADOSPRAT (CDFILAUXPRAT, CDPRATO, QTPADRAOPRAT) VALUES ('P', ?, 0.2)");
        row.prepare("INSERT INTO PRODPRAT (CDFILAUXPRAT, CDPRATO, CDPRODUTO, QTPRODPRAT, SGUNIDADE, VRPEFATCOCPR, "
                    "VRPEFATCOCPRAP, VRPEFATCORPR, VRPEFATCORPRAP, QTUNIDESTPR, QTBRUTAPRUNR, QTBRUTAPR, IDPRODBASEPR, "
                    "VRPEFATNUTPR, QTCALCNUTRPR, IDQTDEFIXPR, IDTPREQPRODPADR) "
                    "VALUES ('P', ?, ?, ?, 'KG', 0, 100, 10, 90, ?, ?, ?, 'N', 90, ?, 'N', 'P')");
        for (int d = 0; d < Dishes; ++d) {
            prato.addBindValue(dish(d));
            prato.addBindValue(QStringLiteral("Prato %1").arg(d));
            exec(prato);
            dados.addBindValue(dish(d));
            exec(dados);
            for (int i = 0; i < Ingredients; ++i) {
                const double net = 0.01 * (i + 1);
                for (const QVariant& v : QVariantList{dish(d), products[i], net, net, net / 0.9, net / 0.9, net})
                    row.addBindValue(v);
                exec(row);
            }
        }
        database.commit();
    }

    QSqlDatabase db() const { return QSqlDatabase::database(connection, false); }
};

void BM_ExportaPratos_10000Dishes(benchmark::State& state, bool pg)
{
    Database* database = bench::Families<Database>::get(pg);
    if (!database) {
        state.SkipWithError("BENCH_PG_CONN não definido");
        return;
    }
    for (auto _ : state) {
        QVariantList args{"0002", database->grid, "", Branch, "", "", "P", "F", 1, "", "", "", ""};
        const QString status = database->dispatcher->call({db::DemoSupervisor, "bench"}, ImpPrato, "ExportaPratos", args).toString();
        if (!status.isEmpty())
            state.SkipWithError(status.toStdString().c_str());
    }
    state.counters["rows"] = Dishes * Ingredients;
}
BENCHMARK_CAPTURE(BM_ExportaPratos_10000Dishes, SQLite, false)->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK_CAPTURE(BM_ExportaPratos_10000Dishes, PostgreSQL, true)->Unit(benchmark::kMillisecond)->MinTime(3.0);

// What the copy runs, prepared and run bare in one transaction: the branch's check, the dishes'
// names, the origin's products read in runs of codes, the branch's inactive products, the branch's
// rows of those dishes deleted, and the origin's rows inserted from a select of them.
void BM_ExportaPratos_BareStatements(benchmark::State& state, bool pg)
{
    Database* database = bench::Families<Database>::get(pg);
    if (!database) {
        state.SkipWithError("BENCH_PG_CONN não definido");
        return;
    }
    QSqlDatabase db = database->db();
    const int limit = pg ? 30000 : 999;
    QStringList from{"CAST(? AS VARCHAR(10))"}, to{"CDFILIAL"};
    for (size_t c = 0; c < std::size(StandardColumns); ++c) {
        from << QStringLiteral("R.") + QLatin1String(StandardColumns[c]);
        to << QLatin1String(BranchColumns[c]);
    }
    const auto run = [&](const QString& sql, const QVariantList& values, bool read) {
        QSqlQuery q(db);
        q.setForwardOnly(true);
        q.prepare(sql);
        for (const QVariant& v : values)
            q.addBindValue(v);
        exec(q);
        while (read && q.next())
            benchmark::DoNotOptimize(q.value(2));
    };
    for (auto _ : state) {
        db.transaction();
        run("SELECT 1 FROM FILIAL WHERE CDFILIAL = ?", {Branch}, false);
        for (int first = 0; first < Dishes; first += limit - 3) {
            const int n = std::min(limit - 3, Dishes - first);
            QVariantList codes;
            for (int d = first; d < first + n; ++d)
                codes << dish(d);
            run(QStringLiteral("SELECT CDFILAUXPRAT, CDPRATO, NMPRATO FROM PRATO WHERE CDFILAUXPRAT = ? AND CDPRATO IN (%1)")
                    .arg(marks(n)),
                QVariantList{"P"} + codes, true);
            run(QStringLiteral("SELECT R.CDFILAUXPRAT, R.CDPRATO, R.CDPRODUTO FROM PRODPRAT R WHERE R.CDFILAUXPRAT = ? "
                               "AND R.CDPRATO IN (%1) ORDER BY R.CDPRATO, R.CDPRODUTO")
                    .arg(marks(n)),
                QVariantList{"P"} + codes, true);
        }
        run("SELECT F.CDPRODUTO, P.NMPRODUTO FROM PRODFILI F JOIN PRODUTO P ON P.CDPRODUTO = F.CDPRODUTO "
            "WHERE F.CDFILIAL = ? AND F.IDPRODATIV = 'I'",
            {Branch}, true);
        for (int first = 0; first < Dishes; first += limit - 3) {
            const int n = std::min(limit - 3, Dishes - first);
            QVariantList codes;
            for (int d = first; d < first + n; ++d)
                codes << dish(d);
            run(QStringLiteral("DELETE FROM RECEFILI WHERE CDFILIAL = ? AND CDFILAUXPRAT = ? AND CDPRATO IN (%1)").arg(marks(n)),
                QVariantList{Branch, "P"} + codes, false);
            run(QStringLiteral("INSERT INTO RECEFILI (%1) SELECT %2 FROM PRODPRAT R WHERE R.CDFILAUXPRAT = ? "
                               "AND R.CDPRATO IN (%3) AND NOT EXISTS (SELECT 1 FROM PRODFILI F WHERE F.CDFILIAL = ? "
                               "AND F.CDPRODUTO = R.CDPRODUTO AND F.IDPRODATIV = 'I')")
                    .arg(to.join(", "), from.join(", "), marks(n)),
                QVariantList{Branch, "P"} + codes + QVariantList{Branch}, false);
        }
        db.commit();
    }
    state.counters["rows"] = Dishes * Ingredients;
}
BENCHMARK_CAPTURE(BM_ExportaPratos_BareStatements, SQLite, false)->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK_CAPTURE(BM_ExportaPratos_BareStatements, PostgreSQL, true)->Unit(benchmark::kMillisecond)->MinTime(3.0);

void BM_GetPratos_10000Dishes(benchmark::State& state, bool pg)
{
    Database* database = bench::Families<Database>::get(pg);
    if (!database) {
        state.SkipWithError("BENCH_PG_CONN não definido");
        return;
    }
    int rows = 0;
    for (auto _ : state) {
        QVariantList args{"0002", dish(0), dish(Dishes - 1), "4", "P", "", "", "", ""};
        rows = framework::toPacket(database->dispatcher->call({db::DemoSupervisor, "bench"}, ImpPrato, "GetPratos", args)).rowCount();
    }
    state.counters["rows"] = rows;
}
BENCHMARK_CAPTURE(BM_GetPratos_10000Dishes, SQLite, false)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK_CAPTURE(BM_GetPratos_10000Dishes, PostgreSQL, true)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace

int main(int argc, char** argv)
{
    framework::keepFreedMemoryForReuse(); // as the host and the server run
    return bench::run<QCoreApplication>(argc, argv, [] { bench::Families<Database>::release(); });
}
