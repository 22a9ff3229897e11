#include "color/CssColor.h"

#include "color/CssColorSpaces.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <iterator>
#include <limits>
#include <numbers>
#include <span>
#include <string>
#include <vector>

namespace {

// The named colors of CSS, by name.
constexpr TNamedColor NamedColors[] = {
    {"aliceblue", 0xF0F8FF},
    {"antiquewhite", 0xFAEBD7},
    {"aqua", 0x00FFFF},
    {"aquamarine", 0x7FFFD4},
    {"azure", 0xF0FFFF},
    {"beige", 0xF5F5DC},
    {"bisque", 0xFFE4C4},
    {"black", 0x000000},
    {"blanchedalmond", 0xFFEBCD},
    {"blue", 0x0000FF},
    {"blueviolet", 0x8A2BE2},
    {"brown", 0xA52A2A},
    {"burlywood", 0xDEB887},
    {"cadetblue", 0x5F9EA0},
    {"chartreuse", 0x7FFF00},
    {"chocolate", 0xD2691E},
    {"coral", 0xFF7F50},
    {"cornflowerblue", 0x6495ED},
    {"cornsilk", 0xFFF8DC},
    {"crimson", 0xDC143C},
    {"cyan", 0x00FFFF},
    {"darkblue", 0x00008B},
    {"darkcyan", 0x008B8B},
    {"darkgoldenrod", 0xB8860B},
    {"darkgray", 0xA9A9A9},
    {"darkgreen", 0x006400},
    {"darkgrey", 0xA9A9A9},
    {"darkkhaki", 0xBDB76B},
    {"darkmagenta", 0x8B008B},
    {"darkolivegreen", 0x556B2F},
    {"darkorange", 0xFF8C00},
    {"darkorchid", 0x9932CC},
    {"darkred", 0x8B0000},
    {"darksalmon", 0xE9967A},
    {"darkseagreen", 0x8FBC8F},
    {"darkslateblue", 0x483D8B},
    {"darkslategray", 0x2F4F4F},
    {"darkslategrey", 0x2F4F4F},
    {"darkturquoise", 0x00CED1},
    {"darkviolet", 0x9400D3},
    {"deeppink", 0xFF1493},
    {"deepskyblue", 0x00BFFF},
    {"dimgray", 0x696969},
    {"dimgrey", 0x696969},
    {"dodgerblue", 0x1E90FF},
    {"firebrick", 0xB22222},
    {"floralwhite", 0xFFFAF0},
    {"forestgreen", 0x228B22},
    {"fuchsia", 0xFF00FF},
    {"gainsboro", 0xDCDCDC},
    {"ghostwhite", 0xF8F8FF},
    {"gold", 0xFFD700},
    {"goldenrod", 0xDAA520},
    {"gray", 0x808080},
    {"green", 0x008000},
    {"greenyellow", 0xADFF2F},
    {"grey", 0x808080},
    {"honeydew", 0xF0FFF0},
    {"hotpink", 0xFF69B4},
    {"indianred", 0xCD5C5C},
    {"indigo", 0x4B0082},
    {"ivory", 0xFFFFF0},
    {"khaki", 0xF0E68C},
    {"lavender", 0xE6E6FA},
    {"lavenderblush", 0xFFF0F5},
    {"lawngreen", 0x7CFC00},
    {"lemonchiffon", 0xFFFACD},
    {"lightblue", 0xADD8E6},
    {"lightcoral", 0xF08080},
    {"lightcyan", 0xE0FFFF},
    {"lightgoldenrodyellow", 0xFAFAD2},
    {"lightgray", 0xD3D3D3},
    {"lightgreen", 0x90EE90},
    {"lightgrey", 0xD3D3D3},
    {"lightpink", 0xFFB6C1},
    {"lightsalmon", 0xFFA07A},
    {"lightseagreen", 0x20B2AA},
    {"lightskyblue", 0x87CEFA},
    {"lightslategray", 0x778899},
    {"lightslategrey", 0x778899},
    {"lightsteelblue", 0xB0C4DE},
    {"lightyellow", 0xFFFFE0},
    {"lime", 0x00FF00},
    {"limegreen", 0x32CD32},
    {"linen", 0xFAF0E6},
    {"magenta", 0xFF00FF},
    {"maroon", 0x800000},
    {"mediumaquamarine", 0x66CDAA},
    {"mediumblue", 0x0000CD},
    {"mediumorchid", 0xBA55D3},
    {"mediumpurple", 0x9370DB},
    {"mediumseagreen", 0x3CB371},
    {"mediumslateblue", 0x7B68EE},
    {"mediumspringgreen", 0x00FA9A},
    {"mediumturquoise", 0x48D1CC},
    {"mediumvioletred", 0xC71585},
    {"midnightblue", 0x191970},
    {"mintcream", 0xF5FFFA},
    {"mistyrose", 0xFFE4E1},
    {"moccasin", 0xFFE4B5},
    {"navajowhite", 0xFFDEAD},
    {"navy", 0x000080},
    {"oldlace", 0xFDF5E6},
    {"olive", 0x808000},
    {"olivedrab", 0x6B8E23},
    {"orange", 0xFFA500},
    {"orangered", 0xFF4500},
    {"orchid", 0xDA70D6},
    {"palegoldenrod", 0xEEE8AA},
    {"palegreen", 0x98FB98},
    {"paleturquoise", 0xAFEEEE},
    {"palevioletred", 0xDB7093},
    {"papayawhip", 0xFFEFD5},
    {"peachpuff", 0xFFDAB9},
    {"peru", 0xCD853F},
    {"pink", 0xFFC0CB},
    {"plum", 0xDDA0DD},
    {"powderblue", 0xB0E0E6},
    {"purple", 0x800080},
    {"rebeccapurple", 0x663399},
    {"red", 0xFF0000},
    {"rosybrown", 0xBC8F8F},
    {"royalblue", 0x4169E1},
    {"saddlebrown", 0x8B4513},
    {"salmon", 0xFA8072},
    {"sandybrown", 0xF4A460},
    {"seagreen", 0x2E8B57},
    {"seashell", 0xFFF5EE},
    {"sienna", 0xA0522D},
    {"silver", 0xC0C0C0},
    {"skyblue", 0x87CEEB},
    {"slateblue", 0x6A5ACD},
    {"slategray", 0x708090},
    {"slategrey", 0x708090},
    {"snow", 0xFFFAFA},
    {"springgreen", 0x00FF7F},
    {"steelblue", 0x4682B4},
    {"tan", 0xD2B48C},
    {"teal", 0x008080},
    {"thistle", 0xD8BFD8},
    {"tomato", 0xFF6347},
    {"turquoise", 0x40E0D0},
    {"violet", 0xEE82EE},
    {"wheat", 0xF5DEB3},
    {"white", 0xFFFFFF},
    {"whitesmoke", 0xF5F5F5},
    {"yellow", 0xFFFF00},
    {"yellowgreen", 0x9ACD32},
};
static_assert(std::size(NamedColors) == 148);

char LowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// CSS compares its keywords, function names and units without regard to the
// case of ASCII letters.
bool SameWord(std::string_view text, std::string_view lowerWord)
{
    return text.size() == lowerWord.size()
           && std::equal(text.begin(), text.end(), lowerWord.begin(),
                         [](char c, char lower) { return LowerAscii(c) == lower; });
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool IsLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsCssSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

int HexValue(char c)
{
    if (IsDigit(c))
        return c - '0';
    const char lower = LowerAscii(c);
    return lower >= 'a' && lower <= 'f' ? lower - 'a' + 10 : -1;
}

// Numbers are kept to six decimal places of their unit: a value of 1 is
// One units.
constexpr int FractionDigits = 6;
constexpr std::uint64_t One = 1'000'000;

// A CSS number as written: its digits without sign and point, and where the
// point stands among them once the exponent has moved it (the value is
// 0.Digits times ten to the power Point).
struct TDecimal {
    bool Negative = false;
    std::string Digits;
    std::int64_t Point = 0;
    std::string_view Text; // as written, sign included
};

// |value| in units, cut off after the sixth decimal, and at most limit.
std::uint64_t Magnitude(const TDecimal& number, std::uint64_t limit)
{
    const std::int64_t whole = number.Point + FractionDigits; // digits before this one count
    std::uint64_t units = 0;
    std::int64_t position = 0;
    for (const char c : number.Digits) {
        if (position++ >= whole)
            break;
        units = units * 10 + static_cast<std::uint64_t>(c - '0');
        if (units > limit)
            return limit;
    }
    // Zeros the exponent adds after the last digit.
    for (; position < whole && units != 0; ++position) {
        units *= 10;
        if (units > limit)
            return limit;
    }
    return units;
}

// The value in units, clamped to 0..maximum.
std::uint64_t Clamped(const TDecimal& number, std::uint64_t maximum)
{
    return number.Negative ? 0 : Magnitude(number, maximum);
}

std::uint64_t Pow10Modulo(std::int64_t exponent, std::uint64_t modulus)
{
    std::uint64_t result = 1 % modulus;
    std::uint64_t base = 10 % modulus;
    for (; exponent > 0; exponent /= 2) {
        if (exponent % 2)
            result = result * base % modulus;
        base = base * base % modulus;
    }
    return result;
}

// The value in units, rounded toward minus infinity, modulo modulus (at most
// 4e8, so every product below stays far inside 64 bits).
std::uint64_t Wrapped(const TDecimal& number, std::uint64_t modulus)
{
    const std::int64_t whole = number.Point + FractionDigits;
    std::uint64_t units = 0;
    bool dropped = false;
    std::int64_t position = 0;
    for (const char c : number.Digits) {
        if (position++ < whole)
            units = (units * 10 + static_cast<std::uint64_t>(c - '0')) % modulus;
        else if (c != '0')
            dropped = true;
    }
    if (whole > position)
        units = units * Pow10Modulo(whole - position, modulus) % modulus;
    if (!number.Negative)
        return units;
    // -(units + a dropped fraction), rounded down.
    const std::uint64_t down = (units + (dropped ? 1 : 0)) % modulus;
    return down == 0 ? 0 : modulus - down;
}

// Reads the CSS number at the front of text and removes it from there.
bool ReadNumber(std::string_view& text, TDecimal& number)
{
    number = {};
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        number.Negative = text[i] == '-';
        ++i;
    }
    const std::size_t integerStart = i;
    while (i < text.size() && IsDigit(text[i]))
        ++i;
    const std::string_view integer = text.substr(integerStart, i - integerStart);
    std::string_view fraction;
    if (i + 1 < text.size() && text[i] == '.' && IsDigit(text[i + 1])) {
        const std::size_t fractionStart = ++i;
        while (i < text.size() && IsDigit(text[i]))
            ++i;
        fraction = text.substr(fractionStart, i - fractionStart);
    }
    if (integer.empty() && fraction.empty())
        return false;

    std::int64_t exponent = 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        bool negative = false;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) {
            negative = text[j] == '-';
            ++j;
        }
        if (j < text.size() && IsDigit(text[j])) {
            // Far beyond any digit a text can hold; the value then clamps,
            // wraps or vanishes all the same.
            constexpr std::int64_t ExponentLimit = 1'000'000'000;
            for (; j < text.size() && IsDigit(text[j]); ++j)
                exponent = std::min(exponent * 10 + (text[j] - '0'), ExponentLimit);
            if (negative)
                exponent = -exponent;
            i = j;
        }
    }
    number.Digits.assign(integer);
    number.Digits.append(fraction);
    number.Point = static_cast<std::int64_t>(integer.size()) + exponent;
    number.Text = text.substr(0, i);
    text.remove_prefix(i);
    return true;
}

