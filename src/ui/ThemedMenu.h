#pragma once

#include "common/Win32.h"

#include <memory>
#include <vector>

// Menus in the dark look. The stock menu bar and pop-up menus paint only in
// system colors, so in the dark look every item becomes owner-drawn while
// keeping its caption as the item's string: Alt + access key, screen readers
// and GetMenuStringW keep working in both looks.
class TThemedMenu {
public:
    // Makes every item of `menu` and its submenus owner-drawn (dark look) or
    // plain again. Run it again after items were added or recaptioned.
    void Apply(HMENU menu, bool menuBar, bool ownerDraw);

    // WM_MEASUREITEM / WM_DRAWITEM for menu items; false when the item is
    // not one of ours.
    bool Measure(MEASUREITEMSTRUCT& measure) const;
    bool Draw(const DRAWITEMSTRUCT& draw) const;
    // The owner of the bar calls this after the system's handling of each
    // WM_NCPAINT and WM_NCACTIVATE. While the bar is owner-drawn, it paints
    // the bar around its items, and the line under it, in the bar's color:
    // the system paints that space in its own menu color whatever the
    // menu's background brush says (Wine always, Windows the line).
    void NonClientPainted(HWND window) const;

    // Sets the font measured and drawn with (the system menu font for the
    // window's DPI, which the items' margins follow too); the menu does not
    // own it.
    void SetFont(HFONT font, UINT dpi) noexcept
    {
        m_font = font;
        m_dpi = dpi;
    }

    void Clear() noexcept { m_items.clear(); }

    // The item of this command id shows a swatch of the color before its
    // caption. Such items are drawn here in both looks (in the plain look
    // with the system's menu colors), as the stock menus draw no swatch.
    // Apply makes them so.
    void SetSwatch(UINT commandId, COLORREF color);
    void ClearSwatches(UINT firstId, UINT lastId);

private:
    struct Item {
        HMENU parent;
        UINT position;
        bool menuBar;
        bool swatch = false;
        COLORREF color = 0;
    };
    struct Swatch {
        UINT commandId;
        COLORREF color;
    };

    void ApplyItems(HMENU menu, bool menuBar, bool ownerDraw);
    const Item* Find(ULONG_PTR data) const noexcept;
    static void PaintBarBackground(HWND window);

    std::vector<std::unique_ptr<Item>> m_items;
    std::vector<Swatch> m_swatches;
    HFONT m_font = nullptr;
    UINT m_dpi = USER_DEFAULT_SCREEN_DPI;
    bool m_barOwnerDrawn = false;
    // Where items are measured: a memory DC of the screen's, made at the
    // first measure. The window's own DC would give the same sizes at a
    // higher price, one for each item of each bar layout.
    mutable UniqueMemoryDc m_measureDc;
};

// The menu font of the system, for a DPI.
UniqueFont CreateMenuFont(UINT dpi);
