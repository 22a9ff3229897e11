#pragma once

// The snapshot window of a dropper run: the whole virtual desktop, frozen
// at the start, shown one to one under a cross-hair cursor, with the zoom
// window beside the pointer. It carries out what the dropper's rules
// (TDropperSession) decide, and runs modally until a pick or a cancel.

#include "color/RecentColors.h"
#include "common/Win32.h"
#include "dropper/DropperSession.h"
#include "dropper/RunKeyboardHook.h"
#include "dropper/ScreenPicture.h"
#include "dropper/Zoom.h"
#include "ui/Window.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TClipboardEx;
class TLanguages;

// What a run needs of the window it starts from.
struct TSnapshotContext {
    HWND Owner = nullptr;
    TDropperValues Values;
    bool OwnerCreating = false; // started at the owner's first show
    TClipboardEx* Clipboard = nullptr;
    std::vector<std::string>* ErrorLog = nullptr;
    const TLanguages* Languages = nullptr;
    // Space during the run: the color under the pointer joins the recent
    // colors at once, whatever way the run ends.
    std::function<void(TColor)> AddRecentColor;
    // The picture for the capture, made ahead by the run; without it, or
    // when the desktop has changed size since, the window makes its own.
    // The run's frozen desktop from then on.
    std::shared_ptr<TScreenPicture> Picture;
};

enum class TModalResult { None, OK, Cancel };

class TFormSnapshot final : public Window, private TDropperHost, private TZoomEvents {
public:
    static constexpr const wchar_t* ClassName = L"TFormSnapshot";

    // Creates the window over the virtual desktop and captures the desktop
    // into it. Does not show it.
    explicit TFormSnapshot(const TSnapshotContext& context);
    ~TFormSnapshot() override;

    // Shows the window modally; returns OK after a pick, else Cancel.
    TModalResult ShowModal();

    int ZoomFactor() const { return FSession->Settings().ZoomFactor(); }
    int SourceSize() const { return FSession->Settings().SourceSize(); }
    int SampleSize() const { return FSession->Settings().SampleSize(); }
    int MouseSpeed() const { return FSession->Settings().MouseSpeed(); }
    TDropperValues Values() const { return FSession->Settings().Values(); }
    TColor SampleColor() const { return FSession->SampleColor(); }
    TFormZoom* FormZoom() const noexcept { return FFormZoom.get(); }
    TDropperSession& Session() noexcept { return *FSession; }

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void FormActivate();
    void ApplicationEventsActivate();
    void ImgSnapshotMouseDown(UINT button);
    void ImgSnapshotMouseMove(int x, int y);
    void TakeForeground(HWND window);
    bool RunKey(unsigned virtualKey, bool down, TShiftState shift);
    void EndSession();
    void EndModal(TModalResult result);

    // TDropperHost
    void SetCaption(TZoomLabel label, std::string_view caption) override;
    void ResizeZoomPicture(int side) override;
    void ClipCursorToSnapshot() override;
    void RefreshZoom() override;
    void SetSystemMouseSpeed(int speed) override;
    void AppendErrorLine(const std::string& line) override;
    void CancelRun() override;
    void KeepZoomWindowInFront() override;
    void ShowSampleColor(TColor color) override;
    TWindowSize ZoomWindowSize(unsigned dpi) override;
    void MoveZoomWindow(TScreenPoint screenTopLeft) override;
    TZoomPictureView ZoomPicture() override;
    void ZoomPictureChanged() override;

    // TZoomEvents
    void ZoomKey(TZoomKeyAction action, unsigned virtualKey, bool shift) override;
    void ZoomWheel(bool up, TShiftState shift) override;
    void ZoomMouseMove() override;
    void ZoomClosed() override;

    TSnapshotContext m_context;
    RECT m_desktop{};
    UINT m_dpi = USER_DEFAULT_SCREEN_DPI;
    std::unique_ptr<TDropperSession> FSession;
    std::unique_ptr<TFormZoom> FFormZoom;
    TModalResult m_modalResult = TModalResult::None;
    TRunKeyboardHook m_keyboardHook;
    // The colors Space added in this run.
    TPickCounter m_added;
};