// The value of a number in double precision. One too small for a double
// is 0, as its value rounds to; one too large is the largest double of its
// sign.
double Written(const TDecimal& number)
{
    // from_chars does not take the "+" that CSS allows.
    std::string_view text = number.Text;
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error == std::errc())
        return value;
    // Out of range: the place of the first significant digit tells which way
    // (the value is 0.Digits times ten to the power Point).
    const std::size_t first = number.Digits.find_first_not_of('0');
    if (first == std::string::npos || number.Point - static_cast<std::int64_t>(first) <= 0)
        return number.Negative ? -0.0 : 0.0;
    return number.Negative ? -std::numeric_limits<double>::max() : std::numeric_limits<double>::max();
}

enum class TTokenKind { Number, Percentage, Dimension, None, Ident, Comma, Slash };

struct TToken {
    TTokenKind Kind = TTokenKind::Number;
    TDecimal Number;
    std::string_view Unit; // of a dimension; the name of an identifier
};

// Name characters as CSS reads them: an identifier or a unit runs on over
// all of them, so "none156" is one (unknown) word and "120deg-5" a number
// with the unit "deg-5", never two tokens.
bool IsNameStart(char c)
{
    return IsLetter(c) || c == '_' || static_cast<unsigned char>(c) >= 0x80;
}

