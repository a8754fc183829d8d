#include "autoriza.h"

#include "connection.h"
#include "framework/core/hostcontext.h"
#include "framework/ui/dialogs.h"
#include "framework/ui/messages.h"

namespace server {

bool Autoriza(Connection& connection, int kind, const QString& operation, const QString& extra)
{
    const QVariant own = connection.call("TemAutorizacao", {framework::hostContext().Operador, kind, operation});
    framework::CheckResultServ(own);
    if (own.toBool())
        return true;

    for (int attempt = 0; attempt < 3; ++attempt) {
        const auto credentials = framework::dialogs().askAuthorization(
            {kind, operation, QStringLiteral("Esta operação exige a autorização de um supervisor.")});
        if (!credentials)
            return false;
        const QVariant answer =
            connection.call("Autoriza", {credentials->user, credentials->password, kind, operation, extra});
        framework::CheckResultServ(answer);
        const QString refusal = answer.toString();
        if (refusal.isEmpty())
            return true;
        framework::MensErro(refusal, false);
    }
    return false;
}

} // namespace server
