#pragma once

// The two system settings a dropper run changes for its duration: the
// minimize animation and the pointer speed. Neither change is made
// persistent or broadcast, so each lasts until it is changed back. And the
// one request a run makes of the window manager: the foreground.

#include "common/Win32.h"

bool GetMinimizeAnimation();
void SetMinimizeAnimation(bool value);
// The system pointer speed on its 1..20 scale; 10 when the system will not
// say.
int GetSystemMouseSpeed();
void SetSystemMouseSpeed(int speed);

// The call the four functions make. Tests put a recorder in its place:
// Wine does not keep the pointer speed and always reports no animation.
using TSystemParametersInfo = BOOL(WINAPI*)(UINT action, UINT param, PVOID data, UINT winIni);
void SetSystemParametersInfoForTesting(TSystemParametersInfo function) noexcept;

// Asks for the foreground for a window of the run. Windows refuses it to a
// process that did not get the last input (a run from the hot key while
// another program is in front, with a focus-stealing guard in the way);
// the run then goes on behind that program and takes its keys through the
// run's keyboard hook.
bool BringToForeground(HWND window);
// Shows a window of the run, activated where the system allows it (it does
// not where it refuses the foreground).
void ShowRunWindow(HWND window);

// The call BringToForeground makes. Tests put one in its place that refuses
// and leaves another window in front: Wine grants every request, and
// activates every window shown, so with the stand-in in place the run's
// windows are shown without activation, as Windows shows them then.
using TSetForegroundWindow = BOOL(WINAPI*)(HWND window);
void SetForegroundWindowForTesting(TSetForegroundWindow function) noexcept;
