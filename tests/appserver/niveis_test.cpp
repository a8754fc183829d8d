// The methods of the branch, service and menu-type recipes on both database families, over the
// demo data: the operator group's parameter, the base-product and fixed-quantity flags of one
// level's recipe, the last-row check of dishes on a menu, the production product of a level and
// the menu type's dish data with its null-field list.
#include "appserver/dispatcher.h"
#include "db/demodata.h"
#include "framework/data/clientdataset.h"
#include "testdatabase.h"

#include <QSqlQuery>
#include <gtest/gtest.h>

using framework::ClientDataSet;
using testdb::Backend;

namespace {

class NiveisTest : public ::testing::TestWithParam<Backend> {
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
        const QVariant result = dispatcher->call({caller, "teste"}, "Pla01300.rdmReceitaPadrao", method, args);
        lastArgs = args;
        return result;
    }
    ClientDataSet& packet(const QString& method, QVariantList args)
    {
        const QVariant result = call(method, std::move(args));
        EXPECT_NE(result.userType(), qMetaTypeId<framework::ServerFault>())
            << result.value<framework::ServerFault>().message.toStdString();
        rows.SetData(framework::toPacket(result));
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

    std::unique_ptr<testdb::TestDatabase> database;
    std::unique_ptr<appserver::Dispatcher> dispatcher;
    QVariantList lastArgs;
    QString caller = db::DemoSupervisor;
    ClientDataSet rows{nullptr, "rows"};
};

} // namespace

TEST_P(NiveisTest, TheOperatorsGroupAnswersWhetherRevisedRecipesMayChange)
{
    // The operator asked about is the caller's.
    const auto asOperator = [this](const QString& code, const QString& parameter) {
        caller = code;
        return call("GetParamGrup", {code, parameter}).toInt();
    };
    EXPECT_EQ(asOperator("SUPERV", "ARRV"), 1);
    EXPECT_EQ(asOperator("NUTRI", "ARRV"), -1);
    EXPECT_TRUE(framework::isServerFault(call("GetParamGrup", {"SUPERV", "ARRV"}))); // not told to NUTRI
    EXPECT_EQ(asOperator("NINGUEM", "ARRV"), 0);
    exec("UPDATE USUARIO SET CDGRUPOUSUA = NULL WHERE CDOPERADOR = 'NUTRI'");
    EXPECT_EQ(asOperator("NUTRI", "ARRV"), 0);
    EXPECT_EQ(asOperator("SUPERV", "OUTRO"), 0);
}

