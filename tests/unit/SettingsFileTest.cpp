#include "settings/SettingsFile.h"
#include "TestSupport.h"
#include "color/ColorFunctions.h"
#include "settings/Settings.h"
#include "settings/SettingsFilePlatform.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <optional>
#include <random>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <csignal>
#include <sys/resource.h>
#endif

#include <chrono>
#include <thread>

namespace fs = std::filesystem;
using namespace std::string_literals;
using namespace std::string_view_literals;

namespace {

std::string PathText(const fs::path& path)
{
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

// Each test gets a fresh folder under the system's temporary folder holding
// at most the settings file; the folder goes with its contents.
class SettingsFileTest : public ::testing::Test {
protected:
    SettingsFileTest()
    {
        std::random_device random;
        FFolder =
            fs::temp_directory_path() / ("vesk-settingsfile-" + std::to_string(random()) + std::to_string(random()));
        fs::create_directories(FFolder);
    }
    ~SettingsFileTest() override
    {
        // Windows refuses to delete read-only files.
        std::error_code ignored;
        for (const auto& entry : fs::directory_iterator(FFolder, ignored))
            fs::permissions(entry.path(), fs::perms::owner_write, fs::perm_options::add, ignored);
        fs::remove_all(FFolder, ignored);
    }

    fs::path Ini() const { return FFolder / "VeskColorPicker.ini"; }

    void WriteIni(std::string_view bytes) const
    {
        std::ofstream(Ini(), std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }

    std::string IniBytes() const { return Bytes(Ini()); }

    static std::string Bytes(const fs::path& file)
    {
        std::ifstream stream(file, std::ios::binary);
        std::string bytes(static_cast<std::size_t>(fs::file_size(file)), '\0');
        stream.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return bytes;
    }

    // Everything in the folder, so a test sees leftover temporary files.
    std::vector<std::string> FolderEntries() const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(FFolder))
            names.push_back(PathText(entry.path().filename()));
        return names;
    }

    std::string ExpectedWriteError() const { return "Unable to write to " + PathText(fs::absolute(Ini())); }

    fs::path FFolder;
};

const std::vector<std::string> OnlyTheIni = {"VeskColorPicker.ini"};

#ifndef _WIN32
// While it lives, no file of this process can grow past the given size: a
// write beyond it fails as on a full disk.
class TFileSizeLimit {
public:
    explicit TFileSizeLimit(std::size_t size)
    {
        FOldHandler = std::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &FOld);
        rlimit limit = FOld;
        limit.rlim_cur = static_cast<rlim_t>(size);
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~TFileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &FOld);
        std::signal(SIGXFSZ, FOldHandler);
    }
    TFileSizeLimit(const TFileSizeLimit&) = delete;
    TFileSizeLimit& operator=(const TFileSizeLimit&) = delete;

private:
    rlimit FOld{};
    void (*FOldHandler)(int) = nullptr;
};
#endif

} // namespace

TEST_F(SettingsFileTest, FilesWithoutTheKeyGiveTheDefaults)
{
    struct TCase {
        const char* File;
        std::optional<std::string_view> Content; // nothing: no file at all
    };
    const TCase cases[] = {
        {"absent", std::nullopt},
        {"empty", ""},
        {"only a comment", "; Vesk Color Picker\r\n"},
        {"keys outside any section", "TwoColorMode=1\r\nLastColor=255\r\n"},
        {"keys in another section", "[Other]\r\nTwoColorMode=1\r\nLastColor=255\r\n"},
        {"key without =", "[Settings]\r\nTwoColorMode\r\nLastColor\r\n"},
        {"commented-out keys", "[Settings]\r\n;TwoColorMode=1\r\n  ; LastColor=255\r\n"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.File);
        std::error_code ignored;
        fs::remove(Ini(), ignored);
        if (c.Content)
            WriteIni(*c.Content);
        const TSettingsFile file(Ini());
        EXPECT_FALSE(file.ReadBool(SettingsSection, SettingKeyOf(&TSettings::TwoColorMode).Key, false));
        EXPECT_TRUE(file.ReadBool(SettingsSection, SettingKeyOf(&TSettings::LoremIpsumText).Key, true));
        EXPECT_EQ(file.ReadInteger(SettingsSection, SettingKeyOf(&TSettings::LastColor).Key, 0x808080), 0x808080);
        EXPECT_EQ(file.ReadString(SettingsSection, LanguageSettingKey, "none"), "none");
        EXPECT_FALSE(file.SectionHasKeys(PositionSection));
    }
}

TEST_F(SettingsFileTest, FileThatCannotBeReadGivesTheDefaults)
{
    // A folder in the file's place cannot be read as a file.
    fs::create_directory(Ini());
    const TSettingsFile file(Ini());
    EXPECT_EQ(file.ReadInteger(SettingsSection, SettingKeyOf(&TSettings::LastColor).Key, 0x808080), 0x808080);
    EXPECT_FALSE(file.SectionExists(SettingsSection));
}

