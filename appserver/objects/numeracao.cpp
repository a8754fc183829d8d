#include "numeracao.h"

namespace appserver {

QString selectProximoNumero(const QStringList& numberColumns, const QString& column, const QString& table,
                            const QString& where)
{
    const QString next =
        QStringLiteral("CASE WHEN MAX(CAST(%1 AS INTEGER)) >= 98 THEN 99 ELSE MAX(CAST(%1 AS INTEGER)) + 1 END")
            .arg(column);
    QStringList select;
    for (const QString& each : numberColumns)
        select << (each == column ? next : QStringLiteral("CAST(NULL AS INTEGER)")) + QStringLiteral(" AS ") + each;
    return QStringLiteral("SELECT %1 FROM %2 WHERE %3").arg(select.join(QStringLiteral(", ")), table, where);
}

} // namespace appserver
