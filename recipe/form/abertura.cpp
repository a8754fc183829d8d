// Opening, activation, branch confirmation, central selection and closing of the recipe form.
#include "arvorepratos.h"
#include "recipe/core/cli_pla01300.h"
#include "filialtrabalho.h"
#include "frmreceitapadrao.h"
#include "recipe/core/levelfields.h"
#include "regrashabilitacao.h"
#include "recipe/record/registroprato.h"
#include "recipe/core/respostaservidor.h"
#include "recipe/core/seletorcodigo.h"
#include "recipe/core/tabelapaginas.h"

#include "framework/abort.h"
#include "framework/core/consiste.h"
#include "framework/core/hostcontext.h"
#include "framework/data/clientdataset.h"
#include "framework/data/datasource.h"
#include "framework/forms/dbgrid.h"
#include "framework/forms/dbtree.h"
#include "framework/forms/panelfocus.h"
#include "framework/ui/btnpesquisa.h"
#include "framework/ui/dbcombobox.h"
#include "framework/ui/maskedit.h"
#include "framework/ui/messages.h"
#include "framework/ui/query.h"
#include "framework/ui/search.h"
#include "framework/ui/showavi.h"
#include "server/connection.h"

#include <QAbstractButton>
#include <algorithm>
#include <utility>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QScopeGuard>
#include <QStyle>
#include <QTabWidget>
#include <QTimer>

using namespace framework;
using recipe::flag;
using recipe::loadPacket;
using recipe::packetArray;

namespace {

bool centralModules() { return hostContext().ModuloAtiv == u"8" || hostContext().ModuloAtiv == u"L"; }

} // namespace

// --- Creation --------------------------------------------------------------------------------

void TfrmReceitaPadrao::FormCreate()
{
    if (hostContext().ModuloAtiv == u"P") {
        for (QWidget* tab : {tshFoto, tshReceServ})
            pgcPadrao->setTabVisible(pgcPadrao->indexOf(tab), false);
        pgcModoPrep->setTabVisible(pgcModoPrep->indexOf(tshPrepSer), false);
        for (QAction* item : {mnuFoto, mnuModoServico, mnuServico})
            item->setVisible(false);
    }
    TfrmPadraoArvPlus::FormCreate();

    for (server::Connection* connection : {netReceitaPadrao, netAutoriza})
        connection->BeforeConnect = [](server::Connection& c) {
            c.setHost(hostContext().WebURL);
            c.setPort(hostContext().WebPort);
        };
    {
        ActiveShowAvi(this, 0, msgPadrao->Msg(QStringLiteral("pro_Conectar")));
        auto hide = qScopeGuard([] { DeactiveShowAvi(); });
        netReceitaPadrao->Connect();
        netAutoriza->Connect();
    }

    dbaPadrao->setDataSource(dtsPrato);
    dbaPadrao->setFieldCode(QStringLiteral("CDPRATO"));
    dbaPadrao->setFieldName(QStringLiteral("NMPRATO"));
    dbaPadrao->setFieldAux(QStringLiteral("CDFILAUXPRAT"));
    // A local dish is marked (image 1, recipe/arvorepratos.h).
    dbaPadrao->setStateImages({QIcon(), style()->standardIcon(QStyle::SP_FileIcon)});

    pgcPadrao->setCurrentWidget(tshFormulario);
    m_primeiraAtivacao = true;
    m_validaLinhas = true;
    pgcPadrao->setTabEnabled(pgcPadrao->indexOf(tshFoto), true);
    mnuFoto->setEnabled(pgcPadrao->isTabEnabled(pgcPadrao->indexOf(tshFoto)));
    m_carregado = {};
    m_stAtuProp = QStringLiteral("B");
    Cli_pla01300::inContCheck = 0;
    m_propCalculada = false;
}

// --- Activation ------------------------------------------------------------------------------

