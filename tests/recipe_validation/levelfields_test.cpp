#include "recipe/levelfields.h"

#include <QSet>
#include <QStringList>
#include <gtest/gtest.h>

using recipe::Level;
using recipe::LevelFields;
using recipe::levelFields;

namespace {

// The column lists of the four ingredient datasets and of the dish data, as the data catalogue
// writes them, independently of the table under test.
const QSet<QString> catalogue[] = {
    // Padrao: cdsProdPrat and cdsDadosPrat.
    {"QTPRODPRAT", "VRPEFATCOCPR", "VRPEFATCOCPRAP", "VRPEFATCORPR", "VRPEFATCORPRAP", "HRTEMPPREPPR",
     "QTUNIDESTPR", "QTBRUTAPRUNR", "QTBRUTAPR", "IDPRODBASEPR", "VRPEFATNUTPR", "QTCALCNUTRPR", "IDQTDEFIXPR",
     "QTLIMSEGPADR", "IDTPREQPRODPADR", "QTCOMPLPRODPADR", "IDUTCOMPENTDIRP", "VRPERCDEGELO", "BASECALCNUTR",
     "NRCORPRIPRAT", "NRCORSEQPRAT", "NRCORAUXPRAT", "QTPADRAOPRAT", "QTCONTAIPRAT", "HRVALCONPRAT",
     "NMFANTASIAPR", "QTAMOSTRPADR", "VRPEMINPADR", "IDFINALPADR", "QTMEDICASEPRATPADR"},
    // TpCard: cdsReceTpCard and cdsPratTpCard.
    {"QTPRODPRATTP", "QTBRUTAPRUNRTP", "QTBRUTAPRTP", "QTUNIDESTPRTP", "VRPEFATCOCPRTP", "VRPEFATCOCPRTPAP",
     "VRPEFATCORPRTP", "VRPEFATCORPRTPAP", "VRPEFATNUTPRTP", "QTCALCNUTRPRTP", "HRTEMPPREPPRTP", "IDPRODBASEPRTP",
     "IDQTDEFIXPRTP", "VRPERCDEGELO", "BASECALCNUTR", "CDTIPOCARD", "CDFILCENTPME", "NRCORPRIPRATTP",
     "NRCORSEQPRATTP", "NRCORAUXPRATTP", "QTPADRAOPRATTP", "QTCONTAIPRATTP", "HRVALCONPRATTP", "NMFANTASIAPRTP",
     "QTAMOSTRPADRTP", "VRPEMINPADRTP"},
    // Filial: cdsReceFili and cdsPratFili.
    {"QTPRODRECLOC", "QTBRUTALOUNR", "QTBRUTALO", "QTUNIDESTLO", "VRPEFATCOCLO", "VRPEFATCOCLOAP", "VRPEFATCORLO",
     "VRPEFATCORLOAP", "VRPEFATNUTLO", "QTCALCNUTRLO", "HRTEMPPREPLO", "IDPRODBASELO", "IDQTDEFIXLO", "QTLIMSEGFILI",
     "IDTPREQPRODFILI", "QTCOMPLPRODFILI", "IDUTCOMPENTDIRF", "VRPERCDEGELO", "BASECALCNUTR", "CDFILIAL",
     "NRCORPRIFILI", "NRCORSEQFILI", "NRCORAUXFILI", "QTPADRAOFILI", "QTCONTAIFILI", "HRVALCONFILI", "NMFANTASIAPF",
     "QTAMOSTRFILI", "VRPEMINFILI", "IDFINALFILI", "QTMEDICASEPRATFILI"},
    // Servico: cdsReceServ and cdsPratServ.
    {"QTPRODRECSER", "QTBRUTASEUNR", "QTBRUTASE", "QTUNIDESTSE", "VRPEFATCOCSE", "VRPEFATCOCSEAP", "VRPEFATCORSE",
     "VRPEFATCORSEAP", "VRPEFATNUTSE", "QTCALCNUTRSE", "HRTEMPPREPSE", "IDPRODBASESE", "IDQTDEFIXSE", "QTLIMSEGSERV",
     "IDTPREQPRODSERV", "QTCOMPLPRODSERV", "IDUTCOMPENTDIRS", "VRPERCDEGELO", "BASECALCNUTR", "CDFILIAL",
     "CDSERVFILI", "NRCORPRISERV", "NRCORSEQSERV", "NRCORAUXSERV", "QTPADRAOSERV", "QTCONTAISERV", "HRVALCONSERV",
     "NMFANTASIASE", "QTAMOSTRSERV", "VRPEMINSERV", "IDFINALSERV", "QTMEDICASEPRATSERV"},
};

QStringList fieldNames(const LevelFields& f)
{
    return {f.branchKey, f.serviceKey, f.centralKey, f.menuTypeKey, f.netQty, f.grossQty, f.requisitionQty,
            f.stockUnitQty, f.cookingGain, f.cookingYield, f.cleaningLoss, f.cleaningYield, f.defrostLoss,
            f.nutritionalYield, f.nutrientQty, f.nutrientBase, f.prepTime, f.baseProduct, f.fixedQty,
            f.anticipation, f.requisitionType, f.complement, f.directEntry, f.dish.colorPrincipal,
            f.dish.colorSecondary, f.dish.colorAuxiliary, f.dish.qtyPerPerson, f.dish.qtyPerContainer,
            f.dish.validityHours, f.dish.fancyName, f.dish.sampleQty, f.dish.minPercent, f.dish.finalOrigin,
            f.dish.anticipation, f.dish.householdQty};
}

class LevelFieldsTest : public ::testing::TestWithParam<Level> {};

} // namespace

