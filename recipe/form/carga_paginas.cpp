// Changing pages: what the page left must post, the page load of recipe data by group with the
// reuse of a loaded group, the dish filter, and the enabling rules applied to the active page.
#include "recipe/core/cli_pla01300.h"
#include "recipe/record/containerprato.h"
#include "recipe/record/registroprato.h"
#include "recipe/subpages/fotoprato.h"
#include "recipe/core/enviador.h"
#include "frmreceitapadrao.h"
#include "recipe/core/levelfields.h"
#include "recipe/subpages/modopreparo.h"
#include "regrashabilitacao.h"
#include "recipe/core/respostaservidor.h"
#include "recipe/core/tabelapaginas.h"
#include "recipe/core/validacao.h"

#include "framework/abort.h"
#include "framework/core/consiste.h"
#include "framework/core/hostcontext.h"
#include "framework/data/clientdataset.h"
#include "framework/data/datasource.h"
#include "framework/forms/dbgrid.h"
#include "framework/forms/dbtree.h"
#include "framework/ui/dbedit.h"
#include "framework/ui/maskedit.h"
#include "server/connection.h"

#include <QAction>
#include <QScopedValueRollback>
#include <QTabWidget>

using namespace framework;
using recipe::Pagina;

namespace {

using State = ClientDataSet::State;

bool editing(const ClientDataSet* dataSet)
{
    return dataSet && (dataSet->state() == State::Edit || dataSet->state() == State::Insert);
}

void postIfEditing(ClientDataSet* dataSet)
{
    if (editing(dataSet))
        dataSet->Post();
}

} // namespace

void TfrmReceitaPadrao::pgcPadraoChanging(QWidget* leaving)
{
    if (leaving == tshFormulario) {
        postIfEditing(cdsPrato);
        postIfEditing(m_containers->lista());
        return;
    }
    if (const Pagina* page = m_paginas->pagina(leaving)) {
        postIfEditing(page->dataSet);
        postIfEditing(page->dadosPrato);
        return;
    }
    // The preparation-mode and photo pages post their active sub-page's dataset.
    for (QTabWidget* tabs : {pgcModoPrep, pgcFoto}) {
        if (leaving != tabs->parentWidget())
            continue;
        tabs->setCurrentIndex(tabs == pgcModoPrep ? tabs->indexOf(tshPrepPad) : tabs->indexOf(tshFotoPad));
        postIfEditing(dtsPadrao->DataSet());
    }
}

void TfrmReceitaPadrao::pgcPadraoChange()
{
    QWidget* tab = pgcPadrao->currentWidget();
    m_paginaAtual = tab;
    Limpa_Componentes();
    Atualiza_FiliProc();
    for (const char* cache : {"cdsProdutoCache", "cdsPesquisaProd"})
        if (auto* ds = findChild<ClientDataSet*>(QString::fromLatin1(cache)); ds && ds->Active())
            ds->EmptyDataSet();

    const auto items = pageMenuItems();
    for (const auto& [item, itemPage] : items)
        item->setChecked(itemPage == tab);

    // The toolbar follows the page the table finds (AtualizaBotoes); a page it does not know
    // gets no dataset and its commands stay off.
    const Pagina* page = m_paginas->pagina(tab);
    if (tab == tshModoPrep)
        m_modoPreparo->pgcModoPrepChange();
    else if (tab == tshFoto)
        m_fotos->pgcFotoChange();
    else if (page && page->nivel)
        carregaPaginaReceita(*page);
    else
        AtualizaBotoes();

    atualizaTrocaProduto();
}

void TfrmReceitaPadrao::carregaPaginaReceita(const Pagina& page)
{
    const bool complete = cdsPrato->Active() && !cdsPrato->IsEmpty()
                          && recipe::nivelCompleto(cdsPrato->FieldByName(QStringLiteral("CDPRATO"))->AsString());
    bool selectorFocused = false;
    bool load = complete;
    if (page.tab == tshTpCard) {
        selectorFocused = medCdTpCard->hasFocus();
    } else if (page.tab == tshReceLoca) {
        selectorFocused = medCdFilial->hasFocus();
        load = load && !medCdFilial->Text().isEmpty();
    } else if (page.tab == tshReceServ) {
        selectorFocused = medCdFiliServ->hasFocus() || medCdServico->hasFocus();
    }
    if (load && !selectorFocused)
        carregaLista(page, false);
    if (page.tab == tshPadrao) {
        // A branch changes the portion and container quantities only on its own levels.
        const bool local = cdsPrato->Active() && !cdsPrato->IsEmpty()
                           && cdsPrato->FieldByName(QStringLiteral("CDFILAUXPRAT"))->AsString() != u"P";
        for (const char* name : {"QTPADRAOPRAT", "QTCONTAIPRAT"})
            if (Field* f = cdsDadosPrat->FindField(QString::fromLatin1(name)))
                f->setReadOnly(hostContext().ModuFili || local);
    }
    AtualizaBotoes();
}

