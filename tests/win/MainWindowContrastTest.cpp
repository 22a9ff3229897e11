// The contrast ratio of the two colors in two-color mode, in-process: what
// it shows, when it changes, where it sits, its tool tip and its copy items.

#include "MainWindowFixture.h"

namespace {

using namespace MainWindowTesting;
class MainWindowContrast : public MainWindowFixture {
protected:
    std::wstring Ratio() const { return TextOf(m_form->Control(idLContrastRatio)); }
    bool RatioVisible() const { return ::IsWindowVisible(m_form->Control(idLContrastRatio)) != FALSE; }
    // A control's place in the window's client coordinates.
    RECT Place(int controlId) const
    {
        RECT rect{};
        HWND control = m_form->Control(controlId);
        ::GetWindowRect(control, &rect);
        ::MapWindowPoints(nullptr, m_form->Handle(), reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    }
    void SetRgb(int r, int g, int b) const
    {
        MoveScrollBar(1, r);
        MoveScrollBar(2, g);
        MoveScrollBar(3, b);
    }
};

TEST_F(MainWindowContrast, ShowsTheRatioOfBothColorsAndFollowsEveryEditOfEither)
{
    WriteSettings("[Settings]\r\nTwoColorMode=1\r\nLastColor=0\r\nLastColor2=16777215\r\n");
    TFormMain& form = Create();
    ASSERT_TRUE(RatioVisible());
    EXPECT_EQ(Ratio(), L"21.00:1");

    // The primary color from its scroll bars: #777777 on white.
    SetRgb(0x77, 0x77, 0x77);
    EXPECT_EQ(Ratio(), L"4.47:1");
    EXPECT_EQ(form.ColorReference(), 0x777777);

    // The swap changes both colors; the ratio is the same either way round.
    form.Click(idMColor_SwapPrimaryAndSecondaryColor);
    EXPECT_EQ(form.ColorReference2(), 0x777777);
    EXPECT_EQ(Ratio(), L"4.47:1");
    // Now against the secondary #777777: black gives (0.1845 + 0.05) / 0.05.
    SetRgb(0, 0, 0);
    EXPECT_EQ(Ratio(), L"4.68:1");

    // A color command, an HLS edit and a paste reach it too.
    form.Click(idMColor_Inverse); // white
    EXPECT_EQ(Ratio(), L"4.47:1");
    form.SetColorSpace(csHLS);
    Empty(2);
    Type(2, L"0"); // luminance 0: black
    EXPECT_EQ(form.ColorReference(), 0);
    EXPECT_EQ(Ratio(), L"4.68:1");
    form.ClipboardEx().SetText(L"#767676");
    form.Click(idMClipboard_PasteCodeFromClipboard);
    EXPECT_EQ(Ratio(), L"1.01:1");
}

TEST_F(MainWindowContrast, SitsInTheTwoColorAreaOnlyInTwoColorMode)
{
    WriteSettings("[Settings]\r\nLastColor=0\r\nLastColor2=16777215\r\n");
    TFormMain& form = Create();
    EXPECT_FALSE(RatioVisible());
    form.Click(idMSettings_TwoColorMode);
    EXPECT_TRUE(RatioVisible());
    EXPECT_EQ(Ratio(), L"21.00:1");

    for (const int space : {csRGB, csCMYK}) {
        SCOPED_TRACE(space);
        form.SetColorSpace(space);
        // Right of the one-color layout's box and code, left of the second
        // box and code, under the switch, inside the client area.
        RECT client{};
        ::GetClientRect(form.Handle(), &client);
        const RECT ratio = Place(idLContrastRatio);
        EXPECT_GE(ratio.left, Place(idColorBoxPanel).right);
        EXPECT_GE(ratio.left, Place(idLColorCode).right);
        EXPECT_LE(ratio.right, Place(idColorBoxPanel2).left);
        EXPECT_LE(ratio.right, Place(idLColorCode2).left);
        EXPECT_GE(ratio.top, Place(idUDColorSwitch).bottom);
        EXPECT_LE(ratio.bottom, client.bottom);
        EXPECT_EQ(client.right, Scaled(504));
        // The widest ratio keeps a gap to both codes beside its column.
        HWND control = form.Control(idLContrastRatio);
        HDC dc = ::GetDC(control);
        const HGDIOBJ previous =
            ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageW(control, WM_GETFONT, 0, 0)));
        SIZE widest{};
        ::GetTextExtentPoint32W(dc, L"21.00:1", 7, &widest);
        ::SelectObject(dc, previous);
        ::ReleaseDC(control, dc);
        EXPECT_LE(widest.cx + 2 * Scaled(3), ratio.right - ratio.left);
    }

