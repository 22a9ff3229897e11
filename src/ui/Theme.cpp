#include "ui/Theme.h"

#include "color/Contrast.h"
#include "common/Exception.h"
#include "ui/ControlPaint.h"

#include <commctrl.h>
#include <dwmapi.h>
#include <uxtheme.h>

#include <array>

namespace {

TThemeKind g_kind = TThemeKind::Windows;

struct CachedBrush {
    COLORREF color = CLR_INVALID;
    UniqueBrush brush;
};
std::array<CachedBrush, static_cast<size_t>(TThemeColor::Count)> g_brushes;

constexpr COLORREF Carbon(TThemeColor role) noexcept
{
    switch (role) {
    case TThemeColor::WindowBackground: return RGB(0x20, 0x20, 0x20);
    case TThemeColor::Text: return RGB(0xE6, 0xE6, 0xE6);
    case TThemeColor::DisabledText: return RGB(0x80, 0x80, 0x80);
    case TThemeColor::EditBackground: return RGB(0x2D, 0x2D, 0x2D);
    case TThemeColor::EditText: return RGB(0xF0, 0xF0, 0xF0);
    case TThemeColor::Border: return RGB(0x5A, 0x5A, 0x5A);
    case TThemeColor::ColorBoxBorder: return RGB(0x00, 0x00, 0x00);
    case TThemeColor::ButtonFace: return RGB(0x20, 0x20, 0x20);
    case TThemeColor::ButtonHot: return RGB(0x3A, 0x3A, 0x3A);
    case TThemeColor::ButtonPressed: return RGB(0x4A, 0x4A, 0x4A);
    case TThemeColor::ButtonFrame: return RGB(0x6A, 0x6A, 0x6A);
    case TThemeColor::ScrollTrack: return RGB(0x2B, 0x2B, 0x2B);
    case TThemeColor::ScrollThumb: return RGB(0x68, 0x68, 0x68);
    case TThemeColor::ScrollThumbHot: return RGB(0x88, 0x88, 0x88);
    case TThemeColor::ScrollArrow: return RGB(0xB0, 0xB0, 0xB0);
    case TThemeColor::ScrollArrowHot: return RGB(0xB0, 0xB0, 0xB0);
    case TThemeColor::MenuBar: return RGB(0x2B, 0x2B, 0x2B);
    case TThemeColor::MenuBackground: return RGB(0x2B, 0x2B, 0x2B);
    case TThemeColor::MenuText: return RGB(0xE6, 0xE6, 0xE6);
    case TThemeColor::MenuHighlight: return RGB(0x41, 0x41, 0x41);
    case TThemeColor::MenuHighlightText: return RGB(0xFF, 0xFF, 0xFF);
    case TThemeColor::MenuSeparator: return RGB(0x50, 0x50, 0x50);
    case TThemeColor::TooltipBackground: return RGB(0x2B, 0x2B, 0x2B);
    case TThemeColor::TooltipText: return RGB(0xE6, 0xE6, 0xE6);
    case TThemeColor::FocusFrame: return RGB(0x9A, 0x9A, 0x9A);
    case TThemeColor::Link: return RGB(0x5C, 0xA8, 0xFF);
    case TThemeColor::TitleAccent: return RGB(100, 139, 203);
    case TThemeColor::Count: break;
    }
    return RGB(0xFF, 0x00, 0xFF);
}

// The least contrast a control's edge or focus mark keeps against what
// surrounds it, as WCAG 2.1 asks of non-text parts.
constexpr double PartContrast = 3.0;

// `parts` of 256 of `to`, the rest of `from`, per component.
COLORREF Mix(COLORREF from, COLORREF to, int parts) noexcept
{
    const auto mix = [parts](int a, int b) { return (a * (256 - parts) + b * parts + 128) / 256; };
    return RGB(mix(GetRValue(from), GetRValue(to)), mix(GetGValue(from), GetGValue(to)),
               mix(GetBValue(from), GetBValue(to)));
}

// `color` where it stands out from `background` by PartContrast, otherwise
// the nearest mix of it with black or white that does. Black or white
// alone reaches at least 4.58:1 on any background, so there always is one.
COLORREF Distinct(COLORREF color, COLORREF background) noexcept
{
    const COLORREF extreme = ControlPaint::ContrastingMark(background);
    for (int parts = 0; parts < 256; parts += 16) {
        const COLORREF candidate = Mix(color, extreme, parts);
        if (ContrastRatio(static_cast<TColor>(candidate), static_cast<TColor>(background)) >= PartContrast)
            return candidate;
    }
    return extreme;
}

// Every color of the plain look comes from the system's, so a scheme the
// user changed (light on dark, a high-contrast one) shows in every part.
// Edges, arrows and focus marks take the system's color for them where it
// stands out from the face it is drawn on, and a shade of it that does
// where the scheme's does not.
COLORREF Plain(TThemeColor role) noexcept
{
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    const COLORREF faceText = ::GetSysColor(COLOR_BTNTEXT);
    switch (role) {
    case TThemeColor::WindowBackground: return face;
    case TThemeColor::Text: return faceText;
    case TThemeColor::DisabledText: return ::GetSysColor(COLOR_GRAYTEXT);
    case TThemeColor::EditBackground: return ::GetSysColor(COLOR_WINDOW);
    case TThemeColor::EditText: return ::GetSysColor(COLOR_WINDOWTEXT);
    case TThemeColor::Border: return Distinct(::GetSysColor(COLOR_BTNSHADOW), face);
    case TThemeColor::ColorBoxBorder: return Distinct(faceText, face);
    case TThemeColor::ButtonFace: return face;
    case TThemeColor::ButtonHot: return ::GetSysColor(COLOR_BTNHIGHLIGHT);
    case TThemeColor::ButtonPressed: return ::GetSysColor(COLOR_BTNSHADOW);
    case TThemeColor::ButtonFrame: return Distinct(::GetSysColor(COLOR_BTNSHADOW), face);
    // The system has no colors for a flat scroll bar's parts. The track is
    // the face and the thumb a shade of it toward the text; with the default
    // scheme these are the grays Windows 10 and 11 draw their own with
    // (F0F0F0, CDCDCD and A6A6A6).
    case TThemeColor::ScrollTrack: return face;
    case TThemeColor::ScrollThumb: return Mix(face, faceText, 37);
    case TThemeColor::ScrollThumbHot: return Mix(face, faceText, 79);
    case TThemeColor::ScrollArrow: return Distinct(faceText, face);
    case TThemeColor::ScrollArrowHot: return Distinct(faceText, ::GetSysColor(COLOR_BTNHIGHLIGHT));
    case TThemeColor::MenuBar: return ::GetSysColor(COLOR_MENUBAR);
    case TThemeColor::MenuBackground: return ::GetSysColor(COLOR_MENU);
    case TThemeColor::MenuText: return ::GetSysColor(COLOR_MENUTEXT);
    case TThemeColor::MenuHighlight: return ::GetSysColor(COLOR_HIGHLIGHT);
    case TThemeColor::MenuHighlightText: return ::GetSysColor(COLOR_HIGHLIGHTTEXT);
    case TThemeColor::MenuSeparator: return ::GetSysColor(COLOR_BTNSHADOW);
    case TThemeColor::TooltipBackground: return ::GetSysColor(COLOR_INFOBK);
    case TThemeColor::TooltipText: return ::GetSysColor(COLOR_INFOTEXT);
    // Focus marks are drawn on button faces and on the scroll bars' track.
    case TThemeColor::FocusFrame: return Distinct(faceText, face);
    case TThemeColor::Link: return Distinct(RGB(0x00, 0x00, 0xFF), face);
    case TThemeColor::TitleAccent: return Distinct(RGB(100, 139, 203), face);
    case TThemeColor::Count: break;
    }
    return RGB(0xFF, 0x00, 0xFF);
}

// Only system colors, paired so that each foreground is the one the scheme
// made for its background: text on button faces, highlight text on the
// highlight, window text on edit backgrounds.
COLORREF HighContrastColor(TThemeColor role) noexcept
{
    switch (role) {
    case TThemeColor::WindowBackground: return ::GetSysColor(COLOR_BTNFACE);
    case TThemeColor::Text: return ::GetSysColor(COLOR_BTNTEXT);
    case TThemeColor::DisabledText: return ::GetSysColor(COLOR_GRAYTEXT);
    case TThemeColor::EditBackground: return ::GetSysColor(COLOR_WINDOW);
    case TThemeColor::EditText: return ::GetSysColor(COLOR_WINDOWTEXT);
    case TThemeColor::Border: return ::GetSysColor(COLOR_BTNTEXT);
    case TThemeColor::ColorBoxBorder: return ::GetSysColor(COLOR_BTNTEXT);
    case TThemeColor::ButtonFace: return ::GetSysColor(COLOR_BTNFACE);
    case TThemeColor::ButtonHot: return ::GetSysColor(COLOR_HIGHLIGHT);
    case TThemeColor::ButtonPressed: return ::GetSysColor(COLOR_HIGHLIGHT);
    case TThemeColor::ButtonFrame: return ::GetSysColor(COLOR_BTNTEXT);
    case TThemeColor::ScrollTrack: return ::GetSysColor(COLOR_BTNFACE);
    case TThemeColor::ScrollThumb: return ::GetSysColor(COLOR_BTNTEXT);
    case TThemeColor::ScrollThumbHot: return ::GetSysColor(COLOR_HIGHLIGHT);
    case TThemeColor::ScrollArrow: return ::GetSysColor(COLOR_BTNTEXT);
    case TThemeColor::ScrollArrowHot: return ::GetSysColor(COLOR_HIGHLIGHTTEXT);
    case TThemeColor::MenuBar: return ::GetSysColor(COLOR_MENUBAR);
    case TThemeColor::MenuBackground: return ::GetSysColor(COLOR_MENU);
    case TThemeColor::MenuText: return ::GetSysColor(COLOR_MENUTEXT);
    case TThemeColor::MenuHighlight: return ::GetSysColor(COLOR_HIGHLIGHT);
    case TThemeColor::MenuHighlightText: return ::GetSysColor(COLOR_HIGHLIGHTTEXT);
    case TThemeColor::MenuSeparator: return ::GetSysColor(COLOR_MENUTEXT);
    case TThemeColor::TooltipBackground: return ::GetSysColor(COLOR_INFOBK);
    case TThemeColor::TooltipText: return ::GetSysColor(COLOR_INFOTEXT);
    case TThemeColor::FocusFrame: return ::GetSysColor(COLOR_BTNTEXT);
    case TThemeColor::Link: return ::GetSysColor(COLOR_HOTLIGHT);
    case TThemeColor::TitleAccent: return ::GetSysColor(COLOR_BTNTEXT);
    case TThemeColor::Count: break;
    }
    return ::GetSysColor(COLOR_BTNTEXT);
}

std::optional<bool> g_simulatedHighContrast;
std::optional<bool> g_highContrast; // read on first use, again on every change

bool ReadHighContrast() noexcept
{
    if (g_simulatedHighContrast)
        return *g_simulatedHighContrast;
    HIGHCONTRASTW setting{};
    setting.cbSize = sizeof setting;
    // Where the system cannot say, it has no high-contrast mode to follow.
    if (!::SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof setting, &setting, 0))
        return false;
    return (setting.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

BOOL CALLBACK NotifyWindow(HWND window, LPARAM) noexcept
{
    ::SendMessageW(window, Theme::ChangedMessage(), 0, 0);
    Theme::ApplyToTitleBar(window);
    ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    return TRUE;
}

} // namespace

namespace Theme {

TThemeKind Current() noexcept
{
    return g_kind;
}

bool HighContrast() noexcept
{
    if (!g_highContrast)
        g_highContrast = ReadHighContrast();
    return *g_highContrast;
}

bool IsDark() noexcept
{
    return g_kind == TThemeKind::Carbon && !HighContrast();
}

const wchar_t* Name(TThemeKind kind) noexcept
{
    return kind == TThemeKind::Carbon ? L"Carbon" : L"Windows";
}

COLORREF Color(TThemeColor role) noexcept
{
    if (HighContrast())
        return HighContrastColor(role);
    return g_kind == TThemeKind::Carbon ? Carbon(role) : Plain(role);
}

HBRUSH Brush(TThemeColor role) noexcept
{
    auto& cached = g_brushes[static_cast<size_t>(role)];
    const COLORREF color = Color(role);
    if (!cached.brush || cached.color != color) {
        UniqueBrush brush(::CreateSolidBrush(color));
        if (!brush) // keep the previous brush rather than paint with none
            return cached.brush ? cached.brush.get() : static_cast<HBRUSH>(::GetStockObject(DC_BRUSH));
        cached.brush = std::move(brush);
        cached.color = color;
    }
    return cached.brush.get();
}

namespace {
bool g_failNextApply = false;
} // namespace

void FailNextApplyForTesting() noexcept
{
    g_failNextApply = true;
}

void Apply(TThemeKind kind)
{
    if (g_failNextApply) {
        g_failNextApply = false;
        throw Exception("Unable to apply the visual theme \"" + WideToUtf8(Name(kind)) + "\"");
    }
    const TThemeKind previous = g_kind;
    g_kind = kind;
    // Every brush must be available before any window paints with the new
    // look; if one cannot be made, the look is not applied.
    for (size_t i = 0; i < g_brushes.size(); ++i) {
        const auto role = static_cast<TThemeColor>(i);
        if (Brush(role) == static_cast<HBRUSH>(::GetStockObject(DC_BRUSH)) || g_brushes[i].color != Color(role)) {
            g_kind = previous;
            throw Exception("Unable to apply the visual theme \"" + WideToUtf8(Name(kind)) + "\"");
        }
    }
    ::EnumThreadWindows(::GetCurrentThreadId(), NotifyWindow, 0);
}

void SystemColorsChanged() noexcept
{
    g_highContrast = ReadHighContrast();
    // The cached brushes follow their colors on the next use; the windows
    // are told so that menus, tool tips and title bars follow too.
    ::EnumThreadWindows(::GetCurrentThreadId(), NotifyWindow, 0);
}

void SimulateHighContrastForTesting(std::optional<bool> on) noexcept
{
    g_simulatedHighContrast = on;
}

UINT ChangedMessage() noexcept
{
    static const UINT message = ::RegisterWindowMessageW(L"Vesk.ThemeChanged");
    return message;
}

void ApplyToTitleBar(HWND window) noexcept
{
    // DWMWA_USE_IMMERSIVE_DARK_MODE is 20 from Windows 10 20H1 on (19 on
    // earlier builds of Windows 10). Older systems reject the attribute; the
    // title bar then keeps the system look, which is all they can show.
    const BOOL dark = IsDark() ? TRUE : FALSE;
    if (FAILED(::DwmSetWindowAttribute(window, 20, &dark, sizeof dark)))
        ::DwmSetWindowAttribute(window, 19, &dark, sizeof dark);
}

void ApplyToTooltip(HWND tooltip) noexcept
{
    ::SetWindowTheme(tooltip, L"", L"");
    ::SendMessageW(tooltip, TTM_SETTIPBKCOLOR, Color(TThemeColor::TooltipBackground), 0);
    ::SendMessageW(tooltip, TTM_SETTIPTEXTCOLOR, Color(TThemeColor::TooltipText), 0);
}

void ApplyToMenu(HMENU menu) noexcept
{
    MENUINFO info{};
    info.cbSize = sizeof info;
    info.fMask = MIM_BACKGROUND | MIM_APPLYTOSUBMENUS;
    info.hbrBack = IsDark() ? Brush(TThemeColor::MenuBackground) : nullptr;
    ::SetMenuInfo(menu, &info);
}

} // namespace Theme
