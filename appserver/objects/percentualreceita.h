#pragma once

#include "appserver/call.h"

namespace appserver {

// The recipes of the services of a branch set as a percentage of an origin recipe, one dish at
// a time: the services with the origin and percentage each follows, a service's recipe as it
// is, the recipe a percentage of an origin gives, and the changes of many services applied at
// once (Pla01300.rdmReceitaPadrao). Mixed into that object, which registers them.
class PercentualReceita {
public:
    // (branch, service group or empty, dish owner byref, dish byref) every service of the branch,
    // of the group when one is given: IDMARCADO ("S" when its recipe of the dish follows a
    // percentage), CDFILIAL, CDSERVFILI, NMSERVICO, the origin (IDORIGEMRECE, CDFILCENTPME,
    // CDTIPOCARD, CDFILIALORI, CDSERVFILIORI), PERCENTUAL, IDALTERADO ("N") and the origin's
    // names (NMSERVIORI, NMFILIALORI, NMTIPOCARD, NMFILICENT).
    QVariant GetServicosPercentual(Call& call) const;
    // (owner byref, dish byref, branch, service) the service's recipe of the dish as it is, in the
    // columns of ingrediente::camposNomeados().
    QVariant GetReceitasPer(Call& call) const;
    // (owner byref, dish byref, percentage, origin kind, central, menu type, origin branch,
    // origin service) the recipe the percentage of the origin gives, as the apply would store
    // it; no row when the origin has no recipe of the dish.
    QVariant GetReceitasPerVirtual(Call& call) const;
    // (origin kind, owner byref, dish byref, central, menu type, origin branch, origin service,
    // the service's branch) the origin's products taken out of that branch's line: CDPRODUTO,
    // CDARVPROD, NMPRODUTO.
    QVariant GetProdInativReceita(Call& call) const;
    // (dish key "owner_dish" byref, the services packet) applies the changed services; the rules
    // are in percentualreceita.cpp.
    void AplicaPercentualReceita(Call& call) const;
};

} // namespace appserver
