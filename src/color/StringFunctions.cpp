#include "color/StringFunctions.h"

#include <cstddef>

// Left-pads s with "0" to width characters; a longer s is returned as it is.
// The width counts characters (code points of the UTF-8 text), not bytes:
// "é" is one character and pads to "00é" at width 3.
std::string ZeroPaddedStr(std::string_view s, int width)
{
    std::size_t characters = 0;
    for (const char c : s)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) // not a continuation byte
            ++characters;
    std::string result;
    if (width > 0 && characters < static_cast<std::size_t>(width)) {
        result.assign(static_cast<std::size_t>(width) - characters, '0');
    }
    result += s;
    return result;
}

// The sign stands outside the padded width: -5 at width 3 is "-005".
std::string IntToZeroPaddedStr(std::int64_t value, int width)
{
    // Negating in unsigned arithmetic keeps the magnitude of INT64_MIN,
    // which has no positive counterpart in std::int64_t.
    const std::uint64_t magnitude =
        value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    std::string result = ZeroPaddedStr(std::to_string(magnitude), width);
    if (value < 0) {
        result.insert(0, 1, '-');
    }
    return result;
}

std::string JoinStrings(std::string_view separator, const std::vector<std::string>& parts)
{
    std::string result;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) {
            result += separator;
        }
        result += parts[i];
    }
    return result;
}

// A lone double quote both starts and ends with one, yet must still come out
// as a pair; so it is treated like the empty string.
std::string DoubleQuoted(std::string_view s)
{
    if (s.empty() || s == "\"") {
        return "\"\"";
    }
    std::string result;
    if (s.front() != '"') {
        result += '"';
    }
    result += s;
    if (s.back() != '"') {
        result += '"';
    }
    return result;
}
