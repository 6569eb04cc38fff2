// What a screen reader gets from the running program through the system's accessibility
// layer: the objects are asked from this process with oleacc, as a reader asks them, and
// the events a reader follows are recorded here with a WinEvent hook (Wine delivers them
// to another process as Windows does).
#include "support/GuiHarness.h"
#include "support/RealInput.h"
#include "support/VirtualConverter.h"

#include <gtest/gtest.h>
#include <oleacc.h>

#include <algorithm>
#include <map>

namespace quorin::gui {
namespace {

// Defined here: the imported symbol of a static link can come out wrong.
const IID kIIDAccessible = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

struct TComScope {
    TComScope() { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    ~TComScope() { CoUninitialize(); }
};

// One object, released at the end of its scope.
class TObject {
public:
    TObject(HWND Window, LONG Id) {
        if (FAILED(AccessibleObjectFromWindow(Window, DWORD(Id), kIIDAccessible, reinterpret_cast<void**>(&FObject))))
            FObject = nullptr;
    }
    ~TObject() {
        if (FObject) FObject->Release();
    }
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
    explicit operator bool() const { return FObject != nullptr; }
    IAccessible* operator->() const { return FObject; }

private:
    IAccessible* FObject = nullptr;
};

VARIANT Child(long Id) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = Id;
    return v;
}

struct TDescribed {
    std::string Name, Value, Shortcut, Action, Description;
    long Role = 0, State = 0, Children = 0;
};

TDescribed Describe(const TObject& Object, long Id = CHILDID_SELF) {
    TDescribed d;
    const auto text = [&](HRESULT (STDMETHODCALLTYPE IAccessible::*Call)(VARIANT, BSTR*), std::string& Out) {
        BSTR s = nullptr;
        if ((Object.operator->()->*Call)(Child(Id), &s) == S_OK && s) Out = Narrow(s);
        SysFreeString(s);
    };
    text(&IAccessible::get_accName, d.Name);
    text(&IAccessible::get_accValue, d.Value);
    text(&IAccessible::get_accKeyboardShortcut, d.Shortcut);
    text(&IAccessible::get_accDefaultAction, d.Action);
    text(&IAccessible::get_accDescription, d.Description);
    VARIANT v;
    VariantInit(&v);
    if (Object->get_accRole(Child(Id), &v) == S_OK && v.vt == VT_I4) d.Role = v.lVal;
    VariantInit(&v);
    if (Object->get_accState(Child(Id), &v) == S_OK && v.vt == VT_I4) d.State = v.lVal;
    if (Id == CHILDID_SELF) Object->get_accChildCount(&d.Children);
    return d;
}

// Messages of this thread go on while waiting: the hook's events arrive as messages.
bool PumpUntil(const std::function<bool()>& Done, DWORD TimeoutMs = 5000) {
    return WaitUntil(
        [&] {
            MSG m;
            while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
            return Done();
        },
        TimeoutMs, 10);
}

struct TEvent {
    DWORD Event;
    HWND Window;
    LONG Object, Child;
};
std::vector<TEvent> gEvents;
void CALLBACK RecordEvent(HWINEVENTHOOK, DWORD Event, HWND Window, LONG Object, LONG ChildId, DWORD, DWORD) {
    if (Event != EVENT_OBJECT_LOCATIONCHANGE) gEvents.push_back({Event, Window, Object, ChildId});
}

class TEventRecorder {
public:
    explicit TEventRecorder(DWORD ProcessId)
        : FHook(SetWinEventHook(EVENT_MIN, EVENT_MAX, nullptr, RecordEvent, ProcessId, 0, WINEVENT_OUTOFCONTEXT)) {
        gEvents.clear();
    }
    ~TEventRecorder() { UnhookWinEvent(FHook); }
    explicit operator bool() const { return FHook != nullptr; }
    // Waits for an event at or after From; its index, or -1.
    static int Wait(size_t From, const std::function<bool(const TEvent&)>& Match, DWORD TimeoutMs = 3000) {
        int found = -1;
        PumpUntil(
            [&] {
                for (size_t i = From; i < gEvents.size(); ++i)
                    if (Match(gEvents[i])) {
                        found = int(i);
                        return true;
                    }
                return false;
            },
            TimeoutMs);
        return found;
    }

private:
    HWINEVENTHOOK FHook;
};

HWND FocusOf(const RunningApp& App) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(App.MainWindow(), nullptr), &info);
    return info.hwndFocus;
}

HWND ShownPopup(const RunningApp& App) {
    const std::vector<HWND> popups = PopupMenus(App.ProcessId());
    return popups.empty() ? nullptr : popups.front();
}

