#pragma once

#include "appserver/call.h"

namespace appserver {

// The swap of an ingredient for one of its optional products in the revised recipe of a branch,
// a service or a menu type, and the production products a dish may yield
// (Pla01300.rdmReceitaPadrao). Mixed into that object, which registers them.
class Substituicao {
public:
    // (product tree code, levels) the optional products of the product: CDARVPROD, NMPRODUTO,
    // SGUNIDADE, CDPRODUTO, CDPRODESTO, VRPEFATOCORR
    QVariant PesqProdOpc(Call& call) const;
    // (dish, group, branch, service, old product, new product, new unit, new cleaning loss, "S"
    // for the menu type, central, menu type) the new product takes the old one's place in the
    // dish's recipe at that level, with its unit and cleaning loss (yield 100 - loss) and the
    // quantities converted into its unit where a conversion exists; answers the level's list of
    // the group. Refused, nothing changes.
    QVariant TrocaProduto(Call& call) const;
    // (code byref, "T" for all byref, owner byref, dish byref) the products a dish may yield:
    // last-level and active, not yielded by another dish; with a code, that product only
    QVariant GetProdProd(Call& call) const;
};

} // namespace appserver
