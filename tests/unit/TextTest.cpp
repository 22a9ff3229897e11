#include "common/Text.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

using namespace std::string_literals;

namespace {

std::string Utf8(std::u8string_view text)
{
    return std::string(text.begin(), text.end());
}

constexpr TInvalidText Policies[] = {TInvalidText::Refuse, TInvalidText::Replace, TInvalidText::KeepSurrogates};

const char* PolicyName(TInvalidText policy)
{
    switch (policy) {
    case TInvalidText::Refuse: return "Refuse";
    case TInvalidText::Replace: return "Replace";
    case TInvalidText::KeepSurrogates: return "KeepSurrogates";
    }
    return "?";
}

} // namespace

TEST(TextTest, ValidTextConvertsBothWaysUnderEveryPolicy)
{
    struct TCase {
        const char* Name;
        std::string Utf8;
        std::u16string Utf16;
    };
    const TCase cases[] = {
        {"empty", "", u""},
        {"ASCII with NUL", "a\0z"s, u"a\0z"s},
        {"two-byte forms", Utf8(u8"\u0080 é \u07FF"), u"\u0080 é \u07FF"},
        {"three-byte forms", Utf8(u8"\u0800 \uD7FF \uE000 \uFFFD \uFFFF"), u"\u0800 \uD7FF \uE000 \uFFFD \uFFFF"},
        {"first plane above the BMP", Utf8(u8"\U00010000"), {0xD800, 0xDC00}},
        {"emoji", Utf8(u8"🎨"), {0xD83C, 0xDFA8}},
        {"last code point", Utf8(u8"\U0010FFFF"), {0xDBFF, 0xDFFF}},
        {"mixed", Utf8(u8"Čeština 😀!"), u"Čeština 😀!"},
    };
    for (const TCase& c : cases) {
        for (const TInvalidText policy : Policies) {
            SCOPED_TRACE(std::string(c.Name) + ", " + PolicyName(policy));
            EXPECT_TRUE(IsValidUtf8(c.Utf8));
            EXPECT_EQ(SanitizedUtf8(c.Utf8), c.Utf8);
            EXPECT_EQ(Utf8ToUtf16(c.Utf8, policy), c.Utf16);
            EXPECT_EQ(Utf16ToUtf8(c.Utf16, policy), c.Utf8);
        }
    }
}

