#include "color/ColorFunctions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ostream>
#include <random>
#include <string>
#include <string_view>
#include <vector>

using namespace std::string_literals;

namespace {

// "0x00BBGGRR (R r, G g, B b)": the byte order is what goes wrong, so a
// failure shows both the raw value and the components.
std::string Describe(TColor color)
{
    const TRGB rgb = ColorToRGB(color);
    char text[64];
    std::snprintf(text, sizeof text, "0x%08X (R %d, G %d, B %d)", static_cast<unsigned>(color), rgb.R, rgb.G, rgb.B);
    return text;
}

// TColor is a plain integer, so gtest cannot be taught to print it; compare
// through this wrapper instead.
struct ColorHex {
    TColor value;
    bool operator==(const ColorHex&) const = default;
};

ColorHex C(TColor value)
{
    return ColorHex{value};
}

std::string Escaped(std::string_view text)
{
    std::string result;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 32 || byte >= 127 || c == '\\') {
            char code[8];
            std::snprintf(code, sizeof code, "\\x%02X", byte);
            result += code;
        } else {
            result += c;
        }
    }
    return result;
}

// What a call raised, named by the most specific of the program's exception
// classes, so one comparison checks both the type and the exact message.
template <class Call>
std::string Raised(Call call)
{
    try {
        call();
    } catch (const EInvalidInputColorFunctions& e) {
        return "EInvalidInputColorFunctions: "s + e.what();
    } catch (const Exception& e) {
        return "Exception: "s + e.what();
    } catch (const std::exception& e) {
        return "std::exception: "s + e.what();
    }
    return "nothing";
}

// A spread of colors over the whole range, both ends included.
std::vector<TColor> SampleColors()
{
    std::vector<TColor> colors;
    for (TColor color = 0; color < 0xFFFFFF; color += 997) {
        colors.push_back(color);
    }
    colors.push_back(0xFFFFFF);
    return colors;
}

void PrintTo(const ColorHex& color, std::ostream* os)
{
    *os << Describe(color.value);
}

} // namespace

// The component structs live in the global namespace, so their printers do too.
void PrintTo(const TRGB& v, std::ostream* os)
{
    *os << "RGB(" << v.R << ", " << v.G << ", " << v.B << ")";
}

void PrintTo(const THLS& v, std::ostream* os)
{
    *os << "HLS(" << v.H << ", " << v.L << ", " << v.S << ")";
}

void PrintTo(const TCMY& v, std::ostream* os)
{
    *os << "CMY(" << v.C << ", " << v.M << ", " << v.Y << ")";
}

void PrintTo(const TCMYK& v, std::ostream* os)
{
    *os << "CMYK(" << v.C << ", " << v.M << ", " << v.Y << ", " << v.K << ")";
}

