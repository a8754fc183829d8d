// The toolbar's maintenance commands as the page table runs them, the confirmation and cancel of
// each page, and the keyboard of the edit cycle.
#include "recipe/core/cli_pla01300.h"
#include "recipe/core/componente.h"
#include "recipe/record/registroprato.h"
#include "recipe/record/containerprato.h"
#include "recipe/subpages/fotoprato.h"
#include "recipe/core/enviador.h"
#include "frmreceitapadrao.h"
#include "recipe/core/levelfields.h"
#include "recipe/subpages/modopreparo.h"
#include "recipe/levels/paginareceita.h"
#include "recipe/levels/painelprato.h"
#include "regrashabilitacao.h"
#include "recipe/core/respostaservidor.h"
#include "recipe/core/tabelapaginas.h"

#include "framework/abort.h"
#include "framework/core/consiste.h"
#include "framework/core/hostcontext.h"
#include "framework/data/clientdataset.h"
#include "framework/data/datasource.h"
#include "framework/forms/dbgrid.h"
#include "framework/forms/dbtree.h"
#include "framework/ui/dbedit.h"
#include "framework/ui/guard.h"
#include "framework/ui/maskedit.h"
#include "framework/ui/messages.h"
#include "framework/ui/search.h"
#include "framework/ui/showavi.h"
#include "server/connection.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QScopeGuard>
#include <QTabWidget>
#include <QTimer>

using namespace framework;
using recipe::Comando;
using recipe::Pagina;

namespace {

using State = ClientDataSet::State;

bool editing(const ClientDataSet& dataSet)
{
    return dataSet.state() == State::Edit || dataSet.state() == State::Insert;
}

// The idle timer stays off while the command runs and comes back as it was.
auto pausaTimer(QTimer* timer)
{
    const bool wasActive = timer->isActive();
    timer->stop();
    return qScopeGuard([timer, wasActive] {
        if (wasActive)
            timer->start();
    });
}

// The grid of a level's list on its page.
TDBGrid* gridOf(const QWidget* form, const recipe::LevelFields& level)
{
    return form->findChild<TDBGrid*>(level.grid);
}

void focusColumn(TDBGrid* grid, const QString& fieldName)
{
    if (!grid)
        return;
    const int column = IndiceCol(*grid, fieldName);
    if (column >= 0 && grid->Columns(column)->Visible())
        grid->setSelectedIndex(column);
    if (grid->isEnabled() && grid->isVisible())
        grid->setFocus();
}

} // namespace

// --- The page table ----------------------------------------------------------------------------

