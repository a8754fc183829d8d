// The preparation modes driven as a user: numbering, activation, the keys refused in a
// deactivated mode, the rich text kept through files and the database, the imports, and the
// dish's preparation form.
#include "recipeformtest.h"

#include "framework/abort.h"
#include "framework/data/clientdataset.h"
#include "framework/ui/guard.h"
#include "framework/forms/dbtree.h"
#include "framework/ui/dbedit.h"
#include "framework/ui/dbnavigator.h"
#include "framework/ui/dbrichedit.h"
#include "framework/ui/maskedit.h"
#include "framework/ui/rtftext.h"
#include "recipe/subpages/barraformatacao.h"
#include "recipe/record/formapreparo.h"

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QToolButton>

using namespace framework;

namespace {

using State = ClientDataSet::State;

class ModoPreparoTest : public RecipeFormTest {
protected:
    void SetUp() override
    {
        RecipeFormTest::SetUp();
        if (IsSkipped())
            return;
        form = open();
        ASSERT_NE(form, nullptr);
        form->dbaPadrao->setFocus();
        QApplication::processEvents();
        pad = form->findChild<ClientDataSet*>("cdsPrepPad");
        fil = form->findChild<ClientDataSet*>("cdsPrepFil");
        ASSERT_NE(pad, nullptr);
        ASSERT_NE(fil, nullptr);
        drePadrao = form->findChild<TDBRichEdit*>("drePadrao");
        drePrepFil = form->findChild<TDBRichEdit*>("drePrepFil");
    }

    void select(const QString& code) { ASSERT_TRUE(form->dbaPadrao->setSelectedCode(code)) << code.toStdString(); }
    void show(QWidget* subPage)
    {
        form->pgcPadrao->setCurrentWidget(form->tshModoPrep);
        form->pgcModoPrep->setCurrentWidget(subPage);
        QApplication::processEvents();
    }
    void showBranch(const QString& dish)
    {
        form->findChild<TMaskEdit*>("medCdFiliPrep")->setText(QStringLiteral("0002"));
        select(dish);
        show(form->tshPrepFil);
    }
    static void press(QAction* command)
    {
        command->trigger();
        QApplication::processEvents();
    }
    void click(const char* name)
    {
        auto* button = form->findChild<QToolButton*>(QString::fromLatin1(name));
        ASSERT_NE(button, nullptr) << name;
        button->click();
        QApplication::processEvents();
    }
    QString sql(const QString& text) { return value(text).toString(); }
    // Types a new mode's text (the test keyboard knows ASCII only) and confirms it.
    void newMode(TDBRichEdit* editor, const QString& text)
    {
        press(form->mnuIncluir);
        QTest::keyClicks(editor, text);
        press(form->mnuConfirmar);
    }

