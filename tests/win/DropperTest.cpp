// The eye dropper's Windows layer in-process: the system settings it reads
// and writes, and a run's clean-up on every way out. The system calls go
// through a recorder: Wine does not keep the pointer speed it is given and
// always reports no minimize animation. Wine never refuses the foreground
// either; the runs that start behind another program have a stand-in for
// SetForegroundWindow that refuses and leaves that program in front.

#include "WinTestSupport.h"
#include "dropper/EyeDropper.h"
#include "dropper/SystemFunctions.h"
#include "ui/MessageBoxes.h"

#include <gtest/gtest.h>

#include <oleacc.h>

#include <psapi.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace {

struct TRecordedSystem {
    bool Fails = false;
    bool ThrowOnAnimationOff = false;
    int MouseSpeed = 14;
    bool Animation = true;
    std::vector<std::string> Calls;
};

TRecordedSystem* g_system = nullptr;

BOOL WINAPI RecordingSystemParametersInfo(UINT action, UINT, PVOID data, UINT winIni)
{
    TRecordedSystem& system = *g_system;
    if (winIni != 0)
        system.Calls.push_back("persistent change");
    if (system.Fails)
        return FALSE;
    switch (action) {
    case SPI_GETMOUSESPEED: *static_cast<int*>(data) = system.MouseSpeed; break;
    case SPI_SETMOUSESPEED:
        system.MouseSpeed = static_cast<int>(reinterpret_cast<std::intptr_t>(data));
        system.Calls.push_back("speed " + std::to_string(system.MouseSpeed));
        break;
    case SPI_GETANIMATION: static_cast<ANIMATIONINFO*>(data)->iMinAnimate = system.Animation ? 1 : 0; break;
    case SPI_SETANIMATION:
        system.Animation = static_cast<ANIMATIONINFO*>(data)->iMinAnimate != 0;
        system.Calls.push_back(system.Animation ? "animation on" : "animation off");
        if (!system.Animation && system.ThrowOnAnimationOff)
            throw std::runtime_error("injected");
        break;
    default: break;
    }
    return TRUE;
}

// The process's private memory, its commit charge. Windows reports it as
// PrivateUsage and PagefileUsage alike; Wine 8 leaves PrivateUsage 0 and
// gives the process's anonymous memory (in RAM or swapped out, as Linux
// counts it) as PagefileUsage.
SIZE_T PrivateBytes()
{
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    if (!::GetProcessMemoryInfo(::GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                                sizeof counters))
        return 0;
    return counters.PrivateUsage != 0 ? counters.PrivateUsage : counters.PagefileUsage;
}

HWND OwnWindow(const wchar_t* className)
{
    HWND window = ::FindWindowW(className, nullptr);
    DWORD process = 0;
    if (window)
        ::GetWindowThreadProcessId(window, &process);
    return process == ::GetCurrentProcessId() && ::IsWindowVisible(window) ? window : nullptr;
}

// Ends a running dropper run from inside its own message loop, as soon as
// its zoom window is on the screen: with a pick (a left click on the
// snapshot) or with Escape on the zoom window.
bool g_endWithPick = false;

void CALLBACK EndRunTimer(HWND, UINT, UINT_PTR, DWORD)
{
    HWND zoom = OwnWindow(L"TFormZoom");
    HWND snapshot = OwnWindow(L"TFormSnapshot");
    if (!zoom || !snapshot)
        return;
    if (g_endWithPick)
        ::PostMessageW(snapshot, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(40, 40));
    else
        ::PostMessageW(zoom, WM_KEYDOWN, VK_ESCAPE, 1);
}

// Another program's window, in front when a run starts: it notes every key
// it gets.
std::vector<UINT> g_coverKeys;
HWND g_cover = nullptr;

LRESULT CALLBACK CoverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_KEYDOWN || message == WM_KEYUP || message == WM_SYSKEYDOWN || message == WM_SYSKEYUP)
        g_coverKeys.push_back(static_cast<UINT>(wParam));
    return ::DefWindowProcW(window, message, wParam, lParam);
}

