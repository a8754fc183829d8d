// The components of the recipe pages the edit cycle works with: the four ingredient lists with
// their data sources and grids, the level dish data sources, the page headers with their
// selectors, the recipe menu with its shortcuts, and the components of the preparation-mode,
// photo and container pages whose behaviour comes with those pages (created here with their
// names, so that the rules that name them hold from the start).
#include "recipe/subpages/barraformatacao.h"
#include "recipe/levels/camposlista.h"
#include "recipe/record/containerprato.h"
#include "recipe/record/formapreparo.h"
#include "recipe/subpages/fotoprato.h"
#include "frmreceitapadrao.h"
#include "recipe/core/levelfields.h"
#include "recipe/subpages/modopreparo.h"

#include "framework/data/clientdataset.h"
#include "framework/data/datasource.h"
#include "framework/forms/dbgrid.h"
#include "framework/forms/frmpadraoarvplus.h"
#include "framework/ui/btnpesquisa.h"
#include "framework/ui/dbcheckbox.h"
#include "framework/ui/dbedit.h"
#include "framework/ui/dbnavigator.h"
#include "framework/ui/maskedit.h"

#include <QAction>
#include <QBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>
#include <QToolBar>
#include <QStyle>
#include <QToolButton>

using namespace framework;

namespace {

template <class W>
W* named(W* object, const char* name)
{
    object->setObjectName(QString::fromLatin1(name));
    return object;
}

QBoxLayout* layoutOf(QWidget* page)
{
    if (auto* layout = qobject_cast<QBoxLayout*>(page->layout()))
        return layout;
    return new QVBoxLayout(page);
}

QHBoxLayout* header(QWidget* page, const char* name, QWidget** panel)
{
    *panel = named(new QWidget(page), name);
    layoutOf(page)->insertWidget(0, *panel);
    return new QHBoxLayout(*panel);
}

TMaskEdit* selector(QWidget* panel, QHBoxLayout* row, const char* label, const QString& caption, const char* edit,
                    const char* button, int width)
{
    auto* l = named(new QLabel(caption, panel), label);
    auto* e = new TMaskEdit(panel, QString::fromLatin1(edit));
    e->setMaximumWidth(width);
    l->setBuddy(e);
    row->addWidget(l);
    row->addWidget(e);
    if (button)
        row->addWidget(new TBtnPesquisa(panel, QString::fromLatin1(button)));
    return e;
}

QToolButton* toolButton(QWidget* parent, const char* name, const QString& caption)
{
    auto* b = named(new QToolButton(parent), name);
    b->setText(caption);
    return b;
}

} // namespace

