// The recipe page loaders and the ingredient-list updates, on both database families: a group
// of dishes at a time, each level's keys, whole change logs or nothing.
#include "appserver/dispatcher.h"
#include "db/demodata.h"
#include "framework/data/clientdataset.h"
#include "testdatabase.h"

#include <QSqlQuery>
#include <gtest/gtest.h>

static void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

using framework::ClientDataSet;
using testdb::Backend;

namespace {

class ReceitasTest : public ::testing::TestWithParam<Backend> {
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

    // Loads a page: the list into `list`, the dish data into `dish`.
    void load(const QString& method, QVariantList args, ClientDataSet& list, ClientDataSet& dish)
    {
        const QVariant result = call(method, args);
        ASSERT_EQ(result.typeId(), QMetaType::QVariantList) << result.value<framework::ServerFault>().message.toStdString();
        const QVariantList parts = result.toList();
        ASSERT_EQ(parts.size(), 2);
        list.SetData(framework::toPacket(parts[0]));
        dish.SetData(framework::toPacket(parts[1]));
        lastArgs = args;
    }

    QString send(const QString& method, ClientDataSet& list)
    {
        QVariantList args{QVariant::fromValue(list.GetDelta())};
        return call(method, args).toString();
    }

    QString scalar(const QString& sql)
    {
        QSqlQuery q(database->db());
        EXPECT_TRUE(q.exec(sql)) << sql.toStdString();
        return q.next() ? q.value(0).toString() : QString();
    }

    static QStringList dishesOf(ClientDataSet& ds)
    {
        QStringList codes;
        for (ds.First(); !ds.Eof(); ds.Next())
            if (!codes.contains(ds.FieldByName("CDPRATO")->AsString()))
                codes << ds.FieldByName("CDPRATO")->AsString();
        return codes;
    }

    std::unique_ptr<testdb::TestDatabase> database;
    std::unique_ptr<appserver::Dispatcher> dispatcher;
    QVariantList lastArgs;
    ClientDataSet list{nullptr, "list"}, dish{nullptr, "dish"};
};

} // namespace

TEST_P(ReceitasTest, TheStandardLoaderGivesTheGroupsDishesOfTheStandardTreeAndTheBranchs)
{
    load("GetReceitaPad", {"101001", "3"}, list, dish);
    EXPECT_EQ(lastArgs[1], "0003"); // the branch comes back at its key width
    EXPECT_EQ(dishesOf(list), (QStringList{"1010010901", "1010010001", "1010010002", "1010010003", "1010010004"}));
    ASSERT_TRUE(list.Locate("CDPRATO;CDARVPROD", {"1010010001", "2010010001"}));
    EXPECT_FALSE(list.FieldByName("NMPRODUTO")->AsString().isEmpty());
    EXPECT_EQ(list.FieldByName("SGUNIDPROD")->AsString(), "KG");
    EXPECT_EQ(dishesOf(dish), (QStringList{"1010010001", "1010010002", "1010010003", "1010010004"}));
    EXPECT_EQ(dish.FieldByName("NMMEDICASE")->AsString(), "Concha média");

    // Another branch sees none of 0003's local dish; a code with wildcards matches nothing.
    load("GetReceitaPad", {"101001", "0002"}, list, dish);
    EXPECT_FALSE(dishesOf(list).contains("1010010901"));
    load("GetReceitaPad", {"10%", "0002"}, list, dish);
    EXPECT_TRUE(list.IsEmpty());
    load("GetReceitaPad", {"101001' OR '1'='1", "0002"}, list, dish);
    EXPECT_TRUE(list.IsEmpty());
}

TEST_P(ReceitasTest, EachLevelLoadsOnlyItsBranchServiceOrMenuType)
{
    load("GetReceitaLoc", {"201001", "0002", "2"}, list, dish);
    EXPECT_EQ(dishesOf(list), QStringList{"2010010001"});
    EXPECT_EQ(list.FieldByName("CDFILIAL")->AsString(), "0002");
    load("GetReceitaLoc", {"201001", "0002", "0003"}, list, dish);
    EXPECT_TRUE(list.IsEmpty());

    load("GetReceitaSer", {"201001", "0002", "0002", "2"}, list, dish);
    EXPECT_EQ(dishesOf(list), QStringList{"2010010001"});
    EXPECT_EQ(list.FieldByName("CDSERVFILI")->AsString(), "00002");
    load("GetReceitaSer", {"201001", "0002", "0002", "00001"}, list, dish);
    EXPECT_TRUE(list.IsEmpty());

    load("GetReceitaTpCard", {"201001", "0002", "0001", "HOSPITALAR"}, list, dish);
    EXPECT_EQ(dishesOf(list), QStringList{"2010010001"});
    EXPECT_TRUE(list.FindField("QTPRODPRATTP"));
    load("GetReceitaTpCard", {"201001", "0002", "0009", "HOSPITALAR"}, list, dish);
    EXPECT_TRUE(list.IsEmpty());
}