// Windows refusing the foreground to the run, as it does to a process that
// did not get the last input: the window in front stays there.
BOOL WINAPI RefuseForeground(HWND)
{
    ::SetForegroundWindow(g_cover);
    return FALSE;
}

// Real keyboard input: it passes the low-level keyboard hooks (Wine runs
// them for injected input as Windows does) and goes to the window in front.
void PressKey(WORD virtualKey, bool shift = false)
{
    const bool arrow = virtualKey >= VK_LEFT && virtualKey <= VK_DOWN;
    std::vector<INPUT> inputs;
    const auto add = [&](WORD key, bool up) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key;
        input.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0u) | (key == virtualKey && arrow ? KEYEVENTF_EXTENDEDKEY : 0u);
        inputs.push_back(input);
    };
    if (shift)
        add(VK_SHIFT, false);
    add(virtualKey, false);
    add(virtualKey, true);
    if (shift)
        add(VK_SHIFT, true);
    ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

// Handles messages until done() holds or the time is up; then whether it
// holds.
bool PumpUntil(const std::function<bool()>& done, DWORD milliseconds = 2000)
{
    const ULONGLONG end = ::GetTickCount64() + milliseconds;
    while (!done()) {
        const ULONGLONG now = ::GetTickCount64();
        if (now >= end)
            return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(std::min<ULONGLONG>(end - now, 50)),
                                    QS_ALLINPUT);
        MSG message{};
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }
    return true;
}

void PumpFor(DWORD milliseconds)
{
    PumpUntil([] { return false; }, milliseconds);
}

bool IsRunKeyCode(UINT key)
{
    return key == VK_ESCAPE || key == VK_RETURN || key == VK_F12 || (key >= VK_LEFT && key <= VK_DOWN);
}

POINT Cursor()
{
    POINT point{};
    ::GetCursorPos(&point);
    return point;
}

RECT VirtualScreen()
{
    const int left = ::GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int top = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
    return {left, top, left + ::GetSystemMetrics(SM_CXVIRTUALSCREEN), top + ::GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

bool SameRect(const RECT& a, const RECT& b)
{
    return ::EqualRect(&a, &b) != FALSE;
}

// Runs the scenario once from inside a run's loop, as soon as its zoom
// window is on the screen. A run still going after ten seconds is closed,
// and g_forcedEnd says so.
std::function<void(HWND snapshot, HWND zoom)> g_scenario;
bool g_forcedEnd = false;

void CALLBACK ForceEndTimer(HWND, UINT, UINT_PTR, DWORD)
{
    if (HWND snapshot = ::FindWindowW(L"TFormSnapshot", nullptr)) {
        g_forcedEnd = true;
        ::PostMessageW(snapshot, WM_CLOSE, 0, 0);
    }
}

void CALLBACK ScenarioTimer(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND zoom = OwnWindow(L"TFormZoom");
    HWND snapshot = OwnWindow(L"TFormSnapshot");
    if (!zoom || !snapshot || !g_scenario)
        return;
    ::KillTimer(nullptr, timer);
    const auto scenario = std::exchange(g_scenario, nullptr);
    scenario(snapshot, zoom);
}

class DropperTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_system = &m_system;
        SetSystemParametersInfoForTesting(RecordingSystemParametersInfo);
        SetMessageBoxAnswerer([this](const std::wstring& text, const std::wstring&, UINT) {
            m_boxes.push_back(text);
            return IDOK;
        });
    }
    void TearDown() override
    {
        SetSystemParametersInfoForTesting(nullptr);
        SetMessageBoxAnswerer(nullptr);
        g_system = nullptr;
        ::ClipCursor(nullptr);
    }

    // A snapshot with these values, activated once: that makes its zoom
    // window and applies the values. Its error log is m_errorLog.
    std::unique_ptr<TFormSnapshot> ActivatedSnapshot(const TDropperValues& values)
    {
        TSnapshotContext context;
        context.Values = values;
        context.ErrorLog = &m_errorLog;
        auto snapshot = std::make_unique<TFormSnapshot>(context);
        ::SendMessageW(snapshot->Handle(), WM_ACTIVATE, WA_ACTIVE, 0);
        return snapshot;
    }

    TRecordedSystem m_system;
    std::vector<std::wstring> m_boxes;
    std::vector<std::string> m_errorLog;
};

