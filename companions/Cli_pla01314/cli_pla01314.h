#pragma once

#include <QString>

class TfrmPercentSobreReceita;

// The unit of the form that sets service recipes as a percentage of an origin recipe.
namespace Cli_pla01314 {

extern TfrmPercentSobreReceita* frmPercentSobreReceita; // the form while it is open
extern bool boIdCriado;                                 // the form exists (set at creation, cleared when it closes)

// Opens the form modally for a dish (its owner, "P" or a branch, and its code), creating it when
// it does not exist. Gives mrOk when the form stored something (the caller reads its service
// recipes again), mrCancel otherwise.
int CriaPercentualdeReceita(const QString& cdFilAuxPrat, const QString& cdPrato);

} // namespace Cli_pla01314
