// The main window in-process: the color editor, menus, texts and settings,
// driven through the same messages the user's input produces.

#include "MainWindowFixture.h"
#include "color/CssColorForms.h"
#include "color/PastedCode.h"

#include <algorithm>

namespace {

using namespace MainWindowTesting;
using MainWindowEditorTest = MainWindowFixture;

TEST_F(MainWindowEditorTest, HasTheClassTitleAndFrameASecondInstanceLooksFor)
{
    TFormMain& form = Create();
    wchar_t className[64]{};
    ::GetClassNameW(form.Handle(), className, 64);
    EXPECT_STREQ(className, L"TFormMain");
    EXPECT_EQ(::FindWindowW(L"TFormMain", L"Vesk Color Picker"), form.Handle());
    EXPECT_EQ(FormMain, &form);
    // A fixed border with a minimize box and no maximize box.
    const auto style = static_cast<DWORD>(::GetWindowLongPtrW(form.Handle(), GWL_STYLE));
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    EXPECT_FALSE(style & WS_THICKFRAME);

    HWND handle = form.Handle();
    m_form.reset();
    EXPECT_FALSE(::IsWindow(handle));
    EXPECT_EQ(FormMain, nullptr);
    // Closing the main window ends the event loop with exit code 0.
    MSG message{};
    ASSERT_TRUE(::PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(message.wParam, 0u);
}

TEST_F(MainWindowEditorTest, StartsWithTheDefaultsOfAMissingSettingsFile)
{
    TFormMain& form = Create();
    EXPECT_EQ(form.ColorReference(), 0x808080);
    EXPECT_EQ(form.GetColorSpace(), csRGB);
    EXPECT_EQ(form.GetOutputFormat(), ccfHTMLCSS);
    EXPECT_EQ(Code(), L"#808080");
    EXPECT_EQ(TextOf(Edit(1)), L"128");
    EXPECT_EQ(ScrollPosition(3), 128);
    EXPECT_TRUE(form.IsChecked(idMSettings_CodeWithPrefix));
    EXPECT_TRUE(form.IsChecked(idMSettings_LoremIpsumText));
    EXPECT_FALSE(form.IsChecked(idMSettings_UppercaseCode));
    EXPECT_FALSE(::IsWindowVisible(form.Control(idSBColorComponent4)));
    EXPECT_FALSE(::IsWindowVisible(form.Control(idColorBoxPanel2)));
    EXPECT_EQ(ClientHeight(), Scaled(75));
    EXPECT_EQ(TextOf(form.Handle()), L"Vesk Color Picker");
    EXPECT_TRUE(m_boxes.empty());
    // Nothing is written at start-up.
    EXPECT_FALSE(fs::exists(m_folder / "VeskColorPicker.ini"));
}

TEST_F(MainWindowEditorTest, AScrollBarWritesItsEditBoxAndRebuildsTheColor)
{
    WriteSettings("[Settings]\r\nLastColor=0\r\n");
    TFormMain& form = Create();
    MoveScrollBar(1, 5);
    EXPECT_EQ(TextOf(Edit(1)), L"005");
    EXPECT_EQ(TextOf(Edit(2)), L"000");
    EXPECT_EQ(form.ColorReference(), RGBToColor(5, 0, 0));
    EXPECT_EQ(Code(), L"#050000");
}

TEST_F(MainWindowEditorTest, EveryKeystrokeInAnEditBoxAppliesAtOnce)
{
    TFormMain& form = Create();
    form.SetColorSpace(csHLS);
    Empty(1);
    Type(1, L"3");
    EXPECT_EQ(ScrollPosition(1), 3);
    Type(1, L"0");
    EXPECT_EQ(ScrollPosition(1), 30);
    const TColor at30 = form.ColorReference();
    Type(1, L"0"); // 300 is above the hue's 240: ignored, text kept
    EXPECT_EQ(ScrollPosition(1), 30);
    EXPECT_EQ(TextOf(Edit(1)), L"300");
    EXPECT_EQ(form.ColorReference(), at30);
    Empty(1);
    Type(1, L"240");
    EXPECT_EQ(ScrollPosition(1), 240);
    EXPECT_EQ(TextOf(Edit(1)), L"240");
}

TEST_F(MainWindowEditorTest, EditBoxesTakeWhatTheIntegerReaderTakes)
{
    TFormMain& form = Create();
    const struct {
        const wchar_t* typed;
        int expected; // -1: nothing changes
    } cases[] = {{L"$FF", 255}, {L"7", 7},   {L"", -1},   {L"-", -1},
                 {L"x", -1},    {L"-1", -1}, {L"256", 25}}; // "25" applied on the way, "256" is out of range
    for (const auto& row : cases) {
        SCOPED_TRACE(testing::Message() << WideToUtf8(row.typed));
        MoveScrollBar(1, 100);
        const TColor before = form.ColorReference();
        Empty(1);
        Type(1, row.typed);
        if (row.expected < 0) {
            EXPECT_EQ(ScrollPosition(1), 100);
            EXPECT_EQ(form.ColorReference(), before);
        } else {
            EXPECT_EQ(ScrollPosition(1), row.expected);
            EXPECT_EQ(ColorToRGB(form.ColorReference()).R, row.expected);
        }
        EXPECT_EQ(TextOf(Edit(1)), row.typed); // never reformatted while typing
    }
}

TEST_F(MainWindowEditorTest, SwitchingSpacesKeepsTheColorAndRetypingHlsRecomputesIt)
{
    TFormMain& form = Create();
    form.SetColorSpace(csHLS);
    EXPECT_EQ(form.ColorReference(), 0x808080);
    EXPECT_EQ(TextOf(Edit(1)), L"160");
    EXPECT_EQ(TextOf(Edit(2)), L"120");
    EXPECT_EQ(TextOf(Edit(3)), L"000");
    EXPECT_EQ(form.ComponentLetter(0), L"H");
    Empty(2);
    Type(2, L"120");
    EXPECT_EQ(form.ColorReference(), 0x7F7F7F);
    form.SetColorSpace(csRGB);
    EXPECT_EQ(form.ColorReference(), 0x7F7F7F);
    EXPECT_EQ(TextOf(Edit(1)), L"127");
}

TEST_F(MainWindowEditorTest, CmykShowsTheFourthRowAndGrowsTheWindow)
{
    TFormMain& form = Create();
    form.Click(idMColorSpace_CMYK);
    EXPECT_TRUE(::IsWindowVisible(form.Control(idSBColorComponent4)));
    EXPECT_TRUE(::IsWindowVisible(form.Control(idEColorComponent4)));
    EXPECT_EQ(ClientHeight(), Scaled(95));
    EXPECT_EQ(TextOf(Edit(4)), L"127");
    EXPECT_EQ(form.ComponentLetter(3), L"K");
    EXPECT_EQ(form.ComponentName(3), L"Black");
    EXPECT_EQ(TextOf(form.Control(idSBColorComponent4)), L"Black"); // the name screen readers hear
    form.Click(idMColorSpace_RGB);
    EXPECT_FALSE(::IsWindowVisible(form.Control(idSBColorComponent4)));
    EXPECT_EQ(ClientHeight(), Scaled(75));
}

TEST_F(MainWindowEditorTest, TheWindowDrawsEachShownRowsNameAndLetterAndRedrawsThemOnChange)
{
    TFormMain& form = Create();
    // The pixels of an area of the client (96-DPI units), once painted.
    const auto pixels = [&](int left, int top, int width, int height) {
        ::UpdateWindow(form.Handle());
        WindowDc dc(form.Handle());
        std::vector<COLORREF> area;
        for (int y = Scaled(top); y < Scaled(top + height); ++y)
            for (int x = Scaled(left); x < Scaled(left + width); ++x)
                area.push_back(::GetPixel(dc.get(), x, y));
        return area;
    };
    const auto inked = [&](const std::vector<COLORREF>& area) {
        const COLORREF background = Theme::Color(TThemeColor::WindowBackground);
        return std::count_if(area.begin(), area.end(), [&](COLORREF pixel) { return pixel != background; });
    };
    const auto name = [&](int row) { return pixels(40, 9 + 20 * row, 62, 13); };
    const auto letter = [&](int row) { return pixels(258, 8 + 20 * row, 10, 19); };

    for (int row = 0; row < 3; ++row) {
        EXPECT_GT(inked(name(row)), 10) << "no name in row " << row;
        EXPECT_GT(inked(letter(row)), 5) << "no letter in row " << row;
    }
    // Each change is painted anew, not left from before: "Red" becomes
    // "Rot" in German, "R" becomes "C" in CMYK, which shows a fourth row.
    const std::vector<COLORREF> red = name(0), r = letter(0);
    OpenSettingsMenu();
    const auto languages = m_languages->List();
    const auto german = std::find(languages.begin(), languages.end(), "German");
    ASSERT_NE(german, languages.end());
    form.Click(idMSettings_LanguageFirst + static_cast<int>(german - languages.begin()));
    EXPECT_EQ(form.ComponentName(0), L"Rot");
    EXPECT_NE(name(0), red);
    form.Click(idMColorSpace_CMYK);
    EXPECT_NE(letter(0), r);
    EXPECT_GT(inked(name(3)), 10);
    EXPECT_GT(inked(letter(3)), 5);
}

TEST_F(MainWindowEditorTest, ClickingTheCheckedItemChangesAndCopiesNothing)
{
    TFormMain& form = Create();
    form.ClipboardEx().SetText(L"sentinel");
    form.Click(idMColorSpace_RGB);
    form.Click(idMOutputFormat_HTMLCSS);
    EXPECT_EQ(form.ClipboardEx().GetText().value_or(L""), L"sentinel");
    // Another format copies at once (automatic copying is on by default).
    form.Click(idMOutputFormat_VisualBasic);
    EXPECT_EQ(Code(), L"&H00808080");
    EXPECT_EQ(form.ClipboardEx().GetText().value_or(L""), L"&H00808080");
}

TEST_F(MainWindowEditorTest, SwapWorksOnlyInTwoColorMode)
{
    WriteSettings("[Settings]\r\nLastColor=255\r\nLastColor2=16711680\r\n");
    TFormMain& form = Create();
    form.Click(idMColor_SwapPrimaryAndSecondaryColor);
    EXPECT_EQ(form.ColorReference(), 0x0000FF);

    form.Click(idMSettings_TwoColorMode);
    EXPECT_TRUE(::IsWindowVisible(form.Control(idColorBoxPanel2)));
    EXPECT_EQ(TextOf(form.Control(idLColorCode2)), L"#0000ff");
    form.Click(idMColor_SwapPrimaryAndSecondaryColor);
    EXPECT_EQ(form.ColorReference(), 0xFF0000);
    EXPECT_EQ(form.ColorReference2(), 0x0000FF);
    EXPECT_EQ(TextOf(Edit(3)), L"255"); // the rows show the new primary color

    // The Color menu enables the swap exactly in two-color mode.
    ::SendMessageW(form.Handle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(::GetSubMenu(form.MenuBar(), 1)), 1);
    EXPECT_TRUE(form.IsEnabled(idMColor_SwapPrimaryAndSecondaryColor));
    form.Click(idMSettings_TwoColorMode);
    ::SendMessageW(form.Handle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(::GetSubMenu(form.MenuBar(), 1)), 1);
    EXPECT_FALSE(form.IsEnabled(idMColor_SwapPrimaryAndSecondaryColor));
}

TEST_F(MainWindowEditorTest, ColorCommandsGoThroughTheEditor)
{
    WriteSettings("[Settings]\r\nLastColor=3302600\r\n"); // R 200, G 100, B 50
    TFormMain& form = Create();
    const struct {
        int command;
        TColor expected;
    } cases[] = {{idMColor_Inverse, RGBToColor(55, 155, 205)},
                 {idMColor_Complementary, RGBToColor(50, 150, 200)},
                 {idMColor_Grayscaled, RGBToColor(124, 124, 124)},
                 {idMColor_Desaturated, RGBToColor(125, 125, 125)}};
    for (const auto& row : cases) {
        SCOPED_TRACE(row.command);
        form.SetColorReference(RGBToColor(200, 100, 50));
        form.Click(row.command);
        EXPECT_EQ(form.ColorReference(), row.expected);
        EXPECT_EQ(form.ClipboardEx().GetText().value_or(L""), Code());
    }
}

TEST_F(MainWindowEditorTest, AppliedTextsAreTheSameEachTimeAndAboutEndsInDots)
{
    TFormMain& form = Create();
    const std::wstring english = MenuText(idMColorSpace_RGB);
    EXPECT_EQ(english, L"RGB (Red, Green, Blue)");
    EXPECT_EQ(MenuText(idMHelp_About).substr(MenuText(idMHelp_About).size() - 3), L"...");
    const std::wstring hint = form.DropperHint();

    OpenSettingsMenu();
    const auto languages = m_languages->List();
    const auto czech = std::find(languages.begin(), languages.end(), "Czech");
    const auto englishItem = std::find(languages.begin(), languages.end(), "English");
    ASSERT_NE(czech, languages.end());
    form.Click(idMSettings_LanguageFirst + static_cast<int>(czech - languages.begin()));
    EXPECT_EQ(m_languages->ActiveLanguage(), "Czech");
    EXPECT_NE(MenuText(idMColorSpace_RGB), english);
    EXPECT_EQ(TextOf(form.Handle()), L"Vesk Color Picker");

    OpenSettingsMenu();
    form.Click(idMSettings_LanguageFirst + static_cast<int>(englishItem - languages.begin()));
    EXPECT_EQ(MenuText(idMColorSpace_RGB), english);
    EXPECT_EQ(form.DropperHint(), hint);
    EXPECT_TRUE(form.IsChecked(idMSettings_LanguageFirst + static_cast<int>(englishItem - languages.begin())));
}

TEST_F(MainWindowEditorTest, TheDropperHintHasTheHotKeyLineOnlyWhenTheKeyIsOurs)
{
    {
        TFormMain& form = Create();
        ASSERT_TRUE(form.HotKeyRegistered());
        EXPECT_EQ(form.DropperHint().rfind(L"[Shift + Alt + D]:  ", 0), 0u);
        m_form.reset();
    }
    // Another window holds Shift+Alt+D first.
    HWND holder = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_TRUE(::RegisterHotKey(holder, 1, MOD_ALT | MOD_SHIFT, 'D'));
    TFormMain& form = Create();
    EXPECT_FALSE(form.HotKeyRegistered());
    EXPECT_EQ(form.DropperHint().rfind(L"[Mouse Wheel]:  ", 0), 0u);
    EXPECT_EQ(std::count(form.DropperHint().begin(), form.DropperHint().end(), L'\n'), 3);
    ::UnregisterHotKey(holder, 1);
    ::DestroyWindow(holder);
}

TEST_F(MainWindowEditorTest, MenusKeepTheirCaptionsInBothLooks)
{
    TFormMain& form = Create();
    const std::wstring plain = MenuText(idMSettings_TwoColorMode);
    Theme::Apply(TThemeKind::Carbon);
    EXPECT_EQ(MenuText(idMSettings_TwoColorMode), plain);
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE;
    ::GetMenuItemInfoW(form.MenuBar(), idMSettings_TwoColorMode, FALSE, &info);
    EXPECT_TRUE(info.fType & MFT_OWNERDRAW);
    Theme::Apply(TThemeKind::Windows);
    ::GetMenuItemInfoW(form.MenuBar(), idMSettings_TwoColorMode, FALSE, &info);
    EXPECT_FALSE(info.fType & MFT_OWNERDRAW);
    EXPECT_EQ(MenuText(idMSettings_TwoColorMode), plain);
}

TEST_F(MainWindowEditorTest, AnOutOfRangeColorSpaceIsReportedAndTheWindowStillShows)
{
    WriteSettings("[Settings]\r\nColorSpace=7\r\n");
    TFormMain& form = Create();
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_boxes[0], L"SetColorSpace: Unhandled TColorSpace item");
    EXPECT_TRUE(::IsWindowVisible(form.Handle()));
}

TEST_F(MainWindowEditorTest, SavingAtExitWritesTheSettingsAndTheColors)
{
    TFormMain& form = Create();
    form.Click(idMSettings_UppercaseCode);
    form.Click(idMColorSpace_CMY);
    form.SetColorReference(0x0080FF);
    m_form.reset();
    const std::string saved = ReadFile(m_folder / "VeskColorPicker.ini");
    for (const char* line : {"UppercaseCode=1", "ColorSpace=2", "LastColor=33023", "LastColor2=8421504",
                             "Language=English", "DropperSampleSize=1", "Top=", "Left="}) {
        SCOPED_TRACE(line);
        EXPECT_NE(saved.find(line), std::string::npos);
    }
    // A new file lists each section's keys in the order they were written:
    // the save command's order, then the last colors of the exit.
    const char* order[] = {"[Settings]",
                           "AllowMultipleInstances=",
                           "Language=",
                           "ColorSpace=",
                           "OutputFormat=",
                           "WindowAlwaysOnTop=",
                           "TwoColorMode=",
                           "LoremIpsumText=",
                           "LaunchInEyeDropperMode=",
                           "UppercaseCode=",
                           "CodeWithPrefix=",
                           "AutomaticallyCopyCodeToClipboard=",
                           "MinimizeWhileUsingDropper=",
                           "UseTrayIcon=",
                           "DisableSkin_FasterLaunch=",
                           "SaveConfigurationOnExit=",
                           "SaveLastColorOnExit=",
                           "DropperZoomFactor=",
                           "DropperSourceSize=",
                           "DropperSampleSize=",
                           "DropperMouseSpeed=",
                           "LastColor=",
                           "LastColor2=",
                           "[Position]",
                           "Top=",
                           "Left="};
    const std::string lines = "\n" + saved;
    size_t at = 0;
    for (const char* key : order) {
        SCOPED_TRACE(key);
        at = lines.find(std::string("\n") + key, at);
        ASSERT_NE(at, std::string::npos);
        ++at;
    }
}

} // namespace