QStringList TfrmReceitaPadrao::escopo(const recipe::LevelFields& level) const
{
    // At their key widths, as they are stored.
    switch (level.level) {
    case recipe::Level::TpCard: return {Ajusta(medCdCentral->Text(), 4), framework::AjustaTipoCard(medCdTpCard->Text())};
    case recipe::Level::Filial: return {Ajusta(medCdFilial->Text(), 4)};
    case recipe::Level::Servico: return {Ajusta(medCdFiliServ->Text(), 4), Ajusta(medCdServico->Text(), 5)};
    case recipe::Level::Padrao: break;
    }
    return {};
}

void TfrmReceitaPadrao::carregaLista(const Pagina& page, bool force)
{
    const recipe::LevelFields& level = *page.nivel;
    ClientDataSet& list = *page.dataSet;
    const QString group = grupo(cdsPrato->FieldByName(QStringLiteral("CDPRATO"))->AsString());
    const QStringList keys = escopo(level);
    Carregado& loaded = m_carregado[static_cast<int>(level.level)];
    const bool reuse = !force && list.Active() && !list.IsEmpty() && loaded.grupo == group && loaded.escopo == keys;
    if (!reuse) {
        // Rows posted and not yet confirmed are not thrown away with the group they belong to.
        if (list.Active() && list.ChangeCount() > 0)
            enviaLista(page);
        QVariantList args{group, m_filial};
        for (const QString& key : keys)
            args << key;
        const QVariantList answer = recipe::packetArray(
            netReceitaPadrao->call(level.loadMethod, args, QStringLiteral("get_") + list.objectName()));
        if (answer.size() < 2)
            throw Error(QStringLiteral("Resposta incompleta do servidor em %1.").arg(level.loadMethod));
        loaded = {};
        list.SetData(toPacket(answer[0]));
        page.dadosPrato->SetData(toPacket(answer[1]));
        loaded = {group, keys};
    }
    recipe::filtraPeloPrato(list, *cdsPrato);
    recipe::filtraPeloPrato(*page.dadosPrato, *cdsPrato);
    dtsPadrao->setDataSet(&list);
}

bool TfrmReceitaPadrao::trocaProdutoPermitida() const
{
    // A standard dish's ingredient, swapped in the revised recipe of a level whose branch keeps
    // its revised recipes (the parameters read on entering the level's grid), from the level's
    // grid, on a list with rows, outside query mode.
    QWidget* tab = pgcPadrao->currentWidget();
    if (tab != tshTpCard && tab != tshReceLoca && tab != tshReceServ)
        return false;
    if (Cli_pla01300::boConsulta || recipe::flag(cdsParamPrato, "IDBLOALTRELO") != u"S" || !cdsPrato->Active()
        || cdsPrato->IsEmpty() || cdsPrato->FieldByName(QStringLiteral("CDFILAUXPRAT"))->AsString() != u"P")
        return false;
    const Pagina* page = m_paginas->pagina(tab);
    if (!page || !page->nivel || !page->dataSet->Active() || page->dataSet->IsEmpty())
        return false;
    auto* grid = findChild<TDBGrid*>(page->nivel->grid);
    return grid && (grid->hasFocus() || grid->isAncestorOf(focusWidget()));
}

void TfrmReceitaPadrao::atualizaTrocaProduto()
{
    const bool troca = trocaProdutoPermitida();
    for (const char* name : {"mnuTrocaProd", "sbtTrocaProd"}) {
        if (auto* action = findChild<QAction*>(QString::fromLatin1(name)))
            action->setEnabled(troca);
        else if (auto* widget = findChild<QWidget*>(QString::fromLatin1(name)))
            widget->setEnabled(troca);
    }
}

void TfrmReceitaPadrao::dtsPratoDataChange()
{
    if (!m_regras || cdsPrato->state() != State::Browse)
        return;
    const QString code = cdsPrato->IsEmpty() ? QString() : cdsPrato->FieldByName(QStringLiteral("CDPRATO"))->AsString();
    const QString origem = cdsPrato->IsEmpty() ? QString() : cdsPrato->FieldByName(QStringLiteral("CDFILAUXPRAT"))->AsString();
    const bool complete = recipe::nivelCompleto(code);
    // A local dish has no standard recipe. Its pages are left before they are disabled, or the
    // tabs would move on to whatever page comes next.
    if (complete && origem != u"P") {
        if (pgcPadrao->currentWidget() == tshPadrao)
            pgcPadrao->setCurrentWidget(tshFormulario);
        if (pgcModoPrep->currentWidget() == tshPrepPad)
            pgcModoPrep->setCurrentWidget(tshPrepFil);
        if (pgcFoto->currentWidget() == tshFotoPad)
            pgcFoto->setCurrentWidget(tshFotoFil);
    }
    Habilita_Pagina(complete);
    // A local dish, as a branch module, keeps the branch selectors on the working branch.
    Desabilita_Filial(hostContext().ModuFili || (!origem.isEmpty() && origem != u"P"));
    // The record's controls of a dish at the last level follow the dish reached.
    Habilita_NivelCompleto(code);
    pgcPadraoChange();
}

