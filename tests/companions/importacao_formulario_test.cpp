// The recipe review form (PLA01309) as a planner uses it: opened from the recipe form's review
// launcher, origin and destination chosen with the mouse and the keyboard, the dish grid marked
// and its quantities typed, and the copy read back from the database.
#include "planejador.h"
#include "pratoteste.h"
#include "recipeformtest.h"

#include "companions/Cli_pla01309/cli_pla01309.h"
#include "companions/Cli_pla01309/frmimpprato.h"
#include "companions/common/faixapratos.h"
#include "companions/common/gradepratos.h"
#include "companions/common/painelnivel.h"
#include "db/demodata.h"
#include "framework/core/consiste.h"
#include "framework/data/clientdataset.h"
#include "framework/forms/dbgrid.h"
#include "framework/forms/dbtree.h"
#include "framework/ui/btnpesquisa.h"
#include "framework/ui/maskedit.h"

#include <QAction>
#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>
#include <functional>

using namespace framework;
using Cli_pla01309::frmImpPrato;

namespace {

using planejador::click;
using planejador::type;

class ImportacaoFormTest : public RecipeFormTest {
protected:
    void SetUp() override
    {
        RecipeFormTest::SetUp();
        if (IsSkipped())
            return;
        pratoteste::cria(database->db());
    }

    // Opens the recipe form on a dish and page, and the review from its menu; check drives the
    // review while it is open, then the user closes it.
    void revisa(const std::function<void(TfrmImpPrato&)>& check, const QString& dish = "2010010001",
                const char* page = "tshPadrao")
    {
        if (!receita) {
            receita = open();
            ASSERT_NE(receita, nullptr);
            receita->dbaPadrao->setFocus(); // leaving the branch panel loads the dish tree
            QApplication::processEvents();
        }
        ASSERT_TRUE(receita->dbaPadrao->setSelectedCode(dish));
        receita->pgcPadrao->setCurrentWidget(receita->findChild<QWidget*>(page));
        QApplication::processEvents();
        bool ran = false;
        QTimer timer;
        int ticks = 0;
        QObject::connect(&timer, &QTimer::timeout, [&] {
            if (!frmImpPrato || ran)
                return;
            frmImpPrato->activateWindow();
            if (QApplication::activeWindow() != frmImpPrato && ++ticks < 200)
                return;
            ran = true;
            form = frmImpPrato;
            check(*frmImpPrato);
            frmImpPrato->close();
        });
        timer.start(10);
        receita->findChild<QAction*>("pmnPrato")->trigger();
        QApplication::processEvents();
        EXPECT_TRUE(ran) << "the review never opened";
        form = nullptr;
    }

