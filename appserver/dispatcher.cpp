#include "dispatcher.h"

#include "db/database.h"
#include "errors.h"
#include "framework/data/datapacket.h"
#include "registry.h"

#include <QSqlError>
#include <QSqlQuery>

namespace appserver {

namespace {

// SQLite takes the write lock at the start of an update, so that two writers wait for each
// other instead of failing half-way; PostgreSQL locks rows as it goes.
void begin(QSqlDatabase& db, ServerObject::Kind kind)
{
    if (!db.isOpen())
        throw framework::Error(QStringLiteral("O banco de dados do servidor não está disponível."));
    bool ok;
    if (kind == ServerObject::Kind::Update && !db::isPostgres(db)) {
        QSqlQuery q(db);
        ok = q.exec("BEGIN IMMEDIATE");
        if (!ok)
            throw framework::Error(QStringLiteral("Não foi possível iniciar a transação: %1").arg(q.lastError().text()));
    } else {
        ok = db.transaction();
        if (!ok)
            throw framework::Error(QStringLiteral("Não foi possível iniciar a transação: %1").arg(db.lastError().text()));
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

bool Dispatcher::isUpdate(const QString& objectName, const QString& methodName)
{
    const ServerObject* object = Registry::instance().find(objectName);
    const ServerObject::Method* method = object ? object->method(methodName) : nullptr;
    return method && method->kind == ServerObject::Kind::Update;
}

QVariant Dispatcher::call(const QString& objectName, const QString& methodName, QVariantList& args) const noexcept
{
    const ServerObject* object = Registry::instance().find(objectName);
    if (!object)
        return QVariant::fromValue(framework::ServerFault{
            QStringLiteral("Objeto de servidor %1 não encontrado.").arg(objectName)});
    const ServerObject::Method* method = object->method(methodName);
    if (!method)
        return QVariant::fromValue(framework::ServerFault{
            QStringLiteral("Método %1 não encontrado no objeto %2.").arg(methodName, object->name())});

    bool connectionLost = false;
    QVariant result = attempt(*method, args, connectionLost);
    if (connectionLost && m_reconnect) {
        // Nothing was applied on the lost connection (its transaction died with it): run anew.
        m_reconnect();
        result = attempt(*method, args, connectionLost);
    }
    return result;
}

QVariant Dispatcher::attempt(const ServerObject::Method& method, QVariantList& args, bool& connectionLost) const noexcept
{
    const QVariantList sent = args;
    QSqlDatabase db;
    bool inTransaction = false;
    const auto fail = [&](const QString& text) {
        if (inTransaction)
            db.rollback();
        args = sent;
        connectionLost = lost(db);
        return failure(method.kind, text);
    };
    try {
        db = m_database();
        begin(db, method.kind);
        inTransaction = true;
        Call call(db, args, method.name);
        QVariant result = method.run(call);
        if (!db.commit())
            throw framework::Error(QStringLiteral("Não foi possível concluir a transação: %1").arg(db.lastError().text()));
        connectionLost = false;
        return result;
    } catch (const framework::Error& e) {
        return fail(e.message());
    } catch (const std::exception& e) {
        return fail(QStringLiteral("Erro interno do servidor em %1: %2").arg(method.name, e.what()));
    } catch (...) {
        return fail(QStringLiteral("Erro interno do servidor em %1.").arg(method.name));
    }
}

} // namespace appserver
