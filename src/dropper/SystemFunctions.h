#pragma once

// The two system settings a dropper run changes for its duration: the
// minimize animation and the pointer speed. Neither change is made
// persistent or broadcast, so each lasts until it is changed back.

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
