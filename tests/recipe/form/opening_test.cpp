// Opening the recipe form: branch panel, parameters, tree, query mode and closing.
#include "recipeformtest.h"

#include "framework/data/clientdataset.h"
#include "framework/forms/dbtree.h"
#include "framework/ui/btnpesquisa.h"
#include "framework/ui/dbcombobox.h"
#include "framework/ui/maskedit.h"

#include <QLineEdit>
#include <QTabWidget>

using namespace framework;

namespace {

class RecipeOpening : public RecipeFormTest {};

TEST_F(RecipeOpening, WithoutBranchesNothingOpens)
{
    testdb::TestDatabase empty(testdb::Backend::Sqlite, false);
    hostContext().databaseConnection = empty.connectionName();
    CriaReceita();
    EXPECT_EQ(script->messageKeys(), QStringList{"FILI_DEVE"});
    EXPECT_FALSE(Cli_pla01300::boIdCriado);
    EXPECT_EQ(Cli_pla01300::frmReceitaPadrao, nullptr);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(RecipeOpening, WithoutDishPictureOffersItsRegistration)
{
    hostContext().pictures.remove(1);
    script->answer(mrYes);
    CriaReceita();
    EXPECT_EQ(script->messageKeys(), QStringList{"Cad_PictPrat"});
    EXPECT_EQ(opened, QStringList{"GER02100"});
    EXPECT_FALSE(Cli_pla01300::boIdCriado);

    script->answer(mrNo);
    CriaReceita();
    EXPECT_EQ(opened.size(), 1);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(RecipeOpening, ASecondCallShowsTheSameFormWithoutThePictureCheck)
{
    TfrmReceitaPadrao* form = open();
    ASSERT_NE(form, nullptr);
    EXPECT_TRUE(Cli_pla01300::boIdCriado);
    hostContext().pictures.remove(1);
    form->showMinimized();
    CriaReceita();
    EXPECT_EQ(Cli_pla01300::frmReceitaPadrao, form);
    EXPECT_FALSE(form->isMinimized());
    EXPECT_TRUE(script->messages().isEmpty());
}

TEST_F(RecipeOpening, CentralModuleLoadsTheTreeOnlyWhenTheBranchPanelIsLeft)
{
    TfrmReceitaPadrao* form = open();
    ASSERT_NE(form, nullptr);
    EXPECT_TRUE(form->medCdFilial_pan->isEnabled());
    EXPECT_EQ(form->medCdFilial_pan->Text(), "0002");
    EXPECT_EQ(form->edtNmFilial->text(), "Hospital São Lucas");
    EXPECT_TRUE(form->medCdFilial_pan->hasFocus());
    EXPECT_FALSE(form->cdsPrato->Active());
    EXPECT_TRUE(form->cdsParamPlaneja->Active());

    // The user types another branch and leaves the panel for the tree.
    form->medCdFilial_pan->selectAll();
    QTest::keyClicks(form->medCdFilial_pan, "3");
    form->dbaPadrao->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(form->medCdFilial_pan->Text(), "0003");
    EXPECT_EQ(form->edtNmFilial->text(), "Restaurante Metalúrgica ABC");
    ASSERT_TRUE(form->cdsPrato->Active());
    EXPECT_GT(form->cdsPrato->RecordCount(), 0);
    EXPECT_GT(form->dbaPadrao->NodeCount(), 0);
    EXPECT_EQ(form->filialTrabalho(), "0003");
    EXPECT_TRUE(form->pgcPadrao->isEnabled());
    EXPECT_EQ(form->pgcPadrao->currentWidget(), form->tshFormulario);
    // Module 8 groups branches under centrals: the branch's central is shown.
    EXPECT_EQ(form->medCdCentral->Text(), "0001");
    EXPECT_TRUE(form->pgcPadrao->isTabVisible(form->pgcPadrao->indexOf(form->tshTpCard)));
}

TEST_F(RecipeOpening, AnUnknownBranchKeepsTheUserInThePanel)
{
    TfrmReceitaPadrao* form = open();
    ASSERT_NE(form, nullptr);
    form->medCdFilial_pan->selectAll();
    QTest::keyClicks(form->medCdFilial_pan, "99");
    form->dbaPadrao->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(script->messageTexts(), QStringList{"Filial 0099 não cadastrada."});
    EXPECT_TRUE(form->medCdFilial_pan->hasFocus());
    EXPECT_FALSE(form->cdsPrato->Active());
}

TEST_F(RecipeOpening, BranchModuleLoadsAtFirstActivationWithoutInput)
{
    hostContext().ModuFili = true;
    hostContext().ModuloAtiv = QStringLiteral("P");
    TfrmReceitaPadrao* form = open();
    ASSERT_NE(form, nullptr);
    EXPECT_FALSE(form->medCdFilial_pan->isEnabled());
    EXPECT_FALSE(form->btnFilial->isEnabled());
    ASSERT_TRUE(form->cdsPrato->Active());
    EXPECT_GT(form->dbaPadrao->NodeCount(), 0);
    // Module P: no photos, service recipes or menu types.
    EXPECT_FALSE(form->pgcPadrao->isTabVisible(form->pgcPadrao->indexOf(form->tshFoto)));
    EXPECT_FALSE(form->pgcPadrao->isTabVisible(form->pgcPadrao->indexOf(form->tshReceServ)));
    EXPECT_FALSE(form->pgcPadrao->isTabVisible(form->pgcPadrao->indexOf(form->tshTpCard)));
    EXPECT_FALSE(form->mnuFoto->isVisible());
}

TEST_F(RecipeOpening, IniProcWithABranchOpensInQueryModeForTheFormsLife)
{
    IniProc("0004");
    TfrmReceitaPadrao* form = Cli_pla01300::frmReceitaPadrao;
    ASSERT_NE(form, nullptr);
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form));
    EXPECT_TRUE(Cli_pla01300::boConsulta);
    EXPECT_EQ(form->filialTrabalho(), "0004");
    ASSERT_TRUE(form->cdsPrato->Active());
    EXPECT_FALSE(form->pgcPadrao->isEnabled());
    EXPECT_FALSE(form->medCdFilial_pan->isEnabled());
    EXPECT_FALSE(controles(form).dcbPrato->isEnabled());
    // Another activation leaves the page control disabled.
    reactivate(form);
    EXPECT_FALSE(form->pgcPadrao->isEnabled());

    form->close();
    IniProc(nullptr);
    EXPECT_FALSE(Cli_pla01300::boConsulta);
    ASSERT_NE(Cli_pla01300::frmReceitaPadrao, nullptr);
    EXPECT_NE(Cli_pla01300::frmReceitaPadrao, form);
}

TEST_F(RecipeOpening, ParametersChangedElsewhereShowAtTheNextActivation)
{
    exec("UPDATE PARAMGERAL SET IDPERMSELCENTRALPLA = 'N'");
    TfrmReceitaPadrao* form = open();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->cdsGerParamGeral->FieldByName("IDPERMSELCENTRALPLA")->AsString(), "N");
    exec("UPDATE PARAMGERAL SET IDPERMSELCENTRALPLA = 'S', CDNVBLPRAT = '3'");
    reactivate(form);
    EXPECT_EQ(form->cdsGerParamGeral->FieldByName("IDPERMSELCENTRALPLA")->AsString(), "S");
    EXPECT_EQ(form->cdsParamGeral->FieldByName("CDNVBLPRAT")->AsString(), "3");
}

