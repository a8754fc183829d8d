#include "registry.h"

#include "objects/rdmautoriza.h"
#include "objects/rdmconsnutrprat.h"
#include "objects/rdmcustoprato.h"
#include "objects/rdmcustprod.h"
#include "objects/rdmimpprato.h"
#include "objects/rdmreceitapadrao.h"

namespace appserver {

Registry::Registry()
{
    m_objects.push_back(std::make_unique<RdmReceitaPadrao>());
    m_objects.push_back(std::make_unique<RdmImpPrato>());
    m_objects.push_back(std::make_unique<RdmConsNutrPrat>());
    m_objects.push_back(std::make_unique<RdmCustoPrato>());
    m_objects.push_back(std::make_unique<RdmCustProd>());
    m_objects.push_back(std::make_unique<RdmAutoriza>());
}

const Registry& Registry::instance()
{
    static const Registry registry;
    return registry;
}

const ServerObject* Registry::find(const QString& name) const
{
    for (const auto& object : m_objects)
        if (object->name().compare(name, Qt::CaseInsensitive) == 0)
            return object.get();
    return nullptr;
}

QStringList Registry::objectNames() const
{
    QStringList names;
    for (const auto& object : m_objects)
        names << object->name();
    return names;
}

} // namespace appserver
