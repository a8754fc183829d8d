// Preparation texts as RTF: what the formatting bar can produce survives writing and reading
// unchanged; RTF written by other programs shows its text and the formatting it shares.
#include "fixture.h"

#include "framework/ui/rtftext.h"

#include <QFile>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>

using namespace framework;

namespace {

// One line per block and per run: everything the formatting bar may change, resolved against
// the document's default font, so that two documents compare as the user would see them.
QStringList describe(const QTextDocument& doc)
{
    QStringList lines;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        lines << QStringLiteral("block align=%1 bullet=%2")
                     .arg(int(block.blockFormat().alignment() & Qt::AlignHorizontal_Mask))
                     .arg(block.textList() != nullptr);
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            const QStringList families = f.fontFamilies().toStringList();
            const bool colored = f.hasProperty(QTextFormat::ForegroundBrush);
            lines << QStringLiteral("  [%1] %2 %3 b%4 i%5 u%6 %7")
                         .arg(it.fragment().text(), families.isEmpty() ? doc.defaultFont().family() : families.first())
                         .arg(f.fontPointSize() > 0 ? f.fontPointSize() : doc.defaultFont().pointSizeF())
                         .arg(f.fontWeight() >= QFont::DemiBold)
                         .arg(f.fontItalic())
                         .arg(f.fontUnderline())
                         .arg(colored ? f.foreground().color().name() : QStringLiteral("auto"));
        }
    }
    return lines;
}

// A text formatted with every button of the bar.
void formatEverything(QTextDocument& doc)
{
    QTextCursor c(&doc);
    QTextCharFormat title;
    title.setFontFamilies({QStringLiteral("Courier New")});
    title.setFontPointSize(16);
    title.setFontWeight(QFont::Bold);
    c.insertText(QStringLiteral("Frango à passarinho"), title);
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    c.setBlockFormat(centred);

    c.insertBlock(QTextBlockFormat(), QTextCharFormat());
    QTextCharFormat italic;
    italic.setFontItalic(true);
    c.insertText(QStringLiteral("Tempere com alho, limão e sal"), italic);
    QTextCharFormat red;
    red.setForeground(QColor(200, 0, 0));
    red.setFontUnderline(true);
    c.insertText(QStringLiteral(" (pré-aquecer {forno} a 180\\200 °C)"), red);
    c.insertText(QStringLiteral("\tpausa") + QChar(QChar::LineSeparator) + QStringLiteral("quebra"), QTextCharFormat());

    c.insertBlock(QTextBlockFormat(), QTextCharFormat());
    c.insertText(QStringLiteral("Coxinhas"));
    c.createList(QTextListFormat::ListDisc);
    c.insertBlock();
    c.insertText(QStringLiteral("Óleo € 5 → ½ litro"));

    QTextBlockFormat right;
    right.setAlignment(Qt::AlignRight);
    c.insertBlock(right, QTextCharFormat());
    c.insertText(QStringLiteral("Chef Conceição"));
    c.insertBlock(QTextBlockFormat(), QTextCharFormat()); // an empty last paragraph
}

QByteArray dataFile(const char* name)
{
    QFile file(QStringLiteral(RTF_TEST_DATA "/") + QLatin1String(name));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
    return file.readAll();
}

} // namespace

TEST(RtfText, EveryFormatOfTheBarSurvivesWritingAndReading)
{
    QTextDocument original;
    formatEverything(original);
    ASSERT_EQ(original.blockCount(), 6);

    const QByteArray rtf = documentToRtf(original);
    EXPECT_TRUE(isRtf(rtf));
    for (const char byte : rtf) // 7-bit as RTF wants: accents travel as escapes
        ASSERT_LT(static_cast<unsigned char>(byte), 0x80);

    QTextDocument read;
    rtfToDocument(rtf, read);
    EXPECT_EQ(describe(read), describe(original));
    EXPECT_EQ(documentToRtf(read), rtf);
}

TEST(RtfText, AccentedTextTravelsAsWindowsOrUnicodeEscapes)
{
    const QString text = QStringLiteral("Ação: pão, maçã, açúcar e café\nÊxito – “ótimo” ✓");
    const QByteArray rtf = plainTextToRtf(text);
    EXPECT_TRUE(rtf.contains("A\\'e7\\'e3o"));
    EXPECT_TRUE(rtf.contains("\\u8220?"));
    EXPECT_EQ(rtfToPlainText(rtf), text);
    // The Windows page above 0x7F, braces and backslashes as other writers send them.
    EXPECT_EQ(rtfToPlainText("{\\rtf1\\ansi \\'80 \\'93x\\'94 \\{a\\}\\\\ b\\~c}"),
              QStringLiteral("€ “x” {a}\\ b c")); // the plain text shows the hard space as a space
    // \uc0 announces no fallback; \uc2 two of them.
    EXPECT_EQ(rtfToPlainText("{\\rtf1\\uc0\\u231 a{\\uc2\\u227 xyb}}"), QStringLiteral("çaãb"));
}

TEST(RtfText, ForeignFilesShowTheirTextAndKnownFormatting)
{
    QTextDocument doc;
    rtfToDocument(dataFile("editor_simples.rtf"), doc);
    EXPECT_EQ(doc.toPlainText(), QStringLiteral("Arroz à grega\nLave o arroz e deixe escorrer. Refogue a cebola no óleo até "
                                                "dourar.\nTempo: 20 min"));
    QTextBlock first = doc.begin();
    EXPECT_EQ(first.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    const QTextCharFormat title = first.begin().fragment().charFormat();
    EXPECT_EQ(title.fontWeight(), QFont::Bold);
    EXPECT_EQ(title.fontPointSize(), 14);
    EXPECT_EQ(title.fontFamilies().toStringList(), QStringList{"Calibri"});
    const QTextBlock second = first.next();
    bool greenOil = false;
    for (auto it = second.begin(); !it.atEnd(); ++it)
        greenOil = greenOil || (it.fragment().text() == QStringLiteral("óleo")
                                && it.fragment().charFormat().foreground().color() == QColor(0, 128, 0));
    EXPECT_TRUE(greenOil);
    EXPECT_EQ(second.next().begin().fragment().charFormat().fontFamilies().toStringList(), QStringList{"Courier New"});

    rtfToDocument(dataFile("processador_texto.rtf"), doc);
    EXPECT_EQ(doc.toPlainText(), QStringLiteral("Feijão tropeiro\nBacon em cubos\nFarinha de mandioca – torrada\n"
                                                "Rende 10 porções ver\n"));
    QTextBlock block = doc.begin();
    EXPECT_EQ(block.textList(), nullptr);
    block = block.next();
    ASSERT_NE(block.textList(), nullptr);
    EXPECT_EQ(block.next().textList(), block.textList()); // one list of two bullets
    block = block.next().next();
    EXPECT_EQ(block.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    EXPECT_TRUE(block.begin().fragment().charFormat().fontItalic());
    EXPECT_EQ(block.textList(), nullptr);

    EXPECT_EQ(rtfToPlainText(dataFile("minimo.rtf")), QStringLiteral("Café com leite\nquente"));
    EXPECT_FALSE(isRtf(dataFile("texto_windows.txt")));
}
