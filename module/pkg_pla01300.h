#pragma once

#include <QtGlobal>

// The package's exported creation functions, resolved by name by the host. Texts are UTF-8.
extern "C" {

// Opens the recipe form (once; later calls show it again).
Q_DECL_EXPORT void CriaReceita();
// Opens the recipe form in query mode on the given branch, or normally when branch is null.
Q_DECL_EXPORT void IniProc(const char* branch);

// Shows the nutrients of one dish at one recipe level, modally. "X" in a code means absent; a
// branch recipe passes "X" as its service.
Q_DECL_EXPORT void CriaNutrPrat(const char* cdCentral, const char* nmCentral, const char* cdTpCard,
                                const char* nmTpCard, const char* cdFilial, const char* nmFilial,
                                const char* cdServFili, const char* nmServico, const char* cdPrato,
                                const char* nmPrato, const char* cdFilaux);
// Shows what one dish costs at one recipe level, modally. An empty text (or null) is absent;
// cdFilialRef is the branch whose prices and processing date apply.
Q_DECL_EXPORT void CriaCustoPrato(const char* cdCentral, const char* nmCentral, const char* cdTpCard,
                                  const char* nmTpCard, const char* cdFilial, const char* nmFilial,
                                  const char* cdFilialRef, const char* cdServico, const char* nmServico,
                                  const char* cdPrato, const char* nmPrato, const char* cdFilAuxPrat);

// Copies recipes of a range of dishes from one recipe level to another (the recipe form's review
// of recipes), modally; level is the recipe page's: "P", "F" or "S".
Q_DECL_EXPORT void CriaImportacaoPrato(const char* level);

// Replicates the recipes of chosen dishes from one origin recipe to the service recipes of chosen
// services of a branch, each at its own percentage, modally; gives 1 (OK) after a replication,
// 2 when the user closed without one.
Q_DECL_EXPORT int CriaReplicaPorServico();

// Sets the recipes of services of a branch as percentages of origin recipes for one dish (its
// owner, "P" or a branch, and its code), modally; gives 1 (OK) when something was stored, 2 when
// the user closed without storing.
Q_DECL_EXPORT int CriaPercentualdeReceita(const char* cdFilAuxPrat, const char* cdPrato);

// Prints the nutrients of the recipes of a range of dishes (a new form at every call, modally);
// gives the modal result.
Q_DECL_EXPORT int CriaNutriPrat();

}
