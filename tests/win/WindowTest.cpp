#include "WinTestSupport.h"
#include "ui/Application.h"
#include "ui/CommonControls.h"
#include "ui/MessageBoxes.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

namespace {

class MessageBoxTest : public ::testing::Test {
protected:
    void SetUp() override { Application::SetTitle(L"Vesk Color Picker"); }
    void TearDown() override { SetMessageBoxAnswerer(nullptr); }
};

struct BoxCall {
    std::wstring text;
    std::wstring caption;
    UINT flags;
};

TEST_F(MessageBoxTest, MessageBoxesCarryTheTitleAndTheirKindsFlags)
{
    std::vector<BoxCall> calls;
    SetMessageBoxAnswerer([&](const std::wstring& text, const std::wstring& caption, UINT flags) {
        calls.push_back({text, caption, flags});
        return IDOK;
    });
    ErrorBox(L"e");
    WarningBox(L"w");
    InformationBox(L"line 1\r\nline 2");
    QuestionBox(L"q", MB_YESNO);

    ASSERT_EQ(calls.size(), 4u);
    const UINT expectedFlags[] = {MB_ICONHAND, MB_ICONEXCLAMATION, MB_ICONASTERISK, MB_YESNO | MB_ICONQUESTION};
    const wchar_t* expectedTexts[] = {L"e", L"w", L"line 1\r\nline 2", L"q"};
    for (size_t i = 0; i < calls.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(calls[i].caption, L"Vesk Color Picker");
        EXPECT_EQ(calls[i].flags, expectedFlags[i]);
        EXPECT_EQ(calls[i].text, expectedTexts[i]);
    }
}

TEST_F(MessageBoxTest, QuestionBoxIsTrueForOkRetryAndYesOnly)
{
    const struct {
        int pressed;
        bool expected;
    } cases[] = {{IDOK, true},      {IDRETRY, true},  {IDYES, true},     {IDNO, false},
                 {IDCANCEL, false}, {IDABORT, false}, {IDIGNORE, false}, {0, false}};
    for (const auto& row : cases) {
        SCOPED_TRACE(row.pressed);
        SetMessageBoxAnswerer([&](const std::wstring&, const std::wstring&, UINT) { return row.pressed; });
        EXPECT_EQ(QuestionBox(L"?", MB_YESNO), row.expected);
    }
}

TEST_F(MessageBoxTest, AnExceptionLeavingAHandlerIsShownAndTheProgramGoesOn)
{
    std::vector<std::wstring> shown;
    SetMessageBoxAnswerer([&](const std::wstring& text, const std::wstring&, UINT flags) {
        EXPECT_EQ(flags, static_cast<UINT>(MB_ICONHAND));
        shown.push_back(text);
        return IDOK;
    });
    Application::ShowException(std::runtime_error("MColorSpaceClick: Unhandled Sender"));
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0], L"MColorSpaceClick: Unhandled Sender");
}

// The module whose window procedure a new window of the class gets.
HMODULE ModuleOfClass(const wchar_t* className)
{
    HWND window = ::CreateWindowExW(0, className, L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    if (!window)
        return nullptr;
    const auto procedure = ::GetWindowLongPtrW(window, GWLP_WNDPROC);
    ::DestroyWindow(window);
    HMODULE module = nullptr;
    ::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                         reinterpret_cast<LPCWSTR>(procedure), &module);
    return module;
}

TEST(CommonControlsScopeTest, WindowsMadeInsideHaveTheCommonControlsOfVersion6AndOthersTheSystemsOwn)
{
    HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
    // The program's manifest asks for no common controls.
    EXPECT_EQ(ModuleOfClass(L"Edit"), user32);
    HMODULE comctl32 = nullptr;
    {
        TCommonControlsScope scope;
        comctl32 = ModuleOfClass(L"Edit");
        ASSERT_NE(comctl32, nullptr);
        EXPECT_NE(comctl32, user32);
        EXPECT_EQ(ModuleOfClass(L"Button"), comctl32);
        EXPECT_EQ(ModuleOfClass(TOOLTIPS_CLASSW), comctl32);
        {
            TCommonControlsScope nested; // a message box inside the About window
            EXPECT_EQ(ModuleOfClass(L"Static"), comctl32);
        }
        EXPECT_EQ(ModuleOfClass(L"Static"), comctl32);
    }
    EXPECT_EQ(ModuleOfClass(L"Edit"), user32);
    EXPECT_EQ(ModuleOfClass(L"Button"), user32);
}

TEST(EventLoopTest, CtrlASelectsTheWholeTextOfAnEditBox)
{
    HWND edit = ::CreateWindowExW(0, L"Edit", L"128", WS_POPUP | ES_AUTOHSCROLL, 0, 0, 60, 20, nullptr, nullptr,
                                  nullptr, nullptr);
    ASSERT_NE(edit, nullptr);
    ::SendMessageW(edit, EM_SETSEL, 1, 1);
    BYTE keys[256]{};
    ::GetKeyboardState(keys);
    const BYTE control = keys[VK_CONTROL];
    keys[VK_CONTROL] = 0x80;
    ::SetKeyboardState(keys);
    ::PostMessageW(edit, WM_KEYDOWN, 'A', 1);
    ::PostQuitMessage(0);
    Application::Run();
    keys[VK_CONTROL] = control;
    ::SetKeyboardState(keys);

    DWORD start = 9, end = 9;
    ::SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 3u);
    EXPECT_EQ(WinTesting::TextOf(edit), L"128"); // no control character typed
    ::DestroyWindow(edit);
}

} // namespace
