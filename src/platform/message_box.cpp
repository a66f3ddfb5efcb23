#include "platform/message_box.h"

const wchar_t AppTitle[] = L"ZorvanHAgent";

bool LoadAgentString(UINT id, wchar_t* buffer, int capacity)
{
    if (capacity <= 0)
        return false;
    buffer[0] = 0;
    // The string table is the program's own, not a library's.
    return LoadStringW(GetModuleHandleW(nullptr), id, buffer, capacity) > 0;
}

int ShowStringMessage(HWND owner, UINT id, UINT flags)
{
    wchar_t text[256];
    if (!LoadAgentString(id, text, 256))
        return 0;
    return MessageBoxW(owner, text, AppTitle, flags);
}
