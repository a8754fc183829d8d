#include "connection.h"

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

bool isUpdate(const QString& method)
{
    return method.startsWith("Upd", Qt::CaseInsensitive);
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
    QVariant result;
    if (!Connected() && !Connect())
        result = QVariant::fromValue(framework::ServerFault{
            QStringLiteral("Não foi possível conectar ao servidor %1.").arg(m_serverName)});
    else
        result = m_transport->call(m_serverName, method, args);
    // An update answers text; a fault (no server, unknown method) must not read as success.
    if (isUpdate(method) && framework::isServerFault(result))
        return result.value<framework::ServerFault>().message;
    return result;
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
