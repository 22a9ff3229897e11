#pragma once

#include "i18n/LanguageSupport.h"

// What the language manager learns from Windows: the executable's folder,
// the locales' language names, the display language, the ANSI code page,
// the stored choice (settings file, else the registry) and the error box.
class TWindowsLanguageEnvironment final : public ILanguageEnvironment {
public:
    TPath ExecutableFolder() const override;
    TPath SettingsFile(std::string_view iniFileName) const override;
    std::string SystemLocaleLanguage() const override;
    std::string UserLocaleLanguage() const override;
    std::string UILanguageLocaleNames() const override;
    std::optional<std::string> DecodeAnsi(std::string_view bytes) const override;
    std::string ReadIniString(const TPath& iniFile, std::string_view section, std::string_view key) const override;
    std::string ReadRegistryString(std::string_view keyPath, std::string_view subKey,
                                   std::string_view valueName) const override;
    void ShowError(const std::string& text) override;
};
