#include "dropper/DropperInput.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>

namespace {

struct Position {
    TScreenPoint Point;
    bool operator==(const Position&) const = default;
};

[[maybe_unused]] void PrintTo(const Position& position, std::ostream* out)
{
    *out << "(" << position.Point.X << ", " << position.Point.Y << ")";
}

} // namespace

TEST(DropperInputTest, WheelChangesOneSettingPerModifierState)
{
    // Every combination of the three keys and a mouse button.
    for (int bits = 0; bits < 16; ++bits) {
        const TShiftState shift{(bits & 1) != 0, (bits & 2) != 0, (bits & 4) != 0, (bits & 8) != 0};
        SCOPED_TRACE(testing::Message() << "Shift " << shift.Shift << " Ctrl " << shift.Ctrl << " Alt " << shift.Alt
                                        << " button " << shift.MouseButton);
        TDropperSetting expected = dsNone;
        switch (bits) {
        case 0: expected = dsZoomFactor; break;
        case 2: expected = dsSourceSize; break;
        case 4: expected = dsSampleSize; break;
        case 1: expected = dsMouseSpeed; break;
        default: break;
        }
        EXPECT_EQ(WheelSetting(shift), expected);
    }
}

TEST(DropperInputTest, KeysOfTheZoomWindow)
{
    struct TCase {
        const char* Key;
        unsigned VirtualKey;
        bool Down;
        TShiftState Shift;
        TZoomKeyAction Expected;
        bool RunKey; // taken from another program in front, both edges
    };
    const TShiftState none{};
    const TShiftState shift{true, false, false, false};
    const TShiftState ctrl{false, true, false, false};
    const TShiftState alt{false, false, true, false};
    const TShiftState button{false, false, false, true};
    const TCase cases[] = {
        {"Escape pressed", VirtualKeyEscape, true, none, zkaCancel, true},
        {"Escape released", VirtualKeyEscape, false, none, zkaNone, true},
        {"Shift+Escape", VirtualKeyEscape, true, shift, zkaNone, false},
        {"Escape with a mouse button", VirtualKeyEscape, true, button, zkaCancel, true},
        {"F12 released", VirtualKeyF12, false, none, zkaCopyAndCancel, true},
        {"F12 pressed", VirtualKeyF12, true, none, zkaNone, true},
        {"Ctrl+F12 released", VirtualKeyF12, false, ctrl, zkaNone, false},
        {"Alt+F12 released", VirtualKeyF12, false, alt, zkaNone, false},
        {"left arrow", VirtualKeyLeft, true, none, zkaMovePointer, true},
        {"Shift+down arrow", VirtualKeyDown, true, shift, zkaMovePointer, true},
        {"Ctrl+up arrow", VirtualKeyUp, true, ctrl, zkaNone, false},
        {"right arrow released", VirtualKeyRight, false, none, zkaNone, true},
        {"Enter pressed", VirtualKeyReturn, true, none, zkaPick, true},
        {"Enter released", VirtualKeyReturn, false, none, zkaNone, true},
        {"Alt+Enter", VirtualKeyReturn, true, alt, zkaNone, false},
        {"Enter with a mouse button", VirtualKeyReturn, true, button, zkaPick, true},
        {"Tab", 0x09, true, none, zkaNone, false},
        {"Space pressed", VirtualKeySpace, true, none, zkaAddToRecent, true},
        {"Space released", VirtualKeySpace, false, none, zkaNone, true},
        {"Shift+Space", VirtualKeySpace, true, shift, zkaNone, false},
        {"Ctrl+Space", VirtualKeySpace, true, ctrl, zkaNone, false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Key);
        EXPECT_EQ(ZoomKeyAction(c.VirtualKey, c.Down, c.Shift), c.Expected);
        EXPECT_EQ(IsRunKey(c.VirtualKey, c.Shift), c.RunKey);
    }
}

TEST(DropperInputTest, ConfinementShrinksTheSnapshotByHalfTheSampleSquare)
{
    const TScreenRect desktop{-1280, -200, 1920, 1080};
    struct TCase {
        int SampleSize;
        std::optional<TScreenRect> Expected;
    };
    const TCase cases[] = {
        {1, std::nullopt},
        {0, std::nullopt},
        {3, TScreenRect{-1279, -199, 1919, 1079}},
        {5, TScreenRect{-1278, -198, 1918, 1078}},
        {67, TScreenRect{-1247, -167, 1887, 1047}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.SampleSize);
        EXPECT_EQ(PointerConfinement(desktop, c.SampleSize), c.Expected);
    }
}

// Sample size 5 on a 1920 x 1080 desktop: the pointer may be at 2 .. 1917
// and 2 .. 1077.
TEST(DropperInputTest, ArrowKeysMoveThePointerWithinTheConfinement)
{
    const TScreenRect area = *PointerConfinement({0, 0, 1920, 1080}, 5);
    struct TCase {
        const char* Move;
        unsigned Key;
        bool Shift;
        TScreenPoint From;
        TScreenPoint Expected;
    };
    const TCase cases[] = {
        {"left", VirtualKeyLeft, false, {500, 500}, {499, 500}},
        {"right", VirtualKeyRight, false, {500, 500}, {501, 500}},
        {"up", VirtualKeyUp, false, {500, 500}, {500, 499}},
        {"down", VirtualKeyDown, false, {500, 500}, {500, 501}},
        {"Shift+left", VirtualKeyLeft, true, {500, 500}, {490, 500}},
        {"Shift+down", VirtualKeyDown, true, {500, 500}, {500, 510}},
        {"left at the left edge", VirtualKeyLeft, false, {2, 500}, {2, 500}},
        {"Shift+left near the left edge", VirtualKeyLeft, true, {7, 500}, {2, 500}},
        {"right at the right edge (right excluded)", VirtualKeyRight, false, {1917, 500}, {1917, 500}},
        {"Shift+right near the right edge", VirtualKeyRight, true, {1910, 500}, {1917, 500}},
        {"Shift+up near the top", VirtualKeyUp, true, {500, 5}, {500, 2}},
        {"down at the bottom (bottom excluded)", VirtualKeyDown, false, {500, 1077}, {500, 1077}},
        {"not an arrow", 0x41, false, {500, 500}, {500, 500}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Move);
        EXPECT_EQ(Position{ArrowKeyPointerPosition(c.Key, c.Shift, c.From, area)}, Position{c.Expected});
    }
    // Free pointer (sample size 1): the snapshot's area, here with negative
    // coordinates.
    const TScreenRect desktop{-1280, 0, 1920, 1080};
    const Position farLeft{{-1280, 0}};
    const Position top{{-1275, 0}};
    EXPECT_EQ(Position{ArrowKeyPointerPosition(VirtualKeyLeft, true, {-1275, 0}, desktop)}, farLeft);
    EXPECT_EQ(Position{ArrowKeyPointerPosition(VirtualKeyUp, false, {-1275, 0}, desktop)}, top);
}
