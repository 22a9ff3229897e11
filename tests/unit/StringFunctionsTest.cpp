#include "color/StringFunctions.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

TEST(ZeroPaddedStr, PadsShortTextOnly)
{
    struct Row {
        const char* text;
        int width;
        const char* expected;
    };
    const Row rows[] = {
        {"5", 3, "005"},
        {"", 2, "00"},
        {"123", 3, "123"},
        {"1234", 3, "1234"},
        {"abc", 0, "abc"},
        {"abc", -4, "abc"},
        // Characters, not bytes: two-, three- and four-byte UTF-8.
        {"\xC3\xA9", 3, "00\xC3\xA9"},
        {"\xE2\x82\xAC"
         "5",
         3,
         "0\xE2\x82\xAC"
         "5"},
        {"\xF0\x9F\x8E\xA8", 2, "0\xF0\x9F\x8E\xA8"},
        {"\xC3\xA9\xC3\xA9", 2, "\xC3\xA9\xC3\xA9"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string("\"") + row.text + "\" width " + std::to_string(row.width));
        EXPECT_EQ(ZeroPaddedStr(row.text, row.width), row.expected);
    }
}

TEST(IntToZeroPaddedStr, SignStandsOutsideTheWidth)
{
    struct Row {
        std::int64_t value;
        int width;
        const char* expected;
    };
    const Row rows[] = {
        {5, 3, "005"},
        {1234, 3, "1234"},
        {-5, 3, "-005"},
        {-1234, 3, "-1234"},
        {0, 8, "00000000"},
        {16777215, 8, "16777215"},
        {-1, 8, "-00000001"},
        {INT64_MAX, 1, "9223372036854775807"},
        // The one value whose magnitude std::int64_t cannot hold.
        {INT64_MIN, 1, "-9223372036854775808"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.value) + " width " + std::to_string(row.width));
        EXPECT_EQ(IntToZeroPaddedStr(row.value, row.width), row.expected);
    }
}

TEST(JoinStrings, PutsTheSeparatorBetweenNeighboursOnly)
{
    EXPECT_EQ(JoinStrings(", ", {}), "");
    EXPECT_EQ(JoinStrings(", ", {"Red"}), "Red");
    EXPECT_EQ(JoinStrings(", ", {"Red", "Green", "Blue"}), "Red, Green, Blue");
    EXPECT_EQ(JoinStrings(",", {"", "", ""}), ",,");
    EXPECT_EQ(JoinStrings("", {"a", "b"}), "ab");
}

TEST(DoubleQuoted, AddsOnlyTheMissingQuotes)
{
    struct Row {
        const char* text;
        const char* expected;
    };
    const Row rows[] = {
        {"", "\"\""},
        {"\"", "\"\""},
        {"\"\"", "\"\""},
        {"C:\\Program Files\\License.txt", "\"C:\\Program Files\\License.txt\""},
        {"\"already\"", "\"already\""},
        {"\"open", "\"open\""},
        {"close\"", "\"close\""},
        {"in\"side", "\"in\"side\""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(DoubleQuoted(row.text), row.expected);
    }
}

} // namespace
