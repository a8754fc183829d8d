// The percentage form (PLA01314) as a planner uses it: opened from the recipe form's percentage
// launcher for the current dish, the services of a branch filtered, marked and given origins and
// percentages with the mouse and the keyboard, the recipe beside each row read, and what was
// confirmed read back from the database.
#include "planejador.h"
#include "pratoteste.h"
#include "recipeformtest.h"

#include "companions/Cli_pla01314/cli_pla01314.h"
#include "companions/Cli_pla01314/frmpercentsobrereceita.h"
#include "companions/Cli_pla01314/receitaprevia.h"
#include "companions/common/filtroservicos.h"
#include "companions/common/gradeservicos.h"
#include "companions/common/painelnivel.h"
#include "framework/data/clientdataset.h"
#include "framework/forms/dbgrid.h"
#include "framework/forms/dbtree.h"
#include "framework/ui/btnpesquisa.h"
#include "framework/ui/maskedit.h"

#include <QAction>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>
#include <functional>

using namespace framework;
using Cli_pla01314::frmPercentSobreReceita;

namespace {

using planejador::click;
using planejador::type;

class PercentualFormTest : public RecipeFormTest {
protected:
    void SetUp() override
    {
        RecipeFormTest::SetUp();
        if (IsSkipped())
            return;
        pratoteste::cria(database->db());
    }

    // Opens the recipe form on a dish's service page and the percentage form from its menu;
    // check drives the form while it is open, then the user closes it. Gives whether the recipe
    // page was read again after the form closed.
    bool percentual(const std::function<void(TfrmPercentSobreReceita&)>& check, const QString& dish = pratoteste::Prato)
    {
        if (!receita) {
            receita = open();
            EXPECT_NE(receita, nullptr);
            if (!receita)
                return false;
            receita->dbaPadrao->setFocus(); // leaving the branch panel loads the dish tree
            QApplication::processEvents();
        }
        EXPECT_TRUE(receita->dbaPadrao->setSelectedCode(dish));
        receita->pgcPadrao->setCurrentWidget(receita->tshReceServ);
        QApplication::processEvents();
        whileOpen(check, [this] {
            // Ctrl+K opens the percentage menu below its toolbar button; its second item is this form.
            QTest::keyClick(receita, Qt::Key_K, Qt::ControlModifier);
            auto* menu = receita->findChild<QMenu*>("pmnPercentual");
            ASSERT_TRUE(menu && menu->isVisible());
            QTest::keyClick(menu, Qt::Key_Down);
            QTest::keyClick(menu, Qt::Key_Down);
            EXPECT_EQ(menu->activeAction(), receita->findChild<QAction*>("pmnPercentualSobreReceita"));
            QTest::keyClick(menu, Qt::Key_Return);
        });
        return script->progressTexts().size() > atClose;
    }

    // Opens the form with open(); check drives it while it is open, then the user closes it.
    void whileOpen(const std::function<void(TfrmPercentSobreReceita&)>& check, const std::function<void()>& open)
    {
        bool ran = false;
        QTimer timer;
        int ticks = 0;
        QObject::connect(&timer, &QTimer::timeout, [&] {
            if (!frmPercentSobreReceita || ran)
                return;
            frmPercentSobreReceita->activateWindow();
            if (QApplication::activeWindow() != frmPercentSobreReceita && ++ticks < 200)
                return;
            ran = true;
            form = frmPercentSobreReceita;
            check(*frmPercentSobreReceita);
            atClose = script->progressTexts().size();
            frmPercentSobreReceita->sbtCancel->click();
            if (frmPercentSobreReceita && frmPercentSobreReceita->isVisible()) {
                ADD_FAILURE() << "the form was left with changes not confirmed";
                script->answer(mrYes);
                frmPercentSobreReceita->sbtCancel->click();
            }
        });
        timer.start(10);
        open();
        QApplication::processEvents();
        EXPECT_TRUE(ran) << "the form never opened";
        form = nullptr;
    }