bool IsNameCharacter(char c)
{
    return IsNameStart(c) || IsDigit(c) || c == '-';
}

// Whether an identifier starts here. Escapes ("\") are not read: no color
// needs them, and the text is then not taken.
bool StartsIdentifier(std::string_view text)
{
    if (text.empty())
        return false;
    if (text[0] == '-')
        return text.size() > 1 && (IsNameStart(text[1]) || text[1] == '-');
    return IsNameStart(text[0]);
}

std::string_view TakeName(std::string_view& text)
{
    std::size_t length = 0;
    while (length < text.size() && IsNameCharacter(text[length]))
        ++length;
    const std::string_view name = text.substr(0, length);
    text.remove_prefix(length);
    return name;
}

bool StartsNumber(std::string_view text)
{
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    if (i < text.size() && IsDigit(text[i]))
        return true;
    return i + 1 < text.size() && text[i] == '.' && IsDigit(text[i + 1]);
}

// The arguments of a color function, split into tokens; nothing when a
// character belongs to none.
std::optional<std::vector<TToken>> Tokens(std::string_view text)
{
    std::vector<TToken> tokens;
    for (;;) {
        while (!text.empty() && IsCssSpace(text.front()))
            text.remove_prefix(1);
        if (text.empty())
            return tokens;
        TToken token;
        if (text.front() == ',' || text.front() == '/') {
            token.Kind = text.front() == ',' ? TTokenKind::Comma : TTokenKind::Slash;
            text.remove_prefix(1);
        } else if (StartsNumber(text)) {
            ReadNumber(text, token.Number);
            if (!text.empty() && text.front() == '%') {
                token.Kind = TTokenKind::Percentage;
                text.remove_prefix(1);
            } else if (StartsIdentifier(text)) {
                token.Kind = TTokenKind::Dimension;
                token.Unit = TakeName(text);
            }
        } else if (StartsIdentifier(text)) {
            token.Unit = TakeName(text);
            token.Kind = SameWord(token.Unit, "none") ? TTokenKind::None : TTokenKind::Ident;
        } else {
            return std::nullopt;
        }
        tokens.push_back(std::move(token));
    }
}

