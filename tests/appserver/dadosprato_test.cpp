// The dish data updates of the standard, branch and service levels with their null-field
// lists, the standard-recipe check of a local revision and the household measures, on both
// database families.
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

class DadosPratoTest : public ::testing::TestWithParam<Backend> {
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
        return dispatcher->call({db::DemoSupervisor, "teste"}, "Pla01300.rdmReceitaPadrao", method, args);
    }

    // The dish data of a page loader (element 1).
    void load(const QString& method, const QVariantList& args)
    {
        const QVariantList parts = call(method, args).toList();
        ASSERT_EQ(parts.size(), 2);
        dish.SetData(framework::toPacket(parts[1]));
    }

    QString send(const QString& method, const QString& nulls)
    {
        return call(method, {QVariant::fromValue(dish.GetDelta()), nulls}).toString();
    }

    QString scalar(const QString& sql)
    {
        QSqlQuery q(database->db());
        EXPECT_TRUE(q.exec(sql)) << sql.toStdString();
        return q.next() ? (q.isNull(0) ? QStringLiteral("<null>") : q.value(0).toString()) : QString();
    }

    std::unique_ptr<testdb::TestDatabase> database;
    std::unique_ptr<appserver::Dispatcher> dispatcher;
    ClientDataSet dish{nullptr, "dish"};
};

} // namespace

TEST_P(DadosPratoTest, ABranchRecordIsInsertedAndTheNamedFieldsBecomeNull)
{
    load("GetReceitaLoc", {"201001", "0002", "0002"});
    EXPECT_EQ(dish.RecordCount(), 0);
    dish.Insert();
    dish.FieldByName("CDFILIAL")->setAsString("0002");
    dish.FieldByName("CDFILAUXPRAT")->setAsString("P");
    dish.FieldByName("CDPRATO")->setAsString("2010010001");
    dish.FieldByName("NMFANTASIAPF")->setAsString("Arroz da casa");
    dish.FieldByName("QTAMOSTRFILI")->setAsFloat(0.2);
    dish.FieldByName("IDATIVO")->setAsString("S");
    dish.Post();
    EXPECT_EQ(send("UpdPratFili", "_"), "");
    dish.MergeChangeLog();
    EXPECT_EQ(scalar("SELECT NMFANTASIAPF FROM PRATFILI WHERE CDFILIAL = '0002' AND CDPRATO = '2010010001'"),
              "Arroz da casa");

    // The loader gives the record back as the dish data of the branch page.
    load("GetReceitaLoc", {"201001", "0002", "0002"});
    ASSERT_EQ(dish.RecordCount(), 1);
    dish.Edit();
    dish.FieldByName("QTPADRAOFILI")->setAsFloat(3);
    dish.Post();
    // The list names the sample as null although this change did not touch it.
    EXPECT_EQ(send("UpdPratFili", "_QTAMOSTRFILI_NMMEDICASE_"), "");
    EXPECT_EQ(scalar("SELECT QTAMOSTRFILI FROM PRATFILI WHERE CDPRATO = '2010010001'"), "<null>");
    EXPECT_EQ(scalar("SELECT QTPADRAOFILI FROM PRATFILI WHERE CDPRATO = '2010010001'"), "3");
}

TEST_P(DadosPratoTest, AKeyOrAnUnknownNameInTheListRefusesTheWholeUpdate)
{
    load("GetReceitaPad", {"201001", "0002"});
    ASSERT_TRUE(dish.Locate("CDPRATO", "2010010001"));
    const QString before = scalar("SELECT NMFANTASIAPR FROM DADOSPRAT WHERE CDPRATO = '2010010001'");
    dish.Edit();
    dish.FieldByName("NMFANTASIAPR")->setAsString("Outro nome");
    dish.Post();
    for (const char* nulls : {"_CDPRATO_", "_QTAMOSTRPADR_X; DROP TABLE PRATO_"}) {
        EXPECT_FALSE(send("UpdDadosPrat", nulls).isEmpty()) << nulls;
        EXPECT_EQ(scalar("SELECT NMFANTASIAPR FROM DADOSPRAT WHERE CDPRATO = '2010010001'"), before);
    }
    EXPECT_EQ(send("UpdDadosPrat", "_"), "");
    EXPECT_EQ(scalar("SELECT NMFANTASIAPR FROM DADOSPRAT WHERE CDPRATO = '2010010001'"), "Outro nome");
    EXPECT_NE(scalar("SELECT QTAMOSTRPADR FROM DADOSPRAT WHERE CDPRATO = '2010010001'"), "<null>");
}

TEST_P(DadosPratoTest, ServiceRecordsAndTheirDeletion)
{
    load("GetReceitaSer", {"201001", "0002", "0002", "00002"});
    dish.Insert();
    dish.FieldByName("CDFILIAL")->setAsString("0002");
    dish.FieldByName("CDSERVFILI")->setAsString("00002");
    dish.FieldByName("CDFILAUXPRAT")->setAsString("P");
    dish.FieldByName("CDPRATO")->setAsString("2010010001");
    dish.FieldByName("IDPRODCHILL")->setAsString("S");
    dish.FieldByName("QTLIMSEGSERV")->setAsString("2");
    dish.FieldByName("IDTPPRODCHILL")->setAsString("CONGELADO");
    dish.Post();
    EXPECT_EQ(send("UpdPratServ", "_NMFANTASIASE_"), "");
    dish.MergeChangeLog();
    EXPECT_EQ(scalar("SELECT IDTPPRODCHILL FROM PRATSERV WHERE CDSERVFILI = '00002'"), "CONGELADO");
    dish.Delete();
    EXPECT_EQ(send("UpdPratServ", ""), "");
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM PRATSERV WHERE CDFILIAL = '0002'"), "0");
}

TEST_P(DadosPratoTest, StandardRecipeCheckAndHouseholdMeasures)
{
    EXPECT_EQ(call("Verif_PratRecPadrao", {"P", "2010010001"}).toString(), "N");
    scalar("DELETE FROM PRODPRAT WHERE CDPRATO = '2010010001'");
    EXPECT_EQ(call("Verif_PratRecPadrao", {"P", "2010010001"}).toString(), "S");

    ClientDataSet measures{nullptr, "cdsMediCase"};
    measures.SetData(framework::toPacket(call("getMediCase", {})));
    EXPECT_EQ(measures.RecordCount(), 5);
    measures.SetData(framework::toPacket(call("vdMediCase", {"2"})));
    ASSERT_EQ(measures.RecordCount(), 1);
    EXPECT_EQ(measures.FieldByName("NMMEDICASE")->AsString(), "Concha média");
    measures.SetData(framework::toPacket(call("vdMediCase", {"99999"})));
    EXPECT_EQ(measures.RecordCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(Backends, DadosPratoTest, ::testing::Values(Backend::Sqlite, Backend::Postgres),
                         [](const auto& info) { return testdb::backendName(info.param); });
