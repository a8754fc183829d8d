#pragma once

#include "appserver/serverobject.h"

namespace appserver {

// Pla01305.rdmCustoPrato: dish cost query. Its methods arrive with the companion form that calls them.
class RdmCustoPrato : public ServerObject {
public:
    RdmCustoPrato() : ServerObject("Pla01305.rdmCustoPrato") {}
};

} // namespace appserver