void TfrmReceitaPadrao::createPaginasReceita()
{
    const auto source = [this](const char* name, ClientDataSet* dataSet) {
        auto* s = new DataSource(this, QString::fromLatin1(name));
        s->setDataSet(dataSet);
        return s;
    };
    dtsProdPrat = source("dtsProdPrat", cdsProdPrat);
    dtsReceTpCard = source("dtsReceTpCard", cdsReceTpCard);
    dtsReceFili = source("dtsReceFili", cdsReceFili);
    dtsReceServ = source("dtsReceServ", cdsReceServ);
    dtsDadosPrat = source("dtsDadosPrat", cdsDadosPrat);
    dtsPratTpCard = source("dtsPratTpCard", cdsPratTpCard);
    dtsPratFili = source("dtsPratFili", cdsPratFili);
    dtsPratServ = source("dtsPratServ", cdsPratServ);

    const auto grid = [](QWidget* page, const recipe::LevelFields& level, DataSource* source) {
        auto* g = new TDBGrid(page, level.grid);
        g->setDataSource(source);
        layoutOf(page)->addWidget(g, 1);
        return g;
    };
    using recipe::Level;
    recipe::declaraCamposLista(*cdsProdPrat, recipe::levelFields(Level::Padrao));
    recipe::declaraCamposLista(*cdsReceTpCard, recipe::levelFields(Level::TpCard));
    recipe::declaraCamposLista(*cdsReceFili, recipe::levelFields(Level::Filial));
    recipe::declaraCamposLista(*cdsReceServ, recipe::levelFields(Level::Servico));
    dbgProdPrat = grid(tshPadrao, recipe::levelFields(Level::Padrao), dtsProdPrat);
    dbgReceTpCard = grid(tshTpCard, recipe::levelFields(Level::TpCard), dtsReceTpCard);
    dbgReceFili = grid(tshReceLoca, recipe::levelFields(Level::Filial), dtsReceFili);
    dbgReceServ = grid(tshReceServ, recipe::levelFields(Level::Servico), dtsReceServ);

    // Page headers: the branch of the branch recipes, the branch and service of the service
    // recipes; the menu type's label and lookup beside the edits of its header.
    QHBoxLayout* row = header(tshReceLoca, "panFilial", &panFilial);
    medCdFilial = selector(panFilial, row, "lblCdFilialLoc", QStringLiteral("Filial"), "medCdFilial", "btpFilial", 70);
    medCdFilial->setEditMask(QStringLiteral(">aaaa"));
    row->addStretch(1);
    row = header(tshReceServ, "panServico", &panServico);
    medCdFiliServ = selector(panServico, row, "lblCdFiliServ", QStringLiteral("Filial"), "medCdFiliServ", "btpFiliServ", 70);
    medCdFiliServ->setEditMask(QStringLiteral(">aaaa"));
    medCdServico = selector(panServico, row, "lblCdServico", QStringLiteral("Serviço"), "medCdServico", "btpServico", 80);
    medCdServico->setEditMask(QStringLiteral(">aaaaa"));
    row->addStretch(1);
    // The header comes before the list it selects, when the page is entered and when tabbing.
    QWidget::setTabOrder(findChild<QWidget*>(QStringLiteral("btpFilial")), dbgReceFili);
    QWidget::setTabOrder(findChild<QWidget*>(QStringLiteral("btpServico")), dbgReceServ);
    auto* tpCardRow = qobject_cast<QHBoxLayout*>(panTpCard->layout());
    auto* lblTpCard = named(new QLabel(QStringLiteral("Tipo de Cardápio"), panTpCard), "lblTpCard");
    lblTpCard->setBuddy(medCdTpCard);
    tpCardRow->insertWidget(tpCardRow->indexOf(medCdTpCard), lblTpCard);
    tpCardRow->insertWidget(tpCardRow->indexOf(medCdTpCard) + 1, new TBtnPesquisa(panTpCard, QStringLiteral("btpTpCard")));

    // Production product of each level's dish data.
    const std::pair<QWidget*, const char*> productPages[] = {{tshPadrao, "Padr"}, {tshReceLoca, "Fili"}, {tshReceServ, "Serv"}};
    for (const auto& [page, suffix] : productPages) {
        auto* line = new QHBoxLayout;
        layoutOf(page)->addLayout(line);
        auto* label = new QLabel(QStringLiteral("Produto de Produção"), page);
        label->setObjectName(QStringLiteral("lblProd") + QLatin1String(suffix));
        auto* edit = new TDBEdit(page, QStringLiteral("dbeCdProd") + QLatin1String(suffix));
        line->addWidget(label);
        line->addWidget(edit);
        line->addWidget(new TBtnPesquisa(page, QStringLiteral("btnProd") + QLatin1String(suffix)));
        line->addWidget(new TDBEdit(page, QStringLiteral("dbeNmProd") + QLatin1String(suffix)), 1);
        line->addStretch(1);
    }

    createMenuReceita();
    createPaginasPendentes();
}

void TfrmReceitaPadrao::createMenuReceita()
{
    auto* menu = named(mnuPrincipal->addMenu(QStringLiteral("&Receita")), "mnuReceita");
    const auto item = [menu](const char* name, const QString& caption, QKeyCombination shortcut) {
        auto* action = named(menu->addAction(caption), name);
        action->setShortcut(QKeySequence(shortcut));
        return action;
    };
    item("mnuNutrientes", QStringLiteral("Con&sultar Nutrientes"), Qt::CTRL | Qt::Key_N);
    item("mnuCusto", QStringLiteral("Cons&ultar Custo"), Qt::CTRL | Qt::Key_U);
    item("mnuImportFator", QStringLiteral("Importar &Fator de Correção Padrão"), Qt::CTRL | Qt::Key_P);
    item("mnuCalculadora", QStringLiteral("Ajusta&r Quantidade"), Qt::CTRL | Qt::Key_R);
    item("mnuRevQtde", QStringLiteral("Revisar &Quantidades"), Qt::CTRL | Qt::Key_Q);
    item("mnuUtProdRece", QStringLiteral("Utilização &de Produto nas Receitas"), Qt::CTRL | Qt::Key_T);
    item("mnuImporta", QStringLiteral("I&mportar / Revisar Receita"), Qt::CTRL | Qt::Key_M);
    item("mnuTrocaProd", QStringLiteral("Trocar In&grediente"), Qt::CTRL | Qt::Key_G);
    // Each toolbar button shows its menu item's command under a short caption, so that the whole
    // toolbar fits the form's width; the menu item's full text is the button's tip.
    const struct {
        const char* button;
        const char* action;
        const char* caption;
        QStyle::StandardPixmap icon;
    } buttons[] = {
        {"sbtImporta", "mnuImporta", "Importar", QStyle::SP_DialogOpenButton},
        {"sbtNutrientes", "mnuNutrientes", "Nutrientes", QStyle::SP_FileDialogInfoView},
        {"sbtCusto", "mnuCusto", "Custo", QStyle::SP_FileDialogContentsView},
        {"sbtUtProdRece", "mnuUtProdRece", "Utilização", QStyle::SP_FileDialogListView},
        {"sbtTrocaProd", "mnuTrocaProd", "Trocar", QStyle::SP_BrowserReload},
        {"sbtImportFator", "mnuImportFator", "Fator", QStyle::SP_ArrowDown},
    };
    // The hints of the buttons whose menu text says more than they do.
    findChild<QAction*>(QStringLiteral("mnuTrocaProd"))->setToolTip(QStringLiteral("Trocar Ingrediente"));
    findChild<QAction*>(QStringLiteral("mnuImportFator"))->setToolTip(QString::fromUtf8("Importar Fator de Correção Padrão"));
    for (const auto& b : buttons) {
        auto* action = findChild<QAction*>(QString::fromLatin1(b.action));
        action->setIconText(QString::fromUtf8(b.caption));
        action->setIcon(style()->standardIcon(b.icon));
        auto* button = named(new QToolButton(tlbPadrao), b.button);
        button->setDefaultAction(action);
        button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        tlbPadrao->addWidget(button);
    }
}

