#include "app/Main.h"

#include "about/About.h"
#include "app/Program.h"
#include "common/Exception.h"
#include "common/Trace.h"
#include "dropper/EyeDropper.h"
#include "i18n/LanguageSupport.h"
#include "ui/Application.h"
#include "ui/ColorBox.h"
#include "ui/ColorSwitch.h"
#include "ui/CommonControls.h"
#include "ui/ContrastMarks.h"
#include "ui/Dpi.h"
#include "ui/FlatButton.h"
#include "ui/MessageBoxes.h"
#include "ui/ScrollBar.h"
#include "ui/Shell.h"
#include "ui/Theme.h"

#include <commdlg.h>

#include <optional>

TFormMain* FormMain = nullptr;

namespace {

constexpr DWORD MainStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD MainExStyle = WS_EX_APPWINDOW | WS_EX_CONTROLPARENT;

constexpr int HotKeyId = 10;
constexpr UINT HotKeyModifiers = MOD_ALT | MOD_SHIFT;
constexpr UINT HotKeyVirtualKey = 0x44; // D

constexpr std::int32_t ProductId = 4;

WORD LowWord(WPARAM value) noexcept
{
    return static_cast<WORD>(value & 0xFFFF);
}

WORD HighWord(WPARAM value) noexcept
{
    return static_cast<WORD>((value >> 16) & 0xFFFF);
}

} // namespace

TFormMain::TFormMain(HINSTANCE instance) : m_instance(instance), m_dpi(SystemDpi())
{
    WNDCLASSEXW windowClass{};
    windowClass.hInstance = instance;
    windowClass.lpszClassName = ClassName;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hIcon = ::LoadIconW(instance, L"MAINICON");
    windowClass.hbrBackground = nullptr; // painted by PaintWindow

    // The size follows the contents once the controls exist.
    CreateHandle(windowClass, MainExStyle, Application::Title().c_str(), MainStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                 Scale(400), Scale(150), nullptr, nullptr);
    FormMain = this;
}

TFormMain::~TFormMain()
{
    DestroyHandle();
    if (FormMain == this)
        FormMain = nullptr;
}

void TFormMain::Show()
{
    TracePoint("window created");
    ::ShowWindow(Handle(), SW_SHOW);
    TracePoint("shown");
    ::UpdateWindow(Handle());
    TracePoint("main window painted");
    FormShow();
}

HWND TFormMain::Control(int controlId) const noexcept
{
    return ::GetDlgItem(Handle(), controlId);
}

