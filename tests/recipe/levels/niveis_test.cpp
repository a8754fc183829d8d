// The branch, service and menu-type ingredient lists driven as a user on the demo database: the
// lock of revised recipes, the last row of a dish on a menu, duplicates, the menu type's fancy
// name, and an edit confirmed and read back at each level.
#include "niveis.h"

#include "framework/data/clientdataset.h"
#include "framework/forms/dbgrid.h"
#include "framework/forms/dbtree.h"
#include "framework/ui/maskedit.h"
#include "recipe/core/levelfields.h"
#include "recipe/levels/paginareceita.h"

#include <QAction>
#include <QCheckBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QTabWidget>

using namespace framework;

using recipe::Level;

TEST_F(RecipeLevels, ARevisedRecipeRefusesNewAndDeletedRowsUnlessTheGroupMayButQuantitiesStayEditable)
{
    openForm();
    showBranch("2010010001");
    const QString rows = count("SELECT COUNT(*) FROM RECEFILI WHERE CDFILIAL = '0002' AND CDPRATO = '2010010001'");
    ASSERT_EQ(list->RecordCount(), rows.toInt());

    press(form->mnuIncluir);
    EXPECT_EQ(script->lastMessage().text,
              QString::fromUtf8("Operador não autorizado a incluir / excluir produto em receita revisada."));
    EXPECT_EQ(list->state(), State::Browse);
    script->answer(mrYes); // "Excl"
    press(form->mnuExcluir);
    EXPECT_EQ(script->messages().size(), 3);
    EXPECT_EQ(script->lastMessage().text,
              QString::fromUtf8("Operador não autorizado a incluir / excluir produto em receita revisada."));
    EXPECT_EQ(count("SELECT COUNT(*) FROM RECEFILI WHERE CDFILIAL = '0002' AND CDPRATO = '2010010001'"), rows);

    // A group that does not set the parameter: the branch's lock itself is what the user reads.
    group(nullptr);
    press(form->mnuIncluir);
    EXPECT_EQ(script->lastMessage().text, QString::fromUtf8("Receita local bloqueada para inclusão / exclusão."));
    EXPECT_EQ(list->state(), State::Browse);

    // Quantities stay editable.
    list->First();
    const QString product = list->FieldByName("CDPRODUTO")->AsString();
    type("QTPRODRECLOC", "0,2");
    goTo("VRPEFATCOCLO");
    press(form->mnuConfirmar);
    EXPECT_EQ(script->messages().size(), 4) << script->messageTexts().join(" | ").toStdString();
    EXPECT_DOUBLE_EQ(value("SELECT QTPRODRECLOC FROM RECEFILI WHERE CDFILIAL = '0002' AND CDPRATO = '2010010001' "
                           "AND CDPRODUTO = '" + product + "'").toDouble(),
                     0.2);

    // A group that may change revised recipes inserts.
    group("SUPERVISAO");
    const int shown = script->messages().size();
    press(form->mnuIncluir);
    EXPECT_EQ(list->state(), State::Insert);
    EXPECT_EQ(script->messages().size(), shown);
    press(form->mnuCancelar);
}

// A saved row is posted with the keys it was read with: a selector that shows another branch by
// the time the row is posted never moves the row there.
TEST_F(RecipeLevels, AnEditedRowKeepsItsOwnKeysWhateverTheSelectorShows)
{
    openForm();
    showBranch("2010010001");
    list->First();
    const QString product = list->FieldByName("CDPRODUTO")->AsString();
    const QString rows = QStringLiteral("FROM RECEFILI WHERE CDPRATO = '2010010001' AND CDPRODUTO = '%1'").arg(product);
    type("QTPRODRECLOC", "0,2");
    form->medCdFilial->setText(QStringLiteral("0005"));
    press(form->mnuConfirmar);
    EXPECT_DOUBLE_EQ(value("SELECT QTPRODRECLOC " + rows + " AND CDFILIAL = '0002'").toDouble(), 0.2);
    EXPECT_EQ(count("SELECT COUNT(*) " + rows + " AND CDFILIAL = '0005'"), "0");
}