TEST(TextTest, InvalidUtf8UnderEachPolicy)
{
    constexpr char16_t fffd = 0xFFFD;
    struct TCase {
        const char* Name;
        std::string Bytes;
        std::u16string Replaced;       // Replace: U+FFFD for each byte that starts nothing valid
        std::u16string KeptSurrogates; // KeepSurrogates
    };
    const TCase cases[] = {
        {"overlong slash", "\xC0\xAF", {fffd, fffd}, {fffd, fffd}},
        {"overlong three-byte", "\xE0\x80\xAF", {fffd, fffd, fffd}, {fffd, fffd, fffd}},
        {"overlong four-byte", "\xF0\x8F\xBF\xBF", {fffd, fffd, fffd, fffd}, {fffd, fffd, fffd, fffd}},
        {"encoded high surrogate", "\xED\xA0\x80", {fffd, fffd, fffd}, {0xD800}},
        {"encoded low surrogate", "\xED\xBF\xBF", {fffd, fffd, fffd}, {0xDFFF}},
        {"beyond U+10FFFF", "\xF4\x90\x80\x80", {fffd, fffd, fffd, fffd}, {fffd, fffd, fffd, fffd}},
        {"lead byte F5", "\xF5\x80", {fffd, fffd}, {fffd, fffd}},
        {"stray continuation byte", "a\x80z", {u'a', fffd, u'z'}, {u'a', fffd, u'z'}},
        {"sequence cut at the end", "a\xC3", {u'a', fffd}, {u'a', fffd}},
        {"sequence cut by ASCII", "\xE2\x82z", {fffd, fffd, u'z'}, {fffd, fffd, u'z'}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_FALSE(IsValidUtf8(c.Bytes));
        EXPECT_EQ(Utf8ToUtf16(c.Bytes, TInvalidText::Refuse), std::nullopt);
        EXPECT_EQ(Utf8ToUtf16(c.Bytes, TInvalidText::Replace), c.Replaced);
        EXPECT_EQ(Utf8ToUtf16(c.Bytes, TInvalidText::KeepSurrogates), c.KeptSurrogates);
        // The sanitized text is what the replaced units say, and valid.
        const std::string sanitized = SanitizedUtf8(c.Bytes);
        EXPECT_TRUE(IsValidUtf8(sanitized));
        EXPECT_EQ(Utf16ToUtf8(c.Replaced, TInvalidText::Refuse), sanitized);
    }
}

TEST(TextTest, UnpairedSurrogatesUnderEachPolicy)
{
    const std::string fffd = Utf8(u8"\uFFFD");
    struct TCase {
        const char* Name;
        std::u16string Units;
        std::string Replaced;
        std::string Kept;
    };
    const TCase cases[] = {
        {"high surrogate at the end", {u'a', 0xD83D}, "a" + fffd, "a\xED\xA0\xBD"},
        {"high surrogate before a letter",
         {0xD83D, u'a'},
         fffd + "a",
         "\xED\xA0\xBD"
         "a"},
        {"lone low surrogate", {0xDC00}, fffd, "\xED\xB0\x80"},
        {"two high surrogates", {0xD800, 0xD800}, fffd + fffd, "\xED\xA0\x80\xED\xA0\x80"},
        {"pair in the wrong order", {0xDE00, 0xD83D}, fffd + fffd, "\xED\xB8\x80\xED\xA0\xBD"},
        {"lone high then a pair", {0xD800, 0xD83D, 0xDE00}, fffd + Utf8(u8"😀"), "\xED\xA0\x80" + Utf8(u8"😀")},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(Utf16ToUtf8(c.Units, TInvalidText::Refuse), std::nullopt);
        EXPECT_EQ(Utf16ToUtf8(c.Units, TInvalidText::Replace), c.Replaced);
        EXPECT_EQ(Utf16ToUtf8(c.Units, TInvalidText::KeepSurrogates), c.Kept);
        // Kept surrogates come back as the same units; strict readers refuse them.
        EXPECT_EQ(Utf8ToUtf16(c.Kept, TInvalidText::KeepSurrogates), c.Units);
        EXPECT_FALSE(IsValidUtf8(c.Kept));
    }
}

TEST(TextTest, AnyUnitSequenceSurvivesTheLosslessRoundTrip)
{
    // Surrogates and their neighbours are drawn often, so that lone halves,
    // pairs and reversed pairs all occur.
    const char16_t interesting[] = {0x0000, 0x007F, 0x0080, 0x07FF, 0x0800, 0xD7FF, 0xD800,
                                    0xDBFF, 0xDC00, 0xDFFF, 0xE000, 0xFFFD, 0xFFFF, u'='};
    std::mt19937 random(4711);
    for (int round = 0; round < 2000; ++round) {
        std::u16string units;
        const std::size_t length = random() % 12;
        for (std::size_t i = 0; i < length; ++i)
            units += random() % 2 == 0 ? interesting[random() % std::size(interesting)]
                                       : static_cast<char16_t>(random() % 0x10000);
        const std::optional<std::string> text = Utf16ToUtf8(units, TInvalidText::KeepSurrogates);
        ASSERT_TRUE(text.has_value());
        ASSERT_EQ(Utf8ToUtf16(*text, TInvalidText::KeepSurrogates), units) << "round " << round;
        // Replacing always gives valid text.
        const std::optional<std::string> replaced = Utf16ToUtf8(units, TInvalidText::Replace);
        ASSERT_TRUE(replaced.has_value() && IsValidUtf8(*replaced)) << "round " << round;
    }
}

TEST(TextTest, Utf16BytesInBothOrders)
{
    const std::u16string units = {u'A', 0x00E9, 0xD83D, 0xDE00};
    const std::string little = "A\0\xE9\0\x3D\xD8\x00\xDE"s;
    const std::string big = "\0A\0\xE9\xD8\x3D\xDE\x00"s;
    EXPECT_EQ(Utf16ToBytes(units, TByteOrder::LittleEndian), little);
    EXPECT_EQ(Utf16ToBytes(units, TByteOrder::BigEndian), big);
    EXPECT_EQ(Utf16FromBytes(little, TByteOrder::LittleEndian), units);
    EXPECT_EQ(Utf16FromBytes(big, TByteOrder::BigEndian), units);
    // An odd last byte is the caller's to judge; the units before it stand.
    EXPECT_EQ(Utf16FromBytes(little + "X", TByteOrder::LittleEndian), units);
    EXPECT_EQ(Utf16FromBytes("X", TByteOrder::BigEndian), u"");
}

TEST(TextTest, ByteOrderMarks)
{
    struct TCase {
        std::string Bytes;
        TByteOrderMark Mark;
    };
    const TCase cases[] = {
        {"", TByteOrderMark::None},
        {"\xEF\xBB\xBF", TByteOrderMark::Utf8},
        {"\xEF\xBB\xBFtext", TByteOrderMark::Utf8},
        {"\xEF\xBB", TByteOrderMark::None},
        {"\xFF\xFE", TByteOrderMark::Utf16Le},
        {"\xFF\xFE\0\0"s, TByteOrderMark::Utf16Le},
        {"\xFE\xFF\0A"s, TByteOrderMark::Utf16Be},
        {"\xFF", TByteOrderMark::None},
        {"\xFE", TByteOrderMark::None},
        {"text\xEF\xBB\xBF", TByteOrderMark::None},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.Bytes));
        EXPECT_EQ(ByteOrderMarkOf(c.Bytes), c.Mark);
        EXPECT_TRUE(c.Bytes.starts_with(ByteOrderMarkBytes(c.Mark)));
    }
    EXPECT_EQ(ByteOrderMarkBytes(TByteOrderMark::None), "");
    EXPECT_EQ(ByteOrderMarkBytes(TByteOrderMark::Utf16Be), "\xFE\xFF");
}

