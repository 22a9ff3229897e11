#include "ui/ColorSwitch.h"

#include "ui/ControlPaint.h"
#include "ui/Theme.h"

#include <commctrl.h>

#include <algorithm>

using namespace ControlPaint;

TColorSwitch::TColorSwitch(HWND parent, int controlId, const TChildPlace& place)
{
    CreateControlWindow(ClassName, 0, WS_TABSTOP, parent, controlId, place);
}

TColorSwitch::~TColorSwitch()
{
    DestroyHandle();
}

void TColorSwitch::Buttons(RECT& left, RECT& right) const noexcept
{
    RECT client{};
    ::GetClientRect(Handle(), &client);
    // The two buttons share the pixel column between them, so the frames meet
    // in one line and, at the usual odd width, both buttons are equally wide.
    const int middle = client.right / 2;
    left = {0, 0, middle + 1, client.bottom};
    right = {middle, 0, client.right, client.bottom};
}

TColorSwitch::TPart TColorSwitch::HitTest(POINT point) const noexcept
{
    RECT left{};
    RECT right{};
    Buttons(left, right);
    if (Contains(right, point))
        return TPart::Right;
    if (Contains(left, point))
        return TPart::Left;
    return TPart::None;
}

void TColorSwitch::SetHot(TPart part)
{
    if (part == m_hot)
        return;
    m_hot = part;
    Invalidate();
}

void TColorSwitch::Click()
{
    if (OnClick)
        OnClick();
}

LRESULT TColorSwitch::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_LBUTTONDOWN: WMLButtonDown(PointFromLParam(lParam)); return 0;
    case WM_MOUSEMOVE: WMMouseMove(PointFromLParam(lParam)); return 0;
    case WM_LBUTTONUP: WMLButtonUp(PointFromLParam(lParam)); return 0;
    case WM_MOUSELEAVE: WMMouseLeave(); return 0;
    case WM_CAPTURECHANGED:
    case WM_CANCELMODE: CancelPress(); return 0;
    case WM_KEYDOWN: WMKeyDown(wParam); return 0;
    case WM_KEYUP: WMKeyUp(wParam); return 0;
    case WM_GETDLGCODE:
        // Left and Right are ours; Tab still moves on.
        return DLGC_WANTARROWS;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        m_spaceDown = false;
        Invalidate();
        return 0;
    case WM_ENABLE:
        if (!wParam)
            CancelPress();
        Invalidate();
        return 0;
    case UDM_GETPOS32:
        if (lParam)
            *reinterpret_cast<BOOL*>(lParam) = FALSE;
        return m_position;
    case UDM_SETPOS32: return UDMSetPos32(static_cast<int>(lParam));
    case UDM_GETRANGE32: return UDMGetRange32(reinterpret_cast<int*>(wParam), reinterpret_cast<int*>(lParam));
    case UDM_SETRANGE32:
        m_low = static_cast<int>(wParam);
        m_high = static_cast<int>(lParam);
        return 0;
    default: return TPaintedControl::HandleMessage(message, wParam, lParam);
    }
}

LRESULT TColorSwitch::UDMSetPos32(int position) noexcept
{
    const int previous = m_position;
    // An up-down's range may run backwards (low above high).
    m_position = std::clamp(position, std::min(m_low, m_high), std::max(m_low, m_high));
    return previous;
}

LRESULT TColorSwitch::UDMGetRange32(int* low, int* high) const noexcept
{
    if (low)
        *low = m_low;
    if (high)
        *high = m_high;
    return 0;
}

void TColorSwitch::Paint(HDC dc, const RECT& client) const
{
    const bool enabled = ::IsWindowEnabled(Handle()) != FALSE;
    // The focus shows whenever the switch has it, also before the keyboard
    // was used: the user must always see where keys go.
    const bool focusShown = ::GetFocus() == Handle();
    Fill(dc, client, Theme::Color(TThemeColor::WindowBackground));

    RECT left{};
    RECT right{};
    Buttons(left, right);
    auto paintButton = [&](const RECT& box, TPart part, TArrowDirection direction) {
        const bool pressed = enabled && ((m_pressed == part && m_hot == part) || m_spaceDown);
        const bool hot = enabled && m_hot == part && (m_pressed == TPart::None || m_pressed == part);
        TThemeColor face = TThemeColor::ButtonFace;
        if (pressed)
            face = TThemeColor::ButtonPressed;
        else if (hot)
            face = TThemeColor::ButtonHot;
        Fill(dc, box, Theme::Color(face));

        RECT glyph = box;
        if (pressed)
            ::OffsetRect(&glyph, 1, 1);
        const int size = std::max(2, static_cast<int>((box.right - box.left) / 3));
        TThemeColor arrow = TThemeColor::DisabledText;
        if (enabled)
            arrow = pressed || hot ? TThemeColor::ScrollArrowHot : TThemeColor::ScrollArrow;
        Arrow(dc, glyph, direction, size, Theme::Color(arrow));
    };
    paintButton(left, TPart::Left, TArrowDirection::Left);
    paintButton(right, TPart::Right, TArrowDirection::Right);
    // Frames last: the shared middle column belongs to both.
    const COLORREF frame = Theme::Color(enabled ? TThemeColor::ButtonFrame : TThemeColor::DisabledText);
    Frame(dc, left, frame);
    Frame(dc, right, frame);
    if (focusShown) {
        RECT focus = client;
        ::InflateRect(&focus, -2, -2);
        DottedFrame(dc, focus, Theme::Color(TThemeColor::FocusFrame));
    }
}

DWORD TColorSwitch::AccessibleExtraState() const noexcept
{
    return m_spaceDown || (m_pressed != TPart::None && m_hot == m_pressed) ? STATE_SYSTEM_PRESSED : 0;
}

void TColorSwitch::WMLButtonDown(POINT point)
{
    const TPart part = HitTest(point);
    if (part == TPart::None)
        return;
    m_pressed = part;
    m_hot = part;
    ::SetCapture(Handle());
    Invalidate();
}

void TColorSwitch::WMMouseMove(POINT point)
{
    if (!m_trackingLeave) {
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, Handle(), 0};
        m_trackingLeave = ::TrackMouseEvent(&track) != FALSE;
    }
    SetHot(HitTest(point));
}

void TColorSwitch::WMLButtonUp(POINT point)
{
    if (m_pressed == TPart::None)
        return;
    // Like any push button, only a release over the button that was pressed
    // counts; sliding off is the user's way to take a press back.
    const TPart pressed = m_pressed;
    const TPart released = HitTest(point);
    CancelPress();
    m_hot = released;
    if (released == pressed)
        Click();
}

void TColorSwitch::CancelPress()
{
    if (m_pressed == TPart::None)
        return;
    m_pressed = TPart::None; // first, so the WM_CAPTURECHANGED of the release finds nothing to do
    if (::GetCapture() == Handle())
        ::ReleaseCapture();
    Invalidate();
}

void TColorSwitch::WMMouseLeave()
{
    m_trackingLeave = false;
    if (m_pressed == TPart::None)
        SetHot(TPart::None);
}

void TColorSwitch::WMKeyDown(WPARAM key)
{
    switch (key) {
    case VK_LEFT:
    case VK_RIGHT: Click(); break;
    case VK_SPACE:
        if (!m_spaceDown) {
            m_spaceDown = true;
            Invalidate();
        }
        break;
    default: break;
    }
}

void TColorSwitch::WMKeyUp(WPARAM key)
{
    if (key != VK_SPACE || !m_spaceDown)
        return;
    m_spaceDown = false;
    Invalidate();
    Click();
}
