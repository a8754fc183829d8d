// The standard ingredient list driven as a user: products typed into the grid, quantities and
// factors typed cell by cell with the derived columns following, the row checks, the
// proportional update and the rescaling, checked on screen and in the database.
#include "niveis.h"

#include "framework/core/consiste.h"
#include "framework/data/clientdataset.h"
#include "framework/forms/dbgrid.h"
#include "framework/forms/dbtree.h"
#include "framework/ui/guard.h"
#include "recipe/levels/paginareceita.h"

#include <QAction>
#include <QCheckBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QTabWidget>

using namespace framework;

namespace {

using State = ClientDataSet::State;

// Rice (dish 2010010001 of the demo, in KG): garlic, rice, oil and salt, in product-code order.
// Branch 0002 works in net quantities ("B").
class RecipeIngredients : public RecipeLevels {
protected:
    void SetUp() override
    {
        RecipeFormTest::SetUp();
        if (IsSkipped())
            return;
        // The nutritionist may change recipes herself: no supervisor prompt on each row.
        for (const char* op : {"INCLUSAO_PRODUTO_RECEITA_PADRAO", "ALTERACAO_PRODUTO_RECEITA_PADRAO",
                               "EXCLUSAO_PRODUTO_RECEITA_PADRAO"})
            exec(QStringLiteral("INSERT INTO USUAUTORIZA (CDOPERADOR, NRTIPOAUTORIZA, CDOPERACAO) VALUES ('NUTRI', 4, '%1')")
                     .arg(QLatin1String(op)));
    }

    void openOnDish(const QString& dish)
    {
        openForm("0002");
        showLevel(recipe::Level::Padrao, dish);
    }
    QString product(const char* tree)
    {
        return value(QStringLiteral("SELECT CDPRODUTO FROM PRODUTO WHERE CDARVPROD = '%1'").arg(QLatin1String(tree)))
            .toString();
    }
    QVariant stored(const char* column, const char* tree)
    {
        return value(QStringLiteral("SELECT R.%1 FROM PRODPRAT R JOIN PRODUTO P ON P.CDPRODUTO = R.CDPRODUTO "
                                    "WHERE R.CDFILAUXPRAT = 'P' AND R.CDPRATO = '2010010001' AND P.CDARVPROD = '%2'")
                         .arg(QLatin1String(column), QLatin1String(tree)));
    }
    double shown(const char* field) const { return list->FieldByName(QString::fromLatin1(field))->AsFloat(); }

    // Keys as the user types them: each to whatever has the focus by then (the cell's editor once
    // the first key opened it).
    static void typeKeys(const QString& text)
    {
        for (const QChar c : text) {
            QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
            QApplication::processEvents();
        }
    }
    // The nutritionist may not change the standard recipe herself: the supervisor is asked.
    void withoutOwnAuthorisation() { exec("DELETE FROM USUAUTORIZA WHERE CDOPERADOR = 'NUTRI'"); }
};

} // namespace

TEST_F(RecipeIngredients, ANewRowStartsWithNeutralFactorsAndProductionRequisition)
{
    openOnDish("2010010001");
    press(form->mnuIncluir);
    ASSERT_EQ(list->state(), State::Insert);
    EXPECT_DOUBLE_EQ(shown("VRPEFATCOCPR"), 0);
    EXPECT_DOUBLE_EQ(shown("VRPEFATCOCPRAP"), 100);
    EXPECT_DOUBLE_EQ(shown("VRPEFATCORPRAP"), 100);
    EXPECT_DOUBLE_EQ(shown("VRPEFATNUTPR"), 100);
    EXPECT_DOUBLE_EQ(shown("VRPERCDEGELO"), 0);
    EXPECT_EQ(list->FieldByName("IDTPREQPRODPADR")->AsString(), "P");
    EXPECT_EQ(list->FieldByName("IDUTCOMPENTDIRP")->AsString(), "N");
    EXPECT_EQ(list->FieldByName("IDTPREQPRODPADR")->DisplayText(), QString::fromUtf8("Produção"));
    EXPECT_EQ(grid->SelectedColumn()->FieldName(), "CDARVPROD");
    press(form->mnuCancelar);
}

// A product typed on a new row, its quantity and cleaning loss typed after it: the gross,
// requisition and nutrient quantities follow at each column exit and reach the database with
// Confirmar.
class RecipeIngredientsOnBackends : public RecipeIngredients, public ::testing::WithParamInterface<testdb::Backend> {
protected:
    RecipeIngredientsOnBackends() { backend = GetParam(); }
};

