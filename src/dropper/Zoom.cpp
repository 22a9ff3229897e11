#include "dropper/Zoom.h"

#include "common/Trace.h"
#include "dropper/SystemFunctions.h"
#include "dropper/ZoomPlacement.h"
#include "ui/Theme.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <cwchar>
#include <utility>

namespace {

// The fixed layout at 96 DPI; the zoom picture itself is never scaled.
constexpr int ColorBoxSide = 120;
constexpr int Gap = 8;
constexpr int ValuesTop = ColorBoxSide + Gap;
constexpr int ValuesWidth = 120;
constexpr int ValuesHeight = 153;
constexpr int LabelLeft = 6;
constexpr int BevelWidth = 108;
// Label tops inside the values panel, by TZoomLabel, and the two separators.
constexpr int LabelTops[] = {6, 32, 51, 77, 96, 115, 134};
constexpr int BevelTops[] = {25, 70};

// Puts a bitmap into a memory DC, keeping what was there for the release.
void Select(const UniqueMemoryDc& dc, HBITMAP bitmap, HGDIOBJ& old) noexcept
{
    HGDIOBJ previous = ::SelectObject(dc.get(), bitmap);
    if (!old)
        old = previous;
}

void Release(UniqueMemoryDc& dc, HGDIOBJ& old) noexcept
{
    if (dc && old)
        ::SelectObject(dc.get(), old);
    old = nullptr;
    dc.reset();
}

// Hands a bitmap with the memory DC it is selected into from one holder to
// another; what the other held goes first.
void Hand(UniqueBitmap& fromBitmap, UniqueMemoryDc& fromDc, HGDIOBJ& fromOld, UniqueBitmap& toBitmap,
          UniqueMemoryDc& toDc, HGDIOBJ& toOld) noexcept
{
    Release(toDc, toOld);
    toBitmap = std::move(fromBitmap);
    toDc = std::move(fromDc);
    toOld = std::exchange(fromOld, nullptr);
}

void FrameRect1(HDC dc, const RECT& rect, COLORREF color)
{
    ::SetDCBrushColor(dc, color);
    ::FrameRect(dc, &rect, static_cast<HBRUSH>(::GetStockObject(DC_BRUSH)));
}

void FillRect1(HDC dc, const RECT& rect, COLORREF color)
{
    ::SetDCBrushColor(dc, color);
    ::FillRect(dc, &rect, static_cast<HBRUSH>(::GetStockObject(DC_BRUSH)));
}

// White on dark colors, black on light ones: the flash shows on any color.
COLORREF FlashColor(TColor color)
{
    const auto value = static_cast<unsigned>(color);
    const unsigned r = value & 0xFF, g = (value >> 8) & 0xFF, b = (value >> 16) & 0xFF;
    return r * 299 + g * 587 + b * 114 < 128 * 1000 ? RGB(0xFF, 0xFF, 0xFF) : RGB(0, 0, 0);
}

// The zoom window of the last run made its size known here: the next one
// starts at it, and with the same settings needs no resize of its own.
TWindowSize g_lastWindowSize;

// What a zoom window leaves to the next run's: its zoom picture and its back
// buffer, each in its memory DC. The next window takes them when it needs
// the same sizes (the same settings on the same monitor), which saves making
// them and the first touch of their memory.
struct TKeptPictures {
    UniqueBitmap Picture;
    TZoomPictureView View;
    UniqueMemoryDc PictureDc;
    HGDIOBJ PictureDcOld = nullptr;
    UniqueBitmap Buffer;
    TWindowSize BufferSize;
    UniqueMemoryDc BufferDc;
    HGDIOBJ BufferDcOld = nullptr;

    ~TKeptPictures() { Clear(); }
    // Each bitmap goes after its DC, since a bitmap in a DC cannot be
    // deleted.
    void Clear() noexcept
    {
        Release(PictureDc, PictureDcOld);
        Picture.reset();
        View = {};
        Release(BufferDc, BufferDcOld);
        Buffer.reset();
        BufferSize = {};
    }
} g_kept;

} // namespace

void ReleaseKeptZoomPictures() noexcept
{
    g_kept.Clear();
}

