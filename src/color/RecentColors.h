#pragma once

// The colors the user picked with the eye dropper, pasted or copied, newest
// first, each once; and the texts that take them out of the program as a
// palette.

#include "color/ColorFunctions.h"

#include <array>
#include <cstddef>
#include <span>
#include <string>
#include <vector>

inline constexpr std::size_t MaxRecentColors = 16;

class TRecentColors {
public:
    TRecentColors() { FColors.reserve(MaxRecentColors); }

    // Newest first.
    std::span<const TColor> Colors() const noexcept { return FColors; }
    bool Empty() const noexcept { return FColors.empty(); }
    std::size_t Size() const noexcept { return FColors.size(); }

    // Puts the color in front; where it was already in the list it leaves its
    // old place, and beyond the limit the oldest goes. Values that are not a
    // color (outside 0..0xFFFFFF) are refused.
    void Add(TColor color);
    void Clear() noexcept { FColors.clear(); }

    friend bool operator==(const TRecentColors&, const TRecentColors&) = default;

private:
    std::vector<TColor> FColors;
};

// The "#rrggbb" code of a style sheet, in lower case, whatever the output
// format: the palette texts are for other programs, not for the code label.
std::string CssHexCode(TColor color);

// "--color-1: #3366cc;" a line, newest first; lines end with CR LF.
std::string CssCustomPropertiesText(std::span<const TColor> colors);
// A GIMP palette: its header, then "R G B name" a line, each named by its
// code; lines end with CR LF.
std::string GimpPaletteText(std::span<const TColor> colors);

// How many different colors one dropper run has added: the same color added
// twice in a run counts once. Keeps its memory in place, as it counts during
// the run.
class TPickCounter {
public:
    // True when the color is new to this run.
    bool Add(TColor color) noexcept;
    int Count() const noexcept { return FCount; }

private:
    // The most recent distinct colors; the list holds no more anyway.
    std::array<TColor, MaxRecentColors> FSeen{};
    int FCount = 0;
};
