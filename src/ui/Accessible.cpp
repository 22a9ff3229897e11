#include "ui/Accessible.h"

#include "common/Exception.h"
#include "ui/Application.h"
#include "ui/ComApartment.h"

#include <atomic>
#include <new>
#include <utility>

// Below: the annotations' first client.
void FirstAccessibleClient() noexcept;

namespace {

// A client's call must never see an exception. What the control's own
// handlers throw (a value set through the interface runs them) is shown as
// any handler's error is, and the call fails.
template <typename Body>
HRESULT Guarded(Body body) noexcept
{
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (const std::exception& error) {
        Application::ShowException(error);
        return E_FAIL;
    } catch (...) {
        return E_FAIL;
    }
}

HRESULT ReturnText(const std::wstring& text, BSTR* out) noexcept
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (text.empty())
        return S_FALSE;
    *out = ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

// Clients hold our object across processes; the documented answer for a
// control that no longer exists.
constexpr HRESULT Disconnected = RPC_E_DISCONNECTED;

} // namespace

// COM interfaces have no virtual destructor: an object deletes itself in
// Release. GCC's -Wnon-virtual-dtor is therefore off for this file alone.
class TAccessibleObject final : public IAccessible {
public:
    explicit TAccessibleObject(IAccessibleSource& source) noexcept;
    TAccessibleObject(const TAccessibleObject&) = delete;
    TAccessibleObject& operator=(const TAccessibleObject&) = delete;

    // The answer to WM_GETOBJECT for OBJID_CLIENT.
    LRESULT Answer(WPARAM wParam);
    // The control is going away; releases the system's object.
    void Disconnect() noexcept;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IDispatch: not offered; clients use the interface's own methods.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* parameters,
                                     VARIANT* result, EXCEPINFO* exception, UINT* argumentError) override;

    // IAccessible
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override;
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override;
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override;
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override;
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override;
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override;
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override;
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override;
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override;
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override;
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override;
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override;
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override;
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override;
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height, VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override;
    HRESULT STDMETHODCALLTYPE accHitTest(long left, long top, VARIANT* child) override;
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override;
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override;
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override;

private:
    ~TAccessibleObject();

    // S_OK for the control itself, the only element there is; otherwise the
    // error to return.
    HRESULT Check(const VARIANT& child) const noexcept;
    IAccessible* Standard() noexcept;

    std::atomic<ULONG> m_references{1};
    IAccessibleSource* m_source;
    IAccessible* m_standard = nullptr;
};

TAccessibleObject::TAccessibleObject(IAccessibleSource& source) noexcept : m_source(&source) {}

TAccessibleObject::~TAccessibleObject()
{
    Disconnect();
}

LRESULT TAccessibleObject::Answer(WPARAM wParam)
{
    // Without COM the program still runs, only unheard.
    EnterComApartment();
    FirstAccessibleClient();
    // IID_IAccessible is taken from the type, not from the import library:
    // mingw's liboleacc.a has no data for it, and a link against it reads
    // the bytes of a jump stub as the interface id.
    return ::LresultFromObject(__uuidof(IAccessible), wParam, static_cast<IAccessible*>(this));
}

void TAccessibleObject::Disconnect() noexcept
{
    m_source = nullptr;
    if (m_standard) {
        m_standard->Release();
        m_standard = nullptr;
    }
}

IAccessible* TAccessibleObject::Standard() noexcept
{
    if (!m_standard && m_source) {
        void* standard = nullptr;
        if (SUCCEEDED(::CreateStdAccessibleObject(m_source->AccessibleWindow(), OBJID_CLIENT, __uuidof(IAccessible),
                                                  &standard)))
            m_standard = static_cast<IAccessible*>(standard);
    }
    return m_standard;
}

HRESULT TAccessibleObject::Check(const VARIANT& child) const noexcept
{
    if (!m_source)
        return Disconnected;
    if (child.vt != VT_I4 || child.lVal != CHILDID_SELF)
        return E_INVALIDARG;
    return S_OK;
}

