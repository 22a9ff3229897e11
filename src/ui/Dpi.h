#pragma once

#include "common/Win32.h"

// The DPI a window is drawn at, and the frame sizes that go with it.
//
// A window takes the DPI of the monitor it is on. Windows tells a window
// that moves to another monitor (WM_DPICHANGED), but not one that is created
// there, nor one made after the scale of a monitor changed without signing
// out: the process's screen DPI is then stale, so every window asks for its
// own when it is made and placed. The functions of Windows 10 (1607, 1703)
// are looked up at run time; older systems fall back to the monitor's DPI
// (8.1) and then to the screen's.

// The DPI of the window's monitor.
UINT WindowDpi(HWND window) noexcept;

// The DPI the window's frame, title bar and menu bar are drawn at: the
// window's own DPI under per-monitor awareness v2 (Windows 10 1703 on);
// before that the system scales no frame, and it stays at the screen's.
UINT FrameDpi(HWND window) noexcept;

// AdjustWindowRectExForDpi where it exists, else AdjustWindowRectEx.
RECT WindowRectForClient(const RECT& client, DWORD style, bool menuBar, DWORD exStyle, UINT dpi) noexcept;
// GetSystemMetricsForDpi where it exists, else the metric scaled from the
// screen's DPI.
int SystemMetricForDpi(int index, UINT dpi) noexcept;
// The non-client metrics (fonts of menus, captions and messages) at a DPI:
// SystemParametersInfoForDpi where it exists, else scaled from the screen's.
bool NonClientMetricsForDpi(NONCLIENTMETRICSW& metrics, UINT dpi) noexcept;

// Tests stand in for Windows' answer to the DPI of a window and of its
// frame, since Wine gives every monitor and every frame the screen's DPI.
// Null restores the system's.
struct TDpiFunctions {
    UINT (*Window)(HWND) = nullptr;
    UINT (*Frame)(HWND) = nullptr;
};
void SetDpiFunctionsForTesting(const TDpiFunctions& functions) noexcept;
