#include "about/About.h"

#include "about/AboutTexts.h"

#include "about/UpdateCheck.h"
#include "about/UpdateCheckJob.h"
#include "about/UpdateCheckWinHttp.h"
#include "color/StringFunctions.h"
#include "common/Exception.h"
#include "common/FileSystem.h"
#include "i18n/LanguageSupport.h"
#include "ui/Accessible.h"
#include "ui/Application.h"
#include "ui/CommonControls.h"
#include "ui/Dpi.h"
#include "ui/MessageBoxes.h"
#include "ui/Shell.h"
#include "ui/Theme.h"

#include <commctrl.h>

#include <cstdlib>
#include <optional>
#include <vector>

namespace {

constexpr int ClientWidth = 231;
constexpr int ClientHeight = 225;
constexpr const wchar_t* CompanyName = L"Vesk";
constexpr const char* MailboxName = "info";
constexpr int idCopyright = 110;

constexpr DWORD AboutStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD AboutExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

// The texts of the update check, read each time an About window is created.
TUpdateCheckTexts g_updateTexts;

// The server of the update check; only tests change it.
std::string g_updateHost;
std::uint16_t g_updatePort = 80;

UniqueFont MakeFont(int height, int weight, bool underline)
{
    return UniqueFont(::CreateFontW(height, 0, 0, 0, weight, FALSE, underline ? TRUE : FALSE, FALSE, DEFAULT_CHARSET,
                                    OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                                    DEFAULT_PITCH | FF_SWISS, L"Verdana"));
}

HWND CreateLabel(HWND parent, int id, DWORD style = 0)
{
    HWND label = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX | style, 0, 0, 0, 0,
                                   parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                   reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(parent, GWLP_HINSTANCE)), nullptr);
    if (!label)
        throw Exception("Unable to create the About window");
    return label;
}

// The e-mail and homepage links: Tab stops that open with Enter and Space
// as with a click, and show a focus rectangle while they have the keyboard.
LRESULT CALLBACK LinkProc(HWND link, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR)
{
    switch (message) {
    case WM_GETDLGCODE:
        // The window's dialog loop hands these two keys to the link, where
        // it would otherwise make Enter close the window.
        if (const auto* key = reinterpret_cast<const MSG*>(lParam);
            key && key->message == WM_KEYDOWN && (key->wParam == VK_RETURN || key->wParam == VK_SPACE))
            return DLGC_WANTMESSAGE;
        break;
    case WM_KEYDOWN:
        if (wParam == VK_RETURN || wParam == VK_SPACE) {
            ::SendMessageW(::GetParent(link), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(link), STN_CLICKED),
                           reinterpret_cast<LPARAM>(link));
            return 0;
        }
        break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: ::InvalidateRect(link, nullptr, TRUE); break;
    case WM_PAINT: {
        const LRESULT result = ::DefSubclassProc(link, message, wParam, lParam);
        if (::GetFocus() == link) {
            WindowDc dc(link);
            RECT client{};
            ::GetClientRect(link, &client);
            ::DrawFocusRect(dc.get(), &client);
        }
        return result;
    }
    case WM_NCDESTROY: ::RemoveWindowSubclass(link, LinkProc, id); break;
    default: break;
    }
    return ::DefSubclassProc(link, message, wParam, lParam);
}

SIZE TextSize(HWND window, HFONT font, const std::wstring& text)
{
    WindowDc dc(window);
    SelectedObject selected(dc.get(), font);
    SIZE size{};
    ::GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &size);
    return size;
}

std::wstring WindowText(HWND window)
{
    const int length = ::GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int copied = ::GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
    return text;
}

std::string DecodeAnsiText(std::string_view bytes)
{
    if (bytes.empty() || bytes.size() > static_cast<size_t>(INT_MAX))
        return {};
    const int size = static_cast<int>(bytes.size());
    const int length = ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, nullptr, 0);
    if (length <= 0)
        return {};
    std::wstring wide(static_cast<size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, wide.data(), length);
    return WideToUtf8(wide);
}

