#include "migrations.h"

// The weight of one stock unit of each product, in kilograms, for the reports that weigh dishes.
// The rule is the unit conversion of the recipe pages, from the product's stock unit to KG: the
// product's own conversion first (how many stock units one kilogram holds), then the general
// conversions, forward as stored or backwards; a factor of 0 weighs 0. Null when no conversion
// leads to KG.

namespace db {

Migration schemaV6()
{
    return {6, "Peso em kg da unidade de estoque dos produtos", {
        R"(CREATE VIEW PRODUTOKG AS
           SELECT P.CDPRODUTO,
                  CASE WHEN P.SGUNIDADE = 'KG' THEN 1.0
                  ELSE COALESCE(
                      (SELECT CASE WHEN ABS(COALESCE(C.VRFATOCONVES, 0)) < 0.000005 THEN 0.0
                                   ELSE 1.0 / C.VRFATOCONVES END
                         FROM CONVPRODUTO C WHERE C.CDPRODUTO = P.CDPRODUTO AND C.SGUNIDADE = 'KG'),
                      (SELECT CASE WHEN U.IDTIPOPE = '*' THEN COALESCE(U.VRFTCONVER, 0)
                                   WHEN ABS(COALESCE(U.VRFTCONVER, 0)) < 0.000005 THEN 0.0
                                   ELSE 1.0 / U.VRFTCONVER END
                         FROM CONVUNID U WHERE U.SGUNIDDE = P.SGUNIDADE AND U.SGUNIDPARA = 'KG'),
                      (SELECT CASE WHEN COALESCE(U.IDTIPOPE, '') <> '*' THEN COALESCE(U.VRFTCONVER, 0)
                                   WHEN ABS(COALESCE(U.VRFTCONVER, 0)) < 0.000005 THEN 0.0
                                   ELSE 1.0 / U.VRFTCONVER END
                         FROM CONVUNID U WHERE U.SGUNIDDE = 'KG' AND U.SGUNIDPARA = P.SGUNIDADE))
                  END AS VRFATORKG
             FROM PRODUTO P)",
    }};
}

} // namespace db
