#include "ui/ColorBox.h"

#include "ui/ControlPaint.h"
#include "ui/Theme.h"

#include <algorithm>
#include <iterator>

using namespace ControlPaint;

namespace {

// The sample text is black and white in every look: it shows the color
// itself, not the program's theme.
constexpr COLORREF DarkTextColor = RGB(0x00, 0x00, 0x00);
constexpr COLORREF LightTextColor = RGB(0xFF, 0xFF, 0xFF);

constexpr wchar_t SampleText[] = L"Lorem Ipsum";
// Top-left corners of the two lines at 96 DPI, from the box's corner.
constexpr POINT DarkTextOrigin{6, 7};
constexpr POINT LightTextOrigin{6, 26};

} // namespace

TColorBox::TColorBox(HWND parent, int controlId, const TChildPlace& place)
{
    // A tab stop, so the keyboard reaches the color dialog (Enter, Space)
    // and the code's context menu (the menu key, Shift+F10) of each box.
    CreateControlWindow(ClassName, CS_DBLCLKS, WS_TABSTOP, parent, controlId, place);
}

TColorBox::~TColorBox()
{
    DestroyHandle();
}

void TColorBox::SetColor(COLORREF color)
{
    if (color == m_color)
        return;
    m_color = color;
    Invalidate();
}

void TColorBox::SetAccessibleValue(std::wstring value)
{
    if (value == m_valueText)
        return;
    m_valueText = std::move(value);
    NotifyAccessible(EVENT_OBJECT_VALUECHANGE);
}

void TColorBox::SetSampleTextVisible(bool visible)
{
    if (visible == m_sampleText)
        return;
    m_sampleText = visible;
    Invalidate();
}

LRESULT TColorBox::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_LBUTTONDBLCLK: WMLButtonDblClk(); return 0;
    case WM_GETDLGCODE: {
        // Enter opens the dialog here instead of going to the window as OK.
        const auto* keyMessage = reinterpret_cast<const MSG*>(lParam);
        if (keyMessage && keyMessage->message == WM_KEYDOWN && keyMessage->wParam == VK_RETURN)
            return DLGC_WANTMESSAGE;
        return DLGC_WANTCHARS;
    }
    case WM_KEYDOWN:
        if (wParam == VK_RETURN || wParam == VK_SPACE) {
            WMLButtonDblClk();
            return 0;
        }
        break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: Invalidate(); break;
    default: break;
    }
    return TPaintedControl::HandleMessage(message, wParam, lParam);
}

void TColorBox::Paint(HDC dc, const RECT& client) const
{
    // The border follows the look and the system's colors, so the box's edge
    // shows on any window background; the color inside stays the true one.
    Frame(dc, client, Theme::Color(TThemeColor::ColorBoxBorder));
    RECT inside = client;
    ::InflateRect(&inside, -1, -1);
    Fill(dc, inside, m_color);
    if (::GetFocus() == Handle()) {
        RECT focus = inside;
        ::InflateRect(&focus, -Scale(2, Dpi()), -Scale(2, Dpi()));
        // Black dots on a light color, white on a dark one. An inverted
        // focus rectangle would vanish on middle grey, the default color.
        DottedFrame(dc, focus, ContrastingMark(m_color));
    }
    if (!m_sampleText)
        return;

    HFONT font = Font();
    SelectedObject selectFont(dc, font);
    // Text stays inside the border even where a large font would reach it.
    const int saved = ::SaveDC(dc);
    ::IntersectClipRect(dc, inside.left, inside.top, inside.right, inside.bottom);
    ::SetBkMode(dc, TRANSPARENT);
    const int length = static_cast<int>(std::size(SampleText)) - 1;
    // Font widths do not grow exactly with the DPI: where the text would run
    // into the right border at the layout's place, it is centred instead.
    SIZE extent{};
    ::GetTextExtentPoint32W(dc, SampleText, length, &extent);
    const auto left = [&](int layoutLeft) -> int {
        const int x = Scale(layoutLeft, Dpi());
        if (x + extent.cx < inside.right)
            return x;
        return static_cast<int>(inside.left + std::max(0L, (inside.right - inside.left - extent.cx) / 2));
    };
    ::SetTextColor(dc, DarkTextColor);
    ::TextOutW(dc, left(DarkTextOrigin.x), Scale(DarkTextOrigin.y, Dpi()), SampleText, length);
    ::SetTextColor(dc, LightTextColor);
    ::TextOutW(dc, left(LightTextOrigin.x), Scale(LightTextOrigin.y, Dpi()), SampleText, length);
    ::RestoreDC(dc, saved);
}

void TColorBox::WMLButtonDblClk()
{
    if (OnDoubleClick)
        OnDoubleClick();
}
