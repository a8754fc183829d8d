// The dish data of the standard, branch and service levels driven as a user: the branch chosen
// on its page, the quantity-per-person question, cook chill, colours and dish weight reaching
// the database, query mode, and the working branch's hold on the branch selectors.
#include "recipeformtest.h"

#include "framework/data/clientdataset.h"
#include "framework/forms/dbgrid.h"
#include "framework/forms/dbtree.h"
#include "framework/ui/dbcheckbox.h"
#include "framework/ui/dbedit.h"
#include "framework/ui/guard.h"
#include "framework/ui/maskedit.h"
#include "framework/ui/shape.h"
#include "recipe/core/levelfields.h"
#include "recipe/levels/painelprato.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QTabWidget>
#include <QToolButton>

using namespace framework;

namespace {

using State = ClientDataSet::State;

class DadosPratoForm : public RecipeFormTest {
protected:
    void SetUp() override
    {
        RecipeFormTest::SetUp();
        if (IsSkipped())
            return;
        for (const char* op : {"INCLUSAO_PRODUTO_RECEITA_PADRAO", "ALTERACAO_PRODUTO_RECEITA_PADRAO",
                               "EXCLUSAO_PRODUTO_RECEITA_PADRAO"})
            exec(QStringLiteral("INSERT INTO USUAUTORIZA (CDOPERADOR, NRTIPOAUTORIZA, CDOPERACAO) VALUES ('NUTRI', 4, '%1')")
                     .arg(QLatin1String(op)));
    }

    void openAt(const QString& branch)
    {
        hostContext().FiliProc = branch;
        form = open();
        ASSERT_NE(form, nullptr);
        form->dbaPadrao->setFocus(); // leaves the branch panel: the branch is confirmed
        QApplication::processEvents();
    }
    void select(const QString& code) { ASSERT_TRUE(form->dbaPadrao->setSelectedCode(code)) << code.toStdString(); }
    void showPage(QWidget* page)
    {
        form->pgcPadrao->setCurrentWidget(page);
        QApplication::processEvents();
    }
    void focus(QWidget* widget)
    {
        widget->setFocus();
        QApplication::processEvents();
    }
    template <class W>
    W* child(const char* name)
    {
        auto* w = form->findChild<W*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    // Types a text over what an edit holds.
    void type(QLineEdit* edit, const QString& text)
    {
        focus(edit);
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClicks(edit, text);
        QApplication::processEvents();
    }
    void confirm()
    {
        ASSERT_TRUE(form->mnuConfirmar->isEnabled());
        form->mnuConfirmar->trigger();
        QApplication::processEvents();
    }
    QString sql(const QString& query) { return value(query).toString(); }
    bool asked(const char* key) const { return script->messageKeys().contains(QString::fromLatin1(key)); }

    TfrmReceitaPadrao* form = nullptr;
};

TEST_F(DadosPratoForm, LeavingTheBranchPanelCreatesTheBranchRecordWithTheStandardFancyName)
{
    openAt("0002");
    select("2010010001");
    showPage(form->tshReceLoca);
    EXPECT_EQ(form->medCdFilial->Text(), "0002"); // the working branch
    focus(form->medCdFilial);
    EXPECT_TRUE(form->cdsReceFili->IsEmpty()); // nothing of the previous choice can be edited
    focus(form->dbgReceFili);

    const QString where = "FROM PRATFILI WHERE CDFILIAL = '0002' AND CDFILAUXPRAT = 'P' AND CDPRATO = '2010010001'";
    EXPECT_EQ(sql("SELECT NMFANTASIAPF " + where), "Arroz branco");
    EXPECT_EQ(sql("SELECT IDATIVO " + where), "S");
    EXPECT_EQ(sql("SELECT QTLIMSEGFILI " + where), "0");
    EXPECT_EQ(sql("SELECT IDTPPRODCHILL " + where), "NENHUM");
    EXPECT_EQ(form->cdsPratFili->ChangeCount(), 0);
    EXPECT_FALSE(form->cdsReceFili->IsEmpty());
    EXPECT_EQ(child<QLineEdit>("dbeNmFantasiaFili")->text(), "Arroz branco");

    // A fancy name of its own is never replaced. Ctrl+Enter confirms it.
    type(child<QLineEdit>("dbeNmFantasiaFili"), "Arroz da casa");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return, Qt::ControlModifier);
    QApplication::processEvents();
    EXPECT_EQ(sql("SELECT NMFANTASIAPF " + where), "Arroz da casa");
    focus(form->medCdFilial);
    focus(form->dbgReceFili);
    EXPECT_EQ(sql("SELECT NMFANTASIAPF " + where), "Arroz da casa");

