#include "dropper/ZoomPlacement.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <ostream>
#include <vector>

namespace {

void PrintPoint(const TScreenPoint& point, std::ostream* out)
{
    *out << "(" << point.X << ", " << point.Y << ")";
}

// Compared through this wrapper so that failures print the coordinates.
struct Corner {
    TScreenPoint Point;
    bool operator==(const Corner&) const = default;
};

[[maybe_unused]] void PrintTo(const Corner& corner, std::ostream* out)
{
    PrintPoint(corner.Point, out);
}

// Screen coordinates: a 1920 x 1080 primary, a 1280 x 1024 monitor to its
// left (negative coordinates) and a 1024 x 768 monitor to its right, lowered
// by 200 pixels.
const TScreenRect Primary{0, 0, 1920, 1080};
const TScreenRect Left{-1280, 0, 0, 1024};
const TScreenRect Right{1920, 200, 2944, 968};
const std::vector<TScreenRect> Layout{Primary, Left, Right};

// The default zoom window: 392 zoom picture.
constexpr TWindowSize Window{522, 394};

} // namespace

TEST(ZoomPlacementTest, MonitorAtHoldsThePointOrIsTheNearest)
{
    struct TCase {
        const char* Point;
        TScreenPoint At;
        std::ptrdiff_t Expected;
    };
    const TCase cases[] = {
        {"inside the primary", {960, 540}, 0},
        {"primary's top-left pixel", {0, 0}, 0},
        {"last pixel of the left monitor", {-1, 1023}, 1},
        {"below the left monitor, beside the primary", {-1, 1050}, 0},
        {"below the left monitor, far from the primary", {-700, 1100}, 1},
        {"right edge of the primary is the right monitor's", {1920, 500}, 2},
        {"above the lowered right monitor, nearer to the primary", {1925, 100}, 0},
        {"above the lowered right monitor, nearer to it", {2500, 150}, 2},
        {"far below everything, far right", {2900, 5000}, 2},
        {"far below everything, a little right of the primary", {2500, 5000}, 0},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Point);
        const TScreenRect* monitor = MonitorAt(Layout, c.At);
        ASSERT_NE(monitor, nullptr);
        EXPECT_EQ(monitor - Layout.data(), c.Expected);
    }
    EXPECT_EQ(MonitorAt({}, {0, 0}), nullptr);
}

TEST(ZoomPlacementTest, BoundaryIsHalfTheShorterSide)
{
    struct TCase {
        TScreenRect Monitor;
        int Expected;
    };
    const TCase cases[] = {
        {Primary, 540}, {Left, 512}, {Right, 384}, {{0, 0, 1080, 1920}, 540}, {{-7, -7, 1359, 760}, 383},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Monitor.Left << ", " << c.Monitor.Top);
        EXPECT_EQ(GetZoomSizeBoundary(c.Monitor), c.Expected);
    }
    EXPECT_EQ(ZoomSizeBoundaryAt(Layout, {-1000, 300}), 512);
    EXPECT_EQ(ZoomSizeBoundaryAt({}, {0, 0}), 0);
}

TEST(ZoomPlacementTest, MaxFittingSourceSizeIsTheLargestOddThatFits)
{
    struct TCase {
        int Boundary, ZoomFactor, Expected;
    };
    const TCase cases[] = {
        {540, 8, 67},  {540, 10, 53}, {540, 12, 45}, {384, 8, 47},   {540, 3, 179},
        {540, 180, 3}, {540, 181, 1}, {540, 271, 1}, {540, 541, -1},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "B " << c.Boundary << ", Z " << c.ZoomFactor);
        EXPECT_EQ(MaxFittingSourceSize(c.Boundary, c.ZoomFactor), c.Expected);
        if (c.Expected >= 3) {
            EXPECT_LE(c.Expected * c.ZoomFactor, c.Boundary);
            EXPECT_GT((c.Expected + 2) * c.ZoomFactor, c.Boundary);
        }
    }
}

TEST(ZoomPlacementTest, WindowSizeFollowsTheZoomPicture)
{
    EXPECT_EQ(ZoomWindowSize(392).Width, 522);
    EXPECT_EQ(ZoomWindowSize(392).Height, 394);
    // Small pictures: the left column is the taller part.
    EXPECT_EQ(ZoomWindowSize(9).Width, 139);
    EXPECT_EQ(ZoomWindowSize(9).Height, 281);
    // The left column scales with the monitor's DPI, the zoom box does not:
    // 128 and 281 at 144 DPI are 192 and 421.5, rounded up as MulDiv does.
    EXPECT_EQ(ZoomWindowSize(392, 144).Width, 192 + 394);
    EXPECT_EQ(ZoomWindowSize(392, 144).Height, 422);
    EXPECT_EQ(ZoomWindowSize(392, 192).Width, 256 + 394);
    EXPECT_EQ(ZoomWindowSize(392, 192).Height, 562);
}