TEST_F(MainWindowEditorTest, AWrappedMenuBarShowsEveryItemAndLeavesTheClientAreaAlone)
{
    // The menu bar wraps when its captions are wider than the window; the
    // window then grows by the extra row, and the client area keeps the
    // layout's size. English wraps in one-color mode with Wine's Tahoma.
    struct Case {
        const char* Language;
        bool TwoColors;
    };
    bool someWrapped = false;
    TFormMain& form = Create();
    for (const Case& c : {Case{"English", false}, Case{"German", false}, Case{"German", true}}) {
        SCOPED_TRACE(std::string(c.Language) + (c.TwoColors ? " two-color" : " one-color"));
        OpenSettingsMenu();
        const auto languages = m_languages->List();
        const auto item = std::find(languages.begin(), languages.end(), c.Language);
        ASSERT_NE(item, languages.end());
        form.Click(idMSettings_LanguageFirst + static_cast<int>(item - languages.begin()));
        if (form.IsChecked(idMSettings_TwoColorMode) != c.TwoColors)
            form.Click(idMSettings_TwoColorMode);

        RECT client{};
        ::GetClientRect(form.Handle(), &client);
        EXPECT_EQ(client.right, Scaled(c.TwoColors ? 504 : 391));
        EXPECT_EQ(client.bottom, Scaled(75));
        POINT clientTop{0, 0};
        ::ClientToScreen(form.Handle(), &clientTop);
        RECT window{};
        ::GetWindowRect(form.Handle(), &window);

        HMENU bar = form.MenuBar();
        std::vector<RECT> items;
        for (int i = 0; i < ::GetMenuItemCount(bar); ++i) {
            RECT rect{};
            ASSERT_TRUE(::GetMenuItemRect(form.Handle(), bar, static_cast<UINT>(i), &rect));
            EXPECT_GE(rect.left, window.left) << "item " << i;
            EXPECT_LE(rect.right, window.right) << "item " << i;
            EXPECT_LE(rect.bottom, clientTop.y) << "item " << i << " reaches into the client area";
            for (const RECT& other : items) {
                RECT overlap{};
                EXPECT_FALSE(::IntersectRect(&overlap, &rect, &other)) << "item " << i << " overlaps another";
            }
            someWrapped = someWrapped || (!items.empty() && rect.top != items.front().top);
            items.push_back(rect);
        }
        EXPECT_EQ(items.size(), 7u); // Clipboard, Color, Color space, Output format, Settings, Help, Donate
    }
    EXPECT_TRUE(someWrapped) << "no case wrapped the menu bar: the wrap is not tested";
}

