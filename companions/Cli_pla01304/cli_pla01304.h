#pragma once

#include <QString>

class TfrmConsNutrPrat;

// The exported variables of the dish nutrition query's unit: the arguments of CriaNutrPrat as the
// form reads them ("X" in a code: absent), and the form while it is open.
namespace Cli_pla01304 {

extern QString stCdCentral;
extern QString stNmCentral;
extern QString stCdTpCard;
extern QString stNmTpCard;
extern QString stCdFilial;
extern QString stNmFilial;
extern QString stCdServFili;
extern QString stNmServico;
extern QString stCdPrato;
extern QString stNmPrato;
extern QString stCdFilaux; // CDFILAUXPRAT: "P" for a standard dish, else the branch owning a local dish
extern TfrmConsNutrPrat* frmConsNutrPrat;

// Creates the form on the variables and shows it modally until it closes.
void CriaNutrPrat();

} // namespace Cli_pla01304
