// The dish record's server methods: code proposal, existence check and UpdPrato, on both
// database families.
#include "appserver/changelog.h"
#include "appserver/dispatcher.h"
#include "db/demodata.h"
#include "framework/data/clientdataset.h"
#include "testdatabase.h"

#include <QSqlQuery>
#include <gtest/gtest.h>

// Readable failures: texts as texts.
static void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

using framework::ClientDataSet;
using framework::DataPacket;
using testdb::Backend;
using testdb::TestDatabase;

namespace {

const char* const ReceitaPadrao = "Pla01300.rdmReceitaPadrao";
const char* const Attacks[] = {
    "' OR '1'='1",
    "1%' OR CDFILAUXPRAT <> 'x",
    "0003'; DELETE FROM PRATO; --",
    "x'); UPDATE PRATO SET NMPRATO = 'x'; --",
};

// The demo tree without generated variants (levels of 1, 2, 3 and 4 characters): groups 1..5,
// 101..103 under 1, 101001 holding the dishes 1010010001..1010010004, and the branch 0003's
// local dish 1010010901 beside them.
class PratoTest : public ::testing::TestWithParam<Backend> {
protected:
    void SetUp() override
    {
        if (!testdb::available(GetParam()))
            GTEST_SKIP() << "TEST_PG_CONN não definido";
        database = std::make_unique<TestDatabase>(GetParam(), true, 1);
        const QString name = database->connectionName();
        dispatcher = std::make_unique<appserver::Dispatcher>([name] { return QSqlDatabase::database(name, false); });
    }

    QVariant call(const QString& method, QVariantList args)
    {
        return dispatcher->call({db::DemoSupervisor, "teste"}, ReceitaPadrao, method, args);
    }

    // GetProxCodPrato's code, "" when none; a fault fails the test.
    QString proxCod(const QString& level, const QString& pattern, const QString& branch, bool branchModule, int width,
                    bool lastLevel)
    {
        const QVariant result = call("GetProxCodPrato", {level, pattern, branch, branchModule, width, "", lastLevel});
        EXPECT_TRUE(framework::isPacket(result)) << result.value<framework::ServerFault>().message.toStdString();
        const DataPacket p = framework::toPacket(result);
        EXPECT_EQ(p.fields().size(), 1);
        EXPECT_EQ(p.fields()[0].name, "CDPRATO");
        return p.rowCount() == 0 ? QString() : p.rows.text(0, 0);
    }

    struct Existence {
        QStringList where; // "code/origin" per row
        bool blocked;
    };
    Existence exist(const QString& code)
    {
        const QVariantList result = call("GetExistPrat", {code}).toList();
        EXPECT_EQ(result.size(), 2);
        if (result.size() != 2)
            return {{}, false};
        const DataPacket rows = framework::toPacket(result[0]);
        Existence e{{}, result[1].toBool()};
        for (int r = 0; r < rows.rowCount(); ++r)
            e.where << rows.rows.text(r, 0) + '/' + rows.rows.text(r, 1);
        return e;
    }

    // cdsPrato of a branch, as the form loads it.
    std::unique_ptr<ClientDataSet> dishes(const QString& branch)
    {
        auto cds = std::make_unique<ClientDataSet>(nullptr, "cdsPrato");
        cds->SetData(framework::toPacket(call("GetPrato", {branch})));
        return cds;
    }

    QString send(ClientDataSet& cds)
    {
        const QString status = call("UpdPrato", {QVariant::fromValue(cds.GetDelta())}).toString();
        if (status.isEmpty())
            cds.MergeChangeLog();
        return status;
    }

    static void locate(ClientDataSet& cds, const QString& owner, const QString& code)
    {
        ASSERT_TRUE(cds.Locate("CDFILAUXPRAT;CDPRATO", {owner, code})) << code.toStdString();
    }

    static void append(ClientDataSet& cds, const QString& owner, const QString& code, const QString& level,
                       const QString& name = "Prato de teste")
    {
        cds.Append();
        cds.FieldByName("CDFILAUXPRAT")->setValue(owner);
        cds.FieldByName("CDFILIAL")->setValue(owner == "P" ? QVariant() : QVariant(owner));
        cds.FieldByName("CDPRATO")->setValue(code);
        cds.FieldByName("CDNVPRATO")->setValue(level);
        cds.FieldByName("NMPRATO")->setValue(name);
        cds.FieldByName("IDATIVO")->setValue("S"); // as the form sets it on insertion
        cds.Post();
    }

