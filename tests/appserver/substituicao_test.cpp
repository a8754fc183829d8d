// The swap of an ingredient for an optional product and the production products, on both
// database families, over the demo data: the hospital (0002) locks its revised recipes and holds
// a revised recipe of the white rice (P 2010010001) at the branch, its pasty diet and the
// hospital menu type of central 0001.
#include "appserver/dispatcher.h"
#include "db/demodata.h"
#include "framework/data/clientdataset.h"
#include "testdatabase.h"

#include <QSqlQuery>
#include <gtest/gtest.h>

using framework::ClientDataSet;
using testdb::Backend;

namespace {

const QString Rice = QStringLiteral("2010010001");

class SubstituicaoTest : public ::testing::TestWithParam<Backend> {
protected:
    void SetUp() override
    {
        if (!testdb::available(GetParam()))
            GTEST_SKIP() << "TEST_PG_CONN não definido";
        database = std::make_unique<testdb::TestDatabase>(GetParam());
        const QString name = database->connectionName();
        dispatcher = std::make_unique<appserver::Dispatcher>([name] { return QSqlDatabase::database(name, false); });
    }

    QVariant call(const QString& method, QVariantList& args)
    {
        return dispatcher->call({db::DemoSupervisor, "teste"}, "Pla01300.rdmReceitaPadrao", method, args);
    }
    ClientDataSet& packet(const QString& method, QVariantList args)
    {
        const QVariant result = call(method, args);
        EXPECT_NE(result.userType(), qMetaTypeId<framework::ServerFault>())
            << result.value<framework::ServerFault>().message.toStdString();
        lastArgs = args;
        rows.SetData(framework::toPacket(result));
        return rows;
    }
    // The fault's text of a refused call, empty when it passed.
    QString refusal(const QString& method, QVariantList args)
    {
        const QVariant result = call(method, args);
        return result.userType() == qMetaTypeId<framework::ServerFault>() ? result.value<framework::ServerFault>().message
                                                                          : QString();
    }
    QString scalar(const QString& sql)
    {
        QSqlQuery q(database->db());
        EXPECT_TRUE(q.exec(sql)) << sql.toStdString();
        return q.next() ? q.value(0).toString() : QString();
    }
    QString product(const QString& tree) { return scalar("SELECT CDPRODUTO FROM PRODUTO WHERE CDARVPROD = '" + tree + "'"); }
    // The branch's revised rice recipe, one text per row, in product order.
    QString branchRecipe()
    {
        QSqlQuery q(database->db());
        EXPECT_TRUE(q.exec("SELECT CDPRODUTO, SGUNIDADE, QTPRODRECLOC, QTBRUTALOUNR, VRPEFATCORLO FROM RECEFILI "
                           "WHERE CDFILIAL = '0002' AND CDPRATO = '2010010001' ORDER BY CDPRODUTO"));
        QStringList list;
        while (q.next())
            list << QStringList{q.value(0).toString(), q.value(1).toString(), q.value(2).toString(),
                                q.value(3).toString(), q.value(4).toString()}
                        .join(u' ');
        return list.join(u'|');
    }
    // The eleven arguments of the swap at the branch level.
    QVariantList swapAtBranch(const QString& branch, const QString& from, const QString& to, const QString& unit,
                              double loss)
    {
        return {Rice, "201001", branch, "", product(from), product(to), unit, loss, "N", "", ""};
    }

    std::unique_ptr<testdb::TestDatabase> database;
    std::unique_ptr<appserver::Dispatcher> dispatcher;
    QVariantList lastArgs;
    ClientDataSet rows{nullptr, "rows"};
};

} // namespace

