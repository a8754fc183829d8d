// Figures of the standard ingredient list. Run:
//   QT_QPA_PLATFORM=offscreen build-dir/bench/bench_recipe_page
// The demo data plus one dish of 200 ingredients, opened in the recipe form on branch 0002 (net
// quantities typed): the column exit of the net quantity on a row being edited, the post of
// an edited quantity that rescales the 199 other rows, the post of a changed quantity per person
// that rescales all 200 and sends the dish data, and the working branch put into the page
// selectors at each page change, and the import of the products' registered cleaning loss into
// every row.

#include "bench/benchsupport.h"
#include "db/database.h"
#include "db/demodata.h"
#include "framework/core/hostcontext.h"
#include "framework/data/clientdataset.h"
#include "framework/forms/dbgrid.h"
#include "framework/forms/dbtree.h"
#include "framework/ui/dialogs.h"
#include "framework/ui/messages.h"
#include "host/hostdatabase.h"
#include "module/pkg_pla01300.h"
#include "recipe/core/cli_pla01300.h"
#include "recipe/form/frmreceitapadrao.h"
#include "recipe/levels/paginareceita.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QSqlQuery>
#include <QTabWidget>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

constexpr int Ingredients = 200;
constexpr const char* Dish = "2010010099";

void exec(QSqlQuery& q)
{
    if (!q.exec())
        throw std::runtime_error(q.lastQuery().toStdString());
}

struct Fixture {
    QTemporaryDir dir;
    db::Target target;
    QWidget mainWindow;
    TfrmReceitaPadrao* form = nullptr;
    framework::ScriptedDialogs* script = nullptr;

