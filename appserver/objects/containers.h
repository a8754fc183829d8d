#pragma once

#include "appserver/call.h"

namespace appserver {

// The containers a dish is packed in for transport, with the dish's quantity per container and
// one principal container, and the container catalogue (Pla01300.rdmReceitaPadrao). Mixed into
// that object, which registers them.
class ContainersPrato {
public:
    // (dish code, CDFILAUXPRAT) IDPRATCONTPRI, CDFILAUXPRAT, CDPRATO, CDCONTAINER, QTPRATCONTAINER,
    // NMCONTAINER of the dish's containers
    QVariant GetPratoContainer(Call& call) const;
    // () the catalogue: CDCONTAINER, NMCONTAINER, QTCONTAINER, IDMARCADO ("N")
    QVariant GetContainer(Call& call) const;
    // (container, dish code, CDFILAUXPRAT) true when the dish already has the container
    QVariant GetVdContainer(Call& call) const;
    // (change log of the dish's containers) a dish keeps at most one principal container: a row
    // made principal takes the mark from the former one in the same transaction
    void SetContainer(Call& call) const;
    // (CDFILAUXPRAT, dish code) called before a row is marked principal; the mark moves with the
    // save of that row, so this changes nothing
    void UpdContainer(Call& call) const;
};

} // namespace appserver
