#pragma once

#include <QString>
#include <QVariantList>

namespace appserver {

// The recipe a dish query reads: the dish's own ingredient rows at the most specific level its
// arguments name. A menu type (with its central) gives the menu-type recipe, else a service (with
// its branch) the service recipe, else a branch the branch recipe, else the standard recipe.
// Codes that are empty or "X" are absent. A level without rows of its own has an empty recipe:
// nothing is borrowed from the level above.
struct RecipeLevel {
    // Identifies one dish at one level, as the companion forms pass it.
    struct Keys {
        QString owner; // CDFILAUXPRAT: "P" or the branch owning a local dish
        QString dish;
        QString branch;
        QString service;
        QString central;
        QString menuType;
    };

    QString table;      // the level's ingredient table, aliased R in the statements
    QString where;      // the dish's rows at that level, with '?' for values
    QVariantList values;
    // The level's columns of the roles the queries read.
    QString net;         // net quantity per person, recipe unit
    QString requisition; // gross quantity in the product's stock unit
    QString cookingGain; // %
    QString cleaningLoss; // %
    QString nutrient;    // edible quantity for the nutrient calculation, stock unit

    static RecipeLevel of(const Keys& keys);
    static bool absent(const QString& code) { return code.trimmed().isEmpty() || code.trimmed() == u"X"; }
};

} // namespace appserver
