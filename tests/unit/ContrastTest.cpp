#include "color/Contrast.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <string>

namespace {

constexpr TColor Black = 0x000000;
constexpr TColor White = 0xFFFFFF;

// The luminance as WCAG 2 writes it, with its own threshold 0.03928 for the
// linear segment, independent of the program's code.
double WcagLuminance(TColor color)
{
    const auto linear = [](unsigned component) {
        const double c = component / 255.0;
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    const auto value = static_cast<std::uint32_t>(color);
    return 0.2126 * linear(value & 0xFF) + 0.7152 * linear((value >> 8) & 0xFF) + 0.0722 * linear((value >> 16) & 0xFF);
}

TEST(Contrast, RatiosOfPublishedPairs)
{
    const struct {
        TColor Foreground;
        double Ratio; // as published, to two decimals
        const char* Shown;
    } pairs[] = {
        {Black, 21.0, "21.00:1"},   {0x777777, 4.48, "4.47:1"}, // 4.478...: cut off, not rounded up
        {0x767676, 4.54, "4.54:1"},                             // the lightest gray that passes AA on white
        {0x0000FF, 4.00, "3.99:1"},                             // pure red, 3.9985...
        {0xFF0000, 8.59, "8.59:1"},                             // pure blue
        {0x008000, 5.14, "5.13:1"},                             // CSS green, 5.1374...
        {White, 1.0, "1.00:1"},
    };
    for (const auto& pair : pairs) {
        SCOPED_TRACE(pair.Shown);
        const double ratio = ContrastRatio(pair.Foreground, White);
        EXPECT_NEAR(ratio, pair.Ratio, 0.005);
        EXPECT_EQ(ContrastRatioText(ratio), pair.Shown);
    }
    // The ends of the scale are exact.
    EXPECT_EQ(ContrastRatio(Black, White), 21.0);
    EXPECT_EQ(ContrastRatio(0x3C8A21, 0x3C8A21), 1.0);
    EXPECT_EQ(RelativeLuminance(White), 1.0);
    EXPECT_EQ(RelativeLuminance(Black), 0.0);
    EXPECT_EQ(RelativeLuminance(0x0000FF), 0.2126);
    EXPECT_EQ(RelativeLuminance(0x00FF00), 0.7152);
    EXPECT_EQ(RelativeLuminance(0xFF0000), 0.0722);
}

TEST(Contrast, TheSrgbAndTheWcagThresholdAgreeOnEvery8BitComponent)
{
    // 10/255 = 0.0392 lies below both 0.03928 and 0.04045, 11/255 = 0.0431
    // above both: no component tells the two apart.
    EXPECT_NEAR(RelativeLuminance(0x0A0A0A), 10 / 255.0 / 12.92, 1e-15);
    EXPECT_NEAR(RelativeLuminance(0x0B0B0B), std::pow((11 / 255.0 + 0.055) / 1.055, 2.4), 1e-15);
    for (int component = 0; component <= 255; ++component) {
        SCOPED_TRACE(component);
        for (const TColor color : {component, component << 8, component << 16, component * 0x010101}) {
            EXPECT_NEAR(RelativeLuminance(color), WcagLuminance(color), 1e-15);
        }
    }
}

TEST(Contrast, TheRatioIsTheSameEitherWayRoundAndIgnoresTheHighByte)
{
    std::mt19937 random(7);
    for (int i = 0; i < 2000; ++i) {
        const auto a = static_cast<TColor>(random() & 0xFFFFFF);
        const auto b = static_cast<TColor>(random() & 0xFFFFFF);
        const double ratio = ContrastRatio(a, b);
        ASSERT_EQ(ratio, ContrastRatio(b, a));
        ASSERT_GE(ratio, 1.0);
        ASSERT_LE(ratio, 21.0);
        ASSERT_EQ(ratio, ContrastRatio(static_cast<TColor>(static_cast<std::uint32_t>(a) | 0xFF000000u), b));
    }
}

TEST(Contrast, EachLevelStartsExactlyAtItsRatio)
{
    const auto below = [](double ratio) { return std::nextafter(ratio, 0.0); };
    const struct {
        double Ratio;
        TContrastLevels Levels; // AA normal, AA large, AAA normal, AAA large
    } rows[] = {
        {1.0, {false, false, false, false}}, {below(3.0), {false, false, false, false}},
        {3.0, {false, true, false, false}},  {below(4.5), {false, true, false, false}},
        {4.5, {true, true, false, true}},    {below(7.0), {true, true, false, true}},
        {7.0, {true, true, true, true}},     {21.0, {true, true, true, true}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Ratio);
        EXPECT_EQ(ContrastLevels(row.Ratio), row.Levels);
    }
}

TEST(Contrast, TheShownRatioIsCutOffAndNeverPassesWhatTheRatioFails)
{
    const auto below = [](double ratio) { return std::nextafter(ratio, 0.0); };
    const std::pair<double, const char*> rows[] = {
        {4.5, "4.50:1"},        {below(4.5), "4.49:1"}, {4.519999, "4.51:1"}, {below(3.0), "2.99:1"},
        {below(7.0), "6.99:1"}, {7.0, "7.00:1"},        {10.005, "10.00:1"},  {below(21.0), "20.99:1"},
    };
    for (const auto& [ratio, shown] : rows) {
        SCOPED_TRACE(shown);
        EXPECT_EQ(ContrastRatioText(ratio), shown);
    }

    // Over real pairs of colors: the shown hundredths h satisfy
    // h <= 100 * ratio < h + 1 exactly, so a text of 4.50 or more (3.00,
    // 7.00) appears exactly when the level passes.
    std::mt19937 random(11);
    for (int i = 0; i < 20000; ++i) {
        const double ratio =
            ContrastRatio(static_cast<TColor>(random() & 0xFFFFFF), static_cast<TColor>(random() & 0xFFFFFF));
        const std::string text = ContrastRatioText(ratio);
        long long whole = 0;
        int hundredths = 0;
        ASSERT_EQ(std::sscanf(text.c_str(), "%lld.%2d:1", &whole, &hundredths), 2) << text;
        const double shown = static_cast<double>(whole * 100 + hundredths);
        ASSERT_GE(std::fma(ratio, 100.0, -shown), 0.0) << text << " for " << ratio;
        ASSERT_LT(std::fma(ratio, 100.0, -(shown + 1.0)), 0.0) << text << " for " << ratio;
        const TContrastLevels levels = ContrastLevels(ratio);
        ASSERT_EQ(levels.AANormalText, shown >= 450) << text;
        ASSERT_EQ(levels.AALargeText, shown >= 300) << text;
        ASSERT_EQ(levels.AAANormalText, shown >= 700) << text;
    }
}

TEST(Contrast, TheHintNamesTheRatioAndEachMarkInTheMarksOrder)
{
    const TContrastTexts texts{"Contrast ratio", "Marks from the left:", "normal text", "large text", "passes",
                               "fails"};
    EXPECT_EQ(ContrastHint(ContrastRatio(0x777777, White), texts), "Contrast ratio: 4.47:1\r\n"
                                                                   "Marks from the left:\r\n"
                                                                   "AA, normal text (4.5:1): fails\r\n"
                                                                   "AA, large text (3:1): passes\r\n"
                                                                   "AAA, normal text (7:1): fails\r\n"
                                                                   "AAA, large text (4.5:1): fails");
    EXPECT_EQ(ContrastHint(21.0, texts), "Contrast ratio: 21.00:1\r\n"
                                         "Marks from the left:\r\n"
                                         "AA, normal text (4.5:1): passes\r\n"
                                         "AA, large text (3:1): passes\r\n"
                                         "AAA, normal text (7:1): passes\r\n"
                                         "AAA, large text (4.5:1): passes");
}

} // namespace
