#pragma once

#include <QString>

namespace framework {

// Checks a branch code typed by the operator against the host's database and gives the
// branch's name. An empty code passes (with an empty name) unless required; an empty required
// code or an unknown one shows its message and aborts (MensErro). Every operator may work on
// every registered branch: the operator is taken for the callers' sake, not checked.
QString ValidaFilial(const QString& code, const QString& operador, bool required = true);

} // namespace framework
