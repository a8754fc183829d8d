#pragma once

#include <QString>

namespace recipe {

// The four levels a recipe exists at: the central's standard recipe, a menu type of a central,
// the local recipe of a branch and the recipe of a service of a branch.
enum class Level { Padrao, TpCard, Filial, Servico };

// The names one level gives to the same roles, so that one routine serves the four recipe pages
// instead of four copies that differ only in field names. A role the level lacks has an empty name.
struct LevelFields {
    Level level;
    QString letter;       // the level's code: "P", "T", "F", "S"
    QString serverLetter; // the code some server methods take: "L" for the branch level

    // Components of the level's page.
    QString page;          // tshPadrao, ...
    QString dataSet;       // ingredient list: cdsProdPrat, ...
    QString grid;          // dbgProdPrat, ...
    QString dataSource;    // dtsProdPrat, ...
    QString verifDataSet;  // copy taken when a row edit begins (duplicate check)
    QString altProporcional; // "Alteração Proporcional" check-box
    QString updateMethod;  // server method that takes the list's change log
    QString loadMethod;    // page loader: the list and the dish data of a group of dishes

    // Keys of an ingredient row besides CDFILAUXPRAT, CDPRATO and CDPRODUTO.
    QString branchKey;   // CDFILIAL (branch, service)
    QString serviceKey;  // CDSERVFILI (service)
    QString centralKey;  // CDFILCENTPME (menu type)
    QString menuTypeKey; // CDTIPOCARD (menu type)

    // Ingredient-list fields.
    QString netQty;           // net quantity in the recipe unit
    QString grossQty;         // gross quantity in the recipe unit
    QString requisitionQty;   // gross quantity in the stock unit
    QString stockUnitQty;     // work field: quantity in the stock unit
    QString cookingGain;      // percent, above -100
    QString cookingYield;     // gain + 100
    QString cleaningLoss;     // percent, 0..99
    QString cleaningYield;    // 100 - loss
    QString defrostLoss;      // percent, 0..99
    QString nutritionalYield; // percent
    QString nutrientQty;      // quantity used for the nutrient calculation
    QString nutrientBase;     // calculated base of the nutrient quantity
    QString prepTime;         // "hhh:mm"
    QString baseProduct;      // "S"/"N"
    QString fixedQty;         // "S"/"N": left out of proportional updates
    QString anticipation;     // days
    QString requisitionType;  // "P", "D", "E", "F"
    QString complement;       // complement quantity
    QString directEntry;      // complement used for direct delivery, "S"/"N"

    // Dish data of the level (one record per dish, kept beside the list).
    struct DishData {
        QString dataSet;     // cdsDadosPrat, ...
        QString dataSource;  // dtsDadosPrat, ...
        QString updateMethod;
        QString validityEdit; // "HHHH:MM" edit of the consumption validity
        QString colorPrincipal;
        QString colorSecondary;
        QString colorAuxiliary;
        QString qtyPerPerson;
        QString qtyPerContainer;
        QString validityHours;
        QString fancyName;
        QString sampleQty;
        QString minPercent;      // minimum % per container
        QString finalOrigin;     // "M"/"F"
        QString anticipation;
        QString householdQty;    // quantity in household measures
    } dish;
};

const LevelFields& levelFields(Level level);
// The level whose recipe page has that objectName; nullptr for any other page.
const LevelFields* levelFieldsOfPage(const QString& pageName);

} // namespace recipe
