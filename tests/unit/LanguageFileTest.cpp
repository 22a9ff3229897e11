#include "TestSupport.h"
#include "i18n/LanguageSupport.h"
#include "support/TestLanguageEnvironment.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <string_view>

namespace fs = std::filesystem;
using namespace std::string_literals;

namespace {

// A fresh folder under the system's temporary folder, removed with its contents.
class TTempFolder {
public:
    TTempFolder()
    {
        std::random_device random;
        FPath =
            fs::temp_directory_path() / ("vesk-languagefile-" + std::to_string(random()) + std::to_string(random()));
        fs::create_directories(FPath);
    }
    ~TTempFolder()
    {
        std::error_code ignored;
        fs::remove_all(FPath, ignored);
    }
    TTempFolder(const TTempFolder&) = delete;
    TTempFolder& operator=(const TTempFolder&) = delete;

    const fs::path& Path() const { return FPath; }

    fs::path Write(const std::string& name, std::string_view bytes) const
    {
        const fs::path file = FPath / name;
        std::ofstream(file, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return file;
    }

private:
    fs::path FPath;
};

std::string Utf8Bytes(std::u8string_view text)
{
    return "\xEF\xBB\xBF"s + std::string(text.begin(), text.end());
}

bool HasBlankEnd(std::string_view text)
{
    return !text.empty()
           && (static_cast<unsigned char>(text.front()) <= 0x20 || static_cast<unsigned char>(text.back()) <= 0x20);
}

} // namespace

TEST(LanguageFileTest, LookupRules)
{
    struct TCase {
        const char* Rule;
        std::string_view File;
        std::string_view Section;
        std::string_view Key;
        std::string_view Expected;
    };
    const TCase cases[] = {
        {"key in another letter case", "[TFormAbout]\r\ncaption=About\r\n", "TFormAbout", "Caption", "About"},
        {"section in another letter case", "[tformabout]\r\nCaption=About\r\n", "TFormAbout", "Caption", "About"},
        {"blanks around = and value", "[S]\r\n  Key \t=   two words  \r\n", "S", "Key", "two words"},
        {"control characters are blanks", "[S]\r\n\x01Key\x1F=\x02value\x7F\x0B\r\n", "S", "Key", "value\x7F"},
        {"value of blanks only is empty", "[S]\r\nKey=   \t \r\n", "S", "Key", ""},
        {"empty value", "[S]\r\nKey=\r\n", "S", "Key", ""},
        {"absent key", "[S]\r\nOther=1\r\n", "S", "Key", "[undefined]"},
        {"absent section", "[S]\r\nKey=1\r\n", "T", "Key", "[undefined]"},
        {"backslash-n between words", "[S]\r\nKey=first\\nsecond\r\n", "S", "Key", "first\r\nsecond"},
        {"backslash-n at both ends", "[S]\r\nKey=\\nmiddle\\n\r\n", "S", "Key", "middle"},
        {"backslash-n alone", "[S]\r\nKey=\\n\r\n", "S", "Key", ""},
        {"backslash-capital-N stays", "[S]\r\nKey=a\\Nb\r\n", "S", "Key", "a\\Nb"},
        {"backslash-n scanned without overlap", "[S]\r\nKey=a\\\\nb\r\n", "S", "Key", "a\\\r\nb"},
        {"quotation marks stay", "[S]\r\nKey=\"quoted\"\r\n", "S", "Key", "\"quoted\""},
        {"value holds =", "[S]\r\nKey=a=b = c\r\n", "S", "Key", "a=b = c"},
        {"semicolon comment", "[S]\r\n;Key=comment\r\nKey=real\r\n", "S", "Key", "real"},
        {"indented semicolon comment", "[S]\r\n   ; Key=comment\r\n", "S", "; Key", "[undefined]"},
        {"hash is an ordinary key", "[S]\r\n#Key=hash\r\n", "S", "#Key", "hash"},
        {"hash line without =", "[S]\r\n# Key\r\n", "S", "# Key", "[undefined]"},
        {"line without =", "[S]\r\nKey\r\n", "S", "Key", "[undefined]"},
        {"first key wins", "[S]\r\nKey=first\r\nKEY=second\r\n", "S", "Key", "first"},
        {"first section wins", "[S]\r\nA=1\r\n[s]\r\nA=2\r\nB=3\r\n", "S", "A", "1"},
        {"second section is never searched", "[S]\r\nA=1\r\n[s]\r\nB=3\r\n", "S", "B", "[undefined]"},
        {"lines before the first section", "Key=orphan\r\n[S]\r\n", "S", "Key", "[undefined]"},
        {"section name trimmed", "  [ \tS  ]  \r\nKey=1\r\n", "S", "Key", "1"},
        {"bracketed key is not a section", "[S]\r\n[x]=y\r\n", "S", "[x]", "y"},
        {"lone LF line ends", "[S]\nA=1\nKey=2", "S", "Key", "2"},
        {"lone CR line ends", "[S]\rA=1\rKey=2", "S", "Key", "2"},
        {"mixed line ends", "[S]\r\n\r\rA=1\rB=2\nKey=3\r\n", "S", "Key", "3"},
        {"UTF-8 text passes through", "[S]\r\nKey=Žlutá 🎨\r\n", "S", "Key", "Žlutá 🎨"},
        {"the marker itself as a value", "[S]\r\nKey=[undefined]\r\n", "S", "Key", "[undefined]"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Rule);
        EXPECT_EQ(TLanguageFile::FromBytes(c.File).ReadString(c.Section, c.Key), c.Expected);
        EXPECT_EQ(TLanguageFile::FromBytes("\xEF\xBB\xBF"s + std::string(c.File)).ReadString(c.Section, c.Key),
                  c.Expected);
    }
}

#define FIXTURE_TEXT                                                                                                   \
    "; Czech\r\n"                                                                                                      \
    "[FileInfo]\r\n"                                                                                                   \
    "Id=Czech\n"                                                                                                       \
    "Abbr = cs\r"                                                                                                      \
    "[TFormMain]\r\n"                                                                                                  \
    "sRed = Červená \r\n"                                                                                            \
    "sHint=první\\ndruhá\r\n"                                                                                        \
    "sPalette=🎨 paleta\r\n"                                                                                         \
    "[tformmain]\r\n"                                                                                                  \
    "sBlue=Modrá\r\n"

TEST(LanguageFileTest, SameTextInEveryEncodingGivesSameLookups)
{
    const TLanguageFile utf8 = TLanguageFile::FromBytes(Utf8Bytes(u8"" FIXTURE_TEXT));
    const TLanguageFile utf16le = TLanguageFile::FromBytes(Utf16Bytes(u"" FIXTURE_TEXT, false));
    const TLanguageFile utf16be = TLanguageFile::FromBytes(Utf16Bytes(u"" FIXTURE_TEXT, true));

    const std::pair<std::string_view, std::string_view> lookups[] = {
        {"FileInfo", "Id"},     {"FileInfo", "Abbr"},      {"TFormMain", "sRed"},
        {"TFormMain", "sHint"}, {"TFormMain", "sPalette"}, {"TFormMain", "sBlue"},
    };
    for (const auto& [section, key] : lookups) {
        SCOPED_TRACE(std::string(section) + "." + std::string(key));
        EXPECT_EQ(utf16le.ReadString(section, key), utf8.ReadString(section, key));
        EXPECT_EQ(utf16be.ReadString(section, key), utf8.ReadString(section, key));
    }
    EXPECT_EQ(utf8.ReadString("FileInfo", "Abbr"), "cs");
    EXPECT_EQ(utf8.ReadString("TFormMain", "sRed"), "Červená");
    EXPECT_EQ(utf8.ReadString("TFormMain", "sHint"), "první\r\ndruhá");
    EXPECT_EQ(utf8.ReadString("TFormMain", "sPalette"), "🎨 paleta");
    EXPECT_EQ(utf8.ReadString("TFormMain", "sBlue"), "[undefined]");
}

TEST(LanguageFileTest, FileWithoutMarkGoesThroughTheAnsiDecoder)
{
    const auto refuseAll = [](std::string_view) -> std::optional<std::string> { return std::nullopt; };

    EXPECT_EQ(TLanguageFile::FromBytes("[S]\r\nKey=\xE9t\xE9\r\n", DecodeLatin1).ReadString("S", "Key"), "été");
    EXPECT_THROW(TLanguageFile::FromBytes("[S]\r\nKey=x\r\n", refuseAll), ELanguageFile);
    // A byte-order mark decides the encoding by itself.
    EXPECT_EQ(TLanguageFile::FromBytes("\xEF\xBB\xBF[S]\r\nKey=été\r\n", refuseAll).ReadString("S", "Key"), "été");
    // Natively the 8-bit code page is UTF-8, and invalid UTF-8 is refused.
    EXPECT_EQ(TLanguageFile::FromBytes("[S]\r\nKey=été\r\n").ReadString("S", "Key"), "été");
    EXPECT_THROW(TLanguageFile::FromBytes("[S]\r\nKey=\xE9t\xE9\r\n"), ELanguageFile);
}

TEST(LanguageFileTest, MalformedEncodingsFailCleanly)
{
    struct TCase {
        const char* Input;
        std::string Bytes;
        bool Loads;
    };
    const TCase cases[] = {
        {"empty file", ""s, true},
        {"UTF-8 mark only", "\xEF\xBB\xBF"s, true},
        {"UTF-16 LE mark only", "\xFF\xFE"s, true},
        {"truncated UTF-8 mark", "\xEF\xBB"s, false},
        {"half a UTF-16 mark", "\xFF"s, false},
        {"UTF-16 LE with an odd byte count", "\xFF\xFE[\x00S"s, false},
        {"UTF-16 BE with an odd byte count", "\xFE\xFF\x00"s, false},
        {"UTF-16 LE lone high surrogate", "\xFF\xFE\x00\xD8K\x00"s, false},
        {"UTF-16 LE high surrogate at the end", "\xFF\xFE\x3D\xD8"s, false},
        {"UTF-16 LE lone low surrogate", "\xFF\xFE\x00\xDC"s, false},
        {"UTF-16 BE two high surrogates", "\xFE\xFF\xD8\x00\xD8\x00"s, false},
        {"UTF-16 LE surrogate pair", "\xFF\xFE\x3C\xD8\xA8\xDF"s, true},
        {"UTF-16 with NUL characters", "\xFF\xFE\x00\x00\x00\x00"s, true},
        {"UTF-8 overlong slash", "\xEF\xBB\xBF\xC0\xAF"s, false},
        {"UTF-8 encoded surrogate", "\xEF\xBB\xBF\xED\xA0\x80"s, false},
        {"UTF-8 beyond U+10FFFF", "\xEF\xBB\xBF\xF4\x90\x80\x80"s, false},
        {"UTF-8 sequence cut at the end", "\xEF\xBB\xBF[S]\r\nK=\xC3"s, false},
        {"UTF-8 stray continuation byte", "\xEF\xBB\xBF\x80"s, false},
        {"UTF-8 with NUL characters", "\xEF\xBB\xBF[S]\r\nK=a\x00z"s, true},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Input);
        if (c.Loads)
            EXPECT_NO_THROW(TLanguageFile::FromBytes(c.Bytes));
        else
            EXPECT_THROW(TLanguageFile::FromBytes(c.Bytes), ELanguageFile);
    }
    EXPECT_EQ(TLanguageFile::FromBytes("\xFF\xFE[\0S\0]\0\n\0K\0=\0\x3C\xD8\xA8\xDF"s).ReadString("S", "K"), "🎨");
}

