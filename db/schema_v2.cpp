#include "migrations.h"

// Indexes for removing a dish: the recipe and dish-data tables of the branch, service and
// menu-type levels lead their keys with the site, so finding one dish's rows there read the
// whole table. The dish codes of every tree are also searched by prefix (the children of a
// group); PostgreSQL serves that range from an index in byte order.

namespace db {

Migration schemaV2()
{
    return {2, "Índices por prato", {
        "CREATE INDEX RECEFILI_PRATO ON RECEFILI (CDFILAUXPRAT, CDPRATO)",
        "CREATE INDEX RECESERV_PRATO ON RECESERV (CDFILAUXPRAT, CDPRATO)",
        "CREATE INDEX RECETPCARD_PRATO ON RECETPCARD (CDFILAUXPRAT, CDPRATO)",
        "CREATE INDEX PRATFILI_PRATO ON PRATFILI (CDFILAUXPRAT, CDPRATO)",
        "CREATE INDEX PRATSERV_PRATO ON PRATSERV (CDFILAUXPRAT, CDPRATO)",
        "CREATE INDEX PRATTPCARD_PRATO ON PRATTPCARD (CDFILAUXPRAT, CDPRATO)",
        R"({POSTGRES}CREATE INDEX PRATO_CDPRATO_C ON PRATO (CDPRATO COLLATE "C"))",
    }};
}

} // namespace db
