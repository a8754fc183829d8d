#pragma once

#include "appserver/serverobject.h"

namespace appserver {

// Pla01309.rdmImpPrato: dish import and export. Its methods arrive with the companion form that calls them.
class RdmImpPrato : public ServerObject {
public:
    RdmImpPrato() : ServerObject("Pla01309.rdmImpPrato") {}
};

} // namespace appserver