void TfrmReceitaPadrao::FormActivate()
{
    update();
    // Coming back from the form's own question or authorisation prompt, or in the middle of an
    // edit or a post: nothing is reloaded under the user's feet.
    const bool retornoModal = std::exchange(m_retornoModal, false);
    if (retornoModal || std::any_of(m_datasets.begin(), m_datasets.end(), [](const ClientDataSet* ds) {
            return ds->state() == ClientDataSet::State::Edit || ds->state() == ClientDataSet::State::Insert;
        }))
        return;
    const bool menuTypes = centralModules();
    pgcPadrao->setTabVisible(pgcPadrao->indexOf(tshTpCard), menuTypes);
    mnuTpCard->setVisible(menuTypes);

    if (m_primeiraAtivacao) {
        const bool consulta = Cli_pla01300::boConsulta;
        const QString branch = consulta ? Cli_pla01300::stFilialC : hostContext().FiliProc;
        medCdFilial_pan->setText(branch);
        const bool panelEnabled = !consulta && !hostContext().ModuFili;
        if (consulta)
            Desabilita();
        for (QWidget* w : {static_cast<QWidget*>(lblNmFilial), static_cast<QWidget*>(medCdFilial_pan),
                           static_cast<QWidget*>(btnFilial), static_cast<QWidget*>(pgcPadrao)})
            w->setEnabled(panelEnabled);
        edtNmFilial->setText(nomeFilial(medCdFilial_pan->Text()));
        m_filial = medCdFilial_pan->Text();
        carregaParamPlaneja(m_filial);
        if (consulta || hostContext().ModuFili)
            confirmaFilial();
        else if (medCdFilial_pan->isEnabled())
            medCdFilial_pan->setFocus();
        // Only once the branch's data is in: a failed load is tried again at the next activation.
        m_primeiraAtivacao = false;
    }

    m_registro->controles().dcbPrato->setItems({msgPadrao->Msg(QStringLiteral("PADRAO")), msgPadrao->Msg(QStringLiteral("LOCAL"))});

    if (Recarregar) {
        auto clear = qScopeGuard([this] { Recarregar = false; });
        pgcPadraoChange();
    }

    loadPacket(cdsParamGeral, netReceitaPadrao->call(QStringLiteral("GetParamGeral"), {}, QStringLiteral("get_cdsParamGeral")));
    qryParamGeral->Refresh();
    loadPacket(cdsGerParamGeral,
               netReceitaPadrao->call(QStringLiteral("GetGerParamGeral"), {}, QStringLiteral("get_cdsGerParamGeral")));
    // The central's selector follows the parameters just read.
    AtualizaBotoes();
}

QString TfrmReceitaPadrao::nomeFilial(const QString& code)
{
    qryFilialPesq->Close();
    qryFilialPesq->setParam(QStringLiteral("P_CDFILIAL"), code);
    qryFilialPesq->Open();
    return qryFilialPesq->IsEmpty() ? QString() : qryFilialPesq->FieldByName(QStringLiteral("NMFILIAL"))->AsString();
}

void TfrmReceitaPadrao::carregaParamPlaneja(const QString& branch)
{
    QVariantList args{branch};
    loadPacket(cdsParamPlaneja, netReceitaPadrao->call(QStringLiteral("GetParamPlaneja"), args,
                                                       QStringLiteral("get_cdsParamPlaneja")));
}

void TfrmReceitaPadrao::Desabilita()
{
    // Query mode: the dish record and its panels can be read, not changed. A data-aware combo
    // follows its data's state, so it is made read-only rather than only disabled.
    for (QWidget* w : tshFormulario->findChildren<QWidget*>()) {
        if (auto* combo = qobject_cast<TDBComboBox*>(w))
            combo->setReadOnly(true);
        else if (qobject_cast<QLineEdit*>(w) || qobject_cast<QComboBox*>(w) || qobject_cast<QAbstractButton*>(w)
                 || qobject_cast<QLabel*>(w))
            w->setEnabled(false);
    }
}

