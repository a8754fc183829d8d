#include "framework/data/numberformat.h"

#include <gtest/gtest.h>
#include <limits>

using framework::formatNumber;
using framework::parseNumber;

TEST(NumberFormat, FormsPatterns)
{
    EXPECT_EQ(formatNumber(1234.5, "#,##0.00000"), "1.234,50000");
    EXPECT_EQ(formatNumber(12.5, "#,##0.00 %"), "12,50 %");
    EXPECT_EQ(formatNumber(0.5, "##0.00000"), "0,50000");
    EXPECT_EQ(formatNumber(-1234567.123456, "#,###,##0.00000"), "-1.234.567,12346");
    EXPECT_EQ(formatNumber(1234567.0, "#,##0"), "1.234.567");
    EXPECT_EQ(formatNumber(123.0, "#,##0"), "123");
    EXPECT_EQ(formatNumber(1000.0, "#,##0.00"), "1.000,00");
    EXPECT_EQ(formatNumber(999.999, "#,##0.00"), "1.000,00");
    EXPECT_EQ(formatNumber(1234.5, "##0.00000"), "1234,50000");
    EXPECT_EQ(formatNumber(7, "R$ #,##0.00"), "R$ 7,00");
}

TEST(NumberFormat, RoundsHalfAwayFromZeroOnTheDecimalValue)
{
    EXPECT_EQ(formatNumber(2.675, "0.00"), "2,68");
    EXPECT_EQ(formatNumber(1.005, "0.00"), "1,01");
    EXPECT_EQ(formatNumber(-2.675, "0.00"), "-2,68");
    EXPECT_EQ(formatNumber(0.125, "0.00"), "0,13");
    EXPECT_EQ(formatNumber(2.5, "0"), "3");
    EXPECT_EQ(formatNumber(-2.5, "#,##0"), "-3");
    EXPECT_EQ(formatNumber(0.123454, "##0.00000"), "0,12345");
}

TEST(NumberFormat, ZeroAndOptionalDigits)
{
    EXPECT_EQ(formatNumber(0, "#,##0.00"), "0,00");
    EXPECT_EQ(formatNumber(-0.001, "#,##0.00"), "0,00"); // no "-0,00"
    EXPECT_EQ(formatNumber(-0.0, "0.00"), "0,00");
    EXPECT_EQ(formatNumber(0.5, "#.##"), ",5");
    EXPECT_EQ(formatNumber(3, "0.##"), "3");
    EXPECT_EQ(formatNumber(3.1, "0.0#"), "3,1");
    EXPECT_EQ(formatNumber(3.14159, "0.0#"), "3,14");
    EXPECT_EQ(formatNumber(7, "000"), "007");
    EXPECT_EQ(formatNumber(0.256, ".00"), ",26");
}

TEST(NumberFormat, EmptyPatternGivesShortestText)
{
    EXPECT_EQ(formatNumber(0.1, ""), "0,1");
    EXPECT_EQ(formatNumber(-1234.5, ""), "-1234,5");
    EXPECT_EQ(formatNumber(12, ""), "12");
    EXPECT_EQ(formatNumber(-0.0, ""), "0");
    EXPECT_EQ(formatNumber(std::numeric_limits<double>::quiet_NaN(), "0.00"), "");
}

TEST(NumberFormat, ParsesBrazilianText)
{
    const struct {
        const char* text;
        double value;
    } good[] = {{"1.234,56", 1234.56}, {"-0,5", -0.5}, {",5", 0.5}, {"12", 12},
                {" 12,50 ", 12.5},    {"1.234.567", 1234567}, {"+3", 3}, {"-0", 0}, {"12,", 12}, {"-,5", -0.5}};
    for (const auto& g : good) {
        double value = -99;
        EXPECT_TRUE(parseNumber(g.text, value)) << g.text;
        EXPECT_EQ(value, g.value) << g.text;
    }
    // A '.' that does not separate thousands is refused rather than read as 15 or 1.5.
    for (const char* bad : {"", " ", "-", ",", "1.5", "12.34,5", "1,2,3", "1e3", "abc", "1 234", ".123", "1.234.56", "١٢"}) {
        double value = -99;
        EXPECT_FALSE(parseNumber(QString::fromUtf8(bad), value)) << bad;
        EXPECT_EQ(value, -99) << bad;
    }
}
