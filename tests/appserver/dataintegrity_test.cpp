// The change-log applier on both database families: rows read with empty texts, long texts,
// nulls and dates can be changed and deleted; the server, not the client, decides what is
// written and checked; and a key someone else inserted is a conflict with its message.
#include "appserver/changelog.h"
#include "appserver/dispatcher.h"
#include "db/demodata.h"
#include "appserver/sqlpacket.h"
#include "framework/data/clientdataset.h"
#include "testdatabase.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QSqlQuery>
#include <QTimeZone>
#include <gtest/gtest.h>

using framework::ClientDataSet;
using framework::DataPacket;
using framework::FieldType;
using testdb::Backend;
using testdb::TestDatabase;

namespace {

class DataIntegrityTest : public ::testing::TestWithParam<Backend> {
protected:
    void SetUp() override
    {
        if (!testdb::available(GetParam()))
            GTEST_SKIP() << "TEST_PG_CONN não definido";
        database = std::make_unique<TestDatabase>(GetParam(), true, 1);
        const QString name = database->connectionName();
        dispatcher = std::make_unique<appserver::Dispatcher>([name] { return QSqlDatabase::database(name, false); });
    }

    bool postgres() const { return GetParam() == Backend::Postgres; }

    QVariant call(const QString& method, QVariantList args)
    {
        return dispatcher->call({db::DemoSupervisor, "teste"}, "Pla01300.rdmReceitaPadrao", method, args);
    }

    std::unique_ptr<ClientDataSet> load(const QString& method, const QVariantList& args = {"0002"})
    {
        auto cds = std::make_unique<ClientDataSet>(nullptr, "cds");
        cds->SetData(framework::toPacket(call(method, args)));
        return cds;
    }

    QString send(const QString& method, ClientDataSet& cds)
    {
        const QString status = call(method, {QVariant::fromValue(cds.GetDelta())}).toString();
        if (status.isEmpty())
            cds.MergeChangeLog();
        return status;
    }

    QString scalar(const QString& sql, const QVariantList& values = {})
    {
        QSqlQuery q(database->db());
        EXPECT_TRUE(q.prepare(sql)) << sql.toStdString();
        for (const QVariant& v : values)
            q.addBindValue(v);
        EXPECT_TRUE(q.exec()) << sql.toStdString();
        return q.next() ? q.value(0).toString() : QString();
    }

    std::unique_ptr<TestDatabase> database;
    std::unique_ptr<appserver::Dispatcher> dispatcher;
};

void locate(ClientDataSet& cds, const QString& code)
{
    ASSERT_TRUE(cds.Locate("CDFILAUXPRAT;CDPRATO", {"P", code})) << code.toStdString();
}

} // namespace

TEST_P(DataIntegrityTest, RowsReadWithEmptyTextsNullsOrLongTextsCanBeChangedAndDeleted)
{
    scalar("UPDATE PRATO SET SGUNIDADE = '', VRARREDTRANS = NULL WHERE CDFILAUXPRAT = 'P' AND CDPRATO = '2010010001'");
    if (!postgres()) // SQLite does not hold a text to its declared size
        scalar("UPDATE PRATO SET NMPRATO = ? WHERE CDFILAUXPRAT = 'P' AND CDPRATO = '2010010002'",
               {QString(50, QLatin1Char('x'))});

    auto cds = load("GetPrato");
    locate(*cds, "2010010001");
    EXPECT_FALSE(cds->GetDelta().rowCount());
    cds->Edit();
    cds->FieldByName("IDFREQUENCIA")->setValue("M");
    cds->Post();
    ASSERT_EQ(send("UpdPrato", *cds), "");
    EXPECT_EQ(scalar("SELECT IDFREQUENCIA || '|' || SGUNIDADE || '|' FROM PRATO WHERE CDPRATO = '2010010001' "
                     "AND CDFILAUXPRAT = 'P'"),
              "M||"); // the empty text stays empty

    locate(*cds, "2010010002");
    cds->Edit();
    cds->FieldByName("IDFREQUENCIA")->setValue("S");
    cds->Post();
    ASSERT_EQ(send("UpdPrato", *cds), "");
    if (!postgres()) {
        EXPECT_EQ(scalar("SELECT NMPRATO FROM PRATO WHERE CDPRATO = '2010010002' AND CDFILAUXPRAT = 'P'"),
                  QString(50, QLatin1Char('x')));
    }

    locate(*cds, "2010010001");
    cds->Delete();
    ASSERT_EQ(send("UpdPrato", *cds), "");
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM PRATO WHERE CDPRATO = '2010010001' AND CDFILAUXPRAT = 'P'"), "0");
}

