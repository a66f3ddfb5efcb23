// UTF-16 text as the service sends it. On Windows the alias is wchar_t so the
// same strings go straight into Win32 calls; elsewhere char16_t keeps the
// 16-bit width that the wire formats need.
#pragma once

#include <cstddef>
#include <string>

#ifdef _WIN32
typedef wchar_t Char16;
#define TEXT16(s) L##s
#else
typedef char16_t Char16;
#define TEXT16(s) u##s
#endif

typedef std::basic_string<Char16> Text16;

static_assert(sizeof(Char16) == 2, "the service's strings are 16-bit");

// Length up to the first NUL, never looking at more than maxChars characters.
size_t BoundedLength16(const Char16* text, size_t maxChars);

// a to z as A to Z; every other code unit as it is.
Char16 FoldAsciiLetter(Char16 c);

// Interface names match when they differ only in the case of A to Z; other
// letters are compared as they are, as the service does.
bool SameInterfaceName(const Char16* a, const Char16* b);
bool SameInterfaceName(const Text16& a, const Text16& b);

// Fills a string-table format that carries one folder or file name: `format`
// goes into `out` (capacity characters, the NUL included) with its first
// "%s" replaced by `text` and every "%%" by one '%'; anything else is copied
// as it is. This keeps such messages independent of what the C runtime reads
// "%s" in a wide format as (a narrow string for MinGW's C99 swprintf, a wide
// one for MSVC's). What does not fit is cut off; false when something was.
bool FormatWithText(Char16* out, size_t capacity, const Char16* format, const Char16* text);