    TfrmReceitaPadrao* form = nullptr;
    ClientDataSet *pad = nullptr, *fil = nullptr;
    TDBRichEdit *drePadrao = nullptr, *drePrepFil = nullptr;
};

TEST_F(ModoPreparoTest, ModesAreNumberedActivatedAndSentOneByOne)
{
    showBranch("2020010001");
    EXPECT_EQ(form->dtsPadrao->DataSet(), fil);
    EXPECT_TRUE(fil->IsEmpty());

    newMode(drePrepFil, "Cozinhar o feijao");
    EXPECT_EQ(sql("SELECT NRPREPFILI || IDPREPFILI FROM PREPFILI WHERE CDPRATO = '2020010001'"), "011");
    newMode(drePrepFil, "Feijao na pressao");
    EXPECT_EQ(sql("SELECT IDPREPFILI FROM PREPFILI WHERE CDPRATO = '2020010001' AND NRPREPFILI = '02'"), "2");
    EXPECT_EQ(fil->ChangeCount(), 0);
    const QByteArray stored = value("SELECT TXPREPFILI FROM PREPFILI WHERE NRPREPFILI = '02'").toByteArray();
    EXPECT_TRUE(isRtf(stored));
    EXPECT_EQ(rtfToPlainText(stored), QStringLiteral("Feijao na pressao"));

    // The second mode is shown deactivated: typing and Delete are refused.
    ASSERT_TRUE(fil->Locate("NRPREPFILI", "02"));
    QApplication::processEvents();
    EXPECT_TRUE(form->findChild<QToolButton*>("sbtAtiva")->isVisibleTo(form));
    drePrepFil->setFocus();
    QTest::keyClicks(drePrepFil, "x");
    EXPECT_EQ(script->lastMessage().key, "NAtiv_dre");
    EXPECT_EQ(fil->state(), State::Browse);

    // Activating it deactivates the first; both reach the database.
    auto* ativa = form->findChild<QToolButton*>("sbtAtiva");
    EXPECT_TRUE(ativa->isEnabled());
    click("sbtAtiva");
    EXPECT_EQ(script->messageKeys(), QStringList{"NAtiv_dre"});
    EXPECT_EQ(sql("SELECT NRPREPFILI FROM PREPFILI WHERE CDPRATO = '2020010001' AND IDPREPFILI = '1'"), "02");
    EXPECT_EQ(sql("SELECT IDPREPFILI FROM PREPFILI WHERE CDPRATO = '2020010001' AND NRPREPFILI = '01'"), "2");
    EXPECT_EQ(fil->ChangeCount(), 0);
    EXPECT_TRUE(form->findChild<QToolButton*>("sbtDesativa")->isVisibleTo(form));

    // The navigator shows each mode in turn, the active one first.
    auto* navigator = form->findChild<TDBNavigator*>("dbnNavModPrep");
    ASSERT_NE(navigator, nullptr);
    navigator->BtnClick(TDBNavigator::nbFirst);
    EXPECT_EQ(form->findChild<TDBEdit*>("dbeNrPrep")->text(), "02");
    EXPECT_EQ(drePrepFil->toPlainText(), "Feijao na pressao");
    navigator->BtnClick(TDBNavigator::nbNext);
    EXPECT_EQ(drePrepFil->toPlainText(), "Cozinhar o feijao");
    navigator->BtnClick(TDBNavigator::nbFirst);

    // Delete in an active mode that is not being edited is refused as well.
    const int shown = int(script->messages().size());
    QTest::keyClick(drePrepFil, Qt::Key_Delete);
    EXPECT_EQ(script->messages().size(), shown + 1);
    EXPECT_EQ(script->lastMessage().key, "NAtiv_dre");

    // Deactivating leaves the dish without an active mode on the level.
    click("sbtDesativa");
    EXPECT_EQ(sql("SELECT COUNT(*) FROM PREPFILI WHERE CDPRATO = '2020010001' AND IDPREPFILI = '1'"), "0");
    EXPECT_TRUE(script->failures().isEmpty());
}

TEST_F(ModoPreparoTest, AnEmptyModeKeepsItsSubPageAndADeletionIsSentAtOnce)
{
    showBranch("2020010001");
    press(form->mnuIncluir);
    ASSERT_EQ(fil->state(), State::Insert);
    form->pgcModoPrep->setCurrentWidget(form->tshPrepPad); // nothing typed: the post fails
    QApplication::processEvents();
    EXPECT_EQ(script->lastMessage().key, "TXPREPARO_EMPTY");
    EXPECT_EQ(form->pgcModoPrep->currentWidget(), form->tshPrepFil);
    QTest::keyClicks(drePrepFil, "Temperar");
    press(form->mnuConfirmar);
    ASSERT_EQ(sql("SELECT COUNT(*) FROM PREPFILI WHERE CDPRATO = '2020010001'"), "1");

    script->answer(mrYes); // "Excl"
    press(form->mnuExcluir);
    EXPECT_EQ(sql("SELECT COUNT(*) FROM PREPFILI WHERE CDPRATO = '2020010001'"), "0");
    EXPECT_EQ(fil->ChangeCount(), 0);
    EXPECT_TRUE(script->failures().isEmpty());
}

TEST_F(ModoPreparoTest, NumberNinetyNineGivesUpTheNewModeSilently)
{
    showBranch("2020010001");
    newMode(drePrepFil, "Primeiro");
    exec("UPDATE PREPFILI SET NRPREPFILI = '98' WHERE CDPRATO = '2020010001'");
    const int shown = int(script->messages().size());
    press(form->mnuIncluir);
    EXPECT_EQ(fil->state(), State::Browse);
    EXPECT_EQ(script->messages().size(), shown);
    EXPECT_EQ(sql("SELECT COUNT(*) FROM PREPFILI WHERE CDPRATO = '2020010001'"), "1");
}

TEST_F(ModoPreparoTest, FormattedTextSurvivesTheFileAndTheDatabase)
{
    showBranch("2020010001");
    press(form->mnuIncluir);
    QTest::keyClicks(drePrepFil, "Refogar a cebola");
    auto* bar = form->findChild<recipe::BarraFormatacao*>("fpnReceita");
    ASSERT_NE(bar, nullptr);
    drePrepFil->selectAll();
    bar->sbtNegrito->click();
    bar->sbtItalico->click();
    bar->sbtSublinhado->click();
    bar->sbtCentro->click();
    bar->sbtMarcadores->click();
    script->color(QColor(200, 0, 0));
    bar->sbtCor->click();
    bar->fonte(QStringLiteral("Courier New"));
    bar->tamanho(16);
    const QByteArray shown = documentToRtf(*drePrepFil->document());
    press(form->mnuConfirmar);
    const QByteArray stored = value("SELECT TXPREPFILI FROM PREPFILI WHERE CDPRATO = '2020010001'").toByteArray();
    EXPECT_EQ(stored, shown);
    EXPECT_TRUE(stored.contains("\\b") && stored.contains("\\qc") && stored.contains("\\pnlvlblt")
                && stored.contains("\\red200") && stored.contains("Courier New") && stored.contains("\\fs32"));

    // Saved to a file named .txt: rich text all the same; imported back unchanged.
    QTemporaryDir dir;
    const QString path = dir.filePath("modo.txt");
    script->fileName(path);
    click("sbtSalva");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), stored);

    script->fileName(path);
    form->findChild<QAction*>("mnuImpArquivo")->trigger();
    EXPECT_EQ(fil->state(), State::Edit);
    press(form->mnuConfirmar);
    EXPECT_EQ(value("SELECT TXPREPFILI FROM PREPFILI WHERE CDPRATO = '2020010001'").toByteArray(), stored);
    EXPECT_TRUE(script->failures().isEmpty());
}