    QString scalar(const QString& sql, const QVariantList& values = {})
    {
        QSqlQuery q(database->db());
        q.prepare(sql);
        for (const QVariant& v : values)
            q.addBindValue(v);
        EXPECT_TRUE(q.exec()) << sql.toStdString();
        return q.next() ? q.value(0).toString() : QString();
    }

    void insertRow(const QString& owner, const QString& code, const QString& level)
    {
        scalar("INSERT INTO PRATO (CDFILAUXPRAT, CDPRATO, NMPRATO, CDNVPRATO) VALUES (?, ?, 'x', ?)",
               {owner, code, level});
    }

    std::unique_ptr<TestDatabase> database;
    std::unique_ptr<appserver::Dispatcher> dispatcher;
};

} // namespace

TEST_P(PratoTest, CodeProposalAboveTheLastLevelGivesTheHighestChildOfTheGroup)
{
    EXPECT_EQ(proxCod("1", "%", "0002", false, 0, false), "5");
    EXPECT_EQ(proxCod("2", "1%", "0002", false, 1, false), "103");
    EXPECT_EQ(proxCod("3", "101%", "0002", false, 2, false), "101001");
    EXPECT_EQ(proxCod("3", "104%", "0002", false, 2, false), ""); // a group without children

    // Full group: the server still answers the highest code; the client finds no room after it.
    insertRow("P", "199", "2");
    EXPECT_EQ(proxCod("2", "1%", "0002", true, 1, false), "199");

    // '_' and '%' in a code are characters of that code, not a way into other groups.
    EXPECT_EQ(proxCod("3", "1_1%", "0002", false, 2, false), "");
    insertRow("P", "1_1", "2");
    insertRow("P", "1_1007", "3");
    EXPECT_EQ(proxCod("3", "1_1%", "0002", false, 2, false), "1_1007");
    EXPECT_EQ(proxCod("3", "101%", "0002", false, 2, false), "101001");
}

TEST_P(PratoTest, CodeProposalAtTheLastLevelCountsTheTreesTheNewDishCanMeet)
{
    // A branch creates local dishes: the standard tree and its own count, other branches' do not.
    EXPECT_EQ(proxCod("4", "101001%", "0002", true, 4, true), "1010010004");
    EXPECT_EQ(proxCod("4", "101001%", "3", true, 4, true), "1010010901"); // branch brought to its width
    // The central's dish may become standard: every tree counts.
    EXPECT_EQ(proxCod("4", "101001%", "0002", false, 4, true), "1010010901");
    EXPECT_EQ(proxCod("4", "103002%", "0002", false, 4, true), "");

    // A row of another length left at the last level does not count.
    insertRow("P", "101001999", "4");
    EXPECT_EQ(proxCod("4", "101001%", "0002", true, 4, true), "1010010004");

    // Overflow: the highest code already uses the largest sequence of the width.
    insertRow("P", "1010019999", "4");
    EXPECT_EQ(proxCod("4", "101001%", "0002", true, 4, true), "1010019999");
}

TEST_P(PratoTest, ExistenceCheckListsEveryTreeAndBlocksTheStandardOnesAndIncompleteCodes)
{
    const Existence local = exist("1010010901");
    EXPECT_EQ(local.where, QStringList{"1010010901/0003"}); // only in another branch: may be used
    EXPECT_FALSE(local.blocked);
    EXPECT_EQ(exist("1010010901 ").where, local.where); // trailing blanks of the edit are not part of it

    insertRow("0004", "1010010001", "4");
    const Existence standard = exist("1010010001");
    EXPECT_EQ(standard.where, QStringList({"1010010001/0004", "1010010001/P"}));
    EXPECT_TRUE(standard.blocked);

    EXPECT_EQ(exist("1010019998").where, QStringList());
    EXPECT_FALSE(exist("1010019998").blocked);
    EXPECT_TRUE(exist("10100 0001").blocked);
    EXPECT_TRUE(exist("").blocked);
}

