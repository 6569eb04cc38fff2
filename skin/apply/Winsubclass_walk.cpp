// The control walk of a skin applier: which painter each control of a window gets, by its
// kind, the skin's switched-on control kinds, DisableTag and the Skin3rd class map.
#include "skin/apply/Winskinform.h"

#include <algorithm>
#include <any>
#include <functional>

#include "forms/Forms.h"
#include "forms/Menus.h"
#include "forms/SysUtils.h"
#include "forms/TypInfo.h"
#include "skin/apply/Skinclasses.h"
#include "skin/resources/Winskindata.h"

namespace quorin {

namespace {

// Signatures of a tool bar's custom-draw events, as the skin applier's handlers take them.
using TToolBarDrawButtonEvent = std::function<void(TObject* Sender, TObject* Button, int State, bool& DefaultDraw)>;
using TToolBarDrawEvent = std::function<void(TObject* Sender, const RECT& Rect, bool& DefaultDraw)>;

std::string Upper(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    return out;
}

bool OneOf(const std::string& s, std::initializer_list<std::string_view> names) {
    return std::find(names.begin(), names.end(), s) != names.end();
}

bool Is(const TObject* o, TControlKind k) { return IsControlKind(o, k); }

// The windowed control's style bits, without making its window.
LONG_PTR StyleOf(TWinControl* w) {
    if (!w || !w->HandleAllocated()) return 0;
    return GetWindowLongPtrW(w->Handle(), GWL_STYLE);
}

std::string WindowClassLower(HWND Handle) {
    wchar_t name[101] = {};
    int n = GetClassNameW(Handle, name, 101);
    std::string out;
    for (int i = 0; i < n; ++i) {
        wchar_t c = name[i];
        if (c >= L'A' && c <= L'Z') c = wchar_t(c - L'A' + L'a');
        out.push_back(c < 0x80 ? char(c) : '?');
    }
    return out;
}

}  // namespace

// ---- attaching ----------------------------------------------------------------------------

bool TWinSkinForm::SkinHas(TSkinControlType Kind) const { return FSkinData && FSkinData->SkinControls.Contains(Kind); }

bool TWinSkinForm::TabGate() const { return SkinHas(xcTab) && FSkinData->Tabs != nullptr; }

TSkinControl* TWinSkinForm::AttachPainter(std::string_view Class, TControl* Control, bool ParentBK, int32_t Kind,
                                          const std::function<void(TSkinControl*)>& Prepare) {
    if (!Control || FindSkinComp(Control)) return nullptr;  // never two painters on one control
    TSkinControl* p = NewSkinControl(Class, Control);
    if (!p) return nullptr;
    p->FKind = Kind;
    if (Prepare) Prepare(p);
    try {
        p->Init(this, FSkinData, ParentBK, FCanvas.get());
    } catch (const std::exception&) {
        // A control whose window cannot be made stays native.
        delete p;
        return nullptr;
    }
    return p;
}

TSkinControl* TWinSkinForm::AttachScrollbar(std::string_view Class, TControl* Control, int32_t Kind) {
    if (!Control || FindSkinComp(Control)) return nullptr;  // never two painters on one control
    TSkinControl* p = NewSkinControl(Class, Control);
    if (!p) return nullptr;
    p->FKind = Kind;
    try {
        if (auto* s = dynamic_cast<TSkinScrollbar*>(p))
            s->InitScrollbar(Control, FSkinData, this, FCanvas.get());
        else if (auto* c = dynamic_cast<TSkinScControl*>(p))
            c->InitScrollbar(Control, FSkinData, this, FCanvas.get());
        else
            p->Init(this, FSkinData, false, FCanvas.get());
    } catch (const std::exception&) {
        delete p;
        return nullptr;
    }
    return p;
}

TSkinControl* TWinSkinForm::AttachGraphic(TControl* Control, const char* GlyphProperty) {
    if (!Control || FindSkinComp(Control)) return nullptr;
    auto* p = dynamic_cast<TSkinSpeedButton*>(NewSkinControl("TSkinSpeedButton", Control));
    if (!p) return nullptr;
    if (GlyphProperty) p->FGlyphProperty = GlyphProperty;
    try {
        p->InitGraphicControl(this, FSkinData, FCanvas.get());
    } catch (const std::exception&) {
        delete p;
        return nullptr;
    }
    return p;
}

TSkinControl* TWinSkinForm::AttachHwnd(std::string_view Class, HWND Handle, TComponent* Owner) {
    if (!Handle || Lookupcontrol(Handle)) return nullptr;
    TSkinControl* p = NewSkinControl(Class, Owner ? Owner : this);
    if (!p) return nullptr;
    try {
        p->Inithwnd(Handle, FSkinData, this, FCanvas.get());
    } catch (const std::exception&) {
        delete p;
        return nullptr;
    }
    return p;
}

// ---- walking a framework form ------------------------------------------------------------

void TWinSkinForm::InitControls(TComponent* Form) {
    DeleteSkinDeleted();
    InitControlA(Form);
}

void TWinSkinForm::InitControlA(TComponent* Container) {
    if (!Container || !FSkinData) return;
    // Indexed, and checked each time: a handler or a painter may add components.
    for (int i = 0; i < Container->ComponentCount(); ++i)
        if (auto* c = dynamic_cast<TControl*>(Container->Components(i))) AddComp(c, Container);
    if (SkinHas(xcPopupMenu)) InitPopMenu(Container, true, false);
}

void TWinSkinForm::InitChildCtrl(TWinControl* Container) {
    if (!Container) return;
    for (int i = 0; i < Container->ControlCount(); ++i) AddComp(Container->Controls(i), Container);
}

bool SkinWindowsMadeLater = false;

void TWinSkinForm::InitMadeLater(TWinControl* Root) {
    if (!Root || !FSkinData || FStatus == sfsDestroying || FStatus == sfsDestroyed) return;
    AddComp(Root, Root->Owner());
    for (int i = 0; i < Root->ControlCount(); ++i) {
        TControl* c = Root->Controls(i);
        if (auto* w = dynamic_cast<TWinControl*>(c))
            InitMadeLater(w);
        else
            AddComp(c, c->Owner());
    }
}

void TWinSkinForm::InitNestform(TWinControl* Container) {
    if (!Container || !FSkinData) return;
    DeleteSkinDeleted();
    if (!FindSkinComp(Container)) AttachPainter("TSkinBox", Container, true);
    for (int i = 0; i < Container->ComponentCount(); ++i)
        if (auto* c = dynamic_cast<TControl*>(Container->Components(i))) AddComp(c, Container);
    if (SkinHas(xcPopupMenu)) InitPopMenu(Container, true, false);
}

bool TWinSkinForm::FindSkinComp(TControl* Control) const {
    if (!Control) return false;
    for (TSkinControl* p : FControlList)
        if (p->FControl == Control) return true;
    // Sent to the window itself, so that a painter that hooked the window procedure
    // answers as well as one that hooked the framework's method.
    auto* w = dynamic_cast<TWinControl*>(Control);
    if (w && w->HandleAllocated()) return SendMessageW(w->Handle(), CN_IsSkinned, 0, 0) == 1;
    try {
        return Control->Perform(CN_IsSkinned, 0, 0) == 1;
    } catch (const std::exception&) {
        return false;
    }
}

void TWinSkinForm::DisableControl(TControl* Control) {
    auto* w = dynamic_cast<TWinControl*>(Control);
    if (!w || !FSkinData || w->ControlCount() == 0) return;
    const std::string name = LowerCase(Control->ClassName());
    if (name.find("radiogroup") == std::string::npos && name.find("checkgroup") == std::string::npos) return;
    // The buttons a group makes for itself are its own; they stay as native as the group.
    for (int i = 0; i < w->ControlCount(); ++i) w->Controls(i)->SetTag(FSkinData->DisableTag);
}

void TWinSkinForm::DoSkinEdit(TControl* Control) {
    auto* w = dynamic_cast<TWinControl*>(Control);
    if (!w || !w->HandleAllocated()) return;
    RECT wr{}, cr{};
    if (!GetWindowRect(w->Handle(), &wr) || !GetClientRect(w->Handle(), &cr)) return;
    // Only an edit with a border has a frame to paint.
    if (wr.right - wr.left == cr.right && wr.bottom - wr.top == cr.bottom) return;
    AttachPainter("TSkinEdit", Control, false);
}

bool TWinSkinForm::IsScrollControl(TComponent* Component) const {
    auto* w = dynamic_cast<TWinControl*>(Component);
    if (!w) return false;
    if (StyleOf(w) & (WS_VSCROLL | WS_HSCROLL)) return true;
    return Is(w, TControlKind::ckListBox) || Is(w, TControlKind::ckCustomMemo) ||
           Is(w, TControlKind::ckCustomTreeView) || Is(w, TControlKind::ckScrollBox);
}

void TWinSkinForm::SetToolBarHandlers(TControl* ToolBar) {
    // The tool bar's own handlers win; ours only fill the gaps. A tool bar class whose
    // events have other signatures keeps its native drawing.
    try {
        if (IsPublishedProp(ToolBar, "OnCustomDrawButton") && !IsMethodAssigned(ToolBar, "OnCustomDrawButton")) {
            TToolBarDrawButtonEvent f = [this](TObject* s, TObject* b, int st, bool& d) {
                ToolBarDrawButton(s, b, st, d);
            };
            SetMethodProp(ToolBar, "OnCustomDrawButton", std::any(f));
        }
    } catch (const std::exception&) {}
    try {
        if (IsPublishedProp(ToolBar, "OnCustomDraw") && !IsMethodAssigned(ToolBar, "OnCustomDraw")) {
            TToolBarDrawEvent f = [this](TObject* s, const RECT& r, bool& d) { ToolBarDrawBackground(s, r, d); };
            SetMethodProp(ToolBar, "OnCustomDraw", std::any(f));
        }
    } catch (const std::exception&) {}
}

void TWinSkinForm::SkinToolbarMenus(TControl* ToolBar) {
    auto* menu = dynamic_cast<TMenu*>(GetObjProp(ToolBar, "Menu", TMenu::StaticClassInfo()));
    if (!menu || !menu->Items()) return;
    for (int i = 0; i < menu->Items()->Count(); ++i) InitToolbarMenu(menu->Items()->Items(i), true);
}

void TWinSkinForm::AddComp(TControl* Control, TComponent* Parent) {
    if (!Control || !FSkinData) return;
    if (Control->Tag() == FSkinData->DisableTag) {
        DisableControl(Control);
        return;
    }
    if (!Control->Parent() || FindSkinComp(Control)) return;
    const std::string cls = Upper(Control->ClassName());
    auto* win = dynamic_cast<TWinControl*>(Control);
    if (win) {
        if (win->Destroying()) return;
        // A control of a hidden page has no window yet: it gets its painter when its window
        // is made (the framework tells), not a window made now for the first frame's sake.
        if (!win->HandleAllocated() && SkinWindowsMadeLater) return;
        try {
            win->HandleNeeded();
        } catch (...) {
            return;  // a control whose window cannot be made is left out, silently
        }
    }

    if (FSkinData->OnSkinControl) {
        TObject* made = nullptr;
        // The program's handler may fail; the walk goes on past its control, which stays
        // native, so the window is still finished and its frame painted.
        try {
            FSkinData->OnSkinControl(this, FSkinData, Parent, Control, cls, made);
        } catch (...) {
            return;
        }
        if (auto* p = dynamic_cast<TSkinControl*>(made)) {
            if (!AddControlList(p)) p->Init(this, FSkinData, p->FParentBK, FCanvas.get());
            if (Is(Control, TControlKind::ckCustomPanel)) InitChildCtrl(win);
            return;
        }
    }
    if (Find3rdControl(cls, Control)) return;
    if (OneOf(cls, {"TDBCOMBOBOXEH", "TFRDESIGNERPAGE", "TFRPBOX"})) return;

    using K = TControlKind;
    // The first row that matches decides; the order is part of the rules (a bit button is
    // also a button, a radio group also a group box, memos and lists also edits).
    if (Is(Control, K::ckCustomTabControl) && TabGate()) {
        if (Is(Control, K::ckPageControl))
            AttachPainter(GetEnumProperty(Control, "Style") == "tsTabs" ? "TSkinTab" : "TSkinTabBtn", Control, false);
        else
            AttachPainter("TSkinTab", Control, false, 2);
        return;
    }
    if (Is(Control, K::ckToolButton) && FSkinFrame) {
        if (auto* item = dynamic_cast<TMenuItem*>(GetObjProp(Control, "MenuItem", TMenuItem::StaticClassInfo())))
            InitToolbarMenu(item, true);
        return;
    }
    if (Is(Control, K::ckCoolBar) && SkinHas(xcToolbar)) {
        if (auto* bands = dynamic_cast<TCollection*>(GetObjProp(Control, "Bands", TCollection::StaticClassInfo())))
            for (int i = 0; i < bands->Count(); ++i) {
                try {
                    if (IsPublishedProp(bands->Items(i), "Color"))
                        SetOrdProp(bands->Items(i), "Color", int64_t(FSkinData->Colors.ButtonFace));
                } catch (const std::exception&) {}
            }
        return;
    }
    if (cls == "TTABSET" && TabGate()) {
        AttachPainter("TSkinTab31", Control, false);
        return;
    }
    if (Is(Control, K::ckTabSheet) && TabGate()) {
        AttachPainter("TSkinTabSheet", Control, false);
        return;
    }
    if (cls == "TTABBEDNOTEBOOK" && TabGate()) {
        AttachPainter("TSkinTab", Control, false);
        return;
    }
    if (cls == "TMVCPANEL") {
        InitChildCtrl(win);
        return;
    }
    if (Is(Control, K::ckHeaderControl) && SkinHas(xcPanel)) {
        AttachPainter("TSkinHeader", Control, false);
        return;
    }
    if (Is(Control, K::ckCustomCheckBox) && SkinHas(xcCheckBox)) {
        AttachPainter("TSkinCheckBox", Control, false);
        return;
    }
    if (Is(Control, K::ckTrackBar) && SkinHas(xcTrackBar)) {
        AttachPainter("TSkinTrackBar", Control, false);
        return;
    }
    if (OneOf(cls, {"TUPDOWN", "TSPINBUTTON"}) && SkinHas(xcSpin)) {
        AttachPainter("TSkinUpDown", Control, false);
        return;
    }
    if (cls == "TMEDIAPLAYER" && SkinHas(xcButton)) {
        AttachPainter("TSkinMP", Control, false);
        return;
    }
    if (Is(Control, K::ckCustomRadioGroup) && SkinHas(xcRadioButton)) {
        if (win)
            for (int i = 0; i < win->ControlCount(); ++i) AttachPainter("TSkinRadioButton", win->Controls(i), false);
        AttachPainter("TSkinGroupBox", Control, true);
        return;
    }
    if (cls == "TDBNAVIGATOR" && SkinHas(xcPanel)) {
        AttachPainter("TSkinBox", Control, true);
        if (win)
            for (int i = 0; i < win->ControlCount(); ++i) AddComp(win->Controls(i), nullptr);
        return;
    }
    if (OneOf(cls, {"TRZDBCHECKBOX", "TRZCHECKBOX"}) && SkinHas(xcCheckBox)) {
        AttachPainter("TSkinObjImage", Control, true, 1);
        return;
    }
    if (OneOf(cls, {"TRZRADIOBUTTON", "TRZDBRADIOBUTTON"}) && SkinHas(xcRadioButton)) {
        AttachPainter("TSkinObjImage", Control, true, 2);
        return;
    }
    if (OneOf(cls, {"TCXDBCHECKBOX", "TCXCHECKBOX"}) && SkinHas(xcCheckBox)) {
        AttachPainter("TSkinObjImage", Control, true, 3);
        return;
    }
    if (Is(Control, K::ckCustomGroupBox) && SkinHas(xcPanel)) {
        InitChildCtrl(win);
        AttachPainter("TSkinGroupBox", Control, false);
        return;
    }
    if (Is(Control, K::ckRadioButton) && SkinHas(xcRadioButton)) {
        AttachPainter("TSkinRadioButton", Control, false);
        return;
    }
    if (Is(Control, K::ckToolBar) && SkinHas(xcToolbar)) {
        SetProperty(Control, "Flat", "True");
        SetToolBarHandlers(Control);
        AttachPainter("TSkinBox", Control, false);
        SkinToolbarMenus(Control);
        return;
    }
    if (Is(Control, K::ckCustomStatusBar) && SkinHas(xcStatusBar)) {
        AttachPainter("TSkinStatusBar", Control, false);
        return;
    }
    if (Is(Control, K::ckProgressBar) && SkinHas(xcProgress)) {
        AttachPainter("TSkinProgress", Control, false);
        return;
    }
    if (Is(Control, K::ckScrollBar) && SkinHas(xcScrollbar)) {
        AttachScrollbar("TSkinScControl", Control);
        return;
    }
    if (cls == "TTNTCOMBOBOX" && SkinHas(xcCombo)) {
        AttachPainter("TSkinComBox", Control, false);
        return;
    }
    if (Is(Control, K::ckCustomComboBox) && SkinHas(xcCombo)) {
        AttachPainter("TSkinComBox", Control, false);
        return;
    }
    if (Is(Control, K::ckDateTimePicker) && SkinHas(xcEdit)) {
        // An up-down picker has no drop-down button to paint: it looks like an edit.
        const bool upDown =
            GetEnumProperty(Control, "DateMode") == "dmUpDown" || GetEnumProperty(Control, "Kind") == "dtkTime";
        AttachPainter(upDown ? "TSkinEdit" : "TSkinDateTime", Control, false);
        return;
    }
    if (cls == "TRICHEDIT" && SkinHas(xcScrollbar)) {
        AttachScrollbar("TSkinScrollbar", Control);
        return;
    }
    if (OneOf(cls, {"TWWDBRICHEDIT", "TDXDBMEMO"}) && SkinHas(xcScrollbar)) {
        AttachScrollbar("TSkinScrollbar", Control);
        return;
    }
    if (Is(Control, K::ckBitButton)) {
        if (SkinHas(xcBitBtn)) AttachPainter("TSkinBitButton", Control, false);
        return;
    }
    if (Is(Control, K::ckSpeedButton) && SkinHas(xcSpeedButton)) {
        AttachGraphic(Control);
        return;
    }
    if (Is(Control, K::ckCustomPanel) && SkinHas(xcPanel)) {
        InitChildCtrl(win);
        AttachPainter("TSkinBox", Control, true);
        return;
    }
    if (OneOf(cls, {"TDXTREELIST", "TDXDBTREELIST", "TDXDBGRID"}) && SkinHas(xcScrollbar)) {
        AttachScrollbar("TSkinScrollbar", Control);
        return;
    }
    if (Is(Control, K::ckCustomListView) && SkinHas(xcScrollbar)) {
        AttachScrollbar("TSkinListView", Control);
        return;
    }
    if (Is(Control, K::ckCustomMemo) && SkinHas(xcScrollbar)) {
        AttachScrollbar("TSkinScrollbar", Control);
        return;
    }
    if (Is(Control, K::ckCustomGrid) && SkinHas(xcScrollbar)) {
        AttachScrollbar("TSkinScrollbar", Control);
        return;
    }
    if (IsScrollControl(Control) && SkinHas(xcScrollbar)) {
        AttachScrollbar("TSkinScrollbar", Control);
        return;
    }
    if (Is(Control, K::ckButton) && SkinHas(xcButton)) {
        AttachPainter("TSkinButton", Control, false);
        return;
    }
    if (Is(Control, K::ckCustomEdit) && SkinHas(xcEdit)) {
        AttachPainter("TSkinEdit", Control, false);
        return;
    }
    const bool dcEdit = OneOf(cls, {"TDCEDIT", "TDCDBEDIT"});
    if (!dcEdit && Is(Control, K::ckCustomFrame)) {
        InitControlA(Control);
        return;
    }
    if (!dcEdit && Is(Control, K::ckCustomForm)) {
        AttachPainter("TSkinBox", Control, true);
        InitControlA(Control);
        return;
    }
    if (dcEdit) {
        const int32_t buttons = GetIntProperty(Control, "NumButtons");
        if (buttons == 1 && SkinHas(xcCombo))
            AttachPainter("TSkinComBox", Control, false);
        else if (buttons == 0 && SkinHas(xcEdit) && win)
            AttachHwnd("TSkinEdit", win->Handle(), Control);
    }
}

// ---- the Skin3rd map -------------------------------------------------------------------------

bool TWinSkinForm::Find3rdControl(const std::string& ClassName, TControl* Control) {
    if (!FSkinData || !Control) return false;
    const std::string key = LowerCase(ClassName) + "=";
    std::string kind;
    bool found = false;
    const TStringList& lines = FSkinData->Skin3rd();
    for (int i = 0; i < lines.Count(); ++i) {
        const std::string line = LowerCase(lines[i]);
        if (line.compare(0, key.size(), key) != 0) continue;
        kind = line.substr(line.find('=') + 1, 50);
        found = true;
        break;
    }
    if (!found) return false;

    auto* win = dynamic_cast<TWinControl*>(Control);
    auto children = [win](auto&& each) {
        if (!win) return;
        for (int i = 0; i < win->ControlCount(); ++i) each(win->Controls(i));
    };
    if (kind == "nil") {
    } else if (kind == "combobox") {
        if (SkinHas(xcCombo)) AttachPainter("TSkinComBox", Control, false);
    } else if (kind == "edit") {
        if (SkinHas(xcEdit)) DoSkinEdit(Control);
    } else if (kind == "radiobutton") {
        if (SkinHas(xcRadioButton)) AttachPainter("TSkinRadioButton", Control, false);
    } else if (kind == "panel") {
        if (SkinHas(xcPanel)) {
            SetProperty(Control, "Transparent", "True");
            AttachPainter("TSkinBox", Control, true);
        }
    } else if (kind == "trackbar") {
        if (SkinHas(xcButton)) {
            SetProperty(Control, "Transparent", "True");
            AttachPainter("TSkinTrackBar", Control, false);
        }
    } else if (kind == "button") {
        if (SkinHas(xcButton)) AttachPainter("TSkinButton", Control, false);
    } else if (kind == "datetimepicker") {
        if (SkinHas(xcCombo)) AttachPainter("TSkinDateTime", Control, false);
    } else if (kind == "mediaplayer") {
        if (SkinHas(xcButton)) AttachPainter("TSkinMP", Control, false);
    } else if (kind == "bitbtn") {
        if (SkinHas(xcButton)) {
            const bool dropDown = key == "tcxbutton=" && GetEnumProperty(Control, "Kind") == "cxbkDropDownButton";
            AttachPainter(dropDown ? "TSkinMenuButton" : "TSkinBitButton", Control, false);
        }
    } else if (kind == "pngbitbtn") {
        if (SkinHas(xcButton))
            AttachPainter("TSkinBitButton", Control, false, 0, [](TSkinControl* p) {
                if (auto* b = dynamic_cast<TSkinBitButton*>(p)) b->FGlyphProperty = "PngImage";
            });
    } else if (kind == "menubtn") {
        if (SkinHas(xcButton)) AttachPainter("TSkinMenuButton", Control, false);
    } else if (kind == "speedbutton") {
        if (SkinHas(xcSpeedButton)) AttachGraphic(Control);
    } else if (kind == "tab") {
        if (TabGate()) AttachPainter("TSkinTab", Control, false);
    } else if (kind == "progress") {
        if (SkinHas(xcProgress)) AttachPainter("TSkinProgress", Control, false);
    } else if (kind == "scrollbar") {
        if (SkinHas(xcScrollbar)) {
            AttachScrollbar("TSkinScrollbar", Control);
            InitChildCtrl(win);
        }
    } else if (kind == "singlescrollbar") {
        if (SkinHas(xcScrollbar)) AttachScrollbar("TSkinScrollbar", Control, 1);
    } else if (kind == "embedscrollbar") {
        if (SkinHas(xcScrollbar))
            children([this](TControl* c) {
                if (Is(c, TControlKind::ckScrollBar))
                    AttachScrollbar("TSkinScControl", c);
                else if (IsScrollControl(c))
                    AttachScrollbar("TSkinScrollbar", c);
            });
    } else if (kind == "container") {
        InitChildCtrl(win);
    } else if (kind == "groupbox") {
        if (SkinHas(xcGroupBox)) AttachPainter("TSkinGroupBox", Control, true);
    } else if (kind == "advpagecontrol") {
        if (SkinHas(xcTab))
            AttachPainter("TSkinAdvPage", Control, true, 0, [](TSkinControl* p) {
                if (auto* a = dynamic_cast<TSkinAdvPage*>(p)) a->FPageKind = 4;
            });
    } else if (kind == "radiogroup") {
        if (SkinHas(xcGroupBox)) {
            // The group's own buttons of a library that draws custom glyphs get their
            // glyphs swapped instead of being painted over.
            const bool glyphs = ClassName.find("TRZ") != std::string::npos;
            if (SkinHas(xcRadioButton))
                children([&](TControl* c) {
                    if (glyphs)
                        AttachPainter("TSkinObjImage", c, true, 2);
                    else
                        AttachPainter("TSkinRadioButton", c, false);
                });
            AttachPainter("TSkinGroupBox", Control, true);
        }
    } else if (kind == "checkgroup") {
        if (SkinHas(xcPanel)) {
            const bool glyphs = ClassName.find("TRZ") != std::string::npos;
            if (SkinHas(xcRadioButton))
                children([&](TControl* c) {
                    if (glyphs)
                        AttachPainter("TSkinObjImage", c, true, 1);
                    else
                        AttachPainter("TSkinCheckBox", c, false);
                });
            if (SkinHas(xcGroupBox)) AttachPainter("TSkinGroupBox", Control, true);
        }
    } else if (kind == "checkbox") {
        if (SkinHas(xcCheckBox)) AttachPainter("TSkinCheckBox", Control, false);
    }
    // An unknown kind, or one whose switch is off, leaves the control native.
    return true;
}

// ---- walking raw windows -----------------------------------------------------------------------

void TWinSkinForm::InitHwndControls(HWND Handle) {
    if (!Handle) return;
    for (HWND child = GetTopWindow(Handle); child; child = GetWindow(child, GW_HWNDNEXT))
        if (GetWindowLongPtrW(child, GWL_STYLE) & WS_CHILD) AddControlh(child);
}

BOOL CALLBACK TWinSkinForm::EnumControl(HWND Handle, LPARAM SkinForm) {
    if (auto* f = reinterpret_cast<TWinSkinForm*>(SkinForm)) f->AddControlh(Handle);
    return TRUE;
}

void TWinSkinForm::AddControlh(HWND Handle) {
    if (!Handle || !FSkinData || Lookupcontrol(Handle)) return;
    // A window some painter already serves (a framework control skinned through its
    // method, or by another applier) gets no second one.
    if (SendMessageW(Handle, CN_IsSkinned, 0, 0) == 1) return;
    const std::string cls = WindowClassLower(Handle);
    const LONG_PTR style = GetWindowLongPtrW(Handle, GWL_STYLE);
    auto has = [style](LONG_PTR bits) { return (style & bits) == bits; };
    auto faceColor = [this](HWND h) {
        if (TWinControl* c = FindControlx(h)) c->SetColor(FSkinData->Colors.ButtonFace);
    };

    if (cls == "button") {
        if (has(0xB)) return;                            // owner-drawn
        if (has(BS_GROUPBOX) || has(BS_BITMAP)) return;  // group frames and picture buttons
        if (has(3) || has(2) || has(5))
            AttachHwnd("TSkinCheckBox", Handle);
        else if (has(9) || has(4))
            AttachHwnd("TSkinRadioButton", Handle);
        else
            AttachHwnd("TSkinButton", Handle);
    } else if (cls == "combobox") {
        if ((style & 3) != CBS_SIMPLE) AttachHwnd("TSkinComBox", Handle);
    } else if (cls == "comboboxex32") {
        if (HWND inner = GetTopWindow(Handle)) AttachHwnd("TSkinComBox", inner);
    } else if (cls == "scrollbar") {
        if (!(style & 0x10000)) AttachHwnd("TSkinSizer", Handle);
    } else if (cls == "systreeview32") {
    } else if (cls == "#32770") {
        if (!(style & 0x10000)) {
            InitHwndControls(Handle);
            AttachHwnd("TSkinBoxH", Handle);
        }
    } else if (cls == "tpanel" || cls == "ttntpanel.unicodeclass" || cls == "ttntsilentpaintpanel.unicodeclass") {
        InitHwndControls(Handle);
        faceColor(Handle);
    } else if (cls == "tcheckbox") {
        AttachHwnd("TSkinCheckBox", Handle);
    } else if (cls == "tcombobox") {
        AttachHwnd("TSkinComBox", Handle);
    } else if (cls == "tbutton") {
        AttachHwnd("TSkinButton", Handle);
    } else if (cls == "tprogressbar") {
        AttachHwnd("TSkinProgress", Handle);
    } else if (cls == "tsilentpaintpanel") {
        faceColor(Handle);
    } else if (cls == "systabcontrol32") {
        if (!(style & 0x2000)) AttachHwnd("TSkinTab", Handle);  // not owner-drawn
    } else if (cls == "edit") {
        AttachHwnd("TSkinEdit", Handle);
    }
}

// ---- the painter list ----------------------------------------------------------------------------

bool TWinSkinForm::AddControlList(TSkinControl* Painter) {
    if (std::find(FControlList.begin(), FControlList.end(), Painter) != FControlList.end()) return true;
    FControlList.push_back(Painter);
    return false;
}

void TWinSkinForm::DeleteControl(TSkinControl* Painter) {
    if (!FControlListAlive) return;
    auto it = std::find(FControlList.rbegin(), FControlList.rend(), Painter);
    if (it != FControlList.rend()) FControlList.erase(std::next(it).base());
    if (FHotControl == Painter) FHotControl = nullptr;
}

TSkinControl* TWinSkinForm::Lookupcontrol(HWND Handle) const {
    // A painter whose window was destroyed no longer stands for that handle, which the
    // system may give to a new window.
    for (TSkinControl* p : FControlList)
        if (p->FHandle == Handle && p->FStatus != 6) return p;
    return nullptr;
}

void TWinSkinForm::DeleteSkinDeleted() {
    for (size_t i = FControlList.size(); i-- > 0;) {
        if (i >= FControlList.size()) continue;
        TSkinControl* p = FControlList[i];
        if (p->FStatus == 6) {
            FControlList.erase(FControlList.begin() + std::ptrdiff_t(i));
            if (FHotControl == p) FHotControl = nullptr;
            p->FSkinForm = nullptr;
            delete p;
        }
    }
}

void TWinSkinForm::DeleteControls() {
    while (!FControlList.empty()) {
        TSkinControl* p = FControlList.front();
        FControlList.erase(FControlList.begin());
        if (p->ControlAlive() && Is(p->FControl, TControlKind::ckToolBar)) {
            // Our draw handlers must not outlive this applier.
            try {
                if (IsPublishedProp(p->FControl, "OnCustomDraw"))
                    SetMethodProp(p->FControl, "OnCustomDraw", std::any());
                if (IsPublishedProp(p->FControl, "OnCustomDrawButton"))
                    SetMethodProp(p->FControl, "OnCustomDrawButton", std::any());
            } catch (const std::exception&) {}
        }
        if (p->FStatus != 6) p->Unsubclass();
        p->FSkinForm = nullptr;
        delete p;
    }
    FHotControl = nullptr;
}

}  // namespace quorin