TEST_F(ModoPreparoTest, ImportFromAnotherDishReplacesTheTextOrCreatesAMode)
{
    // Arroz branco has a standard mode; feijão carioca's branch level has none.
    showBranch("2020010001");
    auto* importa = form->findChild<QToolButton*>("sbtImpArquiv");
    EXPECT_TRUE(importa->isEnabled());
    importa->click(); // the popup of the two imports opens on an empty level too
    auto* popup = form->findChild<QMenu*>("pmnImporta");
    ASSERT_NE(popup, nullptr);
    EXPECT_TRUE(popup->isVisible());
    popup->hide();
    script->chooseRowWhere("CDPRATO", "2010010001");
    form->findChild<QAction*>("mnuImpModPrepRece")->trigger();
    QApplication::processEvents();
    EXPECT_EQ(fil->state(), State::Insert);
    press(form->mnuConfirmar);
    EXPECT_EQ(sql("SELECT COUNT(*) FROM PREPFILI WHERE CDPRATO = '2020010001'"), "1");
    EXPECT_TRUE(rtfToPlainText(value("SELECT TXPREPFILI FROM PREPFILI WHERE CDPRATO = '2020010001'").toByteArray())
                    .contains("pressão"));

    // Again: the same mode gets the other dish's text.
    select("2010010001");
    show(form->tshPrepPad);
    ASSERT_FALSE(pad->IsEmpty());
    showBranch("2020010001");
    script->chooseRowWhere("CDPRATO", "2010010001");
    form->findChild<QAction*>("mnuImpModPrepRece")->trigger();
    EXPECT_EQ(fil->state(), State::Edit);
    press(form->mnuConfirmar);
    EXPECT_EQ(sql("SELECT COUNT(*) FROM PREPFILI WHERE CDPRATO = '2020010001'"), "1");
    EXPECT_TRUE(script->failures().isEmpty());
}

