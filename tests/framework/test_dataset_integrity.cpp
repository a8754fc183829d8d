// What a dataset hands out and keeps must be the data as read and as posted: cursor loops that
// see every row, bookmarks that name records, rebinding by name, values that are refused rather
// than changed, and failures that leave a consistent view.
#include "dataset_fixture.h"

#include "framework/data/wirejson.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QSignalSpy>
#include <QTimeZone>
#include <cmath>
#include <limits>

using namespace framework;

namespace {

class DataIntegrity : public ::testing::Test {
protected:
    void SetUp() override
    {
        fillDishes(ds, {{"01", "Arroz", 1.5}, {"02", "Feijão", 2}, {"03", "Salada", 0.3}, {"04", "Suco", 0.2}});
    }
    QString name() const { return ds.FieldByName("NMPRATO")->AsString(); }
    ClientDataSet ds{nullptr, "cdsPrato"};
};

DataPacket reordered(const QList<std::tuple<QString, QString>>& rows)
{
    // The same columns in another order, and one more: the fields follow the packet.
    DataPacket packet({{"EXTRA", FieldType::String, 5},
                       {"NMPRATO", FieldType::String, 40},
                       {"CDPRATO", FieldType::String, 10}});
    for (const auto& [code, name] : rows) {
        const int r = packet.appendRow();
        packet.rows.setValue(r, 1, name);
        packet.rows.setValue(r, 2, code);
    }
    return packet;
}

} // namespace

TEST_F(DataIntegrity, MoveByLoopsVisitTheLastRowAndFlagOnlyAStoppedMove)
{
    QStringList seen;
    for (ds.First(); !ds.Eof(); ds.MoveBy(1))
        seen << ds.FieldByName("CDPRATO")->AsString();
    EXPECT_EQ(seen, QStringList({"01", "02", "03", "04"}));

    ds.First();
    ds.MoveBy(3);
    EXPECT_FALSE(ds.Eof()); // on the last row, not past it
    EXPECT_EQ(ds.RecNo(), 4);
    ds.MoveBy(5);
    EXPECT_TRUE(ds.Eof());
    EXPECT_EQ(ds.RecNo(), 4);
    ds.MoveBy(-3);
    EXPECT_FALSE(ds.Bof());
    EXPECT_EQ(ds.RecNo(), 1);
    ds.MoveBy(-1);
    EXPECT_TRUE(ds.Bof());
}

TEST_F(DataIntegrity, BookmarksNameRecordsAcrossMergesAndNewData)
{
    ASSERT_TRUE(ds.Locate("CDPRATO", "04"));
    const auto suco = ds.GetBookmark();
    ds.First();
    const auto arroz = ds.GetBookmark();
    // Deleting and merging drops rows from the store (compaction moves the others).
    ds.Delete();
    ds.Delete();
    ds.MergeChangeLog();
    ASSERT_TRUE(ds.BookmarkValid(suco));
    ds.First();
    ds.GotoBookmark(suco);
    EXPECT_EQ(name(), "Suco");
    EXPECT_FALSE(ds.BookmarkValid(arroz));
    EXPECT_THROW(ds.GotoBookmark(arroz), Error);

    // New data: a bookmark of the old rows never lands on a new one.
    fillDishes(ds, {{"09", "Sopa", 1}, {"08", "Pão", 1}, {"07", "Bolo", 1}, {"06", "Café", 1}});
    EXPECT_FALSE(ds.BookmarkValid(suco));
    EXPECT_THROW(ds.GotoBookmark(suco), Error);
}

TEST_F(DataIntegrity, DeltaAndDataSendTheLastPostedValuesOfARecordBeingEdited)
{
    ASSERT_TRUE(ds.Locate("CDPRATO", "02"));
    ds.Edit();
    ds.FieldByName("NMPRATO")->setValue("Feijão preto");
    ds.Post();
    ds.Edit();
    ds.FieldByName("NMPRATO")->setValue("ainda digitando");

    const DataPacket delta = ds.GetDelta();
    ASSERT_EQ(delta.rowCount(), 1);
    EXPECT_EQ(delta.rows.text(0, 1), "Feijão preto");
    EXPECT_EQ(delta.originals.text(0, 1), "Feijão");

    const DataPacket data = ds.Data();
    EXPECT_EQ(data.rows.text(1, 1), "Feijão preto");
    ds.Cancel();
    ds.MergeChangeLog();

    // An edit of an unchanged record: the copy has the record as it is stored.
    ds.Edit();
    ds.FieldByName("NMPRATO")->setValue("não postado");
    EXPECT_EQ(ds.Data().rows.text(1, 1), "Feijão preto");
    EXPECT_EQ(ds.GetDelta().rowCount(), 0);
}

