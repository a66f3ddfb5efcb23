#include "tray/menu_geometry.h"

static int Larger(int a, int b)
{
    return a > b ? a : b;
}

MenuItemSize MeasureMenuEntry(const MenuMetrics& metrics, const MenuItemFacts& facts)
{
    MenuItemSize size = {4, 0};
    if (facts.separator) {
        size.height = metrics.menuHeight / 2;
        return size;
    }
    if (facts.furtherWidth != 0)
        size.width += facts.furtherWidth + 2;
    if (facts.imageWidth != 0)
        size.width += facts.imageWidth + 2;
    if (facts.hasSubmenu) {
        // Room for the arrow the system draws after the item.
        size.width += metrics.checkWidth + 2;
        size.height = metrics.checkHeight;
    }
    size.height = Larger(Larger(size.height, metrics.menuHeight), Larger(facts.imageHeight, facts.furtherHeight));
    if (facts.hasText) {
        int shadow = facts.embossed ? 1 : 0;
        size.height = Larger(size.height, facts.textHeight + shadow);
        size.width += facts.textWidth + shadow;
    }
    size.height += 2;
    return size;
}

bool DrawsEmbossed(bool disabled, bool highlighted, uint32_t grayTextColor, uint32_t highlightColor)
{
    return disabled && !(highlighted && grayTextColor != highlightColor);
}

int BoldWeight(int weight)
{
    return weight == 0 ? 800 : weight * 2;
}

uint8_t GreyLevel(uint8_t red, uint8_t green, uint8_t blue)
{
    return uint8_t((unsigned(red) + green + blue) / 3);
}

int BannerHeight(int requestedHeight, int bannerWidth, int textRight)
{
    return textRight + bannerWidth > requestedHeight ? textRight + bannerWidth : requestedHeight;
}

void FillBannerRows(uint32_t topColor, uint32_t bottomColor, int height, uint32_t* rows)
{
    if (height <= 0)
        return;
    double value[3], step[3];
    for (int c = 0; c < 3; ++c) {
        double top = (topColor >> (8 * c)) & 0xFF;
        double bottom = (bottomColor >> (8 * c)) & 0xFF;
        value[c] = top;
        step[c] = (bottom - top) / height;
    }
    for (int row = 0; row < height - 1; ++row) {
        rows[row] = MenuRgb(uint32_t(value[0]), uint32_t(value[1]), uint32_t(value[2]));
        for (int c = 0; c < 3; ++c)
            value[c] += step[c];
    }
    // The running value stops one step short of the bottom colour.
    rows[height - 1] = bottomColor;
}

bool StretchItemHeights(const int* heights, int count, int bannerHeight, int* newHeights, int* offsets)
{
    long long total = 0;
    for (int p = 0; p < count; ++p)
        total += heights[p];
    if (count <= 0 || total <= 0 || bannerHeight <= 0)
        return false;
    double scale = double(bannerHeight) / double(total);
    double sum = 0;
    int given = 0;
    for (int p = count - 1; p > 0; --p) {
        double next = sum + heights[p] * scale;
        newHeights[p] = int(next - sum);
        offsets[p] = int(bannerHeight - next);
        given += newHeights[p];
        sum = next;
    }
    // The first item takes what truncating the others left over, so the
    // popup ends exactly where the banner does.
    newHeights[0] = bannerHeight - given;
    offsets[0] = 0;
    return true;
}
