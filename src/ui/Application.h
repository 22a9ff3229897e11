#pragma once

#include "common/Win32.h"

#include <exception>
#include <string>

// Application-wide state of the one GUI thread: the title every message box
// carries, the keyboard accelerators of the main window and the event loop.
namespace Application {

void SetTitle(std::wstring title);
const std::wstring& Title();

// Shows an exception's message in an error box; the program goes on.
void ShowException(const std::exception& error) noexcept;

// Keyboard shortcuts translated for `target` while one of the thread's
// windows has the focus.
void SetAccelerators(HWND target, HACCEL accelerators) noexcept;

// Runs the event loop until WM_QUIT and returns its exit code.
int Run();

// Shows `dialog` modally above `owner`: the owner is disabled until the
// dialog is destroyed, and the event loop runs meanwhile. A WM_QUIT that
// arrives is passed on to the outer loop.
void RunModal(HWND dialog, HWND owner);

} // namespace Application
