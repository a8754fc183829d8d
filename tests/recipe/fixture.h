#pragma once

#include "framework/core/hostcontext.h"
#include "framework/data/clientdataset.h"
#include "framework/ui/dialogs.h"
#include "framework/ui/messages.h"
#include "recipe/core/levelfields.h"
#include "recipe/core/validacao.h"
#include "testdatabase.h"

#include <QSqlError>
#include <QSqlQuery>
#include <gtest/gtest.h>
#include <memory>

// Messages go to a fresh scripted dialog face, from a list that holds the checks' texts.
class RecipeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        script = &framework::installScriptedDialogs();
        recipe::addValidationMessages(messages);
    }
    QString onlyMessageKey() const
    {
        EXPECT_EQ(script->messages().size(), 1);
        return script->lastMessage().key;
    }

    framework::ScriptedDialogs* script = nullptr;
    framework::TMessages messages;
};

// A fresh database with the project's schema as the host's connection, on each backend
// (PostgreSQL only when TEST_PG_CONN is set). A derived SetUp returns when IsSkipped().
class RecipeDbTest : public RecipeTest, public ::testing::WithParamInterface<testdb::Backend> {
protected:
    void SetUp() override
    {
        RecipeTest::SetUp();
        if (!testdb::available(GetParam()))
            GTEST_SKIP() << "TEST_PG_CONN is not set";
        database = std::make_unique<testdb::TestDatabase>(GetParam(), false);
        framework::hostContext().databaseConnection = database->connectionName();
    }
    void TearDown() override { framework::hostContext().databaseConnection.clear(); }
    void exec(const QString& sql)
    {
        QSqlQuery query(database->db());
        ASSERT_TRUE(query.exec(sql)) << query.lastError().text().toStdString();
    }

    std::unique_ptr<testdb::TestDatabase> database;
};

#define INSTANTIATE_ON_BACKENDS(suite)                                                                         \
    INSTANTIATE_TEST_SUITE_P(Backends, suite, ::testing::Values(testdb::Backend::Sqlite, testdb::Backend::Postgres), \
                             [](const auto& info) { return testdb::backendName(info.param); })

// One row of the level's ingredient list, in insertion, with neutral factors.
inline std::unique_ptr<framework::ClientDataSet> ingredientList(const recipe::LevelFields& level)
{
    auto list = std::make_unique<framework::ClientDataSet>(nullptr, level.dataSet);
    for (const QString& name : {level.netQty, level.cookingGain, level.cookingYield, level.cleaningLoss,
                                level.cleaningYield, level.defrostLoss, level.nutritionalYield, level.nutrientQty,
                                level.nutrientBase})
        list->AddField(name, framework::FieldType::Float);
    list->CreateDataSet();
    list->Append();
    for (const QString& yield : {level.cookingYield, level.cleaningYield})
        list->FieldByName(yield)->setAsFloat(100);
    return list;
}
