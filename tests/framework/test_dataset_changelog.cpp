#include "dataset_fixture.h"

#include <QJsonDocument>

using namespace framework;

namespace {

class ChangeLog : public ::testing::Test {
protected:
    void SetUp() override { fillDishes(ds, {{"01", "Arroz", 1.5}, {"02", "Feijão", 2}, {"03", "Salada", 0.3}}); }
    void rename(int recNo, const QString& name)
    {
        ds.SetRecNo(recNo);
        ds.Edit();
        ds.FieldByName("NMPRATO")->setAsString(name);
        ds.Post();
    }
    ClientDataSet ds{nullptr, "cdsPrato"};
};

TEST_F(ChangeLog, SeveralPostsOfOneRowAreOneChangeWithTheFirstOriginal)
{
    rename(2, "Feijão preto");
    rename(2, "Feijão tropeiro");
    EXPECT_EQ(ds.ChangeCount(), 1);
    const DataPacket delta = ds.GetDelta();
    ASSERT_EQ(delta.rowCount(), 1);
    EXPECT_EQ(delta.rowStatus(0), RowStatus::Modified);
    EXPECT_EQ(delta.rows.text(0, 1), "Feijão tropeiro");
    EXPECT_EQ(delta.originals.text(0, 1), "Feijão");
}

TEST_F(ChangeLog, DeltaHoldsInsertedModifiedAndDeletedRowsAndSurvivesJson)
{
    rename(1, "Arroz à grega");
    ds.SetRecNo(3);
    ds.Delete();
    ds.Append();
    ds.FieldByName("CDPRATO")->setAsString("04");
    ds.FieldByName("QTPESO")->setAsFloat(0.125);
    ds.Post();
    EXPECT_EQ(ds.ChangeCount(), 3);

    const QByteArray wire = QJsonDocument(ds.GetDelta().toJson()).toJson(QJsonDocument::Compact);
    const DataPacket delta = DataPacket::fromJson(QJsonDocument::fromJson(wire).object());
    ASSERT_EQ(delta.rowCount(), 3);
    QMap<RowStatus, int> byStatus;
    for (int r = 0; r < delta.rowCount(); ++r)
        byStatus[delta.rowStatus(r)] = r;
    const int mod = byStatus.value(RowStatus::Modified), del = byStatus.value(RowStatus::Deleted),
              ins = byStatus.value(RowStatus::Inserted);
    EXPECT_EQ(delta.originals.text(mod, 1), "Arroz");
    EXPECT_EQ(delta.originals.text(del, 0), "03");
    EXPECT_EQ(delta.rows.text(ins, 0), "04");
    EXPECT_DOUBLE_EQ(delta.rows.number(ins, 2), 0.125);
    EXPECT_TRUE(delta.rows.isNull(ins, 1));
}

TEST_F(ChangeLog, InsertedThenDeletedRowLeavesNoChange)
{
    ds.Append();
    ds.FieldByName("CDPRATO")->setAsString("04");
    ds.Post();
    ds.Delete();
    EXPECT_EQ(ds.ChangeCount(), 0);
    EXPECT_EQ(ds.GetDelta().rowCount(), 0);
}

TEST_F(ChangeLog, CancelUpdatesRestoresRowsInTheirPlaces)
{
    rename(1, "Arroz doce");
    ds.SetRecNo(2);
    ds.Delete();
    ds.Append();
    ds.FieldByName("CDPRATO")->setAsString("04");
    ds.Post();
    ds.CancelUpdates();
    EXPECT_EQ(ds.ChangeCount(), 0);
    EXPECT_EQ(codes(ds), QStringList({"01", "02", "03"}));
    ds.First();
    EXPECT_EQ(ds.FieldByName("NMPRATO")->AsString(), "Arroz");
}

TEST_F(ChangeLog, MergeMakesChangesTheNewOriginals)
{
    rename(1, "Arroz doce");
    ds.SetRecNo(2);
    ds.Delete();
    ds.MergeChangeLog();
    EXPECT_EQ(ds.ChangeCount(), 0);
    rename(1, "Arroz carreteiro");
    EXPECT_EQ(ds.GetDelta().originals.text(0, 1), "Arroz doce");
    ds.CancelUpdates();
    EXPECT_EQ(codes(ds), QStringList({"01", "03"}));
}

TEST_F(ChangeLog, DataCarriesPendingChangesToAnotherDataSet)
{
    rename(2, "Feijão preto");
    ClientDataSet copy(nullptr, "cdsCopia");
    copy.CopyFrom(ds);
    EXPECT_EQ(copy.ChangeCount(), 1);
    EXPECT_EQ(codes(copy), codes(ds));
    EXPECT_EQ(copy.GetDelta().originals.text(0, 1), "Feijão");
}

TEST(ChangeLogMerge, ManyMergedDeletionsAreDroppedAndTheRestStaysIntact)
{
    ClientDataSet ds(nullptr, "cdsProdPrat");
    QList<std::tuple<QString, QString, double>> rows;
    for (int i = 0; i < 40; ++i)
        rows.append({QStringLiteral("%1").arg(i, 3, 10, QLatin1Char('0')), QStringLiteral("Produto %1").arg(i), i});
    fillDishes(ds, rows);
    ds.setIndexFieldNames("QTPESO");
    ds.AddIndex("Desc", "QTPESO", "QTPESO");
    // Delete every row with an even weight, change one survivor, insert one: then merge.
    for (ds.First(); !ds.Eof();) {
        if (int(ds.FieldByName("QTPESO")->AsFloat()) % 2 == 0)
            ds.Delete();
        else
            ds.Next();
    }
    ASSERT_TRUE(ds.Locate("CDPRATO", "007"));
    ds.Edit();
    ds.FieldByName("NMPRATO")->setAsString("Sete");
    ds.Post();
    ds.Append();
    ds.FieldByName("CDPRATO")->setAsString("100");
    ds.FieldByName("QTPESO")->setAsFloat(0.5);
    ds.Post();
    ds.MergeChangeLog();

    EXPECT_EQ(ds.RecordCount(), 21);
    EXPECT_EQ(codes(ds).first(), "100");
    ds.setIndexName("Desc");
    EXPECT_EQ(codes(ds).first(), "039");
    ASSERT_TRUE(ds.Locate("CDPRATO", "007"));
    EXPECT_EQ(ds.FieldByName("NMPRATO")->AsString(), "Sete");
    // The merged rows are the new originals: a later change and its undo work on them.
    ds.Edit();
    ds.FieldByName("NMPRATO")->setAsString("Sete de novo");
    ds.Post();
    ds.Delete();
    EXPECT_EQ(ds.ChangeCount(), 1);
    EXPECT_EQ(ds.GetDelta().originals.text(0, 1), "Sete");
    ds.CancelUpdates();
    EXPECT_EQ(ds.RecordCount(), 21);
    ASSERT_TRUE(ds.Locate("CDPRATO", "007"));
    EXPECT_EQ(ds.FieldByName("NMPRATO")->AsString(), "Sete");
    EXPECT_EQ(ds.Data().rowCount(), 21);
}

TEST(DataPacketJson, EveryTypeNullAndBlobRoundTripExactly)
{
    DataPacket packet({{"T", FieldType::String, 20, true, pfInKey | pfInWhere},
                       {"F", FieldType::Float},
                       {"I", FieldType::Integer},
                       {"B", FieldType::Boolean},
                       {"D", FieldType::DateTime},
                       {"X", FieldType::Blob}});
    const QByteArray blob("\x00\x01\xff{\"}", 6);
    int r = packet.appendRow();
    packet.rows.setValue(r, 0, QString("Feijão \"carioca\" ✓"));
    packet.rows.setValue(r, 1, 0.1 + 0.2);
    packet.rows.setValue(r, 2, qint64(9007199254740993)); // beyond what a double holds exactly
    packet.rows.setValue(r, 3, false);
    packet.rows.setValue(r, 4, QDateTime(QDate(2026, 2, 28), QTime(23, 59, 58, 123)));
    packet.rows.setValue(r, 5, blob);
    packet.appendRow(); // all null

    const QByteArray wire = QJsonDocument(variantToJson(QVariantList{QVariant::fromValue(packet), "ok", 6}).toObject()).toJson();
    const QVariantList back = variantFromJson(QJsonDocument::fromJson(wire).object()).toList();
    ASSERT_EQ(back.size(), 3);
    const DataPacket p = toPacket(back[0]);
    EXPECT_EQ(p.fields(), packet.fields());
    for (int col = 0; col < 6; ++col) {
        EXPECT_EQ(p.rows.value(0, col), packet.rows.value(0, col)) << col;
        EXPECT_TRUE(p.rows.isNull(1, col)) << col;
    }
    EXPECT_EQ(back[1].toString(), "ok");
    EXPECT_EQ(back[2].toLongLong(), 6);
}

TEST(DataPacketJson, MalformedInputIsAnErrorNotACrash)
{
    for (const char* text : {R"({"rows":[]})", R"({"fields":[{"name":"A","type":"float"}],"rows":[["x"]]})",
                             R"({"fields":[{"name":"A","type":"nope"}],"rows":[]})",
                             R"({"fields":[{"name":"A","type":"string"}],"rows":[[1,2]]})",
                             R"({"fields":[{"name":"A","type":"string"}],"rows":[["a"]],"status":"UX","originals":[null]})"}) {
        EXPECT_THROW(DataPacket::fromJson(QJsonDocument::fromJson(text).object()), Error) << text;
    }
    EXPECT_THROW(variantFromJson(QJsonDocument::fromJson(R"({"what":1})").object()), Error);
    EXPECT_TRUE(isServerFault(variantFromJson(variantToJson(QVariant::fromValue(ServerFault{"falhou"})))));
}

TEST(DataSetStructure, DeclaredFieldsMustComeInThePacket)
{
    ClientDataSet ds(nullptr, "cdsPrato");
    Field* code = ds.AddField("CDPRATO", FieldType::String, 10);
    ds.AddField("NMPRATO", FieldType::String, 40);
    EXPECT_EQ(code->objectName(), "cdsPratoCDPRATO");
    DataPacket onlyCode({{"CDPRATO", FieldType::String, 10}});
    EXPECT_THROW(ds.SetData(onlyCode), Error);
    EXPECT_FALSE(ds.Active());
    DataPacket both({{"nmprato", FieldType::String, 40}, {"CDPRATO", FieldType::String, 10}, {"EXTRA", FieldType::Float}});
    both.rows.setValue(both.appendRow(), 1, QString("01"));
    ds.SetData(both);
    EXPECT_EQ(ds.FieldByName("CDPRATO"), code); // the form's field objects stay
    EXPECT_EQ(code->AsString(), "01");
    EXPECT_EQ(ds.FindField("EXTRA"), nullptr);
}

} // namespace
