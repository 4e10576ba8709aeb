// MSAA over the accessibility model: one IAccessible per window for its client area (the tree's
// root and its children as simple elements) and one for the caret. Every call reads the model
// afresh through node ids, so a control that has gone gives E_INVALIDARG and a window that has gone
// gives a disconnected object, never a dangling pointer.
#include "framework/platform/win32/win32_accessible.h"

#include <windows.h>

#include <oleacc.h>

#include <string>
#include <vector>

namespace {

// MinGW's IID_IAccessible is oleacc.dll's data export, which is not linked here (the DLL is loaded
// at run time): the interface's own id.
constexpr IID kIidAccessible = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

using LresultFromObjectFn = LRESULT(WINAPI*)(REFIID, WPARAM, LPUNKNOWN);
using CreateStdAccessibleObjectFn = HRESULT(WINAPI*)(HWND, LONG, REFIID, void**);
using SysAllocStringFn = BSTR(WINAPI*)(const OLECHAR*);

long RoleOf(AccessibleRole role) {
    switch (role) {
    case AccessibleRole::Frame: return ROLE_SYSTEM_CLIENT;
    case AccessibleRole::Label: return ROLE_SYSTEM_STATICTEXT;
    case AccessibleRole::EditableText:
    case AccessibleRole::SpinButton: return ROLE_SYSTEM_TEXT; // the up-down's buddy edit reads as text
    case AccessibleRole::PushButton: return ROLE_SYSTEM_PUSHBUTTON;
    case AccessibleRole::Image: return ROLE_SYSTEM_GRAPHIC;
    case AccessibleRole::MenuPopup: return ROLE_SYSTEM_MENUPOPUP;
    case AccessibleRole::MenuItem:
    case AccessibleRole::CheckMenuItem:
    case AccessibleRole::RadioMenuItem: return ROLE_SYSTEM_MENUITEM;
    case AccessibleRole::Separator: return ROLE_SYSTEM_SEPARATOR;
    case AccessibleRole::NotExposed: break;
    }
    return ROLE_SYSTEM_CLIENT;
}

long StatesOf(std::uint32_t states) {
    struct Bit {
        std::uint32_t model;
        long msaa;
    };
    static constexpr Bit kBits[] = {
        {kAccessibleFocusable, STATE_SYSTEM_FOCUSABLE}, {kAccessibleFocused, STATE_SYSTEM_FOCUSED},
        {kAccessibleReadOnly, STATE_SYSTEM_READONLY},   {kAccessibleUnavailable, STATE_SYSTEM_UNAVAILABLE},
        {kAccessibleInvisible, STATE_SYSTEM_INVISIBLE}, {kAccessibleDefault, STATE_SYSTEM_DEFAULT},
        {kAccessibleChecked, STATE_SYSTEM_CHECKED},     {kAccessibleHasPopup, STATE_SYSTEM_HASPOPUP},
        {kAccessibleSelected, STATE_SYSTEM_HOTTRACKED},
    };
    long msaa = 0;
    for (const Bit& b : kBits)
        if (states & b.model) msaa |= b.msaa;
    return msaa;
}

std::wstring Wide(const std::string& text) {
    if (text.empty()) return {};
    const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return wide;
}

std::string Narrow(const wchar_t* text) {
    if (text == nullptr || *text == 0) return {};
    const int length = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, -1, narrow.data(), length, nullptr, nullptr);
    narrow.resize(narrow.size() - 1); // the terminator
    return narrow;
}

// VariantInit is oleaut32's; an empty VARIANT is only its type.
void ClearVariant(VARIANT* v) { v->vt = VT_EMPTY; }

void SetI4(VARIANT* v, long value) {
    ClearVariant(v);
    v->vt = VT_I4;
    v->lVal = value;
}

// The child id of `node` in the MSAA object of its window's root: CHILDID_SELF for the root, else
// the place + 1 of the root's child it lies in.
long ChildIdOf(AccessibleNode& node) {
    AccessibleNode* parent = node.Parent();
    if (parent == nullptr) return CHILDID_SELF;
    AccessibleNode* child = &node;
    while (parent->Parent() != nullptr) {
        child = parent;
        parent = parent->Parent();
    }
    const int index = AccessibleIndexInParent(*child);
    return index < 0 ? CHILDID_SELF : index + 1;
}

} // namespace

