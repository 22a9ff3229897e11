#include "dropper/Snapshot.h"

#include "common/Trace.h"
#include "dropper/SystemFunctions.h"
#include "dropper/ZoomTexts.h"
#include "i18n/LanguageSupport.h"
#include "ui/ClipboardEx.h"

#include <stdexcept>
#include <string_view>

#include <windowsx.h>

namespace {

constexpr UINT ZoomClosedMessage = WM_APP + 1;

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT rect, LPARAM data)
{
    auto& scene = *reinterpret_cast<TDropperScene*>(data);
    scene.Monitors.push_back({rect->left, rect->top, rect->right, rect->bottom});
    scene.MonitorDpis.push_back(MonitorDpi(monitor));
    return TRUE;
}

TScreenPoint CursorPos()
{
    POINT point{};
    ::GetCursorPos(&point);
    return {point.x, point.y};
}

} // namespace

TFormSnapshot::TFormSnapshot(const TSnapshotContext& context) : m_context(context)
{
    WNDCLASSEXW windowClass{};
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = ClassName;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_CROSS);
    windowClass.hbrBackground = nullptr;
    // The virtual desktop: the bounding rectangle of all monitors. The window
    // is made right over it (one size for its surface instead of a second
    // one a move would make). From now on client coordinates are screen
    // coordinates minus its top-left corner.
    m_desktop = VirtualDesktopRect();
    CreateHandle(windowClass, WS_EX_TOPMOST | WS_EX_TOOLWINDOW, L"", WS_POPUP, m_desktop.left, m_desktop.top,
                 m_desktop.right - m_desktop.left, m_desktop.bottom - m_desktop.top, context.Owner, nullptr);

    {
        POINT pointer{};
        ::GetCursorPos(&pointer);
        m_dpi = MonitorDpi(::MonitorFromPoint(pointer, MONITOR_DEFAULTTONEAREST));
    }
    TracePoint("snapshot window created");
    FitToDesktop(m_context.Picture, m_desktop);
    m_context.Picture->CopyScreen(m_desktop);

    TDropperScene scene{m_context.Picture->View(), {m_desktop.left, m_desktop.top}, {}, {}};
    ::EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&scene));
    if (scene.Monitors.empty()) {
        scene.Monitors.push_back({m_desktop.left, m_desktop.top, m_desktop.right, m_desktop.bottom});
        scene.MonitorDpis.assign(1, m_dpi);
    }
    FSession = std::make_unique<TDropperSession>(static_cast<TDropperHost&>(*this), std::move(scene), context.Values,
                                                 CursorPos());
    TracePoint("session made");
}

TFormSnapshot::~TFormSnapshot()
{
    // The zoom window goes first: it belongs to this window.
    FFormZoom.reset();
    DestroyHandle();
}

TModalResult TFormSnapshot::ShowModal()
{
    HWND owner = m_context.Owner;
    const bool ownerWasEnabled = owner && !::EnableWindow(owner, FALSE);
    m_modalResult = TModalResult::None;
    ShowRunWindow(Handle());
    TracePoint("snapshot window shown");
    // Granted, the activation starts the run (the zoom window, the settings
    // that confine the pointer, the first update) before this returns.
    TakeForeground(Handle());
    TracePoint("snapshot window in front");
    // Refused (a run from the hot key while another program is in front),
    // the run starts here all the same, behind that program: the pointer is
    // confined and the keyboard hook takes the run's keys.
    if (!FFormZoom && m_modalResult == TModalResult::None)
        FormActivate();
    MSG message{};
    while (m_modalResult == TModalResult::None) {
        const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
        if (got <= 0) {
            // The program is ending: hand the quit on to the outer loop.
            if (got == 0)
                ::PostQuitMessage(static_cast<int>(message.wParam));
            m_modalResult = TModalResult::Cancel;
            break;
        }
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    m_keyboardHook.Remove();
    if (ownerWasEnabled)
        ::EnableWindow(owner, TRUE);
    ::ShowWindow(Handle(), SW_HIDE);
    return m_modalResult;
}

void TFormSnapshot::EndModal(TModalResult result)
{
    if (m_modalResult == TModalResult::None)
        m_modalResult = result;
}

LRESULT TFormSnapshot::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ERASEBKGND: return 1; // the picture covers everything
    case WM_PAINT: {
        PaintDc paint(Handle());
        const RECT& area = paint.area();
        ::BitBlt(paint.get(), area.left, area.top, area.right - area.left, area.bottom - area.top,
                 m_context.Picture->Dc(), area.left, area.top, SRCCOPY);
        return 0;
    }
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE)
            FormActivate();
        return 0;
    case WM_ACTIVATEAPP:
        if (wParam)
            ApplicationEventsActivate();
        break;
    case WM_MOUSEMOVE: ImgSnapshotMouseMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)); return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_XBUTTONDOWN: ImgSnapshotMouseDown(message); return 0;
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
        // The snapshot window has the keyboard at the start of a run and
        // after a click on it, until the next update puts the zoom window
        // in front: the run's keys work there too.
        if (RunKey(static_cast<unsigned>(wParam), message == WM_KEYDOWN || message == WM_SYSKEYDOWN,
                   {::GetKeyState(VK_SHIFT) < 0, ::GetKeyState(VK_CONTROL) < 0, ::GetKeyState(VK_MENU) < 0, false}))
            return 0;
        break;
    case RunKeyMessage:
        RunKey(static_cast<unsigned>(wParam), (lParam & RunKeyDown) != 0,
               {(lParam & RunKeyShift) != 0, (lParam & RunKeyCtrl) != 0, (lParam & RunKeyAlt) != 0, false});
        return 0;
    case WM_ENDSESSION:
        if (wParam)
            EndSession();
        return 0;
    case WM_CLOSE: EndModal(TModalResult::Cancel); return 0;
    case ZoomClosedMessage: FFormZoom.reset(); return 0;
    default: break;
    }
    return Window::HandleMessage(message, wParam, lParam);
}

