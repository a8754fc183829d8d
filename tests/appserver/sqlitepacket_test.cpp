// Selects on SQLite read through the driver's handle: SQLite keeps whatever storage class a value
// came in with, so each column's type must still come out as Qt's driver would give it, and the
// bound values must meet the same rows.
#include "appserver/sqlitepacket.h"
#include "appserver/sqlpacket.h"
#include "framework/abort.h"
#include "testdatabase.h"

#include <QDateTime>
#include <QSqlQuery>
#include <QTimeZone>
#include <gtest/gtest.h>

using framework::FieldType;

namespace {

class SqlitePacketTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QSqlQuery q(database.db());
        // Columns without a declared type keep each value in the class it came in.
        ASSERT_TRUE(q.exec("CREATE TABLE MISTO (K, T, F, I, B, D)"));
        // Row 1: each column in its own storage class. Row 2: each in another one.
        ASSERT_TRUE(q.exec("INSERT INTO MISTO VALUES (1, 'Açúcar mascavo', 2.5, 7, 1, '2026-01-31 10:30:00')"));
        ASSERT_TRUE(q.exec("INSERT INTO MISTO VALUES (2, 12, '1,5', '42', 'S', '2026-02-01')"));
        ASSERT_TRUE(q.exec("INSERT INTO MISTO VALUES (3, '', 3, NULL, 0, NULL)"));
    }

    framework::DataPacket select(const QString& where, const QVariantList& values)
    {
        QSqlDatabase db = database.db();
        std::optional<framework::DataPacket> packet = appserver::selectSqlitePacket(
            db, "SELECT T, F, I, B, D FROM MISTO " + where + " ORDER BY K", values,
            {{"T", FieldType::String, 4}, {"F", FieldType::Float}, {"I", FieldType::Integer},
             {"B", FieldType::Boolean}, {"D", FieldType::DateTime}});
        EXPECT_TRUE(packet.has_value()) << "the driver's SQLite is the linked one";
        return packet.value_or(framework::DataPacket());
    }

    testdb::TestDatabase database{testdb::Backend::Sqlite, false};
};

TEST_F(SqlitePacketTest, EachColumnComesOutInItsTypeWhateverItsStorage)
{
    const framework::DataPacket p = select("", {});
    ASSERT_EQ(p.rowCount(), 3);
    const framework::RowStore& r = p.rows;
    // A text longer than its column is kept whole, an empty one stays empty: what was read goes
    // back unchanged in an update's where clause.
    EXPECT_EQ(r.text(0, 0), QString::fromUtf8("Açúcar mascavo"));
    EXPECT_EQ(r.text(1, 0), "12");
    EXPECT_FALSE(r.isNull(2, 0));
    EXPECT_EQ(r.text(2, 0), "");
    EXPECT_EQ(r.number(0, 1), 2.5);
    EXPECT_EQ(r.number(1, 1), 1.5);
    EXPECT_EQ(r.number(2, 1), 3.0);
    EXPECT_EQ(r.integer(0, 2), 7);
    EXPECT_EQ(r.integer(1, 2), 42);
    EXPECT_TRUE(r.isNull(2, 2));
    EXPECT_EQ(r.value(0, 3), QVariant(true));
    EXPECT_EQ(r.value(1, 3), QVariant(true));
    EXPECT_EQ(r.value(2, 3), QVariant(false));
    EXPECT_EQ(r.value(0, 4), QVariant(QDateTime(QDate(2026, 1, 31), QTime(10, 30), QTimeZone::utc())));
    EXPECT_EQ(r.value(1, 4), QVariant(QDateTime(QDate(2026, 2, 1), QTime(0, 0), QTimeZone::utc())));
    EXPECT_TRUE(r.isNull(2, 4));
}

TEST_F(SqlitePacketTest, BoundValuesMeetTheRowsTheyNameAndBadValuesFail)
{
    // A null text binds NULL, a number binds a number (7 = 7, not '7'), a date its ISO text.
    EXPECT_EQ(select("WHERE I = ? OR I IS ?", {7, QVariant(QMetaType::fromType<QString>())}).rowCount(), 2);
    EXPECT_EQ(select("WHERE D = ?", {QDate(2026, 2, 1)}).rowCount(), 1);
    EXPECT_EQ(select("WHERE F >= ? AND B = ?", {2.5, true}).rowCount(), 1);

    QSqlQuery(database.db()).exec("UPDATE MISTO SET F = 'muito' WHERE K = 3");
    EXPECT_THROW(select("", {}), framework::Error);
    QSqlDatabase db = database.db();
    EXPECT_THROW(appserver::selectSqlitePacket(db, "SELECT NADA FROM MISTO", {}, {}), framework::Error);
}

} // namespace
