// The recipes-by-product lists of the server and the shipped report definitions, run on the dish
// worked out by hand (pratoteste.h), on both database families.
#include "appserver/dispatcher.h"
#include "db/demodata.h"
#include "framework/data/datapacket.h"
#include "framework/forms/reportdocument.h"
#include "pratoteste.h"
#include "testdatabase.h"

#include <QBuffer>
#include <QDir>
#include <QSqlQuery>
#include <ostream>
#include <gtest/gtest.h>

using framework::DataPacket;
using testdb::Backend;

// Readable failures for Qt texts.
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

namespace {

class RelatoriosServidorTest : public ::testing::TestWithParam<Backend> {
protected:
    void SetUp() override
    {
        if (!testdb::available(GetParam()))
            GTEST_SKIP() << "TEST_PG_CONN não definido";
        database = std::make_unique<testdb::TestDatabase>(GetParam(), true, 1);
        pratoteste::cria(database->db());
        const QString name = database->connectionName();
        dispatcher = std::make_unique<appserver::Dispatcher>([name] { return QSqlDatabase::database(name, false); });
    }

    // The rows of a packet, one text per row with the columns joined by "|".
    QStringList rows(const char* method, QVariantList args)
    {
        const QVariant result = dispatcher->call({db::DemoSupervisor, "teste"}, "Pla01300.rdmReceitaPadrao", method, args);
        EXPECT_TRUE(framework::isPacket(result)) << result.value<framework::ServerFault>().message.toStdString();
        if (!framework::isPacket(result))
            return {};
        const DataPacket p = framework::toPacket(result);
        QStringList out;
        for (int r = 0; r < p.rowCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < p.rows.columnCount(); ++c)
                cells << p.rows.value(r, c).toString();
            out << cells.join(u'|');
        }
        return out;
    }

    // A shipped definition run on the test database: one text per printed line.
    QStringList report(const char* file, const QVariantMap& params)
    {
        const auto definition =
            framework::ReportDefinition::load(QDir(QStringLiteral(REPORTS_DIR)).filePath(QString::fromLatin1(file)));
        QSqlDatabase db = database->db();
        const framework::ReportDocument doc = framework::ReportDocument::build(definition, db, params);
        QStringList lines;
        for (const framework::ReportLine& line : doc.lines())
            lines << (line.text + u'|' + line.cells.join(u'|'));
        return lines;
    }

