#include "color/CssColorForms.h"
#include "color/CssColor.h"
#include "color/CssColorSpaces.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

const char* CssFormName(TCssForm form)
{
    constexpr const char* Names[] = {"hex", "rgb", "hsl", "hwb", "lab", "lch", "oklab", "oklch", "displayp3"};
    return Names[static_cast<std::size_t>(form)];
}

// Test names and failures name the form, not its byte.
void PrintTo(TCssForm form, std::ostream* os)
{
    *os << CssFormName(form);
}

namespace {

std::string Hex(std::optional<TColor> color)
{
    return color ? CssFormText(*color, TCssForm::Hex, true) : "none";
}

TColor Rgb(int r, int g, int b)
{
    return RGBToColor(r, g, b);
}

TEST(CssColorForms, ReferenceValuesBothWays)
{
    // Published values of the CSS primaries and white in each space (the
    // CSS Color 4 conversions as color.js and the browsers print them),
    // cut to our decimals; each text also reads back as its color.
    const struct {
        TColor Color;
        TCssForm Form;
        const char* Text;
    } rows[] = {
        {Rgb(255, 0, 0), TCssForm::Hex, "#FF0000"},
        {Rgb(255, 128, 0), TCssForm::Rgb, "rgb(255 128 0)"},
        {Rgb(255, 0, 0), TCssForm::Hsl, "hsl(0 100% 50%)"},
        {Rgb(0, 128, 0), TCssForm::Hsl, "hsl(120 100% 25.1%)"},
        {Rgb(255, 128, 0), TCssForm::Hsl, "hsl(30.1 100% 50%)"},
        {Rgb(128, 128, 128), TCssForm::Hsl, "hsl(none 0% 50.2%)"},
        {Rgb(0, 0, 255), TCssForm::Hwb, "hwb(240 0% 0%)"},
        {Rgb(255, 255, 255), TCssForm::Hwb, "hwb(none 100% 0%)"},
        {Rgb(255, 0, 0), TCssForm::Lab, "lab(54.29 80.8 69.89)"},
        {Rgb(0, 255, 0), TCssForm::Lab, "lab(87.82 -79.27 80.99)"},
        {Rgb(255, 255, 255), TCssForm::Lab, "lab(100 0 0)"},
        {Rgb(255, 0, 0), TCssForm::Lch, "lch(54.29 106.84 40.86)"},
        {Rgb(0, 0, 0), TCssForm::Lch, "lch(0 0 none)"},
        {Rgb(255, 0, 0), TCssForm::Oklab, "oklab(62.8% 0.22486 0.12585)"},
        {Rgb(255, 0, 0), TCssForm::Oklch, "oklch(62.8% 0.25768 29.23)"},
        {Rgb(0, 255, 0), TCssForm::Oklch, "oklch(86.64% 0.29483 142.5)"},
        {Rgb(0, 0, 255), TCssForm::Oklch, "oklch(45.2% 0.31321 264.05)"},
        {Rgb(255, 255, 255), TCssForm::Oklch, "oklch(100% 0 none)"},
        {Rgb(255, 0, 0), TCssForm::DisplayP3, "color(display-p3 0.9175 0.2003 0.1386)"},
        {Rgb(0, 0, 0), TCssForm::DisplayP3, "color(display-p3 0 0 0)"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Text);
        EXPECT_EQ(CssFormText(row.Color, row.Form, true), row.Text);
        EXPECT_EQ(Hex(CssColorToColor(row.Text)), Hex(row.Color));
    }
    EXPECT_EQ(CssFormText(Rgb(171, 205, 239), TCssForm::Hex, false), "#abcdef");
    EXPECT_EQ(CssFormText(Rgb(171, 205, 239), TCssForm::Hex, true), "#ABCDEF");
}

TEST(CssColorForms, ConversionsMatchTheCssTestSuitesReferences)
{
    // The sRGB values the CSS test suite gives for its Lab and OKLCH test
    // colors, in percent to its printed decimals: an independent check of
    // the matrices, the white points and the Bradford adaptation.
    const auto fromOklch = [](double l, double c, double h) {
        return LinearToSrgb(OklabToLinearSrgb(PolarToLab({l, c, h})));
    };
    const auto fromLab = [](double l, double a, double b) {
        return LinearToSrgb(XyzD65ToLinearSrgb(XyzD50ToXyzD65(LabToXyzD50({l, a, b}))));
    };
    const struct {
        const char* Name;
        TTriple Srgb;
        TTriple Expected; // percent
        double Tolerance; // percent
    } rows[] = {
        // Half the last printed decimal of the OKLCH values; the Lab values
        // come from an older edition of those tests and stand up to 0.01 %
        // (a fortieth of an 8-bit step) from today's matrices.
        {"oklch(80% 0.15 160)", fromOklch(0.8, 0.15, 160), {32.022, 85.805, 61.147}, 0.0005},
        {"oklch(50% 0.2 0)", fromOklch(0.5, 0.2, 0), {70.492, 2.351, 37.073}, 0.0005},
        {"lab(70 0 70)", fromLab(70, 0, 70), {76.62, 66.36, 5.58}, 0.01},
        {"lab(50 50 0)", fromLab(50, 50, 0), {75.62, 30.45, 47.56}, 0.01},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Name);
        for (std::size_t i = 0; i < 3; ++i)
            EXPECT_NEAR(row.Srgb[i] * 100, row.Expected[i], row.Tolerance) << "channel " << i;
    }
    // Green given as OKLCH with its chroma in percent (100% = 0.4).
    EXPECT_EQ(Hex(CssColorToColor("oklch(51.975% 44.215% 142.495)")), "#008000");
}

