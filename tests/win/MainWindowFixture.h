#pragma once

// A program folder of its own (Languages\ and the settings file) and a main
// window created the way start-up creates it, for the in-process tests.

#include "WinTestSupport.h"
#include "app/Main.h"
#include "app/Program.h"
#include "common/Win32.h"
#include "i18n/LanguageSupport.h"
#include "support/TestLanguageEnvironment.h"
#include "ui/Application.h"
#include "ui/MessageBoxes.h"
#include "ui/Theme.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace MainWindowTesting {

using namespace WinTesting;

// A program folder of its own (Languages\ and the settings file) and a main
// window created the way start-up creates it.
class MainWindowFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_folder =
            fs::temp_directory_path()
            / ("vesk-main-" + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(::GetTickCount64()));
        fs::create_directories(m_folder);
        fs::copy(fs::path(VESK_SOURCE_DIR) / "resources" / "Languages", m_folder / "Languages");
        m_environment.Folder = m_folder;
        m_environment.SystemLanguage = "English";
        m_environment.UserLanguage = "English";
        m_environment.UILanguages = "en-US";
        m_languages = std::make_unique<TLanguages>(m_environment, "VeskColorPicker.ini", "Settings", true);
        ASSERT_TRUE(m_languages->HasActiveFile());
        Languages = m_languages.get();
        SetSettingsFilePath(m_folder / "VeskColorPicker.ini");
        Application::SetTitle(L"Vesk Color Picker");
        SetMessageBoxAnswerer([this](const std::wstring& text, const std::wstring&, UINT) {
            m_boxes.push_back(text);
            return IDOK;
        });
    }

    void TearDown() override
    {
        m_form.reset();
        MSG message{};
        while (::PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
        SetMessageBoxAnswerer(nullptr);
        LeaveComApartment(); // as the program does after its last window
        Languages = nullptr;
        SetSettingsFilePath({});
        std::error_code ignored;
        fs::remove_all(m_folder, ignored);
    }

    void WriteSettings(const std::string& text)
    {
        std::ofstream(m_folder / "VeskColorPicker.ini", std::ios::binary) << text;
    }

    TFormMain& Create()
    {
        m_form = std::make_unique<TFormMain>(::GetModuleHandleW(nullptr));
        // A real dropper run waits modally for a click; these tests only
        // count the runs the window starts (LaunchInEyeDropperMode, the hot
        // key). The run itself has tests of its own.
        m_form->DropperRun = [this] { ++m_dropperRuns; };
        m_form->Show();
        return *m_form;
    }

    HWND Edit(int row) const { return m_form->Control(idEColorComponent1 + row - 1); }
    HWND ScrollBar(int row) const { return m_form->Control(idSBColorComponent1 + row - 1); }
    int ScrollPosition(int row) const { return static_cast<int>(::SendMessageW(ScrollBar(row), SBM_GETPOS, 0, 0)); }
    // As a drag of the bar does: the position changes and the window hears
    // of it at once.
    void MoveScrollBar(int row, int position) const
    {
        ::SendMessageW(ScrollBar(row), SBM_SETPOS, static_cast<WPARAM>(position), TRUE);
    }
    // Typed one character after the other, each applied at once.
    void Type(int row, const wchar_t* text) const
    {
        for (const wchar_t* c = text; *c; ++c)
            ::SendMessageW(Edit(row), WM_CHAR, *c, 0);
    }
    void Empty(int row) const { ::SetWindowTextW(Edit(row), L""); }
    std::wstring Code() const { return TextOf(m_form->Control(idLColorCode)); }
    int ClientHeight() const
    {
        RECT client{};
        ::GetClientRect(m_form->Handle(), &client);
        return client.bottom;
    }
    int Scaled(int pixels) const { return ::MulDiv(pixels, static_cast<int>(m_form->Dpi()), USER_DEFAULT_SCREEN_DPI); }
    // The Settings menu as the user opens it (its Languages submenu is built
    // then).
    void OpenSettingsMenu() const
    {
        HMENU bar = m_form->MenuBar();
        for (int i = 0; i < ::GetMenuItemCount(bar); ++i)
            if (HMENU popup = ::GetSubMenu(bar, i);
                popup && ::GetMenuState(popup, idMSettings_SaveConfiguration, MF_BYCOMMAND) != static_cast<UINT>(-1))
                ::SendMessageW(m_form->Handle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup), i);
    }
    std::wstring MenuText(int id) const
    {
        // The caption without the shortcut text after the tab.
        wchar_t buffer[256]{};
        ::GetMenuStringW(m_form->MenuBar(), static_cast<UINT>(id), buffer, 256, MF_BYCOMMAND);
        const std::wstring text = buffer;
        return text.substr(0, text.find(L'\t'));
    }

    fs::path m_folder;
    TTestLanguageEnvironment m_environment;
    std::unique_ptr<TLanguages> m_languages;
    std::unique_ptr<TFormMain> m_form;
    std::vector<std::wstring> m_boxes;
    int m_dropperRuns = 0;
};

} // namespace MainWindowTesting