void TfrmReceitaPadrao::registraPaginas()
{
    m_paginas = std::make_unique<recipe::TabelaPaginas>();
    Pagina formulario;
    formulario.tab = tshFormulario;
    formulario.dataSet = cdsPrato;
    formulario.fonte = dtsPrato;
    formulario.regra(Comando::Incluir, [this](const Pagina&) { m_registro->inclui(); });
    formulario.regra(Comando::Alterar, [this](const Pagina&) { m_registro->altera(); });
    formulario.regra(Comando::Excluir, [this](const Pagina&) { m_registro->exclui(); });
    formulario.regra(Comando::Procurar, [this](const Pagina&) { TfrmPadraoArvPlus::sbtProcurarClick(); });
    formulario.regra(Comando::Verificar, [this](const Pagina&) { verificaPrato(); });
    formulario.regra(Comando::Confirmar, [this](const Pagina&) { dbaPadrao->Resync(); });
    formulario.regra(Comando::Cancelar, [this](const Pagina&) { m_registro->cancela(); });
    m_paginas->adiciona(formulario);

    using recipe::Level;
    const std::pair<Level, std::array<ClientDataSet*, 2>> levels[] = {
        {Level::Padrao, {cdsProdPrat, cdsDadosPrat}},
        {Level::TpCard, {cdsReceTpCard, cdsPratTpCard}},
        {Level::Filial, {cdsReceFili, cdsPratFili}},
        {Level::Servico, {cdsReceServ, cdsPratServ}},
    };
    const std::pair<Level, QWidget*> headers[] = {
        {Level::Padrao, nullptr}, {Level::TpCard, panTpCard}, {Level::Filial, panFilial}, {Level::Servico, panServico}};
    for (const auto& [level, dataSets] : levels) {
        const recipe::LevelFields& fields = recipe::levelFields(level);
        Pagina page;
        page.tab = findChild<QWidget*>(fields.page);
        page.dataSet = dataSets[0];
        page.fonte = findChild<DataSource*>(fields.dataSource);
        page.nivel = &fields;
        page.dadosPrato = dataSets[1];
        page.cabecalho = headers[static_cast<int>(level)].second;
        page.regra(Comando::Incluir, [this](const Pagina& p) { incluiLista(p); });
        page.regra(Comando::Alterar, [this](const Pagina& p) { alteraLista(p); });
        page.regra(Comando::Excluir, [this](const Pagina& p) { excluiLista(p); });
        page.regra(Comando::Procurar, [this](const Pagina& p) { procuraLista(p); });
        page.regra(Comando::Verificar, [this](const Pagina& p) { verificaLista(p); });
        page.regra(Comando::Confirmar, [this](const Pagina& p) { enviaLista(p); });
        page.regra(Comando::Cancelar, [this](const Pagina& p) { cancelaLista(p); });
        m_paginas->adiciona(page);
    }
    m_modoPreparo->registra(*m_paginas);
    m_containers->registra(*m_paginas);
    m_fotos->registra(*m_paginas);
}

void TfrmReceitaPadrao::registraPaineis()
{
    // Each level's dish data is a page inside its recipe page: entering the panel makes its
    // record the toolbar's. Confirmar and a second Cancelar act on the whole recipe page, as
    // there; the record itself is changed by typing, Alterar, a colour or a measure chosen.
    for (recipe::PainelPrato* painel : m_paineis) {
        const Pagina* lista = m_paginas->pagina(findChild<QWidget*>(painel->nivel().page));
        QWidget* tab = lista->tab;
        Pagina page;
        page.tab = painel->painel();
        page.dentroDe = tab;
        page.dataSet = &painel->dados();
        page.fonte = &painel->fonte();
        page.nivel = lista->nivel;
        page.cabecalho = lista->cabecalho;
        page.regra(Comando::Alterar, [painel](const Pagina&) { painel->altera(); });
        page.regra(Comando::Verificar, [this, tab](const Pagina&) { verificaLista(*m_paginas->pagina(tab)); });
        page.regra(Comando::Confirmar, [this, tab](const Pagina&) { enviaLista(*m_paginas->pagina(tab)); });
        page.regra(Comando::Cancelar, [this, tab](const Pagina& p) {
            // The record being typed is given up alone; after that the page's changes, as there.
            if (editing(*p.dataSet))
                p.dataSet->Cancel();
            else
                cancelaLista(*m_paginas->pagina(tab));
        });
        m_paginas->adiciona(page);
    }
}

void TfrmReceitaPadrao::registraSeletores()
{
    // The selector F12 goes to on each page or sub-page: the first of its edits that is enabled.
    const std::pair<QWidget*, QStringList> pages[] = {
        {tshTpCard, {"medCdTpCard"}},
        {tshReceLoca, {"medCdFilial"}},
        {tshReceServ, {"medCdFiliServ", "medCdServico"}},
        {tshPrepFil, {"medCdFiliPrep"}},
        {tshPrepSer, {"medCdFiliServPrep", "medCdServPrep"}},
        {tshFotoFil, {"medCdFiliFto"}},
        {tshFotoSer, {"medCdFiliServFto", "medCdServFto"}},
    };
    for (const auto& [page, names] : pages)
        for (const QString& name : names) {
            auto* edit = recipe::componente<TMaskEdit>(*this, name);
            m_seletores[page] << edit;
        }
}