    form.SetColorSpace(csRGB);
    form.Click(idMSettings_TwoColorMode);
    EXPECT_FALSE(RatioVisible());
    EXPECT_EQ(ClientHeight(), Scaled(75));
    RECT client{};
    ::GetClientRect(form.Handle(), &client);
    EXPECT_EQ(client.right, Scaled(391));
}

TEST_F(MainWindowContrast, ThePopUpItemsCopyTheRatioInTwoColorModeOnly)
{
    WriteSettings("[Settings]\r\nLastColor=7829367\r\nLastColor2=16777215\r\n"); // #777777, white
    TFormMain& form = Create();
    form.ClipboardEx().SetText(L"sentinel");
    EXPECT_FALSE(form.IsEnabled(idMCode_CopyContrastRatio));
    form.Click(idMCode_CopyContrastRatio);
    EXPECT_EQ(form.ClipboardEx().GetText().value_or(L""), L"sentinel");

    form.Click(idMSettings_TwoColorMode);
    for (const int item : {idMCode_CopyContrastRatio, idMCode_CopyContrastRatio2}) {
        SCOPED_TRACE(item);
        form.ClipboardEx().SetText(L"sentinel");
        EXPECT_TRUE(form.IsEnabled(item));
        EXPECT_EQ(form.ItemCaption(item), L"Copy Contrast &Ratio");
        form.Click(item);
        EXPECT_EQ(form.ClipboardEx().GetText().value_or(L""), L"4.47:1");
    }
    // The copy is the ratio's own: the code labels and their hints are
    // untouched by it.
    EXPECT_EQ(Code(), L"#777777");
    form.Click(idMSettings_TwoColorMode);
    EXPECT_FALSE(form.IsEnabled(idMCode_CopyContrastRatio));
    EXPECT_FALSE(form.IsEnabled(idMCode_CopyContrastRatio2));
}

TEST_F(MainWindowContrast, TheToolTipExplainsTheMarksInTheActiveLanguage)
{
    WriteSettings("[Settings]\r\nTwoColorMode=1\r\nLastColor=7829367\r\nLastColor2=16777215\r\n");
    TFormMain& form = Create();
    const TContrastLevels levels{false, true, false, false};
    EXPECT_EQ(form.ContrastHint(),
              L"Contrast ratio: 4.47:1\r\n"
              L"Marks below the ratio, from the left (small: normal text, large: large text, filled: passes):\r\n"
              L"AA, normal text (4.5:1): fails\r\n"
              L"AA, large text (3:1): passes\r\n"
              L"AAA, normal text (7:1): fails\r\n"
              L"AAA, large text (4.5:1): fails");
    EXPECT_EQ(ContrastLevels(ContrastRatio(form.ColorReference(), form.ColorReference2())), levels);

    // German from the Languages submenu, as the user chooses it.
    OpenSettingsMenu();
    bool chosen = false;
    for (int id = idMSettings_LanguageFirst; id <= idMSettings_LanguageLast && !chosen; ++id)
        if (MenuText(id) == L"German") {
            form.Click(id);
            chosen = true;
        }
    ASSERT_TRUE(chosen);
    ASSERT_EQ(Languages->ActiveLanguage(), "German");
    EXPECT_EQ(form.ContrastHint().substr(0, 28), L"Kontrastverh\u00e4ltnis: 4.47:1\r\n");
    EXPECT_NE(form.ContrastHint().find(L"AA, gro\u00dfer Text (3:1): bestanden"), std::wstring::npos);
    EXPECT_EQ(form.ItemCaption(idMCode_CopyContrastRatio2), L"Kontrast&verh\u00e4ltnis kopieren");
}

