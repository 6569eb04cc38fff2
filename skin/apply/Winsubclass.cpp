// TSkinControl: attaching a painter to its control, the message pipeline, painting over
// a window, and the property helpers by name.
#include "skin/apply/Winsubclass.h"

#include <optional>

#include "forms/TypInfo.h"
#include "skin/apply/Winskinform.h"
#include "skin/resources/Skindraw_win32.h"
#include "skin/resources/Winskindata.h"

namespace quorin {

struct TSkinControl::TMethodHook {
    TSkinControl* Owner = nullptr;  // null once the painter is gone
    TWndMethod Old;
};

namespace {

// What a painter installs as its control's WindowProc. Once the painter is gone it passes
// every message on to the method it replaced.
struct TMethodThunk {
    std::shared_ptr<TSkinControl::TMethodHook> Hook;
    void operator()(TMessage& Message) const {
        std::shared_ptr<TSkinControl::TMethodHook> hold = Hook;
        if (hold->Owner)
            hold->Owner->NewWndProc(Message);
        else if (hold->Old)
            hold->Old(Message);
    }
};

}  // namespace

TSkinControl::TSkinControl(TComponent* AOwner) : TComponent(AOwner) {}

TSkinControl::~TSkinControl() {
    *FAlive = false;
    if (FMethodHook) {
        // Put the old method back only while ours is the installed one and the control
        // is not being torn down; otherwise stay in the chain as a pass-through.
        if (FControl && ControlAlive()) {
            const auto* installed = FControl->WindowProc.target<TMethodThunk>();
            if (installed && installed->Hook == FMethodHook) FControl->WindowProc = FMethodHook->Old;
        }
        FMethodHook->Owner = nullptr;
        FMethodHook.reset();
    }
    FOldWindowMethod = nullptr;
    FHook.Unhook();
    if (FSkinForm) FSkinForm->DeleteControl(this);
}

TWinControl* TSkinControl::WinControl() const { return dynamic_cast<TWinControl*>(FControl); }

bool TSkinControl::ControlAlive() const {
    if (!FControl) return false;
    if (FControl->ComponentState() & csDestroying) return false;
    if (auto* w = WinControl()) return !w->Destroying();
    return true;
}

TColor TSkinControl::ButtonFace() const { return FSkinData ? FSkinData->Colors.ButtonFace : SystemColor(scBtnFace); }

// ---- attaching ---------------------------------------------------------------------

void TSkinControl::Init(TWinSkinForm* SkinForm, TSkinData* SkinData, bool ParentBK, TCanvas* Canvas) {
    if (FInited) return;
    FParentBK = ParentBK;
    FSkinData = SkinData;
    FSkinForm = SkinForm;
    FCanvas = Canvas;
    FControl = dynamic_cast<TControl*>(Owner());
    if (!FControl || !ControlAlive()) {
        FControl = nullptr;
        return;
    }
    if (auto* w = WinControl()) {
        FHandle = w->Handle();
        FUnicode = IsWindowUnicode(FHandle) != FALSE;
    }
    FOldWindowMethod = FControl->WindowProc;
    FMethodHook = std::make_shared<TMethodHook>();
    FMethodHook->Owner = this;
    FMethodHook->Old = FOldWindowMethod;
    FControl->WindowProc = TMethodThunk{FMethodHook};
    if (FSkinForm) FSkinForm->AddControlList(this);
    if (FParentBK) {
        FOldColor = FControl->Color();
        FOldParentColor = FControl->ParentColor();
        FControl->SetColor(ButtonFace());
    }
    FControl->Invalidate();
    FInited = true;
    FStatus = 1;
}

void TSkinControl::Inithwnd(HWND Handle, TSkinData* SkinData, TWinSkinForm* SkinForm, TCanvas* Canvas) {
    if (FInited) return;
    FSkinData = SkinData;
    FCanvas = Canvas;
    FSkinForm = SkinForm;
    FHandle = Handle;
    FEnabled = true;
    FKind = 0;
    if (FSkinForm) FSkinForm->AddControlList(this);
    FUnicode = IsWindowUnicode(Handle) != FALSE;
    int length = GetWindowTextLengthW(Handle);
    if (length > 0) {
        std::u16string text(size_t(length) + 1, u'\0');
        int got = GetWindowTextW(Handle, reinterpret_cast<LPWSTR>(text.data()), length + 1);
        text.resize(size_t(got > 0 ? got : 0));
        FCaption = text;
    }
    FHook.Hook(Handle, THookKind::hkControl, [this](TMessage& m) { NewWndProc(m); });
    InvalidateRect(Handle, nullptr, TRUE);
    FInited = true;
    FStatus = 1;
}

void TSkinControl::Unsubclass() {
    if (!FParentBK || !ControlAlive()) return;
    if (FOldParentColor)
        FControl->SetParentColor(true);
    else
        FControl->SetColor(FOldColor);
}

// ---- the message pipeline -------------------------------------------------------------

void TSkinControl::NewWndProc(TMessage& Message) {
    if (Message.Msg == CN_SkinEnable) {
        FActive = static_cast<intptr_t>(Message.WParam) > 0;
        if (FActive) Invalidate();
        return;
    }
    if (!FActive) {
        Default(Message);
        return;
    }
    if (Message.Msg == WM_PAINT && FSkinForm) FSkinForm->NotePainted();
    if (BeforeProc(Message)) {
        // The message may run a handler that frees the control, and this painter with it
        // (a click): then there is nothing left to do after it.
        const std::shared_ptr<bool> alive = FAlive;
        Default(Message);
        if (*alive) AfterProc(Message);
    }
}

void TSkinControl::Default(TMessage& Message) {
    if (FOldWindowMethod) {
        // The control may unhook us while the message runs; hold the method meanwhile.
        TWndMethod old = FOldWindowMethod;
        old(Message);
    } else {
        FHook.Default(Message);
    }
}

bool TSkinControl::BeforeProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_NCDESTROY:
        Default(Message);
        FActive = false;
        FStatus = 6;
        // A raw window is gone for good: give back its procedure now. A framework
        // control may make its window again, so its method stays (inactive) until the
        // applier frees this painter.
        FHook.Unhook();
        Unsubclass();
        return false;
    case CN_IsSkinned: Message.Result = 1; return false;
    default: return true;
    }
}

