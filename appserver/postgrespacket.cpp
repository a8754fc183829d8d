#include "postgrespacket.h"
#include "errors.h"

#include "framework/abort.h"
#include "sqlpacket.h"

#include <QDate>
#include <QDateTime>
#include <QSqlDriver>
#include <QTime>
#include <atomic>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <libpq-fe.h>
#include <memory>
#include <vector>

namespace appserver {

namespace {

// The type oids Qt's driver gives a value of its own type for; every other type reads as text.
// (2278 is what the driver takes for the oid type: it reads such columns as integers.)
namespace pgtype {
constexpr Oid Bool = 16, Bytea = 17, Int8 = 20, Int2 = 21, Int4 = 23, RegProc = 24, Xid = 28, Cid = 29,
              Float4 = 700, Float8 = 701, AbsTime = 702, RelTime = 703, Date = 1082, Time = 1083,
              Timestamp = 1114, TimestampTz = 1184, TimeTz = 1266, Numeric = 1700, DriverOid = 2278;
}

bool isInteger(Oid type) { return type == pgtype::Int2 || type == pgtype::Int4 || type == pgtype::Int8; }

bool readsAsText(Oid type)
{
    switch (type) {
    case pgtype::Bool:
    case pgtype::Bytea:
    case pgtype::Int8:
    case pgtype::Int2:
    case pgtype::Int4:
    case pgtype::RegProc:
    case pgtype::Xid:
    case pgtype::Cid:
    case pgtype::Float4:
    case pgtype::Float8:
    case pgtype::AbsTime:
    case pgtype::RelTime:
    case pgtype::Date:
    case pgtype::Time:
    case pgtype::Timestamp:
    case pgtype::TimestampTz:
    case pgtype::TimeTz:
    case pgtype::Numeric:
    case pgtype::DriverOid: return false;
    default: return true;
    }
}

// libpq is one shared library in the process: the driver's connection and the calls made here
// meet the same code.
PGconn* nativeHandle(QSqlDatabase& db)
{
    if (db.driverName() != QLatin1String("QPSQL"))
        return nullptr;
    const QVariant handle = db.driver()->handle();
    // The type's name as the driver's compiler spelt it: the typedef or the struct behind it.
    const char* typeName = handle.typeName();
    if (!handle.isValid() || (qstrcmp(typeName, "PGconn*") != 0 && qstrcmp(typeName, "pg_conn*") != 0))
        return nullptr;
    PGconn* native = *static_cast<PGconn* const*>(handle.constData());
    // Not open, or lost: the general path reports it, and the dispatcher reconnects.
    return native && PQstatus(native) == CONNECTION_OK ? native : nullptr;
}

struct ClearResult {
    void operator()(PGresult* result) const { PQclear(result); }
};
using Result = std::unique_ptr<PGresult, ClearResult>;

[[noreturn]] void fail(PGconn* conn, const PGresult* result)
{
    const char* message = result ? PQresultErrorMessage(result) : PQerrorMessage(conn);
    throw DatabaseFault(QString::fromUtf8(message).trimmed());
}

// The values as text parameters, written as Qt's driver writes them into its statements, so that
// the server takes them for the same values.
class Parameters {
public:
    // False when the value cannot travel as a parameter (a text with a NUL, a type with no text).
    bool add(const QVariant& raw)
    {
        const QVariant v = sqlValue(raw);
        if (isSqlNull(v)) {
            m_texts.emplace_back();
            return true;
        }
        QByteArray text;
        switch (v.typeId()) {
        case QMetaType::Bool: text = v.toBool() ? "true" : "false"; break;
        case QMetaType::Float:
        case QMetaType::Double: {
            const double d = v.toDouble();
            if (std::isnan(d))
                text = "NaN";
            else if (std::isinf(d))
                text = d < 0 ? "-Infinity" : "Infinity";
            else
                text = v.toString().toLatin1(); // the shortest text that reads back as the same double
            break;
        }
        case QMetaType::QByteArray: text = "\\x" + v.toByteArray().toHex(); break;
        default:
            if (!v.canConvert<QString>())
                return false;
            text = v.toString().toUtf8();
            if (text.contains('\0'))
                return false;
            break;
        }
        m_texts.push_back(text);
        return true;
    }

    int count() const { return int(m_texts.size()); }

