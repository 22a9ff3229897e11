#include "color/PastedCode.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

// What paste learns from a text, printed whole so a failing row shows which
// part went wrong.
struct TReading {
    bool Valid = false;
    TColor Color = InvalidColor;
    TColorCodeFormat Format = ccfHTMLCSS;
    bool HasPrefix = false;
    bool operator==(const TReading&) const = default;
};

void PrintTo(const TReading& reading, std::ostream* os)
{
    char text[96];
    std::snprintf(text, sizeof text, "{valid %d, 0x%08X, format %d, prefix %d}", reading.Valid,
                  static_cast<unsigned>(reading.Color), reading.Format, reading.HasPrefix);
    *os << text;
}

TReading Pasted(std::string_view text, TColorCodeFormat assumed)
{
    TReading reading;
    reading.Format = assumed;
    reading.Color = PastedCodeToColor(text, reading.Format, reading.Valid, reading.HasPrefix);
    return reading;
}

TReading Today(std::string_view text, TColorCodeFormat assumed)
{
    TReading reading;
    reading.Format = assumed;
    reading.Color = StrToColor(text, reading.Format, reading.Valid, reading.HasPrefix);
    return reading;
}

constexpr TColor Orange = 0x0080FF; // R 255, G 128, B 0
constexpr TColorCodeFormat AllFormats[] = {ccfHTMLCSS, ccfDelphi, ccfCpp, ccfVisualBasic, ccfWindowsColorReference};

TEST(PastedCode, EveryCodeTodaysReaderTakesKeepsItsResult)
{
    std::vector<std::string> texts = {"#ff8000",    "ff8000",  " #FF8000\r\n", "$00808080", "0x000080FF",
                                      "&H000080ff", "8421504", "+255",         "X1F",       "0X1F",
                                      "123456",     "00ff80",  "abcdef",       "&H0080FF",  "$FFFFFF"};
    for (const TColor color : {TColor{0}, Orange, TColor{0x123456}, TColor{0xFFFFFF}})
        for (const TColorCodeFormat format : AllFormats)
            for (const bool uppercase : {true, false})
                for (const bool prefix : {true, false})
                    texts.push_back(ColorToStr(color, format, uppercase, prefix));
    for (const std::string& text : texts) {
        for (const TColorCodeFormat assumed : AllFormats) {
            SCOPED_TRACE(text + " assumed " + std::to_string(assumed));
            const TReading today = Today(text, assumed);
            if (today.Valid) {
                EXPECT_EQ(Pasted(text, assumed), today);
            }
        }
    }
}

TEST(PastedCode, FurtherFormsOnlyWhereTodaysReaderSaysNo)
{
    const struct {
        const char* Text;
        TColorCodeFormat Assumed;
        TReading Expected;
    } rows[] = {
        // A semicolon after a code: today's reading of the code.
        {"#FF8000;", ccfDelphi, {true, Orange, ccfHTMLCSS, true}},
        {" 0x000080FF ;\r\n", ccfHTMLCSS, {true, Orange, ccfCpp, true}},
        {"ff8000;", ccfDelphi, {true, 0xFF8000, ccfDelphi, false}},
        {"8421504;", ccfWindowsColorReference, {true, 0x808080, ccfWindowsColorReference, false}},
        // CSS: the HTML/CSS format with its prefix, whatever was assumed.
        {"#f80", ccfCpp, {true, 0x0088FF, ccfHTMLCSS, true}},
        {"#ff800080", ccfHTMLCSS, {true, Orange, ccfHTMLCSS, true}},
        {"rgb(255, 128, 0)", ccfWindowsColorReference, {true, Orange, ccfHTMLCSS, true}},
        {"\trgb(255 128 0 / 50%);\n", ccfDelphi, {true, Orange, ccfHTMLCSS, true}},
        {"hsl(30deg 100% 50%)", ccfVisualBasic, {true, Orange, ccfHTMLCSS, true}},
        {"  DarkOrange ", ccfHTMLCSS, {true, 0x008CFF, ccfHTMLCSS, true}},
        {"orange;", ccfCpp, {true, 0x00A5FF, ccfHTMLCSS, true}},
        // Visual Basic: &HBBGGRR, the TColor itself.
        {"&H0080FF&", ccfHTMLCSS, {true, Orange, ccfVisualBasic, true}},
        {"&HFF&", ccfDelphi, {true, 0x0000FF, ccfVisualBasic, true}},
        {"&h80ffl", ccfHTMLCSS, {true, Orange, ccfVisualBasic, true}},
        {"&HFF8000UI", ccfHTMLCSS, {true, 0xFF8000, ccfVisualBasic, true}},
        {"&H0000000000FFFFFFUL", ccfHTMLCSS, {true, 0xFFFFFF, ccfVisualBasic, true}},
        {"&H00FFFFFFI;", ccfHTMLCSS, {true, 0xFFFFFF, ccfVisualBasic, true}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Text);
        ASSERT_FALSE(Today(row.Text, row.Assumed).Valid) << "today's reader already takes it";
        EXPECT_EQ(Pasted(row.Text, row.Assumed), row.Expected);
    }
}

