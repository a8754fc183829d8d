#include "forms_fixture.h"

#include "framework/abort.h"
#include "framework/forms/dbtree.h"
#include "framework/forms/frmdadosgerrel.h"
#include "framework/forms/frmpadraoarvplus.h"
#include "framework/forms/frmpadrparam.h"

#include <QAction>
#include <QKeyEvent>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

using namespace framework;

namespace {

// A maintenance form as a module would derive it: its own control, its own keys.
class DishForm : public TfrmPadraoArvPlus {
public:
    DishForm()
    {
        edtNome = new QLineEdit(panPrincipal);
        edtNome->setObjectName("edtNome");
        edtPeso = new QLineEdit(panPrincipal);
        edtPeso->setObjectName("edtPeso");
        panPrincipal->layout()->addWidget(edtNome);
        panPrincipal->layout()->addWidget(edtPeso);
    }
    void FormCreate() override
    {
        TfrmPadraoArvPlus::FormCreate();
        created = true;
    }
    void FormKeyDown(QKeyEvent* event) override
    {
        TfrmPadraoArvPlus::FormKeyDown(event);
        keys << event->key();
        if (event->key() == Qt::Key_F12) {
            edtPeso->setFocus();
            event->accept();
        }
    }
    QLineEdit* edtNome;
    QLineEdit* edtPeso;
    QList<int> keys;
    bool created = false;
};

class TreeFormTest : public FormsTest {
protected:
    void SetUp() override
    {
        FormsTest::SetUp();
        ds = makeDishes({{"1", "Pratos base"}, {"101", "Arroz"}, {"101001", "Arroz branco"}, {"101002", "Arroz doce"}});
        form.reset(CreateForm<DishForm>());
        dtsPrato = new DataSource(form.get(), "dtsPrato");
        dtsPrato->setDataSet(ds.get());
        form->dbaPadrao->setFieldCode("CDPRATO");
        form->dbaPadrao->setFieldName("NMPRATO");
        form->dbaPadrao->setPicture(TDBPicture("9.99.999"));
        form->dbaPadrao->setDataSource(dtsPrato);
        form->dtsPadrao->setDataSet(ds.get());
        form->resize(800, 500);
        form->show();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }

    bool enabled(const char* name) const { return form->findChild<QToolButton*>(name)->isEnabled(); }

