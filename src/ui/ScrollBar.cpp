#include "ui/ScrollBar.h"

#include "ui/ControlPaint.h"
#include "ui/Theme.h"

#include <algorithm>
#include <optional>
#include <string_view>

using namespace ControlPaint;

namespace {

constexpr UINT_PTR RepeatTimer = 1;
// The system's own scroll bars wait this long before the first repeat, then
// repeat at this rate.
constexpr UINT FirstRepeatDelay = 400;
constexpr UINT RepeatInterval = 50;

// A whole decimal number, spaces around it allowed; nothing for anything
// else, and for numbers no position can have.
std::optional<int> ParsePosition(std::wstring_view text)
{
    while (!text.empty() && text.front() == L' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == L' ')
        text.remove_suffix(1);
    bool negative = false;
    if (!text.empty() && (text.front() == L'-' || text.front() == L'+')) {
        negative = text.front() == L'-';
        text.remove_prefix(1);
    }
    if (text.empty() || text.size() > 9)
        return std::nullopt;
    int value = 0;
    for (const wchar_t c : text) {
        if (c < L'0' || c > L'9')
            return std::nullopt;
        value = value * 10 + (c - L'0');
    }
    return negative ? -value : value;
}

} // namespace

TScrollBar::TScrollBar(HWND parent, int controlId, const TChildPlace& place)
{
    CreateControlWindow(ClassName, 0, WS_TABSTOP, parent, controlId, place);
}

TScrollBar::~TScrollBar()
{
    DestroyHandle();
}

void TScrollBar::SetMax(int max)
{
    SetRange(m_min, max);
}

void TScrollBar::SetRange(int min, int max)
{
    m_min = min;
    m_max = std::max(min, max);
    Invalidate();
    SetPosition(m_position);
}

void TScrollBar::SetPosition(int position)
{
    position = std::clamp(position, m_min, m_max);
    if (position == m_position)
        return;
    m_position = position;
    Invalidate();
    // Before the owner hears of it, so a screen reader speaks the new value
    // even when the owner's handler fails.
    NotifyAccessible(EVENT_OBJECT_VALUECHANGE);
    if (OnChange)
        OnChange();
}

HRESULT TScrollBar::PutAccessibleValue(const std::wstring& value)
{
    // As the edit box beside it: a value outside the range is refused, not
    // cut to it.
    const std::optional<int> position = ParsePosition(value);
    if (!position || *position < m_min || *position > m_max)
        return E_INVALIDARG;
    SetPosition(*position);
    return S_OK;
}

void TScrollBar::Step(TPart part)
{
    long long delta = 0;
    switch (part) {
    case TPart::LeftArrow: delta = -m_smallChange; break;
    case TPart::RightArrow: delta = m_smallChange; break;
    case TPart::LeftTrack: delta = -m_largeChange; break;
    case TPart::RightTrack: delta = m_largeChange; break;
    case TPart::None:
    case TPart::Thumb: return;
    }
    // Wider arithmetic, so a step past either end of the int range cannot
    // wrap around before it is clamped.
    SetPosition(static_cast<int>(std::clamp<long long>(m_position + delta, m_min, m_max)));
}

TScrollBar::TLayout TScrollBar::Layout() const noexcept
{
    RECT client{};
    ::GetClientRect(Handle(), &client);
    const int width = client.right;
    const int height = client.bottom;
    // Square arrow buttons, as the system draws them; a bar shorter than two
    // squares gives each arrow half and has no track.
    const int arrow = std::max(0, std::min(height, width / 2));
    const int trackLength = width - 2 * arrow;
    const int thumbSize = std::min(height, trackLength);

    TLayout layout{};
    layout.leftArrow = {0, 0, arrow, height};
    layout.rightArrow = {width - arrow, 0, width, height};
    layout.track = {arrow, 0, width - arrow, height};
    layout.travel = std::max(0, trackLength - thumbSize);
    const int range = m_max - m_min;
    const int offset = range > 0 ? ::MulDiv(m_position - m_min, layout.travel, range) : 0;
    layout.thumb = {arrow + offset, 0, arrow + offset + std::max(0, thumbSize), height};
    return layout;
}

TScrollBar::TPart TScrollBar::HitTest(POINT point) const noexcept
{
    const TLayout layout = Layout();
    if (Contains(layout.leftArrow, point))
        return TPart::LeftArrow;
    if (Contains(layout.rightArrow, point))
        return TPart::RightArrow;
    if (Contains(layout.thumb, point))
        return TPart::Thumb;
    if (Contains(layout.track, point))
        return point.x < layout.thumb.left ? TPart::LeftTrack : TPart::RightTrack;
    return TPart::None;
}

int TScrollBar::PositionFromThumbOffset(int offset, int travel) const noexcept
{
    if (travel <= 0)
        return m_min;
    return m_min + ::MulDiv(std::clamp(offset, 0, travel), m_max - m_min, travel);
}

void TScrollBar::SetHot(TPart part)
{
    if (part == m_hot)
        return;
    m_hot = part;
    Invalidate();
}

LRESULT TScrollBar::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_LBUTTONDOWN: WMLButtonDown(PointFromLParam(lParam)); return 0;
    case WM_MOUSEMOVE: WMMouseMove(PointFromLParam(lParam)); return 0;
    case WM_LBUTTONUP: WMLButtonUp(); return 0;
    case WM_MOUSELEAVE: WMMouseLeave(); return 0;
    case WM_CAPTURECHANGED: WMCaptureChanged(); return 0;
    case WM_CANCELMODE: WMLButtonUp(); return 0;
    case WM_TIMER:
        if (wParam == RepeatTimer)
            WMTimer();
        return 0;
    case WM_KEYDOWN: WMKeyDown(wParam); return 0;
    case WM_GETDLGCODE:
        // Arrows come to us; Tab still moves on to the next control.
        return DLGC_WANTARROWS;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: Invalidate(); return 0;
    case WM_ENABLE:
        if (!wParam)
            WMLButtonUp(); // a disabled bar drops a press in progress
        Invalidate();
        return 0;
    case SBM_GETPOS: return m_position;
    case SBM_SETPOS: {
        // Redrawing is always deferred to WM_PAINT, so the redraw flag in
        // lParam has nothing to switch off.
        const int previous = m_position;
        SetPosition(static_cast<int>(wParam));
        return previous;
    }
    case SBM_GETRANGE: return SBMGetRange(reinterpret_cast<int*>(wParam), reinterpret_cast<int*>(lParam));
    case SBM_SETRANGE:
    case SBM_SETRANGEREDRAW: {
        const int previous = m_position;
        SetRange(static_cast<int>(wParam), static_cast<int>(lParam));
        return previous;
    }
    case SBM_GETSCROLLINFO: return SBMGetScrollInfo(reinterpret_cast<SCROLLINFO*>(lParam));
    default: return TPaintedControl::HandleMessage(message, wParam, lParam);
    }
}

