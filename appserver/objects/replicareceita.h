#pragma once

#include "appserver/call.h"

namespace appserver {

// The recipes of many dishes copied from one origin recipe to the service recipes of many
// services at once, each service at its own percentage (Pla01300.rdmReceitaPadrao). Mixed into
// that object, which registers it.
class ReplicaReceita {
public:
    // (service group or empty, branch) the services of the branch, of the group when one is
    // given, each marked ("S") at 100 %: IDMARCADO, CDFILIAL, CDSERVFILI, NMSERVICO, PERCENTUAL.
    QVariant GetServicos(Call& call) const;
    // (services packet, dish list byref, origin kind byref, central, menu type, origin branch,
    // origin service) every marked service (IDMARCADO "S") takes, for every listed dish that
    // has a recipe at the origin, the origin's recipe at its PERCENTUAL, in one transaction. The
    // dish list holds the keys "owner_dish", each in single quotes (a quote inside doubled),
    // joined by ", "; it is read as data. Answers the dishes left out because a product of their
    // origin recipe is taken out of a service's branch line: CDFILAUXPRAT, CDPRATO, NMPRATO,
    // CDFILIAL, NMPRODUTO (the first such product); no row when every dish was stored. The
    // rules are in replicareceita.cpp.
    framework::DataPacket ReplicaReceitaServico(Call& call) const;
};

} // namespace appserver