TEST_F(MainWindowContrast, ALanguageFileWithoutItsTextsShowsThemInEnglish)
{
    // German.ini as a translation made before the contrast ratio: the lines
    // of its texts removed.
    const fs::path german = m_folder / "Languages" / "German.ini";
    std::string text = ReadFile(german);
    for (const char* key : {"sContrastRatio=", "sContrastMarks=", "sNormalText=", "sLargeText=", "sPasses=", "sFails=",
                            "MCode_CopyContrastRatio="}) {
        const std::size_t line = text.find(std::string("\r\n") + key);
        ASSERT_NE(line, std::string::npos) << key;
        text.erase(line, text.find("\r\n", line + 2) - line);
    }
    std::ofstream(german, std::ios::binary | std::ios::trunc) << text;
    WriteSettings("[Settings]\r\nTwoColorMode=1\r\nLastColor=0\r\nLastColor2=16777215\r\n");
    ASSERT_TRUE(Languages->Load("German"));
    EXPECT_EQ(m_environment.Errors, std::vector<std::string>{}) << "the file loads without complaint";

    TFormMain& form = Create();
    EXPECT_EQ(Ratio(), L"21.00:1");
    EXPECT_EQ(form.ContrastHint().substr(0, 24), L"Contrast ratio: 21.00:1\r");
    EXPECT_NE(form.ContrastHint().find(L"AAA, large text (4.5:1): passes"), std::wstring::npos);
    EXPECT_EQ(form.ItemCaption(idMCode_CopyContrastRatio), L"Copy Contrast &Ratio");
    // The file's own texts stay German.
    EXPECT_EQ(form.ItemCaption(idMCode_CopyCodeToClipboard), L"Code in die Zwischenablage &kopieren");
}

TEST_F(MainWindowContrast, MarksShowTheLevelsInBothLooks)
{
    // #777777 on white passes only AA for large text. Along a row through
    // the middle of the marks, a filled mark is one run of the text color as
    // wide as the mark, an outlined one two single pixels of the dimmed text
    // color: from the left AA normal (small), AA large, AAA normal (small),
    // AAA large.
    WriteSettings("[Settings]\r\nTwoColorMode=1\r\nLastColor=7829367\r\nLastColor2=16777215\r\n");
    TFormMain& form = Create();
    for (const bool plain : {true, false}) {
        SCOPED_TRACE(plain ? "plain" : "Carbon");
        form.Click(idMSettings_DisableSkin_FasterLaunch); // checked: plain, unchecked: Carbon
        ASSERT_EQ(Theme::IsDark(), !plain);
        HWND marks = form.Control(idLContrastRatio);
        RECT client{};
        ::GetClientRect(marks, &client);
        WindowDc screen(marks);
        UniqueMemoryDc dc(::CreateCompatibleDC(screen.get()));
        UniqueBitmap bitmap(::CreateCompatibleBitmap(screen.get(), client.right, client.bottom));
        ASSERT_TRUE(dc && bitmap);
        SelectedObject selected(dc.get(), bitmap.get());
        ::SendMessageW(marks, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.get()), PRF_CLIENT);

        const COLORREF background = Theme::Color(TThemeColor::WindowBackground);
        const COLORREF text = Theme::Color(TThemeColor::Text);
        const COLORREF dimmed = Theme::Color(TThemeColor::DisabledText);
        ASSERT_NE(text, dimmed);
        const int row = client.bottom - Scaled(1) - Scaled(2) - 1;
        std::vector<std::pair<COLORREF, int>> runs;
        int last = -2;
        for (int x = 0; x < client.right; ++x) {
            const COLORREF pixel = ::GetPixel(dc.get(), x, row);
            if (pixel == background)
                continue;
            if (last == x - 1 && runs.back().first == pixel)
                ++runs.back().second;
            else
                runs.emplace_back(pixel, 1);
            last = x;
        }
        const std::vector<std::pair<COLORREF, int>> expected = {
            {dimmed, 1}, {dimmed, 1}, {text, Scaled(7)}, {dimmed, 1}, {dimmed, 1}, {dimmed, 1}, {dimmed, 1}};
        EXPECT_EQ(runs, expected);
    }
    Theme::Apply(TThemeKind::Windows);
}

} // namespace
