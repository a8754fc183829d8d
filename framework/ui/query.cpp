#include "query.h"

#include "framework/abort.h"
#include "framework/core/hostcontext.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>

namespace framework {

namespace {

bool isNameStart(QChar c)
{
    return c.isLetter() || c == QLatin1Char('_');
}

bool isNameChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

FieldType fieldTypeOf(QMetaType type)
{
    switch (type.id()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
        return FieldType::Integer;
    case QMetaType::Double:
    case QMetaType::Float:
        return FieldType::Float;
    case QMetaType::Bool:
        return FieldType::Boolean;
    case QMetaType::QDate:
    case QMetaType::QDateTime:
    case QMetaType::QTime:
        return FieldType::DateTime;
    case QMetaType::QByteArray:
        return FieldType::Blob;
    default:
        return FieldType::String;
    }
}

bool isNumber(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Double:
        return true;
    default:
        return false;
    }
}

} // namespace

QString positionalSql(const QString& sql, QStringList* names)
{
    QString out;
    out.reserve(sql.size());
    const qsizetype n = sql.size();
    qsizetype i = 0;
    auto copyUntil = [&](const QString& end) {
        const qsizetype close = sql.indexOf(end, i);
        const qsizetype stop = close < 0 ? n : close + end.size();
        out += sql.mid(i, stop - i);
        i = stop;
    };
    while (i < n) {
        const QChar c = sql[i];
        const QChar next = i + 1 < n ? sql[i + 1] : QChar();
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            out += c;
            ++i;
            copyUntil(QString(c)); // a doubled quote simply opens the next quoted run
        } else if (c == QLatin1Char('-') && next == QLatin1Char('-')) {
            copyUntil(QStringLiteral("\n"));
        } else if (c == QLatin1Char('/') && next == QLatin1Char('*')) {
            copyUntil(QStringLiteral("*/"));
        } else if (c == QLatin1Char(':') && next == QLatin1Char(':')) {
            out += QStringLiteral("::");
            i += 2;
        } else if (c == QLatin1Char(':') && isNameStart(next)) {
            qsizetype end = i + 1;
            while (end < n && isNameChar(sql[end]))
                ++end;
            if (names)
                *names << sql.mid(i + 1, end - i - 1);
            out += QLatin1Char('?');
            i = end;
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}

DataPacket packetFromQuery(QSqlQuery& query)
{
    const QSqlRecord record = query.record();
    const int columns = record.count();
    QVector<QVariant> cells;
    while (query.next()) {
        for (int c = 0; c < columns; ++c)
            cells << query.value(c);
    }
    const int rows = columns ? int(cells.size() / columns) : 0;

    FieldDefs defs;
    for (int c = 0; c < columns; ++c) {
        const QSqlField column = record.field(c);
        FieldDef def;
        def.name = column.name().toUpper();
        def.type = fieldTypeOf(column.metaType());
        if (def.type == FieldType::String && column.length() > 0)
            def.size = column.length();
        // SQLite reports a text type for columns without a declared numeric type (expressions,
        // NUMERIC columns); their values still carry the stored kind, which decides.
        if (def.type == FieldType::String) {
            bool numeric = false, other = false;
            for (int r = 0; r < rows && !other; ++r) {
                const QVariant& value = cells[r * columns + c];
                if (value.isNull())
                    continue;
                (isNumber(value) ? numeric : other) = true;
            }
            if (numeric && !other) {
                def.type = FieldType::Float;
                def.size = 0;
            }
        }
        defs << def;
    }

    DataPacket packet(defs);
    packet.rows.reserve(rows);
    for (int r = 0; r < rows; ++r) {
        const int row = packet.rows.appendRow();
        for (int c = 0; c < columns; ++c)
            packet.rows.setValue(row, c, cells[r * columns + c]);
    }
    return packet;
}

Query::Query(QObject* parent, const QString& name) : ClientDataSet(parent, name) {}

Query::~Query() = default;

void Query::setSQL(Family family, const QString& sql)
{
    m_sql.insert(family, sql);
    collectParams();
}

QString Query::sqlFor(Family family) const
{
    const QString own = m_sql.value(family);
    return own.trimmed().isEmpty() ? m_sql.value(Family::General) : own;
}

QString Query::connectionName() const
{
    return m_connectionName.isEmpty() ? hostContext().databaseConnection : m_connectionName;
}

Query::Family Query::familyOf(const QSqlDatabase& db)
{
    const QString driver = db.driverName();
    if (driver.startsWith(QLatin1String("QSQLITE")))
        return Family::SQLite;
    if (driver.startsWith(QLatin1String("QPSQL")))
        return Family::PostgreSQL;
    return Family::General;
}

void Query::collectParams()
{
    QStringList names;
    for (const QString& sql : std::as_const(m_sql))
        positionalSql(sql, &names);
    for (const QString& name : std::as_const(names)) {
        if (!findParam(name))
            m_params.push_back(std::unique_ptr<Param>(new Param(name)));
    }
}

QStringList Query::ParamNames() const
{
    QStringList names;
    for (const auto& param : m_params)
        names << param->Name();
    return names;
}

Query::Param* Query::findParam(const QString& name) const
{
    for (const auto& param : m_params) {
        if (param->Name().compare(name, Qt::CaseInsensitive) == 0)
            return param.get();
    }
    return nullptr;
}

Query::Param* Query::ParamByName(const QString& name)
{
    if (Param* param = findParam(name))
        return param;
    throw Error(QStringLiteral("Parâmetro \"%1\" não existe na consulta %2.").arg(name, objectName()));
}

QSqlQuery Query::prepare(const QSqlDatabase& db) const
{
    QStringList names;
    const QString sql = positionalSql(sqlFor(familyOf(db)), &names);
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.prepare(sql))
        throw Error(QStringLiteral("Erro na consulta %1: %2").arg(objectName(), query.lastError().text()));
    for (int i = 0; i < names.size(); ++i)
        query.bindValue(i, findParam(names[i])->Value());
    return query;
}

namespace {

QSqlDatabase openDatabase(const QString& connection, const QString& queryName)
{
    QSqlDatabase db = QSqlDatabase::database(connection);
    if (!db.isValid() || !db.isOpen())
        throw Error(QStringLiteral("Banco de dados indisponível para a consulta %1.").arg(queryName));
    return db;
}

} // namespace

void Query::Open()
{
    QSqlQuery query = prepare(openDatabase(connectionName(), objectName()));
    if (!query.exec())
        throw Error(QStringLiteral("Erro na consulta %1: %2").arg(objectName(), query.lastError().text()));
    const DataPacket packet = packetFromQuery(query);
    if (Active())
        ClientDataSet::Close();
    SetData(packet);
}

void Query::Refresh()
{
    Close();
    Open();
}

int Query::ExecSQL()
{
    QSqlQuery query = prepare(openDatabase(connectionName(), objectName()));
    if (!query.exec())
        throw Error(QStringLiteral("Erro na consulta %1: %2").arg(objectName(), query.lastError().text()));
    return query.numRowsAffected();
}

} // namespace framework
