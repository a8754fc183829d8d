#include "call.h"

#include "errors.h"
#include "framework/core/consiste.h"
#include "sqlpacket.h"

namespace appserver {

const QVariant& Call::arg(int index) const
{
    if (index < 0 || index >= m_args.size())
        throw Refusal(QStringLiteral("O método %1 espera o argumento %2, que não foi enviado.").arg(m_method).arg(index + 1));
    return m_args[index];
}

QString Call::text(int index) const
{
    const QVariant& v = arg(index);
    if (framework::isPacket(v) || v.typeId() == QMetaType::QVariantList)
        throw Refusal(QStringLiteral("O argumento %1 de %2 deve ser um texto.").arg(index + 1).arg(m_method));
    return v.toString();
}

qint64 Call::integer(int index) const
{
    bool ok = false;
    const qint64 n = arg(index).toLongLong(&ok);
    if (!ok)
        throw Refusal(QStringLiteral("O argumento %1 de %2 deve ser um número inteiro.").arg(index + 1).arg(m_method));
    return n;
}

bool Call::flag(int index) const
{
    return arg(index).toBool();
}

framework::DataPacket Call::packet(int index) const
{
    const QVariant& v = arg(index);
    if (!framework::isPacket(v))
        throw Refusal(QStringLiteral("O argumento %1 de %2 deve ser um pacote de dados.").arg(index + 1).arg(m_method));
    return framework::toPacket(v);
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
    arg(index);
    m_args[index] = value;
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
