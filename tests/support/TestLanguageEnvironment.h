#pragma once

// The operating system as the language manager sees it, for the unit tests
// and the Windows tests alike: every answer is a field the test sets, and
// every question to the settings file and the registry, and every error box,
// is recorded.

#include "common/PathText.h"
#include "common/Text.h"
#include "i18n/LanguageSupport.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The 8-bit code page of a Western European system, where every byte is a
// character: the way to show that a file without a byte-order mark goes
// through the system's decoder.
inline std::optional<std::string> DecodeLatin1(std::string_view bytes)
{
    return Latin1ToUtf8(bytes);
}

class TTestLanguageEnvironment final : public ILanguageEnvironment {
public:
    std::filesystem::path Folder;
    std::string SystemLanguage;
    std::string UserLanguage;
    std::string UILanguages;
    std::string IniLanguage;
    std::string RegistryLanguage;
    // UTF-8 unless a test says otherwise, as on the systems the core is
    // tested on natively.
    TAnsiDecoder AnsiDecoder = DecodeUtf8;

    mutable std::vector<std::string> IniReads;
    mutable std::vector<std::string> RegistryReads;
    std::vector<std::string> Errors;

    TPath ExecutableFolder() const override { return Folder; }
    std::string SystemLocaleLanguage() const override { return SystemLanguage; }
    std::string UserLocaleLanguage() const override { return UserLanguage; }
    std::string UILanguageLocaleNames() const override { return UILanguages; }
    std::optional<std::string> DecodeAnsi(std::string_view bytes) const override { return AnsiDecoder(bytes); }

    std::string ReadIniString(const TPath& iniFile, std::string_view section, std::string_view key) const override
    {
        IniReads.push_back(Utf8FromPath(iniFile.FileName()) + "|" + std::string(section) + "|" + std::string(key));
        return IniLanguage;
    }

    std::string ReadRegistryString(std::string_view keyPath, std::string_view subKey,
                                   std::string_view valueName) const override
    {
        RegistryReads.push_back(std::string(keyPath) + "|" + std::string(subKey) + "|" + std::string(valueName));
        return RegistryLanguage;
    }

    void ShowError(const std::string& text) override { Errors.push_back(text); }
};
