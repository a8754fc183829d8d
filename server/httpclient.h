#pragma once

#include <QString>
#include <httplib.h>
#include <memory>

namespace server {

// A client for a daemon address; host may start with "https://". HTTPS checks the daemon's
// certificate against the system's and the session's trusted certificates.
std::unique_ptr<httplib::Client> makeHttpClient(const QString& host, int port);

// "host:port" as the session keys it.
QString daemonAddress(const QString& host, int port);

} // namespace server
