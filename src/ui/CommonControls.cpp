#include "ui/CommonControls.h"

#include "CommonControlsManifest.h"

#include <commctrl.h>

namespace {

// Made at the first scope and kept for the process's life, as the windows
// made inside keep using the controls it loaded.
HANDLE CommonControlsContext() noexcept
{
    static const HANDLE context = [] {
        ACTCTXW request{};
        request.cbSize = sizeof request;
        request.dwFlags = ACTCTX_FLAG_HMODULE_VALID | ACTCTX_FLAG_RESOURCE_NAME_VALID;
        request.hModule = ::GetModuleHandleW(nullptr);
        request.lpResourceName = MAKEINTRESOURCEW(CommonControlsManifestId);
        return ::CreateActCtxW(&request);
    }();
    return context;
}

} // namespace

TCommonControlsScope::TCommonControlsScope() noexcept
{
    // Without the context (a manifest that did not load) the controls come
    // in the older look; everything still works.
    if (const HANDLE context = CommonControlsContext(); context != INVALID_HANDLE_VALUE)
        m_activated = ::ActivateActCtx(context, &m_cookie) != FALSE;

    // The first call loads comctl32, in the context just activated, so it
    // is version 6 that loads.
    static const bool registered = [] {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_BAR_CLASSES | ICC_WIN95_CLASSES};
        return ::InitCommonControlsEx(&controls) != FALSE;
    }();
    (void)registered;
}

TCommonControlsScope::~TCommonControlsScope()
{
    if (m_activated)
        ::DeactivateActCtx(0, m_cookie);
}