namespace {

constexpr TColor Black = 0x000000;
constexpr TColor White = 0xFFFFFF;
constexpr TColor Red = 0x0000FF;
constexpr TColor Green = 0x00FF00;
constexpr TColor Blue = 0xFF0000;
constexpr TColor Gray = 0x808080;
constexpr TColor Orange = 0x0080FF; // R 255, G 128, B 0

// ---------------------------------------------------------------- builders

TEST(ColorBuilders, PutRedInTheLowByte)
{
    EXPECT_EQ(C(RGBToColor(255, 0, 0)), C(Red));
    EXPECT_EQ(C(RGBToColor(0, 255, 0)), C(Green));
    EXPECT_EQ(C(RGBToColor(0, 0, 255)), C(Blue));
    EXPECT_EQ(C(RGBToColor(1, 2, 3)), C(0x030201));
    EXPECT_EQ(ColorToRGB(0x030201), (TRGB{1, 2, 3}));
    EXPECT_EQ(C(CMYToColor(0, 127, 255)), C(Orange));
    EXPECT_EQ(ColorToCMY(Orange), (TCMY{0, 127, 255}));
}

struct Builder {
    const char* name;
    int maximum;
    int arity;
    TColor (*build)(const std::array<int, 4>&);
};

const Builder Builders[] = {
    {"RGBToColor", 255, 3, [](const std::array<int, 4>& a) { return RGBToColor(a[0], a[1], a[2]); }},
    {"HLSToColor", 240, 3, [](const std::array<int, 4>& a) { return HLSToColor(a[0], a[1], a[2]); }},
    {"CMYToColor", 255, 3, [](const std::array<int, 4>& a) { return CMYToColor(a[0], a[1], a[2]); }},
    {"CMYKToColor", 255, 4, [](const std::array<int, 4>& a) { return CMYKToColor(a[0], a[1], a[2], a[3]); }},
};

TEST(ColorBuilders, RejectEveryArgumentOutOfRangeNamingThemselves)
{
    for (const Builder& builder : Builders) {
        const std::string expected =
            "EInvalidInputColorFunctions: Invalid input in ColorFunctions unit: \r\n\r\n"s + builder.name;
        for (int position = 0; position < builder.arity; ++position) {
            for (const int bad : {-1, builder.maximum + 1, INT_MIN, INT_MAX}) {
                std::array<int, 4> args{};
                args[static_cast<std::size_t>(position)] = bad;
                SCOPED_TRACE(std::string(builder.name) + " argument " + std::to_string(position + 1) + " = "
                             + std::to_string(bad));
                EXPECT_EQ(Raised([&] { builder.build(args); }), expected);
            }
        }
    }
}

TEST(ColorBuilders, AcceptTheEndsOfTheirRanges)
{
    for (const Builder& builder : Builders) {
        SCOPED_TRACE(builder.name);
        const int m = builder.maximum;
        EXPECT_EQ(Raised([&] { builder.build({0, 0, 0, 0}); }), "nothing");
        EXPECT_EQ(Raised([&] { builder.build({m, m, m, m}); }), "nothing");
    }
}

TEST(ColorBuilders, InvalidInputIsTheProgramsGeneralException)
{
    EXPECT_THROW(RGBToColor(0, -1, 0), Exception);
}

// A hand-edited settings file can hand in a value with bits 24-31 set.
TEST(ColorSplitters, IgnoreBits24To31)
{
    for (const TColor color : {Black, White, Orange, TColor{0x123456}, TColor{0xFEDCBA}}) {
        for (const std::uint32_t high : {0x01000000u, 0x1F000000u, 0x80000000u, 0xFF000000u}) {
            const auto withHigh = static_cast<TColor>(static_cast<std::uint32_t>(color) | high);
            SCOPED_TRACE(Describe(withHigh));
            EXPECT_EQ(ColorToRGB(withHigh), ColorToRGB(color));
            EXPECT_EQ(ColorToHLS(withHigh), ColorToHLS(color));
            EXPECT_EQ(ColorToCMY(withHigh), ColorToCMY(color));
            EXPECT_EQ(ColorToCMYK(withHigh), ColorToCMYK(color));
        }
    }
}

// -------------------------------------------------------------------- HLS

TEST(ColorToHLS, NamedColors)
{
    struct Row {
        TColor color;
        THLS hls;
    };
    const Row rows[] = {
        {Red, {0, 120, 240}},
        {Green, {80, 120, 240}},
        {Blue, {160, 120, 240}},
        // A shared maximum goes to red before green, green before blue.
        {0x00FFFF, {40, 120, 240}},  // yellow
        {0xFFFF00, {120, 120, 240}}, // cyan
        {0xFF00FF, {200, 120, 240}}, // magenta
        {White, {160, 240, 0}},
        {Black, {160, 0, 0}},
        {Gray, {160, 120, 0}},
        // Red maximum with blue above green: the hue wraps below 0 to 220.
        {0x8000FF, {220, 120, 240}},
        // Worked by hand through both saturation branches.
        {0x204060, {20, 60, 120}},
        {0xCFBFAF, {140, 180, 60}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(Describe(row.color));
        EXPECT_EQ(ColorToHLS(row.color), row.hls);
    }
}

TEST(HLSToColor, NamedColors)
{
    struct Row {
        THLS hls;
        TColor color;
    };
    const Row rows[] = {
        {{0, 120, 240}, Red},
        {{240, 120, 240}, Red}, // hue 240 is hue 0
        {{80, 120, 240}, Green},
        {{160, 120, 240}, Blue},
        {{0, 240, 0}, White},
        {{77, 0, 100}, Black},
        // The gray branch truncates 120 * 255 / 240 = 127.5.
        {{160, 120, 0}, 0x7F7F7F},
        {{20, 60, 120}, 0x204060},
        {{140, 180, 60}, 0xCFBFAF},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE("HLS " + std::to_string(row.hls.H) + ", " + std::to_string(row.hls.L) + ", "
                     + std::to_string(row.hls.S));
        EXPECT_EQ(C(HLSToColor(row.hls.H, row.hls.L, row.hls.S)), C(row.color));
    }
}

TEST(HLSRoundTrip, EveryColorComesBackWithinFivePerComponent)
{
    for (TColor color = 0; color <= White; ++color) {
        const THLS hls = ColorToHLS(color);
        if (hls.H < 0 || hls.H > 239 || hls.L < 0 || hls.L > 240 || hls.S < 0 || hls.S > 240) {
            ADD_FAILURE() << Describe(color) << " splits out of range: H " << hls.H << ", L " << hls.L << ", S "
                          << hls.S;
            return;
        }
        const TColor back = HLSToColor(hls.H, hls.L, hls.S);
        const TRGB a = ColorToRGB(color);
        const TRGB b = ColorToRGB(back);
        if (std::abs(a.R - b.R) > 5 || std::abs(a.G - b.G) > 5 || std::abs(a.B - b.B) > 5 || (back & ~White) != 0) {
            ADD_FAILURE() << Describe(color) << " -> H " << hls.H << ", L " << hls.L << ", S " << hls.S << " -> "
                          << Describe(back);
            return;
        }
    }
}

// ------------------------------------------------------------------- CMYK

TEST(ColorToCMYK, NamedColors)
{
    struct Row {
        TColor color;
        TCMYK cmyk;
    };
    const Row rows[] = {
        {Gray, {0, 0, 0, 127}},
        {Black, {0, 0, 0, 255}},
        {White, {0, 0, 0, 0}},
        {Red, {0, 255, 255, 0}},
        {Orange, {0, 127, 255, 0}},
        // 1 * 255 / 6 = 42.5 goes to the even 42.
        {RGBToColor(5, 6, 6), {42, 0, 0, 249}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(Describe(row.color));
        EXPECT_EQ(ColorToCMYK(row.color), row.cmyk);
        EXPECT_EQ(C(CMYKToColor(row.cmyk.C, row.cmyk.M, row.cmyk.Y, row.cmyk.K)), C(row.color));
    }
}

TEST(CMYKRoundTrip, EveryColorComesBackExactly)
{
    for (TColor color = 0; color <= White; ++color) {
        const TCMYK cmyk = ColorToCMYK(color);
        const auto inRange = [](int v) { return v >= 0 && v <= 255; };
        if (!inRange(cmyk.C) || !inRange(cmyk.M) || !inRange(cmyk.Y) || !inRange(cmyk.K)) {
            ADD_FAILURE() << Describe(color) << " splits out of range";
            return;
        }
        const TColor back = CMYKToColor(cmyk.C, cmyk.M, cmyk.Y, cmyk.K);
        if (back != color) {
            ADD_FAILURE() << Describe(color) << " -> C " << cmyk.C << ", M " << cmyk.M << ", Y " << cmyk.Y << ", K "
                          << cmyk.K << " -> " << Describe(back);
            return;
        }
    }
}

// -------------------------------------------------------------- ColorToStr

TEST(ColorToStr, EveryFormatCaseAndPrefix)
{
    struct Row {
        TColor color;
        TColorCodeFormat format;
        bool uppercase;
        bool withPrefix;
        const char* expected;
    };
    const Row rows[] = {
        {Gray, ccfHTMLCSS, true, true, "#808080"},
        {Gray, ccfDelphi, true, true, "$00808080"},
        {Gray, ccfCpp, true, true, "0x00808080"},
        {Gray, ccfVisualBasic, true, true, "&H00808080"},
        {Gray, ccfWindowsColorReference, true, true, "08421504"},
        {Gray, ccfHTMLCSS, true, false, "808080"},
        {Gray, ccfDelphi, true, false, "00808080"},
        {Gray, ccfCpp, true, false, "00808080"},
        {Gray, ccfVisualBasic, true, false, "00808080"},
        {Gray, ccfWindowsColorReference, true, false, "08421504"},

        // HTML/CSS is red-green-blue; the 8-digit forms are the value itself.
        {Orange, ccfHTMLCSS, true, true, "#FF8000"},
        {Orange, ccfDelphi, true, true, "$000080FF"},
        {Orange, ccfCpp, true, true, "0x000080FF"},
        {Orange, ccfVisualBasic, true, true, "&H000080FF"},
        {Orange, ccfWindowsColorReference, true, true, "00033023"},

        // Lowercase touches the body only; the prefix keeps its own case.
        {Orange, ccfHTMLCSS, false, true, "#ff8000"},
        {Orange, ccfDelphi, false, true, "$000080ff"},
        {Orange, ccfCpp, false, true, "0x000080ff"},
        {Orange, ccfVisualBasic, false, true, "&H000080ff"},
        {Orange, ccfWindowsColorReference, false, true, "00033023"},
        {Orange, ccfHTMLCSS, false, false, "ff8000"},
        {Orange, ccfVisualBasic, false, false, "000080ff"},

        {Black, ccfWindowsColorReference, true, true, "00000000"},
        {White, ccfWindowsColorReference, true, true, "16777215"},
        {White, ccfHTMLCSS, true, true, "#FFFFFF"},

        // Bits 24-31 set: all eight digits in the hex forms, dropped in
        // HTML/CSS, a signed 32-bit number in the decimal form.
        {0x1FFFFFFF, ccfDelphi, true, true, "$1FFFFFFF"},
        {0x1FFFFFFF, ccfHTMLCSS, true, true, "#FFFFFF"},
        {0x1FFFFFFF, ccfWindowsColorReference, true, true, "536870911"},
        {static_cast<TColor>(0xAB123456u), ccfCpp, false, true, "0xab123456"},
        {static_cast<TColor>(0xAB123456u), ccfHTMLCSS, true, true, "#563412"},
        {static_cast<TColor>(0xAB123456u), ccfWindowsColorReference, true, true, "-1424870314"},
        {-1, ccfWindowsColorReference, true, true, "-00000001"},
        {INT32_MIN, ccfWindowsColorReference, true, true, "-2147483648"},
        {INT32_MIN, ccfVisualBasic, true, true, "&H80000000"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(Describe(row.color) + " format " + std::to_string(row.format)
                     + (row.uppercase ? " upper" : " lower") + (row.withPrefix ? " prefix" : ""));
        EXPECT_EQ(ColorToStr(row.color, row.format, row.uppercase, row.withPrefix), row.expected);
    }
}

TEST(ColorToStr, UnhandledFormatRaisesTheGeneralException)
{
    EXPECT_EQ(Raised([] { ColorToStr(Gray, static_cast<TColorCodeFormat>(5), true, true); }),
              "Exception: ColorToStr: unhandled TColorCodeFormat case");
}

// -------------------------------------------------------------- StrToColor

TEST(StrToColor, Codes)
{
    struct Row {
        std::string text;
        TColorCodeFormat assumed;
        TColor value; // InvalidColor when the text is not valid
        TColorCodeFormat format;
        bool hasPrefix;
    };
    constexpr TColor Invalid = InvalidColor;
    const Row rows[] = {
        // Prefixes choose the format, whatever the caller assumed.
        {" \t#FF8000\r\n", ccfWindowsColorReference, Orange, ccfHTMLCSS, true},
        {"#FF8000", ccfDelphi, Orange, ccfHTMLCSS, true},
        {"#ff8000\0"s, ccfCpp, Orange, ccfHTMLCSS, true},
        {"$00808080", ccfWindowsColorReference, Gray, ccfDelphi, true},
        {"0x000080ff", ccfHTMLCSS, Orange, ccfCpp, true},
        {"&H000080FF", ccfHTMLCSS, Orange, ccfVisualBasic, true},
        {"$FFFFFF", ccfHTMLCSS, White, ccfDelphi, true},
        {"0xABCDEF", ccfHTMLCSS, 0xABCDEF, ccfCpp, true},

        // Without a prefix the assumed format decides the byte order.
        {"ff8000", ccfHTMLCSS, Orange, ccfHTMLCSS, false},
        {"ff8000", ccfDelphi, 0xFF8000, ccfDelphi, false},
        {"00808080", ccfVisualBasic, Gray, ccfVisualBasic, false},
        {"808080", ccfCpp, Gray, ccfCpp, false},

        // Prefixes are case-sensitive; at ten characters nothing accepts these.
        {"0X00808080", ccfHTMLCSS, Invalid, ccfHTMLCSS, false},
        {"0X00808080", ccfDelphi, Invalid, ccfDelphi, false},
        {"0X00808080", ccfCpp, Invalid, ccfCpp, false},
        {"0X00808080", ccfVisualBasic, Invalid, ccfVisualBasic, false},
        {"0X00808080", ccfWindowsColorReference, Invalid, ccfWindowsColorReference, false},
        {"&h00808080", ccfVisualBasic, Invalid, ccfVisualBasic, false},
        {"&h00808080", ccfWindowsColorReference, Invalid, ccfWindowsColorReference, false},

        // Wrong lengths and ranges; the prefix still sets the format.
        {"#12345", ccfWindowsColorReference, Invalid, ccfHTMLCSS, true},
        {"#1234567", ccfWindowsColorReference, Invalid, ccfHTMLCSS, true},
        {"$12345", ccfWindowsColorReference, Invalid, ccfDelphi, true},
        {"$123456789", ccfWindowsColorReference, Invalid, ccfDelphi, true},
        {"$01000000", ccfWindowsColorReference, Invalid, ccfDelphi, true},
        {"$FFFFFFFF", ccfWindowsColorReference, Invalid, ccfDelphi, true},
        {"0x80000000", ccfWindowsColorReference, Invalid, ccfCpp, true},
        {"$1F", ccfWindowsColorReference, Invalid, ccfDelphi, true},
        {"0x", ccfWindowsColorReference, Invalid, ccfCpp, true},
        {"#", ccfDelphi, Invalid, ccfHTMLCSS, true},
        {"8080", ccfDelphi, Invalid, ccfDelphi, false},

        // Each HTML/CSS pair must be exactly two hex digits.
        {"#GG0000", ccfHTMLCSS, Invalid, ccfHTMLCSS, true},
        {"#+1+2+3", ccfHTMLCSS, Invalid, ccfHTMLCSS, true},
        {"# 12345", ccfHTMLCSS, Invalid, ccfHTMLCSS, true},
        {"#0x1234", ccfHTMLCSS, Invalid, ccfHTMLCSS, true},
        {"#$12345", ccfHTMLCSS, Invalid, ccfHTMLCSS, true},
        // The 8-digit forms take hex digits only: no sign, blank or second lead.
        {"$-12345", ccfDelphi, Invalid, ccfDelphi, true},
        {"$ 12345", ccfDelphi, Invalid, ccfDelphi, true},
        {"0x0x1234", ccfDelphi, Invalid, ccfCpp, true},

        // The decimal form goes through the integer reader as it is.
        {"16777215", ccfWindowsColorReference, White, ccfWindowsColorReference, false},
        {"16777216", ccfWindowsColorReference, Invalid, ccfWindowsColorReference, false},
        {"-1", ccfWindowsColorReference, Invalid, ccfWindowsColorReference, false},
        {"+255", ccfWindowsColorReference, 255, ccfWindowsColorReference, false},
        {"00033023", ccfWindowsColorReference, Orange, ccfWindowsColorReference, false},
        {"123456789", ccfWindowsColorReference, Invalid, ccfWindowsColorReference, false},
        {"X1F", ccfWindowsColorReference, 31, ccfWindowsColorReference, false},
        {"x1f", ccfWindowsColorReference, 31, ccfWindowsColorReference, false},
        {"0X1F", ccfWindowsColorReference, 31, ccfWindowsColorReference, false},
        {"0X", ccfWindowsColorReference, Black, ccfWindowsColorReference, false},
        {"X", ccfWindowsColorReference, Invalid, ccfWindowsColorReference, false},
        {"+", ccfWindowsColorReference, Invalid, ccfWindowsColorReference, false},
        {"12 34", ccfWindowsColorReference, Invalid, ccfWindowsColorReference, false},

        // Blanks and other control codes are trimmed; nothing else is.
        {"", ccfHTMLCSS, Invalid, ccfHTMLCSS, false},
        {"   \t ", ccfWindowsColorReference, Invalid, ccfWindowsColorReference, false},
        {"\0\x1F 255 \x01\0"s, ccfWindowsColorReference, 255, ccfWindowsColorReference, false},
        {"\xC2\xA0#FF8000", ccfHTMLCSS, Invalid, ccfHTMLCSS, false}, // no-break space
        {"#\xC3\x84\xC3\x96\xC3\x9C", ccfDelphi, Invalid, ccfHTMLCSS, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE("\"" + Escaped(row.text) + "\" assuming format " + std::to_string(row.assumed));
        TColorCodeFormat format = row.assumed;
        // Start from the opposite answers, so the reader has to set both.
        bool valid = row.value == InvalidColor;
        bool hasPrefix = !row.hasPrefix;
        const TColor value = StrToColor(row.text, format, valid, hasPrefix);
        EXPECT_EQ(C(value), C(row.value));
        EXPECT_EQ(valid, row.value != InvalidColor);
        EXPECT_EQ(static_cast<int>(format), static_cast<int>(row.format));
        EXPECT_EQ(hasPrefix, row.hasPrefix);
    }
}

TEST(StrToColor, UnhandledFormatRaisesOnlyWhenNoPrefixReplacesIt)
{
    EXPECT_EQ(Raised([] {
                  auto format = static_cast<TColorCodeFormat>(5);
                  bool valid = false;
                  bool hasPrefix = false;
                  StrToColor("123", format, valid, hasPrefix);
              }),
              "Exception: StrToColor: unhandled TColorCodeFormat case");

    auto format = static_cast<TColorCodeFormat>(5);
    bool valid = false;
    bool hasPrefix = false;
    EXPECT_EQ(C(StrToColor("#FF8000", format, valid, hasPrefix)), C(Orange));
    EXPECT_TRUE(valid);
    EXPECT_EQ(format, ccfHTMLCSS);
}

// Every code the program writes reads back as the same color in its own format.
TEST(StrToColor, ReadsBackWhatColorToStrWrites)
{
    constexpr TColorCodeFormat formats[] = {ccfHTMLCSS, ccfDelphi, ccfCpp, ccfVisualBasic, ccfWindowsColorReference};
    for (const TColor color : SampleColors()) {
        for (const TColorCodeFormat written : formats) {
            for (const bool uppercase : {true, false}) {
                for (const bool withPrefix : {true, false}) {
                    const std::string text = ColorToStr(color, written, uppercase, withPrefix);
                    TColorCodeFormat format = withPrefix ? ccfWindowsColorReference : written;
                    bool valid = false;
                    bool hasPrefix = false;
                    const TColor back = StrToColor(text, format, valid, hasPrefix);
                    if (back != color || !valid || format != written
                        || hasPrefix != (withPrefix && written != ccfWindowsColorReference)) {
                        ADD_FAILURE() << Describe(color) << " written as \"" << text << "\" reads back as "
                                      << Describe(back) << ", valid " << valid << ", format "
                                      << static_cast<int>(format);
                        return;
                    }
                }
            }
        }
    }
}

// Clipboard text can be anything; the reader must answer, never raise.
TEST(StrToColor, NeverRaisesOnHostileText)
{
    const std::vector<std::string> pieces = {"#",
                                             "$",
                                             "0x",
                                             "0X",
                                             "&H",
                                             "&h",
                                             "x",
                                             "X",
                                             "+",
                                             "-",
                                             " ",
                                             "\t",
                                             "\r\n",
                                             "\0"s,
                                             "0",
                                             "1",
                                             "7",
                                             "8",
                                             "9",
                                             "a",
                                             "F",
                                             "f",
                                             "G",
                                             "z",
                                             "FF",
                                             "\xC3\xA9",
                                             "\xE2\x82\xAC",
                                             "\xFF",
                                             "\x80",
                                             "\x7F",
                                             "2147483648",
                                             "99999999999999999999"};
    std::mt19937 random(20240601);
    std::uniform_int_distribution<std::size_t> pieceIndex(0, pieces.size() - 1);
    std::uniform_int_distribution<int> pieceCount(0, 12);
    std::uniform_int_distribution<int> byte(0, 255);

    std::vector<std::string> texts = {std::string(100000, '0'), "#" + std::string(100000, 'F'),
                                      std::string(50000, ' ') + "#FF8000" + std::string(50000, '\0')};
    for (int i = 0; i < 20000; ++i) {
        std::string text;
        const int count = pieceCount(random);
        for (int j = 0; j < count; ++j) {
            text += pieces[pieceIndex(random)];
        }
        texts.push_back(text);
        std::string raw(static_cast<std::size_t>(pieceCount(random)), '\0');
        for (char& c : raw) {
            c = static_cast<char>(byte(random));
        }
        texts.push_back(raw);
    }

    for (const std::string& text : texts) {
        for (int assumed = ccfHTMLCSS; assumed <= ccfWindowsColorReference; ++assumed) {
            auto format = static_cast<TColorCodeFormat>(assumed);
            bool valid = false;
            bool hasPrefix = false;
            TColor value = 0;
            try {
                value = StrToColor(text, format, valid, hasPrefix);
            } catch (const std::exception& e) {
                ADD_FAILURE() << "\"" << Escaped(text.substr(0, 80)) << "\" raised " << e.what();
                return;
            }
            const bool consistent = valid ? value >= 0 && value <= White : value == InvalidColor;
            const bool formatKept = hasPrefix ? format <= ccfVisualBasic : format == assumed;
            if (!consistent || !formatKept) {
                ADD_FAILURE() << "\"" << Escaped(text.substr(0, 80)) << "\" assuming " << assumed << " gave "
                              << Describe(value) << ", valid " << valid << ", format " << static_cast<int>(format)
                              << ", prefix " << hasPrefix;
                return;
            }
        }
    }
}

TEST(TryStrToInt, FollowsTheRulesOfStrToInt)
{
    struct Row {
        std::string text;
        bool ok;
        std::int32_t value;
    };
    const Row rows[] = {
        {"0", true, 0},
        {"  12", true, 12},
        {"00012", true, 12},
        {"+5", true, 5},
        {"-5", true, -5},
        {"2147483647", true, INT32_MAX},
        {"-2147483648", true, INT32_MIN},
        {"2147483648", false, 0},
        {"-2147483649", false, 0},
        {"$FF", true, 255},
        {"$ff", true, 255},
        {"x0FF", true, 255},
        {"X10", true, 16},
        {"0x10", true, 16},
        {"0X10", true, 16},
        {"0x", true, 0},
        {"0X", true, 0},
        {"$7FFFFFFF", true, INT32_MAX},
        {"$FFFFFFFF", true, -1},
        {"$80000000", true, INT32_MIN},
        {"$000000001", true, 1},
        {"$100000000", false, 0},
        {"", false, 0},
        {"   ", false, 0},
        {"$", false, 0},
        {"x", false, 0},
        {"X", false, 0},
        {"+", false, 0},
        {"-", false, 0},
        {"12 ", false, 0},
        {"1 2", false, 0},
        {"-$10", false, 0},
        {"$-10", false, 0},
        {"+0x10", false, 0},
        {"0x0x1", false, 0},
        {"$1G", false, 0},
        {"1e3", false, 0},
        {"12\0"s, false, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE("\"" + Escaped(row.text) + "\"");
        std::int32_t value = 0;
        EXPECT_EQ(TryStrToInt(row.text, value), row.ok);
        if (row.ok) {
            EXPECT_EQ(value, row.value);
        }
    }
}

// ------------------------------------------------------------ adjustments

TEST(ColorAdjustments, WorkedExamples)
{
    const TColor sample = RGBToColor(200, 100, 50);
    EXPECT_EQ(C(InverseColor(sample)), C(RGBToColor(55, 155, 205)));
    EXPECT_EQ(C(ComplementaryColor(sample)), C(RGBToColor(50, 150, 200)));
    // 60 + 59 + 5.5 = 124.5, which rounds to the even 124.
    EXPECT_EQ(C(GrayscaledColor(sample)), C(RGBToColor(124, 124, 124)));
    EXPECT_EQ(C(DesaturatedColor(sample)), C(RGBToColor(125, 125, 125)));

    EXPECT_EQ(C(InverseColor(Orange)), C(RGBToColor(0, 127, 255)));
    EXPECT_EQ(C(DesaturatedColor(Red)), C(RGBToColor(127, 127, 127)));
}

TEST(ColorAdjustments, GrayscaledWeightsAndTies)
{
    struct Row {
        TColor color;
        int gray;
    };
    const Row rows[] = {
        {Red, 76},
        {Green, 150},
        {Blue, 28},
        {White, 255},
        {RGBToColor(15, 0, 0), 4}, // 4.5 to even
        {RGBToColor(5, 0, 0), 2},  // 1.5 to even
        // 3.5 to even; a fused multiply-add would give 3.4999999999999996 and so 3.
        {RGBToColor(0, 5, 5), 4},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(Describe(row.color));
        EXPECT_EQ(C(GrayscaledColor(row.color)), C(RGBToColor(row.gray, row.gray, row.gray)));
    }
}

TEST(ColorAdjustments, InverseFlipsTheColorBitsOnly)
{
    const auto withHigh = static_cast<TColor>(0x12345678);
    EXPECT_EQ(C(InverseColor(withHigh)), C(0x12CBA987));
    EXPECT_EQ(C(InverseColor(InverseColor(Orange))), C(Orange));
}

TEST(ColorAdjustments, GraysStayGray)
{
    for (int v = 0; v <= 255; ++v) {
        const TColor gray = RGBToColor(v, v, v);
        SCOPED_TRACE(Describe(gray));
        EXPECT_EQ(C(ComplementaryColor(gray)), C(gray));
        EXPECT_EQ(C(GrayscaledColor(gray)), C(gray));
        EXPECT_EQ(C(DesaturatedColor(gray)), C(gray));
    }
}

// The complement mirrors between the color's own extremes, so it keeps them
// and undoes itself; the high bits are cleared.
TEST(ColorAdjustments, ComplementaryIsAnInvolutionKeepingTheExtremes)
{
    for (TColor color = 0; color <= White; ++color) {
        const TColor complement = ComplementaryColor(color);
        const TRGB a = ColorToRGB(color);
        const TRGB b = ColorToRGB(complement);
        if (std::min({a.R, a.G, a.B}) != std::min({b.R, b.G, b.B})
            || std::max({a.R, a.G, a.B}) != std::max({b.R, b.G, b.B}) || ComplementaryColor(complement) != color) {
            ADD_FAILURE() << Describe(color) << " -> " << Describe(complement);
            return;
        }
    }
    EXPECT_EQ(C(ComplementaryColor(static_cast<TColor>(0xFF0080FFu))), C(RGBToColor(0, 127, 255)));
}

TEST(RandomColor, StaysInTheColorRangeAndFollowsTheSeed)
{
    RandomizeColorGenerator(12345);
    std::vector<TColor> first;
    TColor lowest = White;
    TColor highest = Black;
    for (int i = 0; i < 100000; ++i) {
        const TColor color = RandomColor();
        if ((static_cast<std::uint32_t>(color) & 0xFF000000u) != 0) {
            ADD_FAILURE() << "draw " << i << " set bits 24-31: " << Describe(color);
            return;
        }
        lowest = std::min(lowest, color);
        highest = std::max(highest, color);
        first.push_back(color);
    }
    // A uniform draw over 16M values comes this close to both ends in 100000 tries.
    EXPECT_LT(lowest, 0x001000);
    EXPECT_GT(highest, 0xFFEFFF);

    RandomizeColorGenerator(12345);
    for (const TColor expected : first) {
        const TColor color = RandomColor();
        if (color != expected) {
            ADD_FAILURE() << "the same seed gave " << Describe(color) << " instead of " << Describe(expected);
            return;
        }
    }
    RandomizeColorGenerator(54321);
    std::vector<TColor> other;
    for (std::size_t i = 0; i < first.size(); ++i) {
        other.push_back(RandomColor());
    }
    EXPECT_NE(other, first);
}

} // namespace
