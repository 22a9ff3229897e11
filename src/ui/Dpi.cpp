#include "ui/Dpi.h"

namespace {

TDpiFunctions g_testing;

template <typename Function>
Function User32Function(const char* name) noexcept
{
    const HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
    const FARPROC proc = user32 ? ::GetProcAddress(user32, name) : nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(proc));
}

// Each looked up once; a window's DPI is asked for at every layout.
struct TUser32Dpi {
    using GetDpiForWindow = UINT(WINAPI*)(HWND);
    using GetWindowDpiAwarenessContext = DPI_AWARENESS_CONTEXT(WINAPI*)(HWND);
    using AreDpiAwarenessContextsEqual = BOOL(WINAPI*)(DPI_AWARENESS_CONTEXT, DPI_AWARENESS_CONTEXT);
    using AdjustWindowRectExForDpi = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
    using GetSystemMetricsForDpi = int(WINAPI*)(int, UINT);
    using SystemParametersInfoForDpi = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);

    GetDpiForWindow DpiForWindow = User32Function<GetDpiForWindow>("GetDpiForWindow");
    GetWindowDpiAwarenessContext WindowContext =
        User32Function<GetWindowDpiAwarenessContext>("GetWindowDpiAwarenessContext");
    AreDpiAwarenessContextsEqual ContextsEqual =
        User32Function<AreDpiAwarenessContextsEqual>("AreDpiAwarenessContextsEqual");
    AdjustWindowRectExForDpi AdjustForDpi = User32Function<AdjustWindowRectExForDpi>("AdjustWindowRectExForDpi");
    GetSystemMetricsForDpi MetricsForDpi = User32Function<GetSystemMetricsForDpi>("GetSystemMetricsForDpi");
    SystemParametersInfoForDpi ParametersForDpi =
        User32Function<SystemParametersInfoForDpi>("SystemParametersInfoForDpi");
};

const TUser32Dpi& User32Dpi() noexcept
{
    static const TUser32Dpi functions;
    return functions;
}

} // namespace

UINT WindowDpi(HWND window) noexcept
{
    if (g_testing.Window)
        return g_testing.Window(window);
    if (const auto dpiForWindow = User32Dpi().DpiForWindow) {
        if (const UINT dpi = dpiForWindow(window))
            return dpi;
    }
    return MonitorDpi(::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST));
}

UINT FrameDpi(HWND window) noexcept
{
    if (g_testing.Frame)
        return g_testing.Frame(window);
    const TUser32Dpi& user32 = User32Dpi();
    if (user32.WindowContext && user32.ContextsEqual
        && user32.ContextsEqual(user32.WindowContext(window), DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2))
        return WindowDpi(window);
    return SystemDpi();
}

RECT WindowRectForClient(const RECT& client, DWORD style, bool menuBar, DWORD exStyle, UINT dpi) noexcept
{
    RECT frame = client;
    if (const auto adjustForDpi = User32Dpi().AdjustForDpi) {
        if (adjustForDpi(&frame, style, menuBar ? TRUE : FALSE, exStyle, dpi))
            return frame;
        frame = client;
    }
    ::AdjustWindowRectEx(&frame, style, menuBar ? TRUE : FALSE, exStyle);
    return frame;
}

int SystemMetricForDpi(int index, UINT dpi) noexcept
{
    if (const auto metricsForDpi = User32Dpi().MetricsForDpi)
        return metricsForDpi(index, dpi);
    return ::MulDiv(::GetSystemMetrics(index), static_cast<int>(dpi), static_cast<int>(SystemDpi()));
}

bool NonClientMetricsForDpi(NONCLIENTMETRICSW& metrics, UINT dpi) noexcept
{
    metrics.cbSize = sizeof metrics;
    if (const auto parametersForDpi = User32Dpi().ParametersForDpi) {
        if (parametersForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi))
            return true;
    }
    if (!::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
        return false;
    // The metrics are for the screen's DPI; the fonts scale to the asked one.
    const int systemDpi = static_cast<int>(SystemDpi());
    for (LOGFONTW* font : {&metrics.lfCaptionFont, &metrics.lfSmCaptionFont, &metrics.lfMenuFont, &metrics.lfStatusFont,
                           &metrics.lfMessageFont})
        font->lfHeight = ::MulDiv(font->lfHeight, static_cast<int>(dpi), systemDpi);
    return true;
}

void SetDpiFunctionsForTesting(const TDpiFunctions& functions) noexcept
{
    g_testing = functions;
}