    // The branch of the services, then into the grid, which loads them.
    void services(const QString& branch, const QString& group = {})
    {
        type(form->filtro->filial.codigo, branch);
        if (!group.isNull())
            type(form->filtro->grupo.codigo, group);
        grid().setFocus();
        QApplication::processEvents();
    }
    TDBGrid& grid() const { return *form->grade->dbgServicos; }
    ClientDataSet& rows() const { return *form->grade->cdsServicos; }
    ClientDataSet& recipeRows() const { return *form->receita->cdsReceitas; }
    QModelIndex cellIndex(int row, const char* field) const { return grid().model()->index(row, IndiceCol(grid(), field)); }
    QString cell(int row, const char* field) const { return cellIndex(row, field).data(Qt::DisplayRole).toString(); }
    QString field(const char* name) const { return rows().FieldByName(name)->AsString(); }
    int rowOf(const QString& service) const
    {
        for (int r = 0; r < rows().RecordCount(); ++r)
            if (rows().valueAt(r, rows().FieldByName("CDSERVFILI")).toString() == service)
                return r;
        return -1;
    }
    void clickCell(int row, const char* name)
    {
        grid().scrollTo(cellIndex(row, name));
        QTest::mouseClick(grid().viewport(), Qt::LeftButton, {}, grid().visualRect(cellIndex(row, name)).center());
        QApplication::processEvents();
    }
    void mark(const QString& service) { clickCell(rowOf(service), "IDMARCADO"); }
    void goTo(const QString& service)
    {
        grid().setFocus();
        grid().setCurrentIndex(cellIndex(rowOf(service), "CDSERVFILI"));
        QApplication::processEvents();
    }
    // Types a percentage in the current row's cell and leaves the cell.
    void typePercentage(const QString& text)
    {
        grid().setFocus();
        grid().setCurrentIndex(cellIndex(rows().RecNo() - 1, "PERCENTUAL"));
        QApplication::processEvents();
        QTest::keyClick(&grid(), Qt::Key_F2);
        auto* editor = qobject_cast<QLineEdit*>(grid().InplaceEditor());
        if (!editor)
            return; // not to be typed into
        editor->selectAll();
        QTest::keyClick(editor, Qt::Key_Backspace);
        QTest::keyClicks(editor, text);
        QTest::keyClick(editor, Qt::Key_Return);
        QApplication::processEvents();
    }
    // The recipe beside the grid: "product net requisition" per row.
    QStringList preview() const
    {
        QStringList list;
        for (int r = 0; r < recipeRows().RecordCount(); ++r) {
            QStringList row;
            for (const char* name : {"CDPRODUTO", "QTPROD", "QTBRUTAPRUNR", "QTBRUTA", "QTUNIDDEST", "QTCALCNUTR",
                                     "VRPEFATCOR", "NMPRODUTO"})
                row << recipeRows().valueAt(r, recipeRows().FieldByName(name)).toString();
            list << row.join(u' ');
        }
        return list;
    }
    // A service's recipe of the test dish in the database: "product net" by product.
    QStringList stored(const QString& service, const QString& dish = pratoteste::Prato)
    {
        QSqlQuery query(database->db());
        EXPECT_TRUE(query.exec(QStringLiteral("SELECT CDPRODUTO, QTPRODRECSER FROM RECESERV WHERE CDFILIAL = '0002' AND "
                                              "CDSERVFILI = '%1' AND CDPRATO = '%2' ORDER BY CDPRODUTO")
                                   .arg(service, dish)));
        QStringList list;
        while (query.next())
            list << query.value(0).toString() + u' ' + QString::number(query.value(1).toDouble());
        return list;
    }
    QString lastText() const { return script->lastMessage().text; }