LRESULT TScrollBar::SBMGetRange(int* min, int* max) const noexcept
{
    if (min)
        *min = m_min;
    if (max)
        *max = m_max;
    return 0;
}

LRESULT TScrollBar::SBMGetScrollInfo(SCROLLINFO* info) const noexcept
{
    if (!info)
        return FALSE;
    if (info->fMask & SIF_RANGE) {
        info->nMin = m_min;
        info->nMax = m_max;
    }
    if (info->fMask & SIF_PAGE)
        info->nPage = 0; // the thumb marks a position; it shows no page
    if (info->fMask & SIF_POS)
        info->nPos = m_position;
    if (info->fMask & SIF_TRACKPOS)
        info->nTrackPos = m_position; // a drag moves the position itself
    return TRUE;
}

void TScrollBar::Paint(HDC dc, const RECT& client) const
{
    const bool enabled = ::IsWindowEnabled(Handle()) != FALSE;
    const TLayout layout = Layout();
    Fill(dc, client, Theme::Color(TThemeColor::ScrollTrack));

    auto paintArrow = [&](const RECT& box, TPart part, TArrowDirection direction) {
        const bool pressed = enabled && m_pressed == part && m_hot == part;
        const bool hot = enabled && m_pressed == TPart::None && m_hot == part;
        if (pressed || hot)
            Fill(dc, box, Theme::Color(pressed ? TThemeColor::ButtonPressed : TThemeColor::ButtonHot));
        const int side = std::min(box.right - box.left, box.bottom - box.top);
        const int glyph = std::max(2, side / 3);
        TThemeColor arrow = TThemeColor::DisabledText;
        if (enabled)
            arrow = pressed || hot ? TThemeColor::ScrollArrowHot : TThemeColor::ScrollArrow;
        Arrow(dc, box, direction, glyph, Theme::Color(arrow));
    };
    paintArrow(layout.leftArrow, TPart::LeftArrow, TArrowDirection::Left);
    paintArrow(layout.rightArrow, TPart::RightArrow, TArrowDirection::Right);

    // The thumb sits one pixel inside the track, so the track shows round it
    // and the focus dots on the track's edge never touch it.
    RECT thumb = layout.thumb;
    ::InflateRect(&thumb, -1, -1);
    if (thumb.right > thumb.left && thumb.bottom > thumb.top) {
        if (enabled) {
            const bool hot = m_pressed == TPart::Thumb || (m_pressed == TPart::None && m_hot == TPart::Thumb);
            Fill(dc, thumb, Theme::Color(hot ? TThemeColor::ScrollThumbHot : TThemeColor::ScrollThumb));
            Frame(dc, thumb, Theme::Color(TThemeColor::Border));
        } else {
            Frame(dc, thumb, Theme::Color(TThemeColor::DisabledText));
        }
    }

    if (::GetFocus() == Handle())
        DottedFrame(dc, layout.track, Theme::Color(TThemeColor::FocusFrame));
}