void CloseMenus(const RunningApp& App) {
    for (int i = 0; i < 4 && ShownPopup(App); ++i) {
        Keys("Escape");
        WaitUntil([&] { return !ShownPopup(App); }, 1000);
    }
}

// Every framework input window of the page in front, with the role it must report.
std::vector<std::pair<HWND, long>> ShownInputs(HWND Root) {
    static const std::map<std::string, long> roles = {
        {"TEdit", ROLE_SYSTEM_TEXT},          {"TMaskEdit", ROLE_SYSTEM_TEXT},    {"TComboBox", ROLE_SYSTEM_COMBOBOX},
        {"TCheckBox", ROLE_SYSTEM_CHECKBUTTON}, {"TButton", ROLE_SYSTEM_PUSHBUTTON}, {"TListView", ROLE_SYSTEM_LIST},
        {"TPageControl", ROLE_SYSTEM_PAGETABLIST}};
    std::vector<std::pair<HWND, long>> found;
    struct TWalk {
        const std::map<std::string, long>* Roles;
        std::vector<std::pair<HWND, long>>* Found;
    } walk{&roles, &found};
    EnumChildWindows(
        Root,
        [](HWND w, LPARAM p) -> BOOL {
            auto* walk = reinterpret_cast<TWalk*>(p);
            if (!IsWindowVisible(w) || QuorinNameOf(w).empty()) return TRUE;
            if (auto it = walk->Roles->find(ClassOf(w)); it != walk->Roles->end()) walk->Found->push_back({w, it->second});
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&walk));
    return found;
}

struct TRunSetting {
    const char* Skin;
    const char* Language;
};

std::string RunName(const testing::TestParamInfo<TRunSetting>& Info) {
    std::string n = std::string(Info.param.Skin) + "_" + Info.param.Language;
    for (char& c : n)
        if (!isalnum(static_cast<unsigned char>(c))) c = '_';
    return n;
}

bool English(const TRunSetting& Run) { return std::string(Run.Language) == "en"; }

class ScreenReader : public testing::TestWithParam<TRunSetting> {};

