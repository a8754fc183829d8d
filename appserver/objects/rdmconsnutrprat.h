#pragma once

#include "appserver/serverobject.h"

namespace appserver {

// PLA01304.rdmConsNutrPrat: dish nutrition query. Its methods arrive with the companion form that calls them.
class RdmConsNutrPrat : public ServerObject {
public:
    RdmConsNutrPrat() : ServerObject("PLA01304.rdmConsNutrPrat") {}
};

} // namespace appserver
