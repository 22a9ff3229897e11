#include "app/LanguageKeys.h"
#include "i18n/LanguageSupport.h"
#include "support/TestLanguageEnvironment.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct TShippedLanguage {
    std::string Id;
    std::string Abbr;
};

// In the order the language manager lists them.
const TShippedLanguage ShippedLanguages[] = {{"Czech", "cs"}, {"English", "en"}, {"German", "de"}, {"Slovak", "sk"}};

fs::path SourceFolder()
{
    const std::string_view folder = VESK_SOURCE_DIR;
    return fs::path(std::u8string(folder.begin(), folder.end()));
}

fs::path LanguagesFolder()
{
    return SourceFolder() / "resources" / "Languages";
}

std::string ReadBytes(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// The access key of a menu caption: the character after its single "&".
std::string AccessKey(std::string_view caption)
{
    const std::size_t amp = caption.find('&');
    if (amp == std::string_view::npos || amp + 1 >= caption.size())
        return {};
    std::size_t length = 1;
    while (amp + 1 + length < caption.size() && (static_cast<unsigned char>(caption[amp + 1 + length]) & 0xC0) == 0x80)
        ++length;
    std::string key(caption.substr(amp + 1, length));
    if (key.size() == 1 && key[0] >= 'A' && key[0] <= 'Z')
        key[0] = static_cast<char>(key[0] - 'A' + 'a');
    return key;
}

} // namespace

TEST(ShippedLanguagesTest, ManagerListsEveryShippedLanguageWithoutComplaint)
{
    // The shipped folder seen as the program's own: resources/ plays the
    // executable's folder.
    TTestLanguageEnvironment environment;
    environment.Folder = SourceFolder() / "resources";
    TLanguages languages(environment, "", "Settings", true);

    std::vector<std::string> ids;
    for (const TShippedLanguage& language : ShippedLanguages)
        ids.push_back(language.Id);
    EXPECT_EQ(languages.List(), ids);
    EXPECT_EQ(environment.Errors, std::vector<std::string>{});
    // With nothing known about the system, English is the start-up language.
    EXPECT_EQ(languages.ActiveLanguage(), "English");
}

TEST(ShippedLanguagesTest, EveryFileHoldsEveryKey)
{
    for (const TShippedLanguage& language : ShippedLanguages) {
        SCOPED_TRACE(language.Id);
        const fs::path fileName = LanguagesFolder() / (language.Id + ".ini");
        const std::string bytes = ReadBytes(fileName);
        ASSERT_FALSE(bytes.empty());
        EXPECT_EQ(bytes.substr(0, 3), "\xEF\xBB\xBF") << "UTF-8 with a byte-order mark";
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            const bool loneLF = bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r');
            const bool loneCR = bytes[i] == '\r' && (i + 1 == bytes.size() || bytes[i + 1] != '\n');
            ASSERT_FALSE(loneLF || loneCR) << "line end other than CR LF at byte " << i;
        }
        EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n") << "last line ends with CR LF";

        const TLanguageFile file(fileName);
        EXPECT_EQ(file.ReadString("FileInfo", "Id"), language.Id);
        EXPECT_EQ(file.ReadString("FileInfo", "Abbr"), language.Abbr);
        for (const TLanguageSectionKeys& section : LanguageFileKeys()) {
            for (const std::string_view key : section.Keys) {
                const std::string value = file.ReadString(section.Section, key);
                EXPECT_NE(value, UndefinedText) << section.Section << "." << key;
                EXPECT_FALSE(value.empty()) << section.Section << "." << key;
            }
        }
    }
}

TEST(ShippedLanguagesTest, TextsLeaveTheAppendedPunctuationToTheProgram)
{
    // The program appends ".", ":", "?" or "..." to these texts.
    const std::pair<std::string_view, std::string_view> keys[] = {
        {"TFormMain", "sLowScreenColorDepth"},  {"TFormMain", "MHelp_About"},
        {"TFormAbout", "LAppVersion"},          {"TFormAbout", "sFileNotFound"},
        {"TFormAbout", "sNewVersionAvailable"}, {"TFormAbout", "sGoToProductsWebPage"},
        {"TFormAbout", "sApplication"},         {"TFormAbout", "sUpToDate"},
    };
    for (const TShippedLanguage& language : ShippedLanguages) {
        const TLanguageFile file(LanguagesFolder() / (language.Id + ".ini"));
        for (const auto& [section, key] : keys) {
            const std::string value = file.ReadString(section, key);
            ASSERT_FALSE(value.empty());
            EXPECT_EQ(std::string_view(".:?!").find(value.back()), std::string_view::npos)
                << language.Id << " " << key << " = " << value;
        }
    }
}