// Every visible input of every page, the menu bar with its drop-downs and the title bar
// with its buttons, in each skin and language; the title bar's close button ends the run.
TEST_P(ScreenReader, DescribesEveryPageTheMenusAndTheCaption) {
    const TRunSetting run = GetParam();
    TComScope com;
    TUserValue skin(L"Software\\QUORIN\\CANConfig", L"Skin");
    TUserValue language(L"Software\\QUORIN\\CANConfig", L"Language");
    skin.SetText(Widen(run.Skin));
    language.SetText(Widen(run.Language));
    RunningApp app;
    ASSERT_TRUE(app.Started()) << app.Failure();
    WaitMainWindowSkinned(app.MainWindow());
    const bool en = English(run);

    // Names taken from labels in front of the control, from above, and from a group box.
    const std::vector<std::tuple<const char*, const char*, const char*>> named = {
        {"ComboBoxSwitchMode", "转换模式:", "Mode:"},
        {"EditUARTFrameInterVal", "串行帧（ms）：", "Serial frame (ms):"},
        {"ComboBoxCommIndex", "RS232 参数", "Serial port"},
        {"ButtonOpenRS232", "打开串口", "Open port"},
    };
    for (const auto& [control, zh, english] : named) {
        TObject object(app.Window(control), OBJID_CLIENT);
        ASSERT_TRUE(object) << control;
        const TDescribed d = Describe(object);
        EXPECT_EQ(d.Name, en ? english : zh) << control;
        // A label's access key is the control's shortcut (the two named by a label).
        if (std::string(control) == "ComboBoxSwitchMode" || std::string(control) == "EditUARTFrameInterVal") {
            EXPECT_EQ(d.Shortcut.rfind("Alt+", 0), 0u) << control << ": " << d.Shortcut;
        }
    }

    TObject tabs(app.Window("PageControlQUORINQ1"), OBJID_CLIENT);
    ASSERT_TRUE(tabs);
    const TDescribed strip = Describe(tabs);
    EXPECT_EQ(strip.Role, ROLE_SYSTEM_PAGETABLIST);
    const std::vector<std::string> captions = app.TabCaptions("PageControlQUORINQ1");
    ASSERT_GE(strip.Children, long(captions.size()));
    for (size_t page = 0; page < captions.size(); ++page) {
        SCOPED_TRACE("page " + captions[page]);
        const TDescribed tab = Describe(tabs, long(page + 1));
        EXPECT_EQ(tab.Role, ROLE_SYSTEM_PAGETAB);
        EXPECT_EQ(tab.Name, captions[page]);
        // The tab's default action brings its page to the front, as a click does.
        ASSERT_EQ(tabs->accDoDefaultAction(Child(long(page + 1))), S_OK);
        ASSERT_TRUE(WaitUntil([&] { return app.TabIndex("PageControlQUORINQ1") == int(page); }));
        EXPECT_TRUE(Describe(tabs, long(page + 1)).State & STATE_SYSTEM_SELECTED);

        for (const auto& [window, role] : ShownInputs(app.MainWindow())) {
            const std::string who = QuorinNameOf(window);
            TObject object(window, OBJID_CLIENT);
            ASSERT_TRUE(object) << who;
            const TDescribed d = Describe(object);
            EXPECT_EQ(d.Role, role) << who;
            EXPECT_FALSE(d.Name.empty()) << who;
            EXPECT_EQ(d.Name.find('&'), std::string::npos) << who << ": " << d.Name;
            const bool enabled = IsWindowEnabled(window) != FALSE;
            EXPECT_EQ((d.State & STATE_SYSTEM_UNAVAILABLE) != 0, !enabled) << who;
            EXPECT_EQ((d.State & STATE_SYSTEM_FOCUSABLE) != 0, enabled) << who;
            EXPECT_FALSE(d.State & STATE_SYSTEM_INVISIBLE) << who;
            if (role == ROLE_SYSTEM_TEXT || role == ROLE_SYSTEM_COMBOBOX) {
                EXPECT_EQ(d.Value, WindowText(window)) << who;
            }
            if (role == ROLE_SYSTEM_CHECKBUTTON) {
                EXPECT_EQ((d.State & STATE_SYSTEM_CHECKED) != 0, app.Checked(who)) << who;
            }
            if (role == ROLE_SYSTEM_LIST) {
                // Rows are its children, each named by its first column, the others told.
                const std::vector<std::vector<std::string>> rows = app.ListRows(who);
                ASSERT_GE(d.Children, long(rows.size())) << who;
                for (size_t r = 0; r < rows.size(); ++r) {
                    const TDescribed row = Describe(object, long(r + 1));
                    EXPECT_EQ(row.Role, ROLE_SYSTEM_LISTITEM) << who;
                    EXPECT_EQ(row.Name, rows[r][0]) << who;
                    if (rows[r].size() > 1) {
                        EXPECT_NE(row.Description.find(rows[r][1]), std::string::npos) << who;
                    }
                }
            }
        }
    }

    // The menu bar: its items with their Alt+letter keys; every drop-down item named.
    TObject menu(app.MainWindow(), OBJID_MENU);
    ASSERT_TRUE(menu) << "no menu bar object";
    const TDescribed bar = Describe(menu);
    EXPECT_EQ(bar.Role, ROLE_SYSTEM_MENUBAR);
    const std::vector<std::pair<std::string, std::string>> items = {
        {"File", "Alt+F"}, {"Window", "Alt+W"}, {"Language", "Alt+L"}, {en ? "Help" : "About", en ? "Alt+H" : "Alt+A"}};
    ASSERT_EQ(bar.Children, long(items.size()));
    for (size_t i = 0; i < items.size(); ++i) {
        SCOPED_TRACE("menu " + items[i].first);
        const TDescribed item = Describe(menu, long(i + 1));
        EXPECT_EQ(item.Role, ROLE_SYSTEM_MENUITEM);
        EXPECT_EQ(item.Name, items[i].first);
        EXPECT_EQ(item.Shortcut, items[i].second);
        EXPECT_TRUE(item.State & STATE_SYSTEM_HASPOPUP);
        ASSERT_EQ(menu->accDoDefaultAction(Child(long(i + 1))), S_OK);
        HWND popup = nullptr;
        ASSERT_TRUE(WaitUntil([&] { return (popup = ShownPopup(app)) != nullptr; })) << "the drop-down did not open";
        TObject list(popup, OBJID_CLIENT);
        ASSERT_TRUE(list);
        const TDescribed drop = Describe(list);
        EXPECT_EQ(drop.Role, ROLE_SYSTEM_MENUPOPUP);
        EXPECT_GT(drop.Children, 0);
        for (long k = 1; k <= drop.Children; ++k) {
            const TDescribed entry = Describe(list, k);
            if (entry.Role == ROLE_SYSTEM_SEPARATOR) continue;
            EXPECT_EQ(entry.Role, ROLE_SYSTEM_MENUITEM);
            EXPECT_FALSE(entry.Name.empty()) << "item " << k;
        }
        if (i == 0) {
            EXPECT_EQ(Describe(list, 1).Name, "Open profile...");
        }
        CloseMenus(app);
    }

    // The title bar and its buttons; Close closes the program.
    TObject title(app.MainWindow(), OBJID_TITLEBAR);
    ASSERT_TRUE(title) << "no title bar object";
    const TDescribed caption = Describe(title);
    EXPECT_EQ(caption.Role, ROLE_SYSTEM_TITLEBAR);
    EXPECT_EQ(caption.Name, WindowText(app.MainWindow()));
    ASSERT_EQ(caption.Children, 5);
    const TDescribed close = Describe(title, 5);
    EXPECT_EQ(close.Role, ROLE_SYSTEM_PUSHBUTTON);
    EXPECT_EQ(close.Name, en ? "Close" : "关闭");
    EXPECT_FALSE(close.State & STATE_SYSTEM_INVISIBLE);
    EXPECT_FALSE(close.Action.empty());
    // The program may end before the answer to the call is through.
    const HRESULT closed = title->accDoDefaultAction(Child(5));
    EXPECT_TRUE(closed == S_OK || closed == HRESULT_FROM_WIN32(RPC_S_CALL_FAILED) || closed == RPC_E_DISCONNECTED)
        << std::hex << closed;
    EXPECT_EQ(app.WaitExit(), std::optional<DWORD>(0));
}

