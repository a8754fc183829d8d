#include "jsontext.h"

#include "datapacket.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QLocale>
#include <cmath>

namespace framework {

namespace {

constexpr qint64 exactDoubleLimit = qint64(1) << 53;
constexpr char statusLetters[] = {'U', 'I', 'M', 'D'};

void appendString(QByteArray& out, const char* data, qsizetype size)
{
    static const char hex[] = "0123456789abcdef";
    out += '"';
    for (qsizetype i = 0; i < size; ++i) {
        const unsigned char c = static_cast<unsigned char>(data[i]);
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (c < 0x20) {
                out += "\\u00";
                out += hex[c >> 4];
                out += hex[c & 0xf];
            } else {
                out += char(c);
            }
        }
    }
    out += '"';
}

void appendString(QByteArray& out, const QString& text)
{
    const QByteArray utf = text.toUtf8();
    appendString(out, utf.constData(), utf.size());
}

void appendCell(QByteArray& out, const RowStore& store, int row, int col)
{
    if (store.isNull(row, col)) {
        out += "null";
        return;
    }
    switch (store.fields()[col].type) {
    case FieldType::String: {
        const QByteArray utf = store.utf8(row, col);
        appendString(out, utf.constData(), utf.size());
        return;
    }
    case FieldType::Float: {
        const double v = store.number(row, col);
        out += std::isfinite(v) ? QByteArray::number(v, 'g', QLocale::FloatingPointShortest) : QByteArray("null");
        return;
    }
    case FieldType::Integer: {
        const qint64 v = store.integer(row, col);
        if (std::llabs(v) < exactDoubleLimit) {
            out += QByteArray::number(v);
        } else {
            out += '"';
            out += QByteArray::number(v);
            out += '"';
        }
        return;
    }
    case FieldType::Boolean: out += store.value(row, col).toBool() ? "true" : "false"; return;
    case FieldType::DateTime:
        appendString(out, store.value(row, col).toDateTime().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz")));
        return;
    case FieldType::Blob: {
        const QByteArray base64 = store.value(row, col).toByteArray().toBase64();
        appendString(out, base64.constData(), base64.size());
        return;
    }
    }
    out += "null";
}

void appendRow(QByteArray& out, const RowStore& store, int row)
{
    out += '[';
    for (int col = 0; col < store.columnCount(); ++col) {
        if (col)
            out += ',';
        appendCell(out, store, row, col);
    }
    out += ']';
}

void appendPacket(QByteArray& out, const DataPacket& packet)
{
    // The field list is small: the JSON classes write it.
    QJsonArray fields;
    for (const FieldDef& f : packet.fields()) {
        QJsonObject o{{"name", f.name}, {"type", fieldTypeName(f.type)}};
        if (f.size)
            o.insert("size", f.size);
        if (f.required)
            o.insert("required", true);
        o.insert("flags", f.providerFlags);
        fields.append(o);
    }
    out += "{\"packet\":{\"fields\":";
    out += QJsonDocument(fields).toJson(QJsonDocument::Compact);
    out += ",\"rows\":[";
    const int rows = packet.rowCount();
    for (int r = 0; r < rows; ++r) {
        if (r)
            out += ',';
        appendRow(out, packet.rows, r);
    }
    out += ']';
    if (packet.carriesLog) {
        QByteArray letters;
        for (int r = 0; r < rows; ++r)
            letters += statusLetters[int(packet.rowStatus(r))];
        out += ",\"status\":\"" + letters + "\",\"originals\":[";
        for (int r = 0; r < rows; ++r) {
            if (r)
                out += ',';
            const RowStatus s = packet.rowStatus(r);
            if (s == RowStatus::Modified || s == RowStatus::Deleted)
                appendRow(out, packet.originals, r);
            else
                out += "null";
        }
        out += ']';
    }
    out += "}}";
}

void appendValue(QByteArray& out, const QVariant& value)
{
    if (isPacket(value)) {
        appendPacket(out, value.value<DataPacket>());
        return;
    }
    if (value.typeId() == QMetaType::QVariantList) {
        out += "{\"array\":[";
        const QVariantList items = value.toList();
        for (qsizetype i = 0; i < items.size(); ++i) {
            if (i)
                out += ',';
            appendValue(out, items[i]);
        }
        out += "]}";
        return;
    }
    const QJsonValue json = variantToJson(value);
    out += json.isObject() ? QJsonDocument(json.toObject()).toJson(QJsonDocument::Compact) : QByteArray("null");
}

} // namespace

QByteArray variantToJsonText(const QVariant& value)
{
    QByteArray out;
    if (isPacket(value)) {
        const DataPacket& packet = *static_cast<const DataPacket*>(value.constData());
        out.reserve(qsizetype(packet.rowCount()) * packet.fields().size() * 12 + 256);
    }
    appendValue(out, value);
    return out;
}

} // namespace framework
