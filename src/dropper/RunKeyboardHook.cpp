#include "dropper/RunKeyboardHook.h"

#include "dropper/DropperInput.h"

namespace {

// One run at a time, on the one user-interface thread; the hook procedure
// has no other way to find it.
HWND g_runWindow = nullptr;

bool IsRunWindow(HWND window)
{
    return window && (window == g_runWindow || ::GetWindow(window, GW_OWNER) == g_runWindow);
}

// The keyboard's own state: the hook runs before any thread's key state
// sees the key, and the modifiers were pressed for another program.
bool Held(int virtualKey)
{
    return (static_cast<unsigned short>(::GetAsyncKeyState(virtualKey)) & 0x8000u) != 0;
}

LRESULT CALLBACK RunKeyboardProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION && g_runWindow && !IsRunWindow(::GetForegroundWindow())) {
        const auto& key = *reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
        const TShiftState shift{Held(VK_SHIFT), Held(VK_CONTROL), Held(VK_MENU) || (key.flags & LLKHF_ALTDOWN) != 0,
                                false};
        if (IsRunKey(key.vkCode, shift)) {
            const bool down = wParam == WM_KEYDOWN || wParam == WM_SYSKEYDOWN;
            const LPARAM flags = (down ? RunKeyDown : 0) | (shift.Shift ? RunKeyShift : 0)
                                 | (shift.Ctrl ? RunKeyCtrl : 0) | (shift.Alt ? RunKeyAlt : 0);
            // Posted, not handled here: Windows drops a hook that takes
            // longer than its timeout, and F12 writes the clipboard.
            if (::PostMessageW(g_runWindow, RunKeyMessage, key.vkCode, flags))
                return 1; // the program in front never sees it
        }
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

} // namespace

bool TRunKeyboardHook::Install(HWND runWindow) noexcept
{
    Remove();
    g_runWindow = runWindow;
    m_hook = ::SetWindowsHookExW(WH_KEYBOARD_LL, RunKeyboardProc, ::GetModuleHandleW(nullptr), 0);
    if (!m_hook)
        g_runWindow = nullptr;
    return m_hook != nullptr;
}

void TRunKeyboardHook::Remove() noexcept
{
    if (!m_hook)
        return;
    // A failure means the hook is gone already; nothing is left to undo.
    ::UnhookWindowsHookEx(m_hook);
    m_hook = nullptr;
    g_runWindow = nullptr;
}
