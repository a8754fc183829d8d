#pragma once

#include "db/database.h"

#include <QString>
#include <functional>
#include <memory>

namespace appserver {

// The application server over HTTP: POST /call with a JSON body
//     {"object": "Pla01300.rdmReceitaPadrao", "method": "GetPrato", "args": <array>}
// answers {"result": <value>, "args": <array>} in the one JSON encoding of framework/data.
// Every worker thread has its own database connection; a malformed request answers 400 and
// costs nothing else.
class HttpServer {
public:
    explicit HttpServer(const db::Target& database);
    ~HttpServer(); // stops
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    // Binds (port 0: any free port) and serves from a background thread. Returns the port, or
    // -1 when the address cannot be bound.
    int start(const QString& host, int port);
    void stop();
    int port() const;

    // One line per call: object.method, duration, outcome. Defaults to qInfo.
    void setLogger(std::function<void(const QString&)> logger);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace appserver
