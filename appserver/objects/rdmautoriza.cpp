#include "rdmautoriza.h"

#include "appserver/passwordcheck.h"

namespace appserver {

namespace {

bool mayAuthorise(Call& call, const QString& user, qint64 kind, const QString& operation)
{
    return call.value("SELECT COUNT(*) FROM USUAUTORIZA A JOIN USUARIO U ON U.CDOPERADOR = A.CDOPERADOR "
                      "WHERE A.CDOPERADOR = ? AND A.NRTIPOAUTORIZA = ? AND A.CDOPERACAO = ? AND U.IDATIVO = 'S'",
                      {user, kind, operation})
               .toInt() > 0;
}

} // namespace

RdmAutoriza::RdmAutoriza() : ServerObject("Est.rdmAutoriza")
{
    query("TemAutorizacao", &RdmAutoriza::TemAutorizacao);
    query("Autoriza", &RdmAutoriza::Autoriza);
}

QVariant RdmAutoriza::TemAutorizacao(Call& call) const
{
    return mayAuthorise(call, call.text(0).trimmed().toUpper(), call.integer(1), call.text(2));
}

QVariant RdmAutoriza::Autoriza(Call& call) const
{
    const QString user = call.text(0).trimmed().toUpper();
    const QString password = call.text(1);
    const qint64 kind = call.integer(2);
    const QString operation = call.text(3);

    switch (checkPassword(call.db(), user, password)) {
    case PasswordCheck::Throttled: return throttledText(user);
    case PasswordCheck::Wrong: return wrongPasswordText();
    case PasswordCheck::Right: break;
    }
    if (!mayAuthorise(call, user, kind, operation))
        return QStringLiteral("O usuário %1 não tem permissão para autorizar esta operação (%2).").arg(user, operation);
    return QString("");
}

} // namespace appserver