HRESULT TAccessibleObject::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    if (iid == __uuidof(IUnknown) || iid == __uuidof(IDispatch) || iid == __uuidof(IAccessible)) {
        *object = static_cast<IAccessible*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG TAccessibleObject::AddRef()
{
    return ++m_references;
}

ULONG TAccessibleObject::Release()
{
    const ULONG left = --m_references;
    if (left == 0)
        delete this;
    return left;
}

HRESULT TAccessibleObject::GetTypeInfoCount(UINT* count)
{
    if (!count)
        return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT TAccessibleObject::GetTypeInfo(UINT, LCID, ITypeInfo** info)
{
    if (info)
        *info = nullptr;
    return E_NOTIMPL;
}

HRESULT TAccessibleObject::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*)
{
    return E_NOTIMPL;
}

HRESULT TAccessibleObject::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*)
{
    return E_NOTIMPL;
}

HRESULT TAccessibleObject::get_accParent(IDispatch** parent)
{
    if (!parent)
        return E_POINTER;
    *parent = nullptr;
    if (!m_source)
        return Disconnected;
    IAccessible* standard = Standard();
    return standard ? standard->get_accParent(parent) : E_FAIL;
}

HRESULT TAccessibleObject::get_accChildCount(long* count)
{
    if (!count)
        return E_POINTER;
    *count = 0;
    return m_source ? S_OK : Disconnected;
}

HRESULT TAccessibleObject::get_accChild(VARIANT, IDispatch** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    return m_source ? E_INVALIDARG : Disconnected;
}

HRESULT TAccessibleObject::get_accName(VARIANT child, BSTR* name)
{
    if (name)
        *name = nullptr;
    if (const HRESULT checked = Check(child); FAILED(checked))
        return checked;
    return Guarded([&] { return ReturnText(m_source->AccessibleName(), name); });
}

HRESULT TAccessibleObject::get_accValue(VARIANT child, BSTR* value)
{
    if (value)
        *value = nullptr;
    if (const HRESULT checked = Check(child); FAILED(checked))
        return checked;
    return Guarded([&] {
        const std::wstring text = m_source->AccessibleValue();
        return text.empty() ? DISP_E_MEMBERNOTFOUND : ReturnText(text, value);
    });
}

HRESULT TAccessibleObject::get_accDescription(VARIANT child, BSTR* description)
{
    if (description)
        *description = nullptr;
    if (const HRESULT checked = Check(child); FAILED(checked))
        return checked;
    return Guarded([&] { return ReturnText(m_source->AccessibleDescription(), description); });
}

HRESULT TAccessibleObject::get_accRole(VARIANT child, VARIANT* role)
{
    if (!role)
        return E_POINTER;
    ::VariantInit(role);
    if (const HRESULT checked = Check(child); FAILED(checked))
        return checked;
    role->vt = VT_I4;
    role->lVal = m_source->AccessibleRole();
    return S_OK;
}

HRESULT TAccessibleObject::get_accState(VARIANT child, VARIANT* state)
{
    if (!state)
        return E_POINTER;
    ::VariantInit(state);
    if (const HRESULT checked = Check(child); FAILED(checked))
        return checked;
    const HWND window = m_source->AccessibleWindow();
    LONG flags = static_cast<LONG>(m_source->AccessibleExtraState());
    if (!::IsWindowVisible(window))
        flags |= STATE_SYSTEM_INVISIBLE;
    if (!::IsWindowEnabled(window))
        flags |= STATE_SYSTEM_UNAVAILABLE;
    if (::GetWindowLongPtrW(window, GWL_STYLE) & WS_TABSTOP)
        flags |= STATE_SYSTEM_FOCUSABLE;
    if (::GetFocus() == window)
        flags |= STATE_SYSTEM_FOCUSED;
    state->vt = VT_I4;
    state->lVal = flags;
    return S_OK;
}

HRESULT TAccessibleObject::get_accHelp(VARIANT child, BSTR* help)
{
    if (help)
        *help = nullptr;
    const HRESULT checked = Check(child);
    return FAILED(checked) ? checked : DISP_E_MEMBERNOTFOUND;
}

HRESULT TAccessibleObject::get_accHelpTopic(BSTR* file, VARIANT child, long* topic)
{
    if (file)
        *file = nullptr;
    if (topic)
        *topic = 0;
    const HRESULT checked = Check(child);
    return FAILED(checked) ? checked : DISP_E_MEMBERNOTFOUND;
}

