#include "i18n/LanguageSupport.h"
#include "support/TestLanguageEnvironment.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace fs = std::filesystem;
using namespace std::string_literals;

namespace {

const std::string MissingFileMessage =
    "Language file missing.\r\nYou need to unpack the whole archive in case of portable version.";

// A fake executable folder under the system's temporary folder with its
// "Languages" folder; removed with its contents.
class TLanguagesTest : public ::testing::Test {
protected:
    TLanguagesTest()
    {
        std::random_device random;
        FRoot = fs::temp_directory_path() / ("vesk-languages-" + std::to_string(random()) + std::to_string(random()));
        fs::create_directories(FRoot / "Languages");
        Environment.Folder = FRoot;
    }
    ~TLanguagesTest() override
    {
        std::error_code ignored;
        fs::remove_all(FRoot, ignored);
    }

    // File names are UTF-8 like every string of the program; the narrow path
    // constructor would read them in the Windows ANSI code page.
    fs::path LanguageFile(std::string_view fileName) const
    {
        return FRoot / "Languages" / fs::path(std::u8string(fileName.begin(), fileName.end()));
    }

    void WriteBytes(const fs::path& file, std::string_view bytes) const
    {
        std::ofstream(file, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }

    void WriteLanguage(const std::string& fileName, const std::string& id, const std::string& abbr) const
    {
        WriteBytes(LanguageFile(fileName), "\xEF\xBB\xBF[FileInfo]\r\nId=" + id + "\r\nAbbr=" + abbr
                                               + "\r\n[TFormMain]\r\nsRed=" + id + " red\r\n");
    }

    void WriteLanguages(const std::vector<std::pair<std::string, std::string>>& idsAndAbbrs) const
    {
        for (const auto& [id, abbr] : idsAndAbbrs)
            WriteLanguage(id + ".ini", id, abbr);
    }

    fs::path SettingsFile() const { return FRoot / "VeskColorPicker.ini"; }
    void WriteSettingsFile() const { WriteBytes(SettingsFile(), "[Settings]\r\n"); }

    TLanguages Create(bool loadAutomatically = true)
    {
        return TLanguages(Environment, "VeskColorPicker.ini", "Settings", loadAutomatically);
    }

    TTestLanguageEnvironment Environment;

private:
    fs::path FRoot;
};

std::string Mismatch(const std::string& fileName, const std::string& id)
{
    return "Language File Name and its [.ini]FileInfo.Id key mismatch:\r\n\r\nFile Name = " + fileName
           + "\r\n[.ini]FileInfo.Id = " + id;
}

} // namespace

TEST_F(TLanguagesTest, ListsLanguageFilesSortedByName)
{
    WriteLanguages(
        {{"German", "de"}, {"Čeština", "cs"}, {"Czech", "cs"}, {"Zulu", "zu"}, {"acholi", "ach"}, {"English", "en"}});
    WriteBytes(LanguageFile("Readme.txt"), "[FileInfo]\r\nId=Readme\r\n");
    fs::create_directory(LanguageFile("Folder.ini"));

    const TLanguages languages = Create(false);

    // As Windows lists the folder: letters compared case-blind, so "acholi"
    // comes first; characters beyond ASCII after the letters.
    EXPECT_EQ(languages.List(), (std::vector<std::string>{"acholi", "Czech", "English", "German", "Zulu", "Čeština"}));
    EXPECT_TRUE(Environment.Errors.empty());
    EXPECT_FALSE(languages.HasActiveFile());
    EXPECT_EQ(languages.ActiveLanguage(), "");
    EXPECT_EQ(languages.ActiveFile().ReadString("TFormMain", "sRed"), "[undefined]");
}

TEST_F(TLanguagesTest, FilesWhoseNameDiffersFromTheirIdAreReportedAndLeftOut)
{
    // Two stems, because a Windows folder cannot hold both english.ini and English.INI.
    WriteLanguage("english.ini", "English", "en");
    WriteLanguage("Czech.INI", "Czech", "cs");
    WriteBytes(LanguageFile("NoFileInfo.ini"), "\xEF\xBB\xBF[TFormMain]\r\nsRed=Red\r\n");
    WriteLanguage("Slovak.ini", "Slovak", "sk");

    TLanguages languages = Create(false);

    EXPECT_EQ(languages.List(), std::vector<std::string>{"Slovak"});
    const std::vector<std::string> expected = {
        Mismatch("Czech.INI", "Czech"),
        Mismatch("english.ini", "English"),
        Mismatch("NoFileInfo.ini", "[undefined]"),
    };
    EXPECT_EQ(Environment.Errors, expected);

    // Every rebuild of the list reports them again.
    Environment.Errors.clear();
    languages.RefreshList();
    EXPECT_EQ(Environment.Errors, expected);
}

TEST_F(TLanguagesTest, UndecodableFileIsReportedAndLeftOut)
{
    WriteLanguages({{"Czech", "cs"}, {"English", "en"}});
    WriteBytes(LanguageFile("Broken.ini"), "\xEF\xBB\xBF[FileInfo]\r\nId=Broken\xC0\xAF\r\n");

    const TLanguages languages = Create(false);

    EXPECT_EQ(languages.List(), (std::vector<std::string>{"Czech", "English"}));
    ASSERT_EQ(Environment.Errors.size(), 1u);
    EXPECT_EQ(Environment.Errors[0].rfind("Error while loading language file.\r\n", 0), 0u) << Environment.Errors[0];
    EXPECT_NE(Environment.Errors[0].find("Broken.ini"), std::string::npos) << Environment.Errors[0];
}

TEST_F(TLanguagesTest, MissingLanguageFolderGivesAnEmptyList)
{
    fs::remove(LanguageFile(""));
    TLanguages languages = Create(false);
    EXPECT_TRUE(languages.List().empty());
    EXPECT_EQ(languages.DefaultLanguage(), "");
    EXPECT_TRUE(Environment.Errors.empty());
}

TEST_F(TLanguagesTest, DefaultLanguageFollowsTheOperatingSystemInItsOrder)
{
    struct TCase {
        const char* Situation;
        std::vector<std::pair<std::string, std::string>> Installed;
        std::string UILanguages;
        std::string SystemLanguage;
        std::string UserLanguage;
        std::string Expected;
    };
    const std::vector<std::pair<std::string, std::string>> czechEnglishGerman = {
        {"Czech", "cs"}, {"English", "en"}, {"German", "de"}};
    const TCase cases[] = {
        {"nothing installed", {}, "cs-CZ", "Czech", "Czech", ""},
        {"a single language whatever the system says", {{"German", "de"}}, "cs-CZ", "Czech", "Czech", "German"},
        {"display language before both locales", czechEnglishGerman, "cs-CZ", "English", "English", "Czech"},
        {"display language as a bare code", czechEnglishGerman, "CS", "English", "English", "Czech"},
        {"only the first preferred language counts", czechEnglishGerman, "fr-FR,cs-CZ", "German", "English", "German"},
        {"system locale next", czechEnglishGerman, "fr-FR", "German", "Czech", "German"},
        {"system locale in another letter case", czechEnglishGerman, "fr-FR", "german", "Czech", "German"},
        {"user locale next", czechEnglishGerman, "fr-FR", "French", "Czech", "Czech"},
        {"English when nothing matches", czechEnglishGerman, "fr-FR", "French", "French", "English"},
        {"English when the system says nothing", czechEnglishGerman, "", "", "", "English"},
        {"first listed without English",
         {{"Slovak", "sk"}, {"German", "de"}, {"Czech", "cs"}},
         "fr-FR",
         "French",
         "French",
         "Czech"},
        {"two files with the same Abbr: the first listed",
         {{"Czech", "cs"}, {"Bohemian", "cs"}, {"English", "en"}},
         "cs-CZ",
         "English",
         "English",
         "Bohemian"},
        {"a three-letter language is not its two-letter prefix",
         {{"Finnish", "fi"}, {"English", "en"}},
         "fil-PH",
         "Filipino",
         "Filipino",
         "English"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Situation);
        for (const auto& entry : fs::directory_iterator(LanguageFile("")))
            fs::remove(entry.path());
        WriteLanguages(c.Installed);
        Environment.UILanguages = c.UILanguages;
        Environment.SystemLanguage = c.SystemLanguage;
        Environment.UserLanguage = c.UserLanguage;

        TLanguages languages = Create(false);
        EXPECT_EQ(languages.DefaultLanguage(), c.Expected);

        // At start-up without a stored choice the default is what gets loaded.
        TLanguages started = Create();
        EXPECT_EQ(started.ActiveLanguage(), c.Expected);
    }
}

TEST_F(TLanguagesTest, StartUpLoadsTheStoredChoice)
{
    struct TCase {
        const char* Situation;
        bool SettingsFileExists;
        std::string IniLanguage;
        std::string RegistryLanguage;
        std::string Expected;
        bool ReadsIni;
        bool ReadsRegistry;
    };
    const TCase cases[] = {
        {"choice in the settings file", true, "German", "Czech", "German", true, false},
        {"choice in another letter case", true, "german", "", "German", true, false},
        {"settings file without a choice: registry not asked", true, "", "German", "English", true, false},
        {"no settings file: registry", false, "Czech", "German", "German", false, true},
        {"no choice anywhere", false, "", "", "English", false, true},
        {"choice no longer installed", true, "Klingon", "", "English", true, false},
    };
    WriteLanguages({{"Czech", "cs"}, {"English", "en"}, {"German", "de"}});
    Environment.UILanguages = "en-US";
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Situation);
        std::error_code ignored;
        fs::remove(SettingsFile(), ignored);
        if (c.SettingsFileExists)
            WriteSettingsFile();
        Environment.IniLanguage = c.IniLanguage;
        Environment.RegistryLanguage = c.RegistryLanguage;
        Environment.IniReads.clear();
        Environment.RegistryReads.clear();
        Environment.Errors.clear();

