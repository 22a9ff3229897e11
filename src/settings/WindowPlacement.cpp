#include "settings/WindowPlacement.h"

#include <algorithm>
#include <limits>

namespace {

// Sums of a stored coordinate and a size can pass the 32-bit range (a
// coordinate of 2147483000 is as valid a file value as any), so the clamps
// work in 64 bits and only the result is narrowed.
std::int32_t Narrow(std::int64_t value)
{
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
}

// The four clamps in this order: the upper ones first, so a window larger
// than the area ends up at the area's bottom and right edges.
TScreenPoint ClampToArea(TScreenPoint position, TWindowSize window, const TScreenRect& area)
{
    std::int64_t top = position.Y;
    std::int64_t left = position.X;
    if (top < area.Top)
        top = area.Top;
    if (left < area.Left)
        left = area.Left;
    if (top + window.Height > area.Bottom)
        top = std::int64_t{area.Bottom} - window.Height;
    if (left + window.Width > area.Right)
        left = std::int64_t{area.Right} - window.Width;
    return {Narrow(left), Narrow(top)};
}

// Distance along one axis from a coordinate to the nearest pixel of
// [low, high).
double AxisDistance(std::int32_t value, std::int32_t low, std::int32_t high)
{
    if (value < low)
        return static_cast<double>(std::int64_t{low} - value);
    if (value >= high)
        return static_cast<double>(std::int64_t{value} - (std::int64_t{high} - 1));
    return 0.0;
}

} // namespace

// As MonitorFromPoint with MONITOR_DEFAULTTONEAREST: the monitor that holds
// the point, otherwise the one at the smallest distance; on a tie the one
// listed first. A monitor holding the point is at distance 0, so one search
// covers both cases.
const TMonitorArea* NearestMonitor(std::span<const TMonitorArea> monitors, TScreenPoint point)
{
    const TMonitorArea* nearest = nullptr;
    double nearestDistance = 0.0;
    for (const TMonitorArea& monitor : monitors) {
        const double dx = AxisDistance(point.X, monitor.Monitor.Left, monitor.Monitor.Right);
        const double dy = AxisDistance(point.Y, monitor.Monitor.Top, monitor.Monitor.Bottom);
        const double distance = dx * dx + dy * dy;
        if (!nearest || distance < nearestDistance) {
            nearest = &monitor;
            nearestDistance = distance;
        }
    }
    return nearest;
}

std::optional<TScreenPoint> RestoredWindowPosition(const TStoredPosition& stored, TWindowSize window,
                                                   const TScreenRect& desktop, const TNearestWorkArea& nearestWorkArea)
{
    if (!stored.SectionHasKeys || stored.Top == NoStoredCoordinate || stored.Left == NoStoredCoordinate)
        return std::nullopt;
    TScreenPoint position = ClampToArea({stored.Left, stored.Top}, window, desktop);
    // The monitor is chosen by the corner already inside the desktop, so a
    // position on a removed monitor finds the monitor closest to where the
    // window now is.
    if (const auto workArea = nearestWorkArea(position))
        position = ClampToArea(position, window, *workArea);
    return position;
}

// Halves round toward zero, so a window larger than the area overhangs both
// sides by the same amount give or take a pixel.
TScreenPoint CenteredWindowPosition(TWindowSize window, const TScreenRect& area)
{
    const std::int64_t left = area.Left + (std::int64_t{area.Right} - area.Left - window.Width) / 2;
    const std::int64_t top = area.Top + (std::int64_t{area.Bottom} - area.Top - window.Height) / 2;
    return {Narrow(left), Narrow(top)};
}

TScreenRect WorkspaceToScreen(const TScreenRect& rect, const TMonitorArea& monitor)
{
    // The workspace's origin is the primary work area's corner, which lies
    // as far from the primary monitor's corner as this area from its own.
    const std::int32_t dx = monitor.WorkArea.Left - monitor.Monitor.Left;
    const std::int32_t dy = monitor.WorkArea.Top - monitor.Monitor.Top;
    return {rect.Left + dx, rect.Top + dy, rect.Right + dx, rect.Bottom + dy};
}
