#include "numeracao.h"

#include "appserver/call.h"
#include "appserver/errors.h"
#include "appserver/resultcolumns.h"
#include "framework/core/consiste.h"
#include "marcaunica.h"

namespace appserver {

QStringList NivelNumerado::grupo() const
{
    return QStringList{QStringLiteral("CDFILAUXPRAT"), QStringLiteral("CDPRATO")} + escopo;
}

QStringList NivelNumerado::chaves() const
{
    return grupo() + QStringList{numero};
}

QString NivelNumerado::filtroPrato() const
{
    QString sql = QStringLiteral("CDFILAUXPRAT = ? AND CDPRATO = ?");
    for (const QString& column : escopo)
        sql += QStringLiteral(" AND %1 = ?").arg(column);
    return sql;
}

void atualizaNumerados(Call& call, const NivelNumerado& nivel, const QString& duasAtivas)
{
    const framework::DataPacket log = call.packet(0);
    call.apply(log, {QString::fromLatin1(nivel.tabela), nivel.chaves()});
    const MarcaUnica ativa{nivel.tabela, nivel.grupo(), nivel.ativo, QStringLiteral("1")};
    verificaMarcaUnica(call, ativa, gruposAlterados(log, ativa.grupo), duasAtivas);
}

QVariant proximoNumero(Call& call, const NivelNumerado& padrao, const NivelNumerado& filial,
                       const NivelNumerado& servico)
{
    const QString branch = framework::Ajusta(call.text(2), 4);
    const QString service = framework::Ajusta(call.text(3), 5);
    const NivelNumerado& nivel = branch.isEmpty() ? padrao : service.isEmpty() ? filial : servico;
    call.setArg(2, branch);
    call.setArg(3, service);
    QVariantList values{call.text(0).trimmed(), call.text(1).trimmed()};
    if (!nivel.escopo.isEmpty())
        values << branch;
    if (nivel.escopo.size() > 1)
        values << service;

    const QString next =
        QStringLiteral("CASE WHEN MAX(CAST(%1 AS INTEGER)) >= 98 THEN 99 ELSE MAX(CAST(%1 AS INTEGER)) + 1 END")
            .arg(nivel.numero);
    QStringList select, defs;
    for (const NivelNumerado* each : {&padrao, &filial, &servico}) {
        select << (each == &nivel ? next : QStringLiteral("CAST(NULL AS INTEGER)")) + QStringLiteral(" AS ") + each->numero;
        defs << each->numero + QStringLiteral(":D");
    }
    const QString sql = QStringLiteral("SELECT %1 FROM %2 WHERE %3")
                            .arg(select.join(QStringLiteral(", ")), QLatin1String(nivel.tabela), nivel.filtroPrato());
    return QVariant::fromValue(call.select(sql, values, fields(defs.join(u' ').toLatin1().constData())));
}

} // namespace appserver