    // The service page does the same for the chosen service of its branch.
    showPage(form->tshReceServ);
    focus(form->medCdFiliServ);
    type(form->medCdServico, "2");
    focus(form->dbgReceServ);
    EXPECT_EQ(form->medCdServico->Text(), "00002");
    EXPECT_EQ(child<QLineEdit>("edtNmServico")->text(), "Dieta pastosa");
    EXPECT_EQ(sql("SELECT NMFANTASIASE FROM PRATSERV WHERE CDFILIAL = '0002' AND CDSERVFILI = '00002' "
                  "AND CDPRATO = '2010010001'"),
              "Arroz branco");
    EXPECT_TRUE(script->failures().isEmpty());
}

TEST_F(DadosPratoForm, TheFancyNameComesFromTheDishsOwnGroupWhateverTheStandardPageShowedLast)
{
    openAt("0002");
    select("1010010001");
    showPage(form->tshPadrao); // the standard data of another group
    showPage(form->tshFormulario);
    select("2010010001");
    showPage(form->tshReceLoca);
    focus(form->medCdFilial);
    focus(form->dbgReceFili);
    EXPECT_EQ(sql("SELECT NMFANTASIAPF FROM PRATFILI WHERE CDFILIAL = '0002' AND CDPRATO = '2010010001'"),
              "Arroz branco");
    EXPECT_TRUE(script->failures().isEmpty());
}

TEST_F(DadosPratoForm, ARefusedChangeIsShownAndKeptUntilCancelled)
{
    openAt("0002");
    select("2010010001");
    showPage(form->tshPadrao);
    // Someone else renamed the dish meanwhile: this change would overwrite it.
    exec("UPDATE DADOSPRAT SET NMFANTASIAPR = 'Arroz soltinho' WHERE CDFILAUXPRAT = 'P' AND CDPRATO = '2010010001'");
    script->color(QColor(0x12, 0x34, 0x56));
    QTest::mouseClick(form->shpCorPrincipal, Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_EQ(script->lastMessage().kind, mtError);
    EXPECT_EQ(form->cdsDadosPrat->ChangeCount(), 1);
    EXPECT_NE(value("SELECT NRCORPRIPRAT FROM DADOSPRAT WHERE CDPRATO = '2010010001'").toInt(), 0x123456);
    // Confirmed again, it is refused again; cancelling the page's changes gives it up.
    confirm();
    EXPECT_EQ(form->cdsDadosPrat->ChangeCount(), 1);
    script->answer(mrYes); // Canc_Todas
    ASSERT_TRUE(form->mnuCancelar->isEnabled());
    form->mnuCancelar->trigger();
    QApplication::processEvents();
    EXPECT_EQ(form->cdsDadosPrat->ChangeCount(), 0);
}

TEST_F(DadosPratoForm, TheValidityIsTypedInHoursAndMinutes)
{
    openAt("0002");
    select("2010010001");
    showPage(form->tshPadrao);
    auto* validity = child<TMaskEdit>("medValPadr");
    EXPECT_EQ(validity->Text(), "0004:00");
    type(validity, "001230");
    confirm();
    EXPECT_EQ(value("SELECT HRVALCONPRAT FROM DADOSPRAT WHERE CDPRATO = '2010010001'").toDouble(), 12.5);
    EXPECT_EQ(validity->Text(), "0012:30");
    EXPECT_TRUE(script->failures().isEmpty());
}

TEST_F(DadosPratoForm, NullFieldListOfTheBranchRecord)
{
    openAt("0002");
    select("2010010001");
    showPage(form->tshReceLoca);
    focus(form->medCdFilial);
    focus(form->dbgReceFili);
    ClientDataSet& dados = *form->cdsPratFili;
    ASSERT_EQ(dados.RecordCount(), 1);
    dados.Edit();
    for (Field* f : dados.Fields())
        if (f->IsNull())
            f->setValue(f->DataType() == FieldType::String ? QVariant(QStringLiteral("1")) : QVariant(1.0));
    EXPECT_EQ(recipe::PainelPrato::listaCamposNulos(dados), "_");
    dados.FieldByName("QTAMOSTRFILI")->Clear();
    dados.FieldByName("VRPEMINFILI")->Clear();
    EXPECT_EQ(recipe::PainelPrato::listaCamposNulos(dados), "_QTAMOSTRFILI_VRPEMINFILI_");
    // The final product's origin: "M" the central, anything else the branch.
    Field* origem = dados.FieldByName("IDFINALFILI");
    for (const auto& [stored, shown] : {std::pair{"M", "Matriz"}, {"F", "Filial"}, {"", "Filial"}}) {
        origem->setAsString(QString::fromLatin1(stored));
        EXPECT_EQ(origem->DisplayText(), QString::fromLatin1(shown)) << stored;
    }
    dados.Cancel();
}

TEST_F(DadosPratoForm, QuantityPerPersonRescalesTheRecipeOnYesOnlyAndNotAfterTheDishWeight)
{
    exec("UPDATE DADOSPRAT SET QTPADRAOPRAT = 2 WHERE CDFILAUXPRAT = 'P' AND CDPRATO = '2010010001'");
    openAt("0002");
    select("2010010001");
    showPage(form->tshPadrao);
    const QString rice = "SELECT QTPRODPRAT FROM PRODPRAT WHERE CDPRATO = '2010010001' AND CDPRODUTO = "
                         "(SELECT CDPRODUTO FROM PRODUTO WHERE CDARVPROD = '3010010001')";
    const double before = value(rice).toDouble();
    auto* quantity = child<QLineEdit>("dbeQtPadraoPadr");

    type(quantity, "3");
    script->answer(mrYes); // alt_prop_prod_rec
    confirm();
    EXPECT_TRUE(asked("alt_prop_prod_rec"));
    EXPECT_EQ(sql("SELECT QTPADRAOPRAT FROM DADOSPRAT WHERE CDPRATO = '2010010001'"), "3");
    EXPECT_NEAR(value(rice).toDouble(), before * 1.5, 1e-6);

    type(quantity, "4,5");
    script->answer(mrNo);
    confirm();
    EXPECT_EQ(value("SELECT QTPADRAOPRAT FROM DADOSPRAT WHERE CDPRATO = '2010010001'").toDouble(), 4.5);
    EXPECT_NEAR(value(rice).toDouble(), before * 1.5, 1e-6);

    // The dish weight becomes the portion without the question.
    script->reset();
    script->answer(mrYes); // PESOPRATO
    form->sbtCalcPadrao->click();
    QApplication::processEvents();
    EXPECT_EQ(script->messageKeys(), QStringList{"PESOPRATO"});
    const double weight = value("SELECT QTPADRAOPRAT FROM DADOSPRAT WHERE CDPRATO = '2010010001'").toDouble();
    EXPECT_NE(weight, 4.5);
    EXPECT_GT(weight, 0);
    EXPECT_NEAR(value(rice).toDouble(), before * 1.5, 1e-6);

    // The next change asks again.
    type(quantity, "9");
    script->answer(mrNo);
    confirm();
    EXPECT_TRUE(asked("alt_prop_prod_rec"));
    EXPECT_TRUE(script->failures().isEmpty());
}

TEST_F(DadosPratoForm, CookChillNeedsAnticipationAndStorageAndUncheckingResetsThem)
{
    openAt("0002");
    select("2010010001");
    showPage(form->tshPadrao);
    auto* box = child<TDBCheckBox>("ckbCookChillPadr");
    auto* anticipation = child<QLineEdit>("dbeLimAntePadr");
    auto* storage = child<QComboBox>("cbbTpArmPadr");
    EXPECT_FALSE(anticipation->isEnabled());
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(5, box->height() / 2));
    QApplication::processEvents();
    ASSERT_EQ(form->cdsDadosPrat->state(), State::Edit);
    EXPECT_TRUE(anticipation->isEnabled());
    EXPECT_TRUE(storage->isEnabled());

    type(anticipation, "0");
    confirm();
    EXPECT_EQ(script->lastMessage().key, "ANTECIPACAO_NEG_ZER");
    EXPECT_EQ(form->cdsDadosPrat->state(), State::Edit);
    type(anticipation, "2x");
    EXPECT_EQ(anticipation->text(), "2"); // letters are not taken
    confirm();
    EXPECT_EQ(script->lastMessage().key, "TPARM_N_INF");
    EXPECT_EQ(form->cdsDadosPrat->state(), State::Edit);
    EXPECT_EQ(sql("SELECT IDPRODCHILL FROM DADOSPRAT WHERE CDPRATO = '2010010001'"), "");

    storage->setCurrentIndex(1);
    confirm();
    EXPECT_EQ(form->cdsDadosPrat->state(), State::Browse);
    const QString where = " FROM DADOSPRAT WHERE CDFILAUXPRAT = 'P' AND CDPRATO = '2010010001'";
    EXPECT_EQ(sql("SELECT IDPRODCHILL" + where), "S");
    EXPECT_EQ(sql("SELECT QTLIMSEGPADR" + where), "2");
    EXPECT_EQ(sql("SELECT IDTPPRODCHILL" + where), "CONGELADO");

    // Unchecked in an edit: back to no anticipation and no storage.
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(5, box->height() / 2));
    QApplication::processEvents();
    EXPECT_EQ(form->cdsDadosPrat->FieldByName("QTLIMSEGPADR")->AsString(), "0");
    EXPECT_EQ(storage->currentText(), "Nenhum");
    EXPECT_FALSE(anticipation->isEnabled());
    confirm();
    EXPECT_EQ(sql("SELECT IDTPPRODCHILL" + where), "NENHUM");
}

