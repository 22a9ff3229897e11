#pragma once

// The color spaces of CSS Color 4 and the conversions between them, in
// double precision with the matrices and constants CSS publishes: sRGB and
// display-p3 with the sRGB transfer function, rec2020 with its own, XYZ
// with a D65 white (sRGB, display-p3, rec2020, OKLab) or a D50 white (Lab,
// reached by the Bradford adaptation). Channels of RGB spaces are 0..1;
// Lab's L is 0..100, OKLab's 0..1; hues are in degrees.

#include "color/ColorFunctions.h"

#include <array>

using TTriple = std::array<double, 3>;

TTriple SrgbToLinear(const TTriple& rgb);
TTriple LinearToSrgb(const TTriple& linear);
// The linear value of an 8-bit sRGB channel, from a table.
double SrgbChannelToLinear(int channel);
TTriple Rec2020ToLinear(const TTriple& rgb);

TTriple LinearSrgbToXyzD65(const TTriple& linear);
TTriple XyzD65ToLinearSrgb(const TTriple& xyz);
TTriple LinearP3ToXyzD65(const TTriple& linear);
TTriple XyzD65ToLinearP3(const TTriple& xyz);
TTriple LinearRec2020ToXyzD65(const TTriple& linear);
TTriple XyzD65ToXyzD50(const TTriple& xyz);
TTriple XyzD50ToXyzD65(const TTriple& xyz);
TTriple XyzD65ToOklab(const TTriple& xyz);
TTriple OklabToXyzD65(const TTriple& lab);
TTriple XyzD50ToLab(const TTriple& xyz);
TTriple LabToXyzD50(const TTriple& lab);
// (L, a, b) to (L, C, h) and back; h in 0..360.
TTriple LabToPolar(const TTriple& lab);
TTriple PolarToLab(const TTriple& lch);

// The CSS hsl() and hwb() conversions; saturation, whiteness and blackness
// 0..1.
TTriple HslToSrgb(double hue, double saturation, double lightness);
TTriple HwbToSrgb(double hue, double whiteness, double blackness);
// (h, s, l) and (h, w, b) of an sRGB color, h in 0..360.
TTriple SrgbToHsl(const TTriple& rgb);
TTriple SrgbToHwb(const TTriple& rgb);

// The linear sRGB values of a color, and the OKLab of linear sRGB.
TTriple ColorToLinearSrgb(TColor color);
TTriple LinearSrgbToOklab(const TTriple& linear);
TTriple OklabToLinearSrgb(const TTriple& lab);

// An sRGB color brought into the sRGB gamut by the CSS gamut-mapping
// algorithm (chroma reduction in OKLCH until the clipped color lies within
// a deltaEOK of 0.02), then rounded to 8 bits.
struct TMappedColor {
    TColor Color = 0;
    // The color lay outside sRGB by more than rounding to 8 bits absorbs.
    bool OutsideSrgb = false;
};
TMappedColor SrgbToColor(const TTriple& rgb);
TMappedColor LinearSrgbToColor(const TTriple& linear);
