#pragma once

#include "common/Win32.h"

#include <optional>

// What the program's own controls share: flicker-free painting, the few
// shapes they draw, and the message-parameter helpers the Win32 macros would
// give with old-style casts.
namespace ControlPaint {

// Paints a window through an off-screen bitmap. Everything is drawn into
// Dc() and reaches the screen in one BitBlt when the scope ends, so the
// background fill of a repaint never shows on its own.
class BufferedPaint {
public:
    explicit BufferedPaint(HWND window);
    BufferedPaint(const BufferedPaint&) = delete;
    BufferedPaint& operator=(const BufferedPaint&) = delete;
    ~BufferedPaint();

    HDC Dc() const noexcept { return m_memory ? m_memory.get() : m_paint.get(); }
    const RECT& Client() const noexcept { return m_client; }

private:
    PaintDc m_paint;
    RECT m_client{};
    UniqueMemoryDc m_memory;
    UniqueBitmap m_bitmap;
    std::optional<SelectedObject> m_selection; // released before the bitmap
};

void Fill(HDC dc, const RECT& rect, COLORREF color) noexcept;
void Frame(HDC dc, const RECT& rect, COLORREF color) noexcept;
// Every other pixel of the rectangle's outline, the usual focus cue.
void DottedFrame(HDC dc, const RECT& rect, COLORREF color) noexcept;

enum class TArrowDirection { Left, Right };
// A solid triangle centred in `box`, `size` pixels from base to tip.
void Arrow(HDC dc, const RECT& box, TArrowDirection direction, int size, COLORREF color) noexcept;

// Black or white, whichever stands out more on `color`: for marks drawn on
// a color the user chose.
COLORREF ContrastingMark(COLORREF color) noexcept;

int Scale(int pixels, UINT dpi) noexcept;

// GET_X_LPARAM / GET_Y_LPARAM: signed, since a captured pointer can be left
// of or above the window.
inline POINT PointFromLParam(LPARAM lParam) noexcept
{
    return {static_cast<short>(lParam & 0xFFFF), static_cast<short>((lParam >> 16) & 0xFFFF)};
}

inline bool Contains(const RECT& rect, POINT point) noexcept
{
    return point.x >= rect.left && point.x < rect.right && point.y >= rect.top && point.y < rect.bottom;
}

} // namespace ControlPaint
