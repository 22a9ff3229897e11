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

// The desktop picture stays from one run to the next while the desktop
// keeps its size: a new one would cost the copy the first touch of every
// one of its pages, which takes longer than the copy of the screen itself.
std::shared_ptr<TScreenPicture> KeptPicture()
{
    static std::shared_ptr<TScreenPicture> kept;
    const RECT desktop = VirtualDesktopRect();
    const int width = desktop.right - desktop.left, height = desktop.bottom - desktop.top;
    if (!kept || kept->Width() != width || kept->Height() != height) {
        kept.reset(); // the old one goes before the new one is made
        kept = std::make_shared<TScreenPicture>(width, height);
    }
    return kept;
}

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
    TSnapshotContext context = request.Snapshot;
    context.Picture = KeptPicture();
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
