#include "respostaservidor.h"

#include "framework/abort.h"
#include "framework/data/clientdataset.h"
#include "framework/ui/messages.h"

namespace recipe {

using framework::ClientDataSet;

QString flag(const ClientDataSet* dataSet, const char* field)
{
    if (!dataSet->Active() || dataSet->IsEmpty() || !dataSet->FindField(QString::fromLatin1(field)))
        return {};
    return dataSet->FieldByName(QString::fromLatin1(field))->AsString();
}

void loadPacket(ClientDataSet* dataSet, const QVariant& result)
{
    framework::CheckResultServ(result);
    dataSet->SetData(framework::toPacket(result));
}

QVariantList packetArray(const QVariant& result)
{
    framework::CheckResultServ(result);
    if (result.typeId() != QMetaType::QVariantList)
        throw framework::Error(result.toString().isEmpty() ? QStringLiteral("Resposta inesperada do servidor.")
                                                           : result.toString());
    return result.toList();
}

QString updateStatus(const QVariant& result)
{
    if (framework::isServerFault(result))
        return result.value<framework::ServerFault>().message;
    return result.toString();
}

} // namespace recipe
