#include "httpserver.h"

#include "dispatcher.h"
#include "errors.h"
#include "framework/data/datapacket.h"
#include "framework/data/wirejson.h"
#include "passwordcheck.h"
#include "requestmemory.h"
#include "sqlpacket.h"

#include <QElapsedTimer>
#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <httplib.h>
#include <sys/socket.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

namespace appserver {

namespace {

std::atomic<int> nextServerId{1};

constexpr qint64 maxLoginBody = 4096;
constexpr int maxLogLine = 2000;

// The database connections of one thread, one per server; closed when the thread ends.
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

// A log line as the log may hold it: whatever a client sent, one line (control characters shown
// escaped) of bounded length.
QString loggable(const QString& line)
{
    QString safe;
    safe.reserve(std::min<qsizetype>(line.size(), maxLogLine) + 16);
    for (const QChar c : line) {
        if (safe.size() >= maxLogLine) {
            safe += QStringLiteral("… (cortada)");
            break;
        }
        if (c == u'\n')
            safe += QStringLiteral("\\n");
        else if (c == u'\r')
            safe += QStringLiteral("\\r");
        else if (c.category() == QChar::Other_Control || c.category() == QChar::Separator_Line
                 || c.category() == QChar::Separator_Paragraph)
            safe += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
        else
            safe += c;
    }
    return safe;
}

std::string json(const QJsonObject& object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact).toStdString();
}

void refuse(httplib::Response& response, int status, const QString& text)
{
    response.status = status;
    response.set_content(json({{"error", text}}), "application/json");
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

qint64 contentLength(const httplib::Request& request)
{
    return QByteArray::fromStdString(request.get_header_value("Content-Length")).toLongLong();
}

bool readBody(const httplib::ContentReader& reader, std::string& body)
{
    return reader([&body](const char* data, size_t length) {
        body.append(data, length);
        return true;
    });
}

// Reads a body that will not be used, so that the client, still sending it, reads the answer
// instead of finding the connection reset; only as long as the request's deadline allows.
void discardBody(const httplib::ContentReader& reader)
{
    reader([](const char*, size_t) { return true; });
}

bool connectionWorks(QSqlDatabase& db)
{
    QSqlQuery probe(db);
    return db.isOpen() && probe.exec("SELECT 1");
}

const QString unavailableText = QStringLiteral("O banco de dados do servidor não está disponível.");
const QString noSessionText = QStringLiteral("Sessão inválida ou expirada: entre de novo no servidor de aplicação.");

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
    std::unique_ptr<SessionStore> sessions;
    std::shared_ptr<const RequestMemory> requests;
    std::unique_ptr<Dispatcher> dispatcher;
    std::atomic<bool> stopping{false};

    std::thread sweeper;
    std::mutex sweepMutex;
    std::condition_variable sweepWake;
    bool sweepStop = false;

    void log(const QString& line) { logger(loggable(line)); }

    // This thread's connection; a database that cannot be opened is a DatabaseFault, whose
    // detail (file, host) stays in the log.
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
        try {
            return db::open(target, name);
        } catch (const DatabaseFault&) {
            throw;
        } catch (const framework::Error& e) {
            throw DatabaseFault(e.message());
        }
    }

    // Runs work on this thread's connection, once more on a new one when the first was lost.
    template <class Work>
    auto withDatabase(Work work)
    {
        {
            QSqlDatabase db = database();
            try {
                return work(db);
            } catch (const DatabaseFault&) {
                if (connectionWorks(db))
                    throw;
            }
        }
        threadConnections.drop(id);
        QSqlDatabase db = database();
        return work(db);
    }

    QString clientAddress(const httplib::Request& request) const
    {
        const QString peer = QString::fromStdString(request.remote_addr);
        const size_t headers = request.get_header_value_count("X-Forwarded-For");
        if (headers > 0 && options.trustedProxies.contains(peer)) {
            const QString forwarded = QString::fromStdString(request.get_header_value("X-Forwarded-For", headers - 1))
                                          .section(u',', -1)
                                          .trimmed();
            if (!forwarded.isEmpty())
                return forwarded.left(64);
        }
        return peer;
    }

