#pragma once

#include <QString>

class TfrmReceitaPadrao;

// The exported variables of the recipe form's unit.
namespace Cli_pla01300 {

extern TfrmReceitaPadrao* frmReceitaPadrao; // the single instance, valid while boIdCriado
extern bool boIdCriado;                     // the recipe form exists
extern bool boConsulta;                     // opened by IniProc on one branch: editing blocked
extern QString stFilialC;                   // the branch given to IniProc
extern int inContCheck;                     // containers of the current dish marked as main

// Shelf life given in days, months or years is kept in hours (months of 30 days, years of 360).
constexpr double constDoHorasDia = 24.0;
constexpr double constDoHorasMeses = 720.0;
constexpr double constDoHorasAnos = 8640.0;

void initialization(); // at package load
void finalization();   // at package unload

} // namespace Cli_pla01300