// Client coordinates of the snapshot. W 522, H 394 (H div 2 = 197), unless a
// row says otherwise.
TEST(ZoomPlacementTest, WindowStandsBesideThePointerInsideTheMonitor)
{
    const TScreenRect monitor{0, 0, 1920, 1080};
    const TScreenRect lowered{3200, 200, 4224, 968}; // a 1024 x 768 monitor further right and down
    const TScreenRect negative{-1280, -300, 0, 724};
    struct TCase {
        const char* Situation;
        TScreenRect Monitor;
        TScreenPoint Pointer;
        TWindowSize Window;
        TScreenPoint Expected;
    };
    const TCase cases[] = {
        {"middle: centred, 30 to the right", monitor, {500, 500}, Window, {530, 303}},
        {"just above the top band", monitor, {500, 197}, Window, {530, 0}},
        {"in the top band", monitor, {500, 196}, Window, {530, 0}},
        {"at the top edge", monitor, {500, 0}, Window, {530, 0}},
        {"bottom band's first row: centred fits exactly", monitor, {500, 883}, Window, {530, 686}},
        {"in the bottom band", monitor, {500, 884}, Window, {530, 686}},
        {"last row", monitor, {500, 1079}, Window, {530, 686}},
        {"right edge just fits to the right", monitor, {1368, 500}, Window, {1398, 303}},
        {"one more: to the left of the pointer", monitor, {1369, 500}, Window, {817, 303}},
        {"last column", monitor, {1919, 500}, Window, {1367, 303}},
        {"near the left edge: to the right", monitor, {0, 500}, Window, {30, 303}},
        {"monitor not at the origin, top band", lowered, {3300, 300}, Window, {3330, 200}},
        {"monitor not at the origin, bottom band", lowered, {3300, 900}, Window, {3330, 574}},
        {"monitor not at the origin, no room either side", lowered, {3700, 600}, Window, {3702, 403}},
        {"negative coordinates, middle", negative, {-1000, 200}, Window, {-970, 3}},
        {"negative coordinates, top and right", negative, {-100, -250}, Window, {-652, -300}},
        // Room on neither side (a 634 x 506 window on a 1280 x 1024 monitor,
        // the pointer near the middle): against the edge of the side with
        // more room, not past the monitor's left edge.
        {"no room either side, left of the middle", {0, 0, 1280, 1024}, {630, 512}, {634, 506}, {646, 259}},
        {"no room either side, the very middle", {0, 0, 1280, 1024}, {640, 512}, {634, 506}, {646, 259}},
        {"no room either side, right of the middle", {0, 0, 1280, 1024}, {650, 512}, {634, 506}, {0, 259}},
        {"no room either side, negative coordinates", negative, {-600, 200}, {700, 394}, {-1280, 3}},
        {"narrower than the window: at its left edge", {0, 0, 500, 1080}, {100, 500}, Window, {0, 303}},
        {"small window", monitor, {10, 10}, {139, 281}, {40, 0}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Situation);
        EXPECT_EQ(Corner{ZoomWindowPosition(c.Pointer, c.Monitor, c.Window)}, Corner{c.Expected});
    }
}

// Centring puts the top at Y - H div 2; with an odd H and the pointer
// exactly H div 2 above the bottom that would leave the window one pixel
// below the monitor.
TEST(ZoomPlacementTest, OddHeightAtTheBottomBandsEdgeStaysInside)
{
    const TScreenRect monitor{0, 0, 1920, 1080};
    const TWindowSize odd{522, 395};
    EXPECT_EQ(ZoomWindowPosition({500, 1080 - 197}, monitor, odd).Y, 1080 - 395);
    EXPECT_EQ(ZoomWindowPosition({500, 1080 - 198}, monitor, odd).Y, 1080 - 198 - 197);
}

// For every column of a monitor and a range of window widths, the window lies
// within the monitor's columns, and beside the pointer where there is room.
TEST(ZoomPlacementTest, EveryPointerColumnKeepsTheWindowInsideTheMonitor)
{
    const TScreenRect monitor{-1280, 0, 0, 1024};
    for (int width = 139; width <= 1280; width += 7) {
        for (int x = monitor.Left; x < monitor.Right; ++x) {
            const int left = ZoomWindowPosition({x, 500}, monitor, {width, 394}).X;
            ASSERT_GE(left, monitor.Left) << "width " << width << ", column " << x;
            ASSERT_LE(left + width, monitor.Right) << "width " << width << ", column " << x;
            if (x + 30 + width <= monitor.Right) {
                ASSERT_EQ(left, x + 30) << "width " << width << ", column " << x;
            } else if (x - 30 - width >= monitor.Left) {
                ASSERT_EQ(left, x - 30 - width) << "width " << width << ", column " << x;
            }
        }
    }
}

// For every row of the monitor and a range of window heights, odd and even,
// the window lies within the monitor's rows and is centred where it can be.
TEST(ZoomPlacementTest, EveryPointerRowKeepsTheWindowInsideTheMonitor)
{
    const TScreenRect monitor{100, -200, 1124, 568};
    for (int height = 281; height <= 542; ++height) {
        for (int y = monitor.Top; y < monitor.Bottom; ++y) {
            const int top = ZoomWindowPosition({500, y}, monitor, {522, height}).Y;
            ASSERT_GE(top, monitor.Top) << "height " << height << ", row " << y;
            ASSERT_LE(top + height, monitor.Bottom) << "height " << height << ", row " << y;
            if (y - height / 2 >= monitor.Top && y - height / 2 + height <= monitor.Bottom) {
                ASSERT_EQ(top, y - height / 2) << "height " << height << ", row " << y;
            }
        }
    }
}
