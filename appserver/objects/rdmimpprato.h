#pragma once

#include "appserver/serverobject.h"

namespace appserver {

// Pla01309.rdmImpPrato: copies the recipes of chosen dishes from one recipe level to another.
class RdmImpPrato : public ServerObject {
public:
    RdmImpPrato();

    // (working branch, initial dish, final dish, dish-picture levels, origin kind byref, central,
    // menu type, origin branch, origin service) the dishes of the range at the last level, of the
    // standard tree and the working branch's own, that have a recipe at the origin: IDMARCADO
    // ("S"), CDFILAUXPRAT, CDPRATO, NMPRATO, QUANTIDADE (the origin's quantity per person),
    // SGUNIDADE, PROPORCAO (1). A partial final code takes the dishes under it.
    QVariant GetPratos(Call& call) const;
    // (working branch, dish grid packet, origin branch, destination branch, origin service,
    // destination service, origin kind byref, destination kind byref, 0 add or 1 replace,
    // destination central, destination menu type, origin central, origin menu type) copies the
    // recipes of the marked dishes; see the rules in rdmimpprato.cpp. Empty when everything was
    // copied; else names the products left out as inactive at the destination (the rest is stored).
    QString ExportaPratos(Call& call) const;
};

} // namespace appserver
