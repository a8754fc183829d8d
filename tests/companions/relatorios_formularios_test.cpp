// The report forms as the user drives them: dish nutrients (CriaNutriPrat) and recipes by product
// (opened as the recipe form opens it), on the shipped report definitions. Previews are recorded,
// or written as PDF and read back.
#include "pratoteste.h"
#include "recipeformtest.h"

#include "companions/Cli_pla05000/cli_pla05000.h"
#include "companions/Cli_pla05000/frmnutriprat.h"
#include "companions/Cli_pla05500/cli_pla05500.h"
#include "companions/Cli_pla05500/frmreceprod.h"
#include "framework/forms/filereportengine.h"
#include "framework/ui/btnpesquisa.h"
#include "framework/ui/maskedit.h"

#include <QDir>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>

using namespace framework;

namespace {

// The host's engine, remembering what each preview was asked with; with a PDF file set it also
// writes the preview there.
class RecordingEngine : public FileReportEngine {
public:
    using FileReportEngine::FileReportEngine;
    void preview(const ReportLayout& layout, const QVariantMap& params) override
    {
        ++previews;
        lastLayout = layout;
        last = params;
        if (!pdf.isEmpty()) {
            setPreviewFile(pdf);
            FileReportEngine::preview(layout, params);
        }
    }
    int previews = 0;
    ReportLayout lastLayout;
    QVariantMap last;
    QString pdf;
};

class ReportFormTest : public RecipeFormTest {
protected:
    void SetUp() override
    {
        RecipeFormTest::SetUp();
        if (IsSkipped())
            return;
        pratoteste::cria(database->db());
        useEngine(QStringLiteral(REPORTS_DIR));
    }

    void TearDown() override
    {
        setReportEngine(nullptr);
        RecipeFormTest::TearDown();
    }

    void useEngine(const QString& directory)
    {
        auto recording = std::make_unique<RecordingEngine>(directory);
        engine = recording.get();
        setReportEngine(std::move(recording));
    }

    // Runs check once the modal form's window is active, then closes it as the user would.
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

    void nutrientes(const std::function<void(TfrmNutriPrat&)>& check)
    {
        whileOpen<TfrmNutriPrat>(Cli_pla05000::frmNutriPrat, check, [] { EXPECT_EQ(CriaNutriPrat(), mrCancel); });
    }
    void receitas(const std::function<void(TfrmReceProd&)>& check)
    {
        whileOpen<TfrmReceProd>(Cli_pla05500::frmReceProd, check, [] { Cli_pla05500::MostraReceProd(); });
    }

    static void type(TMaskEdit* edit, const QString& text)
    {
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }
    static void click(QAbstractButton* button) { QTest::mouseClick(button, Qt::LeftButton); }
    QString param(const char* name) const { return engine->last.value(QString::fromLatin1(name)).toString(); }

    static QString pdfText(const QString& file)
    {
        QProcess p;
        p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), file, QStringLiteral("-")});
        p.waitForFinished(10000);
        return QString::fromUtf8(p.readAllStandardOutput());
    }

    RecordingEngine* engine = nullptr;
};

// --- Dish nutrients ----------------------------------------------------------------------------

TEST_F(ReportFormTest, NutrientsOfOneDishWithTheStandardLevelsParameters)
{
    QTemporaryDir dir;
    engine->pdf = dir.filePath(QStringLiteral("previa.pdf"));
    nutrientes([&](TfrmNutriPrat& form) {
        EXPECT_EQ(form.windowTitle(), "Nutrientes do Prato");
        ASSERT_EQ(form.lstRelatorios->count(), 2);
        EXPECT_EQ(form.medCdFilial->Text(), "0002");
        EXPECT_FALSE(form.medCdFilial->isEnabled());
        type(form.medCdPratoIni, pratoteste::Prato);
        type(form.medCdPratoFin, pratoteste::Prato);
        QTest::keyClick(form.medCdPratoFin, Qt::Key_Tab);
        EXPECT_EQ(form.pratoFin.nome->text(), "Prato de teste");
        click(form.sbtVisualizar);
    });
    EXPECT_TRUE(script->messages().isEmpty()) << script->messageTexts().join(" | ").toStdString();
    ASSERT_EQ(engine->previews, 1);
    EXPECT_EQ(engine->lastLayout.fileName, "Pla05001.QR2");
    // An initial dish equal to the final one is a range of one dish.
    EXPECT_EQ(param("P_CDPRATOINIC"), "5010010099");
    EXPECT_EQ(param("P_CDPRATOFINA"), "5010010099");
    EXPECT_EQ(param("P_CDFILAUXPRAT"), "P");
    EXPECT_EQ(param("P_CDSERVFILI"), "XXX");
    EXPECT_EQ(param("P_CDFILIAL"), "0002");
    EXPECT_EQ(param("P_IDTIPORECE"), "P");
    EXPECT_EQ(param("P_ORDENA"), "0");
    EXPECT_EQ(param("P_CDNUTRIENTE"), "001_002_003_004_005_006");

    const QString text = pdfText(engine->pdf);
    for (const char* expected : {"Nutrientes dos Pratos", "Origem da receita: Padrão", "5010010099 - Prato de teste",
                                 "Calorias", "310,00", "110,71", "Página 1 de 1"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(expected))) << expected << "\n" << text.toStdString();
}

