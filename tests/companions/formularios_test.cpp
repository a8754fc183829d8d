// The dish cost and nutrition queries, opened through the package's creation functions with the
// arguments the recipe form passes, on the dish worked out by hand in pratoteste.h.
#include "pratoteste.h"
#include "recipeformtest.h"

#include "companions/Cli_pla01304/cli_pla01304.h"
#include "companions/Cli_pla01304/frmconsnutrprat.h"
#include "companions/Cli_pla01305/cli_pla01305.h"
#include "companions/Cli_pla01305/frmcustoprato.h"
#include "framework/forms/dbgrid.h"
#include "framework/ui/dateedit.h"
#include "framework/ui/maskedit.h"
#include "framework/ui/shape.h"

#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTimer>
#include <functional>

using namespace framework;

namespace {

const QColor Vermelho(0xC62828), Amarelo(0xF9A825), Verde(0x2E7D32);

class CompanionFormTest : public RecipeFormTest {
protected:
    void SetUp() override
    {
        RecipeFormTest::SetUp();
        if (IsSkipped())
            return;
        hostContext().DataProc = QDate(2026, 7, 15);
        pratoteste::cria(database->db());
    }

    // Runs check on the modal form once its window is active, then closes it as the user would;
    // open is the creation function's call, which returns when the form closes.
    template <class Form>
    void whileOpen(Form* const& form, const std::function<void(Form&)>& check, const std::function<void()>& open)
    {
        bool ran = false;
        QTimer timer;
        timer.setInterval(10);
        int ticks = 0;
        QObject::connect(&timer, &QTimer::timeout, [&] {
            if (!form || ran)
                return;
            form->activateWindow();
            if (QApplication::activeWindow() != form && ++ticks < 200)
                return;
            ran = true;
            check(*form);
            form->close();
        });
        timer.start();
        open();
        EXPECT_TRUE(ran) << "the form never opened";
    }

    void custo(const std::function<void(TfrmCustoPrato&)>& check, const char* filial = "", const char* servico = "",
               const char* central = "", const char* tpCard = "")
    {
        whileOpen<TfrmCustoPrato>(Cli_pla01305::frmCustoPrato, check, [&] {
            CriaCustoPrato(central, *central ? "Central Sul" : "", tpCard, *tpCard ? "Cardápio hospitalar" : "",
                           filial, *filial ? "Hospital São Lucas" : "", "0002", servico, *servico ? "Dieta geral" : "",
                           pratoteste::Prato, "Prato de teste", "P");
        });
    }

    void nutricao(const std::function<void(TfrmConsNutrPrat&)>& check, const char* filial = "X",
                  const char* servico = "X", const char* central = "X", const char* tpCard = "X")
    {
        whileOpen<TfrmConsNutrPrat>(Cli_pla01304::frmConsNutrPrat, check, [&] { abreNutricao(filial, servico, central, tpCard); });
    }

    static void abreNutricao(const char* filial, const char* servico, const char* central, const char* tpCard)
    {
        CriaNutrPrat(central, "Central Sul", tpCard, "Cardápio hospitalar", filial, "Hospital São Lucas", servico,
                     "Dieta geral", pratoteste::Prato, "Prato de teste", "P");
    }