void TSkinControl::AfterProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_ENABLE:
    case WM_SETTEXT:
    case CM_ENABLEDCHANGED: Invalidate(); break;
    case WM_PAINT: PaintControl(reinterpret_cast<HDC>(Message.WParam)); break;
    default: break;
    }
}

void TSkinControl::Invalidate() {
    if (FRedirect) {
        if (auto* c = dynamic_cast<TControl*>(FRedirect)) c->Invalidate();
        return;
    }
    if (!FHandle || !IsWindow(FHandle)) return;
    InvalidateRect(FHandle, nullptr, TRUE);
    if (!FSkinForm || !FSkinForm->PaintDeferred()) UpdateWindow(FHandle);
}

void TSkinControl::MouseLeave() {
    if (FHandle) SendMessageW(FHandle, CM_MOUSELEAVE, 0, 0);
}

void TSkinControl::PaintControl(HDC DC) {
    if (!FHandle) return;
    RECT r;
    if (!GetWindowRect(FHandle, &r)) return;
    FWinRect = r;
    OffsetRect(&r, -r.left, -r.top);
    try {
        if (DC) {
            DrawControl(DC, r);
        } else {
            TWindowDC wdc(FHandle);
            if (wdc.Handle()) DrawControl(wdc.Handle(), r);
        }
    } catch (...) {
        // A painting fault leaves what the control painted natively.
    }
}

void TSkinControl::DrawControl(HDC, const RECT&) {}

