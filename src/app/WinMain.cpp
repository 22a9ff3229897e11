// The program entry: start-up, the single-instance rule and shutdown.

#include "app/Main.h"
#include "app/Program.h"
#include "common/Trace.h"
#include "i18n/LanguageSupport.h"
#include "i18n/WindowsLanguageEnvironment.h"
#include "settings/Settings.h"
#include "ui/Application.h"
#include "ui/ComApartment.h"
#include "ui/MessageBoxes.h"
#include "ui/Theme.h"

#include <versionhelpers.h>

#include <exception>

namespace {

constexpr const wchar_t* ProgramTitle = L"Vesk Color Picker";

// Brings the running instance's window back and to the front. A running
// instance whose window cannot be found is left alone, silently.
void HandOverToRunningInstance()
{
    HWND other = ::FindWindowW(TFormMain::ClassName, ProgramTitle);
    if (!other)
        return;
    if (!::IsWindowVisible(other) || ::IsIconic(other))
        ::PostMessageW(other, WM_SYSCOMMAND, SC_RESTORE, 0);
    ::SetForegroundWindow(other);
}

// DLLs come from System32 only, never from the program's folder (a
// Downloads folder full of other files, where a planted "dwmapi.dll" would
// otherwise be taken) nor from the current folder. The system DLLs the
// program uses beyond the known ones are delay-loaded, so this is in force
// before any of them loads. SetDefaultDllDirectories came with Windows 8
// and, for Windows 7, with KB2533623; without it the current folder at
// least is taken off the search.
void LoadDllsFromSystem32Only() noexcept
{
    using SetDirectories = BOOL(WINAPI*)(DWORD);
    const HMODULE kernel32 = ::GetModuleHandleW(L"kernel32.dll");
    if (const FARPROC proc = kernel32 ? ::GetProcAddress(kernel32, "SetDefaultDllDirectories") : nullptr) {
        const auto setDirectories = reinterpret_cast<SetDirectories>(reinterpret_cast<void (*)()>(proc));
        if (setDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32))
            return;
    }
    ::SetDllDirectoryW(L""); // what it cannot do the program can do nothing about
}

// Per-monitor awareness where Windows offers it, so the eye dropper's
// picture, the pointer and the monitors are all in physical pixels; the
// manifest asks for the same, and then the call is refused as already done.
// Older systems get the system-wide awareness.
void DeclareDpiAwareness()
{
    // Windows before Vista (major version 5) knows no DPI awareness.
    if (!::IsWindowsVistaOrGreater())
        return;
    using SetContext = BOOL(WINAPI*)(DPI_AWARENESS_CONTEXT);
    if (const FARPROC proc = ::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "SetProcessDpiAwarenessContext")) {
        const auto setContext = reinterpret_cast<SetContext>(reinterpret_cast<void (*)()>(proc));
        if (setContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2) || ::GetLastError() == ERROR_ACCESS_DENIED)
            return;
        if (setContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE) || ::GetLastError() == ERROR_ACCESS_DENIED)
            return;
    }
    ::SetProcessDPIAware();
}

int RunProgram(HINSTANCE instance, bool disableTheme)
{
    DeclareDpiAwareness();
    TracePoint("DPI awareness");

    if (!disableTheme) {
        try {
            Theme::Apply(TThemeKind::Carbon);
        } catch (const std::exception& error) {
            Application::ShowException(error); // the plain look stays
        }
    }
    Application::SetTitle(ProgramTitle);
    TracePoint("theme");

    int result = 0;
    {
        TFormMain mainWindow(instance);
        mainWindow.Show();
        result = Application::Run();
    }
    LeaveComApartment();
    return result;
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    LoadDllsFromSystem32Only();
    TracePoint("wWinMain");
    // Boxes shown before the main window exists carry the title too.
    Application::SetTitle(ProgramTitle);

    try {
        // The language manager comes first, in every instance: without a
        // language no window can show a text, and the program ends here.
        TWindowsLanguageEnvironment environment;
        TLanguages languages(environment, std::string(SettingsFileName), std::string(SettingsSection), true);
        if (!languages.HasActiveFile())
            return 0;
        Languages = &languages;
        TracePoint("language manager");

        bool allowMultiple = false;
        bool disableTheme = false;
        {
            // The pointer speed plays no part here.
            const TSettings stored = ReadSettings(TSettingsFile(SettingsFilePath()), std::nullopt);
            allowMultiple = stored.AllowMultipleInstances;
            disableTheme = stored.DisableSkin_FasterLaunch;
        }
        TracePoint("start-up flags");

        // The zero-time wait takes ownership when no other instance holds the
        // mutex; an abandoned mutex (a killed instance) is ours as well.
        HANDLE mutex = ::CreateMutexW(nullptr, FALSE, ProgramTitle);
        const DWORD wait = mutex ? ::WaitForSingleObject(mutex, 0) : WAIT_FAILED;
        if (!allowMultiple && wait == WAIT_TIMEOUT) {
            HandOverToRunningInstance();
            Languages = nullptr;
            return 0;
        }

        try {
            RunProgram(instance, disableTheme);
        } catch (...) {
            if (mutex)
                ::ReleaseMutex(mutex);
            throw;
        }
        if (mutex)
            ::ReleaseMutex(mutex);
        // The handle itself is left for the system to close.
        Languages = nullptr;
    } catch (const std::exception& error) {
        Application::ShowException(error);
        Languages = nullptr;
    }
    return 0;
}
