#include "ui/ControlPaint.h"

namespace ControlPaint {

BufferedPaint::BufferedPaint(HWND window) : m_paint(window)
{
    ::GetClientRect(window, &m_client);
    const int width = m_client.right - m_client.left;
    const int height = m_client.bottom - m_client.top;
    if (width <= 0 || height <= 0 || !m_paint.get())
        return;
    // Without memory for the buffer the control still paints, straight onto
    // the screen; it may flicker, but it shows the right picture.
    m_memory.reset(::CreateCompatibleDC(m_paint.get()));
    if (m_memory)
        m_bitmap.reset(::CreateCompatibleBitmap(m_paint.get(), width, height));
    if (!m_bitmap) {
        m_memory.reset();
        return;
    }
    m_selection.emplace(m_memory.get(), m_bitmap.get());
}

BufferedPaint::~BufferedPaint()
{
    if (m_memory)
        ::BitBlt(m_paint.get(), 0, 0, m_client.right, m_client.bottom, m_memory.get(), 0, 0, SRCCOPY);
}

void Fill(HDC dc, const RECT& rect, COLORREF color) noexcept
{
    // The DC brush needs no object of its own, so painting creates nothing.
    ::SetDCBrushColor(dc, color);
    ::FillRect(dc, &rect, static_cast<HBRUSH>(::GetStockObject(DC_BRUSH)));
}

void Frame(HDC dc, const RECT& rect, COLORREF color) noexcept
{
    ::SetDCBrushColor(dc, color);
    ::FrameRect(dc, &rect, static_cast<HBRUSH>(::GetStockObject(DC_BRUSH)));
}

void DottedFrame(HDC dc, const RECT& rect, COLORREF color) noexcept
{
    if (rect.right <= rect.left || rect.bottom <= rect.top)
        return;
    // Walking the outline as one loop keeps the dot pattern unbroken at the
    // corners, as the system's focus rectangle has it.
    const int right = rect.right - 1;
    const int bottom = rect.bottom - 1;
    int step = 0;
    auto dot = [&](int x, int y) {
        if (step++ % 2 == 0)
            ::SetPixelV(dc, x, y, color);
    };
    for (int x = rect.left; x < right; ++x)
        dot(x, rect.top);
    for (int y = rect.top; y < bottom; ++y)
        dot(right, y);
    for (int x = right; x > rect.left; --x)
        dot(x, bottom);
    for (int y = bottom; y > rect.top; --y)
        dot(rect.left, y);
    if (right == rect.left || bottom == rect.top)
        dot(rect.left, rect.top);
}

void Arrow(HDC dc, const RECT& box, TArrowDirection direction, int size, COLORREF color) noexcept
{
    if (size <= 0)
        return;
    // Built from vertical runs of odd length rather than a polygon, so the
    // triangle is symmetric and sharp at every size without antialiasing.
    const int left = box.left + (box.right - box.left - size) / 2;
    const int middle = box.top + (box.bottom - box.top) / 2;
    for (int column = 0; column < size; ++column) {
        const int half = direction == TArrowDirection::Left ? column : size - 1 - column;
        const RECT run{left + column, middle - half, left + column + 1, middle + half + 1};
        Fill(dc, run, color);
    }
}

COLORREF ContrastingMark(COLORREF color) noexcept
{
    // Perceived lightness with the usual weights of the three primaries;
    // middle grey (128) counts as light.
    const int lightness = (GetRValue(color) * 299 + GetGValue(color) * 587 + GetBValue(color) * 114) / 1000;
    return lightness >= 128 ? RGB(0, 0, 0) : RGB(0xFF, 0xFF, 0xFF);
}

int Scale(int pixels, UINT dpi) noexcept
{
    return ::MulDiv(pixels, static_cast<int>(dpi), USER_DEFAULT_SCREEN_DPI);
}

} // namespace ControlPaint