class Win32AccessibleObject final : public IAccessible {
public:
    enum class Kind : std::uint8_t { Client, Caret };

    Win32AccessibleObject(Win32Accessibility& owner, HWND hwnd, WindowId window, Kind kind)
        : owner_(&owner), hwnd_(hwnd), window_(window), kind_(kind) {}

    void Disconnect() {
        owner_ = nullptr;
        CoDisconnectObject(static_cast<IAccessible*>(this), 0);
    }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (out == nullptr) return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) ||
            IsEqualIID(riid, kIidAccessible)) {
            *out = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&refs_);
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }

    // IDispatch: no type information; clients use the vtable.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (count == nullptr) return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        return E_NOTIMPL;
    }

    // IAccessible
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        if (parent == nullptr) return E_POINTER;
        *parent = nullptr;
        if (owner_ == nullptr) return CO_E_OBJNOTCONNECTED;
        // The client area's parent is the window object the system makes.
        void* window = owner_->CreateStandardObject(hwnd_, OBJID_WINDOW);
        *parent = static_cast<IDispatch*>(window);
        return window != nullptr ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
        if (count == nullptr) return E_POINTER;
        *count = 0;
        AccessibleNode* root = nullptr;
        if (HRESULT hr = Root(root); hr != S_OK) return hr;
        if (kind_ == Kind::Client) *count = static_cast<long>(root->Children().size());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
        if (out == nullptr) return E_POINTER;
        *out = nullptr;
        AccessibleNode* node = nullptr;
        if (HRESULT hr = Resolve(child, node); hr != S_OK) return hr;
        return child.lVal == CHILDID_SELF ? E_INVALIDARG : S_FALSE; // children are simple elements
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* out) override {
        return Text(child, out, [](AccessibleNode& n) { return n.Describe().name; });
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* out) override {
        return Text(child, out, [](AccessibleNode& n) { return n.Describe().value; });
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* out) override {
        return Text(child, out, [](AccessibleNode& n) { return n.Describe().description; });
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* out) override {
        if (out == nullptr) return E_POINTER;
        ClearVariant(out);
        if (kind_ == Kind::Caret) {
            if (HRESULT hr = CheckSelf(child); hr != S_OK) return hr;
            SetI4(out, ROLE_SYSTEM_CARET);
            return S_OK;
        }
        AccessibleNode* node = nullptr;
        if (HRESULT hr = Resolve(child, node); hr != S_OK) return hr;
        SetI4(out, RoleOf(node->Describe().role));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* out) override {
        if (out == nullptr) return E_POINTER;
        ClearVariant(out);
        if (kind_ == Kind::Caret) {
            if (HRESULT hr = CheckSelf(child); hr != S_OK) return hr;
            SetI4(out, CaretRect() ? 0 : STATE_SYSTEM_INVISIBLE);
            return S_OK;
        }
        AccessibleNode* node = nullptr;
        if (HRESULT hr = Resolve(child, node); hr != S_OK) return hr;
        long states = StatesOf(node->Describe().states);
        if (node->Describe().role == AccessibleRole::Frame) states |= STATE_SYSTEM_FOCUSABLE;
        SetI4(out, states);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* out) override {
        return Text(child, out, [](AccessibleNode&) { return std::string(); });
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT, long* topic) override {
        if (file != nullptr) *file = nullptr;
        if (topic != nullptr) *topic = 0;
        return owner_ == nullptr ? CO_E_OBJNOTCONNECTED : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* out) override {
        return Text(child, out, [](AccessibleNode& n) { return n.Describe().keyboardShortcut; });
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* out) override {
        if (out == nullptr) return E_POINTER;
        ClearVariant(out);
        AccessibleNode* root = nullptr;
        if (HRESULT hr = Root(root); hr != S_OK) return hr;
        if (kind_ == Kind::Caret) return S_FALSE;
        AccessibleNode* focused = AccessibleFocusedNode(*root);
        if (focused == nullptr) return S_FALSE;
        SetI4(out, ChildIdOf(*focused));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* out) override {
        if (out == nullptr) return E_POINTER;
        ClearVariant(out);
        return owner_ == nullptr ? CO_E_OBJNOTCONNECTED : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* out) override {
        return Text(child, out, [](AccessibleNode& n) { return n.Describe().defaultAction; });
    }
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override {
        AccessibleNode* node = nullptr;
        if (HRESULT hr = Resolve(child, node); hr != S_OK) return hr;
        if ((flags & SELFLAG_TAKEFOCUS) == 0) return DISP_E_MEMBERNOTFOUND;
        return node->SetFocus() ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height,
                                          VARIANT child) override {
        if (left == nullptr || top == nullptr || width == nullptr || height == nullptr) return E_POINTER;
        *left = *top = *width = *height = 0;
        TRect r;
        if (kind_ == Kind::Caret) {
            if (HRESULT hr = CheckSelf(child); hr != S_OK) return hr;
            std::optional<TRect> caret = CaretRect();
            if (!caret) return S_FALSE;
            r = *caret;
        } else {
            AccessibleNode* node = nullptr;
            if (HRESULT hr = Resolve(child, node); hr != S_OK) return hr;
            r = node->ScreenBounds();
        }
        *left = r.Left;
        *top = r.Top;
        *width = r.Width();
        *height = r.Height();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* out) override {
        if (out == nullptr) return E_POINTER;
        ClearVariant(out);
        AccessibleNode* node = nullptr;
        if (HRESULT hr = Resolve(start, node); hr != S_OK) return hr;
        if (kind_ == Kind::Caret) return S_FALSE;
        AccessibleNode* root = nullptr;
        Root(root);
        const long count = static_cast<long>(root->Children().size());
        long target = 0;
        if (start.lVal == CHILDID_SELF) {
            // From the client area itself only its children can be reached; its siblings are the
            // window object's business.
            if (direction == NAVDIR_FIRSTCHILD)
                target = count > 0 ? 1 : 0;
            else if (direction == NAVDIR_LASTCHILD)
                target = count;
            else
                return S_FALSE;
        } else {
            switch (direction) {
            case NAVDIR_NEXT:
            case NAVDIR_DOWN:
            case NAVDIR_RIGHT: target = start.lVal < count ? start.lVal + 1 : 0; break;
            case NAVDIR_PREVIOUS:
            case NAVDIR_UP:
            case NAVDIR_LEFT: target = start.lVal > 1 ? start.lVal - 1 : 0; break;
            case NAVDIR_FIRSTCHILD:
            case NAVDIR_LASTCHILD: return S_FALSE; // simple elements have no children
            default: return E_INVALIDARG;
            }
        }
        if (target == 0) return S_FALSE;
        SetI4(out, target);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* out) override {
        if (out == nullptr) return E_POINTER;
        ClearVariant(out);
        AccessibleNode* root = nullptr;
        if (HRESULT hr = Root(root); hr != S_OK) return hr;
        if (kind_ == Kind::Caret) {
            std::optional<TRect> caret = CaretRect();
            if (!caret || !caret->Contains({x, y})) return S_FALSE;
            SetI4(out, CHILDID_SELF);
            return S_OK;
        }
        AccessibleNode* hit = AccessibleHitTest(*root, {x, y});
        if (hit == nullptr) return S_FALSE;
        SetI4(out, ChildIdOf(*hit));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        AccessibleNode* node = nullptr;
        if (HRESULT hr = Resolve(child, node); hr != S_OK) return hr;
        const AccessibleDescription d = node->Describe();
        if (d.defaultAction.empty()) return DISP_E_MEMBERNOTFOUND;
        if (d.states & (kAccessibleUnavailable | kAccessibleInvisible)) return E_FAIL;
        // The action may close the window or end the program: it runs once this call has returned,
        // as a click would, from the program's own loop.
        PostMessageW(hwnd_, Win32Accessibility::kDefaultActionMessage, static_cast<WPARAM>(node->Id()), 0);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return DISP_E_MEMBERNOTFOUND; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
        AccessibleNode* node = nullptr;
        if (HRESULT hr = Resolve(child, node); hr != S_OK) return hr;
        switch (node->SetValue(Narrow(value))) {
        case AccessibleSetResult::Done: return S_OK;
        case AccessibleSetResult::Refused: return E_INVALIDARG;
        case AccessibleSetResult::NotSupported: break;
        }
        return DISP_E_MEMBERNOTFOUND;
    }