    Fixture()
    {
        target.path = dir.filePath("bench.db");
        QSqlDatabase database = db::openAndMigrate(target, "bench");
        db::createDemoData(database, {});
        database.transaction();
        QSqlQuery q(database);
        q.prepare("INSERT INTO PRATO (CDFILAUXPRAT, CDPRATO, NMPRATO, CDNVPRATO, SGUNIDADE, IDATIVO) "
                  "VALUES ('P', ?, 'Prato de 200 ingredientes', '4', 'KG', 'S')");
        q.addBindValue(QString::fromLatin1(Dish));
        exec(q);
        q.prepare("INSERT INTO DADOSPRAT (CDFILAUXPRAT, CDPRATO, QTPADRAOPRAT, IDATIVO) VALUES ('P', ?, 1, 'S')");
        q.addBindValue(QString::fromLatin1(Dish));
        exec(q);
        QSqlQuery product(database), row(database);
        product.prepare("INSERT INTO PRODUTO (CDPRODUTO, CDARVPROD, NMPRODUTO, SGUNIDADE, CDNVPRODUTO, CDPRODESTO, "
                        "IDCNTRESTOQ, IDATIVO) VALUES (?, ?, ?, 'KG', '4', ?, 'S', 'S')");
        row.prepare("INSERT INTO PRODPRAT (CDFILAUXPRAT, CDPRATO, CDPRODUTO, QTPRODPRAT, VRPEFATCOCPR, VRPEFATCOCPRAP, "
                    "VRPEFATCORPR, VRPEFATCORPRAP, VRPERCDEGELO, QTBRUTAPRUNR, QTBRUTAPR, QTUNIDESTPR, VRPEFATNUTPR, "
                    "QTCALCNUTRPR, IDQTDEFIXPR, IDTPREQPRODPADR) VALUES ('P', ?, ?, ?, 0, 100, 10, 90, 0, ?, ?, ?, 100, ?, "
                    "'N', 'P')");
        for (int i = 0; i < Ingredients; ++i) {
            const QString code = QStringLiteral("B%1").arg(i, 9, 10, QChar('0'));
            for (const QVariant& v : QVariantList{code, QStringLiteral("6010010%1").arg(i, 3, 10, QChar('0')),
                                                  QStringLiteral("Ingrediente %1").arg(i), code})
                product.addBindValue(v);
            exec(product);
            const double net = 0.01 * (i + 1);
            for (const QVariant& v : QVariantList{QString::fromLatin1(Dish), code, net, net / 0.9, net / 0.9,
                                                  net / 0.9, net})
                row.addBindValue(v);
            exec(row);
        }
        for (const char* op : {"INCLUSAO_PRODUTO_RECEITA_PADRAO", "ALTERACAO_PRODUTO_RECEITA_PADRAO",
                               "EXCLUSAO_PRODUTO_RECEITA_PADRAO"}) {
            q.prepare("INSERT INTO USUAUTORIZA (CDOPERADOR, NRTIPOAUTORIZA, CDOPERACAO) VALUES ('NUTRI', 4, ?)");
            q.addBindValue(QString::fromLatin1(op));
            exec(q);
        }
        database.commit();

        script = &framework::installScriptedDialogs();
        framework::HostContext& context = framework::hostContext();
        context.databaseConnection = QStringLiteral("bench");
        context.FiliProc = QStringLiteral("0002");
        context.Operador = QStringLiteral("NUTRI");
        context.ModuloAtiv = QStringLiteral("8");
        context.loadModule = [](const QString&, const QVariantList&) {};
        host::loadPictures();
        context.mainWindow = &mainWindow;
        auto* messages = new framework::TMessages(&mainWindow, QStringLiteral("msgPadrao"));
        messages->Add({{"FILI_DEVE", "Cadastre uma filial."}});
        CriaReceita();
        form = Cli_pla01300::frmReceitaPadrao;
        if (!form)
            throw std::runtime_error("the form did not open");
        // Leaving the branch panel confirms the branch and loads the dish tree.
        form->activateWindow();
        for (int i = 0; i < 20 && !form->isActiveWindow(); ++i)
            QApplication::processEvents(QEventLoop::AllEvents, 50);
        form->dbaPadrao->setFocus();
        QApplication::processEvents();
        if (!form->dbaPadrao->setSelectedCode(QString::fromLatin1(Dish)))
            throw std::runtime_error("the dish did not open");
        form->Habilita_Pagina(true);
        form->pgcPadrao->setCurrentWidget(form->tshPadrao);
        QApplication::processEvents();
        if (form->cdsProdPrat->RecordCount() != Ingredients)
            throw std::runtime_error("the recipe did not load whole");
    }

    static Fixture& instance()
    {
        static Fixture fixture;
        return fixture;
    }
};

void BM_ColunaQuantidade_200Ingredientes(benchmark::State& state)
{
    TfrmReceitaPadrao& form = *Fixture::instance().form;
    framework::ClientDataSet& list = *form.cdsProdPrat;
    recipe::PaginaReceita& page = form.PaginaPadrao();
    list.Last();
    list.Edit();
    form.dbgProdPrat->setSelectedIndex(framework::IndiceCol(*form.dbgProdPrat, "QTPRODPRAT"));
    double net = 1;
    for (auto _ : state) {
        net = net == 1 ? 1.5 : 1;
        list.FieldByName("QTPRODPRAT")->setAsFloat(net);
        page.ColExit();
    }
    if (list.FieldByName("QTBRUTAPR")->AsFloat() == 0)
        state.SkipWithError("the requisition quantity did not follow");
    list.Cancel();
}
BENCHMARK(BM_ColunaQuantidade_200Ingredientes)->Unit(benchmark::kMicrosecond);

void BM_AtualizaProporcional_200Ingredientes(benchmark::State& state)
{
    TfrmReceitaPadrao& form = *Fixture::instance().form;
    framework::ClientDataSet& list = *form.cdsProdPrat;
    form.PaginaPadrao().altProporcional().setChecked(true);
    double net = 0.01;
    for (auto _ : state) {
        list.First();
        net = net == 0.01 ? 0.02 : 0.01;
        list.Edit();
        list.FieldByName("QTPRODPRAT")->setAsFloat(net);
        list.Post(); // rescales the 199 other rows
    }
    form.PaginaPadrao().altProporcional().setChecked(false);
    state.counters["rows"] = list.ChangeCount();
    list.CancelUpdates();
}
BENCHMARK(BM_AtualizaProporcional_200Ingredientes)->Unit(benchmark::kMillisecond);

