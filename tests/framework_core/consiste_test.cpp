#include "framework/abort.h"
#include "framework/core/consiste.h"
#include "framework/core/dbpicture.h"
#include "framework/core/hostcontext.h"

#include <gtest/gtest.h>

using namespace framework;

namespace {
template <typename Digits>
concept DigitsFirstCompiles = requires(Digits d) { RoundDec(5, d); };
static_assert(!DigitsFirstCompiles<double>, "RoundDec(digits, value) must not compile");
} // namespace

TEST(Consiste, RoundDecIsExactOnDecimalInputs)
{
    EXPECT_EQ(RoundDec(2.675, 2), 2.68);
    EXPECT_EQ(RoundDec(1.005, 2), 1.01);
    EXPECT_EQ(RoundDec(-2.5, 0), -3);
    EXPECT_EQ(RoundDec(2.5, 0), 3);
    EXPECT_EQ(RoundDec(0.285, 2), 0.29);
    EXPECT_EQ(RoundDec(1.234565, 5), 1.23457);
    EXPECT_EQ(RoundDec(99.995, 2), 100);
    EXPECT_EQ(RoundDec(12.5, 5), 12.5);
    EXPECT_EQ(RoundDec(123456789.125, 2), 123456789.13);
    EXPECT_EQ(RoundDec(1e20, 2), 1e20);
    EXPECT_EQ(RoundDec(3.7, -1), 4);
    EXPECT_FALSE(std::signbit(RoundDec(-0.004, 2)));
    EXPECT_FALSE(std::signbit(RoundDec(-0.0, 2)));
    // Hours and minutes of a shelf life: 1:20 is 1 + 20/60 hours, kept to 8 decimals.
    EXPECT_EQ(RoundDec(1 + 30 / 60.0, 8), 1.5);
    EXPECT_EQ(RoundDec(1 + 20 / 60.0, 8), 1.33333333);
    // Dish cost: RoundDec(RoundDec(cost, 5) x RoundDec(gross quantity, 5), 5).
    EXPECT_EQ(RoundDec(RoundDec(3.456789, 5) * RoundDec(0.123456, 5), 5), 0.42678);
    // Nutrition yield in percent with 2 decimals.
    EXPECT_EQ(RoundDec(0.085 / 0.1 * 100, 2), 85);
}

TEST(Consiste, AjustaFillsCodesToKeyWidth)
{
    EXPECT_EQ(Ajusta("1", 4), "0001");       // branch
    EXPECT_EQ(Ajusta(" 12 ", 5), "00012");   // service
    EXPECT_EQ(Ajusta("7", 3), "007");        // service group
    EXPECT_EQ(Ajusta("42", 10), "0000000042"); // menu type
    EXPECT_EQ(Ajusta("123456", 4), "123456");
    EXPECT_EQ(Ajusta("   ", 5), "");         // still empty for the required check
    EXPECT_EQ(Ajusta(" 130", 5), "00130");   // preparation time before normalising
    EXPECT_EQ(Ajusta("5", 2), "05");
}

TEST(Consiste, TextRoutines)
{
    EXPECT_TRUE(EmptyString(""));
    EXPECT_TRUE(EmptyString(" \t "));
    EXPECT_FALSE(EmptyString(" 0 "));
    EXPECT_EQ(PadL("1", 4), "   1");
    EXPECT_EQ(PadL("1", 4, '0'), "0001");
    EXPECT_EQ(PadL("12345", 4), "12345");
    EXPECT_EQ(AllTrim("  a b  "), "a b");
    EXPECT_EQ(iif(true, QString("S"), "N"), "S");
    EXPECT_EQ(iif(false, 1, 2.5), 2.5);
}

TEST(Consiste, StrToFloatDefReadsBrazilianNumbers)
{
    EXPECT_EQ(StrToFloatDef("0001", 0), 1);
    EXPECT_EQ(StrToFloatDef("30", 0), 30);
    EXPECT_EQ(StrToFloatDef(",5", 0), 0.5);
    EXPECT_EQ(StrToFloatDef("1.234,5", 0), 1234.5);
    EXPECT_EQ(StrToFloatDef("", 7), 7);
    EXPECT_EQ(StrToFloatDef("12:30", -1), -1);
    EXPECT_EQ(StrToFloatDef("1.5", -1), -1);
}

TEST(Consiste, HorarioOkChecksTimesOfDay)
{
    for (const char* ok : {"0130", "01:30", "2359", "0000", " 130", "  05", "23:59"})
        EXPECT_TRUE(HorarioOk(ok)) << ok;
    for (const char* bad : {"2400", "0160", "24:00", "", "    ", "130", "1:30", "01:3", "ab12", "01 30", "0130 ", "12345", "13 0"})
        EXPECT_FALSE(HorarioOk(bad)) << bad;
    // The last 4 characters of a normalised preparation time "hhhmm".
    EXPECT_TRUE(HorarioOk(QString("00130").right(4)));
}

