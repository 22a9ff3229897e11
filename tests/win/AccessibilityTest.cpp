// What screen readers get from the main window's self-drawn controls, and
// how those controls look in high contrast and with the focus on them.

#include "MainWindowFixture.h"
#include "color/Contrast.h"
#include "ui/Accessible.h"
#include "ui/ControlPaint.h"

#include <oleacc.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cwchar>
#include <optional>
#include <utility>

namespace {

using namespace MainWindowTesting;

void Pump()
{
    MSG message{};
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

// An IAccessible reached the way a screen reader reaches it: WM_GETOBJECT
// through the system's accessibility library.
class Accessible {
public:
    explicit Accessible(HWND window)
    {
        void* object = nullptr;
        m_result =
            ::AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible), &object);
        m_object = static_cast<IAccessible*>(object);
    }
    Accessible(const Accessible&) = delete;
    Accessible& operator=(const Accessible&) = delete;
    ~Accessible()
    {
        if (m_object)
            m_object->Release();
    }

    HRESULT Result() const { return m_result; }
    explicit operator bool() const { return m_object != nullptr; }

    LONG Role() const
    {
        VARIANT role;
        ::VariantInit(&role);
        m_object->get_accRole(Self(), &role);
        return role.vt == VT_I4 ? role.lVal : -1;
    }
    LONG State() const
    {
        VARIANT state;
        ::VariantInit(&state);
        m_object->get_accState(Self(), &state);
        return state.vt == VT_I4 ? state.lVal : -1;
    }
    std::wstring Name() const { return Text(&IAccessible::get_accName); }
    std::wstring Value() const { return Text(&IAccessible::get_accValue); }
    std::wstring Description() const { return Text(&IAccessible::get_accDescription); }
    std::wstring DefaultAction() const { return Text(&IAccessible::get_accDefaultAction); }
    HRESULT SetValue(const wchar_t* value) const
    {
        BSTR text = ::SysAllocString(value);
        const HRESULT result = m_object->put_accValue(Self(), text);
        ::SysFreeString(text);
        return result;
    }
    HRESULT DoDefaultAction() const { return m_object->accDoDefaultAction(Self()); }
    IAccessible* Get() const { return m_object; }

    static VARIANT Self()
    {
        VARIANT self;
        ::VariantInit(&self);
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        return self;
    }

private:
    std::wstring Text(HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR*)) const
    {
        BSTR text = nullptr;
        const HRESULT result = (m_object->*get)(Self(), &text);
        std::wstring value = SUCCEEDED(result) && text ? std::wstring(text) : std::wstring();
        ::SysFreeString(text);
        return value;
    }

    HRESULT m_result = E_FAIL;
    IAccessible* m_object = nullptr;
};

struct SeenEvent {
    DWORD Event;
    HWND Window;
    LONG Object;
    LONG Child;
};
std::vector<SeenEvent> g_events;

void CALLBACK RecordEvent(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD, DWORD)
{
    g_events.push_back({event, window, object, child});
}

class AccessibilityTest : public MainWindowFixture {
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        m_com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    }
    void TearDown() override
    {
        MainWindowFixture::TearDown();
        if (SUCCEEDED(m_com))
            ::CoUninitialize();
    }

    HWND ControlOf(int id) const { return m_form->Control(id); }

    void ChooseLanguage(const std::string& language)
    {
        OpenSettingsMenu();
        const auto& list = m_languages->List();
        const auto item = std::find(list.begin(), list.end(), language);
        ASSERT_NE(item, list.end());
        m_form->Click(idMSettings_LanguageFirst + static_cast<int>(item - list.begin()));
        ASSERT_EQ(m_languages->ActiveLanguage(), language);
    }

    HRESULT m_com = E_FAIL;
};

