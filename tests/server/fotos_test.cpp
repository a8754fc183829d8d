// A photo of several megabytes saved and read back byte for byte, on both database families,
// in process and through the daemon. A changed photo row carries its picture twice (the original
// row and the new one), so the body limit is set to what that needs with some room.
#include "framework/data/clientdataset.h"
#include "serverfixture.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

using servertest::ServerSide;
using servertest::Via;
using testdb::Backend;

namespace {

using Param = std::tuple<Backend, Via>;

class FotoGrandeTest : public ::testing::TestWithParam<Param> {};

// A JPEG's frame around 3 MB of bytes of every value, zero included.
QByteArray jpeg3Mb()
{
    QByteArray bytes(3 << 20, Qt::Uninitialized);
    QRandomGenerator generator(17);
    generator.fillRange(reinterpret_cast<quint32*>(bytes.data()), bytes.size() / 4);
    const QByteArray start("\xFF\xD8\xFF\xE0\x00\x10JFIF\x00", 11);
    bytes.replace(0, start.size(), start);
    bytes[bytes.size() - 2] = char(0xFF);
    bytes[bytes.size() - 1] = char(0xD9);
    return bytes;
}

} // namespace

TEST_P(FotoGrandeTest, ThreeMegabytePhotoTravelsUnchanged)
{
    const auto [backend, via] = GetParam();
    if (!testdb::available(backend))
        GTEST_SKIP() << "TEST_PG_CONN não definido";
    appserver::ServerOptions options;
    options.maxBodyBytes = qint64(12) << 20;
    ServerSide side(backend, via, options);
    auto net = side.connect();
    const QString dish = QStringLiteral("2020010001");
    const QByteArray photo = jpeg3Mb();

    framework::ClientDataSet fil{nullptr, "cdsFotoPraFil"};
    fil.SetData(framework::toPacket(net->call("GetFotoPraFil", {"0002", dish})));
    fil.Append();
    fil.FieldByName("CDFILAUXPRAT")->setAsString("P");
    fil.FieldByName("CDPRATO")->setAsString(dish);
    fil.FieldByName("CDFILIAL")->setAsString("0002");
    fil.FieldByName("NRFOTOPRAFIL")->setAsString("01");
    fil.FieldByName("IDFOTOPRAFIL")->setAsString("1");
    fil.FieldByName("IDAJUSFOTFIL")->setAsString("S");
    fil.FieldByName("FGFOTOPRAFIL")->setAsBlob(photo);
    fil.Post();
    EXPECT_EQ(net->call("UpdFotoPraFil", {QVariant::fromValue(fil.GetDelta())}).toString(), "");

    const QVariant answer = net->call("GetFotoPraFil", {"0002", dish});
    ASSERT_TRUE(framework::isPacket(answer)) << answer.value<framework::ServerFault>().message.toStdString();
    fil.SetData(framework::toPacket(answer));
    ASSERT_EQ(fil.RecordCount(), 1);
    const QByteArray back = fil.FieldByName("FGFOTOPRAFIL")->AsBlob();
    EXPECT_EQ(back.size(), photo.size());
    EXPECT_TRUE(back == photo);

    // Changing only the fit flag leaves the stored bytes as they are.
    fil.Edit();
    fil.FieldByName("IDAJUSFOTFIL")->setAsString("N");
    fil.Post();
    EXPECT_EQ(net->call("UpdFotoPraFil", {QVariant::fromValue(fil.GetDelta())}).toString(), "");
    fil.SetData(framework::toPacket(net->call("GetFotoPraFil", {"0002", dish})));
    EXPECT_EQ(fil.FieldByName("IDAJUSFOTFIL")->AsString(), "N");
    EXPECT_TRUE(fil.FieldByName("FGFOTOPRAFIL")->AsBlob() == photo);
}

INSTANTIATE_TEST_SUITE_P(Transports, FotoGrandeTest,
                         ::testing::Combine(::testing::Values(Backend::Sqlite, Backend::Postgres),
                                            ::testing::Values(Via::InProcess, Via::Http)),
                         [](const auto& info) {
                             return testdb::backendName(std::get<0>(info.param))
                                    + (std::get<1>(info.param) == Via::Http ? "_Http" : "_InProcess");
                         });
