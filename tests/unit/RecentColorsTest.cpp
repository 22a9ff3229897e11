#include "color/RecentColors.h"
#include "settings/Settings.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

namespace {

std::vector<TColor> ListOf(const TRecentColors& colors)
{
    return {colors.Colors().begin(), colors.Colors().end()};
}

std::string SavedText(const TSettings& settings, std::string_view before = "")
{
    return SetSettingsValues(before, SavedValues(settings));
}

} // namespace

TEST(RecentColors, AddKeepsNewestFirstEachOnceAndSixteenAtMost)
{
    const auto sixteenToOne = [] {
        std::vector<TColor> colors;
        for (TColor c = 16; c >= 1; --c)
            colors.push_back(c);
        return colors;
    };
    struct TRow {
        const char* Name;
        std::vector<TColor> Added; // in this order
        std::vector<TColor> Expected;
    };
    const TRow rows[] = {
        {"nothing added", {}, {}},
        {"newest first", {0x3366CC, 0xFF8000, 0x000000}, {0x000000, 0xFF8000, 0x3366CC}},
        {"a color used again moves to the front", {1, 2, 3, 1}, {1, 3, 2}},
        {"the same color twice in a row", {5, 5}, {5}},
        {"sixteen fit", sixteenToOne(),
         [] {
             std::vector<TColor> colors;
             for (TColor c = 1; c <= 16; ++c)
                 colors.push_back(c);
             return colors;
         }()},
        {"the seventeenth pushes the oldest out",
         [] {
             std::vector<TColor> colors;
             for (TColor c = 1; c <= 17; ++c)
                 colors.push_back(c);
             return colors;
         }(),
         [] {
             std::vector<TColor> colors;
             for (TColor c = 17; c >= 2; --c)
                 colors.push_back(c);
             return colors;
         }()},
        {"the oldest of sixteen used again stays",
         [] {
             std::vector<TColor> colors;
             for (TColor c = 1; c <= 16; ++c)
                 colors.push_back(c);
             colors.push_back(1);
             return colors;
         }(),
         [] {
             std::vector<TColor> colors{1};
             for (TColor c = 16; c >= 2; --c)
                 colors.push_back(c);
             return colors;
         }()},
        {"values that are no color are refused", {-1, 0x1000000, 0xFFFFFF, 0}, {0, 0xFFFFFF}},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Name);
        TRecentColors colors;
        for (const TColor color : row.Added)
            colors.Add(color);
        EXPECT_EQ(ListOf(colors), row.Expected);
    }
}

TEST(RecentColors, StoredValuesAndWhatTheyGive)
{
    struct TRow {
        std::string_view Value;
        std::vector<TColor> Expected;
    };
    const TRow rows[] = {
        {"", {}},
        {"   ", {}},
        {"13395507", {0xCC6633}},
        {"13395507,33023,0", {0xCC6633, 0x0080FF, 0}},
        {" 13395507 , 33023 ", {0xCC6633, 0x0080FF}},
        {"0xCC6633,$ff", {0xCC6633, 0xFF}}, // as the file's numbers may be written
        {"1,2,1,3", {1, 2, 3}},             // twice: where it comes first
        {"1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}},
        // Bad values: the whole list is dropped, nothing of it is guessed.
        {"red", {}},
        {"1,red,3", {}},
        {"1,,3", {}},
        {"1,2,", {}},
        {",1", {}},
        {"16777216", {}},
        {"-1", {}},
        {"99999999999999999999", {}},
        {"1;2", {}},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Value);
        EXPECT_EQ(ListOf(ParseRecentColorsValue(row.Value)), row.Expected);
    }
}

TEST(RecentColors, SettingsRoundTrip)
{
    TSettings settings = DefaultSettings(10);
    for (const TColor color : {0x000000, 0xFFFFFF, 0x3366CC, 0x0080FF})
        settings.RecentColors.Add(color);
    settings.TwoColorMode = true;
    const std::string text = SavedText(settings);
    EXPECT_NE(text.find("RecentColors=33023,3368652,16777215,0\r\n"), std::string::npos) << text;

    const TSettings read = ParseSettings(text, 10);
    EXPECT_EQ(ListOf(read.RecentColors), ListOf(settings.RecentColors));
    EXPECT_TRUE(read.TwoColorMode);
    EXPECT_TRUE(read.RecentColorsStored);
}

TEST(RecentColors, ABadStoredValueLosesNothingElse)
{
    const std::string text = "[Settings]\r\nUppercaseCode=1\r\nRecentColors=#3366cc;junk\r\nDropperZoomFactor=12\r\n";
    const TSettings read = ParseSettings(text, 10);
    EXPECT_TRUE(read.RecentColors.Empty());
    EXPECT_TRUE(read.UppercaseCode);
    EXPECT_EQ(read.DropperZoomFactor, 12);
    // The next save puts a good value in place of the bad one.
    TSettings next = read;
    next.RecentColors.Add(0x3366CC);
    EXPECT_EQ(ParseSettings(SavedText(next, text), 10).RecentColors, next.RecentColors);
}

TEST(RecentColors, AFileKeepsItsShapeUntilThereIsAColorAndAClearedListStaysCleared)
{
    // Without colors a file that never had the key gains none.
    const std::string before = "[Settings]\r\nTwoColorMode=1\r\n";
    TSettings settings = ParseSettings(before, 10);
    EXPECT_EQ(SavedText(settings, before).find("RecentColors"), std::string::npos);

    settings.RecentColors.Add(0x123456);
    const std::string withColors = SavedText(settings, before);
    TSettings read = ParseSettings(withColors, 10);
    ASSERT_EQ(read.RecentColors.Size(), 1u);

    read.RecentColors.Clear();
    const std::string cleared = SavedText(read, withColors);
    EXPECT_NE(cleared.find("RecentColors=\r\n"), std::string::npos) << cleared;
    EXPECT_TRUE(ParseSettings(cleared, 10).RecentColors.Empty());
}

TEST(RecentColors, PaletteTexts)
{
    const std::vector<TColor> colors{0xCC6633, 0x0080FF, 0x000000}; // #3366cc, #ff8000, black
    EXPECT_EQ(CssCustomPropertiesText(colors), "--color-1: #3366cc;\r\n--color-2: #ff8000;\r\n--color-3: #000000;\r\n");
    EXPECT_EQ(GimpPaletteText(colors), "GIMP Palette\r\nName: Vesk Color Picker\r\n#\r\n"
                                       " 51 102 204\t#3366cc\r\n"
                                       "255 128   0\t#ff8000\r\n"
                                       "  0   0   0\t#000000\r\n");
    EXPECT_EQ(CssCustomPropertiesText({}), "");
    EXPECT_EQ(GimpPaletteText({}), "GIMP Palette\r\nName: Vesk Color Picker\r\n#\r\n");
}

TEST(RecentColors, PickCounterCountsEachColorOfARunOnce)
{
    TPickCounter counter;
    EXPECT_TRUE(counter.Add(1));
    EXPECT_FALSE(counter.Add(1));
    EXPECT_TRUE(counter.Add(2));
    EXPECT_FALSE(counter.Add(1));
    EXPECT_EQ(counter.Count(), 2);
    // More colors than the list holds still count, each once.
    for (TColor color = 10; color < 40; ++color)
        EXPECT_TRUE(counter.Add(color));
    EXPECT_FALSE(counter.Add(39));
    EXPECT_EQ(counter.Count(), 32);
}