    // What a grid shows in a row for a field.
    static QString cell(TDBGrid& grid, int row, const char* field)
    {
        return grid.model()->index(row, IndiceCol(grid, field)).data(Qt::DisplayRole).toString();
    }
    static QColor background(TDBGrid& grid, int row, const char* field)
    {
        return grid.cellPaint(grid.model()->index(row, IndiceCol(grid, field)), false).background;
    }
    static QStringList visiblePanels(QWidget& form, const QStringList& names)
    {
        QStringList shown;
        for (const QString& name : names)
            if (QWidget* panel = form.findChild<QWidget*>(name); panel && panel->isVisibleTo(&form))
                shown << name;
        return shown;
    }
};

// --- Cost ---------------------------------------------------------------------------------------

TEST_F(CompanionFormTest, CostOfAKnownDishPerPersonAndItsSeasonShare)
{
    custo([&](TfrmCustoPrato& form) {
        EXPECT_EQ(form.windowTitle(), "Consulta de Custo");
        EXPECT_EQ(form.cboTipoCusto->currentText(), "Custo de Cotação (Lista de Preços)");
        EXPECT_EQ(form.depDtReferencia->Text(), "15/07/2026");
        EXPECT_EQ(form.nedCustoPerc->text(), "3,30000");
        EXPECT_EQ(form.nedPeSafra->text(), "50,00");
        EXPECT_EQ(form.shpSafraCard->BrushColor(), Amarelo);

        TDBGrid& grid = *form.dbgProduto;
        ASSERT_EQ(grid.model()->rowCount(), 3);
        EXPECT_EQ(cell(grid, 0, "NMPRODUTO"), "Produto A");
        EXPECT_EQ(cell(grid, 0, "CUSTO"), "12,50000");
        EXPECT_EQ(cell(grid, 0, "QTBRUTA"), "0,20000");
        EXPECT_EQ(cell(grid, 0, "CustoPrato"), "2,50000");
        EXPECT_EQ(cell(grid, 0, "SAFRA"), "2");
        EXPECT_EQ(background(grid, 0, "SAFRA"), Amarelo);
        EXPECT_FALSE(background(grid, 0, "CustoPrato").isValid());
        EXPECT_EQ(cell(grid, 1, "SAFRA"), "3");
        EXPECT_EQ(background(grid, 1, "SAFRA"), Verde);
        // Price and quantity are each rounded to 5 decimals before they are multiplied.
        EXPECT_EQ(cell(grid, 2, "CustoPrato"), "0,40000");
        // A pattern shorter than the month gives no class: the product counts as off season.
        EXPECT_EQ(cell(grid, 2, "SAFRA"), "");
        EXPECT_FALSE(background(grid, 2, "SAFRA").isValid());

        // A standard recipe shows only the dish in its header.
        EXPECT_EQ(form.edtNmPrato->text(), "Prato de teste");
        EXPECT_FALSE(form.pgcCabecalho->isVisibleTo(&form));
    });
    EXPECT_EQ(script->progressTexts().count("Carregando produtos..."), 2);
}

TEST_F(CompanionFormTest, CostRecalculatesForTheUsersChoicesAndKeepsThemWhenTheWindowComesBack)
{
    custo([&](TfrmCustoPrato& form) {
        form.cboTipoCusto->setCurrentIndex(form.cboTipoCusto->findText("Custo médio"));
        QTest::mouseClick(form.sbtConfirma, Qt::LeftButton);
        EXPECT_EQ(form.nedCustoPerc->text(), "19,80000"); // only Produto A has that cost type
        EXPECT_EQ(form.nedPeSafra->text(), "50,00");

        form.cboTipoCusto->setCurrentIndex(form.cboTipoCusto->findText("Custo de Cotação (Lista de Preços)"));
        form.depDtReferencia->setFocus();
        form.depDtReferencia->selectAll();
        QTest::keyClicks(form.depDtReferencia, "30062026");
        QTest::mouseClick(form.sbtConfirma, Qt::LeftButton);
        EXPECT_EQ(form.nedCustoPerc->text(), "2,80000"); // Produto A at its January price
        EXPECT_EQ(cell(*form.dbgProduto, 0, "CUSTO"), "10,00000");

        reactivate(&form);
        EXPECT_EQ(form.depDtReferencia->Text(), "30/06/2026");
        EXPECT_EQ(form.nedCustoPerc->text(), "2,80000");
    });
    EXPECT_TRUE(script->messages().isEmpty()) << script->messageTexts().join(" | ").toStdString();
}

TEST_F(CompanionFormTest, AllZeroCostsGiveZeroAndStillAskTheSeasonSignal)
{
    exec("UPDATE PRECOPROD SET VRPRECO = 0 WHERE CDPRODUTO IN ('T01', 'T02', 'T03')");
    custo([&](TfrmCustoPrato& form) {
        EXPECT_EQ(form.nedCustoPerc->text(), "0,00000");
        EXPECT_EQ(form.nedPeSafra->text(), "0,00");
        EXPECT_EQ(form.shpSafraCard->BrushColor(), Vermelho); // the signal of 0 %
    });
    EXPECT_EQ(script->progressTexts().count("Carregando produtos..."), 2);
}

TEST_F(CompanionFormTest, DefaultCostTypeIsTheQuotationListAmongTheFirstFive)
{
    EXPECT_EQ(TfrmCustoPrato::tipoCustoPadrao({"a", "b", "c", "d", "Custo de Cotação (Lista de Preços)"}), 4);
    EXPECT_EQ(TfrmCustoPrato::tipoCustoPadrao({"a", "b", "c", "d", "e", "Custo de Cotação (Lista de Preços)"}), 0);
    EXPECT_EQ(TfrmCustoPrato::tipoCustoPadrao({}), -1);

    exec("UPDATE TIPOCUSTO SET NMTIPOCUSTO = 'Custo de reposição' WHERE NRTIPOCUSTO = 3");
    custo([&](TfrmCustoPrato& form) {
        EXPECT_EQ(form.cboTipoCusto->currentIndex(), 0);
        EXPECT_EQ(form.cboTipoCusto->currentText(), "Custo médio");
        EXPECT_EQ(form.nedCustoPerc->text(), "19,80000");
    });
}

TEST_F(CompanionFormTest, SeasonClassIsTheDigitOfTheMonth)
{
    EXPECT_EQ(TfrmCustoPrato::classeSafra("333333222111", 7), QVariant(2));
    EXPECT_EQ(TfrmCustoPrato::classeSafra("333333222111", 12), QVariant(1));
    EXPECT_TRUE(TfrmCustoPrato::classeSafra("33", 7).isNull());
    EXPECT_TRUE(TfrmCustoPrato::classeSafra("333333 22111", 7).isNull());
    EXPECT_TRUE(TfrmCustoPrato::classeSafra("", 1).isNull());
    EXPECT_DOUBLE_EQ(TfrmCustoPrato::percentualSafra(0, 0, 0), 0);
    EXPECT_DOUBLE_EQ(TfrmCustoPrato::percentualSafra(3, 1, 1), 50);
}

TEST_F(CompanionFormTest, CostHeaderFollowsTheLevel)
{
    const QStringList panels{"tshFilialServico", "panFilial", "panServico", "tshCentralTpCard", "panPrato"};
    custo([&](TfrmCustoPrato& form) {
        EXPECT_EQ(visiblePanels(form, panels), (QStringList{"tshFilialServico", "panFilial", "panPrato"}));
        EXPECT_EQ(form.edtNmFilial->text(), "Hospital São Lucas");
        EXPECT_EQ(form.nedCustoPerc->text(), "3,75000"); // the branch's own recipe
    }, "0002");
    custo([&](TfrmCustoPrato& form) {
        EXPECT_EQ(visiblePanels(form, panels),
                  (QStringList{"tshFilialServico", "panFilial", "panServico", "panPrato"}));
        EXPECT_EQ(form.nedCustoPerc->text(), "2,00000");
        EXPECT_EQ(form.nedPeSafra->text(), "100,00");
        EXPECT_EQ(form.shpSafraCard->BrushColor(), Verde);
    }, "0002", "00001");
    custo([&](TfrmCustoPrato& form) {
        EXPECT_EQ(visiblePanels(form, panels), (QStringList{"tshCentralTpCard", "panPrato"}));
        EXPECT_EQ(form.edtNmTpCard->text(), "Cardápio hospitalar");
        EXPECT_EQ(form.nedCustoPerc->text(), "8,00000");
        EXPECT_EQ(form.nedPeSafra->text(), "0,00");
    }, "", "", "0001", "HOSPITALAR");
}

TEST_F(CompanionFormTest, ReferenceDateIsRequiredAndMustBeADate)
{
    custo([&](TfrmCustoPrato& form) {
        form.depDtReferencia->setFocus();
        form.depDtReferencia->Clear();
        QTest::mouseClick(form.sbtConfirma, Qt::LeftButton);
        EXPECT_EQ(script->lastMessage().text, "Data de referência deve ser informada.");
        EXPECT_TRUE(form.depDtReferencia->hasFocus());
        EXPECT_EQ(form.nedCustoPerc->text(), "3,30000"); // the figures stay

        form.depDtReferencia->selectAll();
        QTest::keyClicks(form.depDtReferencia, "31022026");
        form.cboTipoCusto->setFocus();
        EXPECT_EQ(script->lastMessage().text, "\"31/02/2026\" não é uma data válida.");
        EXPECT_TRUE(QTest::qWaitFor([&] { return form.depDtReferencia->hasFocus(); }, 1000));
    });
}

// The cost grid without the focus: its current cell, the first product's name, drawn readable.
TEST_F(CompanionFormTest, TheCurrentProductStaysReadableWhenTheGridHasNoFocus)
{
    custo([&](TfrmCustoPrato& form) {
        TDBGrid& grid = *form.dbgProduto;
        form.cboTipoCusto->setFocus();
        QApplication::processEvents();
        ASSERT_FALSE(grid.hasFocus());
        const QModelIndex first = grid.model()->index(0, IndiceCol(grid, "NMPRODUTO"));
        ASSERT_EQ(grid.currentIndex(), first);
        ASSERT_TRUE(grid.selectionModel()->isSelected(first));
        const QImage image =
            grid.viewport()->grab(grid.visualRect(first).adjusted(1, 1, -2, -2)).toImage().convertToFormat(QImage::Format_RGB32);
        // The text stands out from the cell's background (its top left corner).
        const int background = qGray(image.pixel(0, 0));
        int contrast = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                contrast = std::max(contrast, std::abs(qGray(image.pixel(x, y)) - background));
        EXPECT_GT(contrast, 120);
    });
}

// Escape closes the queries as it closes a dialog, from the grid as from the other controls.
TEST_F(CompanionFormTest, EscapeClosesTheQueries)
{
    bool costClosed = false, nutritionClosed = false;
    custo([&](TfrmCustoPrato& form) {
        form.dbgProduto->setFocus();
        QTest::keyClick(form.dbgProduto, Qt::Key_Escape);
        QApplication::processEvents();
        costClosed = !form.isVisible();
    });
    EXPECT_TRUE(costClosed);
    custo([&](TfrmCustoPrato& form) {
        form.cboTipoCusto->setFocus();
        QTest::keyClick(form.cboTipoCusto, Qt::Key_Escape);
        QApplication::processEvents();
        costClosed = !form.isVisible();
    });
    EXPECT_TRUE(costClosed);
    nutricao([&](TfrmConsNutrPrat& form) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QApplication::processEvents();
        nutritionClosed = !form.isVisible();
    });
    EXPECT_TRUE(nutritionClosed);
}

