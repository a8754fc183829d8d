#pragma once

#include "framework/data/clientdataset.h"
#include "recipe/levelfields.h"
#include "framework/ui/dialogs.h"
#include "framework/ui/messages.h"
#include "framework/ui/query.h"

#include <QSqlDatabase>
#include <QVariantList>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>

inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

// Every test shows its messages through a fresh scripted dialog face and a message list that
// holds the recipe form's validation texts.
class RecipeTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The key of the only message shown, checking that exactly one was.
    QString onlyMessageKey() const;

    framework::ScriptedDialogs* script = nullptr;
    framework::TMessages messages;
};

// The project's schema in an in-memory SQLite database, made the host's connection.
class RecipeDbTest : public RecipeTest {
protected:
    void SetUp() override;
    void TearDown() override;

    void exec(const QString& sql, const QVariantList& values = {});

    QSqlDatabase db;
};

// An ingredient list with the fields of the level's table that the checks read, one row,
// in edit.
std::unique_ptr<framework::ClientDataSet> ingredientList(const recipe::LevelFields& level);
