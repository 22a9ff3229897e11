// The floor for start-up measurements: the least a Win32 program does to
// show a window (register a class, create and show it, run the loop).
//
// Built a second time with VESK_CHILD_CONTROLS, it makes before showing
// itself 16 child windows, 10 visible and 6 hidden, of the kinds Vesk Color
// Picker's main window is made of: edit boxes and labels of the system's
// own classes (with the same manifest, which asks for no common controls),
// the rest of a class of its own that paints a plain color. What that costs
// over the floor is what that many controls alone cost, whatever they draw.

#include <windows.h>

namespace {

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

#ifdef VESK_CHILD_CONTROLS
LRESULT CALLBACK ControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
        PAINTSTRUCT paint{};
        HDC dc = ::BeginPaint(window, &paint);
        ::FillRect(dc, &paint.rcPaint, reinterpret_cast<HBRUSH>(COLOR_BTNSHADOW + 1));
        ::EndPaint(window, &paint);
        return 0;
    }
    default: return ::DefWindowProcW(window, message, wParam, lParam);
    }
}

void CreateControls(HINSTANCE instance, HWND parent)
{
    WNDCLASSW controlClass{};
    controlClass.lpfnWndProc = ControlProc;
    controlClass.hInstance = instance;
    controlClass.lpszClassName = L"MinimalControl";
    controlClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    ::RegisterClassW(&controlClass);

    struct TControl {
        const wchar_t* ClassName;
        DWORD Style;
        int Count;
        int Hidden; // of Count
    };
    // The main window's controls by kind: the two tool buttons, the four
    // scroll bars and edit boxes of the component rows, the two color boxes
    // and their codes, the color switch and the contrast (the rows' names
    // and letters are drawn by the window itself).
    const TControl kinds[] = {{L"MinimalControl", WS_TABSTOP, 2, 0},
                              {L"MinimalControl", WS_TABSTOP, 4, 1},
                              {L"EDIT", WS_TABSTOP | ES_AUTOHSCROLL, 4, 1},
                              {L"MinimalControl", WS_TABSTOP, 2, 1},
                              {L"STATIC", SS_LEFT | SS_NOPREFIX | SS_NOTIFY, 2, 1},
                              {L"MinimalControl", WS_TABSTOP, 1, 1},
                              {L"MinimalControl", 0, 1, 1}};
    int id = 100;
    for (const TControl& kind : kinds) {
        for (int i = 0; i < kind.Count; ++i, ++id) {
            const DWORD visible = i < kind.Count - kind.Hidden ? WS_VISIBLE : 0;
            const int left = (id - 100) % 8 * 48, top = (id - 100) / 8 * 24;
            ::CreateWindowExW(0, kind.ClassName, L"1", WS_CHILD | visible | kind.Style, left, top, 44, 20, parent,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
        }
    }
}
#endif

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show)
{
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = L"MinimalWindow";
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    if (!::RegisterClassW(&windowClass))
        return 1;
#ifdef VESK_CHILD_CONTROLS
    const DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN; // as the main window's
#else
    const DWORD style = WS_OVERLAPPEDWINDOW;
#endif
    HWND window = ::CreateWindowExW(0, L"MinimalWindow", L"Minimal Window", style, CW_USEDEFAULT, CW_USEDEFAULT, 400,
                                    150, nullptr, nullptr, instance, nullptr);
    if (!window)
        return 1;
#ifdef VESK_CHILD_CONTROLS
    CreateControls(instance, window);
#endif
    ::ShowWindow(window, show);
    ::UpdateWindow(window);
    MSG message{};
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return 0;
}