TEST_F(ReportFormTest, NutrientsPartialFinalDishTakesTheWholeGroupAndLevelsSetTheirBranch)
{
    nutrientes([&](TfrmNutriPrat& form) {
        click(form.rdbServico);
        EXPECT_TRUE(form.medCdServFili->isEnabled());
        type(form.medCdFilial, "2");
        type(form.medCdServFili, "1");
        type(form.medCdPratoIni, "501");
        type(form.medCdPratoFin, "501");
        click(form.sbtVisualizar);
    });
    EXPECT_TRUE(script->messages().isEmpty()) << script->messageTexts().join(" | ").toStdString();
    EXPECT_EQ(param("P_CDPRATOFINA"), "501ZZZZZZZ");
    EXPECT_EQ(param("P_CDFILAUXPRAT"), "0002");
    EXPECT_EQ(param("P_CDFILIAL"), "0002");
    EXPECT_EQ(param("P_CDSERVFILI"), "00001");
    EXPECT_EQ(param("P_IDTIPORECE"), "S");
}

TEST_F(ReportFormTest, NutrientsListWithoutAChoiceIsRefusedAndAChoiceIsPassedOn)
{
    nutrientes([&](TfrmNutriPrat& form) {
        type(form.medCdPratoIni, pratoteste::Prato);
        type(form.medCdPratoFin, pratoteste::Prato);
        click(form.rdbNutrLista);
        EXPECT_TRUE(form.btnPesqNutri->isEnabled());
        click(form.sbtVisualizar);
        EXPECT_EQ(script->lastMessage().key, "NUTR_DEVE");
        EXPECT_EQ(engine->previews, 0);

        script->chooseRowList({1, 4});
        click(form.btnPesqNutri);
        click(form.sbtVisualizar);
    });
    ASSERT_EQ(engine->previews, 1);
    EXPECT_EQ(param("P_CDNUTRIENTE"), "002_005_");
}

TEST_F(ReportFormTest, NutrientsMacroLayoutNeverTakesAMacroNutrientAndAtMostFour)
{
    exec("INSERT INTO NUTRIENTE (CDNUTRIENTE, NMNUTRIENTE, SGUNIDADE) VALUES ('007', 'Fibras', 'g'), "
         "('008', 'Sódio', 'mg'), ('009', 'Cálcio', 'mg'), ('010', 'Ferro', 'mg'), ('011', 'Potássio', 'mg')");
    nutrientes([&](TfrmNutriPrat& form) {
        form.lstRelatorios->setCurrentRow(1);
        type(form.medCdPratoIni, pratoteste::Prato);
        type(form.medCdPratoFin, pratoteste::Prato);
        click(form.sbtVisualizar);
    });
    ASSERT_EQ(engine->previews, 1);
    EXPECT_EQ(engine->lastLayout.fileName, "Pla05002.QR2");
    EXPECT_EQ(QStringList({param("P_NUTRIENTE1"), param("P_NUTRIENTE2"), param("P_NUTRIENTE3"), param("P_NUTRIENTE4")}),
              (QStringList{"007", "008", "009", "010"}));
    EXPECT_EQ(Cli_pla05000::stNutriColuna, "007_008_009_010_");
}

