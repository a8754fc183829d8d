#include "call.h"

#include "errors.h"
#include "framework/core/consiste.h"
#include "sqlpacket.h"

#include <algorithm>
#include <cmath>

namespace appserver {

void Call::refuse(int index, ArgumentKind kind, const QString& what) const
{
    throw ArgumentRefusal(QStringLiteral("O argumento %1 de %2 deve ser %3.").arg(index + 1).arg(m_method, what), index, kind);
}

const QVariant& Call::arg(int index, ArgumentKind kind) const
{
    if (index < 0 || index >= m_args.size())
        throw ArgumentRefusal(
            QStringLiteral("O método %1 espera o argumento %2, que não foi enviado.").arg(m_method).arg(index + 1), index, kind);
    return m_args[index];
}

QString Call::text(int index) const
{
    const QVariant& v = arg(index, ArgumentKind::Text);
    if (framework::isPacket(v) || v.typeId() == QMetaType::QVariantList)
        refuse(index, ArgumentKind::Text, QStringLiteral("um texto"));
    return v.toString();
}

qint64 Call::integer(int index) const
{
    bool ok = false;
    const qint64 n = arg(index, ArgumentKind::Integer).toLongLong(&ok);
    if (!ok)
        refuse(index, ArgumentKind::Integer, QStringLiteral("um número inteiro"));
    return n;
}

double Call::number(int index) const
{
    bool ok = false;
    const double n = arg(index, ArgumentKind::Number).toDouble(&ok);
    if (!ok || !std::isfinite(n))
        refuse(index, ArgumentKind::Number, QStringLiteral("um número"));
    return n;
}

bool Call::flag(int index) const
{
    return arg(index, ArgumentKind::Flag).toBool();
}

framework::DataPacket Call::packet(int index) const
{
    const QVariant& v = arg(index, ArgumentKind::Packet);
    if (!framework::isPacket(v))
        refuse(index, ArgumentKind::Packet, QStringLiteral("um pacote de dados"));
    return framework::toPacket(v);
}

QDate Call::date(int index, const QString& invalid) const
{
    const QVariant& v = arg(index, ArgumentKind::Date);
    QDate date;
    if (v.typeId() == QMetaType::QDate)
        date = v.toDate();
    else if (v.typeId() == QMetaType::QDateTime)
        date = v.toDateTime().date();
    else if (!framework::isPacket(v))
        date = QDate::fromString(v.toString().left(10), Qt::ISODate);
    if (!date.isValid()) {
        if (!invalid.isEmpty())
            throw ArgumentRefusal(invalid, index, ArgumentKind::Date);
        refuse(index, ArgumentKind::Date, QStringLiteral("uma data"));
    }
    return date;
}

QString Call::code(int index, int width)
{
    const QString value = framework::Ajusta(text(index), width);
    setArg(index, value);
    return value;
}

QString Call::operatorCode(int index) const
{
    const QString named = text(index).trimmed();
    if (named.compare(m_caller.operatorCode.trimmed(), Qt::CaseInsensitive) != 0)
        throw NotAllowed(QStringLiteral("O operador %1 não é o operador desta sessão (%2).")
                          .arg(named, m_caller.operatorCode));
    return m_caller.operatorCode;
}

void Call::setArg(int index, const QVariant& value)
{
    arg(index, ArgumentKind::Text);
    m_args[index] = value;
    if (!m_written.contains(index))
        m_written << index;
}

QList<int> Call::written() const
{
    QList<int> sorted = m_written;
    std::sort(sorted.begin(), sorted.end());
    return sorted;
}

framework::DataPacket Call::select(const QString& sql, const QVariantList& values, const framework::FieldDefs& fields)
{
    return selectPacket(m_db, sql, values, fields);
}

QVariant Call::value(const QString& sql, const QVariantList& values)
{
    return selectValue(m_db, sql, values);
}

void Call::apply(const framework::DataPacket& log, const TableTarget& target)
{
    applyChangeLog(m_db, log, target);
}

} // namespace appserver
