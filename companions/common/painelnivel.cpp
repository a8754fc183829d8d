#include "painelnivel.h"

#include "formcompanheiro.h"

#include "framework/core/consiste.h"
#include "framework/core/hostcontext.h"
#include "framework/data/clientdataset.h"
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

ConsultasNivel ConsultasNivel::cria(QObject* form)
{
    ConsultasNivel c;
    c.qryFilialPesq = query(form, "qryFilialPesq", "SELECT CDFILIAL, NMFILIAL FROM FILIAL ORDER BY CDFILIAL");
    codeAndName(c.qryFilialPesq, "CDFILIAL", 4, "NMFILIAL", 30);
    c.qryNomeFilial = query(form, "qryNomeFilial", "SELECT CDFILIAL, NMFILIAL FROM FILIAL WHERE CDFILIAL = :P_CDFILIAL");
    c.qryServicoPesq = query(form, "qryServicoPesq",
                             "SELECT CDSERVFILI, CDFILIAL, NMSERVICO FROM SERVICO WHERE CDFILIAL = :P_CDFILIAL "
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
                         const TMessages& messages)
    : m_consultas(consultas), m_messages(messages)
{
    criaComponentes(parent, nomes);
    ligaEventos();
}

void PainelNivel::criaComponentes(QWidget* parent, const NomesNivel& n)
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

    const auto linha = [](QWidget* owner, QGridLayout* grid, int row, const char* caption, const char* label,
                          const char* code, const char* mask, const char* name, const char* button) {
        LinhaCodigo l = linhaCodigo(owner, grid, row, QString::fromUtf8(caption), QString::fromLatin1(code),
                                    QString::fromLatin1(mask), QString::fromLatin1(name), QString::fromLatin1(button));
        l.rotulo->setObjectName(QString::fromLatin1(label));
        return l;
    };
    panTpCard = new QWidget(m_grupo);
    panTpCard->setObjectName(QString::fromLatin1(n.panTpCard));
    auto* tpGrid = new QGridLayout(panTpCard);
    tpGrid->setContentsMargins(0, 0, 0, 0);
    central = linha(panTpCard, tpGrid, 0, "Central", n.lblCentral, n.medCdCentral, ">aaaa", n.edtNmCentral, n.btnCentral);
    // Menu types are numbered or named ("HOSPITALAR"), as in the recipe form.
    tipoCard = linha(panTpCard, tpGrid, 1, "Tipo de Cardápio", n.lblTpCard, n.medCdTpCard, ">aaaaaaaaaa",
                     n.edtNmTpCard, n.btnTpCard);
    layout->addWidget(panTpCard);

    auto* sites = new QWidget(m_grupo);
    auto* sitesGrid = new QGridLayout(sites);
    sitesGrid->setContentsMargins(0, 0, 0, 0);
    filial = linha(sites, sitesGrid, 0, "Filial", n.lblFilial, n.medCdFilial, ">aaaa", n.edtNmFilial, n.btnFilial);
    servico = linha(sites, sitesGrid, 1, "Serviço", n.lblServico, n.medCdServico, "ccccc", n.edtNmServico, n.btnServico);
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
    for (const LinhaCodigo* l : {&central, &tipoCard, &filial, &servico})
        guardedConnect(l->codigo, &QLineEdit::textChanged, m_grupo, [nome = l->nome] { nome->clear(); });
    guardedConnect(central.codigo, &QLineEdit::textChanged, m_grupo, [this] { tipoCard.limpa(); });
    for (const LinhaCodigo* l : {&central, &tipoCard, &filial, &servico})
        guardedConnect(l->nome, &QLineEdit::textChanged, m_grupo, [this] {
            if (OnNomeMudou)
                OnNomeMudou();
        });

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
        q.setParam(QStringLiteral("P_CDFILIAL"), filial.codigo->Text());
        q.Open();
    };
    tipoCard.botao->BeforePesq = [this](TBtnPesquisa&) {
        Query& q = *m_consultas.qryTipoCard;
        q.Close();
        q.setParam(QStringLiteral("P_CDFILCENTPME"), central.codigo->Text());
        q.setParam(QStringLiteral("P_TCDTIPOCARD"), QStringLiteral("T"));
        q.setParam(QStringLiteral("P_CDTIPOCARD"), QString());
        q.Open();
    };
    const auto escolhe = [](const LinhaCodigo& line, Query* list, const char* code, const char* name) {
        line.botao->AfterPesq = [line, list, code, name](TBtnPesquisa&) {
            line.codigo->setText(list->FieldByName(QString::fromLatin1(code))->AsString());
            line.nome->setText(list->FieldByName(QString::fromLatin1(name))->AsString());
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
        central.codigo->setText(button.DataSet()->FieldByName(QStringLiteral("CDCENTRAL"))->AsString());
        central.nome->setText(button.DataSet()->FieldByName(QStringLiteral("NMCENTRAL"))->AsString());
    };
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
    return {Tipo(), central.codigo->Text(), tipoCard.codigo->Text(), filial.codigo->Text(), servico.codigo->Text()};
}

