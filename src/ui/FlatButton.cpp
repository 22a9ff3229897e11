#include "ui/FlatButton.h"

#include "ui/ControlPaint.h"
#include "ui/Theme.h"

#include <vector>

using namespace ControlPaint;

namespace {

// The picture is 16 px at 96 DPI and grows with the DPI: 20 at 120, 24 at
// 144, 32 at 192.
constexpr int PictureSize = 16;

bool IsNamedResource(const wchar_t* name) noexcept
{
    // IS_INTRESOURCE without the macro's casts: an ordinal fits in the low
    // 16 bits of the pointer.
    return (reinterpret_cast<ULONG_PTR>(name) >> 16) != 0;
}

// A grey, faded copy of the picture for the disabled look; the system's
// embossed disabled drawing turns a colored picture into a blot. Premultiplied
// 32-bit, ready for GdiAlphaBlend. Null when the picture cannot be read.
UniqueBitmap GreyedPicture(HICON icon, int size)
{
    ICONINFO parts{};
    if (!icon || !::GetIconInfo(icon, &parts))
        return {};
    // GetIconInfo hands out copies of the icon's bitmaps, which are ours.
    const UniqueBitmap color(parts.hbmColor);
    const UniqueBitmap mask(parts.hbmMask);
    if (!color)
        return {};

    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = size;
    format.bmiHeader.biHeight = -size; // top-down
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    const auto count = static_cast<size_t>(size) * static_cast<size_t>(size);
    std::vector<RGBQUAD> pixels(count);
    std::vector<RGBQUAD> transparent(count);
    WindowDc screen(nullptr);
    if (::GetDIBits(screen.get(), color.get(), 0, static_cast<UINT>(size), pixels.data(), &format, DIB_RGB_COLORS)
        != size)
        return {};
    bool hasAlpha = false;
    for (const RGBQUAD& pixel : pixels)
        hasAlpha = hasAlpha || pixel.rgbReserved != 0;
    // Pictures without an alpha channel say through the mask (white) where
    // they are transparent.
    if (!hasAlpha
        && (!mask
            || ::GetDIBits(screen.get(), mask.get(), 0, static_cast<UINT>(size), transparent.data(), &format,
                           DIB_RGB_COLORS)
                   != size))
        return {};

    void* bits = nullptr;
    UniqueBitmap greyed(::CreateDIBSection(screen.get(), &format, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!greyed)
        return {};
    auto* out = static_cast<RGBQUAD*>(bits);
    for (size_t i = 0; i < count; ++i) {
        const RGBQUAD& pixel = pixels[i];
        const int alpha = hasAlpha ? pixel.rgbReserved : (transparent[i].rgbRed ? 0 : 255);
        const int faded = alpha * 2 / 5;
        const int grey = (pixel.rgbRed * 30 + pixel.rgbGreen * 59 + pixel.rgbBlue * 11) / 100;
        const auto value = static_cast<BYTE>(grey * faded / 255);
        out[i] = {value, value, value, static_cast<BYTE>(faded)};
    }
    return greyed;
}

} // namespace

TFlatButton::TFlatButton(HWND parent, int controlId, const wchar_t* iconResourceName, const TChildPlace& place)
{
    if (IsNamedResource(iconResourceName)) {
        m_iconNameText = iconResourceName;
        m_iconName = m_iconNameText.c_str();
    } else {
        m_iconName = iconResourceName;
    }

    CreateControlWindow(ClassName, 0, WS_TABSTOP, parent, controlId, place);
    LoadPicture();
}

TFlatButton::~TFlatButton()
{
    DestroyHandle();
}

void TFlatButton::LoadPicture()
{
    m_iconSize = Scale(PictureSize, Dpi());
    m_greyedIcon.reset(); // made from m_icon when the button is first drawn disabled
    if (!m_iconName) {
        m_icon.reset();
        return;
    }
    // Asking for the exact size lets the system pick the image drawn for it
    // instead of shrinking a larger one. A missing picture leaves the button
    // blank but working, so it is not worth an error box.
    m_icon.reset(static_cast<HICON>(
        ::LoadImageW(::GetModuleHandleW(nullptr), m_iconName, IMAGE_ICON, m_iconSize, m_iconSize, 0)));
}

bool TFlatButton::IsInside(POINT point) const noexcept
{
    RECT client{};
    ::GetClientRect(Handle(), &client);
    return Contains(client, point);
}

void TFlatButton::SetHot(bool hot)
{
    if (hot == m_hot)
        return;
    m_hot = hot;
    Invalidate();
}

void TFlatButton::Click()
{
    if (OnClick)
        OnClick();
}

LRESULT TFlatButton::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
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
    case WM_GETDLGCODE: return WMGetDlgCode(reinterpret_cast<const MSG*>(lParam));
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        m_spaceDown = false; // a Space press the focus left behind never clicks
        Invalidate();
        return 0;
    case WM_ENABLE:
        if (!wParam)
            CancelPress();
        Invalidate();
        return 0;
    default: return TPaintedControl::HandleMessage(message, wParam, lParam);
    }
}

