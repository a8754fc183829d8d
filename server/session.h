#pragma once

#include <QHash>
#include <QString>
#include <mutex>

namespace server {

// The operator's session with the application-server daemons of this program: the operator and
// password it logged in with, the token each daemon gave, and the certificates trusted for
// HTTPS. Every connection to a daemon uses it, so one login serves every form; when a daemon
// forgets a token (it expired, the daemon restarted) the transport logs in again with the kept
// credentials. The in-process transport needs none of this.
class Session {
public:
    static Session& instance();

    // Logs in at a daemon (host may be "https://name" for HTTPS); empty on success, otherwise
    // the reason in Portuguese. On success the credentials are kept for later logins.
    QString login(const QString& host, int port, const QString& operatorCode, const QString& password);
    // Logs in again with the kept credentials; empty on success.
    QString renew(const QString& host, int port);

    QString token(const QString& host, int port) const;
    bool hasCredentials() const;
    // The operator of the last successful login: the one every call runs for.
    QString operatorCode() const;

    // A PEM file of certificates to trust for HTTPS besides the system's (a daemon's own
    // self-signed certificate, for example).
    void setTrustedCertificates(const QString& pemFile);
    QString trustedCertificates() const;

    // Ends the sessions at every daemon logged into and forgets the credentials and tokens: what
    // the host does when it closes.
    void logout();
    void clear(); // forgets credentials, tokens and trusted certificates

private:
    QString loginAt(const QString& host, int port, const QString& operatorCode, const QString& password);

    mutable std::mutex m_mutex;
    QString m_operator;
    QString m_password;
    QString m_trusted;
    QHash<QString, QString> m_tokens; // by "host:port"
};

} // namespace server
