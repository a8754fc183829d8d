// The edit cycle driven as a user: the toolbar's commands on each page act on that page's list
// only, page loads by group, confirmation and cancel per page, the keyboard, the enabling rules.
#include "recipeformtest.h"

#include "recipe/core/tabelapaginas.h"

#include "framework/abort.h"
#include "framework/data/clientdataset.h"
#include "framework/forms/dbgrid.h"
#include "framework/forms/dbtree.h"
#include "framework/ui/dbedit.h"
#include "framework/ui/guard.h"
#include "framework/ui/maskedit.h"
#include "recipe/form/regrashabilitacao.h"

#include <QAction>
#include <QTabWidget>

using namespace framework;

namespace {

using State = ClientDataSet::State;

class RecipeEditCycle : public RecipeFormTest {
protected:
    void SetUp() override
    {
        RecipeFormTest::SetUp();
        if (IsSkipped())
            return;
        hostContext().FiliProc = QStringLiteral("0002");
        // The nutritionist may change recipe rows herself: no supervisor prompt on each row.
        for (const char* op : {"INCLUSAO_PRODUTO_RECEITA_PADRAO", "ALTERACAO_PRODUTO_RECEITA_PADRAO",
                               "EXCLUSAO_PRODUTO_RECEITA_PADRAO"})
            exec(QStringLiteral("INSERT INTO USUAUTORIZA (CDOPERADOR, NRTIPOAUTORIZA, CDOPERACAO) VALUES ('NUTRI', 4, '%1')")
                     .arg(QLatin1String(op)));
        // and add or remove ingredients of the branch's revised recipes.
        exec("UPDATE USUARIO SET CDGRUPOUSUA = 'SUPERVISAO' WHERE CDOPERADOR = 'NUTRI'");
        form = open();
        ASSERT_NE(form, nullptr);
        form->dbaPadrao->setFocus();
        QApplication::processEvents();
    }

    void select(const QString& code) { ASSERT_TRUE(form->dbaPadrao->setSelectedCode(code)) << code.toStdString(); }
    static void press(QAction* command)
    {
        command->trigger();
        QApplication::processEvents();
    }
    void showPage(QWidget* page)
    {
        form->pgcPadrao->setCurrentWidget(page);
        QApplication::processEvents();
    }
    // The dish's recipe on the branch page of 0002.
    void showBranchPage(const QString& dish)
    {
        form->medCdFilial->setText(QStringLiteral("0002"));
        select(dish);
        showPage(form->tshReceLoca);
    }
    QString count(const QString& sql) { return value(sql).toString(); }
    // A key pressed wherever the focus is.
    void key(Qt::Key k, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QWidget* focus = QApplication::focusWidget();
        QTest::keyClick(focus ? focus : form, k, modifiers);
        QApplication::processEvents();
    }
    void editRow(ClientDataSet* list, const char* field, double quantity)
    {
        list->Edit();
        list->FieldByName(QString::fromLatin1(field))->setAsFloat(quantity);
        list->Post();
    }

