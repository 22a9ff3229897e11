#pragma once

// Where the main window opens: the stored position, kept inside the desktop
// and then inside the work area of the nearest monitor. Plain rectangle
// arithmetic; the Windows layer supplies the desktop and the monitors.

#include <cstdint>
#include <functional>
#include <optional>
#include <span>

// Screen pixels; Right and Bottom lie just outside, as in a Windows RECT.
struct TScreenRect {
    std::int32_t Left = 0;
    std::int32_t Top = 0;
    std::int32_t Right = 0;
    std::int32_t Bottom = 0;

    friend bool operator==(const TScreenRect&, const TScreenRect&) = default;
};

struct TScreenPoint {
    std::int32_t X = 0;
    std::int32_t Y = 0;

    friend bool operator==(const TScreenPoint&, const TScreenPoint&) = default;
};

struct TWindowSize {
    std::int32_t Width = 0;
    std::int32_t Height = 0;
};

struct TMonitorArea {
    TScreenRect Monitor;
    TScreenRect WorkArea; // the monitor without the taskbar
};

// The value a coordinate is read with, standing for "not stored".
inline constexpr std::int32_t NoStoredCoordinate = 2147483647;

// What the settings file holds about the window's position.
struct TStoredPosition {
    bool SectionHasKeys = false;
    std::int32_t Top = NoStoredCoordinate;
    std::int32_t Left = NoStoredCoordinate;
};

// The work area of the monitor nearest to a point; nothing without monitors.
using TNearestWorkArea = std::function<std::optional<TScreenRect>(TScreenPoint point)>;

const TMonitorArea* NearestMonitor(std::span<const TMonitorArea> monitors, TScreenPoint point);

// The window's top-left corner, or nothing when it is to be centred.
std::optional<TScreenPoint> RestoredWindowPosition(const TStoredPosition& stored, TWindowSize window,
                                                   const TScreenRect& desktop, const TNearestWorkArea& nearestWorkArea);

TScreenPoint CenteredWindowPosition(TWindowSize window, const TScreenRect& area);

// A window's normal place as Windows keeps it for a minimized window
// (WINDOWPLACEMENT.rcNormalPosition, without WS_EX_TOOLWINDOW) is measured
// from the work area of its monitor, not from the screen: with the taskbar at
// the top or the left the two differ. This turns it into screen coordinates.
TScreenRect WorkspaceToScreen(const TScreenRect& rect, const TMonitorArea& monitor);
