#pragma once

#include "appserver/serverobject.h"
#include "containers.h"
#include "fotos.h"
#include "ingredientes.h"
#include "niveisreceita.h"
#include "percentualreceita.h"
#include "replicareceita.h"
#include "substituicao.h"

namespace appserver {

// Pla01300.rdmReceitaPadrao: parameters, centrals, the dish tree and the dish record of the recipe
// form.
class RdmReceitaPadrao : public ServerObject,
                         public Ingredientes,
                         public NiveisReceita,
                         public ContainersPrato,
                         public FotosPrato,
                         public PercentualReceita,
                         public ReplicaReceita,
                         public Substituicao {
public:
    RdmReceitaPadrao();

    QVariant GetParamPlaneja(Call& call) const;  // (branch) planning parameters
    QVariant GetParamGeral(Call& call) const;    // () general parameters
    QVariant GetGerParamGeral(Call& call) const; // () IDPERMSELCENTRALPLA
    QVariant GetCentral(Call& call) const;       // (code or "T", the caller's operator) centrals he may use
    QVariant GetParams(Call& call) const;        // (branch) [general, planning, products with stock flag]
    QVariant GetPrato(Call& call) const;         // (branch, byref: padded to 4) standard dishes and the branch's own
    QVariant GetPratoAux(Call& call) const;      // (branch) dish keys of the same tree
    void UpdParamGeral(Call& call) const;        // (change log of the general parameters)

    // (level, code pattern, branch, branch module, level width, current code, last-level flag)
    // The highest code of the level under the pattern's prefix, null when there is none.
    QVariant GetProxCodPrato(Call& call) const;
    // (dish code) [rows (CDPRATO, CDFILAUXPRAT) of every tree holding it, true when it may not
    // be used for a new standard dish: incomplete, or already in the standard tree]
    QVariant GetExistPrat(Call& call) const;
    void UpdPrato(Call& call) const; // (change log of the dish record) see dishtree::applyLog

    // Page loaders, a group of dishes at a time: [ingredient list, dish data] (see receitas.h).
    QVariant GetReceitaPad(Call& call) const;    // (group, branch byref)
    QVariant GetReceitaTpCard(Call& call) const; // (group, branch byref, central, menu type)
    QVariant GetReceitaLoc(Call& call) const;    // (group, branch byref, recipe branch)
    QVariant GetReceitaSer(Call& call) const;    // (group, branch byref, service's branch, service)
    // Change logs of the ingredient lists.
    void UpdProdPrat(Call& call) const;
    void UpdReceTpCard(Call& call) const;
    void UpdReceFili(Call& call) const;
    void UpdReceServ(Call& call) const;
    // The lists of the recipes-by-product report (rdmreceitapadrao_receprod.cpp).
    QVariant GetAgrupFili(Call& call) const;      // () CDGRUPFILI, NMGRUPFILI
    QVariant GetFiliaisdoGrupo(Call& call) const; // (grouping) IDMARCADO, CDFILIAL, NMFILIAL
    // (grouping or empty, branch code or "T" or a branch list) IDMARCADO, NMFILIAL, CDCHAVE
    // (branch + service), CDSERVFILI, NMSERVICO
    QVariant GetServico(Call& call) const;

    // Preparation modes (modospreparo.cpp). Loaders: (CDFILAUXPRAT, CDPRATO[, branch[, service]]).
    QVariant GetPrepPad(Call& call) const;
    QVariant GetPrepFil(Call& call) const;
    QVariant GetPrepSer(Call& call) const;
    // (CDFILAUXPRAT, CDPRATO, branch byref, service byref) one row: the level's next mode number
    // in its NRPREP... column, null when the dish has none yet, 99 when no number is left.
    QVariant GetProxCodigoPrat(Call& call) const;
    void UpdPrepPad(Call& call) const;
    void UpdPrepFil(Call& call) const;
    void UpdPrepSer(Call& call) const;
    // (CDFILAUXPRAT, CDPRATO, branch, service, level "P"/"F"/"S") TXPREPARO of the active mode.
    QVariant GetImportaPrep(Call& call) const;
    // (selection byref: "T" all, else by number; number byref) preparation forms.
    QVariant GetVdFormaPreparo(Call& call) const;

    // Dish data of the levels (rdmreceitapadrao_dadosprato.cpp): (change log, null-field list)
    // see receitas::atualizaDados.
    void UpdDadosPrat(Call& call) const;
    void UpdPratFili(Call& call) const;
    void UpdPratServ(Call& call) const;
    // (CDFILAUXPRAT, CDPRATO) "S" when the dish has no standard recipe to revise, else "N".
    QVariant Verif_PratRecPadrao(Call& call) const;
    QVariant getMediCase(Call& call) const; // () CDMEDICASE, NMMEDICASE
    QVariant vdMediCase(Call& call) const;  // (code) the household measure, or no row

private:
    void registerReceProd();
    void registraDadosPrato();
    void registraIngredientes(); // ingredientes.h
    void registraNiveis();       // niveisreceita.h
    void registraContainers();   // containers.h
    void registraFotos();        // fotos.h
    void registraPercentual();   // percentualreceita.h
    void registraReplica();      // replicareceita.h
    void registraSubstituicao(); // substituicao.h
};

} // namespace appserver
