// Which changes need a supervisor's authorisation, for an operator who holds none of the rights.
#include "appserver/dispatcher.h"
#include "appserver/guards.h"
#include "appserver/registry.h"
#include "db/demodata.h"
#include "framework/data/clientdataset.h"
#include "testdatabase.h"

#include <QSqlQuery>
#include <gtest/gtest.h>

using framework::ClientDataSet;
using testdb::Backend;
using testdb::TestDatabase;

namespace {

class GuardsTest : public ::testing::TestWithParam<Backend> {
protected:
    void SetUp() override
    {
        if (!testdb::available(GetParam()))
            GTEST_SKIP() << "TEST_PG_CONN não definido";
        database = std::make_unique<TestDatabase>(GetParam());
        const QString name = database->connectionName();
        dispatcher = std::make_unique<appserver::Dispatcher>([name] { return QSqlDatabase::database(name, false); });
    }

    QVariant call(const QString& method, QVariantList args)
    {
        return dispatcher->call({operatorCode, "sessao"}, "Pla01300.rdmReceitaPadrao", method, args);
    }
    QString send(const QString& method, ClientDataSet& cds, QVariantList more = {})
    {
        const QString status = call(method, QVariantList{QVariant::fromValue(cds.GetDelta())} + more).toString();
        if (status.isEmpty())
            cds.MergeChangeLog();
        return status;
    }
    // The operation a refusal says is missing; empty when the call went through.
    QString missing(const QVariant& answer)
    {
        const QString text = framework::isServerFault(answer) ? answer.value<framework::ServerFault>().message
                                                              : answer.toString();
        if (!text.isEmpty() && appserver::guards::missingAuthorisation(text).isEmpty())
            ADD_FAILURE() << text.toStdString();
        return appserver::guards::missingAuthorisation(text);
    }
    void grant(const QString& operation)
    {
        QSqlDatabase db = database->db();
        dispatcher->grants().give(db, "sessao", 4, operation, db::DemoSupervisor);
    }
    std::unique_ptr<ClientDataSet> load(const QString& method, QVariantList args, int element = -1)
    {
        auto cds = std::make_unique<ClientDataSet>();
        const QVariant answer = call(method, std::move(args));
        cds->SetData(framework::toPacket(element < 0 ? answer : answer.toList().value(element)));
        return cds;
    }
    static void appendDish(ClientDataSet& cds, const QString& owner, const QString& code, const QString& level)
    {
        cds.Append();
        cds.FieldByName("CDFILAUXPRAT")->setValue(owner);
        cds.FieldByName("CDPRATO")->setValue(code);
        cds.FieldByName("CDNVPRATO")->setValue(level);
        cds.FieldByName("NMPRATO")->setValue("Novo");
        if (owner != "P")
            cds.FieldByName("CDFILIAL")->setValue(owner);
        cds.Post();
    }

    std::unique_ptr<TestDatabase> database;
    std::unique_ptr<appserver::Dispatcher> dispatcher;
    QString operatorCode = db::DemoOperator;
};

} // namespace

TEST_P(GuardsTest, TheDishTreeGuardsNewStandardDishesAndEveryChangeOfTheStandardTree)
{
    auto tree = load("GetPrato", {"0002"});
    appendDish(*tree, "P", "9", "1"); // a group: the form asks no one
    EXPECT_EQ(missing(send("UpdPrato", *tree)), "");
    appendDish(*tree, "0002", "1010010098", "4"); // the branch's own dish
    EXPECT_EQ(missing(send("UpdPrato", *tree)), "");
    appendDish(*tree, "P", "1010010099", "4");
    EXPECT_EQ(missing(send("UpdPrato", *tree)), "INCLUSAO_PRATO_PADRAO");
    grant("INCLUSAO_PRATO_PADRAO");
    EXPECT_EQ(missing(send("UpdPrato", *tree)), "");

    ASSERT_TRUE(tree->Locate("CDFILAUXPRAT;CDPRATO", {"0002", "1010010098"}));
    tree->Edit();
    tree->FieldByName("NMPRATO")->setValue("Local renomeado");
    tree->Post();
    EXPECT_EQ(missing(send("UpdPrato", *tree)), "");
    ASSERT_TRUE(tree->Locate("CDFILAUXPRAT;CDPRATO", {"P", "9"}));
    tree->Edit();
    tree->FieldByName("NMPRATO")->setValue("Grupo renomeado");
    tree->Post();
    EXPECT_EQ(missing(send("UpdPrato", *tree)), "ALTERACAO_PRATO_PADRAO");
}