private:
    ~Win32AccessibleObject() = default;

    HRESULT Root(AccessibleNode*& root) {
        root = nullptr;
        if (owner_ == nullptr || !IsWindow(hwnd_)) return CO_E_OBJNOTCONNECTED;
        AccessibleTreeProvider* provider = GetAccessibleTreeProvider();
        root = provider != nullptr ? provider->WindowRoot(window_) : nullptr;
        return root != nullptr ? S_OK : CO_E_OBJNOTCONNECTED;
    }
    HRESULT CheckSelf(const VARIANT& child) {
        AccessibleNode* root = nullptr;
        if (HRESULT hr = Root(root); hr != S_OK) return hr;
        return child.vt == VT_I4 && child.lVal == CHILDID_SELF ? S_OK : E_INVALIDARG;
    }
    // The node a child id names: the root for CHILDID_SELF, else the root's child at id - 1.
    HRESULT Resolve(const VARIANT& child, AccessibleNode*& node) {
        node = nullptr;
        AccessibleNode* root = nullptr;
        if (HRESULT hr = Root(root); hr != S_OK) return hr;
        if (child.vt != VT_I4) return E_INVALIDARG;
        if (child.lVal == CHILDID_SELF) {
            node = root;
            return S_OK;
        }
        if (kind_ == Kind::Caret) return E_INVALIDARG;
        const std::vector<AccessibleNode*> children = root->Children();
        if (child.lVal < 1 || static_cast<std::size_t>(child.lVal) > children.size()) return E_INVALIDARG;
        node = children[static_cast<std::size_t>(child.lVal - 1)];
        return S_OK;
    }
    template <typename Read> HRESULT Text(const VARIANT& child, BSTR* out, Read read) {
        if (out == nullptr) return E_POINTER;
        *out = nullptr;
        AccessibleNode* node = nullptr;
        if (HRESULT hr = Resolve(child, node); hr != S_OK) return hr;
        const std::string text = kind_ == Kind::Caret ? std::string() : read(*node);
        if (text.empty()) return S_FALSE;
        *out = static_cast<BSTR>(owner_->AllocString(Wide(text).c_str()));
        return *out != nullptr ? S_OK : E_OUTOFMEMORY;
    }
    std::optional<TRect> CaretRect() {
        AccessibleTreeProvider* provider = GetAccessibleTreeProvider();
        return provider != nullptr ? provider->CaretRect(window_) : std::nullopt;
    }

    LONG refs_ = 1;
    Win32Accessibility* owner_; // null once disconnected
    HWND hwnd_;
    WindowId window_;
    Kind kind_;
};