TEST_P(SubstituicaoTest, TheOptionalProductsAreTheActiveAlternativesOfTheIngredient)
{
    ClientDataSet& garlic = packet("PesqProdOpc", {"1040010001", "4"});
    ASSERT_EQ(garlic.RecordCount(), 1);
    EXPECT_EQ(garlic.FieldByName("CDARVPROD")->AsString(), "1040010002");
    EXPECT_EQ(garlic.FieldByName("SGUNIDADE")->AsString(), "MC");
    EXPECT_DOUBLE_EQ(garlic.FieldByName("VRPEFATOCORR")->AsFloat(), 10);
    EXPECT_EQ(garlic.FieldByName("CDPRODESTO")->AsString(), garlic.FieldByName("CDPRODUTO")->AsString());
    EXPECT_TRUE(packet("PesqProdOpc", {"3010010001", "4"}).IsEmpty()); // the rice has none
    EXPECT_TRUE(packet("PesqProdOpc", {"1040010001'--", "4"}).IsEmpty());
}

TEST_P(SubstituicaoTest, TheSwapConvertsTheQuantityIntoTheNewUnitAndTakesItsCleaningLoss)
{
    const QString before = branchRecipe();
    const QString garlicElsewhere = scalar("SELECT COUNT(*) FROM PRODPRAT P, RECESERV S WHERE P.CDPRODUTO = '"
                                           + product("1040010001") + "' AND S.CDPRODUTO = P.CDPRODUTO");
    // Garlic (kg) for parsley (bunches of 100 g): 10 bunches a kilogram.
    ClientDataSet& list = packet("TrocaProduto", swapAtBranch("0002", "1040010001", "1040010002", "MC", 10));
    ASSERT_TRUE(list.Locate("CDPRODUTO", product("1040010002")));
    EXPECT_EQ(list.FieldByName("CDPRATO")->AsString(), Rice);
    EXPECT_EQ(list.FieldByName("SGUNIDADE")->AsString(), "MC");
    EXPECT_NEAR(list.FieldByName("QTPRODRECLOC")->AsFloat(), 0.022, 1e-9);
    EXPECT_DOUBLE_EQ(list.FieldByName("VRPEFATCORLO")->AsFloat(), 10);
    EXPECT_DOUBLE_EQ(list.FieldByName("VRPEFATCORLOAP")->AsFloat(), 90);
    EXPECT_NEAR(list.FieldByName("QTBRUTALOUNR")->AsFloat(), 0.02444, 1e-9);
    EXPECT_NEAR(list.FieldByName("QTBRUTALO")->AsFloat(), 0.02444, 1e-9);
    EXPECT_FALSE(list.Locate("CDPRODUTO", product("1040010001")));
    EXPECT_EQ(list.RecordCount(), before.count(u'|') + 1); // one row took the other's place

    // Nothing else changed: the standard recipe and the service's keep the garlic.
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM PRODPRAT P, RECESERV S WHERE P.CDPRODUTO = '" + product("1040010001")
                     + "' AND S.CDPRODUTO = P.CDPRODUTO"),
              garlicElsewhere);
    EXPECT_NE(garlicElsewhere, "0");
}

TEST_P(SubstituicaoTest, WithoutAConversionTheQuantityStaysInTheNewUnit)
{
    // Soya oil (litres) for margarine (kg): no conversion between them.
    ClientDataSet& list = packet("TrocaProduto", swapAtBranch("0002", "5010010001", "5010010002", "KG", 0));
    ASSERT_TRUE(list.Locate("CDPRODUTO", product("5010010002")));
    EXPECT_EQ(list.FieldByName("SGUNIDADE")->AsString(), "KG");
    EXPECT_NEAR(list.FieldByName("QTPRODRECLOC")->AsFloat(), 0.0033, 1e-9);
    EXPECT_NEAR(list.FieldByName("QTBRUTALO")->AsFloat(), 0.0033, 1e-9);
}

