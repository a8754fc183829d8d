#include "rowstore.h"

#include "framework/abort.h"
#include "numberformat.h"

#include <QHash>
#include <QLocale>
#include <QRegularExpression>
#include <QTimeZone>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

namespace framework {

namespace {

// Date-times are wall-clock values: they travel as QDateTime in UTC so that no conversion through
// the machine's time zone (slow, and wrong across daylight-saving changes) ever happens.
qint64 wallClockMsecs(const QDateTime& dt)
{
    if (dt.timeSpec() == Qt::UTC)
        return dt.toMSecsSinceEpoch();
    return QDateTime(dt.date(), dt.time(), QTimeZone::utc()).toMSecsSinceEpoch();
}

QDateTime fromWallClockMsecs(qint64 ms) { return QDateTime::fromMSecsSinceEpoch(ms, QTimeZone::utc()); }

} // namespace

namespace {

// "…Z", "…+00:00", "…-0300", "…-03" after a time: the offset the writer attached.
QString withoutZone(const QString& text)
{
    static const QRegularExpression zone(QStringLiteral(R"((\d{2}:\d{2}(?::\d{2}(?:\.\d+)?)?)\s*(?:Z|[+-]\d{2}(?::?\d{2})?)$)"));
    const QRegularExpressionMatch m = zone.match(text);
    return m.hasMatch() ? text.left(m.capturedEnd(1)) : text;
}

// Fractions of a second with other than three digits ("…:00.5", "…:00.123456") become milliseconds.
QString withMilliseconds(const QString& text)
{
    static const QRegularExpression fraction(QStringLiteral(R"(:\d{2}\.(\d+)$)"));
    const QRegularExpressionMatch m = fraction.match(text);
    if (!m.hasMatch() || m.capturedLength(1) == 3)
        return text;
    return text.left(m.capturedStart(1)) + (m.captured(1) + QStringLiteral("00")).left(3);
}

} // namespace

QDateTime RowStore::parseDateTime(const QString& raw)
{
    const QString text = withMilliseconds(withoutZone(raw.trimmed()));
    static const struct {
        const char* date;
        const char* time;
        QChar separator;
    } formats[] = {{"yyyy-MM-dd", "HH:mm:ss.zzz", u'T'}, {"yyyy-MM-dd", "HH:mm:ss", u'T'},
                   {"yyyy-MM-dd", "HH:mm:ss.zzz", u' '}, {"yyyy-MM-dd", "HH:mm:ss", u' '},
                   {"dd/MM/yyyy", "HH:mm:ss", u' '},
                   {"dd/MM/yyyy", "HH:mm", u' '},        {"yyyy-MM-dd", nullptr, u' '},
                   {"dd/MM/yyyy", nullptr, u' '}};
    for (const auto& f : formats) {
        const QString datePart = f.time ? text.section(f.separator, 0, 0) : text;
        const QDate date = QDate::fromString(datePart, QString::fromLatin1(f.date));
        if (!date.isValid())
            continue;
        QTime time(0, 0);
        if (f.time) {
            time = QTime::fromString(text.section(f.separator, 1), QString::fromLatin1(f.time));
            if (!time.isValid())
                continue;
        }
        return QDateTime(date, time, QTimeZone::utc());
    }
    return {};
}

namespace {

int compareNumbers(double a, double b) { return a < b ? -1 : (a > b ? 1 : 0); }

} // namespace

struct Column {
    FieldType type = FieldType::String;
    int size = 0;
    std::vector<quint8> null;     // 1 = null
    std::vector<double> floats;   // Float
    std::vector<qint64> integers; // Integer, Boolean, DateTime
    std::vector<quint32> offsets; // String: slice of the pool
    std::vector<quint32> lengths;
    std::string pool;
    std::vector<QByteArray> blobs; // Blob

    void appendNull()
    {
        null.push_back(1);
        switch (type) {
        case FieldType::Float: floats.push_back(0); break;
        case FieldType::Integer:
        case FieldType::Boolean:
        case FieldType::DateTime: integers.push_back(0); break;
        case FieldType::String:
            offsets.push_back(0);
            lengths.push_back(0);
            break;
        case FieldType::Blob: blobs.emplace_back(); break;
        }
    }

    void reserve(int rows)
    {
        null.reserve(rows);
        switch (type) {
        case FieldType::Float: floats.reserve(rows); break;
        case FieldType::Integer:
        case FieldType::Boolean:
        case FieldType::DateTime: integers.reserve(rows); break;
        case FieldType::String:
            offsets.reserve(rows);
            lengths.reserve(rows);
            break;
        case FieldType::Blob: blobs.reserve(rows); break;
        }
    }

    void clear()
    {
        null.clear();
        floats.clear();
        integers.clear();
        offsets.clear();
        lengths.clear();
        pool.clear();
        blobs.clear();
    }