TEST_F(DadosPratoForm, AColourPickedOnTheStandardPageIsStored)
{
    openAt("0002");
    select("2010010001");
    showPage(form->tshPadrao);
    script->color(QColor(0x12, 0x34, 0x56));
    QTest::mouseClick(form->shpCorSecundaria, Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_EQ(value("SELECT NRCORSEQPRAT FROM DADOSPRAT WHERE CDFILAUXPRAT = 'P' AND CDPRATO = '2010010001'").toInt(),
              0x123456);
    EXPECT_EQ(form->cdsDadosPrat->ChangeCount(), 0);
    EXPECT_EQ(form->shpCorSecundaria->BrushColor(), QColor(0x12, 0x34, 0x56));
    EXPECT_TRUE(script->failures().isEmpty());
}

TEST_F(DadosPratoForm, QueryModeAltersNothingAndShowsNothing)
{
    exec("INSERT INTO PRATFILI (CDFILIAL, CDFILAUXPRAT, CDPRATO, NMFANTASIAPF, IDATIVO) "
         "VALUES ('0002', 'P', '2010010001', 'Arroz local', 'S')");
    Cli_pla01300::boConsulta = true;
    Cli_pla01300::stFilialC = QStringLiteral("0002");
    openAt("0002");
    select("2010010001");
    showPage(form->tshReceLoca);
    ASSERT_EQ(form->cdsPratFili->RecordCount(), 1);
    script->reset();
    guarded([this] { form->cdsPratFili->Edit(); });
    EXPECT_EQ(form->cdsPratFili->state(), State::Browse);
    type(child<QLineEdit>("dbeNmFantasiaFili"), "Outro");
    EXPECT_EQ(form->cdsPratFili->state(), State::Browse);
    QTest::mouseClick(child<TShape>("shpCorPrincFili"), Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_EQ(form->cdsPratFili->state(), State::Browse);
    EXPECT_TRUE(script->messages().isEmpty());
    EXPECT_EQ(sql("SELECT NMFANTASIAPF FROM PRATFILI WHERE CDPRATO = '2010010001'"), "Arroz local");
    EXPECT_TRUE(script->failures().isEmpty());
}

TEST_F(DadosPratoForm, ALocalDishLocksTheBranchSelectorsOnTheWorkingBranch)
{
    openAt("0003");
    select("2010010001");
    form->medCdFiliServ->setText(QStringLiteral("0002"));
    form->medCdServico->setText(QStringLiteral("00004")); // 0003 has no such service
    child<TMaskEdit>("medCdFiliPrep")->setText(QStringLiteral("0002"));
    EXPECT_TRUE(form->medCdFilial->isEnabled());

    select("1010010901"); // a local dish of 0003
    for (const char* name : {"medCdFilial", "medCdFiliServ", "medCdFiliPrep", "medCdFiliServPrep", "medCdFiliFto",
                             "medCdFiliServFto", "btpFilial", "btpFiliServ", "lblCdFiliServ"}) {
        EXPECT_FALSE(child<QWidget>(name)->isEnabled()) << name;
        EXPECT_EQ(child<QWidget>(name)->property("Tag").toInt(), 99) << name;
    }
    EXPECT_EQ(form->medCdFiliServ->Text(), "0003");
    EXPECT_EQ(form->medCdServico->Text(), "");
    EXPECT_EQ(child<QLineEdit>("edtNmFiliServ")->text(), "Restaurante Metalúrgica ABC");
    EXPECT_EQ(child<TMaskEdit>("medCdFiliPrep")->Text(), "0003");

    // A service the working branch has stays.
    select("2010010001");
    EXPECT_TRUE(form->medCdFiliServ->isEnabled());
    form->medCdFiliServ->setText(QStringLiteral("0002"));
    form->medCdServico->setText(QStringLiteral("00002"));
    select("1010010901");
    EXPECT_EQ(form->medCdFiliServ->Text(), "0003");
    EXPECT_EQ(form->medCdServico->Text(), "00002");
    EXPECT_TRUE(script->failures().isEmpty());
}

TEST_F(DadosPratoForm, ALocalRevisionNeedsTheStandardRecipeWhenTheBranchSaysSo)
{
    exec("UPDATE PARAMPLANEJA SET IDBLOPRATLOC = 'S' WHERE CDFILIAL = '0002'");
    openAt("0002");
    select("2010010001");
    guarded([this] { form->BloPratLoc(); });
    EXPECT_TRUE(script->messages().isEmpty());
    exec("DELETE FROM PRODPRAT WHERE CDFILAUXPRAT = 'P' AND CDPRATO = '2010010001'");
    guarded([this] { form->BloPratLoc(); });
    EXPECT_EQ(script->lastMessage().text, "Receita não pode ser revisada sem a existência de receita padrão.");
}

TEST_F(DadosPratoForm, HouseholdMeasureIsCheckedAndChosenFromTheList)
{
    openAt("0002");
    select("2010010001");
    showPage(form->tshPadrao);
    auto* code = child<QLineEdit>("dbeCdMediCasePadr");
    type(code, "77");
    focus(child<QLineEdit>("dbeQtPadraoPadr"));
    EXPECT_EQ(script->lastMessage().key, "MEDICASE_INV");
    script->chooseRowWhere("CDMEDICASE", "00004");
    child<QToolButton>("btnPesqMediCasePadr")->click();
    QApplication::processEvents();
    EXPECT_EQ(form->cdsDadosPrat->FieldByName("NMMEDICASE")->AsString(), "Pegador");
    confirm();
    EXPECT_EQ(sql("SELECT CDMEDICASE FROM DADOSPRAT WHERE CDPRATO = '2010010001'"), "00004");
}

} // namespace

TEST_F(DadosPratoForm, TheTransportEditsOfEachLevelAreCheckedWhenLeftAndBeforeThePost)
{
    openAt("0002");
    select("2010010001");
    showPage(form->tshReceLoca);
    focus(form->medCdFilial);
    focus(form->dbgReceFili);
    const QString where = " FROM PRATFILI WHERE CDFILIAL = '0002' AND CDFILAUXPRAT = 'P' AND CDPRATO = '2010010001'";
    const QString stored = sql("SELECT QTAMOSTRFILI" + where);

    auto* sample = child<QLineEdit>("dbeQtAmostrFili");
    type(sample, "-1");
    focus(child<QLineEdit>("dbeNmFantasiaFili"));
    EXPECT_EQ(script->lastMessage().key, "QTAMOS_INV"); // the sample's own message, not the quantity's
    EXPECT_EQ(QApplication::focusWidget(), sample);

    type(sample, "1");
    type(child<QLineEdit>("dbeQtContaiFili"), "-2");
    script->reset();
    confirm();
    EXPECT_EQ(script->lastMessage().key, "QTCONT_INV");
    EXPECT_EQ(form->cdsPratFili->state(), State::Edit);
    EXPECT_EQ(sql("SELECT QTAMOSTRFILI" + where), stored); // nothing reached the database
}

TEST_F(DadosPratoForm, QuantityPerPersonOfTheBranchRescalesTheBranchRecipeOnly)
{
    openAt("0002");
    select("2010010001");
    showPage(form->tshReceLoca);
    focus(form->medCdFilial);
    focus(form->dbgReceFili); // the branch record is created with the standard data
    exec("UPDATE PRATFILI SET QTPADRAOFILI = 2 WHERE CDFILIAL = '0002' AND CDPRATO = '2010010001'");
    focus(form->medCdFilial);
    focus(form->dbgReceFili); // and read again
    const QString product = " AND CDPRODUTO = (SELECT CDPRODUTO FROM PRODUTO WHERE CDARVPROD = '3010010001')";
    const QString branchRice = "SELECT QTPRODRECLOC FROM RECEFILI WHERE CDFILIAL = '0002' AND CDPRATO = '2010010001'"
                               + product;
    const QString standardRice = "SELECT QTPRODPRAT FROM PRODPRAT WHERE CDPRATO = '2010010001'" + product;
    const double branchBefore = value(branchRice).toDouble(), standardBefore = value(standardRice).toDouble();
    ASSERT_GT(branchBefore, 0);

    type(child<QLineEdit>("dbeQtPadraoFili"), "3");
    script->answer(mrYes); // alt_prop_prod_rec
    confirm();
    EXPECT_TRUE(asked("alt_prop_prod_rec"));
    EXPECT_NEAR(value(branchRice).toDouble(), branchBefore * 1.5, 1e-6);
    EXPECT_NEAR(value(standardRice).toDouble(), standardBefore, 1e-9);
    EXPECT_TRUE(script->failures().isEmpty());
}
