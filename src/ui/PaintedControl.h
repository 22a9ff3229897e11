#pragma once

#include "ui/Window.h"

// A control that draws itself: every paint goes through a back buffer (no
// flicker), the background is never erased separately, and WM_PRINTCLIENT
// draws the same picture into the caller's DC.
class TPaintedControl : public Window {
protected:
    TPaintedControl() = default;

    // Draws the whole control into dc, whose client area is `client`.
    virtual void Paint(HDC dc, const RECT& client) const = 0;

    // Asks for a repaint of the whole control.
    void Invalidate() const noexcept;

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
};
