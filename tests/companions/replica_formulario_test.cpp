// The replication form (PLA01313) as a planner uses it: opened from the recipe form's replication
// launcher, the origin and range chosen, dishes and services marked with the mouse and the
// keyboard, percentages typed, and the replication read back from the database.
#include "planejador.h"
#include "pratoteste.h"
#include "recipeformtest.h"

#include "companions/Cli_pla01313/cli_pla01313.h"
#include "companions/Cli_pla01313/frmreplicaporservico.h"
#include "companions/common/faixapratos.h"
#include "companions/common/filtroservicos.h"
#include "companions/common/gradepratos.h"
#include "companions/common/gradeservicos.h"
#include "companions/common/painelnivel.h"
#include "framework/data/clientdataset.h"
#include "framework/forms/dbgrid.h"
#include "framework/forms/dbtree.h"
#include "framework/ui/maskedit.h"

#include <QAction>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <functional>

using namespace framework;
using Cli_pla01313::frmReplicaPorServico;

namespace {

using planejador::click;
using planejador::type;

constexpr const char* Segundo = "5010010098"; // T01 only, beside pratoteste's dish

class ReplicaFormTest : public RecipeFormTest {
protected:
    void SetUp() override
    {
        RecipeFormTest::SetUp();
        if (IsSkipped())
            return;
        pratoteste::cria(database->db());
        exec("INSERT INTO PRATO (CDFILAUXPRAT, CDPRATO, NMPRATO, CDNVPRATO, SGUNIDADE) VALUES "
             "('P', '5010010098', 'Prato dois', '4', 'KG')");
        exec("INSERT INTO PRODPRAT (CDFILAUXPRAT, CDPRATO, CDPRODUTO, QTPRODPRAT, SGUNIDADE, QTBRUTAPRUNR, QTBRUTAPR, "
             "QTCALCNUTRPR) VALUES ('P', '5010010098', 'T01', 0.3, 'KG', 0.4, 0.4, 0.3)");
        // The supervisor's group may change the revised recipes of branch 0002.
        hostContext().Operador = QStringLiteral("SUPERV");
    }

    // Opens the recipe form on its service page and the replication from its menu; check drives
    // the form while it is open. Gives the creation function's answer as the launcher read it.
    void replica(const std::function<void(TfrmReplicaPorServico&)>& check)
    {
        if (!receita) {
            receita = open();
            ASSERT_NE(receita, nullptr);
            receita->dbaPadrao->setFocus();
            QApplication::processEvents();
        }
        ASSERT_TRUE(receita->dbaPadrao->setSelectedCode(pratoteste::Prato));
        receita->pgcPadrao->setCurrentWidget(receita->tshReceServ);
        QApplication::processEvents();
        whileOpen(check, [this] { receita->findChild<QAction*>("pmnReplicarPorServico")->trigger(); });
    }

    void whileOpen(const std::function<void(TfrmReplicaPorServico&)>& check, const std::function<void()>& open)
    {
        bool ran = false;
        QTimer timer;
        int ticks = 0;
        QObject::connect(&timer, &QTimer::timeout, [&] {
            if (!frmReplicaPorServico || ran)
                return;
            frmReplicaPorServico->activateWindow();
            if (QApplication::activeWindow() != frmReplicaPorServico && ++ticks < 200)
                return;
            ran = true;
            form = frmReplicaPorServico;
            check(*frmReplicaPorServico);
            if (frmReplicaPorServico && frmReplicaPorServico->isVisible())
                frmReplicaPorServico->sbtCancel->click();
        });
        timer.start(10);
        open();
        QApplication::processEvents();
        EXPECT_TRUE(ran) << "the form never opened";
        form = nullptr;
    }

