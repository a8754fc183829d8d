#include "appserver/changelog.h"
#include "db/demodata.h"
#include "framework/core/hostcontext.h"
#include "framework/data/clientdataset.h"
#include "framework/ui/dialogs.h"
#include "server/autoriza.h"
#include "server/tipocusto.h"
#include "serverfixture.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

using framework::DataPacket;
using servertest::ServerSide;
using servertest::Via;
using testdb::Backend;

namespace {

using Param = std::tuple<Backend, Via>;

class ConnectionTest : public ::testing::TestWithParam<Param> {
protected:
    void SetUp() override
    {
        if (!testdb::available(std::get<0>(GetParam())))
            GTEST_SKIP() << "TEST_PG_CONN não definido";
        side = std::make_unique<ServerSide>(std::get<0>(GetParam()), std::get<1>(GetParam()));
        net = side->connect();
        auto scripted = std::make_unique<framework::ScriptedDialogs>();
        scripted->onFailure = [](const QString& text) { ADD_FAILURE() << text.toStdString(); };
        dialogs = scripted.get();
        framework::setDialogService(std::move(scripted));
    }

    void TearDown() override
    {
        framework::setDialogService(nullptr);
        framework::hostContext().reset();
    }

    std::unique_ptr<framework::ClientDataSet> load(server::Connection& connection, const QString& method)
    {
        auto cds = std::make_unique<framework::ClientDataSet>();
        const QVariant result = connection.call(method);
        EXPECT_TRUE(framework::isPacket(result));
        cds->SetData(framework::toPacket(result));
        return cds;
    }

    std::unique_ptr<ServerSide> side;
    std::unique_ptr<server::Connection> net;
    framework::ScriptedDialogs* dialogs = nullptr;
};

} // namespace

TEST_P(ConnectionTest, QueriesAnswerPacketsAndReferenceArgumentsComeBack)
{
    EXPECT_TRUE(net->Connected());
    QVariantList args{"3"};
    const QVariant dishes = net->call("GETPRATO", args);
    ASSERT_TRUE(framework::isPacket(dishes));
    EXPECT_GT(framework::toPacket(dishes).rowCount(), 100);
    EXPECT_EQ(args[0].toString(), "0003");

    const QVariant params = net->call("GetParams", {"0002"});
    ASSERT_EQ(params.typeId(), QMetaType::QVariantList);
    EXPECT_EQ(params.toList().size(), 3);

    const QVariant fault = net->call("GetNada", {});
    ASSERT_TRUE(framework::isServerFault(fault));
    EXPECT_TRUE(fault.value<framework::ServerFault>().message.contains("GetNada"));
}

TEST_P(ConnectionTest, ProgressWindowShowsTheKeyTextAroundEachCallAlsoOnFailure)
{
    framework::TMessages messages(nullptr, "msgPadrao");
    messages.Add("get_cdsPrato", "Carregando pratos...");
    messages.Add("upd_cdsParamGeral", "Gravando parâmetros...");
    net->setMessages(&messages);

    net->call("GetPrato", {"0002"}, "get_cdsPrato");
    EXPECT_EQ(dialogs->progressTexts(), QStringList{"Carregando pratos..."});
    EXPECT_FALSE(dialogs->progressVisible());

    const QVariant status = net->call("UpdParamGeral", {QString("não é um pacote")}, "upd_cdsParamGeral");
    EXPECT_FALSE(status.toString().isEmpty());
    EXPECT_EQ(dialogs->progressTexts().last(), "Gravando parâmetros...");
    EXPECT_FALSE(dialogs->progressVisible());
}

TEST_P(ConnectionTest, TwoClientsUpdatingTheSameRowOneWinsTheOtherIsRefused)
{
    auto other = side->connect();
    const auto containers = [](server::Connection& connection) {
        auto cds = std::make_unique<framework::ClientDataSet>();
        cds->SetData(framework::toPacket(connection.call("GetPratoContainer", {"1010010001", "P"})));
        cds->Locate("CDCONTAINER", "00003");
        return cds;
    };
    auto mine = containers(*net);
    auto theirs = containers(*other);

    mine->Edit();
    mine->FieldByName("QTPRATCONTAINER")->setValue(2.5);
    mine->Post();
    theirs->Edit();
    theirs->FieldByName("QTPRATCONTAINER")->setValue(3.5);
    theirs->Post();

    EXPECT_EQ(net->call("SetContainer", {QVariant::fromValue(mine->GetDelta())}).toString(), "");
    mine->MergeChangeLog();
    EXPECT_EQ(other->call("SetContainer", {QVariant::fromValue(theirs->GetDelta())}).toString(),
              appserver::conflictText("PRATOCONTAINER"));
    EXPECT_EQ(theirs->ChangeCount(), 1);

    auto reread = containers(*other);
    EXPECT_EQ(reread->FieldByName("QTPRATCONTAINER")->AsFloat(), 2.5);
}