TEST_F(RecipeOpening, CentralIsValidatedOnlyWhenItsChoiceIsAllowed)
{
    exec("UPDATE PARAMGERAL SET IDPERMSELCENTRALPLA = 'N'");
    TfrmReceitaPadrao* form = open();
    ASSERT_NE(form, nullptr);
    form->medCdCentral->setText("77");
    form->medCdCentralExit(); // IDPERMSELCENTRALPLA is "N": nothing is checked
    EXPECT_TRUE(script->messages().isEmpty());

    exec("UPDATE PARAMGERAL SET IDPERMSELCENTRALPLA = 'S'");
    reactivate(form);
    EXPECT_THROW(form->VdCentral(false), Abort);
    EXPECT_EQ(script->lastMessage().text, "Central informada não cadastrada.");
    EXPECT_EQ(form->medCdCentral->Text(), "0077");
    form->medCdCentral->setText("");
    EXPECT_THROW(form->VdCentral(true), Abort);
    EXPECT_EQ(script->lastMessage().text, "Central deve ser informada.");
    form->medCdCentral->setText("1");
    form->VdCentral(true);
    EXPECT_EQ(form->edtNmCentral->text(), "Central Sul Alimentação");

    script->chooseRow(0);
    form->sbtCentralClick();
    EXPECT_EQ(form->medCdCentral->Text(), "0001");
    EXPECT_EQ(form->edtNmCentral->text(), "Central Sul Alimentação");
}

TEST_F(RecipeOpening, ClosingDisconnectsAndTheNextCallCreatesANewForm)
{
    TfrmReceitaPadrao* form = open();
    ASSERT_NE(form, nullptr);
    QPointer<TfrmReceitaPadrao> watched(form);
    EXPECT_TRUE(form->close());
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(watched.isNull());
    EXPECT_FALSE(Cli_pla01300::boIdCriado);
    EXPECT_EQ(Cli_pla01300::inContCheck, 0);
    TfrmReceitaPadrao* second = open();
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(Cli_pla01300::boIdCriado);
}

} // namespace
