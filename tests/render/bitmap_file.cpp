#include "bitmap_file.h"

bool SaveBitmapFile(const wchar_t* path, const uint32_t* pixels, int width, int height)
{
    HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    const DWORD rowBytes = DWORD(width) * 4, imageBytes = rowBytes * DWORD(height);
    BITMAPFILEHEADER fileHeader = {};
    BITMAPINFOHEADER info = {};
    fileHeader.bfType = 0x4D42;  // "BM"
    fileHeader.bfOffBits = sizeof fileHeader + sizeof info;
    fileHeader.bfSize = fileHeader.bfOffBits + imageBytes;
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 32;
    info.biCompression = BI_RGB;
    info.biSizeImage = imageBytes;
    DWORD written = 0;
    bool ok = WriteFile(file, &fileHeader, sizeof fileHeader, &written, nullptr) &&
        WriteFile(file, &info, sizeof info, &written, nullptr);
    for (int y = height - 1; ok && y >= 0; --y)
        ok = WriteFile(file, pixels + size_t(y) * width, rowBytes, &written, nullptr) && written == rowBytes;
    CloseHandle(file);
    return ok;
}
