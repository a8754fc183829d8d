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
        return dispatcher->call(object, method, args);
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

    // The general parameters loaded into a dataset, as the form holds them.
    std::unique_ptr<framework::ClientDataSet> paramGeral()
    {
        auto cds = std::make_unique<framework::ClientDataSet>(nullptr, "cdsParamGeral");
        cds->SetData(packet("GetParamGeral"));
        return cds;
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
    const QVariant result = dispatcher->call(ReceitaPadrao, "getprato", args); // any letter case
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

    const DataPacket all = packet("GetCentral", {"T", db::DemoOperator});
    EXPECT_EQ(all.rowCount(), 2);
    const DataPacket one = packet("GetCentral", {"0010", db::DemoOperator});
    ASSERT_EQ(one.rowCount(), 1);
    EXPECT_EQ(one.rows.text(0, one.rows.indexOf("NMCENTRAL")), "Central Norte Refeições");
    EXPECT_EQ(packet("GetCentral", {"0002", db::DemoOperator}).rowCount(), 0); // a branch is no central

    const DataPacket tipos = packet("GetTipoCusto", {}, "Cus.rdmCustProd");
    ASSERT_EQ(tipos.rowCount(), 4);
    EXPECT_EQ(tipos.rows.text(2, 1), "Custo de Cotação (Lista de Preços)");
}

TEST_P(AppServerTest, UnknownNamesAndMissingArgumentsAnswerFaults)
{
    QVariantList args{"0002"};
    EXPECT_TRUE(framework::isServerFault(dispatcher->call("Nada.rdmNada", "GetPrato", args)));
    EXPECT_TRUE(framework::isServerFault(dispatcher->call(ReceitaPadrao, "GetNada", args)));
    QVariantList none;
    const QVariant missing = dispatcher->call(ReceitaPadrao, "GetPrato", none);
    ASSERT_TRUE(framework::isServerFault(missing));
    EXPECT_TRUE(missing.value<ServerFault>().message.contains("argumento"));
    // An update without its change log answers a status text, not a fault.
    const QVariant update = dispatcher->call(ReceitaPadrao, "UpdParamGeral", none);
    EXPECT_EQ(update.typeId(), QMetaType::QString);
    EXPECT_FALSE(update.toString().isEmpty());
}

TEST_P(AppServerTest, ChangeLogIsAppliedAndReadBack)
{
    auto cds = paramGeral();
    cds->Edit();
    cds->FieldByName("CDNVBLPRAT")->setValue("3");
    cds->FieldByName("CDGRUPPROD")->setValue("1");
    cds->Post();
    cds->Append();
    cds->FieldByName("CDPARGERAL")->setValue("0002");
    cds->FieldByName("CDPICTPRAT")->setValue("9.99.9999");
    cds->Post();
    EXPECT_EQ(call("UpdParamGeral", {QVariant::fromValue(cds->GetDelta())}).toString(), "");
    cds->MergeChangeLog();

    EXPECT_EQ(scalar("SELECT CDNVBLPRAT || CDGRUPPROD FROM PARAMGERAL WHERE CDPARGERAL = '0001'"), "31");
    EXPECT_EQ(scalar("SELECT CDPICTPRAT FROM PARAMGERAL WHERE CDPARGERAL = '0002'"), "9.99.9999");
    EXPECT_EQ(scalar("SELECT IDPERMSELCENTRALPLA FROM PARAMGERAL WHERE CDPARGERAL = '0002'"), "N"); // default

    // Clearing a value and deleting a row, from the values just written.
    cds->First();
    cds->Edit();
    cds->FieldByName("CDGRUPPROD")->Clear();
    cds->Post();
    cds->Last();
    cds->Delete();
    EXPECT_EQ(call("UpdParamGeral", {QVariant::fromValue(cds->GetDelta())}).toString(), "");
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM PARAMGERAL WHERE CDGRUPPROD IS NULL AND CDPARGERAL = '0001'"), "1");
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM PARAMGERAL"), "1");
}

TEST_P(AppServerTest, FailingUpdateChangesNothingAndAnswersItsText)
{
    auto cds = paramGeral();
    cds->Edit();
    cds->FieldByName("CDNVBLPRAT")->setValue("2"); // valid on its own...
    cds->Post();
    cds->Append();
    cds->FieldByName("CDPARGERAL")->setValue("0001"); // ...but this row repeats the key
    cds->Post();
    const QString before = database->fingerprint();
    const QString status = call("UpdParamGeral", {QVariant::fromValue(cds->GetDelta())}).toString();
    EXPECT_FALSE(status.isEmpty());
    EXPECT_TRUE(status.contains("PARAMGERAL")) << status.toStdString();
    EXPECT_EQ(database->fingerprint(), before);
    EXPECT_EQ(cds->ChangeCount(), 2); // the log stays pending for the form
}

TEST_P(AppServerTest, RowChangedBySomeoneElseIsRefusedWholesale)
{
    auto first = paramGeral();
    auto second = paramGeral();

    first->Edit();
    first->FieldByName("CDNVBLPRAT")->setValue("2");
    first->Post();
    ASSERT_EQ(call("UpdParamGeral", {QVariant::fromValue(first->GetDelta())}).toString(), "");

    // The second client read the row before the first one wrote it.
    second->Edit();
    second->FieldByName("CDNVBLREFE")->setValue("4");
    second->Post();
    second->Append();
    second->FieldByName("CDPARGERAL")->setValue("0009");
    second->Post();
    const QString before = database->fingerprint();
    const QString status = call("UpdParamGeral", {QVariant::fromValue(second->GetDelta())}).toString();
    EXPECT_EQ(status, appserver::conflictText("PARAMGERAL"));
    EXPECT_EQ(database->fingerprint(), before); // the insertion of the same log was not kept either
    EXPECT_EQ(scalar("SELECT CDNVBLPRAT || CDNVBLREFE FROM PARAMGERAL"), "21");

    // Deleting a row someone else changed is refused the same way.
    second->CancelUpdates();
    second->Delete();
    EXPECT_EQ(call("UpdParamGeral", {QVariant::fromValue(second->GetDelta())}).toString(),
              appserver::conflictText("PARAMGERAL"));
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM PARAMGERAL"), "1");
}

TEST_P(AppServerTest, ColumnsTheTableLacksAreNeverWritten)
{
    // A packet whose column names try to smuggle SQL: they match no column and are ignored.
    framework::FieldDefs defs{{"CDPARGERAL", framework::FieldType::String, 4},
                              {"CDPICTPRAT = 'x'; DROP TABLE FILIAL; --", framework::FieldType::String, 10},
                              {"CDNVBLPRAT", framework::FieldType::String, 2}};
    DataPacket log(defs);
    const int row = log.appendRow(framework::RowStatus::Inserted);
    log.rows.setValue(row, 0, "0005");
    log.rows.setValue(row, 1, "x");
    log.rows.setValue(row, 2, "1");
    EXPECT_EQ(call("UpdParamGeral", {QVariant::fromValue(log)}).toString(), "");
    EXPECT_EQ(scalar("SELECT CDNVBLPRAT FROM PARAMGERAL WHERE CDPARGERAL = '0005'"), "1");
    EXPECT_GT(scalar("SELECT COUNT(*) FROM FILIAL").toInt(), 0);

    DataPacket keyless(framework::FieldDefs{{"CDNVBLPRAT", framework::FieldType::String, 2}});
    keyless.appendRow(framework::RowStatus::Inserted);
    EXPECT_FALSE(call("UpdParamGeral", {QVariant::fromValue(keyless)}).toString().isEmpty());
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