// Swapping an ingredient is offered on a level's grid only where the working branch keeps its
// revised recipes, and the toolbar's rules, run again at every idle tick, keep it so.
TEST_F(RecipeLevels, TheIngredientSwapIsOfferedOnlyWhereTheBranchKeepsRevisedRecipes)
{
    const auto swap = [this] { return form->findChild<QAction*>("mnuTrocaProd"); };
    openForm("0003"); // IDBLOALTRELO "N"
    showBranch("2010010001", "0003");
    form->AtualizaBotoes();
    EXPECT_FALSE(swap()->isEnabled());
    form->close();
    delete Cli_pla01300::frmReceitaPadrao;
    Cli_pla01300::frmReceitaPadrao = nullptr;
    Cli_pla01300::boIdCriado = false;

    openForm("0002"); // IDBLOALTRELO "S"
    showBranch("2010010001");
    form->AtualizaBotoes();
    EXPECT_TRUE(swap()->isEnabled());
    form->dbaPadrao->setFocus(); // off the grid
    QApplication::processEvents();
    form->AtualizaBotoes();
    EXPECT_FALSE(swap()->isEnabled());
}

// The branch and service headers show each name once, in the box beside the code.
TEST_F(RecipeLevels, EachSelectorHasOneNameBox)
{
    openForm();
    for (const char* name : {"edtNmFilialLoc", "edtNmFiliServ", "edtNmServico"})
        EXPECT_EQ(form->findChildren<QLineEdit*>(QString::fromLatin1(name)).size(), 1) << name;
    showBranch("2010010001");
    EXPECT_FALSE(form->findChild<QLineEdit*>("edtNmFilialLoc")->text().isEmpty());
}

TEST_F(RecipeLevels, ABranchsOwnDishNeverLocks)
{
    exec("UPDATE PARAMPLANEJA SET IDBLOALTRELO = 'S' WHERE CDFILIAL = '0003'");
    openForm("0003");
    showBranch("1010010901", "0003"); // the branch's own chicken
    EXPECT_FALSE(form->BloqAltRecLo(false));
    press(form->mnuIncluir);
    EXPECT_EQ(list->state(), State::Insert);
    EXPECT_TRUE(script->messages().isEmpty()) << script->messageTexts().join(" | ").toStdString();
    press(form->mnuCancelar);
    // A standard dish of the same branch is locked for the nutritionist.
    showBranch("2020010001", "0003");
    EXPECT_TRUE(form->BloqAltRecLo(false));
}

TEST_F(RecipeLevels, TheLastServiceRowOfADishOnTheMenuStays)
{
    group("SUPERVISAO");
    exec("DELETE FROM RECESERV WHERE CDFILIAL = '0002' AND CDSERVFILI = '00002' AND CDPRATO = '2010010001' AND "
         "CDPRODUTO <> (SELECT MIN(CDPRODUTO) FROM RECESERV WHERE CDSERVFILI = '00002' AND CDPRATO = '2010010001')");
    openForm();
    showService("2010010001");
    ASSERT_EQ(list->RecordCount(), 1);
    script->answer(mrYes); // "Excl"
    press(form->mnuExcluir);
    EXPECT_EQ(script->lastMessage().text, QString::fromUtf8("Prato utilizado no cardápio deve possuir receita revisada."));
    EXPECT_EQ(list->RecordCount(), 1);
    EXPECT_EQ(count("SELECT COUNT(*) FROM RECESERV WHERE CDSERVFILI = '00002' AND CDPRATO = '2010010001'"), "1");

    // Off the menu, the last row goes.
    exec("DELETE FROM CARDPRATO WHERE CDFILIAL = '0002'");
    script->answer(mrYes);
    press(form->mnuExcluir);
    EXPECT_EQ(count("SELECT COUNT(*) FROM RECESERV WHERE CDSERVFILI = '00002' AND CDPRATO = '2010010001'"), "0");
}