TEST_F(SettingsFileTest, FileOfAGigabyteIsNeitherReadNorRewritten)
{
    // A file over the limit reads as no file, and a write leaves it alone
    // instead of reading it whole and writing it back.
    const std::string head = "[Settings]\r\nTwoColorMode=1\r\n";
    WriteIni(head);
    fs::resize_file(Ini(), 1024u * 1024u * 1024u); // sparse: no disk space taken
    TSettingsFile file(Ini());
    EXPECT_FALSE(file.ReadBool("Settings", "TwoColorMode", false));
    EXPECT_THROW(file.WriteInteger("Settings", "ColorSpace", 1), ESettingsFile);
    EXPECT_EQ(fs::file_size(Ini()), 1024u * 1024u * 1024u);
    std::ifstream stream(Ini(), std::ios::binary);
    std::string start(head.size(), '\0');
    stream.read(start.data(), static_cast<std::streamsize>(start.size()));
    EXPECT_EQ(start, head);
    EXPECT_EQ(FolderEntries(), OnlyTheIni);

    // Just under the limit the file is an ordinary one.
    fs::resize_file(Ini(), MaxSettingsFileSize - 64);
    EXPECT_TRUE(file.ReadBool("Settings", "TwoColorMode", false));
}

TEST_F(SettingsFileTest, FileWithoutReadPermissionIsNeverReplaced)
{
    const std::string before = "[Settings]\r\nTwoColorMode=1\r\n";
    WriteIni(before);
    fs::permissions(Ini(), fs::perms::owner_write);
    if (std::ifstream(Ini()).is_open())
        GTEST_SKIP() << "this account reads files without read permission (root on POSIX; Windows has no such mode)";
    TSettingsFile file(Ini());
    EXPECT_FALSE(file.ReadBool("Settings", "TwoColorMode", false));
    // Writing one key must not turn a file it could not read into a file of that key alone.
    EXPECT_THROW(file.WriteInteger("Settings", "ColorSpace", 1), ESettingsFile);
    fs::permissions(Ini(), fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(IniBytes(), before);
}

TEST_F(SettingsFileTest, IntegersAreReadInDecimalAndHexadecimal)
{
    struct TCase {
        std::string_view Stored;
        std::optional<std::int32_t> Expected; // nothing: the default
    };
    const TCase cases[] = {
        {"259", 259},
        {"0", 0},
        {"007", 7},
        {"-5", -5},
        {"+7", 7},
        {" 12 ", 12},
        {"\t12\t", 12},
        {"\"12\"", 12},
        {"0x3", 3},
        {"0X3", 3},
        {"$ff", 255},
        {"$FF", 255},
        {"x1F", 31},
        {"X1f", 31},
        {"0x7FFFFFFF", 2147483647},
        {"2147483647", 2147483647},
        {"-2147483648", std::numeric_limits<std::int32_t>::min()},
        {"12abc", std::nullopt},
        {"", std::nullopt},
        {"abc", std::nullopt},
        {"1 2", std::nullopt},
        {"1.5", std::nullopt},
        {"+", std::nullopt},
        {"-", std::nullopt},
        {"0x", std::nullopt}, // a lead without digits is no number
        {" 0X", std::nullopt},
        {"$", std::nullopt},
        {"x", std::nullopt},
        {"0x1g", std::nullopt},
        {"0x-5", std::nullopt},
        {"-0x5", std::nullopt},
        {"--5", std::nullopt},
        {"&H10", std::nullopt},
        {"2147483648", std::nullopt},
        {"-2147483649", std::nullopt},
        // Eight hexadecimal digits with the top bit set are negative.
        {"0x80000000", std::numeric_limits<std::int32_t>::min()},
        {"$FFFFFFFF", -1},
        {"99999999999999999999999", std::nullopt},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE("stored \"" + std::string(c.Stored) + "\"");
        WriteIni("[Settings]\r\nOutputFormat=" + std::string(c.Stored) + "\r\n");
        const TSettingsFile file(Ini());
        EXPECT_EQ(file.ReadInteger(SettingsSection, SettingKeyOf(&TSettings::OutputFormat).Key, -77),
                  c.Expected.value_or(-77));
        // A boolean is a number: every value but 0 is true, text is the default.
        for (const bool defaultValue : {false, true}) {
            const bool expected = c.Expected ? *c.Expected != 0 : defaultValue;
            EXPECT_EQ(file.ReadBool(SettingsSection, SettingKeyOf(&TSettings::OutputFormat).Key, defaultValue),
                      expected);
        }
    }
}

TEST_F(SettingsFileTest, NamesAreCaseBlindAndTheFirstMatchWins)
{
    WriteIni("; written by hand\r\n"
             "[ settings ]\r\n"
             "  twocolormode = 1 \r\n"
             "TwoColorMode=0\r\n"
             "Language = Čeština \r\n"
             "[Position]\r\n"
             "; no position yet\r\n"
             "\r\n"
             "[SETTINGS]\r\n"
             "LastColor=255\r\n");
    const TSettingsFile file(Ini());
    EXPECT_TRUE(file.ReadBool("Settings", "TwoColorMode", false));
    EXPECT_EQ(file.ReadString("SETTINGS", "language", ""), "Čeština");
    // The second [SETTINGS] is never searched.
    EXPECT_EQ(file.ReadInteger("Settings", "LastColor", 0x808080), 0x808080);
    EXPECT_TRUE(file.SectionExists("position"));
    EXPECT_FALSE(file.SectionHasKeys("Position"));
    EXPECT_FALSE(file.SectionExists("Other"));
}

TEST_F(SettingsFileTest, EveryReadSeesTheFileAsItIsNow)
{
    const TSettingsFile file(Ini());
    EXPECT_EQ(file.ReadInteger("Settings", "ColorSpace", 0), 0);
    WriteIni("[Settings]\r\nColorSpace=2\r\n");
    EXPECT_EQ(file.ReadInteger("Settings", "ColorSpace", 0), 2);
    // Another instance writes in between.
    TSettingsFile(Ini()).WriteInteger("Settings", "ColorSpace", 3);
    EXPECT_EQ(file.ReadInteger("Settings", "ColorSpace", 0), 3);
}

TEST_F(SettingsFileTest, WriteEditsOnlyItsOwnLine)
{
    struct TCase {
        const char* Situation;
        std::optional<std::string_view> Before; // nothing: no file
        std::string_view Section;
        std::string_view Key;
        std::string_view After;
    };
    const TCase cases[] = {
        {"absent file is created", std::nullopt, "Settings", "TwoColorMode", "[Settings]\r\nTwoColorMode=1\r\n"},
        {"empty file", "", "Settings", "TwoColorMode", "[Settings]\r\nTwoColorMode=1\r\n"},
        {"section appended at the end", "[Position]\r\nTop=5\r\n", "Settings", "TwoColorMode",
         "[Position]\r\nTop=5\r\n\r\n[Settings]\r\nTwoColorMode=1\r\n"},
        {"section appended to a file without a last line end", "[Position]\r\nTop=5", "Settings", "TwoColorMode",
         "[Position]\r\nTop=5\r\n\r\n[Settings]\r\nTwoColorMode=1\r\n"},
        {"section appended after a blank last line", "[Position]\r\nTop=5\r\n\r\n", "Settings", "TwoColorMode",
         "[Position]\r\nTop=5\r\n\r\n[Settings]\r\nTwoColorMode=1\r\n"},
        {"key appended to a section in the middle", "[Settings]\r\nA=1\r\n; note\r\n\r\n[Position]\r\nTop=5\r\n",
         "Settings", "TwoColorMode", "[Settings]\r\nA=1\r\n; note\r\nTwoColorMode=1\r\n\r\n[Position]\r\nTop=5\r\n"},
        {"key appended to an empty section", "[Settings]\r\n[Position]\r\n", "Settings", "TwoColorMode",
         "[Settings]\r\nTwoColorMode=1\r\n[Position]\r\n"},
        {"key appended to a last line without line end", "[Settings]\r\nA=1", "Settings", "TwoColorMode",
         "[Settings]\r\nA=1\r\nTwoColorMode=1"},
        {"value replaced in place, spelling and indentation kept",
         "[Settings]\r\nA=1\r\n  twoColorMode = 0 \r\nZ=9\r\n", "Settings", "TwoColorMode",
         "[Settings]\r\nA=1\r\n  twoColorMode=1\r\nZ=9\r\n"},
        {"only the first of two keys replaced", "[Settings]\r\nTwoColorMode=0\r\nTWOCOLORMODE=0\r\n", "Settings",
         "TwoColorMode", "[Settings]\r\nTwoColorMode=1\r\nTWOCOLORMODE=0\r\n"},
        {"section in another letter case", "[SETTINGS]\r\nA=1\r\n", "Settings", "TwoColorMode",
         "[SETTINGS]\r\nA=1\r\nTwoColorMode=1\r\n"},
        {"first of two sections", "[Settings]\r\nA=1\r\n[Settings]\r\nB=2\r\n", "Settings", "TwoColorMode",
         "[Settings]\r\nA=1\r\nTwoColorMode=1\r\n[Settings]\r\nB=2\r\n"},
        {"unknown lines before the first section kept", "garbage\r\nX=1\r\n[Settings]\r\n", "Settings", "Key",
         "garbage\r\nX=1\r\n[Settings]\r\nKey=1\r\n"},
        {"LF line ends kept", "[Settings]\nA=1\n\n[Position]\nTop=5\n", "Settings", "TwoColorMode",
         "[Settings]\nA=1\nTwoColorMode=1\n\n[Position]\nTop=5\n"},
        {"LF line ends in a new section", "[Position]\nTop=5\n", "Settings", "TwoColorMode",
         "[Position]\nTop=5\n\n[Settings]\nTwoColorMode=1\n"},
        {"mixed line ends kept line by line", "[Settings]\r\nA=0\nB=2\r\n", "Settings", "A",
         "[Settings]\r\nA=1\nB=2\r\n"},
        {"UTF-8 mark and text kept", "\xEF\xBB\xBF[Settings]\r\nLanguage=Čeština\r\n", "Settings", "TwoColorMode",
         "\xEF\xBB\xBF[Settings]\r\nLanguage=Čeština\r\nTwoColorMode=1\r\n"},
        {"8-bit text that is not UTF-8 kept",
         "[Settings]\r\nLanguage=\xC8"
         "e\xB9tina\r\n",
         "Settings", "TwoColorMode",
         "[Settings]\r\nLanguage=\xC8"
         "e\xB9tina\r\nTwoColorMode=1\r\n"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Situation);
        std::error_code ignored;
        fs::remove(Ini(), ignored);
        if (c.Before)
            WriteIni(*c.Before);
        TSettingsFile file(Ini());
        file.WriteBool(c.Section, c.Key, true);
        EXPECT_EQ(IniBytes(), c.After);
        EXPECT_TRUE(file.ReadBool(c.Section, c.Key, false));
        EXPECT_EQ(FolderEntries(), OnlyTheIni);
    }
}

// Texts with every shape a write meets: no file, no line end, lone CRs, the
// section being extended last and without a line end, duplicate sections and
// keys in other letter cases, trailing blanks, NUL bytes.
const std::string_view ShapesOfText[] = {
    "",
    "[Settings]",
    "[Settings]\r\nLastColor=1",
    "[Settings]\rLastColor=1\r[Other]\rX=1\r",
    "[Other]\nX=1\n[Settings]\nLastColor=1",
    "[Position]\nTop=5\n\n",
    "garbage\r\n[settings]\r\nTwoColorMode=0\r\n  twocolormode=5\r\n[Settings]\r\nLastColor=1\r\n   ",
    "; Vesk\r\n[Window]\r\nKept=yes\r\n\r\n[Settings]\r\nUnknown=1\r\n\r\n[Position]\r\nTop=150\r\n\r\n[Last]\r\n",
    "[Other]\r\nX=1\r\n\r\n",
    "[Bin\0ary]\r\nK=\0v\0\r\n[Settings]\r\nLastColor=2\0\r\n\0\r\n"sv,
    "[Position]\r\nTop=1\r\n[Settings]\r\n",
};

TEST(SettingsText, ManyValuesInOneWriteAsIfWrittenOneAfterTheOther)
{
    // New and existing sections and keys, a key given twice in other letter
    // cases, a new section given twice.
    const TSettingsValue values[] = {
        {"Settings", "TwoColorMode", "1"},
        {"Position", "Top", "10"},
        {"Settings", "LastColor", "255"},
        {"New", "Key", "a"},
        {"settings", "twocolormode", "0"},
        {"POSITION", "Left", "20"},
        {"new", "KEY", "b"},
        {"Other2", "K", "v"},
        {"Settings", "Language", "Čeština"},
    };
    for (const std::string_view text : ShapesOfText) {
        SCOPED_TRACE(::testing::PrintToString(std::string(text)));
        std::string oneByOne(text);
        for (const TSettingsValue& value : values)
            oneByOne = SetSettingsValue(oneByOne, value.Section, value.Key, value.Value);
        EXPECT_EQ(SetSettingsValues(text, values), oneByOne);
        // Every prefix of the list too: each value's own effect on the shape.
        for (std::size_t count = 1; count < std::size(values); ++count) {
            std::string expected(text);
            for (std::size_t i = 0; i < count; ++i)
                expected = SetSettingsValue(expected, values[i].Section, values[i].Key, values[i].Value);
            EXPECT_EQ(SetSettingsValues(text, std::span(values).first(count)), expected) << count << " values";
        }
    }
    // A refused value refuses the whole list before anything changes.
    const TSettingsValue refused[] = {{"Settings", "TwoColorMode", "1"}, {"Settings", "Key=1", "0"}};
    EXPECT_THROW(SetSettingsValues("[Settings]\r\n", refused), Exception);
}

TEST(SettingsText, ManyKeysReadInOneReadAsOneByOne)
{
    const TSettingsName names[] = {
        {"Settings", "TwoColorMode"}, {"Settings", "LastColor"}, {"position", "TOP"},         {"Other", "X"},
        {"Missing", "Key"},           {"Bin\0ary"sv, "K"},       {"SETTINGS", "twocolormode"}};
    for (const std::string_view text : ShapesOfText) {
        SCOPED_TRACE(::testing::PrintToString(std::string(text)));
        const std::vector<TFoundSetting> found = FindSettingsValues(text, names);
        ASSERT_EQ(found.size(), std::size(names));
        for (std::size_t i = 0; i < std::size(names); ++i) {
            SCOPED_TRACE(std::string(names[i].Section) + "." + std::string(names[i].Key));
            EXPECT_EQ(found[i].Value, FindSettingsValue(text, names[i].Section, names[i].Key));
            EXPECT_EQ(found[i].SectionHasKeys, SettingsSectionHasKeys(text, names[i].Section));
        }
    }
}

TEST_F(SettingsFileTest, NumbersAndBooleansAreWrittenAsTheProgramReadsThem)
{
    TSettingsFile file(Ini());
    file.WriteInteger("Settings", "LastColor", 0x808080);
    file.WriteInteger("Settings", "DropperMouseSpeed", -5);
    file.WriteInteger("Position", "Top", std::numeric_limits<std::int32_t>::min());
    file.WriteBool("Settings", "TwoColorMode", true);
    file.WriteBool("Settings", "UppercaseCode", false);
    file.WriteString("Settings", "Language", "English");
    EXPECT_EQ(IniBytes(), "[Settings]\r\nLastColor=8421504\r\nDropperMouseSpeed=-5\r\nTwoColorMode=1\r\n"
                          "UppercaseCode=0\r\nLanguage=English\r\n\r\n[Position]\r\nTop=-2147483648\r\n");
    EXPECT_EQ(file.ReadInteger("Position", "Top", 0), std::numeric_limits<std::int32_t>::min());
}

TEST_F(SettingsFileTest, Utf16FileKeepsItsEncoding)
{
    std::u16string unknownValue = u"Junk=";
    unknownValue += char16_t{0xD800}; // an unpaired surrogate, kept as it is
    unknownValue += u"x\r\n";
    const std::u16string before = u"[Settings]\r\nLanguage=Čeština 🎨\r\n" + unknownValue + u"[Position]\r\nTop=1\r\n";
    const std::u16string after =
        u"[Settings]\r\nLanguage=Čeština 🎨\r\n" + unknownValue + u"TwoColorMode=1\r\n[Position]\r\nTop=1\r\n";
    for (const bool bigEndian : {false, true}) {
        SCOPED_TRACE(bigEndian ? "UTF-16 BE" : "UTF-16 LE");
        WriteIni(Utf16Bytes(before, bigEndian));
        TSettingsFile file(Ini());
        EXPECT_EQ(file.ReadString("Settings", "Language", ""), "Čeština 🎨");
        EXPECT_EQ(file.ReadInteger("Position", "Top", 0), 1);
        file.WriteBool("Settings", "TwoColorMode", true);
        EXPECT_EQ(IniBytes(), Utf16Bytes(after, bigEndian));
    }
}

TEST_F(SettingsFileTest, ValuesCannotBreakTheLineStructure)
{
    const std::string before = "[Settings]\r\nLanguage=English\r\n";
    WriteIni(before);
    TSettingsFile file(Ini());
    EXPECT_THROW(file.WriteString("Settings", "Language", "x\r\n[Position]\r\nTop=0"), Exception);
    EXPECT_THROW(file.WriteString("Settings", "Key=1", "0"), Exception);
    EXPECT_THROW(file.WriteString("Set]tings", "Key", "0"), Exception);
    EXPECT_THROW(file.WriteString("Settings", "", "0"), Exception);
    EXPECT_EQ(IniBytes(), before);
}

TEST_F(SettingsFileTest, FailedWriteNamesTheFileAndChangesNothing)
{
    const std::string before = "[Settings]\r\nTwoColorMode=0\r\n";
    struct TCase {
        const char* Situation;
        std::function<void()> Prepare;
        std::function<void()> Check;
    };
    const TCase cases[] = {
        {"read-only file",
         [&] {
             WriteIni(before);
             fs::permissions(Ini(), fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                             fs::perm_options::remove);
         },
         [&] {
             EXPECT_EQ(IniBytes(), before);
             EXPECT_EQ(FolderEntries(), OnlyTheIni);
         }},
        {"folder in the file's place", [&] { fs::create_directory(Ini()); },
         [&] {
             EXPECT_TRUE(fs::is_directory(Ini()));
             EXPECT_EQ(FolderEntries(), OnlyTheIni);
         }},
        {"missing folder", [&] { fs::remove(FFolder); }, [&] { EXPECT_FALSE(fs::exists(FFolder)); }},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Situation);
        c.Prepare();
        TSettingsFile file(Ini());
        try {
            file.WriteBool("Settings", "TwoColorMode", true);
            ADD_FAILURE() << "the write succeeded";
        } catch (const ESettingsFile& error) {
            EXPECT_EQ(std::string(error.what()), ExpectedWriteError());
        }
        c.Check();
        std::error_code ignored;
        fs::permissions(Ini(), fs::perms::owner_write, fs::perm_options::add, ignored);
        fs::remove(Ini(), ignored);
        fs::create_directories(FFolder);
    }
}