    // A shipped definition run on the test database and saved as CSV: one text per line.
    QStringList csv(const char* file, const QVariantMap& params)
    {
        const auto definition =
            framework::ReportDefinition::load(QDir(QStringLiteral(REPORTS_DIR)).filePath(QString::fromLatin1(file)));
        QSqlDatabase db = database->db();
        QBuffer out;
        out.open(QIODevice::WriteOnly);
        framework::ReportDocument::build(definition, db, params).writeCsv(out);
        return QString::fromUtf8(out.data()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    }

    std::unique_ptr<testdb::TestDatabase> database;
    std::unique_ptr<appserver::Dispatcher> dispatcher;
};

TEST_P(RelatoriosServidorTest, GroupingsAndTheirBranches)
{
    EXPECT_EQ(rows("GetAgrupFili", {}),
              (QStringList{"0000000001|Hospitais", "0000000002|Restaurantes e refeitórios"}));
    // The code is brought to its key width; the name is matched without regard to case.
    EXPECT_EQ(rows("getFiliaisdoGrupo", {"1"}),
              (QStringList{"N|0002|Hospital São Lucas", "N|0004|Hospital Santa Clara"}));
    EXPECT_TRUE(rows("GetFiliaisdoGrupo", {"99"}).isEmpty());
}

TEST_P(RelatoriosServidorTest, ServicesOfABranchAListOrAGrouping)
{
    const QStringList ofBranch = rows("GetServico", {"", "0002"});
    ASSERT_EQ(ofBranch.size(), 4);
    EXPECT_EQ(ofBranch[0], "N|Hospital São Lucas|000200001|00001|Dieta geral");
    EXPECT_EQ(rows("GetServico", {QString(), "0002"}).size(), 4); // an empty grouping may come as null
    EXPECT_EQ(rows("GetServico", {"", "0002_0003_"}).size(), 8);
    EXPECT_EQ(rows("GetServico", {"", "T"}).size(), 20); // five branches, four services each
    // A grouping keeps only its branches, whatever the list says.
    const QStringList hospitals = rows("GetServico", {"0000000001", "T"});
    EXPECT_EQ(hospitals.size(), 8);
    EXPECT_TRUE(rows("GetServico", {"0000000002", "0002"}).isEmpty());
    // A list is data, never part of the statement.
    EXPECT_TRUE(rows("GetServico", {"", "0002' OR '1'='1"}).size() <= 4);
}

TEST_P(RelatoriosServidorTest, NutrientsPerPortionAndPer100Grams)
{
    const QVariantMap params{{"P_IDTIPORECE", "P"}, {"P_CDFILAUXPRAT", "P"}, {"P_CDFILIAL", "0002"},
                             {"P_CDSERVFILI", "XXX"}, {"P_CDPRATOINIC", pratoteste::Prato},
                             {"P_CDPRATOFINA", pratoteste::Prato}, {"P_NIVEL", 0}, {"P_ORDENA", "0"},
                             {"P_CDNUTRIENTE", "001_002"}, {"P_CDFILCENTPME", ""}, {"P_CDTIPOCARD", ""}};
    // 0,15 x 1000 + 0,08 x 2000 = 310 kcal in a portion of 0,28 kg; 7,5 g of protein.
    EXPECT_EQ(report("Pla05001.QR2", params),
              (QStringList{"5010010099 - Prato de teste|", "|001|Calorias|kcal|310,00|110,71",
                           "|002|Proteínas|g|7,50|2,68"}));
    QVariantMap branch = params;
    branch["P_IDTIPORECE"] = "F";
    branch["P_CDFILAUXPRAT"] = "0002";
    branch["P_CDNUTRIENTE"] = "002_";
    EXPECT_EQ(report("Pla05001.QR2", branch), (QStringList{"5010010099 - Prato de teste|", "|002|Proteínas|g|10,00|5,00"}));
}

TEST_P(RelatoriosServidorTest, MacroNutrientsInColumnsOfTheirOwn)
{
    const QVariantMap params{{"P_IDTIPORECE", "P"}, {"P_CDFILAUXPRAT", "P"}, {"P_CDFILIAL", "0002"},
                             {"P_CDPRATOINIC", pratoteste::Prato}, {"P_CDPRATOFINA", "5010010099"},
                             {"P_NIVEL", 0}, {"P_ORDENA", "1"}, {"P_NUTRIENTE1", "002"}, {"P_NUTRIENTE2", ""},
                             {"P_NUTRIENTE3", ""}, {"P_NUTRIENTE4", ""}};
    EXPECT_EQ(report("Pla05002.QR2", params),
              QStringList{"|5010010099|Prato de teste|0,280|310,00|7,50|||7,50||||"});
}

// The portion is weighed in kilograms through each product's conversions: 0,100 KG of rice and
// one egg stocked by the unit (50 g) weigh 0,150 kg. An ingredient that no conversion takes to
// kilograms leaves the dish without a weight, and the report says which one.
TEST_P(RelatoriosServidorTest, ThePortionIsWeighedInKilogramsThroughEachProductsConversions)
{
    const QStringList statements{
        "INSERT INTO PRATO (CDFILAUXPRAT, CDPRATO, NMPRATO, CDNVPRATO, SGUNIDADE) VALUES "
        "('P', '5010010098', 'Arroz com ovo', '4', 'KG')",
        "INSERT INTO PRODPRAT (CDFILAUXPRAT, CDPRATO, CDPRODUTO, QTPRODPRAT, QTCALCNUTRPR) "
        "SELECT 'P', '5010010098', CDPRODUTO, 0.1, 0.1 FROM PRODUTO WHERE CDARVPROD = '3010010001'",
        "INSERT INTO PRODPRAT (CDFILAUXPRAT, CDPRATO, CDPRODUTO, QTPRODPRAT, QTCALCNUTRPR) "
        "SELECT 'P', '5010010098', CDPRODUTO, 1, 1 FROM PRODUTO WHERE CDARVPROD = '4020010001'",
    };
    QSqlDatabase db = database->db();
    for (const QString& sql : statements) {
        QSqlQuery q(db);
        ASSERT_TRUE(q.exec(sql)) << sql.toStdString();
    }
    const QVariantMap params{{"P_IDTIPORECE", "P"}, {"P_CDFILAUXPRAT", "P"}, {"P_CDFILIAL", "0002"},
                             {"P_CDSERVFILI", "XXX"}, {"P_CDPRATOINIC", "5010010098"}, {"P_CDPRATOFINA", "5010010098"},
                             {"P_NIVEL", 0}, {"P_ORDENA", "0"}, {"P_CDNUTRIENTE", "001_"}, {"P_NUTRIENTE1", ""},
                             {"P_NUTRIENTE2", ""}, {"P_NUTRIENTE3", ""}, {"P_NUTRIENTE4", ""}};
    // 0,1 kg x 3580 kcal + 1 egg x 71,5 kcal = 429,5 kcal in 0,150 kg: 286,33 kcal per 100 g.
    EXPECT_EQ(csv("Pla05001.QR2", params), (QStringList{"CDCHAVEPRATO;Código;Nutriente;Unidade;Por porção;Por 100 g",
                                                        "P5010010098;001;Calorias;kcal;429,50;286,33"}));
    EXPECT_EQ(csv("Pla05002.QR2", params).value(1), "5010010098;Arroz com ovo;0,150;429,50;13,70;4,75;79,60;;;;;");

    QSqlQuery q(db);
    ASSERT_TRUE(q.exec("INSERT INTO PRODUTO (CDPRODUTO, CDARVPROD, NMPRODUTO, SGUNIDADE, CDNVPRODUTO, CDPRODESTO) "
                       "VALUES ('T09', '5030019999', 'Tempero em caixa', 'CX', '4', 'T09')"));
    ASSERT_TRUE(q.exec("INSERT INTO PRODPRAT (CDFILAUXPRAT, CDPRATO, CDPRODUTO, QTPRODPRAT, QTCALCNUTRPR) "
                       "VALUES ('P', '5010010098', 'T09', 2, 2)"));
    EXPECT_EQ(report("Pla05001.QR2", params),
              (QStringList{"5010010098 - Arroz com ovo (sem peso: Tempero em caixa sem conversão para kg)|",
                           "|001|Calorias|kcal|429,50|"}));
    EXPECT_EQ(csv("Pla05002.QR2", params).value(1),
              "5010010098;Arroz com ovo;;429,50;13,70;4,75;79,60;;;;;Sem conversão para kg: Tempero em caixa");
}

TEST_P(RelatoriosServidorTest, RecipesByProductAtEveryLevel)
{
    QVariantMap params{{"P_IDTIPORECE", "P"}, {"P_CDFILIAL", "0002"}, {"P_PRODUTOINI", "5030019991"},
                       {"P_PRODUTOFIN", "503001999z"}, {"L_FILIAL1", "_0002_0004"}, {"L_FILIAL2", "_0002_0004"},
                       {"L_SERVICO1", "T"}, {"P_CDFILCENTPME", "0001"}, {"P_CDTIPOCARD", "HOSPITALAR"}};
    const QStringList padrao = report("PLA05501.QR2", params);
    ASSERT_EQ(padrao.size(), 9) << padrao.join("\n").toStdString();
    EXPECT_EQ(padrao[0], "5030019991 - Produto A (estoque em KG)|");
    EXPECT_EQ(padrao[1], "|5010010099|Prato de teste|Padrão|0,150|KG|0,20000");
    EXPECT_EQ(padrao[2], "Total do produto||||||0,20000");

    params["P_IDTIPORECE"] = "F";
    EXPECT_EQ(report("PLA05501.QR2", params),
              (QStringList{"5030019991 - Produto A (estoque em KG)|",
                           "|5010010099|Prato de teste|Filial 0002 - Hospital São Lucas|0,200||0,30000",
                           "|5010010099|Prato de teste|Filial 0004 - Hospital Santa Clara|0,200||0,30000",
                           "Total do produto||||||0,60000"}));
    params["L_FILIAL1"] = "_0004";
    EXPECT_EQ(report("PLA05501.QR2", params).size(), 3);

    params["P_IDTIPORECE"] = "S";
    params["L_SERVICO1"] = "000300001_";
    EXPECT_TRUE(report("PLA05501.QR2", params).isEmpty());
    params["L_SERVICO1"] = "000200001_";
    EXPECT_EQ(report("PLA05501.QR2", params).value(1), "|5010010099|Prato de teste|Serviço 0002/00001 - Dieta geral|0,400||0,50000");

    params["P_IDTIPORECE"] = "T";
    EXPECT_EQ(report("PLA05501.QR2", params).value(0), "5030019993 - Produto C (estoque em KG)|");
}

INSTANTIATE_TEST_SUITE_P(Backends, RelatoriosServidorTest, ::testing::Values(Backend::Sqlite, Backend::Postgres),
                         [](const auto& info) { return testdb::backendName(info.param); });

} // namespace
