#include "ui/PaintedControl.h"

#include "ui/ControlPaint.h"

void TPaintedControl::Invalidate() const noexcept
{
    ::InvalidateRect(Handle(), nullptr, FALSE);
}

LRESULT TPaintedControl::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT: {
        ControlPaint::BufferedPaint paint(Handle());
        Paint(paint.Dc(), paint.Client());
        return 0;
    }
    case WM_PRINTCLIENT: {
        RECT client{};
        ::GetClientRect(Handle(), &client);
        Paint(reinterpret_cast<HDC>(wParam), client);
        return 0;
    }
    case WM_ERASEBKGND: return 1;
    default: return Window::HandleMessage(message, wParam, lParam);
    }
}
