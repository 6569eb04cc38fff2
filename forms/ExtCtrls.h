// Panels and timers. Windows only.
#pragma once

#include "forms/Controls.h"

namespace quorin {

enum class TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };

// A container that paints its bevels and its caption.
class TPanel : public TWinControl {
    QUORIN_CLASS(TPanel, TWinControl)
public:
    explicit TPanel(TComponent* AOwner);
    TBevelCut BevelInner() const { return FBevelInner; }
    void SetBevelInner(TBevelCut Value);
    TBevelCut BevelOuter() const { return FBevelOuter; }
    void SetBevelOuter(TBevelCut Value);
    int BevelWidth() const { return FBevelWidth; }
    void SetBevelWidth(int Value);
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int Value);
    TBorderStyleCtl BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyleCtl Value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);
    bool FullRepaint() const { return FFullRepaint; }
    void SetFullRepaint(bool Value) { FFullRepaint = Value; }

protected:
    void CreateParams(TCreateParams& Params) override;
    void PaintWindow(HDC DC) override;
    bool EraseBackground(HDC DC) override;
    void TextChanged() override;

    TBevelCut FBevelInner = TBevelCut::bvNone;
    TBevelCut FBevelOuter = TBevelCut::bvRaised;
    int FBevelWidth = 1;
    int FBorderWidth = 0;
    TBorderStyleCtl FBorderStyle = TBorderStyleCtl::bsNone;
    TAlignment FAlignment = TAlignment::taCenter;
    bool FTransparent = false;
    bool FFullRepaint = true;
};

// Raises OnTimer every Interval milliseconds while Enabled (and OnTimer is assigned).
class TTimer : public TComponent {
    QUORIN_CLASS(TTimer, TComponent)
public:
    explicit TTimer(TComponent* AOwner);
    ~TTimer() override;
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    uint32_t Interval() const { return FInterval; }
    void SetInterval(uint32_t Value);
    TNotifyEvent OnTimer;
    // Raises OnTimer now (what the system timer does).
    void Timer();

protected:
    void Loaded() override;

private:
    void UpdateTimer();
    static void CALLBACK TimerProc(HWND, UINT, UINT_PTR Id, DWORD);
    bool FEnabled = true;
    uint32_t FInterval = 1000;
    TTimerHandle FTimer;
};

}  // namespace quorin
