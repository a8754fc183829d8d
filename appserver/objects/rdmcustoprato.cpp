#include "rdmcustoprato.h"

#include "appserver/errors.h"
#include "appserver/resultcolumns.h"
#include "framework/core/consiste.h"
#include "recipelevel.h"

#include <QDate>
#include <QDateTime>

namespace appserver {

namespace {

// The price of the product of row R for a cost type at a date, at one site.
const char* const priceAt =
    "(SELECT C.VRPRECO FROM PRECOPROD C WHERE C.CDFILIAL = ? AND C.CDPRODUTO = R.CDPRODUTO "
    "AND C.NRTIPOCUSTO = ? AND C.DTPRECO <= ? ORDER BY C.DTPRECO DESC LIMIT 1)";

} // namespace

RdmCustoPrato::RdmCustoPrato() : ServerObject("Pla01305.rdmCustoPrato")
{
    query("GetProduto", &RdmCustoPrato::GetProduto);
    query("GetSinaSafra", &RdmCustoPrato::GetSinaSafra);
}

QVariant RdmCustoPrato::GetProduto(Call& call) const
{
    static const auto defs = fields(
        "NMPRODUTO:T50 SGUNIDPROD:T10 CDPRATO:T10 CDPRODUTO:T10 QTPRODUTO:D VRFATCOC:D VRFATCOR:D SGUNIDADE:T10 "
        "CUSTO:D IDINTESAFR:T12 QTBRUTA:D");
    const RecipeLevel level = RecipeLevel::of(
        {call.text(3), call.text(2), call.text(0), call.text(1), call.text(7), call.text(8)});
    const QString site = framework::Ajusta(call.text(4), 4);
    const qint64 costType = call.integer(5);
    // Dates are compared as ISO text: the order of days on both database families.
    const QString date = call.date(6, QStringLiteral("Data de referência inválida.")).toString(Qt::ISODate);
    const QString central = call.value("SELECT CDFILCENTPME FROM FILIAL WHERE CDFILIAL = ?", {site}).toString();

    const QString sql = QStringLiteral(
        "SELECT P.NMPRODUTO, P.SGUNIDADE, R.CDPRATO, R.CDPRODUTO, %1, %2, %3, COALESCE(R.SGUNIDADE, P.SGUNIDADE), "
        "COALESCE(%4, %5), S.IDINTESAFR, %6 "
        "FROM %7 R JOIN PRODUTO P ON P.CDPRODUTO = R.CDPRODUTO "
        "LEFT JOIN PRODSAFRA S ON S.CDPRODUTO = R.CDPRODUTO "
        "WHERE %8 ORDER BY P.NMPRODUTO, R.CDPRODUTO")
                            .arg(level.net, level.cookingGain, level.cleaningLoss, QLatin1String(priceAt),
                                 QLatin1String(priceAt), level.requisition, level.table, level.where);
    const QVariantList values = QVariantList{site, costType, date, central, costType, date} + level.values;
    return QVariant::fromValue(call.select(sql, values, defs));
}

QVariant RdmCustoPrato::GetSinaSafra(Call& call) const
{
    static const auto defs = fields("NMSINASAFRA:T30 NRCORSINSAFR:I VRLIMINFSAFR:D VRLIMSUPSAFR:D");
    const double percentage = call.number(0);
    return QVariant::fromValue(call.select(
        "SELECT NMSINASAFRA, NRCORSINSAFR, VRLIMINFSAFR, VRLIMSUPSAFR FROM SINASAFRA "
        "WHERE VRLIMINFSAFR <= ? AND ? <= VRLIMSUPSAFR ORDER BY VRLIMINFSAFR, NRSINASAFRA",
        {percentage, percentage}, defs));
}

} // namespace appserver
