// No handle growth: the program's main window through a long session of what an operator
// and the skin do over and over (the skin off and on, skinned message boxes, every page
// repainted, the port opened and closed). GDI objects, USER objects and private memory
// must come back to what they were after one warm-up round, within a small bound for
// caches.
//
// The platform's own count (GetGuiResources) is used where it answers. Where it does not
// (Wine answers 0), the test counts for itself: every GDI object the program creates and
// deletes through its import table, and for USER objects the program's windows, menus and
// icons.
#include <windows.h>
#include <psapi.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "app/UnitCANConfig.h"
#include "app/WarningBox.h"
#include "forms/ComCtrls.h"
#include "skin/apply/Winskindlg.h"
#include "skin/resources/Gdi_win32.h"
#include "skin/resources/Winskindata.h"
#include "SkinTestSupport.h"

namespace quorin {
namespace {

using skintest::PumpMessages;

// ---- counting at the import table ----------------------------------------------------

struct TLedger {
    std::mutex Lock;
    std::set<HANDLE> Gdi, User;
    void Add(std::set<HANDLE>& to, HANDLE h) {
        if (!h) return;
        std::lock_guard<std::mutex> guard(Lock);
        to.insert(h);
    }
    void Remove(std::set<HANDLE>& from, HANDLE h) {
        std::lock_guard<std::mutex> guard(Lock);
        from.erase(h);
    }
    size_t Count(const std::set<HANDLE>& of) {
        std::lock_guard<std::mutex> guard(Lock);
        return of.size();
    }
};

TLedger& Ledger() {
    static TLedger ledger;
    return ledger;
}

// The import slot of a function in the program's own import table, or null.
void** ImportSlot(const char* dll, const char* name) {
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!dir.VirtualAddress) return nullptr;
    for (auto* d = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); d->Name; ++d) {
        if (_stricmp(reinterpret_cast<const char*>(base + d->Name), dll) != 0) continue;
        auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk);
        auto* byName =
            reinterpret_cast<IMAGE_THUNK_DATA*>(base + (d->OriginalFirstThunk ? d->OriginalFirstThunk : d->FirstThunk));
        for (; byName->u1.AddressOfData; ++byName, ++slot) {
            if (IMAGE_SNAP_BY_ORDINAL(byName->u1.Ordinal)) continue;
            const auto* entry = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + byName->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char*>(entry->Name), name) == 0)
                return reinterpret_cast<void**>(&slot->u1.Function);
        }
    }
    return nullptr;
}

// The functions that were in the slots before, by slot number.
void* gOriginal[64];

bool Patch(const char* dll, const char* name, void* replacement, int id) {
    void** slot = ImportSlot(dll, name);
    if (!slot) return false;
    DWORD old = 0;
    if (!VirtualProtect(slot, sizeof(void*), PAGE_READWRITE, &old)) return false;
    gOriginal[id] = *slot;
    *slot = replacement;
    VirtualProtect(slot, sizeof(void*), old, &old);
    return true;
}

enum class TKind { kGdi, kUser };

// A creating function: calls the real one and records what it made.
template <class F, int Id, TKind Kind>
struct TMade;
template <class R, class... A, int Id, TKind Kind>
struct TMade<R(WINAPI*)(A...), Id, Kind> {
    static R WINAPI Call(A... a) {
        R made = reinterpret_cast<R(WINAPI*)(A...)>(gOriginal[Id])(a...);
        Ledger().Add(Kind == TKind::kGdi ? Ledger().Gdi : Ledger().User, made);
        return made;
    }
};

// A freeing function: forgets the handle once the real one has freed it.
template <class F, int Id, TKind Kind>
struct TFreed;
template <class R, class H, int Id, TKind Kind>
struct TFreed<R(WINAPI*)(H), Id, Kind> {
    static R WINAPI Call(H h) {
        R done = reinterpret_cast<R(WINAPI*)(H)>(gOriginal[Id])(h);
        if (done) Ledger().Remove(Kind == TKind::kGdi ? Ledger().Gdi : Ledger().User, h);
        return done;
    }
};

// A region handed to the system belongs to the window from then on.
BOOL WINAPI HandOverRegion(HWND window, HRGN region, BOOL redraw);
constexpr int kSetWindowRgn = 63;
BOOL WINAPI HandOverRegion(HWND window, HRGN region, BOOL redraw) {
    const BOOL done = reinterpret_cast<decltype(&SetWindowRgn)>(gOriginal[kSetWindowRgn])(window, region, redraw);
    if (done && region) Ledger().Remove(Ledger().Gdi, region);
    return done;
}