// The three channel arguments and the alpha of a color function.
struct TArguments {
    const TToken* Channels[3] = {};
    const TToken* Alpha = nullptr;
    bool Legacy = false; // separated by commas
};

// "a, b, c" or "a, b, c, alpha" (the legacy form) and "a b c" or
// "a b c / alpha" (the modern one); no mixing of the two.
std::optional<TArguments> Split(std::span<const TToken> tokens)
{
    TArguments arguments;
    const auto kind = [&tokens](std::size_t i) { return tokens[i].Kind; };
    const bool legacy = tokens.size() > 1 && kind(1) == TTokenKind::Comma;
    const TTokenKind separator = legacy ? TTokenKind::Comma : TTokenKind::Slash;
    const std::size_t step = legacy ? 2 : 1;
    const std::size_t channelsEnd = 3 * step - (legacy ? 1 : 0); // "a , b , c" or "a b c"
    if (tokens.size() != channelsEnd && tokens.size() != channelsEnd + 2)
        return std::nullopt;
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        const bool separatorPlace = legacy ? i % 2 == 1 : i == channelsEnd;
        const bool isSeparator = kind(i) == TTokenKind::Comma || kind(i) == TTokenKind::Slash;
        if (separatorPlace != isSeparator || (isSeparator && kind(i) != separator))
            return std::nullopt;
    }
    for (std::size_t i = 0; i < 3; ++i)
        arguments.Channels[i] = &tokens[i * step];
    if (tokens.size() == channelsEnd + 2)
        arguments.Alpha = &tokens.back();
    arguments.Legacy = legacy;
    // The legacy form has no "none".
    if (legacy)
        for (const TToken& token : tokens)
            if (token.Kind == TTokenKind::None)
                return std::nullopt;
    return arguments;
}

bool IsAlpha(const TToken* alpha)
{
    return !alpha || alpha->Kind == TTokenKind::Number || alpha->Kind == TTokenKind::Percentage
           || alpha->Kind == TTokenKind::None;
}

// A channel of rgb(), 0..255: a number rounded, or a percentage of 255
// rounded, halves up; "none" is 0.
std::optional<int> RgbChannel(const TToken& token)
{
    switch (token.Kind) {
    case TTokenKind::Number: return static_cast<int>((Clamped(token.Number, 255 * One) + One / 2) / One);
    case TTokenKind::Percentage:
        return static_cast<int>((510 * Clamped(token.Number, 100 * One) + 100 * One) / (200 * One));
    case TTokenKind::None: return 0;
    default: return std::nullopt;
    }
}

std::optional<TColor> Rgb(const TArguments& arguments)
{
    if (arguments.Legacy) {
        // All numbers or all percentages.
        const TTokenKind first = arguments.Channels[0]->Kind;
        for (const TToken* channel : arguments.Channels)
            if (channel->Kind != first)
                return std::nullopt;
    }
    int values[3] = {};
    for (std::size_t i = 0; i < 3; ++i) {
        const std::optional<int> value = RgbChannel(*arguments.Channels[i]);
        if (!value)
            return std::nullopt;
        values[i] = *value;
    }
    return RGBToColor(values[0], values[1], values[2]);
}

