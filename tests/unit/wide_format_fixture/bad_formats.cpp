// Not built: the wide-format check must find each of the four faults below
// and pass over the rest.
#include <cwchar>

void Faults(wchar_t* out, const wchar_t* folder, const wchar_t* loaded, std::tm* calendar)
{
    swprintf(out, 100, L"Folder: %s", folder);
    swprintf(out, 100, loaded, folder);
    fwprintf(stdout, L"%-10S|", folder);
    wchar_t text[64];
    swprintf(text, 64, TEXT16("%c"), L'x');
    // Fine: wide conversions, a literal percent, a time format, a named literal.
    swprintf(text, 64, L"%ls and 100%%s (%d, %5.2f)", folder, 3, 1.0);
    wcsftime(text, 64, L"%H:%M:%S", calendar);
    const wchar_t named[] = L"%ls: %lc";
    swprintf(text, 64, named, folder, L'x');
}