TEST_P(ConnectionTest, SupervisorAuthorisation)
{
    auto netAutoriza = side->connect("Est.rdmAutoriza");
    const QString op = "ALTERACAO_PRATO_PADRAO";

    side->loginAs(db::DemoSupervisor, db::DemoSupervisorPassword); // may authorise: not asked
    EXPECT_TRUE(server::Autoriza(*netAutoriza, 4, op));

    side->loginAs(db::DemoOperator, db::DemoOperatorPassword);
    dialogs->authorize(db::DemoSupervisor, "errada").authorize(db::DemoSupervisor, db::DemoSupervisorPassword);
    EXPECT_TRUE(server::Autoriza(*netAutoriza, 4, op, ""));
    EXPECT_EQ(dialogs->messageTexts(), QStringList{"Usuário ou senha inválidos."});

    dialogs->refuseAuthorization();
    EXPECT_FALSE(server::Autoriza(*netAutoriza, 4, op));

    dialogs->authorize(db::DemoOperator, db::DemoOperatorPassword)
        .authorize(db::DemoOperator, db::DemoOperatorPassword)
        .authorize(db::DemoOperator, db::DemoOperatorPassword);
    EXPECT_FALSE(server::Autoriza(*netAutoriza, 4, op)); // three refusals end the prompt
    EXPECT_EQ(dialogs->pendingAnswers(), 0);
}

TEST_P(ConnectionTest, CostTypeList)
{
    auto netCustProd = side->connect("Cus.rdmCustProd");
    const QStringList names = server::ListaTipoCusto(*netCustProd);
    ASSERT_EQ(names.size(), 4);
    EXPECT_EQ(names[2], "Custo de Cotação (Lista de Preços)");
    EXPECT_EQ(server::NumeroTipoCusto(*netCustProd, 2), 3);
    EXPECT_EQ(server::NumeroTipoCusto(*netCustProd, 9), -1);
}

INSTANTIATE_TEST_SUITE_P(Transports, ConnectionTest,
                         ::testing::Combine(::testing::Values(Backend::Sqlite, Backend::Postgres),
                                            ::testing::Values(Via::InProcess, Via::Http)),
                         [](const auto& info) {
                             return testdb::backendName(std::get<0>(info.param))
                                    + (std::get<1>(info.param) == Via::Http ? "_Http" : "_InProcess");
                         });

// The transports are interchangeable: the same calls give the same encoded answers.
class TransportsAgreeTest : public ::testing::TestWithParam<Backend> {};

TEST_P(TransportsAgreeTest, SameAnswersInProcessAndOverHttp)
{
    if (!testdb::available(GetParam()))
        GTEST_SKIP() << "TEST_PG_CONN não definido";
    ServerSide http(GetParam(), Via::Http);
    // The in-process side works on the very database the daemon serves.
    server::Connection local(nullptr, "netLocal", "Pla01300.rdmReceitaPadrao");
    local.setDatabaseConnection(http.database().connectionName());
    auto remote = http.connect();

    const QList<std::pair<QString, QVariantList>> calls{
        {"GetPrato", {"3"}},           {"GetPratoAux", {"0003"}}, {"GetParams", {"0002"}},
        {"GetParamPlaneja", {"0004"}}, {"GetCentral", {"T", "NUTRI"}}, {"GetNada", {}},
        {"GetPrato", {}},              {"UpdParamGeral", {"x"}},
    };
    for (const auto& [method, sent] : calls) {
        QVariantList a = sent, b = sent;
        const QJsonValue viaLocal = framework::variantToJson(local.call(method, a));
        const QJsonValue viaHttp = framework::variantToJson(remote->call(method, b));
        EXPECT_EQ(viaLocal, viaHttp) << method.toStdString();
        EXPECT_EQ(a, b) << method.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Backends, TransportsAgreeTest, ::testing::Values(Backend::Sqlite, Backend::Postgres),
                         [](const auto& info) { return testdb::backendName(info.param); });