TEST(LanguageFileTest, GarbageEitherLoadsOrFailsWithTheLanguageFileError)
{
    // Built mostly from the pieces the parser reacts to, so that much of the
    // garbage parses and yields values, with raw bytes that break encodings.
    const std::string_view pieces[] = {"[S]", "[SK]", "[",    "]",   "S", "K",  "=",    ";",
                                       "\r",  "\n",   "\r\n", "\\n", " ", "\t", "\x01", "x"};
    const std::string hostile[] = {"\xC3\xA9", "\xC3", "\xD8", "\xDC", "\xFF", "\xFE", "\xED\xA0\x80", "\0"s};
    const std::string marks[] = {"", "\xEF\xBB\xBF", "\xFF\xFE", "\xFE\xFF"};
    std::mt19937 random(20240607);
    int loaded = 0;
    int found = 0;
    for (int round = 0; round < 4000; ++round) {
        const std::size_t encoding = static_cast<std::size_t>(round) % 4;
        std::string bytes = marks[encoding];
        const std::size_t length = random() % 40;
        for (std::size_t i = 0; i < length; ++i) {
            if (random() % 10 == 0) {
                bytes += hostile[random() % std::size(hostile)];
                continue;
            }
            for (const char c : pieces[random() % std::size(pieces)]) {
                if (encoding == 3)
                    bytes += '\0';
                bytes += c;
                if (encoding == 2)
                    bytes += '\0';
            }
        }
        try {
            const TLanguageFile file = TLanguageFile::FromBytes(bytes);
            ++loaded;
            for (const std::string_view section : {"S", "", "SK"}) {
                for (const std::string_view key : {"K", "", "SK"}) {
                    const std::string value = file.ReadString(section, key);
                    ASSERT_TRUE(DecodeUtf8(value).has_value()) << "round " << round;
                    ASSERT_FALSE(HasBlankEnd(value)) << "round " << round;
                    if (value != UndefinedText)
                        ++found;
                }
            }
        } catch (const ELanguageFile&) {
        }
    }
    EXPECT_GT(loaded, 0);
    EXPECT_GT(found, 0);
}

