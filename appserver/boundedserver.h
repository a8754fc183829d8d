#pragma once

#include <QString>
#include <chrono>
#include <memory>

namespace httplib {
class Server;
}

namespace appserver {

// How long a client may take to send a request. A worker thread serves one connection at a time,
// so a client that trickles its bytes must not keep one for ever: the request line and headers
// (and a TLS handshake) must arrive within `headers`, and a body within `headers` plus the time
// its length takes at `slowestBodyRate`, counted from the start of the request, whatever the
// pace of single bytes. A body is only waited for when the handler allows it.
struct RequestLimits {
    std::chrono::milliseconds headers = std::chrono::seconds(5);
    qint64 slowestBodyRate = qint64(64) << 10; // bytes per second
};

// cpp-httplib's server (HTTPS when a certificate and key are given) with its connections read
// under RequestLimits and TLS restricted to versions 1.2 and later with forward-secret ciphers
// only. Once stop() is called, a connection answers the request it has already sent and closes.
std::unique_ptr<httplib::Server> makeBoundedServer(const RequestLimits& limits, const QString& certificateFile = {},
                                                   const QString& keyFile = {});

// cpp-httplib listens with room for only 5 connections not yet accepted, too few for a burst of
// logins on a busy machine: once bound, the queue is made as long as the system allows.
void widenListenQueue(httplib::Server& server);

// The connection the calling worker thread is serving, for its request handler.
namespace currentConnection {
// Lets the request's body take as long as `bytes` take at the slowest rate (once authorised).
void allowBody(qint64 bytes);
// Closes the connection after this answer (its body was not read, or should not be).
void closeAfterAnswer();
} // namespace currentConnection

} // namespace appserver