LRESULT TFormMain::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        FormMain = this;
        FormCreate();
        return 0;
    case WM_DESTROY: FormDestroy(); return 0;
    case WM_QUERYENDSESSION: return TRUE;
    case WM_ENDSESSION:
        // Windows ends the process after this message without destroying the
        // window: the saving of a normal exit happens here or never.
        if (wParam)
            SaveAtExit(false);
        return 0;
    case WM_COMMAND:
        if (lParam != 0) {
            // Notifications of the edit boxes.
            if (HighWord(wParam) == EN_CHANGE)
                EColorComponentChange(LowWord(wParam));
            return 0;
        }
        // A menu item, an accelerator or the probe of a test: a toggle flips
        // its check mark first, as a click on it does.
        Click(LowWord(wParam));
        return 0;
    case WM_INITMENUPOPUP: {
        auto* popup = reinterpret_cast<HMENU>(wParam);
        if (popup == MColor)
            MColorClick();
        else if (popup == MSettings)
            MSettingsClick();
        else if (popup == MRecentColors || popup == TMRecentColors)
            RecentColorsMenuOpens(popup);
        break;
    }
    case WM_MEASUREITEM:
        if (m_themedMenu.Measure(*reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)))
            return TRUE;
        break;
    case WM_DRAWITEM:
        if (m_themedMenu.Draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)))
            return TRUE;
        break;
    case WM_CONTEXTMENU: {
        const auto source = reinterpret_cast<HWND>(wParam);
        POINT at{static_cast<short>(LowWord(static_cast<WPARAM>(lParam))),
                 static_cast<short>(HighWord(static_cast<WPARAM>(lParam)))};
        // The code labels, and the color boxes above them (which the
        // keyboard reaches), offer copying their code.
        if (source == LColorCode || source == ColorBoxPanel->Handle()) {
            ShowCodePopup(idLColorCode, at);
            return 0;
        }
        if (source == LColorCode2 || source == ColorBoxPanel2->Handle()) {
            ShowCodePopup(idLColorCode2, at);
            return 0;
        }
        break;
    }
    case WM_TIMER:
        if (wParam == SingleUpdateClipboardTimer) {
            SingleUpdateClipboardTimerTimer();
            return 0;
        }
        break;
    case WM_SETCURSOR:
        // The pointer is over a control (whose default processing asks here
        // first, naming itself): the first time it is one with a hint, the
        // tool tips are made, as soon as nothing else waits. No hint can
        // show before, and a start without them is quicker and keeps the
        // common controls out of memory until then.
        if (!m_tooltipsTried && HasHint(reinterpret_cast<HWND>(wParam))) {
            m_tooltipsTried = true;
            Application::SendWhenIdle(Handle(), CreateTooltipsMessage);
        }
        break;
    case CreateTooltipsMessage: CreateTooltips(); return 0;
    case WM_HOTKEY: WMHotKey(wParam); break; // the default processing follows in every case
    case WM_SYSCOMMAND: WMSysCommand(wParam); break;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: PaintWindow(); return 0;
    case WM_NCPAINT:
    case WM_NCACTIVATE: {
        // Minimized (for a dropper run, among others) the frame is not on
        // the screen: it is painted again when the window comes back. The
        // activation's state is still taken, without the paint (-1).
        if (::IsIconic(Handle()))
            return message == WM_NCACTIVATE ? Window::HandleMessage(message, wParam, -1) : 0;
        const LRESULT result = Window::HandleMessage(message, wParam, lParam);
        m_themedMenu.NonClientPainted(Handle());
        return result;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT: return ControlColor(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (m_tooltip && header->hwndFrom == m_tooltip && header->code == TTN_GETDISPINFOW)
            return TooltipNeedsText(*reinterpret_cast<NMTTDISPINFOW*>(lParam));
        break;
    }
    case AnnotateMessage:
        m_annotating = true;
        AnnotateControls();
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
            const HWND focus = ::GetFocus();
            if (focus && ::IsChild(Handle(), focus))
                m_lastFocus = focus;
            return 0;
        }
        // Not when minimized: the focus waits for the restore's activation.
        if (!HIWORD(wParam)) {
            if (const HWND control = ControlToFocus())
                ::SetFocus(control);
            return 0;
        }
        break;
    case WM_GETDPISCALEDSIZE: *reinterpret_cast<SIZE*>(lParam) = ScaledSizeFor(static_cast<UINT>(wParam)); return TRUE;
    case WM_DPICHANGED: DpiChanged(HighWord(wParam), reinterpret_cast<const RECT*>(lParam)); return 0;
    case WM_SYSCOLORCHANGE: Theme::SystemColorsChanged(); break;
    case WM_SETTINGCHANGE:
        // High contrast switched on or off, a new color scheme or another
        // setting that may change what the system's colors are: everything
        // repaints, children included, in the colors now in force.
        Theme::SystemColorsChanged();
        break;
    default:
        if (message == Theme::ChangedMessage()) {
            ThemeChanged();
            return 0;
        }
        break;
    }
    return Window::HandleMessage(message, wParam, lParam);
}

HWND TFormMain::ControlToFocus() const noexcept
{
    const auto canTake = [this](HWND control) {
        return control && ::IsChild(Handle(), control) && ::IsWindowVisible(control) && ::IsWindowEnabled(control);
    };
    if (canTake(m_lastFocus))
        return m_lastFocus;
    const HWND first = Control(idSBColorComponent1);
    return canTake(first) ? first : nullptr;
}