void TScrollBar::WMLButtonDown(POINT point)
{
    if (::GetFocus() != Handle())
        ::SetFocus(Handle());
    const TPart part = HitTest(point);
    if (part == TPart::None)
        return;
    m_pressed = part;
    m_pointer = point;
    m_hot = part;
    ::SetCapture(Handle());
    Invalidate();
    if (part == TPart::Thumb) {
        m_grabOffset = point.x - Layout().thumb.left;
        return;
    }
    Step(part);
    ::SetTimer(Handle(), RepeatTimer, FirstRepeatDelay, nullptr);
}

void TScrollBar::WMMouseMove(POINT point)
{
    if (!m_trackingLeave) {
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, Handle(), 0};
        m_trackingLeave = ::TrackMouseEvent(&track) != FALSE;
    }
    if (m_pressed == TPart::Thumb) {
        // Follows the pointer however far it leaves the bar, and keeps the
        // last value when released there.
        const TLayout layout = Layout();
        SetPosition(PositionFromThumbOffset(point.x - m_grabOffset - layout.track.left, layout.travel));
        return;
    }
    if (m_pressed != TPart::None)
        m_pointer = point;
    SetHot(HitTest(point));
}

void TScrollBar::WMLButtonUp()
{
    if (::GetCapture() == Handle())
        ::ReleaseCapture(); // WM_CAPTURECHANGED ends the tracking
    EndTracking();
}

void TScrollBar::WMCaptureChanged()
{
    EndTracking();
}

void TScrollBar::EndTracking()
{
    if (m_pressed == TPart::None)
        return;
    ::KillTimer(Handle(), RepeatTimer);
    m_pressed = TPart::None;
    Invalidate();
}

void TScrollBar::WMMouseLeave()
{
    m_trackingLeave = false;
    // While the button is held the pressed part keeps its look; the next
    // move inside arms the leave notification again.
    if (m_pressed == TPart::None)
        SetHot(TPart::None);
}

void TScrollBar::WMTimer()
{
    if (m_pressed == TPart::None || m_pressed == TPart::Thumb) {
        ::KillTimer(Handle(), RepeatTimer);
        return;
    }
    ::SetTimer(Handle(), RepeatTimer, RepeatInterval, nullptr);
    // Repeats only while the pointer stays on the pressed part: paging stops
    // once the thumb has reached the pointer, and resumes if the pointer
    // moves on ahead of it.
    if (HitTest(m_pointer) == m_pressed)
        Step(m_pressed);
}

void TScrollBar::WMKeyDown(WPARAM key)
{
    switch (key) {
    case VK_LEFT:
    case VK_UP: Step(TPart::LeftArrow); break;
    case VK_RIGHT:
    case VK_DOWN: Step(TPart::RightArrow); break;
    case VK_PRIOR: Step(TPart::LeftTrack); break;
    case VK_NEXT: Step(TPart::RightTrack); break;
    case VK_HOME: SetPosition(m_min); break;
    case VK_END: SetPosition(m_max); break;
    default: break;
    }
}