INSTANTIATE_TEST_SUITE_P(Accessibility, ScreenReader,
                         testing::Values(TRunSetting{"default", "zh-CN"}, TRunSetting{"default", "en"},
                                         TRunSetting{"slate.skn", "zh-CN"}, TRunSetting{"slate.skn", "en"}),
                         RunName);

// A keyboard walk, a read and a language switch as a screen reader follows them: the focus
// events of the controls and of the skinned menus, value changes, a renamed control; the
// skinned About box's and message box's close buttons.
TEST(Accessibility, EventsOfAKeyboardWalkAReadAndALanguageSwitch) {
    VirtualConverter converter{3};
    if (!converter.Running()) GTEST_SKIP() << "no virtual converter on COM3 (tools/vconv-ports.sh start)";
    ASSERT_TRUE(converter.Reset());
    TComScope com;
    TUserValue skin(L"Software\\QUORIN\\CANConfig", L"Skin");
    TUserValue language(L"Software\\QUORIN\\CANConfig", L"Language");
    skin.SetText(L"default");
    language.SetText(L"zh-CN");
    RunningApp app;
    ASSERT_TRUE(app.Started()) << app.Failure();
    ASSERT_TRUE(WaitMainWindowSkinned(app.MainWindow()));
    SetForegroundWindow(app.MainWindow());
    TEventRecorder events(app.ProcessId());
    ASSERT_TRUE(events);

    // Tab: each control that takes the focus is told.
    for (int i = 0; i < 4; ++i) {
        const size_t from = gEvents.size();
        Keys("Tab");
        HWND focus = nullptr;
        ASSERT_TRUE(PumpUntil([&] { return (focus = FocusOf(app)) != nullptr; }));
        EXPECT_GE(TEventRecorder::Wait(from,
                                       [&](const TEvent& e) {
                                           return e.Event == EVENT_OBJECT_FOCUS && e.Window == FocusOf(app) &&
                                                  e.Object == OBJID_CLIENT;
                                       }),
                  0)
            << "no focus event for " << QuorinNameOf(FocusOf(app));
    }

    // The skinned menus, by keys (F10 from the combo box the walk ended on): the events the
    // system's menus send, in their order.
    {
        const size_t from = gEvents.size();
        Keys("F10");
        ASSERT_TRUE(PumpUntil([&] { return ShownPopup(app) != nullptr; }));
        HWND popup = ShownPopup(app);
        Keys("Down");
        const HWND main = app.MainWindow();
        int at = TEventRecorder::Wait(from, [&](const TEvent& e) {
            return e.Event == EVENT_SYSTEM_MENUSTART && e.Window == main && e.Object == OBJID_MENU;
        });
        EXPECT_GE(at, 0) << "no menu start";
        at = TEventRecorder::Wait(size_t(std::max(at, 0)), [&](const TEvent& e) {
            return e.Event == EVENT_OBJECT_FOCUS && e.Window == main && e.Object == OBJID_MENU && e.Child == 1;
        });
        EXPECT_GE(at, 0) << "no focus on the menu bar's first item";
        at = TEventRecorder::Wait(size_t(std::max(at, 0)), [&](const TEvent& e) {
            return e.Event == EVENT_SYSTEM_MENUPOPUPSTART && e.Window == popup;
        });
        EXPECT_GE(at, 0) << "no drop-down start";
        at = TEventRecorder::Wait(size_t(std::max(at, 0)), [&](const TEvent& e) {
            return e.Event == EVENT_OBJECT_FOCUS && e.Window == popup && e.Object == OBJID_CLIENT && e.Child == 2;
        });
        EXPECT_GE(at, 0) << "no focus on the drop-down's second item";
        CloseMenus(app);
        at = TEventRecorder::Wait(size_t(std::max(at, 0)),
                                  [&](const TEvent& e) { return e.Event == EVENT_SYSTEM_MENUPOPUPEND; });
        EXPECT_GE(at, 0) << "no drop-down end";
        at = TEventRecorder::Wait(size_t(std::max(at, 0)), [&](const TEvent& e) {
            return e.Event == EVENT_SYSTEM_MENUEND && e.Window == main;
        });
        EXPECT_GE(at, 0) << "no menu end";
    }

    // A read fills the pages: their values change, and the status bar's text is told.
    {
        ASSERT_TRUE(app.SelectComboText("ComboBoxCommIndex", "COM3"));
        ASSERT_TRUE(app.Click("ButtonOpenRS232"));
        ASSERT_TRUE(app.SelectTab("PageControlQUORINQ1", 3));
        ASSERT_TRUE(app.SetText("EditCANID", "ABC"));
        const size_t from = gEvents.size();
        ASSERT_TRUE(app.Click("ButtonReadParameter"));
        const HWND id = app.Window("EditCANID");
        const HWND status = app.Window("StatusBar1");
        EXPECT_GE(TEventRecorder::Wait(
                      from, [&](const TEvent& e) { return e.Event == EVENT_OBJECT_VALUECHANGE && e.Window == id; }),
                  0)
            << "no value change of the CAN identifier";
        EXPECT_GE(TEventRecorder::Wait(from,
                                       [&](const TEvent& e) {
                                           return e.Event == EVENT_OBJECT_NAMECHANGE && e.Window == status && e.Child > 0;
                                       }),
                  0)
            << "the status bar's new text was not told";
    }

    // A language switch: the names follow, and the renamed control is told.
    {
        const HWND mode = app.Window("ComboBoxSwitchMode");
        const size_t from = gEvents.size();
        app.ChooseMenu({2, 1});  // Language > English
        EXPECT_TRUE(WaitUntil([&] {
            TObject object(mode, OBJID_CLIENT);
            return object && Describe(object).Name == "Mode:";
        }));
        EXPECT_GE(TEventRecorder::Wait(
                      from, [&](const TEvent& e) { return e.Event == EVENT_OBJECT_NAMECHANGE && e.Window == mode; }),
                  0);
        TObject menu(app.MainWindow(), OBJID_MENU);
        ASSERT_TRUE(menu);
        EXPECT_EQ(Describe(menu, 4).Name, "Help");
    }

    // The skinned About box and a skinned message box close by their title bar's Close.
    {
        app.ChooseMenu({-1, 0});
        HWND about = app.WaitWindow("AboutBox");
        ASSERT_TRUE(about);
        TObject title(about, OBJID_TITLEBAR);
        ASSERT_TRUE(title) << "no title bar object on the About box";
        EXPECT_EQ(Describe(title, 5).Name, "Close");
        ASSERT_EQ(title->accDoDefaultAction(Child(5)), S_OK);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(about); }));
    }
    {
        ASSERT_TRUE(converter.SetFault("silent"));
        ASSERT_TRUE(app.ClickAsync("ButtonReadParameter"));
        auto box = app.WaitMessageBox(10000);
        ASSERT_TRUE(box);
        ASSERT_TRUE(WaitUntil([&] {
            TObject probe(box->window, OBJID_TITLEBAR);
            return bool(probe);
        })) << "no title bar object on the message box";
        TObject title(box->window, OBJID_TITLEBAR);
        EXPECT_EQ(Describe(title).Name, box->caption);
        ASSERT_EQ(title->accDoDefaultAction(Child(5)), S_OK);
        EXPECT_TRUE(WaitUntil([&] { return !app.CurrentMessageBox(); }));
    }
    app.CloseBox();
    EXPECT_EQ(app.WaitExit(), std::optional<DWORD>(0));
}

}  // namespace
}  // namespace quorin::gui