void TFormMain::FormCreate()
{
    FCreating = true;
    // The window is hidden until the end: its size is worked out once, when
    // every control, setting and caption is in place, since each resize or
    // menu bar change in between would measure the whole menu bar again.
    m_frameDeferred = true;
    std::optional<TSettings> placement;
    try {
        // Step 2: error log and clipboard wrapper; no dropper run yet.
        FErrorLog.clear();
        FClipboardEx = std::make_unique<TClipboardEx>(Handle());
        FDropperIsRunning = false;
        CallOnFirstAccessibleClient(
            [](void* window) { ::PostMessageW(static_cast<HWND>(window), AnnotateMessage, 0, 0); }, Handle());

        TracePoint("FormCreate");
        // The DPI of the monitor the window opened on, which may not be the
        // screen's the process started with.
        m_dpi = WindowDpi(Handle());
        CreateFonts();
        TracePoint("fonts");
        CreateControls();
        TracePoint("controls");
        CreateMenus();
        Theme::ApplyToTitleBar(Handle());
        TracePoint("menus");

        // Step 3: the title, fixed in every language.
        ::SetWindowTextW(Handle(), Application::Title().c_str());

        // Step 4: the random color generator, seeded once.
        LARGE_INTEGER counter{};
        if (::QueryPerformanceCounter(&counter) && counter.QuadPart != 0)
            RandomizeColorGenerator(static_cast<std::uint64_t>(counter.QuadPart));
        else
            RandomizeColorGenerator(::GetTickCount());

        // Step 5: the tool tips and their timing (100 ms to appear, 10 s to
        // stay) come when the pointer first reaches a control with a hint
        // (WM_SETCURSOR).

        // Steps 6 to 9: the settings, then the window's place (below, once
        // its size is known).
        {
            const TSettings stored = ReadStoredSettings();
            LoadSettings(stored);
            placement = stored;
        }
        TracePoint("settings loaded");

        CheckScreenColorDepth(); // step 10
        RegisterGlobalHotKey();  // step 11
        TracePoint("color depth, hot key");
        ApplyLanguage(); // step 12
        TracePoint("language applied");
    } catch (const std::exception& error) {
        // The rest of the creation sequence is skipped; the window is still
        // created, sized and shown.
        Application::ShowException(error);
    }
    m_frameDeferred = false;
    try {
        ResizeToContents(true, placement ? &*placement : nullptr);
    } catch (const std::exception& error) {
        Application::ShowException(error);
    }
    TracePoint("sized and placed");
}

void TFormMain::FormShow()
{
    // Runs outside the window procedure, whose catch would otherwise show
    // what a run started here throws.
    try {
        if (FCreating && IsChecked(idMSettings_LaunchInEyeDropperMode))
            MTools_DropperClick();
    } catch (const std::exception& error) {
        Application::ShowException(error);
    }
    FCreating = false;
}

void TFormMain::FormDestroy()
{
    ::KillTimer(Handle(), SingleUpdateClipboardTimer);
    try {
        if (FHotKeyRegistered)
            ::UnregisterHotKey(Handle(), HotKeyId);
    } catch (const std::exception& error) {
        Application::ShowException(error);
    }
    SaveAtExit(true);
    Application::SetAccelerators(nullptr, nullptr);
    if (m_accelerators) {
        ::DestroyAcceleratorTable(m_accelerators);
        m_accelerators = nullptr;
    }
    FClipboardEx.reset();
    FErrorLog.clear();
    if (FormMain == this)
        FormMain = nullptr;
    ::PostQuitMessage(0);
}

