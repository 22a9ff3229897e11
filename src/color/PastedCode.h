#pragma once

// What paste makes of a text: every code StrToColor reads keeps exactly the
// result it has there; only a text it turns down is tried against the forms
// people also copy: the same code or any of the following with a semicolon
// after it, a CSS color (CssColor.h), or a Visual Basic hexadecimal literal
// with its type character ("&H0080FF&").

#include "color/ColorFunctions.h"
#include "color/CssColor.h"

#include <optional>
#include <string_view>

// As StrToColor: format is the one to assume and becomes the format the
// text was written in; valid and hasPrefix as there. A CSS color gives the
// HTML/CSS format with its prefix, a Visual Basic literal the Visual Basic
// format with its prefix. A text of none of the forms leaves format, valid
// and hasPrefix as StrToColor left them, and gives 0x1FFFFFFF. So does a
// text longer than MaxPastedCodeLength, which is not read beyond what
// StrToColor takes from it. outsideSrgb, where given, tells whether the text
// was a CSS color outside sRGB, brought into it by gamut mapping.
TColor PastedCodeToColor(std::string_view text, TColorCodeFormat& format, bool& valid, bool& hasPrefix,
                         bool* outsideSrgb = nullptr);

// No code is longer (CssColor.h).
inline constexpr std::size_t MaxPastedCodeLength = MaxCssColorLength;

// "&H" (or "&h"), hexadecimal digits in the order blue, green, red as
// Visual Basic reads them, and a type character of a type of at least 32
// bits: "&" (Long), "L", "I", "UI" or "UL", in either case. The 16-bit types
// ("%", which is 16-bit in VB6 and 32-bit in VB.NET, "S", "US") are not
// taken. Nothing for anything else or for a value above &HFFFFFF.
std::optional<TColor> VisualBasicLiteralToColor(std::string_view text);