TEST_F(DropperTest, SystemFunctionsPassTheirValuesAsTheSystemExpects)
{
    EXPECT_EQ(GetSystemMouseSpeed(), 14);
    EXPECT_TRUE(GetMinimizeAnimation());
    SetSystemMouseSpeed(3); // in the pointer argument itself
    EXPECT_EQ(m_system.MouseSpeed, 3);
    SetMinimizeAnimation(false);
    EXPECT_FALSE(GetMinimizeAnimation());
    // A system that will not answer: the usual speed, and an animation that
    // the run will switch off and on again.
    m_system.Fails = true;
    EXPECT_EQ(GetSystemMouseSpeed(), 10);
    EXPECT_TRUE(GetMinimizeAnimation());
    EXPECT_EQ(std::count(m_system.Calls.begin(), m_system.Calls.end(), "persistent change"), 0);
}

TEST_F(DropperTest, ARejectedSettingEndsTheRunWithItsLinesAndRestoresTheSystem)
{
    std::vector<std::string> errorLog;
    bool picked = false;
    TEyeDropperRequest request;
    request.Snapshot.Values = {2, 49, 1, 7}; // a zoom factor below 3
    request.Snapshot.ErrorLog = &errorLog;
    request.Picked = [&](const TDropperValues&, TColor) { picked = true; };
    RunEyeDropper(request);

    EXPECT_FALSE(picked);
    EXPECT_EQ(errorLog, (std::vector<std::string>{"SetZoomFactor: Invalid input", "RenderZoomArea: Invalid input"}));
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_boxes[0], L"SetZoomFactor: Invalid input\r\nRenderZoomArea: Invalid input\r\n");
    // The run set its own speed, then the one from before came back; the
    // animation went off for the run and on again.
    EXPECT_EQ(m_system.Calls, (std::vector<std::string>{"animation off", "speed 7", "animation on", "speed 14"}));
    RECT clip{};
    ::GetClipCursor(&clip);
    EXPECT_EQ(clip.right - clip.left, ::GetSystemMetrics(SM_CXVIRTUALSCREEN)) << "the pointer is still confined";
}

TEST_F(DropperTest, AnExceptionInsideTheRunStillRestoresTheSystem)
{
    m_system.ThrowOnAnimationOff = true;
    std::vector<std::string> errorLog;
    TEyeDropperRequest request;
    request.Snapshot.Values = {8, 49, 1, 7};
    request.Snapshot.ErrorLog = &errorLog;
    EXPECT_THROW(RunEyeDropper(request), std::runtime_error);
    EXPECT_EQ(m_system.Calls, (std::vector<std::string>{"animation off", "animation on", "speed 14"}));
    EXPECT_TRUE(::FindWindowW(L"TFormSnapshot", nullptr) == nullptr);
}

TEST_F(DropperTest, WithoutTheAnimationTheRunLeavesItOff)
{
    m_system.Animation = false;
    std::vector<std::string> errorLog;
    TEyeDropperRequest request;
    request.Snapshot.Values = {8, 50, 1, 7}; // an even source size ends the run
    request.Snapshot.ErrorLog = &errorLog;
    RunEyeDropper(request);
    EXPECT_EQ(errorLog, (std::vector<std::string>{"SetSourceSize: Invalid input", "RenderZoomArea: Invalid input"}));
    EXPECT_EQ(std::count(m_system.Calls.begin(), m_system.Calls.end(), "animation on"), 0);
    EXPECT_FALSE(m_system.Animation);
    EXPECT_EQ(m_system.MouseSpeed, 14);
}