void PainelNivel::rdbClick()
{
    if (BeforeClick)
        BeforeClick();
    const QString tipo = Tipo();
    const bool local = tipo == u"F" || tipo == u"S";
    tipoCard.setEnabled(tipo == u"T");
    if (!m_filialFixa)
        filial.setEnabled(local && !hostContext().ModuFili);
    servico.setEnabled(tipo == u"S");
    if (local && filial.codigo->Text().isEmpty()) {
        Query& nome = *m_consultas.qryNomeFilial;
        nome.Close();
        nome.setParam(QStringLiteral("P_CDFILIAL"), filialCabecalhoReceita());
        nome.Open();
        filial.codigo->setText(filialCabecalhoReceita());
        filial.nome->setText(nome.FieldByName(QStringLiteral("NMFILIAL"))->AsString());
    }
    if (AfterClick)
        AfterClick();
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
    central.codigo->setText(q.FieldByName(QStringLiteral("CDCENTRAL"))->AsString());
    central.nome->setText(q.FieldByName(QStringLiteral("NMCENTRAL"))->AsString());
    return true;
}

void PainelNivel::falha(const char* key, QWidget* field) const
{
    companions::falha(m_messages, QString::fromLatin1(key), field);
}

void PainelNivel::VdCentral(bool required)
{
    TfrmReceitaPadrao& receita = formReceita();
    if (recipe::flag(receita.cdsGerParamGeral, "IDPERMSELCENTRALPLA") != u"S" || !central.codigo->isEnabled()
        || !central.nome->text().isEmpty())
        return;
    FocoNaFalha foco(central.codigo);
    const QString code = Ajusta(central.codigo->Text(), 4);
    central.codigo->setText(code);
    if (code.isEmpty()) {
        if (required)
            companions::falha(*receita.msgPadrao, QStringLiteral("CENTRAL_N_INF"), central.codigo);
        return;
    }
    receita.getCentral(code);
    if (receita.cdsCentral->IsEmpty())
        companions::falha(*receita.msgPadrao, QStringLiteral("CENTRAL_N_CAD"), central.codigo);
    central.nome->setText(receita.cdsCentral->FieldByName(QStringLiteral("NMCENTRAL"))->AsString());
}

void PainelNivel::Vd_TipoCard(bool required)
{
    VdCentral(true);
    FocoNaFalha foco(tipoCard.codigo);
    const QString code = AjustaTipoCard(tipoCard.codigo->Text());
    tipoCard.codigo->setText(code);
    if (code.isEmpty()) {
        if (required)
            falha("TPCARD_EMPTY", tipoCard.codigo);
        return;
    }
    Query& q = *m_consultas.qryTipoCard;
    q.Close();
    q.setParam(QStringLiteral("P_CDFILCENTPME"), central.codigo->Text());
    q.setParam(QStringLiteral("P_TCDTIPOCARD"), QString());
    q.setParam(QStringLiteral("P_CDTIPOCARD"), code);
    q.Open();
    if (q.IsEmpty())
        falha("TPCARD_NCAD", tipoCard.codigo);
    tipoCard.nome->setText(q.FieldByName(QStringLiteral("NMTIPOCARD"))->AsString());
}

void PainelNivel::Vd_Filial(bool required)
{
    FocoNaFalha foco(filial.codigo);
    filial.codigo->setText(Ajusta(filial.codigo->Text(), 4));
    const QString nome = ValidaFilial(filial.codigo->Text(), hostContext().Operador, required);
    filial.nome->setText(nome);
}

void PainelNivel::Vd_Servico(bool required)
{
    FocoNaFalha foco(servico.codigo);
    const QString code = Ajusta(servico.codigo->Text(), 5);
    servico.codigo->setText(code);
    if (code.isEmpty()) {
        if (required)
            falha("Servico_inf", servico.codigo);
        return;
    }
    Query& q = *m_consultas.qryValidServ;
    q.Close();
    q.setParam(QStringLiteral("P_CDFILIAL"), filial.codigo->Text());
    q.setParam(QStringLiteral("P_CDSERVFILI"), code);
    q.Open();
    if (q.IsEmpty())
        falha("Servico_nc", servico.codigo);
    servico.nome->setText(q.FieldByName(QStringLiteral("NMSERVICO"))->AsString());
}

QString PainelNivel::Vd_Nivel()
{
    const QString tipo = Tipo();
    if (tipo == u"T") {
        if (EmptyString(tipoCard.codigo->Text()))
            falha("TPCARD_EMPTY", tipoCard.codigo);
        Vd_TipoCard(true);
    } else if (tipo == u"F" || tipo == u"S") {
        // A service is looked up in its branch: the branch comes first.
        if (EmptyString(filial.codigo->Text()))
            falha("Filial_inf", filial.codigo);
        Vd_Filial(true);
        if (tipo == u"S") {
            if (EmptyString(servico.codigo->Text()))
                falha("Servico_inf", servico.codigo);
            Vd_Servico(true);
        }
    }
    return tipo;
}

} // namespace companions
