#pragma once

#include <QString>

namespace server {

class Connection;

// Asks for a supervisor's authorisation of an operation (kind 4: "ALTERACAO_PRATO_PADRAO", ...)
// through Est.rdmAutoriza. An operator who may authorise it himself is not asked; otherwise the
// authorisation prompt asks for a supervisor and password, and a wrong answer is shown and
// asked again (three times at most). True when authorised; false when refused or cancelled. The
// server keeps the authorisation for the session, for the next changes of that operation: as
// many as `changes` (one, or two when a change brings another with it, such as dish data that
// rescales its recipe's rows).
bool Autoriza(Connection& connection, int kind, const QString& operation, const QString& extra = {},
              int changes = 1);

// The same prompt for a change the server refused for want of that authorisation (none was
// asked before sending it, or the one given has been used or has expired): a failed server call
// ends it as a refusal instead of aborting the action.
bool authoriseRefusedChange(Connection& connection, int kind, const QString& operation);

} // namespace server