HRESULT TAccessibleObject::get_accKeyboardShortcut(VARIANT child, BSTR* shortcut)
{
    if (shortcut)
        *shortcut = nullptr;
    if (const HRESULT checked = Check(child); FAILED(checked))
        return checked;
    return Guarded([&] {
        const std::wstring keys = m_source->AccessibleKeyboardShortcut();
        return keys.empty() ? DISP_E_MEMBERNOTFOUND : ReturnText(keys, shortcut);
    });
}

HRESULT TAccessibleObject::get_accFocus(VARIANT* focus)
{
    if (!focus)
        return E_POINTER;
    ::VariantInit(focus);
    if (!m_source)
        return Disconnected;
    if (::GetFocus() != m_source->AccessibleWindow())
        return S_FALSE;
    focus->vt = VT_I4;
    focus->lVal = CHILDID_SELF;
    return S_OK;
}

HRESULT TAccessibleObject::get_accSelection(VARIANT* selection)
{
    if (!selection)
        return E_POINTER;
    ::VariantInit(selection);
    return m_source ? DISP_E_MEMBERNOTFOUND : Disconnected;
}

HRESULT TAccessibleObject::get_accDefaultAction(VARIANT child, BSTR* action)
{
    if (action)
        *action = nullptr;
    if (const HRESULT checked = Check(child); FAILED(checked))
        return checked;
    return Guarded([&] {
        const std::wstring text = m_source->AccessibleDefaultAction();
        return text.empty() ? DISP_E_MEMBERNOTFOUND : ReturnText(text, action);
    });
}

HRESULT TAccessibleObject::accSelect(long flags, VARIANT child)
{
    if (const HRESULT checked = Check(child); FAILED(checked))
        return checked;
    // Only the focus can be taken: there is nothing to select.
    if (flags != SELFLAG_TAKEFOCUS)
        return E_INVALIDARG;
    return ::SetFocus(m_source->AccessibleWindow()) ? S_OK : S_FALSE;
}

HRESULT TAccessibleObject::accLocation(long* left, long* top, long* width, long* height, VARIANT child)
{
    if (const HRESULT checked = Check(child); FAILED(checked))
        return checked;
    IAccessible* standard = Standard();
    return standard ? standard->accLocation(left, top, width, height, child) : E_FAIL;
}

HRESULT TAccessibleObject::accNavigate(long direction, VARIANT start, VARIANT* end)
{
    if (end)
        ::VariantInit(end);
    if (const HRESULT checked = Check(start); FAILED(checked))
        return checked;
    IAccessible* standard = Standard();
    return standard ? standard->accNavigate(direction, start, end) : E_FAIL;
}

HRESULT TAccessibleObject::accHitTest(long left, long top, VARIANT* child)
{
    if (!child)
        return E_POINTER;
    ::VariantInit(child);
    if (!m_source)
        return Disconnected;
    IAccessible* standard = Standard();
    return standard ? standard->accHitTest(left, top, child) : E_FAIL;
}

HRESULT TAccessibleObject::accDoDefaultAction(VARIANT child)
{
    if (const HRESULT checked = Check(child); FAILED(checked))
        return checked;
    return Guarded([&] {
        if (m_source->AccessibleDefaultAction().empty())
            return DISP_E_MEMBERNOTFOUND;
        m_source->RequestAccessibleDefaultAction();
        return S_OK;
    });
}

HRESULT TAccessibleObject::put_accName(VARIANT child, BSTR)
{
    const HRESULT checked = Check(child);
    return FAILED(checked) ? checked : E_NOTIMPL; // names are not set by clients
}

HRESULT TAccessibleObject::put_accValue(VARIANT child, BSTR value)
{
    if (const HRESULT checked = Check(child); FAILED(checked))
        return checked;
    return Guarded([&] { return m_source->PutAccessibleValue(value ? std::wstring(value) : std::wstring()); });
}

TAccessibleObject* NewAccessibleObject(IAccessibleSource& source)
{
    return new TAccessibleObject(source);
}

std::optional<LRESULT> AnswerClientQuery(TAccessibleObject*& object, IAccessibleSource& source, WPARAM wParam,
                                         LPARAM lParam)
{
    // The object id arrives as a 32-bit value in a wider parameter.
    if (static_cast<LONG>(static_cast<DWORD>(lParam)) != OBJID_CLIENT)
        return std::nullopt;
    if (!object)
        object = NewAccessibleObject(source);
    return object->Answer(wParam);
}

