// The containers and photos of a dish on both database families: the catalogue, the check of a
// container already on the dish, the principal mark, photo numbering per level and the one
// active photo per dish and level.
#include "appserver/changelog.h"
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

class ContainersFotosTest : public ::testing::TestWithParam<Backend> {
protected:
    void SetUp() override
    {
        if (!testdb::available(GetParam()))
            GTEST_SKIP() << "TEST_PG_CONN não definido";
        database = std::make_unique<testdb::TestDatabase>(GetParam(), true, 1);
        const QString name = database->connectionName();
        dispatcher = std::make_unique<appserver::Dispatcher>([name] { return QSqlDatabase::database(name, false); });
    }

    QVariant call(const QString& method, QVariantList args)
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
        const QString answer = call(method, {QVariant::fromValue(ds.GetDelta())}).toString();
        if (answer.isEmpty())
            ds.MergeChangeLog();
        return answer;
    }

    QString sql(const QString& text)
    {
        QSqlQuery q(database->db());
        return q.exec(text) && q.next() ? q.value(0).toString() : QString();
    }

    // Adds a photo through the dataset as the form does: keys, number, flag, fit, bytes.
    static void addPhoto(ClientDataSet& ds, const QStringList& keys, const QString& number, const QString& flag,
                         const QByteArray& bytes)
    {
        ds.Append();
        for (int i = 0; i < keys.size(); ++i)
            ds.FieldByName(keys[i].section('=', 0, 0))->setAsString(keys[i].section('=', 1));
        ds.Fields()[3]->setAsString(flag);
        ds.Fields()[4]->setAsString("S");
        for (framework::Field* f : ds.Fields()) {
            if (f->FieldName().startsWith("NRFOTO"))
                f->setAsString(number);
            if (f->FieldName().startsWith("FGFOTO"))
                f->setAsBlob(bytes);
        }
        ds.Post();
    }

    QVariant nextNumber(const QString& owner, const QString& branch, const QString& service, int column)
    {
        const DataPacket p = packet("GetProxCodigoFto", {owner, dish, branch, service});
        EXPECT_EQ(p.rowCount(), 1);
        return p.rowCount() ? p.rows.value(0, column) : QVariant();
    }

    std::unique_ptr<testdb::TestDatabase> database;
    std::unique_ptr<appserver::Dispatcher> dispatcher;
    const QString rice = QStringLiteral("2010010001"); // the demo's white rice, with two containers
    const QString dish = QStringLiteral("2020010001");
};

} // namespace

TEST_P(ContainersFotosTest, ContainersOfADishWithTheCatalogueNameAndOnePrincipal)
{
    const DataPacket catalogue = packet("GetContainer", {});
    ASSERT_GE(catalogue.rowCount(), 4);
    EXPECT_EQ(catalogue.fields()[3].name, "IDMARCADO");
    EXPECT_EQ(catalogue.rows.value(0, 3).toString(), "N");

    ClientDataSet cds{nullptr, "cdsPratoContainer"};
    cds.SetData(packet("GetPratoContainer", {rice, "P"}));
    ASSERT_EQ(cds.RecordCount(), 2);
    EXPECT_EQ(cds.Fields()[0]->FieldName(), "IDPRATCONTPRI");
    EXPECT_EQ(cds.FieldByName("NMCONTAINER")->AsString(), "Cuba gastronômica GN 1/1");
    EXPECT_EQ(packet("GetPratoContainer", {rice, "0002"}).rowCount(), 0); // another dish key

    EXPECT_TRUE(call("GetVdContainer", {"1", rice, "P"}).toBool()); // padded to 00001
    EXPECT_FALSE(call("GetVdContainer", {"00003", rice, "P"}).toBool());

    // A new row; the name it carries is not written anywhere.
    cds.Append();
    cds.FieldByName("IDPRATCONTPRI")->setAsString("N");
    cds.FieldByName("CDFILAUXPRAT")->setAsString("P");
    cds.FieldByName("CDPRATO")->setAsString(rice);
    cds.FieldByName("CDCONTAINER")->setAsString("00003");
    cds.FieldByName("QTPRATCONTAINER")->setAsFloat(0.5);
    cds.FieldByName("NMCONTAINER")->setAsString("outro nome");
    cds.Post();
    EXPECT_EQ(send("SetContainer", cds), "");
    EXPECT_TRUE(call("GetVdContainer", {"00003", rice, "P"}).toBool());
    EXPECT_EQ(sql("SELECT NMCONTAINER FROM CONTAINER WHERE CDCONTAINER = '00003'"), "Marmita descartável");

    // A row made principal takes the mark from the former principal in the same save.
    EXPECT_EQ(call("UpdContainer", {"P", rice}).toString(), "");
    EXPECT_EQ(sql(QStringLiteral("SELECT CDCONTAINER FROM PRATOCONTAINER WHERE CDPRATO = '%1' AND IDPRATCONTPRI = 'S'").arg(rice)),
              "00001"); // announcing it changes nothing yet
    cds.Edit();
    cds.FieldByName("IDPRATCONTPRI")->setAsString("S");
    cds.Post();
    EXPECT_EQ(send("SetContainer", cds), "");
    EXPECT_EQ(sql(QStringLiteral("SELECT COUNT(*) FROM PRATOCONTAINER WHERE CDPRATO = '%1' AND IDPRATCONTPRI = 'S'").arg(rice)), "1");
    EXPECT_EQ(sql(QStringLiteral("SELECT CDCONTAINER FROM PRATOCONTAINER WHERE CDPRATO = '%1' AND IDPRATCONTPRI = 'S'").arg(rice)), "00003");

    // Deleting goes through the change log too.
    cds.SetData(packet("GetPratoContainer", {rice, "P"}));
    ASSERT_TRUE(cds.Locate("CDCONTAINER", "00002"));
    cds.Delete();
    EXPECT_EQ(send("SetContainer", cds), "");
    EXPECT_FALSE(call("GetVdContainer", {"00002", rice, "P"}).toBool());
}

