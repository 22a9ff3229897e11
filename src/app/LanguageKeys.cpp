#include "app/LanguageKeys.h"

#include "about/AboutTexts.h"
#include "app/Commands.h"
#include "dropper/ZoomTexts.h"

#include <vector>

namespace {

constexpr std::string_view FileInfoKeys[] = {"Id", "Abbr"};

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