void TSkinControl::WMPaint(TMessage& Message) {
    if (!FHandle) return;
    std::optional<TPaintDC> paint;
    HDC dc = reinterpret_cast<HDC>(Message.WParam);
    if (!dc) dc = paint.emplace(FHandle).Handle();
    RECT r;
    if (dc && GetWindowRect(FHandle, &r)) {
        FWinRect = r;
        OffsetRect(&r, -r.left, -r.top);
        try {
            DrawControl(dc, r);
        } catch (...) {}
    }
    Message.Result = 0;
}

void TSkinControl::WMERASEBKGND(TMessage& Message) {
    HDC dc = reinterpret_cast<HDC>(Message.WParam);
    if (dc && FHandle) {
        if (FControl) {
            DrawParentImage(FHandle, dc);
        } else {
            RECT r;
            GetClientRect(FHandle, &r);
            FillParentBG(dc, r);
        }
    }
    Message.Result = 1;
}

void TSkinControl::SkinChange() {
    if (FParentBK && ControlAlive()) FControl->SetColor(ButtonFace());
    Invalidate();
}

int TSkinControl::GetState() { return 1; }

// ---- helpers ----------------------------------------------------------------------------

void TSkinControl::FillColor(HDC DC, const RECT& Rect, TColor Color) {
    TGdiObject<HBRUSH> brush(CreateSolidBrush(ColorRef(Color)));
    FillRect(DC, &Rect, brush.Get());
}

void TSkinControl::FillBG(HDC DC, const RECT& Rect) { FillColor(DC, Rect, ButtonFace()); }

void TSkinControl::FillParentBG(HDC DC, const RECT& Rect) { FillColor(DC, Rect, GetParentColor(ButtonFace())); }

TColor TSkinControl::GetParentColor(TColor DefaultColor) const {
    if (!FControl || !FControl->Parent()) return DefaultColor;
    return FControl->Parent()->Color();
}

LONG_PTR TSkinControl::GetWindowLongEx(HWND Handle, int Index) const {
    return IsWindowUnicode(Handle) ? GetWindowLongPtrW(Handle, Index) : GetWindowLongPtrA(Handle, Index);
}

void TSkinControl::DrawFocus(HDC DC, const std::u16string& Text, UINT Flags, const RECT& Rect) {
    RECT r = Rect;
    const std::u16string& measured = Text.empty() ? FCaption : Text;
    DrawTextW(DC, reinterpret_cast<LPCWSTR>(measured.c_str()), int(measured.size()), &r,
              Flags | DT_CALCRECT | DT_NOCLIP);
    const int w = r.right - r.left, h = r.bottom - r.top;
    if (Flags & DT_CENTER) {
        OffsetRect(&r, ((Rect.right - Rect.left) - w) / 2, ((Rect.bottom - Rect.top) - h) / 2);
    } else if (Flags & DT_RIGHT) {
        OffsetRect(&r, Rect.right - r.right, 0);
    }
    InflateRect(&r, 2, 1);
    RECT clipped;
    if (!::IntersectRect(&clipped, &r, &Rect)) return;
    DrawFocusRect(DC, &clipped);
}

// ---- property helpers --------------------------------------------------------------------
// None of them raises: a nil object, a name the object does not publish, a property of
// another kind or a value it refuses all give the absent value or change nothing.

namespace {

const TPropInfo* PropOf(const TObject* Object, std::string_view Name) {
    return Object ? GetPropInfo(Object, Name) : nullptr;
}

}  // namespace

std::string GetProperty(const TObject* Object, std::string_view Name) {
    const TPropInfo* p = PropOf(Object, Name);
    if (!p) return {};
    try {
        if (p->Kind == TPropKind::Enumeration) return GetEnumProp(Object, Name);
        if (p->Kind == TPropKind::Integer) return std::to_string(GetOrdProp(Object, Name));
    } catch (const std::exception&) {}
    return {};
}

int32_t GetIntProperty(const TObject* Object, std::string_view Name) {
    const TPropInfo* p = PropOf(Object, Name);
    if (!p || p->Kind != TPropKind::Integer) return -1;
    try {
        return static_cast<int32_t>(GetOrdProp(Object, Name));
    } catch (const std::exception&) {
        return -1;
    }
}