// --- Branch panel ----------------------------------------------------------------------------

void TfrmReceitaPadrao::panFiliPratoEnter()
{
    cdsPrato->Close();
    m_filialTrabalho->limpaSeletores();
    pgcPadrao->setCurrentIndex(0);
    pgcPadrao->setEnabled(false);
    AtualizaBotoes();
}

void TfrmReceitaPadrao::medCdFilial_panExit()
{
    recipe::validaFilial(*medCdFilial_pan, *edtNmFilial, true);
}

void TfrmReceitaPadrao::panFiliPratoExit()
{
    // A refused branch code took the focus back: the panel was not left.
    if (m_panFiliPratoFocus->contains(QApplication::focusWidget()))
        return;
    medCdFilial_panExit();
    confirmaFilial();
}

void TfrmReceitaPadrao::btnFilialClick()
{
    qryFilial->Close();
    qryFilial->Open();
    if (Pesquisar(*qryFilial, msgPadrao->Msg(QStringLiteral("FILIAL")) + u'|' + msgPadrao->Msg(QStringLiteral("N_FILI_CAD")))) {
        medCdFilial_pan->setText(qryFilial->FieldByName(QStringLiteral("CDFILIAL"))->AsString());
        edtNmFilial->setText(qryFilial->FieldByName(QStringLiteral("NMFILIAL"))->AsString());
    }
}

void TfrmReceitaPadrao::confirmaFilial()
{
    m_filial = medCdFilial_pan->Text();
    pgcPadrao->setEnabled(!Cli_pla01300::boConsulta);

    const TDBPicture dishPicture = hostContext().DBPictObj(1);
    dbaPadrao->setPicture(dishPicture);
    {
        ActiveShowAvi(this, 0, msgPadrao->Msg(QStringLiteral("get_cdsPrato")));
        auto hide = qScopeGuard([] { DeactiveShowAvi(); });
        QVariantList args{m_filial};
        const QVariantList params = packetArray(netReceitaPadrao->call(QStringLiteral("GetParams"), args));
        m_filial = args.value(0).toString();
        if (params.size() < 3)
            throw Error(QStringLiteral("Resposta incompleta do servidor em GetParams."));
        cdsParamGeral->SetData(toPacket(params[0]));
        cdsParamPlaneja->SetData(toPacket(params[1]));
        cdsVerifProd->SetData(toPacket(params[2]));
        QVariantList dishArgs{m_filial};
        loadPacket(cdsPrato, netReceitaPadrao->call(QStringLiteral("GetPrato"), dishArgs));
    }
    // Codes are typed without the picture's separators: one optional digit per position.
    const QString dishMask = hostContext().DBPict(1).remove(u'.');
    cdsPrato->FieldByName(QStringLiteral("CDPRATO"))->setEditMask(dishMask);
    cdsPrato->AddIndex(QStringLiteral("Ordena"), QStringLiteral("CDPRATO;CDNVPRATO"));
    cdsPrato->setIndexName(QStringLiteral("Ordena"));
    const QString productMask = hostContext().DBPictObj(0).editMask();
    for (ClientDataSet* ds : {cdsProdPrat, cdsReceTpCard, cdsReceFili, cdsReceServ})
        if (Field* f = ds->FindField(QStringLiteral("CDARVPROD")))
            f->setEditMask(productMask);
    for (ClientDataSet* ds : {cdsDadosPrat, cdsPratFili, cdsPratServ})
        for (const char* name : {"CDPRODPRODUCAO", "CDARVPROD"})
            if (Field* f = ds->FindField(QString::fromLatin1(name)))
                f->setEditMask(productMask);

    ShowColumns();
    const QString code = codigoArvore();
    Habilita_Pagina(recipe::nivelCompleto(code));
    Habilita_NivelCompleto(code);
    // Every branch selector starts from the working branch (the page change below fills them).
    Desabilita_Filial(hostContext().ModuFili);
    pgcPadrao->setCurrentWidget(tshFormulario);
    pgcModoPrep->setCurrentWidget(tshPrepPad);
    pgcFoto->setCurrentIndex(0);
    pgcPadraoChange();
    if (centralModules())
        ajustaCentralDaFilial();
}

