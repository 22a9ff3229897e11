#include "MainWindowFixture.h"

#include "app/Commands.h"

namespace {

using namespace MainWindowTesting;

class RecentColorsMenuTest : public MainWindowFixture {
protected:
    void TearDown() override
    {
        Theme::SimulateHighContrastForTesting(std::nullopt);
        Theme::SystemColorsChanged();
        Theme::Apply(TThemeKind::Windows);
        MainWindowFixture::TearDown();
    }

    // Color > Recent Colors.
    HMENU RecentColorsMenu() const
    {
        HMENU bar = m_form->MenuBar();
        for (int i = 0; i < ::GetMenuItemCount(bar); ++i) {
            HMENU popup = ::GetSubMenu(bar, i);
            for (int j = 0; popup && j < ::GetMenuItemCount(popup); ++j)
                if (HMENU sub = ::GetSubMenu(popup, j);
                    sub && ::GetMenuState(sub, idMRecentColors_CopyAll, MF_BYCOMMAND) != static_cast<UINT>(-1))
                    return sub;
        }
        return nullptr;
    }

    // As the system tells the window when the user opens the submenu.
    HMENU OpenRecentColors() const
    {
        HMENU menu = RecentColorsMenu();
        if (menu)
            ::SendMessageW(m_form->Handle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), 0);
        return menu;
    }

    static std::wstring ItemString(HMENU menu, int position)
    {
        wchar_t buffer[64]{};
        ::GetMenuStringW(menu, static_cast<UINT>(position), buffer, 64, MF_BYPOSITION);
        return buffer;
    }
};

TEST_F(RecentColorsMenuTest, ItemsNameTheirColorsInTheOutputFormatAndChooseThem)
{
    // Visual Basic: the "&" of "&H" must show, and be spoken, as itself.
    WriteSettings("[Settings]\r\nOutputFormat=3\r\nRecentColors=255,65280\r\n");
    TFormMain& form = Create();
    HMENU menu = OpenRecentColors();
    ASSERT_NE(menu, nullptr);
    // The two colors, a separator, Copy All, Copy All As, Clear.
    ASSERT_EQ(::GetMenuItemCount(menu), 6);
    const std::pair<int, std::string_view> codes[] = {{0, "&H000000ff"}, {1, "&H0000ff00"}};
    for (const auto& [position, code] : codes) {
        SCOPED_TRACE(position);
        EXPECT_EQ(::GetMenuItemID(menu, position), static_cast<UINT>(idMRecentColorFirst + position));
        EXPECT_EQ(NameOfCaption(WideToUtf8(ItemString(menu, position))), code);
    }
    for (int position = 3; position < 6; ++position)
        EXPECT_EQ(::GetMenuState(menu, static_cast<UINT>(position), MF_BYPOSITION) & MF_GRAYED, 0u);

    form.Click(idMRecentColorFirst + 1);
    EXPECT_EQ(form.ColorReference(), 0x00FF00);

    // A copy command puts its color in front; opening again shows it there.
    form.Click(idMClipboard_CopyCodeToClipboard);
    OpenRecentColors();
    ASSERT_EQ(::GetMenuItemCount(menu), 6);
    EXPECT_EQ(NameOfCaption(WideToUtf8(ItemString(menu, 0))), "&H0000ff00");
    EXPECT_EQ(NameOfCaption(WideToUtf8(ItemString(menu, 1))), "&H000000ff");

    // Cleared, only the commands stay, grayed.
    form.Click(idMRecentColors_Clear);
    OpenRecentColors();
    ASSERT_EQ(::GetMenuItemCount(menu), 3);
    for (int position = 0; position < 3; ++position)
        EXPECT_NE(::GetMenuState(menu, static_cast<UINT>(position), MF_BYPOSITION) & MF_GRAYED, 0u);
}

TEST_F(RecentColorsMenuTest, SwatchesAreDrawnInBothLooksAndInHighContrast)
{
    constexpr TColor Color = 0x3366CC;
    WriteSettings("[Settings]\r\nRecentColors=" + std::to_string(Color) + "\r\n");
    TFormMain& form = Create();
    struct TLook {
        const char* Name;
        TThemeKind Kind;
        bool HighContrast;
    };
    const TLook looks[] = {{"plain", TThemeKind::Windows, false},
                           {"Carbon", TThemeKind::Carbon, false},
                           {"high contrast", TThemeKind::Carbon, true}};
    for (const TLook& look : looks) {
        SCOPED_TRACE(look.Name);
        Theme::SimulateHighContrastForTesting(look.HighContrast);
        Theme::SystemColorsChanged();
        Theme::Apply(look.Kind);
        HMENU menu = OpenRecentColors();
        ASSERT_NE(menu, nullptr);

        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_DATA | MIIM_ID;
        ASSERT_TRUE(::GetMenuItemInfoW(menu, 0, TRUE, &info));
        ASSERT_NE(info.fType & MFT_OWNERDRAW, 0u) << "the swatch item is left to the system";

        MEASUREITEMSTRUCT measure{};
        measure.CtlType = ODT_MENU;
        measure.itemID = info.wID;
        measure.itemData = info.dwItemData;
        ASSERT_TRUE(::SendMessageW(form.Handle(), WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure)));
        ASSERT_GT(measure.itemWidth, 0u);
        ASSERT_GT(measure.itemHeight, 0u);

        const int width = static_cast<int>(measure.itemWidth);
        const int height = static_cast<int>(measure.itemHeight);
        WindowDc screen(nullptr);
        UniqueMemoryDc dc(::CreateCompatibleDC(screen.get()));
        UniqueBitmap bitmap(::CreateCompatibleBitmap(screen.get(), width, height));
        ASSERT_TRUE(dc && bitmap);
        SelectedObject selected(dc.get(), bitmap.get());
        DRAWITEMSTRUCT draw{};
        draw.CtlType = ODT_MENU;
        draw.itemID = info.wID;
        draw.itemAction = ODA_DRAWENTIRE;
        draw.hwndItem = reinterpret_cast<HWND>(menu);
        draw.hDC = dc.get();
        draw.rcItem = {0, 0, width, height};
        draw.itemData = info.dwItemData;
        ASSERT_TRUE(::SendMessageW(form.Handle(), WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw)));

        // The swatch's middle, in the check mark's column, shows the color
        // itself; the item's right end shows the menu's background.
        const int dpi = ::GetDeviceCaps(dc.get(), LOGPIXELSY);
        const int middle = ::MulDiv(13, dpi, USER_DEFAULT_SCREEN_DPI);
        EXPECT_EQ(::GetPixel(dc.get(), middle, height / 2), static_cast<COLORREF>(Color));
        EXPECT_EQ(::GetPixel(dc.get(), width - 2, height / 2), Theme::Color(TThemeColor::MenuBackground));
    }
}

} // namespace
