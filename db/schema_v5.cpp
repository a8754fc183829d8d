#include "migrations.h"

// Operator groups with their parameters (a group may be allowed to change revised recipes), the
// dishes on the branches' menus, which keep their revised recipes, and the defrost loss of the
// menu-type recipes.

namespace db {

Migration schemaV5()
{
    return {5, "Grupos de operadores e pratos dos cardápios", {
        R"(CREATE TABLE GRUPOUSUA (
            CDGRUPOUSUA VARCHAR(10) NOT NULL PRIMARY KEY,
            NMGRUPOUSUA VARCHAR(40) NOT NULL))",
        R"(CREATE TABLE PARAMGRUPUSUA (
            CDGRUPOUSUA VARCHAR(10) NOT NULL REFERENCES GRUPOUSUA,
            CDPARAMGRUP VARCHAR(10) NOT NULL,
            VRPARAMGRUP INTEGER NOT NULL,
            PRIMARY KEY (CDGRUPOUSUA, CDPARAMGRUP)))",
        "ALTER TABLE USUARIO ADD COLUMN CDGRUPOUSUA VARCHAR(10) REFERENCES GRUPOUSUA",
        R"(CREATE TABLE CARDPRATO (
            CDFILIAL VARCHAR(4) NOT NULL,
            CDSERVFILI VARCHAR(5) NOT NULL,
            DTCARDAPIO DATE NOT NULL,
            CDFILAUXPRAT VARCHAR(4) NOT NULL,
            CDPRATO VARCHAR(10) NOT NULL,
            PRIMARY KEY (CDFILIAL, CDSERVFILI, DTCARDAPIO, CDFILAUXPRAT, CDPRATO),
            FOREIGN KEY (CDFILIAL, CDSERVFILI) REFERENCES SERVICO,
            FOREIGN KEY (CDFILAUXPRAT, CDPRATO) REFERENCES PRATO))",
        "CREATE INDEX CARDPRATO_PRATO ON CARDPRATO (CDFILAUXPRAT, CDPRATO)",
        // The menu-type recipes weigh the defrost loss as the other levels do.
        "ALTER TABLE RECETPCARD ADD COLUMN VRPERCDEGELO DOUBLE PRECISION",
    }};
}

} // namespace db