Win32Accessibility::Win32Accessibility(std::function<void*(WindowId)> handleOf)
    : handleOf_(std::move(handleOf)) {
    HMODULE oleacc = LoadLibraryA("oleacc.dll");
    HMODULE oleaut = LoadLibraryA("oleaut32.dll");
    oleacc_ = oleacc;
    oleaut_ = oleaut;
    if (oleacc == nullptr || oleaut == nullptr) return;
    sysAllocString_ = reinterpret_cast<void*>(GetProcAddress(oleaut, "SysAllocString"));
    createStdAccessibleObject_ = reinterpret_cast<void*>(GetProcAddress(oleacc, "CreateStdAccessibleObject"));
    if (sysAllocString_ != nullptr)
        lresultFromObject_ = reinterpret_cast<void*>(GetProcAddress(oleacc, "LresultFromObject"));
    if (lresultFromObject_ != nullptr) AddAccessibleEventSink(this);
}

Win32Accessibility::~Win32Accessibility() {
    RemoveAccessibleEventSink(this);
    for (auto& [hwnd, objects] : objects_) {
        for (Win32AccessibleObject* o : {objects.client, objects.caret}) {
            if (o == nullptr) continue;
            o->Disconnect();
            o->Release();
        }
    }
    objects_.clear();
    // The libraries stay loaded: a client may still hold a proxy whose calls end in them.
}

