// The supervisor's authorisations as the server holds them: the form's prompts obtain the
// grants that the server's guarded changes take, in process and through the daemon, and a
// change the server refuses for want of one asks for it and is sent again.
#include "recipeformtest.h"

#include "appserver/httpserver.h"
#include "framework/core/consiste.h"
#include "framework/data/clientdataset.h"
#include "framework/forms/dbgrid.h"
#include "framework/forms/dbtree.h"
#include "framework/ui/dbedit.h"
#include "server/session.h"

#include <QAction>
#include <QHeaderView>
#include <QTabWidget>
#include <thread>

using namespace framework;

namespace {

// NUTRI, who holds none of the rights, on branch 0002 of a central module.
class RecipeAuthorisation : public RecipeFormTest {
protected:
    // Serves the test's database through a daemon and logs NUTRI in there.
    void serve(std::chrono::milliseconds grantLifetime = appserver::defaultGrantLifetime)
    {
        appserver::ServerOptions options;
        options.grantLifetime = grantLifetime;
        daemon = std::make_unique<appserver::HttpServer>(database->target(), options);
        daemon->setLogger([](const QString&) {});
        ASSERT_GT(daemon->start("127.0.0.1", 0), 0);
        ASSERT_EQ(server::Session::instance().login("127.0.0.1", daemon->port(), "NUTRI", "nutri"), "");
        hostContext().WebURL = "127.0.0.1";
        hostContext().WebPort = daemon->port();
    }
    void openForm()
    {
        form = open();
        ASSERT_NE(form, nullptr);
        form->dbaPadrao->setFocus(); // leaving the branch panel loads the tree
        QApplication::processEvents();
    }
    void select(const QString& code) { ASSERT_TRUE(form->dbaPadrao->setSelectedCode(code)) << code.toStdString(); }
    static void press(QAction* command)
    {
        command->trigger();
        QApplication::processEvents();
    }
    static void retype(QLineEdit* edit, const QString& text)
    {
        edit->setFocus();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, text);
    }
    QVariant dishName(const QString& code)
    {
        return value(QStringLiteral("SELECT NMPRATO FROM PRATO WHERE CDFILAUXPRAT = 'P' AND CDPRATO = '%1'").arg(code));
    }

    std::unique_ptr<appserver::HttpServer> daemon; // outlives the form, closed by TearDown
    TfrmReceitaPadrao* form = nullptr;
};

class RecipeAuthorisationOnBackends : public RecipeAuthorisation,
                                      public ::testing::WithParamInterface<testdb::Backend> {
protected:
    RecipeAuthorisationOnBackends() { backend = GetParam(); }
};

} // namespace

TEST_P(RecipeAuthorisationOnBackends, ThroughTheDaemonThePromptsObtainTheGrantsOfTheStandardDishes)
{
    serve();
    openForm();
    select("2010010001");
    script->authorize("SUPERV", "1234"); // ALTERACAO_PRATO_PADRAO
    press(form->mnuAlterar);
    retype(controles(form).dbeNmPrato, "Arroz branco soltinho");
    press(form->mnuConfirmar);
    EXPECT_EQ(dishName("2010010001"), "Arroz branco soltinho");

    select("2010010002");
    script->answer(mrYes).refuseAuthorization(); // "Excl", then EXCLUSAO_PRATO_PADRAO refused
    press(form->mnuExcluir);
    EXPECT_TRUE(dishName("2010010002").isValid());
    script->answer(mrYes).authorize("SUPERV", "1234");
    press(form->mnuExcluir);
    EXPECT_FALSE(dishName("2010010002").isValid());
    EXPECT_EQ(script->pendingAnswers(), 0);
    // The two questions and no refusal.
    EXPECT_EQ(script->messageTexts(), QStringList(2, QString::fromUtf8("Confirma a exclusão do registro?")));
}

INSTANTIATE_TEST_SUITE_P(Backends, RecipeAuthorisationOnBackends,
                         ::testing::Values(testdb::Backend::Sqlite, testdb::Backend::Postgres),
                         [](const auto& info) { return testdb::backendName(info.param); });