TEST(TextTest, Latin1GivesEachByteItsOwnCharacter)
{
    EXPECT_EQ(Latin1ToUtf8("caf\xE9"), Utf8(u8"café"));
    std::string every;
    for (int byte = 0; byte < 256; ++byte)
        every += static_cast<char>(byte);
    const std::string text = Latin1ToUtf8(every);
    ASSERT_TRUE(IsValidUtf8(text));
    const std::optional<std::u16string> units = Utf8ToUtf16(text, TInvalidText::Refuse);
    ASSERT_TRUE(units.has_value());
    ASSERT_EQ(units->size(), 256u);
    for (std::size_t i = 0; i < units->size(); ++i)
        EXPECT_EQ(static_cast<std::size_t>((*units)[i]), i);
}

TEST(TextTest, Trimming)
{
    struct TCase {
        std::string Text;
        std::string SpacesAndControls; // Trim(text)
        std::string SpaceAndTab;       // Trim(text, " \t")
    };
    const TCase cases[] = {
        {"", "", ""},
        {"   ", "", ""},
        {" \t a b \t ", "a b", "a b"},
        {"\x01\x1F"
         "a"
         "\r\n",
         "a",
         "\x01\x1F"
         "a"
         "\r\n"},
        {"\0a\0"s, "a", "\0a\0"s},
        {"\x7F"
         "a"
         "\x7F",
         "\x7F"
         "a"
         "\x7F",
         "\x7F"
         "a"
         "\x7F"},
        // Bytes of UTF-8 characters are above U+0020 and never trimmed.
        {Utf8(u8" \u00A0é\u00A0 "), Utf8(u8"\u00A0é\u00A0"), Utf8(u8"\u00A0é\u00A0")},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.Text));
        EXPECT_EQ(Trim(c.Text), c.SpacesAndControls);
        EXPECT_EQ(Trim(c.Text, " \t"), c.SpaceAndTab);
    }
}

