#include "connection.h"

#include "appserver/guards.h"
#include "appserver/registry.h"
#include "autoriza.h"
#include "framework/core/hostcontext.h"
#include "framework/data/datapacket.h"
#include "framework/ui/messages.h"
#include "framework/ui/showavi.h"
#include "httptransport.h"
#include "inprocesstransport.h"

#include <QWidget>
#include <optional>

namespace server {

namespace {

enum class Answer { Value, Status, PacketOrStatus };

// How the forms read a method's answer: a value; a status text (empty: saved); or, for an update
// that answers a packet, the packet when saved and its text when refused. The server's own table
// says so for the methods it knows; any other Upd... or Set... is taken as a status.
Answer answerOf(const QString& object, const QString& method)
{
    if (const auto* serverObject = appserver::Registry::instance().find(object))
        if (const auto* known = serverObject->method(method)) {
            if (known->kind != appserver::ServerObject::Kind::Update)
                return Answer::Value;
            return known->answersPacket ? Answer::PacketOrStatus : Answer::Status;
        }
    return method.startsWith("Upd", Qt::CaseInsensitive) || method.startsWith("Set", Qt::CaseInsensitive)
               ? Answer::Status
               : Answer::Value;
}

// Only an empty text means saved: a fault, a missing answer or a value of another kind is a
// failure with a text the user can read.
QVariant statusOf(const QVariant& result)
{
    if (framework::isServerFault(result)) {
        const QString text = result.value<framework::ServerFault>().message;
        return text.trimmed().isEmpty() ? QStringLiteral("O servidor de aplicação recusou a gravação sem informar o motivo.")
                                        : text;
    }
    if (result.typeId() != QMetaType::QString)
        return QStringLiteral("O servidor de aplicação não confirmou a gravação: a resposta não trouxe a situação.");
    return result;
}

// The text of a refusal, whether an update's status or a query's fault.
QString refusalText(const QVariant& result)
{
    if (framework::isServerFault(result))
        return result.value<framework::ServerFault>().message;
    return result.typeId() == QMetaType::QString ? result.toString() : QString();
}

QWidget* formOf(QObject* object)
{
    for (; object; object = object->parent())
        if (auto* widget = qobject_cast<QWidget*>(object))
            return widget->window();
    return nullptr;
}

} // namespace

Connection::Connection(QObject* parent, const QString& objectName, const QString& serverName)
    : QObject(parent), m_serverName(serverName)
{
    setObjectName(objectName);
    const auto& context = framework::hostContext();
    m_host = context.WebURL;
    m_port = context.WebPort;
}

Connection::~Connection() = default;

void Connection::setTransport(std::unique_ptr<Transport> transport)
{
    m_transport = std::move(transport);
    m_fixedTransport = m_transport != nullptr;
}

std::unique_ptr<Transport> Connection::makeTransport() const
{
    if (!m_host.isEmpty() && m_port > 0)
        return std::make_unique<HttpTransport>();
    const QString database =
        m_databaseConnection.isEmpty() ? framework::hostContext().databaseConnection : m_databaseConnection;
    return std::make_unique<InProcessTransport>(database);
}

bool Connection::Connect()
{
    if (Connected())
        return true;
    if (BeforeConnect)
        BeforeConnect(*this);
    if (!m_fixedTransport)
        m_transport = makeTransport();
    return m_transport->open(m_host, m_port);
}

void Connection::Disconnect()
{
    if (m_transport)
        m_transport->close();
}

bool Connection::Connected() const
{
    return m_transport && m_transport->isOpen();
}

QVariant Connection::call(const QString& method, QVariantList& args)
{
    QVariant result = send(method, args);
    // A change the server refused for want of a supervisor's authorisation (none was asked before
    // sending it, or the one given has been used or has expired) is authorised now and sent once
    // more; the refusal left the arguments as they were sent.
    const QString operation = appserver::guards::missingAuthorisation(refusalText(result));
    if (!operation.isEmpty() && authoriseAgain(operation))
        result = send(method, args);
    switch (answerOf(m_serverName, method)) {
    case Answer::Value: break;
    case Answer::Status: return statusOf(result);
    case Answer::PacketOrStatus:
        // Anything but a packet is why nothing was saved: a fault the form shows.
        if (!framework::isPacket(result)) {
            QString text = statusOf(result).toString();
            if (text.isEmpty())
                text = QStringLiteral("O servidor de aplicação não confirmou a gravação: a resposta não trouxe o resultado.");
            return QVariant::fromValue(framework::ServerFault{text});
        }
        break;
    }
    return result;
}

QVariant Connection::send(const QString& method, QVariantList& args)
{
    if (!Connected() && !Connect())
        return QVariant::fromValue(framework::ServerFault{
            QStringLiteral("Não foi possível conectar ao servidor %1.").arg(m_serverName)});
    return m_transport->call(m_serverName, method, args);
}

bool Connection::authoriseAgain(const QString& operation)
{
    // Est.rdmAutoriza where this connection's server is, for the same session.
    if (m_fixedTransport)
        return false;
    Connection autoriza(nullptr, QStringLiteral("netAutoriza"), QStringLiteral("Est.rdmAutoriza"));
    autoriza.setHost(m_host);
    autoriza.setPort(m_port);
    autoriza.setDatabaseConnection(m_databaseConnection);
    return authoriseRefusedChange(autoriza, appserver::guards::kindReceita, operation);
}

QVariant Connection::call(const QString& method, QVariantList& args, const QString& progressKey)
{
    std::optional<framework::ShowAviScope> progress;
    if (!progressKey.isEmpty()) {
        const QString text = m_messages ? m_messages->Msg(progressKey) : QString();
        progress.emplace(formOf(parent()), text);
    }
    return call(method, args);
}

} // namespace server
