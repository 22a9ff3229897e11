// libFuzzer target: any bytes as the stored value of the recent colors. The
// list read from it holds at most 16 colors, each a color and each once, and
// writing it back and reading that again gives the same list.

#include "settings/Settings.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view value(reinterpret_cast<const char*>(data), size);
    const TRecentColors colors = ParseRecentColorsValue(value);
    const auto list = colors.Colors();
    if (list.size() > MaxRecentColors)
        std::abort();
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (list[i] < 0 || list[i] > 0xFFFFFF)
            std::abort();
        if (std::find(list.begin() + static_cast<std::ptrdiff_t>(i) + 1, list.end(), list[i]) != list.end())
            std::abort();
    }
    if (!(ParseRecentColorsValue(RecentColorsValue(colors)) == colors))
        std::abort();
    return 0;
}
