#include "rdmcustprod.h"

#include "appserver/resultcolumns.h"

namespace appserver {

RdmCustProd::RdmCustProd() : ServerObject("Cus.rdmCustProd")
{
    query("GetTipoCusto", &RdmCustProd::GetTipoCusto);
}

QVariant RdmCustProd::GetTipoCusto(Call& call) const
{
    static const auto defs = fields("NRTIPOCUSTO:I NMTIPOCUSTO:T40");
    return QVariant::fromValue(
        call.select("SELECT NRTIPOCUSTO, NMTIPOCUSTO FROM TIPOCUSTO ORDER BY NRORDEM, NRTIPOCUSTO", {}, defs));
}

} // namespace appserver
