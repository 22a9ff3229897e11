#include "color/RecentColors.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

void TRecentColors::Add(TColor color)
{
    if (color < 0 || color > 0xFFFFFF)
        return;
    // Rotated to the front in place: no element is made or freed once the
    // list is full.
    auto found = std::find(FColors.begin(), FColors.end(), color);
    if (found == FColors.end()) {
        if (FColors.size() < MaxRecentColors)
            FColors.push_back(color);
        else
            FColors.back() = color;
        found = FColors.end() - 1;
    }
    std::rotate(FColors.begin(), found, found + 1);
}

std::string CssHexCode(TColor color)
{
    const TRGB rgb = ColorToRGB(color);
    char code[8];
    std::snprintf(code, sizeof code, "#%02x%02x%02x", rgb.R, rgb.G, rgb.B);
    return code;
}

std::string CssCustomPropertiesText(std::span<const TColor> colors)
{
    std::string text;
    int number = 0;
    for (const TColor color : colors)
        text += "--color-" + std::to_string(++number) + ": " + CssHexCode(color) + ";\r\n";
    return text;
}

std::string GimpPaletteText(std::span<const TColor> colors)
{
    std::string text = "GIMP Palette\r\nName: Vesk Color Picker\r\n#\r\n";
    for (const TColor color : colors) {
        const TRGB rgb = ColorToRGB(color);
        char line[16];
        std::snprintf(line, sizeof line, "%3d %3d %3d\t", rgb.R, rgb.G, rgb.B);
        text += line + CssHexCode(color) + "\r\n";
    }
    return text;
}

bool TPickCounter::Add(TColor color) noexcept
{
    const auto seen = FSeen.begin() + std::min<std::ptrdiff_t>(FCount, std::ssize(FSeen));
    if (std::find(FSeen.begin(), seen, color) != seen)
        return false;
    FSeen[static_cast<std::size_t>(FCount) % FSeen.size()] = color;
    ++FCount;
    return true;
}