std::string GetEnumProperty(const TObject* Object, std::string_view Name) {
    const TPropInfo* p = PropOf(Object, Name);
    if (!p || p->Kind != TPropKind::Enumeration) return {};
    try {
        return GetEnumProp(Object, Name);
    } catch (const std::exception&) {
        return {};
    }
}

std::u16string GetStringProp(const TObject* Object, std::string_view Name) {
    const TPropInfo* p = PropOf(Object, Name);
    if (!p || p->Kind != TPropKind::String) return {};
    try {
        return StrToWideStr(GetStrProp(Object, Name));
    } catch (const std::exception&) {
        return {};
    }
}

std::any GetObjMethod(const TObject* Object, std::string_view Name) {
    const TPropInfo* p = PropOf(Object, Name);
    if (!p || p->Kind != TPropKind::Method) return {};
    try {
        return GetMethodProp(Object, Name);
    } catch (const std::exception&) {
        return {};
    }
}

TPicture* GetPictureProp(const TObject* Object, std::string_view Name) {
    return static_cast<TPicture*>(GetObjProp(Object, Name, TPicture::StaticClassInfo()));
}

bool TSwappedPicture::Swap(TObject* Control, std::string_view Name, HBITMAP With) {
    TGdiObject<HBITMAP> owned(With);
    TPicture* picture = GetPictureProp(Control, Name);
    if (!picture || (FSwapped && FName != Name)) return false;
    if (!FSwapped) {
        FSaved.Assign(*picture);
        FName = std::string(Name);
        FSwapped = true;
    }
    picture->SetBitmap(owned.Release());
    return true;
}

void TSwappedPicture::Restore(TObject* Control) {
    if (FSwapped)
        if (TPicture* picture = GetPictureProp(Control, FName)) picture->Assign(FSaved);
    Forget();
}

void TSwappedPicture::Forget() {
    FSaved.SetBitmap(nullptr);
    FSwapped = false;
}

HBITMAP StripFrameBitmap(const TBitmap& Strip, int Frames, int Frame) {
    if (Strip.Empty() || !Strip.Handle()) return nullptr;
    if (Frame <= 0) return static_cast<HBITMAP>(CopyImage(Strip.Handle(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    const int frames = std::max(Frames, 1);
    const int w = Strip.Width() / frames;
    if (w <= 0) return nullptr;
    TBitmap one(w, Strip.Height());
    {
        TBitmapDC to(one);
        TBitmapDC from(Strip, to.Handle());
        BitBlt(to.Handle(), 0, 0, w, Strip.Height(), from.Handle(), (FrameInStrip(Frame, frames) - 1) * w, 0, SRCCOPY);
    }
    GdiFlush();
    return static_cast<HBITMAP>(CopyImage(one.Handle(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

TObject* GetObjProp(const TObject* Object, std::string_view Name, const TClassInfo& Class) {
    const TPropInfo* p = PropOf(Object, Name);
    // Lists and collections are object properties too (a tool bar's Menu, a cool bar's Bands).
    if (!p || (p->Kind != TPropKind::Object && p->Kind != TPropKind::Strings && p->Kind != TPropKind::Collection))
        return nullptr;
    try {
        TObject* value = GetObjectProp(Object, Name);
        return value && value->InheritsFrom(Class) ? value : nullptr;
    } catch (const std::exception&) {
        return nullptr;
    }
}

void SetProperty(TObject* Object, std::string_view Name, const std::string& Value) {
    const TPropInfo* p = PropOf(Object, Name);
    if (!p) return;
    try {
        switch (p->Kind) {
        case TPropKind::Enumeration: SetEnumProp(Object, Name, Value); break;
        case TPropKind::Integer: SetOrdProp(Object, Name, StrToInt(Value)); break;
        case TPropKind::String: SetStrProp(Object, Name, Value); break;
        default: break;
        }
    } catch (const std::exception&) {
        // A value the property does not take changes nothing.
    }
}

}  // namespace quorin
