#include "httptransport.h"

#include "framework/abort.h"
#include "framework/data/datapacket.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <httplib.h>

namespace server {

namespace {

QVariant fault(const QString& text)
{
    return QVariant::fromValue(framework::ServerFault{text});
}

} // namespace

struct HttpTransport::Impl {
    std::unique_ptr<httplib::Client> client;
    QString address;
};

HttpTransport::HttpTransport() : d(std::make_unique<Impl>()) {}

HttpTransport::~HttpTransport() = default;

bool HttpTransport::open(const QString& host, int port)
{
    d->address = QStringLiteral("%1:%2").arg(host).arg(port);
    d->client = std::make_unique<httplib::Client>(host.toStdString(), port);
    d->client->set_keep_alive(true);
    d->client->set_tcp_nodelay(true);
    d->client->set_connection_timeout(5);
    // Large packets (tens of thousands of dishes) take a while on slow machines.
    d->client->set_read_timeout(300);
    d->client->set_write_timeout(300);
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
    const QJsonObject request{{"object", object}, {"method", method}, {"args", framework::variantToJson(QVariant(args))}};
    const auto response = d->client->Post("/call", QJsonDocument(request).toJson(QJsonDocument::Compact).toStdString(),
                                          "application/json");
    if (!response)
        return fault(QStringLiteral("Não foi possível comunicar com o servidor de aplicação em %1 (%2).")
                         .arg(d->address, QString::fromStdString(httplib::to_string(response.error()))));
    const QJsonObject answer = QJsonDocument::fromJson(QByteArray::fromStdString(response->body)).object();
    if (response->status != 200)
        return fault(QStringLiteral("O servidor de aplicação recusou a chamada de %1: %2")
                         .arg(method, answer.value("error").toString(QString::number(response->status))));
    try {
        const QVariant result = framework::variantFromJson(answer.value("result"));
        const QVariant returned = framework::variantFromJson(answer.value("args"));
        if (returned.typeId() == QMetaType::QVariantList && returned.toList().size() == args.size())
            args = returned.toList();
        return result;
    } catch (const framework::Error& e) {
        return fault(QStringLiteral("Resposta inválida do servidor de aplicação: %1").arg(e.message()));
    }
}

} // namespace server
