#include "dropper/EyeDropper.h"

#include "common/Trace.h"
#include "dropper/SystemFunctions.h"
#include "ui/MessageBoxes.h"

#include <memory>

namespace {

// What the run changes for the whole system, put back when it goes.
class TSystemStateGuard {
public:
    TSystemStateGuard(HWND owner)
        : m_owner(owner), m_mouseSpeed(GetSystemMouseSpeed()), m_minimizeAnimation(GetMinimizeAnimation())
    {}
    TSystemStateGuard(const TSystemStateGuard&) = delete;
    TSystemStateGuard& operator=(const TSystemStateGuard&) = delete;
    ~TSystemStateGuard()
    {
        ::ClipCursor(nullptr);
        // The owner comes back in its normal state after every run, also
        // when it was maximized or not minimized at all.
        if (m_owner)
            ::ShowWindow(m_owner, SW_SHOWNORMAL);
        if (m_minimizeAnimation)
            SetMinimizeAnimation(true);
        SetSystemMouseSpeed(m_mouseSpeed);
    }
    bool MinimizeAnimation() const noexcept { return m_minimizeAnimation; }

private:
    HWND m_owner;
    int m_mouseSpeed;
    bool m_minimizeAnimation;
};

std::wstring ErrorLogText(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return Utf8ToWide(text);
}

// What runs keep for the next one: the desktop picture, which stays while
// the desktop keeps its size (a new one would cost the copy the first touch
// of every one of its pages, which takes longer than the copy of the screen
// itself), and the zoom window's pictures. It all goes once no run has come
// for a while: a program left open all day keeps neither a copy of the
// screen nor memory the size of the desktop.
constexpr UINT KeptForDefault = 60 * 1000;
UINT g_keptFor = KeptForDefault;
std::shared_ptr<TScreenPicture> g_keptPicture;
UINT_PTR g_releaseTimer = 0;

void StopReleaseTimer()
{
    if (g_releaseTimer)
        ::KillTimer(nullptr, g_releaseTimer);
    g_releaseTimer = 0;
}

void CALLBACK ReleaseKept(HWND, UINT, UINT_PTR, DWORD)
{
    StopReleaseTimer();
    g_keptPicture.reset();
    ReleaseKeptZoomPictures();
}

// Stops the release's countdown for the run and starts it again when the run
// ends, whichever way.
class TKeptForNextRun {
public:
    TKeptForNextRun() { StopReleaseTimer(); }
    ~TKeptForNextRun()
    {
        StopReleaseTimer();
        // Without a timer (none left) it goes at once.
        g_releaseTimer = ::SetTimer(nullptr, 0, g_keptFor, ReleaseKept);
        if (!g_releaseTimer)
            ReleaseKept(nullptr, 0, 0, 0);
    }
    TKeptForNextRun(const TKeptForNextRun&) = delete;
    TKeptForNextRun& operator=(const TKeptForNextRun&) = delete;
};

} // namespace

void RunEyeDropper(const TEyeDropperRequest& request)
{
    TracePoint("run starts");
    HWND owner = request.Snapshot.Owner;
    const TSystemStateGuard restore(owner);
    TracePoint("system settings read");
    // Both before the capture: a minimizing window must not animate into
    // the picture.
    if (restore.MinimizeAnimation())
        SetMinimizeAnimation(false);
    TracePoint("minimize animation off");
    const TKeptForNextRun keep;
    TSnapshotContext context = request.Snapshot;
    FitToDesktop(g_keptPicture, VirtualDesktopRect());
    context.Picture = g_keptPicture;
    if (request.MinimizeOwner && owner)
        ::ShowWindow(owner, SW_MINIMIZE);
    TracePoint("owner minimized");

    {
        auto snapshot = std::make_unique<TFormSnapshot>(context);
        TracePoint("snapshot window made");
        if (snapshot->ShowModal() == TModalResult::OK && request.Picked)
            request.Picked(snapshot->Values(), snapshot->SampleColor());
        // The snapshot window goes here, and the zoom window with it.
    }
    if (request.Snapshot.ErrorLog && !request.Snapshot.ErrorLog->empty())
        ErrorBox(ErrorLogText(*request.Snapshot.ErrorLog));
    TracePoint("run ended");
    TraceFlush();
}

void SetKeptForTesting(unsigned milliseconds) noexcept
{
    g_keptFor = milliseconds ? milliseconds : KeptForDefault;
}