// CopyImage makes a bitmap (GDI) or an icon or cursor (USER).
constexpr int kCopyImage = 62;
HANDLE WINAPI CopiedImage(HANDLE image, UINT type, int cx, int cy, UINT flags) {
    HANDLE made = reinterpret_cast<decltype(&CopyImage)>(gOriginal[kCopyImage])(image, type, cx, cy, flags);
    Ledger().Add(type == IMAGE_BITMAP ? Ledger().Gdi : Ledger().User, made);
    return made;
}

#define QUORIN_MADE(dll, fn, id, kind) \
    Patch(dll, #fn, reinterpret_cast<void*>(&TMade<decltype(&::fn), id, kind>::Call), id)
#define QUORIN_FREED(dll, fn, id, kind) \
    Patch(dll, #fn, reinterpret_cast<void*>(&TFreed<decltype(&::fn), id, kind>::Call), id)

// Puts the counting functions in place once; how many slots were found.
int InstallCounting() {
    static const int patched = [] {
        constexpr TKind G = TKind::kGdi, U = TKind::kUser;
        int n = 0;
        n += QUORIN_MADE("gdi32.dll", CreateCompatibleDC, 0, G);
        n += QUORIN_MADE("gdi32.dll", CreateDCW, 1, G);
        n += QUORIN_MADE("gdi32.dll", CreateDIBSection, 2, G);
        n += QUORIN_MADE("gdi32.dll", CreateCompatibleBitmap, 3, G);
        n += QUORIN_MADE("gdi32.dll", CreateBitmap, 4, G);
        n += QUORIN_MADE("gdi32.dll", CreateSolidBrush, 5, G);
        n += QUORIN_MADE("gdi32.dll", CreateBrushIndirect, 6, G);
        n += QUORIN_MADE("gdi32.dll", CreatePatternBrush, 7, G);
        n += QUORIN_MADE("gdi32.dll", CreateHatchBrush, 8, G);
        n += QUORIN_MADE("gdi32.dll", CreatePen, 9, G);
        n += QUORIN_MADE("gdi32.dll", CreateFontIndirectW, 10, G);
        n += QUORIN_MADE("gdi32.dll", CreateFontW, 11, G);
        n += QUORIN_MADE("gdi32.dll", CreateRectRgn, 12, G);
        n += QUORIN_MADE("gdi32.dll", CreateRectRgnIndirect, 13, G);
        n += QUORIN_MADE("gdi32.dll", CreateRoundRectRgn, 14, G);
        n += QUORIN_MADE("gdi32.dll", CreateEllipticRgn, 15, G);
        n += QUORIN_MADE("gdi32.dll", CreatePolygonRgn, 16, G);
        n += QUORIN_MADE("gdi32.dll", ExtCreateRegion, 17, G);
        n += QUORIN_MADE("gdi32.dll", CreateFontIndirectA, 18, G);
        n += QUORIN_MADE("gdi32.dll", CreateDIBitmap, 19, G);
        n += QUORIN_FREED("gdi32.dll", DeleteObject, 30, G);
        n += QUORIN_FREED("gdi32.dll", DeleteDC, 31, G);
        n += QUORIN_MADE("user32.dll", CreateIconIndirect, 40, U);
        n += QUORIN_MADE("user32.dll", CopyIcon, 41, U);
        n += QUORIN_MADE("user32.dll", CreateMenu, 42, U);
        n += QUORIN_MADE("user32.dll", CreatePopupMenu, 43, U);
        n += QUORIN_FREED("user32.dll", DestroyIcon, 50, U);
        n += QUORIN_FREED("user32.dll", DestroyMenu, 51, U);
        n += Patch("user32.dll", "CopyImage", reinterpret_cast<void*>(&CopiedImage), kCopyImage);
        n += Patch("user32.dll", "SetWindowRgn", reinterpret_cast<void*>(&HandOverRegion), kSetWindowRgn);
        return n;
    }();
    return patched;
}

// The windows of the process, children included.
int WindowCount() {
    struct TCount {
        static BOOL CALLBACK Child(HWND, LPARAM p) {
            ++*reinterpret_cast<int*>(p);
            return TRUE;
        }
        static BOOL CALLBACK Top(HWND w, LPARAM p) {
            DWORD pid = 0;
            GetWindowThreadProcessId(w, &pid);
            if (pid != GetCurrentProcessId()) return TRUE;
            ++*reinterpret_cast<int*>(p);
            EnumChildWindows(w, &Child, p);
            return TRUE;
        }
    };
    int n = 0;
    EnumWindows(&TCount::Top, reinterpret_cast<LPARAM>(&n));
    // Message-only windows (the skin manager's own) are not top-level for EnumWindows.
    for (HWND w = FindWindowExW(HWND_MESSAGE, nullptr, nullptr, nullptr); w;
         w = FindWindowExW(HWND_MESSAGE, w, nullptr, nullptr)) {
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        if (pid == GetCurrentProcessId()) ++n;
    }
    return n;
}

struct TFigures {
    long Gdi = 0, User = 0;
    double PrivateKiB = 0;
    bool Platform = false;  // the platform's own count
};

TFigures Measure() {
    PumpMessages(30);
    TFigures f;
    const DWORD gdi = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    const DWORD user = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    if (gdi && user) {
        f.Platform = true;
        f.Gdi = long(gdi);
        f.User = long(user);
    } else {
        f.Gdi = long(Ledger().Count(Ledger().Gdi));
        f.User = long(Ledger().Count(Ledger().User)) + WindowCount();
    }
    PROCESS_MEMORY_COUNTERS_EX pmc{};
    pmc.cb = sizeof pmc;
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&pmc), sizeof pmc);
    // Wine leaves PrivateUsage at 0; the committed bytes are in PagefileUsage.
    f.PrivateKiB = double(pmc.PrivateUsage ? pmc.PrivateUsage : pmc.PagefileUsage) / 1024.0;
    return f;
}