        const TLanguages languages = Create();

        EXPECT_TRUE(languages.HasActiveFile());
        EXPECT_EQ(languages.ActiveLanguage(), c.Expected);
        EXPECT_EQ(languages.ActiveFile().ReadString("TFormMain", "sRed"), c.Expected + " red");
        EXPECT_TRUE(Environment.Errors.empty());
        EXPECT_EQ(Environment.IniReads, c.ReadsIni ? std::vector<std::string>{"VeskColorPicker.ini|Settings|Language"}
                                                   : std::vector<std::string>{});
        EXPECT_EQ(Environment.RegistryReads, c.ReadsRegistry
                                                 ? std::vector<std::string>{"VeskColorPicker.ini|Settings|Language"}
                                                 : std::vector<std::string>{});
    }
}

TEST_F(TLanguagesTest, WithoutAStoreNameNoChoiceIsRead)
{
    WriteLanguages({{"Czech", "cs"}, {"English", "en"}});
    WriteSettingsFile();
    Environment.IniLanguage = "Czech";
    Environment.RegistryLanguage = "Czech";

    TLanguages languages(Environment, "", "Settings", true);

    EXPECT_EQ(languages.RegIniLanguage(), "");
    EXPECT_EQ(languages.ActiveLanguage(), "English");
    EXPECT_TRUE(Environment.IniReads.empty());
    EXPECT_TRUE(Environment.RegistryReads.empty());
}

