#pragma once

#include <QString>

namespace host {

// The QSqlDatabase connection name of the host's database (the forms' direct SQL runs on it,
// and so do the server objects when they run in process).
inline constexpr const char* DatabaseConnection = "dtmDBGeral";

// receita.db in the user's data folder.
QString defaultDatabasePath();

// Opens the host's database (a SQLite file or a PostgreSQL connection string), bringing its
// schema up to date; a SQLite database without data gets the demo data, so the first start
// has something to show. Then fills the context's code pictures. Throws framework::Error.
void openHostDatabase(const QString& target);

// Code pictures of the general parameters into hostContext().pictures (0 product, 1 dish).
void loadPictures();

} // namespace host