    static void enter(QWidget* grid)
    {
        grid->setFocus();
        QApplication::processEvents();
    }
    // The range typed and the dish grid entered, which loads it.
    void dishes(const QString& from, const QString& to)
    {
        type(form->pratos->inicial.codigo, from);
        type(form->pratos->final.codigo, to);
        enter(form->gradePratos->dbgPadrao);
    }
    // The branch typed and the services grid entered, which loads them.
    void services(const QString& branch)
    {
        type(form->filtro->filial.codigo, branch);
        enter(form->gradeServicos->dbgServicos);
    }
    static QModelIndex cellIndex(TDBGrid& grid, int row, const char* field)
    {
        return grid.model()->index(row, IndiceCol(grid, field));
    }
    static int rowOf(const ClientDataSet& rows, const char* field, const QString& value)
    {
        for (int r = 0; r < rows.RecordCount(); ++r)
            if (rows.valueAt(r, rows.FieldByName(field)).toString() == value)
                return r;
        return -1;
    }
    static void clickCell(TDBGrid& grid, int row, const char* field)
    {
        grid.scrollTo(cellIndex(grid, row, field));
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, grid.visualRect(cellIndex(grid, row, field)).center());
        QApplication::processEvents();
    }
    static void clickMarkTitle(TDBGrid& grid)
    {
        QHeaderView* header = grid.horizontalHeader();
        const int column = IndiceCol(grid, "IDMARCADO");
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                                 header->height() / 2));
        QApplication::processEvents();
    }
    TDBGrid& dishGrid() const { return *form->gradePratos->dbgPadrao; }
    TDBGrid& serviceGrid() const { return *form->gradeServicos->dbgServicos; }
    ClientDataSet& serviceRows() const { return *form->gradeServicos->cdsServicos; }
    void markDish(const QString& dish)
    {
        clickCell(dishGrid(), rowOf(*form->gradePratos->cdsGridPratos, "CDPRATO", dish), "IDMARCADO");
    }
    void markService(const QString& service)
    {
        clickCell(serviceGrid(), rowOf(serviceRows(), "CDSERVFILI", service), "IDMARCADO");
    }
    // Types a service's percentage in its cell and leaves the cell.
    void typePercentage(const QString& service, const QString& text)
    {
        serviceGrid().setFocus();
        serviceGrid().setCurrentIndex(cellIndex(serviceGrid(), rowOf(serviceRows(), "CDSERVFILI", service), "PERCENTUAL"));
        QApplication::processEvents();
        QTest::keyClick(&serviceGrid(), Qt::Key_F2);
        auto* editor = qobject_cast<QLineEdit*>(serviceGrid().InplaceEditor());
        ASSERT_NE(editor, nullptr);
        editor->selectAll();
        QTest::keyClick(editor, Qt::Key_Backspace);
        QTest::keyClicks(editor, text);
        QTest::keyClick(editor, Qt::Key_Return);
        QApplication::processEvents();
    }
    // A service's recipe of a dish in the database: "product net" by product.
    QStringList stored(const QString& service, const QString& dish)
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
    TfrmReplicaPorServico* form = nullptr;
};

TEST_F(ReplicaFormTest, MarkedDishesGoToMarkedServicesAtTheirPercentagesAndTheRecipeFormSaysSo)
{
    replica([&](TfrmReplicaPorServico& f) {
        EXPECT_EQ(f.windowTitle(), QString::fromUtf8("Replicação de Receitas por Serviço"));
        EXPECT_TRUE(Cli_pla01313::boIdCriado);
        EXPECT_TRUE(f.pratos->inicial.codigo->hasFocus());
        EXPECT_TRUE(f.origem->rdbPadrao->isChecked());
        EXPECT_EQ(f.PratosMarcados(), 0);

        dishes("5010010098", "5010010099");
        EXPECT_TRUE(script->progressTexts().contains("Carregando pratos..."));
        ASSERT_EQ(f.gradePratos->cdsGridPratos->RecordCount(), 2);
        EXPECT_EQ(f.PratosMarcados(), 2); // loaded marked
        clickMarkTitle(dishGrid());
        EXPECT_EQ(f.PratosMarcados(), 0);
        clickMarkTitle(dishGrid());
        EXPECT_EQ(f.PratosMarcados(), 2);
        markDish(Segundo);
        EXPECT_EQ(f.PratosMarcados(), 1);

        services("2");
        EXPECT_EQ(f.filtro->filial.nome->text(), QString::fromUtf8("Hospital São Lucas"));
        ASSERT_EQ(serviceRows().RecordCount(), 4);
        EXPECT_EQ(f.ServicosMarcados(), 4);
        clickMarkTitle(serviceGrid());
        EXPECT_EQ(f.ServicosMarcados(), 0);
        markService("00002");
        markService("00003");
        typePercentage("00002", "5-0e");
        EXPECT_EQ(serviceRows().FieldByName("PERCENTUAL")->AsFloat(), 50); // no sign nor exponent
        // Back to the dishes and again to the services: nothing the user set is lost.
        enter(&dishGrid());
        enter(&serviceGrid());
        EXPECT_EQ(f.PratosMarcados(), 1);
        EXPECT_EQ(f.ServicosMarcados(), 2);
        EXPECT_EQ(f.ListaPratos(), "'P_5010010099'");

        click(f.sbtConfirma);
        EXPECT_FALSE(f.isVisible());
    });
    EXPECT_EQ(lastText(), QString::fromUtf8("Rotina concluída com sucesso."));
    EXPECT_EQ(stored("00002", pratoteste::Prato), (QStringList{"T01 0.075", "T02 0.04", "T03 0.025"}));
    EXPECT_EQ(stored("00003", pratoteste::Prato), (QStringList{"T01 0.15", "T02 0.08", "T03 0.05"}));
    EXPECT_EQ(stored("00002", Segundo), QStringList{});
    EXPECT_EQ(stored("00004", pratoteste::Prato), QStringList{});
    EXPECT_FALSE(Cli_pla01313::boIdCriado);
    EXPECT_EQ(frmReplicaPorServico, nullptr);
}

