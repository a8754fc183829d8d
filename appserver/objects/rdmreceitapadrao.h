#pragma once

#include "appserver/serverobject.h"

namespace appserver {

// Pla01300.rdmReceitaPadrao: parameters, centrals and the dish tree of the recipe form.
class RdmReceitaPadrao : public ServerObject {
public:
    RdmReceitaPadrao();

    QVariant GetParamPlaneja(Call& call) const;  // (branch) planning parameters
    QVariant GetParamGeral(Call& call) const;    // () general parameters
    QVariant GetGerParamGeral(Call& call) const; // () IDPERMSELCENTRALPLA
    QVariant GetCentral(Call& call) const;       // (code or "T", operator) centrals the operator may use
    QVariant GetParams(Call& call) const;        // (branch) [general, planning, products with stock flag]
    QVariant GetPrato(Call& call) const;         // (branch, byref: padded to 4) standard dishes and the branch's own
    QVariant GetPratoAux(Call& call) const;      // (branch) dish keys of the same tree
    void UpdParamGeral(Call& call) const;        // (change log of the general parameters)
};

} // namespace appserver
