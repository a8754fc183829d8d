#include "tipocusto.h"

#include "connection.h"
#include "framework/data/datapacket.h"
#include "framework/ui/messages.h"

namespace server {

namespace {

framework::DataPacket tiposCusto(Connection& connection)
{
    const QVariant result = connection.call("GetTipoCusto");
    framework::CheckResultServ(result);
    return framework::toPacket(result);
}

} // namespace

QStringList ListaTipoCusto(Connection& connection)
{
    const framework::DataPacket packet = tiposCusto(connection);
    const int name = packet.rows.indexOf("NMTIPOCUSTO");
    QStringList names;
    for (int row = 0; row < packet.rowCount(); ++row)
        names << packet.rows.text(row, name);
    return names;
}

int NumeroTipoCusto(Connection& connection, int index)
{
    const framework::DataPacket packet = tiposCusto(connection);
    if (index < 0 || index >= packet.rowCount())
        return -1;
    return int(packet.rows.integer(index, packet.rows.indexOf("NRTIPOCUSTO")));
}

} // namespace server