TEST_P(NiveisTest, TheBaseProductFlagChangesOneLevelsRecipeOfTheDishAndComesBackAsItsList)
{
    const auto flagged = [this](const QString& table, const QString& column, const QString& where) {
        return scalar(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE %2 = 'S' AND %3").arg(table, column, where));
    };
    ClientDataSet& branch = packet("ProUpProdBaseLO", {"P", "2010010001", "2", "S", "2", "201001"});
    EXPECT_EQ(lastArgs[3], "S");
    EXPECT_EQ(lastArgs[4], "0002");
    EXPECT_EQ(flagged("RECEFILI", "IDPRODBASELO", "CDFILIAL = '0002' AND CDPRATO = '2010010001'"),
              scalar("SELECT COUNT(*) FROM RECEFILI WHERE CDFILIAL = '0002' AND CDPRATO = '2010010001'"));
    ASSERT_FALSE(branch.IsEmpty());
    for (branch.First(); !branch.Eof(); branch.Next())
        EXPECT_EQ(branch.FieldByName("IDPRODBASELO")->AsString(), "S");
    EXPECT_EQ(flagged("RECEFILI", "IDPRODBASELO", "CDFILIAL <> '0002'"), "0");
    EXPECT_EQ(flagged("RECESERV", "IDPRODBASESE", "1 = 1"), "0");

    packet("ProUpProdBaseSE", {"P", "2010010001", "0002", "2", "S", "0002", "201001"});
    EXPECT_EQ(flagged("RECESERV", "IDPRODBASESE", "CDSERVFILI = '00002' AND CDPRATO = '2010010001'"),
              scalar("SELECT COUNT(*) FROM RECESERV WHERE CDSERVFILI = '00002' AND CDPRATO = '2010010001'"));
    packet("ProUpProdBaseSE", {"P", "2010010001", "0002", "2", "N", "0002", "201001"});
    EXPECT_EQ(flagged("RECESERV", "IDPRODBASESE", "1 = 1"), "0");

    // One menu type of the central; the other menu types keep their flags.
    ClientDataSet& menu = packet("ProUpProdBaseTP", {"P", "2010010001", "S", "0002", "201001", "0001", "HOSPITALAR"});
    EXPECT_EQ(flagged("RECETPCARD", "IDPRODBASEPRTP", "CDTIPOCARD = 'HOSPITALAR'"),
              scalar("SELECT COUNT(*) FROM RECETPCARD WHERE CDTIPOCARD = 'HOSPITALAR'"));
    EXPECT_EQ(flagged("RECETPCARD", "IDPRODBASEPRTP", "CDTIPOCARD <> 'HOSPITALAR'"), "0");
    EXPECT_EQ(menu.FieldByName("CDTIPOCARD")->AsString(), "HOSPITALAR");
    // Without its menu type the call is refused rather than reaching every menu type.
    EXPECT_EQ(call("ProUpProdBaseTP", {"P", "2020010001", "S", "0003", "202001", "0001", ""}).userType(),
              qMetaTypeId<framework::ServerFault>());
    EXPECT_EQ(flagged("RECETPCARD", "IDPRODBASEPRTP", "CDTIPOCARD = 'PADRAO'"), "0");

    // The fixed-quantity flag of a menu-type recipe takes the central and menu type in the key slots.
    packet("ProUpdQtdeFix", {"T", "P", "2020010001", "0001", "PADRAO", "S", "0003", "202001"});
    EXPECT_EQ(flagged("RECETPCARD", "IDQTDEFIXPRTP", "CDTIPOCARD = 'PADRAO'"),
              scalar("SELECT COUNT(*) FROM RECETPCARD WHERE CDTIPOCARD = 'PADRAO'"));
    EXPECT_EQ(flagged("RECETPCARD", "IDQTDEFIXPRTP", "CDTIPOCARD = 'HOSPITALAR'"), "0");
    EXPECT_EQ(flagged("PRODPRAT", "IDQTDEFIXPR", "1 = 1"), "0");
}

TEST_P(NiveisTest, TheLastRowOfADishOnABranchsMenuStays)
{
    // Rice is on the lunch menu of 0002; beans are on that of 0003 only.
    EXPECT_EQ(call("Verif_DelReceita", {"0002", "P", "2010010001", "L"}).toString(), "Prato_RecRevisada");
    EXPECT_EQ(call("Verif_DelReceita", {"2", "P", "2010010001", "S"}).toString(), "Prato_RecRevisada");
    EXPECT_EQ(call("Verif_DelReceita", {"0004", "P", "2010010001", "S"}).toString(), "");
    EXPECT_EQ(call("Verif_DelReceita", {"0002", "P", "2020010001", "L"}).toString(), "");
    EXPECT_EQ(call("Verif_DelReceita", {"", "P", "2010010001", "P"}).toString(), "Prato_RecPadrao");
}

TEST_P(NiveisTest, AProductionProductOfAnotherDishOfTheBranchOrServiceIsFound)
{
    const QString product = scalar("SELECT CDPRODUTO FROM PRODUTO WHERE CDARVPROD = '3010010001'");
    exec("INSERT INTO PRATFILI (CDFILIAL, CDFILAUXPRAT, CDPRATO, CDPRODPRODUCAO) VALUES ('0002', 'P', '2010010002', '"
         + product + "')");
    exec("INSERT INTO PRATSERV (CDFILIAL, CDSERVFILI, CDFILAUXPRAT, CDPRATO, CDPRODPRODUCAO) "
         "VALUES ('0002', '00001', 'P', '2010010002', '" + product + "')");
    EXPECT_EQ(packet("VerificaProdProd", {product, "P", "2010010001", "F", "0002", ""}).RecordCount(), 1);
    EXPECT_EQ(packet("VerificaProdProd", {product, "P", "2010010001", "F", "0004", ""}).RecordCount(), 0);
    EXPECT_EQ(packet("VerificaProdProd", {product, "P", "2010010002", "F", "0002", ""}).RecordCount(), 0);
    EXPECT_EQ(packet("VerificaProdProd", {product, "P", "2010010001", "S", "0002", "1"}).RecordCount(), 1);
    EXPECT_EQ(packet("VerificaProdProd", {product, "P", "2010010001", "S", "0002", "00002"}).RecordCount(), 0);
}

TEST_P(NiveisTest, TheMenuTypesDishDataIsWrittenWithItsNullFieldsAndDeleted)
{
    ClientDataSet list{nullptr, "list"}, dish{nullptr, "cdsPratTpCard"};
    QVariantList args{"201001", "0002", "0001", "ESCOLAR"};
    const QVariantList loaded = dispatcher->call({db::DemoSupervisor, "teste"}, "Pla01300.rdmReceitaPadrao", "GetReceitaTpCard", args).toList();
    ASSERT_EQ(loaded.size(), 2);
    dish.SetData(framework::toPacket(loaded[1]));
    ASSERT_TRUE(dish.IsEmpty());
    dish.Append();
    for (const auto& [field, value] : {std::pair{"CDFILCENTPME", "0001"}, {"CDTIPOCARD", "ESCOLAR"},
                                       {"CDFILAUXPRAT", "P"}, {"CDPRATO", "2010010001"}, {"NMFANTASIAPRTP", "Arroz"},
                                       {"IDATIVO", "S"}})
        dish.FieldByName(field)->setAsString(value);
    dish.FieldByName("QTPADRAOPRATTP")->setAsFloat(0.12);
    dish.FieldByName("QTCONTAIPRATTP")->setAsFloat(2);
    dish.Post();
    const auto send = [&](const QString& nulls) {
        return call("UpdPratTpCard", {QVariant::fromValue(dish.GetDelta()), nulls}).toString();
    };
    ASSERT_EQ(send("_NRCORPRIPRATTP_"), "");
    dish.MergeChangeLog();
    const QString where = " FROM PRATTPCARD WHERE CDTIPOCARD = 'ESCOLAR' AND CDPRATO = '2010010001'";
    EXPECT_EQ(scalar("SELECT NMFANTASIAPRTP" + where), "Arroz");

    // A field named in the list is cleared; a key named there stays.
    dish.Edit();
    dish.FieldByName("NMFANTASIAPRTP")->setAsString("Arroz soltinho");
    dish.FieldByName("QTCONTAIPRATTP")->Clear();
    dish.Post();
    ASSERT_EQ(send("_QTCONTAIPRATTP_CDPRATO_"), "");
    dish.MergeChangeLog();
    EXPECT_EQ(scalar("SELECT COUNT(*)" + where + " AND QTCONTAIPRATTP IS NULL AND NMFANTASIAPRTP = 'Arroz soltinho'"),
              "1");

    dish.Delete();
    ASSERT_EQ(send(""), "");
    EXPECT_EQ(scalar("SELECT COUNT(*)" + where), "0");
}

INSTANTIATE_TEST_SUITE_P(Backends, NiveisTest, ::testing::Values(Backend::Sqlite, Backend::Postgres),
                         [](const auto& info) { return testdb::backendName(info.param); });
