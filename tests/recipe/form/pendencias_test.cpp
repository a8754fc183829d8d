// Changes waiting on some page of the recipe form, driven as a planner: closing asks about them,
// the tree and the toolbar follow the dataset being edited (the dish data as much as the lists),
// the header selectors keep their branch and are required before a dish-data change, an empty
// validity stays empty, and the preparation modes and photos keep what the server refused. Each
// case reads the database back, on SQLite and PostgreSQL.
#include "recipeformtest.h"

#include "framework/data/clientdataset.h"
#include "framework/forms/dbgrid.h"
#include "framework/forms/dbtree.h"
#include "framework/ui/dbrichedit.h"
#include "framework/ui/guard.h"
#include "framework/ui/maskedit.h"
#include "framework/ui/rtftext.h"
#include "framework/ui/shape.h"
#include "host/mainwindow.h"
#include "host/package.h"
#include "recipe/form/lancadores.h"
#include "recipe/subpages/paginapreparo.h"

#include <QAction>
#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolButton>

using namespace framework;

namespace {

using State = ClientDataSet::State;

class RecipePendingChanges : public RecipeFormTest, public ::testing::WithParamInterface<testdb::Backend> {
protected:
    RecipePendingChanges() { backend = GetParam(); }

    void SetUp() override
    {
        RecipeFormTest::SetUp();
        if (IsSkipped())
            return;
        // The nutritionist may change the standard recipe herself.
        for (const char* op : {"INCLUSAO_PRODUTO_RECEITA_PADRAO", "ALTERACAO_PRODUTO_RECEITA_PADRAO",
                               "EXCLUSAO_PRODUTO_RECEITA_PADRAO"})
            exec(QStringLiteral("INSERT INTO USUAUTORIZA (CDOPERADOR, NRTIPOAUTORIZA, CDOPERACAO) VALUES ('NUTRI', 4, '%1')")
                     .arg(QLatin1String(op)));
    }

    void openAt(const char* branch = "0002")
    {
        hostContext().FiliProc = QString::fromLatin1(branch);
        form = open();
        ASSERT_NE(form, nullptr);
        focus(form->dbaPadrao); // leaving the branch panel loads the dish tree
    }
    void select(const QString& code) { ASSERT_TRUE(form->dbaPadrao->setSelectedCode(code)) << code.toStdString(); }
    QString dish() const { return form->cdsPrato->FieldByName("CDPRATO")->AsString(); }
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
    void show(QWidget* page, QWidget* subPage = nullptr)
    {
        form->pgcPadrao->setCurrentWidget(page);
        for (QTabWidget* tabs : {form->pgcModoPrep, form->pgcFoto})
            if (subPage && tabs->indexOf(subPage) >= 0)
                tabs->setCurrentWidget(subPage);
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
    // Types into a cell of the grid's current row and commits it; Down then goes to the next row.
    void typeCell(TDBGrid* grid, const QString& field, const QString& text)
    {
        const int column = IndiceCol(*grid, field);
        ASSERT_GE(column, 0) << field.toStdString();
        grid->setFocus();
        grid->setCurrentIndex(grid->model()->index(grid->DataSet()->currentPosition(), column));
        QTest::keyClick(grid, Qt::Key_F2);
        auto* editor = qobject_cast<QLineEdit*>(grid->InplaceEditor());
        ASSERT_NE(editor, nullptr) << field.toStdString();
        editor->selectAll();
        QTest::keyClick(editor, Qt::Key_Backspace);
        QTest::keyClicks(editor, text);
        QTest::keyClick(editor, Qt::Key_Return);
        QApplication::processEvents();
    }
    static void press(QAction* command)
    {
        command->trigger();
        QApplication::processEvents();
    }
    // Long enough for the form's idle timer to run its rules again.
    static void idle() { QTest::qWait(700); }
    void ctrlEnter()
    {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return, Qt::ControlModifier);
        QApplication::processEvents();
    }
    bool closed() const { return Cli_pla01300::frmReceitaPadrao == nullptr; }
    QString sql(const QString& query) { return value(query).toString(); }
    // The branch page of rice at branch 0002, whose record the standard fancy name creates.
    void showRiceAtBranch()
    {
        select("2010010001");
        show(form->tshReceLoca);
        focus(form->medCdFilial);
        focus(form->dbgReceFili);
        ASSERT_EQ(sql("SELECT COUNT(*) FROM PRATFILI WHERE CDFILIAL = '0002' AND CDPRATO = '2010010001'"), "1");
    }