TFormZoom::TFormZoom(HWND owner, TZoomEvents& events, UINT dpi) : m_owner(owner), m_events(events), m_dpi(dpi)
{
    WNDCLASSEXW windowClass{};
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = ClassName;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = nullptr;
    // No border, no caption, above normal windows, not on the taskbar.
    CreateHandle(windowClass, WS_EX_TOPMOST | WS_EX_TOOLWINDOW, L"", WS_POPUP, 0, 0, g_lastWindowSize.Width,
                 g_lastWindowSize.Height, owner, nullptr);
    TracePoint("zoom window created");
    MakeFont();
}

void TFormZoom::MakeFont()
{
    // The fonts installed do not change while a run could use them.
    static const std::wstring face = InstalledFontFace({L"MS Sans Serif", L"Microsoft Sans Serif"});
    TracePoint("zoom font face found");
    m_font.reset(::CreateFontW(-Scale(11), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                               CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH | FF_SWISS, face.c_str()));
}

void TFormZoom::SetDpi(UINT dpi)
{
    if (dpi == 0 || dpi == m_dpi)
        return;
    m_dpi = dpi;
    MakeFont();
    Layout();
}

TFormZoom::~TFormZoom()
{
    DestroyHandle();
    ReleaseAccessibleObject(std::exchange(m_accessible, nullptr));
    // Each replaces what an earlier window left, which goes (its DC first,
    // since a bitmap in a DC cannot be deleted).
    if (m_picture) {
        Hand(m_picture, m_pictureDc, m_pictureDcOld, g_kept.Picture, g_kept.PictureDc, g_kept.PictureDcOld);
        g_kept.View = m_view;
    }
    if (m_buffer) {
        Hand(m_buffer, m_bufferDc, m_bufferDcOld, g_kept.Buffer, g_kept.BufferDc, g_kept.BufferDcOld);
        g_kept.BufferSize = {m_width, m_height};
    }
    Release(m_pictureDc, m_pictureDcOld);
    Release(m_bufferDc, m_bufferDcOld);
}

void TFormZoom::HandleDestroyed()
{
    ReleaseAccessibleObject(std::exchange(m_accessible, nullptr));
}

std::wstring TFormZoom::AccessibleName() const
{
    // The lines of the values panel, in their order.
    std::wstring name;
    for (const auto& caption : m_captions) {
        if (caption[0] == L'\0')
            continue;
        if (!name.empty())
            name += L", ";
        name += caption.data();
    }
    return name;
}

int TFormZoom::Scale(int pixels) const noexcept
{
    return ::MulDiv(pixels, static_cast<int>(m_dpi), USER_DEFAULT_SCREEN_DPI);
}

void TFormZoom::SetCaption(TZoomLabel label, std::string_view caption)
{
    // Into a fixed buffer: the captions change on every pointer move, and
    // that path allocates nothing.
    auto& target = m_captions[label];
    const int length = ::MultiByteToWideChar(CP_UTF8, 0, caption.data(), static_cast<int>(caption.size()),
                                             target.data(), static_cast<int>(target.size() - 1));
    target[static_cast<std::size_t>(std::max(length, 0))] = L'\0';
}

void TFormZoom::ResizeZoomPicture(int side)
{
    side = std::max(side, 0);
    // The setters resize with every change of Z or So, mostly to the size
    // the picture has: then it is only cleared, and the window keeps its
    // size, back buffer and region.
    if (m_picture && side == m_view.Width) {
        std::memset(m_view.Bits, 0, static_cast<std::size_t>(m_view.Stride) * static_cast<std::size_t>(m_view.Height));
        return;
    }
    Release(m_pictureDc, m_pictureDcOld);
    m_picture.reset();
    m_view = {};
    if (side > 0 && g_kept.Picture && g_kept.View.Width == side) {
        Hand(g_kept.Picture, g_kept.PictureDc, g_kept.PictureDcOld, m_picture, m_pictureDc, m_pictureDcOld);
        m_view = g_kept.View;
        // Black, as a new one is.
        std::memset(m_view.Bits, 0, static_cast<std::size_t>(m_view.Stride) * static_cast<std::size_t>(m_view.Height));
    } else if (side > 0) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = side;
        info.bmiHeader.biHeight = -side; // top-down, as the rules draw it
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 24;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        m_picture.reset(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        if (!m_picture || !bits)
            throw std::runtime_error("Unable to create the zoom picture");
        // A new DIB section is black, as a cleared picture should be.
        m_view = {static_cast<std::uint8_t*>(bits), side, side, ZoomPictureStride(side)};
        m_pictureDc.reset(::CreateCompatibleDC(nullptr));
        Select(m_pictureDc, m_picture.get(), m_pictureDcOld);
    }
    TracePoint("zoom picture made");
    Layout();
}