TEST(ShippedLanguagesTest, MenuCaptionsHaveDistinctAccessKeys)
{
    struct TMenu {
        std::string_view Section;
        std::vector<std::string_view> Keys;
    };
    const TMenu menus[] = {
        {"TFormMain", {"MClipboard", "MColor", "MColorSpace", "MOutputFormat", "MSettings", "MHelp", "MDonate"}},
        {"TFormMain", {"MClipboard_CopyCodeToClipboard", "MClipboard_PasteCodeFromClipboard", "MClipboard_CopyAs"}},
        {"TFormMain",
         {"MColor_SwapPrimaryAndSecondaryColor", "MColor_Inverse", "MColor_Complementary", "MColor_Grayscaled",
          "MColor_Desaturated", "MColor_Random", "MColor_RecentColors"}},
        {"TFormMain", {"MRecentColors_CopyAll", "MRecentColors_CopyAllAs", "MRecentColors_Clear"}},
        {"TFormMain", {"MRecentColors_CopyAllAsCss", "MRecentColors_CopyAllAsGimp"}},
        {"TFormMain", {"MTools_Dropper", "MTools_Palette"}},
        // The code's pop-up menu shows the first under the caption of
        // MClipboard_CopyCodeToClipboard.
        // and its Copy As under that of MClipboard_CopyAs.
        {"TFormMain", {"MClipboard_CopyCodeToClipboard", "MCode_CopyContrastRatio", "MClipboard_CopyAs"}},
        {"TFormMain",
         {"MSettings_AutomaticallyCopyCodeToClipboard", "MSettings_CodeWithPrefix", "MSettings_UppercaseCode",
          "MSettings_WindowAlwaysOnTop", "MSettings_TwoColorMode", "MSettings_LaunchInEyeDropperMode",
          "MSettings_AllowMultipleInstances", "MSettings_MinimizeWhileUsingDropper", "MSettings_UseTrayIcon",
          "MSettings_DisableSkin_FasterLaunch", "MSettings_SaveConfigurationOnExit", "MSettings_SaveLastColorOnExit",
          "MSettings_Languages", "MSettings_SaveConfiguration", "MSettings_LoadDefault"}},
        {"TFormAbout", {"MCheckForNewVersion", "MLicenseAgreement"}},
    };
    for (const TShippedLanguage& language : ShippedLanguages) {
        SCOPED_TRACE(language.Id);
        const TLanguageFile file(LanguagesFolder() / (language.Id + ".ini"));
        // The tray menu shows the dropper item under the caption of MTools_Dropper.
        std::vector<std::vector<std::pair<std::string, std::string>>> captionGroups = {
            {{"MTools_Dropper", file.ReadString("TFormMain", "MTools_Dropper")},
             {"TMExit", file.ReadString("TrayMenu", "TMExit")}}};
        for (const TMenu& menu : menus) {
            std::vector<std::pair<std::string, std::string>> captions;
            for (const std::string_view key : menu.Keys)
                captions.emplace_back(key, file.ReadString(menu.Section, key));
            captionGroups.push_back(std::move(captions));
        }
        for (const auto& captions : captionGroups) {
            std::map<std::string, std::string> owners;
            for (const auto& [key, caption] : captions) {
                EXPECT_EQ(caption.find('&'), caption.rfind('&')) << key << " = " << caption;
                const std::string accessKey = AccessKey(caption);
                EXPECT_FALSE(accessKey.empty()) << key << " = " << caption;
                const auto [owner, added] = owners.emplace(accessKey, key);
                EXPECT_TRUE(added) << key << " and " << owner->second << " share the access key " << accessKey;
            }
        }
    }
}

TEST(ShippedLanguagesTest, LaterTextsFallBackToTheirEnglishWords)
{
    // English.ini says what the program says for a file that lacks them.
    const TLanguageFile english(LanguagesFolder() / "English.ini");
    std::vector<std::string_view> laterKeys;
    for (const TLanguageSectionKeys& section : LanguageFileKeys())
        for (const std::string_view key : section.Keys)
            if (const std::string_view words = EnglishFallback(section.Section, key); !words.empty()) {
                SCOPED_TRACE(std::string(key));
                EXPECT_EQ(english.ReadString(section.Section, key), words);
                laterKeys.push_back(key);
            }
    ASSERT_FALSE(laterKeys.empty());

    // A translation made before them: its own texts, English for the later
    // ones, and the usual marker for any other gap.
    const TLanguageFile older = TLanguageFile::FromBytes("[FileInfo]\r\nId=Older\r\n[TFormMain]\r\nsRed=Rot\r\n"
                                                         "scontrastratio=\r\n");
    EXPECT_EQ(ReadLanguageText(older, "TFormMain", "sRed"), "Rot");
    EXPECT_EQ(ReadLanguageText(older, "TFormMain", "sGreen"), UndefinedText);
    EXPECT_EQ(ReadLanguageText(older, "TFormAbout", "sContrastRatio"), UndefinedText);
    // Present but empty is the file's own choice.
    EXPECT_EQ(ReadLanguageText(older, "TFormMain", "sContrastRatio"), "");
    for (const std::string_view key : laterKeys) {
        if (key == "sContrastRatio")
            continue;
        SCOPED_TRACE(std::string(key));
        EXPECT_EQ(ReadLanguageText(older, "tformmain", key), EnglishFallback("TFormMain", key));
        EXPECT_NE(ReadLanguageText(older, "tformmain", key), UndefinedText);
    }
}