TEST_F(MainWindowEditorTest, FixedCaptionsShowTheirShortcutsToo)
{
    TFormMain& form = Create();
    wchar_t buffer[256]{};
    ::GetMenuStringW(form.MenuBar(), idMSettings_LoremIpsumText, buffer, 256, MF_BYCOMMAND);
    EXPECT_STREQ(buffer, L"Lorem Ipsum text\tShift+L");
    ::GetMenuStringW(form.MenuBar(), idMOutputFormat_Cpp, buffer, 256, MF_BYCOMMAND);
    EXPECT_STREQ(buffer, L"C++ [0x00bbggrr]");
}

namespace {

TEST_F(MainWindowEditorTest, CopyAsItemsShowAndCopyTheirColorInEachForm)
{
    TFormMain& form = Create();
    const TColor orange = RGBToColor(255, 128, 0);
    const TColor blue = RGBToColor(0, 0, 255);
    form.SetColorReference(orange);
    form.SetColorReference2(blue);
    for (const bool uppercase : {false, true}) {
        if (form.IsChecked(idMSettings_UppercaseCode) != uppercase)
            form.Click(idMSettings_UppercaseCode);
        for (std::size_t i = 0; i < CssForms.size(); ++i) {
            const int offset = static_cast<int>(i);
            const std::wstring text = Utf8ToWide(CssFormText(orange, CssForms[i], uppercase));
            SCOPED_TRACE(WideToUtf8(text));
            // The Clipboard menu's item shows what it copies.
            EXPECT_EQ(MenuText(idMClipboard_CopyAsFirst + offset), text);
            for (const int first : {idMClipboard_CopyAsFirst, idMCode_CopyAsFirst}) {
                form.ClipboardEx().SetText(L"sentinel");
                form.Click(first + offset);
                EXPECT_EQ(form.ClipboardEx().GetText().value_or(L""), text);
            }
            // The second code's menu copies the second color.
            form.Click(idMCode_CopyAs2First + offset);
            EXPECT_EQ(form.ClipboardEx().GetText().value_or(L""),
                      Utf8ToWide(CssFormText(blue, CssForms[i], uppercase)));
        }
    }
    EXPECT_EQ(MenuText(idMClipboard_CopyAsFirst), L"#FF8000");
}

TEST_F(MainWindowEditorTest, APasteFromOutsideSrgbIsMappedAndTheCodesHintSaysSo)
{
    TFormMain& form = Create();
    const std::wstring note = L"The pasted color lay outside sRGB and was brought into it.";
    form.ClipboardEx().SetText(L"color(display-p3 0 1 0)");
    form.Click(idMClipboard_PasteCodeFromClipboard);
    EXPECT_EQ(form.ColorReference(), RGBToColor(0, 251, 41));
    EXPECT_NE(form.CodeHint(idLColorCode).find(note), std::wstring::npos) << WideToUtf8(form.CodeHint(idLColorCode));
    // A color inside sRGB, pasted or set otherwise, has no such note.
    form.ClipboardEx().SetText(L"oklch(62.8% 0.25768 29.23)");
    form.Click(idMClipboard_PasteCodeFromClipboard);
    EXPECT_EQ(form.ColorReference(), RGBToColor(255, 0, 0));
    EXPECT_EQ(form.CodeHint(idLColorCode).find(note), std::wstring::npos);
    form.ClipboardEx().SetText(L"color(display-p3 0 1 0)");
    form.Click(idMClipboard_PasteCodeFromClipboard);
    form.Click(idMColor_Inverse);
    EXPECT_EQ(form.CodeHint(idLColorCode).find(note), std::wstring::npos);
}

TEST_F(MainWindowEditorTest, AClipboardTextLongerThanAnyCodeIsIgnored)
{
    TFormMain& form = Create();
    form.SetColorReference(RGBToColor(1, 2, 3));
    const std::wstring huge = L"rgb(" + std::wstring(1'000'000, L'0') + L"255 0 0)";
    form.ClipboardEx().SetText(huge);
    EXPECT_FALSE(form.ClipboardEx().GetText(MaxPastedCodeLength));
    form.Click(idMClipboard_PasteCodeFromClipboard);
    EXPECT_EQ(form.ColorReference(), RGBToColor(1, 2, 3));
}

} // namespace