    // Pointers into the texts (null for NULL), valid while this object lives unchanged.
    std::vector<const char*> values() const
    {
        std::vector<const char*> pointers;
        pointers.reserve(m_texts.size());
        for (const QByteArray& text : m_texts)
            pointers.push_back(text.isNull() ? nullptr : text.constData());
        return pointers;
    }

private:
    std::vector<QByteArray> m_texts;
};

// "?" placeholders become "$1", "$2", ... outside quoted texts and names, as Qt's driver numbers
// them when it prepares the same statement.
QByteArray numberedPlaceholders(const QString& sql)
{
    QString result;
    result.reserve(sql.size() + sql.size() / 8);
    QChar closingQuote;
    int count = 0;
    for (const QChar ch : sql) {
        if (!closingQuote.isNull()) {
            if (ch == closingQuote)
                closingQuote = QChar();
            result += ch;
        } else if (ch == u'?') {
            result += u'$' + QString::number(++count);
        } else {
            if (ch == u'\'' || ch == u'"' || ch == u'`')
                closingQuote = ch;
            result += ch;
        }
    }
    return result.toUtf8();
}

// A value as Qt's driver gives it, for the conversions the fast cases leave.
QVariant driverValue(const char* value, int length, Oid type)
{
    switch (type) {
    case pgtype::Bool: return value[0] == 't';
    case pgtype::Int8: {
        const QByteArray digits = QByteArray::fromRawData(value, length);
        return value[0] == '-' ? QVariant(digits.toLongLong()) : QVariant(digits.toULongLong());
    }
    case pgtype::Int2:
    case pgtype::Int4:
    case pgtype::RegProc:
    case pgtype::Xid:
    case pgtype::Cid:
    case pgtype::DriverOid: return std::atoi(value);
    case pgtype::Float4:
    case pgtype::Float8:
    case pgtype::Numeric: {
        bool ok = false;
        const double number = QByteArray::fromRawData(value, length).toDouble(&ok);
        if (ok)
            return number;
        if (qstricmp(value, "NaN") == 0)
            return std::nan("");
        if (qstricmp(value, "Infinity") == 0)
            return HUGE_VAL;
        if (qstricmp(value, "-Infinity") == 0)
            return -HUGE_VAL;
        return {};
    }
    case pgtype::AbsTime:
    case pgtype::RelTime:
    case pgtype::Date: return QDate::fromString(QString::fromLatin1(value, length), Qt::ISODate);
    case pgtype::Time:
    case pgtype::TimeTz: return QTime::fromString(QString::fromLatin1(value, length), Qt::ISODate);
    case pgtype::Timestamp:
    case pgtype::TimestampTz:
        // The driver gives a time with a zone in the machine's local time.
        return QDateTime::fromString(QString::fromLatin1(value, length), Qt::ISODate).toLocalTime();
    case pgtype::Bytea: {
        size_t size = 0;
        unsigned char* bytes = PQunescapeBytea(reinterpret_cast<const unsigned char*>(value), &size);
        const QByteArray data(reinterpret_cast<const char*>(bytes), qsizetype(size));
        PQfreemem(bytes);
        return data;
    }
    default: return QString::fromUtf8(value, length);
    }
}

// How a column's values are written when they are of the usual shape; anything else (an empty
// text, a text longer than its column, a number out of range, a date outside 0001-9999) takes
// the driver's conversion.
enum class Fast : quint8 { None, Text, Double, Integer, Flag, IntegerFlag, Date };

Fast fastWay(framework::FieldType field, Oid type)
{
    using framework::FieldType;
    switch (field) {
    case FieldType::String: return readsAsText(type) || isInteger(type) ? Fast::Text : Fast::None;
    case FieldType::Float:
        return type == pgtype::Float8 || type == pgtype::Float4 || type == pgtype::Numeric || isInteger(type)
                   ? Fast::Double
                   : Fast::None;
    case FieldType::Integer: return isInteger(type) ? Fast::Integer : Fast::None;
    case FieldType::Boolean:
        return type == pgtype::Bool ? Fast::Flag : (isInteger(type) ? Fast::IntegerFlag : Fast::None);
    case FieldType::DateTime: return type == pgtype::Date ? Fast::Date : Fast::None;
    case FieldType::Blob: break;
    }
    return Fast::None;
}

template <class Number>
bool parse(const char* value, int length, Number& number)
{
    const auto [end, error] = std::from_chars(value, value + length, number);
    return error == std::errc() && end == value + length;
}

bool parseDigits(const char* value, int length, int& number)
{
    for (int i = 0; i < length; ++i)
        if (value[i] < '0' || value[i] > '9')
            return false;
    return parse(value, length, number);
}

// "yyyy-MM-dd" as the stored date-time of its midnight.
bool parseDate(const char* value, int length, qint64& msecs)
{
    int year, month, day;
    if (length != 10 || value[4] != '-' || value[7] != '-' || !parseDigits(value, 4, year)
        || !parseDigits(value + 5, 2, month) || !parseDigits(value + 8, 2, day))
        return false;
    const QDate date(year, month, day);
    if (!date.isValid())
        return false;
    constexpr qint64 msecsPerDay = 86400000;
    msecs = (date.toJulianDay() - QDate(1970, 1, 1).toJulianDay()) * msecsPerDay;
    return true;
}

bool readFast(framework::RowStore& rows, int row, int col, Fast way, int size, const char* value, int length)
{
    switch (way) {
    case Fast::None: return false;
    case Fast::Text:
        if (length == 0 || (size > 0 && length > size))
            return false;
        rows.setUtf8(row, col, value, length);
        return true;
    case Fast::Double: {
        double number;
        if (!parse(value, length, number) || !std::isfinite(number))
            return false;
        rows.setDouble(row, col, number);
        return true;
    }
    case Fast::Integer:
    case Fast::IntegerFlag: {
        qint64 number;
        if (!parse(value, length, number))
            return false;
        rows.setStoredInteger(row, col, way == Fast::Integer ? number : (number != 0 ? 1 : 0));
        return true;
    }
    case Fast::Flag: rows.setStoredInteger(row, col, value[0] == 't' ? 1 : 0); return true;
    case Fast::Date: {
        qint64 msecs;
        if (!parseDate(value, length, msecs))
            return false;
        rows.setStoredInteger(row, col, msecs);
        return true;
    }
    }
    return false;
}

} // namespace

std::optional<framework::DataPacket> selectPostgresPacket(QSqlDatabase& db, const QString& sql,
                                                          const QVariantList& values,
                                                          const framework::FieldDefs& fields)
{
    PGconn* conn = nativeHandle(db);
    if (!conn)
        return std::nullopt;
    Parameters parameters;
    for (const QVariant& value : values)
        if (!parameters.add(value))
            return std::nullopt;
    const QByteArray statement = numberedPlaceholders(sql);
    const std::vector<const char*> parameterValues = parameters.values();
    // Text results: the driver reads the same texts, so both paths convert from one source.
    const Result result(PQexecParams(conn, statement.constData(), parameters.count(), nullptr,
                                     parameterValues.data(), nullptr, nullptr, 0));
    const ExecStatusType status = PQresultStatus(result.get());
    if (status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK)
        fail(conn, result.get());

    PGresult* res = result.get();
    framework::DataPacket packet(fields);
    framework::RowStore& rows = packet.rows;
    const int columns = std::min(int(fields.size()), PQnfields(res));
    std::vector<Fast> ways(columns);
    std::vector<Oid> types(columns);
    for (int col = 0; col < columns; ++col) {
        types[col] = PQftype(res, col);
        ways[col] = fastWay(fields[col].type, types[col]);
    }
    const int count = PQntuples(res);
    rows.reserve(count);
    for (int r = 0; r < count; ++r) {
        const int row = rows.appendRow();
        for (int col = 0; col < columns; ++col) {
            if (PQgetisnull(res, r, col))
                continue;
            const char* value = PQgetvalue(res, r, col);
            const int length = PQgetlength(res, r, col);
            if (readFast(rows, row, col, ways[col], fields[col].size, value, length))
                continue;
            const QVariant converted = driverValue(value, length, types[col]);
            if (!converted.isNull())
                rows.load(row, col, converted);
        }
    }
    return packet;
}

namespace {

int changedRows(PGconn* conn, const Result& result)
{
    const ExecStatusType status = PQresultStatus(result.get());
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
        fail(conn, result.get());
    return std::atoi(PQcmdTuples(result.get()));
}

int executePostgres(PGconn* conn, const QString& sql, const Parameters& parameters)
{
    const std::vector<const char*> parameterValues = parameters.values();
    return changedRows(conn, Result(PQexecParams(conn, numberedPlaceholders(sql).constData(), parameters.count(),
                                                 nullptr, parameterValues.data(), nullptr, nullptr, 0)));
}

} // namespace

PostgresStatement::PostgresStatement(QSqlDatabase& db, const QString& sql) : m_sql(sql)
{
    m_conn = nativeHandle(db);
}

PostgresStatement::~PostgresStatement()
{
    // In a transaction that failed the server refuses even this: the statement then stays with
    // the connection until it closes, which costs it a little memory and nothing else.
    if (!m_name.isEmpty() && PQstatus(m_conn) == CONNECTION_OK)
        PQclear(PQexec(m_conn, ("DEALLOCATE " + m_name).constData()));
}

std::optional<int> PostgresStatement::execute(const QVariantList& values)
{
    if (!m_conn || PQstatus(m_conn) != CONNECTION_OK)
        return std::nullopt;
    Parameters parameters;
    for (const QVariant& value : values)
        if (!parameters.add(value))
            return std::nullopt;
    // A statement run once is sent with its values; prepared from its second run on.
    if (m_runs++ == 0)
        return executePostgres(m_conn, m_sql, parameters);
    if (m_name.isEmpty()) {
        static std::atomic<int> counter{0};
        const QByteArray name = "receita_" + QByteArray::number(counter++);
        const Result prepared(PQprepare(m_conn, name.constData(), numberedPlaceholders(m_sql).constData(),
                                        parameters.count(), nullptr));
        if (PQresultStatus(prepared.get()) != PGRES_COMMAND_OK)
            fail(m_conn, prepared.get());
        m_name = name;
    }
    const std::vector<const char*> parameterValues = parameters.values();
    return changedRows(m_conn, Result(PQexecPrepared(m_conn, m_name.constData(), parameters.count(),
                                                     parameterValues.data(), nullptr, nullptr, 0)));
}

std::optional<int> executePostgres(QSqlDatabase& db, const QString& sql, const QVariantList& values)
{
    PGconn* conn = nativeHandle(db);
    if (!conn)
        return std::nullopt;
    Parameters parameters;
    for (const QVariant& value : values)
        if (!parameters.add(value))
            return std::nullopt;
    return executePostgres(conn, sql, parameters);
}

} // namespace appserver
