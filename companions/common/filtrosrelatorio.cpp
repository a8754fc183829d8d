#include "filtrosrelatorio.h"

#include "formcompanheiro.h"

#include "framework/core/consiste.h"
#include "framework/core/hostcontext.h"
#include "framework/ui/btnpesquisa.h"
#include "framework/ui/dbedit.h"
#include "framework/ui/guard.h"
#include "framework/ui/maskedit.h"
#include "framework/ui/messages.h"
#include "framework/ui/query.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

using namespace framework;

namespace companions {

QRadioButton* radio(QWidget* parent, const char* name, const char* caption)
{
    auto* r = new QRadioButton(QString::fromUtf8(caption), parent);
    r->setObjectName(QString::fromLatin1(name));
    return r;
}

Query* query(QObject* parent, const char* name, const char* sql)
{
    auto* q = new Query(parent, QString::fromLatin1(name));
    q->setSQL(QString::fromUtf8(sql));
    return q;
}

void codeAndName(Query* q, const char* code, int codeSize, const char* name, int nameSize)
{
    q->AddField(QString::fromLatin1(code), FieldType::String, codeSize)->setDisplayLabel(QStringLiteral("Código"));
    q->AddField(QString::fromLatin1(name), FieldType::String, nameSize)->setDisplayLabel(QStringLiteral("Nome"));
}

QWidget* grupoOrigem(QWidget* parent, RadiosOrigem& radios)
{
    auto* origem = new QGroupBox(QStringLiteral("Origem"), parent);
    origem->setObjectName(QStringLiteral("grbOrigem"));
    auto* row = new QHBoxLayout(origem);
    radios.padrao = radio(origem, "rdbPadrao", "&Padrão");
    radios.local = radio(origem, "rdbLocal", "&Local");
    radios.servico = radio(origem, "rdbServico", "&Serviço");
    radios.tpCard = radio(origem, "rdbTpCard", "&Tipo de Cardápio");
    for (QRadioButton* r : {radios.padrao, radios.local, radios.servico, radios.tpCard})
        row->addWidget(r);
    row->addStretch(1);
    radios.padrao->setChecked(true);
    return origem;
}

void LinhaCodigo::setEnabled(bool enabled) const
{
    for (QWidget* w : {static_cast<QWidget*>(rotulo), static_cast<QWidget*>(codigo), static_cast<QWidget*>(botao)})
        if (w)
            w->setEnabled(enabled);
}

void LinhaCodigo::limpa() const
{
    codigo->Clear();
    nome->clear();
}

LinhaCodigo linhaCodigo(QWidget* parent, QGridLayout* grid, int row, const QString& caption, const QString& codeName,
                        const QString& mask, const QString& nameName, const QString& buttonName,
                        const CamposLinha* campos)
{
    LinhaCodigo line;
    line.rotulo = new QLabel(caption, parent);
    if (campos) {
        auto* codigo = new TDBEdit(parent, codeName);
        codigo->setDataSource(campos->fonte);
        codigo->setDataField(QString::fromLatin1(campos->codigo));
        auto* nome = new TDBEdit(parent, nameName);
        nome->setDataSource(campos->fonte);
        nome->setDataField(QString::fromLatin1(campos->nome));
        nome->setReadOnly(true);
        line.codigo = codigo;
        line.nome = nome;
    } else {
        line.codigo = new TMaskEdit(parent, codeName);
        line.nome = new QLineEdit(parent);
        line.nome->setObjectName(nameName);
        line.nome->setReadOnly(true);
    }
    line.codigo->setEditMask(mask);
    line.codigo->setMaximumWidth(130);
    line.rotulo->setBuddy(line.codigo);
    line.nome->setFocusPolicy(Qt::NoFocus);
    // A long name is read from its beginning.
    guardedConnect(line.nome, &QLineEdit::textChanged, line.nome, [nome = line.nome] { nome->setCursorPosition(0); });
    grid->addWidget(line.rotulo, row, 0);
    grid->addWidget(line.codigo, row, 1);
    if (!buttonName.isEmpty()) {
        line.botao = new TBtnPesquisa(parent, buttonName);
        line.botao->setText(QStringLiteral("..."));
        line.botao->setFocusPolicy(Qt::NoFocus);
        grid->addWidget(line.botao, row, 2);
    }
    grid->addWidget(line.nome, row, 3);
    return line;
}

Query* consultaFiliCentAgreg(QObject* parent)
{
    auto* q = new Query(parent, QStringLiteral("qryFiliCentAgreg"));
    q->setSQL(QStringLiteral(
        "SELECT A.CDFILIAL, A.NMFILIAL, B.CDFILIAL AS CDCENTRAL, B.NMFILIAL AS NMCENTRAL FROM FILIAL A, FILIAL B "
        "WHERE A.CDFILIAL = :P_CDFILIAL AND (((A.CDFILIAL = B.CDFILIAL) AND (A.IDFILCENTPME = 'S')) OR "
        "(A.CDFILCENTPME IS NOT NULL AND A.CDFILCENTPME = B.CDFILIAL))"));
    return q;
}

Query* consultaTipoCard(QObject* parent)
{
    auto* q = new Query(parent, QStringLiteral("qryTipoCard"));
    q->setSQL(QStringLiteral(
        "SELECT DISTINCT FILITIPOCARD.CDTIPOCARD, TIPOCARD.NMTIPOCARD FROM FILITIPOCARD, TIPOCARD "
        "WHERE TIPOCARD.CDFILCENTPME = FILITIPOCARD.CDFILCENTPME AND TIPOCARD.CDTIPOCARD = FILITIPOCARD.CDTIPOCARD "
        "AND TIPOCARD.CDFILCENTPME = :P_CDFILCENTPME "
        "AND ((FILITIPOCARD.CDFILIAL = :P_CDFILIAL) OR (FILITIPOCARD.CDFILCENTPME = :P_CDFILIAL)) "
        "AND ((:P_TCDTIPOCARD = 'T') OR (FILITIPOCARD.CDTIPOCARD = :P_CDTIPOCARD)) "
        "ORDER BY FILITIPOCARD.CDTIPOCARD"));
    q->AddField(QStringLiteral("CDTIPOCARD"), FieldType::String, 10)->setDisplayLabel(QStringLiteral("Código"));
    q->AddField(QStringLiteral("NMTIPOCARD"), FieldType::String, 100)->setDisplayLabel(QStringLiteral("Nome"));
    return q;
}

bool mostraCentral(Query& qryFiliCentAgreg, TMaskEdit& codigo, QLineEdit& nome)
{
    qryFiliCentAgreg.Close();
    qryFiliCentAgreg.setParam(QStringLiteral("P_CDFILIAL"), hostContext().FiliProc);
    qryFiliCentAgreg.Open();
    codigo.setText(qryFiliCentAgreg.FieldByName(QStringLiteral("CDCENTRAL"))->AsString());
    nome.setText(qryFiliCentAgreg.FieldByName(QStringLiteral("NMCENTRAL"))->AsString());
    return !qryFiliCentAgreg.IsEmpty();
}

void verificaTipoCard(Query& qryTipoCard, const TMessages& messages, const QString& central, TMaskEdit& codigo,
                      QLineEdit& nome, bool required)
{
    const QString code = AjustaTipoCard(codigo.Text());
    codigo.setText(code);
    nome.clear();
    if (EmptyString(code)) {
        if (required)
            falha(messages, QStringLiteral("TPCARD_EMPTY"), &codigo);
        return;
    }
    qryTipoCard.Close();
    qryTipoCard.setParam(QStringLiteral("P_CDFILCENTPME"), central);
    qryTipoCard.setParam(QStringLiteral("P_CDFILIAL"), hostContext().FiliProc);
    qryTipoCard.setParam(QStringLiteral("P_CDTIPOCARD"), code);
    qryTipoCard.setParam(QStringLiteral("P_TCDTIPOCARD"), QString());
    qryTipoCard.Open();
    if (qryTipoCard.IsEmpty())
        falha(messages, QStringLiteral("TPCARD_NCAD"), &codigo);
    nome.setText(qryTipoCard.FieldByName(QStringLiteral("NMTIPOCARD"))->AsString());
}

QString completaFinal(const QString& code, QChar fill)
{
    return code.leftJustified(10, fill);
}

FocoNaFalha::~FocoNaFalha()
{
    if (std::uncaught_exceptions() > m_exceptions && m_field && m_field->isEnabled())
        m_field->setFocus();
}

} // namespace companions
