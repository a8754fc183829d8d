#include "inprocesstransport.h"

#include "framework/core/hostcontext.h"
#include "framework/data/datapacket.h"

#include <QSqlDatabase>

namespace server {

namespace {

const std::shared_ptr<appserver::GrantStore>& processGrants()
{
    static const std::shared_ptr<appserver::GrantStore> store =
        std::make_shared<appserver::MemoryGrantStore>(appserver::defaultGrantLifetime);
    return store;
}

} // namespace

InProcessTransport::InProcessTransport(const QString& databaseConnection)
    : m_connection(databaseConnection),
      m_dispatcher([name = databaseConnection] { return QSqlDatabase::database(name, false); }, {}, processGrants())
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
    // The host's session with its database: what its operator is given there stays there.
    const QString operatorCode = framework::hostContext().Operador;
    return m_dispatcher.call({operatorCode, QStringLiteral("local/%1/%2").arg(m_connection, operatorCode)}, object,
                             method, args);
}

} // namespace server