    void login(const httplib::Request& request, httplib::Response& response, const httplib::ContentReader& reader)
    {
        const QString from = clientAddress(request);
        const qint64 length = contentLength(request);
        if (length > maxLoginBody) {
            currentConnection::closeAfterAnswer();
            log(QStringLiteral("%1 login recusado: %2 bytes").arg(from).arg(length));
            return refuse(response, 413, QStringLiteral("Requisição de entrada grande demais."));
        }
        currentConnection::allowBody(length);
        std::string text;
        if (!readBody(reader, text) || qint64(text.size()) > maxLoginBody) {
            currentConnection::closeAfterAnswer();
            return refuse(response, 408, QStringLiteral("Requisição incompleta."));
        }
        const QJsonObject body = QJsonDocument::fromJson(QByteArray::fromStdString(text)).object();
        const QString operatorCode = body.value("operator").toString().trimmed().toUpper();
        const QString password = body.value("password").toString();
        if (operatorCode.isEmpty() || operatorCode.size() > passwords::operatorCodeWidth
            || !body.value("password").isString()) {
            log(QStringLiteral("%1 login inválido recusado").arg(from));
            return refuse(response, 400, QStringLiteral("Requisição inválida: esperado {operator, password}, com um "
                                                        "operador de até %1 caracteres.")
                                             .arg(passwords::operatorCodeWidth));
        }
        passwords::Check check;
        QString token;
        try {
            check = withDatabase([&](QSqlDatabase& db) { return passwords::check(db, operatorCode, password, from); });
            if (check.outcome == passwords::Outcome::Right)
                token = withDatabase([&](QSqlDatabase& db) { return sessions->open(db, operatorCode); });
        } catch (const DatabaseFault& e) {
            log(QStringLiteral("%1 login de %2: %3").arg(from, operatorCode, e.detail()));
            return refuse(response, 503, unavailableText);
        }
        switch (check.outcome) {
        case passwords::Outcome::Throttled:
            log(QStringLiteral("%1 login de %2 adiado (tentativas demais)").arg(from, operatorCode));
            return refuse(response, 429, passwords::throttledText(operatorCode, check.waitSeconds));
        case passwords::Outcome::Wrong:
            log(QStringLiteral("%1 login de %2 recusado").arg(from, operatorCode));
            return refuse(response, 401, passwords::wrongText());
        case passwords::Outcome::Right: break;
        }
        response.set_content(json({{"token", token}}), "application/json");
        log(QStringLiteral("%1 login de %2").arg(from, operatorCode));
    }

    void logout(const httplib::Request& request, httplib::Response& response)
    {
        const QString token = bearerToken(request);
        try {
            const auto session = withDatabase([&](QSqlDatabase& db) { return sessions->check(db, token); });
            if (session) {
                withDatabase([&](QSqlDatabase& db) { sessions->close(db, token); });
                log(QStringLiteral("%1 logout de %2").arg(clientAddress(request), session->operatorCode));
            }
        } catch (const DatabaseFault& e) {
            log(QStringLiteral("%1 logout: %2").arg(clientAddress(request), e.detail()));
            return refuse(response, 503, unavailableText);
        }
        response.set_content("{}", "application/json");
    }

    void health(httplib::Response& response)
    {
        if (stopping)
            return refuse(response, 503, QStringLiteral("O servidor de aplicação está encerrando."));
        try {
            withDatabase([](QSqlDatabase& db) { execute(db, "SELECT 1"); });
        } catch (const DatabaseFault& e) {
            log(QStringLiteral("saúde: %1").arg(e.detail()));
            return refuse(response, 503, unavailableText);
        }
        response.set_content(R"({"estado":"ok"})", "application/json");
    }

