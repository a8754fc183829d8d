// The dish tree, the column set of the planning parameters, and what the menus open: the
// companion queries with the active page's level, and the host's modules with their arguments.
#include "recipeformtest.h"

#include "companions/Cli_pla01304/cli_pla01304.h"
#include "companions/Cli_pla01305/cli_pla01305.h"
#include "framework/data/clientdataset.h"
#include "framework/forms/dbgrid.h"
#include "framework/forms/dbtree.h"
#include "framework/ui/dbcombobox.h"
#include "framework/ui/maskedit.h"
#include "recipe/form/lancadores.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>

using namespace framework;

namespace {

using State = ClientDataSet::State;

class RecipeTreeAndLaunchers : public RecipeFormTest {
protected:
    void SetUp() override
    {
        RecipeFormTest::SetUp();
        if (IsSkipped())
            return;
        // The nutritionist may change standard recipe rows herself.
        for (const char* op : {"INCLUSAO_PRODUTO_RECEITA_PADRAO", "ALTERACAO_PRODUTO_RECEITA_PADRAO",
                               "EXCLUSAO_PRODUTO_RECEITA_PADRAO"})
            exec(QStringLiteral("INSERT INTO USUAUTORIZA (CDOPERADOR, NRTIPOAUTORIZA, CDOPERACAO) "
                                "VALUES ('NUTRI', 4, '%1')")
                     .arg(QLatin1String(op)));
        exec("UPDATE USUARIO SET CDGRUPOUSUA = 'SUPERVISAO' WHERE CDOPERADOR = 'NUTRI'");
        hostContext().loadModule = [this](const QString& module, const QVariantList& args) {
            opened << module;
            arguments[module] = args;
        };
    }

    void openForm()
    {
        form = open();
        ASSERT_NE(form, nullptr);
        form->dbaPadrao->setFocus(); // leaving the branch panel loads the dish tree
        QApplication::processEvents();
    }

    // The user clicks the node of a code in the tree.
    void click(const QString& code)
    {
        TDBTree& tree = *form->dbaPadrao;
        const QModelIndexList found = tree.model()->match(tree.model()->index(0, 0), Qt::DisplayRole, code + u' ', 1,
                                                          Qt::MatchStartsWith | Qt::MatchRecursive);
        ASSERT_EQ(found.size(), 1) << code.toStdString();
        tree.scrollTo(found.first());
        QApplication::processEvents();
        QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, tree.visualRect(found.first()).center());
        QApplication::processEvents();
    }
    void select(const QString& code) { ASSERT_TRUE(form->dbaPadrao->setSelectedCode(code)) << code.toStdString(); }
    void showPage(QWidget* page)
    {
        form->pgcPadrao->setCurrentWidget(page);
        QApplication::processEvents();
    }
    static void press(QAction* command)
    {
        command->trigger();
        QApplication::processEvents();
    }
    QString dish() const { return form->cdsPrato->FieldByName("CDPRATO")->AsString(); }

    // Presses the command and closes the modal form it opens as soon as that shows.
    void pressAndClose(QAction* command)
    {
        bool shown = false;
        QTimer timer;
        timer.setInterval(10);
        QObject::connect(&timer, &QTimer::timeout, [&] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                shown = true;
                modal->close();
            }
        });
        timer.start();
        press(command);
        EXPECT_TRUE(shown) << "no form was opened";
    }

    // Whether the grid shows the column of a field (false when it has none).
    static bool shows(TDBGrid* grid, const QString& field)
    {
        const int column = IndiceCol(*grid, field);
        return column >= 0 && grid->Columns(column)->Visible();
    }

    void checkRequisitionColumns(bool shown);

    TfrmReceitaPadrao* form = nullptr;
    QHash<QString, QVariantList> arguments;
};

// --- Tree ------------------------------------------------------------------------------------------