TEST_F(ModoPreparoTest, StandardModesAreKeptFromBranchModulesAndLocalDishes)
{
    select("2010010001");
    show(form->tshPrepPad);
    ASSERT_EQ(form->dtsPadrao->DataSet(), pad);
    ASSERT_EQ(pad->RecordCount(), 2);
    EXPECT_EQ(pad->FieldByName("IDPREPPRAT")->AsString(), "1"); // the active mode comes first
    EXPECT_TRUE(drePadrao->toPlainText().contains("Lave o arroz"));

    hostContext().ModuFili = true;
    guarded([this] { form->sbtIncluirClick(); });
    EXPECT_EQ(script->lastMessage().key, "PREPPADR_N_INC");
    guarded([this] { form->sbtAlterarClick(); });
    EXPECT_EQ(script->lastMessage().key, "PREPPADR_N_ALT");
    guarded([this] { form->sbtExcluirClick(); }); // refused before the question
    EXPECT_EQ(script->lastMessage().key, "PREPPADR_N_EXC");
    EXPECT_EQ(pad->state(), State::Browse);
    EXPECT_EQ(sql("SELECT COUNT(*) FROM PREPPRAT WHERE CDPRATO = '2010010001'"), "2");
    hostContext().ModuFili = false;

    // The service level keeps its own numbering, for the branch and service chosen.
    form->findChild<TMaskEdit*>("medCdFiliServPrep")->setText(QStringLiteral("0002"));
    form->findChild<TMaskEdit*>("medCdServPrep")->setText(QStringLiteral("00002"));
    show(form->tshPrepSer);
    auto* ser = form->findChild<ClientDataSet*>("cdsPrepSer");
    ASSERT_EQ(ser->RecordCount(), 1);
    newMode(form->findChild<TDBRichEdit*>("dreServico"), "Bater no liquidificador");
    EXPECT_EQ(sql("SELECT NRPREPSERV || IDPREPSERV FROM PREPSERV WHERE CDPRATO = '2010010001' AND NRPREPSERV = '02'"),
              "022");
    EXPECT_TRUE(script->failures().isEmpty());
}

TEST_F(ModoPreparoTest, QueryModeChangesNoMode)
{
    Cli_pla01300::boConsulta = true;
    showBranch("2020010001");
    press(form->mnuIncluir);
    drePrepFil->setFocus();
    QTest::keyClicks(drePrepFil, "abc");
    EXPECT_EQ(fil->state(), State::Browse);
    EXPECT_EQ(sql("SELECT COUNT(*) FROM PREPFILI"), "1"); // the demo's own
}

TEST_F(ModoPreparoTest, PreparationTimesAndTheDishsPreparationForm)
{
    EXPECT_EQ(recipe::AjustaHrTempPrep("130"), "00130");
    EXPECT_EQ(recipe::AjustaHrTempPrep("1"), "00001");
    EXPECT_EQ(recipe::AjustaHrTempPrep("12345"), "12345");
    EXPECT_EQ(recipe::AjustaHrTempPrep(" 2 30"), "00230");

    // An ingredient's preparation time: the last 4 characters must be a time.
    ClientDataSet times(nullptr, "times");
    times.AddField("HRTEMPPREP", FieldType::String, 5);
    times.CreateDataSet();
    times.Append();
    times.FieldByName("HRTEMPPREP")->setAsString("00130");
    EXPECT_NO_THROW(recipe::Vd_HrTempPrep(*times.FieldByName("HRTEMPPREP"), *form->msgPadrao));
    times.FieldByName("HRTEMPPREP")->setAsString("00175");
    EXPECT_THROW(recipe::Vd_HrTempPrep(*times.FieldByName("HRTEMPPREP"), *form->msgPadrao), Abort);
    EXPECT_EQ(script->lastMessage().key, "TEMPPREP_INV");
    times.Cancel();

    select("2010010001");
    form->pgcPadrao->setCurrentWidget(form->tshFormulario);
    script->authorize("SUPERV", "1234"); // ALTERACAO_PRATO_PADRAO: the operator may not
    press(form->mnuAlterar);
    ASSERT_EQ(form->cdsPrato->state(), State::Edit);
    controles(form).dbeNrFormaPreparo->setFocus();
    controles(form).dbeNrFormaPreparo->selectAll();
    QTest::keyClicks(controles(form).dbeNrFormaPreparo, "7,.e");
    EXPECT_EQ(controles(form).dbeNrFormaPreparo->text(), "7");
    controles(form).dbeTempo->setFocus(); // leaving it checks the number
    QApplication::processEvents();
    EXPECT_EQ(script->lastMessage().key, "FormaPreparoNCad");
    EXPECT_TRUE(controles(form).dbeNrFormaPreparo->hasFocus());

    controles(form).dbeNrFormaPreparo->selectAll();
    QTest::keyClicks(controles(form).dbeNrFormaPreparo, "2");
    controles(form).dbeTempo->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(form->cdsPrato->FieldByName("NMFORMAPREPARO")->AsString(),
              sql("SELECT NMFORMAPREPARO FROM FORMAPREPARO WHERE NRFORMAPREPARO = 2"));
    script->answer(mrYes);
    press(form->mnuCancelar);
}

} // namespace
