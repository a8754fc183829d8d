#include "sqlpacket.h"
#include "errors.h"

#include "postgrespacket.h"
#include "sqlitepacket.h"

#include <QSqlError>

namespace appserver {

QVariant sqlValue(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::QDateTime: {
        const QDateTime dt = framework::RowStore::convert(value, framework::FieldType::DateTime).toDateTime();
        if (!dt.isValid())
            return QVariant(QMetaType::fromType<QString>());
        const QTime t = dt.time();
        if (t == QTime(0, 0))
            return dt.date().toString(Qt::ISODate);
        return dt.toString(t.msec() ? QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz") : QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    }
    case QMetaType::QDate:
        return value.toDate().isValid() ? QVariant(value.toDate().toString(Qt::ISODate))
                                        : QVariant(QMetaType::fromType<QString>());
    default: return value;
    }
}

bool isSqlNull(const QVariant& v)
{
    if (v.isNull())
        return true;
    switch (v.typeId()) {
    case QMetaType::QString: return static_cast<const QString*>(v.constData())->isNull();
    case QMetaType::QByteArray: return static_cast<const QByteArray*>(v.constData())->isNull();
    default: return false;
    }
}

void bindValues(QSqlQuery& query, const QVariantList& values)
{
    for (int i = 0; i < values.size(); ++i)
        query.bindValue(i, sqlValue(values[i]));
}

QSqlQuery execute(QSqlDatabase& db, const QString& sql, const QVariantList& values)
{
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.prepare(sql))
        throw DatabaseFault(query.lastError().text());
    bindValues(query, values);
    if (!query.exec())
        throw DatabaseFault(query.lastError().text());
    return query;
}

int executeChange(QSqlDatabase& db, const QString& sql, const QVariantList& values)
{
    if (const std::optional<int> changed = executePostgres(db, sql, values))
        return *changed;
    return execute(db, sql, values).numRowsAffected();
}

framework::DataPacket selectPacket(QSqlDatabase& db, const QString& sql, const QVariantList& values,
                                   const framework::FieldDefs& fields)
{
    if (std::optional<framework::DataPacket> packet = selectSqlitePacket(db, sql, values, fields))
        return *std::move(packet);
    if (std::optional<framework::DataPacket> packet = selectPostgresPacket(db, sql, values, fields))
        return *std::move(packet);
    return selectQueryPacket(db, sql, values, fields);
}

framework::DataPacket selectQueryPacket(QSqlDatabase& db, const QString& sql, const QVariantList& values,
                                        const framework::FieldDefs& fields)
{
    QSqlQuery query = execute(db, sql, values);
    framework::DataPacket packet(fields);
    framework::RowStore& rows = packet.rows;
    const int columns = fields.size();
    if (query.size() > 0) // known on PostgreSQL: the columns grow once
        rows.reserve(query.size());
    while (query.next()) {
        const int row = rows.appendRow();
        for (int col = 0; col < columns; ++col) {
            const QVariant value = query.value(col);
            if (!value.isNull())
                rows.load(row, col, value);
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
