#include "ui/ComApartment.h"

#include "common/Win32.h"

#include <objbase.h>

namespace {

bool g_comTried = false;
bool g_comStarted = false;

} // namespace

bool EnterComApartment() noexcept
{
    if (!g_comTried) {
        g_comTried = true;
        // OLE 1 DDE is no way of this program's to reach another one; the
        // shell documents the flag for the threads that call it.
        g_comStarted = SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
    }
    return g_comStarted;
}

void LeaveComApartment() noexcept
{
    if (g_comStarted)
        ::CoUninitialize();
    g_comTried = false;
    g_comStarted = false;
}
