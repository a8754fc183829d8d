#pragma once

#include "transport.h"

#include <memory>

namespace server {

// Calls the appserver daemon over HTTP (or HTTPS when the host starts with "https://") with
// JSON bodies on one kept-alive connection, carrying the session's token (logging in again
// when the daemon asks). Every call carries a request id; a call whose connection failed before
// an answer came is sent once more with the same id, which any daemon on the database answers
// without applying an update twice. Only an answer that carries a result counts; of the
// arguments, only those the method wrote come back.
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
