// The main window's behaviour settings, hot key, clipboard and settings file,
// in-process.

#include "MainWindowFixture.h"

#include <thread>

namespace {

using namespace MainWindowTesting;
using MainWindowBehaviourTest = MainWindowFixture;

// Runs the window's messages for a while, as the event loop would.
void PumpFor(DWORD milliseconds)
{
    const ULONGLONG end = ::GetTickCount64() + milliseconds;
    MSG message{};
    while (::GetTickCount64() < end) {
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
        ::Sleep(5);
    }
}

TEST_F(MainWindowBehaviourTest, TheHotKeyStartsOneDropperRunAndOnlyItsOwnId)
{
    TFormMain& form = Create();
    ASSERT_TRUE(form.HotKeyRegistered());
    int runs = 0;
    form.DropperRun = [&] {
        ++runs;
        // Pressed again during the run: the guard keeps it out.
        ::SendMessageW(form.Handle(), WM_HOTKEY, 10, MAKELPARAM(MOD_ALT | MOD_SHIFT, 'D'));
        EXPECT_TRUE(form.DropperIsRunning());
    };
    ::SendMessageW(form.Handle(), WM_HOTKEY, 10, MAKELPARAM(MOD_ALT | MOD_SHIFT, 'D'));
    EXPECT_EQ(runs, 1);
    EXPECT_FALSE(form.DropperIsRunning());
    ::SendMessageW(form.Handle(), WM_HOTKEY, 11, 0);
    EXPECT_EQ(runs, 1);
    // Minimized, the hot key still starts a run.
    ::ShowWindow(form.Handle(), SW_MINIMIZE);
    ::SendMessageW(form.Handle(), WM_HOTKEY, 10, 0);
    EXPECT_EQ(runs, 2);
}

TEST_F(MainWindowBehaviourTest, RestoreRequestsBringTheWindowBack)
{
    TFormMain& form = Create();
    ::ShowWindow(form.Handle(), SW_MINIMIZE);
    ASSERT_TRUE(::IsIconic(form.Handle()));
    // As a second instance asks.
    ::PostMessageW(form.Handle(), WM_SYSCOMMAND, SC_RESTORE, 0);
    PumpFor(200);
    EXPECT_FALSE(::IsIconic(form.Handle()));
    EXPECT_TRUE(::IsWindowVisible(form.Handle()));
}

// The tool tip window the main window owns, if any.
HWND OwnedToolTip(HWND owner)
{
    struct TSearch {
        HWND Owner;
        HWND Found;
    } search{owner, nullptr};
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND window, LPARAM data) -> BOOL {
            auto& s = *reinterpret_cast<TSearch*>(data);
            wchar_t name[64]{};
            ::GetClassNameW(window, name, 64);
            if (::GetWindow(window, GW_OWNER) == s.Owner && lstrcmpiW(name, TOOLTIPS_CLASSW) == 0)
                s.Found = window;
            return s.Found == nullptr;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.Found;
}

// Before the pointer reaches a control with a hint no hint can show: the
// tool tips are made then, on the first question for the cursor over one,
// which the control hands up to the window before the move that could start
// the hint.
TEST_F(MainWindowBehaviourTest, TheToolTipsComeWhenThePointerFirstReachesAControlWithAHint)
{
    TFormMain& form = Create();
    // The event loop's idle moments, until a tool tip is there.
    const auto idleUntilToolTip = [&] {
        HWND tip = nullptr;
        for (int i = 0; i < 20 && !tip; ++i) {
            PumpFor(10);
            Application::SendIdleMessages();
            tip = OwnedToolTip(form.Handle());
        }
        return tip;
    };
    const auto pointerOver = [](HWND control) {
        ::SendMessageW(control, WM_SETCURSOR, reinterpret_cast<WPARAM>(control), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    };
    // Not at start, however long the queue stays empty, nor for the pointer
    // over the window or a control without a hint.
    EXPECT_EQ(idleUntilToolTip(), nullptr);
    pointerOver(form.Handle());
    pointerOver(ScrollBar(1));
    pointerOver(Edit(1));
    EXPECT_EQ(idleUntilToolTip(), nullptr);

    const HWND button = form.Control(idBDropper);
    ASSERT_NE(button, nullptr);
    pointerOver(button);
    const HWND tip = idleUntilToolTip();
    ASSERT_NE(tip, nullptr);
    // The dropper button, the two code labels and the contrast ratio, with
    // the program's timing.
    EXPECT_EQ(::SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0), 4);
    EXPECT_EQ(::SendMessageW(tip, TTM_GETDELAYTIME, TTDT_INITIAL, 0), 100);
    EXPECT_EQ(::SendMessageW(tip, TTM_GETDELAYTIME, TTDT_AUTOPOP, 0), 10000);
    // Once only: further moves, over the other controls with hints too,
    // make no more.
    pointerOver(button);
    pointerOver(form.Control(idLColorCode));
    PumpFor(20);
    Application::SendIdleMessages();
    ::DestroyWindow(tip);
    EXPECT_EQ(OwnedToolTip(form.Handle()), nullptr);
}

TEST_F(MainWindowBehaviourTest, AlwaysOnTopFollowsItsCheckMark)
{
    TFormMain& form = Create();
    // Wine 8 leaves WS_EX_TOPMOST off a window that owns a topmost pop-up
    // (our tool tips); Windows does not. The tool tips go first here so the
    // style can be read back.
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND window, LPARAM owner) -> BOOL {
            wchar_t name[64]{};
            ::GetClassNameW(window, name, 64);
            if (::GetWindow(window, GW_OWNER) == reinterpret_cast<HWND>(owner) && lstrcmpiW(name, TOOLTIPS_CLASSW) == 0)
                ::DestroyWindow(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(form.Handle()));
    const auto topmost = [&] { return (::GetWindowLongPtrW(form.Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; };
    EXPECT_FALSE(topmost());
    form.Click(idMSettings_WindowAlwaysOnTop);
    EXPECT_TRUE(topmost());
    form.Click(idMSettings_WindowAlwaysOnTop);
    EXPECT_FALSE(topmost());
}

TEST_F(MainWindowBehaviourTest, TheTrayIconItemStaysDisabledAndUncheckedAndSavesZero)
{
    WriteSettings("[Settings]\r\nUseTrayIcon=1\r\n");
    TFormMain& form = Create();
    EXPECT_FALSE(form.IsEnabled(idMSettings_UseTrayIcon));
    EXPECT_FALSE(form.IsChecked(idMSettings_UseTrayIcon));
    form.Click(idMSettings_UseTrayIcon);
    EXPECT_FALSE(form.IsChecked(idMSettings_UseTrayIcon));
    m_form.reset();
    EXPECT_NE(ReadFile(m_folder / "VeskColorPicker.ini").find("UseTrayIcon=0"), std::string::npos);
}

TEST_F(MainWindowBehaviourTest, SwitchingTheLookRepaintsTheWindowAtOnce)
{
    TFormMain& form = Create();
    const auto backgroundPixel = [&] {
        // A point of the window's own background, left of the labels.
        WindowDc dc(form.Handle());
        return ::GetPixel(dc.get(), 2, ::MulDiv(70, static_cast<int>(form.Dpi()), 96));
    };
    ::UpdateWindow(form.Handle());
    form.Click(idMSettings_DisableSkin_FasterLaunch); // checked: the plain look
    ::UpdateWindow(form.Handle());
    EXPECT_EQ(backgroundPixel(), ::GetSysColor(COLOR_BTNFACE));
    form.Click(idMSettings_DisableSkin_FasterLaunch); // unchecked: Carbon
    ::UpdateWindow(form.Handle());
    EXPECT_EQ(backgroundPixel(), Theme::Color(TThemeColor::WindowBackground));
    EXPECT_TRUE(Theme::IsDark());
    Theme::Apply(TThemeKind::Windows);
}

TEST_F(MainWindowBehaviourTest, PasteTakesTheCodeAndItsFormat)
{
    const struct {
        const char* ini;
        const wchar_t* clipboard;
        const wchar_t* shown; // nullptr: nothing changes
        TColorCodeFormat format;
    } cases[] = {
        {"OutputFormat=2\r\nUppercaseCode=1", L"#ff8000\r\n", L"#FF8000", ccfHTMLCSS},
        {"OutputFormat=0\r\nUppercaseCode=1", L"ff8000", L"FF8000", ccfHTMLCSS},
        {"OutputFormat=1\r\nUppercaseCode=1", L"ff8000", L"00FF8000", ccfDelphi},
        {"OutputFormat=4", L"8421504", L"08421504", ccfWindowsColorReference},
        // Forms copied from style sheets and Visual Basic: their format, with
        // its prefix.
        {"OutputFormat=2\r\nUppercaseCode=1\r\nCodeWithPrefix=0", L"rgb(255 128 0);\r\n", L"#FF8000", ccfHTMLCSS},
        {"OutputFormat=4\r\nUppercaseCode=1\r\nCodeWithPrefix=0", L"&H0080FF&", L"&H000080FF", ccfVisualBasic},
        {"OutputFormat=0", L"#12345", nullptr, ccfHTMLCSS},
        {"OutputFormat=1", L"rgb(255, 50%, 0)", nullptr, ccfDelphi},
        {"OutputFormat=0", L"", nullptr, ccfHTMLCSS},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(WideToUtf8(row.clipboard));
        WriteSettings(std::string("[Settings]\r\nLastColor=1193046\r\n") + row.ini + "\r\n");
        TFormMain& form = Create();
        const std::wstring before = Code();
        form.ClipboardEx().SetText(row.clipboard);
        form.Click(idMClipboard_PasteCodeFromClipboard);
        EXPECT_EQ(form.GetOutputFormat(), row.format);
        if (row.shown) {
            EXPECT_EQ(Code(), row.shown);
            // Automatic copying puts the new spelling back at once.
            EXPECT_EQ(form.ClipboardEx().GetText().value_or(L""), row.shown);
        } else {
            EXPECT_EQ(Code(), before);
            EXPECT_EQ(form.ColorReference(), 0x123456);
        }
        m_form.reset();
    }
}

TEST_F(MainWindowBehaviourTest, ABurstOfChangesEndsInOneCopy300MsLater)
{
    TFormMain& form = Create();
    form.ClipboardEx().SetText(L"sentinel");
    for (int position = 10; position <= 50; position += 10) {
        MoveScrollBar(1, position);
        PumpFor(50);
    }
    EXPECT_EQ(form.ClipboardEx().GetText().value_or(L""), L"sentinel");
    PumpFor(450);
    EXPECT_EQ(form.ClipboardEx().GetText().value_or(L""), Code());
    EXPECT_EQ(Code(), L"#328080");
}

TEST_F(MainWindowBehaviourTest, ABusyClipboardIsSwallowedSilently)
{
    TFormMain& form = Create();
    form.ClipboardEx().SetText(L"#123456");
    // Another thread (as another program would) holds the clipboard open.
    HANDLE opened = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE release = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    bool held = false;
    std::thread holder([&] {
        HWND owner = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        // Wine's own clipboard synchronisation may hold it for a moment.
        for (int attempt = 0; attempt < 100 && !held; ++attempt) {
            held = ::OpenClipboard(owner) != FALSE;
            if (!held)
                ::Sleep(20);
        }
        ::SetEvent(opened);
        ::WaitForSingleObject(release, 5000);
        if (held)
            ::CloseClipboard();
        ::DestroyWindow(owner);
    });
    ::WaitForSingleObject(opened, 5000);
    if (!held) {
        ::SetEvent(release);
        holder.join();
        ::CloseHandle(opened);
        ::CloseHandle(release);
        FAIL() << "the clipboard could not be taken for the test";
    }
    form.Click(idMClipboard_PasteCodeFromClipboard);
    form.Click(idMClipboard_CopyCodeToClipboard);
    EXPECT_EQ(form.ColorReference(), 0x808080);
    EXPECT_EQ(Code(), L"#808080");
    EXPECT_TRUE(m_boxes.empty());
    ::SetEvent(release);
    holder.join();
    ::CloseHandle(opened);
    ::CloseHandle(release);
    EXPECT_EQ(form.ClipboardEx().GetText().value_or(L""), L"#123456");
}

// Under Wine a thread joins COM when it makes its first window (the input
// method's doing), so here the apartment is there either way; ShellTest
// shows the join on a thread without windows.
TEST_F(MainWindowBehaviourTest, WebAndMailAddressesGoToTheShellFromACOMApartment)
{
    TFormMain& form = Create();
    ShellCalls shell;
    form.Click(idMHelp_Feedback);
    form.Click(idMDonate);
    ASSERT_EQ(shell.calls().size(), 2u);
    for (const auto& call : shell.calls()) {
        SCOPED_TRACE(WideToUtf8(call.Target));
        EXPECT_TRUE(call.InApartment);
    }
    EXPECT_EQ(shell.calls()[0].Target.rfind(L"mailto:", 0), 0u);
}

TEST_F(MainWindowBehaviourTest, SettingsFilesStartTheWindowAsStored)
{
    const struct {
        const char* ini;
        TColor primary;
        TColorCodeFormat format;
        bool twoColors;
    } cases[] = {
        {"", 0x808080, ccfHTMLCSS, false},
        {"[Settings]\r\nTwoColorMode=1\r\n", 0x808080, ccfHTMLCSS, true},
        {"[Settings]\r\nLastColor=255\r\nSaveLastColorOnExit=1\r\n", 0x0000FF, ccfHTMLCSS, false},
        {"[Settings]\r\nLastColor=255\r\nSaveLastColorOnExit=0\r\n", 0x808080, ccfHTMLCSS, false},
        {"[Settings]\r\nOutputFormat=0x3\r\n", 0x808080, ccfVisualBasic, false},
        {"[Settings]\r\nOutputFormat=259\r\n", 0x808080, ccfVisualBasic, false},
        {"[Settings]\r\nLastColor=garbage\r\nOutputFormat=\r\nTwoColorMode=yes\r\n", 0x808080, ccfHTMLCSS, false},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.ini);
        WriteSettings(row.ini);
        TFormMain& form = Create();
        EXPECT_EQ(form.ColorReference(), row.primary);
        EXPECT_EQ(form.GetOutputFormat(), row.format);
        EXPECT_EQ(form.IsChecked(idMSettings_TwoColorMode), row.twoColors);
        RECT client{};
        ::GetClientRect(form.Handle(), &client);
        EXPECT_EQ(client.right, Scaled(row.twoColors ? 504 : 391));
        EXPECT_TRUE(m_boxes.empty());
        m_form.reset();
    }
}

TEST_F(MainWindowBehaviourTest, AStoredPositionIsKeptInsideTheWorkArea)
{
    WriteSettings("[Position]\r\nTop=-5000\r\nLeft=-5000\r\n");
    TFormMain& form = Create();
    RECT window{};
    ::GetWindowRect(form.Handle(), &window);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    ::GetMonitorInfoW(::MonitorFromWindow(form.Handle(), MONITOR_DEFAULTTONEAREST), &monitor);
    EXPECT_EQ(window.left, monitor.rcWork.left);
    EXPECT_EQ(window.top, monitor.rcWork.top);
}

TEST_F(MainWindowBehaviourTest, RestoringDefaultsThenQuittingWritesTheDefaults)
{
    WriteSettings(
        "[Settings]\r\nAllowMultipleInstances=1\r\nUppercaseCode=1\r\nSaveConfigurationOnExit=0\r\n"
        "ColorSpace=3\r\nOutputFormat=4\r\nDropperZoomFactor=3\r\n; a comment of the user\r\nUnknownKey=5\r\n");
    TFormMain& form = Create();
    form.Click(idMSettings_LoadDefault);
    EXPECT_EQ(form.GetColorSpace(), csRGB);
    EXPECT_EQ(form.GetOutputFormat(), ccfHTMLCSS);
    EXPECT_TRUE(form.IsChecked(idMSettings_SaveConfigurationOnExit));
    m_form.reset();
    const std::string saved = ReadFile(m_folder / "VeskColorPicker.ini");
    for (const char* line : {"AllowMultipleInstances=0", "UppercaseCode=0", "SaveConfigurationOnExit=1", "ColorSpace=0",
                             "OutputFormat=0", "DropperZoomFactor=8", "; a comment of the user", "UnknownKey=5"}) {
        SCOPED_TRACE(line);
        EXPECT_NE(saved.find(line), std::string::npos);
    }
}

TEST_F(MainWindowBehaviourTest, AReadOnlySettingsFileIsReportedAtExitAndLeftAlone)
{
    WriteSettings("[Settings]\r\nUppercaseCode=1\r\n");
    const fs::path file = m_folder / "VeskColorPicker.ini";
    fs::permissions(file, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    TFormMain& form = Create();
    form.Click(idMSettings_UppercaseCode);
    m_form.reset();
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_boxes[0], L"Unable to write to " + file.wstring());
    EXPECT_EQ(ReadFile(file), "[Settings]\r\nUppercaseCode=1\r\n");
    fs::permissions(file, fs::perms::owner_write, fs::perm_options::add);
}

TEST_F(MainWindowBehaviourTest, AThousandUpdatesAndLookSwitchesLeaveNoGdiObjectBehind)
{
    TFormMain& form = Create();
    form.Click(idMSettings_TwoColorMode);
    const auto update = [&](int i) {
        MoveScrollBar(1 + i % 3, i % 256);
        form.SetColorReference2(static_cast<TColor>(i * 0x010203 & 0xFFFFFF));
        ::RedrawWindow(form.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    };
    // The first round fills the caches of both looks.
    update(0);
    form.Click(idMSettings_DisableSkin_FasterLaunch);
    form.Click(idMSettings_DisableSkin_FasterLaunch);
    update(1);

    const DWORD before = LiveGdiObjects();
    for (int i = 0; i < 1000; ++i)
        update(i);
    for (int i = 0; i < 100; ++i)
        form.Click(idMSettings_DisableSkin_FasterLaunch);
    ::KillTimer(form.Handle(), 1); // the delayed copy is not what is measured
    EXPECT_LE(LiveGdiObjects(), before);
}

TEST_F(MainWindowBehaviourTest, TabReachesEveryControlInOrder)
{
    TFormMain& form = Create();
    form.Click(idMSettings_TwoColorMode);
    const int order[] = {idSBColorComponent1, idSBColorComponent2, idSBColorComponent3, idEColorComponent1,
                         idEColorComponent2,  idEColorComponent3,  idColorBoxPanel,     idColorBoxPanel2,
                         idUDColorSwitch,     idBDropper,          idBPalette};
    HWND control = form.Control(order[0]);
    for (size_t i = 1; i < std::size(order); ++i) {
        SCOPED_TRACE(i);
        control = ::GetNextDlgTabItem(form.Handle(), control, FALSE);
        EXPECT_EQ(control, form.Control(order[i]));
    }
    EXPECT_EQ(::GetNextDlgTabItem(form.Handle(), control, FALSE), form.Control(order[0]));
}

} // namespace

TEST_F(MainWindowBehaviourTest, RestoringDefaultsGoesOnWhenTheLookCannotSwitch)
{
    WriteSettings("[Settings]\r\nDisableSkin_FasterLaunch=1\r\nOutputFormat=2\r\nColorSpace=3\r\n");
    TFormMain& form = Create();
    ASSERT_TRUE(form.IsChecked(idMSettings_DisableSkin_FasterLaunch));
    Theme::FailNextApplyForTesting();
    form.Click(idMSettings_LoadDefault);
    // The error was shown once, the plain look and its check mark stayed ...
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_NE(m_boxes[0].find(L"Unable to apply the visual theme"), std::wstring::npos);
    EXPECT_TRUE(form.IsChecked(idMSettings_DisableSkin_FasterLaunch));
    // ... and the steps after the look switch still ran.
    EXPECT_EQ(form.GetOutputFormat(), ccfHTMLCSS);
    EXPECT_EQ(form.GetColorSpace(), csRGB);
}

TEST_F(MainWindowBehaviourTest, TheEndOfTheSessionSavesOnceAndWithoutABox)
{
    const fs::path file = m_folder / "VeskColorPicker.ini";
    {
        // A session that is not ending after all (another program said no)
        // writes nothing.
        TFormMain& form = Create();
        form.Click(idMSettings_TwoColorMode);
        EXPECT_EQ(::SendMessageW(form.Handle(), WM_QUERYENDSESSION, 0, 0), TRUE);
        ::SendMessageW(form.Handle(), WM_ENDSESSION, FALSE, 0);
        EXPECT_FALSE(fs::exists(file));

        // The session ends: the settings and the last colors are written as
        // at a normal exit, and the window's end does not write them again.
        form.SetColorReference(0x123456);
        ::SendMessageW(form.Handle(), WM_ENDSESSION, TRUE, 0);
        const std::string saved = ReadFile(file);
        EXPECT_NE(saved.find("TwoColorMode=1\r\n"), std::string::npos);
        EXPECT_NE(saved.find("LastColor=1193046\r\n"), std::string::npos);
        WriteSettings("[Other]\r\n");
        m_form.reset();
        EXPECT_EQ(ReadFile(file), "[Other]\r\n");
    }
    {
        // A file that cannot be written: no box holds up the log-off.
        WriteSettings("[Settings]\r\nUppercaseCode=1\r\n");
        fs::permissions(file, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                        fs::perm_options::remove);
        TFormMain& form = Create();
        form.Click(idMSettings_UppercaseCode);
        ::SendMessageW(form.Handle(), WM_ENDSESSION, TRUE, 0);
        m_form.reset();
        EXPECT_TRUE(m_boxes.empty());
        EXPECT_EQ(ReadFile(file), "[Settings]\r\nUppercaseCode=1\r\n");
        fs::permissions(file, fs::perms::owner_write, fs::perm_options::add);
    }
}
