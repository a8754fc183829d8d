#pragma once

#include "serverobject.h"

#include <memory>
#include <vector>

namespace appserver {

// Every server object of the application, by name (matched without regard to case).
class Registry {
public:
    static const Registry& instance();

    const ServerObject* find(const QString& name) const;
    QStringList objectNames() const;

private:
    Registry();
    std::vector<std::unique_ptr<ServerObject>> m_objects;
};

} // namespace appserver