TEST_P(SubstituicaoTest, TheServiceAndTheMenuTypeSwapTheirOwnRecipe)
{
    ClientDataSet& service = packet("TrocaProduto", {Rice, "201001", "0002", "00002", product("1040010001"),
                                                     product("1040010002"), "MC", 10.0, "N", "", ""});
    EXPECT_TRUE(service.Locate("CDPRODUTO", product("1040010002")));
    EXPECT_EQ(service.FieldByName("CDSERVFILI")->AsString(), "00002");
    ClientDataSet& menu = packet("TrocaProduto", {Rice, "201001", "0002", "", product("1040010001"),
                                                  product("1040010002"), "MC", 10.0, "S", "0001", "HOSPITALAR"});
    ASSERT_TRUE(menu.Locate("CDPRODUTO", product("1040010002")));
    EXPECT_NEAR(menu.FieldByName("QTPRODPRATTP")->AsFloat(), 0.018, 1e-9);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM RECEFILI WHERE CDPRODUTO = '" + product("1040010002") + "'"), "0");
}

TEST_P(SubstituicaoTest, ARefusedSwapLeavesTheDatabaseUntouched)
{
    const QString before = branchRecipe();
    // Not an optional product of the garlic; a unit or a loss other than the product's; a branch
    // that does not lock its revised recipes; a product the recipe already holds.
    EXPECT_NE(refusal("TrocaProduto", swapAtBranch("0002", "1040010001", "3010010001", "KG", 0)), "");
    EXPECT_NE(refusal("TrocaProduto", swapAtBranch("0002", "1040010001", "1040010002", "KG", 10)), "");
    EXPECT_NE(refusal("TrocaProduto", swapAtBranch("0002", "1040010001", "1040010002", "MC", 3)), "");
    EXPECT_TRUE(refusal("TrocaProduto", swapAtBranch("0003", "1040010001", "1040010002", "MC", 10))
                    .startsWith(QString::fromUtf8("A troca de ingrediente só é feita nas receitas revisadas")));
    QSqlQuery q(database->db());
    ASSERT_TRUE(q.exec("INSERT INTO PRODOPC (CDPRODUTO, CDPRODOPC) VALUES ('" + product("1040010001") + "', '"
                       + product("5020010001") + "')"));
    EXPECT_NE(refusal("TrocaProduto", swapAtBranch("0002", "1040010001", "5020010001", "KG", 0)), "");
    // Inactive in the branch.
    ASSERT_TRUE(q.exec("UPDATE PRODFILI SET IDPRODATIV = 'I' WHERE CDFILIAL = '0002' AND CDPRODUTO = '"
                       + product("1040010002") + "'"));
    EXPECT_EQ(refusal("TrocaProduto", swapAtBranch("0002", "1040010001", "1040010002", "MC", 10)),
              "Receita não pode conter produto inativo.");
    EXPECT_EQ(branchRecipe(), before);
}

TEST_P(SubstituicaoTest, TheProductionProductsAreThoseNoOtherDishYields)
{
    ClientDataSet& all = packet("GetProdProd", {"", "T", "P", Rice});
    const int count = all.RecordCount();
    EXPECT_GT(count, 20);
    EXPECT_FALSE(all.Locate("CDARVPROD", "20301")); // groups yield nothing
    QSqlQuery q(database->db());
    ASSERT_TRUE(q.exec("UPDATE PRATO SET CDPRODPRODUCAO = '" + product("3010010001")
                       + "' WHERE CDFILAUXPRAT = 'P' AND CDPRATO = '2010010002'"));
    EXPECT_EQ(packet("GetProdProd", {"", "T", "P", Rice}).RecordCount(), count - 1);
    EXPECT_TRUE(packet("GetProdProd", {" 3010010001", "", "P", Rice}).IsEmpty());
    // The dish that yields it may keep it; the code comes back trimmed.
    EXPECT_EQ(packet("GetProdProd", {" 3010010001", "", "P", "2010010002"}).RecordCount(), 1);
    EXPECT_EQ(lastArgs.value(0).toString(), "3010010001");
    EXPECT_TRUE(packet("GetProdProd", {"", "", "P", Rice}).IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(Backends, SubstituicaoTest, ::testing::Values(Backend::Sqlite, Backend::Postgres),
                         [](const auto& info) { return testdb::backendName(info.param); });
