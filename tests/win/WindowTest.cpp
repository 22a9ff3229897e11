#include "about/MessageBoxes.h"
#include "app/Application.h"
#include "app/Main.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

std::wstring WindowText(HWND window)
{
    wchar_t buffer[256]{};
    ::GetWindowTextW(window, buffer, 256);
    return buffer;
}

std::wstring ClassOf(HWND window)
{
    wchar_t buffer[256]{};
    ::GetClassNameW(window, buffer, 256);
    return buffer;
}

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override { Application::SetTitle(L"Vesk Color Picker"); }
    void TearDown() override
    {
        SetMessageBoxAnswerer(nullptr);
        // A destroyed main window asks the event loop to end; no loop runs
        // here, so clear the request before the next test.
        MSG message{};
        while (::PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
    }
};

TEST_F(MainWindowTest, HasTheClassAndTitleASecondInstanceLooksFor)
{
    auto form = std::make_unique<TFormMain>(::GetModuleHandleW(nullptr));
    EXPECT_EQ(FormMain, form.get());
    EXPECT_EQ(ClassOf(form->Handle()), L"TFormMain");
    EXPECT_EQ(WindowText(form->Handle()), L"Vesk Color Picker");
    EXPECT_EQ(::FindWindowW(L"TFormMain", L"Vesk Color Picker"), form->Handle());

    // Fixed border with a minimize box but no maximize box.
    const auto style = static_cast<DWORD>(::GetWindowLongPtrW(form->Handle(), GWL_STYLE));
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    EXPECT_FALSE(style & WS_THICKFRAME);

    HWND handle = form->Handle();
    form.reset();
    EXPECT_FALSE(::IsWindow(handle));
    EXPECT_EQ(FormMain, nullptr);

    // Destroying the main window ends the event loop.
    MSG message{};
    ASSERT_TRUE(::PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(message.wParam, 0u);
}

TEST_F(MainWindowTest, CreationIsFinishedByTheFirstShow)
{
    TFormMain form(::GetModuleHandleW(nullptr));
    EXPECT_TRUE(form.Creating());
    form.Show();
    EXPECT_FALSE(form.Creating());
    EXPECT_TRUE(::IsWindowVisible(form.Handle()));
}

struct BoxCall {
    std::wstring text;
    std::wstring caption;
    UINT flags;
};

TEST_F(MainWindowTest, MessageBoxesCarryTheTitleAndTheirKindsFlags)
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

TEST_F(MainWindowTest, QuestionBoxIsTrueForOkRetryAndYesOnly)
{
    const struct {
        int pressed;
        bool expected;
    } cases[] = {{IDOK, true}, {IDRETRY, true}, {IDYES, true}, {IDNO, false}, {IDCANCEL, false}, {IDABORT, false},
                 {IDIGNORE, false}, {0, false}};
    for (const auto& row : cases) {
        SCOPED_TRACE(row.pressed);
        SetMessageBoxAnswerer([&](const std::wstring&, const std::wstring&, UINT) { return row.pressed; });
        EXPECT_EQ(QuestionBox(L"?", MB_YESNO), row.expected);
    }
}

TEST_F(MainWindowTest, AnExceptionLeavingAHandlerIsShownAndTheProgramGoesOn)
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

} // namespace