    TfrmReceitaPadrao* form = nullptr;
};

const QString riceGarlic = " AND CDPRODUTO = (SELECT CDPRODUTO FROM PRODUTO WHERE CDARVPROD = '1040010001')";

} // namespace

// --- Closing ---------------------------------------------------------------------------------------

TEST_P(RecipePendingChanges, SairWithARowTheGridPostedAsksAndStaysOrConfirms)
{
    openAt();
    select("2010010001");
    show(form->tshPadrao);
    ClientDataSet& list = *form->cdsProdPrat;
    ASSERT_TRUE(list.Locate("CDARVPROD", "1040010001"));
    const QString garlic = "SELECT QTPRODPRAT FROM PRODPRAT WHERE CDFILAUXPRAT = 'P' AND CDPRATO = '2010010001'" + riceGarlic;
    const QString before = sql(garlic);
    typeCell(form->dbgProdPrat, "QTPRODPRAT", "0,05");
    QTest::keyClick(form->dbgProdPrat, Qt::Key_Down);
    QApplication::processEvents();
    ASSERT_EQ(list.state(), State::Browse);
    ASSERT_EQ(list.ChangeCount(), 1);

    script->answer(mrCancel);
    form->sbtSair->click();
    QApplication::processEvents();
    EXPECT_FALSE(closed());
    EXPECT_EQ(script->lastMessage().key, "SAIR_PENDENTE");
    EXPECT_EQ(script->lastMessage().buttons, mbYes | mbNo | mbCancel);
    EXPECT_EQ(list.ChangeCount(), 1);
    EXPECT_EQ(sql(garlic), before);

    script->answer(mrYes);
    form->sbtSair->click();
    QApplication::processEvents();
    EXPECT_TRUE(closed());
    EXPECT_DOUBLE_EQ(value(garlic).toDouble(), 0.05);
    EXPECT_TRUE(script->failures().isEmpty());
}

TEST_P(RecipePendingChanges, ClosingTheWindowStaysOpenWhenTheServerRefusesAndGivesUpOnNo)
{
    openAt();
    showRiceAtBranch();
    const QString name = "SELECT NMFANTASIAPF FROM PRATFILI WHERE CDFILIAL = '0002' AND CDPRATO = '2010010001'";
    type(child<QLineEdit>("dbeNmFantasiaFili"), "Arroz da casa");
    ASSERT_EQ(form->cdsPratFili->state(), State::Edit);
    // Someone else renamed it meanwhile: confirming would overwrite that.
    exec("UPDATE PRATFILI SET NMFANTASIAPF = 'Arroz soltinho' WHERE CDFILIAL = '0002' AND CDPRATO = '2010010001'");

    script->answer(mrYes);
    EXPECT_FALSE(form->close());
    EXPECT_FALSE(closed());
    EXPECT_EQ(script->lastMessage().kind, mtError); // the server's refusal
    EXPECT_EQ(form->cdsPratFili->ChangeCount(), 1);
    EXPECT_EQ(sql(name), "Arroz soltinho");

    script->answer(mrNo);
    EXPECT_TRUE(form->close());
    EXPECT_TRUE(closed());
    EXPECT_EQ(sql(name), "Arroz soltinho");
    EXPECT_TRUE(script->failures().isEmpty());
}

