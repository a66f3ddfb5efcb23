// FormatWithText fills the string table's formats that carry a folder or a
// file name, whatever the runtime reads "%s" in a wide format as.
#include <gtest/gtest.h>

#include "core/text16.h"

TEST(FormatWithText, IdenticalPathMessageShowsTheWholeFolder)
{
    // The text of string IDS_DF_IDENTICAL.
    const Char16* format = TEXT16("Current and Selected path are identical:\n\"%s\"\nThey must be different!");
    Char16 text[600];
    EXPECT_TRUE(FormatWithText(text, 600, format, TEXT16("D:\\ZorvanH\\Data")));
    EXPECT_EQ(
        Text16(TEXT16("Current and Selected path are identical:\n\"D:\\ZorvanH\\Data\"\nThey must be different!")),
        Text16(text));
}

TEST(FormatWithText, OnlyTheFirstPercentSIsFilledAndDoublePercentIsOne)
{
    Char16 text[64];
    EXPECT_TRUE(FormatWithText(text, 64, TEXT16("%s: 100%% %s %d"), TEXT16("a.chm")));
    EXPECT_EQ(Text16(TEXT16("a.chm: 100% %s %d")), Text16(text));
    EXPECT_TRUE(FormatWithText(text, 64, TEXT16("no name"), nullptr));
    EXPECT_EQ(Text16(TEXT16("no name")), Text16(text));
}

TEST(FormatWithText, CutsWhatDoesNotFitAndStaysTerminated)
{
    Char16 text[8];
    EXPECT_FALSE(FormatWithText(text, 8, TEXT16("File: %s!"), TEXT16("abcdef")));
    EXPECT_EQ(Text16(TEXT16("File: a")), Text16(text));
    EXPECT_TRUE(FormatWithText(text, 8, TEXT16("%s"), TEXT16("1234567")));
    EXPECT_EQ(Text16(TEXT16("1234567")), Text16(text));
    EXPECT_FALSE(FormatWithText(text, 0, TEXT16("x"), nullptr));
}
