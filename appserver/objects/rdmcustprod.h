#pragma once

#include "appserver/serverobject.h"

namespace appserver {

// Cus.rdmCustProd: the cost types prices are kept in.
class RdmCustProd : public ServerObject {
public:
    RdmCustProd();

    QVariant GetTipoCusto(Call& call) const; // () NRTIPOCUSTO, NMTIPOCUSTO in list order
};

} // namespace appserver
