#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "tray/menu_geometry.h"

// Slices follow one another in order, none shrinks, and together they fill
// the banner exactly; the tray popup as measured with a 19-pixel menu line.
TEST(MenuGeometry, StretchedSlicesFillTheBanner)
{
    const std::vector<int> tray = {22, 22, 22, 9, 22, 9, 22, 22, 9, 22};
    const int total = std::accumulate(tray.begin(), tray.end(), 0);
    for (int banner = total; banner <= 3 * total; ++banner) {
        std::vector<int> heights(tray.size()), offsets(tray.size());
        ASSERT_TRUE(StretchItemHeights(tray.data(), int(tray.size()), banner, heights.data(), offsets.data()));
        EXPECT_TRUE(banner != total || heights == tray);
        int sum = 0;
        for (size_t p = 0; p < heights.size(); ++p) {
            ASSERT_TRUE(heights[p] >= tray[p] && offsets[p] + heights[p] <= banner) << banner << " at " << p;
            ASSERT_TRUE(p == 0 ? offsets[p] == 0 : offsets[p] > offsets[p - 1]) << banner << " at " << p;
            ASSERT_TRUE(banner != total || offsets[p] == sum) << p;
            sum += heights[p];
        }
        ASSERT_EQ(sum, banner);
    }
    // Nothing to stretch.
    int zero[2] = {0, 0}, out[2];
    EXPECT_FALSE(StretchItemHeights(zero, 2, 150, out, out) || StretchItemHeights(zero, 0, 150, out, out));
}

// The banner grows only for a longer caption, and its rows climb evenly to
// exactly the bottom colour.
TEST(MenuGeometry, BannerHeightAndRows)
{
    EXPECT_EQ(BannerHeight(184, 21, 163), 184);
    EXPECT_EQ(BannerHeight(100, 21, 130), 151);
    const uint32_t top = MenuRgb(64, 64, 128), bottom = MenuRgb(160, 160, 255);
    for (int height : {1, 2, 7, 96, 500}) {
        std::vector<uint32_t> rows(height);
        FillBannerRows(top, bottom, height, rows.data());
        EXPECT_TRUE(rows[height - 1] == bottom && (height == 1 || rows[0] == top)) << height;
        for (int r = 1; r < height; ++r)
            for (int shift : {0, 8, 16}) {
                uint32_t before = (rows[r - 1] >> shift) & 0xFF, now = (rows[r] >> shift) & 0xFF;
                ASSERT_TRUE(now >= before && now - before <= 2 * (((bottom - top) >> shift) & 0xFF) / height + 1)
                    << height << " row " << r;
            }
        // Red and green step by exactly one per row.
        EXPECT_TRUE(height != 96 || (rows[94] & 0xFFFF) == MenuRgb(158, 158, 0));
    }
}
