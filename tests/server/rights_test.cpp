// What a caller may change, through the daemon: the session's operator, the supervisor
// authorisations given to his session, and the shape of what each form sends.
#include "appserver/changelog.h"
#include "appserver/guards.h"
#include "db/demodata.h"
#include "framework/core/hostcontext.h"
#include "framework/data/clientdataset.h"
#include "server/httptransport.h"
#include "server/session.h"
#include "serverfixture.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlQuery>
#include <gtest/gtest.h>
#include <httplib.h>
#include <thread>

using framework::ClientDataSet;
using framework::DataPacket;
using servertest::ServerSide;
using servertest::Via;
using testdb::Backend;

namespace {

const QString DeleteDish = "EXCLUSAO_PRATO_PADRAO";
const QString ChangeRecipe = "ALTERACAO_PRODUTO_RECEITA_PADRAO";
const QString ChangeParameters = "ALTERACAO_PARAMETRO_GERAL";

class Rights : public ::testing::TestWithParam<Backend> {
protected:
    void SetUp() override
    {
        if (!testdb::available(GetParam()))
            GTEST_SKIP() << "TEST_PG_CONN não definido";
        start({});
    }

    void start(const appserver::ServerOptions& options)
    {
        side = std::make_unique<ServerSide>(GetParam(), Via::Http, options);
        side->http().setLogger([this](const QString& line) {
            std::lock_guard lock(logMutex);
            log << line;
        });
        net = direct("Pla01300.rdmReceitaPadrao");
        netAutoriza = direct("Est.rdmAutoriza");
    }

    // The server's answers as they come: no authorisation prompt is asked on a refusal.
    std::unique_ptr<server::Connection> direct(const QString& serverName)
    {
        auto connection = std::make_unique<server::Connection>(nullptr, "netTeste", serverName);
        connection->setHost("127.0.0.1");
        connection->setPort(side->port());
        connection->setTransport(std::make_unique<server::HttpTransport>());
        connection->Connect();
        return connection;
    }

    QString authorise(const QString& operation)
    {
        return netAutoriza->call("Autoriza", {db::DemoSupervisor, db::DemoSupervisorPassword, 4, operation, ""})
            .toString();
    }

    QString value(const QString& sql)
    {
        QSqlQuery q(side->database().db());
        EXPECT_TRUE(q.exec(sql)) << sql.toStdString();
        return q.next() ? q.value(0).toString() : QString();
    }

    // The three guarded changes, each built from what the server answers now.
    QString changeParameters(const QString& productPicture)
    {
        ClientDataSet cds;
        cds.SetData(framework::toPacket(net->call("GetParamGeral")));
        cds.Edit();
        cds.FieldByName("CDPICTPROD")->setValue(productPicture);
        cds.Post();
        return net->call("UpdParamGeral", {QVariant::fromValue(cds.GetDelta())}).toString();
    }
    QString deleteDish(const QString& code)
    {
        ClientDataSet cds;
        cds.SetData(framework::toPacket(net->call("GetPrato", {"0002"})));
        EXPECT_TRUE(cds.Locate("CDFILAUXPRAT;CDPRATO", {"P", code}));
        cds.Delete();
        return net->call("UpdPrato", {QVariant::fromValue(cds.GetDelta())}).toString();
    }
    QString changeRecipeRow(double quantity)
    {
        ClientDataSet cds;
        cds.SetData(framework::toPacket(net->call("GetReceitaPad", {"101001", "0002"}).toList().value(0)));
        EXPECT_TRUE(cds.Locate("CDPRATO", "1010010001"));
        cds.Edit();
        cds.FieldByName("QTPRODPRAT")->setValue(quantity);
        cds.Post();
        return net->call("UpdProdPrat", {QVariant::fromValue(cds.GetDelta())}).toString();
    }
    QString recipeQuantity()
    {
        return value("SELECT MIN(QTPRODPRAT) FROM PRODPRAT WHERE CDFILAUXPRAT = 'P' AND CDPRATO = '1010010001' "
                     "AND CDPRODUTO = (SELECT MIN(CDPRODUTO) FROM PRODPRAT WHERE CDFILAUXPRAT = 'P' "
                     "AND CDPRATO = '1010010001')");
    }