// The settings and the last colors, written once at the end, whichever comes
// first: the window's end or the end of the user's session.
void TFormMain::SaveAtExit(bool reportErrors)
{
    if (FSavedAtExit)
        return;
    FSavedAtExit = true;
    try {
        WriteSettingsAtExit();
    } catch (const std::exception& error) {
        // "Unable to write to ..." at exit: said, and the program still
        // ends. At the end of a session a message box would hold up the
        // log-off, so the failure is then left unsaid.
        if (reportErrors)
            Application::ShowException(error);
    }
}

void TFormMain::Click(int commandId)
{
    // A disabled item cannot be chosen, by the user or by the program.
    if (!IsEnabled(commandId))
        return;
    if (::IsToggle(commandId))
        SetChecked(commandId, !IsChecked(commandId));
    RunCommand(commandId);
}

void TFormMain::RunCommand(int commandId)
{
    if (commandId >= idMSettings_LanguageFirst && commandId <= idMSettings_LanguageLast) {
        MSettings_LanguageItemClick(commandId);
        return;
    }
    if (commandId >= idMRecentColorFirst && commandId <= idMRecentColorLast) {
        MRecentColorClick(static_cast<std::size_t>(commandId - idMRecentColorFirst));
        return;
    }
    if (commandId >= idTMRecentColorFirst && commandId <= idTMRecentColorLast) {
        MRecentColorClick(static_cast<std::size_t>(commandId - idTMRecentColorFirst));
        return;
    }
    if ((commandId >= idMClipboard_CopyAsFirst && commandId <= idMClipboard_CopyAsLast)
        || (commandId >= idMCode_CopyAsFirst && commandId <= idMCode_CopyAsLast)
        || (commandId >= idMCode_CopyAs2First && commandId <= idMCode_CopyAs2Last)) {
        MCopyAsClick(commandId);
        return;
    }
    switch (commandId) {
    case idMClipboard_CopyCodeToClipboard:
    case idMCode_CopyCodeToClipboard: MCode_CopyCodeToClipboardClick(); break;
    case idMCode_CopyCodeToClipboard2: MCode_CopyCodeToClipboard2Click(); break;
    case idMCode_CopyContrastRatio:
    case idMCode_CopyContrastRatio2: MCode_CopyContrastRatioClick(); break;
    case idMClipboard_PasteCodeFromClipboard: MClipboard_PasteCodeFromClipboardClick(); break;
    case idMColor_SwapPrimaryAndSecondaryColor: UDColorSwitchClick(); break;
    case idMColor_Inverse:
    case idMColor_Complementary:
    case idMColor_Grayscaled:
    case idMColor_Desaturated:
    case idMColor_Random: MColorAdjust(commandId); break;
    case idMTools_Dropper:
    case idTMDropper: MTools_DropperClick(); break;
    case idMTools_Palette: MTools_PaletteClick(idMTools_Palette); break;
    case idMColorSpace_RGB:
    case idMColorSpace_HLS:
    case idMColorSpace_CMY:
    case idMColorSpace_CMYK: MColorSpaceClick(commandId); break;
    case idMOutputFormat_HTMLCSS:
    case idMOutputFormat_Delphi:
    case idMOutputFormat_Cpp:
    case idMOutputFormat_VisualBasic:
    case idMOutputFormat_WindowsColorReference: MOutputFormatClick(commandId); break;
    case idMSettings_AutomaticallyCopyCodeToClipboard: MSettings_AutomaticallyCopyCodeToClipboardClick(); break;
    case idMSettings_CodeWithPrefix:
    case idMSettings_UppercaseCode: MSettings_CodeOptionClick(); break;
    case idMSettings_WindowAlwaysOnTop: MSettings_WindowAlwaysOnTopClick(); break;
    case idMSettings_TwoColorMode: MSettings_TwoColorModeClick(); break;
    case idMSettings_LoremIpsumText: MSettings_LoremIpsumTextClick(); break;
    case idMSettings_AllowMultipleInstances: MSettings_AllowMultipleInstancesClick(); break;
    case idMSettings_UseTrayIcon: MSettings_UseTrayIconClick(); break;
    case idMSettings_DisableSkin_FasterLaunch: MSettings_DisableSkin_FasterLaunchClick(); break;
    case idMSettings_SaveConfigurationOnExit: MSettings_SaveConfigurationOnExitClick(); break;
    case idMSettings_LaunchInEyeDropperMode:
    case idMSettings_MinimizeWhileUsingDropper:
    case idMSettings_SaveLastColorOnExit: break; // read where they take effect
    case idMSettings_SaveConfiguration: MSettings_SaveConfigurationClick(); break;
    case idMSettings_LoadDefault: MSettings_LoadDefaultClick(); break;
    case idMHelp_Feedback: MHelp_FeedbackClick(); break;
    case idMHelp_About: MHelp_AboutClick(); break;
    case idMDonate: MDonateClick(); break;
    case idTMExit: TMExitClick(); break;
    case idMRecentColors_CopyAll:
    case idTMRecentColors_CopyAll: MRecentColors_CopyAllClick(); break;
    case idMRecentColors_CopyAllAsCss:
    case idMRecentColors_CopyAllAsGimp:
    case idTMRecentColors_CopyAllAsCss:
    case idTMRecentColors_CopyAllAsGimp: MRecentColors_CopyAllAsClick(commandId); break;
    case idMRecentColors_Clear:
    case idTMRecentColors_Clear: MRecentColors_ClearClick(); break;
    default: break;
    }
}

