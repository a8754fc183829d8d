#include "fixture.h"

#include "framework/ui/query.h"
#include "testdatabase.h"

using framework::FieldType;
using framework::Query;
using testdb::Backend;

// The direct query on the project's schema, on each database family.
class QueryBackendTest : public ::testing::TestWithParam<Backend> {
protected:
    void SetUp() override
    {
        if (!testdb::available(GetParam()))
            GTEST_SKIP() << "TEST_PG_CONN não definido";
        database = std::make_unique<testdb::TestDatabase>(GetParam(), false);
    }

    std::unique_ptr<Query> query(const QString& sql)
    {
        auto qry = std::make_unique<Query>(nullptr, QStringLiteral("qryTeste"));
        qry->setConnectionName(database->connectionName());
        qry->setSQL(sql);
        return qry;
    }

    std::unique_ptr<testdb::TestDatabase> database;
};

TEST_P(QueryBackendTest, WritesAndReadsTypedRowsThroughBoundParameters)
{
    auto insert = query("INSERT INTO UNIDMEDIDA (SGUNIDADE, DSUNIDADE) VALUES (:P_SG, :P_DS)");
    for (const auto& [sg, ds] : {std::pair{"KG", "Quilograma"}, {"G", "Grama"}, {"A'--", "x'); DELETE FROM UNIDMEDIDA; --"}}) {
        insert->setParam("P_SG", QString::fromUtf8(sg));
        insert->setParam("P_DS", QString::fromUtf8(ds));
        EXPECT_EQ(insert->ExecSQL(), 1);
    }
    auto conv = query("INSERT INTO CONVUNID (SGUNIDDE, SGUNIDPARA, VRFTCONVER, IDTIPOPE) VALUES (:DE, :PARA, :F, 'M')");
    conv->setParam("DE", "KG");
    conv->setParam("PARA", "G");
    conv->setParam("F", 1000.0);
    EXPECT_EQ(conv->ExecSQL(), 1);

    auto read = query("SELECT C.SGUNIDDE, U.DSUNIDADE, C.VRFTCONVER FROM CONVUNID C "
                      "JOIN UNIDMEDIDA U ON U.SGUNIDADE = C.SGUNIDPARA WHERE C.SGUNIDDE = :P_SG");
    read->setParam("P_SG", "KG");
    read->Open();
    ASSERT_EQ(read->RecordCount(), 1);
    EXPECT_EQ(read->FieldByName("DSUNIDADE")->AsString(), "Grama");
    EXPECT_EQ(read->FieldByName("VRFTCONVER")->DataType(), FieldType::Float);
    EXPECT_DOUBLE_EQ(read->FieldByName("VRFTCONVER")->AsFloat(), 1000.0);

    // The typed texts were stored as they came and deleted nothing.
    auto units = query("SELECT SGUNIDADE, DSUNIDADE FROM UNIDMEDIDA ORDER BY SGUNIDADE");
    units->Open();
    EXPECT_EQ(units->RecordCount(), 3);
    ASSERT_TRUE(units->Locate("SGUNIDADE", "A'--"));
    EXPECT_EQ(units->FieldByName("DSUNIDADE")->AsString(), "x'); DELETE FROM UNIDMEDIDA; --");
}

TEST_P(QueryBackendTest, RunsTheTextOfItsDatabaseFamily)
{
    auto qry = query("SELECT 'geral' AS ORIGEM");
    qry->setSQL(Query::Family::SQLite, "SELECT 'sqlite' AS ORIGEM");
    qry->setSQL(Query::Family::PostgreSQL, "SELECT 'postgres'::text AS ORIGEM, CAST(:P_N AS INTEGER) + 1 AS N");
    qry->setParam("P_N", 41);
    qry->Open();
    if (GetParam() == Backend::Postgres) {
        EXPECT_EQ(qry->FieldByName("ORIGEM")->AsString(), "postgres");
        EXPECT_EQ(qry->FieldByName("N")->AsInteger(), 42);
    } else {
        EXPECT_EQ(qry->FieldByName("ORIGEM")->AsString(), "sqlite");
    }
}

INSTANTIATE_TEST_SUITE_P(Backends, QueryBackendTest, ::testing::Values(Backend::Sqlite, Backend::Postgres),
                         [](const auto& info) { return testdb::backendName(info.param); });
