#include "database.h"
#include "demodata.h"
#include "framework/abort.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>

// Creates a database (SQLite file or PostgreSQL connection string) with the schema and demo data.
int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription("Cria um banco de dados de demonstração.");
    parser.addHelpOption();
    parser.addOption({"db", "Arquivo SQLite ou conexão PostgreSQL (host=... dbname=...).", "alvo"});
    parser.addOption({"dishes", "Número de pratos no último nível.", "n", "120"});
    parser.process(app);
    if (!parser.isSet("db")) {
        std::fprintf(stderr, "Informe --db.\n");
        return 2;
    }
    try {
        QElapsedTimer timer;
        timer.start();
        QSqlDatabase database = db::openAndMigrate(db::Target::parse(parser.value("db")), "demodb");
        if (db::hasData(database)) {
            std::fprintf(stderr, "O banco já contém dados; nada foi gravado.\n");
            return 1;
        }
        const db::DemoSummary s = db::createDemoData(database, {parser.value("dishes").toInt()});
        std::printf("%d filiais, %d produtos, %d pratos, %d linhas de receita em %lld ms\n", s.branches,
                    s.products, s.dishes, s.recipeRows, static_cast<long long>(timer.elapsed()));
    } catch (const framework::Error& e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.message()));
        return 1;
    }
    return 0;
}
