// The object behind every accessible answer of ours: a source's answers over the system's
// standard object (see Accessible.h).
#include "forms/Accessible.h"

#include "forms/WinText.h"

#include <atomic>

namespace quorin {

const IID kIIDAccessible = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

namespace {

const IID kIIDUnknown = {0x00000000, 0x0000, 0x0000, {0xc0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const IID kIIDDispatch = {0x00020400, 0x0000, 0x0000, {0xc0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const IID kIIDOleWindow = {0x00000114, 0x0000, 0x0000, {0xc0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

// The accessibility and COM libraries, loaded when a client first asks for an object: a
// program that links them loads them (and what they pull in) at every start, which costs
// more than a tenth of a second under some systems, and most runs have no client.
struct TOleAccess {
    HRESULT(WINAPI* CreateStdObject)(HWND, LONG, REFIID, void**) = nullptr;
    LRESULT(WINAPI* ResultFromObject)(REFIID, WPARAM, LPUNKNOWN) = nullptr;
    HRESULT(WINAPI* ObjectFromWindow)(HWND, DWORD, REFIID, void**) = nullptr;
    BSTR(WINAPI* AllocString)(const OLECHAR*) = nullptr;
    HRESULT(WINAPI* InitializeCom)(LPVOID, DWORD) = nullptr;
    bool Ready() const { return CreateStdObject && ResultFromObject && ObjectFromWindow && AllocString && InitializeCom; }
};

template <class F>
void Resolve(HMODULE Module, const char* Name, F& Out) {
    Out = Module ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(Module, Name))) : nullptr;
}

const TOleAccess& OleAccess() {
    static const TOleAccess api = [] {
        TOleAccess a;
        const auto load = [](const wchar_t* Name) { return LoadLibraryExW(Name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32); };
        const HMODULE oleacc = load(L"oleacc.dll"), oleaut = load(L"oleaut32.dll"), ole = load(L"ole32.dll");
        Resolve(oleacc, "CreateStdAccessibleObject", a.CreateStdObject);
        Resolve(oleacc, "LresultFromObject", a.ResultFromObject);
        Resolve(oleacc, "AccessibleObjectFromWindow", a.ObjectFromWindow);
        Resolve(oleaut, "SysAllocString", a.AllocString);
        Resolve(ole, "CoInitializeEx", a.InitializeCom);
        // Asked from another process, an object is marshalled, which wants COM in this
        // thread; the windows' thread is the program's one apartment.
        if (a.InitializeCom) a.InitializeCom(nullptr, COINIT_APARTMENTTHREADED);
        return a;
    }();
    return api;
}

// VariantInit's whole work, without the library.
void EmptyVariant(VARIANT* V) { V->vt = VT_EMPTY; }

std::function<std::string(TAccessibleWord)>& Words() {
    static std::function<std::string(TAccessibleWord)> words;
    return words;
}

BSTR MakeBstr(const std::string& Text) { return OleAccess().AllocString(ToWide(Text).c_str()); }

// The child a VARIANT names, or -1 when it names none.
long ChildOf(const VARIANT& Child) {
    if (Child.vt == VT_I4) return Child.lVal;
    if (Child.vt == VT_EMPTY) return CHILDID_SELF;
    return -1;
}

VARIANT ChildVariant(long Child) {
    VARIANT v;
    EmptyVariant(&v);
    v.vt = VT_I4;
    v.lVal = Child;
    return v;
}

class TAccessibleObject final : public IAccessible, public IOleWindow {
public:
    TAccessibleObject(std::shared_ptr<TAccessibleSource> Source, IAccessible* Standard)
        : FSource(std::move(Source)), FStandard(Standard) {}
    ~TAccessibleObject() {
        if (FStandard) FStandard->Release();
    }
    TAccessibleObject(const TAccessibleObject&) = delete;
    TAccessibleObject& operator=(const TAccessibleObject&) = delete;

    // ---- IUnknown ----
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID Id, void** Object) override {
        if (!Object) return E_POINTER;
        *Object = nullptr;
        if (IsEqualIID(Id, kIIDUnknown) || IsEqualIID(Id, kIIDDispatch) || IsEqualIID(Id, kIIDAccessible))
            *Object = static_cast<IAccessible*>(this);
        else if (IsEqualIID(Id, kIIDOleWindow))
            *Object = static_cast<IOleWindow*>(this);
        else
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++FRefs; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --FRefs;
        if (left == 0) delete this;
        return left;
    }

    // ---- IOleWindow: the window the object belongs to ----
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* Window) override {
        if (!Window) return E_POINTER;
        *Window = FSource->Window();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // ---- IDispatch: not offered (clients call the interface directly) ----
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* Count) override {
        if (!Count) return E_POINTER;
        *Count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return E_NOTIMPL;
    }

    // ---- IAccessible ----
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** Parent) override {
        if (!Parent) return E_POINTER;
        *Parent = nullptr;
        if (!FSource->Alive()) return RPC_E_DISCONNECTED;
        if (FStandard) return FStandard->get_accParent(Parent);
        // An object of the frame (caption, menu row) belongs to the window's object.
        return OleAccess().ObjectFromWindow(FSource->Window(), DWORD(OBJID_WINDOW), kIIDDispatch,
                                            reinterpret_cast<void**>(Parent));
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* Count) override {
        if (!Count) return E_POINTER;
        *Count = 0;
        if (!FSource->Alive()) return RPC_E_DISCONNECTED;
        long standard = 0;
        if (FStandard && FAILED(FStandard->get_accChildCount(&standard))) standard = 0;
        *Count = FSource->ElementCount() + standard;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT Child, IDispatch** Object) override {
        if (!Object) return E_POINTER;
        *Object = nullptr;
        if (!FSource->Alive()) return RPC_E_DISCONNECTED;
        const long id = ChildOf(Child);
        const long own = FSource->ElementCount();
        if (id < 0) return E_INVALIDARG;
        if (id == CHILDID_SELF) return E_INVALIDARG;
        if (id <= own) return S_FALSE;  // a simple element
        if (!FStandard) return E_INVALIDARG;
        return FStandard->get_accChild(ChildVariant(id - own), Object);
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT Child, BSTR* Name) override {
        return Text(Child, Name, &TAccessibleElement::Name, &IAccessible::get_accName);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT Child, BSTR* Value) override {
        return Text(Child, Value, &TAccessibleElement::Value, &IAccessible::get_accValue);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT Child, BSTR* Description) override {
        return Text(Child, Description, &TAccessibleElement::Description, &IAccessible::get_accDescription);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT Child, VARIANT* Role) override {
        return Number(Child, Role, &TAccessibleElement::Role, &IAccessible::get_accRole);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT Child, VARIANT* State) override {
        return Number(Child, State, &TAccessibleElement::State, &IAccessible::get_accState);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT Child, BSTR* Help) override {
        if (!Help) return E_POINTER;
        *Help = nullptr;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* File, VARIANT, long* Topic) override {
        if (File) *File = nullptr;
        if (Topic) *Topic = 0;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT Child, BSTR* Shortcut) override {
        return Text(Child, Shortcut, &TAccessibleElement::Shortcut, &IAccessible::get_accKeyboardShortcut);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* Focus) override {
        if (!Focus) return E_POINTER;
        EmptyVariant(Focus);
        if (!FSource->Alive()) return RPC_E_DISCONNECTED;
        const long child = FSource->FocusedChild();
        if (child >= 0) {
            *Focus = ChildVariant(child);
            return S_OK;
        }
        if (FStandard) return FStandard->get_accFocus(Focus);
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* Selection) override {
        if (!Selection) return E_POINTER;
        EmptyVariant(Selection);
        if (!FSource->Alive()) return RPC_E_DISCONNECTED;
        if (FStandard) return FStandard->get_accSelection(Selection);
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT Child, BSTR* Action) override {
        return Text(Child, Action, &TAccessibleElement::DefaultAction, &IAccessible::get_accDefaultAction);
    }
    HRESULT STDMETHODCALLTYPE accSelect(long Flags, VARIANT Child) override {
        if (!FSource->Alive()) return RPC_E_DISCONNECTED;
        const long id = ChildOf(Child);
        const long own = FSource->ElementCount();
        if (id < 0) return E_INVALIDARG;
        if (id > own || id == CHILDID_SELF) {
            if (!FStandard) return E_NOTIMPL;
            return FStandard->accSelect(Flags, ChildVariant(id == CHILDID_SELF ? id : id - own));
        }
        // Taking the selection of a simple child is what choosing it does (a page's tab).
        if ((Flags & SELFLAG_TAKESELECTION) && FSource->DoDefaultAction(id)) return S_OK;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE accLocation(long* Left, long* Top, long* Width, long* Height, VARIANT Child) override {
        if (!Left || !Top || !Width || !Height) return E_POINTER;
        *Left = *Top = *Width = *Height = 0;
        if (!FSource->Alive()) return RPC_E_DISCONNECTED;
        const long id = ChildOf(Child);
        const long own = FSource->ElementCount();
        if (id < 0 || id > own + StandardCount()) return E_INVALIDARG;
        if (id <= own) {
            TAccessibleElement e;
            FSource->Describe(id, e);
            if (e.Screen) {
                *Left = e.Screen->left;
                *Top = e.Screen->top;
                *Width = e.Screen->right - e.Screen->left;
                *Height = e.Screen->bottom - e.Screen->top;
                return S_OK;
            }
            if (id != CHILDID_SELF) return S_FALSE;
        }
        if (!FStandard) return S_FALSE;
        return FStandard->accLocation(Left, Top, Width, Height, ChildVariant(id == CHILDID_SELF ? id : id - own));
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long Direction, VARIANT Start, VARIANT* End) override {
        if (!End) return E_POINTER;
        EmptyVariant(End);
        if (!FSource->Alive()) return RPC_E_DISCONNECTED;
        const long id = ChildOf(Start);
        const long own = FSource->ElementCount();
        if (id < 0) return E_INVALIDARG;
        if (id == CHILDID_SELF && own > 0 && (Direction == NAVDIR_FIRSTCHILD || Direction == NAVDIR_LASTCHILD)) {
            const long standard = StandardCount();
            if (Direction == NAVDIR_FIRSTCHILD || standard == 0) {
                *End = ChildVariant(Direction == NAVDIR_FIRSTCHILD ? 1 : own);
                return S_OK;
            }
        }
        if (id >= 1 && id <= own) {
            long next = 0;
            switch (Direction) {
            case NAVDIR_NEXT:
            case NAVDIR_RIGHT:
            case NAVDIR_DOWN: next = id + 1; break;
            case NAVDIR_PREVIOUS:
            case NAVDIR_LEFT:
            case NAVDIR_UP: next = id - 1; break;
            default: return E_INVALIDARG;
            }
            if (next < 1 || next > own) return S_FALSE;
            *End = ChildVariant(next);
            return S_OK;
        }
        if (!FStandard) return S_FALSE;
        return FStandard->accNavigate(Direction, ChildVariant(id == CHILDID_SELF ? id : id - own), End);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long X, long Y, VARIANT* Child) override {
        if (!Child) return E_POINTER;
        EmptyVariant(Child);
        if (!FSource->Alive()) return RPC_E_DISCONNECTED;
        const long hit = FSource->HitTest(POINT{X, Y});
        if (hit >= 0) {
            *Child = ChildVariant(hit);
            return S_OK;
        }
        if (FStandard) return FStandard->accHitTest(X, Y, Child);
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT Child) override {
        if (!FSource->Alive()) return RPC_E_DISCONNECTED;
        const long id = ChildOf(Child);
        const long own = FSource->ElementCount();
        if (id < 0 || id > own + StandardCount()) return E_INVALIDARG;
        if (id <= own && FSource->DoDefaultAction(id)) return S_OK;
        if (id > own && FStandard) return FStandard->accDoDefaultAction(ChildVariant(id - own));
        if (id == CHILDID_SELF && FStandard) return FStandard->accDoDefaultAction(Child);
        return DISP_E_MEMBERNOTFOUND;
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

private:
    using TTextField = std::optional<std::string> TAccessibleElement::*;
    using TNumberField = std::optional<long> TAccessibleElement::*;
    using TTextCall = HRESULT (STDMETHODCALLTYPE IAccessible::*)(VARIANT, BSTR*);
    using TNumberCall = HRESULT (STDMETHODCALLTYPE IAccessible::*)(VARIANT, VARIANT*);

    long StandardCount() const {
        long n = 0;
        if (FStandard && FAILED(FStandard->get_accChildCount(&n))) n = 0;
        return n;
    }

    // One property of the object or of a child: the source's value when it has one (Put hands
    // it to the caller), else the standard object's answer, else Missing's.
    template <class TValue, class TOut, class TPut, class TMissing>
    HRESULT Property(const VARIANT& Child, TOut* Out, std::optional<TValue> TAccessibleElement::*Field,
                     HRESULT (STDMETHODCALLTYPE IAccessible::*Call)(VARIANT, TOut*), TPut Put, TMissing Missing) {
        if (!FSource->Alive()) return RPC_E_DISCONNECTED;
        const long id = ChildOf(Child);
        const long own = FSource->ElementCount();
        if (id < 0) return E_INVALIDARG;
        if (id > own) {
            if (!FStandard) return E_INVALIDARG;
            return (FStandard->*Call)(ChildVariant(id - own), Out);
        }
        TAccessibleElement e;
        FSource->Describe(id, e);
        if (const auto& v = e.*Field) return Put(*v);
        if (id == CHILDID_SELF && FStandard) return (FStandard->*Call)(Child, Out);
        return Missing();
    }

    HRESULT Text(const VARIANT& Child, BSTR* Out, TTextField Field, TTextCall Call) {
        if (!Out) return E_POINTER;
        *Out = nullptr;
        return Property(
            Child, Out, Field, Call,
            [&](const std::string& v) -> HRESULT {
                if (v.empty()) return S_FALSE;
                *Out = MakeBstr(v);
                return *Out ? S_OK : E_OUTOFMEMORY;
            },
            []() -> HRESULT { return S_FALSE; });
    }

    HRESULT Number(const VARIANT& Child, VARIANT* Out, TNumberField Field, TNumberCall Call) {
        if (!Out) return E_POINTER;
        EmptyVariant(Out);
        const auto put = [&](long v) -> HRESULT {
            *Out = ChildVariant(v);
            return S_OK;
        };
        return Property(Child, Out, Field, Call, put, [&]() -> HRESULT { return put(0); });
    }

    std::atomic<ULONG> FRefs{1};
    std::shared_ptr<TAccessibleSource> FSource;
    IAccessible* FStandard;
};

}  // namespace

IAccessible* MakeAccessibleObject(std::shared_ptr<TAccessibleSource> Source, LONG ObjectId, bool WrapStandard) {
    if (!OleAccess().Ready()) return nullptr;  // no accessibility library: nothing to answer with
    IAccessible* standard = nullptr;
    if (WrapStandard && FAILED(OleAccess().CreateStdObject(Source->Window(), ObjectId, kIIDAccessible,
                                                             reinterpret_cast<void**>(&standard))))
        standard = nullptr;
    return new TAccessibleObject(std::move(Source), standard);
}

LRESULT AccessibleResult(IAccessible* Object, WPARAM WParam) {
    if (!Object) return 0;
    const LRESULT result = OleAccess().ResultFromObject(kIIDAccessible, WParam, Object);
    Object->Release();
    return result;
}

void SetAccessibleWords(std::function<std::string(TAccessibleWord)> Source) { Words() = std::move(Source); }

std::string AccessibleWord(TAccessibleWord Word) {
    if (Words())
        if (std::string w = Words()(Word); !w.empty()) return w;
    switch (Word) {
    case TAccessibleWord::Press: return "Press";
    case TAccessibleWord::Check: return "Check";
    case TAccessibleWord::Uncheck: return "Uncheck";
    case TAccessibleWord::Switch: return "Switch";
    case TAccessibleWord::Open: return "Open";
    case TAccessibleWord::Execute: return "Execute";
    case TAccessibleWord::Close: return "Close";
    case TAccessibleWord::Minimize: return "Minimize";
    case TAccessibleWord::Maximize: return "Maximize";
    case TAccessibleWord::Restore: return "Restore";
    case TAccessibleWord::Help: return "Help";
    case TAccessibleWord::MenuBar: return "Application";
    }
    return {};
}

}  // namespace quorin