    void range(const QString& from, const QString& to)
    {
        type(form->pratos->inicial.codigo, from);
        type(form->pratos->final.codigo, to);
    }
    void enterGrid()
    {
        form->grade->dbgPadrao->setFocus();
        QApplication::processEvents();
    }
    TDBGrid& grid() const { return *form->grade->dbgPadrao; }
    ClientDataSet& rows() const { return *form->grade->cdsGridPratos; }
    QModelIndex cellIndex(int row, const char* field) const
    {
        return grid().model()->index(row, IndiceCol(grid(), field));
    }
    QString cell(int row, const char* field) const { return cellIndex(row, field).data(Qt::DisplayRole).toString(); }
    QString mark(int row) const { return rows().valueAt(row, rows().FieldByName("IDMARCADO")).toString(); }
    void clickCell(int row, const char* field)
    {
        grid().scrollTo(cellIndex(row, field));
        QTest::mouseClick(grid().viewport(), Qt::LeftButton, {}, grid().visualRect(cellIndex(row, field)).center());
        QApplication::processEvents();
    }
    void clickMarkTitle()
    {
        QHeaderView* header = grid().horizontalHeader();
        const int column = IndiceCol(grid(), "IDMARCADO");
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                                 header->height() / 2));
        QApplication::processEvents();
    }
    // Types a quantity per person in a row's cell and leaves the cell.
    void typeQuantity(int row, const QString& text)
    {
        grid().setFocus();
        grid().setCurrentIndex(cellIndex(row, "QUANTIDADE"));
        QApplication::processEvents();
        QTest::keyClick(&grid(), Qt::Key_F2);
        auto* editor = qobject_cast<QLineEdit*>(grid().InplaceEditor());
        if (!editor)
            return; // the edit was refused
        editor->selectAll();
        QTest::keyClick(editor, Qt::Key_Backspace);
        QTest::keyClicks(editor, text);
        QTest::keyClick(editor, Qt::Key_Return);
        QApplication::processEvents();
    }
    // Confirms, answering the questions in order.
    void confirm(std::initializer_list<int> answers = {})
    {
        for (int answer : answers)
            script->answer(answer);
        click(form->sbtConfirma);
    }
    // A recipe's rows of a dish: "product net" by product.
    QStringList recipe(const QString& table, const QString& where, const char* net, const QString& dish)
    {
        QSqlQuery query(database->db());
        EXPECT_TRUE(query.exec(QStringLiteral("SELECT CDPRODUTO, %1 FROM %2 WHERE %3 AND CDPRATO = '%4' ORDER BY CDPRODUTO")
                                   .arg(QLatin1String(net), table, where, dish)));
        QStringList list;
        while (query.next())
            list << query.value(0).toString() + u' ' + QString::number(query.value(1).toDouble());
        return list;
    }
    QStringList branchRecipe(const QString& branch, const QString& dish)
    {
        return recipe("RECEFILI", QStringLiteral("CDFILIAL = '%1'").arg(branch), "QTPRODRECLOC", dish);
    }

    TfrmReceitaPadrao* receita = nullptr;
    TfrmImpPrato* form = nullptr;
};

TEST_F(ImportacaoFormTest, AReviewCopiesABranchRecipeToAServiceAndTheRecipePageIsReadAgain)
{
    const auto pageLoads = [this] { return script->progressTexts().size(); };
    qsizetype loadsBefore = 0;
    revisa([&](TfrmImpPrato& f) {
        EXPECT_EQ(f.windowTitle(), QString::fromUtf8("Revisão Automática de Receitas"));
        EXPECT_EQ(Cli_pla01309::stNivel, "P");
        EXPECT_TRUE(Cli_pla01309::boIdCriado);
        // Standard to standard at first; the menu-type central is the processing branch's.
        EXPECT_TRUE(f.origem->rdbPadrao->isChecked());
        EXPECT_TRUE(f.destino->rdbPadrao->isChecked());
        EXPECT_TRUE(f.destino->rdbPadrao->isEnabled());
        EXPECT_EQ(f.origem->central.codigo->Text(), "0001");
        EXPECT_EQ(f.destino->central.nome->text(), QString::fromUtf8("Central Sul Alimentação"));
        for (QWidget* w : {static_cast<QWidget*>(f.origem->central.codigo), static_cast<QWidget*>(f.origem->tipoCard.codigo),
                           static_cast<QWidget*>(f.origem->filial.codigo), static_cast<QWidget*>(f.origem->servico.codigo)})
            EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
        EXPECT_TRUE(f.rdbAcrescentar->isChecked());
        EXPECT_TRUE(f.pratos->inicial.codigo->hasFocus());

        // The branch's own recipes: the branch comes from the recipe form.
        click(f.origem->rdbLocal);
        EXPECT_EQ(f.origem->filial.codigo->Text(), "0002");
        EXPECT_EQ(f.origem->filial.nome->text(), QString::fromUtf8("Hospital São Lucas"));
        EXPECT_TRUE(f.origem->filial.codigo->isEnabled());
        EXPECT_FALSE(f.origem->servico.codigo->isEnabled());
        range("1010010001", "5010010099");
        EXPECT_EQ(f.pratos->final.nome->text(), "Prato de teste");
        enterGrid();
        EXPECT_TRUE(script->progressTexts().contains("Carregando pratos..."));
        ASSERT_EQ(grid().model()->rowCount(), 2);
        EXPECT_EQ(QStringList({cell(0, "CDFILAUXPRAT"), cell(0, "CDPRATO"), cell(0, "NMPRATO")}),
                  (QStringList{QString::fromUtf8("Padrão"), "2010010001", "Arroz branco"}));
        EXPECT_EQ(grid().cellPaint(cellIndex(0, "IDMARCADO"), false).check, TCellPaint::ckChecked);
        EXPECT_FALSE(grid().cellPaint(cellIndex(0, "CDFILAUXPRAT"), false).icon.isNull());

        click(f.destino->rdbServico);
        EXPECT_EQ(f.destino->filial.codigo->Text(), "0002");
        type(f.destino->servico.codigo, "3");
        EXPECT_EQ(f.destino->servico.codigo->Text(), "00003");
        EXPECT_EQ(f.destino->servico.nome->text(), QString::fromUtf8("Dieta hipossódica"));
        click(f.rdbSobrepor);
        confirm({mrYes});
        EXPECT_EQ(script->messageKeys().mid(script->messageKeys().size() - 2),
                  (QStringList{"Conf_rev_auto", "Imp_Conc"}));
        EXPECT_EQ(script->lastMessage().text, QString::fromUtf8("A importação foi realizada com sucesso."));
        EXPECT_EQ(recipe("RECESERV", "CDFILIAL = '0002' AND CDSERVFILI = '00003'", "QTPRODRECSER", "5010010099"),
                  QStringList{"T01 0.2"});
        EXPECT_EQ(recipe("RECESERV", "CDFILIAL = '0002' AND CDSERVFILI = '00003'", "QTPRODRECSER", "2010010001").size(), 4);
        // The form stays as it is for another copy.
        EXPECT_EQ(grid().model()->rowCount(), 2);
        loadsBefore = pageLoads();
    });
    EXPECT_GT(pageLoads(), loadsBefore); // the recipe page was read again
    EXPECT_EQ(frmImpPrato, nullptr);
    EXPECT_FALSE(Cli_pla01309::boIdCriado);
}

