#include "recipe/core/levelfields.h"

#include <QSet>
#include <QStringList>
#include <gtest/gtest.h>

using recipe::Level;
using recipe::LevelFields;
using recipe::levelFields;

namespace {

// The columns of each level's ingredient list and dish data as the data catalogue lists them.
const QSet<QString> catalogue[] = {
    {"QTPRODPRAT", "VRPEFATCOCPR", "VRPEFATCOCPRAP", "VRPEFATCORPR", "VRPEFATCORPRAP", "HRTEMPPREPPR", "QTUNIDESTPR",
     "QTBRUTAPRUNR", "QTBRUTAPR", "IDPRODBASEPR", "VRPEFATNUTPR", "QTCALCNUTRPR", "IDQTDEFIXPR", "QTLIMSEGPADR",
     "IDTPREQPRODPADR", "QTCOMPLPRODPADR", "IDUTCOMPENTDIRP", "VRPERCDEGELO", "BASECALCNUTR", "NRCORPRIPRAT",
     "NRCORSEQPRAT", "NRCORAUXPRAT", "QTPADRAOPRAT", "QTCONTAIPRAT", "HRVALCONPRAT", "NMFANTASIAPR", "QTAMOSTRPADR",
     "VRPEMINPADR", "IDFINALPADR", "QTMEDICASEPRATPADR"},
    {"QTPRODPRATTP", "QTBRUTAPRUNRTP", "QTBRUTAPRTP", "QTUNIDESTPRTP", "VRPEFATCOCPRTP", "VRPEFATCOCPRTPAP",
     "VRPEFATCORPRTP", "VRPEFATCORPRTPAP", "VRPEFATNUTPRTP", "QTCALCNUTRPRTP", "HRTEMPPREPPRTP", "IDPRODBASEPRTP",
     "IDQTDEFIXPRTP", "VRPERCDEGELO", "BASECALCNUTR", "CDTIPOCARD", "CDFILCENTPME", "NRCORPRIPRATTP",
     "NRCORSEQPRATTP", "NRCORAUXPRATTP", "QTPADRAOPRATTP", "QTCONTAIPRATTP", "HRVALCONPRATTP", "NMFANTASIAPRTP",
     "QTAMOSTRPADRTP", "VRPEMINPADRTP"},
    {"QTPRODRECLOC", "QTBRUTALOUNR", "QTBRUTALO", "QTUNIDESTLO", "VRPEFATCOCLO", "VRPEFATCOCLOAP", "VRPEFATCORLO",
     "VRPEFATCORLOAP", "VRPEFATNUTLO", "QTCALCNUTRLO", "HRTEMPPREPLO", "IDPRODBASELO", "IDQTDEFIXLO", "QTLIMSEGFILI",
     "IDTPREQPRODFILI", "QTCOMPLPRODFILI", "IDUTCOMPENTDIRF", "VRPERCDEGELO", "BASECALCNUTR", "CDFILIAL",
     "NRCORPRIFILI", "NRCORSEQFILI", "NRCORAUXFILI", "QTPADRAOFILI", "QTCONTAIFILI", "HRVALCONFILI", "NMFANTASIAPF",
     "QTAMOSTRFILI", "VRPEMINFILI", "IDFINALFILI", "QTMEDICASEPRATFILI"},
    {"QTPRODRECSER", "QTBRUTASEUNR", "QTBRUTASE", "QTUNIDESTSE", "VRPEFATCOCSE", "VRPEFATCOCSEAP", "VRPEFATCORSE",
     "VRPEFATCORSEAP", "VRPEFATNUTSE", "QTCALCNUTRSE", "HRTEMPPREPSE", "IDPRODBASESE", "IDQTDEFIXSE", "QTLIMSEGSERV",
     "IDTPREQPRODSERV", "QTCOMPLPRODSERV", "IDUTCOMPENTDIRS", "VRPERCDEGELO", "BASECALCNUTR", "CDFILIAL",
     "CDSERVFILI", "NRCORPRISERV", "NRCORSEQSERV", "NRCORAUXSERV", "QTPADRAOSERV", "QTCONTAISERV", "HRVALCONSERV",
     "NMFANTASIASE", "QTAMOSTRSERV", "VRPEMINSERV", "IDFINALSERV", "QTMEDICASEPRATSERV"},
};

class LevelFieldsTest : public ::testing::TestWithParam<Level> {};

} // namespace

// No misspelt name, and no column of the catalogue without its place in the table.
TEST_P(LevelFieldsTest, NamesAreTheCataloguesColumns)
{
    const LevelFields& f = levelFields(GetParam());
    const LevelFields::DishData& d = f.dish;
    QSet<QString> named;
    for (const QString& name :
         {f.branchKey, f.serviceKey, f.centralKey, f.menuTypeKey, f.netQty, f.grossQty, f.requisitionQty,
          f.stockUnitQty, f.cookingGain, f.cookingYield, f.cleaningLoss, f.cleaningYield, f.defrostLoss,
          f.nutritionalYield, f.nutrientQty, f.nutrientBase, f.prepTime, f.baseProduct, f.fixedQty, f.anticipation,
          f.requisitionType, f.complement, f.directEntry, d.colorPrincipal, d.colorSecondary, d.colorAuxiliary,
          d.qtyPerPerson, d.qtyPerContainer, d.validityHours, d.fancyName, d.sampleQty, d.minPercent, d.finalOrigin,
          d.anticipation, d.householdQty})
        if (!name.isEmpty())
            named.insert(name);
    const QSet<QString>& expected = catalogue[static_cast<int>(GetParam())];
    EXPECT_EQ(QSet<QString>(named).subtract(expected), QSet<QString>()) << "not in the catalogue";
    EXPECT_EQ(QSet<QString>(expected).subtract(named), QSet<QString>()) << "missing from the table";
    EXPECT_EQ(recipe::levelFieldsOfPage(f.page), &f);
}

INSTANTIATE_TEST_SUITE_P(EveryLevel, LevelFieldsTest,
                         ::testing::Values(Level::Padrao, Level::TpCard, Level::Filial, Level::Servico),
                         [](const auto& info) { return levelFields(info.param).dataSet.toStdString(); });

TEST(LevelFields, LettersAndComponents)
{
    const LevelFields& f = levelFields(Level::Filial);
    EXPECT_EQ(QStringList({levelFields(Level::Padrao).letter, levelFields(Level::TpCard).letter, f.letter,
                           levelFields(Level::Servico).letter, f.serverLetter}),
              QStringList({"P", "T", "F", "S", "L"}));
    EXPECT_EQ(QStringList({f.dataSet, f.grid, f.dataSource}), QStringList({"cdsReceFili", "dbgReceFili", "dtsReceFili"}));
    EXPECT_EQ(levelFields(Level::TpCard).grid, "dbgReceTpCard");
    EXPECT_EQ(recipe::levelFieldsOfPage("tshModoPrep"), nullptr);
}