// The hue in units of 1e-7 degree, 0 up to a whole circle.
constexpr std::int64_t Degree = 10'000'000;
constexpr std::int64_t Circle = 360 * Degree;

std::optional<std::int64_t> Hue(const TToken& token)
{
    if (token.Kind == TTokenKind::None)
        return 0;
    const TDecimal& number = token.Number;
    // A millionth of a degree, a grad or a turn is 10, 9 or 3600 units.
    if (token.Kind == TTokenKind::Number || (token.Kind == TTokenKind::Dimension && SameWord(token.Unit, "deg")))
        return static_cast<std::int64_t>(Wrapped(number, 360 * One)) * 10;
    if (token.Kind != TTokenKind::Dimension)
        return std::nullopt;
    if (SameWord(token.Unit, "grad"))
        return static_cast<std::int64_t>(Wrapped(number, 400 * One)) * 9;
    if (SameWord(token.Unit, "turn"))
        return static_cast<std::int64_t>(Wrapped(number, One)) * 3600;
    if (!SameWord(token.Unit, "rad"))
        return std::nullopt;
    // No exact value in degrees exists; double precision, kept to 1e-7
    // degree. An angle too large for a double has no place on the circle.
    const double degrees = std::fmod(Written(number) * (180.0 / std::numbers::pi), 360.0);
    if (!std::isfinite(degrees))
        return std::nullopt;
    auto units = static_cast<std::int64_t>(std::floor(degrees * static_cast<double>(Degree))) % Circle;
    return units < 0 ? units + Circle : units;
}

// Saturation or lightness in units of a percent, 0..100%; a plain number
// counts as percent.
std::optional<std::uint64_t> HslPercentage(const TToken& token, bool legacy)
{
    if (token.Kind == TTokenKind::None)
        return 0;
    if (token.Kind == TTokenKind::Percentage || (token.Kind == TTokenKind::Number && !legacy))
        return Clamped(token.Number, 100 * One);
    return std::nullopt;
}

// An unsigned 128-bit integer, enough for the products of hsl() below.
struct TWide {
    std::uint64_t High = 0;
    std::uint64_t Low = 0;
};

TWide Multiply(std::uint64_t a, std::uint64_t b)
{
    const std::uint64_t aLow = a & 0xFFFFFFFFu, aHigh = a >> 32;
    const std::uint64_t bLow = b & 0xFFFFFFFFu, bHigh = b >> 32;
    const std::uint64_t lowLow = aLow * bLow;
    const std::uint64_t lowHigh = aLow * bHigh;
    const std::uint64_t highLow = aHigh * bLow;
    const std::uint64_t middle = (lowLow >> 32) + (lowHigh & 0xFFFFFFFFu) + (highLow & 0xFFFFFFFFu);
    return {aHigh * bHigh + (lowHigh >> 32) + (highLow >> 32) + (middle >> 32),
            (middle << 32) | (lowLow & 0xFFFFFFFFu)};
}

TWide Add(TWide a, TWide b)
{
    const std::uint64_t low = a.Low + b.Low;
    return {a.High + b.High + (low < a.Low ? 1 : 0), low};
}

TWide Subtract(TWide a, TWide b)
{
    return {a.High - b.High - (a.Low < b.Low ? 1 : 0), a.Low - b.Low};
}

TWide Times(TWide a, std::uint64_t factor)
{
    TWide product = Multiply(a.Low, factor);
    product.High += a.High * factor;
    return product;
}

bool Less(TWide a, TWide b)
{
    return a.High != b.High ? a.High < b.High : a.Low < b.Low;
}