TEST_P(RecipePendingChanges, TheHostClosingAsksTheRecipeFormFirst)
{
    host::Package package;
    host::MainWindow window(package, QStringLiteral("teste"));
    hostContext().mainWindow = &window;
    window.show();
    openAt();
    showRiceAtBranch();
    type(child<QLineEdit>("dbeNmFantasiaFili"), "Arroz da casa");

    script->answer(mrCancel);
    EXPECT_FALSE(window.close());
    EXPECT_FALSE(closed());
    EXPECT_EQ(form->cdsPratFili->state(), State::Edit);

    script->answer(mrYes);
    EXPECT_TRUE(window.close());
    EXPECT_TRUE(closed());
    EXPECT_EQ(sql("SELECT NMFANTASIAPF FROM PRATFILI WHERE CDFILIAL = '0002' AND CDPRATO = '2010010001'"),
              "Arroz da casa");
    EXPECT_TRUE(script->failures().isEmpty());
}

// --- The dataset being edited ------------------------------------------------------------------------

TEST_P(RecipePendingChanges, ADishDataEditHoldsTheTreeAndTheToolbarAtTheStandardAndBranchLevels)
{
    openAt();
    select("2010010001");
    show(form->tshPadrao);
    auto* standardName = child<QLineEdit>("dbeNmFantasiaPadr");
    type(standardName, "Arroz soltinho");
    idle();
    EXPECT_EQ(form->dtsPadrao->DataSet(), form->cdsDadosPrat);
    EXPECT_TRUE(form->mnuConfirmar->isEnabled());
    click("2010010002"); // a dish of the same group: its dish data is loaded already
    EXPECT_EQ(dish(), "2010010001");
    EXPECT_EQ(form->cdsDadosPrat->state(), State::Edit);
    EXPECT_EQ(sql("SELECT NMFANTASIAPR FROM DADOSPRAT WHERE CDPRATO = '2010010002'"), QString::fromUtf8("Arroz à grega"));
    focus(standardName);
    ctrlEnter();
    EXPECT_EQ(sql("SELECT NMFANTASIAPR FROM DADOSPRAT WHERE CDPRATO = '2010010001'"), "Arroz soltinho");
    EXPECT_EQ(sql("SELECT NMFANTASIAPR FROM DADOSPRAT WHERE CDPRATO = '2010010002'"), QString::fromUtf8("Arroz à grega"));

    showRiceAtBranch();
    // While the branch is chosen, nothing of the page can be edited, tick after tick.
    focus(form->medCdFilial);
    idle();
    EXPECT_FALSE(form->mnuIncluir->isEnabled());
    EXPECT_FALSE(form->mnuAlterar->isEnabled());
    focus(form->dbgReceFili);
    auto* branchName = child<QLineEdit>("dbeNmFantasiaFili");
    type(branchName, "Arroz da casa");
    idle();
    EXPECT_EQ(form->dtsPadrao->DataSet(), form->cdsPratFili);
    EXPECT_TRUE(form->mnuConfirmar->isEnabled());
    click("2010010002"); // no branch record there: the edit would have become one
    EXPECT_EQ(dish(), "2010010001");
    EXPECT_EQ(sql("SELECT COUNT(*) FROM PRATFILI WHERE CDPRATO = '2010010002'"), "0");
    focus(branchName);
    ctrlEnter();
    EXPECT_EQ(sql("SELECT NMFANTASIAPF FROM PRATFILI WHERE CDFILIAL = '0002' AND CDPRATO = '2010010001'"),
              "Arroz da casa");
    click("2010010002");
    EXPECT_EQ(dish(), "2010010002");
    EXPECT_EQ(sql("SELECT COUNT(*) FROM PRATFILI WHERE CDPRATO = '2010010002'"), "0");
    EXPECT_TRUE(script->failures().isEmpty());
}

