#include "sqlpacket.h"

#include <QSqlError>

namespace appserver {

QSqlQuery execute(QSqlDatabase& db, const QString& sql, const QVariantList& values)
{
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.prepare(sql))
        throw framework::Error(QStringLiteral("Erro no banco de dados: %1").arg(query.lastError().text()));
    for (int i = 0; i < values.size(); ++i)
        query.bindValue(i, values[i]);
    if (!query.exec())
        throw framework::Error(QStringLiteral("Erro no banco de dados: %1").arg(query.lastError().text()));
    return query;
}

framework::DataPacket selectPacket(QSqlDatabase& db, const QString& sql, const QVariantList& values,
                                   const framework::FieldDefs& fields)
{
    QSqlQuery query = execute(db, sql, values);
    framework::DataPacket packet(fields);
    framework::RowStore& rows = packet.rows;
    const int columns = fields.size();
    while (query.next()) {
        const int row = rows.appendRow();
        for (int col = 0; col < columns; ++col) {
            const QVariant value = query.value(col);
            if (!value.isNull())
                rows.setValue(row, col, value);
        }
    }
    return packet;
}

QVariant selectValue(QSqlDatabase& db, const QString& sql, const QVariantList& values)
{
    QSqlQuery query = execute(db, sql, values);
    return query.next() ? query.value(0) : QVariant();
}

} // namespace appserver