TEST_F(RecipeLevels, TheSameProductTwiceInABranchRecipeIsRefused)
{
    group("SUPERVISAO");
    openForm();
    showBranch("2010010001");
    press(form->mnuIncluir);
    ASSERT_EQ(list->state(), State::Insert);
    type("CDARVPROD", "3010010001"); // the rice itself
    goTo("QTPRODRECLOC");
    EXPECT_EQ(script->lastMessage().text, QString::fromUtf8("Produto já cadastrado na receita local."));
    EXPECT_EQ(grid->SelectedColumn()->FieldName(), "CDARVPROD");
    press(form->mnuCancelar);
    EXPECT_EQ(count("SELECT COUNT(*) FROM RECEFILI WHERE CDFILIAL = '0002' AND CDPRATO = '2010010001'"),
              QString::number(list->RecordCount()));
}

TEST_F(RecipeLevels, LeavingTheMenuTypePanelGivesItTheStandardFancyNameOnce)
{
    openForm();
    showMenuType("2010010001", "", false);
    const QString where = " FROM PRATTPCARD WHERE CDTIPOCARD = 'ESCOLAR' AND CDPRATO = '2010010001'";
    ASSERT_EQ(count("SELECT COUNT(*)" + where), "0");
    form->medCdTpCard->setFocus();
    QApplication::processEvents();
    QTest::keyClick(form->medCdTpCard, Qt::Key_Home);
    QTest::keyClicks(form->medCdTpCard, "escolar");
    grid->setFocus(); // leaves the panel
    QApplication::processEvents();
    EXPECT_TRUE(script->messages().isEmpty()) << script->messageTexts().join(" | ").toStdString();
    EXPECT_EQ(form->findChild<QLineEdit*>("edtNmTpCard")->text(), QString::fromUtf8("Cardápio escolar"));
    EXPECT_EQ(count("SELECT COUNT(*)" + where), "1");
    EXPECT_EQ(count("SELECT NMFANTASIAPRTP" + where), "Arroz branco");
    EXPECT_EQ(count("SELECT IDATIVO" + where), "S");
    EXPECT_EQ(form->cdsPratTpCard->ChangeCount(), 0);

    // Back in the panel and out again: the name is there, nothing more is sent.
    exec("UPDATE PRATTPCARD SET NMFANTASIAPRTP = 'Outro' WHERE CDTIPOCARD = 'ESCOLAR'");
    form->medCdTpCard->setFocus();
    QApplication::processEvents();
    grid->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(count("SELECT NMFANTASIAPRTP" + where), "Outro");
    EXPECT_EQ(form->cdsPratTpCard->state(), State::Browse);
}

// Choosing another menu type: while its code has the focus the page shows nothing of the previous
// one and offers no command on it; leaving shows the chosen menu type's recipe.
TEST_F(RecipeLevels, WhileTheMenuTypeIsChosenThePreviousRecipeIsNeitherShownNorEditable)
{
    openForm();
    showMenuType("2020010001", "PADRAO");
    const int rows = list->RecordCount();
    ASSERT_GT(rows, 0);
    ASSERT_TRUE(form->mnuAlterar->isEnabled());
    form->medCdTpCard->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(list->RecordCount(), 0);
    EXPECT_TRUE(form->cdsPratTpCard->IsEmpty());
    EXPECT_FALSE(form->mnuAlterar->isEnabled());
    EXPECT_FALSE(form->mnuExcluir->isEnabled());
    grid->setFocus();
    QApplication::processEvents();
    EXPECT_TRUE(script->messages().isEmpty()) << script->messageTexts().join(" | ").toStdString();
    EXPECT_EQ(list->RecordCount(), rows);
}

TEST_F(RecipeLevels, AFlagTitleOnTheMenuTypeGridChangesThatMenuTypesRecipeOnly)
{
    openForm();
    showMenuType("2020010001", "PADRAO");
    ASSERT_FALSE(list->IsEmpty());
    const QString rows = count("SELECT COUNT(*) FROM RECETPCARD WHERE CDTIPOCARD = 'PADRAO'");
    for (const char* field : {"IDPRODBASEPRTP", "IDQTDEFIXPRTP"}) {
        const int column = IndiceCol(*grid, QString::fromLatin1(field));
        ASSERT_GE(column, 0) << field;
        emit grid->horizontalHeader()->sectionClicked(column);
        QApplication::processEvents();
        EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM RECETPCARD WHERE CDTIPOCARD = 'PADRAO' AND %1 = 'S'")
                            .arg(QLatin1String(field))),
                  rows);
        EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM RECETPCARD WHERE CDTIPOCARD <> 'PADRAO' AND %1 = 'S'")
                            .arg(QLatin1String(field))),
                  "0");
        for (list->First(); !list->Eof(); list->Next())
            EXPECT_EQ(list->FieldByName(QString::fromLatin1(field))->AsString(), "S");
    }
    // The standard recipe of the dish is left as it was.
    EXPECT_EQ(count("SELECT COUNT(*) FROM PRODPRAT WHERE CDPRATO = '2020010001' AND (IDQTDEFIXPR = 'S' OR "
                    "IDPRODBASEPR = 'S')"),
              "0");
    EXPECT_TRUE(script->messages().isEmpty()) << script->messageTexts().join(" | ").toStdString();
}

