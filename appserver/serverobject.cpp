#include "serverobject.h"

namespace appserver {

const ServerObject::Method* ServerObject::method(const QString& name) const
{
    const auto it = m_methods.constFind(name.toLower());
    return it == m_methods.constEnd() ? nullptr : &it.value();
}

QStringList ServerObject::methodNames() const
{
    QStringList names;
    for (const Method& m : m_methods)
        names << m.name;
    names.sort(Qt::CaseInsensitive);
    return names;
}

void ServerObject::add(Method method)
{
    const QString key = method.name.toLower();
    Q_ASSERT_X(!m_methods.contains(key), "ServerObject", "method registered twice");
    m_methods.insert(key, std::move(method));
}

} // namespace appserver
