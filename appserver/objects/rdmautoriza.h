#pragma once

#include "appserver/serverobject.h"

namespace appserver {

// Est.rdmAutoriza: who may authorise which operation.
class RdmAutoriza : public ServerObject {
public:
    RdmAutoriza();

    // (operator, kind, operation) -> boolean: the operator may authorise it without asking. The
    // operator is the caller's.
    QVariant TemAutorizacao(Call& call) const;
    // (user, password, kind, operation, extra text) -> text: empty when the user's password is
    // right and the user may authorise the operation, otherwise the reason in Portuguese. An
    // authorisation is kept for the caller's session as a grant that one change of that
    // operation uses (guards.h), for a short time.
    QVariant Autoriza(Call& call) const;
};

} // namespace appserver