void TFormZoom::Layout()
{
    const TWindowSize size = ZoomWindowSize(m_view.Width, m_dpi);
    m_width = size.Width;
    m_height = size.Height;
    RECT window{};
    if (!::GetWindowRect(Handle(), &window) || window.right - window.left != m_width
        || window.bottom - window.top != m_height)
        ::SetWindowPos(Handle(), nullptr, 0, 0, m_width, m_height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    g_lastWindowSize = size;
    TracePoint("zoom window sized");

    Release(m_bufferDc, m_bufferDcOld);
    m_buffer.reset();
    if (g_kept.Buffer && g_kept.BufferSize.Width == m_width && g_kept.BufferSize.Height == m_height) {
        // Every part of it inside the window's region is painted anew.
        Hand(g_kept.Buffer, g_kept.BufferDc, g_kept.BufferDcOld, m_buffer, m_bufferDc, m_bufferDcOld);
    } else {
        WindowDc screen(Handle());
        m_buffer.reset(::CreateCompatibleBitmap(screen.get(), std::max(m_width, 1), std::max(m_height, 1)));
        m_bufferDc.reset(::CreateCompatibleDC(screen.get()));
        if (!m_buffer || !m_bufferDc)
            throw std::runtime_error("Unable to create the zoom window's picture");
        Select(m_bufferDc, m_buffer.get(), m_bufferDcOld);
    }
    TracePoint("zoom back buffer made");
    UpdateVisibleFormRegion();
    TracePoint("zoom region set");
}

// The union of the three panels: the strips between them and the corners
// below the shorter column are not part of the window, so the snapshot shows
// through. Built as one polygon with the even-odd rule.
void TFormZoom::UpdateVisibleFormRegion()
{
    // Every activation applies it again; the same polygon once more would
    // only cost the window a redraw.
    if (FVisibleFormRegion && m_regionSide == m_view.Width)
        return;
    const int zl = Scale(ColorBoxSide + Gap), zw = m_view.Width + 2, zh = m_view.Height + 2;
    const int cw = Scale(ColorBoxSide), ch = Scale(ColorBoxSide);
    const int vt = Scale(ValuesTop), vw = Scale(ValuesWidth), vh = Scale(ValuesHeight);
    const POINT vertices[12] = {{0, 0},        {zl + zw, 0}, {zl + zw, zh}, {zl, zh}, {zl, 0},  {cw, 0},
                                {cw, vt + vh}, {0, vt + vh}, {0, vt},       {vw, vt}, {cw, ch}, {0, ch}};
    HRGN region = ::CreatePolygonRgn(vertices, 12, ALTERNATE);
    if (!region)
        return; // the window then stays rectangular, which only looks worse
    if (::SetWindowRgn(Handle(), region, TRUE)) {
        FVisibleFormRegion = region; // the system owns it now
        m_regionSide = m_view.Width;
    } else {
        ::DeleteObject(region);
    }
}

void TFormZoom::MoveTo(int left, int top)
{
    if (left == m_left && top == m_top)
        return;
    m_left = left;
    m_top = top;
    ::SetWindowPos(Handle(), nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TFormZoom::Repaint()
{
    if (!m_bufferDc)
        return;
    Paint(m_bufferDc.get());
    WindowDc dc(Handle());
    ::BitBlt(dc.get(), 0, 0, m_width, m_height, m_bufferDc.get(), 0, 0, SRCCOPY);
    TracePoint("zoom repainted");
    // A screen reader hears the values when the pointer rests, not on each
    // pixel it passes: each update starts the wait anew.
    if (m_accessible)
        ::SetTimer(Handle(), RestTimer, RestInterval, nullptr);
}

void TFormZoom::ConfirmAdded(int count)
{
    m_addedCount = count;
    std::swprintf(m_addedText.data(), m_addedText.size(), L"+%d", count);
    m_flash = true;
    Repaint();
    // A window timer: a press of Space during the flash starts it anew.
    ::SetTimer(Handle(), FlashTimer, FlashInterval, nullptr);
}

// In the color box's corner, so the labels below keep their places; in the
// colors of the values panel, readable on any sampled color.
void TFormZoom::PaintAddedCount(HDC dc, const RECT& colorBox)
{
    if (m_addedCount <= 0)
        return;
    const int length = static_cast<int>(::wcslen(m_addedText.data()));
    SIZE text{};
    ::GetTextExtentPoint32W(dc, m_addedText.data(), length, &text);
    const int pad = Scale(3);
    const int inset = Scale(4);
    const RECT badge{colorBox.right - inset - text.cx - 2 * pad, colorBox.bottom - inset - text.cy - pad,
                     colorBox.right - inset, colorBox.bottom - inset};
    FillRect1(dc, badge, Theme::Color(TThemeColor::WindowBackground));
    FrameRect1(dc, badge, Theme::Color(TThemeColor::Border));
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, Theme::Color(TThemeColor::Text));
    ::TextOutW(dc, badge.left + pad, badge.top + pad / 2, m_addedText.data(), length);
}

void TFormZoom::Paint(HDC dc)
{
    const COLORREF black = RGB(0, 0, 0);
    // Color box: a black frame round the sampled color.
    const RECT colorBox{0, 0, Scale(ColorBoxSide), Scale(ColorBoxSide)};
    FrameRect1(dc, colorBox, black);
    const RECT colorInside{1, 1, colorBox.right - 1, colorBox.bottom - 1};
    FillRect1(dc, colorInside, static_cast<COLORREF>(m_sampleColor) & 0xFFFFFF);
    if (m_flash) {
        // A frame a fifth of the box wide round the color that was added.
        const int width = Scale(ColorBoxSide) / 5;
        const COLORREF flash = FlashColor(m_sampleColor);
        FillRect1(dc, RECT{colorInside.left, colorInside.top, colorInside.right, colorInside.top + width}, flash);
        FillRect1(dc, RECT{colorInside.left, colorInside.bottom - width, colorInside.right, colorInside.bottom}, flash);
        FillRect1(dc, RECT{colorInside.left, colorInside.top, colorInside.left + width, colorInside.bottom}, flash);
        FillRect1(dc, RECT{colorInside.right - width, colorInside.top, colorInside.right, colorInside.bottom}, flash);
    }

    // Zoom box: a black frame round the zoom picture, shown one to one.
    const int zl = Scale(ColorBoxSide + Gap);
    const RECT zoomBox{zl, 0, zl + m_view.Width + 2, m_view.Height + 2};
    FrameRect1(dc, zoomBox, black);
    if (m_pictureDc)
        ::BitBlt(dc, zl + 1, 1, m_view.Width, m_view.Height, m_pictureDc.get(), 0, 0, SRCCOPY);

    // Values panel: raised, in the look's colors.
    const int vt = Scale(ValuesTop);
    RECT values{0, vt, Scale(ValuesWidth), vt + Scale(ValuesHeight)};
    FillRect1(dc, values, Theme::Color(TThemeColor::WindowBackground));
    if (Theme::IsDark()) {
        FrameRect1(dc, values, Theme::Color(TThemeColor::Border));
    } else {
        ::DrawEdge(dc, &values, BDR_RAISEDINNER, BF_RECT);
    }
    for (const int top : BevelTops) {
        const RECT line{Scale(LabelLeft), vt + Scale(top), Scale(LabelLeft + BevelWidth), vt + Scale(top) + 1};
        FillRect1(dc, line, Theme::Color(TThemeColor::Border));
    }
    const SelectedObject font(dc, m_font.get());
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, Theme::Color(TThemeColor::Text));
    for (int label = zlRGB; label <= zlMouseSpeed; ++label) {
        const wchar_t* text = m_captions[static_cast<std::size_t>(label)].data();
        ::TextOutW(dc, Scale(LabelLeft), vt + Scale(LabelTops[label]), text, static_cast<int>(::wcslen(text)));
    }
    PaintAddedCount(dc, colorBox);
}

void TFormZoom::FormActivate()
{
    constexpr UINT keepPlace = SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE;
    if (m_owner)
        ::SetWindowPos(m_owner, HWND_TOPMOST, 0, 0, 0, 0, keepPlace);
    ::SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, keepPlace);
    BringToForeground(Handle());
    UpdateVisibleFormRegion();
    TracePoint("zoom window activated");
}

