#include "regrashabilitacao.h"

#include "recipe/core/componente.h"

#include "framework/abort.h"
#include "framework/ui/dbcheckbox.h"
#include "framework/ui/dbedit.h"
#include "framework/ui/dbnavigator.h"

#include <QAbstractButton>
#include <QAction>
#include <QWidget>

namespace recipe {

namespace {

using State = framework::ClientDataSet::State;

Alvo alvo(QObject& form, const char* name)
{
    if (auto* action = form.findChild<QAction*>(QString::fromLatin1(name)))
        return Alvo(action);
    return Alvo(componente<QWidget>(form, name));
}

QList<Alvo> alvos(QObject& form, std::initializer_list<const char*> names)
{
    QList<Alvo> list;
    for (const char* name : names)
        list << alvo(form, name);
    return list;
}

void enable(const QList<Alvo>& list, bool enabled)
{
    for (const Alvo& a : list)
        a.setEnabled(enabled);
}

const std::initializer_list<const char*> nivelCompletoNames{
    "btpUnidade",    "dbeCdUnidade",    "lblUnid",           "lblArredTrans",   "dbeArredTrans",
    "dbgContainer",  "lblFormaPreparo", "dbeNrFormaPreparo", "btnFormaPreparo", "lblFrequencia",
    "dbcFrequencia", "lblTempo",        "dbeTempo",          "sbtPercentual",   "mnuPercentual"};
const std::initializer_list<const char*> produtoProducaoNames{
    "lblProdPadr", "dbeCdProdPadr", "btnProdPadr", "lblProdFili", "dbeCdProdFili",
    "btnProdFili", "lblProdServ",   "dbeCdProdServ", "btnProdServ"};
const std::initializer_list<const char*> cabecalhoNames{"panTpCard",   "panFilial",   "panServico", "panPrepFili",
                                                        "panPrepServ", "panFotoFili", "panFotoServ"};
const std::initializer_list<const char*> outrosNames{
    "lblTpCard", "medCdTpCard", "btpTpCard", "lblCdFilialLoc", "medCdFilial", "btpFilial", "lblCdServico",
    "medCdServico", "btpServico", "lblCdFiliServ", "medCdFiliServ", "btpFiliServ",
    "mnuIncluir", "mnuAlterar", "mnuExcluir", "mnuProcurar", "mnuVerificar", "mnuCancelar", "mnuConfirmar",
    "mnuImporta", "mnuNutrientes", "sbtNutrientes", "sbtCalcPadrao", "sbtCalcTC", "sbtCalcPratLoca", "sbtCalcServ",
    "mnuCusto", "mnuImportFator", "mnuCalculadora", "mnuRevQtde", "mnuUtProdRece", "sbtUtProdRece", "mnuTrocaProd",
    "sbtTrocaProd", "lblCentral", "medCdCentral", "sbtCentral", "edtNmCentral", "sbtSalva", "sbtDesativa",
    "sbtAtiva", "lblNomeRes", "fpnReceita", "sbtAbrirFto", "dbcAjustaFto", "sbtAtivaFto", "sbtDesativaFto",
    "dbeCdPrato", "lblCdPrato", "panFiliPrato", "dbeNrPrep", "dbeNomeMod", "dbnNavModPrep", "dbeNrFoto",
    "dbnNavFoto"};

} // namespace

Alvo::Alvo(QObject* component)
    : m_action(qobject_cast<QAction*>(component)), m_widget(qobject_cast<QWidget*>(component))
{
}

void Alvo::setEnabled(bool enabled) const
{
    if (m_action)
        m_action->setEnabled(enabled);
    else if (m_widget)
        m_widget->setEnabled(enabled);
}

bool Alvo::isEnabled() const
{
    return m_action ? m_action->isEnabled() : m_widget && m_widget->isEnabled();
}

RegrasHabilitacao::RegrasHabilitacao(QObject& form)
{
    incluir = alvo(form, "mnuIncluir");
    alterar = alvo(form, "mnuAlterar");
    excluir = alvo(form, "mnuExcluir");
    procurar = alvo(form, "mnuProcurar");
    verificar = alvo(form, "mnuVerificar");
    cancelar = alvo(form, "mnuCancelar");
    confirmar = alvo(form, "mnuConfirmar");
    importa = alvo(form, "mnuImporta");
    nutrientes = alvo(form, "mnuNutrientes");
    sbtNutrientes = alvo(form, "sbtNutrientes");
    calculaPeso = alvos(form, {"sbtCalcPadrao", "sbtCalcTC", "sbtCalcPratLoca", "sbtCalcServ"});
    custoEFerramentas = alvos(form, {"mnuCusto", "mnuImportFator", "mnuCalculadora", "mnuRevQtde"});
    utilizacaoProduto = alvos(form, {"mnuUtProdRece", "sbtUtProdRece"});
    trocaProduto = alvos(form, {"mnuTrocaProd", "sbtTrocaProd"});
    produtoProducao = alvos(form, produtoProducaoNames);
    cabecalhos = alvos(form, cabecalhoNames);
    central = alvos(form, {"lblCentral", "medCdCentral", "sbtCentral"});
    edtNmCentral = alvo(form, "edtNmCentral");
    sbtSalva = alvo(form, "sbtSalva");
    sbtDesativa = alvo(form, "sbtDesativa");
    sbtAtiva = alvo(form, "sbtAtiva");
    lblNomeRes = alvo(form, "lblNomeRes");
    // The format panel's last two buttons (cut and copy) keep their state.
    const QList<QAbstractButton*> botoes =
        componente<QWidget>(form, "fpnReceita")->findChildren<QAbstractButton*>(Qt::FindDirectChildrenOnly);
    for (int i = 0; i < botoes.size() - 2; ++i)
        formatacao << botoes[i];
    sbtAbrirFto = alvo(form, "sbtAbrirFto");
    fotoAjuste = alvos(form, {"dbcAjustaFto", "sbtAtivaFto", "sbtDesativaFto"});
    dbeCdPrato = alvo(form, "dbeCdPrato");
    lblCdPrato = alvo(form, "lblCdPrato");
    panFiliPrato = alvo(form, "panFiliPrato");
    nivelCompleto = alvos(form, nivelCompletoNames);
    seletores = {
        {QStringLiteral("cdsReceTpCard"), alvos(form, {"lblTpCard", "medCdTpCard", "btpTpCard"}), {}},
        {QStringLiteral("cdsReceFili"), {}, alvos(form, {"lblCdFilialLoc", "medCdFilial", "btpFilial"})},
        {QStringLiteral("cdsReceServ"), alvos(form, {"lblCdServico", "medCdServico", "btpServico"}),
         alvos(form, {"lblCdFiliServ", "medCdFiliServ", "btpFiliServ"})},
    };
    dbeNrPrep = componente<framework::TDBEdit>(form, "dbeNrPrep");
    dbeNomeMod = componente<framework::TDBEdit>(form, "dbeNomeMod");
    dbeNrFoto = componente<framework::TDBEdit>(form, "dbeNrFoto");
    dbcAjustaFto = componente<framework::TDBCheckBox>(form, "dbcAjustaFto");
    dbnNavModPrep = componente<framework::TDBNavigator>(form, "dbnNavModPrep");
    dbnNavFoto = componente<framework::TDBNavigator>(form, "dbnNavFoto");
}

QStringList RegrasHabilitacao::nomes()
{
    QStringList names;
    for (const auto& list : {nivelCompletoNames, produtoProducaoNames, cabecalhoNames, outrosNames})
        for (const char* name : list)
            names << QString::fromLatin1(name);
    return names;
}

void RegrasHabilitacao::comandos(bool incluirOk, bool alterarOk, bool procurarOk, bool confirmarOk) const
{
    incluir.setEnabled(incluirOk);
    alterar.setEnabled(alterarOk);
    excluir.setEnabled(alterarOk);
    procurar.setEnabled(procurarOk);
    verificar.setEnabled(procurarOk);
    cancelar.setEnabled(confirmarOk);
    confirmar.setEnabled(confirmarOk);
}

void RegrasHabilitacao::dependentes(const Situacao& s, bool importaOk, bool nutrientesOk, bool trocaOk) const
{
    const bool E = s.estado == State::Edit || s.estado == State::Insert;
    importa.setEnabled(importaOk);
    nutrientes.setEnabled(nutrientesOk);
    sbtNutrientes.setEnabled(nutrientesOk);
    enable(calculaPeso, nutrientesOk);
    enable(custoEFerramentas, nutrientesOk && !s.moduloP);
    enable(utilizacaoProduto, !E && !s.consulta && !s.moduloP);
    enable(trocaProduto, trocaOk);
}

void RegrasHabilitacao::Habilita_Desabilita(const Situacao& s) const
{
    const bool B = s.estado == State::Browse;
    const bool E = s.estado == State::Edit || s.estado == State::Insert || s.pendente;
    const bool N = s.linhas;
    // On the preparation-mode page query mode still lets the texts be kept.
    const bool Q = s.consulta && !s.modoPreparo;
    const bool M = !s.prato || s.arvoreConfere;
    comandos(B && !Q && M, B && N && !Q && M, B && N, E && (!s.consulta || s.modoPreparo));
    dependentes(s, s.paginaReceita && B && !s.consulta, s.paginaReceita && B && N && !s.consulta,
                s.trocaProduto && B && N && !s.consulta);
    enable(produtoProducao, !s.consulta);
    enable(cabecalhos, !E);
    enable(central, s.selecionaCentral);
    edtNmCentral.setEnabled(false);

    const bool salva = E || (B && N);
    sbtSalva.setEnabled(salva);
    sbtDesativa.setEnabled(salva && !confirmar.isEnabled());
    sbtAtiva.setEnabled(salva && !confirmar.isEnabled());
    lblNomeRes.setEnabled(salva);
    for (QWidget* button : formatacao)
        button->setEnabled(salva);
    sbtAbrirFto.setEnabled(E || (B && N && !s.consulta));
    enable(fotoAjuste, sbtAbrirFto.isEnabled() && !s.consulta);

    if (s.prato) {
        dbeCdPrato.setEnabled(s.estado == State::Insert);
        lblCdPrato.setEnabled(s.estado == State::Insert);
    }
    panFiliPrato.setEnabled(!s.moduloFilial && (B || s.estado == State::Inactive) && !s.consulta);
}

void RegrasHabilitacao::Habilita_Botoes(const Situacao& s, bool enabled) const
{
    const bool N = s.linhas;
    const bool M = !s.prato || s.arvoreConfere;
    const bool E = s.estado == State::Edit || s.estado == State::Insert || s.pendente;
    const bool incluirOk = enabled && !s.consulta && M;
    comandos(incluirOk, incluirOk && N, enabled && N, E && !s.consulta);
    dependentes(s, s.paginaReceita && enabled && !s.consulta, s.paginaReceita && enabled && N && !s.consulta,
                s.trocaProduto && N && !s.consulta);
    sbtSalva.setEnabled(enabled);
    sbtAbrirFto.setEnabled(enabled);
}

void RegrasHabilitacao::Habilita_NivelCompleto(bool complete) const
{
    enable(nivelCompleto, complete);
}

void RegrasHabilitacao::desabilitaComandos() const
{
    comandos(false, false, false, false);
}

void RegrasHabilitacao::Limpa_Componentes() const
{
    for (framework::TDBEdit* edit : {dbeNrPrep, dbeNomeMod, dbeNrFoto})
        edit->setDataSource(nullptr);
    dbcAjustaFto->setDataSource(nullptr);
    dbnNavModPrep->setDataSource(nullptr);
    dbnNavFoto->setDataSource(nullptr);
}

void RegrasHabilitacao::habilitaSeletores(const framework::ClientDataSet& list, bool moduloFilial) const
{
    for (const Seletores& s : seletores) {
        if (s.lista != list.objectName())
            continue;
        enable(s.sempre, true);
        if (!moduloFilial)
            enable(s.foraFilial, true);
    }
}

} // namespace recipe
