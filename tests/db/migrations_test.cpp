#include "db/database.h"
#include "db/demodata.h"
#include "db/migrations.h"
#include "db/passwords.h"
#include "testdatabase.h"

#include <QCryptographicHash>
#include <QSqlQuery>
#include <QSqlRecord>
#include <gtest/gtest.h>

using testdb::Backend;
using testdb::TestDatabase;

class DatabaseTest : public ::testing::TestWithParam<Backend> {
protected:
    void SetUp() override
    {
        if (!testdb::available(GetParam()))
            GTEST_SKIP() << "TEST_PG_CONN não definido";
    }

    static int count(QSqlDatabase db, const QString& sql)
    {
        QSqlQuery q(db);
        EXPECT_TRUE(q.exec(sql)) << sql.toStdString();
        return q.next() ? q.value(0).toInt() : -1;
    }
};

TEST_P(DatabaseTest, MigratesAnEmptyDatabaseOnceToTheLatestVersion)
{
    TestDatabase t(GetParam(), false);
    QSqlDatabase db = t.db();
    EXPECT_EQ(db::currentVersion(db), db::latestVersion());
    db::migrate(db); // a second start changes nothing
    EXPECT_EQ(count(db, "SELECT COUNT(*) FROM SCHEMA_VERSION"), int(db::migrations().size())); // each once

    // The tables the forms query directly, with the column names they use.
    const QMap<QString, QStringList> expected{
        {"FILIAL", {"CDFILIAL", "NMFILIAL", "IDFILCENTPME", "CDFILCENTPME"}},
        {"PRATO", {"CDPRATO", "NMPRATO", "CDFILAUXPRAT", "CDNVPRATO"}},
        {"PRODUTO", {"CDARVPROD", "CDPRODUTO", "NMPRODUTO", "SGUNIDADE", "CDPRODESTO", "VRPEFATOCORR", "DSCOMPLNOME"}},
        {"CONVUNID", {"SGUNIDDE", "SGUNIDPARA", "VRFTCONVER", "IDTIPOPE"}},
        {"PARAMGERAL", {"IDCACHPRODFI", "IDPESQCOMPPROD", "CDPICTPRAT", "CDCALORIAS"}},
        {"PARAMPLANEJA", {"IDQTLIQUBRUT", "IDUTILFATCOR", "NRCORSAFRA"}},
    };
    for (auto it = expected.begin(); it != expected.end(); ++it) {
        const QSqlRecord record = db::tableColumns(db, it.key());
        for (const QString& column : it.value())
            EXPECT_GE(record.indexOf(column), 0) << it.key().toStdString() << "." << column.toStdString();
    }
}

TEST_P(DatabaseTest, DemoDataFormsAConsistentTree)
{
    TestDatabase t(GetParam(), true, 60);
    QSqlDatabase db = t.db();
    EXPECT_TRUE(db::hasData(db));
    EXPECT_EQ(count(db, "SELECT COUNT(*) FROM PRATO WHERE CDFILAUXPRAT = 'P' AND CDNVPRATO = '4'"), 60);
    // Codes follow the picture 9.99.999.9999: level n has the accumulated width of n groups.
    EXPECT_EQ(count(db, "SELECT COUNT(*) FROM PRATO WHERE LENGTH(CDPRATO) <> "
                        "CASE CDNVPRATO WHEN '1' THEN 1 WHEN '2' THEN 3 WHEN '3' THEN 6 ELSE 10 END"), 0);
    // Every dish hangs under an existing group, and every last-level dish has a recipe.
    EXPECT_EQ(count(db, "SELECT COUNT(*) FROM PRATO D WHERE D.CDNVPRATO <> '1' AND NOT EXISTS (SELECT 1 FROM PRATO G "
                        "WHERE G.CDFILAUXPRAT = 'P' AND G.CDPRATO = SUBSTR(D.CDPRATO, 1, "
                        "CASE D.CDNVPRATO WHEN '2' THEN 1 WHEN '3' THEN 3 ELSE 6 END))"), 0);
    EXPECT_EQ(count(db, "SELECT COUNT(*) FROM PRATO D WHERE D.CDNVPRATO = '4' AND NOT EXISTS "
                        "(SELECT 1 FROM PRODPRAT R WHERE R.CDFILAUXPRAT = D.CDFILAUXPRAT AND R.CDPRATO = D.CDPRATO)"), 0);
    EXPECT_GT(count(db, "SELECT COUNT(*) FROM FILIAL WHERE IDFILCENTPME = 'S'"), 0);
    EXPECT_GT(count(db, "SELECT COUNT(*) FROM SERVICO WHERE IDTIPOSERV = 'D'"), 0);
    EXPECT_GT(count(db, "SELECT COUNT(*) FROM PRODNUTR"), 0);
    EXPECT_GT(count(db, "SELECT COUNT(*) FROM PRECOPROD"), 0);
    // A dish's shelf life in hours agrees with its time and unit (H, D of 24 h, M of 720, A of 8640).
    EXPECT_GT(count(db, "SELECT COUNT(*) FROM PRATO WHERE QTTEMPOPRAT IS NOT NULL"), 60);
    EXPECT_EQ(count(db, "SELECT COUNT(*) FROM PRATO WHERE QTTEMPOPRAT IS NOT NULL AND (VRVALIDADE IS NULL "
                        "OR COALESCE(IDFREQUENCIA, '') NOT IN ('H', 'D', 'M', 'A') OR ABS(VRVALIDADE - QTTEMPOPRAT * "
                        "CASE IDFREQUENCIA WHEN 'D' THEN 24 WHEN 'M' THEN 720 WHEN 'A' THEN 8640 ELSE 1 END) > 0.0001)"),
              0);
    // Every product weighs something in kilograms, whatever unit it is stocked in.
    EXPECT_EQ(count(db, "SELECT COUNT(*) FROM PRODUTO P JOIN PRODUTOKG K ON K.CDPRODUTO = P.CDPRODUTO "
                        "WHERE P.CDPRODESTO IS NOT NULL AND COALESCE(K.VRFATORKG, 0) <= 0"),
              0);

    QSqlQuery q(db);
    ASSERT_TRUE(q.exec("SELECT CDPICTPRAT, CDPICTPROD FROM PARAMGERAL"));
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toString(), "9.99.999.9999");
    EXPECT_EQ(q.value(1).toString(), "9.99.999.9999");
}

