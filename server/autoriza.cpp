#include "autoriza.h"

#include "connection.h"
#include "framework/core/hostcontext.h"
#include "framework/data/datapacket.h"
#include "framework/ui/dialogs.h"
#include "framework/ui/messages.h"

namespace server {

namespace {

// The prompt and its server calls; a server call that fails ends it with its fault.
bool ask(Connection& connection, int kind, const QString& operation, const QString& extra, int changes,
         QVariant& fault)
{
    const QVariant own = connection.call("TemAutorizacao", {framework::hostContext().Operador, kind, operation});
    if (framework::isServerFault(own)) {
        fault = own;
        return false;
    }
    if (own.toBool())
        return true;

    for (int attempt = 0; attempt < 3; ++attempt) {
        const auto credentials = framework::dialogs().askAuthorization(
            {kind, operation, QStringLiteral("Esta operação exige a autorização de um supervisor.")});
        if (!credentials)
            return false;
        const QVariant answer =
            connection.call("Autoriza", {credentials->user, credentials->password, kind, operation, extra, changes});
        if (framework::isServerFault(answer)) {
            fault = answer;
            return false;
        }
        const QString refusal = answer.toString();
        if (refusal.isEmpty())
            return true;
        framework::MensErro(refusal, false);
    }
    return false;
}

} // namespace

bool Autoriza(Connection& connection, int kind, const QString& operation, const QString& extra, int changes)
{
    QVariant fault;
    const bool authorised = ask(connection, kind, operation, extra, changes, fault);
    framework::CheckResultServ(fault);
    return authorised;
}

bool authoriseRefusedChange(Connection& connection, int kind, const QString& operation)
{
    QVariant fault;
    return ask(connection, kind, operation, {}, 1, fault);
}

} // namespace server
