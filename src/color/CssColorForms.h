#pragma once

// The CSS forms the program copies a color as ("Copy As"), each with a
// fixed number of decimals per channel: the fewest for which the reader
// (CssColor.h) takes the copied text back to the same 24-bit color, for
// every color (the unit tests go through all of them). A number is written
// with at most its decimals, without trailing zeros, exponent or "-0"; a
// hue that has no effect (no chroma, no saturation, or whiteness and
// blackness filling the color) is written "none", as CSS Color 4 writes a
// missing component.

#include "color/ColorFunctions.h"

#include <array>
#include <cstdint>
#include <string>

enum class TCssForm : std::uint8_t { Hex, Rgb, Hsl, Hwb, Lab, Lch, Oklab, Oklch, DisplayP3 };

inline constexpr std::array<TCssForm, 9> CssForms{TCssForm::Hex,   TCssForm::Rgb,   TCssForm::Hsl,
                                                  TCssForm::Hwb,   TCssForm::Lab,   TCssForm::Lch,
                                                  TCssForm::Oklab, TCssForm::Oklch, TCssForm::DisplayP3};

// A color in one form as its text shows it: each channel an integer count
// of 10^-Decimals of the written number (for "62.8%" 628 with 1 decimal),
// and whether the hue (channel 0 of hsl and hwb, 2 of lch and oklch) is
// written "none".
struct TCssFormValues {
    TCssForm Form = TCssForm::Rgb;
    std::array<std::int64_t, 3> Units{};
    std::array<int, 3> Decimals{};
    bool HueNone = false;
};

TCssFormValues CssFormValues(TColor color, TCssForm form);
// The text of the values: "oklch(62.8% 0.2577 29.23)". Uppercase applies to
// the hexadecimal form only.
std::string CssFormText(const TCssFormValues& values, bool uppercase);
std::string CssFormText(TColor color, TCssForm form, bool uppercase);