LRESULT TFlatButton::WMGetDlgCode(const MSG* message) const noexcept
{
    // Enter would otherwise be taken by the dialog manager as the default
    // button's key; we click on it ourselves.
    if (message && (message->message == WM_KEYDOWN || message->message == WM_CHAR) && message->wParam == VK_RETURN)
        return DLGC_WANTMESSAGE;
    return 0;
}

void TFlatButton::Paint(HDC dc, const RECT& client) const
{
    const bool enabled = ::IsWindowEnabled(Handle()) != FALSE;
    const bool pressed = enabled && ((m_mouseDown && m_hot) || m_spaceDown);
    const bool hot = enabled && (m_hot || m_mouseDown);

    Fill(dc, client, Theme::Color(TThemeColor::ButtonFace));
    if (pressed || hot) {
        Fill(dc, client, Theme::Color(pressed ? TThemeColor::ButtonPressed : TThemeColor::ButtonHot));
        Frame(dc, client, Theme::Color(TThemeColor::ButtonFrame));
    }

    if (m_icon) {
        // A pressed picture moves down and right by a pixel, the way a button
        // gives under the finger.
        const int shift = pressed ? 1 : 0;
        const int x = (client.right - m_iconSize) / 2 + shift;
        const int y = (client.bottom - m_iconSize) / 2 + shift;
        if (enabled)
            ::DrawIconEx(dc, x, y, m_icon.get(), m_iconSize, m_iconSize, 0, nullptr, DI_NORMAL);
        else
            DrawGreyedPicture(dc, x, y);
    }

    // The focus shows whenever the button has it, also before the keyboard
    // was used: the user must always see where keys go.
    if (::GetFocus() == Handle()) {
        RECT focus = client;
        ::InflateRect(&focus, -2, -2);
        DottedFrame(dc, focus, Theme::Color(TThemeColor::FocusFrame));
    }
}

DWORD TFlatButton::AccessibleExtraState() const noexcept
{
    return (m_mouseDown && m_hot) || m_spaceDown ? STATE_SYSTEM_PRESSED : 0;
}

void TFlatButton::DrawGreyedPicture(HDC dc, int x, int y) const
{
    if (!m_greyedIcon && m_icon)
        m_greyedIcon = GreyedPicture(m_icon.get(), m_iconSize);
    if (!m_greyedIcon)
        return;
    UniqueMemoryDc memory(::CreateCompatibleDC(dc));
    if (!memory)
        return; // a disabled button without its faint picture is still a disabled button
    SelectedObject select(memory.get(), m_greyedIcon.get());
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    ::GdiAlphaBlend(dc, x, y, m_iconSize, m_iconSize, memory.get(), 0, 0, m_iconSize, m_iconSize, blend);
}

void TFlatButton::WMLButtonDown(POINT point)
{
    if (!IsInside(point))
        return;
    m_mouseDown = true;
    m_hot = true;
    ::SetCapture(Handle());
    Invalidate();
}

void TFlatButton::WMMouseMove(POINT point)
{
    if (!m_trackingLeave) {
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, Handle(), 0};
        m_trackingLeave = ::TrackMouseEvent(&track) != FALSE;
    }
    SetHot(IsInside(point));
}

void TFlatButton::WMLButtonUp(POINT point)
{
    if (!m_mouseDown)
        return;
    const bool inside = IsInside(point);
    CancelPress();
    m_hot = inside;
    if (inside)
        Click();
}

void TFlatButton::CancelPress()
{
    const bool wasDown = m_mouseDown;
    m_mouseDown = false; // first, so the WM_CAPTURECHANGED of the release finds nothing to do
    if (wasDown && ::GetCapture() == Handle())
        ::ReleaseCapture();
    if (wasDown)
        Invalidate();
}

void TFlatButton::WMMouseLeave()
{
    m_trackingLeave = false;
    // Under capture the pointer's place is reported by WM_MOUSEMOVE; the
    // pressed look follows those moves, not this message.
    if (!m_mouseDown)
        SetHot(false);
}

void TFlatButton::WMKeyDown(WPARAM key)
{
    if (key == VK_SPACE) {
        if (!m_spaceDown) {
            m_spaceDown = true;
            Invalidate();
        }
    } else if (key == VK_RETURN) {
        Click();
    }
}

void TFlatButton::WMKeyUp(WPARAM key)
{
    if (key != VK_SPACE || !m_spaceDown)
        return;
    m_spaceDown = false;
    Invalidate();
    Click();
}