// --- Nutrition ----------------------------------------------------------------------------------

TEST_F(CompanionFormTest, NutrientsAndNDPCalOfAKnownDish)
{
    nutricao([&](TfrmConsNutrPrat& form) {
        EXPECT_EQ(form.windowTitle(), "Consulta de Nutrientes");
        TDBGrid& grid = *form.dbgNutriente;
        ASSERT_EQ(grid.model()->rowCount(), 2);
        EXPECT_EQ(QStringList({cell(grid, 0, "CDNUTRIENTE"), cell(grid, 0, "NMNUTRIENTE"), cell(grid, 0, "QTNUTRIENTE"),
                               cell(grid, 0, "SGUNIDADE")}),
                  (QStringList{"001", "Calorias", "310,00000", "kcal"}));
        EXPECT_EQ(cell(grid, 1, "QTNUTRIENTE"), "7,50000");
        EXPECT_EQ(form.nedNDPCPrat->text(), "5,81");
        EXPECT_TRUE(grid.hasFocus());
        EXPECT_EQ(visiblePanels(form, {"panCentral", "panTpCard", "panFilial", "panServico", "panPrato"}),
                  QStringList{"panPrato"});
    });
    EXPECT_TRUE(script->progressTexts().contains("Carregando NDPCAL do prato..."));
}

