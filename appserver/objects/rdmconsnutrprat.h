#pragma once

#include "appserver/serverobject.h"

namespace appserver {

struct RecipeLevel;

// PLA01304.rdmConsNutrPrat: the nutrients of a dish.
//
// A nutrient of a dish is summed over its ingredients at the level the codes name (RecipeLevel):
// each ingredient's nutrient quantity (its edible quantity per person in the stock unit) times
// the product's content of the nutrient, which is kept per 100 stock units. Only nutrients that
// some ingredient contains are listed.
class RdmConsNutrPrat : public ServerObject {
public:
    RdmConsNutrPrat();

    // (dish owner, branch, effective branch, service, dish, central, menu type; "X" = absent)
    // CDNUTRIENTE, NMNUTRIENTE, QTNUTRIENTE (per person, 5 decimals), SGUNIDADE.
    QVariant GetNutriente(Call& call) const;
    // (dish owner, effective branch, branch, dish, service, central, menu type) The dish's net
    // dietary protein calories, as a percentage of its calories (2 decimals; 0 without calories):
    // protein grams x 4 kcal x the net utilisation of dietary protein of a mixed diet (0.6),
    // over the calories. The protein and calorie nutrients are those of the general parameters.
    QVariant ProNDPCAL(Call& call) const;

    static constexpr double kcalPerProteinGram = 4.0;
    static constexpr double proteinUtilisation = 0.6;

private:
    // The dish's quantity of one nutrient per person (0 when no ingredient has it).
    static double nutrientTotal(Call& call, const RecipeLevel& level, const QString& nutrient);
};

} // namespace appserver
