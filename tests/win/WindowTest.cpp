#include "ui/Application.h"
#include "ui/MessageBoxes.h"

#include <gtest/gtest.h>

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

} // namespace
