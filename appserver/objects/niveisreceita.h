#pragma once

#include "appserver/call.h"

namespace appserver {

// The branch, service and menu-type recipes beside the standard one: their base-product flags,
// the menu type's dish data and the operator group's parameters the recipe pages ask for
// (Pla01300.rdmReceitaPadrao). Mixed into that object, which registers them.
class NiveisReceita {
public:
    // (the caller's operator, parameter) his group's value of the parameter; 0 when he has
    // no group or the group does not set it. "ARRV": 1 may change revised recipes, -1 may not.
    QVariant GetParamGrup(Call& call) const;
    // (owner, dish, branch, flag byref, working branch byref, group) every row of the branch's
    // recipe of the dish gets the base-product flag; answers the group's branch list.
    QVariant ProUpProdBaseLO(Call& call) const;
    // (owner, dish, branch, service, flag byref, working branch byref, group) the same for a service.
    QVariant ProUpProdBaseSE(Call& call) const;
    // (owner, dish, flag byref, working branch byref, group, central, menu type) the same for one
    // menu type of a central.
    QVariant ProUpProdBaseTP(Call& call) const;
    // (change log of the menu-type dish data, null-field list byref "_NAME_...") the log, then the
    // listed fields of its rows become null.
    void UpdPratTpCard(Call& call) const;
};

} // namespace appserver
