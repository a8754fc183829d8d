#include "dispatcher.h"

#include "db/database.h"
#include "errors.h"
#include "framework/data/datapacket.h"
#include "guards.h"
#include "registry.h"

#include <QJsonDocument>
#include <QScopeGuard>
#include <QSqlError>
#include <QSqlQuery>

namespace appserver {

namespace {

// SQLite takes the write lock at the start of an update, so that two writers wait for each
// other instead of failing half-way; PostgreSQL locks rows as it goes.
void begin(QSqlDatabase& db, ServerObject::Kind kind)
{
    if (!db.isOpen())
        throw DatabaseFault(QStringLiteral("Conexão fechada: %1").arg(db.lastError().text()));
    if (kind == ServerObject::Kind::Update && !db::isPostgres(db)) {
        QSqlQuery q(db);
        if (!q.exec("BEGIN IMMEDIATE"))
            throw DatabaseFault(QStringLiteral("Não foi possível iniciar a transação: %1").arg(q.lastError().text()));
    } else if (!db.transaction()) {
        throw DatabaseFault(QStringLiteral("Não foi possível iniciar a transação: %1").arg(db.lastError().text()));
    }
}

QVariant failure(ServerObject::Kind kind, QString text)
{
    // An empty status reads as success: a failure always says something.
    if (text.trimmed().isEmpty())
        text = kind == ServerObject::Kind::Update ? QStringLiteral("A gravação foi desfeita no servidor sem um motivo informado.")
                                                  : QStringLiteral("A consulta falhou no servidor sem um motivo informado.");
    if (kind == ServerObject::Kind::Update)
        return QVariant(text);
    return QVariant::fromValue(framework::ServerFault{text});
}

// What the request memory keeps of an update's answer: its status, or the packet it answered as
// JSON text.
QString resultToRemember(const ServerObject::Method& method, const QVariant& result)
{
    if (!method.answersPacket)
        return result.toString();
    return QString::fromUtf8(QJsonDocument(framework::toPacket(result).toJson()).toJson(QJsonDocument::Compact));
}

QVariant rememberedResult(const ServerObject::Method& method, const QString& kept)
{
    if (!method.answersPacket)
        return QVariant(kept);
    return QVariant::fromValue(framework::DataPacket::fromJson(QJsonDocument::fromJson(kept.toUtf8()).object()));
}

// A connection that cannot run the simplest statement is gone (the server restarted or cut it).
bool lost(QSqlDatabase& db)
{
    if (!db.isValid())
        return false;
    if (!db.isOpen())
        return true;
    QSqlQuery probe(db);
    return !probe.exec("SELECT 1");
}

} // namespace

Dispatcher::Dispatcher(DatabaseSource database, Reconnect reconnect, std::shared_ptr<const GrantStore> grants,
                       std::shared_ptr<const RequestMemory> requests)
    : m_database(std::move(database)), m_reconnect(std::move(reconnect)),
      m_grants(grants ? std::move(grants) : std::make_shared<const GrantStore>(defaultGrantLifetime)),
      m_requests(std::move(requests))
{
}

bool Dispatcher::isUpdate(const QString& objectName, const QString& methodName)
{
    const ServerObject* object = Registry::instance().find(objectName);
    const ServerObject::Method* method = object ? object->method(methodName) : nullptr;
    return method && method->kind == ServerObject::Kind::Update;
}

QVariant Dispatcher::call(const Caller& caller, const QString& objectName, const QString& methodName,
                          QVariantList& args, Report* report, const QString& requestId) const noexcept
{
    Report own;
    Report& r = report ? *report : own;
    r = {};
    const ServerObject* object = Registry::instance().find(objectName);
    const ServerObject::Method* method = object ? object->method(methodName) : nullptr;
    if (!method) {
        r.outcome = Report::Outcome::Failed;
        return QVariant::fromValue(framework::ServerFault{
            object ? QStringLiteral("Método %1 não encontrado no objeto %2.").arg(methodName, object->name())
                   : QStringLiteral("Objeto de servidor %1 não encontrado.").arg(objectName)});
    }

    bool connectionLost = false;
    QVariant result = attempt(caller, object->name(), *method, args, requestId, connectionLost, r);
    if (connectionLost && m_reconnect) {
        // Nothing was applied on the lost connection (its transaction died with it): run anew.
        m_reconnect();
        result = attempt(caller, object->name(), *method, args, requestId, connectionLost, r);
    }
    return result;
}

QVariant Dispatcher::attempt(const Caller& caller, const QString& object, const ServerObject::Method& method,
                             QVariantList& args, const QString& requestId, bool& connectionLost,
                             Report& report) const noexcept
{
    const QVariantList sent = args;
    QSqlDatabase db;
    bool inTransaction = false;
    QString note;
    const auto fail = [&](Report::Outcome outcome, const QString& text, const QString& detail = {}) {
        if (inTransaction)
            db.rollback();
        args = sent;
        connectionLost = lost(db);
        report = {outcome, note, detail, {}};
        return failure(method.kind, text);
    };
    try {
        guards::checkShape(object, method.name, args);
        db = m_database();
        begin(db, method.kind);
        inTransaction = true;
        std::optional<RequestMemory::Key> remembered;
        if (m_requests && !requestId.isEmpty() && method.kind == ServerObject::Kind::Update) {
            remembered = RequestMemory::Key{caller.operatorCode, requestId, object.toLower() + u'.' + method.name.toLower()};
            if (const std::optional<RequestMemory::Answer> earlier = m_requests->claim(db, *remembered)) {
                db.rollback();
                report = {Report::Outcome::Repeated, {}, {}, {}};
                for (const auto& [index, value] : earlier->written)
                    if (index >= 0 && index < args.size()) {
                        args[index] = value;
                        report.written << index;
                    }
                return rememberedResult(method, earlier->status);
            }
        }
        Call call(db, args, method.name, caller, *m_grants);
        const auto keepNote = qScopeGuard([&] { note = call.logNote(); });
        guards::authorise(call, object);
        QVariant result = method.run(call);
        if (remembered) {
            RequestMemory::Answer answer{resultToRemember(method, result), {}};
            for (const int index : call.written())
                answer.written << qMakePair(index, args[index]);
            m_requests->keep(db, *remembered, answer);
        }
        if (!db.commit())
            throw DatabaseFault(QStringLiteral("Não foi possível concluir a transação: %1").arg(db.lastError().text()));
        connectionLost = false;
        report = {Report::Outcome::Done, call.logNote(), {}, call.written()};
        return result;
    } catch (const NotAllowed& e) {
        return fail(Report::Outcome::NotAllowed, e.message(), e.detail());
    } catch (const Refusal& e) {
        return fail(Report::Outcome::Failed, e.message(), e.detail());
    } catch (const DatabaseFault& e) {
        return fail(Report::Outcome::Failed, e.message(), e.detail());
    } catch (const framework::Error& e) {
        return fail(Report::Outcome::Failed, e.message());
    } catch (const std::exception& e) {
        return fail(Report::Outcome::Failed, QStringLiteral("Erro interno do servidor em %1.").arg(method.name),
                    QString::fromUtf8(e.what()));
    } catch (...) {
        return fail(Report::Outcome::Failed, QStringLiteral("Erro interno do servidor em %1.").arg(method.name));
    }
}

} // namespace appserver