TEST_F(ImportacaoFormTest, MarksFollowClicksTheSpaceBarAndTheTitleAndRowsCannotBeAddedOrRemoved)
{
    revisa([&](TfrmImpPrato& f) {
        click(f.destino->rdbLocal);
        type(f.destino->filial.codigo, "4");
        range("5010010001", "5010010099");
        enterGrid();
        ASSERT_EQ(rows().RecordCount(), 4);
        EXPECT_TRUE(Cli_pla01309::boIdMarcado);

        clickCell(0, "IDMARCADO");
        EXPECT_EQ(mark(0), "N");
        EXPECT_EQ(grid().cellPaint(cellIndex(0, "IDMARCADO"), false).check, TCellPaint::ckUnchecked);
        EXPECT_FALSE(Cli_pla01309::boIdMarcado);
        EXPECT_FALSE(grid().options() & TDBGrid::dgEditing); // the mark column is clicked, not typed
        grid().setCurrentIndex(cellIndex(1, "IDMARCADO"));
        QTest::keyClick(&grid(), Qt::Key_Space);
        EXPECT_EQ(mark(1), "N");
        EXPECT_EQ(f.grade->Marcados(), 2);

        // The last click unmarked: the title marks every row; once more unmarks every row.
        clickMarkTitle();
        EXPECT_EQ(f.grade->Marcados(), 4);
        EXPECT_EQ(rows().FieldByName("CDPRATO")->AsString(), "5010010002"); // still on the same dish
        clickMarkTitle();
        EXPECT_EQ(f.grade->Marcados(), 0);

        QTest::keyClick(&grid(), Qt::Key_Delete, Qt::ControlModifier);
        QTest::keyClick(&grid(), Qt::Key_Insert);
        EXPECT_EQ(rows().RecordCount(), 4);
        EXPECT_TRUE(script->failures().isEmpty());

        confirm();
        EXPECT_EQ(script->lastMessage().text, QString::fromUtf8("Nenhum prato foi selecionado para revisão de receita."));
        clickCell(3, "IDMARCADO");
        confirm({mrNo}); // not confirmed: nothing copied
        EXPECT_EQ(script->lastMessage().key, "Conf_rev_auto");
        EXPECT_EQ(branchRecipe("0004", "5010010099"), QStringList{"T01 0.2"});
        confirm({mrYes});
        EXPECT_EQ(branchRecipe("0004", "5010010099"), (QStringList{"T01 0.2", "T02 0.08", "T03 0.05"}));
        EXPECT_TRUE(branchRecipe("0004", "5010010001").isEmpty()); // unmarked
    });
}

