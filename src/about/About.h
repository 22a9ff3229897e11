#pragma once

#include "ui/ThemedMenu.h"
#include "ui/Window.h"

#include <cstdint>
#include <ctime>
#include <memory>
#include <string>
#include <string_view>

class TLanguages;
class TUpdateCheckJob;

// The About window: icon, name, version and build date, the maker and two
// links, and a menu bar with the update check and the licence agreement.
// Created by the main window's Help menu, shown modally, destroyed on close.
class TFormAbout final : public Window {
public:
    static constexpr const wchar_t* ClassName = L"TFormAbout";
    // Posted by the update check's thread when its result is there.
    static constexpr UINT UpdateCheckDoneMessage = WM_APP + 1;

    // owner: the main window; languages: the texts and web addresses, which
    // must outlive the window; compilationDate: the build date of the program.
    TFormAbout(HWND owner, const TLanguages& languages, std::time_t compilationDate, int copyrightFrom, int copyrightTo,
               std::int32_t productId);
    ~TFormAbout() override;

    // Shows the window modally; returns when it has closed.
    void ShowModal();

    const std::string& Version() const noexcept { return FVersion; }
    HWND Control(int id) const noexcept;
    bool LicenseCommandEnabled() const noexcept;
    std::wstring AppVersionHint() const { return m_appVersionHint; }
    std::wstring HomepageHint() const { return m_homepageHint; }
    // The point size the program's name ended with after shrinking to fit.
    int AppTitlePointSize() const noexcept { return m_titlePoints; }
    // The DPI the window is laid out at: its monitor's.
    UINT Dpi() const noexcept { return m_dpi; }
    // Whether an update check is under way.
    bool UpdateCheckRunning() const noexcept { return m_updateCheck != nullptr; }

    // Controls, by id.
    enum : int {
        idAppTitle = 100,
        idLAppVersion,
        idAppVersion,
        idCompany,
        idEmailLink,
        idHomepageLink,
        idMCheckForNewVersion = 1000,
        idMLicenseAgreement,
    };

    // Runs as the window is shown: the licence command is enabled when
    // "License.txt" lies beside the program.
    void FormShow();
    // Starts the update check; its result is shown when it arrives
    // (UpdateCheckDone). Closing the window abandons it.
    void MCheckForNewVersionClick();
    void MLicenseAgreementClick();

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void CreateControls();
    void CreateMenus();
    void ApplyLanguage();
    void LayoutControls();
    void FitAppTitle();
    // Fonts and icon at the window's DPI.
    void CreateDpiResources();
    SIZE ScaledSizeFor(UINT dpi) const;
    void DpiChanged(UINT dpi, const RECT* suggested);
    void EmailLinkClick();
    void HomepageLinkClick();
    void Paint();
    LRESULT ControlColor(HDC dc, HWND control);
    void CloseWindow();
    int Scale(int pixels) const noexcept;
    std::wstring Text(std::string_view key) const;
    std::wstring LicenseFile() const;
    void OpenAddress(const std::wstring& address) const;
    void UpdateCheckDone();

    HWND m_owner;
    const TLanguages& m_languages;
    std::int32_t FProductID;
    std::string FVersion;
    std::time_t m_compilationDate;
    UINT m_dpi = USER_DEFAULT_SCREEN_DPI;
    int m_titlePoints = 11;

    HWND m_tooltip = nullptr;
    HMENU m_menu = nullptr; // owned by the window once attached
    TThemedMenu m_themedMenu;
    UniqueFont m_fontTitle;
    UniqueFont m_fontText;
    UniqueFont m_fontBold;
    UniqueFont m_fontLink;
    UniqueFont m_fontMenu;
    UniqueIcon m_icon;
    std::wstring m_appVersionHint;
    std::wstring m_homepageHint;
    std::wstring m_emailAddress;
    std::unique_ptr<TUpdateCheckJob> m_updateCheck;
};

// Points the update check at another server (host and port) while the
// tests run; an empty host gives the product web site back.
void SetUpdateCheckServerForTesting(const std::string& host, std::uint16_t port);

// Reads the major and minor parts of the running executable's file version,
// as "1.0".
std::string ExecutableVersion();

// The link time stamp of the running executable, or the build date recorded
// by the compiler where the linker wrote none.
std::time_t ExecutableBuildDate();
