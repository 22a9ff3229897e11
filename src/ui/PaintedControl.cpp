#include "ui/PaintedControl.h"

#include "ui/ControlPaint.h"

#include <utility>

namespace {

// Posted to the control itself, so a default action that opens a modal
// window (the eye dropper, the color dialog) never holds up the screen
// reader that asked for it.
UINT DefaultActionMessage() noexcept
{
    static const UINT message = ::RegisterWindowMessageW(L"Vesk.AccessibleDefaultAction");
    return message;
}

} // namespace

TPaintedControl::~TPaintedControl()
{
    ReleaseAccessible();
}

void TPaintedControl::Invalidate() const noexcept
{
    ::InvalidateRect(Handle(), nullptr, FALSE);
}

void TPaintedControl::SetDpi(UINT dpi)
{
    if (dpi == 0 || dpi == m_dpi)
        return;
    m_dpi = dpi;
    DpiChanged();
    Invalidate();
}

void TPaintedControl::SetFont(HFONT font)
{
    m_font = font;
    Invalidate();
}

HFONT TPaintedControl::Font() const noexcept
{
    return m_font ? m_font : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
}

void TPaintedControl::SetAccessibleDescription(std::wstring description)
{
    if (description == m_description)
        return;
    m_description = std::move(description);
    NotifyAccessible(EVENT_OBJECT_DESCRIPTIONCHANGE);
}

void TPaintedControl::SetAccessibleDefaultAction(std::wstring action)
{
    m_defaultAction = std::move(action);
}

void TPaintedControl::NotifyAccessible(DWORD event) const noexcept
{
    if (Handle())
        NotifyAccessibleEvent(Handle(), event);
}

std::wstring TPaintedControl::AccessibleName() const
{
    const int length = ::GetWindowTextLengthW(Handle());
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int copied = ::GetWindowTextW(Handle(), text.data(), length + 1);
    text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
    return text;
}

std::wstring TPaintedControl::AccessibleDefaultAction() const
{
    // A control without an action has none, whatever word it was given; one
    // with an action always names it, for the clients that ask first.
    if (!HasAccessibleDefaultAction())
        return {};
    return m_defaultAction.empty() ? std::wstring(L"Press") : m_defaultAction;
}

void TPaintedControl::RequestAccessibleDefaultAction()
{
    ::PostMessageW(Handle(), DefaultActionMessage(), 0, 0);
}

void TPaintedControl::ReleaseAccessible() noexcept
{
    if (!m_accessible)
        return;
    // Clients may still hold the object: it stays, but answers that the
    // control is gone.
    ReleaseAccessibleObject(std::exchange(m_accessible, nullptr));
}

void TPaintedControl::HandleDestroyed()
{
    ReleaseAccessible();
}

void TPaintedControl::CreateControlWindow(const wchar_t* className, UINT classStyle, DWORD style, HWND parent,
                                          int controlId, const TChildPlace& place)
{
    WNDCLASSEXW windowClass{};
    windowClass.style = CS_HREDRAW | CS_VREDRAW | classStyle;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = className;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    const RECT& bounds = place.Bounds;
    CreateHandle(windowClass, 0, L"", WS_CHILD | (place.Visible ? WS_VISIBLE : 0) | style, bounds.left, bounds.top,
                 bounds.right - bounds.left, bounds.bottom - bounds.top, parent,
                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)));
}

LRESULT TPaintedControl::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT: {
        ControlPaint::BufferedPaint paint(Handle());
        Paint(paint.Dc(), paint.Client());
        return 0;
    }
    case WM_PRINTCLIENT: {
        RECT client{};
        ::GetClientRect(Handle(), &client);
        Paint(reinterpret_cast<HDC>(wParam), client);
        return 0;
    }
    case WM_ERASEBKGND: return 1;
    case WM_SETFONT:
        m_font = reinterpret_cast<HFONT>(wParam);
        if (lParam)
            Invalidate();
        return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(m_font);
    case WM_GETOBJECT:
        if (const auto answer = AnswerClientQuery(m_accessible, *this, wParam, lParam))
            return *answer;
        break;
    case WM_SETTEXT: {
        const LRESULT result = Window::HandleMessage(message, wParam, lParam);
        if (result)
            NotifyAccessible(EVENT_OBJECT_NAMECHANGE);
        return result;
    }
    default:
        if (message == DefaultActionMessage()) {
            AccessibleDefaultActionRun();
            return 0;
        }
        break;
    }
    return Window::HandleMessage(message, wParam, lParam);
}
