// A shown form, a skin built in memory with one plain colour per frame, and a skin
// applier, for the painter tests: each test attaches painters by hand and composes them
// into bitmaps whose pixels tell which frame was drawn.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "forms/Forms.h"
#include "skin/apply/Winskinform.h"
#include "skin/apply/Winsubclass.h"
#include "skin/resources/Gdi_win32.h"
#include "skin/resources/Winskindata.h"

namespace quorin {

constexpr TColor kFace = 0x404040;  // the skin's ButtonFace
constexpr TColor kFill = 0x123456;  // what a bitmap holds before a painter draws
// One colour per frame: frame n is kFrame[n - 1].
inline const std::vector<TColor> kFrame = {0x0000C0, 0x00C000, 0xC00000, 0x00C0C0, 0xC000C0, 0xC0C000,
                                           0x000080, 0x008000, 0x800000, 0x008080, 0x800080, 0x808000};

inline void Pump() {
    MSG msg;
    for (int i = 0; i < 5; ++i) {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(2);
    }
}

// A strip of `count` frames of fw x fh, frame n in kFrame[n - 1].
inline TBitmap Strip(int count, int fw, int fh) {
    TBitmap b(fw * count, fh);
    for (int i = 0; i < count; ++i) b.FillRect(TRect{i * fw, 0, (i + 1) * fw, fh}, kFrame[size_t(i) % kFrame.size()]);
    return b;
}

class PainterTest : public ::testing::Test {
protected:
    // Showing a window under Wine takes a while: the tests share one form.
    static void SetUpTestSuite() {
        Application->Initialize();
        SharedForm = new TForm(nullptr);
        SharedForm->SetBounds(80, 80, 420, 320);
        SharedForm->SetColor(0x0000FF);
        SharedForm->Show();
    }
    static void TearDownTestSuite() {
        delete SharedForm;
        SharedForm = nullptr;
    }

    void SetUp() override {
        Form = SharedForm;
        SkinForm = std::make_unique<TWinSkinForm>(nullptr);
        Skin = std::make_unique<TSkinData>(nullptr);
        Skin->Colors.ButtonFace = kFace;
        Skin->Colors.ButtonShadow = 0x202020;
        Skin->SkinControls = TSkinControls::FromBits(0xFFFFFFFF);
        Skin->Buttons = std::make_unique<TDataSkinButton>("Buttons");
        Skin->Buttons->Map = Strip(5, 20, 20);
        Skin->Buttons->Frame = 5;
        Skin->Buttons->CheckMap = Strip(12, 13, 13);
        Skin->Buttons->CheckFrame = 12;
        Skin->Buttons->RadioMap = Strip(4, 13, 13);
        Skin->Buttons->RadioFrame = 4;
        Pump();
    }
    void TearDown() override {
        SkinForm.reset();
        for (auto it = Made.rbegin(); it != Made.rend(); ++it) delete *it;
        Made.clear();
        Skin.reset();
        Pump();
    }

    template <class T>
    T* Add(int left, int top, int width, int height, const std::string& caption = {}) {
        auto* c = new T(Form);
        c->SetParent(Form);
        Made.push_back(c);
        c->SetBounds(left, top, width, height);
        if (!caption.empty()) c->SetCaption(caption);
        if (auto* w = dynamic_cast<TWinControl*>(static_cast<TControl*>(c))) w->HandleNeeded();
        return c;
    }

    template <class P>
    P* Attach(TControl* control) {
        auto* p = new P(control);
        p->Init(SkinForm.get(), Skin.get(), false, SkinForm->FCanvas.get());
        return p;
    }

    // The painter's picture of the whole control, on a bitmap first filled with kFill.
    static TBitmap Compose(TSkinControl* p, int width, int height) {
        TBitmap out(width, height);
        out.Fill(kFill);
        {
            TBitmapDC dc(out);
            p->DrawControl(dc.Handle(), RECT{0, 0, width, height});
        }
        return out;
    }

    inline static TForm* SharedForm = nullptr;
    TForm* Form = nullptr;
    std::vector<TControl*> Made;
    std::unique_ptr<TWinSkinForm> SkinForm;
    std::unique_ptr<TSkinData> Skin;
};

}  // namespace quorin