TEST_P(PratoTest, DishRecordRoundTripWritesOnlyTheTablesOwnColumns)
{
    const QString product = scalar("SELECT MIN(CDPRODUTO) FROM PRODUTO WHERE CDPRODESTO IS NOT NULL");
    auto cds = dishes("0002");
    cds->Append();
    const QList<std::pair<const char*, QVariant>> values{
        {"CDPRATO", "1010010005"}, {"NMPRATO", "Frango xadrez"}, {"CDNVPRATO", "4"}, {"CDFILAUXPRAT", "P"},
        {"SGUNIDADE", "KG"}, {"VRARREDTRANS", 0.5}, {"CDSEGMER", "00001"}, {"DSSEGMER", "não é gravado"},
        {"NRFORMAPREPARO", 3}, {"NMFORMAPREPARO", "nem este"}, {"IDFREQUENCIA", "M"}, {"QTTEMPOPRAT", 2},
        {"VRVALIDADE", 1440}, {"IDATIVO", "S"}, {"CDPRODPRODUCAO", product}, {"CDARVPROD", "x"}, {"NMPRODUTO", "y"}};
    for (const auto& [name, value] : values)
        cds->FieldByName(name)->setValue(value);
    cds->Post();
    ASSERT_EQ(send(*cds), "");

    // Read back: the names come from their own tables, at the record's widths.
    auto read = dishes("0002");
    locate(*read, "P", "1010010005");
    const auto shown = [&](const char* field) { return read->FieldByName(field)->AsString(); };
    EXPECT_EQ(shown("DSSEGMER"), scalar("SELECT DSSEGMER FROM SEGMERCADO WHERE CDSEGMER = '00001'"));
    EXPECT_EQ(shown("NMFORMAPREPARO"), scalar("SELECT NMFORMAPREPARO FROM FORMAPREPARO WHERE NRFORMAPREPARO = 3"));
    EXPECT_EQ(shown("NMPRODUTO"), scalar("SELECT NMPRODUTO FROM PRODUTO WHERE CDPRODUTO = ?", {product}));
    EXPECT_EQ(shown("CDARVPROD"), scalar("SELECT CDARVPROD FROM PRODUTO WHERE CDPRODUTO = ?", {product}));
    EXPECT_EQ(read->FieldByName("VRVALIDADE")->Value().toDouble(), 1440.0);
    EXPECT_EQ(read->FieldByName("DSSEGMER")->Size(), 40);
    EXPECT_EQ(read->FieldByName("NMFORMAPREPARO")->Size(), 30);
    EXPECT_EQ(read->FieldByName("NMPRODUTO")->Size(), 50);

    locate(*cds, "P", "1010010005");
    cds->Edit();
    cds->FieldByName("NMPRATO")->setValue("Frango xadrez light");
    cds->FieldByName("VRARREDTRANS")->setValue(QVariant());
    cds->Post();
    ASSERT_EQ(send(*cds), "");
    EXPECT_EQ(scalar("SELECT NMPRATO FROM PRATO WHERE CDPRATO = '1010010005'"), "Frango xadrez light");
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM PRATO WHERE CDPRATO = '1010010005' AND VRARREDTRANS IS NULL"), "1");

    cds->Delete();
    ASSERT_EQ(send(*cds), "");
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM PRATO WHERE CDPRATO = '1010010005'"), "0");
}

TEST_P(PratoTest, RefusedLogsApplyNothing)
{
    const auto refused = [&](ClientDataSet& cds, const QString& expected) {
        const QString before = database->fingerprint();
        const QString status = send(cds);
        EXPECT_TRUE(status.contains(expected)) << status.toStdString();
        EXPECT_EQ(database->fingerprint(), before);
        cds.CancelUpdates();
    };
    auto cds = dishes("0002");
    append(*cds, "P", "1010010006", "4"); // valid, but sent with the refused rows below
    append(*cds, "P", "10100 0007", "4");
    refused(*cds, "Nível deve ser totalmente preenchido");

    append(*cds, "0002", "1010010001", "4"); // a local dish over a standard code
    refused(*cds, "Prato já cadastrado");

    locate(*cds, "P", "1010010001");
    cds->Edit();
    cds->FieldByName("CDPRATO")->setValue("1010010009");
    cds->Post();
    refused(*cds, "não podem ser alterados");

    // A new standard dish may share its code with another branch's local dish.
    append(*cds, "P", "1010010901", "4");
    EXPECT_EQ(send(*cds), "");
}

TEST_P(PratoTest, ConcurrentChangeOfADishIsRefusedAndKeepsItsDependents)
{
    auto first = dishes("0002");
    auto second = dishes("0002");
    locate(*first, "P", "2010010001");
    first->Edit();
    first->FieldByName("NMPRATO")->setValue("Arroz soltinho");
    first->Post();
    ASSERT_EQ(send(*first), "");

    const QString before = database->fingerprint();
    locate(*second, "P", "2010010001");
    second->Edit();
    second->FieldByName("SGUNIDADE")->setValue("G");
    second->Post();
    EXPECT_EQ(send(*second), appserver::conflictText("PRATO"));
    second->CancelUpdates();
    locate(*second, "P", "2010010001");
    second->Delete();
    EXPECT_EQ(send(*second), appserver::conflictText("PRATO"));
    EXPECT_EQ(database->fingerprint(), before); // the recipes removed before the refusal are back
}