TEST_F(ImportacaoFormTest, AQuantityPerPersonIsTypedOnMarkedRowsAndScalesTheCopyOnlyWhenTheUserSaysSo)
{
    revisa([&](TfrmImpPrato& f) {
        click(f.destino->rdbLocal);
        type(f.destino->filial.codigo, "4");
        click(f.rdbSobrepor);
        range("5010010001", "5010010002");
        enterGrid();
        ASSERT_EQ(rows().RecordCount(), 2);
        EXPECT_EQ(cell(0, "QUANTIDADE"), "0,30000");
        EXPECT_EQ(cell(0, "SGUNIDADE"), "L");

        clickCell(0, "IDMARCADO");
        typeQuantity(0, "0,6");
        EXPECT_EQ(script->lastMessage().text, QString::fromUtf8("Para alterar a quantidade o prato deve ser marcado."));
        EXPECT_DOUBLE_EQ(rows().FieldByName("QUANTIDADE")->AsFloat(), 0.3);
        clickCell(0, "IDMARCADO");
        typeQuantity(0, "-0e,6+");
        EXPECT_EQ(cell(0, "QUANTIDADE"), "0,60000"); // sign and exponent are not taken
        grid().setCurrentIndex(cellIndex(1, "QUANTIDADE")); // posts the row
        QApplication::processEvents();
        ASSERT_TRUE(rows().Locate("CDPRATO", "5010010001"));
        EXPECT_DOUBLE_EQ(rows().FieldByName("PROPORCAO")->AsFloat(), 2.0);
        EXPECT_TRUE(Cli_pla01309::boAlt_Qt_Prop);

        // Out of the grid and back: the grid and its ratios stay, and are still asked about.
        f.pratos->final.codigo->setFocus();
        enterGrid();
        EXPECT_EQ(cell(0, "QUANTIDADE"), "0,60000");
        const qsizetype before = script->messages().size();
        confirm({mrYes, mrNo});
        EXPECT_EQ(script->messageKeys().mid(before), (QStringList{"Conf_rev_auto", "alt_prop_prod_rec", "Imp_Conc"}));
        ASSERT_TRUE(rows().Locate("CDPRATO", "5010010001"));
        EXPECT_DOUBLE_EQ(rows().FieldByName("PROPORCAO")->AsFloat(), 1.0); // the quantity column was selected
        QStringList standard = recipe("PRODPRAT", "CDFILAUXPRAT = 'P'", "QTPRODPRAT", "5010010001");
        EXPECT_EQ(branchRecipe("0004", "5010010001"), standard);
        EXPECT_FALSE(value("SELECT QTPADRAOFILI FROM PRATFILI WHERE CDFILIAL = '0004'").isValid());

        // Yes: the copy is scaled by the new quantity and the branch takes it.
        typeQuantity(0, "0,9");
        confirm({mrYes, mrYes});
        EXPECT_EQ(script->lastMessage().key, "Imp_Conc");
        QStringList tripled;
        for (const QString& row : standard)
            tripled << row.section(u' ', 0, 0) + u' ' + QString::number(RoundDec(row.section(u' ', 1).toDouble() * 3, 5));
        EXPECT_EQ(branchRecipe("0004", "5010010001"), tripled);
        EXPECT_DOUBLE_EQ(value("SELECT QTPADRAOFILI FROM PRATFILI WHERE CDFILIAL = '0004' AND CDPRATO = '5010010001'")
                             .toDouble(),
                         0.9);

        // Esc in the grid while a row is edited takes back every change since the grid was loaded.
        clickCell(1, "IDMARCADO");
        grid().setCurrentIndex(cellIndex(0, "QUANTIDADE"));
        QTest::keyClick(&grid(), Qt::Key_F2);
        QTest::keyClick(grid().InplaceEditor(), Qt::Key_1);
        QTest::keyClick(grid().InplaceEditor(), Qt::Key_Escape);
        QTest::keyClick(&grid(), Qt::Key_Escape);
        EXPECT_EQ(rows().ChangeCount(), 0);
        EXPECT_EQ(cell(0, "QUANTIDADE"), "0,30000");
        EXPECT_EQ(f.grade->Marcados(), 2);
    });
}

