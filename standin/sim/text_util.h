// Conversions and number parsing for scenario lines and control commands.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

std::wstring Utf8ToWide(const std::string& text);
std::string WideToUtf8(const std::wstring& text);

// Decimal or 0x-prefixed hexadecimal, the whole text; false otherwise.
bool ParseU64(const std::string& text, uint64_t& value);
bool ParseU32(const std::string& text, uint32_t& value);

std::vector<std::string> SplitList(const std::string& text, char separator);

// Splits a scenario line into words: blanks separate, double quotes group
// (and are dropped), a word starting with # outside quotes ends the line.
// Backslashes stay as they are so device paths need no escaping.
bool TokenizeLine(const std::string& line, std::vector<std::string>& words);

// Splits "key=value"; false when there is no '='.
bool SplitOption(const std::string& word, std::string& key, std::string& value);

std::string Hex32(uint32_t value);