TEST_F(DropperTest, AThousandPointerMovesLeaveNoGdiObjectBehind)
{
    const std::unique_ptr<TFormSnapshot> activated = ActivatedSnapshot({8, 49, 3, 7});
    TFormSnapshot& snapshot = *activated;
    ASSERT_NE(snapshot.FormZoom(), nullptr);
    ASSERT_TRUE(m_errorLog.empty());
    const auto move = [&](int i) {
        ::SendMessageW(snapshot.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(20 + i % 300, 30 + (i * 7) % 200));
    };
    move(0);
    const DWORD before = WinTesting::LiveGdiObjects();
    for (int i = 1; i <= 1000; ++i)
        move(i);
    EXPECT_EQ(WinTesting::LiveGdiObjects(), before);

    // Settings changes make a new zoom picture each time; the old ones go.
    // (The first resize of the window lets the system keep a few objects of
    // its own, so the count starts after it.)
    TDropperSettings& settings = snapshot.Session().Settings();
    const auto resize = [&](int i) {
        settings.DecZoomFactor();
        settings.IncZoomFactor();
        move(i);
    };
    resize(0);
    const DWORD afterFirstResize = WinTesting::LiveGdiObjects();
    for (int i = 1; i <= 50; ++i)
        resize(i);
    EXPECT_EQ(WinTesting::LiveGdiObjects(), afterFirstResize);
    EXPECT_EQ(settings.ZoomFactor(), 8);
    EXPECT_TRUE(m_errorLog.empty());
}

// The zoom window's fixed parts follow the DPI of its monitor; its picture
// keeps the monitor's own pixels. Wine gives every monitor one DPI, so the
// change comes as the message Windows sends when the window reaches a
// monitor of another DPI; the next pointer move lays it out again for the
// monitor under the pointer.
TEST_F(DropperTest, TheZoomWindowScalesWithItsMonitorsDpiButNotItsPicture)
{
    const std::unique_ptr<TFormSnapshot> activated = ActivatedSnapshot({8, 49, 1, 7});
    TFormSnapshot& snapshot = *activated;
    ASSERT_NE(snapshot.FormZoom(), nullptr);
    TFormZoom& zoom = *snapshot.FormZoom();
    const UINT dpi = SystemDpi();
    ASSERT_EQ(zoom.Size().Width, ::MulDiv(128, static_cast<int>(dpi), 96) + 394);

    const auto dpiChanged = [&](UINT to) {
        RECT suggested{0, 0, 100, 100};
        ::SendMessageW(zoom.Handle(), WM_DPICHANGED, MAKEWPARAM(to, to), reinterpret_cast<LPARAM>(&suggested));
    };
    dpiChanged(192);
    EXPECT_EQ(zoom.Size().Width, 256 + 394);
    EXPECT_EQ(zoom.Size().Height, 562);
    EXPECT_EQ(zoom.ZoomPicture().Width, 392);
    RECT window{};
    ::GetWindowRect(zoom.Handle(), &window);
    EXPECT_EQ(window.right - window.left, 256 + 394);

    ::SendMessageW(snapshot.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(300, 300));
    EXPECT_EQ(zoom.Size().Width, ::MulDiv(128, static_cast<int>(dpi), 96) + 394);

    // Font and back buffer are made anew for each DPI; the old ones go.
    dpiChanged(144);
    dpiChanged(dpi);
    const DWORD before = WinTesting::LiveGdiObjects();
    for (int i = 0; i < 20; ++i) {
        dpiChanged(144);
        dpiChanged(dpi);
    }
    EXPECT_EQ(WinTesting::LiveGdiObjects(), before);
    EXPECT_TRUE(m_errorLog.empty());
}