    bool logged(const QString& fragment)
    {
        std::lock_guard lock(logMutex);
        return std::any_of(log.begin(), log.end(), [&](const QString& line) { return line.contains(fragment); });
    }

    void TearDown() override { framework::hostContext().reset(); }

    std::unique_ptr<ServerSide> side;
    std::unique_ptr<server::Connection> net, netAutoriza;
    std::mutex logMutex;
    QStringList log;
};

} // namespace

TEST_P(Rights, AsTheOperatorStandardChangesAreRefusedWithoutAGrantAndAcceptedWithOne)
{
    const QString before = side->database().fingerprint();
    EXPECT_EQ(changeParameters("9.99.9999"), appserver::guards::missingAuthorisationText(ChangeParameters));
    EXPECT_EQ(deleteDish("1010010002"), appserver::guards::missingAuthorisationText(DeleteDish));
    EXPECT_EQ(changeRecipeRow(0.5), appserver::guards::missingAuthorisationText(ChangeRecipe));
    EXPECT_EQ(side->database().fingerprint(), before);
    EXPECT_TRUE(logged("NUTRI Pla01300.rdmReceitaPadrao.UpdPrato"));
    EXPECT_TRUE(logged("recusada (sem autorização para EXCLUSAO_PRATO_PADRAO)"));

    for (const QString& operation : {ChangeParameters, DeleteDish, ChangeRecipe})
        EXPECT_EQ(authorise(operation), "");
    EXPECT_TRUE(logged("NUTRI Est.rdmAutoriza.Autoriza"));
    EXPECT_TRUE(logged("ok (SUPERV autorizou EXCLUSAO_PRATO_PADRAO)"));

    EXPECT_EQ(changeParameters("9.99.9999"), "");
    EXPECT_EQ(value("SELECT CDPICTPROD FROM PARAMGERAL"), "9.99.9999");
    EXPECT_EQ(deleteDish("1010010002"), "");
    EXPECT_EQ(value("SELECT COUNT(*) FROM PRATO WHERE CDPRATO = '1010010002'"), "0");
    EXPECT_EQ(value("SELECT COUNT(*) FROM PRODPRAT WHERE CDPRATO = '1010010002'"), "0");
    EXPECT_EQ(changeRecipeRow(0.5), "");
    EXPECT_EQ(recipeQuantity(), "0.5");
    EXPECT_TRUE(logged("ok (autorizado por SUPERV (ALTERACAO_PRODUTO_RECEITA_PADRAO))"));
}

TEST_P(Rights, AsTheSupervisorTheyNeedNoGrant)
{
    side->loginAs(db::DemoSupervisor, db::DemoSupervisorPassword);
    EXPECT_EQ(changeParameters("9.99.9999"), "");
    EXPECT_EQ(deleteDish("1010010002"), "");
    EXPECT_EQ(changeRecipeRow(0.25), "");
    EXPECT_EQ(recipeQuantity(), "0.25");
    EXPECT_TRUE(logged("SUPERV Pla01300.rdmReceitaPadrao.UpdProdPrat"));
}

