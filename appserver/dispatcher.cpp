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

QVariant failure(ServerObject::Kind kind, const QString& text)
{
    if (kind == ServerObject::Kind::Update)
        return QVariant(text);
    return QVariant::fromValue(framework::ServerFault{text});
}

} // namespace

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

    const QVariantList sent = args;
    QSqlDatabase db;
    bool inTransaction = false;
    try {
        db = m_database();
        begin(db, method->kind);
        inTransaction = true;
        Call call(db, args, method->name);
        QVariant result = method->run(call);
        if (!db.commit())
            throw framework::Error(QStringLiteral("Não foi possível concluir a transação: %1").arg(db.lastError().text()));
        return result;
    } catch (const framework::Error& e) {
        if (inTransaction)
            db.rollback();
        args = sent;
        return failure(method->kind, e.message());
    } catch (const std::exception& e) {
        if (inTransaction)
            db.rollback();
        args = sent;
        return failure(method->kind, QStringLiteral("Erro interno do servidor em %1: %2").arg(method->name, e.what()));
    } catch (...) {
        if (inTransaction)
            db.rollback();
        args = sent;
        return failure(method->kind, QStringLiteral("Erro interno do servidor em %1.").arg(method->name));
    }
}

} // namespace appserver