TEST_P(PratoTest, DeletingADishRemovesWhatHangsOnItAndNothingElse)
{
    const QStringList tables{"PRODPRAT",  "RECEFILI", "RECESERV",      "RECETPCARD",
                             "DADOSPRAT", "PREPPRAT", "PRATOCONTAINER"};
    const auto count = [&](const QString& table, const QString& where) {
        return scalar(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE %2").arg(table, where)).toInt();
    };
    QList<int> others;
    for (const QString& table : tables) {
        EXPECT_GT(count(table, "CDPRATO = '2010010001'"), 0) << table.toStdString(); // the demo fills them all
        others << count(table, "CDPRATO <> '2010010001'");
    }
    auto cds = dishes("0002");
    locate(*cds, "P", "2010010001");
    cds->Delete();
    ASSERT_EQ(send(*cds), "");
    for (int i = 0; i < tables.size(); ++i) {
        EXPECT_EQ(count(tables[i], "CDPRATO = '2010010001'"), 0) << tables[i].toStdString();
        EXPECT_EQ(count(tables[i], "CDPRATO <> '2010010001'"), others[i]) << tables[i].toStdString();
    }
}

TEST_P(PratoTest, ADishInsertedWithAnEmptyFlagCanBeChangedFromTheSameCopy)
{
    auto cds = dishes("0002");
    append(*cds, "P", "1010010077", "4");
    cds->Edit();
    cds->FieldByName("IDATIVO")->Clear(); // the table's default ('S') must not replace it unseen
    cds->Post();
    ASSERT_EQ(send(*cds), "");
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM PRATO WHERE CDPRATO = '1010010077' AND IDATIVO IS NULL"), "1");
    cds->Edit();
    cds->FieldByName("NMPRATO")->setValue("Prato renomeado");
    cds->Post();
    EXPECT_EQ(send(*cds), "");
    cds->Delete();
    EXPECT_EQ(send(*cds), "");
}

TEST_P(PratoTest, GroupWithChildrenInAnyTreeIsNotDeleted)
{
    auto central = dishes("0003");
    append(*central, "P", "106", "2", "Grupo novo");
    append(*central, "P", "106001", "3", "Subgrupo novo");
    append(*central, "0003", "1060010001", "4", "Prato local");
    ASSERT_EQ(send(*central), "");

    // Branch 0002 sees the subgroup without children: the local dish of 0003 still hangs on it.
    auto branch = dishes("0002");
    locate(*branch, "P", "106001");
    branch->Delete();
    const QString before = database->fingerprint();
    const QString status = send(*branch);
    EXPECT_TRUE(status.startsWith("Exclusão não permitida. Existem pratos relacionados")) << status.toStdString();
    EXPECT_TRUE(status.contains("1060010001") && status.contains("0003")) << status.toStdString();
    EXPECT_EQ(database->fingerprint(), before);

    // Children and group removed in one log: nothing is left hanging, so it passes.
    locate(*central, "0003", "1060010001");
    central->Delete();
    locate(*central, "P", "106001");
    central->Delete();
    EXPECT_EQ(send(*central), "");
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM PRATO WHERE CDPRATO LIKE '106%'"), "1");
}

TEST_P(PratoTest, SqlInjectionThroughEveryTextArgumentChangesNothing)
{
    const QString before = database->fingerprint();
    for (const char* attack : Attacks) {
        const QString a = QString::fromUtf8(attack);
        EXPECT_EQ(proxCod(a, "1%", "0002", false, 1, false), "");
        EXPECT_EQ(proxCod("4", a, "0002", false, 4, true), "");
        EXPECT_EQ(proxCod("4", "101001%", a, true, 4, true), "1010010004"); // the standard tree only
        QVariantList args{"4", "101001%", "0002", true, 4, a, true};
        EXPECT_TRUE(framework::isPacket(call("GetProxCodPrato", args)));
        EXPECT_EQ(exist(a).where, QStringList());
    }
    EXPECT_EQ(database->fingerprint(), before);

    // In the change log the texts are data: stored as typed, nothing else touched.
    auto cds = dishes("0002");
    append(*cds, "P", "1010010007", "4", Attacks[3]);
    ASSERT_EQ(send(*cds), "");
    EXPECT_EQ(scalar("SELECT NMPRATO FROM PRATO WHERE CDPRATO = '1010010007'"), Attacks[3]);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM PRATO WHERE NMPRATO = 'x'"), "0");
}

INSTANTIATE_TEST_SUITE_P(Backends, PratoTest, ::testing::Values(Backend::Sqlite, Backend::Postgres),
                         [](const auto& info) { return testdb::backendName(info.param); });
