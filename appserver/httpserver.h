#pragma once

#include "db/database.h"
#include "grantstore.h"

#include <QString>
#include <chrono>
#include <functional>
#include <memory>

namespace appserver {

struct ServerOptions {
    qint64 maxBodyBytes = qint64(64) << 20;    // larger request bodies answer 413
    QString certificateFile, keyFile;          // both given: HTTPS only
    std::chrono::seconds sessionIdleLifetime = std::chrono::hours(8);
    std::chrono::seconds rememberRequests = std::chrono::minutes(15);
    int rememberedRequestLimit = 2000;
    std::chrono::milliseconds grantLifetime = defaultGrantLifetime; // a supervisor's authorisation
};

// The application server over HTTP (or HTTPS with a certificate and key).
//
// POST /login {"operator": "...", "password": "..."} answers {"token": "..."}; a wrong password
// 401 and too many of them 429, with {"error": text}.
// POST /call with "Authorization: Bearer <token>" and the JSON body
//     {"object": "Pla01300.rdmReceitaPadrao", "method": "GetPrato", "args": <array>, "request": <id>}
// answers {"result": <value>, "args": <array>} in the one JSON encoding of framework/data. Without
// a live token it answers 401; a malformed body 400; a body over the limit 413. The call runs for
// the session's operator, with the supervisor authorisations given during the session. An
// update sent again with the same request id by the same operator answers what the first one
// answered, without applying it twice. Every worker thread has its own database connection,
// opened anew when it is found lost.
class HttpServer {
public:
    explicit HttpServer(const db::Target& database, const ServerOptions& options = {});
    ~HttpServer(); // stops
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    // Why the server cannot start (certificate or key unreadable); empty when it can.
    QString setupError() const;

    // Binds (port 0: any free port) and serves from a background thread. Returns the port, or
    // -1 when the address cannot be bound (taken by another program) or setupError() is set.
    int start(const QString& host, int port);
    void stop();
    int port() const;

    // One line per call: operator, object.method, duration, outcome ("ok", "falha", "recusada":
    // the operator may not, "repetida") and what the call noted about authorisations. Defaults
    // to qInfo.
    void setLogger(std::function<void(const QString&)> logger);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace appserver
