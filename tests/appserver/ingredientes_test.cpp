// The product lookups and the row-wide updates behind the ingredient lists, on both database
// families, over the demo data.
#include "appserver/dispatcher.h"
#include "db/demodata.h"
#include "framework/data/clientdataset.h"
#include "testdatabase.h"

#include <QSqlQuery>
#include <gtest/gtest.h>

using framework::ClientDataSet;
using testdb::Backend;

namespace {

class IngredientesTest : public ::testing::TestWithParam<Backend> {
protected:
    void SetUp() override
    {
        if (!testdb::available(GetParam()))
            GTEST_SKIP() << "TEST_PG_CONN não definido";
        database = std::make_unique<testdb::TestDatabase>(GetParam());
        const QString name = database->connectionName();
        dispatcher = std::make_unique<appserver::Dispatcher>([name] { return QSqlDatabase::database(name, false); });
    }

    QVariant call(const QString& method, QVariantList args)
    {
        const QVariant result = dispatcher->call({db::DemoSupervisor, "teste"}, "Pla01300.rdmReceitaPadrao", method, args);
        lastArgs = args;
        EXPECT_NE(result.userType(), qMetaTypeId<framework::ServerFault>())
            << result.value<framework::ServerFault>().message.toStdString();
        return result;
    }
    ClientDataSet& packet(const QString& method, QVariantList args)
    {
        rows.SetData(framework::toPacket(call(method, std::move(args))));
        return rows;
    }
    QString scalar(const QString& sql)
    {
        QSqlQuery q(database->db());
        EXPECT_TRUE(q.exec(sql)) << sql.toStdString();
        return q.next() ? q.value(0).toString() : QString();
    }
    void exec(const QString& sql)
    {
        QSqlQuery q(database->db());
        ASSERT_TRUE(q.exec(sql)) << sql.toStdString();
    }
    QString product(const QString& tree) { return scalar("SELECT CDPRODUTO FROM PRODUTO WHERE CDARVPROD = '" + tree + "'"); }

    std::unique_ptr<testdb::TestDatabase> database;
    std::unique_ptr<appserver::Dispatcher> dispatcher;
    QVariantList lastArgs;
    ClientDataSet rows{nullptr, "rows"};
};

} // namespace

TEST_P(IngredientesTest, TheProductListsHoldUsableProductsOfTheGroupingAndTheBranch)
{
    ClientDataSet& all = packet("getPesqProduto", {"4", ""});
    EXPECT_TRUE(all.Locate("CDARVPROD", "2030010001"));
    EXPECT_FALSE(all.Locate("CDARVPROD", "20301")); // groups are no ingredients
    const int count = all.RecordCount();
    // A grouping the client never set arrives as no text at all: every product.
    EXPECT_EQ(packet("getPesqProduto", {"4", QString()}).RecordCount(), count);
    ClientDataSet& eggsAndMilk = packet("getPesqProduto", {"4", "40"});
    EXPECT_GT(eggsAndMilk.RecordCount(), 0);
    EXPECT_LT(eggsAndMilk.RecordCount(), count);
    for (eggsAndMilk.First(); !eggsAndMilk.Eof(); eggsAndMilk.Next())
        EXPECT_TRUE(eggsAndMilk.FieldByName("CDARVPROD")->AsString().startsWith("40"));
    // A grouping with a wildcard is a code, not a pattern.
    EXPECT_TRUE(packet("getPesqProduto", {"4", "4_"}).IsEmpty());
    // Branch 0005 has taken the tilapia out of its line.
    EXPECT_FALSE(packet("GetProdutoCache", {"4", "5", ""}).Locate("CDARVPROD", "2030010001"));
    EXPECT_TRUE(packet("GetProdutoCache", {"4", "0002", ""}).Locate("CDARVPROD", "2030010001"));
}

TEST_P(IngredientesTest, StatusStockAndCleaningLossOfAProduct)
{
    EXPECT_EQ(call("Verif_Status_Prod", {"0005", "4", "2030010001"}).toString(), "PROD_INATIVO");
    EXPECT_EQ(call("Verif_Status_Prod", {"0002", "4", "2030010001"}).toString(), "");
    exec("UPDATE PRODUTO SET IDATIVO = 'N' WHERE CDARVPROD = '3010010001'");
    EXPECT_EQ(call("Verif_Status_Prod", {"0002", "4", "3010010001"}).toString(), "PROD_INATIVO");

    EXPECT_FALSE(call("GetVerifProd", {"0002", product("4020010001")}).toBool());
    exec("UPDATE PRODUTO SET IDCNTRESTOQ = 'N' WHERE CDARVPROD = '4020010001'");
    EXPECT_TRUE(call("GetVerifProd", {"0002", product("4020010001")}).toBool());

    EXPECT_EQ(call("GetValorProduto", {product("1040010001")}).toString(), "15");
    exec("UPDATE PRODUTO SET VRPEFATOCORR = 12.5 WHERE CDARVPROD = '1040010001'");
    EXPECT_EQ(call("GetValorProduto", {product("1040010001")}).toString(), "12,5");
    EXPECT_EQ(call("GetValorProduto", {"NADA"}).toString(), "0");
}

