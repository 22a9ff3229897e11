#include "app/LanguageKeys.h"

#include "about/AboutTexts.h"
#include "app/Commands.h"
#include "dropper/ZoomTexts.h"
#include "i18n/LanguageSupport.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace {

constexpr std::string_view FileInfoKeys[] = {"Id", "Abbr"};

struct TLaterText {
    std::string_view Key;
    std::string_view English;
};

// Texts of the main window added after the first language files; English.ini
// holds the same words (the shipped-languages test compares them).
constexpr TLaterText LaterMainTexts[] = {
    {"sContrastRatio", "Contrast ratio"},
    {"sContrastMarks", "Marks below the ratio, from the left (small: normal text, large: large text, filled: passes):"},
    {"sNormalText", "normal text"},
    {"sLargeText", "large text"},
    {"sPasses", "passes"},
    {"sFails", "fails"},
    {"MCode_CopyContrastRatio", "Copy Contrast &Ratio"},
    {"sPrimaryColor", "Primary color"},
    {"sSecondaryColor", "Secondary color"},
    {"sValueRange", "{min} to {max}"},
    {"sPress", "Press"},
    {"MColor_RecentColors", "R&ecent Colors"},
    {"MRecentColors_CopyAll", "Copy &All"},
    {"MRecentColors_CopyAllAs", "Copy All A&s"},
    {"MRecentColors_CopyAllAsCss", "&CSS Custom Properties"},
    {"MRecentColors_CopyAllAsGimp", "&GIMP Palette"},
    {"MRecentColors_Clear", "C&lear"},
    {"MClipboard_CopyAs", "Copy &As"},
    {"sPastedOutsideSrgb", "The pasted color lay outside sRGB and was brought into it."},
};

bool SameKey(std::string_view a, std::string_view b)
{
    // As a language file compares its keys: without regard to letter case.
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) == std::toupper(static_cast<unsigned char>(y));
           });
}

} // namespace

std::span<const TLanguageSectionKeys> LanguageFileKeys()
{
    // The main window's keys, and those of its tray menu, come from its table
    // of commands and texts.
    static const std::vector<std::string_view> formMainKeys = LanguageKeysIn(FormMainSection);
    static const std::vector<std::string_view> trayMenuKeys = LanguageKeysIn(TrayMenuSection);
    static const TLanguageSectionKeys sections[] = {
        {"FileInfo", FileInfoKeys},          {FormMainSection, formMainKeys}, {AboutText::Section, AboutText::Keys},
        {SnapshotSection, SnapshotTextKeys}, {TrayMenuSection, trayMenuKeys},
    };
    return sections;
}

std::string_view EnglishFallback(std::string_view section, std::string_view key)
{
    if (!SameKey(section, FormMainSection))
        return {};
    for (const TLaterText& text : LaterMainTexts)
        if (SameKey(text.Key, key))
            return text.English;
    return {};
}

std::string ReadLanguageText(const TLanguageFile& file, std::string_view section, std::string_view key)
{
    std::string text = file.ReadString(section, key);
    if (text == UndefinedText) {
        if (const std::string_view english = EnglishFallback(section, key); !english.empty())
            text = english;
    }
    return text;
}