    TfrmReceitaPadrao* form = nullptr;
};

TEST_F(RecipeEditCycle, DeletingAlteringAndIncludingOnARecipePageTouchOnlyItsList)
{
    select("2010010001");
    showPage(form->tshPadrao);
    EXPECT_EQ(form->dtsPadrao->DataSet(), form->cdsProdPrat);
    ASSERT_EQ(form->cdsProdPrat->RecordCount(), 4);

    script->answer(mrYes); // "Excl"
    press(form->mnuExcluir);
    EXPECT_EQ(count("SELECT COUNT(*) FROM PRODPRAT WHERE CDFILAUXPRAT = 'P' AND CDPRATO = '2010010001'"), "3");
    EXPECT_EQ(count("SELECT COUNT(*) FROM PRATO WHERE CDPRATO = '2010010001'"), "1");
    EXPECT_EQ(form->cdsProdPrat->ChangeCount(), 0);
    EXPECT_TRUE(form->cdsPrato->Locate("CDPRATO", "2010010001"));

    press(form->mnuAlterar);
    EXPECT_EQ(form->cdsProdPrat->state(), State::Edit);
    EXPECT_EQ(form->cdsPrato->state(), State::Browse);
    press(form->mnuCancelar); // cancels the row without a question
    EXPECT_EQ(form->cdsProdPrat->state(), State::Browse);
    press(form->mnuIncluir);
    EXPECT_EQ(form->cdsProdPrat->state(), State::Insert);
    EXPECT_EQ(form->cdsPrato->state(), State::Browse);
    press(form->mnuCancelar);

    // The branch page deletes from the branch's recipe.
    showBranchPage("2010010001");
    EXPECT_EQ(form->dtsPadrao->DataSet(), form->cdsReceFili);
    ASSERT_FALSE(form->cdsReceFili->IsEmpty());
    const QString before = count("SELECT COUNT(*) FROM RECEFILI");
    script->answer(mrYes);
    press(form->mnuExcluir);
    EXPECT_EQ(count("SELECT COUNT(*) FROM RECEFILI"), QString::number(before.toInt() - 1));
    EXPECT_EQ(count("SELECT COUNT(*) FROM PRODPRAT WHERE CDFILAUXPRAT = 'P' AND CDPRATO = '2010010001'"), "3");
    EXPECT_EQ(count("SELECT COUNT(*) FROM PRATO WHERE CDPRATO = '2010010001'"), "1");

    // The service page deletes from the service's recipe.
    form->medCdFiliServ->setText(QStringLiteral("0002"));
    form->medCdServico->setText(QStringLiteral("00002"));
    showPage(form->tshReceServ);
    EXPECT_EQ(form->dtsPadrao->DataSet(), form->cdsReceServ);
    ASSERT_FALSE(form->cdsReceServ->IsEmpty());
    const QString services = count("SELECT COUNT(*) FROM RECESERV");
    script->answer(mrYes);
    press(form->mnuExcluir);
    EXPECT_EQ(count("SELECT COUNT(*) FROM RECESERV"), QString::number(services.toInt() - 1));
    EXPECT_EQ(count("SELECT COUNT(*) FROM RECEFILI"), QString::number(before.toInt() - 1));
    EXPECT_EQ(count("SELECT COUNT(*) FROM PRATO WHERE CDPRATO = '2010010001'"), "1");
    EXPECT_TRUE(script->failures().isEmpty());
}

TEST_F(RecipeEditCycle, TheServicePageOpensOnItsServiceAndAsksForItOnlyWhenTheListIsEntered)
{
    select("2010010001");
    showPage(form->tshPadrao);
    form->dbgProdPrat->setFocus();
    QApplication::processEvents();
    form->medCdServico->setText(QString());
    const qsizetype before = script->messages().size();

    // Opening the page hands its grid the focus: the planner is led to the service, not scolded.
    showPage(form->tshReceServ);
    EXPECT_EQ(script->messages().size(), before) << script->messageKeys().join(' ').toStdString();
    EXPECT_EQ(QApplication::focusWidget(), form->medCdServico);
    QTest::keyClicks(form->medCdServico, "00001");
    key(Qt::Key_Tab);
    EXPECT_EQ(form->medCdServico->Text(), "00001");
    EXPECT_EQ(form->findChild<QLineEdit*>(QStringLiteral("edtNmServico"))->text(), "Dieta geral");

    // Going into the list of a page already open without a service is refused.
    form->medCdServico->setText(QString());
    form->medCdServico->setFocus();
    QApplication::processEvents();
    form->dbgReceServ->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(script->lastMessage().text, "Serviço deve ser informado.");
    EXPECT_EQ(QApplication::focusWidget(), form->medCdServico);
}

TEST_F(RecipeEditCycle, APageTheTableDoesNotKnowRefusesEveryCommand)
{
    select("2010010001");
    // The data sheet sub-page has no dataset of its own.
    QWidget* unknown = form->tshFolhaDados;
    for (int command = 0; command < recipe::comandos; ++command)
        EXPECT_FALSE(form->paginas().permite(unknown, recipe::Comando(command))) << command;
    guarded([this, unknown] { form->paginas().executa(form->paginas().pagina(unknown), recipe::Comando::Excluir); });
    // Reached anyway, the command is refused and the dish stays.
    EXPECT_EQ(script->lastMessage().kind, mtError);
    EXPECT_EQ(count("SELECT COUNT(*) FROM PRATO WHERE CDPRATO = '2010010001'"), "1");
}

TEST_F(RecipeEditCycle, CommandsWithoutARuleOnThePageStayOff)
{
    select("2010010001");
    form->Habilita_Pagina(true);
    showPage(form->tshFoto);
    // The photos have no search and nothing to verify.
    EXPECT_FALSE(form->mnuProcurar->isEnabled());
    EXPECT_FALSE(form->mnuVerificar->isEnabled());
    EXPECT_TRUE(form->mnuIncluir->isEnabled());
}

TEST_F(RecipeEditCycle, AnotherDishOfTheGroupReusesTheLoadedGroupAnotherGroupIsLoaded)
{
    select("2010010001");
    showPage(form->tshPadrao);
    // Rows stored after the group was loaded are not seen while the group is reused.
    exec("INSERT INTO PRODPRAT (CDFILAUXPRAT, CDPRATO, CDPRODUTO, QTPRODPRAT) "
         "SELECT 'P', '2010010002', CDPRODUTO, 1 FROM PRODUTO WHERE CDARVPROD = '4020010001'");
    exec("INSERT INTO PRODPRAT (CDFILAUXPRAT, CDPRATO, CDPRODUTO, QTPRODPRAT) "
         "SELECT 'P', '2020010001', CDPRODUTO, 1 FROM PRODUTO WHERE CDARVPROD = '4020010001'");
    select("2010010002");
    EXPECT_FALSE(form->cdsProdPrat->Locate("CDARVPROD", "4020010001"));
    EXPECT_EQ(form->cdsProdPrat->FieldByName("CDPRATO")->AsString(), "2010010002");
    // Verificar reads the group again, with the display frozen only while it does.
    press(form->mnuVerificar);
    EXPECT_TRUE(form->cdsProdPrat->Locate("CDARVPROD", "4020010001"));
    EXPECT_FALSE(form->cdsProdPrat->ControlsDisabled());
    // Another group is read when its dish is reached; every row shown is the dish's.
    select("2020010001");
    EXPECT_TRUE(form->cdsProdPrat->Locate("CDARVPROD", "4020010001"));
    for (form->cdsProdPrat->First(); !form->cdsProdPrat->Eof(); form->cdsProdPrat->Next())
        EXPECT_EQ(form->cdsProdPrat->FieldByName("CDPRATO")->AsString(), "2020010001");
}

TEST_F(RecipeEditCycle, ConfirmarOnTheBranchPageSendsOnlyTheBranchList)
{
    select("2010010001");
    showPage(form->tshPadrao);
    editRow(form->cdsProdPrat, "QTPRODPRAT", 0.5);
    showBranchPage("2010010001");
    ASSERT_EQ(form->cdsProdPrat->ChangeCount(), 1);
    form->cdsReceFili->First();
    editRow(form->cdsReceFili, "QTPRODRECLOC", 0.25);
    press(form->mnuConfirmar);
    EXPECT_EQ(count("SELECT COUNT(*) FROM RECEFILI WHERE QTPRODRECLOC = 0.25"), "1");
    EXPECT_EQ(count("SELECT COUNT(*) FROM PRODPRAT WHERE QTPRODPRAT = 0.5"), "0");
    EXPECT_EQ(form->cdsProdPrat->ChangeCount(), 1);
    EXPECT_EQ(form->cdsReceFili->ChangeCount(), 0);
    // The standard page sends its own when confirmed there.
    showPage(form->tshPadrao);
    press(form->mnuConfirmar);
    EXPECT_EQ(count("SELECT COUNT(*) FROM PRODPRAT WHERE QTPRODPRAT = 0.5"), "1");
}

TEST_F(RecipeEditCycle, CancelUndoesTheRowFirstThenAsksToUndoEverything)
{
    select("2010010001");
    showPage(form->tshPadrao);
    form->cdsProdPrat->First();
    editRow(form->cdsProdPrat, "QTPRODPRAT", 0.5);
    form->cdsProdPrat->Next();
    form->cdsProdPrat->Edit();
    form->cdsProdPrat->FieldByName("QTPRODPRAT")->setAsFloat(0.7);
    press(form->mnuCancelar);
    EXPECT_TRUE(script->messages().isEmpty());
    EXPECT_EQ(form->cdsProdPrat->state(), State::Browse);
    EXPECT_EQ(form->cdsProdPrat->ChangeCount(), 1);
    script->answer(mrNo);
    press(form->mnuCancelar);
    EXPECT_EQ(script->messageTexts(), QStringList{"Tem certeza que deseja desfazer todas as alterações?"});
    EXPECT_EQ(form->cdsProdPrat->ChangeCount(), 1);
    script->answer(mrYes);
    press(form->mnuCancelar);
    EXPECT_EQ(form->cdsProdPrat->ChangeCount(), 0);
}

TEST_F(RecipeEditCycle, AFailedUpdateKeepsTheChangesForTheNextConfirmar)
{
    select("2010010001");
    showPage(form->tshPadrao);
    editRow(form->cdsProdPrat, "QTPRODPRAT", 0.5);
    exec("CREATE TRIGGER recusa BEFORE UPDATE ON PRODPRAT BEGIN SELECT RAISE(ABORT, 'recusado'); END");
    press(form->mnuConfirmar);
    EXPECT_EQ(script->lastMessage().kind, mtError);
    EXPECT_EQ(form->cdsProdPrat->ChangeCount(), 1);
    EXPECT_DOUBLE_EQ(form->cdsProdPrat->FieldByName("QTPRODPRAT")->AsFloat(), 0.5);
    exec("DROP TRIGGER recusa");
    press(form->mnuConfirmar);
    EXPECT_EQ(form->cdsProdPrat->ChangeCount(), 0);
    EXPECT_EQ(count("SELECT COUNT(*) FROM PRODPRAT WHERE QTPRODPRAT = 0.5"), "1");
}

TEST_F(RecipeEditCycle, CtrlEnterWhileInsertingPostsAndStartsTheNextRow)
{
    select("2010010001");
    showPage(form->tshPadrao);
    press(form->mnuIncluir);
    ASSERT_EQ(form->cdsProdPrat->state(), State::Insert);
    const QString egg = value("SELECT CDPRODUTO FROM PRODUTO WHERE CDARVPROD = '4020010001'").toString();
    ClientDataSet* list = form->cdsProdPrat;
    list->FieldByName("CDFILAUXPRAT")->setAsString("P");
    list->FieldByName("CDPRATO")->setAsString("2010010001");
    list->FieldByName("CDPRODUTO")->setAsString(egg);
    list->FieldByName("CDARVPROD")->setAsString("4020010001");
    list->FieldByName("QTPRODPRAT")->setAsFloat(2);
    list->FieldByName("VRPEFATCORPR")->setAsFloat(0); // what leaving the product's column brings
    form->dbgProdPrat->setFocus();
    key(Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(count("SELECT COUNT(*) FROM PRODPRAT WHERE CDPRATO = '2010010001' AND CDPRODUTO = '" + egg + "'"), "1");
    EXPECT_EQ(list->state(), State::Insert);
    press(form->mnuCancelar);
}

TEST_F(RecipeEditCycle, F12GoesToThePagesSelector)
{
    select("2010010001");
    form->Habilita_Pagina(true);
    showPage(form->tshReceServ);
    key(Qt::Key_F12);
    EXPECT_TRUE(form->medCdFiliServ->hasFocus());
    showPage(form->tshReceLoca);
    key(Qt::Key_F12);
    EXPECT_TRUE(form->medCdFilial->hasFocus());
}

TEST_F(RecipeEditCycle, ActivationReloadsNothingWhileTheRecordIsEdited)
{
    select("2010010001");
    script->authorize("SUPERV", "1234");
    press(form->mnuAlterar);
    ASSERT_EQ(form->cdsPrato->state(), State::Edit);
    const QString blocked = form->cdsParamGeral->FieldByName("CDNVBLPRAT")->AsString();
    exec("UPDATE PARAMGERAL SET CDNVBLPRAT = '3'");
    reactivate(form);
    EXPECT_EQ(form->cdsParamGeral->FieldByName("CDNVBLPRAT")->AsString(), blocked);
    EXPECT_EQ(form->cdsPrato->state(), State::Edit);
}

TEST_F(RecipeEditCycle, ClearingTheShelfLifeClearsTheValidity)
{
    select("2010010001");
    script->authorize("SUPERV", "1234");
    press(form->mnuAlterar);
    controles(form).dbeTempo->setFocus();
    controles(form).dbeTempo->selectAll();
    QTest::keyClick(controles(form).dbeTempo, Qt::Key_Delete);
    controles(form).dbeNmPrato->setFocus();
    press(form->mnuConfirmar);
    EXPECT_TRUE(script->failures().isEmpty());
    EXPECT_TRUE(value("SELECT QTTEMPOPRAT FROM PRATO WHERE CDFILAUXPRAT = 'P' AND CDPRATO = '2010010001'").isNull());
    EXPECT_TRUE(value("SELECT VRVALIDADE FROM PRATO WHERE CDFILAUXPRAT = 'P' AND CDPRATO = '2010010001'").isNull());
}

TEST_F(RecipeEditCycle, APageIsNotLeftWhileWhatItEditsCannotBePosted)
{
    select("2010010001");
    script->authorize("SUPERV", "1234");
    press(form->mnuAlterar);
    controles(form).dbeNmPrato->setFocus();
    controles(form).dbeNmPrato->selectAll();
    QTest::keyClick(controles(form).dbeNmPrato, Qt::Key_Delete);
    form->pgcPadrao->setCurrentWidget(form->tshPadrao);
    QApplication::processEvents();
    EXPECT_EQ(script->lastMessage().text, "Nome deve ser informado.");
    EXPECT_EQ(form->pgcPadrao->currentWidget(), form->tshFormulario);
    EXPECT_EQ(form->cdsPrato->state(), State::Edit);
    EXPECT_EQ(form->dtsPadrao->DataSet(), form->cdsPrato);
}

TEST_F(RecipeEditCycle, TheRecipeMenuOffersItsCommandsWithTheirShortcuts)
{
    const std::pair<const char*, const char*> items[] = {
        {"mnuNutrientes", "Ctrl+N"}, {"mnuCusto", "Ctrl+U"},     {"mnuImportFator", "Ctrl+P"},
        {"mnuCalculadora", "Ctrl+R"}, {"mnuRevQtde", "Ctrl+Q"},  {"mnuUtProdRece", "Ctrl+T"},
        {"mnuImporta", "Ctrl+M"},    {"mnuTrocaProd", "Ctrl+G"}, {"mnuPercentual", "Ctrl+K"},
    };
    for (const auto& [name, shortcut] : items) {
        auto* item = form->findChild<QAction*>(QString::fromLatin1(name));
        ASSERT_NE(item, nullptr) << name;
        EXPECT_EQ(item->shortcut().toString(), QString::fromLatin1(shortcut)) << name;
    }
    EXPECT_EQ(form->findChild<QAction*>("mnuImportFator")->text(), "Importar &Fator de Correção Padrão");
}

class RecipeBranchModule : public RecipeFormTest {};

TEST_F(RecipeBranchModule, TheStandardRecipeIsNotChangedFromABranch)
{
    hostContext().ModuFili = true;
    hostContext().FiliProc = QStringLiteral("0002");
    TfrmReceitaPadrao* form = open();
    ASSERT_NE(form, nullptr);
    ASSERT_TRUE(form->dbaPadrao->setSelectedCode("2010010001"));
    form->pgcPadrao->setCurrentWidget(form->tshPadrao);
    QApplication::processEvents();
    ASSERT_EQ(form->cdsProdPrat->RecordCount(), 4);
    form->mnuExcluir->trigger();
    form->mnuAlterar->trigger();
    EXPECT_EQ(script->messageTexts(), (QStringList{"Receita padrão não pode ser excluída em módulo filial.",
                                                   "Receita padrão não pode ser alterada em módulo filial."}));
    EXPECT_EQ(form->cdsProdPrat->state(), State::Browse);
    EXPECT_EQ(value("SELECT COUNT(*) FROM PRODPRAT WHERE CDPRATO = '2010010001'").toInt(), 4);
    EXPECT_EQ(value("SELECT COUNT(*) FROM PRATO WHERE CDPRATO = '2010010001'").toInt(), 1);
}

TEST_F(RecipeBranchModule, AFailedFirstLoadIsTriedAgainAtTheNextActivation)
{
    hostContext().ModuFili = true;
    hostContext().FiliProc = QStringLiteral("0002");
    exec("ALTER TABLE PARAMPLANEJA RENAME TO PARAMPLANEJA_FORA");
    TfrmReceitaPadrao* form = open();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(script->lastMessage().kind, mtError);
    EXPECT_FALSE(form->cdsPrato->Active());
    exec("ALTER TABLE PARAMPLANEJA_FORA RENAME TO PARAMPLANEJA");
    reactivate(form);
    EXPECT_TRUE(form->cdsPrato->Active());
    EXPECT_TRUE(form->dbaPadrao->setSelectedCode("2010010001"));
}

class RecipeQueryMode : public RecipeFormTest {};

TEST_F(RecipeQueryMode, EveryMaintenanceCommandStaysDisabled)
{
    Cli_pla01300::boConsulta = true;
    Cli_pla01300::stFilialC = QStringLiteral("0002");
    TfrmReceitaPadrao* form = open();
    ASSERT_NE(form, nullptr);
    ASSERT_TRUE(form->dbaPadrao->setSelectedCode("2010010001"));
    for (QWidget* page : {form->tshFormulario, form->tshPadrao}) {
        form->Habilita_Pagina(true);
        form->pgcPadrao->setCurrentWidget(page);
        QApplication::processEvents();
        for (QAction* command : {form->mnuIncluir, form->mnuAlterar, form->mnuExcluir, form->mnuConfirmar,
                                 form->mnuCancelar})
            EXPECT_FALSE(command->isEnabled()) << command->objectName().toStdString();
    }
    EXPECT_TRUE(form->mnuProcurar->isEnabled());
}

TEST_F(RecipeEditCycle, EveryComponentTheRulesNameExistsAndAMissingOneFailsLoudly)
{
    for (const QString& name : recipe::RegrasHabilitacao::nomes())
        EXPECT_NE(form->findChild<QObject*>(name), nullptr) << name.toStdString();
    QObject empty;
    try {
        recipe::RegrasHabilitacao rules(empty);
        ADD_FAILURE() << "no error";
    } catch (const framework::Error& e) {
        EXPECT_TRUE(e.message().contains("mnuIncluir")) << e.message().toStdString();
    }
}

} // namespace
