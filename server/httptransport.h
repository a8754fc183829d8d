#pragma once

#include "transport.h"

#include <memory>

namespace server {

// Calls the appserver daemon over HTTP with JSON bodies; one kept-alive connection.
class HttpTransport : public Transport {
public:
    HttpTransport();
    ~HttpTransport() override;

    bool open(const QString& host, int port) override;
    void close() override;
    bool isOpen() const override;
    QVariant call(const QString& object, const QString& method, QVariantList& args) override;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace server