    void call(const httplib::Request& request, httplib::Response& response, const httplib::ContentReader& reader)
    {
        QElapsedTimer timer;
        timer.start();
        const QString from = clientAddress(request);
        // The session first: without one, a body is only waited for as long as the headers were.
        std::optional<SessionStore::Session> session;
        try {
            session = withDatabase([&](QSqlDatabase& db) { return sessions->check(db, bearerToken(request)); });
        } catch (const DatabaseFault& e) {
            currentConnection::closeAfterAnswer();
            log(QStringLiteral("%1 chamada: %2").arg(from, e.detail()));
            return refuse(response, 503, unavailableText);
        }
        if (!session) {
            discardBody(reader);
            currentConnection::closeAfterAnswer();
            log(QStringLiteral("%1 chamada sem sessão recusada").arg(from));
            return refuse(response, 401, noSessionText);
        }
        const qint64 length = contentLength(request);
        const QString tooLarge = QStringLiteral("A requisição excede o tamanho que o servidor aceita (%1 MiB).")
                                     .arg(options.maxBodyBytes >> 20);
        if (length > options.maxBodyBytes) {
            currentConnection::allowBody(options.maxBodyBytes);
            discardBody(reader);
            currentConnection::closeAfterAnswer();
            log(QStringLiteral("%1 %2 requisição de %3 bytes recusada").arg(from, session->operatorCode).arg(length));
            return refuse(response, 413, tooLarge);
        }
        currentConnection::allowBody(length);
        std::string text;
        if (!readBody(reader, text)) {
            currentConnection::closeAfterAnswer();
            log(QStringLiteral("%1 %2 requisição incompleta").arg(from, session->operatorCode));
            return response.status == 413 ? refuse(response, 413, tooLarge)
                                          : refuse(response, 408, QStringLiteral("Requisição incompleta."));
        }

        framework::WireMessage body;
        try {
            body = framework::readWireMessage(text);
        } catch (const framework::Error& e) {
            log(QStringLiteral("%1 %2 requisição inválida recusada").arg(from, session->operatorCode));
            return refuse(response, 400, QStringLiteral("Requisição inválida: %1").arg(e.message()));
        }
        text = std::string();
        const QString object = body.texts.value("object");
        const QString method = body.texts.value("method");
        const QString requestId = body.texts.value("request");
        const QVariant decoded = body.values.value("args");
        if (object.isEmpty() || method.isEmpty() || decoded.typeId() != QMetaType::QVariantList || requestId.size() > 64) {
            log(QStringLiteral("%1 %2 requisição inválida recusada").arg(from, session->operatorCode));
            return refuse(response, 400, QStringLiteral("Requisição inválida: esperado {object, method, args}."));
        }
        QVariantList args = decoded.toList();
        body = {};

        const Caller caller{session->operatorCode, session->id, from};
        Dispatcher::Report report;
        framework::WireMessage answer;
        answer.values.insert("result", dispatcher->call(caller, object, method, args, &report, requestId));
        // Only what the method wrote goes back: never the rest of what was sent (passwords).
        QVariantList written;
        for (const int index : std::as_const(report.written))
            written << QVariant(QVariantList{index, args[index]});
        answer.values.insert("written", written);
        // Moved in, not copied: a large packet's text is tens of megabytes.
        response.body = framework::writeWireMessage(answer);
        response.set_header("Content-Type", "application/json");

        const QVariant& result = answer.values["result"];
        const bool failed = framework::isServerFault(result)
                            || (Dispatcher::isUpdate(object, method) && !result.toString().isEmpty());
        QString outcome = report.outcome == Dispatcher::Report::Outcome::Repeated     ? QStringLiteral("repetida")
                          : report.outcome == Dispatcher::Report::Outcome::NotAllowed ? QStringLiteral("recusada")
                          : failed                                                    ? QStringLiteral("falha")
                                                                                      : QStringLiteral("ok");
        for (const QString& more : {report.note, report.detail})
            if (!more.isEmpty())
                outcome += QStringLiteral(" (%1)").arg(more);
        log(QStringLiteral("%1 %2.%3 %4 ms %5")
                .arg(session->operatorCode, object, method)
                .arg(timer.nsecsElapsed() / 1e6, 0, 'f', 2)
                .arg(outcome));
    }

