#include "httpserver.h"

#include "dispatcher.h"
#include "framework/abort.h"
#include "framework/data/datapacket.h"
#include "framework/data/wirejson.h"
#include "passwordcheck.h"
#include "requestmemory.h"
#include "sessiontable.h"

#include <QElapsedTimer>
#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlDatabase>
#include <httplib.h>
#include <sys/socket.h>

#include <atomic>
#include <optional>
#include <thread>

namespace appserver {

namespace {

std::atomic<int> nextServerId{1};

// The database connections of one worker thread, one per server; closed when the thread ends.
struct ThreadConnections {
    QHash<int, QString> names;

    void drop(int server)
    {
        const QString name = names.take(server);
        if (name.isEmpty())
            return;
        QSqlDatabase::database(name, false).close();
        QSqlDatabase::removeDatabase(name);
    }
    ~ThreadConnections()
    {
        for (const int server : names.keys())
            drop(server);
    }
};
thread_local ThreadConnections threadConnections;

std::string errorBody(const QString& text)
{
    return QJsonDocument(QJsonObject{{"error", text}}).toJson(QJsonDocument::Compact).toStdString();
}

void refuse(httplib::Response& response, int status, const QString& text)
{
    response.status = status;
    response.set_content(errorBody(text), "application/json");
}

// Only this program may listen on its port: without SO_REUSEPORT a second daemon started on
// the same port fails to bind instead of sharing the connections.
void exclusiveSocket(socket_t sock)
{
    int yes = 1;
    setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
}

QString bearerToken(const httplib::Request& request)
{
    const std::string header = request.get_header_value("Authorization");
    static const std::string prefix = "Bearer ";
    if (header.compare(0, prefix.size(), prefix) != 0)
        return {};
    return QString::fromStdString(header.substr(prefix.size())).trimmed();
}

} // namespace

struct HttpServer::Impl {
    db::Target target;
    ServerOptions options;
    int id = nextServerId++;
    std::unique_ptr<httplib::Server> server;
    QString setupError;
    std::thread thread;
    int port = -1;
    std::function<void(const QString&)> logger = [](const QString& line) { qInfo().noquote() << line; };
    std::unique_ptr<Dispatcher> dispatcher;
    std::unique_ptr<SessionTable> sessions;
    std::unique_ptr<RequestMemory> requests;

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

    PasswordCheck checkLogin(const QString& operatorCode, const QString& password)
    {
        for (int attempt = 0;; ++attempt) {
            try {
                QSqlDatabase db = database();
                return checkPassword(db, operatorCode, password);
            } catch (const framework::Error&) {
                if (attempt > 0)
                    throw;
            }
            threadConnections.drop(id); // perhaps lost: once more on a new connection
        }
    }

    void login(const httplib::Request& request, httplib::Response& response)
    {
        const QJsonObject body = QJsonDocument::fromJson(QByteArray::fromStdString(request.body)).object();
        const QString operatorCode = body.value("operator").toString().trimmed().toUpper();
        const QString password = body.value("password").toString();
        if (operatorCode.isEmpty() || !body.value("password").isString())
            return refuse(response, 400, QStringLiteral("Requisição inválida: esperado {operator, password}."));
        PasswordCheck check;
        try {
            check = checkLogin(operatorCode, password);
        } catch (const framework::Error& e) {
            logger(QStringLiteral("login de %1: %2").arg(operatorCode, e.message()));
            return refuse(response, 503, QStringLiteral("O banco de dados do servidor não está disponível."));
        }
        switch (check) {
        case PasswordCheck::Throttled:
            logger(QStringLiteral("login de %1 adiado (tentativas demais)").arg(operatorCode));
            return refuse(response, 429, throttledText(operatorCode));
        case PasswordCheck::Wrong:
            logger(QStringLiteral("login de %1 recusado").arg(operatorCode));
            return refuse(response, 401, wrongPasswordText());
        case PasswordCheck::Right: break;
        }
        const QString token = sessions->open(operatorCode);
        response.set_content(QJsonDocument(QJsonObject{{"token", token}}).toJson(QJsonDocument::Compact).toStdString(),
                             "application/json");
        logger(QStringLiteral("login de %1").arg(operatorCode));
    }