TEST_P(DataIntegrityTest, ClientFlagsDoNotChooseWhatIsWrittenOrChecked)
{
    auto first = load("GetPrato");
    auto second = load("GetPrato");
    locate(*first, "2010010002");
    first->Edit();
    first->FieldByName("NMPRATO")->setValue("Nome novo");
    first->Post();
    ASSERT_EQ(send("UpdPrato", *first), "");

    // The second client sends its change with every flag cleared: its stale name is still compared.
    locate(*second, "2010010002");
    second->Edit();
    second->FieldByName("SGUNIDADE")->setValue("G");
    second->Post();
    QJsonObject json = second->GetDelta().toJson();
    QJsonArray cleared;
    for (QJsonValue field : json.value("fields").toArray()) {
        QJsonObject o = field.toObject();
        o.insert("flags", 0);
        cleared.append(o);
    }
    json.insert("fields", cleared);
    EXPECT_EQ(call("UpdPrato", {QVariant::fromValue(DataPacket::fromJson(json))}).toString(),
              appserver::conflictText("PRATO"));

    // A column the update does not list is not written, whatever the packet carries.
    DataPacket log({{"CDPARGERAL", FieldType::String, 4},
                    {"CDNVBLPRAT", FieldType::String, 2},
                    {"IDPERMSELCENTRALPLA", FieldType::String, 1}});
    const QString key = scalar("SELECT MIN(CDPARGERAL) FROM PARAMGERAL");
    const QString level = scalar("SELECT CDNVBLPRAT FROM PARAMGERAL WHERE CDPARGERAL = ?", {key});
    const QString allowed = scalar("SELECT IDPERMSELCENTRALPLA FROM PARAMGERAL WHERE CDPARGERAL = ?", {key});
    const int row = log.appendRow(framework::RowStatus::Modified);
    log.rows.setValue(row, 0, key);
    log.rows.setValue(row, 1, "2");
    log.rows.setValue(row, 2, allowed == "S" ? "N" : "S");
    log.originals.setValue(row, 0, key);
    log.originals.setValue(row, 1, level);
    log.originals.setValue(row, 2, allowed);
    EXPECT_EQ(call("UpdParamGeral", {QVariant::fromValue(log)}).toString(), "");
    EXPECT_EQ(scalar("SELECT CDNVBLPRAT FROM PARAMGERAL WHERE CDPARGERAL = ?", {key}), "2");
    EXPECT_EQ(scalar("SELECT IDPERMSELCENTRALPLA FROM PARAMGERAL WHERE CDPARGERAL = ?", {key}), allowed);
}

TEST_P(DataIntegrityTest, AKeySomeoneElseInsertedIsAConflictAndNothingIsWritten)
{
    auto first = load("GetPrato");
    auto second = load("GetPrato");
    for (ClientDataSet* cds : {first.get(), second.get()}) {
        cds->Append();
        cds->FieldByName("CDFILAUXPRAT")->setValue("P");
        cds->FieldByName("CDPRATO")->setValue("2010010099");
        cds->FieldByName("CDNVPRATO")->setValue("4");
        cds->FieldByName("NMPRATO")->setValue(cds == first.get() ? "Primeiro" : "Segundo");
        cds->Post();
    }
    ASSERT_EQ(send("UpdPrato", *first), "");
    const QString before = database->fingerprint();
    EXPECT_EQ(send("UpdPrato", *second), appserver::duplicateText("PRATO"));
    EXPECT_EQ(database->fingerprint(), before);
    EXPECT_EQ(scalar("SELECT NMPRATO FROM PRATO WHERE CDPRATO = '2010010099'"), "Primeiro");
}

