#pragma once

// Small helpers shared by the unit tests.

#include <string>
#include <string_view>

// The text as UTF-16 bytes in the given byte order, with its byte-order mark.
inline std::string Utf16Bytes(std::u16string_view text, bool bigEndian)
{
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (const char16_t unit : text) {
        const auto high = static_cast<char>(unit >> 8);
        const auto low = static_cast<char>(unit & 0xFF);
        bytes += bigEndian ? high : low;
        bytes += bigEndian ? low : high;
    }
    return bytes;
}
