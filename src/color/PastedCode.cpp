#include "color/PastedCode.h"

#include "color/CssColor.h"

namespace {

// As StrToColor trims: every character with a code up to 32.
std::string_view Trimmed(std::string_view text)
{
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= 32)
        text.remove_prefix(1);
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= 32)
        text.remove_suffix(1);
    return text;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

bool SameLetters(std::string_view text, std::string_view upperWord)
{
    if (text.size() != upperWord.size())
        return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i] >= 'a' && text[i] <= 'z' ? static_cast<char>(text[i] - 'a' + 'A') : text[i];
        if (c != upperWord[i])
            return false;
    }
    return true;
}

} // namespace

std::optional<TColor> VisualBasicLiteralToColor(std::string_view text)
{
    if (text.size() < 3 || text[0] != '&' || (text[1] != 'H' && text[1] != 'h'))
        return std::nullopt;
    text.remove_prefix(2);
    std::uint32_t value = 0;
    std::size_t digits = 0;
    for (; digits < text.size() && HexDigit(text[digits]) >= 0; ++digits) {
        // Leading zeros are free; a value past 0xFFFFFF is no color.
        value = value * 16 + static_cast<std::uint32_t>(HexDigit(text[digits]));
        if (value > 0xFFFFFF)
            return std::nullopt;
    }
    const std::string_view suffix = text.substr(digits);
    if (digits == 0
        || !(suffix == "&" || SameLetters(suffix, "L") || SameLetters(suffix, "I") || SameLetters(suffix, "UI")
             || SameLetters(suffix, "UL")))
        return std::nullopt;
    // &HBBGGRR is the TColor itself, as in the program's own Visual Basic
    // code &H00BBGGRR.
    return static_cast<TColor>(value);
}

TColor PastedCodeToColor(std::string_view text, TColorCodeFormat& format, bool& valid, bool& hasPrefix,
                         bool* outsideSrgb)
{
    if (outsideSrgb)
        *outsideSrgb = false;
    const TColorCodeFormat assumed = format;
    // StrToColor looks at no more than the ends of a text and a few
    // characters; everything else is read only from a text no longer than
    // any code, so a clipboard of any size costs no more.
    const TColor color = StrToColor(text, format, valid, hasPrefix);
    if (valid || text.size() > MaxPastedCodeLength)
        return color;
    const TColorCodeFormat rejectedFormat = format;
    const bool rejectedPrefix = hasPrefix;

    // A code as a statement or a style sheet ends it: "#FF8000;".
    std::string_view code = Trimmed(text);
    if (code.ends_with(';')) {
        code = Trimmed(code.substr(0, code.size() - 1));
        TColorCodeFormat codeFormat = assumed;
        bool codePrefix = false;
        const TColor withoutSemicolon = StrToColor(code, codeFormat, valid, codePrefix);
        if (valid) {
            format = codeFormat;
            hasPrefix = codePrefix;
            return withoutSemicolon;
        }
    }
    if (const std::optional<TCssReading> css = ReadCssColor(code)) {
        format = ccfHTMLCSS;
        hasPrefix = true;
        valid = true;
        if (outsideSrgb)
            *outsideSrgb = css->OutsideSrgb;
        return css->Color;
    }
    if (const std::optional<TColor> literal = VisualBasicLiteralToColor(code)) {
        format = ccfVisualBasic;
        hasPrefix = true;
        valid = true;
        return *literal;
    }
    format = rejectedFormat;
    hasPrefix = rejectedPrefix;
    valid = false;
    return InvalidColor;
}