// Another user changed the row the user marks principal: the save is refused and the dish keeps
// the principal it had, although the mark's change was announced first.
TEST_P(ContainersFotosTest, ARefusedNewPrincipalLeavesTheFormerOne)
{
    ClientDataSet cds{nullptr, "cdsPratoContainer"};
    cds.SetData(packet("GetPratoContainer", {rice, "P"}));
    ASSERT_TRUE(cds.Locate("CDCONTAINER", "00002"));
    QSqlQuery q(database->db());
    ASSERT_TRUE(q.exec(QStringLiteral("UPDATE PRATOCONTAINER SET QTPRATCONTAINER = 7 WHERE CDPRATO = '%1' "
                                      "AND CDCONTAINER = '00002'").arg(rice)));
    EXPECT_EQ(call("UpdContainer", {"P", rice}).toString(), "");
    cds.Edit();
    cds.FieldByName("IDPRATCONTPRI")->setAsString("S");
    cds.Post();
    EXPECT_EQ(send("SetContainer", cds), appserver::conflictText("PRATOCONTAINER"));
    EXPECT_EQ(sql(QStringLiteral("SELECT CDCONTAINER FROM PRATOCONTAINER WHERE CDPRATO = '%1' AND IDPRATCONTPRI = 'S'").arg(rice)),
              "00001");

    // Two rows of one dish made principal in one save contradict each other.
    cds.SetData(packet("GetPratoContainer", {rice, "P"}));
    for (const char* container : {"00001", "00002"}) {
        ASSERT_TRUE(cds.Locate("CDCONTAINER", container));
        cds.Edit();
        cds.FieldByName("IDPRATCONTPRI")->setAsString(QString(container) == "00001" ? "N" : "S");
        cds.Post();
    }
    cds.Append();
    cds.FieldByName("IDPRATCONTPRI")->setAsString("S");
    cds.FieldByName("CDFILAUXPRAT")->setAsString("P");
    cds.FieldByName("CDPRATO")->setAsString(rice);
    cds.FieldByName("CDCONTAINER")->setAsString("00003");
    cds.Post();
    EXPECT_EQ(send("SetContainer", cds), "O prato já tem uma embalagem principal.");
    EXPECT_EQ(sql(QStringLiteral("SELECT CDCONTAINER FROM PRATOCONTAINER WHERE CDPRATO = '%1' AND IDPRATCONTPRI = 'S'").arg(rice)),
              "00001");
}

