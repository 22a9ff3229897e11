#include "dropper/ZoomTexts.h"

#include <cstdint>

namespace {

std::string SettingCaption(std::string_view text, int value, std::string_view unit)
{
    std::string caption(text);
    caption += " = ";
    caption += std::to_string(value);
    caption += unit;
    return caption;
}

std::string Pair(std::string_view label, std::int64_t x, std::int64_t y)
{
    std::string caption(label);
    caption += " = [";
    caption += std::to_string(x);
    caption += ", ";
    caption += std::to_string(y);
    caption += "]";
    return caption;
}

} // namespace

std::string RGBCaption(TColor color)
{
    const TRGB rgb = ColorToRGB(color);
    return "RGB = (" + std::to_string(rgb.R) + ", " + std::to_string(rgb.G) + ", " + std::to_string(rgb.B) + ")";
}

std::string ScreenCaption(TScreenPoint screenPoint)
{
    return Pair("Screen", screenPoint.X, screenPoint.Y);
}

// The offset equals the screen position exactly when the monitor's corner is
// at (0, 0), the primary monitor; repeating the same numbers would only be
// noise there.
std::string MonitorCaption(TScreenPoint screenPoint, const TScreenRect& monitor)
{
    const std::int64_t x = std::int64_t{screenPoint.X} - monitor.Left;
    const std::int64_t y = std::int64_t{screenPoint.Y} - monitor.Top;
    if (x == screenPoint.X && y == screenPoint.Y) {
        return "Monitor = -- ditto --";
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
