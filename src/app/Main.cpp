#include "app/Main.h"

#include "app/Application.h"
#include "common/Exception.h"

TFormMain* FormMain = nullptr;

namespace {

// Client size at 96 DPI in one-color mode with three component rows.
constexpr int ClientWidth = 391;
constexpr int ClientHeight = 75;

constexpr DWORD MainStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD MainExStyle = WS_EX_APPWINDOW;

UINT ScreenDpi()
{
    WindowDc screen(nullptr);
    const int dpi = screen ? ::GetDeviceCaps(screen.get(), LOGPIXELSY) : 0;
    return dpi > 0 ? static_cast<UINT>(dpi) : USER_DEFAULT_SCREEN_DPI;
}

} // namespace

TFormMain::TFormMain(HINSTANCE instance) : m_instance(instance), m_dpi(ScreenDpi())
{
    WNDCLASSEXW windowClass{};
    windowClass.hInstance = instance;
    windowClass.lpszClassName = ClassName;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hIcon = ::LoadIconW(instance, L"MAINICON");
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);

    RECT frame{0, 0, Scale(ClientWidth), Scale(ClientHeight)};
    ::AdjustWindowRectEx(&frame, MainStyle, FALSE, MainExStyle);
    CreateHandle(windowClass, MainExStyle, Application::Title().c_str(), MainStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                 frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr);
    FormMain = this;
}

TFormMain::~TFormMain()
{
    DestroyHandle();
    if (FormMain == this)
        FormMain = nullptr;
}

void TFormMain::Show()
{
    ::ShowWindow(Handle(), SW_SHOW);
    ::UpdateWindow(Handle());
    FormShow();
}

int TFormMain::Scale(int pixels) const noexcept
{
    return ::MulDiv(pixels, static_cast<int>(m_dpi), USER_DEFAULT_SCREEN_DPI);
}

LRESULT TFormMain::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        FormCreate();
        return 0;
    case WM_DESTROY:
        FormDestroy();
        return 0;
    default:
        return Window::HandleMessage(message, wParam, lParam);
    }
}

void TFormMain::FormCreate()
{
    FCreating = true;
    try {
        ::SetWindowTextW(Handle(), Application::Title().c_str());
        // Centred on the screen until stored positions are restored.
        RECT window{};
        ::GetWindowRect(Handle(), &window);
        const int width = window.right - window.left;
        const int height = window.bottom - window.top;
        ::SetWindowPos(Handle(), nullptr, (::GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                       (::GetSystemMetrics(SM_CYSCREEN) - height) / 2, 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    } catch (const std::exception& error) {
        // The rest of the creation sequence is skipped; the window is still
        // created and shown.
        Application::ShowException(error);
    }
}

void TFormMain::FormShow()
{
    FCreating = false;
}

void TFormMain::FormDestroy()
{
    if (FormMain == this)
        FormMain = nullptr;
    ::PostQuitMessage(0);
}
