#include "fixture.h"

#include "db/database.h"
#include "db/migrations.h"
#include "framework/core/hostcontext.h"
#include "recipe/validacao.h"

#include <QSqlError>
#include <QSqlQuery>

void RecipeTest::SetUp()
{
    script = &framework::installScriptedDialogs();
    script->onFailure = [](const QString& failure) { ADD_FAILURE() << failure.toStdString(); };
    recipe::addValidationMessages(messages);
}

void RecipeTest::TearDown()
{
    EXPECT_EQ(script->pendingAnswers(), 0) << "answers left in the script";
}

QString RecipeTest::onlyMessageKey() const
{
    EXPECT_EQ(script->messages().size(), 1);
    return script->lastMessage().key;
}

void RecipeDbTest::SetUp()
{
    RecipeTest::SetUp();
    db::Target target;
    target.path = QStringLiteral(":memory:");
    db = db::open(target, QStringLiteral("recipe_validation"));
    db::migrate(db);
    framework::hostContext().databaseConnection = db.connectionName();
}

void RecipeDbTest::TearDown()
{
    framework::hostContext().databaseConnection.clear();
    const QString name = db.connectionName();
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase(name);
    RecipeTest::TearDown();
}

void RecipeDbTest::exec(const QString& sql, const QVariantList& values)
{
    QSqlQuery query(db);
    ASSERT_TRUE(query.prepare(sql)) << query.lastError().text().toStdString();
    for (const QVariant& value : values)
        query.addBindValue(value);
    ASSERT_TRUE(query.exec()) << query.lastError().text().toStdString();
}

std::unique_ptr<framework::ClientDataSet> ingredientList(const recipe::LevelFields& level)
{
    using framework::FieldType;
    auto list = std::make_unique<framework::ClientDataSet>(nullptr, level.dataSet);
    list->AddField(QStringLiteral("CDPRODUTO"), FieldType::String, 10);
    for (const QString& name : {level.netQty, level.cookingGain, level.cookingYield, level.cleaningLoss,
                                level.cleaningYield, level.defrostLoss, level.nutritionalYield, level.nutrientQty,
                                level.nutrientBase})
        list->AddField(name, FieldType::Float);
    list->FieldByName(level.cookingGain)->setDisplayLabel(QStringLiteral("Ganho Cocção"));
    list->CreateDataSet();
    list->Append();
    list->FieldByName(QStringLiteral("CDPRODUTO"))->setAsString(QStringLiteral("0000000010"));
    list->FieldByName(level.cookingGain)->setAsFloat(0);
    list->FieldByName(level.cookingYield)->setAsFloat(100);
    list->FieldByName(level.cleaningLoss)->setAsFloat(0);
    list->FieldByName(level.cleaningYield)->setAsFloat(100);
    list->FieldByName(level.defrostLoss)->setAsFloat(0);
    return list;
}