TEST_F(CompanionFormTest, ADishWithoutNutrientsClosesTheFormWithoutAskingNDPCal)
{
    // The window is brought to the front as the user sees it; should the form stay open, it is
    // closed after a while so that the test ends.
    QTimer front;
    int ticks = 0;
    bool stayedOpen = false;
    QObject::connect(&front, &QTimer::timeout, [&] {
        if (TfrmConsNutrPrat* form = Cli_pla01304::frmConsNutrPrat) {
            form->activateWindow();
            if (++ticks == 150) {
                stayedOpen = true;
                form->close();
            }
        }
    });
    front.start(20);
    abreNutricao("X", "X", "0001", "HOSPITALAR");
    EXPECT_FALSE(stayedOpen);
    EXPECT_EQ(script->messageTexts(), QStringList{"Não existem nutrientes cadastrados."});
    EXPECT_FALSE(script->progressTexts().contains("Carregando NDPCAL do prato..."));
    EXPECT_EQ(Cli_pla01304::frmConsNutrPrat, nullptr);
}

TEST_F(CompanionFormTest, NutritionHeaderAndBranchFollowTheLevel)
{
    const QStringList panels{"panCentral", "panTpCard", "panFilial", "panServico", "panPrato"};
    nutricao([&](TfrmConsNutrPrat& form) {
        EXPECT_EQ(visiblePanels(form, panels), (QStringList{"panFilial", "panPrato"}));
        EXPECT_EQ(form.nedNDPCPrat->text(), "12,00");
        EXPECT_EQ(TfrmConsNutrPrat::filialEfetiva(), "0002");
    }, "0002");
    nutricao([&](TfrmConsNutrPrat& form) {
        EXPECT_EQ(visiblePanels(form, panels), (QStringList{"panFilial", "panServico", "panPrato"}));
        EXPECT_EQ(form.nedNDPCPrat->text(), "0,00");
    }, "0002", "00001");

    // Without a branch of its own the query is made for the branch of the recipe form's header.
    TfrmReceitaPadrao* receita = open();
    ASSERT_NE(receita, nullptr);
    receita->medCdFilial_pan->setText("0004");
    nutricao([&](TfrmConsNutrPrat& form) {
        EXPECT_EQ(TfrmConsNutrPrat::filialEfetiva(), "0004");
        EXPECT_EQ(form.nedNDPCPrat->text(), "5,81");
    });
}

} // namespace