// The setters size the zoom picture with every change of Z or So; to the
// size it has, that clears it and leaves the window as it is.
TEST_F(DropperTest, SizingTheZoomPictureToItsOwnSizeClearsIt)
{
    const std::unique_ptr<TFormSnapshot> activated = ActivatedSnapshot({8, 49, 3, 7});
    TFormSnapshot& snapshot = *activated;
    TFormZoom* zoom = snapshot.FormZoom();
    ASSERT_NE(zoom, nullptr);
    ::SendMessageW(snapshot.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(40, 40));
    const TZoomPictureView drawn = zoom->ZoomPicture();
    const auto bytes = static_cast<std::size_t>(drawn.Stride) * static_cast<std::size_t>(drawn.Height);
    ASSERT_TRUE(std::any_of(drawn.Bits, drawn.Bits + bytes, [](std::uint8_t byte) { return byte != 0; }));
    const TWindowSize size = zoom->Size();

    zoom->ResizeZoomPicture(392);
    const TZoomPictureView cleared = zoom->ZoomPicture();
    EXPECT_EQ(cleared.Width, 392);
    EXPECT_EQ(cleared.Height, 392);
    EXPECT_TRUE(std::all_of(cleared.Bits, cleared.Bits + bytes, [](std::uint8_t byte) { return byte == 0; }));
    EXPECT_EQ(zoom->Size().Width, size.Width);
    EXPECT_EQ(zoom->Size().Height, size.Height);
    EXPECT_TRUE(m_errorLog.empty());
}

// The zoom window and its pictures live only during a run, and the one
// desktop picture kept for the next run is used again: twenty runs, ended by
// picks and by Escape, leave the private memory where it was (within 1 MB;
// one desktop picture of the test screen alone is 5 MB).
TEST_F(DropperTest, RunsGiveTheirMemoryBack)
{
    std::vector<std::string> errorLog;
    int picks = 0;
    TEyeDropperRequest request;
    request.Snapshot.Values = {8, 49, 3, 7};
    request.Snapshot.ErrorLog = &errorLog;
    request.Picked = [&](const TDropperValues&, TColor) { ++picks; };
    const auto run = [&](bool pick) {
        g_endWithPick = pick;
        const UINT_PTR timer = ::SetTimer(nullptr, 0, 10, EndRunTimer);
        ASSERT_NE(timer, 0u);
        RunEyeDropper(request);
        ::KillTimer(nullptr, timer);
    };
    // The first runs make what the process keeps for good: window classes,
    // the font list, the heaps' first blocks, the desktop picture.
    run(true);
    run(false);
    const SIZE_T before = PrivateBytes();
    ASSERT_GT(before, 0u);
    for (int i = 0; i < 20; ++i)
        run(i % 2 == 0);
    const SIZE_T after = PrivateBytes();
    EXPECT_LE(after, before + 1024 * 1024) << "before " << before / 1024 << " KB, after " << after / 1024 << " KB";
    EXPECT_EQ(picks, 11);
    EXPECT_TRUE(errorLog.empty());
    EXPECT_TRUE(::FindWindowW(L"TFormSnapshot", nullptr) == nullptr);
}

// What runs keep for the next one (the desktop picture, 5 MB on the test
// screen, and the zoom window's pictures) goes once no run has come for a
// while after the last run.
TEST_F(DropperTest, WhatRunsKeepGoesWhenNoRunComes)
{
    SetKeptForTesting(300);
    std::vector<std::string> errorLog;
    TEyeDropperRequest request;
    request.Snapshot.Values = {8, 49, 3, 7};
    request.Snapshot.ErrorLog = &errorLog;
    const auto run = [&] {
        g_endWithPick = false;
        const UINT_PTR timer = ::SetTimer(nullptr, 0, 10, EndRunTimer);
        ASSERT_NE(timer, 0u);
        RunEyeDropper(request);
        ::KillTimer(nullptr, timer);
    };
    // The first run makes what the process keeps for good.
    run();
    PumpFor(600);
    const SIZE_T idle = PrivateBytes();
    ASSERT_GT(idle, 0u);
    run();
    const SIZE_T kept = PrivateBytes();
    // A run within the time starts the countdown again when it ends.
    PumpFor(100);
    run();
    PumpFor(600);
    const SIZE_T released = PrivateBytes();
    SetKeptForTesting(0);

    constexpr SIZE_T MB = 1024 * 1024;
    EXPECT_GE(kept, idle + 4 * MB) << "nothing kept after a run";
    EXPECT_LE(released, idle + MB) << "idle " << idle / 1024 << " KB, kept " << kept / 1024 << " KB, afterwards "
                                   << released / 1024 << " KB";
    EXPECT_TRUE(errorLog.empty());
}