TEST_P(IngredientesTest, InactiveIngredientsOfARecipeAndTheDeletionOfItsLastRow)
{
    const QVariantList standard{"0002", "4", "2010010001", "P", "x", "RP", "x", "x", "x", "x", "x"};
    ClientDataSet& active = packet("Verif_Prod_Inativo", standard);
    EXPECT_EQ(active.RecordCount(), 4);
    for (active.First(); !active.Eof(); active.Next()) {
        EXPECT_EQ(active.FieldByName("IDPRODATIVPR")->AsString(), "S");
        EXPECT_EQ(active.FieldByName("IDPRODATIV")->AsString(), "A");
    }
    exec("UPDATE PRODUTO SET IDATIVO = 'N' WHERE CDARVPROD = '3010010001'");
    ClientDataSet& one = packet("Verif_Prod_Inativo", standard);
    ASSERT_TRUE(one.Locate("CDARVPROD", "3010010001"));
    EXPECT_EQ(one.FieldByName("IDPRODATIVPR")->AsString(), "N");
    EXPECT_EQ(one.FieldByName("TAB")->AsString(), "RP");

    EXPECT_EQ(call("Verif_DelReceita", {"", "P", "2010010001", "P"}).toString(), "Prato_RecPadrao");
    EXPECT_EQ(call("Verif_DelReceita", {"0002", "P", "2020010001", "L"}).toString(), ""); // not on 0002's menus
    exec("UPDATE PRATO SET IDATIVO = 'N' WHERE CDFILAUXPRAT = 'P' AND CDPRATO = '2010010001'");
    EXPECT_EQ(call("Verif_DelReceita", {"", "P", "2010010001", "P"}).toString(), "");

    // Another dish producing the same product.
    EXPECT_TRUE(packet("VerificaProdProd", {product("3010010001"), "P", "2010010001", "P", "", ""}).IsEmpty());
    exec("UPDATE PRATO SET CDPRODPRODUCAO = '" + product("3010010001") + "' WHERE CDPRATO IN ('2010010001', '2010010002')");
    EXPECT_EQ(packet("VerificaProdProd", {product("3010010001"), "P", "2010010001", "P", "", ""}).RecordCount(), 1);
}

// Each recipe kind is named in its own slot; what the reply calls the kind is the kind recognised,
// whatever the other slots hold.
TEST_P(IngredientesTest, TheInactiveCheckOfEachLevelAnswersTheKindItRecognised)
{
    const QString attack = "' || (SELECT MIN(DSHASHSENHA) FROM USUARIO) || '";
    const QList<std::pair<QString, QVariantList>> levels{
        {"RP", {"0002", "4", "2010010001", "P", attack, "RP", attack, attack, attack, attack, attack}},
        {"RL", {"2", "4", "2010010001", "P", attack, attack, "RL", attack, attack, attack, attack}},
        {"RS", {"0002", "4", "2010010001", "P", "2", attack, attack, "RS", attack, attack, attack}},
        {"RT", {"0002", "4", "2010010001", "P", attack, attack, attack, attack, "RT", "1", " HOSPITALAR"}},
    };
    for (const auto& [kind, args] : levels) {
        SCOPED_TRACE(kind.toStdString());
        ClientDataSet& found = packet("Verif_Prod_Inativo", args);
        EXPECT_GT(found.RecordCount(), 0);
        for (found.First(); !found.Eof(); found.Next())
            EXPECT_EQ(found.FieldByName("TAB")->AsString(), kind);
    }
    QVariantList noKind{"0002", "4", "2010010001", "P", "x", "x", "x", "x", "x", "x", "x"};
    const QVariant none = dispatcher->call({db::DemoSupervisor, "teste"}, "Pla01300.rdmReceitaPadrao", "Verif_Prod_Inativo", noKind);
    EXPECT_EQ(none.value<framework::ServerFault>().message, "Tipo de receita não informado.");
}

TEST_P(IngredientesTest, AFlagClickedOnTheTitleReachesEveryRowOfTheDishAndComesBackAsTheGroupsList)
{
    ClientDataSet& fixed = packet("ProUpdQtdeFix", {"P", "P", "2010010001", "", "", "S", "2", "201001"});
    EXPECT_EQ(lastArgs[6], "0002");
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM PRODPRAT WHERE CDPRATO = '2010010001' AND IDQTDEFIXPR = 'S'"), "4");
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM PRODPRAT WHERE CDPRATO <> '2010010001' AND IDQTDEFIXPR = 'S'"), "0");
    ASSERT_TRUE(fixed.Locate("CDPRATO", "2010010002")); // the whole group comes back
    ASSERT_TRUE(fixed.Locate("CDPRATO", "2010010001"));
    EXPECT_EQ(fixed.FieldByName("IDQTDEFIXPR")->AsString(), "S");

    packet("ProUpProdBasePR", {"P", "2010010001", "S", "2", "201001"});
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM PRODPRAT WHERE CDPRATO = '2010010001' AND IDPRODBASEPR = 'S'"), "4");

    // The branch level's flag, on that branch's rows only.
    const QString before = scalar("SELECT COUNT(*) FROM RECEFILI WHERE IDQTDEFIXLO = 'S'");
    packet("ProUpdQtdeFix", {"L", "P", "2010010001", "0002", "", "S", "0002", "201001"});
    const QString rowsOfBranch =
        scalar("SELECT COUNT(*) FROM RECEFILI WHERE CDFILIAL = '0002' AND CDPRATO = '2010010001'");
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM RECEFILI WHERE IDQTDEFIXLO = 'S' AND CDFILIAL = '0002' "
                     "AND CDPRATO = '2010010001'"),
              rowsOfBranch);
    EXPECT_NE(before, scalar("SELECT COUNT(*) FROM RECEFILI WHERE IDQTDEFIXLO = 'S'"));
}

INSTANTIATE_TEST_SUITE_P(Backends, IngredientesTest, ::testing::Values(Backend::Sqlite, Backend::Postgres),
                         [](const auto& info) { return testdb::backendName(info.param); });