TEST_F(DataIntegrity, FiltersAndIndexesFollowTheirFieldsByNameWhenNewDataRebindsThem)
{
    ds.AddIndex("Nome", "NMPRATO");
    ds.setIndexName("Nome");
    ds.setFilter("CDPRATO <> '03'");
    ds.setFiltered(true);
    EXPECT_EQ(codes(ds), QStringList({"01", "02", "04"}));

    ds.SetData(reordered({{"03", "Abobrinha"}, {"05", "Caldo"}, {"01", "Zimbro"}}));
    EXPECT_EQ(codes(ds), QStringList({"05", "01"})); // by name, without 03
    ASSERT_TRUE(ds.Locate("CDPRATO", "01"));
    EXPECT_EQ(name(), "Zimbro");

    // A packet without a field the filter or an index names is refused before anything changes.
    DataPacket other({{"CDPRATO", FieldType::String, 10}});
    other.appendRow();
    EXPECT_THROW(ds.SetData(other), Error);
    EXPECT_EQ(codes(ds), QStringList({"05", "01"}));
    EXPECT_EQ(name(), "Zimbro");
}

TEST_F(DataIntegrity, FailingCalculationOnOpenLeavesTheNewRowsShown)
{
    ClientDataSet calc(nullptr, "cdsCalc");
    calc.AddField("CDPRATO", FieldType::String, 10);
    calc.AddCalcField("DOBRO", FieldType::Float);
    calc.CreateDataSet();
    calc.OnCalcFields = [](ClientDataSet& d) {
        if (d.FieldByName("CDPRATO")->AsString() == "ruim")
            throw Error("cálculo falhou");
        d.FieldByName("DOBRO")->setValue(2);
    };
    DataPacket packet({{"CDPRATO", FieldType::String, 10}});
    for (const char* code : {"a", "b", "ruim"})
        packet.rows.setValue(packet.appendRow(), 0, QString(code));
    QSignalSpy resets(&calc, &ClientDataSet::rowsReset);
    EXPECT_THROW(calc.SetData(packet), Error);
    EXPECT_EQ(calc.RecordCount(), 3);
    EXPECT_GE(resets.count(), 1);
    for (int pos = 0; pos < calc.RecordCount(); ++pos)
        EXPECT_TRUE(calc.valueAt(pos, calc.FieldByName("CDPRATO")).isValid()); // no row of the old store
}

TEST_F(DataIntegrity, AControlsRefusalReachesPostWithoutCrossingTheSignal)
{
    ds.Edit();
    ds.FieldByName("NMPRATO")->setValue("Arroz integral");
    QObject control;
    QObject::connect(&ds, &ClientDataSet::aboutToPost, &control, [this] {
        try {
            throw Error("Texto inválido no controle.");
        } catch (...) {
            ds.refusePost(std::current_exception());
        }
    });
    EXPECT_THROW(ds.Post(), Error);
    EXPECT_EQ(ds.state(), ClientDataSet::State::Edit);
    EXPECT_EQ(ds.ChangeCount(), 0);
}