void TfrmReceitaPadrao::ajustaCentralDaFilial()
{
    qryFiliCentAgreg->Close();
    qryFiliCentAgreg->setParam(QStringLiteral("P_CDFILIAL"), m_filial);
    qryFiliCentAgreg->Open();
    m_centralAgregada = !qryFiliCentAgreg->IsEmpty();
    medCdCentral->setText(qryFiliCentAgreg->FieldByName(QStringLiteral("CDCENTRAL"))->AsString());
    edtNmCentral->setText(qryFiliCentAgreg->FieldByName(QStringLiteral("NMCENTRAL"))->AsString());
    Habilita_Pagina(recipe::nivelCompleto(codigoArvore()));
}

// --- Pages -----------------------------------------------------------------------------------

QString TfrmReceitaPadrao::codigoArvore() const { return dbaPadrao->SelectedCode(); }

QString TfrmReceitaPadrao::grupo(const QString& code) const
{
    const TDBPicture picture = hostContext().DBPictObj(1);
    return picture.isLastLevel(code) ? picture.parentCode(code) : code;
}

void TfrmReceitaPadrao::Habilita_Pagina(bool complete)
{
    // The dish the tree shows; while the tree follows a move of the record, the record itself.
    const TTreeNode node = dbaPadrao->Selected();
    const bool browsing = cdsPrato->state() == ClientDataSet::State::Browse && !cdsPrato->IsEmpty();
    const QString code = browsing ? cdsPrato->FieldByName(QStringLiteral("CDPRATO"))->AsString() : node.code;
    const QString origin = browsing ? cdsPrato->FieldByName(QStringLiteral("CDFILAUXPRAT"))->AsString() : node.aux;
    const bool standardComplete = recipe::nivelCompleto(code) && origin == u"P";
    const auto enableTab = [](QTabWidget* tabs, QWidget* tab, bool enabled) {
        tabs->setTabEnabled(tabs->indexOf(tab), enabled && (tabs->currentWidget() == tab || tabs->isEnabled()));
    };
    const auto rule = [&](QWidget* tab) { return pgcPadrao->currentWidget() == tab || complete; };
    for (QWidget* tab : {tshFormulario, tshPadrao, tshTpCard, tshReceLoca, tshReceServ, tshModoPrep, tshFoto}) {
        bool enabled = rule(tab);
        if (tab == tshTpCard)
            enabled = enabled && m_centralAgregada;
        if (tab == tshPadrao)
            enabled = enabled && standardComplete;
        pgcPadrao->setTabEnabled(pgcPadrao->indexOf(tab), enabled);
    }
    const bool prepEnabled = pgcPadrao->isTabEnabled(pgcPadrao->indexOf(tshModoPrep));
    const bool fotoEnabled = pgcPadrao->isTabEnabled(pgcPadrao->indexOf(tshFoto));
    for (QWidget* tab : {tshFolhaDados, tshPrepPad, tshPrepFil, tshPrepSer})
        enableTab(pgcModoPrep, tab, prepEnabled && (pgcModoPrep->currentWidget() == tab || complete)
                                        && (tab != tshPrepPad || standardComplete));
    for (QWidget* tab : {tshFotoPad, tshFotoFil, tshFotoSer})
        enableTab(pgcFoto, tab, fotoEnabled && (pgcFoto->currentWidget() == tab || complete)
                                    && (tab != tshFotoPad || standardComplete));

    const auto items = pageMenuItems();
    for (const auto& [item, tab] : items)
        item->setEnabled(pgcPadrao->isTabEnabled(pgcPadrao->indexOf(tab)));
}