TEST_F(TLanguagesTest, StartUpWithoutLanguageFilesReportsTheMissingFile)
{
    const TLanguages languages = Create();

    EXPECT_FALSE(languages.HasActiveFile());
    EXPECT_EQ(Environment.Errors, std::vector<std::string>{MissingFileMessage});
}

TEST_F(TLanguagesTest, StartUpReportsEachMismatchOnce)
{
    WriteLanguages({{"Czech", "cs"}, {"English", "en"}});
    WriteLanguage("Wrong.ini", "Right", "xx");

    const TLanguages languages = Create();

    EXPECT_EQ(languages.ActiveLanguage(), "English");
    EXPECT_EQ(Environment.Errors, std::vector<std::string>{Mismatch("Wrong.ini", "Right")});
}

TEST_F(TLanguagesTest, LoadSwitchesTheActiveFile)
{
    WriteLanguages({{"Čeština", "cs"}, {"English", "en"}});
    Environment.UILanguages = "en-GB";
    TLanguages languages = Create();
    ASSERT_EQ(languages.ActiveLanguage(), "English");

    EXPECT_TRUE(languages.Load("Čeština"));
    EXPECT_EQ(languages.ActiveLanguage(), "Čeština");
    EXPECT_EQ(languages.ActiveFile().ReadString("TFormMain", "sRed"), "Čeština red");

    // The listed spelling is kept, so the menu and the addresses compare it exactly.
    EXPECT_TRUE(languages.Load("ENGLISH"));
    EXPECT_EQ(languages.ActiveLanguage(), "English");
    EXPECT_TRUE(Environment.Errors.empty());
}

