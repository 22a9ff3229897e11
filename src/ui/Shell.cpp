#include "ui/Shell.h"

#include "ui/ComApartment.h"

#include <shellapi.h>

namespace {

TShellExecute g_shellExecute = nullptr;

} // namespace

void OpenWithShell(HWND owner, const std::wstring& target) noexcept
{
    // ShellExecuteW may hand the target to a shell extension, which is a COM
    // object: Windows asks for the caller's thread in an apartment first.
    // Without one the shell still opens what needs no extension.
    EnterComApartment();
    const TShellExecute shellExecute = g_shellExecute ? g_shellExecute : ::ShellExecuteW;
    shellExecute(owner, nullptr, target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void SetShellExecuteForTesting(TShellExecute function) noexcept
{
    g_shellExecute = function;
}