void TFormMain::CheckScreenColorDepth()
{
    WindowDc screen(nullptr);
    if (!screen)
        return;
    // Only the low byte of the answer counts.
    const int bits = ::GetDeviceCaps(screen.get(), BITSPIXEL) & 0xFF;
    if (bits < 24)
        WarningBox(sLowScreenColorDepth.empty() ? Text(TMainText::sLowScreenColorDepth) + L"."
                                                : sLowScreenColorDepth + L".");
}

void TFormMain::RegisterGlobalHotKey()
{
    // Another program may hold Shift+Alt+D: then the program goes without
    // the hot key, silently.
    FHotKeyRegistered = ::RegisterHotKey(Handle(), HotKeyId, HotKeyModifiers, HotKeyVirtualKey) != FALSE;
}

void TFormMain::WMHotKey(WPARAM id)
{
    TracePoint("hot key message");
    if (FHotKeyRegistered && id == HotKeyId)
        MTools_DropperClick();
}

void TFormMain::WMSysCommand(WPARAM command)
{
    // A minimized program comes back as a whole before the window restores
    // itself in the default processing.
    if ((command & 0xFFF0) == SC_RESTORE && ::IsIconic(Handle()))
        ::ShowWindow(Handle(), SW_RESTORE);
}

void TFormMain::SingleUpdateClipboardTimerTimer()
{
    ::KillTimer(Handle(), SingleUpdateClipboardTimer);
    CopyCodeAutomatically();
}

void TFormMain::MTools_DropperClick()
{
    // The hot key and the button can arrive again while a run's own event
    // loop is going: a second run never starts inside the first.
    if (FDropperIsRunning)
        return;
    FDropperIsRunning = true;
    // The keyboard goes back where it was when the run started in this
    // window (the Eye Dropper button, a slider); a run from the hot key
    // while another program was in front gives it to the first control.
    const HWND focus = ::GetFocus();
    const bool ours = ::GetForegroundWindow() == Handle() && focus && ::IsChild(Handle(), focus);
    m_lastFocus = ours ? focus : nullptr;
    try {
        if (DropperRun)
            DropperRun();
        else
            RunDropper();
    } catch (...) {
        FDropperIsRunning = false;
        throw;
    }
    FDropperIsRunning = false;
    if (::GetForegroundWindow() == Handle())
        if (const HWND control = ControlToFocus())
            ::SetFocus(control);
}

