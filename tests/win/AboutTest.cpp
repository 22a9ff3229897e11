// The About window in-process: texts, layout rules, the licence command and
// closing from the keyboard.

#include "about/About.h"
#include "WinTestSupport.h"
#include "app/Program.h"
#include "common/Win32.h"
#include "i18n/LanguageSupport.h"
#include "support/TestLanguageEnvironment.h"
#include "ui/Application.h"
#include "ui/MessageBoxes.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using namespace WinTesting;

RECT ChildRect(HWND parent, HWND child)
{
    RECT rect{};
    ::GetWindowRect(child, &rect);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// A language file of our own, so a test can make texts long.
class AboutWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_folder =
            fs::temp_directory_path()
            / ("vesk-about-" + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(::GetTickCount64()));
        fs::create_directories(m_folder / "Languages");
        m_environment.Folder = m_folder;
        m_environment.SystemLanguage = "English";
        m_environment.UserLanguage = "English";
        m_environment.UILanguages = "en-US";
        m_owner = ::CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 400, 200,
                                    nullptr, nullptr, nullptr, nullptr);
        Application::SetTitle(L"Vesk Color Picker");
    }

    void TearDown() override
    {
        m_about.reset();
        ::DestroyWindow(m_owner);
        Languages = nullptr;
        m_languages.reset();
        std::error_code ignored;
        fs::remove_all(m_folder, ignored);
    }

    void UseLanguage(const std::string& versionLabel)
    {
        std::ofstream(m_folder / "Languages" / "English.ini", std::ios::binary)
            << "[FileInfo]\r\nId=English\r\nAbbr=en\r\n[TFormAbout]\r\nCaption=About\r\nLAppVersion=" << versionLabel
            << "\r\nsFileNotFound=File not found\r\nMCheckForNewVersion=Check\r\nMLicenseAgreement=Licence\r\n";
        m_languages = std::make_unique<TLanguages>(m_environment, "VeskColorPicker.ini", "Settings", true);
        ASSERT_TRUE(m_languages->HasActiveFile());
        Languages = m_languages.get();
    }

    TFormAbout& Create()
    {
        m_about = std::make_unique<TFormAbout>(m_owner, *m_languages, 1700000000, 2013, 2013, 4);
        return *m_about;
    }

    fs::path m_folder;
    TTestLanguageEnvironment m_environment;
    std::unique_ptr<TLanguages> m_languages;
    std::unique_ptr<TFormAbout> m_about;
    HWND m_owner = nullptr;
};

TEST_F(AboutWindowTest, ShowsTheProgramItsVersionAndTheLinks)
{
    UseLanguage("Version");
    TFormAbout& about = Create();
    EXPECT_EQ(TextOf(about.Handle()), L"About");
    EXPECT_EQ(TextOf(about.Control(TFormAbout::idAppTitle)), L"Vesk Color Picker");
    EXPECT_EQ(TextOf(about.Control(TFormAbout::idLAppVersion)), L"Version:");
    // The test exe carries no version resource of its own; the program's
    // "1.0" is the fallback as well as the resource's value.
    EXPECT_EQ(TextOf(about.Control(TFormAbout::idAppVersion)), Utf8ToWide(about.Version()) + L" x64");
    EXPECT_EQ(TextOf(about.Control(TFormAbout::idEmailLink)), Utf8ToWide(TLanguages::EmailAddress("info")));
    EXPECT_EQ(TextOf(about.Control(TFormAbout::idHomepageLink)), Utf8ToWide(TLanguages::HomePageAddress(false)));
    EXPECT_EQ(about.HomepageHint(), Utf8ToWide(Languages->ProductPageAddress(true, 4)));
    EXPECT_FALSE(about.AppVersionHint().empty()); // the build date
}

TEST_F(AboutWindowTest, ALongVersionLabelPushesTheNumberRight)
{
    for (const std::string label : {"Version", "Versionsnummer des Programms"}) {
        SCOPED_TRACE(label);
        UseLanguage(label);
        TFormAbout& about = Create();
        const RECT caption = ChildRect(about.Handle(), about.Control(TFormAbout::idLAppVersion));
        const RECT number = ChildRect(about.Handle(), about.Control(TFormAbout::idAppVersion));
        const int gap = ::MulDiv(8, ::GetDeviceCaps(WindowDc(nullptr).get(), LOGPIXELSX), 96);
        EXPECT_EQ(number.left, caption.right + gap);
        m_about.reset();
    }
}

TEST_F(AboutWindowTest, TheTitleShrinksUntilItFits)
{
    UseLanguage("Version");
    Application::SetTitle(L"Vesk Color Picker");
    EXPECT_EQ(Create().AppTitlePointSize(), 11);
    m_about.reset();

    Application::SetTitle(L"Vesk Color Picker With A Very Long Name");
    TFormAbout& about = Create();
    EXPECT_LT(about.AppTitlePointSize(), 11);
    RECT client{};
    ::GetClientRect(about.Handle(), &client);
    EXPECT_LE(ChildRect(about.Handle(), about.Control(TFormAbout::idAppTitle)).right, client.right);
    Application::SetTitle(L"Vesk Color Picker");
}

TEST_F(AboutWindowTest, TheLicenceCommandNeedsTheLicenceFile)
{
    UseLanguage("Version");
    // The licence is looked for beside the running exe (the test exe here).
    const fs::path licence = fs::path(ExecutableFolder()) / "License.txt";
    std::error_code ignored;
    fs::remove(licence, ignored);
    {
        TFormAbout& about = Create();
        about.FormShow();
        EXPECT_FALSE(about.LicenseCommandEnabled());
        m_about.reset();
    }
    std::ofstream(licence) << "licence";
    {
        TFormAbout& about = Create();
        about.FormShow();
        EXPECT_TRUE(about.LicenseCommandEnabled());
        // The file opens through the shell, from a COM apartment (see
        // ShellTest for why Wine cannot show that this window joins it).
        ShellCalls shell;
        about.MLicenseAgreementClick();
        ASSERT_EQ(shell.calls().size(), 1u);
        EXPECT_EQ(shell.calls()[0].Target, L"\"" + (fs::path(ExecutableFolder()) / "License.txt").wstring() + L"\"");
        EXPECT_TRUE(shell.calls()[0].InApartment);
        m_about.reset();
    }
    fs::remove(licence, ignored);

    // The file vanished after the window opened: the error box says so.
    std::vector<std::wstring> boxes;
    SetMessageBoxAnswerer([&](const std::wstring& text, const std::wstring&, UINT) {
        boxes.push_back(text);
        return IDOK;
    });
    Create().MLicenseAgreementClick();
    SetMessageBoxAnswerer(nullptr);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], L"File not found:\r\nLicense.txt");
}

TEST_F(AboutWindowTest, EscapeAndEnterCloseTheWindowAndGiveTheOwnerBack)
{
    UseLanguage("Version");
    for (const WPARAM key : {WPARAM{VK_ESCAPE}, WPARAM{VK_RETURN}}) {
        SCOPED_TRACE(key);
        TFormAbout& about = Create();
        HWND handle = about.Handle();
        ::PostMessageW(handle, WM_KEYDOWN, key, 0);
        about.ShowModal(); // returns once the window is gone
        EXPECT_FALSE(::IsWindow(handle));
        EXPECT_TRUE(::IsWindowEnabled(m_owner));
        m_about.reset();
    }
}

} // namespace
