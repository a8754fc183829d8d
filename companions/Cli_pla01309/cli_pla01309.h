#pragma once

#include <QString>

class TfrmImpPrato;

// The unit of the recipe review form (import and export of recipes between levels).
namespace Cli_pla01309 {

extern TfrmImpPrato* frmImpPrato; // the form while it is open
extern bool boIdCriado;           // the form exists (set at creation, cleared when it closes)
extern bool boAlt_Qt_Prop;        // a quantity per person was changed and its ratio not yet answered
extern bool boIdMarcado;          // the last mark given by a click: the next title click unmarks all
extern QString stNivel;           // the level of the recipe page the review was opened from

// Opens the form modally, creating it when it does not exist; the recipe form passes "P", "F"
// or "S" after its page.
void CriaImportacaoPrato(const QString& nivel);

} // namespace Cli_pla01309
