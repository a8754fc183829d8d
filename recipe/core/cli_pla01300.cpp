#include "cli_pla01300.h"

namespace Cli_pla01300 {

TfrmReceitaPadrao* frmReceitaPadrao = nullptr;
bool boIdCriado = false;
bool boConsulta = false;
QString stFilialC;
int inContCheck = 0;

void initialization() { boIdCriado = false; }

void finalization() { stFilialC.clear(); }

namespace {
// Loading and unloading the package run the unit's sections. Defined after the variables, so it
// is destroyed before them.
struct UnitSections {
    UnitSections() { initialization(); }
    ~UnitSections() { finalization(); }
} unitSections;
} // namespace

} // namespace Cli_pla01300