// Closes the program's message boxes once the skin has them; with Any, every box at once
// (a box where none is expected must not hold the soak up).
struct TBoxCloser {
    static inline int Closed = 0;
    static inline bool Any = false;
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        skintest::ForEachBox([](HWND w) {
            if (!Any && SendMessageW(w, CN_IsSkinned, 0, 0) != 1) return;
            PostMessageW(w, WM_COMMAND, IDOK, 0);
            ++Closed;
        });
    }
};

class HandleSoak : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_GT(InstallCounting(), 10) << "the import table has the drawing functions";
        Form = new TFormCANConfig(Application);
        Form->Show();
        Manager = SkinManage();
        ASSERT_TRUE(Manager);
        ASSERT_TRUE(skintest::WaitFor(
            [&] {
                PumpMessages(20);
                return Finished();
            },
            10000));
    }
    void TearDown() override {
        if (CommOpened) Click(Form->ButtonOpenRS232);
        delete Form;
        PumpMessages(50);
    }
    bool Finished() const {
        TWinSkinForm* f = Manager->FindSkinForm(Form->Handle());
        return f && f->FStatus == sfsSkinned;
    }
    void Click(TWinControl* button) { SendMessageW(button->Handle(), BM_CLICK, 0, 0); }

    // One round of each: the skin off and on, a message box, every page repainted, the
    // port opened and closed.
    void SkinOffAndOn() {
        Form->SkinData1->SetActive(false);
        Manager->OnTimer();
        PumpMessages(10);
        Form->SkinData1->SetActive(true);
        Manager->OnTimer();
        skintest::WaitFor(
            [&] {
                PumpMessages(5);
                return Finished();
            },
            10000);
    }
    // The program's own warning box.
    void MessageBoxRound() {
        UINT_PTR timer = SetTimer(nullptr, 0, 20, &TBoxCloser::Tick);
        ShowWarningBox("Please open the serial port first!", "Warning");
        KillTimer(nullptr, timer);
    }
    // Each page brought to the front and repainted: on the screen (`onScreen` times), and
    // by every painter on it into a memory DC (`painted` times), through the painters'
    // own paint entry. A repaint on the screen goes through the X server under Wine and
    // costs tens of milliseconds a page on a loaded machine.
    void RepaintEveryPage(int onScreen, int painted) {
        TWinSkinForm* applier = Manager->FindSkinForm(Form->Handle());
        ASSERT_TRUE(applier);
        TBitmap target(Form->Width(), Form->Height());
        TBitmapDC dc(target);
        for (TPageControl* pages : {Form->PageControlCANConfig, Form->PageControlQUORINQ1, Form->PageControlOsmerk}) {
            if (!pages) continue;
            for (int i = 0; i < pages->PageCount(); ++i) {
                TTabSheet* sheet = pages->Pages(i);
                if (!sheet->TabVisible()) continue;
                pages->SetActivePage(sheet);
                PumpMessages(5);
                for (int n = 0; n < onScreen; ++n)
                    RedrawWindow(sheet->Handle(), nullptr, nullptr,
                                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
                std::vector<TSkinControl*> on;
                for (TSkinControl* p : applier->ControlList())
                    if (p->FHandle && (p->FHandle == sheet->Handle() || IsChild(sheet->Handle(), p->FHandle) ||
                                       p->FHandle == pages->Handle()))
                        on.push_back(p);
                for (int n = 0; n < painted; ++n)
                    for (TSkinControl* p : on) p->PaintControl(dc.Handle());
                Painted += int(on.size());
                ++Pages;
            }
        }
        Form->PageControlCANConfig->SetActivePageIndex(0);
        Form->PageControlQUORINQ1->SetActivePageIndex(0);
    }
    void PortOpenAndClose() {
        TBoxCloser::Any = true;
        UINT_PTR timer = SetTimer(nullptr, 0, 50, &TBoxCloser::Tick);
        const int boxes = TBoxCloser::Closed;
        Click(Form->ButtonOpenRS232);
        EXPECT_TRUE(CommOpened);
        if (CommOpened) Click(Form->ButtonOpenRS232);
        EXPECT_FALSE(CommOpened);
        KillTimer(nullptr, timer);
        TBoxCloser::Any = false;
        EXPECT_EQ(TBoxCloser::Closed, boxes) << "the port opened without a complaint";
    }

    TFormCANConfig* Form = nullptr;
    TSkinManage* Manager = nullptr;
    int Pages = 0, Painted = 0;
};