TEST_F(RecipeTreeAndLaunchers, AnUnconfirmedRowKeepsTheTreeOnItsDishUntilConfirmed)
{
    openForm();
    select("2010010001");
    showPage(form->tshPadrao);
    ClientDataSet& list = *form->cdsProdPrat;
    ASSERT_FALSE(list.IsEmpty());
    list.Edit();
    list.FieldByName("QTPRODPRAT")->setAsFloat(0.07);
    list.Post();
    QApplication::processEvents();
    ASSERT_TRUE(form->mnuConfirmar->isEnabled());

    click("2010010002");
    EXPECT_EQ(form->dbaPadrao->SelectedCode(), "2010010001");
    EXPECT_EQ(dish(), "2010010001");
    EXPECT_EQ(form->pgcPadrao->currentWidget(), form->tshPadrao);
    EXPECT_EQ(list.ChangeCount(), 1);

    press(form->mnuConfirmar);
    click("2010010002");
    EXPECT_EQ(form->dbaPadrao->SelectedCode(), "2010010002");
    EXPECT_EQ(dish(), "2010010002");
}

TEST_F(RecipeTreeAndLaunchers, AGroupNodeLeavesARecipePageForTheDishRecord)
{
    openForm();
    for (QWidget* page : {form->tshPadrao, form->tshReceLoca}) {
        form->medCdFilial->setText("0002");
        select("2010010001");
        showPage(page);
        ASSERT_EQ(form->pgcPadrao->currentWidget(), page);
        EXPECT_FALSE(controles(form).dcbStatus->isHidden());

        click("201001");
        EXPECT_EQ(form->pgcPadrao->currentWidget(), form->tshFormulario);
        EXPECT_EQ(dish(), "201001");
        EXPECT_FALSE(form->pgcPadrao->isTabEnabled(form->pgcPadrao->indexOf(page)));
        EXPECT_TRUE(controles(form).dcbStatus->isHidden());
        EXPECT_TRUE(controles(form).lblStatus->isHidden());
    }
}

TEST_F(RecipeTreeAndLaunchers, DeleteInTheTreeIsSwallowedInQueryMode)
{
    Cli_pla01300::boConsulta = true;
    Cli_pla01300::stFilialC = "0002";
    openForm();
    select("2010010001");
    int key = Qt::Key_Delete;
    form->dbaPadrao->OnKeyDown(*form->dbaPadrao, key, Qt::NoModifier);
    EXPECT_EQ(key, 0);
    key = Qt::Key_Down;
    form->dbaPadrao->OnKeyDown(*form->dbaPadrao, key, Qt::NoModifier);
    EXPECT_EQ(key, Qt::Key_Down);
}

TEST_F(RecipeTreeAndLaunchers, ALocalDishIsMarkedAndKeepsTheBranchSelectorsOnItsOwnBranch)
{
    hostContext().FiliProc = "0003";
    openForm();
    const QStringList selectors{"medCdFilial", "btpFilial", "medCdFiliServ", "btpFiliServ"};
    const auto enabled = [&] {
        QStringList on;
        for (const QString& name : selectors)
            if (form->findChild<QWidget*>(name)->isEnabled())
                on << name;
        return on;
    };
    const auto image = [&](const QString& code) {
        TDBTree& tree = *form->dbaPadrao;
        const QModelIndexList found = tree.model()->match(tree.model()->index(0, 0), Qt::DisplayRole, code + u' ', 1,
                                                          Qt::MatchStartsWith | Qt::MatchRecursive);
        return found.isEmpty() ? QVariant() : found.first().data(Qt::DecorationRole);
    };
    click("2020010901");
    showPage(form->tshReceLoca);
    EXPECT_TRUE(image("2020010901").isValid());
    EXPECT_EQ(form->medCdFilial->Text(), "0003");
    EXPECT_EQ(enabled(), QStringList());

    click("2020010001");
    EXPECT_FALSE(image("2020010001").isValid());
    EXPECT_FALSE(image("202001").isValid());
    EXPECT_EQ(enabled(), selectors);
}