TEST_F(SettingsFileTest, FailureInTheMiddleOfAWriteLeavesTheOldFile)
{
    const std::string before = "[Settings]\r\nTwoColorMode=0\r\nLanguage=English\r\n[Position]\r\nTop=10\r\n";
    const TFileOperations system = SystemFileOperations();
    // What the settings file held at the moment of the fault: what a crash
    // right then would leave behind.
    std::optional<std::string> atFault;

    TFileOperations diskFullHalfWay = system;
    diskFullHalfWay.WriteAll = [&](const TPath& target, std::string_view bytes) {
        system.WriteAll(target, bytes.substr(0, bytes.size() / 2));
        atFault = IniBytes();
        return false;
    };
    TFileOperations replaceRefused = system;
    replaceRefused.Pause = [](unsigned) {};
    replaceRefused.Replace = [&](const TPath&, const TPath&) {
        atFault = IniBytes();
        return false;
    };

    struct TCase {
        const char* Fault;
        const TFileOperations& Operations;
    };
    const TCase cases[] = {{"disk full half-way", diskFullHalfWay}, {"replace refused", replaceRefused}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Fault);
        WriteIni(before);
        atFault.reset();
        TSettingsFile file(Ini(), c.Operations);
        try {
            file.WriteBool("Settings", "TwoColorMode", true);
            ADD_FAILURE() << "the write succeeded";
        } catch (const ESettingsFile& error) {
            EXPECT_EQ(std::string(error.what()), ExpectedWriteError());
        }
        EXPECT_EQ(atFault, before);
        EXPECT_EQ(IniBytes(), before);
        EXPECT_EQ(FolderEntries(), OnlyTheIni);
    }
}

