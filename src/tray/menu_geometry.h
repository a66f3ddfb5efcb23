// The arithmetic of the owner-drawn tray menu: item sizes, the side banner's
// height and gradient, and how the item heights are stretched to the banner.
// Everything the drawing code measures comes in as plain numbers, so these
// rules hold the same wherever the numbers come from.
#pragma once

#include <cstdint>

// Colours are 0x00BBGGRR values.
constexpr uint32_t MenuRgb(uint32_t r, uint32_t g, uint32_t b)
{
    return r | g << 8 | b << 16;
}

// The system metrics an item's size depends on.
struct MenuMetrics {
    int menuHeight;   // SM_CYMENU
    int checkWidth;   // SM_CXMENUCHECK
    int checkHeight;  // SM_CYMENUCHECK
};

// What is known of one item before it is sized.
struct MenuItemFacts {
    bool separator;
    bool hasSubmenu;
    bool hasText;
    bool embossed;     // disabled and drawn with a raised shadow
    int furtherWidth;  // largest image of the two sets the agent never loads
    int furtherHeight;
    int imageWidth;  // largest of the four item images
    int imageHeight;
    int textWidth;
    int textHeight;
};

struct MenuItemSize {
    int width;
    int height;
};

MenuItemSize MeasureMenuEntry(const MenuMetrics& metrics, const MenuItemFacts& facts);

// A disabled item gets a light shadow under its grey text, except where the
// grey text would not show on the highlight anyway.
bool DrawsEmbossed(bool disabled, bool highlighted, uint32_t grayTextColor, uint32_t highlightColor);

// The weight of the default item's font.
int BoldWeight(int weight);

// The grey level that stands for a palette colour in a disabled image.
uint8_t GreyLevel(uint8_t red, uint8_t green, uint8_t blue);

// The banner grows to hold its caption: textRight is the right edge of the
// caption measured as if it ran horizontally.
int BannerHeight(int requestedHeight, int bannerWidth, int textRight);

// Fills rows[0..height-1] with the colour of each banner row from the top.
void FillBannerRows(uint32_t topColor, uint32_t bottomColor, int height, uint32_t* rows);

// Stretches the heights of the popup's items, given in position order, so
// that together they are exactly bannerHeight tall, and gives each item the
// first banner row of its slice. False, with nothing written, when the items
// have no height to stretch.
bool StretchItemHeights(const int* heights, int count, int bannerHeight, int* newHeights, int* offsets);