    std::string_view bytes(int row) const { return {pool.data() + offsets[row], lengths[row]}; }

    void setBytes(int row, const char* data, quint32 length)
    {
        // Overwrite in place when the new text fits, otherwise append to the pool.
        if (length > lengths[row]) {
            offsets[row] = quint32(pool.size());
            pool.append(data, length);
        } else if (length > 0) {
            std::memmove(pool.data() + offsets[row], data, length);
        }
        lengths[row] = length;
    }

    qint64 bytesUsed() const
    {
        qint64 total = qint64(null.capacity()) + qint64(floats.capacity() * sizeof(double))
            + qint64(integers.capacity() * sizeof(qint64)) + qint64(offsets.capacity() * sizeof(quint32))
            + qint64(lengths.capacity() * sizeof(quint32)) + qint64(pool.capacity())
            + qint64(blobs.capacity() * sizeof(QByteArray));
        for (const auto& b : blobs)
            total += b.capacity();
        return total;
    }
};

struct RowStore::Data : QSharedData {
    FieldDefs fields;
    std::vector<Column> columns;
    QHash<QString, int> byName; // upper-case name -> column
    int rows = 0;
};

RowStore::RowStore() : d(new Data) {}

RowStore::RowStore(const FieldDefs& fields) : d(new Data)
{
    d->fields = fields;
    d->columns.resize(fields.size());
    for (int c = 0; c < fields.size(); ++c) {
        d->columns[c].type = fields[c].type;
        d->columns[c].size = fields[c].size;
        d->byName.insert(fields[c].name.toUpper(), c);
    }
}

RowStore::RowStore(const RowStore&) = default;
RowStore& RowStore::operator=(const RowStore&) = default;
RowStore::~RowStore() = default;

const FieldDefs& RowStore::fields() const { return d->fields; }
int RowStore::columnCount() const { return int(d->fields.size()); }
int RowStore::rowCount() const { return d->rows; }

int RowStore::indexOf(const QString& name) const { return d->byName.value(name.toUpper(), -1); }

void RowStore::reserve(int rows)
{
    for (auto& c : d->columns)
        c.reserve(rows);
}

int RowStore::appendRow()
{
    for (auto& c : d->columns)
        c.appendNull();
    return d->rows++;
}

void RowStore::clear()
{
    for (auto& c : d->columns)
        c.clear();
    d->rows = 0;
}

QVariant RowStore::convert(const QVariant& value, FieldType type)
{
    if (!value.isValid() || value.isNull())
        return {};
    const int id = value.typeId();
    bool ok = true;
    switch (type) {
    case FieldType::String: {
        const QString s = id == QMetaType::QByteArray ? QString::fromUtf8(value.toByteArray()) : value.toString();
        return s.isEmpty() ? QVariant() : QVariant(s);
    }
    case FieldType::Float: {
        double v = 0;
        if (id == QMetaType::QString) {
            // Brazilian text first ("1,5", "1.500,25"), as the forms write it; then the C form
            // ("1.5"), where a comma is never taken for a thousands separator.
            const QString s = value.toString().trimmed();
            if (s.isEmpty())
                return {};
            ok = parseNumber(s, v);
            if (!ok && !s.contains(QLatin1Char(','))) {
                QLocale c = QLocale::c();
                c.setNumberOptions(QLocale::RejectGroupSeparator);
                v = c.toDouble(s, &ok);
            }
        } else {
            v = value.toDouble(&ok);
        }
        ok = ok && std::isfinite(v);
        if (ok)
            return v;
        break;
    }
    case FieldType::Integer: {
        if (id == QMetaType::Double || id == QMetaType::Float) {
            // A fraction, a NaN or an infinity is refused rather than rounded away.
            const double d = value.toDouble();
            ok = std::isfinite(d) && d == std::trunc(d) && std::fabs(d) < 9.2e18;
            if (ok)
                return qint64(d);
            break;
        }
        if (id == QMetaType::QString) {
            const QString s = value.toString().trimmed();
            if (s.isEmpty())
                return {};
            const qint64 v = s.toLongLong(&ok);
            if (ok)
                return v;
            double d = 0;
            if (parseNumber(s, d))
                return convert(d, FieldType::Integer);
            break;
        }
        const qint64 v = value.toLongLong(&ok);
        if (ok)
            return v;
        break;
    }
    case FieldType::Boolean:
        if (id == QMetaType::QString) {
            const QString s = value.toString().trimmed().toUpper();
            if (s.isEmpty())
                return {};
            return s == u"S" || s == u"SIM" || s == u"TRUE" || s == u"T" || s == u"1";
        }
        return value.toBool();
    case FieldType::DateTime: {
        if (id == QMetaType::QDateTime)
            return fromWallClockMsecs(wallClockMsecs(value.toDateTime()));
        if (id == QMetaType::QDate)
            return QDateTime(value.toDate(), QTime(0, 0), QTimeZone::utc());
        if (id == QMetaType::QString) {
            if (value.toString().trimmed().isEmpty())
                return {};
            const QDateTime dt = parseDateTime(value.toString().trimmed());
            if (dt.isValid())
                return dt;
        }
        ok = false;
        break;
    }
    case FieldType::Blob:
        return id == QMetaType::QString ? value.toString().toUtf8() : value.toByteArray();
    }
    throw Error(QStringLiteral("O valor '%1' não é válido para um campo do tipo %2.")
                    .arg(value.toString(), fieldTypeName(type)));
}

QVariant RowStore::value(int row, int col) const
{
    const Column& c = d->columns[col];
    if (c.null[row])
        return {};
    switch (c.type) {
    case FieldType::String: {
        const auto b = c.bytes(row);
        return QString::fromUtf8(b.data(), qsizetype(b.size()));
    }
    case FieldType::Float: return c.floats[row];
    case FieldType::Integer: return c.integers[row];
    case FieldType::Boolean: return c.integers[row] != 0;
    case FieldType::DateTime: return fromWallClockMsecs(c.integers[row]);
    case FieldType::Blob: return c.blobs[row];
    }
    return {};
}

void RowStore::setValue(int row, int col, const QVariant& raw)
{
    const QVariant value = convert(raw, d->fields[col].type);
    if (!value.isValid()) {
        setNull(row, col);
        return;
    }
    Column& c = d->columns[col];
    switch (c.type) {
    case FieldType::String: {
        QString s = value.toString();
        if (c.size > 0 && s.size() > c.size)
            s.truncate(c.size);
        const QByteArray utf = s.toUtf8();
        c.setBytes(row, utf.constData(), quint32(utf.size()));
        break;
    }
    case FieldType::Float: c.floats[row] = value.toDouble(); break;
    case FieldType::Integer: c.integers[row] = value.toLongLong(); break;
    case FieldType::Boolean: c.integers[row] = value.toBool() ? 1 : 0; break;
    case FieldType::DateTime: c.integers[row] = wallClockMsecs(value.toDateTime()); break;
    case FieldType::Blob: c.blobs[row] = value.toByteArray(); break;
    }
    c.null[row] = 0;
}

void RowStore::load(int row, int col, const QVariant& value)
{
    Column& c = d->columns[col];
    if (c.type != FieldType::String || !value.isValid() || value.isNull()) {
        setValue(row, col, value);
        return;
    }
    const QByteArray utf = value.typeId() == QMetaType::QByteArray ? value.toByteArray() : value.toString().toUtf8();
    c.setBytes(row, utf.constData(), quint32(utf.size()));
    c.null[row] = 0;
}

void RowStore::setNull(int row, int col)
{
    Column& c = d->columns[col];
    c.null[row] = 1;
    if (c.type == FieldType::Blob)
        c.blobs[row].clear();
    else if (c.type == FieldType::String)
        c.lengths[row] = 0;
}

bool RowStore::isNull(int row, int col) const { return d->columns[col].null[row] != 0; }

void RowStore::setUtf8(int row, int col, const char* data, qsizetype size)
{
    if (size == 0) {
        setNull(row, col);
        return;
    }
    Column& c = d->columns[col];
    // A text of no more bytes than the size has no more characters either: only longer ones
    // are measured (and cut) as characters.
    if (c.size > 0 && size > c.size) {
        setValue(row, col, QString::fromUtf8(data, size));
        return;
    }
    c.setBytes(row, data, quint32(size));
    c.null[row] = 0;
}

void RowStore::setDouble(int row, int col, double value)
{
    Column& c = d->columns[col];
    c.floats[row] = value;
    c.null[row] = 0;
}

void RowStore::setStoredInteger(int row, int col, qint64 value)
{
    Column& c = d->columns[col];
    c.integers[row] = value;
    c.null[row] = 0;
}

QString RowStore::text(int row, int col) const
{
    const Column& c = d->columns[col];
    if (c.null[row])
        return {};
    if (c.type == FieldType::String) {
        const auto b = c.bytes(row);
        return QString::fromUtf8(b.data(), qsizetype(b.size()));
    }
    return value(row, col).toString();
}

QByteArray RowStore::utf8(int row, int col) const
{
    const Column& c = d->columns[col];
    if (c.type != FieldType::String)
        return text(row, col).toUtf8();
    const auto b = c.bytes(row);
    return QByteArray(b.data(), qsizetype(b.size()));
}

std::string_view RowStore::utf8View(int row, int col) const
{
    const Column& c = d->columns[col];
    return c.null[row] ? std::string_view() : c.bytes(row);
}

double RowStore::number(int row, int col) const
{
    const Column& c = d->columns[col];
    if (c.null[row])
        return 0;
    switch (c.type) {
    case FieldType::Float: return c.floats[row];
    case FieldType::Integer:
    case FieldType::Boolean:
    case FieldType::DateTime: return double(c.integers[row]);
    default: return value(row, col).toDouble();
    }
}

qint64 RowStore::integer(int row, int col) const
{
    const Column& c = d->columns[col];
    if (c.null[row])
        return 0;
    if (c.type == FieldType::Float)
        return std::llround(c.floats[row]);
    if (c.type == FieldType::String || c.type == FieldType::Blob)
        return value(row, col).toLongLong();
    return c.integers[row];
}

int RowStore::compareRows(int rowA, int rowB, int col, bool caseInsensitive) const
{
    const Column& c = d->columns[col];
    const bool nullA = c.null[rowA], nullB = c.null[rowB];
    if (nullA || nullB)
        return int(nullB) - int(nullA);
    switch (c.type) {
    case FieldType::String: {
        if (caseInsensitive)
            return QString::compare(text(rowA, col), text(rowB, col), Qt::CaseInsensitive);
        const int r = c.bytes(rowA).compare(c.bytes(rowB));
        return r < 0 ? -1 : (r > 0 ? 1 : 0);
    }
    case FieldType::Float: return compareNumbers(c.floats[rowA], c.floats[rowB]);
    case FieldType::Blob: {
        const int r = std::memcmp(c.blobs[rowA].constData(), c.blobs[rowB].constData(),
                                  size_t(std::min(c.blobs[rowA].size(), c.blobs[rowB].size())));
        if (r != 0)
            return r < 0 ? -1 : 1;
        return compareNumbers(double(c.blobs[rowA].size()), double(c.blobs[rowB].size()));
    }
    default: return c.integers[rowA] < c.integers[rowB] ? -1 : (c.integers[rowA] > c.integers[rowB] ? 1 : 0);
    }
}

int RowStore::compareValue(int row, int col, const QVariant& raw, bool caseInsensitive) const
{
    const Column& c = d->columns[col];
    const QVariant v = convert(raw, c.type);
    const bool nullA = c.null[row], nullB = !v.isValid();
    if (nullA || nullB)
        return int(nullB) - int(nullA);
    switch (c.type) {
    case FieldType::String:
        return QString::compare(text(row, col), v.toString(), caseInsensitive ? Qt::CaseInsensitive : Qt::CaseSensitive);
    case FieldType::Float: return compareNumbers(c.floats[row], v.toDouble());
    case FieldType::Integer: return compareNumbers(double(c.integers[row]), double(v.toLongLong()));
    case FieldType::Boolean: return compareNumbers(double(c.integers[row]), v.toBool() ? 1 : 0);
    case FieldType::DateTime:
        return compareNumbers(double(c.integers[row]), double(wallClockMsecs(v.toDateTime())));
    case FieldType::Blob: {
        const QByteArray& b = c.blobs[row];
        const QByteArray o = v.toByteArray();
        return b < o ? -1 : (o < b ? 1 : 0);
    }
    }
    return 0;
}

void RowStore::copyRow(int dstRow, const RowStore& src, int srcRow)
{
    for (int col = 0; col < columnCount(); ++col) {
        const Column& s = src.d->columns[col];
        Column& t = d->columns[col];
        t.null[dstRow] = s.null[srcRow];
        switch (t.type) {
        case FieldType::String: {
            const auto b = s.bytes(srcRow);
            t.setBytes(dstRow, b.data(), quint32(b.size()));
            break;
        }
        case FieldType::Float: t.floats[dstRow] = s.floats[srcRow]; break;
        case FieldType::Blob: t.blobs[dstRow] = s.blobs[srcRow]; break;
        default: t.integers[dstRow] = s.integers[srcRow]; break;
        }
    }
}

void RowStore::appendRowsByName(const RowStore& src, const QVector<int>& srcRows)
{
    QVector<int> map(columnCount());
    for (int col = 0; col < columnCount(); ++col)
        map[col] = src.indexOf(d->fields[col].name);
    reserve(rowCount() + int(srcRows.size()));
    for (int srcRow : srcRows) {
        const int row = appendRow();
        for (int col = 0; col < columnCount(); ++col)
            if (map[col] >= 0 && !src.isNull(srcRow, map[col]))
                load(row, col, src.value(srcRow, map[col]));
    }
}

qint64 RowStore::bytesUsed() const
{
    qint64 total = sizeof(Data);
    for (const auto& c : d->columns)
        total += c.bytesUsed();
    return total;
}

} // namespace framework