TEST_F(ReportFormTest, NutrientsOrderingLevelIsCheckedOnlyForTheAlphabeticalOrder)
{
    nutrientes([&](TfrmNutriPrat& form) {
        EXPECT_EQ(form.NivelMaximo(), 2); // a dish picture of four levels
        EXPECT_FALSE(form.speNivel->isEnabled());
        type(form.medCdPratoIni, pratoteste::Prato);
        type(form.medCdPratoFin, pratoteste::Prato);
        form.findChild<QRadioButton*>("rdbOrdemAlfabetica")->click();
        ASSERT_TRUE(form.speNivel->isEnabled());
        form.speNivel->setValue(3);
        click(form.sbtVisualizar);
        EXPECT_EQ(script->lastMessage().text, "Nível de ordenação deve estar entre 0  e 2. ");
        EXPECT_EQ(engine->previews, 0);
        form.speNivel->setValue(2);
        click(form.sbtVisualizar);
    });
    ASSERT_EQ(engine->previews, 1);
    EXPECT_EQ(param("P_ORDENA"), "1");
    EXPECT_EQ(param("P_NIVEL"), "3"); // codes "5", "01": three characters up to level 2
}

TEST_F(ReportFormTest, NutrientsOrderingLevelMaximumFollowsThePictureDepth)
{
    hostContext().pictures[1] = QStringLiteral("9999999999");
    nutrientes([&](TfrmNutriPrat& form) { EXPECT_EQ(form.NivelMaximo(), 1); });
    hostContext().pictures[1] = QStringLiteral("9.99.99.99.999");
    nutrientes([&](TfrmNutriPrat& form) { EXPECT_EQ(form.NivelMaximo(), 3); });
}

TEST_F(ReportFormTest, NutrientsDishChecksRefuseEmptyUnknownAndReversedRanges)
{
    nutrientes([&](TfrmNutriPrat& form) {
        click(form.sbtVisualizar);
        EXPECT_EQ(script->lastMessage().key, "PRATOINI_EMPTY");
        EXPECT_TRUE(form.medCdPratoIni->hasFocus());
        type(form.medCdPratoIni, "5010010098");
        type(form.medCdPratoFin, "9999999999");
        click(form.sbtVisualizar);
        EXPECT_EQ(script->lastMessage().key, "PRATO_NCAD");
        type(form.medCdPratoIni, pratoteste::Prato);
        type(form.medCdPratoFin, "501");
        click(form.sbtVisualizar);
        EXPECT_EQ(script->lastMessage().key, "PRATOINI>PRATOFIN");
        EXPECT_TRUE(form.medCdPratoFin->hasFocus());
    });
    EXPECT_EQ(engine->previews, 0);
}

TEST_F(ReportFormTest, MissingDefinitionsAreReportedWithTheFolder)
{
    QTemporaryDir empty;
    useEngine(empty.path());
    nutrientes([&](TfrmNutriPrat& form) {
        EXPECT_EQ(form.lstRelatorios->count(), 0);
        type(form.medCdPratoIni, pratoteste::Prato);
        type(form.medCdPratoFin, pratoteste::Prato);
        click(form.sbtVisualizar);
    });
    EXPECT_EQ(script->lastMessage().text,
              QStringLiteral("O arquivo contendo a definição do relatório de código 'Pla050' não foi encontrado no "
                             "diretório '%1'.")
                  .arg(QDir(empty.path()).absolutePath()));
}

