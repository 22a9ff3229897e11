#include "app/LanguageKeys.h"

#include "app/Commands.h"

#include <vector>

namespace {

constexpr std::string_view FileInfoKeys[] = {"Id", "Abbr"};

constexpr std::string_view FormAboutKeys[] = {
    "Caption",       "MCheckForNewVersion",  "MLicenseAgreement",    "LAppVersion",
    "sFileNotFound", "sNewVersionAvailable", "sGoToProductsWebPage", "sApplication",
    "sUpToDate",     "sUnknownError",        "sNoResponseFromServer"};

constexpr std::string_view FormSnapshotKeys[] = {"sZoomFactor", "sSourceSize", "sSampleSize", "sMouseSpeed"};

} // namespace

std::span<const TLanguageSectionKeys> LanguageFileKeys()
{
    // The main window's keys, and those of its tray menu, come from its table
    // of commands and texts.
    static const std::vector<std::string_view> formMainKeys = LanguageKeysIn(FormMainSection);
    static const std::vector<std::string_view> trayMenuKeys = LanguageKeysIn(TrayMenuSection);
    static const TLanguageSectionKeys sections[] = {
        {"FileInfo", FileInfoKeys},          {FormMainSection, formMainKeys}, {"TFormAbout", FormAboutKeys},
        {"TFormSnapshot", FormSnapshotKeys}, {TrayMenuSection, trayMenuKeys},
    };
    return sections;
}
