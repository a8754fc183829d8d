#include "levelfields.h"

namespace recipe {

namespace {

LevelFields padrao()
{
    LevelFields f{};
    f.level = Level::Padrao;
    f.letter = "P";
    f.serverLetter = "P";
    f.page = "tshPadrao";
    f.dataSet = "cdsProdPrat";
    f.grid = "dbgProdPrat";
    f.dataSource = "dtsProdPrat";
    f.verifDataSet = "cdsVerifProdPadr";
    f.altProporcional = "chbAltPropPadr";
    f.updateMethod = "UpdProdPrat";
    f.loadMethod = "GetReceitaPad";
    f.netQty = "QTPRODPRAT";
    f.grossQty = "QTBRUTAPRUNR";
    f.requisitionQty = "QTBRUTAPR";
    f.stockUnitQty = "QTUNIDESTPR";
    f.cookingGain = "VRPEFATCOCPR";
    f.cookingYield = "VRPEFATCOCPRAP";
    f.cleaningLoss = "VRPEFATCORPR";
    f.cleaningYield = "VRPEFATCORPRAP";
    f.defrostLoss = "VRPERCDEGELO";
    f.nutritionalYield = "VRPEFATNUTPR";
    f.nutrientQty = "QTCALCNUTRPR";
    f.nutrientBase = "BASECALCNUTR";
    f.prepTime = "HRTEMPPREPPR";
    f.baseProduct = "IDPRODBASEPR";
    f.fixedQty = "IDQTDEFIXPR";
    f.anticipation = "QTLIMSEGPADR";
    f.requisitionType = "IDTPREQPRODPADR";
    f.complement = "QTCOMPLPRODPADR";
    f.directEntry = "IDUTCOMPENTDIRP";
    f.dish = {"cdsDadosPrat", "dtsDadosPrat", "UpdDadosPrat", "medValPadr",
              "NRCORPRIPRAT", "NRCORSEQPRAT", "NRCORAUXPRAT", "QTPADRAOPRAT", "QTCONTAIPRAT",
              "HRVALCONPRAT", "NMFANTASIAPR", "QTAMOSTRPADR", "VRPEMINPADR", "IDFINALPADR",
              "QTLIMSEGPADR", "QTMEDICASEPRATPADR"};
    return f;
}

LevelFields tpCard()
{
    LevelFields f{};
    f.level = Level::TpCard;
    f.letter = "T";
    f.serverLetter = "T";
    f.page = "tshTpCard";
    f.dataSet = "cdsReceTpCard";
    f.grid = "dbgReceTpCard";
    f.dataSource = "dtsReceTpCard";
    f.verifDataSet = "cdsVerifReceTpCard";
    f.altProporcional = "chbAltPropTC";
    f.updateMethod = "UpdReceTpCard";
    f.loadMethod = "GetReceitaTpCard";
    f.centralKey = "CDFILCENTPME";
    f.menuTypeKey = "CDTIPOCARD";
    f.netQty = "QTPRODPRATTP";
    f.grossQty = "QTBRUTAPRUNRTP";
    f.requisitionQty = "QTBRUTAPRTP";
    f.stockUnitQty = "QTUNIDESTPRTP";
    f.cookingGain = "VRPEFATCOCPRTP";
    f.cookingYield = "VRPEFATCOCPRTPAP";
    f.cleaningLoss = "VRPEFATCORPRTP";
    f.cleaningYield = "VRPEFATCORPRTPAP";
    f.defrostLoss = "VRPERCDEGELO";
    f.nutritionalYield = "VRPEFATNUTPRTP";
    f.nutrientQty = "QTCALCNUTRPRTP";
    f.nutrientBase = "BASECALCNUTR";
    f.prepTime = "HRTEMPPREPPRTP";
    f.baseProduct = "IDPRODBASEPRTP";
    f.fixedQty = "IDQTDEFIXPRTP";
    // The menu-type list has no anticipation, requisition type or complement.
    f.dish = {"cdsPratTpCard", "dtsPratTpCard", "UpdPratTpCard", "medValTC",
              "NRCORPRIPRATTP", "NRCORSEQPRATTP", "NRCORAUXPRATTP", "QTPADRAOPRATTP", "QTCONTAIPRATTP",
              "HRVALCONPRATTP", "NMFANTASIAPRTP", "QTAMOSTRPADRTP", "VRPEMINPADRTP", {}, {}, {}};
    return f;
}

LevelFields filial()
{
    LevelFields f{};
    f.level = Level::Filial;
    f.letter = "F";
    f.serverLetter = "L";
    f.page = "tshReceLoca";
    f.dataSet = "cdsReceFili";
    f.grid = "dbgReceFili";
    f.dataSource = "dtsReceFili";
    f.verifDataSet = "cdsVerifReceFili";
    f.altProporcional = "chbAltPropLo";
    f.updateMethod = "UpdReceFili";
    f.loadMethod = "GetReceitaLoc";
    f.branchKey = "CDFILIAL";
    f.netQty = "QTPRODRECLOC";
    f.grossQty = "QTBRUTALOUNR";
    f.requisitionQty = "QTBRUTALO";
    f.stockUnitQty = "QTUNIDESTLO";
    f.cookingGain = "VRPEFATCOCLO";
    f.cookingYield = "VRPEFATCOCLOAP";
    f.cleaningLoss = "VRPEFATCORLO";
    f.cleaningYield = "VRPEFATCORLOAP";
    f.defrostLoss = "VRPERCDEGELO";
    f.nutritionalYield = "VRPEFATNUTLO";
    f.nutrientQty = "QTCALCNUTRLO";
    f.nutrientBase = "BASECALCNUTR";
    f.prepTime = "HRTEMPPREPLO";
    f.baseProduct = "IDPRODBASELO";
    f.fixedQty = "IDQTDEFIXLO";
    f.anticipation = "QTLIMSEGFILI";
    f.requisitionType = "IDTPREQPRODFILI";
    f.complement = "QTCOMPLPRODFILI";
    f.directEntry = "IDUTCOMPENTDIRF";
    f.dish = {"cdsPratFili", "dtsPratFili", "UpdPratFili", "medValLocal",
              "NRCORPRIFILI", "NRCORSEQFILI", "NRCORAUXFILI", "QTPADRAOFILI", "QTCONTAIFILI",
              "HRVALCONFILI", "NMFANTASIAPF", "QTAMOSTRFILI", "VRPEMINFILI", "IDFINALFILI",
              "QTLIMSEGFILI", "QTMEDICASEPRATFILI"};
    return f;
}

LevelFields servico()
{
    LevelFields f{};
    f.level = Level::Servico;
    f.letter = "S";
    f.serverLetter = "S";
    f.page = "tshReceServ";
    f.dataSet = "cdsReceServ";
    f.grid = "dbgReceServ";
    f.dataSource = "dtsReceServ";
    f.verifDataSet = "cdsVerifReceServ";
    f.altProporcional = "chbAltPropServ";
    f.updateMethod = "UpdReceServ";
    f.loadMethod = "GetReceitaSer";
    f.branchKey = "CDFILIAL";
    f.serviceKey = "CDSERVFILI";
    f.netQty = "QTPRODRECSER";
    f.grossQty = "QTBRUTASEUNR";
    f.requisitionQty = "QTBRUTASE";
    f.stockUnitQty = "QTUNIDESTSE";
    f.cookingGain = "VRPEFATCOCSE";
    f.cookingYield = "VRPEFATCOCSEAP";
    f.cleaningLoss = "VRPEFATCORSE";
    f.cleaningYield = "VRPEFATCORSEAP";
    f.defrostLoss = "VRPERCDEGELO";
    f.nutritionalYield = "VRPEFATNUTSE";
    f.nutrientQty = "QTCALCNUTRSE";
    f.nutrientBase = "BASECALCNUTR";
    f.prepTime = "HRTEMPPREPSE";
    f.baseProduct = "IDPRODBASESE";
    f.fixedQty = "IDQTDEFIXSE";
    f.anticipation = "QTLIMSEGSERV";
    f.requisitionType = "IDTPREQPRODSERV";
    f.complement = "QTCOMPLPRODSERV";
    f.directEntry = "IDUTCOMPENTDIRS";
    f.dish = {"cdsPratServ", "dtsPratServ", "UpdPratServ", "medValServ",
              "NRCORPRISERV", "NRCORSEQSERV", "NRCORAUXSERV", "QTPADRAOSERV", "QTCONTAISERV",
              "HRVALCONSERV", "NMFANTASIASE", "QTAMOSTRSERV", "VRPEMINSERV", "IDFINALSERV",
              "QTLIMSEGSERV", "QTMEDICASEPRATSERV"};
    return f;
}

} // namespace

const LevelFields& levelFields(Level level)
{
    static const LevelFields tables[] = {padrao(), tpCard(), filial(), servico()};
    return tables[static_cast<int>(level)];
}

const LevelFields* levelFieldsOfPage(const QString& pageName)
{
    for (Level level : {Level::Padrao, Level::TpCard, Level::Filial, Level::Servico}) {
        const LevelFields& fields = levelFields(level);
        if (fields.page == pageName)
            return &fields;
    }
    return nullptr;
}

} // namespace recipe
