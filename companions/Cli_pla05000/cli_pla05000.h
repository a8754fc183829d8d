#pragma once

#include <QString>

class TfrmNutriPrat;

// The unit of the dish nutrients report: its nutrient lists, kept between the form's commands.
namespace Cli_pla05000 {

extern QString stNutriente;      // chosen nutrient codes (3 characters) joined by "_"
extern QString stNutriColuna;    // up to four of them, each followed by "_" (at most 16 characters)
extern TfrmNutriPrat* frmNutriPrat; // the form while it is open

// Creates a new form at every call, shows it modally and gives the modal result.
int CriaNutriPrat();

} // namespace Cli_pla05000