TEST_P(RecipeIngredientsOnBackends, ATypedProductAndItsQuantitiesReachTheDatabase)
{
    openOnDish("2010010001");
    press(form->mnuIncluir);
    type("CDARVPROD", "4020010001");
    type("QTPRODPRAT", "2");
    // Leaving the product brought its name, stock unit and registered cleaning loss.
    EXPECT_EQ(list->FieldByName("NMPRODUTO")->AsString(), "Ovo branco");
    EXPECT_EQ(list->FieldByName("SGUNIDADE")->DisplayText(), "UN");
    EXPECT_DOUBLE_EQ(shown("VRPEFATCORPR"), 12);
    EXPECT_DOUBLE_EQ(shown("VRPEFATCORPRAP"), 88);
    type("VRPEFATCORPR", "20");
    goTo("HRTEMPPREPPR");
    EXPECT_DOUBLE_EQ(shown("VRPEFATCORPRAP"), 80);
    EXPECT_DOUBLE_EQ(shown("QTBRUTAPRUNR"), 2.5);
    EXPECT_DOUBLE_EQ(shown("QTBRUTAPR"), 2.5);
    EXPECT_EQ(list->FieldByName("QTBRUTAPR")->DisplayText(), "2,50000  UN");
    EXPECT_DOUBLE_EQ(shown("BASECALCNUTR"), 2.0);
    EXPECT_DOUBLE_EQ(shown("QTCALCNUTRPR"), 2.0);
    list->FieldByName("HRTEMPPREPPR")->setAsString("0130"); // kept as three digits of hours, two of minutes
    press(form->mnuConfirmar);
    EXPECT_TRUE(script->messages().isEmpty()) << script->messageTexts().join(" | ").toStdString();
    EXPECT_EQ(list->ChangeCount(), 0);
    EXPECT_DOUBLE_EQ(stored("QTPRODPRAT", "4020010001").toDouble(), 2);
    EXPECT_DOUBLE_EQ(stored("QTBRUTAPRUNR", "4020010001").toDouble(), 2.5);
    EXPECT_DOUBLE_EQ(stored("QTBRUTAPR", "4020010001").toDouble(), 2.5);
    EXPECT_DOUBLE_EQ(stored("VRPEFATCORPRAP", "4020010001").toDouble(), 80);
    EXPECT_DOUBLE_EQ(stored("QTCALCNUTRPR", "4020010001").toDouble(), 2.0);
    EXPECT_EQ(stored("IDTPREQPRODPADR", "4020010001").toString(), "P");
    EXPECT_TRUE(stored("SGUNIDADE", "4020010001").isNull()); // the stock unit is kept as no unit
    EXPECT_EQ(stored("HRTEMPPREPPR", "4020010001").toString(), "00130");
}

TEST_P(RecipeIngredientsOnBackends, TheProportionalUpdateScalesTheUnfixedRowsAndTheServerTakesThemAll)
{
    exec("UPDATE PRODPRAT SET QTPRODPRAT = 10 WHERE CDFILAUXPRAT = 'P' AND CDPRATO = '2010010001'");
    exec(QStringLiteral("UPDATE PRODPRAT SET QTPRODPRAT = 100 WHERE CDPRATO = '2010010001' AND CDPRODUTO = '%1'")
             .arg(product("1040010001")));
    exec(QStringLiteral("UPDATE PRODPRAT SET IDQTDEFIXPR = 'S' WHERE CDPRATO = '2010010001' AND CDPRODUTO = '%1'")
             .arg(product("5020010001")));
    openOnDish("2010010001");
    form->findChild<QCheckBox*>("chbAltPropPadr")->setChecked(true);
    list->First(); // garlic
    type("QTPRODPRAT", "150");
    goTo("VRPEFATCOCPR");
    press(form->mnuConfirmar);
    EXPECT_TRUE(script->messages().isEmpty()) << script->messageTexts().join(" | ").toStdString();
    EXPECT_DOUBLE_EQ(stored("QTPRODPRAT", "1040010001").toDouble(), 150);
    EXPECT_DOUBLE_EQ(stored("QTPRODPRAT", "3010010001").toDouble(), 15);
    EXPECT_DOUBLE_EQ(stored("QTPRODPRAT", "5010010001").toDouble(), 15);
    EXPECT_DOUBLE_EQ(stored("QTPRODPRAT", "5020010001").toDouble(), 10);
    // Each rescaled row carries its own derived quantities (rice loses nothing).
    EXPECT_DOUBLE_EQ(stored("QTBRUTAPR", "3010010001").toDouble(), 15);
    EXPECT_EQ(list->FieldByName("CDARVPROD")->AsString(), "1040010001");
}

