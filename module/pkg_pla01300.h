#pragma once

#include <QtGlobal>

// The package's exported creation functions, resolved by name by the host. Texts are UTF-8.
extern "C" {

// Opens the recipe form (once; later calls show it again).
Q_DECL_EXPORT void CriaReceita();
// Opens the recipe form in query mode on the given branch, or normally when branch is null.
Q_DECL_EXPORT void IniProc(const char* branch);

}
