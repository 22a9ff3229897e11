#include "settings/WindowPlacement.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

void PrintTo(const TScreenPoint& point, std::ostream* out)
{
    *out << "(" << point.X << ", " << point.Y << ")";
}

namespace {

using TLayout = std::vector<TMonitorArea>;

// A 1920 x 1080 primary monitor with a 40-pixel taskbar at the bottom.
const TMonitorArea Primary{{0, 0, 1920, 1080}, {0, 0, 1920, 1040}};
// The same size to the right of it, taskbar at its top.
const TMonitorArea RightOfPrimary{{1920, 0, 3840, 1080}, {1920, 40, 3840, 1080}};
// A smaller monitor to the left of the primary: negative coordinates.
const TMonitorArea LeftOfPrimary{{-1280, 0, 0, 1024}, {-1280, 0, 0, 984}};
// A short monitor right of the primary, level with its top.
const TMonitorArea ShortRight{{1920, 0, 3200, 720}, {1920, 0, 3200, 680}};

// The rectangle that bounds all monitors, as the virtual-screen metrics give it.
TScreenRect Desktop(const TLayout& layout)
{
    TScreenRect desktop = layout.front().Monitor;
    for (const TMonitorArea& monitor : layout) {
        desktop.Left = std::min(desktop.Left, monitor.Monitor.Left);
        desktop.Top = std::min(desktop.Top, monitor.Monitor.Top);
        desktop.Right = std::max(desktop.Right, monitor.Monitor.Right);
        desktop.Bottom = std::max(desktop.Bottom, monitor.Monitor.Bottom);
    }
    return desktop;
}

TNearestWorkArea WorkAreas(TLayout layout)
{
    return [layout](TScreenPoint point) -> std::optional<TScreenRect> {
        const TMonitorArea* monitor = NearestMonitor(layout, point);
        return monitor ? std::optional(monitor->WorkArea) : std::nullopt;
    };
}

std::optional<TScreenPoint> Restore(std::int32_t left, std::int32_t top, TWindowSize window, const TLayout& layout)
{
    return RestoredWindowPosition({true, top, left}, window, Desktop(layout), WorkAreas(layout));
}

constexpr TWindowSize Window{300, 200};

} // namespace

TEST(WindowPlacementTest, NearestMonitorIsTheOneHoldingThePointOrTheClosest)
{
    const TLayout layout = {Primary, RightOfPrimary, LeftOfPrimary};
    struct TCase {
        const char* Point;
        TScreenPoint At;
        std::ptrdiff_t Expected; // index in the layout
    };
    const TCase cases[] = {
        {"inside the primary", {100, 100}, 0},
        {"primary's top-left pixel", {0, 0}, 0},
        {"right edge belongs to the next monitor", {1920, 500}, 1},
        {"last pixel of the primary", {1919, 1079}, 0},
        {"negative coordinates", {-1, 10}, 2},
        {"above the right monitor", {3000, -500}, 1},
        {"below the left monitor, nearer to it", {-100, 1050}, 2},
        {"beside the left monitor's bottom, inside the primary's rows", {-10, 1060}, 0},
        {"below the primary, near the left monitor's corner", {5, 1100}, 0},
        {"far beyond the right", {100000, 100000}, 1},
        {"far beyond the left", {-100000, 500}, 2},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Point);
        const TMonitorArea* nearest = NearestMonitor(layout, c.At);
        ASSERT_NE(nearest, nullptr);
        EXPECT_EQ(nearest - layout.data(), c.Expected);
    }
    EXPECT_EQ(NearestMonitor({}, {0, 0}), nullptr);
}

TEST(WindowPlacementTest, MissingPositionCentresTheWindow)
{
    const TLayout layout = {Primary};
    struct TCase {
        const char* Stored;
        TStoredPosition Position;
    };
    const TCase cases[] = {
        {"section without keys", {false, 100, 100}},
        {"no Top", {true, NoStoredCoordinate, 100}},
        {"no Left", {true, 100, NoStoredCoordinate}},
        {"neither", {true, NoStoredCoordinate, NoStoredCoordinate}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Stored);
        EXPECT_EQ(RestoredWindowPosition(c.Position, Window, Desktop(layout), WorkAreas(layout)), std::nullopt);
    }
}

