#include "sqlitepacket.h"
#include "errors.h"

#include "framework/abort.h"
#include "sqlpacket.h"

#include <QSqlDriver>
#include <QSqlQuery>
#include <cmath>
#include <memory>
#include <sqlite3.h>

namespace appserver {

namespace {

// The driver may run its own copy of SQLite (a Qt built with the bundled one): then its handle
// must not reach the library linked here. The source id names the exact build.
bool driverRunsLinkedSqlite(QSqlDatabase& db)
{
    QSqlQuery q(db);
    return q.exec(QStringLiteral("SELECT sqlite_source_id()")) && q.next()
        && q.value(0).toString() == QString::fromLatin1(sqlite3_sourceid());
}

sqlite3* nativeHandle(QSqlDatabase& db)
{
    if (db.driverName() != QLatin1String("QSQLITE"))
        return nullptr;
    const QVariant handle = db.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    sqlite3* native = *static_cast<sqlite3* const*>(handle.constData());
    if (!native) // not open: the general path reports it
        return nullptr;
    static const bool sameLibrary = driverRunsLinkedSqlite(db);
    return sameLibrary ? native : nullptr;
}

[[noreturn]] void fail(sqlite3* handle)
{
    throw DatabaseFault(QString::fromUtf8(sqlite3_errmsg(handle)));
}

// Binds as Qt's SQLite driver does, so that comparisons meet the same storage classes.
int bind(sqlite3_stmt* stmt, int index, const QVariant& raw)
{
    const QVariant v = sqlValue(raw);
    if (isSqlNull(v))
        return sqlite3_bind_null(stmt, index);
    switch (v.typeId()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong: return sqlite3_bind_int64(stmt, index, v.toLongLong());
    case QMetaType::Double: return sqlite3_bind_double(stmt, index, v.toDouble());
    case QMetaType::QByteArray: {
        const QByteArray bytes = v.toByteArray();
        return sqlite3_bind_blob64(stmt, index, bytes.constData(), sqlite3_uint64(bytes.size()), SQLITE_TRANSIENT);
    }
    default: {
        const QByteArray text = v.toString().toUtf8();
        return sqlite3_bind_text64(stmt, index, text.constData(), sqlite3_uint64(text.size()), SQLITE_TRANSIENT,
                                   SQLITE_UTF8);
    }
    }
}

// The value as the Qt driver hands it out, for the conversions the fast cases leave.
QVariant driverValue(sqlite3_stmt* stmt, int col, int storage)
{
    switch (storage) {
    case SQLITE_INTEGER: return qlonglong(sqlite3_column_int64(stmt, col));
    case SQLITE_FLOAT: return sqlite3_column_double(stmt, col);
    case SQLITE_BLOB: {
        const void* data = sqlite3_column_blob(stmt, col);
        return QByteArray(static_cast<const char*>(data), sqlite3_column_bytes(stmt, col));
    }
    default: {
        const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(stmt, col));
        return QString::fromUtf8(data, sqlite3_column_bytes(stmt, col));
    }
    }
}

void readValue(framework::RowStore& rows, int row, int col, const framework::FieldDef& field, sqlite3_stmt* stmt)
{
    using framework::FieldType;
    const int storage = sqlite3_column_type(stmt, col);
    if (storage == SQLITE_NULL)
        return;
    switch (field.type) {
    case FieldType::String:
        // An integer reads as its digits either way. A text that fits its column is stored as
        // read; an empty one (which stays empty, not null) or a longer one (kept whole) takes
        // the general path.
        if (storage == SQLITE_TEXT || storage == SQLITE_INTEGER) {
            const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(stmt, col));
            const int size = sqlite3_column_bytes(stmt, col);
            if (size > 0 && (size <= field.size || field.size == 0)) {
                rows.setUtf8(row, col, data, size);
                return;
            }
        }
        break;
    case FieldType::Float:
        if (storage == SQLITE_FLOAT) {
            const double value = sqlite3_column_double(stmt, col);
            if (std::isfinite(value)) {
                rows.setDouble(row, col, value);
                return;
            }
        } else if (storage == SQLITE_INTEGER) {
            rows.setDouble(row, col, double(sqlite3_column_int64(stmt, col)));
            return;
        }
        break;
    case FieldType::Integer:
        if (storage == SQLITE_INTEGER) {
            rows.setStoredInteger(row, col, sqlite3_column_int64(stmt, col));
            return;
        }
        break;
    case FieldType::Boolean:
        if (storage == SQLITE_INTEGER) {
            rows.setStoredInteger(row, col, sqlite3_column_int64(stmt, col) != 0 ? 1 : 0);
            return;
        }
        break;
    case FieldType::DateTime:
    case FieldType::Blob: break;
    }
    rows.load(row, col, driverValue(stmt, col, storage));
}

struct Finalize {
    void operator()(sqlite3_stmt* stmt) const { sqlite3_finalize(stmt); }
};

} // namespace

std::optional<framework::DataPacket> selectSqlitePacket(QSqlDatabase& db, const QString& sql,
                                                        const QVariantList& values,
                                                        const framework::FieldDefs& fields)
{
    sqlite3* handle = nativeHandle(db);
    if (!handle)
        return std::nullopt;
    const QByteArray text = sql.toUtf8();
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(handle, text.constData(), int(text.size()), &raw, nullptr) != SQLITE_OK)
        fail(handle);
    const std::unique_ptr<sqlite3_stmt, Finalize> stmt(raw);
    for (int i = 0; i < values.size(); ++i)
        if (bind(raw, i + 1, values[i]) != SQLITE_OK)
            fail(handle);

    framework::DataPacket packet(fields);
    framework::RowStore& rows = packet.rows;
    const int columns = std::min(int(fields.size()), sqlite3_column_count(raw));
    int step;
    while ((step = sqlite3_step(raw)) == SQLITE_ROW) {
        const int row = rows.appendRow();
        for (int col = 0; col < columns; ++col)
            readValue(rows, row, col, fields[col], raw);
    }
    if (step != SQLITE_DONE)
        fail(handle);
    return packet;
}

} // namespace appserver
