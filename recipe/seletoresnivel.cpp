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
#include "framework/ui/btnpesquisa.h"
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

SeletoresNivel::SeletoresNivel(TfrmReceitaPadrao& form, PainelPrato& filial, PainelPrato& servico)
    : QObject(&form), m_form(form), m_filial(filial), m_servico(servico),
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
    m_panFilial = new framework::PanelFocus(form.panFilial, [this] { panFilialEnter(); }, [this] { panFilialExit(); });
    m_panServico = new framework::PanelFocus(form.panServico, [this] { panServicoEnter(); }, [this] { panServicoExit(); });
    new framework::PanelFocus(servico.painel(), [this] { panDadPratServEnter(); }, {});
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
    if (const Pagina* page = m_form.Paginas().pagina(m_form.pgcPadrao->currentWidget()))
        m_form.Habilita_Botoes(page->fonte, false);
}

void SeletoresNivel::panFilialEnter() { esvazia(*m_form.cdsReceFili, m_filial); }

void SeletoresNivel::panServicoEnter() { esvazia(*m_form.cdsReceServ, m_servico); }

// --- The codes -----------------------------------------------------------------------------------

void SeletoresNivel::medCdFilialExit() { validaFilial(*m_form.medCdFilial, *m_nmFilial, false); }

void SeletoresNivel::medCdFiliServExit() { validaFilial(*m_form.medCdFiliServ, *m_nmFiliServ, false); }

void SeletoresNivel::validaServico(bool required)
{
    m_validacao->Vd_CdServico(m_form.medCdFiliServ->Text(), *m_form.medCdServico, *m_nmServico, required);
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

void SeletoresNivel::herdaNomeFantasia(PainelPrato& painel, const QString& branch, const QString& service)
{
    ClientDataSet& padrao = *m_form.cdsDadosPrat;
    ClientDataSet& dados = painel.dados();
    if (Cli_pla01300::boConsulta || !padrao.Active() || padrao.IsEmpty() || !dados.Active() || editando(dados))
        return;
    const QString nome = padrao.FieldByName(QStringLiteral("NMFANTASIAPR"))->AsString();
    const QString campo = dados.FindField(QStringLiteral("NMFANTASIAPF")) ? QStringLiteral("NMFANTASIAPF")
                                                                           : QStringLiteral("NMFANTASIASE");
    if (nome.isEmpty() || (!dados.IsEmpty() && !dados.FieldByName(campo)->IsNull()))
        return;
    if (dados.IsEmpty())
        dados.Insert();
    else
        dados.Edit();
    for (const char* key : {"CDFILAUXPRAT", "CDPRATO"})
        dados.FieldByName(QString::fromLatin1(key))->setValue(m_form.cdsPrato->FieldByName(QString::fromLatin1(key))->Value());
    dados.FieldByName(QStringLiteral("CDFILIAL"))->setAsString(branch);
    if (!service.isEmpty())
        dados.FieldByName(QStringLiteral("CDSERVFILI"))->setAsString(service);
    dados.FieldByName(campo)->setAsString(nome);
    dados.Post();
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
        herdaNomeFantasia(m_filial, m_form.medCdFilial->Text(), {});
    if (const Pagina* page = m_form.Paginas().pagina(m_form.tshReceLoca))
        m_form.Habilita_Botoes(page->fonte, !m_form.medCdFilial->hasFocus());
}

void SeletoresNivel::panServicoExit()
{
    if (m_panServico->contains(QApplication::focusWidget()))
        return;
    medCdFiliServExit();
    validaServico(false);
    m_form.pgcPadraoChange();
    filtra(*m_form.cdsReceServ, m_servico);
    const QString branch = m_form.medCdFiliServ->Text().trimmed();
    const QString service = m_form.medCdServico->Text().trimmed();
    if (!branch.isEmpty() && !service.isEmpty())
        herdaNomeFantasia(m_servico, branch, service);
    if (const Pagina* page = m_form.Paginas().pagina(m_form.tshReceServ))
        m_form.Habilita_Botoes(page->fonte, !m_form.medCdFiliServ->hasFocus() && !m_form.medCdServico->hasFocus());
}

} // namespace recipe