TEST_P(RecipePendingChanges, NutrientsKeepTheBranchPageOnItsBranchAndItsRowsUnsent)
{
    // Rice's branch recipe belongs to branch 0005 here; the form works on 0002.
    exec("UPDATE RECEFILI SET CDFILIAL = '0005' WHERE CDFILIAL = '0002' AND CDPRATO = '2010010001'");
    QStringList nutrition;
    openAt();
    form->companheiros().CriaNutrPrat = [&nutrition](const QStringList& args) { nutrition = args; };
    select("2010010001");
    show(form->tshReceLoca);
    type(form->medCdFilial, "0005");
    focus(form->dbgReceFili);
    ClientDataSet& list = *form->cdsReceFili;
    ASSERT_TRUE(list.Locate("CDARVPROD", "1040010001"));
    const QString garlic = "SELECT QTPRODRECLOC FROM RECEFILI WHERE CDFILIAL = '0005' AND CDPRATO = '2010010001'" + riceGarlic;
    const QString before = sql(garlic);
    typeCell(form->dbgReceFili, "QTPRODRECLOC", "0,05");
    QTest::keyClick(form->dbgReceFili, Qt::Key_Down);
    QApplication::processEvents();
    ASSERT_EQ(list.ChangeCount(), 1);
    EXPECT_FALSE(form->medCdFilial->isEnabled()); // not to be changed while rows wait

    press(form->findChild<QAction*>("mnuNutrientes"));
    EXPECT_EQ(form->medCdFilial->Text(), "0005");
    ASSERT_EQ(nutrition.size(), 11);
    EXPECT_EQ(nutrition[4], "0005");
    EXPECT_EQ(list.ChangeCount(), 1);
    EXPECT_EQ(sql(garlic), before);
    EXPECT_EQ(sql("SELECT COUNT(*) FROM RECEFILI WHERE CDFILIAL = '0002' AND CDPRATO = '2010010001'"), "0");

    press(form->mnuConfirmar);
    EXPECT_DOUBLE_EQ(value(garlic).toDouble(), 0.05);
    EXPECT_TRUE(script->failures().isEmpty());
}

