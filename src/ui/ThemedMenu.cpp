#include "ui/ThemedMenu.h"

#include "ui/Dpi.h"
#include "ui/Theme.h"

#include <algorithm>
#include <string>

namespace {

std::wstring ItemText(HMENU parent, UINT position)
{
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STRING;
    info.dwTypeData = nullptr;
    if (!::GetMenuItemInfoW(parent, position, TRUE, &info) || info.cch == 0)
        return {};
    std::wstring text(info.cch + 1, L'\0');
    info.dwTypeData = text.data();
    info.cch = static_cast<UINT>(text.size());
    if (!::GetMenuItemInfoW(parent, position, TRUE, &info))
        return {};
    text.resize(info.cch);
    return text;
}

UINT ItemType(HMENU parent, UINT position)
{
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE;
    return ::GetMenuItemInfoW(parent, position, TRUE, &info) ? info.fType : 0;
}

int ScaledMetric(UINT dpi, int pixels)
{
    return ::MulDiv(pixels, static_cast<int>(dpi), USER_DEFAULT_SCREEN_DPI);
}

} // namespace

UniqueFont CreateMenuFont(UINT dpi)
{
    NONCLIENTMETRICSW metrics{};
    if (!NonClientMetricsForDpi(metrics, dpi))
        return UniqueFont(::CreateFontW(-::MulDiv(9, static_cast<int>(dpi), 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE,
                                        FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                        CLEARTYPE_QUALITY, DEFAULT_PITCH, L"Segoe UI"));
    return UniqueFont(::CreateFontIndirectW(&metrics.lfMenuFont));
}

void TThemedMenu::Apply(HMENU menu, bool menuBar, bool ownerDraw)
{
    if (menuBar) {
        m_items.clear();
        m_barOwnerDrawn = ownerDraw;
    }
    ApplyItems(menu, menuBar, ownerDraw);
    Theme::ApplyToMenu(menu);
}

void TThemedMenu::SetSwatch(UINT commandId, COLORREF color)
{
    for (Swatch& swatch : m_swatches)
        if (swatch.commandId == commandId) {
            swatch.color = color;
            return;
        }
    m_swatches.push_back({commandId, color});
}

void TThemedMenu::ClearSwatches(UINT firstId, UINT lastId)
{
    std::erase_if(m_swatches,
                  [=](const Swatch& swatch) { return swatch.commandId >= firstId && swatch.commandId <= lastId; });
}

void TThemedMenu::ApplyItems(HMENU menu, bool menuBar, bool ownerDraw)
{
    const int count = ::GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        const auto position = static_cast<UINT>(i);
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_SUBMENU | MIIM_ID;
        if (!::GetMenuItemInfoW(menu, position, TRUE, &info))
            continue;
        if (info.hSubMenu)
            ApplyItems(info.hSubMenu, false, ownerDraw);

        const auto swatch = info.hSubMenu || (info.fType & MFT_SEPARATOR)
                                ? m_swatches.end()
                                : std::find_if(m_swatches.begin(), m_swatches.end(), [&info](const Swatch& candidate) {
                                      return candidate.commandId == info.wID;
                                  });
        const bool drawnHere = ownerDraw || swatch != m_swatches.end();

        MENUITEMINFOW change{};
        change.cbSize = sizeof change;
        change.fMask = MIIM_FTYPE | MIIM_DATA;
        change.fType = drawnHere ? (info.fType | MFT_OWNERDRAW) : (info.fType & ~static_cast<UINT>(MFT_OWNERDRAW));
        change.dwItemData = 0;
        if (drawnHere) {
            Item item{menu, position, menuBar};
            if (swatch != m_swatches.end()) {
                item.swatch = true;
                item.color = swatch->color;
            }
            m_items.push_back(std::make_unique<Item>(item));
            change.dwItemData = reinterpret_cast<ULONG_PTR>(m_items.back().get());
        }
        ::SetMenuItemInfoW(menu, position, TRUE, &change);
    }
}

const TThemedMenu::Item* TThemedMenu::Find(ULONG_PTR data) const noexcept
{
    const auto* wanted = reinterpret_cast<const Item*>(data);
    const auto found = std::find_if(m_items.begin(), m_items.end(),
                                    [wanted](const std::unique_ptr<Item>& item) { return item.get() == wanted; });
    return found == m_items.end() ? nullptr : found->get();
}