TEST_F(AccessibilityTest, EveryControlGivesRoleNameValueAndRangeInTheCurrentLanguage)
{
    WriteSettings("[Settings]\nTwoColorMode=1\nSaveLastColorOnExit=1\nLastColor=" + std::to_string(0x0080FF)
                  + "\nLastColor2=" + std::to_string(0xA05020) + "\n");
    Create();

    struct Expected {
        int Id;
        LONG Role;
        const wchar_t* Name;
        const wchar_t* Value; // empty: the control has none
        const wchar_t* Description;
        const wchar_t* Action;
    };
    const auto check = [this](const std::vector<Expected>& controls) {
        for (const Expected& expected : controls) {
            SCOPED_TRACE(std::string(MainIdNames[expected.Id - idBDropper].Name));
            const Accessible object(ControlOf(expected.Id));
            ASSERT_TRUE(object) << std::hex << object.Result();
            EXPECT_EQ(object.Role(), expected.Role);
            EXPECT_EQ(object.Name(), expected.Name);
            EXPECT_EQ(object.Value(), expected.Value);
            EXPECT_EQ(object.Description().substr(0, std::wcslen(expected.Description)), expected.Description);
            EXPECT_EQ(object.DefaultAction(), expected.Action);
            EXPECT_TRUE(object.State() & STATE_SYSTEM_FOCUSABLE);
        }
    };

    // The color 0x0080FF is red 255, green 128, blue 0.
    check({
        {idSBColorComponent1, ROLE_SYSTEM_SLIDER, L"Red", L"255", L"0 to 255", L""},
        {idSBColorComponent2, ROLE_SYSTEM_SLIDER, L"Green", L"128", L"0 to 255", L""},
        {idSBColorComponent3, ROLE_SYSTEM_SLIDER, L"Blue", L"0", L"0 to 255", L""},
        {idColorBoxPanel, ROLE_SYSTEM_GRAPHIC, L"Primary color", L"#ff8000", L"", L"Color Palette"},
        {idColorBoxPanel2, ROLE_SYSTEM_GRAPHIC, L"Secondary color", L"#2050a0", L"", L"Color Palette"},
        {idUDColorSwitch, ROLE_SYSTEM_PUSHBUTTON, L"Swap Primary and Secondary Color", L"", L"", L"Press"},
        // The dropper's description is its tool tip.
        {idBDropper, ROLE_SYSTEM_PUSHBUTTON, L"Eye Dropper", L"", m_form->DropperHint().c_str(), L"Press"},
        {idBPalette, ROLE_SYSTEM_PUSHBUTTON, L"Color Palette", L"", L"", L"Press"},
    });
    EXPECT_FALSE(m_form->DropperHint().empty());
    {
        // The contrast ratio reads as text, its tool tip saying which levels
        // pass.
        const Accessible ratio(ControlOf(idLContrastRatio));
        ASSERT_TRUE(ratio) << std::hex << ratio.Result();
        EXPECT_EQ(ratio.Role(), ROLE_SYSTEM_STATICTEXT);
        EXPECT_EQ(ratio.Name(), L"3.07:1");
        EXPECT_EQ(ratio.Description(), m_form->ContrastHint());
        EXPECT_NE(ratio.Description().find(L"AA"), std::wstring::npos);
    }

    // Another space names the rows and sets the range anew; another output
    // format words the codes anew.
    m_form->SetColorSpace(csHLS);
    m_form->SetOutputFormat(ccfCpp);
    const TColor primary = m_form->ColorReference();
    check({
        {idSBColorComponent1, ROLE_SYSTEM_SLIDER, L"Hue", std::to_wstring(ColorToHLS(primary).H).c_str(), L"0 to 240",
         L""},
        {idSBColorComponent3, ROLE_SYSTEM_SLIDER, L"Saturation", std::to_wstring(ColorToHLS(primary).S).c_str(),
         L"0 to 240", L""},
        {idColorBoxPanel, ROLE_SYSTEM_GRAPHIC, L"Primary color", L"0x000080ff", L"", L"Color Palette"},
    });

    ChooseLanguage("Czech");
    check({
        {idSBColorComponent1, ROLE_SYSTEM_SLIDER, L"Odstín", std::to_wstring(ColorToHLS(primary).H).c_str(),
         L"0 až 240", L""},
        {idColorBoxPanel, ROLE_SYSTEM_GRAPHIC, L"Primární barva", L"0x000080ff", L"", L"Paleta barev"},
        {idColorBoxPanel2, ROLE_SYSTEM_GRAPHIC, L"Sekundární barva", L"0x00a05020", L"", L"Paleta barev"},
        {idUDColorSwitch, ROLE_SYSTEM_PUSHBUTTON, L"Prohodit primární a sekundární barvu", L"", L"", L"Stisknout"},
        {idBPalette, ROLE_SYSTEM_PUSHBUTTON, L"Paleta barev", L"", L"", L"Stisknout"},
    });
}

TEST_F(AccessibilityTest, StatesFollowFocusVisibilityAndPress)
{
    Create();
    const Accessible bar(ControlOf(idSBColorComponent1));
    const Accessible fourth(ControlOf(idSBColorComponent4));
    const Accessible switcher(ControlOf(idUDColorSwitch));
    ASSERT_TRUE(bar && fourth && switcher);

    ::SetFocus(ControlOf(idSBColorComponent1));
    EXPECT_TRUE(bar.State() & STATE_SYSTEM_FOCUSED);
    ::SetFocus(ControlOf(idBDropper));
    EXPECT_FALSE(bar.State() & STATE_SYSTEM_FOCUSED);
    // The fourth row and the switch show only in CMYK and two-color mode.
    EXPECT_TRUE(fourth.State() & STATE_SYSTEM_INVISIBLE);
    EXPECT_TRUE(switcher.State() & STATE_SYSTEM_INVISIBLE);
    m_form->SetColorSpace(csCMYK);
    EXPECT_FALSE(fourth.State() & STATE_SYSTEM_INVISIBLE);

    // Space held on a button shows it pressed, to the eye and to the reader.
    const HWND button = ControlOf(idBPalette);
    const Accessible palette(button);
    ::SetFocus(button);
    ::SendMessageW(button, WM_KEYDOWN, VK_SPACE, 1);
    EXPECT_TRUE(palette.State() & STATE_SYSTEM_PRESSED);
    ::SendMessageW(button, WM_KILLFOCUS, 0, 0); // the press is dropped without a click
    EXPECT_FALSE(palette.State() & STATE_SYSTEM_PRESSED);
}

