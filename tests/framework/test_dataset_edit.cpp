#include "dataset_fixture.h"

using namespace framework;

namespace {

class DataSetEdit : public ::testing::Test {
protected:
    void SetUp() override
    {
        fillDishes(ds, {{"01", "Arroz", 1.5}, {"02", "Feijão", 2}, {"03", "Salada", 0.3}});
    }
    void record(const char* name, ClientDataSet::Event& event)
    {
        event = [this, name](ClientDataSet&) { log << name; };
    }
    ClientDataSet ds{nullptr, "cdsPrato"};
    QStringList log;
};

TEST_F(DataSetEdit, InsertAndPostRunTheirEventsInOrder)
{
    record("BeforeInsert", ds.BeforeInsert);
    record("BeforeScroll", ds.BeforeScroll);
    record("OnNewRecord", ds.OnNewRecord);
    record("AfterInsert", ds.AfterInsert);
    record("AfterScroll", ds.AfterScroll);
    record("BeforePost", ds.BeforePost);
    record("AfterPost", ds.AfterPost);
    ds.Insert();
    ds.FieldByName("CDPRATO")->setAsString("04");
    ds.Post();
    EXPECT_EQ(log, QStringList({"BeforeInsert", "BeforeScroll", "OnNewRecord", "AfterInsert", "AfterScroll",
                                "BeforePost", "AfterPost"}));
}

TEST_F(DataSetEdit, AbortInBeforeEventsLeavesRowsStateAndCursorAsTheyWere)
{
    ds.SetRecNo(2);
    ds.BeforeInsert = [](ClientDataSet&) { throw Abort(); };
    EXPECT_THROW(ds.Append(), Abort);
    EXPECT_EQ(ds.RecordCount(), 3);
    EXPECT_EQ(ds.RecNo(), 2);
    EXPECT_EQ(ds.state(), ClientDataSet::State::Browse);

    ds.BeforeDelete = [](ClientDataSet&) { throw Abort(); };
    EXPECT_THROW(ds.Delete(), Abort);
    EXPECT_EQ(codes(ds), QStringList({"01", "02", "03"}));
    EXPECT_EQ(ds.ChangeCount(), 0);

    // A refused post keeps the user's typing and the edit state, and logs nothing.
    ds.BeforePost = [](ClientDataSet& d) {
        if (d.FieldByName("NMPRATO")->AsString().isEmpty())
            throw Abort();
    };
    ds.Edit();
    ds.FieldByName("NMPRATO")->Clear();
    ds.FieldByName("QTPESO")->setAsString("3,25");
    EXPECT_THROW(ds.Post(), Abort);
    EXPECT_EQ(ds.state(), ClientDataSet::State::Edit);
    EXPECT_DOUBLE_EQ(ds.FieldByName("QTPESO")->AsFloat(), 3.25);
    EXPECT_EQ(ds.ChangeCount(), 0);
    ds.Cancel();
    EXPECT_EQ(ds.FieldByName("NMPRATO")->AsString(), "Feijão");
    EXPECT_DOUBLE_EQ(ds.FieldByName("QTPESO")->AsFloat(), 2);
}

TEST_F(DataSetEdit, FailingNewRecordHandlerRemovesTheRow)
{
    ds.SetRecNo(3);
    ds.OnNewRecord = [](ClientDataSet&) { throw Error("sem código"); };
    EXPECT_THROW(ds.Insert(), Error);
    EXPECT_EQ(codes(ds), QStringList({"01", "02", "03"}));
    EXPECT_EQ(ds.RecNo(), 3);
    EXPECT_EQ(ds.state(), ClientDataSet::State::Browse);
}

TEST_F(DataSetEdit, InsertPlacesTheRowBeforeTheCurrentAndCancelRemovesIt)
{
    ds.SetRecNo(2);
    ds.Insert();
    EXPECT_EQ(ds.RecNo(), 2);
    ds.FieldByName("CDPRATO")->setAsString("9");
    ds.Cancel();
    EXPECT_EQ(codes(ds), QStringList({"01", "02", "03"}));
    ds.Insert();
    ds.FieldByName("CDPRATO")->setAsString("015");
    ds.Post();
    EXPECT_EQ(codes(ds), QStringList({"01", "015", "02", "03"}));
    EXPECT_EQ(ds.FieldByName("CDPRATO")->AsString(), "015");
}

TEST_F(DataSetEdit, MovingTheCursorPostsAPendingEdit)
{
    ds.Edit();
    ds.FieldByName("NMPRATO")->setAsString("Arroz integral");
    ds.Next();
    EXPECT_EQ(ds.state(), ClientDataSet::State::Browse);
    EXPECT_EQ(ds.ChangeCount(), 1);
    ds.First();
    EXPECT_EQ(ds.FieldByName("NMPRATO")->AsString(), "Arroz integral");
}

TEST_F(DataSetEdit, WritingOutsideEditStateOrReadOnlyFieldIsRefused)
{
    EXPECT_THROW(ds.FieldByName("NMPRATO")->setAsString("x"), Error);
    ds.FieldByName("CDPRATO")->setReadOnly(true);
    ds.Edit();
    EXPECT_THROW(ds.FieldByName("CDPRATO")->setAsString("x"), Error);
    EXPECT_EQ(ds.FieldByName("CDPRATO")->AsString(), "01");
}

TEST_F(DataSetEdit, ValidateHandlerRefusalKeepsTheOldValue)
{
    Field* weight = ds.FieldByName("QTPESO");
    weight->OnValidate = [](Field& f) {
        if (f.AsFloat() < 0)
            throw Error("O peso não pode ser negativo.");
    };
    int changes = 0;
    weight->OnChange = [&](Field&) { ++changes; };
    ds.Edit();
    EXPECT_THROW(weight->setAsFloat(-1), Error);
    EXPECT_DOUBLE_EQ(weight->AsFloat(), 1.5);
    weight->setAsFloat(2);
    EXPECT_EQ(changes, 1);
}

TEST_F(DataSetEdit, RequiredFieldIsCheckedAtPost)
{
    ds.FieldByName("NMPRATO")->setRequired(true);
    ds.FieldByName("NMPRATO")->setDisplayLabel("Nome");
    ds.Append();
    ds.FieldByName("CDPRATO")->setAsString("04");
    try {
        ds.Post();
        FAIL() << "post without the required field";
    } catch (const Error& e) {
        EXPECT_EQ(e.message(), "O campo 'Nome' deve ser informado.");
    }
    EXPECT_EQ(ds.state(), ClientDataSet::State::Insert);
}

TEST_F(DataSetEdit, DeleteKeepsCursorOnTheNextRowAndEmptyDataSetRefusesDelete)
{
    ds.SetRecNo(2);
    ds.Delete();
    EXPECT_EQ(ds.FieldByName("CDPRATO")->AsString(), "03");
    ds.Delete();
    EXPECT_EQ(ds.FieldByName("CDPRATO")->AsString(), "01");
    ds.Delete();
    EXPECT_TRUE(ds.IsEmpty());
    EXPECT_TRUE(ds.Eof());
    EXPECT_THROW(ds.Delete(), Error);
    // Edit on an empty dataset starts an insertion, as users expect of a grid.
    ds.Edit();
    EXPECT_EQ(ds.state(), ClientDataSet::State::Insert);
}

TEST_F(DataSetEdit, NavigationFlags)
{
    EXPECT_TRUE(ds.Bof());
    QStringList seen;
    for (ds.First(); !ds.Eof(); ds.Next())
        seen << ds.FieldByName("CDPRATO")->AsString();
    EXPECT_EQ(seen, QStringList({"01", "02", "03"}));
    EXPECT_EQ(ds.RecNo(), 3);
    ds.Last();
    ds.Prior();
    EXPECT_EQ(ds.RecNo(), 2);
    const auto mark = ds.GetBookmark();
    ds.First();
    ds.GotoBookmark(mark);
    EXPECT_EQ(ds.FieldByName("CDPRATO")->AsString(), "02");
    ds.Delete();
    EXPECT_FALSE(ds.BookmarkValid(mark));
    EXPECT_THROW(ds.GotoBookmark(mark), Error);
}

TEST_F(DataSetEdit, CalculatedFieldsFollowTheirSources)
{
    ClientDataSet calc(nullptr, "cdsCalc");
    calc.AddField("QTPRODPRAT", FieldType::Float);
    calc.AddField("VRPEFATCOCPR", FieldType::Float);
    calc.AddCalcField("BASECALCNUTR", FieldType::Float);
    calc.OnCalcFields = [](ClientDataSet& d) {
        d.FieldByName("BASECALCNUTR")->setAsFloat(d.FieldByName("QTPRODPRAT")->AsFloat()
                                                  * (1 + d.FieldByName("VRPEFATCOCPR")->AsFloat() / 100));
    };
    calc.CreateDataSet();
    calc.Append();
    calc.FieldByName("QTPRODPRAT")->setAsFloat(2);
    calc.FieldByName("VRPEFATCOCPR")->setAsFloat(50);
    EXPECT_DOUBLE_EQ(calc.FieldByName("BASECALCNUTR")->AsFloat(), 3);
    calc.Post();
    calc.Edit();
    calc.FieldByName("VRPEFATCOCPR")->setAsFloat(0);
    calc.Cancel();
    EXPECT_DOUBLE_EQ(calc.FieldByName("BASECALCNUTR")->AsFloat(), 3);
    EXPECT_THROW(calc.FieldByName("BASECALCNUTR")->setAsFloat(1), Error);
    // Calculated fields never travel to the server.
    EXPECT_EQ(calc.GetDelta().fields().size(), 2);
}

TEST_F(DataSetEdit, DisabledControlsHearNothingUntilEnabled)
{
    int resets = 0, moves = 0;
    QObject::connect(&ds, &ClientDataSet::rowsReset, [&] { ++resets; });
    QObject::connect(&ds, &ClientDataSet::currentChanged, [&] { ++moves; });
    ds.DisableControls();
    ds.DisableControls();
    for (ds.First(); !ds.Eof(); ds.Next()) {
        ds.Edit();
        ds.FieldByName("QTPESO")->setAsFloat(0);
        ds.Post();
    }
    ds.EnableControls();
    EXPECT_EQ(resets + moves, 0);
    ds.EnableControls();
    EXPECT_EQ(resets, 1);
    EXPECT_EQ(moves, 1);
}

} // namespace