TEST(TextTest, CaseBlindComparisonFoldsOnlyBasicLatinLetters)
{
    struct TCase {
        std::string_view A;
        std::string_view B;
        bool Equal;
    };
    const TCase cases[] = {
        {"", "", true},
        {"Caption", "CAPTION", true},
        {"tformmain", "TFormMain", true},
        {"AZaz", "azAZ", true},
        {"Key", "Key ", false},
        {"Key", "Ke", false},
        // Characters 0x20 apart that are no letters stay different.
        {"[", "{", false},
        {"@", "`", false},
        {"^", "~", false},
        {"1", "\x11", false},
        // Beyond ASCII nothing folds, whatever the user's locale.
        {"\xC3\xA9", "\xC3\x89", false},
        {"\xC3\xA9", "\xC3\xA9", true},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(std::string(c.A) + " | " + std::string(c.B));
        EXPECT_EQ(EqualsIgnoringAsciiCase(c.A, c.B), c.Equal);
        EXPECT_EQ(EqualsIgnoringAsciiCase(c.B, c.A), c.Equal);
    }
}

TEST(TextTest, LinesEndAtCrLfLfOrCr)
{
    struct TCase {
        const char* Name;
        std::string_view Text;
        std::vector<std::string_view> Lines;
        std::vector<std::string_view> Ends;
    };
    const TCase cases[] = {
        {"empty text", "", {}, {}},
        {"no line end", "a", {"a"}, {""}},
        {"break at the end starts no line", "a\r\n", {"a"}, {"\r\n"}},
        {"each kind", "a\rb\nc\r\nd", {"a", "b", "c", "d"}, {"\r", "\n", "\r\n", ""}},
        {"LF CR is two ends", "a\n\rb", {"a", "", "b"}, {"\n", "\r", ""}},
        {"CR CR LF", "a\r\r\n", {"a", ""}, {"\r", "\r\n"}},
        {"empty lines", "\n\n", {"", ""}, {"\n", "\n"}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        std::vector<std::string_view> lines;
        std::vector<std::string_view> ends;
        std::size_t next = 0;
        for (const TTextLine& line : SplitLines(c.Text)) {
            EXPECT_EQ(line.Begin, next) << "lines cover the text without gaps";
            lines.push_back(c.Text.substr(line.Begin, line.TextEnd - line.Begin));
            ends.push_back(c.Text.substr(line.TextEnd, line.End - line.TextEnd));
            next = line.End;
        }
        EXPECT_EQ(next, c.Text.size());
        EXPECT_EQ(lines, c.Lines);
        EXPECT_EQ(ends, c.Ends);
    }
}

TEST(LessIgnoringAsciiCase, SortsAsAWindowsFolderListing)
{
    std::vector<std::string> names{"_Test.ini", "german.ini", "English.ini", "[x].ini",
                                   "Czech.ini", "czech2.ini", "Zulu.ini",    "abc.ini"};
    std::sort(names.begin(), names.end(), LessIgnoringAsciiCase);
    // Letters as capitals: "[" (0x5B) and "_" (0x5F) come after "Z" (0x5A).
    EXPECT_EQ(names, (std::vector<std::string>{"abc.ini", "Czech.ini", "czech2.ini", "English.ini", "german.ini",
                                               "Zulu.ini", "[x].ini", "_Test.ini"}));
    EXPECT_TRUE(LessIgnoringAsciiCase("CZECH", "czech")); // equal but for case: bytes decide
    EXPECT_FALSE(LessIgnoringAsciiCase("czech", "CZECH"));
    EXPECT_FALSE(LessIgnoringAsciiCase("a", "a"));
}