TEST(LanguageFileTest, ReadsFilesFromDisk)
{
    const TTempFolder folder;

    const TLanguageFile missing(folder.Path() / "Missing.ini");
    EXPECT_EQ(missing.ReadString("FileInfo", "Id"), "[undefined]");

    const fs::path good = folder.Write("Good.ini", "\xEF\xBB\xBF[FileInfo]\r\nId=Good\r\n");
    EXPECT_EQ(TLanguageFile(good).ReadString("FileInfo", "Id"), "Good");

    const fs::path broken = folder.Write("Broken.ini", "\xFF\xFE\x00\xDC"s);
    try {
        TLanguageFile file(broken);
        ADD_FAILURE() << "an undecodable file loaded";
    } catch (const ELanguageFile& e) {
        EXPECT_NE(std::string(e.what()).find("Broken.ini"), std::string::npos) << e.what();
    }

    fs::create_directory(folder.Path() / "Folder.ini");
    EXPECT_THROW(TLanguageFile(folder.Path() / "Folder.ini"), ELanguageFile);
}

TEST(LanguageFileTest, FirstSectionAloneGivesTheWholeFilesLookups)
{
    // The folder scan reads only the identity of each file; it must see
    // what the whole file shows, duplicates and odd line ends included.
    const std::string_view files[] = {
        FIXTURE_TEXT,
        "[FileInfo]\r\nId=First\r\nAbbr=fi\r\n[FILEINFO]\r\nId=Second\r\nAbbr=se\r\n",
        "[Other]\r\nId=Other\r\n[ fileinfo ]\r\nabbr = xx \r\nID=Lower\r\nId=Later",
        "[FileInfo]\rId=CR only\r[Next]\rAbbr=no",
        "Id=outside\r\n[FileInfoX]\r\nId=X\r\n[FileInfo]x\r\nId=Y\r\n",
        "[Big]\r\nKey=1\r\n[FileInfo]",
        "",
    };
    const TTempFolder folder;
    for (const std::string_view text : files) {
        SCOPED_TRACE(std::string(text));
        const fs::path file = folder.Write("Language.ini", text);
        const TLanguageFile whole(file);
        const TLanguageFile first = TLanguageFile::FirstSectionOf(file, "FileInfo");
        for (const std::string_view key : {"Id", "Abbr", "Missing"})
            EXPECT_EQ(first.ReadString("FileInfo", key), whole.ReadString("FileInfo", key)) << key;
    }

    EXPECT_EQ(TLanguageFile::FirstSectionOf(folder.Path() / "Missing.ini", "FileInfo").ReadString("FileInfo", "Id"),
              "[undefined]");
    // What the whole file cannot decode fails here too, also behind the section.
    const fs::path broken = folder.Write("Broken.ini", "\xEF\xBB\xBF[FileInfo]\r\nId=Broken\r\n[S]\r\nK=\xC3"s);
    EXPECT_THROW(TLanguageFile::FirstSectionOf(broken, "FileInfo"), ELanguageFile);
}

