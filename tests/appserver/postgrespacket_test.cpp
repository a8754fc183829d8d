// Selects on PostgreSQL read through the driver's libpq connection: whatever a column's SQL type
// and whatever the field it lands in, the packet must be the one the general path (QSqlQuery)
// builds from the same rows, value for value, with the same nulls, empty texts and failures; and
// rows written through that connection must be the rows the general path writes.
#include "appserver/errors.h"
#include "appserver/postgrespacket.h"
#include "appserver/sqlpacket.h"
#include "framework/abort.h"
#include "testdatabase.h"

#include <QDateTime>
#include <QSqlError>
#include <QSqlQuery>
#include <QTimeZone>
#include <gtest/gtest.h>
#include <memory>
#include <variant>

using framework::FieldType;
using testdb::Backend;

namespace {

class PostgresPacketTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!testdb::available(Backend::Postgres))
            GTEST_SKIP() << "TEST_PG_CONN não definido";
        database = std::make_unique<testdb::TestDatabase>(Backend::Postgres, false);
        QSqlQuery q(database->db());
        ASSERT_TRUE(q.exec("CREATE TABLE TIPOS (K INTEGER, TX VARCHAR(20), TL TEXT, DP DOUBLE PRECISION, "
                           "NU NUMERIC(30,4), RE REAL, N4 INTEGER, BI BIGINT, SM SMALLINT, BO BOOLEAN, DT DATE, "
                           "TS TIMESTAMP, TZ TIMESTAMPTZ, BY BYTEA)"));
        const QString longText = QString(300, QChar(u'ç'));
        ASSERT_TRUE(q.exec(QStringLiteral(
            "INSERT INTO TIPOS VALUES "
            "(1, 'Açúcar mascavo', '%1', 0.1, 1234.5678, 0.1, 7, 9007199254740993, -3, TRUE, '2026-01-31', "
            "'2026-01-31 10:30:00', '2026-01-31 10:30:00.123456+00', '\\x00ff41'), "
            "(2, '', '', 0.011000000000000001, -0.0001, 3.4e38, 0, -9223372036854775808, 0, FALSE, '0001-01-01', "
            "'2026-02-01 00:00:00', '2026-02-01 23:59:59.9999+00', ''), "
            "(3, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL), "
            "(4, '12', '1,5', 1e300, 12, 2.5, 2147483647, 42, 1, TRUE, '9999-12-31', '2026-03-01 23:59:59.999999', "
            "'2026-03-01 12:00:00-03', 'texto'), "
            "(5, 'S', '2026-04-05 06:07:08', -2.5e-300, 100000000000000000000, -1.5, -1, 1, 32767, FALSE, "
            "'2000-02-29', '1999-12-31 23:59:59.5', '2000-01-01 00:00:00+00', '\\x')")
                               .arg(longText)))
            << q.lastError().text().toStdString();
    }

    using Select = framework::DataPacket (*)(QSqlDatabase&, const QString&, const QVariantList&,
                                             const framework::FieldDefs&);

    static framework::DataPacket fast(QSqlDatabase& db, const QString& sql, const QVariantList& values,
                                      const framework::FieldDefs& fields)
    {
        std::optional<framework::DataPacket> packet = appserver::selectPostgresPacket(db, sql, values, fields);
        EXPECT_TRUE(packet.has_value()) << "an open PostgreSQL connection takes the fast reader";
        return packet.value_or(framework::DataPacket());
    }

    // The packet, or the failure's text.
    std::variant<framework::DataPacket, QString> run(Select select, const QString& sql, const QVariantList& values,
                                                     const framework::FieldDefs& fields)
    {
        QSqlDatabase db = database->db();
        try {
            return select(db, sql, values, fields);
        } catch (const framework::Error& e) {
            return e.message();
        }
    }

    // Both paths give the same packet, or fail with the same text.
    void expectSame(const QString& sql, const QVariantList& values, const framework::FieldDefs& fields)
    {
        const auto viaFast = run(&fast, sql, values, fields);
        const auto viaQuery = run(&appserver::selectQueryPacket, sql, values, fields);
        const std::string where = sql.toStdString() + " as " + framework::fieldTypeName(fields[0].type).toStdString()
            + " of size " + std::to_string(fields[0].size);
        ASSERT_EQ(viaFast.index(), viaQuery.index()) << where;
        if (viaFast.index() == 1) {
            EXPECT_EQ(std::get<1>(viaFast), std::get<1>(viaQuery)) << where;
            return;
        }
        const framework::RowStore& a = std::get<0>(viaFast).rows;
        const framework::RowStore& b = std::get<0>(viaQuery).rows;
        ASSERT_EQ(a.rowCount(), b.rowCount()) << where;
        for (int row = 0; row < a.rowCount(); ++row)
            for (int col = 0; col < a.columnCount(); ++col) {
                const QVariant fromFast = a.value(row, col), fromQuery = b.value(row, col);
                EXPECT_EQ(a.isNull(row, col), b.isNull(row, col)) << where << ", row " << row << ", column " << col;
                EXPECT_EQ(fromFast, fromQuery) << where << ", row " << row << ", column " << col << ": "
                                               << fromFast.toString().toStdString() << " / "
                                               << fromQuery.toString().toStdString();
            }
    }

    int count(Select select, const QString& where, const QVariantList& values)
    {
        QSqlDatabase db = database->db();
        return select(db, "SELECT K FROM TIPOS " + where, values, {{"K", FieldType::Integer}}).rowCount();
    }

    std::unique_ptr<testdb::TestDatabase> database;
};