TEST_F(ImportacaoFormTest, OriginAndDestinationAreCheckedBeforeAnythingIsCopied)
{
    revisa([&](TfrmImpPrato& f) {
        const QString fingerprint = database->fingerprint();
        confirm();
        EXPECT_EQ(script->lastMessage().text, "Prato inicial deve ser informado.");
        EXPECT_TRUE(f.pratos->inicial.codigo->hasFocus());
        range("5010010099", "5010010001");
        confirm();
        EXPECT_EQ(script->lastMessage().text, "Prato inicial deve ser menor ou igual ao prato final.");
        range("5010010099", "5010010099"); // the same dish is a range

        // A standard destination needs a supervisor; standard to standard is refused after it.
        script->refuseAuthorization();
        const qsizetype shown = script->messages().size();
        confirm();
        EXPECT_EQ(script->messages().size(), shown);
        script->authorize(db::DemoSupervisor, db::DemoSupervisorPassword);
        confirm();
        EXPECT_EQ(script->lastMessage().text,
                  QString::fromUtf8("Não é possível copiar os pratos de origem padrão para destino padrão."));
        EXPECT_TRUE(f.destino->rdbPadrao->hasFocus());

        // Menu types: the same code of two centrals are two menu types.
        click(f.origem->rdbTpCard);
        click(f.destino->rdbTpCard);
        EXPECT_TRUE(f.origem->central.codigo->isEnabled()); // the general parameter lets the user choose
        EXPECT_FALSE(f.origem->filial.codigo->isEnabled());
        confirm();
        EXPECT_EQ(script->lastMessage().text, QString::fromUtf8("Tipo de Cardápio deve ser informado."));
        type(f.origem->tipoCard.codigo, "nenhum");
        EXPECT_EQ(script->lastMessage().text, QString::fromUtf8("Tipo de Cardápio não cadastrado."));
        EXPECT_TRUE(f.origem->tipoCard.codigo->hasFocus());
        type(f.origem->tipoCard.codigo, "padrao");
        EXPECT_EQ(f.origem->tipoCard.nome->text(), QString::fromUtf8("Cardápio padrão"));
        type(f.destino->tipoCard.codigo, "PADRAO");
        confirm();
        EXPECT_EQ(script->lastMessage().text,
                  QString::fromUtf8("Tipo de Cardápio de destino deve ser diferente do Tipo de Cardápio de origem."));
        type(f.destino->central.codigo, "10");
        EXPECT_EQ(f.destino->central.codigo->Text(), "0010");
        EXPECT_TRUE(f.destino->tipoCard.codigo->Text().isEmpty()); // another central: its menu type is chosen again
        type(f.destino->tipoCard.codigo, "PADRAO");
        EXPECT_EQ(f.destino->central.nome->text(), QString::fromUtf8("Central Norte Refeições"));
        confirm();
        EXPECT_EQ(script->lastMessage().text, QString::fromUtf8("Não há pratos válidos no intervalo informado."));

        // Branches and services.
        click(f.origem->rdbLocal);
        click(f.destino->rdbLocal);
        confirm();
        EXPECT_EQ(script->lastMessage().text, "Filial de destino deve ser diferente da filial de origem.");
        EXPECT_TRUE(f.destino->filial.codigo->hasFocus());
        click(f.origem->rdbServico);
        click(f.destino->rdbServico);
        confirm();
        EXPECT_EQ(script->lastMessage().text, QString::fromUtf8("Serviço deve ser informado."));
        EXPECT_TRUE(f.origem->servico.codigo->hasFocus());
        type(f.origem->servico.codigo, "77");
        EXPECT_EQ(script->lastMessage().text, QString::fromUtf8("Serviço não cadastrado para filial informada."));
        type(f.origem->servico.codigo, "1");
        type(f.destino->servico.codigo, "1");
        confirm();
        EXPECT_EQ(script->lastMessage().text, QString::fromUtf8("Serviço de destino deve ser diferente do serviço de origem."));
        EXPECT_TRUE(f.destino->servico.codigo->hasFocus());
        EXPECT_EQ(database->fingerprint(), fingerprint);
    });
}