// One channel of hsl() by the CSS conversion: with k = (n + hue / 30) mod 12,
// lightness - saturation * min(l, 1 - l) * max(-1, min(k - 3, 9 - k, 1)),
// times 255, rounded to the nearest, halves up. n is 0 for red, 8 for green
// and 4 for blue.
int HslChannel(std::int64_t hue, std::uint64_t saturation, std::uint64_t lightness, int n)
{
    // k in units of the hue: 30 degrees are one step of k.
    const std::int64_t k = (n * 30 * Degree + hue) % Circle;
    const std::int64_t m = std::max(std::min({k - 90 * Degree, 270 * Degree - k, 30 * Degree}), -30 * Degree);
    const std::uint64_t nearerEnd = std::min(lightness, 100 * One - lightness);

    // value = lightness / (100 One) - saturation * nearerEnd * m / ((100 One)^2 * 30 Degree),
    // all over the denominator below.
    const TWide denominator = Multiply(100 * One * 100 * One, static_cast<std::uint64_t>(30 * Degree));
    const TWide light = Multiply(lightness, 100 * One * static_cast<std::uint64_t>(30 * Degree));
    const TWide shift = Multiply(saturation * nearerEnd, static_cast<std::uint64_t>(m < 0 ? -m : m));
    // The value lies in 0..1, so the subtraction cannot go below zero.
    const TWide value = m < 0 ? Add(light, shift) : Subtract(light, shift);

    // floor(255 value + 1/2) = floor((510 value + 1) / 2) in the denominator's units.
    const TWide numerator = Add(Times(value, 510), denominator);
    const TWide step = Times(denominator, 2);
    // The quotient in double precision is at most one off; the exact
    // comparisons then settle it.
    const auto approximate = [](TWide w) {
        return static_cast<double>(w.High) * 18446744073709551616.0 + static_cast<double>(w.Low);
    };
    int channel = std::clamp(static_cast<int>(approximate(numerator) / approximate(step)), 0, 255);
    while (channel > 0 && Less(numerator, Times(step, static_cast<std::uint64_t>(channel))))
        --channel;
    while (channel < 255 && !Less(numerator, Times(step, static_cast<std::uint64_t>(channel) + 1)))
        ++channel;
    return channel;
}

// The hue in degrees, 0..360.
double Degrees(std::int64_t hue)
{
    return static_cast<double>(hue) / static_cast<double>(Degree);
}

// A percentage of reference; a percentage of 100 is its own number, as
// hwb() reads its whiteness and blackness.
double PercentOf(double percentage, double reference)
{
    return reference == 100 ? percentage : percentage / 100 * reference;
}

// A channel of the forms read in double precision: a number as it is, a
// percentage of reference, "none" 0. Values beyond a million of their unit
// are taken as a million: far outside every gamut, and every conversion
// stays finite.
std::optional<double> Channel(const TToken& token, double reference)
{
    constexpr double Limit = 1e6;
    double value = 0;
    switch (token.Kind) {
    case TTokenKind::Number: value = Written(token.Number); break;
    case TTokenKind::Percentage: value = PercentOf(Written(token.Number), reference); break;
    case TTokenKind::None: return 0.0;
    default: return std::nullopt;
    }
    return std::clamp(value, -Limit, Limit);
}

TCssReading Reading(const TMappedColor& mapped)
{
    return {mapped.Color, mapped.OutsideSrgb};
}

TCssReading FromHsl(std::int64_t hue, std::uint64_t saturation, std::uint64_t lightness)
{
    return {RGBToColor(HslChannel(hue, saturation, lightness, 0), HslChannel(hue, saturation, lightness, 8),
                       HslChannel(hue, saturation, lightness, 4)),
            false};
}

TCssReading FromLab(double lightness, double a, double b)
{
    const TTriple lab{std::clamp(lightness, 0.0, 100.0), a, b};
    return Reading(LinearSrgbToColor(XyzD65ToLinearSrgb(XyzD50ToXyzD65(LabToXyzD50(lab)))));
}

TCssReading FromOklab(double lightness, double a, double b)
{
    return Reading(LinearSrgbToColor(OklabToLinearSrgb({std::clamp(lightness, 0.0, 1.0), a, b})));
}

// Chroma below zero is zero.
TTriple FromPolar(double lightness, double chroma, double hue)
{
    return PolarToLab({lightness, std::max(chroma, 0.0), hue});
}

std::optional<TCssReading> Hsl(const TArguments& arguments)
{
    const std::optional<std::int64_t> hue = Hue(*arguments.Channels[0]);
    const std::optional<std::uint64_t> saturation = HslPercentage(*arguments.Channels[1], arguments.Legacy);
    const std::optional<std::uint64_t> lightness = HslPercentage(*arguments.Channels[2], arguments.Legacy);
    if (!hue || !saturation || !lightness)
        return std::nullopt;
    return FromHsl(*hue, *saturation, *lightness);
}

// hwb(), lab(), lch(), oklab() and oklch(), which CSS writes only in the
// space-separated form.
enum class TModernFunction { Hwb, Lab, Lch, Oklab, Oklch };

