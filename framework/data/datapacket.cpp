#include "datapacket.h"

#include "framework/abort.h"

#include <QJsonArray>
#include <cmath>

namespace framework {

namespace {

constexpr char statusLetters[] = {'U', 'I', 'M', 'D'};
constexpr qint64 exactDoubleLimit = qint64(1) << 53;
const QString dateTimeFormat = QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz");

[[noreturn]] void malformed(const QString& what)
{
    throw Error(QStringLiteral("Pacote de dados inválido: %1.").arg(what));
}

QJsonValue cellToJson(const RowStore& store, int row, int col)
{
    if (store.isNull(row, col))
        return QJsonValue::Null;
    switch (store.fields()[col].type) {
    case FieldType::String: return store.text(row, col);
    case FieldType::Float: {
        const double v = store.number(row, col);
        return std::isfinite(v) ? QJsonValue(v) : QJsonValue(QJsonValue::Null);
    }
    case FieldType::Integer: {
        const qint64 v = store.integer(row, col);
        // Doubles carry integers exactly only up to 2^53; larger ones travel as text.
        return std::llabs(v) < exactDoubleLimit ? QJsonValue(v) : QJsonValue(QString::number(v));
    }
    case FieldType::Boolean: return store.value(row, col).toBool();
    case FieldType::DateTime: return store.value(row, col).toDateTime().toString(dateTimeFormat);
    case FieldType::Blob: return QString::fromLatin1(store.value(row, col).toByteArray().toBase64());
    }
    return QJsonValue::Null;
}

void cellFromJson(RowStore& store, int row, int col, const QJsonValue& json)
{
    if (json.isNull() || json.isUndefined())
        return;
    switch (store.fields()[col].type) {
    case FieldType::String:
        if (!json.isString())
            malformed(QStringLiteral("texto esperado na coluna %1").arg(store.fields()[col].name));
        store.load(row, col, json.toString());
        return;
    case FieldType::Float:
        if (!json.isDouble() || !std::isfinite(json.toDouble()))
            malformed(QStringLiteral("número esperado na coluna %1").arg(store.fields()[col].name));
        store.setValue(row, col, json.toDouble());
        return;
    case FieldType::Integer: {
        // Integers travel as JSON numbers up to 2^53 and as digit text beyond; a fraction or a
        // number too large to be exact is refused, never rounded.
        bool ok = false;
        qint64 value = 0;
        if (json.isString()) {
            value = json.toString().toLongLong(&ok);
        } else if (json.isDouble()) {
            const double d = json.toDouble();
            ok = std::isfinite(d) && d == std::trunc(d) && std::fabs(d) <= double(exactDoubleLimit);
            value = ok ? qint64(d) : 0;
        }
        if (!ok)
            malformed(QStringLiteral("inteiro esperado na coluna %1").arg(store.fields()[col].name));
        store.setValue(row, col, value);
        return;
    }
    case FieldType::Boolean:
        if (!json.isBool())
            malformed(QStringLiteral("lógico esperado na coluna %1").arg(store.fields()[col].name));
        store.setValue(row, col, json.toBool());
        return;
    case FieldType::DateTime: {
        const QDateTime dt = RowStore::parseDateTime(json.toString());
        if (!dt.isValid())
            malformed(QStringLiteral("data inválida na coluna %1").arg(store.fields()[col].name));
        store.setValue(row, col, dt);
        return;
    }
    case FieldType::Blob:
        if (!json.isString())
            malformed(QStringLiteral("binário esperado na coluna %1").arg(store.fields()[col].name));
        store.setValue(row, col, QByteArray::fromBase64(json.toString().toLatin1()));
        return;
    }
}

QJsonArray rowToJson(const RowStore& store, int row)
{
    QJsonArray cells;
    for (int col = 0; col < store.columnCount(); ++col)
        cells.append(cellToJson(store, row, col));
    return cells;
}

void rowFromJson(RowStore& store, int row, const QJsonValue& json)
{
    if (!json.isArray())
        malformed(QStringLiteral("linha deve ser uma lista"));
    const QJsonArray cells = json.toArray();
    if (cells.size() != store.columnCount())
        malformed(QStringLiteral("linha com %1 valores para %2 colunas").arg(cells.size()).arg(store.columnCount()));
    for (int col = 0; col < store.columnCount(); ++col)
        cellFromJson(store, row, col, cells[col]);
}

} // namespace

DataPacket::DataPacket(const FieldDefs& fields) : rows(fields), originals(fields) {}

int DataPacket::appendRow(RowStatus rowStatus)
{
    if (rowStatus != RowStatus::Unmodified && !carriesLog) {
        carriesLog = true;
        status.fill(RowStatus::Unmodified, rows.rowCount());
    }
    const int row = rows.appendRow();
    if (carriesLog) {
        // Originals keep the row numbers of `rows`; plain packets never pay for them.
        if (originals.columnCount() != rows.columnCount())
            originals = RowStore(rows.fields());
        while (originals.rowCount() < rows.rowCount())
            originals.appendRow();
        status.append(rowStatus);
    }
    return row;
}

QJsonObject DataPacket::toJson() const
{
    QJsonArray fieldsJson;
    for (const FieldDef& f : fields()) {
        QJsonObject o{{"name", f.name}, {"type", fieldTypeName(f.type)}};
        if (f.size)
            o.insert("size", f.size);
        if (f.required)
            o.insert("required", true);
        o.insert("flags", f.providerFlags);
        fieldsJson.append(o);
    }
    QJsonArray rowsJson;
    for (int r = 0; r < rows.rowCount(); ++r)
        rowsJson.append(rowToJson(rows, r));
    QJsonObject json{{"fields", fieldsJson}, {"rows", rowsJson}};
    if (carriesLog) {
        QString letters;
        QJsonArray originalsJson;
        for (int r = 0; r < rows.rowCount(); ++r) {
            const RowStatus s = rowStatus(r);
            letters += QLatin1Char(statusLetters[int(s)]);
            const bool hasOriginal = s == RowStatus::Modified || s == RowStatus::Deleted;
            originalsJson.append(hasOriginal ? QJsonValue(rowToJson(originals, r)) : QJsonValue());
        }
        json.insert("status", letters);
        json.insert("originals", originalsJson);
    }
    return json;
}

DataPacket DataPacket::fromJson(const QJsonObject& json)
{
    if (!json.value("fields").isArray() || !json.value("rows").isArray())
        malformed(QStringLiteral("faltam campos ou linhas"));
    FieldDefs defs;
    for (const QJsonValue& v : json.value("fields").toArray()) {
        const QJsonObject o = v.toObject();
        FieldDef f;
        f.name = o.value("name").toString();
        if (f.name.isEmpty())
            malformed(QStringLiteral("campo sem nome"));
        f.type = fieldTypeFromName(o.value("type").toString());
        f.size = o.value("size").toInt();
        f.required = o.value("required").toBool();
        f.providerFlags = o.value("flags").toInt(pfInUpdate | pfInWhere);
        defs.append(f);
    }
    DataPacket packet(defs);
    const QJsonArray rowsJson = json.value("rows").toArray();
    const bool withLog = json.contains("status");
    const QString letters = json.value("status").toString();
    const QJsonArray originalsJson = json.value("originals").toArray();
    if (withLog && (letters.size() != rowsJson.size() || originalsJson.size() != rowsJson.size()))
        malformed(QStringLiteral("situação das linhas incompleta"));
    packet.carriesLog = withLog;
    packet.rows.reserve(int(rowsJson.size()));
    for (int r = 0; r < rowsJson.size(); ++r) {
        RowStatus s = RowStatus::Unmodified;
        if (withLog) {
            const int code = QByteArray(statusLetters, 4).indexOf(letters[r].toLatin1());
            if (code < 0)
                malformed(QStringLiteral("situação de linha desconhecida"));
            s = RowStatus(code);
        }
        const int row = packet.appendRow(s);
        rowFromJson(packet.rows, row, rowsJson[r]);
        if (s == RowStatus::Modified || s == RowStatus::Deleted)
            rowFromJson(packet.originals, row, originalsJson[r]);
    }
    return packet;
}

QJsonValue variantToJson(const QVariant& value)
{
    if (!value.isValid() || value.isNull())
        return QJsonValue::Null;
    if (value.canConvert<DataPacket>() && value.userType() == qMetaTypeId<DataPacket>())
        return QJsonObject{{"packet", value.value<DataPacket>().toJson()}};
    if (value.userType() == qMetaTypeId<ServerFault>())
        return QJsonObject{{"fault", value.value<ServerFault>().message}};
    switch (value.typeId()) {
    case QMetaType::QVariantList: {
        QJsonArray items;
        for (const QVariant& item : value.toList())
            items.append(variantToJson(item));
        return QJsonObject{{"array", items}};
    }
    case QMetaType::QStringList: {
        QJsonArray items;
        for (const QString& item : value.toStringList())
            items.append(variantToJson(item));
        return QJsonObject{{"array", items}};
    }
    case QMetaType::QString: return QJsonObject{{"text", value.toString()}};
    case QMetaType::Bool: return QJsonObject{{"bool", value.toBool()}};
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong: return QJsonObject{{"int", QString::number(value.toLongLong())}};
    case QMetaType::Double:
    case QMetaType::Float:
        if (!std::isfinite(value.toDouble()))
            throw Error(QStringLiteral("Número inválido no envio: %1.").arg(value.toDouble()));
        return QJsonObject{{"float", value.toDouble()}};
    case QMetaType::QDateTime:
        return QJsonObject{{"datetime", RowStore::convert(value, FieldType::DateTime).toDateTime().toString(dateTimeFormat)}};
    case QMetaType::QDate: return QJsonObject{{"date", value.toDate().toString(Qt::ISODate)}};
    case QMetaType::QByteArray: return QJsonObject{{"blob", QString::fromLatin1(value.toByteArray().toBase64())}};
    default: break;
    }
    throw Error(QStringLiteral("Tipo de valor não suportado no envio: %1.").arg(QString::fromLatin1(value.typeName())));
}

QVariant variantFromJson(const QJsonValue& json)
{
    if (json.isNull() || json.isUndefined())
        return {};
    if (!json.isObject() || json.toObject().size() != 1)
        malformed(QStringLiteral("valor sem tipo"));
    const QJsonObject o = json.toObject();
    const QString tag = o.begin().key();
    const QJsonValue v = o.begin().value();
    if (tag == u"packet")
        return QVariant::fromValue(DataPacket::fromJson(v.toObject()));
    if (tag == u"fault")
        return QVariant::fromValue(ServerFault{v.toString()});
    if (tag == u"array") {
        QVariantList items;
        for (const QJsonValue& item : v.toArray())
            items.append(variantFromJson(item));
        return items;
    }
    if (tag == u"text")
        return v.toString();
    if (tag == u"bool")
        return v.toBool();
    if (tag == u"int") {
        bool ok = false;
        const qint64 i = v.toString().toLongLong(&ok);
        if (!ok)
            malformed(QStringLiteral("inteiro inválido"));
        return i;
    }
    if (tag == u"float") {
        if (!v.isDouble() || !std::isfinite(v.toDouble()))
            malformed(QStringLiteral("número inválido"));
        return v.toDouble();
    }
    if (tag == u"datetime")
        return RowStore::parseDateTime(v.toString());
    if (tag == u"date")
        return QDate::fromString(v.toString(), Qt::ISODate);
    if (tag == u"blob")
        return QByteArray::fromBase64(v.toString().toLatin1());
    malformed(QStringLiteral("tipo de valor desconhecido '%1'").arg(tag));
}

bool isPacket(const QVariant& value) { return value.userType() == qMetaTypeId<DataPacket>(); }

bool isServerFault(const QVariant& value) { return value.userType() == qMetaTypeId<ServerFault>(); }

DataPacket toPacket(const QVariant& value)
{
    if (!isPacket(value))
        throw Error(value.typeId() == QMetaType::QString && !value.toString().isEmpty()
                        ? value.toString()
                        : QStringLiteral("O servidor não devolveu um pacote de dados."));
    return value.value<DataPacket>();
}

} // namespace framework