std::string UserDecimalSeparator()
{
    wchar_t separator[8]{};
    if (::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, separator, 8) <= 1)
        return ".";
    return WideToUtf8(separator);
}

std::wstring ShortDate(std::time_t when)
{
    // The time stamp counts seconds since 1970-01-01 UTC; FILETIME counts
    // 100 ns units since 1601-01-01.
    const auto ticks = static_cast<ULONGLONG>(when) * 10000000ULL + 116444736000000000ULL;
    FILETIME utc{static_cast<DWORD>(ticks & 0xFFFFFFFF), static_cast<DWORD>(ticks >> 32)};
    FILETIME local{};
    SYSTEMTIME date{};
    if (!::FileTimeToLocalFileTime(&utc, &local) || !::FileTimeToSystemTime(&local, &date))
        return {};
    wchar_t text[80]{};
    if (::GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, &date, nullptr, text, 80, nullptr) <= 0)
        return {};
    return text;
}

void AddTool(HWND tooltip, HWND owner, HWND tool, const std::wstring& text)
{
    TTTOOLINFOW info{};
    info.cbSize = sizeof info;
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.hwnd = owner;
    info.uId = reinterpret_cast<UINT_PTR>(tool);
    info.lpszText = const_cast<wchar_t*>(text.c_str());
    ::SendMessageW(tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

} // namespace

std::string ExecutableVersion()
{
    wchar_t path[MAX_PATH]{};
    if (!::GetModuleFileNameW(nullptr, path, MAX_PATH))
        return "1.0";
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(path, &ignored);
    std::vector<BYTE> data(size);
    VS_FIXEDFILEINFO* info = nullptr;
    UINT length = 0;
    if (size == 0 || !::GetFileVersionInfoW(path, 0, size, data.data())
        || !::VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&info), &length) || !info)
        return "1.0";
    return std::to_string(HIWORD(info->dwFileVersionMS)) + "." + std::to_string(LOWORD(info->dwFileVersionMS));
}

std::time_t ExecutableBuildDate()
{
    const auto* base = reinterpret_cast<const BYTE*>(::GetModuleHandleW(nullptr));
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    if (dos && dos->e_magic == IMAGE_DOS_SIGNATURE) {
        const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
        if (nt->Signature == IMAGE_NT_SIGNATURE && nt->FileHeader.TimeDateStamp != 0)
            return static_cast<std::time_t>(nt->FileHeader.TimeDateStamp);
    }
    // Deterministic links write no stamp: the compiler's date of this file.
    static const char* months = "JanFebMarAprMayJunJulAugSepOctNovDec";
    const char* date = __DATE__; // "Mmm dd yyyy"
    std::tm parts{};
    parts.tm_mon = static_cast<int>((std::string_view(months).find(std::string_view(date, 3))) / 3);
    parts.tm_mday = std::atoi(date + 4);
    parts.tm_year = std::atoi(date + 7) - 1900;
    parts.tm_hour = 12;
    return _mkgmtime(&parts);
}

