#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/Exception.h"

// One color as 0x00BBGGRR, red in the low byte. Signed, because the Windows
// color reference code prints it as a signed 32-bit number.
using TColor = std::int32_t;

enum TColorSpace : std::uint8_t { csRGB, csHLS, csCMY, csCMYK };

enum TColorCodeFormat : std::uint8_t { ccfHTMLCSS, ccfDelphi, ccfCpp, ccfVisualBasic, ccfWindowsColorReference };

inline constexpr int RGBMAX = 255;
inline constexpr int HLSMAX = 240;
inline constexpr int UndefinedHue = 160;

// StrToColor's result for text that is not a color code.
inline constexpr TColor InvalidColor = 0x1FFFFFFF;

// Indexed by TColorCodeFormat; shared by ColorToStr and StrToColor.
inline constexpr std::array<std::string_view, 5> ColorCodePrefixes{"#", "$", "0x", "&H", ""};

class EInvalidInputColorFunctions : public Exception {
public:
    explicit EInvalidInputColorFunctions(const std::string& functionName);
};

struct TRGB {
    int R, G, B;
    bool operator==(const TRGB&) const = default;
};

struct THLS {
    int H, L, S;
    bool operator==(const THLS&) const = default;
};

struct TCMY {
    int C, M, Y;
    bool operator==(const TCMY&) const = default;
};

struct TCMYK {
    int C, M, Y, K;
    bool operator==(const TCMYK&) const = default;
};

TColor RGBToColor(int r, int g, int b);
TColor HLSToColor(int h, int l, int s);
TColor CMYToColor(int c, int m, int y);
TColor CMYKToColor(int c, int m, int y, int k);

TRGB ColorToRGB(TColor color);
THLS ColorToHLS(TColor color);
TCMY ColorToCMY(TColor color);
TCMYK ColorToCMYK(TColor color);

std::string ColorToStr(TColor color, TColorCodeFormat format, bool uppercase, bool withPrefix);
TColor StrToColor(std::string_view text, TColorCodeFormat& format, bool& valid, bool& hasPrefix);
bool TryStrToInt(std::string_view text, std::int32_t& value);

TColor InverseColor(TColor color);
TColor ComplementaryColor(TColor color);
TColor GrayscaledColor(TColor color);
TColor DesaturatedColor(TColor color);
TColor RandomColor();
void RandomizeColorGenerator(std::uint64_t seed);
