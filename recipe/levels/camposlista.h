#pragma once

namespace framework {
class ClientDataSet;
}

namespace recipe {

struct LevelFields;

// Declares the fields of a level's ingredient list (cdsProdPrat, ...) as its page loader gives
// them, named from the level's field table. The product code CDARVPROD carries tag 1: the
// product code columns of the grids.
void declaraCamposLista(framework::ClientDataSet& list, const LevelFields& level);

} // namespace recipe