// Another user's change of a column the update writes refuses a stale change of another column
// of the row, whatever the column's type: an empty text that became null, a null that became an
// empty text, a whole number (the preparation form, a colour). The other user's value stays.
TEST_P(DataIntegrityTest, AStaleRowIsRefusedWhateverTheTypeOfTheColumnAnotherUserChanged)
{
    const QString dish = "CDFILAUXPRAT = 'P' AND CDPRATO = '2010010001'";
    struct Case {
        const char* asRead;
        const char* theirs;
        const char* column;
        const char* kept;
    };
    const Case cases[] = {
        {"SGUNIDADE = ''", "SGUNIDADE = NULL", "COALESCE(SGUNIDADE, '(nulo)')", "(nulo)"},
        {"SGUNIDADE = NULL", "SGUNIDADE = ''", "COALESCE(SGUNIDADE, '(nulo)')", ""},
        {"NRFORMAPREPARO = 1", "NRFORMAPREPARO = 3", "NRFORMAPREPARO", "3"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.theirs);
        scalar(QStringLiteral("UPDATE PRATO SET %1 WHERE %2").arg(QLatin1String(c.asRead), dish));
        auto mine = load("GetPrato");
        locate(*mine, "2010010001");
        scalar(QStringLiteral("UPDATE PRATO SET %1 WHERE %2").arg(QLatin1String(c.theirs), dish));
        const QString name = scalar("SELECT NMPRATO FROM PRATO WHERE " + dish);
        mine->Edit();
        mine->FieldByName("NMPRATO")->setValue("Nome que não vale");
        mine->Post();
        EXPECT_EQ(send("UpdPrato", *mine), appserver::conflictText("PRATO"));
        EXPECT_EQ(scalar(QStringLiteral("SELECT %1 FROM PRATO WHERE %2").arg(QLatin1String(c.column), dish)),
                  QString::fromLatin1(c.kept));
        EXPECT_EQ(scalar("SELECT NMPRATO FROM PRATO WHERE " + dish), name);

        // Deleting the stale row is refused the same way.
        mine->CancelUpdates();
        mine->Delete();
        EXPECT_EQ(send("UpdPrato", *mine), appserver::conflictText("PRATO"));
        EXPECT_EQ(scalar("SELECT COUNT(*) FROM PRATO WHERE " + dish), "1");
    }

    // A dish-data colour, through the dish-data update.
    const QVariantList loaded = call("GetReceitaPad", {"201001", "0002"}).toList();
    ASSERT_EQ(loaded.size(), 2);
    ClientDataSet data(nullptr, "cdsDadosPrat");
    data.SetData(framework::toPacket(loaded[1]));
    locate(data, "2010010001");
    scalar("UPDATE DADOSPRAT SET NRCORPRIPRAT = 255 WHERE " + dish);
    data.Edit();
    data.FieldByName("QTPADRAOPRAT")->setValue(0.5);
    data.Post();
    EXPECT_EQ(call("UpdDadosPrat", {QVariant::fromValue(data.GetDelta()), QString()}).toString(),
              appserver::conflictText("DADOSPRAT"));
    EXPECT_EQ(scalar("SELECT NRCORPRIPRAT FROM DADOSPRAT WHERE " + dish), "255");
    EXPECT_NE(scalar("SELECT QTPADRAOPRAT FROM DADOSPRAT WHERE " + dish).toDouble(), 0.5);
}