bool Win32Accessibility::AnswerGetObject(void* hwnd, WindowId window, std::uintptr_t wParam,
                                         std::intptr_t lParam, std::intptr_t& result) {
    if (!Available()) return false;
    const LONG objectId = static_cast<LONG>(static_cast<DWORD>(lParam));
    if (objectId != OBJID_CLIENT && objectId != OBJID_CARET) return false;
    WindowObjects& objects = objects_[hwnd];
    Win32AccessibleObject*& slot = objectId == OBJID_CLIENT ? objects.client : objects.caret;
    if (slot == nullptr)
        slot = new Win32AccessibleObject(*this, static_cast<HWND>(hwnd), window,
                                         objectId == OBJID_CLIENT ? Win32AccessibleObject::Kind::Client
                                                                  : Win32AccessibleObject::Kind::Caret);
    const auto lresultFromObject = reinterpret_cast<LresultFromObjectFn>(lresultFromObject_);
    result = static_cast<std::intptr_t>(
        lresultFromObject(kIidAccessible, static_cast<WPARAM>(wParam), static_cast<IAccessible*>(slot)));
    return true;
}

void Win32Accessibility::WindowDestroyed(void* hwnd) {
    auto it = objects_.find(hwnd);
    if (it == objects_.end()) return;
    for (Win32AccessibleObject* o : {it->second.client, it->second.caret}) {
        if (o == nullptr) continue;
        o->Disconnect();
        o->Release();
    }
    objects_.erase(it);
}

void Win32Accessibility::RunDefaultAction(std::uintptr_t nodeId) {
    if (AccessibleNode* node = FindAccessible(static_cast<AccessibleId>(nodeId))) node->DoDefaultAction();
}

void* Win32Accessibility::AllocString(const wchar_t* text) const {
    return reinterpret_cast<SysAllocStringFn>(sysAllocString_)(text);
}

void* Win32Accessibility::CreateStandardObject(void* hwnd, long objectId) const {
    if (createStdAccessibleObject_ == nullptr) return nullptr;
    void* object = nullptr;
    const auto create = reinterpret_cast<CreateStdAccessibleObjectFn>(createStdAccessibleObject_);
    if (FAILED(create(static_cast<HWND>(hwnd), objectId, IID_IDispatch, &object))) return nullptr;
    return object;
}

void Win32Accessibility::AccessibleEventRaised(AccessibleEvent event, AccessibleNode& node) {
    HWND hwnd = static_cast<HWND>(handleOf_(node.Window()));
    if (hwnd == nullptr) return;
    DWORD winEvent = 0;
    LONG object = OBJID_CLIENT;
    LONG child = ChildIdOf(node);
    switch (event) {
    case AccessibleEvent::Focus: winEvent = EVENT_OBJECT_FOCUS; break;
    case AccessibleEvent::ValueChanged: winEvent = EVENT_OBJECT_VALUECHANGE; break;
    case AccessibleEvent::StateChanged: winEvent = EVENT_OBJECT_STATECHANGE; break;
    case AccessibleEvent::NameChanged: winEvent = EVENT_OBJECT_NAMECHANGE; break;
    case AccessibleEvent::MenuPopupStart: winEvent = EVENT_SYSTEM_MENUPOPUPSTART; break;
    case AccessibleEvent::MenuPopupEnd: winEvent = EVENT_SYSTEM_MENUPOPUPEND; break;
    case AccessibleEvent::CaretMoved:
        winEvent = EVENT_OBJECT_LOCATIONCHANGE;
        object = OBJID_CARET;
        child = CHILDID_SELF;
        break;
    case AccessibleEvent::TextChanged:     // the value change tells of it
    case AccessibleEvent::WindowActivated: // the system tells of activation itself
        return;
    }
    NotifyWinEvent(winEvent, hwnd, object, child);
}