TEST(LanguageFileTest, LargeFilesAndLongLines)
{
    const TTempFolder folder;

    std::string big = "\xEF\xBB\xBF";
    int sections = 0;
    while (big.size() < 10u * 1024u * 1024u) {
        big += "[Section" + std::to_string(sections) + "]\r\nKey=Value " + std::to_string(sections) + "\r\n";
        ++sections;
    }
    const TLanguageFile bigFile(folder.Write("Big.ini", big));
    EXPECT_EQ(bigFile.ReadString("Section0", "Key"), "Value 0");
    EXPECT_EQ(bigFile.ReadString("SECTION" + std::to_string(sections - 1), "key"),
              "Value " + std::to_string(sections - 1));
    EXPECT_EQ(bigFile.ReadString("Section", "Key"), "[undefined]");

    const std::string longValue(1024u * 1024u, 'x');
    const TLanguageFile longLine = TLanguageFile::FromBytes("[S]\r\nKey=" + longValue + "\\n" + longValue + "\r\n");
    EXPECT_EQ(longLine.ReadString("S", "Key"), longValue + "\r\n" + longValue);

    const fs::path tooLarge = folder.Write("TooLarge.ini", std::string(MaxLanguageFileSize + 1, ';'));
    EXPECT_THROW(TLanguageFile{tooLarge}, ELanguageFile);
}
