#include "common/Text.h"

#include <algorithm>

namespace {

constexpr std::string_view Utf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view Utf16LeBom = "\xFF\xFE";
constexpr std::string_view Utf16BeBom = "\xFE\xFF";

struct TUtf8Sequence {
    std::size_t Length = 0; // 0: no valid sequence starts here
    char32_t CodePoint = 0;
};

// The UTF-8 sequence at the start of bytes. The second byte's range rules
// out overlong forms, values above U+10FFFF and, unless allowed, encoded
// surrogates, so no value needs checking afterwards.
TUtf8Sequence ReadUtf8Sequence(std::string_view bytes, bool allowSurrogates)
{
    const auto byte = [bytes](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80)
        return {1, lead};
    std::size_t length = 0;
    char32_t codePoint = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        codePoint = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        codePoint = lead & 0x0Fu;
        if (lead == 0xE0)
            low = 0xA0;
        else if (lead == 0xED && !allowSurrogates)
            high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        codePoint = lead & 0x07u;
        if (lead == 0xF0)
            low = 0x90;
        else if (lead == 0xF4)
            high = 0x8F;
    } else {
        return {};
    }
    if (bytes.size() < length || byte(1) < low || byte(1) > high)
        return {};
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80)
            return {};
        codePoint = (codePoint << 6) | (byte(i) & 0x3Fu);
    }
    return {length, codePoint};
}

bool IsHighSurrogate(char32_t unit)
{
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool IsLowSurrogate(char32_t unit)
{
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

bool IsBlankOrControl(char c)
{
    return static_cast<unsigned char>(c) <= 0x20;
}

} // namespace

void AppendUtf8(std::string& out, char32_t codePoint)
{
    const auto put = [&out](char32_t value) { out += static_cast<char>(value); };
    if (codePoint < 0x80) {
        put(codePoint);
    } else if (codePoint < 0x800) {
        put(0xC0 | (codePoint >> 6));
        put(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        put(0xE0 | (codePoint >> 12));
        put(0x80 | ((codePoint >> 6) & 0x3F));
        put(0x80 | (codePoint & 0x3F));
    } else {
        put(0xF0 | (codePoint >> 18));
        put(0x80 | ((codePoint >> 12) & 0x3F));
        put(0x80 | ((codePoint >> 6) & 0x3F));
        put(0x80 | (codePoint & 0x3F));
    }
}

bool IsValidUtf8(std::string_view text)
{
    while (!text.empty()) {
        const std::size_t length = ReadUtf8Sequence(text, false).Length;
        if (length == 0)
            return false;
        text.remove_prefix(length);
    }
    return true;
}

std::string SanitizedUtf8(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size());
    while (!bytes.empty()) {
        const std::size_t length = ReadUtf8Sequence(bytes, false).Length;
        if (length == 0) {
            AppendUtf8(out, ReplacementCharacter);
            bytes.remove_prefix(1);
        } else {
            out.append(bytes.substr(0, length));
            bytes.remove_prefix(length);
        }
    }
    return out;
}

std::string Latin1ToUtf8(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size() * 2);
    for (const char c : bytes)
        AppendUtf8(out, static_cast<unsigned char>(c));
    return out;
}

std::optional<std::u16string> Utf8ToUtf16(std::string_view text, TInvalidText invalid)
{
    std::u16string units;
    units.reserve(text.size());
    while (!text.empty()) {
        TUtf8Sequence sequence = ReadUtf8Sequence(text, invalid == TInvalidText::KeepSurrogates);
        if (sequence.Length == 0) {
            if (invalid == TInvalidText::Refuse)
                return std::nullopt;
            sequence = {1, ReplacementCharacter};
        }
        if (sequence.CodePoint >= 0x10000) {
            units += static_cast<char16_t>(0xD800 + ((sequence.CodePoint - 0x10000) >> 10));
            units += static_cast<char16_t>(0xDC00 + ((sequence.CodePoint - 0x10000) & 0x3FF));
        } else {
            units += static_cast<char16_t>(sequence.CodePoint);
        }
        text.remove_prefix(sequence.Length);
    }
    return units;
}

