#pragma once

#include <QString>

namespace server {

class Connection;

// Asks for a supervisor's authorisation of an operation (kind 4: "ALTERACAO_PRATO_PADRAO", ...)
// through Est.rdmAutoriza. An operator who may authorise it himself is not asked; otherwise the
// authorisation prompt asks for a supervisor and password, and a wrong answer is shown and
// asked again (three times at most). True when authorised; false when refused or cancelled.
bool Autoriza(Connection& connection, int kind, const QString& operation, const QString& extra = {});

} // namespace server
