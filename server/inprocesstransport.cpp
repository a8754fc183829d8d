#include "inprocesstransport.h"

#include "framework/data/datapacket.h"

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
    return m_dispatcher.call(object, method, args);
}

} // namespace server
