// Figures of the report engine. Run: QT_QPA_PLATFORM=offscreen build-dir/bench/bench_reports
// On a demo database of 10,000 dishes:
//   the dish nutrients report (layout 01, every nutrient, every dish) to PDF;
//   recipes by product over 100,000 branch recipe rows (the standard recipes copied to branches,
//   the last copy cut so that there are exactly that many) to PDF and to CSV.

#include "bench/benchsupport.h"
#include "db/database.h"
#include "db/demodata.h"
#include "framework/core/freedmemory.h"
#include "framework/forms/filereportengine.h"

#include <QApplication>
#include <QDir>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

constexpr int RecipeRows = 100000; // the size the report must print in under 3 s

struct Fixture {
    QTemporaryDir dir;
    int recipeRows = 0;
    int dishes = 0;

    Fixture()
    {
        db::Target target;
        target.path = dir.filePath("bench.db");
        QSqlDatabase database = db::openAndMigrate(target, "bench");
        db::createDemoData(database, {10000});
        database.transaction();
        QSqlQuery q(database);
        const int standard = count(database, "SELECT COUNT(*) FROM PRODPRAT");
        q.exec("DELETE FROM RECEFILI");
        int copied = 0;
        for (const char* branch : {"0002", "0003", "0004", "0005", "0011", "0001", "0010"}) {
            if (copied >= RecipeRows)
                break;
            q.prepare("INSERT INTO RECEFILI (CDFILIAL, CDFILAUXPRAT, CDPRATO, CDPRODUTO, QTPRODRECLOC, SGUNIDADE, QTBRUTALO) "
                      "SELECT ?, CDFILAUXPRAT, CDPRATO, CDPRODUTO, QTPRODPRAT, SGUNIDADE, QTBRUTAPR FROM PRODPRAT LIMIT ?");
            q.addBindValue(QString::fromLatin1(branch));
            q.addBindValue(std::min(standard, RecipeRows - copied));
            q.exec();
            copied += std::min(standard, RecipeRows - copied);
        }
        database.commit();
        recipeRows = count(database, "SELECT COUNT(*) FROM RECEFILI");
        dishes = count(database, "SELECT COUNT(*) FROM PRATO");
    }

    static int count(QSqlDatabase& db, const char* sql)
    {
        QSqlQuery q(db);
        q.exec(QString::fromLatin1(sql));
        return q.next() ? q.value(0).toInt() : 0;
    }

    static Fixture& instance()
    {
        static Fixture fixture;
        return fixture;
    }
};

framework::ReportDocument run(const char* file, const QVariantMap& params)
{
    QSqlDatabase db = QSqlDatabase::database("bench");
    return framework::ReportDocument::build(
        framework::ReportDefinition::load(QDir(REPORTS_DIR).filePath(QString::fromLatin1(file))), db, params);
}

void BM_NutrientsToPdf(benchmark::State& state)
{
    Fixture& f = Fixture::instance();
    const QVariantMap params{{"P_IDTIPORECE", "P"}, {"P_CDFILAUXPRAT", "P"}, {"P_CDFILIAL", "0002"},
                             {"P_CDSERVFILI", "XXX"}, {"P_CDPRATOINIC", "0"}, {"P_CDPRATOFINA", "ZZZZZZZZZZ"},
                             {"P_NIVEL", 0}, {"P_ORDENA", "0"}, {"P_CDNUTRIENTE", "001_002_003_004_005_006"}};
    const QString pdf = f.dir.filePath("nutrientes.pdf");
    int lines = 0;
    for (auto _ : state) {
        const framework::ReportDocument doc = run("Pla05001.QR2", params);
        framework::FileReportEngine::writePdf(doc, pdf);
        lines = int(doc.lines().size());
    }
    state.counters["dishes"] = f.dishes;
    state.counters["lines"] = lines;
}
BENCHMARK(BM_NutrientsToPdf)->Unit(benchmark::kMillisecond)->Iterations(3);

// The query and the layout into lines alone, without the pages.
void BM_NutrientsQueryAndLines(benchmark::State& state)
{
    Fixture::instance();
    const QVariantMap params{{"P_IDTIPORECE", "P"}, {"P_CDFILAUXPRAT", "P"}, {"P_CDFILIAL", "0002"},
                             {"P_CDSERVFILI", "XXX"}, {"P_CDPRATOINIC", "0"}, {"P_CDPRATOFINA", "ZZZZZZZZZZ"},
                             {"P_NIVEL", 0}, {"P_ORDENA", "0"}, {"P_CDNUTRIENTE", "001_002_003_004_005_006"}};
    for (auto _ : state)
        benchmark::DoNotOptimize(run("Pla05001.QR2", params).lines().size());
}
BENCHMARK(BM_NutrientsQueryAndLines)->Unit(benchmark::kMillisecond)->Iterations(3);

QVariantMap recipeParams()
{
    return {{"P_IDTIPORECE", "F"}, {"P_CDFILIAL", "0002"}, {"P_PRODUTOINI", "0"}, {"P_PRODUTOFIN", "zzzzzzzzzz"},
            {"L_FILIAL1", "_0001_0002_0003_0004_0005_0010_0011"}, {"L_FILIAL2", "_0001_0002_0003_0004_0005_0010_0011"},
            {"L_SERVICO1", "T"}};
}

void BM_RecipesByProductToPdf(benchmark::State& state)
{
    Fixture& f = Fixture::instance();
    const QString pdf = f.dir.filePath("receitas.pdf");
    int rows = 0;
    for (auto _ : state) {
        const framework::ReportDocument doc = run("PLA05501.QR2", recipeParams());
        framework::FileReportEngine::writePdf(doc, pdf);
        rows = doc.rowCount();
    }
    state.counters["rows"] = rows;
}
BENCHMARK(BM_RecipesByProductToPdf)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_RecipesByProductToCsv(benchmark::State& state)
{
    Fixture& f = Fixture::instance();
    const QString csv = f.dir.filePath("receitas.csv");
    int rows = 0;
    for (auto _ : state) {
        const framework::ReportDocument doc = run("PLA05501.QR2", recipeParams());
        framework::FileReportEngine::writeCsv(doc, csv);
        rows = doc.rowCount();
    }
    state.counters["rows"] = rows;
}
BENCHMARK(BM_RecipesByProductToCsv)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv)
{
    framework::keepFreedMemoryForReuse(); // as the host runs
    return bench::run<QApplication>(argc, argv);
}