const Pagina* TfrmReceitaPadrao::paginaAtiva() const
{
    return m_paginas ? m_paginas->ativa(abaComandos(), focusWidget()) : nullptr;
}

QWidget* TfrmReceitaPadrao::abaComandos() const
{
    QWidget* tab = pgcPadrao->currentWidget();
    if (tab == tshModoPrep)
        return pgcModoPrep->currentWidget();
    if (tab == tshFoto)
        return pgcFoto->currentWidget();
    return tab;
}

void TfrmReceitaPadrao::connectCicloEdicao()
{
    using recipe::Level;
    const std::pair<ClientDataSet*, Level> lists[] = {
        {cdsProdPrat, Level::Padrao}, {cdsReceTpCard, Level::TpCard}, {cdsReceFili, Level::Filial},
        {cdsReceServ, Level::Servico}};
    for (const auto& [list, level] : lists) {
        list->AfterCancel = [this](ClientDataSet& ds) { RecAfterCancel(ds); };
        // A deleted row is sent at once, with whatever else the list has pending.
        list->AfterDelete = [this, method = recipe::levelFields(level).updateMethod](ClientDataSet& ds) {
            m_enviador->envia(ds, {method, QStringLiteral("upd_") + ds.objectName(), {}, {}});
        };
    }
    guardedConnect(cdsPrato, &ClientDataSet::currentChanged, this, [this] { dtsPratoDataChange(); });
    // The standard recipe follows the branch module's limits.
    cdsProdPrat->BeforeInsert = [this](ClientDataSet&) { m_registro->Vd_Receita(QStringLiteral("I")); };
    cdsProdPrat->BeforeEdit = [this](ClientDataSet&) { m_registro->Vd_Receita(QStringLiteral("A")); };
    cdsProdPrat->BeforeDelete = [this](ClientDataSet&) { m_registro->Vd_Receita(QStringLiteral("E")); };
}

// --- Commands ----------------------------------------------------------------------------------

void TfrmReceitaPadrao::sbtIncluirClick() { m_paginas->executa(paginaAtiva(), Comando::Incluir); }

void TfrmReceitaPadrao::sbtAlterarClick() { m_paginas->executa(paginaAtiva(), Comando::Alterar); }

void TfrmReceitaPadrao::sbtExcluirClick() { m_paginas->executa(paginaAtiva(), Comando::Excluir); }

void TfrmReceitaPadrao::sbtProcurarClick() { m_paginas->executa(paginaAtiva(), Comando::Procurar); }

void TfrmReceitaPadrao::sbtVerificarClick() { m_paginas->executa(paginaAtiva(), Comando::Verificar); }

void TfrmReceitaPadrao::sbtCancelarClick() { m_paginas->executa(paginaAtiva(), Comando::Cancelar); }

void TfrmReceitaPadrao::sbtConfirmarClick()
{
    const Pagina* page = paginaAtiva();
    if (!page || !m_paginas->permite(page->tab, Comando::Confirmar))
        m_paginas->executa(page, Comando::Confirmar); // refused
    // In the order the components were created: posting the dish record and the dish data sends
    // them at once; the ingredient lists keep their posted rows until their page is confirmed.
    for (ClientDataSet* dataSet : std::as_const(m_datasets))
        if (editing(*dataSet))
            dataSet->Post();
    m_paginas->executa(page, Comando::Confirmar);
}

// --- Closing with changes --------------------------------------------------------------------------

void TfrmReceitaPadrao::confirmaPendentes()
{
    for (ClientDataSet* dataSet : std::as_const(m_datasets))
        if (editing(*dataSet))
            dataSet->Post();
    // A refusal shows the server's text and ends here (the form stays open).
    for (const Pagina* page : m_paginas->pendentes())
        if (m_paginas->permite(page->tab, Comando::Confirmar))
            page->regras[static_cast<int>(Comando::Confirmar)](*page);
    if (!m_paginas->pendentes().isEmpty())
        throw Abort();
}