TEST_F(SettingsFileTest, FolderThatRefusesNewFilesIsWrittenInPlace)
{
    TFileOperations lockedFolder = SystemFileOperations();
    lockedFolder.CreateNew = [](const TPath&) { return false; };

    WriteIni("[Settings]\r\nTwoColorMode=0\r\nLanguage=English\r\n");
    TSettingsFile file(Ini(), lockedFolder);
    file.WriteBool("Settings", "TwoColorMode", true);
    EXPECT_EQ(IniBytes(), "[Settings]\r\nTwoColorMode=1\r\nLanguage=English\r\n");
    // Shorter content must not leave the old tail behind.
    file.WriteString("Settings", "Language", "");
    EXPECT_EQ(IniBytes(), "[Settings]\r\nTwoColorMode=1\r\nLanguage=\r\n");
    EXPECT_EQ(FolderEntries(), OnlyTheIni);

    // Without a file there is nothing to write in place.
    fs::remove(Ini());
    EXPECT_THROW(file.WriteBool("Settings", "TwoColorMode", true), ESettingsFile);
    EXPECT_FALSE(fs::exists(Ini()));
}

#ifndef _WIN32
TEST_F(SettingsFileTest, InPlaceWriteOnAFullDiskLeavesTheOldFile)
{
    // The program's section, then another program's section after it: the
    // new keys make the file longer.
    const std::string before =
        "[Settings]\r\nTwoColorMode=0\r\n\r\n[Someone else]\r\n" + std::string(4000, 'k') + "\r\n";
    TFileOperations lockedFolder = SystemFileOperations();
    lockedFolder.CreateNew = [](const TPath&) { return false; };
    const TSettingsValue values[] = {{"Settings", "TwoColorMode", "1"}, {"Settings", "Language", "English"}};
    const std::string after = SetSettingsValues(before, values);
    ASSERT_GT(after.size(), before.size());

    struct TCase {
        const char* Room;
        std::size_t Limit;
        bool Written;
    };
    const TCase cases[] = {
        {"not a byte more", before.size(), false},
        {"half the growth", before.size() + (after.size() - before.size()) / 2, false},
        {"just enough", after.size(), true},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Room);
        WriteIni(before);
        TSettingsFile file(Ini(), lockedFolder);
        {
            const TFileSizeLimit full(c.Limit);
            if (c.Written)
                EXPECT_NO_THROW(file.WriteValues(values));
            else
                EXPECT_THROW(file.WriteValues(values), ESettingsFile);
        }
        EXPECT_EQ(IniBytes(), c.Written ? after : before);
        EXPECT_EQ(FolderEntries(), OnlyTheIni);
    }
}
#endif