TEST_F(DataIntegrity, UndoLastChangeTakesBackOnlyTheLastRecordsChange)
{
    ASSERT_TRUE(ds.Locate("CDPRATO", "02"));
    ds.Edit();
    ds.FieldByName("NMPRATO")->setValue("Feijão preto");
    ds.Post();
    ASSERT_TRUE(ds.Locate("CDPRATO", "03"));
    ds.Delete();
    EXPECT_EQ(ds.ChangeCount(), 2);

    ASSERT_TRUE(ds.UndoLastChange(true));
    EXPECT_EQ(ds.ChangeCount(), 1);
    EXPECT_EQ(name(), "Salada"); // back, and current
    EXPECT_EQ(ds.RecordCount(), 4);
    ASSERT_TRUE(ds.Locate("CDPRATO", "02"));
    EXPECT_EQ(name(), "Feijão preto"); // still pending
    EXPECT_TRUE(ds.UndoLastChange(false));
    EXPECT_FALSE(ds.UndoLastChange(false));
    EXPECT_EQ(ds.ChangeCount(), 0);
}

TEST_F(DataIntegrity, AnEditThatKeepsTheRowInPlaceNotifiesThatRowOnly)
{
    QSignalSpy resets(&ds, &ClientDataSet::rowsReset);
    QSignalSpy rows(&ds, &ClientDataSet::rowChanged);
    ASSERT_TRUE(ds.Locate("CDPRATO", "03"));
    ds.Edit();
    ds.FieldByName("NMPRATO")->setValue("Salada verde");
    ds.Post();
    EXPECT_EQ(resets.count(), 0);
    ASSERT_FALSE(rows.isEmpty());
    EXPECT_EQ(rows.last().at(0).toInt(), 2);

    // A post that moves the row in the order resets the views.
    ds.setIndexFieldNames("NMPRATO");
    resets.clear();
    ASSERT_TRUE(ds.Locate("CDPRATO", "01"));
    ds.Edit();
    ds.FieldByName("NMPRATO")->setValue("Zimbro");
    ds.Post();
    EXPECT_EQ(resets.count(), 1);
}

TEST(ValueConversion, BrazilianTextFirstAndNothingSilentlyChanged)
{
    EXPECT_DOUBLE_EQ(RowStore::convert("1,500", FieldType::Float).toDouble(), 1.5);
    EXPECT_DOUBLE_EQ(RowStore::convert("1.500,25", FieldType::Float).toDouble(), 1500.25);
    EXPECT_DOUBLE_EQ(RowStore::convert("1.5", FieldType::Float).toDouble(), 1.5);
    EXPECT_THROW(RowStore::convert("1,5,0", FieldType::Float), Error);
    for (const char* text : {"nan", "inf", "-inf"})
        EXPECT_THROW(RowStore::convert(text, FieldType::Float), Error) << text;
    EXPECT_THROW(RowStore::convert(std::numeric_limits<double>::quiet_NaN(), FieldType::Float), Error);
    EXPECT_THROW(RowStore::convert(std::numeric_limits<double>::infinity(), FieldType::Float), Error);

    EXPECT_EQ(RowStore::convert("27", FieldType::Integer).toLongLong(), 27);
    EXPECT_EQ(RowStore::convert(3.0, FieldType::Integer).toLongLong(), 3);
    EXPECT_THROW(RowStore::convert("2,7", FieldType::Integer), Error);
    EXPECT_THROW(RowStore::convert(2.7, FieldType::Integer), Error);
    EXPECT_THROW(RowStore::convert(std::nan(""), FieldType::Integer), Error);

    // What the user types into an integer field is refused and the value kept.
    ClientDataSet ds(nullptr, "cdsPrato");
    fillDishes(ds, {{"01", "Arroz", 1}});
    ds.Edit();
    ds.FieldByName("NRCOR")->setAsInteger(4);
    EXPECT_THROW(ds.FieldByName("NRCOR")->setAsString("2,7"), Error);
    EXPECT_EQ(ds.FieldByName("NRCOR")->AsInteger(), 4);
}