TEST(WindowPlacementTest, StoredPositionIsClampedToDesktopThenNearestWorkArea)
{
    struct TCase {
        const char* Situation;
        TLayout Layout;
        TScreenPoint Stored; // left, top
        TWindowSize Size;
        TScreenPoint Expected;
    };
    const TCase cases[] = {
        {"inside the work area: unchanged", {Primary}, {500, 300}, Window, {500, 300}},
        {"-5000/-5000 on one monitor: work area's top-left", {Primary}, {-5000, -5000}, Window, {0, 0}},
        {"-5000/-5000 with the taskbar at the top", {RightOfPrimary}, {-5000, -5000}, Window, {1920, 40}},
        {"over the taskbar: lifted above it", {Primary}, {500, 1000}, Window, {500, 840}},
        {"beyond the bottom right", {Primary}, {1900, 1070}, Window, {1620, 840}},
        {"on the second monitor: unchanged", {Primary, RightOfPrimary}, {2500, 100}, Window, {2500, 100}},
        {"across two monitors: onto the one holding its corner",
         {Primary, RightOfPrimary},
         {1800, 500},
         Window,
         {1620, 500}},
        {"left monitor, negative coordinates", {Primary, LeftOfPrimary}, {-1000, 1000}, Window, {-1000, 784}},
        {"left of the left monitor", {Primary, LeftOfPrimary}, {-9000, 100}, Window, {-1280, 100}},
        {"monitor since removed", {Primary}, {2500, 300}, Window, {1620, 300}},
        {"desktop clamp moves the corner onto a shorter monitor",
         {Primary, ShortRight},
         {3000, 900},
         Window,
         {2900, 480}},
        {"larger than the area: bottom and right edges", {Primary}, {100, 100}, {2500, 1500}, {-580, -460}},
        {"largest coordinates", {Primary}, {2147483646, 2147483646}, Window, {1620, 840}},
        {"smallest coordinates", {Primary}, {-2147483647 - 1, -2147483647 - 1}, Window, {0, 0}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Situation);
        EXPECT_EQ(Restore(c.Stored.X, c.Stored.Y, c.Size, c.Layout), c.Expected);
    }
}

TEST(WindowPlacementTest, RestoredWindowLiesInsideTheWorkAreaOfItsMonitor)
{
    const TLayout layouts[] = {{Primary}, {Primary, RightOfPrimary}, {Primary, LeftOfPrimary, ShortRight}};
    for (const TLayout& layout : layouts) {
        SCOPED_TRACE("layout of " + std::to_string(layout.size()) + " monitors");
        for (int top = -6000; top <= 6000; top += 250) {
            for (int left = -6000; left <= 6000; left += 250) {
                const auto position = Restore(left, top, Window, layout);
                ASSERT_TRUE(position.has_value());
                const TMonitorArea* monitor = NearestMonitor(layout, *position);
                ASSERT_NE(monitor, nullptr);
                const TScreenRect& area = monitor->WorkArea;
                const bool inside = position->X >= area.Left && position->Y >= area.Top
                                    && position->X + Window.Width <= area.Right
                                    && position->Y + Window.Height <= area.Bottom;
                EXPECT_TRUE(inside) << "stored (" << left << ", " << top << ") placed at (" << position->X << ", "
                                    << position->Y << ")";
            }
        }
    }
}

TEST(WindowPlacementTest, CentredWindowHasEqualMarginsOnBothSides)
{
    struct TCase {
        const char* Situation;
        TScreenRect Area;
        TWindowSize Size;
        TScreenPoint Expected;
    };
    const TCase cases[] = {
        {"primary work area", {0, 0, 1920, 1040}, {300, 200}, {810, 420}},
        {"area with negative coordinates", {-1280, -100, 0, 924}, {300, 201}, {-790, 311}},
        {"odd margin rounds down", {0, 0, 1001, 1001}, {300, 200}, {350, 400}},
        {"larger than the area", {0, 0, 1920, 1040}, {2000, 1100}, {-40, -30}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Situation);
        EXPECT_EQ(CenteredWindowPosition(c.Size, c.Area), c.Expected);
    }
}

TEST(WorkspaceToScreen, MovesByWhatTheTaskbarTakesAtTheTopOrLeft)
{
    struct Row {
        const char* Name;
        TMonitorArea Monitor;
        TScreenRect Expected; // of the workspace rectangle {100, 50, 400, 200}
    };
    const Row rows[] = {
        {"taskbar at the bottom", {{0, 0, 1920, 1080}, {0, 0, 1920, 1040}}, {100, 50, 400, 200}},
        {"taskbar at the top", {{0, 0, 1920, 1080}, {0, 40, 1920, 1080}}, {100, 90, 400, 240}},
        {"taskbar at the left", {{0, 0, 1920, 1080}, {60, 0, 1920, 1080}}, {160, 50, 460, 200}},
        {"a monitor left of the primary, taskbar at its top",
         {{-1280, 0, 0, 1024}, {-1280, 30, 0, 1024}},
         {100, 80, 400, 230}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        EXPECT_EQ(WorkspaceToScreen({100, 50, 400, 200}, row.Monitor), row.Expected);
    }
}
