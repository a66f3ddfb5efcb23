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
        {600, u"Paths:\n\"%s\"\nmust differ", u"D:\\Data", u"Paths:\n\"D:\\Data\"\nmust differ", true},
        {64, u"%s: 100%% %s %d", u"a.chm", u"a.chm: 100% %s %d", true},
        {64, u"no name", nullptr, u"no name", true},
        {8, u"File: %s!", u"abcdef", u"File: a", false},
        {8, u"%s", u"1234567", u"1234567", true},
    };
    for (const auto& r : rows) {
        Char16 text[600];
        EXPECT_EQ(FormatWithText(text, r.capacity, r.format, r.text), r.fits) << r.capacity;
        EXPECT_EQ(Text16(r.expected), Text16(text));
    }
    Char16 none[1];
    EXPECT_FALSE(FormatWithText(none, 0, u"x", nullptr));
}