void BM_QtdePorPessoa_200Ingredientes(benchmark::State& state)
{
    Fixture& fixture = Fixture::instance();
    TfrmReceitaPadrao& form = *fixture.form;
    framework::ClientDataSet& dados = *form.cdsDadosPrat;
    // Each run goes on from the quantity the last one left.
    double quantity = dados.FieldByName("QTPADRAOPRAT")->AsFloat();
    for (auto _ : state) {
        quantity = quantity == 1 ? 1.5 : 1;
        fixture.script->answer(framework::mrYes); // alt_prop_prod_rec
        dados.Edit();
        dados.FieldByName("QTPADRAOPRAT")->setAsFloat(quantity);
        dados.Post(); // rescales the 200 rows, sends the dish data
    }
    if (dados.ChangeCount() != 0 || fixture.script->pendingAnswers() != 0)
        state.SkipWithError("the dish data was not sent or the question not asked");
    form.cdsProdPrat->CancelUpdates();
}
BENCHMARK(BM_QtdePorPessoa_200Ingredientes)->Unit(benchmark::kMillisecond);

void BM_Atualiza_FiliProc(benchmark::State& state)
{
    TfrmReceitaPadrao& form = *Fixture::instance().form;
    for (auto _ : state)
        form.Atualiza_FiliProc();
}
BENCHMARK(BM_Atualiza_FiliProc)->Unit(benchmark::kMicrosecond);

// The toolbar's rules as every focus change and idle tick run them: the page the table finds
// (the focus in the dish data panel, the list of 200 ingredients beside it) and its commands.
void BM_AtualizaBotoes(benchmark::State& state)
{
    TfrmReceitaPadrao& form = *Fixture::instance().form;
    if (auto* edit = form.findChild<QWidget*>(QStringLiteral("dbeNmFantasiaPadr")))
        edit->setFocus();
    for (auto _ : state)
        form.AtualizaBotoes();
}
BENCHMARK(BM_AtualizaBotoes)->Unit(benchmark::kMicrosecond);

// "Todos" of the cleaning-loss import (Ctrl+P) on the 200 rows, from the answer to the list
// shown again: a registered loss read and every row posted through its checks, then one send.
// Each run finds the products' registered losses changed, so that every row changes.
void BM_ImportaFatorTodos_200Ingredientes(benchmark::State& state)
{
    Fixture& fixture = Fixture::instance();
    TfrmReceitaPadrao& form = *fixture.form;
    framework::ClientDataSet& list = *form.cdsProdPrat;
    QSqlQuery q(QSqlDatabase::database(QStringLiteral("bench")));
    auto* importa = form.findChild<QAction*>(QStringLiteral("mnuImportFator"));
    form.dbgProdPrat->setFocus();
    double loss = 5;
    for (auto _ : state) {
        state.PauseTiming();
        loss = loss == 5 ? 8 : 5;
        q.prepare("UPDATE PRODUTO SET VRPEFATOCORR = ? WHERE CDPRODUTO LIKE 'B%'");
        q.addBindValue(loss);
        exec(q);
        list.First();
        fixture.script->answer(framework::mrYes); // "Todos"
        state.ResumeTiming();
        importa->trigger();
        QApplication::processEvents();
    }
    list.Last();
    if (list.ChangeCount() != 0 || list.FieldByName("VRPEFATCORPR")->AsFloat() != loss)
        state.SkipWithError("the losses were not imported and sent");
}
BENCHMARK(BM_ImportaFatorTodos_200Ingredientes)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return bench::run<QApplication>(argc, argv);
}