void TFormZoom::MouseWheel(WPARAM wParam)
{
    const auto keys = GET_KEYSTATE_WPARAM(wParam);
    const TShiftState shift{(keys & MK_SHIFT) != 0, (keys & MK_CONTROL) != 0, ::GetKeyState(VK_MENU) < 0,
                            (keys & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON | MK_XBUTTON1 | MK_XBUTTON2)) != 0};
    // Fine-grained wheels send parts of a notch; each whole notch is a step.
    m_wheelDelta += GET_WHEEL_DELTA_WPARAM(wParam);
    while (m_wheelDelta >= WHEEL_DELTA) {
        m_wheelDelta -= WHEEL_DELTA;
        m_events.ZoomWheel(true, shift);
    }
    while (m_wheelDelta <= -WHEEL_DELTA) {
        m_wheelDelta += WHEEL_DELTA;
        m_events.ZoomWheel(false, shift);
    }
}

LRESULT TFormZoom::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE)
            FormActivate();
        return 0;
    case WM_MOUSEACTIVATE: return MA_ACTIVATE;
    case WM_ERASEBKGND: return 1; // the back buffer covers everything
    case WM_PAINT: {
        PaintDc paint(Handle());
        if (m_bufferDc) {
            Paint(m_bufferDc.get());
            ::BitBlt(paint.get(), 0, 0, m_width, m_height, m_bufferDc.get(), 0, 0, SRCCOPY);
        }
        TracePoint("zoom window painted");
        return 0;
    }
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP: {
        const bool down = message == WM_KEYDOWN || message == WM_SYSKEYDOWN;
        const TShiftState shift{::GetKeyState(VK_SHIFT) < 0, ::GetKeyState(VK_CONTROL) < 0, ::GetKeyState(VK_MENU) < 0,
                                false};
        const auto key = static_cast<unsigned>(wParam);
        if (const TZoomKeyAction action = ZoomKeyAction(key, down, shift); action != zkaNone) {
            m_events.ZoomKey(action, key, shift.Shift);
            return 0;
        }
        break;
    }
    case WM_DPICHANGED:
        // The run places the window itself, with the size for the monitor
        // under the pointer; the suggested rectangle is not used.
        SetDpi(HIWORD(wParam));
        return 0;
    case WM_MOUSEWHEEL: MouseWheel(wParam); return 0;
    case WM_GETOBJECT:
        if (const auto answer = AnswerClientQuery(m_accessible, *this, wParam, lParam))
            return *answer;
        break;
    case WM_TIMER:
        if (wParam == RestTimer) {
            ::KillTimer(Handle(), RestTimer);
            NotifyAccessibleEvent(Handle(), EVENT_OBJECT_NAMECHANGE);
            return 0;
        }
        if (wParam == FlashTimer) {
            ::KillTimer(Handle(), FlashTimer);
            m_flash = false;
            Repaint();
            return 0;
        }
        break;
    case WM_MOUSEMOVE: m_events.ZoomMouseMove(); return 0;
    case WM_CLOSE:
        // The run owns the window; it lets it go once this message is done.
        m_events.ZoomClosed();
        return 0;
    default: break;
    }
    return Window::HandleMessage(message, wParam, lParam);
}
