#include "framework/ui/editmask.h"

#include <gtest/gtest.h>

using framework::EditMask;

TEST(EditMask, TheFormsMasksMapOntoQtInputMasks)
{
    EXPECT_EQ(EditMask("9999").qtInputMask(), "0000;_");
    EXPECT_EQ(EditMask(">aaaa").qtInputMask(), ">nnnn;_");
    EXPECT_EQ(EditMask("ccccc").qtInputMask(), "xxxxx;_");
    EXPECT_EQ(EditMask("!999:99;0; ").qtInputMask(), "000:00; ");
    EXPECT_EQ(EditMask("9999:99").qtInputMask(), "0000:00;_");
    EXPECT_EQ(EditMask("#######;0; ").qtInputMask(), "#######; ");
    // Required positions, letters, case switches and literals Qt would read as mask letters.
    EXPECT_EQ(EditMask("00/00/0000;1; ").qtInputMask(), "99/99/9999; ");
    EXPECT_EQ(EditMask("LlAaCc<>X\\9").qtInputMask(), "AaNnXx!\\X\\9;_");
    EXPECT_TRUE(EditMask("").qtInputMask().isEmpty());
}

TEST(EditMask, StoredValuesDropUnsavedLiteralsAndTheBlanksTheMaskSays)
{
    const EditMask hours("!999:99;0; ");
    EXPECT_FALSE(hours.saveLiterals());
    EXPECT_EQ(hours.valueOf(" 12:30"), "1230");
    EXPECT_EQ(hours.valueOf("   :  "), "");
    EXPECT_EQ(hours.displayOf("130"), "  1:30"); // aligned right
    EXPECT_EQ(hours.valueOf(hours.displayOf("01230")), "01230");

    const EditMask validity("9999:99");
    EXPECT_EQ(validity.valueOf("0012:30"), "0012:30");
    EXPECT_EQ(validity.valueOf("12__:__"), "12  :"); // aligned left: trailing blanks go
    EXPECT_EQ(validity.displayOf("0012:30"), "0012:30");

    const EditMask branch(">aaaa");
    EXPECT_EQ(branch.valueOf("AB__"), "AB");
    EXPECT_EQ(branch.displayOf("AB"), "AB__");

    const EditMask number("#######;0; ");
    EXPECT_EQ(number.valueOf("-12    "), "-12");
    EXPECT_EQ(number.displayOf("-12"), "-12    ");
}

TEST(EditMask, TypingGoesOnAfterTheLastTypedPosition)
{
    const EditMask dish("9999999999");
    EXPECT_EQ(dish.endOfInput("__________"), 0);
    EXPECT_EQ(dish.endOfInput("2010______"), 4);
    const EditMask validity("9999:99");
    EXPECT_EQ(validity.endOfInput("12__:__"), 2);
    EXPECT_EQ(validity.endOfInput("0012:3_"), 6); // the literal is passed over
}
