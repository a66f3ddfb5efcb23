#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "tray/menu_geometry.h"

namespace {

TEST(MenuStretch, SlicesFollowOneAnotherAndFillTheBannerExactly)
{
    // The tray popup as measured with a 19-pixel menu line.
    const std::vector<int> tray = {22, 22, 22, 9, 22, 9, 22, 22, 9, 22};
    const int total = std::accumulate(tray.begin(), tray.end(), 0);
    for (int banner = total; banner <= 3 * total; ++banner) {
        std::vector<int> heights(tray.size()), offsets(tray.size());
        ASSERT_TRUE(StretchItemHeights(tray.data(), int(tray.size()), banner, heights.data(), offsets.data()));
        if (banner == total)
            EXPECT_EQ(heights, tray);
        int sum = 0;
        for (size_t p = 0; p < heights.size(); ++p) {
            ASSERT_GE(heights[p], tray[p]) << banner << " at " << p;
            ASSERT_TRUE(p == 0 ? offsets[p] == 0 : offsets[p] > offsets[p - 1]) << banner << " at " << p;
            ASSERT_LE(offsets[p] + heights[p], banner) << banner << " at " << p;
            ASSERT_TRUE(banner != total || offsets[p] == sum) << p;  // unstretched slices follow one another
            sum += heights[p];
        }
        ASSERT_EQ(sum, banner);
    }
    int zero[2] = {0, 0}, heights[2] = {-1, -1}, offsets[2] = {-1, -1};
    EXPECT_FALSE(StretchItemHeights(zero, 2, 150, heights, offsets));
    EXPECT_FALSE(StretchItemHeights(zero, 0, 150, heights, offsets));
    EXPECT_EQ(heights[0] & offsets[1], -1);  // left alone
}

TEST(MenuBanner, GrowsOnlyForALongerCaptionAndRunsToExactlyTheBottomColour)
{
    EXPECT_EQ(BannerHeight(184, 21, 163), 184);
    EXPECT_EQ(BannerHeight(100, 21, 130), 151);
    const uint32_t top = MenuRgb(64, 64, 128), bottom = MenuRgb(160, 160, 255);
    for (int height : {1, 2, 7, 96, 151, 500}) {
        std::vector<uint32_t> rows(height);
        FillBannerRows(top, bottom, height, rows.data());
        EXPECT_EQ(rows[height - 1], bottom) << height;
        EXPECT_TRUE(height == 1 || rows[0] == top) << height;
        for (int r = 1; r < height; ++r)
            for (int shift : {0, 8, 16}) {
                uint32_t before = (rows[r - 1] >> shift) & 0xFF, now = (rows[r] >> shift) & 0xFF;
                uint32_t span = ((bottom >> shift) & 0xFF) - ((top >> shift) & 0xFF);
                ASSERT_GE(now, before) << height << " row " << r;
                ASSERT_LE(now - before, 2 * span / height + 1) << height << " row " << r;
            }
        if (height == 96)  // red and green step by exactly one per row
            EXPECT_EQ(rows[94] & 0xFFFF, MenuRgb(158, 158, 0));
    }
}

TEST(MenuMeasure, ItemSizes)
{
    const MenuMetrics metrics = {19, 13, 25};
    MenuItemFacts separator = {}, item = {};
    separator.separator = true;
    separator.textWidth = 50;
    item.hasText = true;
    item.imageWidth = item.imageHeight = 18;
    item.textWidth = 80;
    item.textHeight = 13;
    MenuItemFacts submenu = item, grey = item;
    submenu.hasSubmenu = true;
    grey.imageWidth = 0;
    grey.textHeight = 20;
    grey.embossed = true;
    const struct {
        MenuItemFacts facts;
        int width, height;
    } rows[] = {
        {separator, 4, 9}, {item, 4 + 20 + 80, 19 + 2}, {submenu, 4 + 20 + 15 + 80, 25 + 2}, {grey, 4 + 81, 21 + 2}};
    for (const auto& r : rows) {
        MenuItemSize s = MeasureMenuEntry(metrics, r.facts);
        EXPECT_EQ(s.width, r.width);
        EXPECT_EQ(s.height, r.height);
    }
}

TEST(MenuLooks, EmbossingBoldWeightAndGreyPalette)
{
    const uint32_t grey = MenuRgb(128, 128, 128), highlight = MenuRgb(0, 0, 128);
    EXPECT_TRUE(DrawsEmbossed(true, false, grey, highlight));
    EXPECT_FALSE(DrawsEmbossed(true, true, grey, highlight));
    EXPECT_TRUE(DrawsEmbossed(true, true, grey, grey));  // the shadow shows only there
    EXPECT_FALSE(DrawsEmbossed(false, false, grey, highlight));
    EXPECT_EQ(BoldWeight(400), 800);
    EXPECT_EQ(BoldWeight(700), 1400);
    EXPECT_EQ(BoldWeight(0), 800);
    EXPECT_EQ(GreyLevel(255, 0, 255), 170);
    EXPECT_EQ(GreyLevel(128, 128, 0), 85);
    EXPECT_EQ(GreyLevel(255, 255, 255), 255);
}

}  // namespace
