#pragma once

#include <windows.h>

#include <cstdint>

// A top-down 32-bit pixel block written as a bottom-up .bmp file.
bool SaveBitmapFile(const wchar_t* path, const uint32_t* pixels, int width, int height);