    std::unique_ptr<ClientDataSet> ds;
    std::unique_ptr<DishForm> form;
    DataSource* dtsPrato = nullptr;
};

TEST_F(TreeFormTest, ComponentsCarryTheirNames)
{
    EXPECT_TRUE(form->created);
    for (const char* name : {"sbtIncluir", "sbtAlterar", "sbtExcluir", "sbtConfirmar", "sbtCancelar", "sbtProcurar",
                             "sbtVerificar", "sbtImprimir", "sbtSair"})
        EXPECT_NE(form->findChild<QToolButton*>(name), nullptr) << name;
    for (const char* name : {"mnuIncluir", "mnuAlterar", "mnuExcluir", "mnuProcurar", "mnuVerificar", "mnuCancelar",
                             "mnuConfirmar"})
        EXPECT_NE(form->findChild<QAction*>(name), nullptr) << name;
    EXPECT_NE(form->findChild<QMenu*>("mnuManutencao"), nullptr);
    EXPECT_NE(form->findChild<DataSource*>("dtsPadrao"), nullptr);
    EXPECT_NE(form->findChild<QTimer*>("timIdle"), nullptr);
    EXPECT_TRUE(form->timIdle->isActive());
    EXPECT_NE(form->findChild<TDBTree*>("dbaPadrao"), nullptr);
}

TEST_F(TreeFormTest, ToolbarFollowsTheDataSourceState)
{
    EXPECT_TRUE(enabled("sbtIncluir"));
    EXPECT_TRUE(enabled("sbtExcluir"));
    EXPECT_FALSE(enabled("sbtConfirmar"));
    ds->Edit();
    EXPECT_FALSE(enabled("sbtIncluir"));
    EXPECT_FALSE(enabled("sbtAlterar"));
    EXPECT_TRUE(enabled("sbtConfirmar"));
    EXPECT_TRUE(enabled("sbtCancelar"));
    ds->Cancel();
    ds->EmptyDataSet();
    EXPECT_TRUE(enabled("sbtIncluir"));
    EXPECT_FALSE(enabled("sbtAlterar"));
    EXPECT_FALSE(enabled("sbtProcurar"));
    form->dtsPadrao->setDataSet(nullptr);
    EXPECT_FALSE(enabled("sbtIncluir"));
}

TEST_F(TreeFormTest, DefaultCommandsActOnTheDataSourceDataset)
{
    ASSERT_TRUE(ds->Locate("CDPRATO", "101002"));
    script->answer(mrNo);
    QTest::mouseClick(form->sbtExcluir, Qt::LeftButton);
    EXPECT_EQ(ds->RecordCount(), 4);
    EXPECT_EQ(script->lastMessage().key, "Excl");
    EXPECT_TRUE(form->timIdle->isActive());

    script->answer(mrYes);
    form->mnuExcluir->trigger();
    EXPECT_EQ(ds->RecordCount(), 3);
    EXPECT_EQ(form->dbaPadrao->NodeCount(), 3);

    form->sbtAlterar->click();
    ds->FieldByName("NMPRATO")->setAsString("Arroz soltinho");
    script->answer(mrNo);
    form->sbtCancelar->click();
    EXPECT_EQ(script->lastMessage().key, "Canc");
    EXPECT_EQ(ds->state(), ClientDataSet::State::Edit);
    form->sbtConfirmar->click();
    EXPECT_EQ(ds->state(), ClientDataSet::State::Browse);
    EXPECT_EQ(ds->FieldByName("NMPRATO")->AsString(), "Arroz soltinho");

    form->sbtIncluir->click();
    EXPECT_EQ(ds->state(), ClientDataSet::State::Insert);
    script->answer(mrYes);
    form->sbtCancelar->click();
    EXPECT_EQ(ds->RecordCount(), 3);
}

TEST_F(TreeFormTest, SearchOverTheTreeMovesTreeAndDataset)
{
    script->chooseRowWhere("CDPRATO", "101002");
    form->sbtProcurar->click();
    EXPECT_EQ(currentCode(*ds), "101002");
    EXPECT_EQ(form->dbaPadrao->SelectedCode(), "101002");
    ASSERT_EQ(script->searches().size(), 1);
    EXPECT_EQ(script->searches()[0].title, "Procurar");
}

TEST_F(TreeFormTest, FormKeyDownSeesKeysBeforeTheControls)
{
    form->edtNome->setFocus();
    QTest::keyClick(form->edtNome, Qt::Key_A);
    EXPECT_EQ(form->edtNome->text(), "a");
    QTest::keyClick(form->edtNome, Qt::Key_F12); // the derived form takes it
    EXPECT_TRUE(form->edtPeso->hasFocus());
    EXPECT_EQ(form->keys, (QList<int>{Qt::Key_A, Qt::Key_F12}));

    form->edtNome->setFocus();
    QTest::keyClick(form->edtNome, Qt::Key_Return); // Enter moves on as Tab does
    EXPECT_TRUE(form->edtPeso->hasFocus());
}

TEST_F(TreeFormTest, ClosingWithAPendingEditAsks)
{
    ds->Edit();
    script->answer(mrNo);
    EXPECT_FALSE(form->close());
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(script->lastMessage().key, "Sair");
    EXPECT_TRUE(form->timIdle->isActive());
    script->answer(mrYes);
    EXPECT_TRUE(form->close());
    EXPECT_FALSE(form->timIdle->isActive());
}

TEST_F(TreeFormTest, PictureOfTheFormIsKept)
{
    ASSERT_TRUE(ds->Locate("CDPRATO", "101001"));
    const QString file = artifactsDir() + "/TfrmPadraoArvPlus.png";
    ASSERT_TRUE(form->grab().save(file));
    EXPECT_TRUE(QFile::exists(file));
}

TEST_F(FormsTest, ParameterFormClosesWithTheButtonsResult)
{
    TfrmPadrParam form;
    QTimer::singleShot(0, form.sbtConfirma, [&] { form.sbtConfirma->click(); });
    EXPECT_EQ(form.ShowModal(), mrOk);
    QTimer::singleShot(0, form.sbtCancel, [&] { form.sbtCancel->click(); });
    EXPECT_EQ(form.ShowModal(), mrCancel);
    QTimer::singleShot(0, &form, [&] { form.close(); });
    EXPECT_EQ(form.ShowModal(), mrCancel);

    TfrmRotiGeral routine;
    routine.show();
    routine.Progresso(3, 10);
    EXPECT_TRUE(routine.prbRotina->isVisible());
    EXPECT_EQ(routine.prbRotina->value(), 3);
    routine.Progresso(10, 10);
    EXPECT_FALSE(routine.prbRotina->isVisible());
}

// A report engine that records what the form asked of it.
class FakeEngine : public ReportEngine {
public:
    QString directory() const override { return "/relatorios"; }
    QList<ReportLayout> layouts(const QString& code) const override
    {
        if (code != "Pla050")
            return {};
        return {{"01", "Nutrientes por prato", "Pla05001.QR2"}, {"02", "Nutrientes em colunas", "Pla05002.QR2"}};
    }
    QStringList parameters(const ReportLayout&) const override { return {"P_CDPRATOINIC", "P_ORDENA"}; }
    void preview(const ReportLayout& layout, const QVariantMap& params) override { runs << "preview " + layout.suffix; last = params; }
    void print(const ReportLayout& layout, const QVariantMap& params) override { runs << "print " + layout.suffix; last = params; }
    void saveAs(const ReportLayout&, const QVariantMap&, const QString& file) override { runs << "save " + file; }
    void edit(const ReportLayout& layout) override { runs << "edit " + layout.suffix; }
    QStringList runs;
    QVariantMap last;
};

class NutrientReport : public TfrmDadosGerRel {
public:
    NutrientReport(const QString& code) : TfrmDadosGerRel(code)
    {
        auto* messages = new TMessages(this, "msgPadrao");
        messages->Add("Arq_Rel_Err", "O arquivo contendo a definição do relatório de código '%s' não foi encontrado no diretório '%s'.");
    }
    void ValidaImpressao(bool required) override
    {
        checks << required;
        if (required && dish.isEmpty())
            MensErro("Prato inicial deve ser informado.");
    }
    void AtribuiParametros(ReportParams& params) override
    {
        for (const char* name : {"P_CDPRATOINIC", "P_NIVEL", "P_ORDENA"})
            if (params.ExistParam(name))
                params.setParam(name, QString(name) == "P_ORDENA" ? QVariant("1") : QVariant(dish));
    }
    QString dish;
    QList<bool> checks;
};

class ReportFormTest : public FormsTest {
protected:
    void SetUp() override
    {
        FormsTest::SetUp();
        auto owned = std::make_unique<FakeEngine>();
        engine = owned.get();
        setReportEngine(std::move(owned));
    }
    void TearDown() override
    {
        setReportEngine(nullptr);
        FormsTest::TearDown();
    }
    FakeEngine* engine = nullptr;
};

TEST_F(ReportFormTest, CommandsCheckTheFiltersAndFillOnlyTheQueryParameters)
{
    std::unique_ptr<NutrientReport> form(CreateForm<NutrientReport>("Pla050"));
    ASSERT_EQ(form->lstRelatorios->count(), 2);
    form->sbtVisualizar->click();
    EXPECT_TRUE(engine->runs.isEmpty()); // the check refused
    EXPECT_EQ(script->lastMessage().text, "Prato inicial deve ser informado.");

    form->dish = "101001";
    form->lstRelatorios->setCurrentRow(1);
    form->sbtVisualizar->click();
    form->sbtImprimir->click();
    form->sbtEditar->click();
    script->fileName("/tmp/nutrientes.pdf");
    form->sbtSalvar->click();
    EXPECT_EQ(engine->runs, (QStringList{"preview 02", "print 02", "edit 02", "save /tmp/nutrientes.pdf"}));
    EXPECT_EQ(engine->last, (QVariantMap{{"P_CDPRATOINIC", "101001"}, {"P_ORDENA", "1"}}));
    EXPECT_EQ(form->checks, (QList<bool>{true, true, true, false, true}));
}

TEST_F(ReportFormTest, AReportCodeWithoutDefinitionsSaysSo)
{
    std::unique_ptr<NutrientReport> form(CreateForm<NutrientReport>("Pla999"));
    form->dish = "1";
    form->sbtImprimir->click();
    EXPECT_TRUE(engine->runs.isEmpty());
    EXPECT_EQ(script->lastMessage().text,
              "O arquivo contendo a definição do relatório de código 'Pla999' não foi encontrado no diretório "
              "'/relatorios'.");
}

} // namespace