// A menu type named by a word is typed or chosen as it is, in both report forms, and reaches the
// report as its key column holds it.
TEST_F(ReportFormTest, NamedMenuTypesAreTypedOrChosenInBothReportForms)
{
    nutrientes([&](TfrmNutriPrat& form) {
        click(form.rdbTpCard);
        type(form.medCdTpCard, "hospitalar");
        QTest::keyClick(form.medCdTpCard, Qt::Key_Tab);
        EXPECT_EQ(form.medCdTpCard->Text(), "HOSPITALAR");
        EXPECT_EQ(form.tipoCard.nome->text(), "Cardápio hospitalar");
        type(form.medCdPratoIni, pratoteste::Prato);
        type(form.medCdPratoFin, pratoteste::Prato);
        click(form.sbtVisualizar);
    });
    EXPECT_TRUE(script->messages().isEmpty()) << script->messageTexts().join(" | ").toStdString();
    ASSERT_EQ(engine->previews, 1);
    EXPECT_EQ(param("P_IDTIPORECE"), "T");
    EXPECT_EQ(param("P_CDTIPOCARD"), "HOSPITALAR");

    receitas([&](TfrmReceProd& form) {
        click(form.rdbTpCard);
        script->chooseRowWhere("CDTIPOCARD", "HOSPITALAR");
        click(form.tipoCard.botao);
        EXPECT_EQ(form.medCdTpCard->Text(), "HOSPITALAR");
        type(form.medCdProdIni, "5030019991");
        type(form.medCdProdFin, "5030019991");
        click(form.sbtVisualizar);
    });
    EXPECT_TRUE(script->messages().isEmpty()) << script->messageTexts().join(" | ").toStdString();
    ASSERT_EQ(engine->previews, 2);
    EXPECT_EQ(param("P_IDTIPORECE"), "T");
    EXPECT_EQ(param("P_CDTIPOCARD"), "HOSPITALAR");
}

// --- Recipes by product ------------------------------------------------------------------------

TEST_F(ReportFormTest, RecipesEqualProductsAndAPartialFinalPaddedWithLowerCaseZ)
{
    receitas([&](TfrmReceProd& form) {
        EXPECT_EQ(form.windowTitle(), "Receitas por Produto");
        EXPECT_EQ(form.ntbFilial->currentWidget()->objectName(), "ModFili");
        EXPECT_FALSE(form.medCdGrupo->isEnabled());
        type(form.medCdProdIni, "5030019991");
        type(form.medCdProdFin, "5030019991");
        QTest::keyClick(form.medCdProdFin, Qt::Key_Tab);
        EXPECT_EQ(form.produtoFin.nome->text(), "Produto A");
        click(form.sbtVisualizar);
        EXPECT_EQ(param("P_PRODUTOFIN"), "5030019991");
        type(form.medCdProdIni, "503");
        type(form.medCdProdFin, "503");
        click(form.sbtVisualizar);
    });
    EXPECT_TRUE(script->messages().isEmpty()) << script->messageTexts().join(" | ").toStdString();
    ASSERT_EQ(engine->previews, 2);
    EXPECT_EQ(param("P_PRODUTOINI"), "503");
    EXPECT_EQ(param("P_PRODUTOFIN"), "503zzzzzzz");
    EXPECT_EQ(param("P_IDTIPORECE"), "P");
    EXPECT_EQ(param("P_CDFILIAL"), "0002");
    EXPECT_EQ(param("L_SERVICO1"), "T");
}

TEST_F(ReportFormTest, RecipesAllBranchesWithoutGroupingListEveryBranch)
{
    receitas([&](TfrmReceProd& form) {
        click(form.rdbLocal);
        EXPECT_EQ(form.ntbFilial->currentWidget()->objectName(), "ModuMatriz");
        EXPECT_TRUE(form.medCdGrupo->isEnabled());
        type(form.medCdProdIni, "5030019991");
        type(form.medCdProdFin, "5030019993");
        click(form.sbtVisualizar);
        EXPECT_EQ(param("L_FILIAL1"), "_0001_0002_0003_0004_0005_0010_0011");

        type(form.medCdGrupo, "1");
        QTest::keyClick(form.medCdGrupo, Qt::Key_Tab);
        EXPECT_EQ(form.medCdGrupo->Text(), "0000000001");
        EXPECT_EQ(form.grupo.nome->text(), "Hospitais");
        click(form.sbtVisualizar);
    });
    EXPECT_TRUE(script->messages().isEmpty()) << script->messageTexts().join(" | ").toStdString();
    EXPECT_EQ(param("L_FILIAL1"), "_0002_0004");
    EXPECT_EQ(param("L_FILIAL2"), "_0002_0004");
    EXPECT_EQ(param("P_IDTIPORECE"), "F");
}