void TFormMain::RunDropper()
{
    TEyeDropperRequest request;
    request.Snapshot.Owner = Handle();
    request.Snapshot.Values = {FDropperZoomFactor, FDropperSourceSize, FDropperSampleSize, FDropperMouseSpeed};
    request.Snapshot.OwnerCreating = FCreating;
    request.Snapshot.Clipboard = FClipboardEx.get();
    request.Snapshot.ErrorLog = &FErrorLog;
    request.Snapshot.Languages = Languages;
    request.MinimizeOwner = IsChecked(idMSettings_MinimizeWhileUsingDropper);
    request.Picked = [this](const TDropperValues& values, TColor color) { DropperPicked(values, color); };
    request.Snapshot.AddRecentColor = [this](TColor color) { RememberColor(color); };
    RunEyeDropper(request);
}

void TFormMain::DropperPicked(const TDropperValues& values, TColor color)
{
    FDropperZoomFactor = values.ZoomFactor;
    FDropperSourceSize = values.SourceSize;
    FDropperSampleSize = values.SampleSize;
    FDropperMouseSpeed = values.MouseSpeed;
    SetColorReference(color);
    RememberColor(color);
    AnnounceColor();
}

void TFormMain::MTools_PaletteClick(int sender)
{
    const bool secondary = sender == idColorBoxPanel2;
    static COLORREF customColors[16] = {0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF,
                                        0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF};
    CHOOSECOLORW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = Handle();
    dialog.rgbResult = static_cast<COLORREF>(secondary ? FColorReference2 : FColorReference) & 0xFFFFFF;
    dialog.lpCustColors = customColors;
    dialog.Flags = CC_FULLOPEN | CC_RGBINIT | CC_ANYCOLOR;
    {
        TCommonControlsScope commonControls;
        if (!::ChooseColorW(&dialog))
            return;
    }
    const auto chosen = static_cast<TColor>(dialog.rgbResult & 0xFFFFFF);
    if (secondary)
        SetColorReference2(chosen);
    else
        SetColorReference(chosen);
}

void TFormMain::OpenAddress(const std::string& address) const
{
    OpenWithShell(Handle(), Utf8ToWide(address));
}

void TFormMain::MHelp_FeedbackClick()
{
    OpenAddress("mailto:" + TLanguages::EmailAddress("feedback") + "?subject=" + WideToUtf8(Application::Title())
                + " - feedback");
}

void TFormMain::MHelp_AboutClick()
{
    TFormAbout about(Handle(), *Languages, ExecutableBuildDate(), 2013, 2013, ProductId);
    about.ShowModal();
}

void TFormMain::MDonateClick()
{
    OpenAddress(Languages->DonatePageAddress(true, ProductId));
}

void TFormMain::TMExitClick()
{
    ::SendMessageW(Handle(), WM_CLOSE, 0, 0);
}

void TFormMain::MSettings_WindowAlwaysOnTopClick()
{
    const HWND order = IsChecked(idMSettings_WindowAlwaysOnTop) ? HWND_TOPMOST : HWND_NOTOPMOST;
    ::SetWindowPos(Handle(), order, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TFormMain::MSettings_DisableSkin_FasterLaunchClick()
{
    const bool plain = IsChecked(idMSettings_DisableSkin_FasterLaunch);
    try {
        Theme::Apply(plain ? TThemeKind::Windows : TThemeKind::Carbon);
    } catch (const std::exception& error) {
        // The previous look stays, and so does the check mark that says it.
        // The error is shown here and goes no further: restoring the
        // defaults, which clicks this item, still runs its remaining steps.
        SetChecked(idMSettings_DisableSkin_FasterLaunch, !plain);
        Application::ShowException(error);
    }
}

void TFormMain::MSettings_UseTrayIconClick()
{
    // The tray icon is never shown; the item is disabled and does nothing.
}

void TFormMain::ThemeChanged()
{
    ApplyMenuLook();
    if (m_tooltip)
        Theme::ApplyToTooltip(m_tooltip);
    ::DrawMenuBar(Handle());
}
