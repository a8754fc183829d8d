#include "lancadores.h"
#include "recipe/core/cli_pla01300.h"
#include "recipe/core/componente.h"
#include "frmreceitapadrao.h"
#include "recipe/core/levelfields.h"
#include "recipe/core/respostaservidor.h"
#include "recipe/core/tabelapaginas.h"
#include "recipe/core/validacao.h"

#include "framework/abort.h"
#include "framework/core/consiste.h"
#include "framework/core/hostcontext.h"
#include "framework/data/clientdataset.h"
#include "framework/data/datasource.h"
#include "framework/forms/dbgrid.h"
#include "framework/ui/guard.h"
#include "framework/ui/maskedit.h"
#include "framework/ui/messages.h"
#include "framework/ui/validafilial.h"
#include "server/autoriza.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QTabWidget>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>

using namespace framework;

namespace recipe {

namespace {

constexpr int kindReceita = 4;
const QString X = QStringLiteral("X");

// Host modules that work on a list of the form itself receive it by its address.
qlonglong referencia(const ClientDataSet* list) { return qlonglong(reinterpret_cast<quintptr>(list)); }

} // namespace

Lancadores::Lancadores(TfrmReceitaPadrao& form) : m_form(form)
{
    form.msgPadrao->Add({
        {"ROTI_SUCESS", "Rotina concluída com sucesso."},
        {"ROTI_INDISP", "A rotina \"%s\" ainda não está disponível nesta instalação."},
        {"FATOAJUS_EMPTY", "Não há receita para aplicar o fator de ajuste."},
    });
    m_pmnImpRecPrat = popup("pmnImpRecPrat", {{"pmnReceita", "&Importar Receitas"}, {"pmnPrato", "&Revisar Receitas"}});
    m_pmnRelatorio = popup("pmnRelatorio", {{"mnuPrato", "&Prato"},
                                            {"mnuNutriPrato", "&Nutrientes dos Pratos"},
                                            {"PratoxReceitaUtilizada1", "Prato x Receita Utilizada"},
                                            {"ReceitasporProduto1", "&Receitas por Produto"}});
    m_pmnPercentual = popup("pmnPercentual", {{"pmnReplicarPorServico", "Replicação de Receitas por Serviço"},
                                              {"pmnPercentualSobreReceita", "Percentual de Receitas por Serviço"}});
    m_pmnCalculadora =
        popup("pmnCalculadora", {{"pmnFatorAjuste", "Ajustar Quantidades"}, {"pmnRevQtde", "Revisar Quantidades"}});

    m_sbtImporta = form.findChild<QToolButton*>(QStringLiteral("sbtImporta"));
    m_sbtPercentual = form.findChild<QToolButton*>(QStringLiteral("sbtPercentual"));
    if (!m_sbtImporta || !m_sbtPercentual)
        throw Error(QStringLiteral("Componente sbtImporta ou sbtPercentual não encontrado no formulário."));
    // The calculator opens the quantity tools, enabled as their menu item is.
    m_sbtCalculadora = new QToolButton(form.tlbPadrao);
    m_sbtCalculadora->setObjectName(QStringLiteral("sbtCalculadora"));
    m_sbtCalculadora->setText(QStringLiteral("Calculadora"));
    m_sbtCalculadora->setIcon(form.style()->standardIcon(QStyle::SP_FileDialogDetailedView));
    m_sbtCalculadora->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    m_sbtCalculadora->setToolTip(QStringLiteral("Ajustar ou revisar quantidades"));
    form.tlbPadrao->addWidget(m_sbtCalculadora);
    QAction* calculadora = item("mnuCalculadora");
    const auto segueCalculadora = [this, calculadora] { m_sbtCalculadora->setEnabled(calculadora->isEnabled()); };
    guardedConnect(calculadora, &QAction::changed, m_sbtCalculadora, segueCalculadora);
    segueCalculadora();

    const auto on = [&form](QAction* action, auto handler) {
        guardedConnect(action, &QAction::triggered, &form, handler);
    };
    on(item("mnuImporta"), [this] { sbtImportaClick(); });
    on(item("pmnReceita"), [this] { pmnReceitaClick(); });
    on(item("pmnPrato"), [this] { pmnPratoClick(); });
    on(item("mnuPrato"), [this] { mnuPratoClick(); });
    on(item("mnuNutriPrato"), [this] { mnuNutriPratoClick(); });
    on(item("PratoxReceitaUtilizada1"), [this] { PratoxReceitaUtilizada1Click(); });
    on(item("ReceitasporProduto1"), [this] { ReceitasporProduto1Click(); });
    on(item("mnuUtProdRece"), [this] { sbtUtProdReceClick(); });
    on(item("mnuNutrientes"), [this] { sbtNutrientesClick(); });
    on(item("mnuCusto"), [this] { sbtCustoClick(); });
    on(item("pmnReplicarPorServico"), [this] { pmnReplicarPorServicoClick(); });
    on(item("pmnPercentualSobreReceita"), [this] { pmnPercentualSobreReceitaClick(); });
    on(item("mnuCalculadora"), [this] { pmnFatorAjusteClick(); });
    on(item("mnuRevQtde"), [this] { pmnRevQtdeClick(); });
    // The popup's items are the commands of the recipe menu.
    on(item("pmnFatorAjuste"), [this] { item("mnuCalculadora")->trigger(); });
    on(item("pmnRevQtde"), [this] { item("mnuRevQtde")->trigger(); });
    guardedConnect(m_sbtCalculadora, &QToolButton::clicked, &form, [this] { sbtCalculadoraClick(); });
    guardedConnect(m_sbtPercentual, &QToolButton::clicked, &form, [this] { sbtPercentualClick(); });
    on(form.mnuPercentual, [this] { m_sbtPercentual->click(); });
}

QMenu* Lancadores::popup(const char* name, std::initializer_list<std::pair<const char*, const char*>> items)
{
    auto* menu = new QMenu(&m_form);
    menu->setObjectName(QString::fromLatin1(name));
    for (const auto& [itemName, caption] : items)
        menu->addAction(QString::fromUtf8(caption))->setObjectName(QString::fromLatin1(itemName));
    return menu;
}

QAction* Lancadores::item(const char* name) const
{
    return componente<QAction>(m_form, name);
}

void Lancadores::abreAbaixo(QMenu* menu, QWidget* button) const
{
    menu->popup(button->mapToGlobal(QPoint(0, button->height())));
}

void Lancadores::disponivel(bool connected, const char* routine) const
{
    if (connected)
        return;
    m_form.msgPadrao->ShowMsg(QStringLiteral("ROTI_INDISP"), mtInformation, mbOK, {QString::fromUtf8(routine)});
    throw Abort();
}

QString Lancadores::prato(const char* field) const
{
    const ClientDataSet& prato = *m_form.cdsPrato;
    return prato.Active() && !prato.IsEmpty() ? prato.FieldByName(QString::fromLatin1(field))->AsString() : QString();
}

ClientDataSet* Lancadores::listaDaPagina() const
{
    const Pagina* page = m_form.paginas().pagina(m_form.pgcPadrao->currentWidget());
    return page && page->nivel ? page->dataSet : nullptr;
}

QString Lancadores::nome(const char* edit) const
{
    auto* name = m_form.findChild<QLineEdit*>(QString::fromLatin1(edit));
    return name ? name->text() : QString();
}

// --- Import and review ------------------------------------------------------------------------

void Lancadores::sbtImportaClick()
{
    QWidget* tab = m_form.pgcPadrao->currentWidget();
    if (tab == m_form.tshReceServ)
        validaServico(true);
    else if (tab == m_form.tshTpCard)
        m_form.Vd_CdTipoCard(true);
    abreAbaixo(m_pmnImpRecPrat, m_sbtImporta);
}

void Lancadores::recusaPadrao() const
{
    if (prato("CDFILAUXPRAT") != u"P")
        MensErro(m_form.msgPadrao->Msg(QStringLiteral("RECPAD_N_PRATLOCA")));
    if (hostContext().ModuFili)
        MensErro(m_form.msgPadrao->Msg(QStringLiteral("RECPAD_N_INC")));
}

void Lancadores::validaNivel(TDBGrid& grid, TMaskEdit& branch, const char* nameEdit) const
{
    m_form.BloqAltRecLo(true);
    grid.setFocus();
    const QString code = Ajusta(branch.Text(), 4);
    if (code != branch.Text())
        branch.setText(code);
    try {
        const QString name = ValidaFilial(code, hostContext().Operador);
        if (auto* edit = m_form.findChild<QLineEdit*>(QString::fromLatin1(nameEdit)))
            edit->setText(name);
    } catch (...) {
        branch.setFocus();
        throw;
    }
    const ClientDataSet* list = listaDaPagina();
    if (!list || !list->Active() || list->IsEmpty())
        m_form.BloPratLoc();
}

void Lancadores::validaServico(bool required) const
{
    auto* name = m_form.findChild<QLineEdit*>(QStringLiteral("edtNmServico"));
    Validacao(*m_form.msgPadrao, *m_form.qryServico)
        .Vd_CdServico(m_form.medCdFiliServ->Text(), *m_form.medCdServico, *name, required);
}

void Lancadores::pmnReceitaClick()
{
    QWidget* tab = m_form.pgcPadrao->currentWidget();
    const QString working = m_form.medCdFilial_pan->Text();
    QString branch = working;
    QString service;
    QString kind;
    if (tab == m_form.tshPadrao) {
        recusaPadrao();
        if (!server::Autoriza(*m_form.netAutoriza, kindReceita, QStringLiteral("ALTERACAO_PRODUTO_RECEITA_PADRAO")))
            throw Abort();
        m_form.dbgProdPrat->setFocus();
        kind = QStringLiteral("P");
    } else if (tab == m_form.tshTpCard || tab == m_form.tshReceLoca) {
        const bool tpCard = tab == m_form.tshTpCard;
        validaNivel(tpCard ? *m_form.dbgReceTpCard : *m_form.dbgReceFili, *m_form.medCdFilial, "edtNmFilialLoc");
        branch = m_form.medCdFilial->Text();
        kind = tpCard ? QStringLiteral("C") : QStringLiteral("F");
    } else if (tab == m_form.tshReceServ) {
        validaNivel(*m_form.dbgReceServ, *m_form.medCdFiliServ, "edtNmFiliServ");
        validaServico(true);
        branch = m_form.medCdFiliServ->Text();
        service = m_form.medCdServico->Text();
        kind = QStringLiteral("S");
    } else {
        return;
    }
    hostContext().LoadBPL(QStringLiteral("PLA01301"),
                          {referencia(listaDaPagina()), prato("CDPRATO"), prato("CDFILAUXPRAT"),
                           branch + working, service, m_form.medCdCentral->Text(), m_form.medCdTpCard->Text(), kind,
                           false});
    m_form.sbtVerificarClick();
    m_form.AtualizaBotoes();
}

void Lancadores::pmnPratoClick()
{
    QWidget* tab = m_form.pgcPadrao->currentWidget();
    QString level;
    if (tab == m_form.tshPadrao) {
        recusaPadrao();
        m_form.dbgProdPrat->setFocus();
        level = QStringLiteral("P");
    } else if (tab == m_form.tshTpCard) {
        m_form.dbgReceTpCard->setFocus();
        level = QStringLiteral("F");
    } else if (tab == m_form.tshReceLoca) {
        level = QStringLiteral("F");
    } else if (tab == m_form.tshReceServ) {
        level = QStringLiteral("S");
    } else {
        return;
    }
    disponivel(bool(companheiros.CriaImportacaoPrato), "Revisar Receitas");
    companheiros.CriaImportacaoPrato(level);
    // The review may have changed the recipes the page shows.
    m_form.sbtVerificarClick();
}

// --- Reports and host modules -----------------------------------------------------------------

void Lancadores::sbtImprimirClick() { abreAbaixo(m_pmnRelatorio, m_form.sbtImprimir); }

void Lancadores::mnuPratoClick()
{
    hostContext().LoadBPL(QStringLiteral("PLA01303"), {m_form.medCdFilial_pan->Text()});
}

void Lancadores::mnuNutriPratoClick()
{
    disponivel(bool(companheiros.CriaNutriPrat), "Nutrientes dos Pratos");
    companheiros.CriaNutriPrat();
}

void Lancadores::PratoxReceitaUtilizada1Click()
{
    hostContext().LoadBPL(QStringLiteral("PLA05400"), {m_form.medCdFilial_pan->Text()});
}

void Lancadores::ReceitasporProduto1Click()
{
    disponivel(bool(companheiros.MostraReceProd), "Receitas por Produto");
    companheiros.MostraReceProd();
}

void Lancadores::sbtUtProdReceClick()
{
    hostContext().LoadBPL(QStringLiteral("PLA01308"), {m_form.medCdFilial_pan->Text()});
}

// --- Nutrients and cost ---------------------------------------------------------------------------

void Lancadores::sbtNutrientesClick()
{
    disponivel(bool(companheiros.CriaNutrPrat), "Consultar Nutrientes");
    // The page is read again first: the query shows what the server holds.
    m_form.pgcPadraoChange();
    QWidget* tab = m_form.pgcPadrao->currentWidget();
    // Central, menu type, branch and service, each as code and name; "X" is a level not taken.
    QStringList args;
    if (tab == m_form.tshPadrao)
        args = {X, {}, X, {}, X, {}, X, {}};
    else if (tab == m_form.tshTpCard)
        args = {m_form.medCdCentral->Text(), m_form.edtNmCentral->text(), m_form.medCdTpCard->Text(),
                m_form.edtNmTpCard->text(), X, {}, X, {}};
    else if (tab == m_form.tshReceLoca)
        args = {X, {}, X, {}, m_form.medCdFilial->Text(), nome("edtNmFilialLoc"), X, {}};
    else if (tab == m_form.tshReceServ)
        args = {X, {}, X, {}, m_form.medCdFiliServ->Text(), nome("edtNmFiliServ"), m_form.medCdServico->Text(),
                nome("edtNmServico")};
    else
        return;
    args << prato("CDPRATO") << prato("NMPRATO") << prato("CDFILAUXPRAT");
    companheiros.CriaNutrPrat(args);
}

void Lancadores::sbtCustoClick()
{
    disponivel(bool(companheiros.CriaCustoPrato), "Consultar Custo");
    m_form.pgcPadraoChange();
    QWidget* tab = m_form.pgcPadrao->currentWidget();
    // Central and menu type, the recipe's branch, the branch whose prices apply, the service;
    // what a page does not set stays empty.
    QStringList args;
    if (tab == m_form.tshPadrao)
        args = {{}, {}, {}, {}, {}, {}, m_form.filialTrabalho(), {}, {}};
    else if (tab == m_form.tshTpCard)
        args = {m_form.medCdCentral->Text(), m_form.edtNmCentral->text(), m_form.medCdTpCard->Text(),
                m_form.edtNmTpCard->text(), {}, {}, m_form.filialTrabalho(), {}, {}};
    else if (tab == m_form.tshReceLoca)
        args = {{}, {}, {}, {}, m_form.medCdFilial->Text(), nome("edtNmFilialLoc"), m_form.medCdFilial->Text(), {}, {}};
    else if (tab == m_form.tshReceServ)
        args = {{}, {}, {}, {}, m_form.medCdFiliServ->Text(), nome("edtNmFiliServ"), m_form.medCdFiliServ->Text(),
                m_form.medCdServico->Text(), nome("edtNmServico")};
    else
        return;
    args << prato("CDPRATO") << prato("NMPRATO") << prato("CDFILAUXPRAT");
    companheiros.CriaCustoPrato(args);
}

// --- Tools, replication and percentage ----------------------------------------------------------

void Lancadores::sbtCalculadoraClick()
{
    if (m_form.pgcPadrao->currentWidget() == m_form.tshReceServ)
        validaServico(true);
    abreAbaixo(m_pmnCalculadora, m_sbtCalculadora);
}

void Lancadores::pmnFatorAjusteClick()
{
    const LevelFields* level = levelFieldsOfPage(m_form.pgcPadrao->currentWidget()->objectName());
    if (!level)
        return;
    ClientDataSet* list = listaDaPagina();
    if (!list || !list->Active() || list->IsEmpty())
        MensErro(m_form.msgPadrao->Msg(QStringLiteral("FATOAJUS_EMPTY")));
    // The adjustment starts from a quantity, unit or factor column: elsewhere the quantity the
    // branch types is chosen for it.
    auto* grid = m_form.findChild<TDBGrid*>(level->grid);
    const QStringList driving{level->netQty,       level->grossQty,     QStringLiteral("SGUNIDADE"),
                              level->cookingGain,  level->cookingYield, level->cleaningLoss,
                              level->cleaningYield};
    const Field* current = grid->SelectedField();
    if (!current || !driving.contains(current->FieldName())) {
        const bool net = flag(m_form.cdsParamPlaneja, "IDQTLIQUBRUT") == u"B";
        const int column = IndiceCol(*grid, net ? level->netQty : level->grossQty);
        if (column >= 0)
            grid->setSelectedIndex(column);
        grid->setFocus();
    }
    hostContext().LoadBPL(QStringLiteral("PLA01306"), {referencia(list), level->netQty, level->stockUnitQty,
                                                       level->grossQty, level->fixedQty});
}

void Lancadores::pmnRevQtdeClick()
{
    QWidget* tab = m_form.pgcPadrao->currentWidget();
    const QString letter = tab == m_form.tshReceServ ? QStringLiteral("S")
                           : tab == m_form.tshReceLoca ? QStringLiteral("L")
                           : tab == m_form.tshTpCard ? QStringLiteral("C")
                                                     : QStringLiteral("P");
    hostContext().LoadBPL(QStringLiteral("PLA01311"), {letter, m_form.medCdFilial_pan->Text()});
    m_form.sbtConfirmarClick();
    m_form.sbtVerificarClick();
}

void Lancadores::sbtPercentualClick() { abreAbaixo(m_pmnPercentual, m_sbtPercentual); }

void Lancadores::recarregaServico() const
{
    if (m_form.pgcPadrao->currentWidget() == m_form.tshReceServ)
        m_form.sbtVerificarClick();
}

void Lancadores::pmnReplicarPorServicoClick()
{
    disponivel(bool(companheiros.CriaReplicaPorServico), "Replicação de Receitas por Serviço");
    if (companheiros.CriaReplicaPorServico() != mrOk)
        return;
    recarregaServico();
    // Dishes left out were named by the replication's own message, which is its ending.
    if (!companheiros.ReplicaDeixouPratos || !companheiros.ReplicaDeixouPratos())
        m_form.msgPadrao->ShowMsg(QStringLiteral("ROTI_SUCESS"), mtInformation, mbOK);
}

void Lancadores::pmnPercentualSobreReceitaClick()
{
    disponivel(bool(companheiros.CriaPercentualdeReceita), "Percentual de Receitas por Serviço");
    if (companheiros.CriaPercentualdeReceita(prato("CDFILAUXPRAT"), prato("CDPRATO")) == mrOk)
        recarregaServico();
}

} // namespace recipe
