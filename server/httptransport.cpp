#include "httptransport.h"

#include "framework/abort.h"
#include "framework/data/wirejson.h"
#include "httpclient.h"
#include "session.h"

#include <QUuid>
#include <thread>

namespace server {

namespace {

QVariant fault(const QString& text)
{
    return QVariant::fromValue(framework::ServerFault{text});
}

} // namespace

struct HttpTransport::Impl {
    std::unique_ptr<httplib::Client> client;
    QString host;
    int port = 0;

    QString address() const { return daemonAddress(host, port); }

    // Posts once more, with the same request id, when the connection failed before an answer
    // came: the daemon died, or the balancer found none to pass it to. Whichever daemon gets the
    // repeat answers an update that was applied with its first answer instead of applying it again.
    httplib::Result post(const std::string& body, const QString& token)
    {
        const httplib::Headers headers{{"Authorization", "Bearer " + token.toStdString()}};
        httplib::Result response = client->Post("/call", headers, body, "application/json");
        if (!answered(response)) {
            std::this_thread::sleep_for(retryPause);
            response = client->Post("/call", headers, body, "application/json");
        }
        return response;
    }

    // A balancer's own answer (bad gateway, unavailable, timeout) carries no result: no daemon
    // answered.
    static bool answered(const httplib::Result& response)
    {
        return response && response->status != 502 && response->status != 503 && response->status != 504;
    }

    // Time for a balancer to see that a daemon is gone.
    static constexpr std::chrono::milliseconds retryPause{250};
};

HttpTransport::HttpTransport() : d(std::make_unique<Impl>()) {}

HttpTransport::~HttpTransport() = default;

bool HttpTransport::open(const QString& host, int port)
{
    d->host = host;
    d->port = port;
    d->client = makeHttpClient(host, port);
    return true;
}

void HttpTransport::close()
{
    d->client.reset();
}

bool HttpTransport::isOpen() const
{
    return d->client != nullptr;
}

QVariant HttpTransport::call(const QString& object, const QString& method, QVariantList& args)
{
    if (!d->client)
        return fault(QStringLiteral("A conexão com o servidor de aplicação não está aberta."));
    std::string body;
    try {
        framework::WireMessage request;
        request.texts = {{"object", object},
                         {"method", method},
                         {"request", QUuid::createUuid().toString(QUuid::WithoutBraces)}};
        request.values.insert("args", QVariant(args));
        body = framework::writeWireMessage(request);
    } catch (const framework::Error& e) {
        return fault(QStringLiteral("Não foi possível enviar a chamada de %1: %2").arg(method, e.message()));
    }

    Session& session = Session::instance();
    QString token = session.token(d->host, d->port);
    if (token.isEmpty()) {
        const QString failure = session.renew(d->host, d->port);
        if (!failure.isEmpty())
            return fault(failure);
        token = session.token(d->host, d->port);
    }
    httplib::Result response = d->post(body, token);
    if (response && response->status == 401) {
        // The daemon forgot the session (expired, restarted): once more after a new login.
        const QString failure = session.renew(d->host, d->port);
        if (!failure.isEmpty())
            return fault(failure);
        response = d->post(body, session.token(d->host, d->port));
    }
    if (!response)
        return fault(QStringLiteral("Não foi possível comunicar com o servidor de aplicação em %1 (%2).")
                         .arg(d->address(), QString::fromStdString(httplib::to_string(response.error()))));
    if (response->status == 413)
        return fault(QStringLiteral("A chamada de %1 excede o tamanho que o servidor de aplicação aceita.").arg(method));
    framework::WireMessage answer;
    try {
        answer = framework::readWireMessage(response->body);
    } catch (const framework::Error& e) {
        if (!Impl::answered(response))
            return fault(QStringLiteral("Não foi possível comunicar com o servidor de aplicação em %1: o balanceador "
                                        "não obteve resposta (%2).")
                             .arg(d->address())
                             .arg(response->status));
        return fault(QStringLiteral("Resposta inválida do servidor de aplicação em %1 para %2: %3")
                         .arg(d->address(), method, e.message()));
    }
    if (response->status != 200)
        return fault(QStringLiteral("O servidor de aplicação recusou a chamada de %1: %2")
                         .arg(method, answer.texts.value("error", QString::number(response->status))));
    // Whatever answers 200 without a result (another program on the port, a proxy's page) has
    // not run the call.
    if (!answer.values.contains("result"))
        return fault(QStringLiteral("Resposta inválida do servidor de aplicação em %1 para %2: sem resultado.")
                         .arg(d->address(), method));
    // The arguments the method wrote come back (by reference); the rest stay as they are here.
    for (const QVariant& pair : answer.values.value("written").toList()) {
        const QVariantList written = pair.toList();
        const int index = written.value(0, -1).toInt();
        if (written.size() == 2 && index >= 0 && index < args.size())
            args[index] = written[1];
    }
    return answer.values.value("result");
}

} // namespace server
