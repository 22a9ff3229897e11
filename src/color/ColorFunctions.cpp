#include "color/ColorFunctions.h"

#include <algorithm>
#include <random>

#include "color/StringFunctions.h"

namespace {

// Ties go to the even neighbour (42.5 -> 42, 127.5 -> 128). Written out rather
// than left to std::nearbyint so that a rounding mode changed elsewhere in the
// process cannot alter the components the user sees. The floor is taken by
// truncation and the decision made with bitwise operators, so the full-range
// conversions pay for neither a library call nor a mispredicted branch.
int RoundHalfEven(double x)
{
    int lower = static_cast<int>(x);
    if (static_cast<double>(lower) > x) {
        --lower;
    }
    const double fraction = x - static_cast<double>(lower);
    const bool up = (fraction > 0.5) | ((fraction == 0.5) & ((lower & 1) != 0));
    return lower + static_cast<int>(up);
}

bool InRange(int value, int maximum)
{
    return value >= 0 && value <= maximum;
}

int Max3(int a, int b, int c)
{
    return std::max(std::max(a, b), c);
}

int Min3(int a, int b, int c)
{
    return std::min(std::min(a, b), c);
}

// One component on the 0..HLSMAX scale; h may lie outside 0..239 and wraps.
int HueToComponent(int m1, int m2, int h)
{
    h %= HLSMAX;
    if (h < 0) {
        h += HLSMAX;
    }
    if (h < HLSMAX / 6) {
        return m1 + ((m2 - m1) * h + HLSMAX / 12) / (HLSMAX / 6);
    }
    if (h < HLSMAX / 2) {
        return m2;
    }
    if (h < HLSMAX * 2 / 3) {
        return m1 + ((m2 - m1) * (HLSMAX * 2 / 3 - h) + HLSMAX / 12) / (HLSMAX / 6);
    }
    return m1;
}

std::string HexDigits(std::uint32_t value, int digits)
{
    static constexpr char Hex[] = "0123456789ABCDEF";
    std::string result(static_cast<std::size_t>(digits), '0');
    for (int i = digits - 1; i >= 0; --i) {
        result[static_cast<std::size_t>(i)] = Hex[value & 0xFu];
        value >>= 4;
    }
    return result;
}

int HexDigitValue(char c)
{
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

// Codes 0..32 (blanks, tabs, line breaks, NUL) are trimmed; bytes of UTF-8
// sequences are above 127 and stay.
bool IsTrimmed(char c)
{
    return static_cast<unsigned char>(c) <= 32;
}

std::string_view Trimmed(std::string_view text)
{
    while (!text.empty() && IsTrimmed(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsTrimmed(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

bool ReadHex(std::string_view digits, std::int32_t& value)
{
    std::uint32_t result = 0;
    for (const char c : digits) {
        const int digit = HexDigitValue(c);
        if (digit < 0 || result > 0x0FFFFFFFu) {
            return false;
        }
        result = (result << 4) | static_cast<std::uint32_t>(digit);
    }
    // Eight digits with the top bit set are a negative 32-bit value:
    // FFFFFFFF reads as -1.
    value = static_cast<std::int32_t>(result);
    return true;
}

bool ReadDecimal(std::string_view text, std::int32_t& value)
{
    bool negative = false;
    if (text.front() == '+' || text.front() == '-') {
        negative = text.front() == '-';
        text.remove_prefix(1);
        if (text.empty()) {
            return false;
        }
    }
    // The magnitude may reach 2^31 for the most negative value.
    const std::int64_t limit = negative ? std::int64_t{1} << 31 : (std::int64_t{1} << 31) - 1;
    std::int64_t result = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
        result = result * 10 + (c - '0');
        if (result > limit) {
            return false;
        }
    }
    value = static_cast<std::int32_t>(negative ? -result : result);
    return true;
}

std::mt19937_64& ColorGenerator()
{
    static std::mt19937_64 generator;
    return generator;
}

} // namespace

EInvalidInputColorFunctions::EInvalidInputColorFunctions(const std::string& functionName)
    : Exception("Invalid input in ColorFunctions unit: \r\n\r\n" + functionName)
{}

TColor RGBToColor(int r, int g, int b)
{
    if (!InRange(r, RGBMAX) || !InRange(g, RGBMAX) || !InRange(b, RGBMAX)) {
        throw EInvalidInputColorFunctions("RGBToColor");
    }
    return r + g * 256 + b * 65536;
}

TRGB ColorToRGB(TColor color)
{
    const auto value = static_cast<std::uint32_t>(color);
    return {static_cast<int>(value & 0xFFu), static_cast<int>((value >> 8) & 0xFFu),
            static_cast<int>((value >> 16) & 0xFFu)};
}

TColor CMYToColor(int c, int m, int y)
{
    if (!InRange(c, RGBMAX) || !InRange(m, RGBMAX) || !InRange(y, RGBMAX)) {
        throw EInvalidInputColorFunctions("CMYToColor");
    }
    return RGBToColor(RGBMAX - c, RGBMAX - m, RGBMAX - y);
}

TCMY ColorToCMY(TColor color)
{
    const TRGB rgb = ColorToRGB(color);
    return {RGBMAX - rgb.R, RGBMAX - rgb.G, RGBMAX - rgb.B};
}

TColor CMYKToColor(int c, int m, int y, int k)
{
    if (!InRange(c, RGBMAX) || !InRange(m, RGBMAX) || !InRange(y, RGBMAX) || !InRange(k, RGBMAX)) {
        throw EInvalidInputColorFunctions("CMYKToColor");
    }
    // The integer product is divided in double precision, then rounded half to
    // even; C + K - CK/255 never exceeds 255, so CMYToColor cannot raise.
    const auto withBlack = [k](int component) {
        return component + k - RoundHalfEven(static_cast<double>(component * k) / 255.0);
    };
    return CMYToColor(withBlack(c), withBlack(m), withBlack(y));
}

TCMYK ColorToCMYK(TColor color)
{
    const TCMY cmy = ColorToCMY(color);
    const int k = Min3(cmy.C, cmy.M, cmy.Y);
    if (k == RGBMAX) {
        return {0, 0, 0, RGBMAX};
    }
    const auto withoutBlack = [k](int component) {
        return RoundHalfEven(static_cast<double>((component - k) * RGBMAX) / static_cast<double>(RGBMAX - k));
    };
    return {withoutBlack(cmy.C), withoutBlack(cmy.M), withoutBlack(cmy.Y), k};
}

THLS ColorToHLS(TColor color)
{
    const TRGB rgb = ColorToRGB(color);
    const int mx = Max3(rgb.R, rgb.G, rgb.B);
    const int mn = Min3(rgb.R, rgb.G, rgb.B);
    const int sum = mx + mn;
    const int l = (sum * HLSMAX + RGBMAX) / (2 * RGBMAX);
    if (mx == mn) {
        return {UndefinedHue, l, 0};
    }

    const int d = mx - mn;
    int s = 0;
    if (l <= HLSMAX / 2) {
        s = (d * HLSMAX + sum / 2) / sum;
    } else {
        s = (d * HLSMAX + (2 * RGBMAX - sum) / 2) / (2 * RGBMAX - sum);
    }

    const auto distance = [mx, d](int component) { return ((mx - component) * (HLSMAX / 6) + d / 2) / d; };
    const int rd = distance(rgb.R);
    const int gd = distance(rgb.G);
    const int bd = distance(rgb.B);

    // Red is tested before green and green before blue, so a shared maximum
    // puts yellow at 40, cyan at 120 and magenta at 200.
    int h = 0;
    if (rgb.R == mx) {
        h = bd - gd;
    } else if (rgb.G == mx) {
        h = HLSMAX / 3 + rd - bd;
    } else {
        h = HLSMAX * 2 / 3 + gd - rd;
    }
    h %= HLSMAX;
    if (h < 0) {
        h += HLSMAX;
    }
    return {h, l, s};
}

TColor HLSToColor(int h, int l, int s)
{
    if (!InRange(h, HLSMAX) || !InRange(l, HLSMAX) || !InRange(s, HLSMAX)) {
        throw EInvalidInputColorFunctions("HLSToColor");
    }
    if (s == 0) {
        // No rounding term here: L 120 gives 127, not 128.
        const int v = (l * RGBMAX) / HLSMAX;
        return v + v * 256 + v * 65536;
    }

    int m2 = 0;
    if (l <= HLSMAX / 2) {
        m2 = (l * (HLSMAX + s) + HLSMAX / 2) / HLSMAX;
    } else {
        m2 = l + s - ((l * s + HLSMAX / 2) / HLSMAX);
    }
    const int m1 = 2 * l - m2;

    const auto toRGB = [](int component) { return (component * RGBMAX + HLSMAX / 2) / HLSMAX; };
    const int r = toRGB(HueToComponent(m1, m2, h + HLSMAX / 3));
    const int g = toRGB(HueToComponent(m1, m2, h));
    const int b = toRGB(HueToComponent(m1, m2, h - HLSMAX / 3));
    return r + g * 256 + b * 65536;
}

std::string ColorToStr(TColor color, TColorCodeFormat format, bool uppercase, bool withPrefix)
{
    std::string body;
    switch (format) {
    case ccfHTMLCSS: {
        const TRGB rgb = ColorToRGB(color);
        body = HexDigits(static_cast<std::uint32_t>(rgb.R), 2) + HexDigits(static_cast<std::uint32_t>(rgb.G), 2)
               + HexDigits(static_cast<std::uint32_t>(rgb.B), 2);
        break;
    }
    case ccfDelphi:
    case ccfCpp:
    case ccfVisualBasic: body = HexDigits(static_cast<std::uint32_t>(color), 8); break;
    case ccfWindowsColorReference: body = IntToZeroPaddedStr(color, 8); break;
    default: throw Exception("ColorToStr: unhandled TColorCodeFormat case");
    }

    if (!uppercase) {
        for (char& c : body) {
            if (c >= 'A' && c <= 'F') {
                c = static_cast<char>(c - 'A' + 'a');
            }
        }
    }
    // The prefix keeps its own case: "&H" and "0x" in either mode.
    if (withPrefix) {
        body.insert(0, ColorCodePrefixes[format]);
    }
    return body;
}

// Reads a 32-bit integer by the rules of the platform's StrToInt: leading
// blanks, then either a hexadecimal lead ("$", "x", "X", "0x", "0X") and hex
// digits, or an optional sign and decimal digits, and nothing after them.
bool TryStrToInt(std::string_view text, std::int32_t& value)
{
    while (!text.empty() && text.front() == ' ') {
        text.remove_prefix(1);
    }
    if (text.empty()) {
        return false;
    }
    if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        // "0x" alone reads as 0.
        return ReadHex(text.substr(2), value);
    }
    if (text[0] == '$' || text[0] == 'x' || text[0] == 'X') {
        return text.size() > 1 && ReadHex(text.substr(1), value);
    }
    return ReadDecimal(text, value);
}

TColor StrToColor(std::string_view text, TColorCodeFormat& format, bool& valid, bool& hasPrefix)
{
    text = Trimmed(text);

    // Case-sensitive, in format order; the first match wins and sets the
    // format even if the rest of the text then proves invalid.
    hasPrefix = false;
    for (std::uint8_t f = ccfHTMLCSS; f <= ccfVisualBasic; ++f) {
        const std::string_view prefix = ColorCodePrefixes[f];
        if (text.starts_with(prefix)) {
            hasPrefix = true;
            format = static_cast<TColorCodeFormat>(f);
            text.remove_prefix(prefix.size());
            break;
        }
    }

    bool read = false;
    std::int32_t value = 0;
    switch (format) {
    case ccfHTMLCSS:
        if (text.size() == 6) {
            std::int32_t red = 0;
            std::int32_t green = 0;
            std::int32_t blue = 0;
            read = TryStrToInt("$" + std::string(text.substr(0, 2)), red)
                   && TryStrToInt("$" + std::string(text.substr(2, 2)), green)
                   && TryStrToInt("$" + std::string(text.substr(4, 2)), blue);
            if (read) {
                value = RGBToColor(red, green, blue);
            }
        }
        break;
    case ccfDelphi:
    case ccfCpp:
    case ccfVisualBasic:
        if (text.size() >= 6 && text.size() <= 8) {
            read = TryStrToInt("$" + std::string(text), value);
        }
        break;
    case ccfWindowsColorReference:
        if (!text.empty() && text.size() <= 8) {
            read = TryStrToInt(text, value);
        }
        break;
    default: throw Exception("StrToColor: unhandled TColorCodeFormat case");
    }

    valid = read && value >= 0 && value <= 0xFFFFFF;
    return valid ? value : InvalidColor;
}

TColor InverseColor(TColor color)
{
    return color ^ 0xFFFFFF;
}

TColor ComplementaryColor(TColor color)
{
    const TRGB rgb = ColorToRGB(color);
    const int s = Min3(rgb.R, rgb.G, rgb.B) + Max3(rgb.R, rgb.G, rgb.B);
    return RGBToColor(s - rgb.R, s - rgb.G, s - rgb.B);
}

TColor GrayscaledColor(TColor color)
{
    const TRGB rgb = ColorToRGB(color);
    // Each product and sum is rounded to double in this order: R 200, G 100,
    // B 50 gives exactly 124.5 and so 124. A compiler may fuse a product into
    // the following sum (GCC does wherever the target has FMA), which skips a
    // rounding and turns G 5, B 5 into 3.4999999999999996 and 3 instead of 4;
    // storing the products through volatile forces each one to be rounded.
    const volatile double red = rgb.R * 0.3;
    const volatile double green = rgb.G * 0.59;
    const volatile double blue = rgb.B * 0.11;
    const double luminance = (red + green) + blue;
    const int v = RoundHalfEven(luminance);
    return RGBToColor(v, v, v);
}

TColor DesaturatedColor(TColor color)
{
    const TRGB rgb = ColorToRGB(color);
    const int v = (Min3(rgb.R, rgb.G, rgb.B) + Max3(rgb.R, rgb.G, rgb.B)) / 2;
    return RGBToColor(v, v, v);
}

// Until RandomizeColorGenerator is called (the main window does so when it is
// created) the sequence is the generator's fixed default one.
// The top 24 bits of a 64-bit draw are uniform over 0..0xFFFFFF on every
// standard library, unlike std::uniform_int_distribution's output.
TColor RandomColor()
{
    return static_cast<TColor>(ColorGenerator()() >> 40);
}

void RandomizeColorGenerator(std::uint64_t seed)
{
    ColorGenerator().seed(seed);
}