TEST_F(TLanguagesTest, FailedLoadKeepsThePreviousLanguage)
{
    WriteLanguages({{"Czech", "cs"}, {"English", "en"}, {"German", "de"}, {"Slovak", "sk"}});
    WriteLanguage("Stray.ini", "Other", "xx");
    const fs::path slovak = LanguageFile("Slovak.ini");
    const std::u8string slovakName = slovak.u8string();

    struct TCase {
        const char* Situation;
        std::string Language;
        std::string Message;
    };
    const TCase cases[] = {
        {"empty Id", "", MissingFileMessage},
        {"Id not installed", "Klingon", MissingFileMessage},
        {"file present but not listed", "Stray", MissingFileMessage},
        {"file removed since the list was built", "German", MissingFileMessage},
        {"file damaged since the list was built", "Slovak",
         "Error while loading language file.\r\n" + std::string(slovakName.begin(), slovakName.end())},
    };
    Environment.UILanguages = "cs-CZ";
    TLanguages languages = Create();
    ASSERT_EQ(languages.ActiveLanguage(), "Czech");
    fs::remove(LanguageFile("German.ini"));
    WriteBytes(slovak, "\xFF\xFE\x00\xD8"s);

    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Situation);
        Environment.Errors.clear();
        EXPECT_FALSE(languages.Load(c.Language));
        EXPECT_EQ(Environment.Errors, std::vector<std::string>{c.Message});
        EXPECT_EQ(languages.ActiveLanguage(), "Czech");
        EXPECT_EQ(languages.ActiveFile().ReadString("TFormMain", "sRed"), "Czech red");
    }
}

TEST_F(TLanguagesTest, FileWithoutMarkIsReadInTheSystemCodePage)
{
    Environment.AnsiDecoder = DecodeLatin1;
    WriteBytes(LanguageFile("French.ini"),
               "[FileInfo]\r\nId=French\r\nAbbr=fr\r\n[TFormMain]\r\nsRed=Rouge \xE9t\xE9\r\n");

    const TLanguages languages = Create();

    EXPECT_EQ(languages.ActiveLanguage(), "French");
    EXPECT_EQ(languages.ActiveFile().ReadString("TFormMain", "sRed"), "Rouge été");
}

TEST_F(TLanguagesTest, AddressesCarryTheCzechSuffixForCzechAndSlovak)
{
    WriteLanguages({{"Czech", "cs"}, {"English", "en"}, {"German", "de"}, {"Slovak", "sk"}});
    TLanguages languages = Create();

    const std::string host = TLanguages::HomePageAddress(false);
    EXPECT_FALSE(host.empty());
    EXPECT_EQ(host.find('/'), std::string::npos);
    EXPECT_EQ(TLanguages::HomePageAddress(true), "http://" + host);

    const std::pair<std::string, std::string> suffixes[] = {
        {"Czech", "&lng=cs"}, {"Slovak", "&lng=cs"}, {"English", ""}, {"German", ""}};
    for (const auto& [language, suffix] : suffixes) {
        SCOPED_TRACE(language);
        ASSERT_TRUE(languages.Load(language));
        EXPECT_EQ(languages.ProductPageAddress(true, 4), "http://" + host + "/?pg=1&pid=4" + suffix);
        EXPECT_EQ(languages.DonatePageAddress(true, 4), "http://" + host + "/?pg=5&pid=4" + suffix);
        EXPECT_EQ(languages.OrderPageAddress(false, 123), host + "/?pg=6&pid=123" + suffix);
    }

    const std::string mail = TLanguages::EmailAddress("support");
    EXPECT_EQ(mail.rfind("support@", 0), 0u);
    EXPECT_GT(mail.size(), std::string("support@").size());
    EXPECT_EQ(mail.find('@', 8), std::string::npos);
}

TEST_F(TLanguagesTest, LanguageSuffixComparesTheIdExactly)
{
    WriteLanguages({{"czech", "cs"}});
    const TLanguages languages = Create();
    ASSERT_EQ(languages.ActiveLanguage(), "czech");
    EXPECT_EQ(languages.ProductPageAddress(true, 4), TLanguages::HomePageAddress(true) + "/?pg=1&pid=4");
}
