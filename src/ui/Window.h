#pragma once

#include "common/Win32.h"

// Where a child control starts: its rectangle in the parent's client area
// and whether it shows. A control made at its place needs no move and no
// show before its parent first shows.
struct TChildPlace {
    RECT Bounds{};
    bool Visible = true;
};

// The base of every window of the program. The static window procedure takes
// `this` from WM_NCCREATE's create parameters and forwards every message to
// HandleMessage. No exception crosses into the system: one that leaves a
// handler is shown in an error box and the program goes on.
class Window {
public:
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    virtual ~Window();

    HWND Handle() const noexcept { return m_handle; }

protected:
    Window() = default;

    // Registers the class on first use (cursor, icon and background come from
    // the caller's template) and creates the window. Throws on failure.
    void CreateHandle(const WNDCLASSEXW& windowClass, DWORD exStyle, const wchar_t* title, DWORD style, int x, int y,
                      int width, int height, HWND parent, HMENU menu);

    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    // Destroys the window while the derived object still exists, so its
    // WM_DESTROY handler runs. Derived destructors call this; the base
    // destructor can only detach the object and destroy the window silently.
    void DestroyHandle() noexcept;

    // Called after WM_NCDESTROY, when the handle is gone.
    virtual void HandleDestroyed() {}

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

    HWND m_handle = nullptr;
};

// The outer size of a top-level window whose client area is WIDTH x HEIGHT,
// with the frame at the window's DPI, also when its menu bar wraps onto
// more rows than AdjustWindowRectEx assumes (long captions, a narrow
// window): the window then grows by what the bar takes at that width.
SIZE OuterSizeForClient(HWND window, int width, int height);
// The same with the frame at another DPI, the window's next, for one row of
// menu bar: what the window will need once it has moved to a monitor of
// that DPI.
SIZE OuterSizeForClientAtDpi(HWND window, int width, int height, UINT frameDpi);
// Sizes a top-level window so that its client area is WIDTH x HEIGHT (see
// OuterSizeForClient).
void SetClientSize(HWND window, int width, int height);
