#include "seletoresnivel.h"
#include "recipe/core/componente.h"
#include "painelprato.h"
#include "recipe/core/seletorcodigo.h"
#include "recipe/core/tabelapaginas.h"
#include "recipe/core/validacao.h"

#include "recipe/core/contextoreceita.h"

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

framework::TBtnPesquisa& botao(QObject& form, const char* name)
{
    return *componente<framework::TBtnPesquisa>(form, name);
}

} // namespace

SeletoresNivel::SeletoresNivel(ContextoReceita& contexto, Componentes componentes, PainelPrato& filial,
                               PainelPrato& servico, PainelPrato& tpCard)
    : QObject(&contexto.janela()), m_contexto(contexto), m_c(std::move(componentes)), m_filial(filial),
      m_servico(servico), m_tpCard(tpCard),
      m_validacao(std::make_unique<Validacao>(contexto.mensagens(), contexto.servicos()))
{
    QWidget& form = contexto.janela();
    framework::Query& filiais = contexto.filiais();
    const auto abreFiliais = [&filiais] { recipe::abreFiliais(filiais); };
    m_nmFilial = ligaSeletor(this, *m_c.medCdFilial, QStringLiteral("edtNmFilialLoc"), botao(form, "btpFilial"), filiais,
                             QStringLiteral("CDFILIAL"), QStringLiteral("NMFILIAL"), abreFiliais,
                             [this] { medCdFilialExit(); });
    m_nmFiliServ = ligaSeletor(this, *m_c.medCdFiliServ, QStringLiteral("edtNmFiliServ"), botao(form, "btpFiliServ"),
                               filiais, QStringLiteral("CDFILIAL"), QStringLiteral("NMFILIAL"), abreFiliais,
                               [this] { medCdFiliServExit(); });
    m_c.medCdServico->setEditMask(QStringLiteral("ccccc"));
    m_nmServico = ligaSeletor(this, *m_c.medCdServico, QStringLiteral("edtNmServico"), botao(form, "btpServico"),
                              m_contexto.servicos(), QStringLiteral("CDSERVFILI"), QStringLiteral("NMSERVICO"),
                              [this] { abreServicos(m_contexto.servicos(), m_c.medCdFiliServ->Text()); },
                              [this] { validaServico(false); });
    ligaTpCard();
    m_panFilial = new framework::PanelFocus(
        m_c.panFilial, [this] { esvazia(*m_c.cdsReceFili, m_filial); }, [this] { panFilialExit(); });
    m_panServico = new framework::PanelFocus(
        m_c.panServico, [this] { esvazia(*m_c.cdsReceServ, m_servico); }, [this] { panServicoExit(); });
    m_panTpCard = new framework::PanelFocus(
        m_c.panTpCard, [this] { esvazia(*m_c.cdsReceTpCard, m_tpCard); }, [this] { panTpCardExit(); });
    new framework::PanelFocus(servico.painel(), [this] { panDadPratServEnter(); }, {});
}

