#include "app/Application.h"

#include "about/MessageBoxes.h"

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

int Run()
{
    MSG message{};
    for (;;) {
        const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
        if (got == 0)
            return static_cast<int>(message.wParam);
        if (got == -1)
            return 0; // only an invalid window filter fails, and none is passed

        if (g_accelerators && g_acceleratorTarget && ::IsWindow(g_acceleratorTarget)) {
            HWND root = ::GetAncestor(message.hwnd, GA_ROOT);
            if (root == g_acceleratorTarget
                && ::TranslateAcceleratorW(g_acceleratorTarget, g_accelerators, &message))
                continue;
        }
        // Tab, Shift+Tab and the arrow keys move between a window's controls.
        HWND root = message.hwnd ? ::GetAncestor(message.hwnd, GA_ROOT) : nullptr;
        if (root && ::IsDialogMessageW(root, &message))
            continue;
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

} // namespace Application
