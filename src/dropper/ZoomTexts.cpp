#include "dropper/ZoomTexts.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <system_error>

namespace {

std::string SettingCaption(std::string_view text, int value, std::string_view unit)
{
    std::string caption(text);
    caption += " = ";
    caption += std::to_string(value);
    caption += unit;
    return caption;
}

TShortText Pair(std::string_view label, std::int64_t x, std::int64_t y)
{
    TShortText caption;
    caption += label;
    caption += " = [";
    caption += x;
    caption += ", ";
    caption += y;
    caption += "]";
    return caption;
}

} // namespace

TShortText& TShortText::operator+=(std::string_view text) noexcept
{
    const std::size_t count = std::min(text.size(), Capacity - FSize);
    std::copy_n(text.data(), count, FText.data() + FSize);
    FSize += count;
    return *this;
}

TShortText& TShortText::operator+=(std::int64_t number) noexcept
{
    const auto result = std::to_chars(FText.data() + FSize, FText.data() + Capacity, number);
    if (result.ec == std::errc())
        FSize = static_cast<std::size_t>(result.ptr - FText.data());
    return *this;
}

TShortText RGBCaption(TColor color)
{
    const TRGB rgb = ColorToRGB(color);
    TShortText caption;
    caption += "RGB = (";
    caption += rgb.R;
    caption += ", ";
    caption += rgb.G;
    caption += ", ";
    caption += rgb.B;
    caption += ")";
    return caption;
}

TShortText ScreenCaption(TScreenPoint screenPoint)
{
    return Pair("Screen", screenPoint.X, screenPoint.Y);
}

// The offset equals the screen position exactly when the monitor's corner is
// at (0, 0), the primary monitor; repeating the same numbers would only be
// noise there.
TShortText MonitorCaption(TScreenPoint screenPoint, const TScreenRect& monitor)
{
    const std::int64_t x = std::int64_t{screenPoint.X} - monitor.Left;
    const std::int64_t y = std::int64_t{screenPoint.Y} - monitor.Top;
    if (x == screenPoint.X && y == screenPoint.Y) {
        TShortText caption;
        caption += "Monitor = -- ditto --";
        return caption;
    }
    return Pair("Monitor", x, y);
}

std::string ZoomFactorCaption(std::string_view sZoomFactor, int zoomFactor)
{
    return SettingCaption(sZoomFactor, zoomFactor, "x");
}

std::string SourceSizeCaption(std::string_view sSourceSize, int sourceSize)
{
    return SettingCaption(sSourceSize, sourceSize, "px");
}

std::string SampleSizeCaption(std::string_view sSampleSize, int sampleSize)
{
    return SettingCaption(sSampleSize, sampleSize, "px");
}

std::string MouseSpeedCaption(std::string_view sMouseSpeed, int mouseSpeed)
{
    return SettingCaption(sMouseSpeed, mouseSpeed, "/20");
}
