#include "i18n/WindowsLanguageEnvironment.h"

#include "settings/Settings.h"

#include "common/Win32.h"
#include "settings/SettingsFile.h"
#include "ui/MessageBoxes.h"

namespace {

// The English name of a locale's language. The buffer holds 32 characters
// and the terminator; a positive answer counts the terminator.
std::string LocaleLanguageName(LCID locale)
{
    wchar_t buffer[33]{};
    const int length = ::GetLocaleInfoW(locale, LOCALE_SENGLANGUAGE, buffer, 33);
    if (length <= 0)
        return {};
    return WideToUtf8(std::wstring_view(buffer, static_cast<size_t>(length - 1)));
}

} // namespace

TPath TWindowsLanguageEnvironment::ExecutableFolder() const
{
    return TPath(::ExecutableFolder());
}

// The program's own settings file may live in the user's folder.
TPath TWindowsLanguageEnvironment::SettingsFile(std::string_view iniFileName) const
{
    if (iniFileName != SettingsFileName)
        return ILanguageEnvironment::SettingsFile(iniFileName);
    return SettingsLocation(ExecutableFolder(), TPath(LocalApplicationDataFolder())).File();
}

std::string TWindowsLanguageEnvironment::SystemLocaleLanguage() const
{
    return LocaleLanguageName(LOCALE_SYSTEM_DEFAULT);
}

std::string TWindowsLanguageEnvironment::UserLocaleLanguage() const
{
    return LocaleLanguageName(LOCALE_USER_DEFAULT);
}

std::string TWindowsLanguageEnvironment::UILanguageLocaleNames() const
{
    wchar_t name[LOCALE_NAME_MAX_LENGTH]{};
    const int length =
        ::LCIDToLocaleName(MAKELCID(::GetUserDefaultUILanguage(), SORT_DEFAULT), name, LOCALE_NAME_MAX_LENGTH, 0);
    if (length <= 1)
        return {};
    return WideToUtf8(std::wstring_view(name, static_cast<size_t>(length - 1)));
}

std::optional<std::string> TWindowsLanguageEnvironment::DecodeAnsi(std::string_view bytes) const
{
    if (bytes.empty())
        return std::string();
    if (bytes.size() > static_cast<size_t>(INT_MAX))
        return std::nullopt;
    const int size = static_cast<int>(bytes.size());
    const int length = ::MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
    if (length <= 0)
        return std::nullopt;
    std::wstring wide(static_cast<size_t>(length), L'\0');
    if (::MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, bytes.data(), size, wide.data(), length) != length)
        return std::nullopt;
    return WideToUtf8(wide);
}

std::string TWindowsLanguageEnvironment::ReadIniString(const TPath& iniFile, std::string_view section,
                                                       std::string_view key) const
{
    return TSettingsFile(iniFile).ReadString(section, key, "");
}

std::string TWindowsLanguageEnvironment::ReadRegistryString(std::string_view keyPath, std::string_view subKey,
                                                            std::string_view valueName) const
{
    // Only read: looking up a choice never needs to create the key.
    const std::wstring path = Utf8ToWide(keyPath) + L"\\" + Utf8ToWide(subKey);
    DWORD size = 0;
    const std::wstring name = Utf8ToWide(valueName);
    if (::RegGetValueW(HKEY_CURRENT_USER, path.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr, nullptr, &size)
            != ERROR_SUCCESS
        || size < sizeof(wchar_t))
        return {};
    std::wstring value(size / sizeof(wchar_t), L'\0');
    if (::RegGetValueW(HKEY_CURRENT_USER, path.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr, value.data(), &size)
        != ERROR_SUCCESS)
        return {};
    value.resize(std::min(value.size(), size / sizeof(wchar_t)));
    while (!value.empty() && value.back() == L'\0')
        value.pop_back();
    return WideToUtf8(value);
}

void TWindowsLanguageEnvironment::ShowError(const std::string& text)
{
    ErrorBox(Utf8ToWide(text));
}