TEST_F(SettingsFileTest, AFolderThatTakesNoNewFileSendsTheFirstSaveToTheUsersFolder)
{
    const fs::path program = FFolder / "program";
    const fs::path user = FFolder / "user";
    fs::create_directories(program);
    fs::create_directories(user);
    const TSettingsLocation location = SettingsLocation(program, user);
    const fs::path inUserFolder = user / "Vesk Color Picker" / "VeskColorPicker.ini";
    EXPECT_EQ(location.InUserFolder, TPath(inUserFolder));

    // Neither file yet: the one beside the program is read and made.
    EXPECT_EQ(location.File(), location.BesideProgram);

    // The program's folder refuses the file: the user's folder takes it,
    // and from then on it is the one read.
    TFileOperations lockedFolder = SystemFileOperations();
    lockedFolder.CreateNew = [&](const TPath& file) {
        return !TPath(file).Native().starts_with(TPath(program).Native()) && SettingsFilePlatform::CreateNewFile(file);
    };
    TSettingsFile file(location.File(), lockedFolder);
    file.SetFallback(location.InUserFolder);
    file.WriteBool("Settings", "TwoColorMode", true);
    EXPECT_FALSE(fs::exists(program / "VeskColorPicker.ini"));
    EXPECT_EQ(Bytes(inUserFolder), "[Settings]\r\nTwoColorMode=1\r\n");
    EXPECT_EQ(location.File(), location.InUserFolder);

    // A file beside the program, once there, wins again.
    std::ofstream(program / "VeskColorPicker.ini", std::ios::binary) << "[Settings]\r\n";
    EXPECT_EQ(location.File(), location.BesideProgram);

    // Without a fallback, a refused new file is the error it always was.
    fs::remove(program / "VeskColorPicker.ini");
    TSettingsFile alone(program / "VeskColorPicker.ini", lockedFolder);
    EXPECT_THROW(alone.WriteBool("Settings", "TwoColorMode", true), ESettingsFile);
}

