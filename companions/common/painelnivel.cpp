#include "painelnivel.h"

#include "formcompanheiro.h"

#include "framework/core/consiste.h"
#include "framework/core/hostcontext.h"
#include "framework/data/clientdataset.h"
#include "framework/data/datasource.h"
#include "framework/ui/dbedit.h"
#include "framework/ui/btnpesquisa.h"
#include "framework/ui/guard.h"
#include "framework/ui/maskedit.h"
#include "framework/ui/messages.h"
#include "framework/ui/query.h"
#include "framework/ui/validafilial.h"
#include "recipe/form/frmreceitapadrao.h"
#include "recipe/core/respostaservidor.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

using namespace framework;

namespace companions {

const NomesNivel NomesNivel::origem{
    "grbOrigem", "Origem",
    "rdbPadrao", "rdbTpCard", "rdbLocal", "rdbServico",
    "panTpCard",
    "lblCentral", "medCdCentral", "edtNmCentral", "btnCentral",
    "lblTpCard", "medCdTpCard", "edtNmTpCard", "btnTpCard",
    "lblFilialOrigem", "medCdFilialOrigem", "edtNmFilialOrigem", "btnFilialOrigem",
    "lblServicoOrigem", "medCdServicoOrigem", "edtNmServicoOrigem", "btnServicoOrigem",
};

const NomesNivel NomesNivel::destino{
    "grbDestino", "Destino",
    "rdbPadraoDest", "rdbTpCardDest", "rdbLocalDest", "rdbServicoDest",
    "panTpCardDest",
    "lblCentralDest", "medCdCentralDest", "edtNmCentralDest", "btnCentralDest",
    "lblTpCardDest", "medCdTpCardDest", "edtNmTpCardDest", "btnTpCardDest",
    "lblFilial", "medCdFilial", "edtNmFilial", "btnFilial",
    "lblServico", "medCdServico", "edtNmServico", "btnServico",
};

ConsultasNivel ConsultasNivel::cria(QObject* form, Servicos servicos)
{
    ConsultasNivel c;
    c.qryFilialPesq = query(form, "qryFilialPesq", "SELECT CDFILIAL, NMFILIAL FROM FILIAL ORDER BY CDFILIAL");
    codeAndName(c.qryFilialPesq, "CDFILIAL", 4, "NMFILIAL", 30);
    c.qryNomeFilial = query(form, "qryNomeFilial", "SELECT CDFILIAL, NMFILIAL FROM FILIAL WHERE CDFILIAL = :P_CDFILIAL");
    c.qryServicoPesq = query(form, "qryServicoPesq",
                             servicos == Servicos::Refeicao
                                 ? "SELECT CDSERVFILI, CDFILIAL, NMSERVICO FROM SERVICO WHERE CDFILIAL = :P_CDFILIAL "
                                   "AND (IDTIPOSERV IN ('N', 'D')) ORDER BY CDFILIAL, CDSERVFILI"
                                 : "SELECT CDSERVFILI, CDFILIAL, NMSERVICO FROM SERVICO WHERE CDFILIAL = :P_CDFILIAL "
                                   "ORDER BY CDFILIAL, CDSERVFILI");
    c.qryServicoPesq->AddField(QStringLiteral("CDSERVFILI"), FieldType::String, 5)->setDisplayLabel(QStringLiteral("Código"));
    c.qryServicoPesq->AddField(QStringLiteral("CDFILIAL"), FieldType::String, 4)->setVisible(false);
    c.qryServicoPesq->AddField(QStringLiteral("NMSERVICO"), FieldType::String, 40)->setDisplayLabel(QStringLiteral("Nome"));
    c.qryValidServ = query(form, "qryValidServ",
                           "SELECT CDSERVFILI, CDFILIAL, NMSERVICO, IDTIPOSERV FROM SERVICO "
                           "WHERE CDFILIAL = :P_CDFILIAL AND CDSERVFILI = :P_CDSERVFILI");
    c.qryTipoCard = query(form, "qryTipoCard",
                          "SELECT CDTIPOCARD, NMTIPOCARD FROM TIPOCARD WHERE CDFILCENTPME = :P_CDFILCENTPME "
                          "AND ((:P_TCDTIPOCARD = 'T') OR (CDTIPOCARD = :P_CDTIPOCARD)) ORDER BY CDTIPOCARD");
    codeAndName(c.qryTipoCard, "CDTIPOCARD", 10, "NMTIPOCARD", 100);
    c.qryFiliCentAgreg = consultaFiliCentAgreg(form);
    return c;
}

PainelNivel::PainelNivel(QWidget* parent, const NomesNivel& nomes, const ConsultasNivel& consultas,
                         const TMessages& messages, const CamposNivel* campos)
    : m_consultas(consultas), m_messages(messages), m_fonte(campos ? campos->fonte : nullptr)
{
    criaComponentes(parent, nomes, campos);
    ligaEventos();
    if (campos)
        ligaCampos(*campos);
}

void PainelNivel::criaComponentes(QWidget* parent, const NomesNivel& n, const CamposNivel* campos)
{
    m_grupo = new QGroupBox(QString::fromUtf8(n.titulo), parent);
    m_grupo->setObjectName(QString::fromLatin1(n.grupo));
    auto* layout = new QVBoxLayout(m_grupo);
    auto* radios = new QHBoxLayout;
    rdbPadrao = radio(m_grupo, n.rdbPadrao, "Padrão");
    rdbTpCard = radio(m_grupo, n.rdbTpCard, "Tipo de Cardápio");
    rdbLocal = radio(m_grupo, n.rdbLocal, "Local");
    rdbServico = radio(m_grupo, n.rdbServico, "Por Serviço");
    for (QRadioButton* r : {rdbPadrao, rdbTpCard, rdbLocal, rdbServico})
        radios->addWidget(r);
    radios->addStretch(1);
    rdbPadrao->setChecked(true);
    layout->addLayout(radios);

    const auto linha = [campos](QWidget* owner, QGridLayout* grid, int row, const char* caption, const char* label,
                                const char* code, const char* mask, const char* name, const char* button,
                                const char* codeField, const char* nameField) {
        const CamposLinha doRegistro{campos ? campos->fonte : nullptr, codeField, nameField};
        LinhaCodigo l = linhaCodigo(owner, grid, row, QString::fromUtf8(caption), QString::fromLatin1(code),
                                    QString::fromLatin1(mask), QString::fromLatin1(name), QString::fromLatin1(button),
                                    campos ? &doRegistro : nullptr);
        l.rotulo->setObjectName(QString::fromLatin1(label));
        return l;
    };
    const CamposNivel semCampos{};
    const CamposNivel& c = campos ? *campos : semCampos;
    panTpCard = new QWidget(m_grupo);
    panTpCard->setObjectName(QString::fromLatin1(n.panTpCard));
    auto* tpGrid = new QGridLayout(panTpCard);
    tpGrid->setContentsMargins(0, 0, 0, 0);
    central = linha(panTpCard, tpGrid, 0, "Central", n.lblCentral, n.medCdCentral, ">aaaa", n.edtNmCentral, n.btnCentral,
                    c.central, c.nmCentral);
    // Menu types are numbered or named ("HOSPITALAR"), as in the recipe form.
    tipoCard = linha(panTpCard, tpGrid, 1, "Tipo de Cardápio", n.lblTpCard, n.medCdTpCard, ">aaaaaaaaaa",
                     n.edtNmTpCard, n.btnTpCard, c.tipoCard, c.nmTipoCard);
    layout->addWidget(panTpCard);

    auto* sites = new QWidget(m_grupo);
    auto* sitesGrid = new QGridLayout(sites);
    sitesGrid->setContentsMargins(0, 0, 0, 0);
    filial = linha(sites, sitesGrid, 0, "Filial", n.lblFilial, n.medCdFilial, ">aaaa", n.edtNmFilial, n.btnFilial,
                   c.filial, c.nmFilial);
    servico = linha(sites, sitesGrid, 1, "Serviço", n.lblServico, n.medCdServico, "ccccc", n.edtNmServico, n.btnServico,
                    c.servico, c.nmServico);
    layout->addWidget(sites);
    layout->addStretch(1);
    // Codes are short; the names beside them take the room.
    for (QGridLayout* grid : {tpGrid, sitesGrid})
        grid->setColumnStretch(3, 1);
    // The two grids' rows line up under the longest caption and the widest code.
    for (const LinhaCodigo* l : {&central, &tipoCard, &filial, &servico}) {
        l->rotulo->setMinimumWidth(tipoCard.rotulo->sizeHint().width());
        l->codigo->setFixedWidth(110);
    }
}

void PainelNivel::ligaEventos()
{
    for (QRadioButton* r : {rdbPadrao, rdbTpCard, rdbLocal, rdbServico})
        guardedConnect(r, &QRadioButton::clicked, m_grupo, [this] { rdbClick(); });

    // A changed code no longer has the name shown beside it; the central's menu types go with it.
    // (A panel of a row's fields clears the row's names: ligaCampos.)
    if (!m_fonte) {
        for (const LinhaCodigo* l : {&central, &tipoCard, &filial, &servico})
            guardedConnect(l->codigo, &QLineEdit::textChanged, m_grupo, [nome = l->nome] { nome->clear(); });
        guardedConnect(central.codigo, &QLineEdit::textChanged, m_grupo, [this] { tipoCard.limpa(); });
        for (const LinhaCodigo* l : {&central, &tipoCard, &filial, &servico})
            guardedConnect(l->nome, &QLineEdit::textChanged, m_grupo, [this] {
                if (OnNomeMudou)
                    OnNomeMudou();
            });
    }

    guardedConnect(central.codigo, &TMaskEdit::exited, m_grupo, [this] { VdCentral(false); });
    guardedConnect(tipoCard.codigo, &TMaskEdit::exited, m_grupo, [this] { Vd_TipoCard(false); });
    guardedConnect(filial.codigo, &TMaskEdit::exited, m_grupo, [this] { Vd_Filial(false); });
    guardedConnect(servico.codigo, &TMaskEdit::exited, m_grupo, [this] { Vd_Servico(false); });

    const auto lookup = [](TBtnPesquisa* button, Query* list, const char* title, const char* empty) {
        button->setDataSet(list);
        button->setTitle(QString::fromUtf8(title));
        button->setEmptyText(QString::fromUtf8(empty));
    };
    lookup(filial.botao, m_consultas.qryFilialPesq, "Filial", "Não há filial cadastrada");
    lookup(servico.botao, m_consultas.qryServicoPesq, "Serviço", "Não há serviço cadastrado");
    lookup(tipoCard.botao, m_consultas.qryTipoCard, "Tipo de Cardápio", "Não há tipo de cardápio cadastrado");
    filial.botao->BeforePesq = [this](TBtnPesquisa&) { m_consultas.qryFilialPesq->Refresh(); };
    servico.botao->BeforePesq = [this](TBtnPesquisa&) {
        Query& q = *m_consultas.qryServicoPesq;
        q.Close();
        q.setParam(QStringLiteral("P_CDFILIAL"), codigo(filial));
        q.Open();
    };
    tipoCard.botao->BeforePesq = [this](TBtnPesquisa&) {
        Query& q = *m_consultas.qryTipoCard;
        q.Close();
        q.setParam(QStringLiteral("P_CDFILCENTPME"), codigo(central));
        q.setParam(QStringLiteral("P_TCDTIPOCARD"), QStringLiteral("T"));
        q.setParam(QStringLiteral("P_CDTIPOCARD"), QString());
        q.Open();
    };
    const auto escolhe = [this](const LinhaCodigo& line, Query* list, const char* code, const char* name) {
        line.botao->AfterPesq = [this, line, list, code, name](TBtnPesquisa&) {
            defineCodigo(line, list->FieldByName(QString::fromLatin1(code))->AsString());
            defineNome(line, list->FieldByName(QString::fromLatin1(name))->AsString());
        };
    };
    escolhe(filial, m_consultas.qryFilialPesq, "CDFILIAL", "NMFILIAL");
    escolhe(servico, m_consultas.qryServicoPesq, "CDSERVFILI", "NMSERVICO");
    escolhe(tipoCard, m_consultas.qryTipoCard, "CDTIPOCARD", "NMTIPOCARD");
    // The centrals are the recipe form's list, read when the button is pressed.
    central.botao->BeforePesq = [this](TBtnPesquisa& button) {
        TfrmReceitaPadrao& receita = formReceita();
        receita.getCentral(QStringLiteral("T"));
        button.setDataSet(receita.cdsCentral);
        button.setTitle(receita.msgPadrao->Msg(QStringLiteral("CENTRAL")));
        button.setEmptyText(receita.msgPadrao->Msg(QStringLiteral("N_HA_CENTRAL")));
    };
    central.botao->AfterPesq = [this](TBtnPesquisa& button) {
        defineCodigo(central, button.DataSet()->FieldByName(QStringLiteral("CDCENTRAL"))->AsString());
        defineNome(central, button.DataSet()->FieldByName(QStringLiteral("NMCENTRAL"))->AsString());
    };
}

void PainelNivel::ligaCampos(const CamposNivel& c)
{
    ClientDataSet& linhas = *m_fonte->DataSet();
    const auto limpa = [&linhas](std::initializer_list<const char*> nomes) {
        QStringList campos;
        for (const char* nome : nomes)
            campos << QString::fromLatin1(nome);
        return [&linhas, campos](Field&) {
            for (const QString& campo : campos)
                linhas.FieldByName(campo)->Clear();
        };
    };
    // A changed code no longer has the name beside it; a central's menu type goes with it.
    linhas.FieldByName(QString::fromLatin1(c.central))->OnChange = limpa({c.nmCentral, c.tipoCard, c.nmTipoCard});
    linhas.FieldByName(QString::fromLatin1(c.tipoCard))->OnChange = limpa({c.nmTipoCard});
    linhas.FieldByName(QString::fromLatin1(c.filial))->OnChange = limpa({c.nmFilial});
    linhas.FieldByName(QString::fromLatin1(c.servico))->OnChange = limpa({c.nmServico});
}

bool PainelNivel::editavel() const
{
    if (!m_fonte)
        return true;
    const ClientDataSet* linhas = m_fonte->DataSet();
    return linhas && (linhas->state() == ClientDataSet::State::Edit || linhas->state() == ClientDataSet::State::Insert);
}

QString PainelNivel::codigo(const LinhaCodigo& linha) const
{
    if (const auto* vinculado = qobject_cast<const TDBEdit*>(linha.codigo))
        return vinculado->field() ? vinculado->field()->AsString() : QString();
    return linha.codigo->Text();
}

QString PainelNivel::nome(const LinhaCodigo& linha) const
{
    if (const auto* vinculado = qobject_cast<const TDBEdit*>(linha.nome))
        return vinculado->field() ? vinculado->field()->AsString() : QString();
    return linha.nome->text();
}

void PainelNivel::defineCodigo(const LinhaCodigo& linha, const QString& valor) const
{
    if (codigo(linha) == valor)
        return;
    auto* vinculado = qobject_cast<TDBEdit*>(linha.codigo);
    if (!vinculado) {
        linha.codigo->setText(valor);
        return;
    }
    if (!vinculado->field())
        return;
    ClientDataSet& linhas = *vinculado->field()->DataSet();
    if (linhas.state() == ClientDataSet::State::Browse)
        linhas.Edit();
    vinculado->field()->setAsString(valor);
}

void PainelNivel::defineNome(const LinhaCodigo& linha, const QString& valor) const
{
    if (nome(linha) == valor)
        return;
    auto* vinculado = qobject_cast<TDBEdit*>(linha.nome);
    if (!vinculado) {
        linha.nome->setText(valor);
        return;
    }
    if (!vinculado->field())
        return;
    ClientDataSet& linhas = *vinculado->field()->DataSet();
    if (linhas.state() == ClientDataSet::State::Browse)
        linhas.Edit();
    vinculado->field()->setAsString(valor);
}

QString PainelNivel::Tipo() const
{
    if (rdbPadrao->isChecked())
        return QStringLiteral("P");
    if (rdbTpCard->isChecked())
        return QStringLiteral("T");
    if (rdbLocal->isChecked())
        return QStringLiteral("F");
    return QStringLiteral("S");
}

CodigosNivel PainelNivel::Codigos() const
{
    return {Tipo(), codigo(central), codigo(tipoCard), codigo(filial), codigo(servico)};
}

void PainelNivel::rdbClick()
{
    if (BeforeClick)
        BeforeClick();
    aplicaTipo();
    preencheFilial();
    if (AfterClick)
        AfterClick();
}

void PainelNivel::mostraTipo(const QString& tipo)
{
    QRadioButton* radio = tipo == u"T" ? rdbTpCard : tipo == u"F" ? rdbLocal : tipo == u"S" ? rdbServico : rdbPadrao;
    radio->setChecked(true);
    aplicaTipo();
}

void PainelNivel::aplicaTipo()
{
    const QString tipo = Tipo();
    tipoCard.setEnabled(tipo == u"T");
    if (!m_filialFixa)
        filial.setEnabled((tipo == u"F" || tipo == u"S") && !hostContext().ModuFili);
    servico.setEnabled(tipo == u"S");
}

void PainelNivel::preencheFilial()
{
    const QString tipo = Tipo();
    if ((tipo != u"F" && tipo != u"S") || !editavel())
        return;
    // A branch module works on its own branch only.
    const HostContext& context = hostContext();
    const QString propria = context.ModuFili ? context.FiliProc : filialCabecalhoReceita();
    const QString atual = codigo(filial);
    if (!atual.isEmpty() && (!context.ModuFili || atual == propria))
        return;
    Query& nomeFilial = *m_consultas.qryNomeFilial;
    nomeFilial.Close();
    nomeFilial.setParam(QStringLiteral("P_CDFILIAL"), propria);
    nomeFilial.Open();
    defineCodigo(filial, propria);
    defineNome(filial, nomeFilial.FieldByName(QStringLiteral("NMFILIAL"))->AsString());
}

void PainelNivel::setHabilitado(bool habilitado)
{
    // The fields of other levels stay off when the panel comes back on.
    m_grupo->setEnabled(habilitado);
    if (habilitado)
        aplicaTipo();
}

void PainelNivel::HabilitaCentral(bool permiteEscolha)
{
    central.setEnabled(permiteEscolha && rdbTpCard->isChecked());
}

void PainelNivel::escondeTpCard()
{
    panTpCard->hide();
    rdbTpCard->hide();
}

bool PainelNivel::mostraCentral(const QString& filialCentral)
{
    Query& q = *m_consultas.qryFiliCentAgreg;
    q.Close();
    q.setParam(QStringLiteral("P_CDFILIAL"), filialCentral);
    q.Open();
    if (q.IsEmpty())
        return false;
    defineCodigo(central, q.FieldByName(QStringLiteral("CDCENTRAL"))->AsString());
    defineNome(central, q.FieldByName(QStringLiteral("NMCENTRAL"))->AsString());
    return true;
}

void PainelNivel::falha(const char* key, QWidget* field) const
{
    companions::falha(m_messages, QString::fromLatin1(key), field);
}

void PainelNivel::VdCentral(bool required)
{
    TfrmReceitaPadrao& receita = formReceita();
    if (!editavel() || recipe::flag(receita.cdsGerParamGeral, "IDPERMSELCENTRALPLA") != u"S"
        || !central.codigo->isEnabled() || !nome(central).isEmpty())
        return;
    FocoNaFalha foco(central.codigo);
    const QString code = Ajusta(codigo(central), 4);
    defineCodigo(central, code);
    if (code.isEmpty()) {
        if (required)
            companions::falha(*receita.msgPadrao, QStringLiteral("CENTRAL_N_INF"), central.codigo);
        return;
    }
    receita.getCentral(code);
    if (receita.cdsCentral->IsEmpty())
        companions::falha(*receita.msgPadrao, QStringLiteral("CENTRAL_N_CAD"), central.codigo);
    defineNome(central, receita.cdsCentral->FieldByName(QStringLiteral("NMCENTRAL"))->AsString());
}

void PainelNivel::Vd_TipoCard(bool required)
{
    if (!editavel())
        return;
    VdCentral(true);
    {
        // The central is a registered branch, whoever chose it.
        FocoNaFalha foco(central.codigo);
        defineCodigo(central, Ajusta(codigo(central), 4));
        defineNome(central, ValidaFilial(codigo(central), hostContext().Operador, true));
    }
    FocoNaFalha foco(tipoCard.codigo);
    const QString code = AjustaTipoCard(codigo(tipoCard));
    defineCodigo(tipoCard, code);
    if (code.isEmpty()) {
        if (required)
            falha("TPCARD_EMPTY", tipoCard.codigo);
        return;
    }
    Query& q = *m_consultas.qryTipoCard;
    q.Close();
    q.setParam(QStringLiteral("P_CDFILCENTPME"), codigo(central));
    q.setParam(QStringLiteral("P_TCDTIPOCARD"), QString());
    q.setParam(QStringLiteral("P_CDTIPOCARD"), code);
    q.Open();
    if (q.IsEmpty())
        falha("TPCARD_NCAD", tipoCard.codigo);
    defineNome(tipoCard, q.FieldByName(QStringLiteral("NMTIPOCARD"))->AsString());
}

void PainelNivel::Vd_Filial(bool required)
{
    if (!editavel())
        return;
    FocoNaFalha foco(filial.codigo);
    defineCodigo(filial, Ajusta(codigo(filial), 4));
    defineNome(filial, ValidaFilial(codigo(filial), hostContext().Operador, required));
}

void PainelNivel::Vd_Servico(bool required)
{
    if (!editavel())
        return;
    // A service is looked up in its branch: the branch comes first.
    Vd_Filial(true);
    FocoNaFalha foco(servico.codigo);
    const QString code = Ajusta(codigo(servico), 5);
    defineCodigo(servico, code);
    if (code.isEmpty()) {
        if (required)
            falha("Servico_inf", servico.codigo);
        return;
    }
    if (VerificaServico)
        VerificaServico(codigo(filial), code);
    Query& q = *m_consultas.qryValidServ;
    q.Close();
    q.setParam(QStringLiteral("P_CDFILIAL"), codigo(filial));
    q.setParam(QStringLiteral("P_CDSERVFILI"), code);
    q.Open();
    if (q.IsEmpty())
        falha("Servico_nc", servico.codigo);
    const QString tipo = q.FieldByName(QStringLiteral("IDTIPOSERV"))->AsString();
    if (m_servicosRefeicao && tipo != u"N" && tipo != u"D")
        falha("Servico_Fatu_Ambu", servico.codigo);
    defineNome(servico, q.FieldByName(QStringLiteral("NMSERVICO"))->AsString());
}

QString PainelNivel::Vd_Nivel()
{
    const QString tipo = Tipo();
    if (tipo == u"T") {
        if (EmptyString(codigo(tipoCard)))
            falha("TPCARD_EMPTY", tipoCard.codigo);
        Vd_TipoCard(true);
    } else if (tipo == u"F" || tipo == u"S") {
        // A service is looked up in its branch: the branch comes first.
        if (EmptyString(codigo(filial)))
            falha("Filial_inf", filial.codigo);
        Vd_Filial(true);
        if (tipo == u"S") {
            if (EmptyString(codigo(servico)))
                falha("Servico_inf", servico.codigo);
            Vd_Servico(true);
        }
    }
    return tipo;
}

} // namespace companions