// A product typed on a new menu-type row: its presentation is checked as on a saved row.
TEST_F(RecipeLevels, ANewMenuTypeRowHasItsPresentationChecked)
{
    openForm();
    showMenuType("2010010001", "HOSPITALAR");
    press(form->mnuIncluir);
    ASSERT_EQ(list->state(), State::Insert);
    type("CDARVPROD", "4020010001"); // an egg
    type("CDAPRERECE", "9");
    goTo("QTPRODPRATTP");
    EXPECT_EQ(script->lastMessage().text, QString::fromUtf8("Apresentação não cadastrada."));
    EXPECT_EQ(grid->SelectedColumn()->FieldName(), "CDAPRERECE");
    type("CDAPRERECE", "2");
    goTo("QTPRODPRATTP");
    EXPECT_EQ(list->FieldByName("CDAPRERECE")->AsString(), "002");
    EXPECT_EQ(list->FieldByName("NMAPRERECE")->AsString(), "Congelado");
    type("QTPRODPRATTP", "1");
    goTo("VRPEFATCOCPRTP");
    press(form->mnuConfirmar);
    EXPECT_EQ(script->messages().size(), 1) << script->messageTexts().join(" | ").toStdString();
    EXPECT_EQ(count("SELECT R.CDAPRERECE FROM RECETPCARD R JOIN PRODUTO P ON P.CDPRODUTO = R.CDPRODUTO "
                    "WHERE R.CDTIPOCARD = 'HOSPITALAR' AND R.CDPRATO = '2010010001' AND P.CDARVPROD = '4020010001'"),
              "002");
}

// Each level's quantity and cleaning loss typed, confirmed, read back from the server.
class RecipeLevelsOnBackends : public RecipeLevels, public ::testing::WithParamInterface<testdb::Backend> {
protected:
    RecipeLevelsOnBackends() { backend = GetParam(); }

    void editConfirmAndReload(const char* table, const QString& where)
    {
        const recipe::LevelFields& f = page->nivel();
        ASSERT_FALSE(list->IsEmpty());
        list->First();
        const QString product = list->FieldByName("CDPRODUTO")->AsString();
        type(f.netQty, "0,125");
        type(f.cleaningLoss, "20");
        goTo(f.prepTime);
        const double gross = list->FieldByName(f.grossQty)->AsFloat();
        EXPECT_DOUBLE_EQ(gross, 0.15625);
        press(form->mnuConfirmar);
        EXPECT_TRUE(script->messages().isEmpty()) << script->messageTexts().join(" | ").toStdString();
        EXPECT_EQ(list->ChangeCount(), 0);
        press(form->mnuVerificar); // reads the level anew
        ASSERT_TRUE(list->Locate("CDPRODUTO", product));
        EXPECT_DOUBLE_EQ(list->FieldByName(f.netQty)->AsFloat(), 0.125);
        EXPECT_DOUBLE_EQ(list->FieldByName(f.cleaningLoss)->AsFloat(), 20);
        EXPECT_DOUBLE_EQ(list->FieldByName(f.cleaningYield)->AsFloat(), 80);
        EXPECT_DOUBLE_EQ(list->FieldByName(f.grossQty)->AsFloat(), gross);
        const QString sql = QStringLiteral("SELECT %1 FROM %2 WHERE %3 AND CDPRATO = '2010010001' AND CDPRODUTO = '%4'")
                                .arg(f.netQty, QLatin1String(table), where, product);
        EXPECT_DOUBLE_EQ(value(sql).toDouble(), 0.125);
    }
};