TEST_F(ImportacaoFormTest, ChangingTheOriginOrTheRangeEmptiesTheGrid)
{
    revisa([&](TfrmImpPrato& f) {
        click(f.origem->rdbLocal);
        range("1010010001", "5010010099");
        enterGrid();
        ASSERT_EQ(rows().RecordCount(), 2);
        // A new origin branch is no longer the one named beside it (nor what the grid holds).
        type(f.origem->filial.codigo, "4");
        EXPECT_EQ(f.origem->filial.nome->text(), "Hospital Santa Clara");
        EXPECT_EQ(f.origem->central.nome->text(), QString::fromUtf8("Central Sul Alimentação"));
        EXPECT_EQ(rows().RecordCount(), 0);
        enterGrid();
        EXPECT_EQ(rows().RecordCount(), 1);
        type(f.pratos->final.codigo, "5010010003");
        EXPECT_EQ(rows().RecordCount(), 0);
        click(f.origem->rdbPadrao);
        enterGrid();
        const int loaded = rows().RecordCount();
        EXPECT_EQ(loaded, value("SELECT COUNT(DISTINCT CDPRATO) FROM PRODPRAT WHERE CDFILAUXPRAT = 'P' "
                                "AND CDPRATO BETWEEN '1010010001' AND '5010010003'")
                              .toInt());
        // The destination is not the grid's business; another origin level is.
        click(f.destino->rdbLocal);
        EXPECT_EQ(rows().RecordCount(), loaded);
        click(f.origem->rdbServico);
        EXPECT_EQ(rows().RecordCount(), 0);
    });
}

TEST_F(ImportacaoFormTest, DishesAreSearchedWithTheirKeysAndTheFinalChoiceLoadsTheGrid)
{
    revisa([&](TfrmImpPrato& f) {
        f.pratos->inicial.codigo->setFocus();
        script->chooseRowWhere("CDPRATO", "5010010001");
        QTest::keyClick(f.pratos->inicial.codigo, Qt::Key_F9);
        QApplication::processEvents();
        EXPECT_EQ(f.pratos->inicial.codigo->Text(), "5010010001");
        EXPECT_EQ(f.pratos->inicial.nome->text(), "Sopa de legumes");
        EXPECT_TRUE(f.pratos->final.codigo->hasFocus());
        ASSERT_FALSE(script->searches().isEmpty());
        EXPECT_EQ(script->searches().last().title, "Prato");
        // Only dishes proper, of the standard tree and the recipe form's branch.
        EXPECT_EQ(script->searches().last().rowCount,
                  value("SELECT COUNT(*) FROM PRATO WHERE CDNVPRATO = '4' AND CDFILAUXPRAT IN ('P', '0002')").toInt());

        script->chooseRowWhere("CDPRATO", "5010010099");
        QTest::keyClick(f.pratos->final.codigo, Qt::Key_F6);
        QApplication::processEvents();
        EXPECT_EQ(f.pratos->final.nome->text(), "Prato de teste");
        EXPECT_EQ(rows().RecordCount(), 4); // loaded at once
        EXPECT_TRUE(grid().hasFocus());

        script->cancelSearch();
        click(f.pratos->inicial.botao);
        EXPECT_EQ(f.pratos->inicial.codigo->Text(), "5010010001");
        QTest::keyClick(f.pratos->inicial.codigo, Qt::Key_F9, Qt::ShiftModifier); // not the search
        EXPECT_EQ(script->pendingAnswers(), 0);
    });
}

