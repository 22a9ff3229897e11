#include "ui/Application.h"

#include "ui/MessageBoxes.h"

namespace {

std::wstring g_title;
HWND g_acceleratorTarget = nullptr;
HACCEL g_accelerators = nullptr;

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

namespace {

void Dispatch(MSG& message)
{
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
