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

// Sends `message` to `window` once the thread's queue is first empty, when
// every window has painted its frame: for work that shows nothing at first.
// A window that is gone by then is left alone.
void SendWhenIdle(HWND window, UINT message);
// Sends what SendWhenIdle keeps, if the queue is empty now. The event loops
// call it before they wait.
void SendIdleMessages() noexcept;

// Runs the event loop until WM_QUIT and returns its exit code.
int Run();

// Shows `dialog` modally above `owner`: the owner is disabled until the
// dialog is destroyed, and the event loop runs meanwhile. A WM_QUIT that
// arrives is passed on to the outer loop.
void RunModal(HWND dialog, HWND owner);

} // namespace Application