TEST_F(SettingsFileTest, WriteThatWouldMakeAFileTooLargeToReadIsRefused)
{
    // Just under the limit: read, and a write that keeps it under the limit
    // goes through; one that takes it over is refused and changes nothing.
    const std::string head = "[Settings]\r\nTwoColorMode=1\r\n[Other]\r\nKey=";
    std::string before = head + std::string(MaxSettingsFileSize - 64 - head.size(), 'v');
    WriteIni(before);
    TSettingsFile file(Ini());
    EXPECT_TRUE(file.ReadBool("Settings", "TwoColorMode", false));
    file.WriteBool("Settings", "TwoColorMode", false);
    before[head.find('1')] = '0';
    EXPECT_EQ(IniBytes(), before);

    EXPECT_THROW(file.WriteString("Settings", "Language", std::string(64, 'x')), ESettingsFile);
    EXPECT_EQ(IniBytes(), before);
    EXPECT_EQ(FolderEntries(), OnlyTheIni);
    EXPECT_FALSE(file.ReadBool("Settings", "TwoColorMode", true));
}

TEST_F(SettingsFileTest, AReplaceHeldOffIsTriedAgainForAboutASecond)
{
    const std::string before = "[Settings]\r\nTwoColorMode=0\r\n";
    std::vector<unsigned> pauses;
    int refusals = 0;
    TFileOperations operations = SystemFileOperations();
    operations.Pause = [&](unsigned milliseconds) { pauses.push_back(milliseconds); };
    operations.Replace = [&, replace = operations.Replace](const TPath& from, const TPath& to) {
        return refusals-- <= 0 && replace(from, to);
    };

    // Held off three times, then let through.
    WriteIni(before);
    refusals = 3;
    TSettingsFile(Ini(), operations).WriteBool("Settings", "TwoColorMode", true);
    EXPECT_EQ(IniBytes(), "[Settings]\r\nTwoColorMode=1\r\n");
    EXPECT_EQ(pauses, (std::vector<unsigned>{10, 20, 40}));
    EXPECT_EQ(FolderEntries(), OnlyTheIni);

    // Held off for good: the error, after pauses that add up to a second.
    WriteIni(before);
    pauses.clear();
    refusals = 1000;
    EXPECT_THROW(TSettingsFile(Ini(), operations).WriteBool("Settings", "TwoColorMode", true), ESettingsFile);
    unsigned total = 0;
    for (const unsigned pause : pauses)
        total += pause;
    EXPECT_EQ(total, ReplaceRetryTotal);
    EXPECT_EQ(IniBytes(), before);
    EXPECT_EQ(FolderEntries(), OnlyTheIni);
}

