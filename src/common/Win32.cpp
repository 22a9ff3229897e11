#include "common/Win32.h"

#include <stdexcept>
#include <vector>

std::wstring Utf8ToWide(std::string_view text)
{
    if (text.empty())
        return {};
    const int size = static_cast<int>(text.size());
    const int length = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
    if (length <= 0)
        return {};
    std::wstring result(static_cast<size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, text.data(), size, result.data(), length);
    return result;
}

std::string WideToUtf8(std::wstring_view text)
{
    if (text.empty())
        return {};
    const int size = static_cast<int>(text.size());
    const int length = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    if (length <= 0)
        return {};
    std::string result(static_cast<size_t>(length), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), size, result.data(), length, nullptr, nullptr);
    return result;
}

UINT SystemDpi() noexcept
{
    WindowDc screen(nullptr);
    const int dpi = screen ? ::GetDeviceCaps(screen.get(), LOGPIXELSY) : 0;
    return dpi > 0 ? static_cast<UINT>(dpi) : USER_DEFAULT_SCREEN_DPI;
}

UINT MonitorDpi(HMONITOR monitor) noexcept
{
    // GetDpiForMonitor lives in shcore.dll, which older systems lack; looked
    // up once, so a pointer move pays only the call.
    using GetDpiForMonitorFunction = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
    static const auto getDpiForMonitor = []() -> GetDpiForMonitorFunction {
        const HMODULE shcore = ::LoadLibraryExW(L"shcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        if (!shcore)
            return nullptr;
        return reinterpret_cast<GetDpiForMonitorFunction>(
            reinterpret_cast<void*>(::GetProcAddress(shcore, "GetDpiForMonitor")));
    }();
    constexpr int EffectiveDpi = 0; // MDT_EFFECTIVE_DPI
    UINT x = 0, y = 0;
    if (monitor && getDpiForMonitor && SUCCEEDED(getDpiForMonitor(monitor, EffectiveDpi, &x, &y)) && y > 0)
        return y;
    return SystemDpi();
}

// The environment holds it from Windows Vista on; asking the shell would
// load its DLLs at start.
std::wstring LocalApplicationDataFolder()
{
    std::wstring folder(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            ::GetEnvironmentVariableW(L"LOCALAPPDATA", folder.data(), static_cast<DWORD>(folder.size()));
        if (length == 0)
            return {};
        if (length < folder.size()) {
            folder.resize(length);
            return folder;
        }
        folder.resize(length); // the length the name needs, with its end mark
    }
}

std::wstring ExecutableFolder()
{
    // Paths can exceed MAX_PATH on systems with long paths enabled; grow the
    // buffer until the name fits.
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0)
            return {};
        if (length < buffer.size()) {
            std::wstring path(buffer.data(), length);
            return path.substr(0, path.find_last_of(L"\\/") + 1);
        }
        buffer.resize(buffer.size() * 2);
    }
}

namespace {

int CALLBACK NoteFontFamily(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found)
{
    *reinterpret_cast<bool*>(found) = true;
    return 0; // one is enough
}

} // namespace

std::wstring InstalledFontFace(std::initializer_list<const wchar_t*> faces)
{
    WindowDc screen(nullptr);
    if (screen) {
        for (const wchar_t* face : faces) {
            LOGFONTW wanted{};
            wanted.lfCharSet = DEFAULT_CHARSET;
            if (::wcslen(face) >= LF_FACESIZE)
                continue;
            ::wcscpy_s(wanted.lfFaceName, face);
            bool found = false;
            ::EnumFontFamiliesExW(screen.get(), &wanted, NoteFontFamily, reinterpret_cast<LPARAM>(&found), 0);
            if (found)
                return face;
        }
    }
    LOGFONTW dialog{};
    if (::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof dialog, &dialog) == sizeof dialog)
        return dialog.lfFaceName;
    return L"MS Shell Dlg";
}
