#include "ui/Application.h"

#include "common/Trace.h"
#include "ui/MessageBoxes.h"

#include <utility>
#include <vector>

namespace {

std::wstring g_title;
HWND g_acceleratorTarget = nullptr;
HACCEL g_accelerators = nullptr;
std::vector<std::pair<HWND, UINT>> g_idleMessages;

} // namespace

namespace Application {

void SetTitle(std::wstring title)
{
    g_title = std::move(title);
}

const std::wstring& Title()
{
    return g_title;
}

void ShowException(const std::exception& error) noexcept
{
    try {
        ErrorBox(Utf8ToWide(error.what()));
    } catch (...) {
        // Out of memory while reporting: nothing better can be done than to
        // go on with the event loop.
    }
}

void SetAccelerators(HWND target, HACCEL accelerators) noexcept
{
    g_acceleratorTarget = target;
    g_accelerators = accelerators;
}

void SendWhenIdle(HWND window, UINT message)
{
    g_idleMessages.emplace_back(window, message);
}

void SendIdleMessages() noexcept
{
    if (g_idleMessages.empty())
        return;
    // A paint still to come counts as a message: PeekMessage reports it.
    MSG message{};
    if (::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE))
        return;
    // Taken out first: a receiver may ask for more idle work.
    const auto waiting = std::exchange(g_idleMessages, {});
    for (const auto& [window, idleMessage] : waiting)
        if (::IsWindow(window))
            ::SendMessageW(window, idleMessage, 0, 0);
}

namespace {

// Ctrl+A, the control character it types, selects the whole text of an
// edit box, as in the common controls' edit boxes. The main window's are
// the system's own (see ui/CommonControls.h), which would only beep.
bool SelectAllOfEditBox(const MSG& message)
{
    constexpr WPARAM CtrlA = 0x01;
    if (message.message != WM_CHAR || message.wParam != CtrlA || !message.hwnd)
        return false;
    wchar_t className[8]{};
    if (::GetClassNameW(message.hwnd, className, 8) == 0 || ::lstrcmpiW(className, L"Edit") != 0)
        return false;
    ::SendMessageW(message.hwnd, EM_SETSEL, 0, -1);
    return true;
}

void Dispatch(MSG& message)
{
    if (SelectAllOfEditBox(message))
        return;
    HWND root = message.hwnd ? ::GetAncestor(message.hwnd, GA_ROOT) : nullptr;
    if (g_accelerators && root && root == g_acceleratorTarget && ::IsWindowEnabled(root)
        && ::TranslateAcceleratorW(g_acceleratorTarget, g_accelerators, &message))
        return;
    // Tab, Shift+Tab and the arrow keys move between a window's controls.
    if (root && ::IsDialogMessageW(root, &message))
        return;
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
}

} // namespace

int Run()
{
    MSG message{};
    for (;;) {
        TraceQueueEmpty();
        SendIdleMessages();
        const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
        if (got == 0)
            return static_cast<int>(message.wParam);
        if (got == -1)
            return 0; // only an invalid window filter fails, and none is passed
        Dispatch(message);
    }
}

void RunModal(HWND dialog, HWND owner)
{
    const bool ownerWasEnabled = owner && ::IsWindowEnabled(owner);
    if (ownerWasEnabled)
        ::EnableWindow(owner, FALSE);
    ::ShowWindow(dialog, SW_SHOW);
    MSG message{};
    while (::IsWindow(dialog)) {
        SendIdleMessages();
        const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) {
            ::PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        if (got == -1)
            break;
        Dispatch(message);
    }
    // The owner is enabled before the dialog goes, so the activation passes
    // to it rather than to another program.
    if (ownerWasEnabled) {
        ::EnableWindow(owner, TRUE);
        ::SetActiveWindow(owner);
    }
}

} // namespace Application