TEST_P(Rights, AGrantServesItsOwnOperationOnceInItsOwnSession)
{
    ASSERT_EQ(authorise(ChangeRecipe), "");
    EXPECT_EQ(deleteDish("1010010002"), appserver::guards::missingAuthorisationText(DeleteDish));

    // A change refused for another reason (the row changed since it was read) gives it back.
    ClientDataSet stale;
    stale.SetData(framework::toPacket(net->call("GetReceitaPad", {"101001", "0002"}).toList().value(0)));
    QSqlQuery someoneElse(side->database().db());
    ASSERT_TRUE(someoneElse.exec(
        "UPDATE PRODPRAT SET QTPRODPRAT = QTPRODPRAT + 1 WHERE CDFILAUXPRAT = 'P' AND CDPRATO = '1010010001'"));
    ASSERT_TRUE(stale.Locate("CDPRATO", "1010010001"));
    stale.Edit();
    stale.FieldByName("QTPRODPRAT")->setValue(9.0);
    stale.Post();
    EXPECT_EQ(net->call("UpdProdPrat", {QVariant::fromValue(stale.GetDelta())}).toString(),
              appserver::conflictText("PRODPRAT"));

    // Another session of the same operator does not have it.
    httplib::Client raw("127.0.0.1", side->port());
    const QJsonObject login{{"operator", db::DemoOperator}, {"password", db::DemoOperatorPassword}};
    const auto other = raw.Post("/login", QJsonDocument(login).toJson().toStdString(), "application/json");
    ASSERT_TRUE(other && other->status == 200);
    const std::string token = QJsonDocument::fromJson(QByteArray::fromStdString(other->body))["token"].toString().toStdString();
    ClientDataSet cds;
    cds.SetData(framework::toPacket(net->call("GetReceitaPad", {"101001", "0002"}).toList().value(0)));
    ASSERT_TRUE(cds.Locate("CDPRATO", "1010010001"));
    cds.Edit();
    cds.FieldByName("QTPRODPRAT")->setValue(0.75);
    cds.Post();
    const QJsonObject body{{"object", "Pla01300.rdmReceitaPadrao"},
                           {"method", "UpdProdPrat"},
                           {"args", framework::variantToJson(QVariantList{QVariant::fromValue(cds.GetDelta())})}};
    const auto refused = raw.Post("/call", {{"Authorization", "Bearer " + token}},
                                  QJsonDocument(body).toJson().toStdString(), "application/json");
    ASSERT_TRUE(refused);
    EXPECT_NE(refused->body.find("ALTERACAO_PRODUTO_RECEITA_PADRAO"), std::string::npos);

    // In its own session it serves one change, once.
    EXPECT_EQ(changeRecipeRow(0.75), "");
    EXPECT_EQ(changeRecipeRow(0.8), appserver::guards::missingAuthorisationText(ChangeRecipe));
    EXPECT_EQ(recipeQuantity(), "0.75");
}

TEST_P(Rights, AGrantIsNotTakenAfterItsTime)
{
    appserver::ServerOptions options;
    options.grantLifetime = std::chrono::milliseconds(300);
    start(options);
    ASSERT_EQ(authorise(DeleteDish), "");
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    EXPECT_EQ(deleteDish("1010010002"), appserver::guards::missingAuthorisationText(DeleteDish));
    EXPECT_EQ(value("SELECT COUNT(*) FROM PRATO WHERE CDPRATO = '1010010002'"), "1");
}

TEST_P(Rights, AnotherOperatorNamedInAnArgumentIsRefused)
{
    for (const auto& [connection, method, sent] :
         {std::tuple{net.get(), "GetParamGrup", QVariantList{db::DemoSupervisor, "ARRV"}},
          std::tuple{net.get(), "GetCentral", QVariantList{"T", db::DemoSupervisor}},
          std::tuple{netAutoriza.get(), "TemAutorizacao", QVariantList{db::DemoSupervisor, 4, DeleteDish}}}) {
        QVariantList args = sent;
        const QVariant answer = connection->call(method, args);
        ASSERT_TRUE(framework::isServerFault(answer)) << method;
        EXPECT_TRUE(answer.value<framework::ServerFault>().message.contains("não é o operador desta sessão")) << method;
    }
    EXPECT_TRUE(logged("recusada"));
    // Named as himself, he is answered for himself.
    EXPECT_EQ(net->call("GetParamGrup", {db::DemoOperator, "ARRV"}).toInt(), -1);
    EXPECT_FALSE(netAutoriza->call("TemAutorizacao", {db::DemoOperator, 4, DeleteDish}).toBool());
    EXPECT_TRUE(framework::isPacket(net->call("GetCentral", {"T", db::DemoOperator})));
}

