#include <gtest/gtest.h>

#include "tray/menu_mnemonics.h"

namespace {

TEST(MenuMnemonics, LetterFollowsTheFirstLoneAmpersand)
{
    EXPECT_EQ(MnemonicKeyOf(u"&Statistics..."), u'S');
    EXPECT_EQ(MnemonicKeyOf(u"Clear C&urrent"), u'U');
    // "&&" shows an ampersand: it marks nothing and hides no letter after it.
    EXPECT_EQ(MnemonicKeyOf(u"Send && receive"), 0);
    EXPECT_EQ(MnemonicKeyOf(u"Send && &receive"), u'R');
    EXPECT_EQ(MnemonicKeyOf(u"&1 first"), u'1');
    EXPECT_EQ(MnemonicKeyOf(u"Dangling &"), 0);
    EXPECT_EQ(MnemonicKeyOf(u""), 0);
    EXPECT_EQ(MnemonicKeyOf(nullptr), 0);
}

TEST(MenuMnemonics, NameKeepsItsAmpersandsAndMarksNoLetter)
{
    Char16 text[8];
    MenuTextOfName(u"R&D &Lab", text, 8);
    EXPECT_EQ(std::u16string(text), u"R&&D &&");
    EXPECT_EQ(MnemonicKeyOf(text), 0);
    MenuTextOfName(u"R&D &Lab", text, 7);
    EXPECT_EQ(std::u16string(text), u"R&&D ");  // no half of a doubled '&'
}

TEST(MenuMnemonics, TypedLetterChoosesInEitherCase)
{
    EXPECT_TRUE(MnemonicMatches(u"&Unload ZorvanHAgent", u'u'));
    EXPECT_TRUE(MnemonicMatches(u"&Unload ZorvanHAgent", u'U'));
    EXPECT_TRUE(MnemonicMatches(u"U&nbind all supported", u'n'));
    EXPECT_FALSE(MnemonicMatches(u"U&nbind all supported", u'u'));
    // A key of 0 must not choose the first item that has no letter at all.
    EXPECT_FALSE(MnemonicMatches(u"Local Area Connection", 0));
    EXPECT_FALSE(MnemonicMatches(u"Local Area Connection", u'L'));
}

}  // namespace
