// The dish cost and nutrition server methods on a dish worked out by hand (pratoteste.h), on both
// database families.
#include "appserver/dispatcher.h"
#include "db/demodata.h"
#include "framework/data/datapacket.h"
#include "pratoteste.h"
#include "testdatabase.h"

#include <QDate>
#include <gtest/gtest.h>
#include <map>

using framework::DataPacket;
using testdb::Backend;

namespace {

class ServidorCompanheirosTest : public ::testing::TestWithParam<Backend> {
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

    QVariant call(const char* object, const char* method, QVariantList args)
    {
        return dispatcher->call({db::DemoSupervisor, "teste"}, object, method, args);
    }

    DataPacket packet(const QVariant& result)
    {
        EXPECT_TRUE(framework::isPacket(result)) << result.value<framework::ServerFault>().message.toStdString();
        return framework::isPacket(result) ? framework::toPacket(result) : DataPacket();
    }

    // GetProduto as the cost form calls it: CDPRODUTO -> "CUSTO x QTBRUTA pattern".
    std::map<QString, QString> produtos(const QString& branch, const QString& service, const QString& site,
                                        const QVariant& date = QDate(2026, 7, 15), int costType = 3,
                                        const QString& central = {}, const QString& menuType = {})
    {
        const DataPacket p = packet(call("Pla01305.rdmCustoPrato", "GetProduto",
                                         {branch, service, pratoteste::Prato, "P", site, costType, date, central, menuType}));
        std::map<QString, QString> rows;
        const auto col = [&](const char* name) { return p.rows.indexOf(name); };
        for (int r = 0; r < p.rowCount(); ++r)
            rows[p.rows.text(r, col("CDPRODUTO"))] = QStringLiteral("%1 x %2 %3")
                                                          .arg(p.rows.value(r, col("CUSTO")).toString(),
                                                               p.rows.value(r, col("QTBRUTA")).toString(),
                                                               p.rows.text(r, col("IDINTESAFR")));
        return rows;
    }

    // GetNutriente: "CDNUTRIENTE NMNUTRIENTE QTNUTRIENTE SGUNIDADE" per row.
    QStringList nutrientes(const QString& branch, const QString& service, const QString& central = "X",
                           const QString& menuType = "X")
    {
        const DataPacket p = packet(call("PLA01304.rdmConsNutrPrat", "GetNutriente",
                                         {"P", branch, "0002", service, pratoteste::Prato, central, menuType}));
        QStringList rows;
        for (int r = 0; r < p.rowCount(); ++r)
            rows << QStringLiteral("%1 %2 %3 %4").arg(p.rows.text(r, 0), p.rows.text(r, 1),
                                                      p.rows.value(r, 2).toString(), p.rows.text(r, 3));
        return rows;
    }

    double ndpcal(const QString& branch, const QString& service, const QString& central = "X",
                  const QString& menuType = "X")
    {
        const QVariant result = call("PLA01304.rdmConsNutrPrat", "ProNDPCAL",
                                     {"P", "0002", branch, pratoteste::Prato, service, central, menuType});
        EXPECT_FALSE(framework::isServerFault(result)) << result.value<framework::ServerFault>().message.toStdString();
        return result.toDouble();
    }