TEST_P(RecipePendingChanges, AColourNeedsTheBranchOrMenuTypeAndTheDishsOwnRecord)
{
    openAt();
    select("2010010001");
    show(form->tshReceLoca);
    // The branch typed away: no dialog opens (none is scripted) and nothing is stored.
    type(form->medCdFilial, "");
    QTest::mouseClick(child<TShape>("shpCorPrincFili"), Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_EQ(form->cdsPratFili->state(), State::Browse);
    EXPECT_EQ(form->cdsPratFili->ChangeCount(), 0);
    EXPECT_EQ(sql("SELECT COUNT(*) FROM PRATFILI WHERE CDPRATO = '2010010001'"), "0");

    // The branch chosen: the colour goes to the dish's own record of that branch.
    type(form->medCdFilial, "0002");
    focus(form->dbgReceFili);
    script->color(QColor(0x12, 0x34, 0x56));
    QTest::mouseClick(child<TShape>("shpCorPrincFili"), Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_EQ(value("SELECT NRCORPRIFILI FROM PRATFILI WHERE CDFILIAL = '0002' AND CDPRATO = '2010010001'").toInt(),
              0x123456);
    EXPECT_EQ(sql("SELECT COUNT(*) FROM PRATFILI WHERE CDPRATO = '2010010001'"), "1");

    // A menu type is required before its dish data changes.
    focus(form->dbaPadrao);
    show(form->tshTpCard);
    ASSERT_TRUE(form->medCdTpCard->Text().isEmpty());
    script->reset();
    QTest::mouseClick(child<TShape>("shpCorPrincipalTC"), Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_EQ(script->lastMessage().text, QString::fromUtf8("Tipo de Cardápio deve ser informado."));
    EXPECT_EQ(form->cdsPratTpCard->state(), State::Browse);
    EXPECT_EQ(sql("SELECT COUNT(*) FROM PRATTPCARD WHERE CDTIPOCARD = '' OR CDTIPOCARD IS NULL"), "0");
    EXPECT_TRUE(script->failures().isEmpty());
}

TEST_P(RecipePendingChanges, AnEmptyValidityStaysEmptyOnTheBranchAndServiceRecords)
{
    openAt();
    showRiceAtBranch();
    const QString branch = "SELECT HRVALCONFILI FROM PRATFILI WHERE CDFILIAL = '0002' AND CDPRATO = '2010010001'";
    EXPECT_TRUE(value(branch).isNull()); // the record the fancy name created
    auto* validity = child<TMaskEdit>("medValLocal");
    type(validity, "001230");
    ctrlEnter();
    EXPECT_DOUBLE_EQ(value(branch).toDouble(), 12.5);
    type(validity, "");
    ctrlEnter();
    EXPECT_TRUE(value(branch).isNull());
    EXPECT_EQ(validity->Text().trimmed().remove(u':'), "");

    show(form->tshReceServ);
    focus(form->medCdFiliServ);
    type(form->medCdServico, "2");
    focus(form->dbgReceServ);
    EXPECT_EQ(sql("SELECT NMFANTASIASE FROM PRATSERV WHERE CDFILIAL = '0002' AND CDSERVFILI = '00002' "
                  "AND CDPRATO = '2010010001'"),
              "Arroz branco");
    EXPECT_TRUE(value("SELECT HRVALCONSERV FROM PRATSERV WHERE CDFILIAL = '0002' AND CDSERVFILI = '00002' "
                      "AND CDPRATO = '2010010001'")
                    .isNull());
    EXPECT_TRUE(script->failures().isEmpty());
}

// --- Preparation modes and photos -------------------------------------------------------------------

TEST_P(RecipePendingChanges, ServiceModesTakeTheirServicePaddedAndCheckedAndFilesAreStoredAsRichText)
{
    openAt();
    select("2020010001");
    // Codes as they were left in the edits, neither padded nor checked yet.
    auto* branch = child<TMaskEdit>("medCdFiliServPrep");
    auto* service = child<TMaskEdit>("medCdServPrep");
    branch->setText(QStringLiteral("2"));
    service->setText(QStringLiteral("9"));
    show(form->tshModoPrep, form->tshPrepSer);
    auto* modes = form->findChild<ClientDataSet*>("cdsPrepSer");
    ASSERT_NE(modes, nullptr);
    auto* editor = child<TDBRichEdit>("dreServico");
    focus(editor);
    script->reset();
    press(form->mnuIncluir);
    EXPECT_EQ(script->lastMessage().key, "SERV_NCAD");
    EXPECT_EQ(modes->state(), State::Browse);
    EXPECT_EQ(branch->Text(), "0002");
    EXPECT_EQ(QApplication::focusWidget(), service);

    type(service, "2");
    focus(editor);
    press(form->mnuIncluir);
    ASSERT_EQ(modes->state(), State::Insert);
    EXPECT_EQ(service->Text(), "00002");
    EXPECT_EQ(child<QLineEdit>("edtNmServPrep")->text(), "Dieta pastosa");
    QTest::keyClicks(editor, "Cozinhar sem sal");
    press(form->mnuConfirmar);
    EXPECT_EQ(sql("SELECT CDFILIAL || '/' || CDSERVFILI FROM PREPSERV WHERE CDPRATO = '2020010001'"), "0002/00002");

    // While the service is chosen the toolbar stays off, tick after tick.
    focus(service);
    idle();
    EXPECT_FALSE(form->mnuIncluir->isEnabled());
    EXPECT_FALSE(form->mnuAlterar->isEnabled());
    focus(editor);
    EXPECT_TRUE(form->mnuIncluir->isEnabled());

    // A text file imported into a branch mode is kept as the rich text the editor shows.
    QTemporaryDir dir;
    const QString path = dir.filePath("modo.txt");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("Deixar de molho na noite anterior\n");
    file.close();
    child<TMaskEdit>("medCdFiliPrep")->setText(QStringLiteral("0002"));
    show(form->tshModoPrep, form->tshPrepFil);
    focus(child<TDBRichEdit>("drePrepFil"));
    script->fileName(path);
    form->findChild<QAction*>("mnuImpArquivo")->trigger();
    press(form->mnuConfirmar);
    const QByteArray stored =
        value("SELECT TXPREPFILI FROM PREPFILI WHERE CDFILIAL = '0002' AND CDPRATO = '2020010001'").toByteArray();
    EXPECT_TRUE(isRtf(stored)) << stored.left(40).toStdString();
    EXPECT_TRUE(rtfToPlainText(stored).contains("Deixar de molho na noite anterior"));

    // The mode's text check is offered under its name.
    auto* page = form->findChild<recipe::PaginaPreparo*>("pagina_tshPrepFil");
    ASSERT_NE(page, nullptr);
    guarded([page] { page->Vd_Preparo(QStringLiteral("  ")); });
    EXPECT_EQ(script->lastMessage().key, "TXPREPARO_EMPTY");
    EXPECT_TRUE(script->failures().isEmpty());
}

TEST_P(RecipePendingChanges, ARefusedPhotoOrModeStaysUntilSentAndHoldsTheTree)
{
    QTemporaryDir dir;
    QImage image(32, 24, QImage::Format_RGB32);
    image.fill(Qt::darkGreen);
    const QString picture = dir.filePath("prato.jpg");
    ASSERT_TRUE(image.save(picture, "JPG"));
    openAt();
    select("2020010001");
    child<TMaskEdit>("medCdFiliFto")->setText(QStringLiteral("0002"));
    show(form->tshFoto, form->tshFotoFil);
    auto* photos = form->findChild<ClientDataSet*>("cdsFotoPraFil");
    press(form->mnuIncluir);
    script->fileName(picture);
    child<QToolButton>("sbtAbrirFto")->click();
    // Another user stored a photo under the same number meanwhile.
    exec("INSERT INTO FOTOPRAFIL (CDFILAUXPRAT, CDPRATO, CDFILIAL, NRFOTOPRAFIL, IDFOTOPRAFIL, IDAJUSFOTFIL) "
         "VALUES ('P', '2020010001', '0002', '01', '2', 'N')");
    press(form->mnuConfirmar);
    EXPECT_EQ(script->lastMessage().kind, mtError);
    ASSERT_EQ(photos->ChangeCount(), 1);
    EXPECT_FALSE(child<TMaskEdit>("medCdFiliFto")->isEnabled()); // its branch stays while it waits

    // The dish cannot change under it, even from another page; the page that holds it is named.
    show(form->tshFormulario);
    script->reset();
    click("2020010002");
    EXPECT_EQ(dish(), "2020010001");
    ASSERT_EQ(script->messages().size(), 1);
    EXPECT_EQ(script->lastMessage().key, "PRATO_PENDENTE");
    EXPECT_TRUE(script->lastMessage().text.contains("Foto / Local")) << script->lastMessage().text.toStdString();
    show(form->tshFoto, form->tshFotoFil);
    EXPECT_EQ(photos->ChangeCount(), 1);

    exec("DELETE FROM FOTOPRAFIL WHERE CDPRATO = '2020010001'");
    press(form->mnuConfirmar);
    EXPECT_EQ(photos->ChangeCount(), 0);
    EXPECT_EQ(sql("SELECT NRFOTOPRAFIL || IDFOTOPRAFIL FROM FOTOPRAFIL WHERE CDPRATO = '2020010001'"), "011");

    // A refused mode stays as well while the sub-pages are shown in turn, until given up.
    child<TMaskEdit>("medCdFiliPrep")->setText(QStringLiteral("0002"));
    show(form->tshModoPrep, form->tshPrepFil);
    auto* modes = form->findChild<ClientDataSet*>("cdsPrepFil");
    press(form->mnuIncluir);
    QTest::keyClicks(child<TDBRichEdit>("drePrepFil"), "Cozinhar na pressao");
    exec("INSERT INTO PREPFILI (CDFILAUXPRAT, CDPRATO, CDFILIAL, NRPREPFILI, IDPREPFILI, TXPREPFILI) "
         "VALUES ('P', '2020010001', '0002', '01', '2', NULL)");
    press(form->mnuConfirmar);
    ASSERT_EQ(modes->ChangeCount(), 1);
    show(form->tshModoPrep, form->tshPrepPad);
    show(form->tshModoPrep, form->tshPrepFil);
    EXPECT_EQ(modes->ChangeCount(), 1);
    click("2020010002");
    EXPECT_EQ(dish(), "2020010001");
    script->answer(mrYes); // Canc
    press(form->mnuCancelar);
    EXPECT_EQ(modes->ChangeCount(), 0);
    click("2020010002");
    EXPECT_EQ(dish(), "2020010002");
    EXPECT_TRUE(script->failures().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Backends, RecipePendingChanges,
                         ::testing::Values(testdb::Backend::Sqlite, testdb::Backend::Postgres),
                         [](const auto& info) { return testdb::backendName(info.param); });
