#pragma once

// The run's keys while another program has the keyboard. Windows may refuse
// the foreground to a run (started by the hot key while another program is
// in front); Escape, F12 and the arrows would then go to that program. A
// low-level keyboard hook, taken when the foreground is refused and held
// until the run ends, takes the run's keys before any program sees them
// and posts them to the snapshot window. While a window of the run is in
// front it lets every key pass: the run's windows get them the usual way,
// and none is handled twice.

#include "common/Win32.h"

// Posted to the run's window for each key the hook takes: wParam is the
// virtual key, lParam the RunKey flags below.
inline constexpr UINT RunKeyMessage = WM_APP + 2;
inline constexpr LPARAM RunKeyDown = 1;
inline constexpr LPARAM RunKeyShift = 2;
inline constexpr LPARAM RunKeyCtrl = 4;
inline constexpr LPARAM RunKeyAlt = 8;

class TRunKeyboardHook {
public:
    TRunKeyboardHook() noexcept = default;
    TRunKeyboardHook(const TRunKeyboardHook&) = delete;
    TRunKeyboardHook& operator=(const TRunKeyboardHook&) = delete;
    ~TRunKeyboardHook() { Remove(); }

    // Takes the run's keys for runWindow and the windows it owns. False when
    // the system refuses the hook.
    bool Install(HWND runWindow) noexcept;
    void Remove() noexcept;
    bool Installed() const noexcept { return m_hook != nullptr; }

private:
    HHOOK m_hook = nullptr;
};
