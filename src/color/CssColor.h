#pragma once

// Colors written as CSS writes them: "#rgb", "#rgba", "#rrggbb",
// "#rrggbbaa", rgb() and rgba(), hsl() and hsla() in their comma and space
// forms, hwb(), lab(), lch(), oklab() and oklch() in the space form,
// color() in srgb, srgb-linear, display-p3, rec2020, xyz (xyz-d65) and
// xyz-d50, and the 148 named colors. Alpha is read and then ignored. Text is
// split into tokens as CSS splits it: a word or unit runs on over letters,
// digits, "-" and "_", so "none156" is one unknown word.
//
// The forms CSS Color 4 added are computed in double precision
// (CssColorSpaces.h); a color outside sRGB is brought into it by CSS's gamut
// mapping. A number too small for a double counts as 0.
//
// For rgb() and hsl(), numbers are read exactly to six decimal places of
// their unit (further digits are dropped, toward minus infinity); from there
// every step is exact integer arithmetic; the hues of hwb(), lch() and
// oklch() are read the same way. A channel given as a number is rounded
// to the nearest integer, as is 255 times a percentage or the value of an
// hsl() channel, halves up: 50% gives 127.5 and so 128, hsl(30 100% 50%)
// gives #FF8000. Channels, percentages, saturation and lightness outside
// their ranges are clamped into them; a hue wraps around the circle. A hue
// in rad has no exact value in degrees: it is turned into degrees in double
// precision and kept to 1e-7 degree.

#include "color/ColorFunctions.h"
#include "color/CssColorForms.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

// No color is written in more characters than this; a longer text is
// turned down before it is read, so a text of any length costs no more.
inline constexpr std::size_t MaxCssColorLength = 4096;

struct TCssReading {
    TColor Color = 0;
    // The text named a color outside sRGB, which was brought into it (see
    // SrgbToColor in CssColorSpaces.h).
    bool OutsideSrgb = false;
};

// The whole text must be one color; nothing for anything else.
std::optional<TCssReading> ReadCssColor(std::string_view text);
std::optional<TColor> CssColorToColor(std::string_view text);

// The color a text of CssFormText(values) reads as, from the numbers as the
// reader holds them after reading that text: what the unit tests use to
// prove every form's decimals for every color without writing and reading
// 150 million texts.
TCssReading CssFormValuesToColor(const TCssFormValues& values);

struct TNamedColor {
    std::string_view Name; // lower case
    std::uint32_t Rgb;     // 0xRRGGBB, as CSS writes it
};

// Sorted by name.
std::span<const TNamedColor> CssNamedColors();