TEST_F(SettingsFileTest, LinksAreWrittenThrough)
{
    const std::string before = "[Settings]\r\nTwoColorMode=0\r\n";
    const std::string after = "[Settings]\r\nTwoColorMode=1\r\n";
    const fs::path elsewhere = FFolder / "elsewhere";
    fs::create_directory(elsewhere);
    const fs::path target = elsewhere / "Settings.ini";

    // A hard link: both names keep showing one file.
    std::ofstream(target, std::ios::binary) << before;
    fs::create_hard_link(target, Ini());
    TSettingsFile(Ini()).WriteBool("Settings", "TwoColorMode", true);
    EXPECT_EQ(IniBytes(), after);
    // Wine's runtime counts no links (the program asks without backup
    // semantics, where Wine answers), so the names are compared instead.
    EXPECT_TRUE(fs::equivalent(Ini(), target));
    EXPECT_EQ(Bytes(target), after);
    fs::remove(Ini());

    // A symbolic link stays a link, and the file it leads to is written.
    std::ofstream(target, std::ios::binary) << before;
    std::error_code refused;
    fs::create_symlink(target, Ini(), refused);
    if (refused)
        GTEST_SKIP() << "this system makes no symbolic links here: " << refused.message();
    TSettingsFile(Ini()).WriteBool("Settings", "TwoColorMode", true);
    EXPECT_TRUE(fs::is_symlink(Ini()));
    EXPECT_EQ(IniBytes(), after);
    EXPECT_EQ(fs::read_symlink(Ini()), target);
    EXPECT_EQ(std::vector<fs::path>(fs::directory_iterator(elsewhere), {}), std::vector<fs::path>{target});
}