TEST_P(ReceitasTest, AStandardListEditedInsertedAndDeletedReadsBackTheSame)
{
    load("GetReceitaPad", {"201001", "0002"}, list, dish);
    ASSERT_TRUE(list.Locate("CDPRATO;CDARVPROD", {"2010010001", "3010010001"}));
    list.Edit();
    list.FieldByName("QTPRODPRAT")->setAsFloat(0.075);
    list.FieldByName("IDQTDEFIXPR")->setAsString("S");
    list.Post();
    ASSERT_TRUE(list.Locate("CDPRATO;CDARVPROD", {"2010010002", "5010010001"}));
    list.Delete();
    list.Append();
    list.FieldByName("CDFILAUXPRAT")->setAsString("P");
    list.FieldByName("CDPRATO")->setAsString("2010010002");
    list.FieldByName("CDPRODUTO")->setAsString(scalar("SELECT CDPRODUTO FROM PRODUTO WHERE CDARVPROD = '4020010001'"));
    list.FieldByName("CDARVPROD")->setAsString("4020010001");
    list.FieldByName("QTPRODPRAT")->setAsFloat(0.01);
    list.Post();
    ASSERT_EQ(send("UpdProdPrat", list).toStdString(), "");

    ClientDataSet again{nullptr, "again"};
    load("GetReceitaPad", {"201001", "0002"}, again, dish);
    EXPECT_EQ(again.RecordCount(), list.RecordCount());
    ASSERT_TRUE(again.Locate("CDPRATO;CDARVPROD", {"2010010001", "3010010001"}));
    EXPECT_DOUBLE_EQ(again.FieldByName("QTPRODPRAT")->AsFloat(), 0.075);
    EXPECT_EQ(again.FieldByName("IDQTDEFIXPR")->AsString(), "S");
    EXPECT_FALSE(again.Locate("CDPRATO;CDARVPROD", {"2010010002", "5010010001"}));
    ASSERT_TRUE(again.Locate("CDPRATO;CDARVPROD", {"2010010002", "4020010001"}));
    EXPECT_DOUBLE_EQ(again.FieldByName("QTPRODPRAT")->AsFloat(), 0.01);
}

TEST_P(ReceitasTest, AChangeLogIsAppliedWholeOrNotAtAll)
{
    load("GetReceitaLoc", {"201001", "0002", "0002"}, list, dish);
    ASSERT_GE(list.RecordCount(), 2);
    list.First();
    list.Edit();
    list.FieldByName("QTPRODRECLOC")->setAsFloat(9);
    list.Post();
    list.Next();
    const QString product = list.FieldByName("CDPRODUTO")->AsString();
    list.Edit();
    list.FieldByName("QTPRODRECLOC")->setAsFloat(8);
    list.Post();
    // Someone else changed the second row meanwhile.
    scalar("UPDATE RECEFILI SET QTPRODRECLOC = 1 WHERE CDFILIAL = '0002' AND CDPRODUTO = '" + product + "'");
    EXPECT_FALSE(send("UpdReceFili", list).isEmpty());
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM RECEFILI WHERE QTPRODRECLOC = 9"), "0");

    // The service and menu-type lists reach their own tables.
    load("GetReceitaSer", {"201001", "0002", "0002", "00002"}, list, dish);
    list.First();
    list.Edit();
    list.FieldByName("QTPRODRECSER")->setAsFloat(7);
    list.Post();
    EXPECT_EQ(send("UpdReceServ", list), "");
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM RECESERV WHERE QTPRODRECSER = 7"), "1");
    load("GetReceitaTpCard", {"201001", "0002", "0001", "HOSPITALAR"}, list, dish);
    list.First();
    list.Delete();
    EXPECT_EQ(send("UpdReceTpCard", list), "");
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM RECETPCARD WHERE CDTIPOCARD = 'HOSPITALAR'"), QString::number(list.RecordCount()));
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM PRODPRAT WHERE CDPRATO = '2010010001'"), "4");
}

TEST_P(ReceitasTest, GeneralParametersAreUpdatedFromTheirChangeLog)
{
    QVariantList args;
    ClientDataSet param{nullptr, "cdsParamGeral"};
    param.SetData(framework::toPacket(call("GetParamGeral", args)));
    param.Edit();
    param.FieldByName("CDNVBLPRAT")->setAsString("2");
    param.Post();
    EXPECT_EQ(send("UpdParamGeral", param), "");
    EXPECT_EQ(scalar("SELECT CDNVBLPRAT FROM PARAMGERAL"), "2");
}

INSTANTIATE_TEST_SUITE_P(Backends, ReceitasTest, ::testing::Values(Backend::Sqlite, Backend::Postgres),
                         [](const auto& info) { return testdb::backendName(info.param); });
