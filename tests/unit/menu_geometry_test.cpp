#include <gtest/gtest.h>

#include <vector>

#include "tray/menu_geometry.h"

namespace {

// The tray popup as measured with a 19-pixel menu line: seven items, three
// separators.
const std::vector<int> TrayHeights = {22, 22, 22, 9, 22, 9, 22, 22, 9, 22};

int Sum(const std::vector<int>& v)
{
    int s = 0;
    for (int x : v)
        s += x;
    return s;
}

TEST(MenuStretch, HeightsFillTheBannerExactly)
{
    const int total = Sum(TrayHeights);
    for (int banner = total; banner <= 3 * total; ++banner) {
        std::vector<int> heights(TrayHeights.size()), offsets(TrayHeights.size());
        ASSERT_TRUE(
            StretchItemHeights(TrayHeights.data(), int(heights.size()), banner, heights.data(), offsets.data()));
        EXPECT_EQ(Sum(heights), banner) << banner;
        EXPECT_EQ(offsets[0], 0);
        for (size_t p = 0; p < heights.size(); ++p) {
            EXPECT_GE(heights[p], TrayHeights[p]) << banner << " at " << p;
            EXPECT_LE(offsets[p] + heights[p], banner) << banner << " at " << p;
            if (p > 0) {
                EXPECT_GT(offsets[p], offsets[p - 1]) << banner << " at " << p;
            }
        }
    }
}

TEST(MenuStretch, UnstretchedSlicesFollowOneAnother)
{
    std::vector<int> heights(TrayHeights.size()), offsets(TrayHeights.size());
    ASSERT_TRUE(
        StretchItemHeights(TrayHeights.data(), int(heights.size()), Sum(TrayHeights), heights.data(), offsets.data()));
    EXPECT_EQ(heights, TrayHeights);
    int top = 0;
    for (size_t p = 0; p < heights.size(); ++p) {
        EXPECT_EQ(offsets[p], top);
        top += heights[p];
    }
}

TEST(MenuStretch, NothingToStretchLeavesTheOutputAlone)
{
    int zero[2] = {0, 0}, heights[2] = {-1, -1}, offsets[2] = {-1, -1};
    EXPECT_FALSE(StretchItemHeights(zero, 2, 150, heights, offsets));
    EXPECT_FALSE(StretchItemHeights(zero, 0, 150, heights, offsets));
    EXPECT_EQ(heights[0], -1);
    EXPECT_EQ(offsets[1], -1);
}

TEST(MenuBanner, GrowsOnlyForALongerCaption)
{
    EXPECT_EQ(BannerHeight(184, 21, 130), 184);
    EXPECT_EQ(BannerHeight(184, 21, 163), 184);
    EXPECT_EQ(BannerHeight(100, 21, 130), 151);
}

TEST(MenuBanner, GradientRunsFromTopToExactlyTheBottomColour)
{
    const uint32_t top = MenuRgb(64, 64, 128), bottom = MenuRgb(160, 160, 255);
    for (int height : {1, 2, 7, 96, 151, 184, 500}) {
        std::vector<uint32_t> rows(height);
        FillBannerRows(top, bottom, height, rows.data());
        EXPECT_EQ(rows[height - 1], bottom) << height;
        if (height > 1) {
            EXPECT_EQ(rows[0], top) << height;
        }
        for (int r = 1; r < height; ++r)
            for (int shift : {0, 8, 16}) {
                uint32_t before = (rows[r - 1] >> shift) & 0xFF, now = (rows[r] >> shift) & 0xFF;
                uint32_t span = ((bottom >> shift) & 0xFF) - ((top >> shift) & 0xFF);
                EXPECT_GE(now, before) << height << " row " << r;
                EXPECT_LE(now - before, 2 * span / height + 1) << height << " row " << r;
            }
    }
    // 96 rows step red and green by exactly one per row.
    std::vector<uint32_t> rows(96);
    FillBannerRows(top, bottom, 96, rows.data());
    EXPECT_EQ(rows[94] & 0xFFFF, MenuRgb(158, 158, 0));
}

TEST(MenuMeasure, ItemSizes)
{
    const MenuMetrics metrics = {19, 13, 25};
    MenuItemFacts separator = {};
    separator.separator = true;
    separator.textWidth = 50;
    MenuItemSize s = MeasureMenuEntry(metrics, separator);
    EXPECT_EQ(s.width, 4);
    EXPECT_EQ(s.height, 9);

    MenuItemFacts item = {};
    item.hasText = true;
    item.imageWidth = 18;
    item.imageHeight = 18;
    item.textWidth = 80;
    item.textHeight = 13;
    s = MeasureMenuEntry(metrics, item);
    EXPECT_EQ(s.width, 4 + 20 + 80);
    EXPECT_EQ(s.height, 19 + 2);

    MenuItemFacts submenu = item;
    submenu.hasSubmenu = true;
    s = MeasureMenuEntry(metrics, submenu);
    EXPECT_EQ(s.width, 4 + 20 + 15 + 80);
    EXPECT_EQ(s.height, 25 + 2);

    MenuItemFacts grey = item;
    grey.imageWidth = 0;
    grey.textHeight = 20;
    grey.embossed = true;
    s = MeasureMenuEntry(metrics, grey);
    EXPECT_EQ(s.width, 4 + 81);
    EXPECT_EQ(s.height, 21 + 2);
}

TEST(MenuMeasure, EmbossingOnlyWhereTheShadowShows)
{
    const uint32_t grey = MenuRgb(128, 128, 128), highlight = MenuRgb(0, 0, 128);
    EXPECT_TRUE(DrawsEmbossed(true, false, grey, highlight));
    EXPECT_FALSE(DrawsEmbossed(true, true, grey, highlight));
    EXPECT_TRUE(DrawsEmbossed(true, true, grey, grey));
    EXPECT_FALSE(DrawsEmbossed(false, false, grey, highlight));
}

TEST(MenuFonts, BoldWeightAndGreyPalette)
{
    EXPECT_EQ(BoldWeight(400), 800);
    EXPECT_EQ(BoldWeight(700), 1400);
    EXPECT_EQ(BoldWeight(0), 800);
    EXPECT_EQ(GreyLevel(255, 0, 255), 170);
    EXPECT_EQ(GreyLevel(128, 128, 0), 85);
    EXPECT_EQ(GreyLevel(255, 255, 255), 255);
}

}  // namespace