TEST_F(PostgresPacketTest, EveryPostgresColumnTypeReadsIntoEveryFieldTypeAsTheGeneralPathReadsIt)
{
    const framework::FieldDefs kinds = {{"V", FieldType::String, 4},  {"V", FieldType::String, 0},
                                        {"V", FieldType::Float},      {"V", FieldType::Integer},
                                        {"V", FieldType::Boolean},    {"V", FieldType::DateTime},
                                        {"V", FieldType::Blob}};
    const QStringList columns = {"TX", "TL", "DP", "NU", "RE", "N4", "BI", "SM", "BO", "DT", "TS", "TZ", "BY",
                                 // values no table above holds
                                 "CASE K WHEN 1 THEN 'NaN'::FLOAT8 WHEN 2 THEN '-Infinity'::FLOAT8 ELSE NULL END",
                                 "CAST(NU AS TEXT)", "CAST(K AS OID)", "CAST(DT AS TEXT)", "TIME '10:30:00'"};
    for (const QString& column : columns)
        for (const framework::FieldDef& kind : kinds)
            expectSame("SELECT " + column + " FROM TIPOS ORDER BY K", {}, {kind});
}

TEST_F(PostgresPacketTest, WholeRowsOfManyColumnsComeOutAsTheGeneralPathGivesThem)
{
    const framework::FieldDefs fields = {
        {"K", FieldType::Integer},  {"TX", FieldType::String, 10}, {"TL", FieldType::String, 0},
        {"DP", FieldType::Float},   {"NU", FieldType::Float},      {"N4", FieldType::Integer},
        {"BI", FieldType::Integer}, {"BO", FieldType::Boolean},    {"DT", FieldType::DateTime},
        {"TS", FieldType::DateTime}, {"BY", FieldType::Blob},      {"MISSING", FieldType::String, 3}};
    expectSame("SELECT K, TX, TL, DP, NU, N4, BI, BO, DT, TS, BY FROM TIPOS ORDER BY K", {}, fields);

    // Spot checks of what the user sees, beyond the two paths agreeing.
    QSqlDatabase db = database->db();
    const framework::DataPacket p =
        fast(db, "SELECT TX, DP, BI, DT, BY FROM TIPOS ORDER BY K", {},
             {{"TX", FieldType::String, 20}, {"DP", FieldType::Float}, {"BI", FieldType::Integer},
              {"DT", FieldType::DateTime}, {"BY", FieldType::Blob}});
    ASSERT_EQ(p.rowCount(), 5);
    EXPECT_EQ(p.rows.text(0, 0), QString::fromUtf8("Açúcar mascavo"));
    EXPECT_FALSE(p.rows.isNull(1, 0)) << "an empty text stays an empty text";
    EXPECT_TRUE(p.rows.isNull(2, 0));
    EXPECT_EQ(p.rows.number(1, 1), 0.011000000000000001);
    EXPECT_EQ(p.rows.integer(0, 2), 9007199254740993LL);
    EXPECT_EQ(p.rows.value(0, 3), QVariant(QDateTime(QDate(2026, 1, 31), QTime(0, 0), QTimeZone::utc())));
    EXPECT_EQ(p.rows.value(0, 4), QVariant(QByteArray("\x00\xff\x41", 3)));
}