// A run started while another program's window is in front, as from the
// hot key: with the foreground refused (the stand-in) and with it granted.
class DropperInFrontOfAnotherWindowTest : public DropperTest {
protected:
    void SetUp() override
    {
        DropperTest::SetUp();
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = CoverProc;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"VeskTestCover";
        ::RegisterClassExW(&windowClass); // a second test finds it registered
        g_cover = ::CreateWindowExW(0, L"VeskTestCover", L"cover", WS_POPUP | WS_VISIBLE, 0, 0, 200, 200, nullptr,
                                    nullptr, windowClass.hInstance, nullptr);
        ASSERT_NE(g_cover, nullptr);
        ASSERT_TRUE(TakeTheFront());
        ASSERT_TRUE(::SetCursorPos(400, 300));
        g_coverKeys.clear();
    }
    void TearDown() override
    {
        SetForegroundWindowForTesting(nullptr);
        g_scenario = nullptr;
        ::DestroyWindow(g_cover);
        g_cover = nullptr;
        DropperTest::TearDown();
    }

    static bool TakeTheFront()
    {
        ::SetForegroundWindow(g_cover);
        return PumpUntil([] { return ::GetForegroundWindow() == g_cover; });
    }

    // Runs the dropper with sample size 5; the scenario ends it.
    bool Run(std::function<void(HWND snapshot, HWND zoom)> scenario)
    {
        bool picked = false;
        TEyeDropperRequest request;
        request.Snapshot.Values = {8, 49, 5, 7};
        request.Snapshot.ErrorLog = &m_errorLog;
        request.Picked = [&](const TDropperValues&, TColor) { picked = true; };
        g_scenario = std::move(scenario);
        g_forcedEnd = false;
        const UINT_PTR timer = ::SetTimer(nullptr, 0, 10, ScenarioTimer);
        const UINT_PTR forceEnd = ::SetTimer(nullptr, 0, 10000, ForceEndTimer);
        EXPECT_NE(timer, 0u);
        EXPECT_NE(forceEnd, 0u);
        RunEyeDropper(request);
        ::KillTimer(nullptr, timer);
        ::KillTimer(nullptr, forceEnd);
        EXPECT_TRUE(g_scenario == nullptr) << "the run never showed its zoom window";
        EXPECT_FALSE(g_forcedEnd) << "the run did not end";
        EXPECT_TRUE(m_errorLog.empty());
        return picked;
    }

    // After a run the pointer is free and the keyboard is the front
    // window's again: a run key reaches it and does not move the pointer.
    static void ExpectKeyboardAndPointerGivenBack()
    {
        RECT clip{};
        ::GetClipCursor(&clip);
        EXPECT_TRUE(SameRect(clip, VirtualScreen())) << "the pointer is still confined";
        ASSERT_TRUE(TakeTheFront());
        g_coverKeys.clear();
        const POINT before = Cursor();
        PressKey(VK_RIGHT);
        EXPECT_TRUE(PumpUntil([] { return std::count(g_coverKeys.begin(), g_coverKeys.end(), VK_RIGHT) == 2; }))
            << "the right arrow did not reach the window in front";
        EXPECT_EQ(Cursor().x, before.x);
    }
};

