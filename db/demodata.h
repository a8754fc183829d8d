#pragma once

#include <QSqlDatabase>
#include <QString>

namespace db {

struct DemoOptions {
    int dishes = 120; // dishes at the last level of the tree (at least the standard recipes)
};

// What the demo database holds, for tests and the command line.
struct DemoSummary {
    int branches = 0;
    int products = 0;
    int dishes = 0;        // last-level dishes, standard and local
    int recipeRows = 0;    // standard recipe rows
};

// Demo users (operator code, password): one supervisor who may authorise the standard-recipe
// operations and change the general parameters, one operator who may do neither.
inline constexpr const char* DemoSupervisor = "SUPERV";
inline constexpr const char* DemoSupervisorPassword = "1234";
inline constexpr const char* DemoOperator = "NUTRI";
inline constexpr const char* DemoOperatorPassword = "nutri";

// Fills an empty, migrated database with institutional-catering data: a central with branches,
// restaurant and hospital services, a product tree with units, conversions, nutrients, prices
// and season patterns, and a dish tree under the picture 9.99.999.9999 with standard recipes.
// Everything goes in one transaction with prepared statements. Throws framework::Error.
DemoSummary createDemoData(QSqlDatabase& db, const DemoOptions& options = {});

// True when the database already holds branches (the demo data or real data).
bool hasData(QSqlDatabase& db);

} // namespace db
