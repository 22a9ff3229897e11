#include "common/IniLine.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <string_view>

using namespace std::string_literals;

namespace {

struct TExpected {
    TIniLineKind Kind = TIniLineKind::Other;
    std::string Name = {};
    std::string Value = {};

    bool operator==(const TExpected&) const = default;
};

void PrintTo(const TExpected& line, std::ostream* out)
{
    constexpr const char* kinds[] = {"Blank", "Comment", "Section", "Key", "Other"};
    *out << kinds[static_cast<int>(line.Kind)] << " " << testing::PrintToString(line.Name) << " = "
         << testing::PrintToString(line.Value);
}

TExpected Read(std::string_view line, const TIniRules& rules)
{
    const TIniLine read = ReadIniLine(line, rules);
    return {read.Kind, std::string(read.Name), std::string(read.Value)};
}

constexpr auto Blank = TIniLineKind::Blank;
constexpr auto Comment = TIniLineKind::Comment;
constexpr auto Section = TIniLineKind::Section;
constexpr auto Key = TIniLineKind::Key;
constexpr auto Other = TIniLineKind::Other;

} // namespace

// The language files and the settings file read one line the same way except
// where a section name ends, which characters are blanks, and whether a key
// may have an empty name; both columns side by side.
TEST(IniLineTest, LanguageAndSettingsRulesSideBySide)
{
    struct TCase {
        const char* Rule;
        std::string Line;
        TExpected Language;
        TExpected Settings;
    };
    const TCase cases[] = {
        // The same under both rules.
        {"empty line", "", {Blank}, {Blank}},
        {"blanks only", " \t ", {Blank}, {Blank}},
        {"comment", "; Key=value", {Comment}, {Comment}},
        {"indented comment", "  ;x", {Comment}, {Comment}},
        {"hash is no comment", "#Key=v", {Key, "#Key", "v"}, {Key, "#Key", "v"}},
        {"key and value trimmed", "  Key \t=  two words \t", {Key, "Key", "two words"}, {Key, "Key", "two words"}},
        {"value holds =", "a=b = c", {Key, "a", "b = c"}, {Key, "a", "b = c"}},
        {"empty value", "Key=", {Key, "Key", ""}, {Key, "Key", ""}},
        {"quotes stay", "Key=\"v\"", {Key, "Key", "\"v\""}, {Key, "Key", "\"v\""}},
        {"line without =", "Key", {Other}, {Other}},
        {"section", "[Settings]", {Section, "Settings"}, {Section, "Settings"}},
        {"section name trimmed", " [ \tS  ] ", {Section, "S"}, {Section, "S"}},
        {"empty section name", "[]", {Section, ""}, {Section, ""}},
        {"unclosed bracket", "[S", {Other}, {Other}},
        {"unclosed bracket with =", "[S=1", {Key, "[S", "1"}, {Key, "[S", "1"}},
        {"vertical tab and form feed", "\vKey\f=\tv\f", {Key, "Key", "v"}, {Key, "Key", "v"}},
        // Where a section name ends.
        {"text after the header", "[S]x", {Other}, {Section, "S"}},
        {"comment after the header", "[S] ; note", {Other}, {Section, "S"}},
        {"bracket inside the name", "[a]b]", {Section, "a]b"}, {Section, "a"}},
        {"bracketed key", "[x]=y", {Key, "[x]", "y"}, {Section, "x"}},
        // Which characters are blanks.
        {"control characters", "\x01Key\x1F=\x02v", {Key, "Key", "v"}, {Key, "\x01Key\x1F", "\x02v"}},
        {"control character only", "\x01", {Blank}, {Other}},
        {"NUL before a comment", "\0;x"s, {Comment}, {Other}},
        // Whether a key may have an empty name.
        {"empty key", "=value", {Key, "", "value"}, {Other}},
        {"blank key", "  \t= value", {Key, "", "value"}, {Other}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Rule);
        EXPECT_EQ(Read(c.Line, LanguageFileRules), c.Language);
        EXPECT_EQ(Read(c.Line, SettingsFileRules), c.Settings);
    }
}

TEST(IniLineTest, NamesAreViewsIntoTheLine)
{
    // The settings writer replaces a value in place, behind the key's name.
    const std::string_view line = "  Key = 1";
    for (const TIniRules& rules : {LanguageFileRules, SettingsFileRules}) {
        const TIniLine read = ReadIniLine(line, rules);
        ASSERT_EQ(read.Kind, Key);
        EXPECT_EQ(read.Name.data(), line.data() + 2);
        EXPECT_EQ(read.Value.data(), line.data() + 8);
    }
}