// The quantity per person doubled with "Alteração Proporcional" on: the rescale is one run, the
// rows it posts start no proportional update of the others.
TEST_P(RecipeIngredientsOnBackends, AQuantityPerPersonRescaleIsOneRunWithTheProportionalChangeOn)
{
    exec("UPDATE PRODPRAT SET QTPRODPRAT = 10 WHERE CDFILAUXPRAT = 'P' AND CDPRATO = '2010010001'");
    exec(QStringLiteral("UPDATE PRODPRAT SET QTPRODPRAT = 20 WHERE CDPRATO = '2010010001' AND CDPRODUTO = '%1'")
             .arg(product("3010010001")));
    exec("UPDATE DADOSPRAT SET QTPADRAOPRAT = 100 WHERE CDFILAUXPRAT = 'P' AND CDPRATO = '2010010001'");
    // Oil counted in boxes: no way to the dish's kilograms.
    exec("UPDATE PRODPRAT SET SGUNIDADE = 'CX' WHERE CDPRATO = '2010010001' "
         "AND CDPRODUTO = (SELECT CDPRODUTO FROM PRODUTO WHERE CDARVPROD = '5010010001')");
    openOnDish("2010010001");
    form->findChild<QCheckBox*>("chbAltPropPadr")->setChecked(true);
    typeInto("dbeQtPadraoPadr", "200");
    script->answer(mrYes); // alt_prop_prod_rec
    press(form->mnuConfirmar);
    EXPECT_EQ(script->messageKeys(), QStringList{"alt_prop_prod_rec"});
    EXPECT_DOUBLE_EQ(value("SELECT QTPADRAOPRAT FROM DADOSPRAT WHERE CDPRATO = '2010010001'").toDouble(), 200);
    EXPECT_DOUBLE_EQ(stored("QTPRODPRAT", "1040010001").toDouble(), 20);
    EXPECT_DOUBLE_EQ(stored("QTPRODPRAT", "3010010001").toDouble(), 40);
    EXPECT_DOUBLE_EQ(stored("QTPRODPRAT", "5020010001").toDouble(), 20);
    EXPECT_DOUBLE_EQ(stored("QTPRODPRAT", "5010010001").toDouble(), 10); // boxes: not in the dish's unit
    EXPECT_DOUBLE_EQ(stored("QTBRUTAPR", "3010010001").toDouble(), 40);
    EXPECT_EQ(list->ChangeCount(), 0);
}

