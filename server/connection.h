#pragma once

#include "framework/ui/messages.h"
#include "transport.h"

#include <QObject>
#include <QPointer>
#include <QVariantList>
#include <functional>
#include <memory>

namespace server {

// A form's connection to one server object (netReceitaPadrao -> "Pla01300.rdmReceitaPadrao").
//
// Before connecting it runs BeforeConnect, where forms set Host and Port from the host
// context (they start with the context's WebURL and WebPort). With a host and a port the
// calls go over HTTP to the appserver daemon; without, the server objects run in process on
// the host's database connection (hostContext().databaseConnection, or the one set here).
//
// Calls never throw for a server failure: a query answers a framework::ServerFault (for
// CheckResultServ), an update ("Upd...", "Set...") answers its status text, and that text is
// empty only when the server said it saved; anything else answers a non-empty text. A change
// the server refuses for want of a supervisor's authorisation asks for it (the authorisation
// prompt) and is sent once more when given.
class Connection : public QObject {
    Q_OBJECT
public:
    Connection(QObject* parent, const QString& objectName, const QString& serverName);
    ~Connection() override;

    const QString& ServerName() const { return m_serverName; }
    void setServerName(const QString& name) { m_serverName = name; }
    const QString& Host() const { return m_host; }
    void setHost(const QString& host) { m_host = host; }
    int Port() const { return m_port; }
    void setPort(int port) { m_port = port; }

    // In-process calls use this database connection instead of the host's.
    void setDatabaseConnection(const QString& connectionName) { m_databaseConnection = connectionName; }
    // Replaces the transport chosen by the address (tests, tools). Such a connection answers a
    // change refused for want of an authorisation as it comes, asking no one.
    void setTransport(std::unique_ptr<Transport> transport);
    // The message list whose texts the progress window shows (keys get_..., upd_..., pro_...).
    void setMessages(framework::TMessages* messages) { m_messages = messages; }

    std::function<void(Connection&)> BeforeConnect;

    // Opens the transport; false when the server cannot be reached (no exception).
    bool Connect();
    void Disconnect();
    bool Connected() const;

    // Calls a method (name matched without regard to case). Arguments are passed by reference:
    // what the server leaves in them comes back. A call on a closed connection connects first.
    QVariant call(const QString& method, QVariantList& args);
    QVariant call(const QString& method, QVariantList&& args = {}) { return call(method, args); }
    // The same, with the progress window showing the text of progressKey during the call.
    QVariant call(const QString& method, QVariantList& args, const QString& progressKey);
    QVariant call(const QString& method, QVariantList&& args, const QString& progressKey)
    {
        return call(method, args, progressKey);
    }

private:
    std::unique_ptr<Transport> makeTransport() const;
    QVariant send(const QString& method, QVariantList& args);
    bool authoriseAgain(const QString& operation);

    QString m_serverName;
    QString m_host;
    int m_port = 0;
    QString m_databaseConnection;
    std::unique_ptr<Transport> m_transport;
    bool m_fixedTransport = false;
    QPointer<framework::TMessages> m_messages;
};

} // namespace server