    std::unique_ptr<testdb::TestDatabase> database;
    std::unique_ptr<appserver::Dispatcher> dispatcher;
};

TEST_P(ServidorCompanheirosTest, GetProdutoReadsTheRecipeOfTheLevelTheCodesName)
{
    using Rows = std::map<QString, QString>;
    // Standard recipe; the branch's prices are its central's.
    EXPECT_EQ(produtos("", "", "0002"), (Rows{{"T01", "12.5 x 0.2 333333222111"}, {"T02", "4 x 0.1 1111113"},
                                              {"T03", "8.0000049 x 0.0500049 33"}}));
    // Branch, service and menu-type recipes, each with only its own rows.
    EXPECT_EQ(produtos("0002", "", "0002"), (Rows{{"T01", "12.5 x 0.3 333333222111"}}));
    EXPECT_EQ(produtos("0002", "00001", "0002"), (Rows{{"T02", "4 x 0.5 1111113"}}));
    EXPECT_EQ(produtos("", "", "0002", QDate(2026, 7, 15), 3, "0001", "HOSPITALAR"),
              (Rows{{"T03", "8.0000049 x 1 33"}}));
    // A branch without its own level recipe has none: nothing borrowed from the standard one.
    EXPECT_TRUE(produtos("0003", "", "0003").empty());
    // The nutrition form's "X" reads as absent here too.
    EXPECT_EQ(produtos("X", "X", "0002").size(), 3u);
}

TEST_P(ServidorCompanheirosTest, GetProdutoPricesAtTheReferenceDateForTheCostType)
{
    // The price in force: the latest dated on or before the reference date (the date itself included).
    EXPECT_EQ(produtos("0002", "", "0002", QDate(2026, 6, 30))["T01"], "10 x 0.3 333333222111");
    EXPECT_EQ(produtos("0002", "", "0002", QDate(2026, 7, 1))["T01"], "12.5 x 0.3 333333222111");
    // Before any price: none.
    EXPECT_EQ(produtos("0002", "", "0002", QDate(2025, 12, 31))["T01"], " x 0.3 333333222111");
    // Another cost type has its own prices.
    EXPECT_EQ(produtos("0002", "", "0002", QDate(2026, 7, 15), 1)["T01"], "99 x 0.3 333333222111");
    // A branch's own price comes before its central's, from its own date on.
    EXPECT_EQ(produtos("0004", "", "0004")["T01"], "20 x 0.3 333333222111");
    EXPECT_EQ(produtos("0004", "", "0004", QDate(2026, 5, 31))["T01"], "10 x 0.3 333333222111");
    // The date may travel as ISO text.
    EXPECT_EQ(produtos("0002", "", "0002", QString("2026-06-30"))["T01"], "10 x 0.3 333333222111");
    const QVariant bad = call("Pla01305.rdmCustoPrato", "GetProduto",
                              {"", "", pratoteste::Prato, "P", "0002", 3, "31/02/2026", "", ""});
    ASSERT_TRUE(framework::isServerFault(bad));
    EXPECT_EQ(bad.value<framework::ServerFault>().message, "Data de referência inválida.");
}

TEST_P(ServidorCompanheirosTest, CodesFromTheClientStayValues)
{
    for (const char* attack : {"' OR '1'='1", "0002'; DELETE FROM PRODPRAT; --"}) {
        EXPECT_TRUE(produtos(attack, "", "0002").empty());
        EXPECT_TRUE(produtos("0002", attack, "0002").empty());
        EXPECT_TRUE(nutrientes(attack, "X").isEmpty());
        EXPECT_TRUE(nutrientes("X", "X", "0001", attack).isEmpty());
    }
    EXPECT_EQ(produtos("", "", "0002").size(), 3u);
}

TEST_P(ServidorCompanheirosTest, GetSinaSafraGivesTheSignalHoldingThePercentage)
{
    const auto signal = [this](const QVariant& percentage) {
        const DataPacket p = packet(call("Pla01305.rdmCustoPrato", "GetSinaSafra", {percentage}));
        QStringList names;
        for (int r = 0; r < p.rowCount(); ++r)
            names << p.rows.text(r, 0) + ":" + p.rows.value(r, 1).toString();
        return names.join(",");
    };
    EXPECT_EQ(signal(0.0), "Fora de safra:" + QString::number(0xC62828));
    EXPECT_EQ(signal(39.99), "Fora de safra:" + QString::number(0xC62828));
    EXPECT_EQ(signal(40.0), "Início de safra:" + QString::number(0xF9A825));
    EXPECT_EQ(signal(50.0), "Início de safra:" + QString::number(0xF9A825));
    EXPECT_EQ(signal(100.0), "Safra:" + QString::number(0x2E7D32));
    EXPECT_EQ(signal(100.01), "");
    EXPECT_TRUE(framework::isServerFault(call("Pla01305.rdmCustoPrato", "GetSinaSafra", {"muito"})));
}

TEST_P(ServidorCompanheirosTest, NutrientsAreSummedOverTheIngredientsOfTheLevel)
{
    EXPECT_EQ(nutrientes("X", "X"), (QStringList{"001 Calorias 310 kcal", "002 Proteínas 7.5 g"}));
    EXPECT_DOUBLE_EQ(ndpcal("X", "X"), 5.81);
    EXPECT_EQ(nutrientes("0002", "X"), (QStringList{"001 Calorias 200 kcal", "002 Proteínas 10 g"}));
    EXPECT_DOUBLE_EQ(ndpcal("0002", "X"), 12.0);
    // The service recipe has calories without protein.
    EXPECT_EQ(nutrientes("0002", "00001"), (QStringList{"001 Calorias 800 kcal"}));
    EXPECT_DOUBLE_EQ(ndpcal("0002", "00001"), 0.0);
    // No ingredient with nutrient contents: no nutrients, and no calories to divide by.
    EXPECT_TRUE(nutrientes("X", "X", "0001", "HOSPITALAR").isEmpty());
    EXPECT_DOUBLE_EQ(ndpcal("X", "X", "0001", "HOSPITALAR"), 0.0);
}

TEST_P(ServidorCompanheirosTest, EveryDemoDishHasCostsNutrientsAndSeasons)
{
    QSqlQuery dishes(database->db());
    ASSERT_TRUE(dishes.exec("SELECT CDPRATO FROM PRATO WHERE CDFILAUXPRAT = 'P' AND CDNVPRATO = '4' "
                            "AND CDPRATO <> '5010010099'"));
    int count = 0;
    while (dishes.next()) {
        const QString dish = dishes.value(0).toString();
        const DataPacket rows = packet(call("Pla01305.rdmCustoPrato", "GetProduto",
                                            {"", "", dish, "P", "0011", 3, QDate(2026, 7, 15), "", ""}));
        ASSERT_GT(rows.rowCount(), 0) << dish.toStdString();
        for (int r = 0; r < rows.rowCount(); ++r) {
            EXPECT_GT(rows.rows.value(r, rows.rows.indexOf("CUSTO")).toDouble(), 0) << dish.toStdString();
            EXPECT_EQ(rows.rows.text(r, rows.rows.indexOf("IDINTESAFR")).size(), 12) << dish.toStdString();
        }
        const QVariant ndp = call("PLA01304.rdmConsNutrPrat", "ProNDPCAL", {"P", "0002", "X", dish, "X", "X", "X"});
        EXPECT_GT(ndp.toDouble(), 0) << dish.toStdString();
        EXPECT_LT(ndp.toDouble(), 100) << dish.toStdString();
        ++count;
    }
    EXPECT_GE(count, 28);
}

} // namespace

INSTANTIATE_TEST_SUITE_P(Backends, ServidorCompanheirosTest, ::testing::Values(Backend::Sqlite, Backend::Postgres),
                         [](const auto& info) { return testdb::backendName(info.param); });
