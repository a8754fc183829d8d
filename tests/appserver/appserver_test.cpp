#include "appserver/changelog.h"
#include "appserver/dispatcher.h"
#include "db/demodata.h"
#include "framework/data/clientdataset.h"
#include "testdatabase.h"

#include <QSqlQuery>
#include <gtest/gtest.h>

using framework::DataPacket;
using framework::ServerFault;
using testdb::Backend;
using testdb::TestDatabase;

namespace {

const char* const ReceitaPadrao = "Pla01300.rdmReceitaPadrao";

class AppServerTest : public ::testing::TestWithParam<Backend> {
protected:
    void SetUp() override
    {
        if (!testdb::available(GetParam()))
            GTEST_SKIP() << "TEST_PG_CONN não definido";
        database = std::make_unique<TestDatabase>(GetParam());
        const QString name = database->connectionName();
        dispatcher = std::make_unique<appserver::Dispatcher>([name] { return QSqlDatabase::database(name, false); });
    }

    QVariant call(const QString& method, QVariantList args = {}, const QString& object = ReceitaPadrao)
    {
        return dispatcher->call({db::DemoSupervisor, "teste"}, object, method, args);
    }

    DataPacket packet(const QString& method, QVariantList args = {}, const QString& object = ReceitaPadrao)
    {
        const QVariant result = call(method, args, object);
        EXPECT_TRUE(framework::isPacket(result))
            << method.toStdString() << ": " << result.value<ServerFault>().message.toStdString();
        return framework::isPacket(result) ? framework::toPacket(result) : DataPacket();
    }

    QString scalar(const QString& sql)
    {
        QSqlQuery q(database->db());
        EXPECT_TRUE(q.exec(sql)) << sql.toStdString();
        return q.next() ? q.value(0).toString() : QString();
    }

    // The containers of dish 1010010001 (00001 principal, 00003) loaded into a dataset, as the
    // form holds them.
    std::unique_ptr<framework::ClientDataSet> containers()
    {
        auto cds = std::make_unique<framework::ClientDataSet>(nullptr, "cdsPratoContainer");
        cds->SetData(packet("GetPratoContainer", {"1010010001", "P"}));
        return cds;
    }

    static void appendContainer(framework::ClientDataSet& cds, const QString& container)
    {
        cds.Append();
        cds.FieldByName("CDFILAUXPRAT")->setValue("P");
        cds.FieldByName("CDPRATO")->setValue("1010010001");
        cds.FieldByName("CDCONTAINER")->setValue(container);
        cds.FieldByName("QTPRATCONTAINER")->setValue(7.0);
        cds.FieldByName("IDPRATCONTPRI")->setValue("N");
        cds.Post();
    }

    std::unique_ptr<TestDatabase> database;
    std::unique_ptr<appserver::Dispatcher> dispatcher;
};

QStringList names(const DataPacket& p)
{
    QStringList list;
    for (const auto& f : p.fields())
        list << f.name;
    return list;
}

} // namespace

TEST_P(AppServerTest, GetPratoGivesTheTreeOfTheBranchWithTheDishColumns)
{
    QVariantList args{"3"};
    const QVariant result = dispatcher->call({db::DemoSupervisor, "teste"}, ReceitaPadrao, "getprato", args); // any letter case
    ASSERT_TRUE(framework::isPacket(result));
    const DataPacket dishes = framework::toPacket(result);
    EXPECT_EQ(args[0].toString(), "0003"); // the branch comes back at its key width

    EXPECT_EQ(names(dishes), QStringList({"CDPRATO", "NMPRATO", "CDNVPRATO", "CDFILAUXPRAT", "CDFILIAL", "SGUNIDADE",
                                          "VRARREDTRANS", "CDSEGMER", "DSSEGMER", "NRFORMAPREPARO", "NMFORMAPREPARO",
                                          "IDFREQUENCIA", "QTTEMPOPRAT", "VRVALIDADE", "IDATIVO", "CDPRODPRODUCAO",
                                          "CDARVPROD", "NMPRODUTO"}));
    EXPECT_EQ(dishes.fields()[0].size, 10);
    EXPECT_EQ(dishes.fields()[1].size, 40);

    const int owner = dishes.rows.indexOf("CDFILAUXPRAT");
    const int name = dishes.rows.indexOf("NMPRATO");
    QStringList owners, dishNames;
    for (int r = 0; r < dishes.rowCount(); ++r) {
        owners << dishes.rows.text(r, owner);
        dishNames << dishes.rows.text(r, name);
    }
    EXPECT_TRUE(owners.contains("0003"));   // the branch's own dishes
    EXPECT_TRUE(owners.contains("P"));
    EXPECT_TRUE(dishNames.contains("Arroz branco"));
    EXPECT_TRUE(dishNames.contains("Feijão carioca"));
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM PRATO WHERE CDFILAUXPRAT IN ('P', '0003')").toInt(), dishes.rowCount());

    const DataPacket other = packet("GetPrato", {"0002"}); // another branch does not see them
    for (int r = 0; r < other.rowCount(); ++r)
        EXPECT_EQ(other.rows.text(r, owner), "P");
}

