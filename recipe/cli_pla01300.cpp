#include "cli_pla01300.h"

namespace Cli_pla01300 {

TfrmReceitaPadrao* frmReceitaPadrao = nullptr;
bool boIdCriado = false;
bool boConsulta = false;
QString stFilialC;
int inContCheck = 0;

void initialization() { boIdCriado = false; }

void finalization() { stFilialC.clear(); }

} // namespace Cli_pla01300