TEST_F(ReplicaFormTest, NothingIsSentWithoutMarksOrWithAPercentageNotAboveZero)
{
    const QString fingerprint = database->fingerprint();
    replica([&](TfrmReplicaPorServico& f) {
        click(f.sbtConfirma);
        EXPECT_EQ(lastText(), "Selecione os pratos para replicação de receitas.");
        dishes("5010010099", "5010010099");
        click(f.sbtConfirma);
        EXPECT_EQ(lastText(), "Selecione os serviços para replicação de receitas.");
        services("2");
        clickMarkTitle(serviceGrid());
        click(f.sbtConfirma);
        EXPECT_EQ(lastText(), "Selecione os serviços para replicação de receitas.");
        // Refused as the row is posted, whether or not the service is marked.
        typePercentage("00001", "0");
        click(f.sbtConfirma);
        EXPECT_EQ(lastText(), "Valor percentual deve ser maior que zero.");
        EXPECT_TRUE(f.isVisible());
    });
    EXPECT_EQ(database->fingerprint(), fingerprint);

    // The supervisor's group may change branch 0002's revised recipes; the nutritionist's may not:
    // the server refuses, the form stays open and nothing is stored.
    hostContext().Operador = QStringLiteral("NUTRI");
    int result = -1;
    whileOpen(
        [&](TfrmReplicaPorServico& f) {
            dishes("5010010099", "5010010099");
            services("2");
            click(f.sbtConfirma);
            EXPECT_EQ(lastText(), QString::fromUtf8("Operador não autorizado a incluir / excluir produto em receita revisada."));
            EXPECT_TRUE(f.isVisible());
        },
        [&] { result = CriaReplicaPorServico(); });
    EXPECT_EQ(result, mrCancel);
    EXPECT_EQ(database->fingerprint(), fingerprint);
}

TEST_F(ReplicaFormTest, ABranchModuleReplicatesFromAndToItsOwnBranch)
{
    hostContext().ModuFili = true;
    replica([&](TfrmReplicaPorServico& f) {
        EXPECT_EQ(f.filtro->filial.codigo->Text(), "0002");
        EXPECT_FALSE(f.filtro->filial.codigo->isEnabled());
        click(f.origem->rdbLocal);
        EXPECT_EQ(f.origem->filial.codigo->Text(), "0002");
        EXPECT_EQ(f.origem->filial.nome->text(), QString::fromUtf8("Hospital São Lucas"));
        EXPECT_FALSE(f.origem->filial.codigo->isEnabled());
        dishes("5010010099", "5010010099");
        enter(&serviceGrid());
        ASSERT_EQ(serviceRows().RecordCount(), 4);
        clickMarkTitle(serviceGrid());
        markService("00004");
        click(f.sbtConfirma);
    });
    EXPECT_EQ(stored("00004", pratoteste::Prato), QStringList{"T01 0.2"}); // the branch's own recipe
}

// On PostgreSQL: a dish whose product the branch does not use is left out and named, and the
// recipe form does not call that a success.
class ReplicaFormPostgresTest : public ReplicaFormTest {
protected:
    void SetUp() override
    {
        backend = testdb::Backend::Postgres;
        ReplicaFormTest::SetUp();
    }
};

TEST_F(ReplicaFormPostgresTest, ADishWithAProductOutOfTheBranchLineIsNamedAndTheOthersStored)
{
    exec("INSERT INTO PRODFILI (CDFILIAL, CDPRODUTO, IDPRODATIV) VALUES ('0002', 'T02', 'I')");
    replica([&](TfrmReplicaPorServico& f) {
        dishes("5010010098", "5010010099");
        services("2");
        clickMarkTitle(serviceGrid());
        markService("00001");
        click(f.sbtConfirma);
        EXPECT_EQ(lastText(), QString::fromUtf8("Alguns pratos não foram processados devido a produtos inativos na "
                                                "filial do serviço : \n\nPrato de teste"));
    });
    EXPECT_EQ(lastText(), QString::fromUtf8("Alguns pratos não foram processados devido a produtos inativos na filial "
                                            "do serviço : \n\nPrato de teste"));
    EXPECT_EQ(stored("00001", Segundo), QStringList{"T01 0.3"});
    EXPECT_EQ(stored("00001", pratoteste::Prato), QStringList{"T02 0.4"}); // as it was
}

} // namespace