std::optional<TCssReading> Modern(TModernFunction function, const TArguments& arguments)
{
    if (arguments.Legacy)
        return std::nullopt;
    const TToken& first = *arguments.Channels[0];
    const TToken& second = *arguments.Channels[1];
    const TToken& third = *arguments.Channels[2];
    if (function == TModernFunction::Hwb) {
        const std::optional<std::int64_t> hue = Hue(first);
        const std::optional<double> whiteness = Channel(second, 100);
        const std::optional<double> blackness = Channel(third, 100);
        if (!hue || !whiteness || !blackness)
            return std::nullopt;
        return Reading(SrgbToColor(HwbToSrgb(Degrees(*hue), *whiteness / 100, *blackness / 100)));
    }
    const bool ok = function == TModernFunction::Oklab || function == TModernFunction::Oklch;
    const std::optional<double> lightness = Channel(first, ok ? 1 : 100);
    if (!lightness)
        return std::nullopt;
    if (function == TModernFunction::Lab || function == TModernFunction::Oklab) {
        const std::optional<double> a = Channel(second, ok ? 0.4 : 125);
        const std::optional<double> b = Channel(third, ok ? 0.4 : 125);
        if (!a || !b)
            return std::nullopt;
        return ok ? FromOklab(*lightness, *a, *b) : FromLab(*lightness, *a, *b);
    }
    const std::optional<double> chroma = Channel(second, ok ? 0.4 : 150);
    const std::optional<std::int64_t> hue = Hue(third);
    if (!chroma || !hue)
        return std::nullopt;
    const TTriple lab = FromPolar(*lightness, *chroma, Degrees(*hue));
    return ok ? FromOklab(lab[0], lab[1], lab[2]) : FromLab(lab[0], lab[1], lab[2]);
}

// color(space c1 c2 c3): the RGB spaces and XYZ that CSS Color 4 names,
// each channel a number or a percentage of 1.
std::optional<TCssReading> PredefinedSpace(std::string_view space, const TArguments& arguments)
{
    if (arguments.Legacy)
        return std::nullopt;
    TTriple values{};
    for (std::size_t i = 0; i < 3; ++i) {
        const std::optional<double> value = Channel(*arguments.Channels[i], 1);
        if (!value)
            return std::nullopt;
        values[i] = *value;
    }
    TTriple linear{};
    if (SameWord(space, "srgb"))
        return Reading(SrgbToColor(values));
    if (SameWord(space, "srgb-linear"))
        linear = values;
    else if (SameWord(space, "display-p3"))
        linear = XyzD65ToLinearSrgb(LinearP3ToXyzD65(SrgbToLinear(values)));
    else if (SameWord(space, "rec2020"))
        linear = XyzD65ToLinearSrgb(LinearRec2020ToXyzD65(Rec2020ToLinear(values)));
    else if (SameWord(space, "xyz") || SameWord(space, "xyz-d65"))
        linear = XyzD65ToLinearSrgb(values);
    else if (SameWord(space, "xyz-d50"))
        linear = XyzD65ToLinearSrgb(XyzD50ToXyzD65(values));
    else
        return std::nullopt;
    return Reading(LinearSrgbToColor(linear));
}

std::optional<TCssReading> ColorFunction(std::string_view text)
{
    const std::size_t open = text.find('(');
    if (open == std::string_view::npos || text.back() != ')')
        return std::nullopt;
    const std::string_view name = text.substr(0, open);
    const std::optional<std::vector<TToken>> tokens = Tokens(text.substr(open + 1, text.size() - open - 2));
    if (!tokens)
        return std::nullopt;
    std::span<const TToken> channels = *tokens;
    std::string_view space;
    if (SameWord(name, "color")) {
        if (channels.empty() || channels.front().Kind != TTokenKind::Ident)
            return std::nullopt;
        space = channels.front().Unit;
        channels = channels.subspan(1);
    }
    const std::optional<TArguments> arguments = Split(channels);
    if (!arguments || !IsAlpha(arguments->Alpha))
        return std::nullopt;
    if (SameWord(name, "rgb") || SameWord(name, "rgba")) {
        const std::optional<TColor> color = Rgb(*arguments);
        return color ? std::optional<TCssReading>({*color, false}) : std::nullopt;
    }
    if (SameWord(name, "hsl") || SameWord(name, "hsla"))
        return Hsl(*arguments);
    if (SameWord(name, "color"))
        return PredefinedSpace(space, *arguments);
    constexpr std::pair<std::string_view, TModernFunction> Functions[] = {
        {"hwb", TModernFunction::Hwb},     {"lab", TModernFunction::Lab},     {"lch", TModernFunction::Lch},
        {"oklab", TModernFunction::Oklab}, {"oklch", TModernFunction::Oklch},
    };
    for (const auto& [functionName, function] : Functions)
        if (SameWord(name, functionName))
            return Modern(function, *arguments);
    return std::nullopt;
}