    TfrmReceitaPadrao* receita = nullptr;
    TfrmPercentSobreReceita* form = nullptr;
    qsizetype atClose = 0; // the progress texts shown until the form was closed
};

TEST_F(PercentualFormTest, AServiceTakesHalfTheStandardRecipeAndWhatWasSeenIsWhatIsStored)
{
    QStringList seen;
    const bool reloaded = percentual([&](TfrmPercentSobreReceita& f) {
        EXPECT_EQ(f.windowTitle(), QString::fromUtf8("Percentual de Receitas por Serviço"));
        EXPECT_EQ(f.ChavePrato(), "P_5010010099");
        EXPECT_TRUE(Cli_pla01314::boIdCriado);
        EXPECT_TRUE(f.filtro->filial.codigo->hasFocus());
        EXPECT_FALSE(f.sbtConfirma->isEnabled());
        EXPECT_FALSE(f.origem->rdbPadrao->isEnabled());

        services("2");
        EXPECT_EQ(f.filtro->filial.codigo->Text(), "0002");
        EXPECT_EQ(f.filtro->filial.nome->text(), QString::fromUtf8("Hospital São Lucas"));
        EXPECT_TRUE(script->progressTexts().contains(QString::fromUtf8("Carregando serviços...")));
        ASSERT_EQ(grid().model()->rowCount(), 4);
        EXPECT_EQ(QStringList({cell(2, "CDSERVFILI"), cell(2, "NMSERVICO"), cell(2, "PERCENTUAL")}),
                  (QStringList{"00003", QString::fromUtf8("Dieta hipossódica"), ""}));
        EXPECT_EQ(grid().cellPaint(cellIndex(2, "IDMARCADO"), false).check, TCellPaint::ckUnchecked);
        EXPECT_TRUE(recipeRows().IsEmpty()); // nothing follows a percentage yet

        // Marked: the standard recipe at 100 %, its origin fields on.
        mark("00003");
        EXPECT_EQ(field("IDMARCADO"), "S");
        EXPECT_EQ(field("IDORIGEMRECE"), "P");
        EXPECT_EQ(cell(2, "PERCENTUAL"), "100,00%");
        EXPECT_EQ(grid().cellPaint(cellIndex(2, "IDMARCADO"), false).check, TCellPaint::ckChecked);
        EXPECT_TRUE(f.origem->rdbPadrao->isChecked());
        EXPECT_TRUE(f.origem->rdbServico->isEnabled());
        EXPECT_FALSE(f.origem->filial.codigo->isEnabled());
        EXPECT_EQ(recipeRows().RecordCount(), 3);
        EXPECT_TRUE(f.sbtConfirma->isEnabled());
        EXPECT_FALSE(f.filtro->filial.codigo->isEnabled()); // the filter waits for the changes

        typePercentage("5-0e");
        EXPECT_EQ(cell(2, "PERCENTUAL"), "50,00%"); // sign and exponent are not taken
        QApplication::processEvents();
        EXPECT_DOUBLE_EQ(recipeRows().FieldByName("QTPROD")->AsFloat(), 0.075); // the recipe at once
        goTo("00001"); // posts the row, checked
        EXPECT_TRUE(recipeRows().IsEmpty());
        EXPECT_FALSE(f.origem->rdbPadrao->isEnabled()); // not marked
        goTo("00003");
        seen = preview();
        EXPECT_EQ(seen.first(), "T01 0.075 0.1 0.1  0.075 25 Produto A");
        EXPECT_EQ(recipeRows().FieldByName("QTBRUTA")->DisplayText(), "0,10000  KG");
        EXPECT_EQ(recipeRows().FieldByName("VRPEFATCORAP")->AsFloat(), 75);
        EXPECT_EQ(stored("00003"), QStringList{}); // nothing stored before the confirmation

        click(f.sbtConfirma);
        EXPECT_TRUE(script->failures().isEmpty());
        EXPECT_EQ(stored("00003"), (QStringList{"T01 0.075", "T02 0.04", "T03 0.025"}));
        // Loaded again on the same service: what it has now is what was seen.
        EXPECT_EQ(field("CDSERVFILI"), "00003");
        EXPECT_EQ(field("IDALTERADO"), "N");
        EXPECT_EQ(cell(2, "PERCENTUAL"), "50,00%");
        EXPECT_EQ(preview(), seen);
        EXPECT_FALSE(f.sbtConfirma->isEnabled());
        EXPECT_TRUE(f.filtro->filial.codigo->isEnabled());
    });
    EXPECT_TRUE(reloaded); // something was stored: the service page is read again
    EXPECT_EQ(frmPercentSobreReceita, nullptr);
    EXPECT_FALSE(Cli_pla01314::boIdCriado);
}

TEST_F(PercentualFormTest, ClosingWithoutStoringAnswersCancelAndTheRecipePageStays)
{
    const bool reloaded = percentual([&](TfrmPercentSobreReceita& f) {
        services("2");
        mark("00002");
        // Changes not confirmed are not dropped without a word.
        script->answer(mrNo);
        f.sbtCancel->click();
        EXPECT_EQ(lastText(), QString::fromUtf8("Cancelar operação?"));
        EXPECT_TRUE(f.isVisible());
        script->answer(mrNo);
        click(f.sbtCancelar);
        EXPECT_EQ(field("IDMARCADO"), "S");
        script->answer(mrYes);
        click(f.sbtCancelar); // reloaded as it was
        EXPECT_EQ(field("IDMARCADO"), "N");
        EXPECT_FALSE(f.sbtCancelar->isEnabled());
    });
    EXPECT_FALSE(reloaded);
    EXPECT_EQ(value("SELECT COUNT(*) FROM PERCRECESERV WHERE CDPRATO = '5010010099'").toInt(), 0);

    // What the creation function answers the host: Cancel (2), or OK (1) once something was stored.
    int result = -1;
    whileOpen([](TfrmPercentSobreReceita&) {}, [&] { result = CriaPercentualdeReceita("P", pratoteste::Prato); });
    EXPECT_EQ(result, mrCancel);
    whileOpen(
        [&](TfrmPercentSobreReceita& f) {
            services("2");
            mark("00001");
            click(f.sbtConfirma);
        },
        [&] { result = CriaPercentualdeReceita("P", pratoteste::Prato); });
    EXPECT_EQ(result, mrOk);
}

TEST_F(PercentualFormTest, TheRowCheckRefusesAPercentageOrAnOriginThatWouldNotMakeARecipe)
{
    exec("UPDATE PRODPRAT SET QTPRODPRAT = 0.00004 WHERE CDPRODUTO = 'T03' AND CDPRATO = '5010010099'");
    exec("INSERT INTO PRODFILI (CDFILIAL, CDPRODUTO, IDPRODATIV) VALUES ('0002', 'T01', 'I')");
    percentual([&](TfrmPercentSobreReceita& f) {
        const QString fingerprint = database->fingerprint();
        services("2");
        mark("00003");
        typePercentage("0");
        EXPECT_EQ(cell(2, "PERCENTUAL"), "0");
        goTo("00001");
        EXPECT_EQ(lastText(), "Valor percentual deve ser maior que zero.");
        EXPECT_EQ(field("CDSERVFILI"), "00003"); // the row stays, in edit
        EXPECT_EQ(rows().state(), ClientDataSet::State::Edit);

        typePercentage("10");
        goTo("00001");
        EXPECT_EQ(lastText(), QString::fromUtf8("Operação bloqueada. Percentual informado produzirá valores iguais a zero "
                                                "na receita."));
        EXPECT_EQ(recipeRows().RecNo(), 1);

        // The branch's own recipe has only the product the branch does not use.
        click(f.origem->rdbLocal);
        EXPECT_EQ(f.origem->filial.codigo->Text(), "0002");
        EXPECT_EQ(f.origem->filial.nome->text(), QString::fromUtf8("Hospital São Lucas"));
        typePercentage("50");
        goTo("00001");
        EXPECT_EQ(lastText(), QString::fromUtf8("Produto Produto A da receita de origem informada não está ativo para a "
                                                "filial de destino."));

        // A menu type without a recipe of the dish.
        click(f.origem->rdbTpCard);
        EXPECT_TRUE(f.origem->filial.nome->text().isEmpty()); // only the menu type names the origin now
        EXPECT_EQ(f.origem->central.codigo->Text(), "0001"); // the processing branch's central
        type(f.origem->tipoCard.codigo, "padrao");
        EXPECT_EQ(f.origem->tipoCard.nome->text(), QString::fromUtf8("Cardápio padrão"));
        goTo("00001");
        EXPECT_EQ(lastText(), QString::fromUtf8("Receita de origem informada não existe no prato selecionado."));

        // Another service: one that serves meals, not the row's own.
        click(f.origem->rdbServico);
        EXPECT_TRUE(f.origem->servico.codigo->isEnabled());
        goTo("00001");
        EXPECT_EQ(lastText(), QString::fromUtf8("Serviço deve ser informado."));
        type(f.origem->servico.codigo, "3");
        EXPECT_EQ(lastText(), QString::fromUtf8("Serviço de origem não pode ser igual ao serviço de destino."));
        EXPECT_TRUE(f.origem->servico.codigo->hasFocus());
        type(f.origem->servico.codigo, ""); // the field is not left while it holds a refused service
        type(f.origem->filial.codigo, "3");
        type(f.origem->servico.codigo, "9");
        EXPECT_EQ(lastText(), QString::fromUtf8("Somente serviço do tipo restaurante ou do tipo hospitalar pode ser "
                                                "utilizado."));
        type(f.origem->servico.codigo, "1");
        EXPECT_EQ(f.origem->servico.nome->text(), QString::fromUtf8("Almoço"));
        EXPECT_EQ(database->fingerprint(), fingerprint);
        f.origem->servico.codigo->setFocus();
        QApplication::processEvents();
        script->answer(mrYes);
        click(f.sbtCancelar);
        // Read again as they are; the focus left the origin for the services, not for the filter.
        EXPECT_EQ(rows().RecordCount(), 4);
        EXPECT_EQ(f.grade->Marcados(), 0);
        EXPECT_TRUE(grid().hasFocus());
    });
}

TEST_F(PercentualFormTest, AServiceChangedHereIsNoOriginAndAnOriginIsNotChanged)
{
    percentual([&](TfrmPercentSobreReceita& f) {
        services("2");
        mark("00002");
        goTo("00003");
        mark("00003");
        click(f.origem->rdbServico);
        type(f.origem->servico.codigo, "2");
        EXPECT_EQ(lastText(), QString::fromUtf8("Não é possível utilizar esse serviço como origem pois o mesmo está sendo "
                                                "alterado na operação atual."));
        type(f.origem->servico.codigo, "1");
        EXPECT_EQ(f.origem->servico.nome->text(), "Dieta geral");
        goTo("00004"); // posted

        // The origin of another changed service can be neither marked nor changed here.
        mark("00001");
        EXPECT_EQ(lastText(), QString::fromUtf8("Serviço não pode ser alterado nessa operação pois o mesmo já foi "
                                                "indicado como origem em outros serviços."));
        EXPECT_EQ(field("IDMARCADO"), "N");

        // Unmarked, a service forgets its origin and percentage.
        goTo("00002");
        mark("00002");
        EXPECT_EQ(field("IDMARCADO"), "N");
        EXPECT_TRUE(rows().FieldByName("PERCENTUAL")->IsNull());
        EXPECT_TRUE(field("IDORIGEMRECE").isEmpty());
        EXPECT_FALSE(f.origem->rdbPadrao->isEnabled());

        click(f.sbtConfirma);
        EXPECT_EQ(stored("00003"), QStringList{"T02 0.4"});
        EXPECT_EQ(value("SELECT CDSERVFILIORI FROM PERCRECESERV WHERE CDSERVFILI = '00003' AND CDPRATO = '5010010099'")
                      .toString(),
                  "00001");
        ASSERT_TRUE(rows().Locate("CDSERVFILI", "00003"));
        EXPECT_EQ(f.origem->servico.nome->text(), "Dieta geral"); // as the server names it
        EXPECT_TRUE(f.origem->rdbServico->isChecked());
    });
}

TEST_F(PercentualFormTest, TheDemoDietsShowTheirOriginsAndAServiceLeftOutKeepsItsRecipe)
{
    percentual(
        [&](TfrmPercentSobreReceita& f) {
            // The group's lookup loads the services at once.
            type(f.filtro->filial.codigo, "2");
            script->chooseRowWhere("CDGRUPSERV", "002");
            click(f.filtro->grupo.botao);
            EXPECT_EQ(script->searches().last().title, QString::fromUtf8("Grupo de Serviço"));
            EXPECT_EQ(f.filtro->grupo.nome->text(), "Hospitalar");
            ASSERT_EQ(rows().RecordCount(), 4);
            EXPECT_EQ(cell(1, "PERCENTUAL"), "80,00%");
            goTo("00003");
            EXPECT_TRUE(f.origem->rdbServico->isChecked());
            EXPECT_EQ(f.origem->servico.codigo->Text(), "00002");
            EXPECT_EQ(f.origem->servico.nome->text(), "Dieta pastosa");
            EXPECT_EQ(preview().size(), 4); // the recipe it has

            goTo("00004");
            EXPECT_TRUE(f.origem->rdbLocal->isChecked());
            EXPECT_EQ(f.origem->filial.nome->text(), QString::fromUtf8("Hospital São Lucas"));
            mark("00004");
            const QStringList kept = stored("00004", "2010010001");
            click(f.sbtConfirma);
            EXPECT_EQ(stored("00004", "2010010001"), kept);
            EXPECT_EQ(value("SELECT COUNT(*) FROM PERCRECESERV WHERE CDPRATO = '2010010001'").toInt(), 2);

            // A group that does not exist, and the filter empties the grid when entered again.
            f.filtro->grupo.codigo->setFocus();
            QApplication::processEvents();
            EXPECT_EQ(rows().RecordCount(), 0);
            type(f.filtro->grupo.codigo, "9");
            EXPECT_EQ(lastText(), QString::fromUtf8("Grupo de serviço informado não encontrado."));
            EXPECT_TRUE(f.filtro->grupo.codigo->hasFocus());
        },
        "2010010001");
}

TEST_F(PercentualFormTest, TheKeyboardMarksAndRowsCannotBeAddedOrRemoved)
{
    percentual([&](TfrmPercentSobreReceita& f) {
        services("2");
        grid().setCurrentIndex(cellIndex(0, "IDMARCADO"));
        QTest::keyClick(&grid(), Qt::Key_Space);
        EXPECT_EQ(field("IDMARCADO"), "S");
        EXPECT_FALSE(grid().options() & TDBGrid::dgEditing); // the mark column is clicked, not typed
        grid().setCurrentIndex(cellIndex(0, "PERCENTUAL"));
        QApplication::processEvents();
        EXPECT_TRUE(grid().options() & TDBGrid::dgEditing);
        grid().setCurrentIndex(cellIndex(1, "PERCENTUAL")); // an unmarked row's percentage
        QApplication::processEvents();
        EXPECT_FALSE(grid().options() & TDBGrid::dgEditing);
        QTest::keyClick(&grid(), Qt::Key_Space); // not in the mark column
        EXPECT_EQ(field("IDMARCADO"), "N");
        QTest::keyClick(&grid(), Qt::Key_Delete, Qt::ControlModifier);
        QTest::keyClick(&grid(), Qt::Key_Insert);
        QTest::keyClick(&grid(), Qt::Key_Down);
        QTest::keyClick(&grid(), Qt::Key_Down);
        QTest::keyClick(&grid(), Qt::Key_Down);
        EXPECT_EQ(rows().RecordCount(), 4);
        EXPECT_EQ(f.grade->Marcados(), 1);
        QTest::keyClick(f.receita->dbgReceitas, Qt::Key_Delete, Qt::ControlModifier);
        EXPECT_TRUE(script->failures().isEmpty());
        script->answer(mrYes);
    });
}

TEST_F(PercentualFormTest, ABranchModuleWorksOnItsOwnBranch)
{
    hostContext().ModuFili = true;
    percentual([&](TfrmPercentSobreReceita& f) {
        EXPECT_EQ(f.filtro->filial.codigo->Text(), "0002");
        EXPECT_EQ(f.filtro->filial.nome->text(), QString::fromUtf8("Hospital São Lucas"));
        EXPECT_FALSE(f.filtro->filial.codigo->isEnabled());
        EXPECT_TRUE(f.filtro->grupo.codigo->hasFocus());
        grid().setFocus();
        QApplication::processEvents();
        ASSERT_EQ(rows().RecordCount(), 4);
        mark("00003");
        click(f.origem->rdbLocal);
        EXPECT_EQ(f.origem->filial.codigo->Text(), "0002");
        EXPECT_FALSE(f.origem->filial.codigo->isEnabled());
        EXPECT_FALSE(f.filtro->grupo.codigo->isEnabled());
        script->answer(mrYes);
        click(f.sbtCancelar);
        EXPECT_TRUE(f.filtro->grupo.codigo->isEnabled());
        EXPECT_FALSE(f.filtro->filial.codigo->isEnabled()); // still fixed
    });
}

TEST_F(PercentualFormTest, WithoutCentralsThereAreNoMenuTypes)
{
    hostContext().ModuloAtiv = QStringLiteral("P");
    percentual([&](TfrmPercentSobreReceita& f) {
        EXPECT_FALSE(f.origem->rdbTpCard->isVisibleTo(&f));
        EXPECT_FALSE(f.origem->panTpCard->isVisibleTo(&f));
    });
}

// The form on PostgreSQL: a service takes another's recipe at a percentage.
class PercentualFormPostgresTest : public PercentualFormTest {
protected:
    void SetUp() override
    {
        backend = testdb::Backend::Postgres;
        PercentualFormTest::SetUp();
    }
};

TEST_F(PercentualFormPostgresTest, AServiceTakesAnotherServicesRecipeAndWhatWasSeenIsStored)
{
    QStringList seen;
    const bool reloaded = percentual([&](TfrmPercentSobreReceita& f) {
        services("2");
        mark("00004");
        click(f.origem->rdbServico);
        type(f.origem->servico.codigo, "1");
        typePercentage("150");
        goTo("00001");
        goTo("00004");
        seen = preview();
        EXPECT_EQ(seen, QStringList{"T02 0.6  0.75  0.6  Produto B"});
        click(f.sbtConfirma);
        EXPECT_EQ(stored("00004"), QStringList{"T02 0.6"});
        EXPECT_EQ(preview(), seen);
    });
    EXPECT_TRUE(reloaded);
}

} // namespace
