#include "migrations.h"

// The service recipes set as a percentage of an origin recipe: for a service and a dish, the
// recipe level its recipe was taken from (standard, menu type of a central, branch, another
// service) and the percentage applied. The service's recipe itself stays in RECESERV; this is
// what the percentage form shows and changes again.

namespace db {

Migration schemaV8()
{
    return {8, "Receitas de serviço por percentual", {
        R"(CREATE TABLE PERCRECESERV (
            CDFILIAL VARCHAR(4) NOT NULL,
            CDSERVFILI VARCHAR(5) NOT NULL,
            CDFILAUXPRAT VARCHAR(4) NOT NULL,
            CDPRATO VARCHAR(10) NOT NULL,
            IDORIGEMRECE VARCHAR(1) NOT NULL CHECK (IDORIGEMRECE IN ('P', 'T', 'F', 'S')),
            CDFILCENTPME VARCHAR(4),
            CDTIPOCARD VARCHAR(10),
            CDFILIALORI VARCHAR(4) REFERENCES FILIAL,
            CDSERVFILIORI VARCHAR(5),
            VRPERCRECE DOUBLE PRECISION NOT NULL CHECK (VRPERCRECE > 0),
            PRIMARY KEY (CDFILIAL, CDSERVFILI, CDFILAUXPRAT, CDPRATO),
            FOREIGN KEY (CDFILIAL, CDSERVFILI) REFERENCES SERVICO,
            FOREIGN KEY (CDFILAUXPRAT, CDPRATO) REFERENCES PRATO,
            FOREIGN KEY (CDFILCENTPME, CDTIPOCARD) REFERENCES TIPOCARD,
            FOREIGN KEY (CDFILIALORI, CDSERVFILIORI) REFERENCES SERVICO))",
        "CREATE INDEX PERCRECESERV_PRATO ON PERCRECESERV (CDFILAUXPRAT, CDPRATO)",
    }};
}

} // namespace db
