#include "dataset_fixture.h"

#include "framework/data/datasource.h"

using namespace framework;

namespace {

class Search : public ::testing::Test {
protected:
    void SetUp() override
    {
        fillDishes(ds, {{"0301", "Salada de alface", 0.3},
                        {"0101", "Arroz branco", 1.5},
                        {"0201", "Feijão carioca", 2},
                        {"0102", "arroz integral", 1.2},
                        {"0202", "Feijão d'água", 2}});
    }
    ClientDataSet ds{nullptr, "cdsPrato"};
};

TEST_F(Search, FilterSelectsRowsAndCanBeSwitchedOff)
{
    ds.setFilter("CDPRATO LIKE '01%' or NMPRATO = 'Feijão d''água'");
    ds.setFiltered(true);
    EXPECT_EQ(codes(ds), QStringList({"0101", "0102", "0202"}));
    ds.setFilter("QTPESO >= 1.5 and not (NMPRATO LIKE 'Feij%')");
    EXPECT_EQ(codes(ds), QStringList({"0101"}));
    ds.setFilter("NRCOR IS NULL and QTPESO < 1");
    EXPECT_EQ(codes(ds), QStringList({"0301"}));
    ds.setFiltered(false);
    EXPECT_EQ(ds.RecordCount(), 5);
}

TEST_F(Search, MalformedFilterFailsClearlyAndKeepsTheView)
{
    ds.setFilter("CDPRATO LIKE '01%'");
    ds.setFiltered(true);
    for (const char* bad : {"CDPRATO = 'x", "(CDPRATO = 'x'", "CDPRATO =", "NAOEXISTE = 1", "CDPRATO = 'x' lixo"}) {
        try {
            ds.setFilter(bad);
            ADD_FAILURE() << bad;
        } catch (const Error& e) {
            EXPECT_FALSE(e.message().isEmpty());
        }
        EXPECT_EQ(ds.Filter(), "CDPRATO LIKE '01%'");
        EXPECT_EQ(ds.RecordCount(), 2);
    }
}

TEST_F(Search, PostedRowLeavesTheFilterWhenItNoLongerMatches)
{
    ds.setFilter("CDPRATO LIKE '01%'");
    ds.setFiltered(true);
    ds.First();
    ds.Edit();
    ds.FieldByName("CDPRATO")->setAsString("0901");
    ds.Post();
    EXPECT_EQ(codes(ds), QStringList({"0102"}));
    EXPECT_EQ(ds.FieldByName("CDPRATO")->AsString(), "0102");
}

TEST_F(Search, IndexesOrderRowsAndPostedRowsMoveToTheirPlace)
{
    ds.setIndexFieldNames("CDPRATO");
    EXPECT_EQ(codes(ds), QStringList({"0101", "0102", "0201", "0202", "0301"}));
    ds.AddIndex("PorPeso", "QTPESO;CDPRATO", "QTPESO");
    ds.setIndexName("PorPeso");
    EXPECT_EQ(codes(ds), QStringList({"0201", "0202", "0101", "0102", "0301"}));
    ds.Last();
    ds.Edit();
    ds.FieldByName("QTPESO")->setAsFloat(9);
    ds.Post();
    EXPECT_EQ(ds.RecNo(), 1);
    EXPECT_EQ(ds.FieldByName("CDPRATO")->AsString(), "0301");
    ds.setIndexName({});
    EXPECT_EQ(codes(ds).first(), "0301");
    EXPECT_THROW(ds.setIndexName("NaoHa"), Error);
}

TEST_F(Search, LocateWithAndWithoutIndexAndOptions)
{
    for (const QString& index : {QString(), QString("NMPRATO")}) {
        ds.setIndexFieldNames(index);
        EXPECT_TRUE(ds.Locate("NMPRATO", "Feijão carioca"));
        EXPECT_EQ(ds.FieldByName("CDPRATO")->AsString(), "0201");
        EXPECT_FALSE(ds.Locate("NMPRATO", "feijão carioca"));
        EXPECT_EQ(ds.FieldByName("CDPRATO")->AsString(), "0201"); // not found: cursor stays
        EXPECT_TRUE(ds.Locate("NMPRATO", "ARROZ I", loCaseInsensitive | loPartialKey));
        EXPECT_EQ(ds.FieldByName("CDPRATO")->AsString(), "0102");
        EXPECT_TRUE(ds.Locate("NMPRATO;QTPESO", QVariantList{"Feijão d'água", 2.0}));
        EXPECT_EQ(ds.FieldByName("CDPRATO")->AsString(), "0202");
    }
    EXPECT_THROW(ds.Locate("NMPRATO;QTPESO", QVariantList{"x"}), Error);
}

TEST_F(Search, DataSourceRelaysAndFollowsItsDataSet)
{
    DataSource dts(nullptr, "dtsPadrao");
    QList<Field*> changed;
    int states = 0;
    QObject::connect(&dts, &DataSource::dataChanged, [&](Field* f) { changed << f; });
    QObject::connect(&dts, &DataSource::stateChanged, [&] { ++states; });
    dts.setDataSet(&ds);
    changed.clear();
    states = 0;
    ds.Edit();
    ds.FieldByName("NMPRATO")->setAsString("Salada verde");
    EXPECT_EQ(states, 1);
    EXPECT_EQ(changed, QList<Field*>({ds.FieldByName("NMPRATO")}));
    EXPECT_EQ(dts.State(), ClientDataSet::State::Edit);
    ClientDataSet other(nullptr, "cdsOutro");
    dts.setDataSet(&other);
    EXPECT_EQ(dts.State(), ClientDataSet::State::Inactive);
    ds.Post();
    EXPECT_EQ(states, 2); // the switch, not the old dataset's post
}

TEST(FieldText, FormatsHandlersAndConversions)
{
    ClientDataSet ds(nullptr, "cdsProdPrat");
    Field* qt = ds.AddField("QTPRODPRAT", FieldType::Float);
    Field* pe = ds.AddField("VRPEFATCOCPR", FieldType::Float);
    Field* code = ds.AddField("CDPRODUTO", FieldType::String, 5);
    Field* hr = ds.AddField("HRTEMPPREPPR", FieldType::String, 5);
    qt->setDisplayFormat("#,##0.00000");
    pe->setDisplayFormat("#,##0.00 %");
    hr->OnSetText = [](Field& f, const QString& text) { f.setAsString(text.trimmed().rightJustified(5, '0')); };
    ds.CreateDataSet();
    ds.Append();
    qt->setText("1.234,5");
    pe->setAsFloat(12.5);
    code->setAsString("1234567");
    hr->setText("1:30");
    EXPECT_EQ(qt->DisplayText(), "1.234,50000");
    EXPECT_EQ(qt->AsString(), "1234,5");
    EXPECT_EQ(pe->DisplayText(), "12,50 %");
    EXPECT_EQ(code->AsString(), "12345"); // cut to the field's size
    EXPECT_EQ(hr->AsString(), "01:30");
    code->setAsString("");
    EXPECT_TRUE(code->IsNull());
    EXPECT_THROW(qt->setText("doze"), Error);
    EXPECT_DOUBLE_EQ(qt->AsFloat(), 1234.5);
}

} // namespace
