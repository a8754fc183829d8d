#pragma once

#include <QString>

namespace framework {

class ClientDataSet;
class DataSource;

// Checks of typed codes against the host's code pictures (kind 0 product, 1 dish).
namespace Tabvalid {

enum ValidOption {
    voQualquerNivel = 0, // a group code of any level is accepted
    voNivelCompleto = 1, // only a code of the last level (a dish or product proper)
};

// Checks code against the picture of kind: the picture's separators ('.') and trailing blanks
// are removed (the code comes back adjusted), the code must end exactly at a level and each
// character must fit the picture. Blanks inside are let through: the callers refuse a level
// not filled in with their own message. The data source names the list the code is meant for; the
// check itself reads only the picture (the callers look the code up in their list afterwards).
// On failure: with raise, shows message (or a standard text) and aborts; else gives false.
bool ValidEx(DataSource* source, int kind, QString& code, int option = voQualquerNivel,
             const QString& message = {}, bool raise = true);

} // namespace Tabvalid

// Sets the blank text fields of the current record to null (the dataset is being edited).
void Seta_Campo_Null(ClientDataSet& dataSet);

} // namespace framework
