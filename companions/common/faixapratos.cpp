#include "faixapratos.h"

#include "formcompanheiro.h"

#include "framework/core/consiste.h"
#include "framework/core/hostcontext.h"
#include "framework/ui/btnpesquisa.h"
#include "framework/ui/guard.h"
#include "framework/ui/maskedit.h"
#include "framework/ui/messages.h"
#include "framework/ui/query.h"
#include "framework/ui/search.h"
#include "framework/ui/tabvalid.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

using namespace framework;

namespace companions {

FaixaPratos::FaixaPratos(QWidget* parent, const TMessages& messages) : m_messages(messages)
{
    qryPesqPrato = query(parent, "qryPesqPrato",
                         "SELECT CDPRATO, NMPRATO, CDFILAUXPRAT, CDNVPRATO FROM PRATO "
                         "WHERE (CDFILAUXPRAT = 'P' OR CDFILAUXPRAT = :P_CDFILAUXPRAT) AND CDNVPRATO = :P_CDNVPRATO "
                         "ORDER BY CDPRATO, CDFILAUXPRAT");
    codeAndName(qryPesqPrato, "CDPRATO", 10, "NMPRATO", 40);
    qryPesqPrato->AddField(QStringLiteral("CDFILAUXPRAT"), FieldType::String, 4)->setVisible(false);
    qryPesqPrato->AddField(QStringLiteral("CDNVPRATO"), FieldType::String, 1)->setVisible(false);
    qryValidPrato = query(parent, "qryValidPrato",
                          "SELECT CDPRATO, NMPRATO, CDFILAUXPRAT, CDNVPRATO FROM PRATO "
                          "WHERE (CDFILAUXPRAT = 'P' OR CDFILAUXPRAT = :P_CDFILAUXPRAT) AND CDPRATO = :P_CDPRATO");

    m_grupo = new QGroupBox(QStringLiteral("Pratos"), parent);
    m_grupo->setObjectName(QStringLiteral("grbPratos"));
    auto* grid = new QGridLayout(m_grupo);
    inicial = linhaCodigo(m_grupo, grid, 0, QStringLiteral("Prato Inicial"), QStringLiteral("medCdPratoIni"), {},
                          QStringLiteral("edtNmPratoIni"), QStringLiteral("btnPrato"));
    final = linhaCodigo(m_grupo, grid, 1, QStringLiteral("Prato Final"), QStringLiteral("medCdPratoFin"), {},
                        QStringLiteral("edtNmPratoFin"), QStringLiteral("btnPratoFin"));
    grid->setColumnStretch(3, 1);
    inicial.rotulo->setObjectName(QStringLiteral("lblPratoIni"));
    final.rotulo->setObjectName(QStringLiteral("lblPratoFin"));
    ligaEventos(inicial);
    ligaEventos(final);
}

void FaixaPratos::ligaEventos(LinhaCodigo& linha)
{
    QGroupBox* owner = m_grupo;
    guardedConnect(linha.codigo, &QLineEdit::textChanged, owner, [nome = linha.nome] { nome->clear(); });
    guardedConnect(linha.nome, &QLineEdit::textChanged, owner, [this] {
        if (OnNomeMudou)
            OnNomeMudou();
    });
    guardedConnect(linha.codigo, &TMaskEdit::exited, owner, [this, &linha] { Vd_Prato(linha, false); });

    TBtnPesquisa& botao = *linha.botao;
    botao.setDataSet(qryPesqPrato);
    botao.setPlus(true);
    botao.setTitle(m_messages.Msg(QStringLiteral("Prato")));
    botao.setEmptyText(m_messages.Msg(QStringLiteral("N_Prato")));
    botao.BeforePesq = [this](TBtnPesquisa&) {
        qryPesqPrato->Close();
        qryPesqPrato->setParam(QStringLiteral("P_CDFILAUXPRAT"), filialCabecalhoReceita());
        qryPesqPrato->setParam(QStringLiteral("P_CDNVPRATO"), QString::number(hostContext().DBPictObj(1).GetTtNiveis()));
        qryPesqPrato->Open();
    };
    botao.AfterPesq = [this, &linha](TBtnPesquisa&) {
        linha.codigo->setText(qryPesqPrato->FieldByName(QStringLiteral("CDPRATO"))->AsString());
        linha.nome->setText(qryPesqPrato->FieldByName(QStringLiteral("NMPRATO"))->AsString());
        if (&linha == &inicial)
            final.codigo->setFocus();
        else if (AfterPesqFinal)
            AfterPesqFinal();
    };

    // F9 opens the search, F6 the search on the names; with a modifier the key is the field's.
    installGuardedEventFilter(linha.codigo, [this, &linha](QObject*, QEvent* event) {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() != Qt::NoModifier || (key->key() != Qt::Key_F9 && key->key() != Qt::Key_F6))
            return false;
        pesquisa(linha, key->key() == Qt::Key_F6);
        return true;
    });
}

void FaixaPratos::aplicaMascara()
{
    const QString mask = hostContext().DBPict(1).remove(u'.');
    inicial.codigo->setEditMask(mask);
    final.codigo->setEditMask(mask);
    qryPesqPrato->FieldByName(QStringLiteral("CDPRATO"))->setEditMask(mask);
}

void FaixaPratos::pesquisa(LinhaCodigo& linha, bool alternativa)
{
    if (!alternativa) {
        linha.botao->Execute();
        return;
    }
    linha.botao->BeforePesq(*linha.botao);
    if (Pesquisar_Plus(*qryPesqPrato, linha.botao->Title() + u'|' + linha.botao->EmptyText(), true))
        linha.botao->AfterPesq(*linha.botao);
}

void FaixaPratos::Vd_Prato(LinhaCodigo& linha, bool required)
{
    FocoNaFalha foco(linha.codigo);
    QString code = linha.codigo->Text();
    if (EmptyString(code)) {
        if (required)
            falha(m_messages, &linha == &inicial ? QStringLiteral("PratoIni_inf") : QStringLiteral("PratoFin_inf"),
                  linha.codigo);
        return;
    }
    Tabvalid::ValidEx(nullptr, 1, code, Tabvalid::voNivelCompleto, {}, true);
    linha.codigo->setText(code);
    qryValidPrato->Close();
    qryValidPrato->setParam(QStringLiteral("P_CDPRATO"), code);
    qryValidPrato->setParam(QStringLiteral("P_CDFILAUXPRAT"), filialCabecalhoReceita());
    qryValidPrato->Open();
    if (qryValidPrato->IsEmpty())
        falha(m_messages, QStringLiteral("Prato_nc"), linha.codigo);
    linha.nome->setText(qryValidPrato->FieldByName(QStringLiteral("NMPRATO"))->AsString());
}

void FaixaPratos::Vd_Faixa()
{
    Vd_Prato(inicial, true);
    Vd_Prato(final, true);
    if (inicial.codigo->Text() > final.codigo->Text())
        falha(m_messages, QStringLiteral("PratoIni<PratoFin"), inicial.codigo);
}

} // namespace companions
