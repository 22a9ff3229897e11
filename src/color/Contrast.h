#pragma once

// The contrast of two colors as WCAG 2 measures it for text: the relative
// luminance of each sRGB color, their ratio from 1:1 to 21:1, and the four
// success levels the ratio reaches.

#include "color/ColorFunctions.h"

#include <string>

// The least ratio each level asks for.
inline constexpr double AANormalTextRatio = 4.5;
inline constexpr double AALargeTextRatio = 3.0;
inline constexpr double AAANormalTextRatio = 7.0;
inline constexpr double AAALargeTextRatio = 4.5;

// In the order the window shows them, left to right.
struct TContrastLevels {
    bool AANormalText = false;
    bool AALargeText = false;
    bool AAANormalText = false;
    bool AAALargeText = false;
    bool operator==(const TContrastLevels&) const = default;
};

// 0 for black to 1 for white; bits 24-31 of the color are ignored.
double RelativeLuminance(TColor color);
// (lighter + 0.05) / (darker + 0.05): the same whichever color comes first.
double ContrastRatio(TColor first, TColor second);
// Decided on the ratio as computed, never on its shown, shortened text.
TContrastLevels ContrastLevels(double ratio);
// "4.52:1": two decimals, cut off rather than rounded, so the text never
// reads 4.50 for a ratio below 4.5 and agrees with ContrastLevels.
std::string ContrastRatioText(double ratio);

// The words of the tool tip, from the language file.
struct TContrastTexts {
    std::string ContrastRatio; // "Contrast ratio"
    std::string Marks;         // how to read the marks
    std::string NormalText;    // "normal text"
    std::string LargeText;     // "large text"
    std::string Passes;
    std::string Fails;
};

// The tool tip of the ratio: the ratio, a line on how to read the marks,
// then one line per mark in the marks' order, lines joined by CR LF.
std::string ContrastHint(double ratio, const TContrastTexts& texts);