void TfrmReceitaPadrao::createPaginasPendentes()
{
    // Containers of the dish record and the percentage over services.
    layoutOf(tshFormulario);
    m_containers = new recipe::ContainerPrato(*this, *tshFormulario, *m_registro);
    layoutOf(tshFormulario)->addWidget(toolButton(tshFormulario, "sbtPercentual", QStringLiteral("Percentual")));

    // Preparation modes: branch and service headers, record edits, navigator, text commands and
    // the format panel (its last two buttons are cut and copy).
    QWidget* panel = nullptr;
    QHBoxLayout* row = header(tshPrepFil, "panPrepFili", &panel);
    selector(panel, row, "lblCdFiliPrep", QStringLiteral("Filial"), "medCdFiliPrep", "btpFiliPrep", 70);
    row = header(tshPrepSer, "panPrepServ", &panel);
    selector(panel, row, "lblCdFiliServPrep", QStringLiteral("Filial"), "medCdFiliServPrep", "btpFiliServPrep", 70);
    selector(panel, row, "lblCdServPrep", QStringLiteral("Serviço"), "medCdServPrep", "btpServPrep", 80);
    auto* panResp = named(new QWidget(tshModoPrep), "panResp");
    layoutOf(tshModoPrep)->insertWidget(0, panResp);
    // The record row and, beneath it, the format panel: side by side they would make the form
    // wider than a laptop screen.
    auto* linhas = new QVBoxLayout(panResp);
    linhas->setContentsMargins(0, 0, 0, 0);
    auto* prep = new QHBoxLayout;
    linhas->addLayout(prep);
    prep->addWidget(new TDBEdit(tshModoPrep, QStringLiteral("dbeNrPrep")));
    prep->addWidget(new TDBEdit(tshModoPrep, QStringLiteral("dbeNomeMod")));
    prep->addWidget(new TDBNavigator(tshModoPrep, QStringLiteral("dbnNavModPrep")));
    prep->addWidget(named(new QLabel(QStringLiteral("Nome"), tshModoPrep), "lblNomeRes"));
    for (const char* name : {"sbtSalva", "sbtImpArquiv", "sbtDesativa", "sbtAtiva"})
        prep->addWidget(toolButton(tshModoPrep, name, QString::fromLatin1(name + 3)));
    auto* formato = new QHBoxLayout;
    formato->addWidget(new recipe::BarraFormatacao(tshModoPrep));
    formato->addStretch();
    linhas->addLayout(formato);
    m_modoPreparo = new recipe::ModoPreparo(*this, *tshModoPrep, *pgcModoPrep, *mnuPaginas, *mnuModoServico);
    new recipe::FormaPreparo(*this, *m_registro);

    // Photos: branch and service headers and the common bar above the sub-pages.
    row = header(tshFotoFil, "panFotoFili", &panel);
    selector(panel, row, "lblFtoFili", QStringLiteral("Filial"), "medCdFiliFto", "btnFtoFili", 70);
    row = header(tshFotoSer, "panFotoServ", &panel);
    selector(panel, row, "lblFtoFiliServ", QStringLiteral("Filial"), "medCdFiliServFto", "btnFtoFiliServ", 70);
    selector(panel, row, "lblFtoServ", QStringLiteral("Serviço"), "medCdServFto", "btnFtoServ", 80);
    auto* panMnuFto = named(new QWidget(tshFoto), "panMnuFto");
    layoutOf(tshFoto)->insertWidget(0, panMnuFto);
    auto* foto = new QHBoxLayout(panMnuFto);
    foto->setContentsMargins(0, 0, 0, 0);
    foto->addWidget(named(new QLabel(panMnuFto), "lblAtivDesat"));
    for (const char* name : {"sbtAtivaFto", "sbtDesativaFto", "sbtAbrirFto"})
        foto->addWidget(toolButton(panMnuFto, name, QString::fromLatin1(name + 3)));
    foto->addWidget(new TDBCheckBox(panMnuFto, QStringLiteral("dbcAjustaFto")));
    auto* numero = new TDBEdit(panMnuFto, QStringLiteral("dbeNrFoto"));
    numero->setMaximumWidth(50);
    foto->addWidget(numero);
    foto->addWidget(new TDBNavigator(panMnuFto, QStringLiteral("dbnNavFoto")));
    foto->addStretch(1);
    m_fotos = new recipe::FotoPrato(*this, *tshFoto, *pgcFoto, *mnuPaginas);
}