TEST_F(ReportFormTest, RecipesChosenBranchesAndServices)
{
    receitas([&](TfrmReceProd& form) {
        click(form.rdbServico);
        EXPECT_TRUE(form.rbtListaServ->isEnabled());
        click(form.rbtListaServ);
        EXPECT_TRUE(form.btnServico->isEnabled());
        // Choosing a branch list puts the services back to all.
        click(form.rbtListaFili);
        EXPECT_TRUE(form.rbtTodosServ->isChecked());
        EXPECT_FALSE(form.btnServico->isEnabled());

        type(form.medCdProdIni, "5030019991");
        type(form.medCdProdFin, "5030019993");
        click(form.sbtVisualizar);
        EXPECT_EQ(script->lastMessage().key, "FILI_EMPTY");

        script->chooseRowList({1}); // 0002
        click(form.btnFilial);
        EXPECT_EQ(form.ListaFilial(), "0002_");
        click(form.rbtListaServ);
        click(form.sbtVisualizar);
        EXPECT_EQ(script->lastMessage().key, "Serv_inf");

        script->chooseRowList({0});
        click(form.btnServico);
        EXPECT_EQ(form.cdsServico->RecordCount(), 4); // the services of 0002 alone
        click(form.sbtVisualizar);
    });
    ASSERT_EQ(engine->previews, 1);
    EXPECT_EQ(param("L_FILIAL1"), "0002_");
    EXPECT_EQ(param("L_SERVICO1"), "000200001_");
    EXPECT_EQ(param("P_IDTIPORECE"), "S");
}

TEST_F(ReportFormTest, RecipesInABranchModuleUseTheBranchItself)
{
    hostContext().ModuFili = true;
    receitas([&](TfrmReceProd& form) {
        click(form.rdbServico);
        EXPECT_EQ(form.ntbFilial->currentWidget()->objectName(), "ModFili");
        EXPECT_FALSE(form.medCdGrupo->isEnabled());
        click(form.rbtListaServ);
        script->chooseRowList({0, 1});
        click(form.btnServico);
        EXPECT_EQ(form.cdsServico->RecordCount(), 4);
        type(form.medCdProdIni, "5030019991");
        type(form.medCdProdFin, "5030019993");
        click(form.sbtVisualizar);
    });
    EXPECT_TRUE(script->messages().isEmpty()) << script->messageTexts().join(" | ").toStdString();
    EXPECT_EQ(param("L_FILIAL1"), "0002");
    EXPECT_EQ(param("L_SERVICO1"), "000200001_000200002_");
}

TEST_F(ReportFormTest, RecipesWithTheBranchCacheRefuseAnInactiveProduct)
{
    exec("UPDATE PARAMGERAL SET IDCACHPRODFI = 'S'");
    exec("INSERT INTO PRODFILI (CDFILIAL, CDPRODUTO, IDPRODATIV) VALUES ('0002', 'T02', 'I')");
    const int products = value("SELECT COUNT(*) FROM PRODUTO").toInt();
    const int inactive = value("SELECT COUNT(*) FROM PRODFILI WHERE CDFILIAL = '0002' AND IDPRODATIV = 'I'").toInt();
    receitas([&](TfrmReceProd& form) {
        type(form.medCdProdIni, "5030019992");
        QTest::keyClick(form.medCdProdIni, Qt::Key_Tab);
        EXPECT_EQ(script->lastMessage().key, "PROD_INATIVO");
        EXPECT_TRUE(form.medCdProdIni->hasFocus());
        script->cancelSearch();
        click(form.produtoFin.botao);
    });
    ASSERT_FALSE(script->searches().isEmpty());
    EXPECT_EQ(script->searches().last().rowCount, products - inactive);
}

TEST_F(ReportFormTest, RecipesProductChecks)
{
    receitas([&](TfrmReceProd& form) {
        click(form.sbtVisualizar);
        EXPECT_EQ(script->lastMessage().key, "ProdIni_inf");
        type(form.medCdProdIni, "5030019993");
        click(form.sbtVisualizar);
        EXPECT_EQ(script->lastMessage().key, "ProdFin_inf");
        type(form.medCdProdFin, "5030019999");
        click(form.sbtVisualizar);
        EXPECT_EQ(script->lastMessage().key, "Prod_nc");
        type(form.medCdProdFin, "5030019991");
        click(form.sbtVisualizar);
        EXPECT_EQ(script->lastMessage().key, "Fin>Ini");
        click(form.rdbLocal);
        type(form.medCdGrupo, "77");
        click(form.sbtVisualizar);
        EXPECT_EQ(script->lastMessage().key, "GRUPFILI_EMPTY");
    });
    EXPECT_EQ(engine->previews, 0);
}

} // namespace