bool TThemedMenu::Measure(MEASUREITEMSTRUCT& measure) const
{
    if (measure.CtlType != ODT_MENU)
        return false;
    const Item* item = Find(measure.itemData);
    if (!item)
        return false;

    if (!m_measureDc)
        m_measureDc.reset(::CreateCompatibleDC(nullptr));
    if (!m_measureDc)
        return false; // the system measures it by its caption
    const HDC dc = m_measureDc.get();
    SelectedObject font(dc, m_font ? static_cast<HGDIOBJ>(m_font) : ::GetStockObject(DEFAULT_GUI_FONT));
    if (ItemType(item->parent, item->position) & MFT_SEPARATOR) {
        measure.itemWidth = 1;
        measure.itemHeight = static_cast<UINT>(ScaledMetric(m_dpi, 7));
        return true;
    }
    const std::wstring text = ItemText(item->parent, item->position);
    const size_t tab = text.find(L'\t');
    RECT label{};
    ::DrawTextW(dc, text.substr(0, tab).c_str(), -1, &label, DT_SINGLELINE | DT_CALCRECT);
    int width = label.right - label.left;
    if (tab != std::wstring::npos) {
        RECT shortcut{};
        ::DrawTextW(dc, text.substr(tab + 1).c_str(), -1, &shortcut, DT_SINGLELINE | DT_CALCRECT);
        width += ScaledMetric(m_dpi, 28) + (shortcut.right - shortcut.left);
    }
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(dc, &metrics);
    if (item->menuBar) {
        // The system adds room around bar items itself.
        measure.itemWidth = static_cast<UINT>(width);
        measure.itemHeight = static_cast<UINT>(metrics.tmHeight);
    } else {
        // Room for the check mark on the left and the submenu arrow on the
        // right, as the stock menus leave it.
        // An item that opens a submenu also leaves room for its arrow, which
        // the system draws over the item's right end.
        if (::GetSubMenu(item->parent, static_cast<int>(item->position)))
            width += ScaledMetric(m_dpi, 16);
        measure.itemWidth = static_cast<UINT>(width + ScaledMetric(m_dpi, 32));
        measure.itemHeight = static_cast<UINT>(metrics.tmHeight + ScaledMetric(m_dpi, 8));
    }
    return true;
}

void TThemedMenu::NonClientPainted(HWND window) const
{
    if (m_barOwnerDrawn)
        PaintBarBackground(window);
}

void TThemedMenu::PaintBarBackground(HWND window)
{
    HMENU bar = ::GetMenu(window);
    MENUBARINFO info{};
    info.cbSize = sizeof info;
    RECT frame{};
    if (!bar || !::GetMenuBarInfo(window, OBJID_MENU, 0, &info) || !::GetWindowRect(window, &frame))
        return;
    // In window coordinates, down to the line under the bar.
    RECT area = info.rcBar;
    ::OffsetRect(&area, -frame.left, -frame.top);
    area.bottom += 1;
    HDC dc = ::GetWindowDC(window);
    if (!dc)
        return;
    const int count = ::GetMenuItemCount(bar);
    for (int i = 0; i < count; ++i) {
        RECT item{};
        if (!::GetMenuItemRect(window, bar, static_cast<UINT>(i), &item))
            continue;
        ::OffsetRect(&item, -frame.left, -frame.top);
        ::ExcludeClipRect(dc, item.left, item.top, item.right, item.bottom);
    }
    ::FillRect(dc, &area, Theme::Brush(TThemeColor::MenuBar));
    ::ReleaseDC(window, dc);
}