// --- Columns of the planning parameters -------------------------------------------------------

// Shows the requisition columns of the standard, branch and service grids (with their fields)
// exactly when shown is true; the menu-type grid never has them.
void RecipeTreeAndLaunchers::checkRequisitionColumns(bool shown)
{
    const std::tuple<TDBGrid*, ClientDataSet*, QStringList> grids[] = {
        {form->dbgProdPrat, form->cdsProdPrat, {"IDTPREQPRODPADR", "QTCOMPLPRODPADR", "IDUTCOMPENTDIRP"}},
        {form->dbgReceFili, form->cdsReceFili, {"IDTPREQPRODFILI", "QTCOMPLPRODFILI", "IDUTCOMPENTDIRF"}},
        {form->dbgReceServ, form->cdsReceServ, {"IDTPREQPRODSERV", "QTCOMPLPRODSERV", "IDUTCOMPENTDIRS"}},
    };
    for (const auto& [grid, list, fields] : grids)
        for (const QString& field : fields) {
            EXPECT_EQ(shows(grid, field), shown) << field.toStdString();
            EXPECT_EQ(list->FieldByName(field)->Visible(), shown) << field.toStdString();
        }
    for (int i = 0; i < form->dbgReceTpCard->ColumnCount(); ++i) {
        const QString field = form->dbgReceTpCard->Columns(i)->FieldName();
        for (const char* prefix : {"IDTPREQPROD", "QTCOMPLPROD", "IDUTCOMPENTDIR"})
            EXPECT_FALSE(field.startsWith(QLatin1String(prefix)) && form->dbgReceTpCard->Columns(i)->Visible())
                << field.toStdString();
    }
}

TEST_F(RecipeTreeAndLaunchers, RequisitionColumnsAreHiddenWhenTheBranchDoesNotUseThem)
{
    // The demo branches do not use requisition complements.
    ASSERT_EQ(value("SELECT IDUTREQCOMPENTD FROM PARAMPLANEJA WHERE CDFILIAL = '0002'").toString(), "N");
    openForm();
    checkRequisitionColumns(false);
}

TEST_F(RecipeTreeAndLaunchers, RequisitionColumnsAreShownWhenTheBranchUsesThem)
{
    exec("UPDATE PARAMPLANEJA SET IDUTREQCOMPENTD = 'S' WHERE CDFILIAL = '0002'");
    openForm();
    checkRequisitionColumns(true);
}

// --- Companion queries ------------------------------------------------------------------------------

TEST_F(RecipeTreeAndLaunchers, TheNutritionQueryOfTheStandardPageTakesNoCentralMenuTypeBranchOrService)
{
    openForm();
    select("2010010001");
    showPage(form->tshPadrao);
    using namespace Cli_pla01304;
    stCdCentral = stCdTpCard = stCdFilial = stCdServFili = "?";
    pressAndClose(form->findChild<QAction*>("mnuNutrientes"));
    EXPECT_EQ(QStringList({stCdCentral, stCdTpCard, stCdFilial, stCdServFili}), QStringList({"X", "X", "X", "X"}));
    EXPECT_EQ(QStringList({stNmCentral, stNmTpCard, stNmFilial, stNmServico}).join(""), "");
    EXPECT_EQ(stCdPrato, "2010010001");
    EXPECT_EQ(stNmPrato, "Arroz branco");
    EXPECT_EQ(stCdFilaux, "P");
}