#if !defined(_WIN32)
// Natively only: the half minute it takes in all is spent again, to no
// purpose, in the Windows test run, where the sampled texts below stand for
// it.
// The all-colors proof: every form's decimals take every color back to
// itself, with no word of a color outside sRGB. The numbers go straight to
// the reader's conversions (CssFormValuesToColor); the sampled texts below
// show those are what the reader makes of the text.
class EveryColor : public testing::TestWithParam<TCssForm> {};

TEST_P(EveryColor, ReadsBackFromItsForm)
{
    const TCssForm form = GetParam();
    int failures = 0;
    for (TColor color = 0; color <= 0xFFFFFF; ++color) {
        const TCssReading reading = CssFormValuesToColor(CssFormValues(color, form));
        if ((reading.Color != color || reading.OutsideSrgb) && ++failures <= 5) {
            ADD_FAILURE() << CssFormText(color, form, true) << " of " << Hex(color) << " reads as "
                          << Hex(reading.Color) << (reading.OutsideSrgb ? " outside sRGB" : "");
        }
    }
    EXPECT_EQ(failures, 0);
}

std::string FormName(const testing::TestParamInfo<TCssForm>& form)
{
    return CssFormName(form.param);
}

// One test per form, a few seconds each.
INSTANTIATE_TEST_SUITE_P(CssColorForms, EveryColor, testing::ValuesIn(CssForms), FormName);
#endif

TEST(CssColorForms, SampledTextsReadAsTheirNumbers)
{
    for (TColor color = 0; color <= 0xFFFFFF; color += 997) {
        for (const TCssForm form : CssForms) {
            const TCssFormValues values = CssFormValues(color, form);
            const std::string text = CssFormText(values, false);
            SCOPED_TRACE(text);
            const std::optional<TCssReading> reading = ReadCssColor(text);
            ASSERT_TRUE(reading);
            EXPECT_EQ(reading->Color, CssFormValuesToColor(values).Color);
            EXPECT_EQ(reading->Color, color);
            // Plain decimals: no exponent, no "-0", no trailing zero.
            if (form != TCssForm::Hex) {
                std::string numbers = text.substr(text.find_first_of("( ") + 1);
                for (const std::string word : {"none", "display-p3"})
                    if (const std::size_t at = numbers.find(word); at != std::string::npos)
                        numbers.erase(at, word.size());
                EXPECT_EQ(numbers.find_first_of("eE"), std::string::npos);
            }
            bool inFraction = false;
            for (std::size_t i = 0; i + 1 < text.size(); ++i) {
                if (text[i] == '-') {
                    EXPECT_TRUE(text[i + 1] != '0' || text[i + 2] == '.');
                }
                inFraction = text[i] == '.' || (inFraction && text[i] >= '0' && text[i] <= '9');
                if (inFraction && (text[i + 1] == ' ' || text[i + 1] == '%' || text[i + 1] == ')')) {
                    EXPECT_NE(text[i], '0');
                }
            }
        }
    }
}