std::optional<std::string> Utf16ToUtf8(std::u16string_view units, TInvalidText invalid)
{
    std::string out;
    out.reserve(units.size() + units.size() / 2);
    for (std::size_t i = 0; i < units.size(); ++i) {
        const char32_t unit = units[i];
        if (IsHighSurrogate(unit) && i + 1 < units.size() && IsLowSurrogate(units[i + 1])) {
            AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (units[i + 1] - 0xDC00u));
            ++i;
        } else if (!IsHighSurrogate(unit) && !IsLowSurrogate(unit)) {
            AppendUtf8(out, unit);
        } else if (invalid == TInvalidText::Refuse) {
            return std::nullopt;
        } else {
            AppendUtf8(out, invalid == TInvalidText::Replace ? ReplacementCharacter : unit);
        }
    }
    return out;
}

std::u16string Utf16FromBytes(std::string_view bytes, TByteOrder order)
{
    std::u16string units;
    units.reserve(bytes.size() / 2);
    for (std::size_t at = 0; at + 1 < bytes.size(); at += 2) {
        const auto first = static_cast<unsigned char>(bytes[at]);
        const auto second = static_cast<unsigned char>(bytes[at + 1]);
        units += order == TByteOrder::BigEndian ? static_cast<char16_t>((first << 8) | second)
                                                : static_cast<char16_t>((second << 8) | first);
    }
    return units;
}

std::string Utf16ToBytes(std::u16string_view units, TByteOrder order)
{
    std::string bytes;
    bytes.reserve(units.size() * 2);
    for (const char16_t unit : units) {
        const auto high = static_cast<char>(unit >> 8);
        const auto low = static_cast<char>(unit & 0xFF);
        bytes += order == TByteOrder::BigEndian ? high : low;
        bytes += order == TByteOrder::BigEndian ? low : high;
    }
    return bytes;
}

TByteOrderMark ByteOrderMarkOf(std::string_view bytes)
{
    if (bytes.starts_with(Utf8Bom))
        return TByteOrderMark::Utf8;
    if (bytes.starts_with(Utf16LeBom))
        return TByteOrderMark::Utf16Le;
    if (bytes.starts_with(Utf16BeBom))
        return TByteOrderMark::Utf16Be;
    return TByteOrderMark::None;
}

std::string_view ByteOrderMarkBytes(TByteOrderMark mark)
{
    switch (mark) {
    case TByteOrderMark::Utf8: return Utf8Bom;
    case TByteOrderMark::Utf16Le: return Utf16LeBom;
    case TByteOrderMark::Utf16Be: return Utf16BeBom;
    case TByteOrderMark::None: break;
    }
    return {};
}

std::string_view Trim(std::string_view text)
{
    while (!text.empty() && IsBlankOrControl(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlankOrControl(text.back()))
        text.remove_suffix(1);
    return text;
}

std::string_view Trim(std::string_view text, std::string_view blanks)
{
    const std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

bool LessIgnoringAsciiCase(std::string_view a, std::string_view b)
{
    const auto upper = [](char c) {
        return static_cast<unsigned char>(c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c);
    };
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i)
        if (upper(a[i]) != upper(b[i]))
            return upper(a[i]) < upper(b[i]);
    if (a.size() != b.size())
        return a.size() < b.size();
    return a < b;
}

char AsciiLower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return AsciiLower(x) == AsciiLower(y); });
}

TTextLine LineAt(std::string_view text, std::size_t begin)
{
    const std::size_t textEnd = std::min(text.find_first_of("\r\n", begin), text.size());
    std::size_t end = textEnd;
    if (end < text.size())
        end += text.compare(end, 2, "\r\n") == 0 ? 2u : 1u;
    return {begin, textEnd, end};
}

std::vector<TTextLine> SplitLines(std::string_view text)
{
    std::vector<TTextLine> lines;
    for (std::size_t begin = 0; begin < text.size(); begin = lines.back().End)
        lines.push_back(LineAt(text, begin));
    return lines;
}
