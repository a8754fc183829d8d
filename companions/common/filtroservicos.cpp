#include "filtroservicos.h"

#include "formcompanheiro.h"

#include "framework/core/consiste.h"
#include "framework/core/hostcontext.h"
#include "framework/ui/btnpesquisa.h"
#include "framework/ui/guard.h"
#include "framework/ui/maskedit.h"
#include "framework/ui/messages.h"
#include "framework/ui/query.h"
#include "framework/ui/validafilial.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

using namespace framework;

namespace companions {

FiltroServicos::FiltroServicos(QWidget* parent, Query* qryFilialPesq, const TMessages& messages)
    : m_qryFilialPesq(qryFilialPesq), m_messages(messages)
{
    m_painel = new QGroupBox(QStringLiteral("Serviços"), parent);
    m_painel->setObjectName(QStringLiteral("panFiltro"));
    auto* grid = new QGridLayout(m_painel);
    filial = linhaCodigo(m_painel, grid, 0, QStringLiteral("Filial"), QStringLiteral("medFiliServ"), QStringLiteral(">aaaa"),
                         QStringLiteral("edtNmFiliServ"), QStringLiteral("btnFiliServ"));
    filial.rotulo->setObjectName(QStringLiteral("lblFiliServ"));
    grupo = linhaCodigo(m_painel, grid, 1, QStringLiteral("Grupo"), QStringLiteral("medCdGrupo"), QStringLiteral("999"),
                        QStringLiteral("edtNmGrupo"), QStringLiteral("btnGrupo"));
    grupo.rotulo->setObjectName(QStringLiteral("lblGrupo"));
    for (const LinhaCodigo* l : {&filial, &grupo})
        l->codigo->setFixedWidth(110);
    grid->setColumnStretch(3, 1);

    qryVdGrupo = query(parent, "qryVdGrupo",
                       "SELECT CDGRUPSERV, NMGRUPSERV FROM GRUPSERV WHERE ((:P_CDGRUPSERV = 'T') OR "
                       "(CDGRUPSERV = :P_CDGRUPSERV)) ORDER BY CDGRUPSERV");
    codeAndName(qryVdGrupo, "CDGRUPSERV", 3, "NMGRUPSERV", 40);
    ligaEventos();
}

void FiltroServicos::ligaEventos()
{
    for (const LinhaCodigo* l : {&filial, &grupo})
        guardedConnect(l->codigo, &QLineEdit::textChanged, m_painel, [nome = l->nome] { nome->clear(); });
    guardedConnect(filial.codigo, &TMaskEdit::exited, m_painel, [this] { Vd_Filial(false); });
    guardedConnect(grupo.codigo, &TMaskEdit::exited, m_painel, [this] { Vd_Grupo(); });

    filial.botao->setDataSet(m_qryFilialPesq);
    filial.botao->setTitle(QStringLiteral("Filial"));
    filial.botao->setEmptyText(QStringLiteral("Não há filial cadastrada"));
    filial.botao->BeforePesq = [this](TBtnPesquisa&) { m_qryFilialPesq->Refresh(); };
    filial.botao->AfterPesq = [this](TBtnPesquisa&) {
        filial.codigo->setText(m_qryFilialPesq->FieldByName(QStringLiteral("CDFILIAL"))->AsString());
        filial.nome->setText(m_qryFilialPesq->FieldByName(QStringLiteral("NMFILIAL"))->AsString());
    };

    grupo.botao->setDataSet(qryVdGrupo);
    grupo.botao->BeforePesq = [this](TBtnPesquisa& botao) {
        botao.setTitle(m_messages.Msg(QStringLiteral("GrupoServ")));
        botao.setEmptyText(m_messages.Msg(QStringLiteral("NHaGrupo")));
        qryVdGrupo->Close();
        qryVdGrupo->setParam(QStringLiteral("P_CDGRUPSERV"), QStringLiteral("T"));
        qryVdGrupo->Open();
    };
    grupo.botao->AfterPesq = [this](TBtnPesquisa&) {
        grupo.codigo->setText(qryVdGrupo->FieldByName(QStringLiteral("CDGRUPSERV"))->AsString());
        grupo.nome->setText(qryVdGrupo->FieldByName(QStringLiteral("NMGRUPSERV"))->AsString());
        if (!filial.codigo->Text().isEmpty() && AfterPesqGrupo)
            AfterPesqGrupo();
    };
}

void FiltroServicos::Vd_Filial(bool required)
{
    FocoNaFalha foco(filial.codigo);
    filial.codigo->setText(Ajusta(filial.codigo->Text(), 4));
    filial.nome->setText(ValidaFilial(filial.codigo->Text(), hostContext().Operador, required));
}

void FiltroServicos::Vd_Grupo()
{
    const QString code = grupo.codigo->Text().trimmed();
    if (code.isEmpty())
        return;
    grupo.codigo->setText(Ajusta(code, 3));
    qryVdGrupo->Close();
    qryVdGrupo->setParam(QStringLiteral("P_CDGRUPSERV"), grupo.codigo->Text());
    qryVdGrupo->Open();
    if (qryVdGrupo->IsEmpty())
        falha(m_messages, QStringLiteral("GrupoNCad"), grupo.codigo);
    grupo.nome->setText(qryVdGrupo->FieldByName(QStringLiteral("NMGRUPSERV"))->AsString());
}

FiltroServico FiltroServicos::Valida()
{
    Vd_Filial(true);
    Vd_Grupo();
    return {filial.codigo->Text(), grupo.codigo->Text().trimmed()};
}

void FiltroServicos::fixaFilial(const QString& codigo)
{
    filial.codigo->setText(codigo);
    Vd_Filial(false);
    m_filialFixa = true;
    filial.setEnabled(false);
}

void FiltroServicos::setHabilitado(bool habilitado)
{
    grupo.setEnabled(habilitado);
    filial.setEnabled(habilitado && !m_filialFixa);
}

} // namespace companions
