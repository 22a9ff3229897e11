#pragma once

#include "common/Win32.h"

#include <string>

// Opens a web or mail address, or a file, with the program the user has
// chosen for it. Without such a program nothing opens, and the program has
// nothing to add to that.
void OpenWithShell(HWND owner, const std::wstring& target) noexcept;

// Tests put their own function in place of ShellExecuteW (nullptr: the real
// one again), so nothing is started while they run.
using TShellExecute = HINSTANCE(WINAPI*)(HWND, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, INT);
void SetShellExecuteForTesting(TShellExecute function) noexcept;
