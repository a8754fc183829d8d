#include "enviador.h"
#include "respostaservidor.h"

#include "framework/abort.h"
#include "framework/data/clientdataset.h"
#include "framework/ui/messages.h"
#include "server/connection.h"

namespace recipe {

using framework::ClientDataSet;

bool Enviador::envia(ClientDataSet& dataSet, const Envio& envio) const
{
    const auto state = dataSet.state();
    if (state == ClientDataSet::State::Edit || state == ClientDataSet::State::Insert)
        dataSet.Post();
    if (!dataSet.Active() || dataSet.ChangeCount() == 0)
        return false;
    QVariantList args{QVariant::fromValue(dataSet.GetDelta())};
    args += envio.extra;
    QString refusal;
    try {
        refusal = updateStatus(m_connection.call(envio.method, args, envio.progressKey));
    } catch (...) {
        if (envio.aoRecusar)
            envio.aoRecusar();
        throw;
    }
    if (!refusal.isEmpty()) {
        framework::MensErro(refusal, false);
        if (envio.aoRecusar)
            envio.aoRecusar();
        throw framework::Abort();
    }
    dataSet.MergeChangeLog();
    return true;
}

} // namespace recipe
