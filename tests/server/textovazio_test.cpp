// An empty text and a null travel apart both ways, in process and over HTTP: a branch recipe row
// whose preparation time is '' (and whose presentation is null) arrives as it is stored, and
// changing or deleting it is not taken for someone else's change.
#include "db/demodata.h"
#include "framework/data/clientdataset.h"
#include "serverfixture.h"

#include <QSqlQuery>
#include <gtest/gtest.h>

using servertest::ServerSide;
using servertest::Via;
using testdb::Backend;

namespace {

using Param = std::tuple<Backend, Via>;

class TextoVazioTest : public ::testing::TestWithParam<Param> {
protected:
    void SetUp() override
    {
        if (!testdb::available(std::get<0>(GetParam())))
            GTEST_SKIP() << "TEST_PG_CONN não definido";
        side = std::make_unique<ServerSide>(std::get<0>(GetParam()), std::get<1>(GetParam()));
        // Branch 0002 keeps its revised recipes to the supervisors' group: the delete below is theirs.
        side->loginAs(db::DemoSupervisor, db::DemoSupervisorPassword);
        net = side->connect();
    }

    QString sql(const QString& text)
    {
        QSqlQuery q(side->database().db());
        EXPECT_TRUE(q.exec(text)) << text.toStdString();
        return q.next() ? q.value(0).toString() : QString();
    }

    // The branch recipes of the rice's group at branch 0002, as the branch page loads them.
    void load(framework::ClientDataSet& cds)
    {
        const QVariant answer = net->call("GetReceitaLoc", {"201001", "0002", "0002"});
        ASSERT_EQ(answer.typeId(), QMetaType::QVariantList);
        cds.SetData(framework::toPacket(answer.toList().value(0)));
    }

    std::unique_ptr<ServerSide> side;
    std::unique_ptr<server::Connection> net;
};

} // namespace

TEST_P(TextoVazioTest, AnEmptyTextStaysEmptyAndANullStaysNullBothWays)
{
    const QString rows = "FROM RECEFILI WHERE CDFILIAL = '0002' AND CDFILAUXPRAT = 'P' AND CDPRATO = '2010010001'";
    sql("UPDATE RECEFILI SET HRTEMPPREPLO = '', CDAPRERECE = NULL WHERE CDFILIAL = '0002' AND CDFILAUXPRAT = 'P' "
        "AND CDPRATO = '2010010001'");
    const int count = sql("SELECT COUNT(*) " + rows).toInt();
    ASSERT_GT(count, 1);

    framework::ClientDataSet cds(nullptr, "cdsReceFili");
    load(cds);
    ASSERT_TRUE(cds.Locate("CDPRATO", "2010010001"));
    // The forms read both as "not informed"; the dataset keeps them apart.
    const QVariant empty = cds.FieldByName("HRTEMPPREPLO")->Value();
    EXPECT_TRUE(empty.isValid());
    EXPECT_EQ(empty.toString(), "");
    EXPECT_FALSE(cds.FieldByName("CDAPRERECE")->Value().isValid());

    const QString product = cds.FieldByName("CDPRODUTO")->AsString();
    cds.Edit();
    cds.FieldByName("QTPRODRECLOC")->setAsFloat(0.5);
    cds.Post();
    ASSERT_EQ(net->call("UpdReceFili", {QVariant::fromValue(cds.GetDelta())}).toString(), "");
    cds.MergeChangeLog();
    EXPECT_EQ(sql("SELECT QTPRODRECLOC " + rows + " AND CDPRODUTO = '" + product + "'").toDouble(), 0.5);
    EXPECT_EQ(sql("SELECT COUNT(*) " + rows + " AND HRTEMPPREPLO = '' AND CDAPRERECE IS NULL").toInt(), count);

    cds.Delete();
    ASSERT_EQ(net->call("UpdReceFili", {QVariant::fromValue(cds.GetDelta())}).toString(), "");
    EXPECT_EQ(sql("SELECT COUNT(*) " + rows).toInt(), count - 1);
}

INSTANTIATE_TEST_SUITE_P(Transports, TextoVazioTest,
                         ::testing::Combine(::testing::Values(Backend::Sqlite, Backend::Postgres),
                                            ::testing::Values(Via::InProcess, Via::Http)),
                         [](const auto& info) {
                             return testdb::backendName(std::get<0>(info.param))
                                    + (std::get<1>(info.param) == Via::Http ? "_Http" : "_InProcess");
                         });