// Cook chill without anticipation refuses the dish data before anything is asked or scaled; the
// post that goes through asks once and scales once; a refused edit given up leaves the rows.
TEST_P(RecipeIngredientsOnBackends, ARefusedDishDataPostScalesNothingAndItsRetryScalesOnce)
{
    exec("UPDATE DADOSPRAT SET QTPADRAOPRAT = 2, IDPRODCHILL = 'S', QTLIMSEGPADR = '0', IDTPPRODCHILL = 'CONGELADO' "
         "WHERE CDFILAUXPRAT = 'P' AND CDPRATO = '2010010001'");
    const double rice = stored("QTPRODPRAT", "3010010001").toDouble();
    openOnDish("2010010001");
    typeInto("dbeQtPadraoPadr", "3");
    press(form->mnuConfirmar); // no answer queued: a question now would fail the test
    EXPECT_EQ(script->messageKeys(), QStringList{"ANTECIPACAO_NEG_ZER"});
    EXPECT_EQ(form->cdsDadosPrat->state(), State::Edit);
    EXPECT_EQ(list->ChangeCount(), 0);

    typeInto("dbeLimAntePadr", "2");
    script->answer(mrYes); // alt_prop_prod_rec
    press(form->mnuConfirmar);
    EXPECT_EQ(script->messageKeys().count("alt_prop_prod_rec"), 1);
    EXPECT_DOUBLE_EQ(value("SELECT QTPADRAOPRAT FROM DADOSPRAT WHERE CDPRATO = '2010010001'").toDouble(), 3);
    EXPECT_NEAR(stored("QTPRODPRAT", "3010010001").toDouble(), rice * 1.5, 1e-9);

    // Refused again and given up: the record and the rows are what the database holds.
    script->reset();
    typeInto("dbeQtPadraoPadr", "6");
    typeInto("dbeLimAntePadr", "0");
    press(form->mnuConfirmar);
    EXPECT_EQ(script->messageKeys(), QStringList{"ANTECIPACAO_NEG_ZER"});
    script->answer(mrYes); // Canc_Todas
    press(form->mnuCancelar);
    EXPECT_EQ(form->cdsDadosPrat->state(), State::Browse);
    EXPECT_DOUBLE_EQ(form->cdsDadosPrat->FieldByName("QTPADRAOPRAT")->AsFloat(), 3);
    EXPECT_EQ(list->ChangeCount(), 0);
    ASSERT_TRUE(list->Locate("CDARVPROD", QStringLiteral("3010010001")));
    EXPECT_NEAR(shown("QTPRODPRAT"), rice * 1.5, 1e-9);
    EXPECT_NEAR(stored("QTPRODPRAT", "3010010001").toDouble(), rice * 1.5, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(Backends, RecipeIngredientsOnBackends,
                         ::testing::Values(testdb::Backend::Sqlite, testdb::Backend::Postgres),
                         [](const auto& info) { return testdb::backendName(info.param); });

TEST_F(RecipeIngredients, NoProportionalUpdateForANewRowOrFromAZeroQuantity)
{
    exec("UPDATE PRODPRAT SET QTPRODPRAT = 0 WHERE CDFILAUXPRAT = 'P' AND CDPRATO = '2010010001'");
    openOnDish("2010010001");
    form->findChild<QCheckBox*>("chbAltPropPadr")->setChecked(true);
    list->First();
    type("QTPRODPRAT", "5");
    goTo("VRPEFATCOCPR");
    press(form->mnuConfirmar);
    EXPECT_DOUBLE_EQ(stored("QTPRODPRAT", "1040010001").toDouble(), 5);
    EXPECT_DOUBLE_EQ(stored("QTPRODPRAT", "3010010001").toDouble(), 0);
    // A new row is never a reason to rescale the others.
    press(form->mnuIncluir);
    type("CDARVPROD", "4020010001");
    type("QTPRODPRAT", "3");
    goTo("VRPEFATCOCPR");
    press(form->mnuConfirmar);
    EXPECT_DOUBLE_EQ(stored("QTPRODPRAT", "4020010001").toDouble(), 3);
    EXPECT_DOUBLE_EQ(stored("QTPRODPRAT", "1040010001").toDouble(), 5);
}

TEST_F(RecipeIngredients, TheSameProductTwiceIsRefusedAtTheColumnAndAtThePost)
{
    openOnDish("2010010001");
    press(form->mnuIncluir);
    type("CDARVPROD", "3010010001");
    goTo("QTPRODPRAT");
    EXPECT_EQ(script->lastMessage().text, QString::fromUtf8("Produto já cadastrado na receita padrão."));
    EXPECT_EQ(grid->SelectedColumn()->FieldName(), "CDARVPROD");
    guarded([this] { list->Post(); });
    EXPECT_EQ(script->messages().size(), 2);
    EXPECT_EQ(list->state(), State::Insert);
    press(form->mnuCancelar);
    EXPECT_EQ(value("SELECT COUNT(*) FROM PRODPRAT WHERE CDFILAUXPRAT = 'P' AND CDPRATO = '2010010001'").toInt(), 4);
}

TEST_F(RecipeIngredients, FactorRangesAndUnitsAreCheckedWhenTheColumnIsLeft)
{
    openOnDish("2010010001");
    list->First();
    type("VRPEFATCORPR", "100");
    goTo("VRPERCDEGELO");
    EXPECT_EQ(script->lastMessage().text, "Perda limpeza deve estar entre 0% e 99%.");
    EXPECT_EQ(grid->SelectedColumn()->FieldName(), "VRPEFATCORPR");
    type("VRPEFATCORPR", "99");
    goTo("VRPERCDEGELO");
    EXPECT_EQ(script->messages().size(), 1);
    EXPECT_DOUBLE_EQ(shown("VRPEFATCORPRAP"), 1);
    type("VRPERCDEGELO", "99,5");
    goTo("QTPRODPRAT");
    EXPECT_EQ(script->lastMessage().text, "Perda de degelo deve estar entre 0% e 99%.");
    type("VRPERCDEGELO", "0");
    type("SGUNIDADE", "DZ"); // dozens of garlic: no such conversion
    goTo("QTPRODPRAT");
    EXPECT_EQ(script->lastMessage().text, QString::fromUtf8("Unidade de medida não cadastrada."));
    type("SGUNIDADE", "G");
    goTo("QTPRODPRAT");
    EXPECT_EQ(list->FieldByName("SGUNIDADE")->AsString(), "G");
    EXPECT_DOUBLE_EQ(shown("QTBRUTAPR"), framework::RoundDec(shown("QTBRUTAPRUNR") / 1000, 5));
    // The stock unit typed again leaves the field empty: the row shows the stock unit.
    type("SGUNIDADE", "KG");
    goTo("QTPRODPRAT");
    EXPECT_TRUE(list->FieldByName("SGUNIDADE")->IsNull());
    EXPECT_EQ(list->FieldByName("SGUNIDADE")->DisplayText(), "KG");
    press(form->mnuCancelar);

    // The cleaning yield: 1 accepted, 0 refused.
    recipe::PaginaReceita& page = form->PaginaPadrao();
    list->Edit();
    Field* yield = list->FieldByName("VRPEFATCORPRAP");
    yield->setAsFloat(1);
    EXPECT_TRUE(guardedOk([&] { page.Vd_PeFatCorr(*yield, true); }));
    yield->setAsFloat(0);
    EXPECT_FALSE(guardedOk([&] { page.Vd_PeFatCorr(*yield, true); }));
    EXPECT_EQ(script->lastMessage().text, "Aprov. limpeza deve estar entre 1% e 100%.");
    list->Cancel();
}

TEST_F(RecipeIngredients, TheLastIngredientOfAStandardDishStays)
{
    exec(QStringLiteral("DELETE FROM PRODPRAT WHERE CDFILAUXPRAT = 'P' AND CDPRATO = '2010010001' AND CDPRODUTO <> '%1'")
             .arg(product("3010010001")));
    openOnDish("2010010001");
    ASSERT_EQ(list->RecordCount(), 1);
    script->answer(mrYes); // "Excl"
    press(form->mnuExcluir);
    EXPECT_EQ(script->lastMessage().text, QString::fromUtf8("Prato deve possuir receita padrão."));
    EXPECT_EQ(list->RecordCount(), 1);
    EXPECT_EQ(value("SELECT COUNT(*) FROM PRODPRAT WHERE CDFILAUXPRAT = 'P' AND CDPRATO = '2010010001'").toInt(), 1);
}

TEST_F(RecipeIngredients, RescalingByQuantityPerPersonLeavesUnconvertibleRowsAlone)
{
    // Oil counted in boxes: no way to the dish's kilograms.
    exec("UPDATE PRODPRAT SET SGUNIDADE = 'CX' WHERE CDPRATO = '2010010001' "
         "AND CDPRODUTO = (SELECT CDPRODUTO FROM PRODUTO WHERE CDARVPROD = '5010010001')");
    openOnDish("2010010001");
    const auto net = [this](const char* tree) {
        EXPECT_TRUE(list->Locate("CDARVPROD", QString::fromLatin1(tree)));
        return shown("QTPRODPRAT");
    };
    const double rice = net("3010010001");
    const double oil = net("5010010001");
    form->Calcula_Qtde_Prop_Pessoa(*list, 2.0);
    EXPECT_DOUBLE_EQ(net("3010010001"), rice * 2);
    EXPECT_DOUBLE_EQ(shown("QTBRUTAPR"), framework::RoundDec(rice * 2, 5));
    EXPECT_DOUBLE_EQ(net("5010010001"), oil);
    EXPECT_EQ(list->ChangeCount(), 3);
    EXPECT_TRUE(script->messages().isEmpty()) << script->messageTexts().join(" | ").toStdString();
    // The entry mode the branch works in is untouched.
    EXPECT_EQ(form->cdsParamPlaneja->FieldByName("IDQTLIQUBRUT")->AsString(), "B");
}

TEST_F(RecipeIngredients, TheProductOfASavedRowCannotBeRetypedAndDerivedColumnsShowGreyed)
{
    openOnDish("2010010001");
    list->First();
    goTo("CDARVPROD");
    QTest::keyClick(grid, Qt::Key_F2);
    auto* editor = qobject_cast<QLineEdit*>(grid->InplaceEditor());
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_End);
    QTest::keyClick(editor, Qt::Key_Backspace);
    QTest::keyClicks(editor, "9");
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_EQ(list->FieldByName("CDARVPROD")->AsString(), "1040010001");
    press(form->mnuCancelar);

    // Net quantities are typed on this branch: the gross and requisition columns are derived.
    const auto paint = [this](const char* field) {
        return grid->cellPaint(grid->model()->index(list->currentPosition(), IndiceCol(*grid, QString::fromLatin1(field))),
                               false);
    };
    EXPECT_FALSE(paint("QTPRODPRAT").greyed);
    EXPECT_TRUE(paint("QTBRUTAPRUNR").greyed);
    EXPECT_TRUE(paint("QTBRUTAPR").greyed);
    EXPECT_EQ(paint("IDQTDEFIXPR").check, TCellPaint::ckUnchecked);
    EXPECT_EQ(paint("CDAPRERECE").text, "In natura");
}

TEST_F(RecipeIngredients, AFlagTitleSetsTheWholeRecipeOnTheServerAndACellClickOneRow)
{
    openOnDish("2010010001");
    const int fixed = IndiceCol(*grid, "IDQTDEFIXPR");
    ASSERT_GE(fixed, 0);
    emit grid->horizontalHeader()->sectionClicked(fixed);
    QApplication::processEvents();
    EXPECT_EQ(value("SELECT COUNT(*) FROM PRODPRAT WHERE CDPRATO = '2010010001' AND IDQTDEFIXPR = 'S'").toInt(), 4);
    for (list->First(); !list->Eof(); list->Next())
        EXPECT_EQ(list->FieldByName("IDQTDEFIXPR")->AsString(), "S");
    EXPECT_EQ(list->FieldByName("CDPRATO")->AsString(), "2010010001");
    // A click on one row's flag toggles that row; Confirmar sends it.
    list->First();
    grid->OnCellClick(*grid, *grid->Columns(fixed));
    EXPECT_EQ(list->FieldByName("IDQTDEFIXPR")->AsString(), "N");
    press(form->mnuConfirmar);
    EXPECT_EQ(value("SELECT COUNT(*) FROM PRODPRAT WHERE CDPRATO = '2010010001' AND IDQTDEFIXPR = 'S'").toInt(), 3);
}

TEST_F(RecipeIngredients, ProductAndUnitChosenFromTheirSearches)
{
    openOnDish("2010010001");
    press(form->mnuIncluir);
    goTo("CDARVPROD");
    script->chooseRowWhere("CDARVPROD", "4020010001");
    grid->OnEditButtonClick(*grid);
    EXPECT_EQ(script->searches().value(0).title, "Produto");
    EXPECT_EQ(list->FieldByName("NMPRODUTO")->AsString(), "Ovo branco");
    EXPECT_EQ(list->FieldByName("CDPRODUTO")->AsString(), product("4020010001"));
    // The units the egg can be counted in: its own, the dozen that converts into it and the
    // kilogram it weighs.
    goTo("SGUNIDADE");
    script->chooseRowWhere("SGUNIDDE", "DZ");
    grid->OnEditButtonClick(*grid);
    EXPECT_EQ(script->searches().value(1).title, "Unidade de Medida");
    EXPECT_EQ(script->searches().value(1).rowCount, 3);
    EXPECT_EQ(list->FieldByName("SGUNIDADE")->AsString(), "DZ");
    type("QTPRODPRAT", "2");
    goTo("VRPEFATCOCPR");
    // Two dozen eggs, 12 % lost in cleaning: the requisition is in units.
    EXPECT_DOUBLE_EQ(shown("QTBRUTAPR"), framework::RoundDec(2 / 0.88 * 12, 5));
    press(form->mnuConfirmar);
    EXPECT_EQ(value(QStringLiteral("SELECT SGUNIDADE FROM PRODPRAT WHERE CDPRATO = '2010010001' AND CDPRODUTO = '%1'")
                        .arg(product("4020010001")))
                  .toString(),
              "DZ");
}

TEST_F(RecipeIngredients, LeavingTheGridForAnotherControlConfirmsWhatItEdits)
{
    openOnDish("2010010001");
    list->First();
    type("QTPRODPRAT", "0,5");
    ASSERT_EQ(list->state(), State::Edit);
    form->PaginaPadrao().altProporcional().setFocus();
    QApplication::processEvents();
    EXPECT_EQ(list->state(), State::Browse);
    EXPECT_DOUBLE_EQ(stored("QTPRODPRAT", "1040010001").toDouble(), 0.5);
    // Garlic loses 15 % in cleaning.
    EXPECT_DOUBLE_EQ(stored("QTBRUTAPR", "1040010001").toDouble(), framework::RoundDec(0.5 / 0.85, 5));
}

// A rescale stopped by a row it cannot post takes back the rows it had already scaled.
TEST_F(RecipeIngredients, ARescaleStoppedByARowLeavesTheRecipeAsItWas)
{
    exec(QStringLiteral("UPDATE PRODPRAT SET VRPEFATCORPR = 100, VRPEFATCORPRAP = 0 WHERE CDPRATO = '2010010001' "
                        "AND CDPRODUTO = '%1'")
             .arg(product("5020010001"))); // the salt, last in the list
    exec("UPDATE DADOSPRAT SET QTPADRAOPRAT = 2 WHERE CDFILAUXPRAT = 'P' AND CDPRATO = '2010010001'");
    openOnDish("2010010001");
    const double garlic = stored("QTPRODPRAT", "1040010001").toDouble();
    typeInto("dbeQtPadraoPadr", "4");
    script->answer(mrYes); // alt_prop_prod_rec
    press(form->mnuConfirmar);
    EXPECT_EQ(script->lastMessage().key, "FATCORAPROV_INV");
    EXPECT_EQ(list->ChangeCount(), 0);
    EXPECT_EQ(list->RecordCount(), 4);
    ASSERT_TRUE(list->Locate("CDARVPROD", QStringLiteral("1040010001")));
    EXPECT_DOUBLE_EQ(shown("QTPRODPRAT"), garlic);
    EXPECT_EQ(form->cdsDadosPrat->state(), State::Edit); // the dish data was not posted either
    script->answer(mrYes); // Canc_Todas
    press(form->mnuCancelar);
    EXPECT_DOUBLE_EQ(value("SELECT QTPADRAOPRAT FROM DADOSPRAT WHERE CDPRATO = '2010010001'").toDouble(), 2);
    EXPECT_DOUBLE_EQ(stored("QTPRODPRAT", "1040010001").toDouble(), garlic);
}

// Typing a quantity straight into a cell of a row the supervisor must authorise: every key goes
// to the cell; the supervisor is asked once what was typed is kept, and a refusal gives it up.
TEST_F(RecipeIngredients, TheKeysTypedIntoAGuardedCellStayInTheCell)
{
    withoutOwnAuthorisation();
    openOnDish("2010010001");
    list->First(); // garlic
    goTo("QTPRODPRAT");
    script->authorize("SUPERV", "1234");
    typeKeys("0,02");
    EXPECT_EQ(script->pendingAnswers(), 1); // nobody was asked while typing
    auto* editor = qobject_cast<QLineEdit*>(grid->InplaceEditor());
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->text(), "0,02");
    goTo("VRPEFATCOCPR");
    EXPECT_EQ(script->pendingAnswers(), 0);
    EXPECT_DOUBLE_EQ(shown("QTPRODPRAT"), 0.02);
    press(form->mnuConfirmar);
    EXPECT_DOUBLE_EQ(stored("QTPRODPRAT", "1040010001").toDouble(), 0.02);

    // Refused: the row is back to what it holds.
    list->Next(); // rice
    const double rice = shown("QTPRODPRAT");
    goTo("QTPRODPRAT");
    script->refuseAuthorization();
    typeKeys("5");
    goTo("VRPEFATCOCPR");
    EXPECT_EQ(script->pendingAnswers(), 0);
    EXPECT_EQ(list->state(), State::Browse);
    EXPECT_DOUBLE_EQ(shown("QTPRODPRAT"), rice);
    EXPECT_EQ(list->ChangeCount(), 0);
    EXPECT_TRUE(script->failures().isEmpty());
}

