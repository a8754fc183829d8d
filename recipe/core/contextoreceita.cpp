#include "contextoreceita.h"

#include "framework/abort.h"
#include "framework/core/consiste.h"
#include "framework/core/hostcontext.h"
#include "framework/data/clientdataset.h"
#include "framework/ui/messages.h"

#include <QWidget>

namespace recipe {

bool nivelCompleto(const QString& code)
{
    return !code.isEmpty() && framework::hostContext().DBPictObj(1).isLastLevel(code);
}

namespace {

QString filtroDoPrato(const framework::ClientDataSet& pratos)
{
    return QStringLiteral("CDPRATO = ") + framework::QuotedStr(pratos.FieldByName(QStringLiteral("CDPRATO"))->AsString())
           + QStringLiteral(" and CDFILAUXPRAT = ")
           + framework::QuotedStr(pratos.FieldByName(QStringLiteral("CDFILAUXPRAT"))->AsString());
}

} // namespace

void filtraPeloPrato(framework::ClientDataSet& dataSet, const framework::ClientDataSet& pratos)
{
    dataSet.setFilter(filtroDoPrato(pratos));
    dataSet.setFiltered(true);
}

bool filtradoPeloPrato(const framework::ClientDataSet& dataSet, const framework::ClientDataSet& pratos)
{
    return pratos.Active() && !pratos.IsEmpty() && dataSet.Active() && dataSet.Filtered()
           && dataSet.Filter() == filtroDoPrato(pratos);
}

void falha(const framework::TMessages& mensagens, const char* key, QWidget* control)
{
    if (control && control->isEnabled())
        control->setFocus();
    mensagens.ShowMsg(QString::fromLatin1(key), framework::mtError, framework::mbOK);
    throw framework::Abort();
}

} // namespace recipe