void TfrmReceitaPadrao::descartaPendentes()
{
    for (const Pagina* page : m_paginas->pendentes()) {
        ClientDataSet& dataSet = *page->dataSet;
        if (editing(dataSet))
            dataSet.Cancel();
        if (dataSet.Active() && dataSet.ChangeCount() > 0)
            dataSet.CancelUpdates();
    }
}

// --- The dish record -----------------------------------------------------------------------------

void TfrmReceitaPadrao::verificaPrato()
{
    const QString code = codigoArvore();
    cdsPrato->DisableControls();
    const auto restore = qScopeGuard([this] { cdsPrato->EnableControls(); });
    QVariantList args{m_filial};
    recipe::loadPacket(cdsPrato, netReceitaPadrao->call(QStringLiteral("GetPrato"), args, QStringLiteral("get_cdsPrato")));
    dbaPadrao->Resync();
    if (!code.isEmpty())
        dbaPadrao->setSelectedCode(code);
}

// --- The ingredient lists ----------------------------------------------------------------------

void TfrmReceitaPadrao::incluiLista(const Pagina& page)
{
    Habilita_NivelCompleto(m_registro->controles().dbeCdPrato->Text());
    m_registro->carregaPratoAux();
    if (page.dataSet->state() == State::Browse)
        page.dataSet->Insert();
    if (page.tab == tshReceServ || page.tab == tshTpCard)
        focusColumn(gridOf(this, *page.nivel), QStringLiteral("CDARVPROD"));
}

void TfrmReceitaPadrao::alteraLista(const Pagina& page)
{
    if (m_registro->NivelBloq(cdsPrato->FieldByName(QStringLiteral("CDPRATO"))->AsString()))
        falha("NIVBL_ALT");
    TDBGrid* grid = gridOf(this, *page.nivel);
    const auto visible = [grid](const QString& fieldName) {
        const int column = grid ? IndiceCol(*grid, fieldName) : -1;
        return column >= 0 && grid->Columns(column)->Visible();
    };
    QString column = page.nivel->netQty;
    if (visible(QStringLiteral("CDAPRERECE")))
        column = QStringLiteral("CDAPRERECE");
    else if (recipe::flag(cdsParamPlaneja, "IDQTLIQUBRUT") != u"B")
        column = QStringLiteral("SGUNIDADE");
    focusColumn(grid, column);
    page.dataSet->Edit();
    PaginaNivel(page.nivel->level).autorizaEdicao();
}

void TfrmReceitaPadrao::excluiLista(const Pagina& page)
{
    const auto timer = pausaTimer(timIdle);
    ClientDataSet& list = *page.dataSet;
    if (page.tab == tshPadrao)
        m_registro->Vd_Receita(QStringLiteral("E"));
    if (!list.Active() || list.IsEmpty())
        falha("NO_DADOS");
    if (list.state() != State::Browse
        || msgMensagensPadroes().ShowMsg(QStringLiteral("Excl"), mtConfirmation, mbYes | mbNo) != mrYes)
        return;
    list.Delete();
    if (list.IsEmpty()) {
        Habilita_Desabilita(page.fonte);
        recipe::RegistroPrato::RefreshPesqPrato(true);
    }
}

void TfrmReceitaPadrao::procuraLista(const Pagina& page)
{
    if (dbaPadrao->hasFocus()) {
        TfrmPadraoArvPlus::sbtProcurarClick();
        return;
    }
    QStringList fields;
    if (TDBGrid* grid = gridOf(this, *page.nivel))
        for (int i = 0; i < grid->ColumnCount(); ++i)
            if (grid->Columns(i)->Visible())
                fields << grid->Columns(i)->FieldName();
    Procura(*page.dataSet, fields);
}

void TfrmReceitaPadrao::verificaLista(const Pagina& page)
{
    page.dataSet->DisableControls();
    const auto restore = qScopeGuard([&page] { page.dataSet->EnableControls(); });
    carregaLista(page, true);
}