// Runs at every activation, but only creates the zoom window when there is
// none: at the start of the run, or after the zoom window was closed.
void TFormSnapshot::FormActivate()
{
    if (FFormZoom)
        return;
    TracePoint("first activation");
    FFormZoom = std::make_unique<TFormZoom>(Handle(), static_cast<TZoomEvents&>(*this), m_dpi);
    TracePoint("zoom window made");
    TDropperTexts texts;
    if (m_context.Languages && m_context.Languages->HasActiveFile()) {
        const TLanguageFile& file = m_context.Languages->ActiveFile();
        texts = {file.ReadString(SnapshotSection, SnapshotTextKeys[0]),
                 file.ReadString(SnapshotSection, SnapshotTextKeys[1]),
                 file.ReadString(SnapshotSection, SnapshotTextKeys[2]),
                 file.ReadString(SnapshotSection, SnapshotTextKeys[3])};
    }
    TracePoint("texts read");
    FSession->Settings().ApplyStoredSettings(texts);
    TracePoint("settings applied");
    if (!FFormZoom)
        return;
    // Activated where the system allows it; the update below asks for the
    // foreground for it too.
    ShowRunWindow(FFormZoom->Handle());
    TracePoint("zoom window shown");
    FSession->Settings().RefreshZoom();
    TracePoint("first update done");
    // Started with the program: the click that launched it may still be on
    // its way, and a right click is the one press that picks nothing.
    if (m_context.OwnerCreating) {
        ::mouse_event(MOUSEEVENTF_RIGHTDOWN, 0, 0, 0, 0);
        ::mouse_event(MOUSEEVENTF_RIGHTUP, 0, 0, 0, 0);
    }
}

void TFormSnapshot::ApplicationEventsActivate()
{
    if (m_modalResult != TModalResult::None)
        return; // the run has ended; its window only waits to go
    ClipCursorToSnapshot();
    FSession->Settings().RefreshZoom();
}

void TFormSnapshot::ImgSnapshotMouseDown(UINT button)
{
    // The pick delivers the color of the last update, not a new sample.
    if (button == WM_LBUTTONDOWN)
        EndModal(TModalResult::OK);
    else if (FFormZoom)
        TakeForeground(FFormZoom->Handle());
}

// Asks for the foreground for a window of the run. Where the system refuses
// it, the run goes on behind the program in front, and from then on until
// it ends a low-level keyboard hook takes the run's keys from the keyboard.
// The hook is held only then: with the run in front, the keys come to its
// windows the usual way.
void TFormSnapshot::TakeForeground(HWND window)
{
    if (!BringToForeground(window) && !m_keyboardHook.Installed())
        m_keyboardHook.Install(Handle());
}

// A key for the run, from the window that has the keyboard or from the
// run's keyboard hook while another program is in front.
bool TFormSnapshot::RunKey(unsigned virtualKey, bool down, TShiftState shift)
{
    const TZoomKeyAction action = ZoomKeyAction(virtualKey, down, shift);
    if (action == zkaNone)
        return false;
    ZoomKey(action, virtualKey, shift.Shift);
    return true;
}

// Windows may end the process any time after this message without
// destroying a window or returning from the run's loop: the keyboard and
// the pointer are given back here.
void TFormSnapshot::EndSession()
{
    m_keyboardHook.Remove();
    ::ClipCursor(nullptr);
    EndModal(TModalResult::Cancel);
}