// Every name of the table is a column of the level's datasets, and every column of the
// catalogue's lists has its place in the table: no misspelt and no forgotten name.
TEST_P(LevelFieldsTest, NamesAreTheLevelsColumns)
{
    const LevelFields& f = levelFields(GetParam());
    const QSet<QString>& expected = catalogue[static_cast<int>(GetParam())];
    QSet<QString> named;
    for (const QString& name : fieldNames(f)) {
        if (name.isEmpty())
            continue;
        EXPECT_TRUE(expected.contains(name)) << name.toStdString() << " of " << f.dataSet.toStdString();
        named.insert(name);
    }
    for (const QString& name : expected)
        EXPECT_TRUE(named.contains(name)) << name.toStdString() << " missing from " << f.dataSet.toStdString();
}

INSTANTIATE_TEST_SUITE_P(EveryLevel, LevelFieldsTest,
                         ::testing::Values(Level::Padrao, Level::TpCard, Level::Filial, Level::Servico),
                         [](const auto& info) { return levelFields(info.param).dataSet.toStdString(); });

TEST(LevelFields, IrregularNamesAndComponents)
{
    const LevelFields& p = levelFields(Level::Padrao);
    const LevelFields& t = levelFields(Level::TpCard);
    const LevelFields& f = levelFields(Level::Filial);
    const LevelFields& s = levelFields(Level::Servico);

    EXPECT_EQ(f.netQty, "QTPRODRECLOC");
    EXPECT_EQ(f.grossQty, "QTBRUTALOUNR");
    EXPECT_EQ(s.grossQty, "QTBRUTASEUNR");
    EXPECT_EQ(t.cookingYield, "VRPEFATCOCPRTPAP");
    EXPECT_EQ(f.dish.fancyName, "NMFANTASIAPF");
    EXPECT_EQ(p.dish.anticipation, p.anticipation); // the standard list and dish data share QTLIMSEGPADR
    // The defrost loss keeps one name on every level.
    EXPECT_EQ(t.defrostLoss, "VRPERCDEGELO");
    EXPECT_EQ(s.defrostLoss, "VRPERCDEGELO");
    // The menu-type list has no requisition data and its dish data no household measure.
    EXPECT_TRUE(t.requisitionType.isEmpty() && t.complement.isEmpty() && t.anticipation.isEmpty()
                && t.directEntry.isEmpty() && t.dish.householdQty.isEmpty());

    EXPECT_EQ(QStringList({p.letter, t.letter, f.letter, s.letter}), QStringList({"P", "T", "F", "S"}));
    EXPECT_EQ(f.serverLetter, "L");
    EXPECT_EQ(QStringList({p.dataSet, p.grid, p.dataSource}), QStringList({"cdsProdPrat", "dbgProdPrat", "dtsProdPrat"}));
    EXPECT_EQ(QStringList({t.dataSet, f.dataSet, s.dataSet}), QStringList({"cdsReceTpCard", "cdsReceFili", "cdsReceServ"}));
    EXPECT_EQ(QStringList({t.grid, f.dataSource, s.verifDataSet}), QStringList({"dbgReceTpCard", "dtsReceFili", "cdsVerifReceServ"}));

    EXPECT_EQ(recipe::levelFieldsOfPage("tshReceServ"), &s);
    EXPECT_EQ(recipe::levelFieldsOfPage("tshTpCard"), &t);
    EXPECT_EQ(recipe::levelFieldsOfPage("tshModoPrep"), nullptr);
}