TEST_P(GuardsTest, TheDishLevelBlockIsSetOnceByAnyoneAndChangedOnlyWithAGrant)
{
    auto param = load("GetParamGeral", {});
    ASSERT_TRUE(param->FieldByName("CDNVBLPRAT")->IsNull());
    param->Edit();
    param->FieldByName("CDPARGERAL")->setValue("0001");
    param->FieldByName("CDNVBLPRAT")->setValue("0"); // what the form writes the first time it reads it
    param->Post();
    EXPECT_EQ(missing(send("UpdParamGeral", *param)), "");
    param->Edit();
    param->FieldByName("CDNVBLPRAT")->setValue("2");
    param->Post();
    EXPECT_EQ(missing(send("UpdParamGeral", *param)), "ALTERACAO_PARAMETRO_GERAL");
}

TEST_P(GuardsTest, StandardRecipeToolsAndDishDataNeedTheRecipesAlteration)
{
    const QString change = "ALTERACAO_PRODUTO_RECEITA_PADRAO";
    EXPECT_EQ(missing(call("ProUpProdBasePR", {"P", "1010010001", "S", "0002", "101001"})), change);
    EXPECT_EQ(missing(call("ProUpdQtdeFix", {"P", "P", "1010010001", "", "", "S", "0002", "101001"})), change);
    EXPECT_EQ(missing(call("ProUpdQtdeFix", {"L", "P", "2010010001", "0002", "", "S", "0002", "201001"})), "");

    auto dados = load("GetReceitaPad", {"101001", "0002"}, 1);
    ASSERT_TRUE(dados->Locate("CDPRATO", "1010010001"));
    dados->Edit();
    dados->FieldByName("NMFANTASIAPR")->setValue("Frango da casa");
    dados->Post();
    EXPECT_EQ(missing(send("UpdDadosPrat", *dados, {"_"})), change);
    grant(change);
    EXPECT_EQ(missing(send("UpdDadosPrat", *dados, {"_"})), "");
}

TEST_P(GuardsTest, ARevisedBranchRecipeTakesRowsInOrOutOnlyForOperatorsWhoseGroupAllowsIt)
{
    // Branch 0002 locks its revised recipes, branch 0003 does not; NUTRI's group may not change them.
    auto locked = load("GetReceitaLoc", {"201001", "0002", "0002"}, 0);
    ASSERT_TRUE(locked->Locate("CDPRATO", "2010010001"));
    locked->Delete();
    EXPECT_EQ(send("UpdReceFili", *locked), "Operador não autorizado a incluir / excluir produto em receita revisada.");

    auto unlocked = load("GetReceitaLoc", {"201001", "0002", "0003"}, 0);
    unlocked->Append();
    unlocked->FieldByName("CDFILIAL")->setValue("0003");
    unlocked->FieldByName("CDFILAUXPRAT")->setValue("P");
    unlocked->FieldByName("CDPRATO")->setValue("2010010001");
    unlocked->FieldByName("CDPRODUTO")->setValue(locked->FieldByName("CDPRODUTO")->AsString());
    unlocked->FieldByName("QTPRODRECLOC")->setValue(1.0);
    unlocked->Post();
    EXPECT_EQ(send("UpdReceFili", *unlocked), "");

    operatorCode = db::DemoSupervisor; // his group may
    EXPECT_EQ(send("UpdReceFili", *locked), "");
}

TEST_P(GuardsTest, EveryUpdateMethodSaysWhatItsFormSends)
{
    const appserver::Registry& registry = appserver::Registry::instance();
    for (const QString& object : registry.objectNames())
        for (const QString& method : registry.find(object)->methodNames())
            if (appserver::Dispatcher::isUpdate(object, method)) {
                EXPECT_TRUE(appserver::guards::declaresShape(object, method)) << (object + "." + method).toStdString();
            }
}

INSTANTIATE_TEST_SUITE_P(Backends, GuardsTest, ::testing::Values(Backend::Sqlite, Backend::Postgres),
                         [](const auto& info) { return testdb::backendName(info.param); });
