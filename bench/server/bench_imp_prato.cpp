// Figures of the recipe copy between levels. Run: build-dir/bench/bench_imp_prato
// (BENCH_PG_CONN="host=... port=... user=... dbname=..." adds the PostgreSQL figures; a schema
// bench_imp_prato is created there and dropped at the end.)
//   The standard recipes of 10,000 dishes of 10 ingredients each replacing a branch's
//   (ExportaPratos, "Sobrepor"), against the same statements run bare in one transaction;
//   GetPratos of the 10,000 dishes.

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

constexpr const char* ImpPrato = "Pla01309.rdmImpPrato";
constexpr const char* Group = "909001";
constexpr const char* Branch = "0004";
constexpr int Dishes = 10000;
constexpr int Ingredients = 10;

// The standard recipe's columns in the order of the branch's, as the copy reads and writes them.
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

void exec(QSqlQuery& q)
{
    if (!q.exec())
        qFatal("%s: %s", qPrintable(q.lastQuery()), qPrintable(q.lastError().text()));
}

void exec(QSqlDatabase db, const QString& sql)
{
    QSqlQuery q(db);
    if (!q.exec(sql))
        qFatal("%s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
}

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
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<appserver::Dispatcher> dispatcher;
    db::Target target;
    bool postgres = false;
    QVariant grid; // the dish grid as the form sends it, every dish marked

    explicit Database(bool pg) : connection(pg ? "bench-pg" : "bench-sqlite"), postgres(pg)
    {
        if (pg) {
            target = db::Target::parse(qEnvironmentVariable("BENCH_PG_CONN"));
            QSqlDatabase admin = db::open(target, connection + "-admin");
            exec(admin, "DROP SCHEMA IF EXISTS bench_imp_prato CASCADE");
            exec(admin, "CREATE SCHEMA bench_imp_prato");
            target.schema = "bench_imp_prato";
        } else {
            dir = std::make_unique<QTemporaryDir>();
            target.path = dir->filePath("bench.db");
        }
        QSqlDatabase database = db::openAndMigrate(target, connection);
        db::createDemoData(database, {});
        fill(database);
        exec(database, "ANALYZE");
        const QString name = connection;
        dispatcher = std::make_unique<appserver::Dispatcher>([name] { return QSqlDatabase::database(name, false); });
        QVariantList args{"0002", dish(0), dish(Dishes - 1), "4", "P", "", "", "", ""};
        grid = dispatcher->call(ImpPrato, "GetPratos", args);
        if (!framework::isPacket(grid) || framework::toPacket(grid).rowCount() != Dishes)
            qFatal("GetPratos did not list the %d dishes", Dishes);
    }

    ~Database()
    {
        if (postgres)
            exec(QSqlDatabase::database(connection + "-admin"), "DROP SCHEMA IF EXISTS bench_imp_prato CASCADE");
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

    static Database* get(bool pg)
    {
        static std::map<bool, std::unique_ptr<Database>> all;
        if (pg && qEnvironmentVariableIsEmpty("BENCH_PG_CONN"))
            return nullptr;
        auto& slot = all[pg];
        if (!slot)
            slot = std::make_unique<Database>(pg);
        return slot.get();
    }
};

void BM_ExportaPratos_10000Dishes(benchmark::State& state, bool pg)
{
    Database* database = Database::get(pg);
    if (!database) {
        state.SkipWithError("BENCH_PG_CONN não definido");
        return;
    }
    for (auto _ : state) {
        QVariantList args{"0002", database->grid, "", Branch, "", "", "P", "F", 1, "", "", "", ""};
        const QString status = database->dispatcher->call(ImpPrato, "ExportaPratos", args).toString();
        if (!status.isEmpty())
            state.SkipWithError(status.toStdString().c_str());
    }
    state.counters["rows"] = Dishes * Ingredients;
}
BENCHMARK_CAPTURE(BM_ExportaPratos_10000Dishes, SQLite, false)->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK_CAPTURE(BM_ExportaPratos_10000Dishes, PostgreSQL, true)->Unit(benchmark::kMillisecond)->MinTime(3.0);

// What the copy runs, prepared and run bare in one transaction: the branch's check, the dishes'
// names, the origin's rows read in runs of codes, the branch's rows of those dishes deleted, the
// branch's inactive products, and the rows written many to a statement.
void BM_ExportaPratos_BareStatements(benchmark::State& state, bool pg)
{
    Database* database = Database::get(pg);
    if (!database) {
        state.SkipWithError("BENCH_PG_CONN não definido");
        return;
    }
    QSqlDatabase db = database->db();
    const int limit = pg ? 30000 : 999;
    const int codesPerRun = limit - 1;
    const int columns = int(std::size(BranchColumns)) + 1;
    const int rowsPerInsert = limit / columns;
    QStringList selectColumns, insertColumns{"CDFILIAL"};
    for (const char* c : StandardColumns)
        selectColumns << QStringLiteral("R.") + QLatin1String(c);
    for (const char* c : BranchColumns)
        insertColumns << QLatin1String(c);
    const QString row = u'(' + marks(columns) + u')';
    const auto insertSql = [&](int rows) {
        QStringList tuples;
        for (int i = 0; i < rows; ++i)
            tuples << row;
        return QStringLiteral("INSERT INTO RECEFILI (%1) VALUES %2").arg(insertColumns.join(", "), tuples.join(", "));
    };
    for (auto _ : state) {
        db.transaction();
        QSqlQuery check(db);
        check.prepare("SELECT 1 FROM FILIAL WHERE CDFILIAL = ?");
        check.addBindValue(Branch);
        exec(check);
        QList<QVariantList> rows;
        for (int first = 0; first < Dishes; first += codesPerRun) {
            const int n = std::min(codesPerRun, Dishes - first);
            QVariantList codes{"P"};
            for (int d = first; d < first + n; ++d)
                codes << dish(d);
            QSqlQuery names(db);
            names.setForwardOnly(true);
            names.prepare(QStringLiteral("SELECT CDFILAUXPRAT, CDPRATO, NMPRATO FROM PRATO WHERE CDFILAUXPRAT = ? "
                                         "AND CDPRATO IN (%1)").arg(marks(n)));
            for (const QVariant& v : codes)
                names.addBindValue(v);
            exec(names);
            while (names.next())
                benchmark::DoNotOptimize(names.value(2));
            QSqlQuery select(db);
            select.setForwardOnly(true);
            select.prepare(QStringLiteral("SELECT %1 FROM PRODPRAT R WHERE R.CDFILAUXPRAT = ? AND R.CDPRATO IN (%2) "
                                          "ORDER BY R.CDPRATO, R.CDPRODUTO")
                               .arg(selectColumns.join(", "), marks(n)));
            for (const QVariant& v : codes)
                select.addBindValue(v);
            exec(select);
            while (select.next()) {
                QVariantList values{Branch};
                for (int c = 0; c < int(std::size(StandardColumns)); ++c)
                    values << select.value(c);
                rows << values;
            }
            QSqlQuery remove(db);
            remove.prepare(QStringLiteral("DELETE FROM RECEFILI WHERE CDFILIAL = ? AND CDFILAUXPRAT = ? AND CDPRATO IN (%1)")
                               .arg(marks(n)));
            remove.addBindValue(Branch);
            for (const QVariant& v : codes)
                remove.addBindValue(v);
            exec(remove);
        }
        QSqlQuery inactive(db);
        inactive.prepare("SELECT F.CDPRODUTO, P.NMPRODUTO FROM PRODFILI F JOIN PRODUTO P ON P.CDPRODUTO = F.CDPRODUTO "
                         "WHERE F.CDFILIAL = ? AND F.IDPRODATIV = 'I'");
        inactive.addBindValue(Branch);
        exec(inactive);
        QSqlQuery full(db);
        full.prepare(insertSql(rowsPerInsert));
        for (qsizetype first = 0; first < rows.size(); first += rowsPerInsert) {
            const int n = int(std::min<qsizetype>(rowsPerInsert, rows.size() - first));
            QSqlQuery rest(db);
            QSqlQuery& insert = n == rowsPerInsert ? full : rest;
            if (n != rowsPerInsert)
                rest.prepare(insertSql(n));
            int position = 0;
            for (int r = 0; r < n; ++r)
                for (const QVariant& v : std::as_const(rows[first + r]))
                    insert.bindValue(position++, v);
            exec(insert);
        }
        db.commit();
    }
    state.counters["rows"] = Dishes * Ingredients;
}
BENCHMARK_CAPTURE(BM_ExportaPratos_BareStatements, SQLite, false)->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK_CAPTURE(BM_ExportaPratos_BareStatements, PostgreSQL, true)->Unit(benchmark::kMillisecond)->MinTime(3.0);

void BM_GetPratos_10000Dishes(benchmark::State& state, bool pg)
{
    Database* database = Database::get(pg);
    if (!database) {
        state.SkipWithError("BENCH_PG_CONN não definido");
        return;
    }
    int rows = 0;
    for (auto _ : state) {
        QVariantList args{"0002", dish(0), dish(Dishes - 1), "4", "P", "", "", "", ""};
        rows = framework::toPacket(database->dispatcher->call(ImpPrato, "GetPratos", args)).rowCount();
    }
    state.counters["rows"] = rows;
}
BENCHMARK_CAPTURE(BM_GetPratos_10000Dishes, SQLite, false)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK_CAPTURE(BM_GetPratos_10000Dishes, PostgreSQL, true)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace

int main(int argc, char** argv)
{
    framework::keepFreedMemoryForReuse(); // as the host and the server run
    return bench::run<QCoreApplication>(argc, argv);
}
