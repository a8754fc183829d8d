#include "migrations.h"

// The optional products of a product: the alternatives a recipe's ingredient may be swapped for
// at the branch, service and menu-type levels.

namespace db {

Migration schemaV9()
{
    return {9, "Produtos opcionais", {
        R"(CREATE TABLE PRODOPC (
            CDPRODUTO VARCHAR(10) NOT NULL REFERENCES PRODUTO,
            CDPRODOPC VARCHAR(10) NOT NULL REFERENCES PRODUTO,
            PRIMARY KEY (CDPRODUTO, CDPRODOPC),
            CHECK (CDPRODOPC <> CDPRODUTO)))",
    }};
}

} // namespace db
