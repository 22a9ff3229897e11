#include "dropper/DropperInput.h"

#include <algorithm>

namespace {

constexpr int ArrowStep = 1;
constexpr int ShiftArrowStep = 10;

bool NoModifier(TShiftState shift)
{
    return !shift.Shift && !shift.Ctrl && !shift.Alt;
}

// Clamped into [low, high - 1]; an empty range gives low, never a point
// beyond both ends.
std::int32_t ClampToRange(std::int64_t value, std::int32_t low, std::int32_t high)
{
    return static_cast<std::int32_t>(
        std::max<std::int64_t>(low, std::min<std::int64_t>(value, std::int64_t{high} - 1)));
}

} // namespace

// Exactly one modifier key or none; with a mouse button held a notch is more
// likely a slip of a dragging hand than a wish to change a setting.
TDropperSetting WheelSetting(TShiftState shift)
{
    if (shift.MouseButton) {
        return dsNone;
    }
    const int held = int{shift.Shift} + int{shift.Ctrl} + int{shift.Alt};
    if (held == 0) {
        return dsZoomFactor;
    }
    if (held > 1) {
        return dsNone;
    }
    return shift.Ctrl ? dsSourceSize : shift.Alt ? dsSampleSize : dsMouseSpeed;
}

// Escape and Enter act on the press and F12 on the release, each only
// without a modifier, so Shift+Escape or Ctrl+F12 meant for another program
// cannot end the run. Arrows act on every press, key repeat included, and
// take Shift for the larger step. Space adds on the press, also without a
// modifier; its key repeat adds the same color again, which changes nothing.
TZoomKeyAction ZoomKeyAction(unsigned virtualKey, bool keyDown, TShiftState shift)
{
    switch (virtualKey) {
    case VirtualKeyEscape: return keyDown && NoModifier(shift) ? zkaCancel : zkaNone;
    case VirtualKeyReturn: return keyDown && NoModifier(shift) ? zkaPick : zkaNone;
    case VirtualKeyF12: return !keyDown && NoModifier(shift) ? zkaCopyAndCancel : zkaNone;
    case VirtualKeySpace: return keyDown && NoModifier(shift) ? zkaAddToRecent : zkaNone;
    case VirtualKeyLeft:
    case VirtualKeyUp:
    case VirtualKeyRight:
    case VirtualKeyDown: return keyDown && !shift.Ctrl && !shift.Alt ? zkaMovePointer : zkaNone;
    default: return zkaNone;
    }
}

bool IsRunKey(unsigned virtualKey, TShiftState shift)
{
    return ZoomKeyAction(virtualKey, true, shift) != zkaNone || ZoomKeyAction(virtualKey, false, shift) != zkaNone;
}

std::optional<TScreenRect> PointerConfinement(const TScreenRect& snapshotArea, int sampleSize)
{
    const int inset = (sampleSize - 1) / 2;
    if (inset <= 0) {
        return std::nullopt;
    }
    return TScreenRect{snapshotArea.Left + inset, snapshotArea.Top + inset, snapshotArea.Right - inset,
                       snapshotArea.Bottom - inset};
}

TScreenPoint ArrowKeyPointerPosition(unsigned virtualKey, bool shift, TScreenPoint pointer, const TScreenRect& area)
{
    const int step = shift ? ShiftArrowStep : ArrowStep;
    std::int64_t x = pointer.X;
    std::int64_t y = pointer.Y;
    switch (virtualKey) {
    case VirtualKeyLeft: x -= step; break;
    case VirtualKeyRight: x += step; break;
    case VirtualKeyUp: y -= step; break;
    case VirtualKeyDown: y += step; break;
    default: return pointer;
    }
    return {ClampToRange(x, area.Left, area.Right), ClampToRange(y, area.Top, area.Bottom)};
}