    void call(const httplib::Request& request, httplib::Response& response)
    {
        QElapsedTimer timer;
        timer.start();
        const QString session = bearerToken(request);
        const std::optional<QString> operatorCode = sessions->check(session);
        if (!operatorCode) {
            logger(QStringLiteral("%1 chamada sem sessão recusada").arg(QString::fromStdString(request.remote_addr)));
            return refuse(response, 401, QStringLiteral("Sessão inválida ou expirada: entre de novo no servidor de aplicação."));
        }
        framework::WireMessage body;
        try {
            body = framework::readWireMessage(request.body);
        } catch (const framework::Error& e) {
            logger(QStringLiteral("%1 requisição inválida recusada").arg(QString::fromStdString(request.remote_addr)));
            return refuse(response, 400, QStringLiteral("Requisição inválida: %1").arg(e.message()));
        }
        const QString object = body.texts.value("object");
        const QString method = body.texts.value("method");
        const QString requestId = body.texts.value("request");
        const QVariant decoded = body.values.value("args");
        if (object.isEmpty() || method.isEmpty() || decoded.typeId() != QMetaType::QVariantList || requestId.size() > 64) {
            logger(QStringLiteral("%1 requisição inválida recusada").arg(QString::fromStdString(request.remote_addr)));
            return refuse(response, 400, QStringLiteral("Requisição inválida: esperado {object, method, args}."));
        }
        QVariantList args = decoded.toList();

        QString outcome = QStringLiteral("repetida");
        const Caller caller{*operatorCode, session};
        const auto run = [&] {
            framework::WireMessage answer;
            Dispatcher::Report report;
            answer.values.insert("result", dispatcher->call(caller, object, method, args, &report));
            answer.values.insert("args", QVariant(args));
            const QVariant& result = answer.values["result"];
            const bool failed = framework::isServerFault(result)
                                || (Dispatcher::isUpdate(object, method) && !result.toString().isEmpty());
            outcome = report.outcome == Dispatcher::Report::Outcome::NotAllowed ? QStringLiteral("recusada")
                      : failed                                                 ? QStringLiteral("falha")
                                                                               : QStringLiteral("ok");
            if (!report.note.isEmpty())
                outcome += QStringLiteral(" (%1)").arg(report.note);
            return framework::writeWireMessage(answer);
        };
        // An update's answer is kept by its request id, for the operator and the method it was for.
        const bool remembered = !requestId.isEmpty() && Dispatcher::isUpdate(object, method);
        const QString memoryKey = QStringList{*operatorCode, requestId, object, method.toLower()}.join('\n');
        // Moved in, not copied: a large packet's text is tens of megabytes.
        response.body = remembered ? requests->answer(memoryKey, run) : run();
        response.set_header("Content-Type", "application/json");
        logger(QStringLiteral("%1 %2.%3 %4 ms %5")
                   .arg(*operatorCode, object, method)
                   .arg(timer.nsecsElapsed() / 1e6, 0, 'f', 2)
                   .arg(outcome));
    }
};

HttpServer::HttpServer(const db::Target& database, const ServerOptions& options) : d(std::make_unique<Impl>())
{
    d->target = database;
    d->options = options;
    d->sessions = std::make_unique<SessionTable>(options.sessionIdleLifetime);
    d->requests = std::make_unique<RequestMemory>(options.rememberRequests, options.rememberedRequestLimit);
    d->dispatcher = std::make_unique<Dispatcher>([impl = d.get()] { return impl->database(); },
                                                 [id = d->id] { threadConnections.drop(id); },
                                                 std::make_shared<MemoryGrantStore>(options.grantLifetime));
    if (options.certificateFile.isEmpty() != options.keyFile.isEmpty())
        d->setupError = QStringLiteral("Para HTTPS informe o certificado e a chave.");
    if (!options.certificateFile.isEmpty() && !options.keyFile.isEmpty()) {
        auto tls = std::make_unique<httplib::SSLServer>(options.certificateFile.toLocal8Bit().constData(),
                                                        options.keyFile.toLocal8Bit().constData());
        if (!tls->is_valid())
            d->setupError = QStringLiteral("Não foi possível carregar o certificado %1 e a chave %2.")
                                .arg(options.certificateFile, options.keyFile);
        d->server = std::move(tls);
    } else {
        d->server = std::make_unique<httplib::Server>();
    }
    httplib::Server& server = *d->server;
    server.new_task_queue = [] { return new httplib::ThreadPool(16); };
    server.set_socket_options(exclusiveSocket);
    server.set_payload_max_length(size_t(options.maxBodyBytes));
    server.set_keep_alive_max_count(100000);
    server.set_tcp_nodelay(true); // small answers go out at once, not after the peer's delayed ACK
    // An idle kept-alive client holds a worker until this runs out, and stop() waits for it.
    server.set_keep_alive_timeout(1);
    server.Post("/login", [this](const httplib::Request& req, httplib::Response& res) { d->login(req, res); });
    server.Post("/call", [this](const httplib::Request& req, httplib::Response& res) { d->call(req, res); });
    server.set_exception_handler([](const httplib::Request&, httplib::Response& res, std::exception_ptr) {
        refuse(res, 500, QStringLiteral("Erro interno do servidor."));
    });
}

HttpServer::~HttpServer()
{
    stop();
}

QString HttpServer::setupError() const
{
    return d->setupError;
}

int HttpServer::start(const QString& host, int port)
{
    if (!d->setupError.isEmpty())
        return -1;
    const std::string address = host.toStdString();
    if (port == 0)
        d->port = d->server->bind_to_any_port(address);
    else
        d->port = d->server->bind_to_port(address, port) ? port : -1;
    if (d->port < 0)
        return -1;
    d->thread = std::thread([this] { d->server->listen_after_bind(); });
    while (!d->server->is_running())
        std::this_thread::yield();
    return d->port;
}

void HttpServer::stop()
{
    if (d->thread.joinable()) {
        d->server->stop();
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
