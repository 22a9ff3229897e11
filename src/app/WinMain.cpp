#include "app/Application.h"
#include "app/Main.h"
#include "about/MessageBoxes.h"

#include <commctrl.h>
#include <versionhelpers.h>

#include <exception>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    try {
        // Windows before Vista (major version 5) has no DPI awareness.
        if (::IsWindowsVistaOrGreater())
            ::SetProcessDPIAware();

        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_BAR_CLASSES | ICC_UPDOWN_CLASS};
        ::InitCommonControlsEx(&controls);

        Application::SetTitle(L"Vesk Color Picker");

        TFormMain mainWindow(instance);
        mainWindow.Show();
        Application::Run();
    } catch (const std::exception& error) {
        Application::ShowException(error);
    }
    return 0;
}