void TfrmReceitaPadrao::enviaLista(const Pagina& page)
{
    // Dish data the server refused goes again with the page's confirmation.
    if (recipe::PainelPrato* painel = m_paineis.at(static_cast<int>(page.nivel->level));
        painel && page.dadosPrato->Active() && page.dadosPrato->ChangeCount() > 0)
        painel->envia();
    Habilita_Desabilita(page.fonte);
    if (!page.dataSet->Active() || page.dataSet->ChangeCount() == 0)
        return;
    m_enviador->envia(*page.dataSet, {page.nivel->updateMethod, QStringLiteral("upd_") + page.dataSet->objectName(), {}, {}});
    Habilita_Desabilita(page.fonte);
    Habilita_Pagina(true);
    recipe::RegistroPrato::RefreshPesqPrato(true);
}

void TfrmReceitaPadrao::cancelaLista(const Pagina& page)
{
    ClientDataSet& list = *page.dataSet;
    if (editing(list)) {
        list.Cancel();
        return;
    }
    if (msgPadrao->ShowMsg(QStringLiteral("Canc_Todas"), mtConfirmation, mbYes | mbNo) != mrYes)
        return;
    ClientDataSet& dish = *page.dadosPrato;
    if (editing(dish))
        dish.Cancel();
    // Every post of the dish data is sent at once: what is still pending was refused.
    if (dish.Active() && dish.ChangeCount() > 0)
        dish.CancelUpdates();
    if (list.Active() && list.ChangeCount() > 0)
        list.CancelUpdates();
    Habilita_Desabilita(page.fonte);
    Habilita_Pagina(true);
}

void TfrmReceitaPadrao::RecAfterCancel(ClientDataSet& list)
{
    if (!list.IsEmpty())
        return;
    Habilita_Pagina(true);
    m_regras->habilitaSeletores(list, hostContext().ModuFili);
    // The branch selectors of a local dish stay with the working branch.
    if (!cdsPrato->IsEmpty() && cdsPrato->FieldByName(QStringLiteral("CDFILAUXPRAT"))->AsString() != u"P")
        Desabilita_Filial(true);
}

// --- Keyboard ----------------------------------------------------------------------------------

void TfrmReceitaPadrao::FormKeyDown(QKeyEvent* event)
{
    TfrmPadraoArvPlus::FormKeyDown(event);
    if (event->isAccepted())
        return;
    const int key = event->key();
    const auto modifiers = event->modifiers() & ~Qt::KeypadModifier;

    if (key == Qt::Key_F12 && modifiers == Qt::NoModifier) {
        for (QWidget* edit : m_seletores.value(abaComandos())) {
            if (edit->isEnabled()) {
                edit->setFocus();
                break;
            }
        }
        event->accept();
        return;
    }

    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && modifiers == Qt::ControlModifier) {
        event->accept();
        // The dataset of the page the toolbar works on; on a recipe page, its dish data being
        // typed is confirmed the same way.
        const Pagina* page = paginaAtiva();
        const ClientDataSet* ds = page ? page->dataSet : nullptr;
        const bool dish = page && page->dadosPrato && editing(*page->dadosPrato);
        if (!ds || !(editing(*ds) || dish) || !mnuConfirmar->isEnabled())
            return;
        const bool inserting = ds->state() == State::Insert;
        mnuConfirmar->trigger();
        if (inserting && mnuIncluir->isEnabled())
            mnuIncluir->trigger();
        return;
    }

    if ((key == Qt::Key_Delete || key == Qt::Key_Backspace) && modifiers == Qt::NoModifier) {
        // The product code is chosen, not erased character by character while browsing.
        for (TDBGrid* grid : {dbgProdPrat, dbgReceTpCard, dbgReceFili, dbgReceServ}) {
            QWidget* editor = grid->InplaceEditor();
            const Field* field = grid->SelectedField();
            if (editor && editor->hasFocus() && field && field->Tag() % 2 == 1 && grid->DataSet()
                && grid->DataSet()->state() == State::Browse)
                event->accept();
        }
    }
}
