#pragma once

#include "common/Win32.h"

#include <optional>

// The program's two looks: the plain system look "Windows" and the dark
// theme "Carbon". Windows ask this module for every color they paint with;
// nothing else knows a color. Brushes are cached with the color they were
// made from and rebuilt when the look changes.
//
// While the system's high-contrast mode is on, every color is a system
// color, whichever look is chosen: the user's contrast scheme wins.

enum class TThemeKind { Windows, Carbon };

enum class TThemeColor {
    WindowBackground, // window and panel background
    Text,             // labels
    DisabledText,
    EditBackground,
    EditText,
    Border,         // control frames
    ColorBoxBorder, // the edge of the color boxes, against the window background
    ButtonFace,     // flat buttons at rest
    ButtonHot,      // flat buttons under the pointer
    ButtonPressed,
    ButtonFrame, // the frame a flat button shows when hot or focused
    ScrollTrack,
    ScrollThumb,
    ScrollThumbHot,
    ScrollArrow,    // arrow glyphs of scroll bars and the color switch
    ScrollArrowHot, // the same on a hot or pressed button face
    MenuBar,
    MenuBackground,
    MenuText,
    MenuHighlight,
    MenuHighlightText,
    MenuSeparator,
    TooltipBackground,
    TooltipText,
    FocusFrame,
    Link,        // web and mail links
    TitleAccent, // the program's name in the About window
    Count
};

namespace Theme {

// The chosen look.
TThemeKind Current() noexcept;
// The dark colors are in force: Carbon is chosen and high contrast is off.
bool IsDark() noexcept;
// The system's high-contrast mode, as last read (or as a test set it).
bool HighContrast() noexcept;
const wchar_t* Name(TThemeKind kind) noexcept;

COLORREF Color(TThemeColor role) noexcept;
// A brush of the role's current color, owned by this module.
HBRUSH Brush(TThemeColor role) noexcept;

// Switches the look and repaints every window of the thread. Throws when the
// look cannot be applied; the previous look then stays.
void Apply(TThemeKind kind);
// Makes the next Apply fail as a look that cannot be applied does; for the
// tests of what the program does then.
void FailNextApplyForTesting() noexcept;

// The system's colors or its high-contrast mode changed (WM_SYSCOLORCHANGE,
// WM_SETTINGCHANGE): reads the mode again and repaints every window of the
// thread in the colors now in force.
void SystemColorsChanged() noexcept;
// Puts a high-contrast mode in place of the system's for the tests (Wine
// does not let it be switched); std::nullopt gives the system's again. Takes
// effect with the next SystemColorsChanged, as a real switch would.
void SimulateHighContrastForTesting(std::optional<bool> on) noexcept;

// Every top-level window of the program receives this registered message
// after the look changed, to refresh what it keeps of the look itself
// (menus, tool tips, title bar).
UINT ChangedMessage() noexcept;

// Makes a window's title bar dark or light where Windows 10/11 allows it;
// elsewhere it does nothing.
void ApplyToTitleBar(HWND window) noexcept;

// Tool tips lose their visual style so the theme's colors show.
void ApplyToTooltip(HWND tooltip) noexcept;

// The menu bar and every pop-up menu below it take the theme's background.
void ApplyToMenu(HMENU menu) noexcept;

} // namespace Theme
