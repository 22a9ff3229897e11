#include "ui/Window.h"

#include "common/Exception.h"
#include "ui/Application.h"
#include "ui/Dpi.h"

#include <exception>

Window::~Window()
{
    if (m_handle) {
        // The derived part is already gone: detach before destroying, so no
        // message reaches a half-destroyed object.
        HWND handle = m_handle;
        ::SetWindowLongPtrW(handle, GWLP_USERDATA, 0);
        m_handle = nullptr;
        ::DestroyWindow(handle);
    }
}

void Window::DestroyHandle() noexcept
{
    if (m_handle)
        ::DestroyWindow(m_handle); // WM_NCDESTROY clears m_handle
}

void Window::CreateHandle(const WNDCLASSEXW& windowClass, DWORD exStyle, const wchar_t* title, DWORD style, int x,
                          int y, int width, int height, HWND parent, HMENU menu)
{
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (!::GetClassInfoExW(windowClass.hInstance, windowClass.lpszClassName, &existing)) {
        WNDCLASSEXW registered = windowClass;
        registered.cbSize = sizeof registered;
        registered.lpfnWndProc = &Window::WindowProc;
        if (!::RegisterClassExW(&registered))
            throw Exception("RegisterClassExW failed for " + WideToUtf8(windowClass.lpszClassName));
    }
    ::CreateWindowExW(exStyle, windowClass.lpszClassName, title, style, x, y, width, height, parent, menu,
                      windowClass.hInstance, this);
    if (!m_handle)
        throw Exception("CreateWindowExW failed for " + WideToUtf8(windowClass.lpszClassName));
}

LRESULT Window::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::DefWindowProcW(m_handle, message, wParam, lParam);
}

LRESULT CALLBACK Window::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    Window* self = nullptr;
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        self = static_cast<Window*>(create->lpCreateParams);
        self->m_handle = window;
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<Window*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    }
    if (!self)
        return ::DefWindowProcW(window, message, wParam, lParam);

    LRESULT result = 0;
    try {
        result = self->HandleMessage(message, wParam, lParam);
    } catch (const std::exception& error) {
        Application::ShowException(error);
    } catch (...) {
        Application::ShowException(Exception("Unknown error"));
    }
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->m_handle = nullptr;
        self->HandleDestroyed();
    }
    return result;
}

SIZE OuterSizeForClientAtDpi(HWND window, int width, int height, UINT frameDpi)
{
    const auto style = static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_EXSTYLE));
    const RECT frame =
        WindowRectForClient(RECT{0, 0, width, height}, style, ::GetMenu(window) != nullptr, exStyle, frameDpi);
    return SIZE{frame.right - frame.left, frame.bottom - frame.top};
}

SIZE OuterSizeForClient(HWND window, int width, int height)
{
    SIZE size = OuterSizeForClientAtDpi(window, width, height, FrameDpi(window));
    // That counts one row of menu bar, and frame sizes as the system says
    // they are at the frame's DPI. The window itself says what client area
    // it would have at this size, its bar laid out for the width; what that
    // lacks is what the bar's further rows take, or what the frame's true
    // size differs by.
    RECT client{0, 0, size.cx, size.cy};
    ::SendMessageW(window, WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&client));
    size.cx += width - (client.right - client.left);
    size.cy += height - (client.bottom - client.top);
    return size;
}

void SetClientSize(HWND window, int width, int height)
{
    const SIZE size = OuterSizeForClient(window, width, height);
    ::SetWindowPos(window, nullptr, 0, 0, size.cx, size.cy,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}
