#pragma once

#include "boundedserver.h"
#include "db/database.h"
#include "grantstore.h"
#include "sessionstore.h"

#include <QString>
#include <QStringList>
#include <chrono>
#include <functional>
#include <memory>

namespace appserver {

struct ServerOptions {
    qint64 maxBodyBytes = qint64(64) << 20;    // larger request bodies answer 413
    QString certificateFile, keyFile;          // both given: HTTPS only
    SessionLifetimes sessions;
    std::chrono::milliseconds rememberRequests = std::chrono::minutes(15);
    std::chrono::milliseconds grantLifetime = defaultGrantLifetime; // a supervisor's authorisation
    RequestLimits requestLimits;
    std::chrono::milliseconds sweepInterval = std::chrono::minutes(1); // expired rows deleted
    // The balancers in front: a request from one of these addresses comes from the client its
    // X-Forwarded-For names last. Anyone else's header is ignored.
    QStringList trustedProxies;
};

// The application server over HTTP (or HTTPS with a certificate and key). It keeps nothing of its
// own between calls: sessions, the request-id memory, the password throttle and the supervisor
// authorisations are in the database, so that several daemons on one database behind a balancer
// act as one server.
//
// POST /login {"operator": "...", "password": "..."} answers {"token": "..."}; a wrong password
// 401 and too many of them 429, with {"error": text}. POST /logout with "Authorization: Bearer
// <token>" ends that session.
// POST /call with the token and the JSON body
//     {"object": "Pla01300.rdmReceitaPadrao", "method": "GetPrato", "args": <array>, "request": <id>}
// answers {"result": <value>, "written": [[index, value], ...]} in the one JSON encoding of
// framework/data: the result and the arguments the method wrote (passed by reference), nothing
// else of what was sent. Without a live token it answers 401 without reading the body; a
// malformed body 400; a body over the limit 413. The call runs for the session's operator, with
// the supervisor authorisations given to the session. An update sent again with the same request
// id by the same operator answers what the first one answered, without applying it twice,
// whichever daemon it reaches. GET /health answers 200 while the database answers and the server
// is not stopping, 503 otherwise: what a balancer polls. Every worker thread has its own
// database connection, opened anew when it is found lost.
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
    // Stops taking connections, answers the requests already sent, and returns.
    void stop();
    int port() const;

    // One line per call: operator, object.method, duration, outcome ("ok", "falha", "recusada":
    // the operator may not, "repetida") and what the call noted about authorisations or what the
    // database said of a failure; one per login, logout and refused request. Control characters
    // are shown escaped and lines are cut short, whatever the client sent. Defaults to qInfo.
    void setLogger(std::function<void(const QString&)> logger);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace appserver