// A long session: 100 switches, boxes and port cycles, every page 1,000 times (and on the
// screen 20 times).
constexpr int kRounds = 100, kRepaints = 1000, kOnScreen = 20;

TEST_F(HandleSoak, ObjectsAndMemoryComeBackAfterALongSession) {
    Form->ComboBoxCommIndex->SetItemIndex(Form->ComboBoxCommIndex->Items().IndexOf("COM3"));
    ASSERT_GE(Form->ComboBoxCommIndex->ItemIndex(), 0) << "the virtual converter on COM3";
    // Warm-up: caches of the skin, the painters and the platform fill once.
    for (int i = 0; i < 3; ++i) {
        SkinOffAndOn();
        MessageBoxRound();
        RepaintEveryPage(1, 3);
        PortOpenAndClose();
    }
    std::printf("[ phase    ] warmed up\n");
    std::fflush(stdout);
    const TFigures first = Measure();
    TBoxCloser::Closed = 0;
    DWORD start = GetTickCount();
    auto phase = [&](const char* what) {
        std::printf("[ phase    ] %s: %lu ms\n", what, static_cast<unsigned long>(GetTickCount() - start));
        std::fflush(stdout);
        start = GetTickCount();
    };
    for (int i = 0; i < kRounds; ++i) SkinOffAndOn();
    EXPECT_TRUE(Finished());
    phase("skin off and on");
    for (int i = 0; i < kRounds; ++i) MessageBoxRound();
    EXPECT_EQ(TBoxCloser::Closed, kRounds) << "every box was skinned and closed";
    phase("message boxes");
    Pages = Painted = 0;
    RepaintEveryPage(kOnScreen, kRepaints);
    EXPECT_GT(Pages, 5);
    EXPECT_GT(Painted, 30) << "painters on the pages";
    phase("pages repainted");
    for (int i = 0; i < kRounds; ++i) PortOpenAndClose();
    phase("port opened and closed");
    const TFigures last = Measure();

    std::printf("[ figures  ] %s: GDI objects %ld -> %ld, USER objects %ld -> %ld, private memory %.0f -> %.0f KiB\n",
                first.Platform ? "GetGuiResources" : "counted at the import table", first.Gdi, last.Gdi, first.User,
                last.User, first.PrivateKiB, last.PrivateKiB);
    RecordProperty("gdi_before", std::to_string(first.Gdi));
    RecordProperty("gdi_after", std::to_string(last.Gdi));
    RecordProperty("user_before", std::to_string(first.User));
    RecordProperty("user_after", std::to_string(last.User));
    RecordProperty("private_kib_before", std::to_string(first.PrivateKiB));
    RecordProperty("private_kib_after", std::to_string(last.PrivateKiB));
    EXPECT_LE(last.Gdi, first.Gdi + 4);
    EXPECT_LE(last.User, first.User + 2);
    EXPECT_LE(last.PrivateKiB, first.PrivateKiB + 2048.0);
}

}  // namespace
}  // namespace quorin