TEST(ValueConversion, PacketsRefuseNumbersThatWouldChangeAndKeepTextsAsRead)
{
    const auto read = [](const char* json) { return DataPacket::fromJson(QJsonDocument::fromJson(json).object()); };
    EXPECT_THROW(read(R"({"fields":[{"name":"N","type":"integer"}],"rows":[[2.5]]})"), Error);
    EXPECT_THROW(read(R"({"fields":[{"name":"N","type":"integer"}],"rows":[[1e300]]})"), Error);
    EXPECT_THROW(read(R"({"fields":[{"name":"N","type":"integer"}],"rows":[["2,7"]]})"), Error);
    EXPECT_EQ(read(R"({"fields":[{"name":"N","type":"integer"}],"rows":[[12.0]]})").rows.integer(0, 0), 12);
    EXPECT_THROW(variantFromJson(QJsonDocument::fromJson(R"({"float":null})").object()), Error);
    EXPECT_THROW(variantToJson(std::numeric_limits<double>::quiet_NaN()), Error);

    // An empty text and a null stay apart; a text longer than its column comes whole.
    const DataPacket p = read(R"({"fields":[{"name":"T","type":"string","size":3}],"rows":[[""],[null],["abcdef"]]})");
    EXPECT_FALSE(p.rows.isNull(0, 0));
    EXPECT_TRUE(p.rows.isNull(1, 0));
    EXPECT_EQ(p.rows.text(2, 0), "abcdef");
    const DataPacket back = DataPacket::fromJson(p.toJson());
    EXPECT_FALSE(back.rows.isNull(0, 0));
    EXPECT_TRUE(back.rows.isNull(1, 0));

    // The dataset keeps them so in its originals; forms see an empty text as not informed.
    ClientDataSet ds(nullptr, "cds");
    ds.SetData(p);
    EXPECT_TRUE(ds.FieldByName("T")->IsNull());
    ds.Edit();
    ds.Post();
    const DataPacket delta = ds.GetDelta();
    EXPECT_FALSE(delta.originals.isNull(0, 0));
    EXPECT_EQ(delta.originals.text(0, 0), "");
}

TEST(ValueConversion, DateTimesWithAZoneKeepTheirWallClock)
{
    const QDateTime midnight(QDate(2026, 1, 1), QTime(0, 0), QTimeZone::utc());
    for (const char* text : {"2026-01-01T00:00:00.000+00:00", "2026-01-01T00:00:00Z", "2026-01-01 00:00:00-03",
                             "2026-01-01T00:00:00.000000-0300", "2026-01-01"})
        EXPECT_EQ(RowStore::parseDateTime(text), midnight) << text;
    EXPECT_EQ(RowStore::parseDateTime("2026-01-01 10:30:00.5+01:00"),
              QDateTime(QDate(2026, 1, 1), QTime(10, 30, 0, 500), QTimeZone::utc()));
}

TEST(ValueConversion, ResultsWrittenAsTextReadAsTheirJsonTree)
{
    DataPacket packet({{"T", FieldType::String, 20, true, pfInKey | pfInWhere},
                       {"F", FieldType::Float},
                       {"I", FieldType::Integer},
                       {"B", FieldType::Boolean},
                       {"D", FieldType::DateTime},
                       {"X", FieldType::Blob}});
    int r = packet.appendRow(RowStatus::Modified);
    packet.rows.setValue(r, 0, QString("Feijão \"carioca\" \\ \t\n\x01 ✓"));
    packet.rows.setValue(r, 1, 0.1 + 0.2);
    packet.rows.setValue(r, 2, qint64(9007199254740993));
    packet.rows.setValue(r, 3, true);
    packet.rows.setValue(r, 4, QDateTime(QDate(2026, 2, 28), QTime(23, 59, 58, 123), QTimeZone::utc()));
    packet.rows.setValue(r, 5, QByteArray("\x00\xff", 2));
    packet.originals.setValue(r, 0, QString("antes"));
    packet.rows.load(packet.appendRow(RowStatus::Inserted), 0, QString(""));
    packet.rows.setValue(packet.appendRow(), 1, -1e-300);

    const QVariant result = QVariantList{QVariant::fromValue(packet), "ok", 6, QVariant(), 2.5};
    const QJsonDocument text = QJsonDocument::fromJson("[" + QByteArray::fromStdString(writeValueJson(result)) + "]");
    ASSERT_TRUE(text.isArray());
    EXPECT_EQ(text.array().at(0), variantToJson(result));
    const DataPacket back = toPacket(variantFromJson(text.array().at(0)).toList().at(0));
    EXPECT_EQ(back.rows.value(0, 1).toDouble(), 0.1 + 0.2);
    EXPECT_FALSE(back.rows.isNull(1, 0));
}