TEST_F(DropperInFrontOfAnotherWindowTest, TheRunsKeysReachTheRunAndNoOtherWindow)
{
    // Refused later: the run starts in front, then another window takes the
    // foreground and the run's next request for it is refused.
    enum class TStart { Refused, Granted, RefusedLater };
    for (const TStart how : {TStart::Refused, TStart::Granted, TStart::RefusedLater}) {
        SCOPED_TRACE(how == TStart::Refused   ? "foreground refused"
                     : how == TStart::Granted ? "foreground granted"
                                              : "foreground refused later");
        const bool refused = how != TStart::Granted;
        SetForegroundWindowForTesting(how == TStart::Refused ? RefuseForeground : nullptr);
        ASSERT_TRUE(TakeTheFront());
        g_coverKeys.clear();
        RECT clipAtStart{};
        HWND front = nullptr;
        HWND zoomWindow = nullptr;
        HWND snapshotWindow = nullptr;
        POINT start{};
        std::vector<LONG> moves;
        const bool picked = Run([&](HWND snapshot, HWND zoom) {
            ::GetClipCursor(&clipAtStart);
            if (how == TStart::RefusedLater) {
                SetForegroundWindowForTesting(RefuseForeground);
                ::SetForegroundWindow(g_cover);
                // A pointer move: its update asks for the foreground again.
                const POINT at = Cursor();
                POINT client = at;
                ::ScreenToClient(snapshot, &client);
                ::PostMessageW(snapshot, WM_MOUSEMOVE, 0, MAKELPARAM(client.x, client.y));
                PumpFor(100);
            }
            front = ::GetForegroundWindow();
            zoomWindow = zoom;
            snapshotWindow = snapshot;
            start = Cursor();
            // An arrow moves the pointer by exactly one step: handled once,
            // by the hook or by the zoom window, never by both.
            PressKey(VK_RIGHT);
            PumpUntil([&] { return Cursor().x != start.x; });
            PumpFor(150);
            moves.push_back(Cursor().x - start.x);
            PressKey(VK_RIGHT, true);
            PumpUntil([&] { return Cursor().x - start.x > moves.back(); });
            PumpFor(150);
            moves.push_back(Cursor().x - start.x);
            PressKey(VK_ESCAPE);
        });

        if (refused)
            EXPECT_EQ(front, g_cover) << "the stand-in left the run in front";
        else
            EXPECT_TRUE(front == zoomWindow || front == snapshotWindow) << "the run is not in front";
        RECT expected = VirtualScreen();
        ::InflateRect(&expected, -2, -2);
        EXPECT_TRUE(SameRect(clipAtStart, expected)) << "confined to " << clipAtStart.left << "," << clipAtStart.top
                                                     << "," << clipAtStart.right << "," << clipAtStart.bottom;
        EXPECT_EQ(moves, (std::vector<LONG>{1, 11}));
        EXPECT_FALSE(picked);
        EXPECT_EQ(std::count_if(g_coverKeys.begin(), g_coverKeys.end(), IsRunKeyCode), 0)
            << "a run key reached the window in front";
        ExpectKeyboardAndPointerGivenBack();
    }
}

// A screen reader reads the zoom window as what its values panel shows, and
// hears it again once the pointer rests after a move, not on each pixel.
std::vector<HWND> g_nameChanges;
void CALLBACK RecordNameChange(HWINEVENTHOOK, DWORD, HWND window, LONG object, LONG child, DWORD, DWORD)
{
    if (object == OBJID_CLIENT && child == CHILDID_SELF)
        g_nameChanges.push_back(window);
}

