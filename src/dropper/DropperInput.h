#pragma once

// What the keyboard and the mouse wheel do during a dropper run, and where
// the pointer may go. The Windows layer reads the key and modifier state and
// carries out the answer.

#include <cstdint>
#include <optional>

#include "settings/WindowPlacement.h"

struct TShiftState {
    bool Shift = false;
    bool Ctrl = false;
    bool Alt = false;
    bool MouseButton = false; // any mouse button held
};

enum TDropperSetting : std::uint8_t { dsNone, dsZoomFactor, dsSourceSize, dsSampleSize, dsMouseSpeed };

// The setting one wheel notch changes.
TDropperSetting WheelSetting(TShiftState shift);

inline constexpr unsigned VirtualKeyReturn = 0x0D;
inline constexpr unsigned VirtualKeyEscape = 0x1B;
inline constexpr unsigned VirtualKeySpace = 0x20;
inline constexpr unsigned VirtualKeyLeft = 0x25;
inline constexpr unsigned VirtualKeyUp = 0x26;
inline constexpr unsigned VirtualKeyRight = 0x27;
inline constexpr unsigned VirtualKeyDown = 0x28;
inline constexpr unsigned VirtualKeyF12 = 0x7B;

enum TZoomKeyAction : std::uint8_t {
    zkaNone,
    zkaCancel,        // end the run without a pick
    zkaCopyAndCancel, // put the zoom picture on the clipboard, then cancel
    zkaMovePointer,   // see ArrowKeyPointerPosition
    zkaPick,          // end the run with the color under the pointer, as a click
    zkaAddToRecent,   // the color under the pointer joins the recent colors; the run goes on
};

// A key pressed (keyDown) or released while the zoom window has the keyboard.
TZoomKeyAction ZoomKeyAction(unsigned virtualKey, bool keyDown, TShiftState shift);

// Whether the run takes this key, press and release alike, while another
// program has the keyboard: the keys with an action on either edge, so the
// other program sees neither half of them (F12's press as well as the
// release that acts).
bool IsRunKey(unsigned virtualKey, TShiftState shift);

// The rectangle ClipCursorToSnapshot confines the pointer to, in screen
// coordinates: the snapshot's area shrunk by (Sa - 1) div 2 on every side.
// Nothing for sample size 1 (and below): the pointer stays free.
std::optional<TScreenRect> PointerConfinement(const TScreenRect& snapshotArea, int sampleSize);

// Where an arrow key puts the pointer: 1 pixel, 10 with Shift, kept inside
// the area the way ClipCursor keeps it (right and bottom edges excluded).
// The area is the confinement, or the snapshot's area while the pointer is
// free. Any other key leaves the pointer where it is.
TScreenPoint ArrowKeyPointerPosition(unsigned virtualKey, bool shift, TScreenPoint pointer, const TScreenRect& area);