TEST_F(ImportacaoFormTest, AnAnswerOfTheServerIsShownAndTheGridIsKeptForAnotherTry)
{
    exec("INSERT INTO PRODFILI (CDFILIAL, CDPRODUTO, IDPRODATIV) VALUES ('0004', 'T02', 'I')");
    revisa([&](TfrmImpPrato& f) {
        click(f.destino->rdbLocal);
        type(f.destino->filial.codigo, "4");
        range("5010010099", "5010010099");
        enterGrid();
        confirm({mrYes});
        EXPECT_EQ(script->lastMessage().kind, mtError);
        EXPECT_EQ(script->lastMessage().text,
                  QString::fromUtf8("Os produtos abaixo estão inativos na filial 0004 e não foram copiados; o restante "
                                    "das receitas foi copiado.\n\nPrato de teste: Produto B"));
        EXPECT_EQ(rows().RecordCount(), 1);
        EXPECT_EQ(branchRecipe("0004", "5010010099"), (QStringList{"T01 0.2", "T03 0.05"}));
    });
}

TEST_F(ImportacaoFormTest, ABranchModuleCopiesToItsOwnBranchLevels)
{
    hostContext().ModuFili = true;
    revisa(
        [&](TfrmImpPrato& f) {
            EXPECT_FALSE(f.destino->rdbPadrao->isEnabled());
            EXPECT_TRUE(f.destino->rdbLocal->isChecked());
            EXPECT_EQ(f.destino->filial.codigo->Text(), "0002");
            EXPECT_FALSE(f.destino->filial.codigo->isEnabled()); // fixed in a branch module
            EXPECT_EQ(Cli_pla01309::stNivel, "F");
        },
        "2010010001", "tshReceLoca");
}

TEST_F(ImportacaoFormTest, WithoutCentralsThereAreNoMenuTypes)
{
    hostContext().ModuloAtiv = QStringLiteral("P");
    revisa([&](TfrmImpPrato& f) {
        for (QWidget* hidden : {static_cast<QWidget*>(f.origem->rdbTpCard), static_cast<QWidget*>(f.destino->rdbTpCard),
                                f.origem->panTpCard, f.destino->panTpCard})
            EXPECT_FALSE(hidden->isVisibleTo(&f)) << hidden->objectName().toStdString();
    });
}

// The whole review on PostgreSQL: a standard recipe at a new quantity into a menu type.
class ImportacaoFormPostgresTest : public ImportacaoFormTest {
protected:
    void SetUp() override
    {
        backend = testdb::Backend::Postgres;
        ImportacaoFormTest::SetUp();
    }
};

TEST_F(ImportacaoFormPostgresTest, AStandardRecipeAtANewQuantityIntoAMenuType)
{
    revisa([&](TfrmImpPrato& f) {
        click(f.destino->rdbTpCard);
        type(f.destino->tipoCard.codigo, "ESCOLAR");
        range("5010010001", "5010010001");
        enterGrid();
        typeQuantity(0, "0,15");
        confirm({mrYes, mrYes});
        EXPECT_EQ(script->lastMessage().key, "Imp_Conc");
        QStringList halved;
        for (const QString& row : recipe("PRODPRAT", "CDFILAUXPRAT = 'P'", "QTPRODPRAT", "5010010001"))
            halved << row.section(u' ', 0, 0) + u' ' + QString::number(RoundDec(row.section(u' ', 1).toDouble() / 2, 5));
        EXPECT_EQ(recipe("RECETPCARD", "CDFILCENTPME = '0001' AND CDTIPOCARD = 'ESCOLAR'", "QTPRODPRATTP", "5010010001"),
                  halved);
        EXPECT_DOUBLE_EQ(value("SELECT QTPADRAOPRATTP FROM PRATTPCARD WHERE CDTIPOCARD = 'ESCOLAR' AND CDPRATO = '5010010001'").toDouble(), 0.15);
    });
}

} // namespace