TEST_F(PostgresPacketTest, BoundValuesMeetTheSameRowsOnBothPaths)
{
    const QVariant nullText(QMetaType::fromType<QString>());
    const struct {
        const char* where;
        QVariantList values;
        int rows;
    } cases[] = {
        {"WHERE TX = ? OR TX IS NOT DISTINCT FROM ?", {"", nullText}, 2},
        {"WHERE N4 = ? AND BI = ?", {7, 9007199254740993LL}, 1},
        {"WHERE DP = ?", {0.011000000000000001}, 1},
        {"WHERE DT = ? OR TS = ?", {QDate(2026, 1, 31), QDateTime(QDate(2026, 2, 1), QTime(0, 0))}, 2},
        {"WHERE BO = ? AND K < ?", {true, 4}, 1},
        {"WHERE BY = ?", {QByteArray("\x00\xff\x41", 3)}, 1},
        // A quote, a backslash and a question mark in a value are only data; a "?" inside a
        // quoted text of the statement is not a placeholder.
        {"WHERE TX = ? OR TX = '?' OR TL = ?", {"O'Brien \\ ?", "1,5"}, 1},
        {"WHERE SUBSTR(TX, 1, ?) = ?", {2, "12"}, 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(count(&fast, c.where, c.values), c.rows) << c.where;
        EXPECT_EQ(count(&appserver::selectQueryPacket, c.where, c.values), c.rows) << c.where;
    }
}

TEST_F(PostgresPacketTest, AFailingStatementThrowsTheDatabaseTextAndTheConnectionGoesOn)
{
    QSqlDatabase db = database->db();
    try {
        appserver::selectPostgresPacket(db, "SELECT NADA FROM TIPOS", {}, {{"V", FieldType::String}});
        FAIL() << "a bad statement must fail";
    } catch (const appserver::DatabaseFault& e) {
        EXPECT_TRUE(e.detail().contains("nada")) << e.detail().toStdString();
        EXPECT_FALSE(e.message().contains("nada")) << e.message().toStdString(); // the client's text names nothing
    }
    EXPECT_THROW(appserver::selectPostgresPacket(db, "SELECT K FROM TIPOS WHERE K = ?", {}, {}), framework::Error);
    EXPECT_EQ(count(&fast, "WHERE K > ?", {2}), 3);

    // A forward-only query left half read is not what the next select reads.
    QSqlQuery open(db);
    open.setForwardOnly(true);
    ASSERT_TRUE(open.exec("SELECT K FROM TIPOS ORDER BY K"));
    ASSERT_TRUE(open.next());
    EXPECT_EQ(count(&fast, "WHERE K < ?", {3}), 2);
}

TEST_F(PostgresPacketTest, RowsWrittenThroughTheHandleAreTheRowsTheGeneralPathWrites)
{
    QSqlDatabase db = database->db();
    const QString insert = "INSERT INTO TIPOS (K, TX, TL, DP, N4, BI, BO) VALUES (?, ?, ?, ?, ?, ?, ?), (?, ?, ?, ?, ?, ?, ?)";
    const QVariant nullText(QMetaType::fromType<QString>());
    const QVariant nullNumber(QMetaType::fromType<double>());
    const auto rows = [&](int first) {
        return QVariantList{first,     "d'água ?", "",       0.1 + 0.2, 7,          9007199254740993LL, true,
                            first + 1, nullText,   "\\ x", 1e-300,    nullNumber, -1,                 false};
    };
    {
        // Prepared once, run twice: both runs store their own values.
        appserver::PostgresStatement statement(db, insert);
        ASSERT_EQ(statement.execute(rows(10)), 2);
        ASSERT_EQ(statement.execute(rows(20)), 2);
    }
    QSqlQuery general(db);
    ASSERT_TRUE(general.prepare(insert));
    const QVariantList values = rows(30);
    for (int i = 0; i < values.size(); ++i)
        general.bindValue(i, values[i]);
    ASSERT_TRUE(general.exec()) << general.lastError().text().toStdString();

    const framework::FieldDefs fields{{"TX", FieldType::String, 20}, {"TL", FieldType::String, 300},
                                      {"DP", FieldType::Float, 0},   {"N4", FieldType::Integer, 0},
                                      {"BI", FieldType::String, 20}, {"BO", FieldType::Boolean, 0}};
    const auto read = [&](int key) {
        return appserver::selectQueryPacket(db, "SELECT TX, TL, DP, N4, BI, BO FROM TIPOS WHERE K = ?", {key}, fields);
    };
    for (const int offset : {0, 1}) {
        const framework::DataPacket written = read(30 + offset);
        ASSERT_EQ(written.rows.rowCount(), 1);
        for (const int key : {10 + offset, 20 + offset}) {
            const framework::DataPacket fast = read(key);
            ASSERT_EQ(fast.rows.rowCount(), 1) << key;
            for (int col = 0; col < int(fields.size()); ++col) {
                EXPECT_EQ(fast.rows.isNull(0, col), written.rows.isNull(0, col)) << key << " " << col;
                EXPECT_EQ(fast.rows.value(0, col), written.rows.value(0, col)) << key << " " << col;
            }
        }
    }

    // A refused row is the database's fault, and the connection goes on.
    appserver::PostgresStatement refused(db, "INSERT INTO TIPOS (K, N4) VALUES (?, ?)");
    EXPECT_THROW(refused.execute({40, "não é número"}), appserver::DatabaseFault);
    EXPECT_EQ(count(&fast, "WHERE K >= ?", {10}), 6);
}

} // namespace

