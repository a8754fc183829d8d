#pragma once

#include "appserver/serverobject.h"

namespace appserver {

// Pla01305.rdmCustoPrato: what the ingredients of a dish cost, and the season signals.
class RdmCustoPrato : public ServerObject {
public:
    RdmCustoPrato();

    // (branch, service, dish, dish owner, reference branch, cost type I, reference date, central,
    // menu type) One row per ingredient of the dish at the level the codes name (RecipeLevel):
    // NMPRODUTO, SGUNIDPROD (stock unit), CDPRATO, CDPRODUTO, QTPRODUTO (net quantity per
    // person), VRFATCOC, VRFATCOR (cooking gain and cleaning loss, %), SGUNIDADE (recipe unit),
    // CUSTO, IDINTESAFR (season pattern), QTBRUTA (gross quantity per person in the stock unit).
    // CUSTO is the price per stock unit of the cost type in force at the reference date: the
    // latest one dated on or before it, taken from the reference branch's prices or, when that
    // branch has none for the product, from its central's. Null when neither has one.
    QVariant GetProduto(Call& call) const;
    // (season percentage D) The season signals whose limits hold the percentage.
    QVariant GetSinaSafra(Call& call) const;
};

} // namespace appserver