TFormAbout::TFormAbout(HWND owner, const TLanguages& languages, std::time_t compilationDate, int copyrightFrom,
                       int copyrightTo, std::int32_t productId)
    : m_owner(owner), m_languages(languages), FProductID(productId), m_compilationDate(compilationDate)
{
    // The labels and the tool tip in the look of the common controls.
    TCommonControlsScope commonControls;
    // It opens over the main window, on that window's monitor.
    m_dpi = WindowDpi(owner);
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass{};
    windowClass.hInstance = instance;
    windowClass.lpszClassName = ClassName;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = nullptr;

    const RECT frame = WindowRectForClient(RECT{0, 0, Scale(ClientWidth), Scale(ClientHeight)}, AboutStyle, true,
                                           AboutExStyle, FrameDpi(owner));
    CreateHandle(windowClass, AboutExStyle, L"", AboutStyle, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 owner, nullptr);

    CreateDpiResources();
    CreateMenus();
    CreateControls();

    const std::wstring years = copyrightFrom == copyrightTo
                                   ? std::to_wstring(copyrightFrom)
                                   : std::to_wstring(copyrightFrom) + L"-" + std::to_wstring(copyrightTo);
    ::SetWindowTextW(Control(idCopyright), (L"Copyright \u00A9 " + years).c_str());
    ::SetWindowTextW(Control(idAppTitle), Application::Title().c_str());
    FVersion = ExecutableVersion();
    ::SetWindowTextW(Control(idAppVersion), (Utf8ToWide(FVersion) + L" x64").c_str());
    m_appVersionHint = ShortDate(m_compilationDate);
    ::SetWindowTextW(Control(idCompany), CompanyName);
    m_emailAddress = Utf8ToWide(TLanguages::EmailAddress(MailboxName));
    ::SetWindowTextW(Control(idEmailLink), m_emailAddress.c_str());
    ::SetWindowTextW(Control(idHomepageLink), Utf8ToWide(TLanguages::HomePageAddress(false)).c_str());
    m_homepageHint = Utf8ToWide(m_languages.ProductPageAddress(true, FProductID));

    ApplyLanguage();
    // The menu captions are known only now; in some languages they need two
    // rows of the menu bar, which the first size did not allow for.
    SetClientSize(Handle(), Scale(ClientWidth), Scale(ClientHeight));
    FitAppTitle();
    LayoutControls();

    m_tooltip = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, Handle(), nullptr,
                                  instance, nullptr);
    if (m_tooltip) {
        AddTool(m_tooltip, Handle(), Control(idAppVersion), m_appVersionHint);
        AddTool(m_tooltip, Handle(), Control(idHomepageLink), m_homepageHint);
        ::SendMessageW(m_tooltip, TTM_SETDELAYTIME, TTDT_INITIAL, 100);
        ::SendMessageW(m_tooltip, TTM_SETDELAYTIME, TTDT_AUTOPOP, 10000);
        Theme::ApplyToTooltip(m_tooltip);
    }
    Theme::ApplyToTitleBar(Handle());

    // Centred on the main window, and on top when it is.
    RECT ownerRect{};
    RECT own{};
    ::GetWindowRect(owner, &ownerRect);
    ::GetWindowRect(Handle(), &own);
    const int x = ownerRect.left + ((ownerRect.right - ownerRect.left) - (own.right - own.left)) / 2;
    const int y = ownerRect.top + ((ownerRect.bottom - ownerRect.top) - (own.bottom - own.top)) / 2;
    const bool topmost = (::GetWindowLongPtrW(owner, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    ::SetWindowPos(Handle(), topmost ? HWND_TOPMOST : HWND_TOP, x, y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
    // Centred over the edge of two monitors, it may have landed on the other.
    if (const UINT placed = WindowDpi(Handle()); placed != m_dpi)
        DpiChanged(placed, nullptr);
}

void TFormAbout::CreateDpiResources()
{
    m_fontText = MakeFont(-Scale(12), FW_NORMAL, false);
    m_fontBold = MakeFont(-Scale(12), FW_BOLD, false);
    m_fontLink = MakeFont(-Scale(12), FW_NORMAL, true);
    m_fontMenu = CreateMenuFont(m_dpi);
    m_themedMenu.SetFont(m_fontMenu.get(), m_dpi);
    m_icon.reset(static_cast<HICON>(
        ::LoadImageW(::GetModuleHandleW(nullptr), L"MAINICON", IMAGE_ICON, Scale(32), Scale(32), LR_DEFAULTCOLOR)));
}

SIZE TFormAbout::ScaledSizeFor(UINT dpi) const
{
    const auto scale = [dpi](int pixels) { return ::MulDiv(pixels, static_cast<int>(dpi), USER_DEFAULT_SCREEN_DPI); };
    return OuterSizeForClientAtDpi(Handle(), scale(ClientWidth), scale(ClientHeight), dpi);
}

void TFormAbout::DpiChanged(UINT dpi, const RECT* suggested)
{
    m_dpi = dpi;
    CreateDpiResources();
    FitAppTitle();
    LayoutControls();
    m_themedMenu.Apply(m_menu, true, Theme::IsDark());
    if (suggested)
        ::SetWindowPos(Handle(), nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                       suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
    SetClientSize(Handle(), Scale(ClientWidth), Scale(ClientHeight));
    ::InvalidateRect(Handle(), nullptr, TRUE);
}

TFormAbout::~TFormAbout()
{
    m_updateCheck.reset();
    DestroyHandle();
}

void SetUpdateCheckServerForTesting(const std::string& host, std::uint16_t port)
{
    g_updateHost = host;
    g_updatePort = port;
}

int TFormAbout::Scale(int pixels) const noexcept
{
    return ::MulDiv(pixels, static_cast<int>(m_dpi), USER_DEFAULT_SCREEN_DPI);
}

HWND TFormAbout::Control(int id) const noexcept
{
    return ::GetDlgItem(Handle(), id);
}

std::wstring TFormAbout::Text(std::string_view key) const
{
    return Utf8ToWide(m_languages.ActiveFile().ReadString(AboutText::Section, key));
}

std::wstring TFormAbout::LicenseFile() const
{
    return ExecutableFolder() + L"License.txt";
}

void TFormAbout::CreateMenus()
{
    m_menu = ::CreateMenu();
    if (!m_menu)
        throw Exception("Unable to create the About window");
    ::SetMenu(Handle(), m_menu);
    // Placeholders until ApplyLanguage sets the captions.
    ::AppendMenuW(m_menu, MF_STRING, idMCheckForNewVersion, Utf8ToWide(AboutText::MCheckForNewVersion).c_str());
    ::AppendMenuW(m_menu, MF_STRING, idMLicenseAgreement, Utf8ToWide(AboutText::MLicenseAgreement).c_str());
}

void TFormAbout::CreateControls()
{
    HWND self = Handle();
    CreateLabel(self, idAppTitle);
    CreateLabel(self, idLAppVersion);
    CreateLabel(self, idAppVersion, SS_NOTIFY);
    CreateLabel(self, idCopyright);
    CreateLabel(self, idCompany);
    for (const int id : {idEmailLink, idHomepageLink}) {
        HWND link = CreateLabel(self, id, SS_NOTIFY | WS_TABSTOP);
        ::SetWindowSubclass(link, LinkProc, 1, 0);
        // Read as the links they are, not as text, once a screen reader
        // is about.
        if (AccessibleClientSeen())
            AnnotateAccessibleRole(link, ROLE_SYSTEM_LINK);
    }
}

void TFormAbout::ApplyLanguage()
{
    ::SetWindowTextW(Handle(), Text(AboutText::Caption).c_str());
    const auto setCaption = [this](int id, const std::wstring& caption) {
        std::wstring text = caption;
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_STRING;
        info.dwTypeData = text.data();
        ::SetMenuItemInfoW(m_menu, static_cast<UINT>(id), FALSE, &info);
    };
    setCaption(idMCheckForNewVersion, Text(AboutText::MCheckForNewVersion));
    setCaption(idMLicenseAgreement, Text(AboutText::MLicenseAgreement));
    ::SetWindowTextW(Control(idLAppVersion), (Text(AboutText::LAppVersion) + L":").c_str());

    const auto read = [this](std::string_view key) {
        return m_languages.ActiveFile().ReadString(AboutText::Section, key);
    };
    g_updateTexts.NewVersionAvailable = read(AboutText::sNewVersionAvailable);
    g_updateTexts.GoToProductsWebPage = read(AboutText::sGoToProductsWebPage);
    g_updateTexts.Application = read(AboutText::sApplication);
    g_updateTexts.UpToDate = read(AboutText::sUpToDate);
    g_updateTexts.UnknownError = read(AboutText::sUnknownError);
    g_updateTexts.NoResponseFromServer = read(AboutText::sNoResponseFromServer);
    m_themedMenu.Apply(m_menu, true, Theme::IsDark());
    ::DrawMenuBar(Handle());
}

void TFormAbout::FitAppTitle()
{
    // 15 px is 11 points at 96 DPI; shrink a point at a time until the name
    // ends inside the window.
    const std::wstring title = WindowText(Control(idAppTitle));
    for (m_titlePoints = 11; m_titlePoints > 1; --m_titlePoints) {
        m_fontTitle = MakeFont(-::MulDiv(m_titlePoints, static_cast<int>(m_dpi), 72), FW_BOLD, false);
        if (Scale(76) + TextSize(Handle(), m_fontTitle.get(), title).cx <= Scale(ClientWidth))
            break;
    }
}

void TFormAbout::LayoutControls()
{
    const auto place = [this](int id, HFONT font, int left, int top) {
        HWND control = Control(id);
        ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        const SIZE size = TextSize(Handle(), font, WindowText(control));
        ::SetWindowPos(control, nullptr, left, top, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
        return left + size.cx;
    };
    place(idAppTitle, m_fontTitle.get(), Scale(76), Scale(24));
    const int versionLabelRight = place(idLAppVersion, m_fontText.get(), Scale(76), Scale(43));
    // A long translation of "Version" pushes the number to the right.
    place(idAppVersion, m_fontBold.get(), versionLabelRight + Scale(8), Scale(43));
    place(idCopyright, m_fontText.get(), Scale(24), Scale(78));
    place(idCompany, m_fontBold.get(), Scale(24), Scale(96));
    place(idEmailLink, m_fontLink.get(), Scale(46), Scale(114));
    place(idHomepageLink, m_fontLink.get(), Scale(46), Scale(132));
}

void TFormAbout::ShowModal()
{
    FormShow();
    Application::RunModal(Handle(), m_owner);
}

void TFormAbout::FormShow()
{
    const bool licence = FileStatus(TPath(LicenseFile())).Kind == TFileKind::File;
    ::EnableMenuItem(m_menu, idMLicenseAgreement, static_cast<UINT>(MF_BYCOMMAND | (licence ? MF_ENABLED : MF_GRAYED)));
    ::DrawMenuBar(Handle());
}

bool TFormAbout::LicenseCommandEnabled() const noexcept
{
    const UINT state = ::GetMenuState(m_menu, idMLicenseAgreement, MF_BYCOMMAND);
    return state != static_cast<UINT>(-1) && (state & (MF_DISABLED | MF_GRAYED)) == 0;
}

void TFormAbout::CloseWindow()
{
    // The owner comes back before this window goes, so the activation
    // returns to it and not to another program.
    if (m_owner)
        ::EnableWindow(m_owner, TRUE);
    // A check under way is abandoned: its result, whenever it comes, is
    // shown nowhere.
    m_updateCheck.reset();
    DestroyHandle();
}

void TFormAbout::OpenAddress(const std::wstring& address) const
{
    OpenWithShell(Handle(), address);
}

void TFormAbout::EmailLinkClick()
{
    OpenAddress(L"mailto:" + m_emailAddress + L"?subject=" + WindowText(Control(idAppTitle)) + L" "
                + WindowText(Control(idAppVersion)));
}

void TFormAbout::HomepageLinkClick()
{
    OpenAddress(m_homepageHint);
}

void TFormAbout::MLicenseAgreementClick()
{
    if (FileStatus(TPath(LicenseFile())).Kind == TFileKind::File)
        OpenAddress(Utf8ToWide(DoubleQuoted(WideToUtf8(LicenseFile()))));
    else
        ErrorBox(Utf8ToWide(m_languages.ActiveFile().ReadString(AboutText::Section, AboutText::sFileNotFound))
                 + L":\r\nLicense.txt");
}

// The exchange runs on a thread of its own: a server, route or proxy that
// does not answer may take minutes to give up, and a window that stopped
// answering for that long would be marked "Not responding" and hold up the
// end of the session. The window stays usable meanwhile and can be closed.
void TFormAbout::MCheckForNewVersionClick()
{
    if (m_updateCheck)
        return; // the check under way will answer
    const std::string host = g_updateHost.empty() ? UpdateCheckHost() : g_updateHost;
    THttpGetOptions options;
    options.Port = g_updateHost.empty() ? std::uint16_t{80} : g_updatePort;
    const std::string path = UpdateCheckPath(FProductID);
    const std::string version = FVersion;
    const std::string separator = UserDecimalSeparator();
    m_updateCheck = std::make_unique<TUpdateCheckJob>(Handle(), UpdateCheckDoneMessage, [=] {
        std::vector<std::string> lines;
        const THttpGetResult got = WinHttpGetReply(host, path, lines, DecodeAnsiText, options);
        return UpdateCheckResultOf(got, lines, version, separator);
    });
}

void TFormAbout::UpdateCheckDone()
{
    if (!m_updateCheck)
        return;
    const std::unique_ptr<TUpdateCheckJob> job = std::move(m_updateCheck);
    const std::optional<TUpdateCheckResult> result = job->TakeResult();
    if (!result)
        return;
    const TUpdateCheckMessage message = UpdateCheckMessage(*result, g_updateTexts);
    switch (message.Kind) {
    case TUpdateMessageKind::Question:
        if (QuestionBox(Utf8ToWide(message.Text), MB_YESNO))
            HomepageLinkClick();
        break;
    case TUpdateMessageKind::Information: InformationBox(Utf8ToWide(message.Text)); break;
    case TUpdateMessageKind::Error: ErrorBox(Utf8ToWide(message.Text)); break;
    }
}

void TFormAbout::Paint()
{
    PaintDc paint(Handle());
    RECT client{};
    ::GetClientRect(Handle(), &client);
    if (client.right <= 0 || client.bottom <= 0)
        return;
    UniqueMemoryDc buffer(::CreateCompatibleDC(paint.get()));
    UniqueBitmap bitmap(::CreateCompatibleBitmap(paint.get(), client.right, client.bottom));
    if (!buffer || !bitmap)
        return;
    SelectedObject selected(buffer.get(), bitmap.get());
    HDC dc = buffer.get();
    ::FillRect(dc, &client, Theme::Brush(TThemeColor::WindowBackground));
    if (m_icon)
        ::DrawIconEx(dc, Scale(24), Scale(24), m_icon.get(), Scale(32), Scale(32), 0, nullptr, DI_NORMAL);

    // The envelope (13 x 9) and the house (14 x 14), drawn in the text color
    // so they suit both looks at any scale.
    const int unit = std::max(1, Scale(1));
    UniquePen pen(::CreatePen(PS_SOLID, unit, Theme::Color(TThemeColor::Text)));
    SelectedObject selectedPen(dc, pen.get());
    SelectedObject hollow(dc, ::GetStockObject(NULL_BRUSH));
    const int ex = Scale(24), ey = Scale(116);
    ::Rectangle(dc, ex, ey, ex + Scale(13), ey + Scale(9));
    POINT flap[] = {{ex, ey}, {ex + Scale(13) / 2, ey + Scale(5)}, {ex + Scale(13) - unit, ey}};
    ::Polyline(dc, flap, 3);
    const int hx = Scale(24), hy = Scale(131);
    POINT roof[] = {{hx, hy + Scale(7)}, {hx + Scale(7), hy}, {hx + Scale(14) - unit, hy + Scale(7)}};
    ::Polyline(dc, roof, 3);
    ::Rectangle(dc, hx + Scale(2), hy + Scale(6), hx + Scale(12), hy + Scale(14));
    ::Rectangle(dc, hx + Scale(6), hy + Scale(9), hx + Scale(9), hy + Scale(14));

    ::BitBlt(paint.get(), 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
}

LRESULT TFormAbout::ControlColor(HDC dc, HWND control)
{
    const int id = ::GetDlgCtrlID(control);
    TThemeColor color = TThemeColor::Text;
    if (id == idAppTitle)
        color = TThemeColor::TitleAccent;
    else if (id == idEmailLink || id == idHomepageLink)
        color = TThemeColor::Link;
    ::SetTextColor(dc, Theme::Color(color));
    ::SetBkColor(dc, Theme::Color(TThemeColor::WindowBackground));
    return reinterpret_cast<LRESULT>(Theme::Brush(TThemeColor::WindowBackground));
}

LRESULT TFormAbout::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        if (lParam == 0 || HIWORD(wParam) == BN_CLICKED) {
            // Escape and Enter reach a window with a dialog loop as IDCANCEL
            // and IDOK: both close it.
            if (id == IDOK || id == IDCANCEL) {
                CloseWindow();
                return 0;
            }
            if (id == idMCheckForNewVersion) {
                MCheckForNewVersionClick();
                return 0;
            }
            if (id == idMLicenseAgreement) {
                if (LicenseCommandEnabled())
                    MLicenseAgreementClick();
                return 0;
            }
        }
        if (HIWORD(wParam) == STN_CLICKED) {
            if (id == idEmailLink)
                EmailLinkClick();
            else if (id == idHomepageLink)
                HomepageLinkClick();
            return 0;
        }
        break;
    }
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE || wParam == VK_RETURN) {
            CloseWindow();
            return 0;
        }
        break;
    case WM_SETCURSOR: {
        const int id = ::GetDlgCtrlID(reinterpret_cast<HWND>(wParam));
        if (id == idEmailLink || id == idHomepageLink) {
            ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
            return TRUE;
        }
        // Working in the background: the window still takes clicks.
        if (m_updateCheck && LOWORD(lParam) == HTCLIENT) {
            ::SetCursor(::LoadCursorW(nullptr, IDC_APPSTARTING));
            return TRUE;
        }
        break;
    }
    case UpdateCheckDoneMessage: UpdateCheckDone(); return 0;
    case WM_GETDPISCALEDSIZE: *reinterpret_cast<SIZE*>(lParam) = ScaledSizeFor(static_cast<UINT>(wParam)); return TRUE;
    case WM_DPICHANGED: DpiChanged(HIWORD(wParam), reinterpret_cast<const RECT*>(lParam)); return 0;
    case WM_CLOSE: CloseWindow(); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: Paint(); return 0;
    case WM_CTLCOLORSTATIC: return ControlColor(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_NCPAINT:
    case WM_NCACTIVATE: {
        const LRESULT result = Window::HandleMessage(message, wParam, lParam);
        m_themedMenu.NonClientPainted(Handle());
        return result;
    }
    case WM_MEASUREITEM:
        if (m_themedMenu.Measure(*reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)))
            return TRUE;
        break;
    case WM_DRAWITEM:
        if (m_themedMenu.Draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)))
            return TRUE;
        break;
    default:
        if (message == Theme::ChangedMessage()) {
            m_themedMenu.Apply(m_menu, true, Theme::IsDark());
            if (m_tooltip)
                Theme::ApplyToTooltip(m_tooltip);
            ::DrawMenuBar(Handle());
            return 0;
        }
        break;
    }
    return Window::HandleMessage(message, wParam, lParam);
}