TEST_F(RecipeTreeAndLaunchers, TheCostQueryOfTheBranchPageTakesThePagesBranchForRecipeAndPrices)
{
    hostContext().FiliProc = "0003"; // working on another branch than the page's
    openForm();
    form->medCdFilial->setText("0002");
    select("2010010001");
    showPage(form->tshReceLoca);
    ASSERT_EQ(form->medCdFilial->Text(), "0002");
    pressAndClose(form->findChild<QAction*>("mnuCusto"));
    const Cli_pla01305::Parametros& p = Cli_pla01305::parametros;
    EXPECT_EQ(p.cdFilial, "0002");
    EXPECT_EQ(p.cdFilialRef, "0002");
    EXPECT_EQ(p.nmFilial, form->findChild<QLineEdit*>("edtNmFilialLoc")->text());
    EXPECT_EQ(QStringList({p.cdCentral, p.nmCentral, p.cdTpCard, p.nmTpCard, p.cdServico, p.nmServico}).join(""), "");
    EXPECT_EQ(p.cdPrato, "2010010001");
    EXPECT_EQ(p.cdFilAuxPrat, "P");

    // The standard page prices the recipe at the working branch.
    showPage(form->tshPadrao);
    pressAndClose(form->findChild<QAction*>("mnuCusto"));
    EXPECT_EQ(p.cdFilial, "");
    EXPECT_EQ(p.cdFilialRef, "0003");
}

TEST_F(RecipeTreeAndLaunchers, TheNutritionQueryOfTheServicePageTakesItsBranchAndService)
{
    openForm();
    form->medCdFiliServ->setText("0002");
    form->medCdServico->setText("00002");
    select("2010010001");
    showPage(form->tshReceServ);
    // The user passes through the service and goes on to the recipe: the service is named.
    form->medCdServico->setFocus();
    QApplication::processEvents();
    form->dbgReceServ->setFocus();
    QApplication::processEvents();
    pressAndClose(form->findChild<QAction*>("mnuNutrientes"));
    using namespace Cli_pla01304;
    EXPECT_EQ(QStringList({stCdCentral, stCdTpCard}), QStringList({"X", "X"}));
    EXPECT_EQ(stCdFilial, "0002");
    EXPECT_EQ(stNmFilial, form->findChild<QLineEdit*>("edtNmFiliServ")->text());
    EXPECT_EQ(stCdServFili, "00002");
    EXPECT_EQ(stNmServico, form->findChild<QLineEdit*>("edtNmServico")->text());
    EXPECT_FALSE(stNmServico.isEmpty());
}

// --- Host modules and forms still to come ----------------------------------------------------------

TEST_F(RecipeTreeAndLaunchers, ImportingRecipesHandsTheBranchListToTheHostModuleAndReadsThePageAgain)
{
    openForm();
    form->medCdFilial->setText("0003");
    select("2010010001");
    showPage(form->tshReceLoca);
    const auto loads = [this] { return script->progressTexts().count("Carregando receitas por filial..."); };
    const auto before = loads();
    press(form->findChild<QAction*>("pmnReceita"));
    ASSERT_EQ(opened, QStringList{"PLA01301"});
    const QVariantList args = arguments.value("PLA01301");
    ASSERT_EQ(args.size(), 9);
    EXPECT_EQ(args[0].toLongLong(), qlonglong(reinterpret_cast<quintptr>(form->cdsReceFili)));
    EXPECT_EQ(args[1].toString(), "2010010001");
    EXPECT_EQ(args[2].toString(), "P");
    EXPECT_EQ(args[3].toString(), "00030002");
    EXPECT_EQ(args[4].toString(), "");
    EXPECT_EQ(args[7].toString(), "F");
    EXPECT_FALSE(args[8].toBool());
    EXPECT_EQ(form->findChild<QLineEdit*>("edtNmFilialLoc")->text().isEmpty(), false);
    EXPECT_EQ(loads(), before + 1);

    // The reports of the host take the working branch.
    press(form->findChild<QAction*>("mnuPrato"));
    press(form->findChild<QAction*>("PratoxReceitaUtilizada1"));
    press(form->findChild<QAction*>("mnuUtProdRece"));
    for (const char* module : {"PLA01303", "PLA05400", "PLA01308"})
        EXPECT_EQ(arguments.value(module), QVariantList{"0002"}) << module;
}