// Old data with two active records (or two principal containers) in one dish does not block the
// saves of other dishes; a save that leaves its own dish with two is still refused.
TEST_P(ContainersFotosTest, OnlyTheDishesASaveTouchesAreCheckedForOneActive)
{
    QSqlQuery q(database->db());
    const QString other = QStringLiteral("1010010001");
    ASSERT_TRUE(q.exec(QStringLiteral("UPDATE PRATOCONTAINER SET IDPRATCONTPRI = 'S' WHERE CDPRATO = '%1'").arg(other)));
    ASSERT_EQ(sql(QStringLiteral("SELECT COUNT(*) FROM PRATOCONTAINER WHERE CDPRATO = '%1' AND IDPRATCONTPRI = 'S'").arg(other)), "2");
    ASSERT_TRUE(q.exec(QStringLiteral("INSERT INTO PREPPRAT (CDFILAUXPRAT, CDPRATO, NRPREPPRAT, IDPREPPRAT, NMRPREPPRAT) "
                                      "VALUES ('P', '%1', '11', '1', 'a'), ('P', '%1', '12', '1', 'b')").arg(other)));
    ASSERT_TRUE(q.exec(QStringLiteral("INSERT INTO FOTOPRAPAD (CDFILAUXPRAT, CDPRATO, NRFOTOPRAPAD, IDFOTOPRAPAD, IDAJUSFOTPAD) "
                                      "VALUES ('P', '%1', '11', '1', 'S')").arg(other)));
    const QString clean = QStringLiteral("2030010001"); // no preparation mode nor photo yet

    ClientDataSet containers{nullptr, "cdsPratoContainer"};
    containers.SetData(packet("GetPratoContainer", {rice, "P"}));
    ASSERT_TRUE(containers.Locate("CDCONTAINER", "00002"));
    containers.Edit();
    containers.FieldByName("QTPRATCONTAINER")->setAsFloat(3);
    containers.Post();
    EXPECT_EQ(send("SetContainer", containers), "");

    ClientDataSet modes{nullptr, "cdsPrepPad"};
    modes.SetData(packet("GetPrepPad", {"P", clean}));
    modes.Append();
    modes.FieldByName("CDFILAUXPRAT")->setAsString("P");
    modes.FieldByName("CDPRATO")->setAsString(clean);
    modes.FieldByName("NRPREPPRAT")->setAsString("01");
    modes.FieldByName("IDPREPPRAT")->setAsString("1");
    modes.FieldByName("TXPREPPRAT")->setAsBlob("{\\rtf1 Cozinhar.}");
    modes.Post();
    EXPECT_EQ(send("UpdPrepPad", modes), "");

    ClientDataSet photos{nullptr, "cdsFotoPraPad"};
    photos.SetData(packet("GetFotoPraPad", {"0002", clean}));
    addPhoto(photos, {"CDFILAUXPRAT=P", "CDPRATO=" + clean}, "01", "1", "foto");
    EXPECT_EQ(send("UpdFotoPraPad", photos), "");

    // The dish a save touches is still held to one.
    addPhoto(photos, {"CDFILAUXPRAT=P", "CDPRATO=" + clean}, "02", "1", "outra");
    EXPECT_FALSE(send("UpdFotoPraPad", photos).isEmpty());
    EXPECT_EQ(sql(QStringLiteral("SELECT COUNT(*) FROM FOTOPRAPAD WHERE CDPRATO = '%1'").arg(clean)), "1");
}