void TfrmReceitaPadrao::Habilita_NivelCompleto(const QString& code)
{
    if (!Cli_pla01300::boConsulta)
        m_regras->Habilita_NivelCompleto(recipe::nivelCompleto(code));
}

void TfrmReceitaPadrao::ShowColumns()
{
    if (!cdsParamPlaneja->Active() || cdsParamPlaneja->IsEmpty())
        carregaParamPlaneja(m_filial);
    m_arvore->ShowColumns();
}

// --- Central of the menu-type page -----------------------------------------------------------

void TfrmReceitaPadrao::getCentral(const QString& code)
{
    loadPacket(cdsCentral, netReceitaPadrao->call(QStringLiteral("GetCentral"), {code, hostContext().Operador},
                                                  QStringLiteral("get_cdsCentral")));
}

void TfrmReceitaPadrao::sbtCentralClick()
{
    getCentral(QStringLiteral("T"));
    if (Pesquisar(*cdsCentral, msgPadrao->Msg(QStringLiteral("CENTRAL")) + u'|' + msgPadrao->Msg(QStringLiteral("N_HA_CENTRAL")))) {
        medCdCentral->setText(cdsCentral->FieldByName(QStringLiteral("CDCENTRAL"))->AsString());
        edtNmCentral->setText(cdsCentral->FieldByName(QStringLiteral("NMCENTRAL"))->AsString());
    }
}

void TfrmReceitaPadrao::medCdCentralChange()
{
    edtNmCentral->clear();
    medCdTpCard->Clear();
    edtNmTpCard->clear();
}

void TfrmReceitaPadrao::medCdCentralExit() { VdCentral(false); }

void TfrmReceitaPadrao::VdCentral(bool required)
{
    if (flag(cdsGerParamGeral, "IDPERMSELCENTRALPLA") != u"S" || !medCdCentral->isEnabledTo(panTpCard)
        || !edtNmCentral->text().isEmpty())
        return;
    const QString code = Ajusta(medCdCentral->Text(), 4);
    if (code != medCdCentral->Text())
        medCdCentral->setText(code);
    const auto fail = [this](const char* key) {
        medCdCentral->setFocus();
        MensErro(msgPadrao->Msg(QString::fromLatin1(key)));
    };
    if (code.isEmpty()) {
        if (required)
            fail("CENTRAL_N_INF");
        return;
    }
    getCentral(code);
    if (cdsCentral->IsEmpty())
        fail("CENTRAL_N_CAD");
    edtNmCentral->setText(cdsCentral->FieldByName(QStringLiteral("NMCENTRAL"))->AsString());
}

// --- Resize and close ------------------------------------------------------------------------

void TfrmReceitaPadrao::FormResize()
{
    if (pgcPadrao->currentWidget() != tshModoPrep)
        return;
    for (const char* name : {"drePadrao", "drePrepFil", "dreServico"})
        if (auto* editor = findChild<QWidget*>(QString::fromLatin1(name)); editor && editor->isEnabled())
            editor->update();
}

void TfrmReceitaPadrao::FormClose()
{
    // Changes still to be confirmed on any page are asked about once: confirmed (the form stays
    // open when one is refused), given up, or the form stays.
    if (m_paginas && !m_paginas->pendentes().isEmpty()) {
        const int answer = msgPadrao->ShowMsg(QStringLiteral("SAIR_PENDENTE"), mtConfirmation, mbYes | mbNo | mbCancel);
        if (answer == mrYes)
            confirmaPendentes();
        else if (answer == mrNo)
            descartaPendentes();
        else
            throw Abort();
    }
    TfrmPadraoArvPlus::FormClose();
    timIdle->stop();
    Cli_pla01300::inContCheck = 0;
    netReceitaPadrao->Disconnect();
    netAutoriza->Disconnect();
    Cli_pla01300::boIdCriado = false;
    Cli_pla01300::frmReceitaPadrao = nullptr;
}
