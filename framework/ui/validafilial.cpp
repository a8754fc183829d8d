#include "validafilial.h"

#include "framework/core/consiste.h"
#include "messages.h"
#include "query.h"

namespace framework {

QString ValidaFilial(const QString& code, const QString& /*operador*/, bool required)
{
    if (EmptyString(code)) {
        if (required)
            MensErro(QStringLiteral("Filial deve ser informada."));
        return {};
    }
    Query query(nullptr, QStringLiteral("qryValidaFilial"));
    query.setSQL(QStringLiteral("SELECT NMFILIAL FROM FILIAL WHERE CDFILIAL = :P_CDFILIAL"));
    query.setParam(QStringLiteral("P_CDFILIAL"), code);
    query.Open();
    if (query.IsEmpty())
        MensErro(QStringLiteral("Filial %1 não cadastrada.").arg(code));
    return query.FieldByName(QStringLiteral("NMFILIAL"))->AsString();
}

} // namespace framework