TEST(Consiste, MaxNumberLimitsDigitsWhileTyping)
{
    for (const char* ok : {"", "-", "0", "1234567890", "1.234.567.890", "12,", ",5", "1234567890,12345", "-0,1"})
        EXPECT_TRUE(MaxNumber(ok, 10, 5)) << ok;
    for (const char* bad : {"12345678901", "1,123456", "1,2,3", "1-", "1e5", "--1", "1,2.3", "abc"})
        EXPECT_FALSE(MaxNumber(bad, 10, 5)) << bad;
}

TEST(DBPicture, LevelArithmetic)
{
    const TDBPicture picture("9.99.999.9999");
    EXPECT_EQ(picture.GetTtNiveis(), 4);
    EXPECT_EQ(picture.TamNivel(1), 1);
    EXPECT_EQ(picture.TamNivel(4), 4);
    EXPECT_EQ(picture.TamAcNivel(2), 3);
    EXPECT_EQ(picture.TamAcNivel(4), 10);
    EXPECT_EQ(picture.AntNivel(1), 0);
    EXPECT_EQ(picture.AntNivel(4), 6);
    for (int outside : {0, -1, 5})
        EXPECT_EQ(picture.TamNivel(outside) + picture.TamAcNivel(outside) + picture.AntNivel(outside), 0);

    EXPECT_EQ(picture.Nivel(""), 0);
    EXPECT_EQ(picture.Nivel("1"), 1);
    EXPECT_EQ(picture.Nivel("101"), 2);
    EXPECT_EQ(picture.Nivel("1010"), 2); // between levels: only level 2 is complete
    EXPECT_EQ(picture.Nivel("101001"), 3);
    EXPECT_EQ(picture.Nivel("1010010001 "), 4);
    EXPECT_EQ(picture.Nivel("10100100012"), 4);
}

TEST(DBPicture, GroupsAndItems)
{
    const TDBPicture picture("9.99.999.9999");
    EXPECT_TRUE(picture.isLastLevel("1010010001"));
    EXPECT_FALSE(picture.isLastLevel("101001000"));
    EXPECT_EQ(picture.parentCode("1010010001"), "101001");
    EXPECT_EQ(picture.parentCode("101001"), "101001");
    EXPECT_EQ(picture.parentCode(""), "");
    EXPECT_EQ(picture.editMask(), "0000000000");
    EXPECT_EQ(TDBPicture("AA.NN.X").editMask(), "aannx");

    // A new child of level L + 1 under a level-L group: the group code, then the next sequence
    // padded to the child's width, found after TamAcNivel(L) characters of the last sibling.
    const QString lastSibling = "101007";
    const int level = picture.Nivel("101");
    const int next = lastSibling.mid(picture.TamAcNivel(level)).toInt() + 1;
    EXPECT_EQ("101" + Ajusta(QString::number(next), picture.TamNivel(level + 1)), "101008");
}

TEST(DBPicture, EmptyPictureHasNoLevels)
{
    const TDBPicture picture;
    EXPECT_EQ(picture.GetTtNiveis(), 0);
    EXPECT_EQ(picture.Nivel("123"), 0);
    EXPECT_EQ(picture.TamAcNivel(1), 0);
    EXPECT_FALSE(picture.isLastLevel(""));
    EXPECT_EQ(picture.parentCode("123"), "123");
    EXPECT_EQ(picture.editMask(), "");
    EXPECT_EQ(TDBPicture(" 99..999 ").GetTtNiveis(), 2);
}

TEST(HostContext, PicturesAndModules)
{
    HostContext& context = hostContext();
    context.pictures = {{0, "99.999.99999"}, {1, "9.99.999.9999"}};
    EXPECT_EQ(context.DBPict(1), "9.99.999.9999");
    EXPECT_EQ(context.DBPictObj(0).TamAcNivel(2), 5);
    EXPECT_EQ(context.DBPict(7), "");

    try {
        context.LoadBPL("GER02100");
        ADD_FAILURE() << "LoadBPL without a launcher must fail";
    } catch (const Error& e) {
        EXPECT_EQ(e.message(), "Módulo GER02100 não disponível.");
    }
    QString opened;
    QVariantList received;
    context.loadModule = [&](const QString& module, const QVariantList& args) {
        opened = module;
        received = args;
    };
    context.LoadBPL("PLA01303", {"0001"});
    EXPECT_EQ(opened, "PLA01303");
    EXPECT_EQ(received, QVariantList{"0001"});

    context.WebPort = 8080;
    context.reset();
    EXPECT_EQ(context.WebPort, 0);
    EXPECT_TRUE(context.pictures.isEmpty());
    EXPECT_FALSE(context.loadModule);
}