TEST_P(Rights, TheReplicationAnswersItsPacketThroughTheDaemonAndHoldsTheRevisedRecipesLock)
{
    const auto replica = [this](const QString& branch, const QString& dishes) {
        ClientDataSet servicos;
        servicos.SetData(framework::toPacket(net->call("GetServicos", {"", branch})));
        EXPECT_EQ(servicos.RecordCount(), 4);
        return net->call("ReplicaReceitaServico",
                         {QVariant::fromValue(servicos.Data()), dishes, "p", "", "", "", ""});
    };
    // Branch 0003 does not lock its revised recipes; its "Avulsos" take the recipe like any service.
    const QVariant done = replica("0003", "'P_2010010001'");
    ASSERT_TRUE(framework::isPacket(done)) << done.value<framework::ServerFault>().message.toStdString();
    EXPECT_EQ(framework::toPacket(done).rowCount(), 0);
    EXPECT_EQ(value("SELECT COUNT(DISTINCT CDSERVFILI) FROM RECESERV WHERE CDFILIAL = '0003' AND CDPRATO = '2010010001'"),
              "4");
    // Branch 0002 locks them, and the demo operator's group may not change them: whatever the
    // client checked, nothing is stored.
    const QString before = value("SELECT COUNT(*) FROM RECESERV WHERE CDFILIAL = '0002'");
    const QVariant refused = replica("0002", "'P_2010010001'");
    ASSERT_TRUE(framework::isServerFault(refused));
    EXPECT_EQ(refused.value<framework::ServerFault>().message,
              QString::fromUtf8("Operador não autorizado a incluir / excluir produto em receita revisada."));
    EXPECT_EQ(value("SELECT COUNT(*) FROM RECESERV WHERE CDFILIAL = '0002'"), before);
    EXPECT_TRUE(logged("ReplicaReceitaServico"));
}

TEST_P(Rights, TheGeneralParametersAreOneRowThatIsOnlyChanged)
{
    side->loginAs(db::DemoSupervisor, db::DemoSupervisorPassword); // may change them
    ClientDataSet cds;
    cds.SetData(framework::toPacket(net->call("GetParamGeral")));
    cds.Append();
    cds.FieldByName("CDPARGERAL")->setValue("0000");
    cds.Post();
    const QString before = side->database().fingerprint();
    EXPECT_TRUE(net->call("UpdParamGeral", {QVariant::fromValue(cds.GetDelta())}).toString().contains("não inclui"));
    cds.CancelUpdates();
    cds.First();
    cds.Delete();
    EXPECT_TRUE(net->call("UpdParamGeral", {QVariant::fromValue(cds.GetDelta())}).toString().contains("não exclui"));
    EXPECT_EQ(side->database().fingerprint(), before);

    // A log bigger than the form's is refused before the transaction: with the database held
    // by another writer the answer is that refusal, not a wait for the lock.
    DataPacket big(framework::FieldDefs{{"CDPARGERAL", framework::FieldType::String, 6}});
    for (int i = 0; i < 100000; ++i) {
        const int row = big.appendRow(framework::RowStatus::Modified);
        big.rows.setValue(row, 0, QString::number(i));
        big.originals.setValue(row, 0, QString::number(i));
    }
    {
        QSqlDatabase writer = side->database().open("escritor");
        QSqlQuery hold(writer);
        if (GetParam() == Backend::Sqlite) {
            ASSERT_TRUE(hold.exec("BEGIN IMMEDIATE"));
        }
        const QString status = net->call("UpdParamGeral", {QVariant::fromValue(big)}).toString();
        EXPECT_TRUE(status.startsWith("Alterações demais em uma chamada de UpdParamGeral: 100000 registros"))
            << status.toStdString();
        if (GetParam() == Backend::Sqlite)
            hold.exec("ROLLBACK");
        hold.finish();
        writer.close();
    }
    QSqlDatabase::removeDatabase("escritor");
}

INSTANTIATE_TEST_SUITE_P(Backends, Rights, ::testing::Values(Backend::Sqlite, Backend::Postgres),
                         [](const auto& info) { return testdb::backendName(info.param); });