TEST(CssColorForms, ReaderTakesEveryModernForm)
{
    const struct {
        const char* Text;
        const char* Expected;
    } rows[] = {
        {"hwb(120 0% 50%)", "#008000"},
        {"hwb(120deg 0 50)", "#008000"},
        {"hwb(0.5turn 20% 20%)", "#33CCCC"},
        {"hwb(none 60% 60%)", "#808080"}, // whiteness and blackness normalized
        {"HWB(240 0% 0% / 0.5)", "#0000FF"},
        {"lab(54.29% 80.8 69.89)", "#FF0000"},
        {"lab(54.29 64.64% 55.912%)", "#FF0000"},
        {"lab(none none none)", "#000000"},
        {"lab(110 0 0)", "#FFFFFF"}, // lightness clamped
        {"lch(54.29 106.84 0.7131rad)", "#FF0000"},
        {"lch(54.29 71.2267% 45.4grad)", "#FF0000"},
        {"lch(50 -10 90)", "#777777"}, // chroma clamped at 0
        {"oklab(0.628 0.2249 0.1258)", "#FF0000"},
        {"oklab(62.8% 56.2% 31.45%)", "#FF0000"},
        {"oklch(0.628 0.2577 29.23)", "#FF0000"},
        {"oklch(62.8% 0.2577 29.23deg / 50%)", "#FF0000"},
        {"oklch(62.8% 64.42% 0.0812turn)", "#FF0000"},
        {"oklch(50% 0 none)", "#636363"},
        {"color(srgb 1 0.5 0)", "#FF8000"},
        {"color(srgb 100% 50% none)", "#FF8000"},
        {"color(srgb-linear 1 0.21586 0)", "#FF8000"},
        {"color(display-p3 0.9175 0.2003 0.1386)", "#FF0000"},
        {"color(rec2020 0.7919 0.2310 0.0739)", "#FF0000"},
        {"color(xyz-d65 0.4124 0.2126 0.0193)", "#FF0000"},
        {"color(xyz 0.4124 0.2126 0.0193)", "#FF0000"},
        {"color(xyz-d50 0.4361 0.2225 0.0139)", "#FF0000"},
        {"color(xyz-d65 0.9505 1 1.089 / 1)", "#FFFFFF"},
        // Not CSS.
        {"hwb(120, 0%, 50%)", "none"},
        {"lab(50, 10, 10)", "none"},
        {"oklch(50% 0.1)", "none"},
        {"oklch(50% 0.1 10% )", "none"},
        {"lch(50 10deg 10)", "none"},
        {"color(display-p3, 1, 0, 0)", "none"},
        {"color(prophoto 1 0 0)", "none"},
        {"color(1 0 0)", "none"},
        {"color(none 1 0 0)", "none"},
        {"okl(50% 0.1 10)", "none"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Text);
        EXPECT_EQ(Hex(CssColorToColor(row.Text)), row.Expected);
    }
}

TEST(CssColorForms, ColorsOutsideSrgbAreGamutMappedNotClipped)
{
    // Expected values from a separate implementation of CSS Color 4's
    // algorithm (its own matrices from the primaries, the chroma scanned in
    // steps of 2e-6 for the last one within the just-noticeable difference,
    // where the algorithm's binary search stops anywhere within 1e-4 of
    // it): a channel may differ by one.
    const struct {
        const char* Text;
        const char* Expected;
    } rows[] = {
        {"oklch(70% 0.4 150)", "#00C248"},      {"color(display-p3 0 1 0)", "#00FB29"},
        {"color(display-p3 1 0 0)", "#FF0B0B"}, {"color(display-p3 1 1 0)", "#FEFF00"},
        {"oklch(50% 0.3 260)", "#0045FE"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Text);
        const std::optional<TCssReading> reading = ReadCssColor(row.Text);
        ASSERT_TRUE(reading);
        const TRGB got = ColorToRGB(reading->Color);
        const TRGB expected = ColorToRGB(*CssColorToColor(row.Expected));
        EXPECT_LE(std::abs(got.R - expected.R) + std::abs(got.G - expected.G) + std::abs(got.B - expected.B), 1)
            << Hex(reading->Color);
        EXPECT_TRUE(reading->OutsideSrgb);
    }
    // Lightness at the ends gives white and black, however much chroma.
    EXPECT_EQ(Hex(CssColorToColor("oklch(100% 0.4 150)")), "#FFFFFF");
    EXPECT_EQ(Hex(CssColorToColor("oklch(0% 0.4 150)")), "#000000");
    EXPECT_FALSE(ReadCssColor("oklch(62.8% 0.25768 29.23)")->OutsideSrgb);
}

TEST(CssColorForms, TokensRunOnAsCssReadsThem)
{
    const struct {
        const char* Text;
        const char* Expected;
    } rows[] = {
        // A keyword or unit runs on over name characters: one unknown token.
        {"rgba( none156 none)", "none"},
        {"rgb(none 156 none)", "#009C00"},
        {"hsl(120deg-5% 50%)", "none"},
        {"hsl(120deg -5% 50%)", "#808080"},
        {"hsl(120deg_ 50% 50%)", "none"},
        {"oklch(50% 0.1 10deg2)", "none"},
        {"rgb(-none 0 0)", "none"},
        // A value below the smallest double is 0, as it rounds to.
        {"hsl(1e-999rad 100% 50%)", "#FF0000"},
        {"hsl(1e-300rad 100% 50%)", "#FF0000"},
        {"hsl(-1e-999rad 100% 50%)", "#FF0000"},
        {"lab(1e-9999 0 0)", "#000000"},
        {"lab(1e9999 0 0)", "#FFFFFF"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Text);
        EXPECT_EQ(Hex(CssColorToColor(row.Text)), row.Expected);
    }
}

TEST(CssColorForms, TextsLongerThanAnyColorAreTurnedDown)
{
    // Leading zeros make a color as long as wanted.
    const auto padded = [](std::size_t length) {
        const std::string ends = "rgb(1 1 1)";
        return "rgb(" + std::string(length - ends.size(), '0') + "1 1 1)";
    };
    EXPECT_EQ(Hex(CssColorToColor(padded(MaxCssColorLength))), "#010101");
    EXPECT_EQ(Hex(CssColorToColor(padded(MaxCssColorLength + 1))), "none");
}

} // namespace