TEST_P(ContainersFotosTest, PhotosAreNumberedPerDishAndLevelWithOneActive)
{
    EXPECT_TRUE(nextNumber("P", "", "", 0).isNull());
    ClientDataSet pad{nullptr, "cdsFotoPraPad"};
    QVariantList args{"2", dish};
    pad.SetData(framework::toPacket(dispatcher->call({db::DemoSupervisor, "teste"}, "Pla01300.rdmReceitaPadrao", "GetFotoPraPad", args)));
    EXPECT_EQ(args[0].toString(), "0002"); // the working branch comes back padded
    ASSERT_EQ(pad.FieldCount(), 6);
    EXPECT_EQ(pad.Fields()[3]->FieldName(), "IDFOTOPRAPAD");
    EXPECT_EQ(pad.Fields()[4]->FieldName(), "IDAJUSFOTPAD");
    const QByteArray first("\xFF\xD8\xFF\xE0\0\x10JFIF\0primeira\xFF\xD9", 22);
    addPhoto(pad, {"CDFILAUXPRAT=P", "CDPRATO=" + dish}, "01", "1", first);
    EXPECT_EQ(send("UpdFotoPraPad", pad), "");
    EXPECT_EQ(nextNumber("P", "", "", 0).toInt(), 2);
    EXPECT_TRUE(nextNumber("P", "2", "", 1).isNull()); // the branch level has its own numbering

    // A second active photo is refused and nothing of it is kept.
    addPhoto(pad, {"CDFILAUXPRAT=P", "CDPRATO=" + dish}, "02", "1", "x");
    EXPECT_FALSE(send("UpdFotoPraPad", pad).isEmpty());
    pad.CancelUpdates();
    EXPECT_EQ(sql(QStringLiteral("SELECT COUNT(*) FROM FOTOPRAPAD WHERE CDPRATO = '%1'").arg(dish)), "1");

    ClientDataSet fil{nullptr, "cdsFotoPraFil"};
    fil.SetData(packet("GetFotoPraFil", {"0002", dish}));
    EXPECT_EQ(fil.Fields()[3]->FieldName(), "IDFOTOPRAFIL");
    EXPECT_EQ(fil.Fields()[6]->FieldName(), "NRFOTOPRAFIL");
    addPhoto(fil, {"CDFILAUXPRAT=P", "CDPRATO=" + dish, "CDFILIAL=0002"}, "01", "1", first);
    EXPECT_EQ(send("UpdFotoPraFil", fil), "");
    EXPECT_EQ(packet("GetFotoPraFil", {"0002", dish}).rowCount(), 1);
    EXPECT_EQ(packet("GetFotoPraFil", {"0003", dish}).rowCount(), 0);

    ClientDataSet ser{nullptr, "cdsFotoPraSer"};
    ser.SetData(packet("GetFotoPraSer", {"0002", dish}));
    EXPECT_EQ(ser.Fields()[6]->FieldName(), "CDSERVFILI");
    addPhoto(ser, {"CDFILAUXPRAT=P", "CDPRATO=" + dish, "CDFILIAL=0002", "CDSERVFILI=00001"}, "01", "1", first);
    addPhoto(ser, {"CDFILAUXPRAT=P", "CDPRATO=" + dish, "CDFILIAL=0002", "CDSERVFILI=00002"}, "01", "1", first);
    EXPECT_EQ(send("UpdFotoPraSer", ser), ""); // one active photo in each service
    EXPECT_EQ(nextNumber("P", "0002", "00001", 2).toInt(), 2);
    ser.SetData(packet("GetFotoPraSer", {"0002", dish}));
    EXPECT_EQ(ser.RecordCount(), 2); // the client filters by service
    EXPECT_EQ(ser.FieldByName("FGFOTOPRASER")->AsBlob(), first);

    // Past 98 the answer stays 99, which the client refuses.
    QSqlQuery q(database->db());
    ASSERT_TRUE(q.exec("UPDATE FOTOPRAFIL SET NRFOTOPRAFIL = '98'"));
    EXPECT_EQ(nextNumber("P", "0002", "", 1).toInt(), 99);
}

TEST_P(ContainersFotosTest, TypedCodesAreValuesNotSql)
{
    for (const char* attack : {"' OR '1'='1", "0002'; DELETE FROM PRATOCONTAINER; --"}) {
        EXPECT_EQ(packet("GetPratoContainer", {attack, "P"}).rowCount(), 0);
        EXPECT_FALSE(call("GetVdContainer", {attack, rice, "P"}).toBool());
        EXPECT_EQ(packet("GetFotoPraFil", {attack, dish}).rowCount(), 0);
        EXPECT_EQ(call("UpdContainer", {attack, rice}).toString(), "");
    }
    EXPECT_EQ(sql(QStringLiteral("SELECT CDCONTAINER FROM PRATOCONTAINER WHERE CDPRATO = '%1' AND IDPRATCONTPRI = 'S'").arg(rice)),
              "00001");
}

INSTANTIATE_TEST_SUITE_P(Backends, ContainersFotosTest, ::testing::Values(Backend::Sqlite, Backend::Postgres),
                         [](const auto& info) { return testdb::backendName(info.param); });