    // Expired sessions, remembered answers, password counts and grants go, now and then.
    void sweepLoop()
    {
        std::unique_lock lock(sweepMutex);
        while (!sweepWake.wait_for(lock, options.sweepInterval, [this] { return sweepStop; })) {
            lock.unlock();
            try {
                withDatabase([this](QSqlDatabase& db) {
                    sessions->sweep(db);
                    requests->sweep(db);
                    passwords::sweep(db);
                    GrantStore::sweep(db);
                });
            } catch (const DatabaseFault& e) {
                log(QStringLiteral("limpeza das sessões: %1").arg(e.detail()));
            }
            lock.lock();
        }
    }
};

HttpServer::HttpServer(const db::Target& database, const ServerOptions& options) : d(std::make_unique<Impl>())
{
    d->target = database;
    d->options = options;
    d->sessions = std::make_unique<SessionStore>(options.sessions);
    d->requests = std::make_shared<const RequestMemory>(options.rememberRequests);
    d->dispatcher = std::make_unique<Dispatcher>([impl = d.get()] { return impl->database(); },
                                                 [id = d->id] { threadConnections.drop(id); },
                                                 std::make_shared<const GrantStore>(options.grantLifetime), d->requests);
    if (options.certificateFile.isEmpty() != options.keyFile.isEmpty())
        d->setupError = QStringLiteral("Para HTTPS informe o certificado e a chave.");
    d->server = makeBoundedServer(options.requestLimits, options.certificateFile, options.keyFile);
    if (!d->server->is_valid())
        d->setupError = QStringLiteral("Não foi possível carregar o certificado %1 e a chave %2.")
                            .arg(options.certificateFile, options.keyFile);
    httplib::Server& server = *d->server;
    server.new_task_queue = [] { return new httplib::ThreadPool(16); };
    server.set_socket_options(exclusiveSocket);
    server.set_payload_max_length(size_t(options.maxBodyBytes));
    server.set_keep_alive_max_count(100000);
    server.set_tcp_nodelay(true); // small answers go out at once, not after the peer's delayed ACK
    // An idle kept-alive client holds a worker until this runs out, and stop() waits for it.
    server.set_keep_alive_timeout(1);
    Impl* impl = d.get();
    server.Post("/login", [impl](const httplib::Request& req, httplib::Response& res, const httplib::ContentReader& reader) {
        impl->login(req, res, reader);
    });
    server.Post("/logout", [impl](const httplib::Request& req, httplib::Response& res) { impl->logout(req, res); });
    server.Post("/call", [impl](const httplib::Request& req, httplib::Response& res, const httplib::ContentReader& reader) {
        impl->call(req, res, reader);
    });
    server.Get("/health", [impl](const httplib::Request&, httplib::Response& res) { impl->health(res); });
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
    widenListenQueue(*d->server);
    d->stopping = false;
    d->thread = std::thread([this] { d->server->listen_after_bind(); });
    while (!d->server->is_running())
        std::this_thread::yield();
    d->sweepStop = false;
    d->sweeper = std::thread([impl = d.get()] { impl->sweepLoop(); });
    return d->port;
}

void HttpServer::stop()
{
    d->stopping = true;
    if (d->thread.joinable()) {
        d->server->stop();
        d->thread.join(); // after the workers answered what they were serving
    }
    if (d->sweeper.joinable()) {
        {
            std::lock_guard lock(d->sweepMutex);
            d->sweepStop = true;
        }
        d->sweepWake.notify_all();
        d->sweeper.join();
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