// "#rgb", "#rgba", "#rrggbb", "#rrggbbaa".
std::optional<TColor> HexColor(std::string_view digits)
{
    int values[8] = {};
    if (digits.size() != 3 && digits.size() != 4 && digits.size() != 6 && digits.size() != 8)
        return std::nullopt;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        values[i] = HexValue(digits[i]);
        if (values[i] < 0)
            return std::nullopt;
    }
    if (digits.size() <= 4) // each digit stands for two of the same
        return RGBToColor(values[0] * 17, values[1] * 17, values[2] * 17);
    return RGBToColor(values[0] * 16 + values[1], values[2] * 16 + values[3], values[4] * 16 + values[5]);
}

std::optional<TColor> NamedColor(std::string_view name)
{
    std::string lower(name);
    std::transform(lower.begin(), lower.end(), lower.begin(), LowerAscii);
    const auto found =
        std::lower_bound(std::begin(NamedColors), std::end(NamedColors), lower,
                         [](const TNamedColor& color, const std::string& key) { return color.Name < key; });
    if (found == std::end(NamedColors) || found->Name != lower)
        return std::nullopt;
    return RGBToColor(static_cast<int>(found->Rgb >> 16), static_cast<int>((found->Rgb >> 8) & 0xFF),
                      static_cast<int>(found->Rgb & 0xFF));
}

} // namespace

std::optional<TCssReading> ReadCssColor(std::string_view text)
{
    if (text.empty() || text.size() > MaxCssColorLength)
        return std::nullopt;
    if (text.front() == '#' || text.back() != ')') {
        const std::optional<TColor> color = text.front() == '#' ? HexColor(text.substr(1)) : NamedColor(text);
        return color ? std::optional<TCssReading>({*color, false}) : std::nullopt;
    }
    return ColorFunction(text);
}

std::optional<TColor> CssColorToColor(std::string_view text)
{
    const std::optional<TCssReading> reading = ReadCssColor(text);
    return reading ? std::optional<TColor>(reading->Color) : std::nullopt;
}

TCssReading CssFormValuesToColor(const TCssFormValues& values)
{
    const auto& u = values.Units;
    const auto& d = values.Decimals;
    // Each number as the reader holds it once it has read the text: the
    // exact units of hsl(), the hue in 1e-7 degree, and otherwise the double
    // nearest to the decimal, which the division gives as from_chars does.
    const auto written = [&](std::size_t i) {
        double power = 1;
        for (int k = 0; k < d[i]; ++k)
            power *= 10;
        return static_cast<double>(u[i]) / power;
    };
    const auto scaled = [&](std::size_t i, std::int64_t one) {
        std::int64_t factor = one;
        for (int k = 0; k < d[i]; ++k)
            factor /= 10;
        return u[i] * factor;
    };
    const auto hue = [&](std::size_t i) { return values.HueNone ? 0.0 : Degrees(scaled(i, Degree)); };
    switch (values.Form) {
    case TCssForm::Hex:
    case TCssForm::Rgb:
        return {RGBToColor(static_cast<int>(u[0]), static_cast<int>(u[1]), static_cast<int>(u[2])), false};
    case TCssForm::Hsl:
        return FromHsl(values.HueNone ? 0 : scaled(0, Degree), static_cast<std::uint64_t>(scaled(1, One)),
                       static_cast<std::uint64_t>(scaled(2, One)));
    case TCssForm::Hwb: return Reading(SrgbToColor(HwbToSrgb(hue(0), written(1) / 100, written(2) / 100)));
    case TCssForm::Lab: return FromLab(written(0), written(1), written(2));
    case TCssForm::Lch: {
        const TTriple lab = FromPolar(written(0), written(1), hue(2));
        return FromLab(lab[0], lab[1], lab[2]);
    }
    case TCssForm::Oklab: return FromOklab(PercentOf(written(0), 1), written(1), written(2));
    case TCssForm::Oklch: {
        const TTriple lab = FromPolar(PercentOf(written(0), 1), written(1), hue(2));
        return FromOklab(lab[0], lab[1], lab[2]);
    }
    case TCssForm::DisplayP3:
        return Reading(LinearSrgbToColor(
            XyzD65ToLinearSrgb(LinearP3ToXyzD65(SrgbToLinear({written(0), written(1), written(2)})))));
    }
    return {InvalidColor, false};
}

std::span<const TNamedColor> CssNamedColors()
{
    return NamedColors;
}