TEST_P(DatabaseTest, PasswordsAreStoredSaltedAndHashed)
{
    TestDatabase t(GetParam());
    QSqlQuery q(t.db());
    q.prepare("SELECT DSSALT, DSHASHSENHA FROM USUARIO WHERE CDOPERADOR = ?");
    q.addBindValue(db::DemoSupervisor);
    ASSERT_TRUE(q.exec() && q.next());
    const QString salt = q.value(0).toString(), hash = q.value(1).toString();
    EXPECT_NE(hash, db::DemoSupervisorPassword);
    EXPECT_TRUE(hash.startsWith("pbkdf2-sha256$"));
    EXPECT_TRUE(db::passwordMatches(salt, db::DemoSupervisorPassword, hash));
    EXPECT_FALSE(db::passwordMatches(salt, "12345", hash));
    EXPECT_FALSE(db::passwordMatches(db::newSalt(), db::DemoSupervisorPassword, hash));
}

// A database made before PBKDF2 holds plain SHA-256 digests: the migration wraps them, and the
// old passwords still open.
TEST_P(DatabaseTest, OldPasswordDigestsAreWrappedAndStillOpen)
{
    TestDatabase t(GetParam());
    QSqlDatabase database = t.db();
    QSqlQuery q(database);
    const QString salt = "abc123";
    const QString legacy = QString::fromLatin1(
        QCryptographicHash::hash((salt + db::DemoOperatorPassword).toUtf8(), QCryptographicHash::Sha256).toHex());
    q.prepare("UPDATE USUARIO SET DSSALT = ?, DSHASHSENHA = ? WHERE CDOPERADOR = ?");
    q.addBindValue(salt);
    q.addBindValue(legacy);
    q.addBindValue(db::DemoOperator);
    ASSERT_TRUE(q.exec());

    ASSERT_TRUE(database.transaction());
    db::schemaV3().upgrade(database);
    ASSERT_TRUE(database.commit());
    q.prepare("SELECT DSHASHSENHA FROM USUARIO WHERE CDOPERADOR = ?");
    q.addBindValue(db::DemoOperator);
    ASSERT_TRUE(q.exec() && q.next());
    const QString wrapped = q.value(0).toString();
    EXPECT_TRUE(wrapped.startsWith("pbkdf2-sha256-legado$"));
    EXPECT_FALSE(wrapped.contains(legacy));
    EXPECT_TRUE(db::passwordMatches(salt, db::DemoOperatorPassword, wrapped));
    EXPECT_FALSE(db::passwordMatches(salt, legacy, wrapped));
}

INSTANTIATE_TEST_SUITE_P(Backends, DatabaseTest, ::testing::Values(Backend::Sqlite, Backend::Postgres),
                         [](const auto& info) { return testdb::backendName(info.param); });

TEST(DatabaseTarget, TellsSqliteFilesFromPostgresConnectionStrings)
{
    const db::Target file = db::Target::parse("/tmp/receita.db");
    EXPECT_EQ(file.kind, db::Target::Kind::Sqlite);
    EXPECT_EQ(file.path, "/tmp/receita.db");

    const db::Target pg =
        db::Target::parse("host=127.0.0.1 port=5433 dbname=receita user=app password='a b' schema=s1 sslmode=disable");
    EXPECT_EQ(pg.kind, db::Target::Kind::Postgres);
    EXPECT_EQ(pg.host, "127.0.0.1");
    EXPECT_EQ(pg.port, 5433);
    EXPECT_EQ(pg.dbName, "receita");
    EXPECT_EQ(pg.password, "a b");
    EXPECT_EQ(pg.schema, "s1");
    EXPECT_EQ(pg.options, "sslmode=disable");
    EXPECT_FALSE(pg.describe().contains("a b"));
}