TEST_P(DataIntegrityTest, DatesAreStoredAsWallClockAndFoundAgainByTheirOriginals)
{
    QSqlDatabase db = database->db();
    const QString branch = scalar("SELECT MIN(CDFILIAL) FROM FILIAL");
    const QString product = scalar("SELECT MIN(CDPRODUTO) FROM PRODUTO");
    const QString cost = scalar("SELECT MIN(NRTIPOCUSTO) FROM TIPOCUSTO");
    const appserver::TableTarget target{"PRECOPROD", {"CDFILIAL", "CDPRODUTO", "NRTIPOCUSTO", "DTPRECO"}, {"VRPRECO"}};
    const framework::FieldDefs fields{{"CDFILIAL", FieldType::String, 4},
                                      {"CDPRODUTO", FieldType::String, 10},
                                      {"NRTIPOCUSTO", FieldType::Integer},
                                      {"DTPRECO", FieldType::DateTime},
                                      {"VRPRECO", FieldType::Float}};
    const QDateTime newYear(QDate(2031, 1, 1), QTime(0, 0), QTimeZone::utc());

    DataPacket insert(fields);
    const int row = insert.appendRow(framework::RowStatus::Inserted);
    for (const auto& [col, value] : QList<std::pair<int, QVariant>>{
             {0, branch}, {1, product}, {2, cost}, {3, newYear}, {4, 7.25}})
        insert.rows.setValue(row, col, value);
    ASSERT_TRUE(db.transaction());
    appserver::applyChangeLog(db, insert, target);
    ASSERT_TRUE(db.commit());

    // Stored as the date itself: an equality on the date finds it, and it reads back unchanged.
    EXPECT_EQ(scalar(postgres() ? "SELECT COUNT(*) FROM PRECOPROD WHERE DTPRECO = DATE '2031-01-01'"
                                : "SELECT COUNT(*) FROM PRECOPROD WHERE DTPRECO = '2031-01-01'"),
              "1");
    const DataPacket read = appserver::selectPacket(
        db, "SELECT CDFILIAL, CDPRODUTO, NRTIPOCUSTO, DTPRECO, VRPRECO FROM PRECOPROD WHERE DTPRECO > ?",
        {QDateTime(QDate(2030, 12, 31), QTime(23, 0), QTimeZone::utc())}, fields);
    ASSERT_EQ(read.rowCount(), 1);
    EXPECT_EQ(read.rows.value(0, 3).toDateTime(), newYear);

    ClientDataSet cds(nullptr, "cdsPreco");
    cds.SetData(read);
    cds.Edit();
    cds.FieldByName("VRPRECO")->setValue(8.5);
    cds.Post();
    ASSERT_TRUE(db.transaction());
    EXPECT_NO_THROW(appserver::applyChangeLog(db, cds.GetDelta(), target));
    ASSERT_TRUE(db.commit());
    EXPECT_EQ(scalar(postgres() ? "SELECT COUNT(*) FROM PRECOPROD WHERE DTPRECO = DATE '2031-01-01' AND VRPRECO = 8.5"
                                : "SELECT COUNT(*) FROM PRECOPROD WHERE DTPRECO = '2031-01-01' AND VRPRECO = 8.5"),
              "1");
}

TEST_P(DataIntegrityTest, DishDependentsAreIndexed)
{
    const QString sql = postgres() ? "SELECT COUNT(*) FROM pg_indexes WHERE schemaname = current_schema() "
                                     "AND indexname IN ('recefili_prato', 'receserv_prato', 'recetpcard_prato', "
                                     "'pratfili_prato', 'pratserv_prato', 'prattpcard_prato', 'prato_cdprato_c')"
                                   : "SELECT COUNT(*) FROM sqlite_master WHERE type = 'index' AND name IN "
                                     "('RECEFILI_PRATO', 'RECESERV_PRATO', 'RECETPCARD_PRATO', 'PRATFILI_PRATO', "
                                     "'PRATSERV_PRATO', 'PRATTPCARD_PRATO')";
    EXPECT_EQ(scalar(sql), postgres() ? "7" : "6");
}

INSTANTIATE_TEST_SUITE_P(Backends, DataIntegrityTest, ::testing::Values(Backend::Sqlite, Backend::Postgres),
                         [](const auto& info) { return testdb::backendName(info.param); });
