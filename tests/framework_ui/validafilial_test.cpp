#include "fixture.h"

#include "framework/abort.h"
#include "framework/core/hostcontext.h"
#include "framework/ui/validafilial.h"

#include <QSqlDatabase>
#include <QSqlQuery>

using namespace framework;

namespace {

class ValidaFilialTest : public UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", connection);
        db.setDatabaseName(":memory:");
        ASSERT_TRUE(db.open());
        QSqlQuery q(db);
        ASSERT_TRUE(q.exec("CREATE TABLE FILIAL (CDFILIAL VARCHAR(4) PRIMARY KEY, NMFILIAL VARCHAR(30))"));
        ASSERT_TRUE(q.exec("INSERT INTO FILIAL VALUES ('0001', 'Central Sul'), ('0002', 'Hospital O''Brien')"));
        hostContext().databaseConnection = connection;
    }
    void TearDown() override
    {
        hostContext().databaseConnection.clear();
        QSqlDatabase::removeDatabase(connection);
        UiTest::TearDown();
    }
    const QString connection = QStringLiteral("validafilial");
};

TEST_F(ValidaFilialTest, GivesTheNameOrRefusesWithAMessage)
{
    EXPECT_EQ(ValidaFilial("0002", "NUTRI"), "Hospital O'Brien");
    EXPECT_EQ(ValidaFilial("", "NUTRI", false), "");
    EXPECT_TRUE(script->messages().isEmpty());

    EXPECT_THROW(ValidaFilial("", "NUTRI", true), Abort);
    EXPECT_EQ(script->lastMessage().text, "Filial deve ser informada.");
    EXPECT_THROW(ValidaFilial("0009", "NUTRI"), Abort);
    EXPECT_EQ(script->lastMessage().text, "Filial 0009 não cadastrada.");
    // A typed code is a value, never SQL.
    EXPECT_THROW(ValidaFilial("0' OR '1'='1", "NUTRI"), Abort);
    EXPECT_EQ(script->messages().size(), 3);
}

} // namespace
