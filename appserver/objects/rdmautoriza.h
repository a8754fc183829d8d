#pragma once

#include "appserver/serverobject.h"

namespace appserver {

// Est.rdmAutoriza: who may authorise which operation.
class RdmAutoriza : public ServerObject {
public:
    RdmAutoriza();

    // (operator, kind, operation) -> boolean: the operator may authorise it without asking.
    QVariant TemAutorizacao(Call& call) const;
    // (user, password, kind, operation, extra text) -> text: empty when the user's password is
    // right and the user may authorise the operation, otherwise the reason in Portuguese.
    QVariant Autoriza(Call& call) const;
};

} // namespace appserver
