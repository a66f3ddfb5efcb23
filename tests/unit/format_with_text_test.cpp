// FormatWithText fills the string table's formats that carry a folder or a
// file name, whatever the runtime reads "%s" in a wide format as.
#include <gtest/gtest.h>

#include "core/text16.h"

TEST(FormatWithText, FillsOnlyTheFirstPercentSAndCutsWhatDoesNotFit)
{
    const struct {
        size_t capacity;
        const Char16 *format, *text, *expected;
        bool fits;
    } rows[] = {
        {600, TEXT16("Current and Selected path are identical:\n\"%s\"\nThey must be different!"),
         TEXT16("D:\\ZorvanH\\Data"),
         TEXT16("Current and Selected path are identical:\n\"D:\\ZorvanH\\Data\"\nThey must be different!"), true},
        {64, TEXT16("%s: 100%% %s %d"), TEXT16("a.chm"), TEXT16("a.chm: 100% %s %d"), true},
        {64, TEXT16("no name"), nullptr, TEXT16("no name"), true},
        {8, TEXT16("File: %s!"), TEXT16("abcdef"), TEXT16("File: a"), false},
        {8, TEXT16("%s"), TEXT16("1234567"), TEXT16("1234567"), true},
    };
    for (const auto& r : rows) {
        Char16 text[600];
        EXPECT_EQ(FormatWithText(text, r.capacity, r.format, r.text), r.fits) << r.capacity;
        EXPECT_EQ(Text16(r.expected), Text16(text));
    }
    Char16 none[1];
    EXPECT_FALSE(FormatWithText(none, 0, TEXT16("x"), nullptr));
}