TEST_P(RecipeLevelsOnBackends, AnEditConfirmedAtEachLevelReadsBackTheSame)
{
    openForm();
    showBranch("2010010001");
    editConfirmAndReload("RECEFILI", "CDFILIAL = '0002'");
    showService("2010010001");
    editConfirmAndReload("RECESERV", "CDFILIAL = '0002' AND CDSERVFILI = '00002'");
    showMenuType("2010010001", "HOSPITALAR");
    editConfirmAndReload("RECETPCARD", "CDFILCENTPME = '0001' AND CDTIPOCARD = 'HOSPITALAR'");
}

// The branch's quantity per person: refused by the cook-chill check before anything is asked or
// scaled; posted, asked once and scaled once, with "Alteração Proporcional" on.
TEST_P(RecipeLevelsOnBackends, TheBranchsQuantityPerPersonScalesItsRecipeOnceAfterItsChecks)
{
    exec("INSERT INTO PRATFILI (CDFILIAL, CDFILAUXPRAT, CDPRATO, NMFANTASIAPF, QTPADRAOFILI, IDPRODCHILL, "
         "QTLIMSEGFILI, IDTPPRODCHILL, IDATIVO) VALUES ('0002', 'P', '2010010001', 'Arroz da casa', 2, 'S', '0', "
         "'CONGELADO', 'S')");
    const QString rows = "FROM RECEFILI WHERE CDFILIAL = '0002' AND CDPRATO = '2010010001'";
    exec("UPDATE RECEFILI SET QTPRODRECLOC = 10 WHERE CDFILIAL = '0002' AND CDPRATO = '2010010001'");
    // Oil counted in boxes: no way to the dish's kilograms.
    exec("UPDATE RECEFILI SET SGUNIDADE = 'CX' WHERE CDFILIAL = '0002' AND CDPRATO = '2010010001' "
         "AND CDPRODUTO = (SELECT CDPRODUTO FROM PRODUTO WHERE CDARVPROD = '5010010001')");
    const auto net = [&](const char* tree) {
        return value(QStringLiteral("SELECT R.QTPRODRECLOC FROM RECEFILI R JOIN PRODUTO P ON P.CDPRODUTO = R.CDPRODUTO "
                                    "WHERE R.CDFILIAL = '0002' AND R.CDPRATO = '2010010001' AND P.CDARVPROD = '%1'")
                         .arg(QLatin1String(tree)))
            .toDouble();
    };
    openForm();
    showBranch("2010010001");
    form->findChild<QCheckBox*>("chbAltPropLo")->setChecked(true);
    typeInto("dbeQtPadraoFili", "3");
    press(form->mnuConfirmar); // no answer queued: a question now would fail the test
    EXPECT_EQ(script->messageKeys(), QStringList{"ANTECIPACAO_NEG_ZER"});
    EXPECT_EQ(list->ChangeCount(), 0);

    typeInto("dbeLimAnteLocal", "2");
    script->answer(mrYes); // alt_prop_prod_rec
    press(form->mnuConfirmar);
    EXPECT_EQ(script->messageKeys().count("alt_prop_prod_rec"), 1);
    EXPECT_DOUBLE_EQ(value("SELECT QTPADRAOFILI FROM PRATFILI WHERE CDFILIAL = '0002' AND CDPRATO = '2010010001'")
                         .toDouble(),
                     3);
    EXPECT_DOUBLE_EQ(net("3010010001"), 15);
    EXPECT_DOUBLE_EQ(net("1040010001"), 15);
    EXPECT_DOUBLE_EQ(net("5010010001"), 10); // boxes: not in the dish's unit
    EXPECT_EQ(list->ChangeCount(), 0);
    EXPECT_EQ(count("SELECT COUNT(*) " + rows), QString::number(list->RecordCount()));
}

INSTANTIATE_TEST_SUITE_P(Backends, RecipeLevelsOnBackends,
                         ::testing::Values(testdb::Backend::Sqlite, testdb::Backend::Postgres),
                         [](const auto& info) { return testdb::backendName(info.param); });
