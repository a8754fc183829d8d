#include "btnpesquisa.h"

#include "guard.h"
#include "messages.h"
#include "query.h"
#include "search.h"
#include "framework/abort.h"
#include "framework/core/hostcontext.h"

namespace framework {

TBtnPesquisa::TBtnPesquisa(QWidget* parent, const QString& name) : QToolButton(parent)
{
    setObjectName(name);
    setText(QStringLiteral("..."));
    setToolTip(QStringLiteral("Pesquisar"));
    setFocusPolicy(Qt::NoFocus);
    connect(this, &QToolButton::clicked, this, [this] { guarded([this] { Execute(); }); });
}

void TBtnPesquisa::setCompleteLevel(int pictureKind, const QString& codeField)
{
    m_pictureKind = pictureKind;
    m_codeField = codeField;
}

bool TBtnPesquisa::Execute()
{
    if (BeforePesq)
        BeforePesq(*this);
    if (!m_dataSet)
        throw Error(QStringLiteral("O botão de pesquisa %1 não tem dados para pesquisar.").arg(objectName()));
    if (auto* query = qobject_cast<Query*>(m_dataSet.data()); query && !query->Active())
        query->Open();
    const QString titles = m_title + QLatin1Char('|') + m_emptyText;
    const bool chosen = m_plus ? Pesquisar_Plus(*m_dataSet, titles, false, m_fields)
                               : Pesquisar(*m_dataSet, titles, m_fields);
    if (!chosen || !acceptsChoice())
        return false;
    if (AfterPesq)
        AfterPesq(*this);
    return true;
}

bool TBtnPesquisa::acceptsChoice() const
{
    if (m_pictureKind < 0)
        return true;
    const TDBPicture picture = hostContext().DBPictObj(m_pictureKind);
    if (picture.isLastLevel(m_dataSet->FieldByName(m_codeField)->AsString()))
        return true;
    msgMensagensPadroes().ShowMsg(QStringLiteral("Codigo_NivInc"), mtInformation, mbOK, {picture.picture()});
    return false;
}

} // namespace framework
