#include "ui/MessageBoxes.h"

#include "ui/Application.h"
#include "ui/CommonControls.h"

#include <vector>

namespace {

MessageBoxAnswerer g_answerer;

BOOL CALLBACK CollectEnabledWindow(HWND window, LPARAM param)
{
    if (::IsWindowVisible(window) && ::IsWindowEnabled(window))
        reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
    return TRUE;
}

} // namespace

void SetMessageBoxAnswerer(MessageBoxAnswerer answerer)
{
    g_answerer = std::move(answerer);
}

int TitledMessageBox(const std::wstring& text, UINT flags)
{
    const std::wstring& caption = Application::Title();
    if (g_answerer)
        return g_answerer(text, caption, flags);

    // The box is owned by the active window; every other window of the
    // program is disabled while it is open, so no second modal path can
    // start underneath it, and the focus goes back where it was.
    HWND owner = ::GetActiveWindow();
    // A window on its way out (hidden before its destroy handler runs, where
    // the exit's "Unable to write" is said) would take the box with it.
    if (owner && !::IsWindowVisible(owner))
        owner = nullptr;
    HWND focus = ::GetFocus();
    std::vector<HWND> disabled;
    ::EnumThreadWindows(::GetCurrentThreadId(), CollectEnabledWindow, reinterpret_cast<LPARAM>(&disabled));
    std::erase(disabled, owner);
    for (HWND window : disabled)
        ::EnableWindow(window, FALSE);

    int result = 0;
    {
        TCommonControlsScope commonControls; // the buttons in the system's look
        result = ::MessageBoxW(owner, text.c_str(), caption.c_str(), flags);
    }

    for (HWND window : disabled)
        ::EnableWindow(window, TRUE);
    if (focus && ::IsWindow(focus))
        ::SetFocus(focus);
    return result;
}

void ErrorBox(const std::wstring& text)
{
    ::MessageBeep(MB_ICONHAND);
    TitledMessageBox(text, MB_ICONHAND);
}

void WarningBox(const std::wstring& text)
{
    ::MessageBeep(MB_ICONEXCLAMATION);
    TitledMessageBox(text, MB_ICONEXCLAMATION);
}

void InformationBox(const std::wstring& text)
{
    ::MessageBeep(MB_ICONASTERISK);
    TitledMessageBox(text, MB_ICONASTERISK);
}

bool QuestionBox(const std::wstring& text, UINT buttons)
{
    ::MessageBeep(MB_ICONQUESTION);
    const int pressed = TitledMessageBox(text, buttons + MB_ICONQUESTION);
    return pressed == IDOK || pressed == IDRETRY || pressed == IDYES;
}