TEST(PastedCode, EverythingElseGivesTodaysAnswer)
{
    const char* texts[] = {
        "",
        " ",
        ";",
        "hello",
        "#12345",
        "#12345;",
        "#ff80001",
        "$01000000",
        "$01000000;",
        "0X00808080",
        "&h00808080",
        "&HFF",
        "&HFF%",
        "&HFFS",
        "&HFFUS",
        "&H&",
        "&H01000000&",
        "&HFF&&",
        "&O17&",
        "#ff8000;;",
        "; #ff8000",
        "rgb(255, 50%, 0)",
        "hsl(30, 100, 50)",
        "transparent",
        "color: #ff8000;",
        "#ff8000 !important",
    };
    for (const char* text : texts) {
        for (const TColorCodeFormat assumed : AllFormats) {
            SCOPED_TRACE(std::string(text) + " assumed " + std::to_string(assumed));
            EXPECT_EQ(Pasted(text, assumed), Today(text, assumed));
        }
    }
}

TEST(PastedCode, VisualBasicLiteralsStandAlone)
{
    EXPECT_EQ(VisualBasicLiteralToColor("&H0080FF&"), Orange);
    EXPECT_EQ(VisualBasicLiteralToColor("&h0080ffuL"), Orange);
    EXPECT_EQ(VisualBasicLiteralToColor("&H0&"), 0);
    EXPECT_EQ(VisualBasicLiteralToColor("&H0080FF"), std::nullopt);   // no type character
    EXPECT_EQ(VisualBasicLiteralToColor(" &H0080FF&"), std::nullopt); // the caller trims
    EXPECT_EQ(VisualBasicLiteralToColor("&H1000000&"), std::nullopt);
    EXPECT_EQ(VisualBasicLiteralToColor("&HFFFFFFFFFFFFFFFFFFFF&"), std::nullopt);
}

TEST(PastedCode, ModernCssColorsAndWhetherTheyLayOutsideSrgb)
{
    const struct {
        const char* Text;
        TColor Color;
        bool OutsideSrgb;
    } rows[] = {
        {"oklch(62.8% 0.25768 29.23)", 0x0000FF, false},
        {"  oklch(62.8% 0.25768 29.23);\r\n", 0x0000FF, false},
        {"color(display-p3 0 1 0)", RGBToColor(0, 0xFB, 0x29), true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Text);
        TColorCodeFormat format = ccfDelphi;
        bool valid = false;
        bool hasPrefix = false;
        bool outside = !row.OutsideSrgb;
        EXPECT_EQ(PastedCodeToColor(row.Text, format, valid, hasPrefix, &outside), row.Color);
        EXPECT_TRUE(valid);
        EXPECT_EQ(format, ccfHTMLCSS);
        EXPECT_EQ(outside, row.OutsideSrgb);
    }
}

TEST(PastedCode, ATextLongerThanAnyCodeIsTurnedDownUnread)
{
    // 10 MB of "rgb(1 1 1 ...": only its length is looked at.
    std::string huge = "rgb(1 1 1";
    while (huge.size() < 10'000'000)
        huge += " 1 1 1 1 1 1 1 1";
    huge += ")";
    for (const TColorCodeFormat assumed : AllFormats) {
        EXPECT_EQ(Pasted(huge, assumed), Today(huge, assumed));
    }
    // Today's codes with white space around them stay readable at any length.
    const std::string spaced = std::string(10'000, ' ') + "#FF8000" + std::string(10'000, '\n');
    EXPECT_EQ(Pasted(spaced, ccfDelphi), (TReading{true, Orange, ccfHTMLCSS, true}));
    const std::string cssSpaced = std::string(MaxPastedCodeLength, ' ') + "rgb(255 128 0)";
    EXPECT_FALSE(Pasted(cssSpaced, ccfHTMLCSS).Valid);
}

} // namespace
