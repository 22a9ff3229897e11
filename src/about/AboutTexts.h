#pragma once

// The About window's language keys (section "TFormAbout"), named once here
// for the window and for the check that every language file has them.

#include <string_view>

namespace AboutText {

inline constexpr std::string_view Section = "TFormAbout";

inline constexpr std::string_view Caption = "Caption";
inline constexpr std::string_view MCheckForNewVersion = "MCheckForNewVersion";
inline constexpr std::string_view MLicenseAgreement = "MLicenseAgreement";
inline constexpr std::string_view LAppVersion = "LAppVersion";
inline constexpr std::string_view sFileNotFound = "sFileNotFound";
inline constexpr std::string_view sNewVersionAvailable = "sNewVersionAvailable";
inline constexpr std::string_view sGoToProductsWebPage = "sGoToProductsWebPage";
inline constexpr std::string_view sApplication = "sApplication";
inline constexpr std::string_view sUpToDate = "sUpToDate";
inline constexpr std::string_view sUnknownError = "sUnknownError";
inline constexpr std::string_view sNoResponseFromServer = "sNoResponseFromServer";

inline constexpr std::string_view Keys[] = {Caption,       MCheckForNewVersion,  MLicenseAgreement,    LAppVersion,
                                            sFileNotFound, sNewVersionAvailable, sGoToProductsWebPage, sApplication,
                                            sUpToDate,     sUnknownError,        sNoResponseFromServer};

} // namespace AboutText
