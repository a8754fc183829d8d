#include "fixture.h"

#include "framework/abort.h"
#include "framework/ui/query.h"

#include <QSqlDatabase>
#include <QSqlQuery>

using namespace framework;

namespace {

// An in-memory database with a few units of measure.
class QueryTest : public UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        db = QSqlDatabase::addDatabase("QSQLITE", connection);
        db.setDatabaseName(":memory:");
        ASSERT_TRUE(db.open());
        QSqlQuery q(db);
        ASSERT_TRUE(q.exec("CREATE TABLE UNIDMEDIDA (SGUNIDADE VARCHAR(10) PRIMARY KEY, DSUNIDADE VARCHAR(40), "
                           "VRFATOR NUMERIC(15,5), NRORDEM INTEGER)"));
        ASSERT_TRUE(q.exec("INSERT INTO UNIDMEDIDA VALUES ('KG', 'Quilograma', 1, 1), ('G', 'Grama', 0.001, 2), "
                           "('L', 'Litro', 1, 3), ('UN', 'Unidade', NULL, 4)"));
    }
    void TearDown() override
    {
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(connection);
        UiTest::TearDown();
    }

    int units()
    {
        QSqlQuery q(db);
        q.exec("SELECT COUNT(*) FROM UNIDMEDIDA");
        q.next();
        return q.value(0).toInt();
    }

    const QString connection = QStringLiteral("test_query");
    QSqlDatabase db;
};

const char* unitSql = "SELECT SGUNIDADE, DSUNIDADE, VRFATOR FROM UNIDMEDIDA "
                      "WHERE (SGUNIDADE = :P_SGUNIDADE OR :P_TSGUNIDADE = 'T') ORDER BY SGUNIDADE";

} // namespace

TEST_F(QueryTest, ReadsRowsThroughBoundParametersLikeAnyDataset)
{
    Query qry(nullptr, QStringLiteral("qryUnidade"));
    qry.setConnectionName(connection);
    qry.setSQL(unitSql);
    EXPECT_EQ(qry.ParamNames(), QStringList({"P_SGUNIDADE", "P_TSGUNIDADE"}));

    qry.ParamByName("P_SGUNIDADE")->setValue(QString());
    qry.setParam("p_tsgunidade", "T"); // names match without regard to case
    qry.Open();
    ASSERT_EQ(qry.RecordCount(), 4);
    QStringList seen;
    for (qry.First(); !qry.Eof(); qry.Next())
        seen << qry.FieldByName("SGUNIDADE")->AsString();
    EXPECT_EQ(seen, QStringList({"G", "KG", "L", "UN"}));
    EXPECT_EQ(qry.FieldByName("VRFATOR")->DataType(), FieldType::Float);
    ASSERT_TRUE(qry.Locate("SGUNIDADE", "G"));
    EXPECT_DOUBLE_EQ(qry.FieldByName("VRFATOR")->AsFloat(), 0.001);

    qry.setParam("P_SGUNIDADE", "KG");
    qry.setParam("P_TSGUNIDADE", QString());
    qry.Refresh();
    ASSERT_EQ(qry.RecordCount(), 1);
    EXPECT_EQ(qry.FieldByName("DSUNIDADE")->AsString(), "Quilograma");
    EXPECT_THROW(qry.ParamByName("P_NAOEXISTE"), Error);
}

TEST_F(QueryTest, TypedTextNeverBecomesSql)
{
    Query qry(nullptr, QStringLiteral("qryUnidade"));
    qry.setConnectionName(connection);
    qry.setSQL(unitSql);
    qry.setParam("P_SGUNIDADE", "KG'; DELETE FROM UNIDMEDIDA; --");
    qry.setParam("P_TSGUNIDADE", "' OR '1'='1");
    qry.Open();
    EXPECT_EQ(qry.RecordCount(), 0);

    Query del(nullptr, QStringLiteral("qryApaga"));
    del.setConnectionName(connection);
    del.setSQL("DELETE FROM UNIDMEDIDA WHERE SGUNIDADE = :P_SGUNIDADE");
    del.setParam("P_SGUNIDADE", "X' OR 'a'='a");
    EXPECT_EQ(del.ExecSQL(), 0);
    EXPECT_EQ(units(), 4);
    del.setParam("P_SGUNIDADE", "UN");
    EXPECT_EQ(del.ExecSQL(), 1);
    EXPECT_EQ(units(), 3);
}

TEST_F(QueryTest, TheConnectionsFamilyChoosesItsOwnTextAndFailuresAreReported)
{
    Query qry(nullptr, QStringLiteral("qryChave"));
    qry.setConnectionName(connection);
    qry.setSQL("SELECT SGUNIDADE + DSUNIDADE AS CHAVE FROM UNIDMEDIDA WHERE SGUNIDADE = :P_SG");
    qry.setSQL(Query::Family::SQLite, "SELECT (SGUNIDADE || DSUNIDADE) AS CHAVE FROM UNIDMEDIDA WHERE SGUNIDADE = :P_SG");
    EXPECT_EQ(qry.sqlFor(Query::Family::PostgreSQL), qry.SQL());
    qry.setParam("P_SG", "L");
    qry.Open();
    EXPECT_EQ(qry.FieldByName("CHAVE")->AsString(), "LLitro");

    Query broken(nullptr, QStringLiteral("qryQuebrada"));
    broken.setConnectionName(connection);
    broken.setSQL("SELECT * FROM TABELA_QUE_NAO_EXISTE");
    EXPECT_THROW(broken.Open(), Error);
    broken.setConnectionName("conexao_inexistente");
    EXPECT_THROW(broken.Open(), Error);
}

TEST(PositionalSql, OnlyRealPlaceholdersBecomeMarks)
{
    QStringList names;
    const QString sql = positionalSql("SELECT ':P_NAO', \"A:B\", X::text, Y -- :P_COMENT\n"
                                      "FROM T /* :P_BLOCO */ WHERE A = :P_A AND (B = :P_B OR :P_A = 'T')",
                                      &names);
    EXPECT_EQ(names, QStringList({"P_A", "P_B", "P_A"}));
    EXPECT_EQ(sql, "SELECT ':P_NAO', \"A:B\", X::text, Y -- :P_COMENT\n"
                   "FROM T /* :P_BLOCO */ WHERE A = ? AND (B = ? OR ? = 'T')");
    names.clear();
    EXPECT_EQ(positionalSql("WHERE A = 'it''s :P_X' AND B=:P_Y", &names), "WHERE A = 'it''s :P_X' AND B=?");
    EXPECT_EQ(names, QStringList({"P_Y"}));
}