TEST_F(AccessibilityTest, ASetValueMovesTheScrollBarAndTheColorAndABadOneIsRefused)
{
    WriteSettings("[Settings]\nSaveLastColorOnExit=1\nLastColor=" + std::to_string(0x0080FF) + "\n");
    Create();
    const Accessible red(ControlOf(idSBColorComponent1));
    ASSERT_TRUE(red);

    EXPECT_EQ(red.SetValue(L"200"), S_OK);
    EXPECT_EQ(ScrollPosition(1), 200);
    EXPECT_EQ(TextOf(Edit(1)), L"200");
    EXPECT_EQ(m_form->ColorReference(), TColor{0x0080C8});
    EXPECT_EQ(Code(), L"#c88000");
    EXPECT_EQ(red.Value(), L"200");

    for (const wchar_t* bad : {L"256", L"-1", L"", L"12a", L"0x10", L"99999999999"}) {
        SCOPED_TRACE(testing::Message() << "\"" << WideToUtf8(bad) << "\"");
        EXPECT_EQ(red.SetValue(bad), E_INVALIDARG);
        EXPECT_EQ(ScrollPosition(1), 200);
        EXPECT_EQ(m_form->ColorReference(), TColor{0x0080C8});
    }
    EXPECT_EQ(red.SetValue(L" 255 "), S_OK);
    EXPECT_EQ(ScrollPosition(1), 255);

    // The range is the row's: 240 is the top of HLS.
    m_form->SetColorSpace(csHLS);
    const Accessible hue(ControlOf(idSBColorComponent1));
    EXPECT_EQ(hue.SetValue(L"241"), E_INVALIDARG);
    EXPECT_EQ(hue.SetValue(L"240"), S_OK);
    EXPECT_EQ(ScrollPosition(1), 240);

    // A color box only tells its code.
    const Accessible box(ControlOf(idColorBoxPanel));
    const TColor before = m_form->ColorReference();
    EXPECT_EQ(box.SetValue(L"#000000"), DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(m_form->ColorReference(), before);
}

TEST_F(AccessibilityTest, ValueChangesRaiseTheEventOncePerChange)
{
    Create();
    const HWND bar = ControlOf(idSBColorComponent1);
    const HWND box = ControlOf(idColorBoxPanel);
    const HWINEVENTHOOK hook = ::SetWinEventHook(EVENT_OBJECT_VALUECHANGE, EVENT_OBJECT_VALUECHANGE, nullptr,
                                                 RecordEvent, ::GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    ASSERT_NE(hook, nullptr);
    const auto seen = [](HWND window) {
        Pump();
        return std::count_if(g_events.begin(), g_events.end(), [window](const SeenEvent& event) {
            return event.Window == window && event.Object == OBJID_CLIENT && event.Child == CHILDID_SELF;
        });
    };
    // Events wait in the queue until the messages are pumped.
    const auto forget = [] {
        Pump();
        g_events.clear();
    };
    forget();

    // An arrow key on the focused bar, as the user steps through values.
    ::SetFocus(bar);
    const int start = ScrollPosition(1);
    ::SendMessageW(bar, WM_KEYDOWN, VK_RIGHT, 1);
    EXPECT_EQ(seen(bar), 1);
    EXPECT_EQ(Accessible(bar).Value(), std::to_wstring(start + 1));
    // The new color reaches the box's code too.
    EXPECT_EQ(seen(box), 1);

    // No change, no event: Home twice at the minimum.
    ::SendMessageW(bar, WM_KEYDOWN, VK_HOME, 1);
    forget();
    ::SendMessageW(bar, WM_KEYDOWN, VK_HOME, 1);
    EXPECT_EQ(seen(bar), 0);
    EXPECT_EQ(seen(box), 0);

    // A color from elsewhere moves every row that changes.
    forget();
    m_form->SetColorReference(0xFFFFFF);
    EXPECT_EQ(seen(ControlOf(idSBColorComponent1)), 1);
    EXPECT_EQ(seen(ControlOf(idSBColorComponent2)), 1);
    EXPECT_EQ(seen(ControlOf(idSBColorComponent3)), 1);
    EXPECT_EQ(seen(box), 1);
    ::UnhookWinEvent(hook);
}

TEST_F(AccessibilityTest, ButtonsArePressedThroughTheInterfaceAfterTheCallReturns)
{
    WriteSettings("[Settings]\nTwoColorMode=1\nSaveLastColorOnExit=1\nLastColor=" + std::to_string(0x0000FF)
                  + "\nLastColor2=" + std::to_string(0x00FF00) + "\n");
    Create();
    const Accessible dropper(ControlOf(idBDropper));
    const Accessible swap(ControlOf(idUDColorSwitch));
    const Accessible red(ControlOf(idSBColorComponent1));
    ASSERT_TRUE(dropper && swap && red);

    EXPECT_EQ(dropper.DoDefaultAction(), S_OK);
    EXPECT_EQ(m_dropperRuns, 0) << "the run would hold up the screen reader's call";
    Pump();
    EXPECT_EQ(m_dropperRuns, 1);

    EXPECT_EQ(swap.DoDefaultAction(), S_OK);
    Pump();
    EXPECT_EQ(m_form->ColorReference(), TColor{0x00FF00});
    EXPECT_EQ(m_form->ColorReference2(), TColor{0x0000FF});

    // A slider has no action to run.
    EXPECT_EQ(red.DoDefaultAction(), DISP_E_MEMBERNOTFOUND);
}

TEST_F(AccessibilityTest, AnObjectHeldPastItsControlAnswersThatItIsGone)
{
    Create();
    IAccessible* held = nullptr;
    {
        const Accessible box(ControlOf(idColorBoxPanel));
        ASSERT_TRUE(box);
        held = box.Get();
        held->AddRef();
    }
    m_form.reset();
    BSTR name = nullptr;
    EXPECT_EQ(held->get_accName(Accessible::Self(), &name), RPC_E_DISCONNECTED);
    EXPECT_EQ(name, nullptr);
    held->Release();
}

TEST_F(AccessibilityTest, ALanguageFileWithoutTheNewTextsSpeaksEnglish)
{
    // English as it was before the texts for screen readers.
    const fs::path file = m_folder / "Languages" / "English.ini";
    std::string text = ReadFile(file);
    for (const char* key : {"sPrimaryColor=", "sSecondaryColor=", "sValueRange=", "sPress="}) {
        const size_t at = text.find(key);
        ASSERT_NE(at, std::string::npos) << key;
        text.erase(at, text.find("\r\n", at) + 2 - at);
    }
    std::ofstream(file, std::ios::binary) << text;
    m_languages = std::make_unique<TLanguages>(m_environment, "VeskColorPicker.ini", "Settings", true);
    ASSERT_TRUE(m_languages->HasActiveFile());
    Languages = m_languages.get();
    ASSERT_EQ(m_languages->ActiveFile().ReadString("TFormMain", "sPrimaryColor"), UndefinedText);

    Create();
    EXPECT_EQ(Accessible(ControlOf(idColorBoxPanel)).Name(), L"Primary color");
    EXPECT_EQ(Accessible(ControlOf(idColorBoxPanel2)).Name(), L"Secondary color");
    EXPECT_EQ(Accessible(ControlOf(idSBColorComponent1)).Description(), L"0 to 255");
    EXPECT_EQ(Accessible(ControlOf(idBPalette)).DefaultAction(), L"Press");
}

// --- High contrast and the focus mark --------------------------------------

// The system colors the program reads, as a scheme sets them.
struct Palette {
    const char* Name;
    COLORREF Face;       // COLOR_BTNFACE, also the menus' background
    COLORREF FaceText;   // COLOR_BTNTEXT
    COLORREF Window;     // COLOR_WINDOW
    COLORREF WindowText; // COLOR_WINDOWTEXT, also the menus' text
    COLORREF Highlight;
    COLORREF HighlightText;
    COLORREF GrayText;
    COLORREF Link;   // COLOR_HOTLIGHT
    COLORREF Shadow; // COLOR_BTNSHADOW
    COLORREF Light;  // COLOR_BTNHIGHLIGHT
};

// 0xRRGGBB as it is written elsewhere, to a COLORREF.
constexpr COLORREF Hex(unsigned rgb)
{
    return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

// The four contrast themes of Windows 11, close to their colors but not
// taken from a machine: Aquatic follows "High Contrast #1", Desert "High
// Contrast White", Dusk "High Contrast #2" and Night sky "High Contrast
// Black". With them the two plain schemes, black on white and white on
// black, whose 3D shadows fall short of 3:1 against the face.
constexpr Palette Aquatic{"aquatic",     Hex(0x202020), Hex(0xFFFFFF), Hex(0x202020), Hex(0xFFFFFF), Hex(0x8EE3F0),
                          Hex(0x263B50), Hex(0xA6A6A6), Hex(0x75E9FC), Hex(0xA6A6A6), Hex(0xFFFFFF)};
constexpr Palette Desert{"desert",      Hex(0xFFFAEF), Hex(0x3D3D3D), Hex(0xFFFAEF), Hex(0x3D3D3D), Hex(0x903909),
                         Hex(0xFFF5E3), Hex(0x676767), Hex(0x1C5E75), Hex(0x676767), Hex(0xFFFFFF)};
constexpr Palette Dusk{"dusk",        Hex(0x2D3236), Hex(0xB6F6F0), Hex(0x2D3236), Hex(0xB6F6F0), Hex(0xABABAB),
                       Hex(0x2D3236), Hex(0xA6A6A6), Hex(0x70EBDE), Hex(0xA6A6A6), Hex(0xB6F6F0)};
constexpr Palette NightSky{"night-sky",   Hex(0x000000), Hex(0xFFEE32), Hex(0x000000), Hex(0xFFFFFF), Hex(0xD6B4FD),
                           Hex(0x2B2B2B), Hex(0xA6A6A6), Hex(0x8080FF), Hex(0xA6A6A6), Hex(0xFFEE32)};
constexpr Palette BlackOnWhite{"black-on-white", Hex(0xFFFFFF), Hex(0x000000), Hex(0xFFFFFF),
                               Hex(0x000000),    Hex(0x0078D7), Hex(0xFFFFFF), Hex(0x6D6D6D),
                               Hex(0x0066CC),    Hex(0xA0A0A0), Hex(0xFFFFFF)};
constexpr Palette WhiteOnBlack{"white-on-black", Hex(0x000000), Hex(0xFFFFFF), Hex(0x000000),
                               Hex(0xFFFFFF),    Hex(0x0078D7), Hex(0xFFFFFF), Hex(0x929292),
                               Hex(0x4CA6FF),    Hex(0x404040), Hex(0x606060)};

// A scheme put in place of the system's colors for one test, as the user
// would choose it; the old colors come back at the end. SetSysColors tells
// every window with WM_SYSCOLORCHANGE, as Windows does.
class SystemColors {
public:
    explicit SystemColors(const Palette& palette)
    {
        for (size_t i = 0; i < Elements.size(); ++i)
            m_saved[i] = ::GetSysColor(Elements[i]);
        const std::array<COLORREF, 15> colors = {
            palette.Face,          palette.FaceText, palette.Window, palette.WindowText, palette.Highlight,
            palette.HighlightText, palette.GrayText, palette.Window, palette.WindowText, palette.Link,
            palette.Shadow,        palette.Light,    palette.Face,   palette.WindowText, palette.Face,
        };
        ::SetSysColors(static_cast<int>(Elements.size()), Elements.data(), colors.data());
    }
    SystemColors(const SystemColors&) = delete;
    SystemColors& operator=(const SystemColors&) = delete;
    ~SystemColors() { ::SetSysColors(static_cast<int>(Elements.size()), Elements.data(), m_saved.data()); }

private:
    static constexpr std::array<int, 15> Elements = {
        COLOR_BTNFACE,       COLOR_BTNTEXT,      COLOR_WINDOW, COLOR_WINDOWTEXT, COLOR_HIGHLIGHT,
        COLOR_HIGHLIGHTTEXT, COLOR_GRAYTEXT,     COLOR_INFOBK, COLOR_INFOTEXT,   COLOR_HOTLIGHT,
        COLOR_BTNSHADOW,     COLOR_BTNHIGHLIGHT, COLOR_MENU,   COLOR_MENUTEXT,   COLOR_MENUBAR,
    };
    std::array<COLORREF, 15> m_saved{};
};

// White on black with a yellow highlight, the scheme most users of high
// contrast know.
class HighContrastColors : public SystemColors {
public:
    HighContrastColors() : SystemColors(NightSky) {}
};

double Contrast(COLORREF first, COLORREF second)
{
    return ContrastRatio(static_cast<TColor>(first), static_cast<TColor>(second));
}

class HighContrastTest : public AccessibilityTest {
protected:
    void TearDown() override
    {
        Theme::SimulateHighContrastForTesting(std::nullopt);
        Theme::SystemColorsChanged();
        Theme::Apply(TThemeKind::Windows);
        AccessibilityTest::TearDown();
    }

    // As Windows tells every window when the user switches the mode.
    void SwitchHighContrast(bool on)
    {
        Theme::SimulateHighContrastForTesting(on);
        ::SendMessageW(m_form->Handle(), WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
        Pump();
    }

    void Screenshot(const char* name) const
    {
        SavePicture(Capture(m_form->Handle()), fs::path(VESK_SOURCE_DIR) / "build" / "test-results" / "screenshots"
                                                   / (std::string(name) + ".bmp"));
    }

    // Where each control draws its focus mark, and a place of its face away
    // from the mark.
    struct FocusPlace {
        int Id;
        POINT Mark;
    };
    std::vector<FocusPlace> FocusPlaces() const
    {
        // The scroll bar's dots run along its track, which starts after the
        // square left arrow; the box's lie inside its border; the buttons'
        // two pixels in.
        RECT bar{};
        ::GetClientRect(ControlOf(idSBColorComponent1), &bar);
        return {
            {idSBColorComponent1, {bar.bottom, 0}},
            {idColorBoxPanel, {1 + Scaled(2), 1 + Scaled(2)}},
            {idBDropper, {2, 2}},
            {idBPalette, {2, 2}},
            {idUDColorSwitch, {2, 2}},
        };
    }
};

TEST_F(HighContrastTest, ASwitchRepaintsEverythingInSystemColorsButTheColorsThemselves)
{
    WriteSettings("[Settings]\nTwoColorMode=1\nSaveLastColorOnExit=1\nLastColor=" + std::to_string(0xFF8000)
                  + "\nLastColor2=" + std::to_string(0x2050A0) + "\n");
    Theme::Apply(TThemeKind::Carbon);
    Create();
    Pump();
    const COLORREF carbonBackground = Capture(m_form->Handle()).At(1, 1);
    Screenshot("main-carbon-before-high-contrast");

    const HighContrastColors scheme;
    SwitchHighContrast(true);
    EXPECT_TRUE(Theme::HighContrast());
    EXPECT_FALSE(Theme::IsDark());
    EXPECT_EQ(Theme::Current(), TThemeKind::Carbon) << "the chosen look is kept for later";
    Screenshot("main-high-contrast");

    const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    const COLORREF text = ::GetSysColor(COLOR_BTNTEXT);
    EXPECT_EQ(face, RGB(0, 0, 0)) << "the scheme is in place";
    EXPECT_EQ(Capture(m_form->Handle()).At(1, 1), face);

    // The first bar stands at 0 (red 0): its thumb is next to the left arrow.
    const Pixels bar = Capture(ControlOf(idSBColorComponent1));
    const int side = bar.height;
    EXPECT_EQ(bar.At(side / 2, 0), face) << "the arrow's box is the track";
    EXPECT_EQ(bar.At(side / 3 + 1, side / 2), text) << "the arrow";
    EXPECT_EQ(bar.At(side + side / 2, side / 2), text) << "the thumb";
    EXPECT_EQ(bar.At(bar.width - side - 2, side / 2), face) << "the track";

    const Pixels box = Capture(ControlOf(idColorBoxPanel));
    EXPECT_EQ(box.At(0, 0), text) << "the border shows on the black background";
    EXPECT_EQ(box.At(box.width - 4, box.height / 2), RGB(0x00, 0x80, 0xFF)) << "the true color";
    const Pixels box2 = Capture(ControlOf(idColorBoxPanel2));
    EXPECT_EQ(box2.At(box2.width - 4, box2.height / 2), RGB(0xA0, 0x50, 0x20));

    EXPECT_EQ(Capture(Edit(1)).At(0, 0), ::GetSysColor(COLOR_WINDOW));
    const Pixels button = Capture(ControlOf(idBPalette));
    EXPECT_EQ(button.At(0, 0), face);
    const Pixels swap = Capture(ControlOf(idUDColorSwitch));
    EXPECT_EQ(swap.At(0, 0), text) << "the frame";
    EXPECT_EQ(swap.At(swap.width / 4, 3), face);

    // And back: the chosen dark look returns.
    SwitchHighContrast(false);
    EXPECT_TRUE(Theme::IsDark());
    EXPECT_EQ(Capture(m_form->Handle()).At(1, 1), carbonBackground);
    EXPECT_EQ(Capture(ControlOf(idSBColorComponent1)).At(side / 2, 0), Theme::Color(TThemeColor::ScrollTrack));
}

TEST_F(HighContrastTest, EveryControlThatTakesTheKeyboardShowsItsFocusInEveryLook)
{
    // Middle grey is where an inverted focus rectangle would disappear.
    WriteSettings("[Settings]\nTwoColorMode=1\nSaveLastColorOnExit=1\nLastColor=" + std::to_string(0x808080) + "\n");
    Create();
    std::optional<HighContrastColors> scheme;

    struct Look {
        const char* Name;
        TThemeKind Kind;
        bool HighContrast;
    };
    for (const Look& look : {Look{"plain", TThemeKind::Windows, false}, Look{"carbon", TThemeKind::Carbon, false},
                             Look{"high contrast", TThemeKind::Carbon, true}}) {
        SCOPED_TRACE(look.Name);
        if (look.HighContrast && !scheme)
            scheme.emplace();
        Theme::Apply(look.Kind);
        SwitchHighContrast(look.HighContrast);
        for (const FocusPlace& place : FocusPlaces()) {
            SCOPED_TRACE(std::string(MainIdNames[place.Id - idBDropper].Name));
            const HWND control = ControlOf(place.Id);
            // The mark on the box is drawn against the color, elsewhere in
            // the look's focus color.
            const COLORREF mark = place.Id == idColorBoxPanel ? ControlPaint::ContrastingMark(RGB(0x80, 0x80, 0x80))
                                                              : Theme::Color(TThemeColor::FocusFrame);
            ::SetFocus(ControlOf(idEColorComponent1));
            Pump();
            const COLORREF unfocused = Capture(control).At(place.Mark.x, place.Mark.y);
            ::SetFocus(control);
            Pump();
            EXPECT_EQ(::GetFocus(), control);
            EXPECT_EQ(Capture(control).At(place.Mark.x, place.Mark.y), mark);
            EXPECT_NE(unfocused, mark) << "the mark is not there without the focus";
        }
    }
    Screenshot("main-high-contrast-focus-on-switch");
}

// Under any scheme, the plain look's or the user's high-contrast one, the
// focus mark stands 3:1 from the pixels beside it and each control's edge
// 3:1 from what surrounds it, measured on the screen. A scheme or a switch
// of high contrast while the program runs repaints it at once.
TEST_F(HighContrastTest, EveryPaletteKeepsTheFocusMarkAndTheEdgesAtThreeToOne)
{
    // Red 0 puts the first bar's thumb next to its left arrow.
    WriteSettings("[Settings]\nTwoColorMode=1\nSaveLastColorOnExit=1\nLastColor=" + std::to_string(0x808000)
                  + "\nLastColor2=" + std::to_string(0x2050A0) + "\n");
    Create();
    const HWND form = m_form->Handle();
    const auto inForm = [form](HWND control) {
        RECT bounds{};
        ::GetClientRect(control, &bounds);
        ::MapWindowPoints(control, form, reinterpret_cast<POINT*>(&bounds), 2);
        return bounds;
    };
    // The least ratio of the pixel at `mark` to the two beside it along and
    // across the dotted line, which are the gaps between the dots.
    const auto besideMark = [](const Pixels& pixels, POINT mark) {
        const COLORREF color = pixels.At(mark.x, mark.y);
        return std::min(Contrast(color, pixels.At(mark.x + 1, mark.y)), Contrast(color, pixels.At(mark.x, mark.y + 1)));
    };

    for (const Palette& palette : {Aquatic, Desert, Dusk, NightSky, BlackOnWhite, WhiteOnBlack}) {
        SCOPED_TRACE(palette.Name);
        // The user turns high contrast on while the dark look is chosen:
        // the scheme's colors arrive, and with them the switch is read again.
        Theme::Apply(TThemeKind::Carbon);
        SwitchHighContrast(false);
        Theme::SimulateHighContrastForTesting(true);
        const SystemColors scheme(palette);
        Pump();
        EXPECT_TRUE(Theme::HighContrast()) << "read again on WM_SYSCOLORCHANGE";
        EXPECT_EQ(Capture(form).At(1, 1), palette.Face);
        EXPECT_EQ(Capture(ScrollBar(1)).At(1, 1), palette.Face) << "the controls repaint too";

        for (const bool highContrast : {true, false}) {
            const char* look = highContrast ? "high-contrast" : "plain";
            SCOPED_TRACE(look);
            if (!highContrast) {
                // Off again in the plain look, with the same colors, told as
                // Windows tells a change of the color settings.
                Theme::Apply(TThemeKind::Windows);
                Theme::SimulateHighContrastForTesting(false);
                ::SendMessageW(form, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(L"ImmersiveColorSet"));
                Pump();
                EXPECT_FALSE(Theme::HighContrast()) << "read again on WM_SETTINGCHANGE";
            }
            std::string measured;
            for (const FocusPlace& place : FocusPlaces()) {
                SCOPED_TRACE(std::string(MainIdNames[place.Id - idBDropper].Name));
                const HWND control = ControlOf(place.Id);
                ::SetFocus(ControlOf(idEColorComponent1));
                Pump();
                const COLORREF unfocused = Capture(control).At(place.Mark.x, place.Mark.y);
                ::SetFocus(control);
                Pump();
                const Pixels focused = Capture(control);
                EXPECT_NE(focused.At(place.Mark.x, place.Mark.y), unfocused) << "the mark is there";
                const double ratio = besideMark(focused, place.Mark);
                EXPECT_GE(ratio, 3.0);
                measured += " " + std::string(MainIdNames[place.Id - idBDropper].Name) + " " + ContrastRatioText(ratio);
            }
            std::printf("[ contrast ] %s, %s, focus mark:%s\n", palette.Name, look, measured.c_str());

            // The edges, without the focus on them: the first bar's arrow and
            // thumb against its track, the boxes', the switch's and the edit
            // boxes' frames against the window around them.
            ::SetFocus(ControlOf(idBPalette));
            Pump();
            const Pixels window = Capture(form);
            const Pixels bar = Capture(ScrollBar(1));
            const int side = bar.height;
            struct Edge {
                const char* Name;
                COLORREF Inside;
                COLORREF Outside;
            };
            const RECT box = inForm(ControlOf(idColorBoxPanel));
            const RECT box2 = inForm(ControlOf(idColorBoxPanel2));
            const RECT swap = inForm(ControlOf(idUDColorSwitch));
            const RECT edit = inForm(Edit(1));
            const int editFrame = edit.left - Scaled(3);
            const int editMiddle = (edit.top + edit.bottom) / 2;
            const Edge edges[] = {
                {"scroll bar arrow", bar.At(side / 2, side / 2), bar.At(1, 1)},
                {"scroll bar thumb", bar.At(side + 1, side / 2), bar.At(side, side / 2)},
                {"primary box", window.At(box.left, box.top + 4), window.At(box.left - 1, box.top + 4)},
                {"secondary box", window.At(box2.right - 1, box2.top + 4), window.At(box2.right, box2.top + 4)},
                {"color switch", window.At(swap.left, swap.top + 2), window.At(swap.left - 1, swap.top + 2)},
                {"edit box", window.At(editFrame, editMiddle), window.At(editFrame - 1, editMiddle)},
            };
            measured.clear();
            for (const Edge& edge : edges) {
                SCOPED_TRACE(edge.Name);
                const double ratio = Contrast(edge.Inside, edge.Outside);
                EXPECT_GE(ratio, 3.0);
                measured += std::string(" ") + edge.Name + " " + ContrastRatioText(ratio);
            }
            std::printf("[ contrast ] %s, %s, edges:%s\n", palette.Name, look, measured.c_str());
            Screenshot((std::string("main-") + look + "-" + palette.Name).c_str());
        }
    }
}

} // namespace

// What the program asked the system to annotate, as Windows would keep it:
// the last value of each property of each window. Wine takes no annotation.
struct Annotation {
    HWND Window;
    GUID Property;
    std::wstring Text;
    LONG Number;
};
std::vector<Annotation> g_annotations;

HRESULT RecordAnnotation(HWND window, const GUID& property, const VARIANT& value)
{
    g_annotations.push_back({window, property, value.vt == VT_BSTR && value.bstrVal ? value.bstrVal : L"",
                             value.vt == VT_I4 ? value.lVal : 0});
    return S_OK;
}

// PROPID_ACC_NAME and UI Automation's LiveSetting.
constexpr GUID NameProperty = {0x608d3df8, 0x8128, 0x4aa7, {0xa4, 0x28, 0xf5, 0x5e, 0x49, 0x26, 0x72, 0x91}};
constexpr GUID LiveSetting = {0xc12bcd8e, 0x2a8e, 0x4950, {0x8a, 0xe7, 0x36, 0x25, 0x11, 0x1d, 0x58, 0xeb}};

class AnnotationTest : public AccessibilityTest {
protected:
    void SetUp() override
    {
        AccessibilityTest::SetUp();
        g_annotations.clear();
        SetAnnotationForTesting(RecordAnnotation);
    }
    void TearDown() override
    {
        AccessibilityTest::TearDown();
        SetAnnotationForTesting(nullptr);
    }

    // The last name annotated for each edit box, in row order.
    std::vector<std::wstring> EditNames() const
    {
        std::vector<std::wstring> names;
        for (int row = 1; row <= 4; ++row) {
            std::wstring name = L"(none)";
            for (const Annotation& a : g_annotations)
                if (a.Window == Edit(row) && a.Property == NameProperty)
                    name = a.Text;
            names.push_back(name);
        }
        return names;
    }
    // A screen reader's first question, which the annotations wait for.
    void ScreenReaderAsks() const
    {
        Accessible slider(ControlOf(idSBColorComponent1));
        ASSERT_TRUE(slider);
        Pump();
    }
};

// The edit boxes are read by their rows' names, in the current language and
// color space; nothing is annotated before a screen reader asks, so a start
// without one loads no COM.
TEST_F(AnnotationTest, TheEditBoxesAreNamedAfterTheirRows)
{
    Create();
    Pump();
    EXPECT_TRUE(g_annotations.empty());
    ScreenReaderAsks();
    EXPECT_EQ(EditNames(), (std::vector<std::wstring>{L"Red", L"Green", L"Blue", L""}));

    m_form->Click(idMColorSpace_HLS);
    EXPECT_EQ(EditNames()[0], L"Hue");
    EXPECT_EQ(EditNames()[2], L"Saturation");
    m_form->Click(idMColorSpace_CMYK);
    EXPECT_EQ(EditNames(), (std::vector<std::wstring>{L"Cyan", L"Magenta", L"Yellow", L"Black"}));

    ChooseLanguage("German");
    EXPECT_EQ(EditNames()[2], L"Gelb");
}

// After a pick the primary code is heard once, without a move of focus: its
// label is a polite live region and announces its change.
TEST_F(AnnotationTest, APickIsAnnouncedByTheCodesLiveRegion)
{
    Create();
    ScreenReaderAsks();
    const HWND code = ControlOf(idLColorCode);
    const auto live = std::find_if(g_annotations.begin(), g_annotations.end(),
                                   [&](const Annotation& a) { return a.Window == code && a.Property == LiveSetting; });
    ASSERT_NE(live, g_annotations.end());
    EXPECT_EQ(live->Number, 1); // polite

    g_events.clear();
    const HWINEVENTHOOK hook =
        ::SetWinEventHook(EVENT_OBJECT_LIVEREGIONCHANGED, EVENT_OBJECT_LIVEREGIONCHANGED, nullptr, RecordEvent,
                          ::GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    ASSERT_NE(hook, nullptr);
    m_form->DropperRun = [this] { m_form->DropperPicked({8, 49, 5, 7}, 0x956F25); };
    m_form->Click(idMTools_Dropper);
    Pump();
    ::UnhookWinEvent(hook);
    EXPECT_EQ(TextOf(code), L"#256f95");
    ASSERT_EQ(g_events.size(), 1u);
    EXPECT_EQ(g_events[0].Window, code);
    EXPECT_EQ(g_events[0].Object, static_cast<LONG>(OBJID_CLIENT));
}

// Every control with a shortcut reports it; the Eye Dropper button's is the
// hot key while the key is the program's.
TEST_F(AccessibilityTest, ControlsReportTheirShortcuts)
{
    Create();
    ASSERT_TRUE(m_form->HotKeyRegistered());
    Accessible dropper(ControlOf(idBDropper));
    ASSERT_TRUE(dropper);
    BSTR keys = nullptr;
    ASSERT_EQ(dropper.Get()->get_accKeyboardShortcut(Accessible::Self(), &keys), S_OK);
    EXPECT_EQ(std::wstring(keys ? keys : L""), L"Shift+Alt+D");
    ::SysFreeString(keys);
}

// The keyboard is where the user left it: on the first slider at start, and
// on the control that had it after another window was in front (a dialog, a
// message box, another program) or after a dropper run.
TEST_F(AccessibilityTest, TheFocusComesBackToTheControlThatHadIt)
{
    Create();
    Pump();
    ASSERT_EQ(::GetForegroundWindow(), m_form->Handle());
    EXPECT_EQ(::GetFocus(), ScrollBar(1));

    ::SetFocus(Edit(2));
    HWND other = ::CreateWindowExW(0, L"STATIC", L"other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100,
                                   m_form->Handle(), nullptr, nullptr, nullptr);
    ::SetForegroundWindow(other);
    Pump();
    ASSERT_NE(::GetFocus(), Edit(2));
    ::DestroyWindow(other); // the owner is activated again
    Pump();
    EXPECT_EQ(::GetForegroundWindow(), m_form->Handle());
    EXPECT_EQ(::GetFocus(), Edit(2));

    // A run started from the button gives the keyboard back to it, though
    // the run's windows took it.
    ::SetFocus(ControlOf(idBDropper));
    m_form->DropperRun = [this] {
        HWND run = ::CreateWindowExW(0, L"STATIC", L"run", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, m_form->Handle(),
                                     nullptr, nullptr, nullptr);
        ::SetForegroundWindow(run);
        ::SetFocus(run);
        Pump();
        ::DestroyWindow(run);
        Pump();
    };
    m_form->Click(idMTools_Dropper);
    Pump();
    EXPECT_EQ(::GetFocus(), ControlOf(idBDropper));
}

// The modal windows the main window opens give the keyboard back to the
// control that had it: the About window and the Color dialog, each closed
// as the user closes it.
HWND g_modalOwner = nullptr;
bool g_modalSeen = false;
void CALLBACK CloseModalWindow(HWND, UINT, UINT_PTR, DWORD)
{
    for (const wchar_t* className : {L"TFormAbout", L"#32770"}) {
        HWND modal = ::FindWindowW(className, nullptr);
        if (modal && ::GetWindow(modal, GW_OWNER) == g_modalOwner) {
            g_modalSeen = true;
            ::PostMessageW(modal, WM_COMMAND, IDCANCEL, 0);
        }
    }
}

TEST_F(AccessibilityTest, TheFocusComesBackAfterEachModalWindow)
{
    Create();
    Pump();
    g_modalOwner = m_form->Handle();
    for (const int command : {int{idMHelp_About}, int{idMTools_Palette}}) {
        SCOPED_TRACE(command);
        ::SetFocus(Edit(3));
        g_modalSeen = false;
        const UINT_PTR timer = ::SetTimer(nullptr, 0, 100, CloseModalWindow);
        m_form->Click(command); // returns once the window is closed
        ::KillTimer(nullptr, timer);
        Pump();
        EXPECT_TRUE(g_modalSeen);
        EXPECT_EQ(::GetFocus(), Edit(3));
    }
}
