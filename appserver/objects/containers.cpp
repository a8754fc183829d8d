// The dish's transport containers and the container catalogue: methods of
// Pla01300.rdmReceitaPadrao.
#include "containers.h"
#include "rdmreceitapadrao.h"

#include "appserver/errors.h"
#include "appserver/resultcolumns.h"
#include "framework/core/consiste.h"

namespace appserver {

namespace {

// Codes arrive as typed; the key columns hold them trimmed (the container padded to 5).
QString owner(const QString& text)
{
    return text.trimmed();
}

} // namespace

QVariant ContainersPrato::GetPratoContainer(Call& call) const
{
    static const auto defs =
        fields("IDPRATCONTPRI:T1 CDFILAUXPRAT:T4 CDPRATO:T10 CDCONTAINER:T5 QTPRATCONTAINER:D NMCONTAINER:T40");
    return QVariant::fromValue(call.select(
        "SELECT P.IDPRATCONTPRI, P.CDFILAUXPRAT, P.CDPRATO, P.CDCONTAINER, P.QTPRATCONTAINER, C.NMCONTAINER "
        "FROM PRATOCONTAINER P JOIN CONTAINER C ON C.CDCONTAINER = P.CDCONTAINER "
        "WHERE P.CDPRATO = ? AND P.CDFILAUXPRAT = ? ORDER BY P.CDCONTAINER",
        {call.text(0).trimmed(), owner(call.text(1))}, defs));
}

QVariant ContainersPrato::GetContainer(Call& call) const
{
    static const auto defs = fields("CDCONTAINER:T5 NMCONTAINER:T40 QTCONTAINER:D IDMARCADO:T1");
    return QVariant::fromValue(call.select(
        "SELECT CDCONTAINER, NMCONTAINER, QTCONTAINER, 'N' AS IDMARCADO FROM CONTAINER ORDER BY CDCONTAINER", {},
        defs));
}

QVariant ContainersPrato::GetVdContainer(Call& call) const
{
    const QVariant found = call.value(
        "SELECT COUNT(*) FROM PRATOCONTAINER WHERE CDCONTAINER = ? AND CDPRATO = ? AND CDFILAUXPRAT = ?",
        {framework::Ajusta(call.text(0), 5), call.text(1).trimmed(), owner(call.text(2))});
    return found.toInt() > 0;
}

void ContainersPrato::SetContainer(Call& call) const
{
    // The container's name travels with the rows for the grid; it is the catalogue's to keep.
    call.apply(call.packet(0), {"PRATOCONTAINER",
                                {"CDFILAUXPRAT", "CDPRATO", "CDCONTAINER"},
                                {"CDFILAUXPRAT", "CDPRATO", "CDCONTAINER", "QTPRATCONTAINER", "IDPRATCONTPRI"}});
    const QVariant doubled = call.value("SELECT COUNT(*) FROM PRATOCONTAINER WHERE IDPRATCONTPRI = 'S' "
                                        "GROUP BY CDFILAUXPRAT, CDPRATO HAVING COUNT(*) > 1");
    if (doubled.isValid() && !doubled.isNull())
        throw Refusal(QStringLiteral("O prato já tem uma embalagem principal."));
}

void ContainersPrato::UpdContainer(Call& call) const
{
    call.value("UPDATE PRATOCONTAINER SET IDPRATCONTPRI = 'N' WHERE CDFILAUXPRAT = ? AND CDPRATO = ?",
               {owner(call.text(0)), call.text(1).trimmed()});
}

void RdmReceitaPadrao::registraContainers()
{
    query<RdmReceitaPadrao>("GetPratoContainer", &ContainersPrato::GetPratoContainer);
    query<RdmReceitaPadrao>("GetContainer", &ContainersPrato::GetContainer);
    query<RdmReceitaPadrao>("GetVdContainer", &ContainersPrato::GetVdContainer);
    update<RdmReceitaPadrao>("SetContainer", &ContainersPrato::SetContainer);
    update<RdmReceitaPadrao>("UpdContainer", &ContainersPrato::UpdContainer);
}

} // namespace appserver