TEST_F(DropperInFrontOfAnotherWindowTest, TheZoomWindowIsReadAsItsValuesAndHeardWhenThePointerRests)
{
    const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const auto nameOf = [](HWND window) {
        void* object = nullptr;
        std::wstring name;
        if (FAILED(
                ::AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible), &object)))
            return name;
        auto* accessible = static_cast<IAccessible*>(object);
        VARIANT self;
        ::VariantInit(&self);
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        BSTR text = nullptr;
        if (SUCCEEDED(accessible->get_accName(self, &text)) && text)
            name = text;
        ::SysFreeString(text);
        accessible->Release();
        return name;
    };
    std::wstring before, after;
    size_t heardAfterMove = 0;
    bool heardTooSoon = false;
    const HWINEVENTHOOK hook = ::SetWinEventHook(EVENT_OBJECT_NAMECHANGE, EVENT_OBJECT_NAMECHANGE, nullptr,
                                                 RecordNameChange, ::GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    ASSERT_NE(hook, nullptr);
    Run([&](HWND snapshot, HWND zoom) {
        before = nameOf(zoom);
        PumpFor(700);
        g_nameChanges.clear();
        PressKey(VK_RIGHT);
        PumpFor(150);
        heardTooSoon = std::count(g_nameChanges.begin(), g_nameChanges.end(), zoom) > 0;
        PumpUntil([&] { return std::count(g_nameChanges.begin(), g_nameChanges.end(), zoom) > 0; });
        heardAfterMove = static_cast<size_t>(std::count(g_nameChanges.begin(), g_nameChanges.end(), zoom));
        after = nameOf(zoom);
        // Ended by a click: no key of this test is still on its way when
        // the next one starts.
        ::PostMessageW(snapshot, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(40, 40));
    });
    ::UnhookWinEvent(hook);
    if (SUCCEEDED(com))
        ::CoUninitialize();
    // "RGB: …, X: …": every line of the panel, the coordinates one step on.
    EXPECT_NE(before.find(L"RGB"), std::wstring::npos) << std::string(before.begin(), before.end());
    EXPECT_NE(before, after);
    EXPECT_FALSE(heardTooSoon);
    EXPECT_EQ(heardAfterMove, 1u);
}

// The hook and the confinement go with the run, whichever way it ends; at
// the end of the session they go before WM_ENDSESSION returns, since
// Windows may end the process then without unwinding the run.
TEST_F(DropperInFrontOfAnotherWindowTest, EveryWayOutGivesTheKeyboardAndThePointerBack)
{
    SetForegroundWindowForTesting(RefuseForeground);
    enum class TWayOut { Pick, Enter, F12, SessionEnd };
    struct TCase {
        const char* Name;
        TWayOut Way;
        bool Picks;
    };
    const TCase cases[] = {
        {"pick", TWayOut::Pick, true},
        {"Enter, which picks as a click does", TWayOut::Enter, true},
        {"F12", TWayOut::F12, false},
        {"end of the session", TWayOut::SessionEnd, false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        ASSERT_TRUE(TakeTheFront());
        g_coverKeys.clear();
        bool freeAtSessionEnd = false;
        bool escapeReachedCover = false;
        const bool picked = Run([&](HWND snapshot, HWND) {
            switch (c.Way) {
            case TWayOut::Pick: ::PostMessageW(snapshot, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(40, 40)); break;
            case TWayOut::Enter: PressKey(VK_RETURN); break;
            case TWayOut::F12: PressKey(VK_F12); break;
            case TWayOut::SessionEnd: {
                ::SendMessageW(snapshot, WM_ENDSESSION, TRUE, 0);
                RECT clip{};
                ::GetClipCursor(&clip);
                freeAtSessionEnd = SameRect(clip, VirtualScreen());
                PressKey(VK_ESCAPE);
                escapeReachedCover =
                    PumpUntil([] { return std::count(g_coverKeys.begin(), g_coverKeys.end(), VK_ESCAPE) == 2; });
                break;
            }
            }
        });
        EXPECT_EQ(picked, c.Picks);
        if (c.Way == TWayOut::SessionEnd) {
            EXPECT_TRUE(freeAtSessionEnd) << "the pointer is still confined after WM_ENDSESSION";
            EXPECT_TRUE(escapeReachedCover) << "the hook still took Escape after WM_ENDSESSION";
        } else {
            EXPECT_EQ(std::count_if(g_coverKeys.begin(), g_coverKeys.end(), IsRunKeyCode), 0);
        }
        ExpectKeyboardAndPointerGivenBack();
    }
}

} // namespace