// The same for the standard dish data: the quantity per person typed whole, the supervisor asked
// once when it is confirmed (after the rescale question), one authorisation covering the record
// and the rows it rescales, sent in two changes.
TEST_F(RecipeIngredients, TheKeysTypedIntoTheGuardedDishDataStayInItsEdit)
{
    withoutOwnAuthorisation();
    exec("UPDATE DADOSPRAT SET QTPADRAOPRAT = 2 WHERE CDFILAUXPRAT = 'P' AND CDPRATO = '2010010001'");
    const double rice = stored("QTPRODPRAT", "3010010001").toDouble();
    openOnDish("2010010001");
    auto* quantity = form->findChild<QLineEdit*>("dbeQtPadraoPadr");
    ASSERT_NE(quantity, nullptr);
    quantity->setFocus();
    quantity->selectAll();
    script->answer(mrYes); // alt_prop_prod_rec
    script->authorize("SUPERV", "1234");
    typeKeys("2,5");
    EXPECT_EQ(script->pendingAnswers(), 2); // nobody was asked while typing
    EXPECT_EQ(quantity->text(), "2,5");
    press(form->mnuConfirmar);
    EXPECT_EQ(script->pendingAnswers(), 0);
    EXPECT_DOUBLE_EQ(value("SELECT QTPADRAOPRAT FROM DADOSPRAT WHERE CDPRATO = '2010010001'").toDouble(), 2.5);
    EXPECT_NEAR(stored("QTPRODPRAT", "3010010001").toDouble(), rice * 1.25, 1e-9);

    // Refused: the record is back to what it holds.
    quantity->setFocus();
    quantity->selectAll();
    script->answer(mrYes); // alt_prop_prod_rec
    script->refuseAuthorization();
    typeKeys("9");
    press(form->mnuConfirmar);
    EXPECT_EQ(script->pendingAnswers(), 0);
    EXPECT_NEAR(stored("QTPRODPRAT", "3010010001").toDouble(), rice * 1.25, 1e-9); // nothing rescaled
    EXPECT_EQ(form->cdsProdPrat->ChangeCount(), 0);
    EXPECT_EQ(form->cdsDadosPrat->state(), State::Browse);
    EXPECT_DOUBLE_EQ(form->cdsDadosPrat->FieldByName("QTPADRAOPRAT")->AsFloat(), 2.5);
    EXPECT_DOUBLE_EQ(value("SELECT QTPADRAOPRAT FROM DADOSPRAT WHERE CDPRATO = '2010010001'").toDouble(), 2.5);
    EXPECT_TRUE(script->failures().isEmpty());
}