// A standard row is authorised when it is posted and sent at Confirmar: the grant that ran out
// meanwhile is asked for again.
TEST_F(RecipeAuthorisation, AnAuthorisationThatRanOutIsAskedForAgainWhenTheChangeIsConfirmed)
{
    serve(std::chrono::milliseconds(300));
    openForm();
    select("2010010001");
    form->Habilita_Pagina(true);
    form->pgcPadrao->setCurrentWidget(form->tshPadrao);
    QApplication::processEvents();
    ClientDataSet* list = form->cdsProdPrat;
    list->First();
    const QString product = list->FieldByName("CDPRODUTO")->AsString();
    script->authorize("SUPERV", "1234"); // ALTERACAO_PRODUTO_RECEITA_PADRAO, as the row is posted
    list->Edit();
    list->FieldByName("QTPRODPRAT")->setAsFloat(0.5);
    list->Post();
    EXPECT_EQ(script->pendingAnswers(), 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(400)); // the user took his time
    script->authorize("SUPERV", "1234");
    press(form->mnuConfirmar);
    EXPECT_DOUBLE_EQ(value(QStringLiteral("SELECT QTPRODPRAT FROM PRODPRAT WHERE CDFILAUXPRAT = 'P' AND CDPRATO = "
                                          "'2010010001' AND CDPRODUTO = '%1'")
                               .arg(product))
                         .toDouble(),
                     0.5);
    EXPECT_EQ(list->ChangeCount(), 0);
    EXPECT_EQ(script->pendingAnswers(), 0);
    EXPECT_TRUE(script->messages().isEmpty()) << script->messageTexts().join('\n').toStdString();
}

// Typing into the standard dish's record puts it in edit: the supervisor is asked when it is
// confirmed, so every key typed stays in the edit; refused, the record is back to what it holds.
TEST_F(RecipeAuthorisation, TheKeysTypedIntoTheStandardDishRecordStayInItsEdit)
{
    openForm();
    select("2010010001");
    const QVariant before = dishName("2010010001");
    script->authorize("SUPERV", "1234");
    retype(controles(form).dbeNmPrato, "Arroz soltinho");
    EXPECT_EQ(script->pendingAnswers(), 1); // nobody was asked while typing
    EXPECT_EQ(controles(form).dbeNmPrato->text(), "Arroz soltinho");
    press(form->mnuConfirmar);
    EXPECT_EQ(script->pendingAnswers(), 0);
    EXPECT_EQ(dishName("2010010001"), "Arroz soltinho");

    script->refuseAuthorization();
    retype(controles(form).dbeNmPrato, "Arroz empapado");
    press(form->mnuConfirmar);
    EXPECT_EQ(script->pendingAnswers(), 0);
    EXPECT_EQ(form->cdsPrato->state(), ClientDataSet::State::Browse);
    EXPECT_EQ(form->cdsPrato->FieldByName("NMPRATO")->AsString(), "Arroz soltinho");
    EXPECT_EQ(dishName("2010010001"), "Arroz soltinho");
    EXPECT_NE(before, dishName("2010010001"));
    EXPECT_TRUE(script->messages().isEmpty()) << script->messageTexts().join('\n').toStdString();
}

TEST_F(RecipeAuthorisation, AFlagTitleOfTheStandardRecipeChangesItOnlyWithTheSupervisorsConsent)
{
    openForm();
    select("2010010001");
    form->Habilita_Pagina(true);
    form->pgcPadrao->setCurrentWidget(form->tshPadrao);
    QApplication::processEvents();
    TDBGrid* grid = form->dbgProdPrat;
    const int fixed = IndiceCol(*grid, "IDQTDEFIXPR");
    ASSERT_GE(fixed, 0);
    const auto flagged = [this] {
        return value("SELECT COUNT(*) FROM PRODPRAT WHERE CDPRATO = '2010010001' AND IDQTDEFIXPR = 'S'").toInt();
    };

    script->refuseAuthorization();
    emit grid->horizontalHeader()->sectionClicked(fixed);
    QApplication::processEvents();
    EXPECT_EQ(flagged(), 0);
    EXPECT_TRUE(script->messages().isEmpty()) << script->messageTexts().join('\n').toStdString(); // refused silently

    script->authorize("SUPERV", "1234");
    emit grid->horizontalHeader()->sectionClicked(fixed);
    QApplication::processEvents();
    EXPECT_EQ(flagged(), 4);
    EXPECT_EQ(form->cdsProdPrat->FieldByName("IDQTDEFIXPR")->AsString(), "S");
    EXPECT_EQ(script->pendingAnswers(), 0);
}