void ReleaseAccessibleObject(TAccessibleObject* object) noexcept
{
    if (!object)
        return;
    object->Disconnect();
    ::CoDisconnectObject(static_cast<IAccessible*>(object), 0);
    object->Release();
}

void NotifyAccessibleEvent(HWND control, DWORD event) noexcept
{
    ::NotifyWinEvent(event, control, OBJID_CLIENT, CHILDID_SELF);
}

namespace {

// The UI Automation property a live region is marked with, and its polite
// value (UIAutomationCore's LiveSetting_Property_GUID and Polite).
constexpr GUID LiveSettingProperty = {0xc12bcd8e, 0x2a8e, 0x4950, {0x8a, 0xe7, 0x36, 0x25, 0x11, 0x1d, 0x58, 0xeb}};
constexpr LONG LiveSettingPolite = 1;
// oleacc's, spelt here: mingw's import library has no data for them.
constexpr GUID AccPropServicesClass = {0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};
constexpr GUID AccPropServicesInterface = {
    0x6e26e776, 0x04f0, 0x495d, {0x80, 0xe4, 0x33, 0x30, 0x35, 0x2e, 0x31, 0x69}};
constexpr GUID AccNameProperty = {0x608d3df8, 0x8128, 0x4aa7, {0xa4, 0x28, 0xf5, 0x5e, 0x49, 0x26, 0x72, 0x91}};
constexpr GUID AccRoleProperty = {0xcb905ff2, 0x7bd1, 0x4c05, {0xb3, 0xc8, 0xe6, 0xc2, 0x41, 0x36, 0x4d, 0x70}};

TAnnotateProperty g_annotateForTesting = nullptr;
void (*g_firstClientCall)(void*) = nullptr;
void* g_firstClientContext = nullptr;
bool g_clientSeen = false;

HRESULT AnnotateProperty(HWND window, const GUID& property, const VARIANT& value) noexcept
{
    if (g_annotateForTesting)
        return g_annotateForTesting(window, property, value);
    if (!EnterComApartment())
        return E_FAIL;
    IAccPropServices* services = nullptr;
    HRESULT result = ::CoCreateInstance(AccPropServicesClass, nullptr, CLSCTX_INPROC_SERVER, AccPropServicesInterface,
                                        reinterpret_cast<void**>(&services));
    if (FAILED(result) || !services)
        return FAILED(result) ? result : E_FAIL;
    result = services->SetHwndProp(window, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, property, value);
    services->Release();
    return result;
}

} // namespace

void FirstAccessibleClient() noexcept
{
    g_clientSeen = true;
    if (auto call = std::exchange(g_firstClientCall, nullptr))
        call(g_firstClientContext);
}

bool AnnotateAccessibleName(HWND window, const std::wstring& name) noexcept
{
    VARIANT value;
    ::VariantInit(&value);
    value.vt = VT_BSTR;
    value.bstrVal = ::SysAllocStringLen(name.data(), static_cast<UINT>(name.size()));
    if (!value.bstrVal)
        return false;
    const HRESULT result = AnnotateProperty(window, AccNameProperty, value);
    ::VariantClear(&value);
    return SUCCEEDED(result);
}

bool AnnotateAccessibleRole(HWND window, LONG role) noexcept
{
    VARIANT value;
    ::VariantInit(&value);
    value.vt = VT_I4;
    value.lVal = role;
    return SUCCEEDED(AnnotateProperty(window, AccRoleProperty, value));
}

bool AccessibleClientSeen() noexcept
{
    return g_clientSeen;
}

bool AnnotatePoliteLiveRegion(HWND window) noexcept
{
    VARIANT value;
    ::VariantInit(&value);
    value.vt = VT_I4;
    value.lVal = LiveSettingPolite;
    return SUCCEEDED(AnnotateProperty(window, LiveSettingProperty, value));
}

void AnnounceLiveRegion(HWND window) noexcept
{
    ::NotifyWinEvent(EVENT_OBJECT_LIVEREGIONCHANGED, window, OBJID_CLIENT, CHILDID_SELF);
}

void CallOnFirstAccessibleClient(void (*call)(void* context), void* context) noexcept
{
    g_firstClientCall = call;
    g_firstClientContext = context;
}

void SetAnnotationForTesting(TAnnotateProperty annotate) noexcept
{
    g_annotateForTesting = annotate;
}