TEST_P(AppServerTest, ParameterMethodsAnswerTheirPackets)
{
    const DataPacket geral = packet("GetParamGeral");
    ASSERT_EQ(geral.rowCount(), 1);
    EXPECT_EQ(geral.rows.text(0, geral.rows.indexOf("CDPICTPRAT")), "9.99.999.9999");

    const DataPacket planeja = packet("GetParamPlaneja", {"0002"});
    ASSERT_EQ(planeja.rowCount(), 1);
    EXPECT_EQ(planeja.rows.text(0, planeja.rows.indexOf("IDQTLIQUBRUT")), "B");
    EXPECT_GE(planeja.rows.indexOf("IDPERDADEGELO"), 0);

    EXPECT_EQ(packet("GetGerParamGeral").rows.text(0, 0), "S");

    const QVariant params = call("GetParams", {"0002"});
    ASSERT_EQ(params.typeId(), QMetaType::QVariantList);
    const QVariantList parts = params.toList();
    ASSERT_EQ(parts.size(), 3);
    EXPECT_EQ(framework::toPacket(parts[0]).rowCount(), 1);
    EXPECT_EQ(framework::toPacket(parts[1]).rowCount(), 1);
    EXPECT_EQ(names(framework::toPacket(parts[2])), QStringList({"CDPRODUTO", "IDCNTRESTOQ"}));

    const DataPacket aux = packet("GetPratoAux", {"0003"});
    EXPECT_EQ(names(aux), QStringList({"CDCHAVEPRATO", "CDPRATO", "NMPRATO", "CDFILAUXPRAT", "CDNVPRATO"}));
    EXPECT_EQ(aux.rows.text(0, 0), aux.rows.text(0, 1) + aux.rows.text(0, 3));

    const DataPacket all = packet("GetCentral", {"T", db::DemoSupervisor});
    EXPECT_EQ(all.rowCount(), 2);
    const DataPacket one = packet("GetCentral", {"0010", db::DemoSupervisor});
    ASSERT_EQ(one.rowCount(), 1);
    EXPECT_EQ(one.rows.text(0, one.rows.indexOf("NMCENTRAL")), "Central Norte Refeições");
    EXPECT_EQ(packet("GetCentral", {"0002", db::DemoSupervisor}).rowCount(), 0); // a branch is no central

    const DataPacket tipos = packet("GetTipoCusto", {}, "Cus.rdmCustProd");
    ASSERT_EQ(tipos.rowCount(), 4);
    EXPECT_EQ(tipos.rows.text(2, 1), "Custo de Cotação (Lista de Preços)");
}

TEST_P(AppServerTest, UnknownNamesAndMissingArgumentsAnswerFaults)
{
    QVariantList args{"0002"};
    EXPECT_TRUE(framework::isServerFault(dispatcher->call({db::DemoSupervisor, "teste"}, "Nada.rdmNada", "GetPrato", args)));
    EXPECT_TRUE(framework::isServerFault(dispatcher->call({db::DemoSupervisor, "teste"}, ReceitaPadrao, "GetNada", args)));
    QVariantList none;
    const QVariant missing = dispatcher->call({db::DemoSupervisor, "teste"}, ReceitaPadrao, "GetPrato", none);
    ASSERT_TRUE(framework::isServerFault(missing));
    EXPECT_TRUE(missing.value<ServerFault>().message.contains("argumento"));
    // An update without its change log answers a status text, not a fault.
    const QVariant update = dispatcher->call({db::DemoSupervisor, "teste"}, ReceitaPadrao, "UpdParamGeral", none);
    EXPECT_EQ(update.typeId(), QMetaType::QString);
    EXPECT_FALSE(update.toString().isEmpty());
}

