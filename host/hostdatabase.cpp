#include "hostdatabase.h"

#include "db/database.h"
#include "db/demodata.h"
#include "framework/core/hostcontext.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlQuery>
#include <QStandardPaths>

namespace host {

QString defaultDatabasePath()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)).filePath("receita.db");
}

void openHostDatabase(const QString& target)
{
    const db::Target parsed = db::Target::parse(target);
    if (parsed.kind == db::Target::Kind::Sqlite)
        QDir().mkpath(QFileInfo(parsed.path).absolutePath());
    QSqlDatabase database = db::openAndMigrate(parsed, DatabaseConnection);
    if (parsed.kind == db::Target::Kind::Sqlite && !db::hasData(database))
        db::createDemoData(database);
    framework::hostContext().databaseConnection = DatabaseConnection;
    loadPictures();
}

void loadPictures()
{
    auto& context = framework::hostContext();
    context.pictures.clear();
    QSqlQuery q(QSqlDatabase::database(context.databaseConnection));
    if (q.exec("SELECT CDPICTPROD, CDPICTPRAT FROM PARAMGERAL ORDER BY CDPARGERAL") && q.next()) {
        if (!q.value(0).toString().isEmpty())
            context.pictures.insert(0, q.value(0).toString());
        if (!q.value(1).toString().isEmpty())
            context.pictures.insert(1, q.value(1).toString());
    }
}

} // namespace host
