#include "seletoresnivel.h"
#include "cli_pla01300.h"
#include "componente.h"
#include "painelprato.h"
#include "seletorcodigo.h"
#include "tabelapaginas.h"
#include "validacao.h"

#include "frmreceitapadrao.h"

#include "framework/abort.h"
#include "framework/core/hostcontext.h"
#include "framework/data/clientdataset.h"
#include "framework/data/datasource.h"
#include "framework/forms/panelfocus.h"
#include "framework/core/consiste.h"
#include "framework/ui/btnpesquisa.h"
#include "framework/ui/guard.h"
#include "framework/ui/maskedit.h"
#include "framework/ui/messages.h"
#include "framework/ui/query.h"

#include <QApplication>
#include <QLineEdit>
#include <QTabWidget>

namespace recipe {

using framework::ClientDataSet;
using State = ClientDataSet::State;

namespace {

bool editando(const ClientDataSet& ds) { return ds.state() == State::Edit || ds.state() == State::Insert; }

framework::TBtnPesquisa& botao(TfrmReceitaPadrao& form, const char* name)
{
    return *componente<framework::TBtnPesquisa>(form, name);
}

} // namespace

SeletoresNivel::SeletoresNivel(TfrmReceitaPadrao& form, PainelPrato& filial, PainelPrato& servico, PainelPrato& tpCard)
    : QObject(&form), m_form(form), m_filial(filial), m_servico(servico), m_tpCard(tpCard),
      m_validacao(std::make_unique<Validacao>(*form.msgPadrao, *form.qryServico))
{
    framework::Query& filiais = *form.qryFilial;
    const auto abreFiliais = [&filiais] { recipe::abreFiliais(filiais); };
    m_nmFilial = ligaSeletor(this, *form.medCdFilial, QStringLiteral("edtNmFilialLoc"), botao(form, "btpFilial"), filiais,
                             QStringLiteral("CDFILIAL"), QStringLiteral("NMFILIAL"), abreFiliais,
                             [this] { medCdFilialExit(); });
    m_nmFiliServ = ligaSeletor(this, *form.medCdFiliServ, QStringLiteral("edtNmFiliServ"), botao(form, "btpFiliServ"),
                               filiais, QStringLiteral("CDFILIAL"), QStringLiteral("NMFILIAL"), abreFiliais,
                               [this] { medCdFiliServExit(); });
    form.medCdServico->setEditMask(QStringLiteral("ccccc"));
    m_nmServico = ligaSeletor(this, *form.medCdServico, QStringLiteral("edtNmServico"), botao(form, "btpServico"),
                              *form.qryServico, QStringLiteral("CDSERVFILI"), QStringLiteral("NMSERVICO"),
                              [&form] { abreServicos(*form.qryServico, form.medCdFiliServ->Text()); },
                              [this] { validaServico(false); });
    ligaTpCard();
    m_panFilial = new framework::PanelFocus(
        form.panFilial, [this] { esvazia(*m_form.cdsReceFili, m_filial); }, [this] { panFilialExit(); });
    m_panServico = new framework::PanelFocus(
        form.panServico, [this] { esvazia(*m_form.cdsReceServ, m_servico); }, [this] { panServicoExit(); });
    m_panTpCard = new framework::PanelFocus(
        form.panTpCard, [this] { esvazia(*m_form.cdsReceTpCard, m_tpCard); }, [this] { panTpCardExit(); });
    new framework::PanelFocus(servico.painel(), [this] { panDadPratServEnter(); }, {});
}

void SeletoresNivel::ligaTpCard()
{
    framework::Query& tipos = *m_form.qryTipoCard;
    framework::TMaskEdit& codigo = *m_form.medCdTpCard;
    framework::guardedConnect(&codigo, &framework::TMaskEdit::exited, this, [this] { Vd_CdTipoCard(false); });
    framework::guardedConnect(&codigo, &QLineEdit::textEdited, this, [this] { m_form.edtNmTpCard->clear(); });
    framework::TBtnPesquisa& lookup = botao(m_form, "btpTpCard");
    lookup.setDataSet(&tipos);
    lookup.setTitle(m_form.msgPadrao->Msg(QStringLiteral("TIPO_CARD")));
    lookup.setEmptyText(m_form.msgPadrao->Msg(QStringLiteral("N_HA_TIPO_CARD")));
    lookup.BeforePesq = [this, &tipos](framework::TBtnPesquisa&) {
        tipos.Close();
        tipos.setParam(QStringLiteral("P_CDFILCENTPME"), framework::Ajusta(m_form.medCdCentral->Text(), 4));
        tipos.setParam(QStringLiteral("P_TCDTIPOCARD"), QStringLiteral("T"));
        tipos.setParam(QStringLiteral("P_CDTIPOCARD"), QString());
    };
    lookup.AfterPesq = [this, &tipos, &codigo](framework::TBtnPesquisa&) {
        codigo.setText(tipos.FieldByName(QStringLiteral("CDTIPOCARD"))->AsString());
        m_form.edtNmTpCard->setText(tipos.FieldByName(QStringLiteral("NMTIPOCARD"))->AsString());
    };
}

SeletoresNivel::~SeletoresNivel() = default;

// --- Entering: nothing of the previous choice stays editable ----------------------------------

void SeletoresNivel::esvazia(ClientDataSet& lista, PainelPrato& painel)
{
    for (ClientDataSet* ds : {&lista, &painel.dados()}) {
        if (editando(*ds))
            continue;
        ds->setFilter(QStringLiteral("CDPRATO = ' '"));
        ds->setFiltered(true);
    }
    m_form.AtualizaBotoes(); // off while the panel has the focus
}

// --- The codes -----------------------------------------------------------------------------------

void SeletoresNivel::medCdFilialExit() { validaFilial(*m_form.medCdFilial, *m_nmFilial, false); }

void SeletoresNivel::medCdFiliServExit() { validaFilial(*m_form.medCdFiliServ, *m_nmFiliServ, false); }

void SeletoresNivel::validaServico(bool required)
{
    m_validacao->Vd_CdServico(m_form.medCdFiliServ->Text(), *m_form.medCdServico, *m_nmServico, required);
}

void SeletoresNivel::Vd_CdTipoCard(bool required)
{
    framework::TMaskEdit& codigo = *m_form.medCdTpCard;
    const auto falha = [this, &codigo](const char* key) {
        if (codigo.isEnabled())
            codigo.setFocus();
        framework::MensErro(m_form.msgPadrao->Msg(QString::fromLatin1(key)));
    };
    m_form.VdCentral(true);
    const QString code = framework::AjustaTipoCard(codigo.Text());
    if (code != codigo.Text())
        codigo.setText(code);
    if (code.isEmpty()) {
        if (required)
            falha("TPCARD_EMPTY");
        return;
    }
    framework::Query& tipos = *m_form.qryTipoCard;
    tipos.Close();
    tipos.setParam(QStringLiteral("P_CDFILCENTPME"), framework::Ajusta(m_form.medCdCentral->Text(), 4));
    tipos.setParam(QStringLiteral("P_TCDTIPOCARD"), QString());
    tipos.setParam(QStringLiteral("P_CDTIPOCARD"), code);
    tipos.Open();
    if (tipos.IsEmpty())
        falha("TPCARD_NCAD");
    m_form.edtNmTpCard->setText(tipos.FieldByName(QStringLiteral("NMTIPOCARD"))->AsString());
}

void SeletoresNivel::panDadPratServEnter()
{
    validaFilial(*m_form.medCdFiliServ, *m_nmFiliServ, true);
    validaServico(true);
}

void SeletoresNivel::exigeServico()
{
    medCdFiliServExit();
    validaServico(false);
    if (m_form.medCdServico->Text().trimmed().isEmpty()) {
        if (m_form.medCdServico->isEnabled())
            m_form.medCdServico->setFocus();
        m_form.msgPadrao->ShowMsg(QStringLiteral("SERV_EMPTY"), framework::mtError, framework::mbOK);
        throw framework::Abort();
    }
}

// --- Leaving: the choice's recipe ------------------------------------------------------------

void SeletoresNivel::filtra(ClientDataSet& lista, PainelPrato& painel)
{
    const bool prato = m_form.cdsPrato->Active() && !m_form.cdsPrato->IsEmpty();
    const bool completo =
        prato
        && framework::hostContext().DBPictObj(1).isLastLevel(m_form.cdsPrato->FieldByName(QStringLiteral("CDPRATO"))->AsString());
    // The standard dish data is where the fancy name comes from: read for the dish's group
    // unless the standard page holds it already.
    if (completo && !Cli_pla01300::boConsulta) {
        if (const Pagina* padrao = m_form.Paginas().pagina(m_form.tshPadrao)) {
            framework::ClientDataSet* toolbar = m_form.dtsPadrao->DataSet();
            m_form.carregaLista(*padrao, false);
            m_form.dtsPadrao->setDataSet(toolbar);
        }
    }
    for (ClientDataSet* ds : {&lista, &painel.dados(), m_form.cdsDadosPrat})
        if (prato && ds->Active() && !editando(*ds))
            m_form.filtraPeloPrato(*ds);
}

void SeletoresNivel::herdaNomeFantasia(PainelPrato& painel)
{
    const ClientDataSet& padrao = *m_form.cdsDadosPrat;
    if (padrao.Active() && !padrao.IsEmpty())
        painel.herdaNomeFantasia(padrao.FieldByName(QStringLiteral("NMFANTASIAPR"))->AsString());
}

void SeletoresNivel::panFilialExit()
{
    // A refused code took the focus back: the panel was not left.
    if (m_panFilial->contains(QApplication::focusWidget()))
        return;
    medCdFilialExit();
    m_form.pgcPadraoChange();
    filtra(*m_form.cdsReceFili, m_filial);
    if (!m_form.medCdFilial->Text().trimmed().isEmpty())
        herdaNomeFantasia(m_filial);
    m_form.AtualizaBotoes();
}

void SeletoresNivel::panServicoExit()
{
    if (m_panServico->contains(QApplication::focusWidget()))
        return;
    medCdFiliServExit();
    validaServico(false);
    m_form.pgcPadraoChange();
    filtra(*m_form.cdsReceServ, m_servico);
    if (!m_form.medCdFiliServ->Text().trimmed().isEmpty() && !m_form.medCdServico->Text().trimmed().isEmpty())
        herdaNomeFantasia(m_servico);
    m_form.AtualizaBotoes();
}

void SeletoresNivel::panTpCardExit()
{
    if (m_panTpCard->contains(QApplication::focusWidget()))
        return;
    Vd_CdTipoCard(false);
    m_form.pgcPadraoChange();
    filtra(*m_form.cdsReceTpCard, m_tpCard);
    if (!m_form.medCdCentral->Text().trimmed().isEmpty() && !m_form.medCdTpCard->Text().trimmed().isEmpty())
        herdaNomeFantasia(m_tpCard);
    m_form.AtualizaBotoes();
}

} // namespace recipe