TEST_F(RecipeTreeAndLaunchers, TheQuantityToolsHandThePagesListAndLevelToTheirModules)
{
    openForm();
    form->medCdFilial->setText("0002");
    select("2010010001");
    showPage(form->tshReceLoca);
    ASSERT_FALSE(form->cdsReceFili->IsEmpty());
    form->dbgReceFili->setSelectedIndex(IndiceCol(*form->dbgReceFili, "NMPRODUTO"));
    press(form->findChild<QAction*>("pmnFatorAjuste"));
    EXPECT_EQ(arguments.value("PLA01306"),
              QVariantList({qlonglong(reinterpret_cast<quintptr>(form->cdsReceFili)), "QTPRODRECLOC", "QTUNIDESTLO",
                            "QTBRUTALOUNR", "IDQTDEFIXLO"}));
    // From the product's name the adjustment moves to the quantity the hospital types (net).
    EXPECT_EQ(form->dbgReceFili->SelectedField()->FieldName(), "QTPRODRECLOC");
    press(form->findChild<QAction*>("pmnRevQtde"));
    EXPECT_EQ(arguments.value("PLA01311"), QVariantList({"L", "0002"}));
}

TEST_F(RecipeTreeAndLaunchers, ABranchModuleMayNotImportStandardRecipesAndTheReportsOpenBelowTheirButton)
{
    hostContext().ModuFili = true;
    openForm();
    select("2010010001");
    showPage(form->tshPadrao);
    const QString refused = QString::fromUtf8("Receita padrão não pode ser incluída em módulo filial.");
    press(form->findChild<QAction*>("pmnReceita"));
    EXPECT_EQ(script->lastMessage().text, refused);
    press(form->findChild<QAction*>("pmnPrato"));
    EXPECT_EQ(script->lastMessage().text, refused);
    EXPECT_TRUE(opened.isEmpty());

    QTest::mouseClick(form->sbtImprimir, Qt::LeftButton);
    QApplication::processEvents();
    auto* reports = form->findChild<QMenu*>("pmnRelatorio");
    ASSERT_TRUE(reports->isVisible());
    EXPECT_EQ(reports->pos(), form->sbtImprimir->mapToGlobal(QPoint(0, form->sbtImprimir->height())));
    reports->close();
}

TEST_F(RecipeTreeAndLaunchers, ReplicationSaysItIsNotAvailableAndOnceConnectedReportsSuccessUnlessDishesWereLeftOut)
{
    openForm();
    select("2010010001");
    // A package without the replication form.
    form->companheiros().CriaReplicaPorServico = nullptr;
    form->companheiros().ReplicaDeixouPratos = nullptr;
    press(form->findChild<QAction*>("pmnReplicarPorServico"));
    EXPECT_EQ(script->lastMessage().text,
              QString::fromUtf8("A rotina \"Replicação de Receitas por Serviço\" ainda não está disponível "
                                "nesta instalação."));

    int calls = 0;
    form->companheiros().CriaReplicaPorServico = [&] { return ++calls == 1 ? mrCancel : mrOk; };
    const int shown = script->messages().size();
    press(form->findChild<QAction*>("pmnReplicarPorServico"));
    EXPECT_EQ(script->messages().size(), shown); // cancelled: nothing to say
    press(form->findChild<QAction*>("pmnReplicarPorServico"));
    EXPECT_EQ(script->lastMessage().text, QString::fromUtf8("Rotina concluída com sucesso."));

    // Dishes left out were named by the replication: that is no success.
    form->companheiros().ReplicaDeixouPratos = [] { return true; };
    const int named = script->messages().size();
    press(form->findChild<QAction*>("pmnReplicarPorServico"));
    EXPECT_EQ(script->messages().size(), named);
}

} // namespace