// --- Enabling rules --------------------------------------------------------------------------

namespace {

recipe::RegrasHabilitacao::Situacao situacao(const recipe::TabelaPaginas& paginas, const DataSource* source, bool consulta)
{
    recipe::RegrasHabilitacao::Situacao s;
    const ClientDataSet* ds = source ? source->DataSet() : nullptr;
    s.estado = ds ? ds->state() : State::Inactive;
    s.linhas = ds && ds->Active() && !ds->IsEmpty();
    s.pendente = ds && ds->Active() && ds->ChangeCount() > 0;
    // A recipe page's dish data being typed, or refused by the server, is confirmed or
    // cancelled with the page.
    for (const Pagina& page : paginas.paginas())
        if (page.fonte == source && page.dadosPrato && recipe::TabelaPaginas::pendente(page.dadosPrato))
            s.pendente = true;
    s.consulta = consulta;
    s.moduloP = hostContext().ModuloAtiv == u"P";
    s.moduloFilial = hostContext().ModuFili;
    return s;
}

// A command the page has no rule for would only be refused: it stays off.
void desabilitaSemRegra(const TfrmReceitaPadrao& form, const Pagina* page)
{
    if (!page)
        return;
    const std::pair<recipe::Comando, QAction*> commands[] = {
        {recipe::Comando::Incluir, form.mnuIncluir},     {recipe::Comando::Alterar, form.mnuAlterar},
        {recipe::Comando::Excluir, form.mnuExcluir},     {recipe::Comando::Procurar, form.mnuProcurar},
        {recipe::Comando::Verificar, form.mnuVerificar}, {recipe::Comando::Confirmar, form.mnuConfirmar},
        {recipe::Comando::Cancelar, form.mnuCancelar}};
    for (const auto& [command, action] : commands)
        if (!form.paginas().permite(page->tab, command))
            action->setEnabled(false);
}

} // namespace

void TfrmReceitaPadrao::Habilita_Desabilita(DataSource* source)
{
    auto s = situacao(*m_paginas, source, Cli_pla01300::boConsulta);
    s.prato = source && source->DataSet() == cdsPrato;
    s.arvoreConfere = m_registro->treeMatchesRecord();
    const Pagina* page = paginaAtiva();
    s.paginaReceita = page && page->nivel;
    s.modoPreparo = pgcPadrao->currentWidget() == tshModoPrep;
    s.trocaProduto = trocaProdutoPermitida();
    s.selecionaCentral = recipe::flag(cdsGerParamGeral, "IDPERMSELCENTRALPLA") == u"S";
    m_regras->Habilita_Desabilita(s);
    const recipe::ControlesRegistro& registro = m_registro->controles();
    if (s.estado == State::Edit && s.prato && registro.dbeCdPrato->hasFocus())
        registro.dbeNmPrato->setFocus();
    if (page && page->dataSet == m_containers->lista())
        m_containers->habilitaBarra();
    desabilitaSemRegra(*this, page);
}

void TfrmReceitaPadrao::Habilita_Botoes(DataSource* source, bool enabled)
{
    auto s = situacao(*m_paginas, source, Cli_pla01300::boConsulta);
    s.prato = source && source->DataSet() == cdsPrato;
    s.arvoreConfere = m_registro->treeMatchesRecord();
    const Pagina* page = paginaAtiva();
    s.paginaReceita = page && page->nivel;
    s.trocaProduto = trocaProdutoPermitida();
    m_regras->Habilita_Botoes(s, enabled);
    desabilitaSemRegra(*this, page);
}

void TfrmReceitaPadrao::Limpa_Componentes()
{
    m_regras->Limpa_Componentes();
}

void TfrmReceitaPadrao::AtualizaBotoes()
{
    // The base form runs this before the form's own parts exist.
    if (!m_regras || !m_paginas)
        return TfrmPadraoArvPlus::AtualizaBotoes();
    // The data source's switch below comes back here.
    if (m_atualizandoBotoes)
        return;
    const QScopedValueRollback<bool> running(m_atualizandoBotoes, true);
    const Pagina* page = paginaAtiva();
    dtsPadrao->setDataSet(page ? page->dataSet : nullptr);
    if (!page) {
        m_regras->desabilitaComandos();
        return;
    }
    // While the page's branch, service or menu type is being chosen nothing can be edited.
    if (recipe::TabelaPaginas::selecionando(*page, focusWidget()))
        Habilita_Botoes(page->fonte, false);
    else
        Habilita_Desabilita(page->fonte);
}
