#include "rdmautoriza.h"

#include "appserver/grantstore.h"
#include "appserver/guards.h"
#include "appserver/passwordcheck.h"

#include <algorithm>

namespace appserver {

RdmAutoriza::RdmAutoriza() : ServerObject("Est.rdmAutoriza")
{
    query("TemAutorizacao", &RdmAutoriza::TemAutorizacao);
    query("Autoriza", &RdmAutoriza::Autoriza);
}

QVariant RdmAutoriza::TemAutorizacao(Call& call) const
{
    return guards::holdsRight(call, call.operatorCode(0), int(call.integer(1)), call.text(2));
}

QVariant RdmAutoriza::Autoriza(Call& call) const
{
    const QString user = call.text(0).trimmed().toUpper();
    const QString password = call.text(1);
    const int kind = int(call.integer(2));
    const QString operation = call.text(3);

    const passwords::Check check = passwords::check(call.db(), user, password, call.caller().address);
    switch (check.outcome) {
    case passwords::Outcome::Throttled: return passwords::throttledText(user, check.waitSeconds);
    case passwords::Outcome::Wrong: return passwords::wrongText();
    case passwords::Outcome::Right: break;
    }
    if (!guards::holdsRight(call, user, kind, operation))
        return QStringLiteral("O usuário %1 não tem permissão para autorizar esta operação (%2).").arg(user, operation);
    // One change, or two when a change brings another with it (dish data and the rows it
    // rescales); never more from one password typed.
    const qint64 changes = call.args().size() > 5 ? std::clamp<qint64>(call.integer(5), 1, 2) : 1;
    for (qint64 i = 0; i < changes; ++i)
        call.grants().give(call.db(), call.caller().session, kind, operation, user);
    call.logNote(QStringLiteral("%1 autorizou %2").arg(user, operation));
    return QString("");
}

} // namespace appserver