TEST_F(SettingsFileTest, StaleTemporaryFilesOfEarlierSavesAreRemoved)
{
    WriteIni("[Settings]\r\nTwoColorMode=0\r\n");
    const auto make = [this](const std::string& name, std::chrono::hours age) {
        const fs::path file = FFolder / name;
        std::ofstream(file, std::ios::binary) << "[Settings]";
        fs::last_write_time(file, fs::file_time_type::clock::now() - age);
        return file;
    };
    const fs::path stale = make("VeskColorPicker.ini.0123456789abcdef.tmp", std::chrono::hours(24));
    const fs::path staleUpper = make("VESKCOLORPICKER.INI.0123456789ABCDEF.TMP", std::chrono::hours(24));
    const std::string kept[] = {
        make("VeskColorPicker.ini.fedcba9876543210.tmp", std::chrono::hours(0)).filename().string(), // a save now
        make("VeskColorPicker.ini.0123.tmp", std::chrono::hours(24)).filename().string(),
        make("VeskColorPicker.ini.0123456789abcdeg.tmp", std::chrono::hours(24)).filename().string(),
        make("Other.ini.0123456789abcdef.tmp", std::chrono::hours(24)).filename().string(),
        make("VeskColorPicker.ini.0123456789abcdef.tmp.bak", std::chrono::hours(24)).filename().string(),
    };
#ifdef _WIN32
    // One that another save still has open stays, however old.
    const fs::path held = make("VeskColorPicker.ini.00000000000000aa.tmp", std::chrono::hours(24));
    const HANDLE holder =
        ::CreateFileW(held.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
#endif

    TSettingsFile(Ini()).WriteBool("Settings", "TwoColorMode", true);
    EXPECT_FALSE(fs::exists(stale));
    EXPECT_FALSE(fs::exists(staleUpper));
    for (const std::string& name : kept)
        EXPECT_TRUE(fs::exists(FFolder / name)) << name;
#ifdef _WIN32
    EXPECT_TRUE(fs::exists(held));
    ::CloseHandle(holder);
#endif
    EXPECT_EQ(IniBytes(), "[Settings]\r\nTwoColorMode=1\r\n");
}

#ifdef _WIN32
// Virus scanners, indexers, sync clients and editors read the file with
// every sharing allowed; a save goes through while they hold it, and a
// reader that does not allow deletion only holds the save off for a moment.
TEST_F(SettingsFileTest, ReadersDoNotStopASave)
{
    const std::string before = "[Settings]\r\nTwoColorMode=0\r\n";
    WriteIni(before);
    const HANDLE reader =
        ::CreateFileW(Ini().c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                      OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    TSettingsFile(Ini()).WriteBool("Settings", "TwoColorMode", true);
    EXPECT_EQ(IniBytes(), "[Settings]\r\nTwoColorMode=1\r\n");
    // The reader goes on reading the content it opened.
    char seen[64] = {};
    DWORD read = 0;
    EXPECT_TRUE(::ReadFile(reader, seen, sizeof seen - 1, &read, nullptr));
    EXPECT_EQ(std::string(seen, read), before);
    ::CloseHandle(reader);
    EXPECT_EQ(FolderEntries(), OnlyTheIni);

    const HANDLE strict = ::CreateFileW(Ini().c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                        OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(strict, INVALID_HANDLE_VALUE);
    std::thread release([strict] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        ::CloseHandle(strict);
    });
    EXPECT_NO_THROW(TSettingsFile(Ini()).WriteBool("Settings", "TwoColorMode", false));
    release.join();
    EXPECT_EQ(IniBytes(), before);
    EXPECT_EQ(FolderEntries(), OnlyTheIni);
}
#endif

TEST(ParseSettingsInteger, ReadsAsTheColorCodeIntegerReaderDoes)
{
    // Side by side: the settings file and the code text read numbers alike,
    // but for "0x" alone, which the settings file does not take for 0.
    struct Row {
        const char* Text;
        std::optional<std::int32_t> Expected;
    };
    const Row rows[] = {
        {"0", 0},
        {"8421504", 8421504},
        {"-5", -5},
        {"+7", 7},
        {"$FFFFFFFF", -1},
        {"x80000000", std::numeric_limits<std::int32_t>::min()},
        {"X1f", 31},
        {"0X10", 16},
        {"$", std::nullopt},
        {"x", std::nullopt},
        {"-", std::nullopt},
        {"12a", std::nullopt},
        {"2147483647", 2147483647},
        {"2147483648", std::nullopt},
        {"-2147483648", std::numeric_limits<std::int32_t>::min()},
        {"$1FFFFFFFF", std::nullopt},
        {"", std::nullopt},
        {"1.5", std::nullopt},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Text);
        EXPECT_EQ(ParseSettingsInteger(row.Text), row.Expected);
        std::int32_t value = 0;
        const bool read = TryStrToInt(row.Text, value);
        EXPECT_EQ(read ? std::optional<std::int32_t>(value) : std::nullopt, row.Expected);
    }
    EXPECT_EQ(ParseSettingsInteger("0x"), std::nullopt);
    std::int32_t value = -1;
    EXPECT_TRUE(TryStrToInt("0x", value));
    EXPECT_EQ(value, 0);
}