// A click on a flag's title, or Ctrl+Space in its column, changes every row on the server: it is
// guarded as a row edit is.
TEST_F(RecipeIngredients, AFlagTitleIsGuardedAsARowEdit)
{
    withoutOwnAuthorisation();
    openOnDish("2010010001");
    const auto flagged = [this](const char* column) {
        return value(QStringLiteral("SELECT COUNT(*) FROM PRODPRAT WHERE CDPRATO = '2010010001' AND %1 = 'S'")
                         .arg(QLatin1String(column)))
            .toInt();
    };
    const int fixed = IndiceCol(*grid, "IDQTDEFIXPR");
    ASSERT_GE(fixed, 0);
    script->refuseAuthorization();
    emit grid->horizontalHeader()->sectionClicked(fixed);
    QApplication::processEvents();
    EXPECT_EQ(script->pendingAnswers(), 0);
    EXPECT_EQ(flagged("IDQTDEFIXPR"), 0);

    goTo("IDQTDEFIXPR");
    script->authorize("SUPERV", "1234");
    QTest::keyClick(grid, Qt::Key_Space, Qt::ControlModifier);
    QApplication::processEvents();
    EXPECT_EQ(script->pendingAnswers(), 0);
    EXPECT_EQ(flagged("IDQTDEFIXPR"), 4);

    // In a branch module the standard recipe is read only.
    hostContext().ModuFili = true;
    const int base = IndiceCol(*grid, "IDPRODBASEPR");
    emit grid->horizontalHeader()->sectionClicked(base);
    QApplication::processEvents();
    EXPECT_EQ(script->lastMessage().text, QString::fromUtf8("Receita padrão não pode ser alterada em módulo filial."));
    EXPECT_EQ(flagged("IDPRODBASEPR"), 0);

    // In query mode nothing happens and nothing is said.
    hostContext().ModuFili = false;
    Cli_pla01300::boConsulta = true;
    script->reset();
    emit grid->horizontalHeader()->sectionClicked(base);
    QApplication::processEvents();
    Cli_pla01300::boConsulta = false;
    EXPECT_TRUE(script->messages().isEmpty());
    EXPECT_EQ(flagged("IDPRODBASEPR"), 0);
    EXPECT_TRUE(script->failures().isEmpty());
}
