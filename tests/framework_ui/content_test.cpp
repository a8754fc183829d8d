#include "fixture.h"

#include "framework/abort.h"
#include "framework/core/hostcontext.h"
#include "framework/ui/dbimage.h"
#include "framework/ui/dbrichedit.h"
#include "framework/ui/rtftext.h"
#include "framework/ui/tabvalid.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

using namespace framework;

namespace {

QByteArray imageBytes(const char* format, QColor color)
{
    QImage image(8, 6, QImage::Format_RGB32);
    image.fill(color);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

class ContentTest : public UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        ds = threeDishes();
        dts.setDataSet(ds.get());
    }
    std::unique_ptr<ClientDataSet> ds;
    DataSource dts;
    TestWindow win;
};

} // namespace

TEST_F(ContentTest, RichTextIsTypedIntoTheBlobAsRtf)
{
    auto* dre = win.add(new TDBRichEdit(&win.window, "drePadrao"));
    dre->setDataSource(&dts);
    dre->setDataField("TXPREP");
    ASSERT_TRUE(win.show());
    EXPECT_TRUE(dre->IsEmptyText());

    dre->setFocus();
    QTest::keyClicks(dre, "Lavar o arroz");
    EXPECT_EQ(ds->state(), ClientDataSet::State::Edit);
    ds->Post(); // the typing is written before the post
    const QByteArray stored = ds->FieldByName("TXPREP")->AsBlob();
    EXPECT_TRUE(isRtf(stored));
    EXPECT_EQ(rtfToPlainText(stored), "Lavar o arroz");

    ds->Next();
    EXPECT_TRUE(dre->IsEmptyText());
    ds->Prior();
    EXPECT_EQ(dre->toPlainText(), "Lavar o arroz");
}

TEST_F(ContentTest, RichTextFilesRoundTripThroughRtf)
{
    const QString text = QStringLiteral("Cozinhar em fogo baixo {30 min}\nServir quente \\ ção");
    EXPECT_EQ(rtfToPlainText(plainTextToRtf(text)), text);
    EXPECT_EQ(rtfToPlainText("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 Arroz\\par\\b Feij\\'e3o\\b0}"),
              QStringLiteral("Arroz\nFeijão"));

    QTemporaryDir dir;
    TDBRichEdit dre;
    dre.setPlainText(text);
    dre.SaveToFile(dir.filePath("modo.rtf"));
    TDBRichEdit other;
    other.LoadFromFile(dir.filePath("modo.rtf"));
    EXPECT_EQ(other.toPlainText(), text);
    EXPECT_THROW(other.LoadFromFile(dir.filePath("nao_existe.rtf")), Error);

    // Whatever the name, the file receives rich text; a text file is read as plain text, in
    // the Windows code page when it is not UTF-8.
    dre.SaveToFile(dir.filePath("modo.txt"));
    QFile saved(dir.filePath("modo.txt"));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_TRUE(isRtf(saved.readAll()));
    other.LoadFromFile(QStringLiteral(RTF_TEST_DATA "/texto_windows.txt"));
    EXPECT_EQ(other.toPlainText().trimmed(), QStringLiteral("Modo de preparo em texto: açúcar e canela."));
}

TEST_F(ContentTest, ImagesShowWhateverFormatTheBlobHolds)
{
    auto* img = win.add(new TDBImage(&win.window, "imgFtoPad"));
    img->setDataSource(&dts);
    img->setDataField("TXPREP");
    EXPECT_TRUE(img->image().isNull());

    ds->Edit();
    for (const char* format : {"PNG", "BMP", "JPG"}) {
        ds->FieldByName("TXPREP")->setAsBlob(imageBytes(format, Qt::red));
        EXPECT_EQ(img->image().size(), QSize(8, 6)) << format;
    }
    ds->FieldByName("TXPREP")->setAsBlob("no image");
    EXPECT_TRUE(img->image().isNull());
    ds->Cancel();

    QTemporaryDir dir;
    QFile file(dir.filePath("foto.bmp"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    const QByteArray bytes = imageBytes("BMP", Qt::blue);
    file.write(bytes);
    file.close();
    img->LoadFromFile(file.fileName());
    EXPECT_EQ(ds->state(), ClientDataSet::State::Edit);
    EXPECT_EQ(ds->FieldByName("TXPREP")->AsBlob(), bytes); // stored unchanged
    EXPECT_EQ(img->image().pixelColor(0, 0), QColor(Qt::blue));

    QFile text(dir.filePath("texto.jpg"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("not a picture");
    text.close();
    EXPECT_THROW(img->LoadFromFile(text.fileName()), Error);
    img->setReadOnly(true);
    EXPECT_THROW(img->LoadFromFile(file.fileName()), Error);
}

TEST_F(ContentTest, ValidExChecksCodesAgainstThePicture)
{
    hostContext().pictures[1] = QStringLiteral("9.99.999");
    QString code = QStringLiteral("1.01.002 ");
    EXPECT_TRUE(Tabvalid::ValidEx(nullptr, 1, code));
    EXPECT_EQ(code, "101002"); // adjusted: stored without separators
    code = "101";
    EXPECT_TRUE(Tabvalid::ValidEx(&dts, 1, code));
    EXPECT_FALSE(Tabvalid::ValidEx(nullptr, 1, code, Tabvalid::voNivelCompleto, {}, false));
    code = "1 1002"; // a level not filled in passes: the caller reports it
    EXPECT_TRUE(Tabvalid::ValidEx(nullptr, 1, code));

    code = "10";
    EXPECT_THROW(Tabvalid::ValidEx(nullptr, 1, code), Abort);
    code = "1A1";
    EXPECT_THROW(Tabvalid::ValidEx(nullptr, 1, code, Tabvalid::voQualquerNivel, "Código inválido."), Abort);
    code = "101";
    EXPECT_THROW(Tabvalid::ValidEx(nullptr, 1, code, Tabvalid::voNivelCompleto), Abort);
    EXPECT_EQ(script->messageTexts(),
              QStringList({"Código inválido para a máscara 9.99.999.", "Código inválido.",
                           "Código deve estar no último nível da máscara 9.99.999."}));
    hostContext().reset();
}

TEST_F(ContentTest, SetaCampoNullClearsOnlyBlankTexts)
{
    ds->Edit();
    ds->FieldByName("NMPRATO")->setAsString("   ");
    ds->FieldByName("IDATIVO")->setAsString("S");
    ds->FieldByName("QTPESO")->setAsFloat(0);
    Seta_Campo_Null(*ds);
    EXPECT_TRUE(ds->FieldByName("NMPRATO")->IsNull());
    EXPECT_EQ(ds->FieldByName("IDATIVO")->AsString(), "S");
    EXPECT_FALSE(ds->FieldByName("QTPESO")->IsNull());
}