void SeletoresNivel::ligaTpCard()
{
    framework::Query& tipos = *m_c.qryTipoCard;
    framework::TMaskEdit& codigo = *m_c.medCdTpCard;
    framework::guardedConnect(&codigo, &framework::TMaskEdit::exited, this, [this] { Vd_CdTipoCard(false); });
    framework::guardedConnect(&codigo, &QLineEdit::textEdited, this, [this] { m_c.edtNmTpCard->clear(); });
    framework::TBtnPesquisa& lookup = botao(m_contexto.janela(), "btpTpCard");
    lookup.setDataSet(&tipos);
    lookup.setTitle(m_contexto.mensagens().Msg(QStringLiteral("TIPO_CARD")));
    lookup.setEmptyText(m_contexto.mensagens().Msg(QStringLiteral("N_HA_TIPO_CARD")));
    lookup.BeforePesq = [this, &tipos](framework::TBtnPesquisa&) {
        tipos.Close();
        tipos.setParam(QStringLiteral("P_CDFILCENTPME"), framework::Ajusta(m_c.medCdCentral->Text(), 4));
        tipos.setParam(QStringLiteral("P_TCDTIPOCARD"), QStringLiteral("T"));
        tipos.setParam(QStringLiteral("P_CDTIPOCARD"), QString());
    };
    lookup.AfterPesq = [this, &tipos, &codigo](framework::TBtnPesquisa&) {
        codigo.setText(tipos.FieldByName(QStringLiteral("CDTIPOCARD"))->AsString());
        m_c.edtNmTpCard->setText(tipos.FieldByName(QStringLiteral("NMTIPOCARD"))->AsString());
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
    m_contexto.AtualizaBotoes(); // off while the panel has the focus
}

// --- The codes -----------------------------------------------------------------------------------

void SeletoresNivel::medCdFilialExit() { validaFilial(*m_c.medCdFilial, *m_nmFilial, false); }

void SeletoresNivel::medCdFiliServExit() { validaFilial(*m_c.medCdFiliServ, *m_nmFiliServ, false); }

void SeletoresNivel::validaServico(bool required)
{
    m_validacao->Vd_CdServico(m_c.medCdFiliServ->Text(), *m_c.medCdServico, *m_nmServico, required);
}

void SeletoresNivel::Vd_CdTipoCard(bool required)
{
    framework::TMaskEdit& codigo = *m_c.medCdTpCard;
    const auto falha = [this, &codigo](const char* key) {
        if (codigo.isEnabled())
            codigo.setFocus();
        framework::MensErro(m_contexto.mensagens().Msg(QString::fromLatin1(key)));
    };
    m_c.validaCentral(true);
    const QString code = framework::AjustaTipoCard(codigo.Text());
    if (code != codigo.Text())
        codigo.setText(code);
    if (code.isEmpty()) {
        if (required)
            falha("TPCARD_EMPTY");
        return;
    }
    framework::Query& tipos = *m_c.qryTipoCard;
    tipos.Close();
    tipos.setParam(QStringLiteral("P_CDFILCENTPME"), framework::Ajusta(m_c.medCdCentral->Text(), 4));
    tipos.setParam(QStringLiteral("P_TCDTIPOCARD"), QString());
    tipos.setParam(QStringLiteral("P_CDTIPOCARD"), code);
    tipos.Open();
    if (tipos.IsEmpty())
        falha("TPCARD_NCAD");
    m_c.edtNmTpCard->setText(tipos.FieldByName(QStringLiteral("NMTIPOCARD"))->AsString());
}

void SeletoresNivel::panDadPratServEnter()
{
    validaFilial(*m_c.medCdFiliServ, *m_nmFiliServ, true);
    validaServico(true);
}

void SeletoresNivel::exigeServico()
{
    medCdFiliServExit();
    validaServico(false);
    if (m_c.medCdServico->Text().trimmed().isEmpty()) {
        if (m_c.medCdServico->isEnabled())
            m_c.medCdServico->setFocus();
        m_contexto.mensagens().ShowMsg(QStringLiteral("SERV_EMPTY"), framework::mtError, framework::mbOK);
        throw framework::Abort();
    }
}

// --- Leaving: the choice's recipe ------------------------------------------------------------

void SeletoresNivel::filtra(ClientDataSet& lista, PainelPrato& painel)
{
    const bool prato = m_contexto.pratos().Active() && !m_contexto.pratos().IsEmpty();
    const bool completo =
        prato
        && framework::hostContext().DBPictObj(1).isLastLevel(m_contexto.pratos().FieldByName(QStringLiteral("CDPRATO"))->AsString());
    // The standard dish data is where the fancy name comes from: read for the dish's group
    // unless the standard page holds it already.
    if (completo && !m_contexto.consulta()) {
        if (const Pagina* padrao = m_contexto.paginas().pagina(m_c.tshPadrao)) {
            framework::ClientDataSet* toolbar = m_contexto.fonteComandos().DataSet();
            m_contexto.carregaLista(*padrao, false);
            m_contexto.fonteComandos().setDataSet(toolbar);
        }
    }
    for (ClientDataSet* ds : {&lista, &painel.dados(), m_c.cdsDadosPrat})
        if (prato && ds->Active() && !editando(*ds))
            filtraPeloPrato(*ds, m_contexto.pratos());
}

void SeletoresNivel::herdaNomeFantasia(PainelPrato& painel)
{
    const ClientDataSet& padrao = *m_c.cdsDadosPrat;
    if (padrao.Active() && !padrao.IsEmpty())
        painel.herdaNomeFantasia(padrao.FieldByName(QStringLiteral("NMFANTASIAPR"))->AsString());
}

void SeletoresNivel::panFilialExit()
{
    // A refused code took the focus back: the panel was not left.
    if (m_panFilial->contains(QApplication::focusWidget()))
        return;
    medCdFilialExit();
    m_contexto.atualizaPagina();
    filtra(*m_c.cdsReceFili, m_filial);
    if (!m_c.medCdFilial->Text().trimmed().isEmpty())
        herdaNomeFantasia(m_filial);
    m_contexto.AtualizaBotoes();
}

void SeletoresNivel::panServicoExit()
{
    if (m_panServico->contains(QApplication::focusWidget()))
        return;
    medCdFiliServExit();
    validaServico(false);
    m_contexto.atualizaPagina();
    filtra(*m_c.cdsReceServ, m_servico);
    if (!m_c.medCdFiliServ->Text().trimmed().isEmpty() && !m_c.medCdServico->Text().trimmed().isEmpty())
        herdaNomeFantasia(m_servico);
    m_contexto.AtualizaBotoes();
}

void SeletoresNivel::panTpCardExit()
{
    if (m_panTpCard->contains(QApplication::focusWidget()))
        return;
    Vd_CdTipoCard(false);
    m_contexto.atualizaPagina();
    filtra(*m_c.cdsReceTpCard, m_tpCard);
    if (!m_c.medCdCentral->Text().trimmed().isEmpty() && !m_c.medCdTpCard->Text().trimmed().isEmpty())
        herdaNomeFantasia(m_tpCard);
    m_contexto.AtualizaBotoes();
}

} // namespace recipe
