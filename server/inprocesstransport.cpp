#include "inprocesstransport.h"

#include "framework/core/hostcontext.h"
#include "framework/data/datapacket.h"

#include <QCoreApplication>
#include <QSqlDatabase>

namespace server {

InProcessTransport::InProcessTransport(const QString& databaseConnection)
    : m_connection(databaseConnection),
      m_dispatcher([name = databaseConnection] { return QSqlDatabase::database(name, false); })
{
}

bool InProcessTransport::open(const QString&, int)
{
    m_open = QSqlDatabase::contains(m_connection) && QSqlDatabase::database(m_connection, false).isOpen();
    return m_open;
}

QVariant InProcessTransport::call(const QString& object, const QString& method, QVariantList& args)
{
    if (!m_open)
        return QVariant::fromValue(framework::ServerFault{
            QStringLiteral("O banco de dados local (%1) não está aberto.").arg(m_connection)});
    // The host's session with its database: what its operator is given there stays with this
    // process.
    const QString operatorCode = framework::hostContext().Operador;
    const QString session =
        QStringLiteral("local/%1/%2/%3").arg(QCoreApplication::applicationPid()).arg(m_connection, operatorCode);
    appserver::Dispatcher::Report report;
    const QVariant result = m_dispatcher.call({operatorCode, session, QStringLiteral("local")}, object, method, args, &report);
    // What the database said of a failure, which the answer does not carry: this program's log.
    if (!report.detail.isEmpty())
        qWarning().noquote() << QStringLiteral("%1.%2: %3").arg(object, method, report.detail);
    return result;
}

} // namespace server
