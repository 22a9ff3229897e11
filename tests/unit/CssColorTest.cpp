#include "color/CssColor.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <optional>
#include <string>

namespace {

// "R 255, G 128, B 0" for a color, "none" for no color: a failure shows the
// channels, where the byte order goes wrong.
std::string Described(std::optional<TColor> color)
{
    if (!color)
        return "none";
    const TRGB rgb = ColorToRGB(*color);
    char text[48];
    std::snprintf(text, sizeof text, "R %d, G %d, B %d", rgb.R, rgb.G, rgb.B);
    return text;
}

std::string Rgb(int r, int g, int b)
{
    return Described(RGBToColor(r, g, b));
}

struct TCase {
    const char* Text;
    std::string Expected;
};

void Check(const TCase& row)
{
    SCOPED_TRACE(row.Text);
    EXPECT_EQ(Described(CssColorToColor(row.Text)), row.Expected);
}

TEST(CssColor, HexForms)
{
    const TCase rows[] = {
        {"#f09", Rgb(255, 0, 153)},
        {"#F09", Rgb(255, 0, 153)},
        {"#ff0099", Rgb(255, 0, 153)},
        {"#FF0099", Rgb(255, 0, 153)},
        {"#f098", Rgb(255, 0, 153)},
        {"#ff009980", Rgb(255, 0, 153)},
        {"#0f08", Rgb(0, 255, 0)},
        {"#fff0", Rgb(255, 255, 255)},
        {"#000", Rgb(0, 0, 0)},
        {"#123", Rgb(0x11, 0x22, 0x33)},
        {"#", "none"},
        {"#f0", "none"},
        {"#f0f0f", "none"},
        {"#f0f0f0f", "none"},
        {"#f0f0f0f0f", "none"},
        {"#ggg", "none"},
        {"##fff", "none"},
        {"#ff 00 99", "none"},
        {"f09", "none"},
    };
    for (const TCase& row : rows)
        Check(row);
}

TEST(CssColor, RgbInItsCommaAndSpaceForms)
{
    const TCase rows[] = {
        // The same orange every way CSS writes it.
        {"rgb(255, 128, 0)", Rgb(255, 128, 0)},
        {"rgb(255,128,0)", Rgb(255, 128, 0)},
        {"rgb( 255 , 128 , 0 )", Rgb(255, 128, 0)},
        {"rgb(255 128 0)", Rgb(255, 128, 0)},
        {"rgb(255\t128\n0)", Rgb(255, 128, 0)},
        {"rgb(255 128 0 / 50%)", Rgb(255, 128, 0)},
        {"rgb(255 128 0/0.5)", Rgb(255, 128, 0)},
        {"rgba(255, 128, 0, 0.5)", Rgb(255, 128, 0)},
        {"rgba(255 128 0)", Rgb(255, 128, 0)},
        {"RGB(255, 128, 0)", Rgb(255, 128, 0)},
        {"rgb(100%, 50%, 0%)", Rgb(255, 128, 0)},
        {"rgb(100% 50% 0% / 0.25)", Rgb(255, 128, 0)},
        {"rgb(255 50% 0)", Rgb(255, 128, 0)}, // the space form may mix
        {"rgb(2.55e2 1.28E+2 0e0)", Rgb(255, 128, 0)},
        {"rgb(+255 128 -0)", Rgb(255, 128, 0)},
        {"rgb(none 128 0)", Rgb(0, 128, 0)},
        {"rgb(255 128 0 / none)", Rgb(255, 128, 0)},
        // Out of range: clamped.
        {"rgb(300, -20, 0)", Rgb(255, 0, 0)},
        {"rgb(120% -5% 1e9%)", Rgb(255, 0, 255)},
        {"rgb(1e999999999 0 0)", Rgb(255, 0, 0)},
        // Not CSS.
        {"rgb(255, 50%, 0)", "none"}, // the comma form does not mix
        {"rgb(255 128, 0)", "none"},
        {"rgb(255, 128 0)", "none"},
        {"rgb(255, 128, 0 / 0.5)", "none"},
        {"rgb(255 128 0, 0.5)", "none"},
        {"rgb(none, 128, 0)", "none"},
        {"rgb(255 128)", "none"},
        {"rgb(255 128 0 0)", "none"},
        {"rgb(1, 2, 3, 4, 5)", "none"},
        {"rgb(255 128 0 /)", "none"},
        {"rgb(255 128 0 / 1 / 1)", "none"},
        {"rgb(255 128 0 / 50deg)", "none"},
        {"rgb(255px 128 0)", "none"},
        {"rgb(255. 128 0)", "none"},
        {"rgb(. 128 0)", "none"},
        {"rgb (255 128 0)", "none"},
        {"rgb(255 128 0", "none"},
        {"rgb(255 128 0))", "none"},
        {"rgb((255 128 0)", "none"},
        {"rgb()", "none"},
        {"rgbb(255 128 0)", "none"},
        {"rgb(red)", "none"},
    };
    for (const TCase& row : rows)
        Check(row);
}

TEST(CssColor, NumbersAndPercentagesRoundHalvesUpFromTheirExactValue)
{
    const TCase rows[] = {
        // 255 p / 100 ends in exactly .5 at 10, 30, 50, 70 and 90 percent.
        {"rgb(10% 30% 50%)", Rgb(26, 77, 128)},
        {"rgb(70% 90% 0%)", Rgb(179, 230, 0)},
        {"rgb(127.5 0.5 254.5)", Rgb(128, 1, 255)},
        {"rgb(127.4999 0.4999999 254.499999)", Rgb(127, 0, 254)},
        // A double would read these as 50 and 127.5 and round up; the
        // seventh decimal and beyond are dropped instead.
        {"rgb(49.99999999999999999% 127.49999999999999999 0)", Rgb(127, 127, 0)},
        {"rgb(50.0000001% 0 0)", Rgb(128, 0, 0)},
        {"rgb(0.196078% 0.196079% 0)", Rgb(0, 1, 0)}, // 0.49999... and 0.50000...
        {"rgb(.5 5e-1 0.05e1)", Rgb(1, 1, 1)},
    };
    for (const TCase& row : rows)
        Check(row);
}

TEST(CssColor, HslInItsCommaAndSpaceForms)
{
    const TCase rows[] = {
        {"hsl(30, 100%, 50%)", Rgb(255, 128, 0)},
        {"hsl(30deg 100% 50%)", Rgb(255, 128, 0)},
        {"hsla(30, 100%, 50%, 0.5)", Rgb(255, 128, 0)},
        {"hsl(30 100% 50% / 50%)", Rgb(255, 128, 0)},
        {"HSL(30DEG 100% 50%)", Rgb(255, 128, 0)},
        {"hsl(30 100 50)", Rgb(255, 128, 0)}, // the space form takes numbers as percent
        // The hues of the CSS examples.
        {"hsl(0 100% 50%)", Rgb(255, 0, 0)},
        {"hsl(60 100% 50%)", Rgb(255, 255, 0)},
        {"hsl(120deg 100% 50%)", Rgb(0, 255, 0)},
        {"hsl(120deg 100% 25%)", Rgb(0, 128, 0)},
        {"hsl(120deg 100% 75%)", Rgb(128, 255, 128)},
        {"hsl(120deg 75% 75%)", Rgb(143, 239, 143)},
        {"hsl(120deg 50% 50%)", Rgb(64, 191, 64)},
        {"hsl(180 100% 50%)", Rgb(0, 255, 255)},
        {"hsl(240 100% 50%)", Rgb(0, 0, 255)},
        {"hsl(300 100% 50%)", Rgb(255, 0, 255)},
        {"hsl(15 100% 50%)", Rgb(255, 64, 0)},
        {"hsl(0 0% 50%)", Rgb(128, 128, 128)},
        {"hsl(none 0% 50%)", Rgb(128, 128, 128)},
        {"hsl(0 0% 100%)", Rgb(255, 255, 255)},
        {"hsl(0 0% 0%)", Rgb(0, 0, 0)},
        // Angles in every unit; hues wrap around the circle.
        {"hsl(0.5turn 100% 50%)", Rgb(0, 255, 255)},
        {"hsl(200grad 100% 50%)", Rgb(0, 255, 255)},
        {"hsl(3.14159265358979rad 100% 50%)", Rgb(0, 255, 255)},
        {"hsl(-120 100% 50%)", Rgb(0, 0, 255)},
        {"hsl(480 100% 50%)", Rgb(0, 255, 0)},
        {"hsl(-0.5turn 100% 50%)", Rgb(0, 255, 255)},
        {"hsl(3.6e20deg 100% 50%)", Rgb(255, 0, 0)},
        {"hsl(-1e-9 100% 50%)", Rgb(255, 0, 0)},
        // Saturation and lightness clamped.
        {"hsl(30 150% 50%)", Rgb(255, 128, 0)},
        {"hsl(30 -10% 50%)", Rgb(128, 128, 128)},
        {"hsl(30 100% 120%)", Rgb(255, 255, 255)},
        // Not CSS.
        {"hsl(30, 100, 50)", "none"}, // the comma form wants percentages
        {"hsl(30%, 100%, 50%)", "none"},
        {"hsl(30px 100% 50%)", "none"},
        {"hsl(none, 100%, 50%)", "none"},
        {"hsl(30 100% 50%, 1)", "none"},
        {"hsl(30deg 100%)", "none"},
        {"hsl(1e999999999rad 100% 50%)", "none"},
    };
    for (const TCase& row : rows)
        Check(row);
}

TEST(CssColor, HslMatchesTheCssConversionOverAGridOfValues)
{
    // The CSS conversion in double precision, as its reference code is
    // written; on this grid no channel lies near a half, where the exact
    // arithmetic and double precision could part.
    const auto reference = [](double hue, double saturation, double lightness) {
        const auto f = [&](double n) {
            const double k = std::fmod(n + hue / 30, 12);
            const double a = saturation * std::min(lightness, 1 - lightness);
            return lightness - a * std::max(-1.0, std::min({k - 3, 9 - k, 1.0}));
        };
        return std::array<double, 3>{f(0) * 255, f(8) * 255, f(4) * 255};
    };
    int compared = 0;
    for (int hue = 0; hue < 360; hue += 7) {
        for (int saturation = 0; saturation <= 100; saturation += 9) {
            for (int lightness = 0; lightness <= 100; lightness += 11) {
                const auto channels = reference(hue, saturation / 100.0, lightness / 100.0);
                int rounded[3];
                bool nearHalf = false;
                for (int i = 0; i < 3; ++i) {
                    const double fraction =
                        channels[static_cast<std::size_t>(i)] - std::floor(channels[static_cast<std::size_t>(i)]);
                    nearHalf = nearHalf || std::abs(fraction - 0.5) < 1e-9;
                    rounded[i] = static_cast<int>(std::floor(channels[static_cast<std::size_t>(i)] + 0.5));
                }
                if (nearHalf)
                    continue;
                const std::string text = "hsl(" + std::to_string(hue) + " " + std::to_string(saturation) + "% "
                                         + std::to_string(lightness) + "%)";
                SCOPED_TRACE(text);
                EXPECT_EQ(Described(CssColorToColor(text)), Rgb(rounded[0], rounded[1], rounded[2]));
                ++compared;
            }
        }
    }
    EXPECT_GT(compared, 1000); // the grid was not skipped
}

TEST(CssColor, NamedColors)
{
    const TCase rows[] = {
        {"rebeccapurple", Rgb(102, 51, 153)},
        {"RebeccaPurple", Rgb(102, 51, 153)},
        {"ORANGE", Rgb(255, 165, 0)},
        {"gray", Rgb(128, 128, 128)},
        {"grey", Rgb(128, 128, 128)},
        {"green", Rgb(0, 128, 0)},
        {"lime", Rgb(0, 255, 0)},
        {"aliceblue", Rgb(240, 248, 255)},
        {"yellowgreen", Rgb(154, 205, 50)},
        {"navy", Rgb(0, 0, 128)},
        {"transparent", "none"},
        {"currentcolor", "none"},
        {"orange red", "none"},
        {"orangered2", "none"},
        {"", "none"},
        {"ora", "none"},
    };
    for (const TCase& row : rows)
        Check(row);

    // The table: sorted for the search, every name lower case and found in
    // any case with its own value.
    const auto names = CssNamedColors();
    for (std::size_t i = 0; i < names.size(); ++i) {
        const TNamedColor& named = names[i];
        SCOPED_TRACE(std::string(named.Name));
        if (i > 0) {
            EXPECT_LT(names[i - 1].Name, named.Name);
        }
        std::string upper(named.Name);
        for (char& c : upper)
            c = static_cast<char>(c - 'a' + 'A');
        EXPECT_EQ(Described(CssColorToColor(upper)),
                  Rgb(static_cast<int>(named.Rgb >> 16), static_cast<int>((named.Rgb >> 8) & 0xFF),
                      static_cast<int>(named.Rgb & 0xFF)));
    }
}

} // namespace
