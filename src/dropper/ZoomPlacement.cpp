#include "dropper/ZoomPlacement.h"

#include <algorithm>

namespace {

constexpr int PointerGap = 30;

constexpr int ZoomBoxLeft = 128;
constexpr int LeftColumnHeight = 128 + 153; // values panel's top + height
constexpr int ZoomBoxBorders = 2;

// Distance along one axis from a coordinate to the nearest pixel of
// [low, high); 64 bits, so squares of screen-sized distances stay exact.
std::int64_t AxisDistance(std::int32_t value, std::int32_t low, std::int32_t high)
{
    if (value < low)
        return std::int64_t{low} - value;
    if (value >= high)
        return std::int64_t{value} - (std::int64_t{high} - 1);
    return 0;
}

} // namespace

// A monitor that holds the point is at distance 0, so one search finds it;
// among equally near monitors the first listed wins.
const TScreenRect* MonitorAt(std::span<const TScreenRect> monitors, TScreenPoint point)
{
    const TScreenRect* nearest = nullptr;
    std::int64_t nearestDistance = 0;
    for (const TScreenRect& monitor : monitors) {
        const std::int64_t dx = AxisDistance(point.X, monitor.Left, monitor.Right);
        const std::int64_t dy = AxisDistance(point.Y, monitor.Top, monitor.Bottom);
        const std::int64_t distance = dx * dx + dy * dy;
        if (!nearest || distance < nearestDistance) {
            nearest = &monitor;
            nearestDistance = distance;
        }
    }
    return nearest;
}

int GetZoomSizeBoundary(const TScreenRect& monitor)
{
    const std::int64_t width = std::int64_t{monitor.Right} - monitor.Left;
    const std::int64_t height = std::int64_t{monitor.Bottom} - monitor.Top;
    return static_cast<int>(std::min(width, height) / 2);
}

int ZoomSizeBoundaryAt(std::span<const TScreenRect> monitors, TScreenPoint point)
{
    const TScreenRect* monitor = MonitorAt(monitors, point);
    return monitor ? GetZoomSizeBoundary(*monitor) : 0;
}

// The largest odd So with So * Z <= B. Below 3 when even So = 3 does not fit;
// the source size setter then rejects it. A zoom factor below 1 (a rejected
// stored value) gets no meaningful answer and is given 1, which every
// setter refuses.
int MaxFittingSourceSize(int zoomSizeBoundary, int zoomFactor)
{
    if (zoomFactor < 1) {
        return 1;
    }
    const int a = zoomSizeBoundary / zoomFactor;
    return a % 2 != 0 ? a : a - 1;
}

int ScaleToDpi(int pixels, unsigned dpi)
{
    const std::int64_t product = std::int64_t{pixels} * dpi;
    const std::int64_t half = 96 / 2;
    return static_cast<int>(product >= 0 ? (product + half) / 96 : (product - half) / 96);
}

TWindowSize ZoomWindowSize(int zoomPictureSide, unsigned dpi)
{
    const int zoomBox = std::max(zoomPictureSide, 0) + ZoomBoxBorders;
    return {ScaleToDpi(ZoomBoxLeft, dpi) + zoomBox, std::max(zoomBox, ScaleToDpi(LeftColumnHeight, dpi))};
}

// Vertically centred on the pointer and kept inside the monitor at its top
// and bottom; 30 pixels right of the pointer, or left of it where the window
// would pass the monitor's right edge.
//
// Centring alone puts the window's top at Y - H div 2, and for an odd H with
// the pointer exactly H div 2 above the bottom edge that leaves the window
// one pixel past it; the bottom clamp catches that case too.
//
// A window wider than the room on either side of the pointer (on a monitor
// less than twice as wide as the window plus its gaps, near the middle) would
// pass the monitor's left edge when put to the left: out of the screen, or
// onto the neighbouring monitor, whose pixels the zoom then hides. It stands
// against the edge of the side with more room instead, which keeps the
// pointer uncovered wherever that is possible; a window wider than the monitor
// starts at the monitor's left edge.
TScreenPoint ZoomWindowPosition(TScreenPoint pointer, const TScreenRect& monitor, TWindowSize window)
{
    const std::int64_t x = pointer.X;
    const std::int64_t y = pointer.Y;
    const std::int64_t hh = window.Height / 2;
    std::int64_t top = 0;
    if (y < monitor.Top + hh) {
        top = monitor.Top;
    } else if (y > monitor.Bottom - hh) {
        top = std::int64_t{monitor.Bottom} - window.Height;
    } else {
        top = std::min(y - hh, std::int64_t{monitor.Bottom} - window.Height);
    }
    const std::int64_t rightOfPointer = x + PointerGap;
    const std::int64_t leftOfPointer = x - window.Width - PointerGap;
    std::int64_t left = 0;
    if (rightOfPointer + window.Width <= monitor.Right) {
        left = rightOfPointer;
    } else if (leftOfPointer >= monitor.Left) {
        left = leftOfPointer;
    } else if (window.Width >= std::int64_t{monitor.Right} - monitor.Left) {
        left = monitor.Left;
    } else {
        left = monitor.Right - x >= x - monitor.Left ? std::int64_t{monitor.Right} - window.Width : monitor.Left;
    }
    return {static_cast<std::int32_t>(left), static_cast<std::int32_t>(top)};
}
