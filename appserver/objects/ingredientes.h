#pragma once

#include "appserver/call.h"

namespace appserver {

// The product lookups and row-wide updates of the recipe form's ingredient lists
// (Pla01300.rdmReceitaPadrao). Mixed into that object, which registers them.
class Ingredientes {
public:
    // (levels, grouping) products a recipe may use: last-level, active, own stock product,
    // under the grouping's code when one is set
    QVariant getPesqProduto(Call& call) const;
    // (levels, branch, grouping) the same, less what the branch has taken out of its line
    QVariant GetProdutoCache(Call& call) const;
    // (branch, levels, product tree code) "PROD_INATIVO" when inactive, else empty
    QVariant Verif_Status_Prod(Call& call) const;
    // (branch, product) true when the product keeps no stock: it cannot be an ingredient
    QVariant GetVerifProd(Call& call) const;
    // (product) the registered cleaning loss, "0" when none
    QVariant GetValorProduto(Call& call) const;
    // (branch, levels, dish, owner, service, "RP", "RL", "RS", "RT", central, menu type; "x" in
    // the slots of the other kinds) the ingredients of the recipe with their active flags (TAB,
    // CDARVPROD, IDPRODATIVPR, IDPRODATIV)
    QVariant Verif_Prod_Inativo(Call& call) const;
    // (production product, owner, dish, level, branch, service) the recipes of other dishes
    // producing the same product (TIPO, RECEITA)
    QVariant VerificaProdProd(Call& call) const;
    // (branch, owner, dish, level "P", "L", "S") empty when the last ingredient may go, else why
    // not: "Prato_RecPadrao", or "Prato_RecRevisada" for a dish on one of the branch's menus
    QVariant Verif_DelReceita(Call& call) const;
    // (owner, dish, flag, branch byref, group) every row of the dish's standard recipe gets the
    // base-product flag; answers the group's standard list
    QVariant ProUpProdBasePR(Call& call) const;
    // (level, owner, dish, branch, service, flag, working branch byref, group) the same with the
    // fixed-quantity flag, on the level's list; level "T" takes the central and the menu type in
    // the branch and service slots
    QVariant ProUpdQtdeFix(Call& call) const;
    // Quantity updates of the lists, from change logs.
    void UpdUpQtdePadr(Call& call) const;
    void UpdUpQtdeLo(Call& call) const;
    void UpdUpQtdeServ(Call& call) const;
};

} // namespace appserver
