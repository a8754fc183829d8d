#include "httpserver.h"

#include "dispatcher.h"
#include "framework/abort.h"
#include "framework/data/datapacket.h"
#include "framework/data/jsontext.h"

#include <QElapsedTimer>
#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlDatabase>
#include <httplib.h>

#include <atomic>
#include <thread>

namespace appserver {

namespace {

std::atomic<int> nextServerId{1};

// The database connections of one worker thread, one per server; closed when the thread ends.
struct ThreadConnections {
    QHash<int, QString> names;
    ~ThreadConnections()
    {
        for (const QString& name : std::as_const(names)) {
            QSqlDatabase::database(name, false).close();
            QSqlDatabase::removeDatabase(name);
        }
    }
};
thread_local ThreadConnections threadConnections;

QByteArray errorBody(const QString& text)
{
    return QJsonDocument(QJsonObject{{"error", text}}).toJson(QJsonDocument::Compact);
}

} // namespace

struct HttpServer::Impl {
    db::Target target;
    int id = nextServerId++;
    httplib::Server server;
    std::thread thread;
    int port = -1;
    std::function<void(const QString&)> logger = [](const QString& line) { qInfo().noquote() << line; };
    Dispatcher dispatcher{[this] { return database(); }};

    QSqlDatabase database()
    {
        auto it = threadConnections.names.find(id);
        if (it != threadConnections.names.end()) {
            QSqlDatabase db = QSqlDatabase::database(*it, false);
            if (db.isOpen())
                return db;
        }
        static std::atomic<int> counter{0};
        const QString name = QStringLiteral("appserver-%1-%2").arg(id).arg(counter++);
        threadConnections.names.insert(id, name);
        return db::open(target, name);
    }

    void handle(const httplib::Request& request, httplib::Response& response)
    {
        QElapsedTimer timer;
        timer.start();
        QJsonParseError parseError;
        const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(request.body), &parseError);
        const QJsonObject body = doc.object();
        const QString object = body.value("object").toString();
        const QString method = body.value("method").toString();
        if (!doc.isObject() || object.isEmpty() || method.isEmpty() || !body.value("args").isObject()) {
            response.status = 400;
            response.set_content(errorBody("Requisição inválida: esperado {object, method, args}.").toStdString(),
                                 "application/json");
            logger(QStringLiteral("%1 requisição inválida recusada").arg(QString::fromStdString(request.remote_addr)));
            return;
        }
        QVariantList args;
        try {
            const QVariant decoded = framework::variantFromJson(body.value("args"));
            if (decoded.typeId() != QMetaType::QVariantList)
                throw framework::Error("os argumentos devem ser uma lista");
            args = decoded.toList();
        } catch (const framework::Error& e) {
            response.status = 400;
            response.set_content(errorBody("Argumentos inválidos: " + e.message()).toStdString(), "application/json");
            logger(QStringLiteral("%1.%2 argumentos inválidos recusados").arg(object, method));
            return;
        }
        const QVariant result = dispatcher.call(object, method, args);
        // Written straight to text: a packet of many rows never becomes a JSON tree here.
        const QByteArray answer = "{\"result\":" + framework::variantToJsonText(result)
                                  + ",\"args\":" + framework::variantToJsonText(QVariant(args)) + '}';
        response.set_content(answer.constData(), size_t(answer.size()), "application/json");
        const bool failed = framework::isServerFault(result)
                            || (result.typeId() == QMetaType::QString && !result.toString().isEmpty()
                                && method.startsWith("Upd", Qt::CaseInsensitive));
        logger(QStringLiteral("%1.%2 %3 ms %4")
                   .arg(object, method)
                   .arg(timer.nsecsElapsed() / 1e6, 0, 'f', 2)
                   .arg(failed ? QStringLiteral("falha") : QStringLiteral("ok")));
    }
};

HttpServer::HttpServer(const db::Target& database) : d(std::make_unique<Impl>())
{
    d->target = database;
    d->server.new_task_queue = [] { return new httplib::ThreadPool(16); };
    d->server.set_keep_alive_max_count(100000);
    d->server.set_tcp_nodelay(true); // small answers go out at once, not after the peer's delayed ACK
    // An idle kept-alive client holds a worker until this runs out, and stop() waits for it.
    d->server.set_keep_alive_timeout(1);
    d->server.Post("/call", [this](const httplib::Request& req, httplib::Response& res) { d->handle(req, res); });
    d->server.set_exception_handler([](const httplib::Request&, httplib::Response& res, std::exception_ptr) {
        res.status = 500;
        res.set_content(errorBody("Erro interno do servidor.").toStdString(), "application/json");
    });
}

HttpServer::~HttpServer()
{
    stop();
}

int HttpServer::start(const QString& host, int port)
{
    const std::string address = host.toStdString();
    if (port == 0)
        d->port = d->server.bind_to_any_port(address);
    else
        d->port = d->server.bind_to_port(address, port) ? port : -1;
    if (d->port < 0)
        return -1;
    d->thread = std::thread([this] { d->server.listen_after_bind(); });
    while (!d->server.is_running())
        std::this_thread::yield();
    return d->port;
}

void HttpServer::stop()
{
    if (d->thread.joinable()) {
        d->server.stop();
        d->thread.join();
    }
}

int HttpServer::port() const
{
    return d->port;
}

void HttpServer::setLogger(std::function<void(const QString&)> logger)
{
    d->logger = std::move(logger);
}

} // namespace appserver
