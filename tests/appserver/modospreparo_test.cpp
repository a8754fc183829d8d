// The preparation modes' server methods on both database families: each level's rows, the next
// mode number, updates (one active mode per dish and level), the import and the preparation forms.
#include "appserver/dispatcher.h"
#include "db/demodata.h"
#include "framework/data/clientdataset.h"
#include "testdatabase.h"

#include <QSqlQuery>
#include <gtest/gtest.h>

using framework::ClientDataSet;
using framework::DataPacket;
using testdb::Backend;

namespace {

const QByteArray formatted = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\pard\\qc{\\f0\\fs20\\b Feij\\'e3o}\\par}";

class ModosPreparoTest : public ::testing::TestWithParam<Backend> {
protected:
    void SetUp() override
    {
        if (!testdb::available(GetParam()))
            GTEST_SKIP() << "TEST_PG_CONN não definido";
        database = std::make_unique<testdb::TestDatabase>(GetParam(), true, 1);
        const QString name = database->connectionName();
        dispatcher = std::make_unique<appserver::Dispatcher>([name] { return QSqlDatabase::database(name, false); });
    }

    QVariant call(const QString& method, QVariantList& args)
    {
        return dispatcher->call({db::DemoSupervisor, "teste"}, "Pla01300.rdmReceitaPadrao", method, args);
    }

    DataPacket packet(const QString& method, QVariantList args)
    {
        const QVariant result = call(method, args);
        EXPECT_TRUE(framework::isPacket(result)) << result.value<framework::ServerFault>().message.toStdString();
        return framework::isPacket(result) ? framework::toPacket(result) : DataPacket();
    }

    QString send(const QString& method, ClientDataSet& ds)
    {
        QVariantList args{QVariant::fromValue(ds.GetDelta())};
        const QString answer = call(method, args).toString();
        if (answer.isEmpty())
            ds.MergeChangeLog();
        return answer;
    }

    // Adds a mode through the dataset as the form does.
    void addMode(ClientDataSet& ds, const QVariantList& keys, const QString& number, const QString& flag,
                 const QByteArray& text)
    {
        ds.Append();
        for (int i = 0; i < keys.size(); ++i)
            ds.Fields()[i]->setValue(keys[i]);
        ds.Fields()[keys.size()]->setAsString(number);
        ds.Fields()[keys.size() + 1]->setAsString(flag);
        ds.Fields()[keys.size() + 2]->setAsBlob(text);
        ds.Fields()[keys.size() + 3]->setAsString(QStringLiteral("Cozinha"));
        ds.Post();
    }

    QVariant nextNumber(const QString& branch, const QString& service, int column)
    {
        const DataPacket p = packet("GetProxCodigoPrat", {"P", dish, branch, service});
        EXPECT_EQ(p.rowCount(), 1);
        return p.rowCount() ? p.rows.value(0, column) : QVariant();
    }

    std::unique_ptr<testdb::TestDatabase> database;
    std::unique_ptr<appserver::Dispatcher> dispatcher;
    const QString dish = QStringLiteral("2020010001"); // the demo's carioca beans
};

} // namespace

TEST_P(ModosPreparoTest, ModesAreNumberedPerDishAndLevelAndKeepTheirRichText)
{
    EXPECT_EQ(nextNumber("", "", 0).toInt(), 2); // the demo's standard mode "01"
    EXPECT_TRUE(nextNumber("2", "", 1).isNull());  // none yet at the hospital
    EXPECT_TRUE(nextNumber("2", "2", 2).isNull());

    ClientDataSet fil{nullptr, "cdsPrepFil"};
    fil.SetData(packet("GetPrepFil", {"P", dish, "2"})); // the branch padded by the server
    ASSERT_EQ(fil.FieldCount(), 7);
    EXPECT_EQ(fil.RecordCount(), 0);
    addMode(fil, {"P", dish, "0002"}, "01", "1", formatted);
    EXPECT_EQ(send("UpdPrepFil", fil), "");
    EXPECT_EQ(nextNumber("0002", "", 1).toInt(), 2);
    EXPECT_TRUE(nextNumber("0004", "", 1).isNull()); // another branch has its own numbering

    fil.SetData(packet("GetPrepFil", {"P", dish, "0002"}));
    ASSERT_EQ(fil.RecordCount(), 1);
    EXPECT_EQ(fil.FieldByName("TXPREPFILI")->AsBlob(), formatted);
    EXPECT_EQ(packet("GetPrepFil", {"P", dish, "0004"}).rowCount(), 0);

    ClientDataSet ser{nullptr, "cdsPrepSer"};
    ser.SetData(packet("GetPrepSer", {"P", dish, "0002", "1"}));
    addMode(ser, {"P", dish, "0002", "00001"}, "01", "1", formatted);
    EXPECT_EQ(send("UpdPrepSer", ser), "");
    EXPECT_EQ(packet("GetPrepSer", {"P", dish, "0002", "00001"}).rowCount(), 1);
    EXPECT_EQ(packet("GetPrepSer", {"P", dish, "0002", "00002"}).rowCount(), 0);

    // The highest number taken, the answer stays at 99: the client refuses it.
    QSqlQuery q(database->db());
    ASSERT_TRUE(q.exec(QStringLiteral("UPDATE PREPFILI SET NRPREPFILI = '98' WHERE CDPRATO = '%1'").arg(dish)));
    EXPECT_EQ(nextNumber("0002", "", 1).toInt(), 99);
}

TEST_P(ModosPreparoTest, ActivatingOneModeAfterDeactivatingTheOtherAndNeverTwoActive)
{
    ClientDataSet pad{nullptr, "cdsPrepPad"};
    pad.SetData(packet("GetPrepPad", {"P", dish}));
    ASSERT_EQ(pad.RecordCount(), 1);
    EXPECT_EQ(pad.Fields()[3]->FieldName(), "IDPREPPRAT");
    addMode(pad, {"P", dish}, "02", "2", formatted);
    EXPECT_EQ(send("UpdPrepPad", pad), "");

    // A second active mode is refused and nothing of it is kept.
    pad.Locate("NRPREPPRAT", "02");
    pad.Edit();
    pad.FieldByName("IDPREPPRAT")->setAsString("1");
    pad.Post();
    EXPECT_FALSE(send("UpdPrepPad", pad).isEmpty());
    pad.CancelUpdates();

    // Deactivate "01", then activate "02": each sent on its own, as the form does.
    pad.Locate("NRPREPPRAT", "01");
    pad.Edit();
    pad.FieldByName("IDPREPPRAT")->setAsString("2");
    pad.Post();
    EXPECT_EQ(send("UpdPrepPad", pad), "");
    pad.Locate("NRPREPPRAT", "02");
    pad.Edit();
    pad.FieldByName("IDPREPPRAT")->setAsString("1");
    pad.Post();
    EXPECT_EQ(send("UpdPrepPad", pad), "");

    pad.SetData(packet("GetPrepPad", {"P", dish}));
    pad.First(); // the active mode comes first
    EXPECT_EQ(pad.FieldByName("NRPREPPRAT")->AsString(), "02");
    EXPECT_EQ(pad.FieldByName("IDPREPPRAT")->AsString(), "1");

    // The import brings the active text of the level asked.
    DataPacket imported = packet("GetImportaPrep", {"P", dish, "", "", "P"});
    ASSERT_EQ(imported.rowCount(), 1);
    EXPECT_EQ(imported.fields()[0].name, "TXPREPARO");
    EXPECT_EQ(imported.rows.value(0, 0).toByteArray(), formatted);
    EXPECT_EQ(packet("GetImportaPrep", {"P", dish, "0002", "", "F"}).rowCount(), 0);
    EXPECT_EQ(packet("GetImportaPrep", {"P", "2010010001", "0002", "00002", "S"}).rowCount(), 1);
}

TEST_P(ModosPreparoTest, TypedCodesAreValuesNotSql)
{
    for (const char* attack : {"' OR '1'='1", "0002'; DELETE FROM PREPPRAT; --"}) {
        EXPECT_EQ(packet("GetPrepFil", {"P", dish, attack}).rowCount(), 0);
        EXPECT_EQ(packet("GetImportaPrep", {"P", attack, "", "", "P"}).rowCount(), 0);
    }
    QSqlQuery q(database->db());
    ASSERT_TRUE(q.exec("SELECT COUNT(*) FROM PREPPRAT") && q.next());
    EXPECT_GT(q.value(0).toInt(), 0);
}

TEST_P(ModosPreparoTest, PreparationFormsAllOrByNumber)
{
    const DataPacket all = packet("GetVdFormaPreparo", {"T", 0});
    ASSERT_GT(all.rowCount(), 1);
    EXPECT_EQ(all.fields()[2].name, "NMFORMAPREPARO");
    const DataPacket one = packet("GetVdFormaPreparo", {"", all.rows.value(1, 0).toInt()});
    ASSERT_EQ(one.rowCount(), 1);
    EXPECT_EQ(one.rows.value(0, 2), all.rows.value(1, 2));
    EXPECT_EQ(packet("GetVdFormaPreparo", {"", 7777}).rowCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(Backends, ModosPreparoTest, ::testing::Values(Backend::Sqlite, Backend::Postgres),
                         [](const auto& info) { return testdb::backendName(info.param); });