bool TThemedMenu::Draw(const DRAWITEMSTRUCT& draw) const
{
    if (draw.CtlType != ODT_MENU)
        return false;
    const Item* item = Find(draw.itemData);
    if (!item)
        return false;

    HDC dc = draw.hDC;
    RECT area = draw.rcItem;
    const bool selected = (draw.itemState & (ODS_SELECTED | ODS_HOTLIGHT)) != 0;
    const bool disabled = (draw.itemState & (ODS_DISABLED | ODS_GRAYED)) != 0;
    const UINT type = ItemType(item->parent, item->position);

    const TThemeColor background = selected && !disabled ? TThemeColor::MenuHighlight
                                   : item->menuBar       ? TThemeColor::MenuBar
                                                         : TThemeColor::MenuBackground;
    ::FillRect(dc, &area, Theme::Brush(background));

    if (type & MFT_SEPARATOR) {
        RECT line = area;
        line.left += ScaledMetric(m_dpi, 4);
        line.right -= ScaledMetric(m_dpi, 4);
        line.top = (area.top + area.bottom) / 2;
        line.bottom = line.top + 1;
        ::FillRect(dc, &line, Theme::Brush(TThemeColor::MenuSeparator));
        return true;
    }

    SelectedObject font(dc, m_font ? static_cast<HGDIOBJ>(m_font) : ::GetStockObject(DEFAULT_GUI_FONT));
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, Theme::Color(disabled   ? TThemeColor::DisabledText
                                    : selected ? TThemeColor::MenuHighlightText
                                               : TThemeColor::MenuText));
    const std::wstring text = ItemText(item->parent, item->position);
    const size_t tab = text.find(L'\t');
    // Access keys are underlined only while the user works the menu with
    // the keyboard, as in the stock menus.
    const UINT prefix = (draw.itemState & ODS_NOACCEL) ? DT_HIDEPREFIX : 0;

    if (item->menuBar) {
        ::DrawTextW(dc, text.c_str(), -1, &area, DT_SINGLELINE | DT_CENTER | DT_VCENTER | prefix);
        return true;
    }

    const int checkWidth = ScaledMetric(m_dpi, 22);
    if (draw.itemState & ODS_CHECKED) {
        RECT mark{area.left, area.top, area.left + checkWidth, area.bottom};
        if (type & MFT_RADIOCHECK) {
            const int size = ScaledMetric(m_dpi, 6);
            const int cx = (mark.left + mark.right) / 2;
            const int cy = (mark.top + mark.bottom) / 2;
            SelectedObject brush(dc, ::GetStockObject(DC_BRUSH));
            SelectedObject pen(dc, ::GetStockObject(NULL_PEN));
            ::SetDCBrushColor(dc, ::GetTextColor(dc));
            ::Ellipse(dc, cx - size / 2, cy - size / 2, cx - size / 2 + size + 1, cy - size / 2 + size + 1);
        } else {
            // A check mark drawn as two strokes, thick enough at any DPI.
            const int unit = std::max(1, ScaledMetric(m_dpi, 1));
            const int cx = (mark.left + mark.right) / 2;
            const int cy = (mark.top + mark.bottom) / 2;
            UniquePen pen(::CreatePen(PS_SOLID, 2 * unit, ::GetTextColor(dc)));
            SelectedObject selectedPen(dc, pen.get());
            POINT stroke[] = {{cx - 4 * unit, cy}, {cx - unit, cy + 3 * unit}, {cx + 4 * unit, cy - 4 * unit}};
            ::Polyline(dc, stroke, 3);
        }
    }

    if (item->swatch) {
        // In the check mark's column, framed in the text's color so that a
        // color close to the menu's own still shows its edge.
        const int side = ScaledMetric(m_dpi, 14);
        const int left = area.left + (checkWidth - side) / 2 + ScaledMetric(m_dpi, 2);
        const int top = (area.top + area.bottom - side) / 2;
        const RECT frame{left, top, left + side, top + side};
        const int unit = std::max(1, ScaledMetric(m_dpi, 1));
        const RECT inside{frame.left + unit, frame.top + unit, frame.right - unit, frame.bottom - unit};
        ::SetDCBrushColor(dc, ::GetTextColor(dc));
        ::FillRect(dc, &frame, static_cast<HBRUSH>(::GetStockObject(DC_BRUSH)));
        ::SetDCBrushColor(dc, item->color);
        ::FillRect(dc, &inside, static_cast<HBRUSH>(::GetStockObject(DC_BRUSH)));
    }

    RECT label = area;
    label.left += checkWidth + ScaledMetric(m_dpi, 4);
    label.right -= ScaledMetric(m_dpi, 10);
    ::DrawTextW(dc, text.substr(0, tab).c_str(), -1, &label, DT_SINGLELINE | DT_LEFT | DT_VCENTER | prefix);
    if (tab != std::wstring::npos)
        ::DrawTextW(dc, text.substr(tab + 1).c_str(), -1, &label, DT_SINGLELINE | DT_RIGHT | DT_VCENTER | DT_NOPREFIX);
    return true;
}
