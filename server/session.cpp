#include "session.h"

#include "httpclient.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace server {

std::unique_ptr<httplib::Client> makeHttpClient(const QString& host, int port)
{
    const bool tls = host.startsWith(QLatin1String("https://"), Qt::CaseInsensitive);
    QString name = host;
    if (!tls && !name.contains(QLatin1String("://")))
        name.prepend(QLatin1String("http://"));
    auto client = std::make_unique<httplib::Client>(QStringLiteral("%1:%2").arg(name).arg(port).toStdString());
    if (tls) {
        const QString trusted = Session::instance().trustedCertificates();
        if (!trusted.isEmpty())
            client->set_ca_cert_path(trusted.toLocal8Bit().toStdString());
        client->enable_server_certificate_verification(true);
    }
    client->set_keep_alive(true);
    client->set_tcp_nodelay(true);
    client->set_connection_timeout(5);
    // Large packets (tens of thousands of dishes) take a while on slow machines.
    client->set_read_timeout(300);
    client->set_write_timeout(300);
    return client;
}

QString daemonAddress(const QString& host, int port)
{
    return QStringLiteral("%1:%2").arg(host.toLower()).arg(port);
}

Session& Session::instance()
{
    static Session session;
    return session;
}

QString Session::loginAt(const QString& host, int port, const QString& operatorCode, const QString& password)
{
    auto client = makeHttpClient(host, port);
    const QJsonObject request{{"operator", operatorCode}, {"password", password}};
    const std::string body = QJsonDocument(request).toJson(QJsonDocument::Compact).toStdString();
    auto response = client->Post("/login", body, "application/json");
    if (!response || response->status == 502 || response->status == 504)
        response = client->Post("/login", body, "application/json"); // the daemon went away before answering
    if (!response)
        return QStringLiteral("Não foi possível comunicar com o servidor de aplicação em %1 (%2).")
            .arg(daemonAddress(host, port), QString::fromStdString(httplib::to_string(response.error())));
    const QJsonObject answer = QJsonDocument::fromJson(QByteArray::fromStdString(response->body)).object();
    const QString token = answer.value("token").toString();
    if (response->status != 200 || token.isEmpty())
        return answer.value("error").toString(
            QStringLiteral("O servidor de aplicação recusou a entrada (%1).").arg(response->status));
    std::lock_guard lock(m_mutex);
    m_tokens.insert(daemonAddress(host, port), token);
    return {};
}

QString Session::login(const QString& host, int port, const QString& operatorCode, const QString& password)
{
    const QString failure = loginAt(host, port, operatorCode, password);
    if (failure.isEmpty()) {
        std::lock_guard lock(m_mutex);
        m_operator = operatorCode;
        m_password = password;
    }
    return failure;
}

QString Session::renew(const QString& host, int port)
{
    QString operatorCode, password;
    {
        std::lock_guard lock(m_mutex);
        m_tokens.remove(daemonAddress(host, port));
        operatorCode = m_operator;
        password = m_password;
    }
    if (operatorCode.isEmpty())
        return QStringLiteral("Entre no servidor de aplicação com operador e senha antes de usá-lo.");
    return loginAt(host, port, operatorCode, password);
}

QString Session::token(const QString& host, int port) const
{
    std::lock_guard lock(m_mutex);
    return m_tokens.value(daemonAddress(host, port));
}

bool Session::hasCredentials() const
{
    std::lock_guard lock(m_mutex);
    return !m_operator.isEmpty();
}

QString Session::operatorCode() const
{
    std::lock_guard lock(m_mutex);
    return m_operator;
}

void Session::setTrustedCertificates(const QString& pemFile)
{
    std::lock_guard lock(m_mutex);
    m_trusted = pemFile;
}

QString Session::trustedCertificates() const
{
    std::lock_guard lock(m_mutex);
    return m_trusted;
}

void Session::logout()
{
    QHash<QString, QString> tokens;
    {
        std::lock_guard lock(m_mutex);
        tokens.swap(m_tokens);
        m_operator.clear();
        m_password.clear();
    }
    for (auto it = tokens.cbegin(); it != tokens.cend(); ++it) {
        const int colon = int(it.key().lastIndexOf(u':'));
        auto client = makeHttpClient(it.key().left(colon), it.key().mid(colon + 1).toInt());
        client->set_connection_timeout(2);
        client->set_read_timeout(5);
        client->Post("/logout", {{"Authorization", "Bearer " + it.value().toStdString()}}, std::string(), "application/json");
    }
}

void Session::clear()
{
    std::lock_guard lock(m_mutex);
    m_operator.clear();
    m_password.clear();
    m_trusted.clear();
    m_tokens.clear();
}

} // namespace server
