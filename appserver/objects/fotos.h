#pragma once

#include "appserver/call.h"

namespace appserver {

// The numbered photos of a dish on the standard, branch and service levels
// (Pla01300.rdmReceitaPadrao). A photo's bytes are stored and answered as they came (BLOB on
// SQLite, BYTEA on PostgreSQL). Mixed into that object, which registers them.
class FotosPrato {
public:
    // (working branch byref, dish code byref) the standard photos of the dish in that branch's tree
    QVariant GetFotoPraPad(Call& call) const;
    // (branch, dish code byref) the branch's photos of the dish
    QVariant GetFotoPraFil(Call& call) const;
    // (branch, dish code byref) the photos of the dish in every service of the branch
    QVariant GetFotoPraSer(Call& call) const;
    // (CDFILAUXPRAT, dish code, branch byref, service byref) one row: the level's next photo
    // number in its NRFOTOPRA... column, null when the dish has none yet, 99 when none is left.
    // No branch is the standard level, no service the branch's.
    QVariant GetProxCodigoFto(Call& call) const;
    // Change logs of the levels; a dish keeps at most one active photo on each level.
    void UpdFotoPraPad(Call& call) const;
    void UpdFotoPraFil(Call& call) const;
    void UpdFotoPraSer(Call& call) const;
};

} // namespace appserver
