// The dish's transport containers and the container catalogue: methods of
// Pla01300.rdmReceitaPadrao.
#include "containers.h"
#include "rdmreceitapadrao.h"

#include "appserver/errors.h"
#include "appserver/resultcolumns.h"
#include "appserver/sqlpacket.h"
#include "framework/core/consiste.h"
#include "marcaunica.h"

#include <QSet>

namespace appserver {

namespace {

// Codes arrive as typed; the key columns hold them trimmed (the container padded to 5).
QString owner(const QString& text)
{
    return text.trimmed();
}

QString duasPrincipais()
{
    return QStringLiteral("O prato já tem uma embalagem principal.");
}

// The rows of the log that take the principal mark: (CDFILAUXPRAT, CDPRATO, CDCONTAINER), one
// per dish; two in one dish refuse the log.
QList<QVariantList> novasPrincipais(const framework::DataPacket& log)
{
    QList<QVariantList> novas;
    if (log.rowCount() == 0)
        return novas;
    const int mark = log.rows.indexOf(QStringLiteral("IDPRATCONTPRI"));
    const int ownerColumn = log.rows.indexOf(QStringLiteral("CDFILAUXPRAT"));
    const int dishColumn = log.rows.indexOf(QStringLiteral("CDPRATO"));
    const int containerColumn = log.rows.indexOf(QStringLiteral("CDCONTAINER"));
    if (mark < 0)
        return novas;
    QSet<QString> dishes;
    for (int row = 0; row < log.rowCount(); ++row) {
        const framework::RowStatus status = log.rowStatus(row);
        const bool takes = log.rows.text(row, mark) == u"S"
                           && (status == framework::RowStatus::Inserted
                               || (status == framework::RowStatus::Modified && log.originals.text(row, mark) != u"S"));
        if (!takes)
            continue;
        const QString ownerCode = log.rows.text(row, ownerColumn), dishCode = log.rows.text(row, dishColumn);
        const QString key = ownerCode + QChar(0) + dishCode;
        if (dishes.contains(key))
            throw Refusal(duasPrincipais());
        dishes.insert(key);
        novas << QVariantList{ownerCode, dishCode, log.rows.text(row, containerColumn)};
    }
    return novas;
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
    const framework::DataPacket log = call.packet(0);
    // The container's name travels with the rows for the grid; it is the catalogue's to keep.
    call.apply(log, {"PRATOCONTAINER",
                     {"CDFILAUXPRAT", "CDPRATO", "CDCONTAINER"},
                     {"CDFILAUXPRAT", "CDPRATO", "CDCONTAINER", "QTPRATCONTAINER", "IDPRATCONTPRI"}});
    // A row made principal takes the mark from the dish's former principal here, in the save's
    // transaction, so that a refused save leaves the dish with the principal it had.
    const QList<QVariantList> novas = novasPrincipais(log);
    for (const QVariantList& nova : novas)
        execute(call.db(),
                "UPDATE PRATOCONTAINER SET IDPRATCONTPRI = 'N' WHERE CDFILAUXPRAT = ? AND CDPRATO = ? "
                "AND IDPRATCONTPRI = 'S' AND CDCONTAINER <> ?",
                nova);
    static const MarcaUnica principal{"PRATOCONTAINER", {"CDFILAUXPRAT", "CDPRATO"}, "IDPRATCONTPRI", "S"};
    verificaMarcaUnica(call, principal, gruposAlterados(log, principal.grupo), duasPrincipais());
}

void ContainersPrato::UpdContainer(Call&) const
{
    // Announces a new principal: the former one loses its mark when the new one is saved
    // (SetContainer). Clearing it here, in a transaction of its own, would leave the dish with
    // no principal whenever that save is refused.
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
