#pragma once

#include "appserver/call.h"

namespace appserver {

// The dish tree (table PRATO, key CDFILAUXPRAT + CDPRATO: "P" for the standard tree, else the
// branch that owns a local dish). A group is any node whose code starts another node's code,
// whatever tree that node belongs to.
namespace dishtree {

// A code that can name a node: not empty and without blanks (every level filled in).
bool isCompleteCode(const QString& code);

// Applies a change log of the dish record inside the call's transaction, or refuses it whole
// (appserver::Refusal):
// - an inserted code must be complete and must not be in the standard tree or, for a local
//   dish, in its branch's tree already (the same code in other branches' trees is allowed);
// - a modification may not change the key (code or origin);
// - deleting a group that still has children in any tree is refused;
// - deleting a dish removes what hangs on it: recipes and dish data of every level,
//   preparation modes, photos and containers.
void applyLog(Call& call, const framework::DataPacket& log);

} // namespace dishtree
} // namespace appserver