// The change logs below are a dish's containers: a list the form inserts into, changes and
// deletes from, under no supervisor's authorisation.
TEST_P(AppServerTest, ChangeLogIsAppliedAndReadBack)
{
    auto cds = containers();
    ASSERT_TRUE(cds->Locate("CDCONTAINER", "00003"));
    cds->Edit();
    cds->FieldByName("QTPRATCONTAINER")->setValue(3.0);
    cds->Post();
    appendContainer(*cds, "00004");
    EXPECT_EQ(call("SetContainer", {QVariant::fromValue(cds->GetDelta())}).toString(), "");
    cds->MergeChangeLog();

    EXPECT_EQ(scalar("SELECT QTPRATCONTAINER FROM PRATOCONTAINER WHERE CDPRATO = '1010010001' AND CDCONTAINER = '00003'"),
              "3");
    EXPECT_EQ(scalar("SELECT QTPRATCONTAINER FROM PRATOCONTAINER WHERE CDPRATO = '1010010001' AND CDCONTAINER = '00004'"),
              "7");

    // Clearing a value and deleting a row, from the values just written.
    ASSERT_TRUE(cds->Locate("CDCONTAINER", "00003"));
    cds->Edit();
    cds->FieldByName("QTPRATCONTAINER")->Clear();
    cds->Post();
    ASSERT_TRUE(cds->Locate("CDCONTAINER", "00004"));
    cds->Delete();
    EXPECT_EQ(call("SetContainer", {QVariant::fromValue(cds->GetDelta())}).toString(), "");
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM PRATOCONTAINER WHERE QTPRATCONTAINER IS NULL AND CDCONTAINER = '00003'"), "1");
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM PRATOCONTAINER WHERE CDPRATO = '1010010001'"), "2");
}

TEST_P(AppServerTest, FailingUpdateChangesNothingAndAnswersItsText)
{
    auto cds = containers();
    ASSERT_TRUE(cds->Locate("CDCONTAINER", "00003"));
    cds->Edit();
    cds->FieldByName("QTPRATCONTAINER")->setValue(5.0); // valid on its own...
    cds->Post();
    appendContainer(*cds, "00001"); // ...but this row repeats the key
    const QString before = database->fingerprint();
    const QString status = call("SetContainer", {QVariant::fromValue(cds->GetDelta())}).toString();
    EXPECT_FALSE(status.isEmpty());
    EXPECT_TRUE(status.contains("PRATOCONTAINER")) << status.toStdString();
    EXPECT_EQ(database->fingerprint(), before);
    EXPECT_EQ(scalar("SELECT QTPRATCONTAINER FROM PRATOCONTAINER WHERE CDPRATO = '1010010001' AND CDCONTAINER = '00003'"),
              "2");
    EXPECT_EQ(cds->ChangeCount(), 2); // the log stays pending for the form
}

TEST_P(AppServerTest, RowChangedBySomeoneElseIsRefusedWholesale)
{
    auto first = containers();
    auto second = containers();

    ASSERT_TRUE(first->Locate("CDCONTAINER", "00003"));
    first->Edit();
    first->FieldByName("QTPRATCONTAINER")->setValue(4.0);
    first->Post();
    ASSERT_EQ(call("SetContainer", {QVariant::fromValue(first->GetDelta())}).toString(), "");

    // The second client read the row before the first one wrote it.
    ASSERT_TRUE(second->Locate("CDCONTAINER", "00003"));
    second->Edit();
    second->FieldByName("QTPRATCONTAINER")->setValue(6.0);
    second->Post();
    appendContainer(*second, "00004");
    const QString before = database->fingerprint();
    const QString status = call("SetContainer", {QVariant::fromValue(second->GetDelta())}).toString();
    EXPECT_EQ(status, appserver::conflictText("PRATOCONTAINER"));
    EXPECT_EQ(database->fingerprint(), before); // the insertion of the same log was not kept either
    EXPECT_EQ(scalar("SELECT QTPRATCONTAINER FROM PRATOCONTAINER WHERE CDPRATO = '1010010001' AND CDCONTAINER = '00003'"),
              "4");

    // Deleting a row someone else changed is refused the same way.
    second->CancelUpdates();
    ASSERT_TRUE(second->Locate("CDCONTAINER", "00003"));
    second->Delete();
    EXPECT_EQ(call("SetContainer", {QVariant::fromValue(second->GetDelta())}).toString(),
              appserver::conflictText("PRATOCONTAINER"));
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM PRATOCONTAINER WHERE CDPRATO = '1010010001'"), "2");
}