void TFormSnapshot::ImgSnapshotMouseMove(int x, int y)
{
    if (FFormZoom && m_modalResult == TModalResult::None)
        FSession->Update({x, y});
}

// TDropperHost

void TFormSnapshot::SetCaption(TZoomLabel label, std::string_view caption)
{
    if (FFormZoom)
        FFormZoom->SetCaption(label, caption);
}

void TFormSnapshot::ResizeZoomPicture(int side)
{
    if (FFormZoom)
        FFormZoom->ResizeZoomPicture(side);
}

void TFormSnapshot::ClipCursorToSnapshot()
{
    ::ClipCursor(nullptr);
    if (const auto area = PointerConfinement(FSession->SnapshotArea(), FSession->Settings().SampleSize())) {
        const RECT rect{area->Left, area->Top, area->Right, area->Bottom};
        ::ClipCursor(&rect);
    }
}

void TFormSnapshot::RefreshZoom()
{
    // Also after a setter has ended the run: the refresh that closes the
    // first activation still checks the settings and logs what it rejects.
    if (!FFormZoom)
        return;
    FSession->Update(FSession->ToClient(CursorPos()));
}

void TFormSnapshot::SetSystemMouseSpeed(int speed)
{
    ::SetSystemMouseSpeed(speed);
}

void TFormSnapshot::AppendErrorLine(const std::string& line)
{
    if (m_context.ErrorLog)
        m_context.ErrorLog->push_back(line);
}

void TFormSnapshot::CancelRun()
{
    ::ShowWindow(Handle(), SW_HIDE);
    EndModal(TModalResult::Cancel);
}

void TFormSnapshot::KeepZoomWindowInFront()
{
    // Refused, the run goes on behind the program in front; the next
    // update asks again.
    if (FFormZoom && ::GetForegroundWindow() != FFormZoom->Handle())
        TakeForeground(FFormZoom->Handle());
}

void TFormSnapshot::ShowSampleColor(TColor color)
{
    if (FFormZoom)
        FFormZoom->SetSampleColor(color);
}

TWindowSize TFormSnapshot::ZoomWindowSize(unsigned dpi)
{
    if (!FFormZoom)
        return {};
    FFormZoom->SetDpi(dpi);
    return FFormZoom->Size();
}

void TFormSnapshot::MoveZoomWindow(TScreenPoint screenTopLeft)
{
    if (FFormZoom)
        FFormZoom->MoveTo(screenTopLeft.X, screenTopLeft.Y);
}

TZoomPictureView TFormSnapshot::ZoomPicture()
{
    return FFormZoom ? FFormZoom->ZoomPicture() : TZoomPictureView{};
}

void TFormSnapshot::ZoomPictureChanged()
{
    if (FFormZoom)
        FFormZoom->Repaint();
}

// TZoomEvents

void TFormSnapshot::ZoomKey(TZoomKeyAction action, unsigned virtualKey, bool shift)
{
    if (m_modalResult != TModalResult::None)
        return;
    switch (action) {
    case zkaCancel: CancelRun(); break;
    case zkaPick: EndModal(TModalResult::OK); break;
    case zkaCopyAndCancel:
        if (FFormZoom && FFormZoom->ZoomBitmap() && m_context.Clipboard)
            m_context.Clipboard->SetBitmap(FFormZoom->ZoomBitmap());
        CancelRun();
        break;
    case zkaMovePointer: {
        const auto confinement = PointerConfinement(FSession->SnapshotArea(), FSession->Settings().SampleSize());
        const TScreenPoint next =
            ArrowKeyPointerPosition(virtualKey, shift, CursorPos(), confinement.value_or(FSession->SnapshotArea()));
        ::SetCursorPos(next.X, next.Y);
        FSession->Settings().RefreshZoom();
        break;
    }
    case zkaAddToRecent: {
        const TColor color = FSession->SampleColor();
        if (m_context.AddRecentColor)
            m_context.AddRecentColor(color);
        m_added.Add(color);
        if (FFormZoom)
            FFormZoom->ConfirmAdded(m_added.Count());
        break;
    }
    case zkaNone: break;
    }
}

void TFormSnapshot::ZoomWheel(bool up, TShiftState shift)
{
    if (m_modalResult == TModalResult::None)
        FSession->Settings().WheelStep(up, shift);
}

void TFormSnapshot::ZoomMouseMove()
{
    if (m_modalResult == TModalResult::None)
        FSession->Settings().RefreshZoom();
}

void TFormSnapshot::ZoomClosed()
{
    ::PostMessageW(Handle(), ZoomClosedMessage, 0, 0);
}
