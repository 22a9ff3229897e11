#include "dropper/SystemFunctions.h"

#include <cstdint>

namespace {

TSystemParametersInfo g_systemParametersInfo = ::SystemParametersInfoW;
// The stand-in of a test, or nothing for the system's own call.
TSetForegroundWindow g_setForegroundWindow = nullptr;

} // namespace

void SetSystemParametersInfoForTesting(TSystemParametersInfo function) noexcept
{
    g_systemParametersInfo = function ? function : ::SystemParametersInfoW;
}

bool GetMinimizeAnimation()
{
    ANIMATIONINFO info{};
    info.cbSize = sizeof info;
    // A system that will not say is taken to animate: the run then switches
    // the animation off and on again, which is harmless.
    if (!g_systemParametersInfo(SPI_GETANIMATION, sizeof info, &info, 0))
        return true;
    return info.iMinAnimate != 0;
}

void SetMinimizeAnimation(bool value)
{
    ANIMATIONINFO info{};
    info.cbSize = sizeof info;
    info.iMinAnimate = value ? 1 : 0;
    // A refusal leaves the animation as it was; nothing the user must hear.
    g_systemParametersInfo(SPI_SETANIMATION, sizeof info, &info, 0);
}

int GetSystemMouseSpeed()
{
    int speed = 0;
    if (!g_systemParametersInfo(SPI_GETMOUSESPEED, 0, &speed, 0))
        return 10;
    return speed;
}

void SetSystemMouseSpeed(int speed)
{
    // The speed travels in the pointer argument itself, not behind it.
    g_systemParametersInfo(SPI_SETMOUSESPEED, 0, reinterpret_cast<PVOID>(static_cast<std::intptr_t>(speed)), 0);
}

void SetForegroundWindowForTesting(TSetForegroundWindow function) noexcept
{
    g_setForegroundWindow = function;
}

bool BringToForeground(HWND window)
{
    return (g_setForegroundWindow ? g_setForegroundWindow(window) : ::SetForegroundWindow(window)) != FALSE;
}

void ShowRunWindow(HWND window)
{
    ::ShowWindow(window, g_setForegroundWindow ? SW_SHOWNA : SW_SHOW);
}