TEST_P(AppServerTest, ColumnsTheTableLacksAreNeverWritten)
{
    // A packet whose column names try to smuggle SQL: they match no column and are ignored.
    framework::FieldDefs defs{{"CDFILAUXPRAT", framework::FieldType::String, 4},
                              {"CDPRATO", framework::FieldType::String, 10},
                              {"CDCONTAINER", framework::FieldType::String, 5},
                              {"NMCONTAINER = 'x'; DROP TABLE FILIAL; --", framework::FieldType::String, 10},
                              {"QTPRATCONTAINER", framework::FieldType::Float}};
    DataPacket log(defs);
    const int row = log.appendRow(framework::RowStatus::Inserted);
    log.rows.setValue(row, 0, "P");
    log.rows.setValue(row, 1, "1010010001");
    log.rows.setValue(row, 2, "00004");
    log.rows.setValue(row, 3, "x");
    log.rows.setValue(row, 4, 1.0);
    EXPECT_EQ(call("SetContainer", {QVariant::fromValue(log)}).toString(), "");
    EXPECT_EQ(scalar("SELECT QTPRATCONTAINER FROM PRATOCONTAINER WHERE CDPRATO = '1010010001' AND CDCONTAINER = '00004'"),
              "1");
    // A column the packet does not bring takes the table's default.
    EXPECT_EQ(scalar("SELECT IDPRATCONTPRI FROM PRATOCONTAINER WHERE CDPRATO = '1010010001' AND CDCONTAINER = '00004'"),
              "N");
    EXPECT_GT(scalar("SELECT COUNT(*) FROM FILIAL").toInt(), 0);

    DataPacket keyless(framework::FieldDefs{{"QTPRATCONTAINER", framework::FieldType::Float}});
    keyless.appendRow(framework::RowStatus::Inserted);
    EXPECT_FALSE(call("SetContainer", {QVariant::fromValue(keyless)}).toString().isEmpty());
}

TEST_P(AppServerTest, SupervisorAuthorisationChecksPasswordAndRight)
{
    const QString op = "ALTERACAO_PRATO_PADRAO";
    const auto autoriza = [&](const QString& user, const QString& password, const QString& operation) {
        return call("Autoriza", {user, password, 4, operation, ""}, "Est.rdmAutoriza").toString();
    };
    EXPECT_EQ(autoriza(db::DemoSupervisor, db::DemoSupervisorPassword, op), "");
    EXPECT_EQ(autoriza(QString(db::DemoSupervisor).toLower(), db::DemoSupervisorPassword, op), "");
    EXPECT_EQ(autoriza(db::DemoSupervisor, "errada", op), "Usuário ou senha inválidos.");
    EXPECT_EQ(autoriza("NINGUEM", "1234", op), "Usuário ou senha inválidos.");
    EXPECT_EQ(autoriza(db::DemoSupervisor, "' OR '1'='1", op), "Usuário ou senha inválidos.");
    EXPECT_TRUE(autoriza(db::DemoOperator, db::DemoOperatorPassword, op).contains("não tem permissão"));
    EXPECT_TRUE(autoriza(db::DemoSupervisor, db::DemoSupervisorPassword, "OUTRA_OPERACAO").contains("não tem permissão"));

    EXPECT_TRUE(call("TemAutorizacao", {db::DemoSupervisor, 4, op}, "Est.rdmAutoriza").toBool());
    EXPECT_FALSE(call("TemAutorizacao", {db::DemoOperator, 4, op}, "Est.rdmAutoriza").toBool());
    EXPECT_FALSE(call("TemAutorizacao", {db::DemoSupervisor, 5, op}, "Est.rdmAutoriza").toBool());
}

INSTANTIATE_TEST_SUITE_P(Backends, AppServerTest, ::testing::Values(Backend::Sqlite, Backend::Postgres),
                         [](const auto& info) { return testdb::backendName(info.param); });
