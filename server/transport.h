#pragma once

#include <QString>
#include <QVariantList>

namespace server {

// How a connection reaches its server object. Calls never throw: a failure comes back as a
// framework::ServerFault.
class Transport {
public:
    virtual ~Transport() = default;

    virtual bool open(const QString& host, int port) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    virtual QVariant call(const QString& object, const QString& method, QVariantList& args) = 0;
};

} // namespace server
