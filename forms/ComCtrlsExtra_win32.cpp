// Progress bar, up-down and date-time picker.
#include "forms/ComCtrlsExtra.h"

#include <algorithm>

namespace quorin {

// ======================= TProgressBar =======================

QUORIN_DEFINE_CLASS(TProgressBar, TWinControl) {
    p.Int("Min", &TProgressBar::Min, &TProgressBar::SetMin);
    p.Int("Max", &TProgressBar::Max, &TProgressBar::SetMax);
    p.Int("Position", &TProgressBar::Position, &TProgressBar::SetPosition);
    p.Enum<TProgressBarOrientation>("Orientation", &TProgressBar::Orientation, &TProgressBar::SetOrientation,
                                    {"pbHorizontal", "pbVertical"});
}

TProgressBar::TProgressBar(TComponent* AOwner) : TWinControl(AOwner) {
    FWidth = 150;
    FHeight = 16;
}

void TProgressBar::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    Params.BaseClass = PROGRESS_CLASSW;
    if (FOrientation == TProgressBarOrientation::pbVertical) Params.Style |= PBS_VERTICAL;
}

void TProgressBar::InitializeWnd() {
    SendMessageW(FHandle, PBM_SETRANGE32, WPARAM(FMin), LPARAM(FMax));
    SendMessageW(FHandle, PBM_SETPOS, WPARAM(FPosition), 0);
}

void TProgressBar::SetMin(int Value) {
    FMin = Value;
    if (FHandle) InitializeWnd();
}

void TProgressBar::SetMax(int Value) {
    FMax = Value;
    if (FHandle) InitializeWnd();
}

int TProgressBar::Position() const { return FHandle ? int(SendMessageW(FHandle, PBM_GETPOS, 0, 0)) : FPosition; }

void TProgressBar::SetPosition(int Value) {
    FPosition = Value;
    if (FHandle) SendMessageW(FHandle, PBM_SETPOS, WPARAM(Value), 0);
}

void TProgressBar::SetOrientation(TProgressBarOrientation Value) {
    if (Value == FOrientation) return;
    FOrientation = Value;
    RecreateWnd();
}

// ======================= TUpDown =======================

QUORIN_DEFINE_CLASS(TUpDown, TWinControl) {
    p.Int("Min", &TUpDown::Min, &TUpDown::SetMin);
    p.Int("Max", &TUpDown::Max, &TUpDown::SetMax);
    p.Int("Position", &TUpDown::Position, &TUpDown::SetPosition);
    p.Enum<TUDOrientation>("Orientation", &TUpDown::Orientation, &TUpDown::SetOrientation,
                           {"udHorizontal", "udVertical"});
}

TUpDown::TUpDown(TComponent* AOwner) : TWinControl(AOwner) {
    FWidth = 17;
    FHeight = 25;
}

void TUpDown::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    Params.BaseClass = UPDOWN_CLASSW;
    if (FOrientation == TUDOrientation::udHorizontal) Params.Style |= UDS_HORZ;
}

void TUpDown::InitializeWnd() {
    SendMessageW(FHandle, UDM_SETRANGE32, WPARAM(FMin), LPARAM(FMax));
    SendMessageW(FHandle, UDM_SETPOS32, 0, LPARAM(FPosition));
}

void TUpDown::SetMin(int Value) {
    FMin = Value;
    if (FHandle) InitializeWnd();
}

void TUpDown::SetMax(int Value) {
    FMax = Value;
    if (FHandle) InitializeWnd();
}

int TUpDown::Position() const { return FHandle ? int(SendMessageW(FHandle, UDM_GETPOS32, 0, 0)) : FPosition; }

void TUpDown::SetPosition(int Value) {
    FPosition = Value;
    if (FHandle) SendMessageW(FHandle, UDM_SETPOS32, 0, LPARAM(Value));
}

void TUpDown::SetOrientation(TUDOrientation Value) {
    if (Value == FOrientation) return;
    FOrientation = Value;
    RecreateWnd();
}

void TUpDown::WndProc(TMessage& Message) {
    TWinControl::WndProc(Message);
    // The position changes through the arrows; the parent hears of it by a scroll message.
    if ((Message.Msg == CN_VSCROLL || Message.Msg == CN_HSCROLL) && OnChanging) OnChanging(this);
}

// ======================= TDateTimePicker =======================

QUORIN_DEFINE_CLASS(TDateTimePicker, TWinControl) {
    p.Enum<TDateTimeKind>("Kind", &TDateTimePicker::Kind, &TDateTimePicker::SetKind, {"dtkDate", "dtkTime"});
    p.Enum<TDTDateMode>("DateMode", &TDateTimePicker::DateMode, &TDateTimePicker::SetDateMode,
                        {"dmComboBox", "dmUpDown"});
}

TDateTimePicker::TDateTimePicker(TComponent* AOwner) : TWinControl(AOwner) {
    FWidth = 186;
    FHeight = 21;
    FTabStop = true;
}

void TDateTimePicker::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    Params.BaseClass = DATETIMEPICK_CLASSW;
    Params.Style |= WS_TABSTOP;
    if (FKind == TDateTimeKind::dtkTime)
        Params.Style |= DTS_TIMEFORMAT;
    else if (FDateMode == TDTDateMode::dmUpDown)
        Params.Style |= DTS_UPDOWN;
}

void TDateTimePicker::InitializeWnd() {
    if (FHasDateTime) SendMessageW(FHandle, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&FDateTime));
}

void TDateTimePicker::SetKind(TDateTimeKind Value) {
    if (Value == FKind) return;
    if (FHandle) FDateTime = DateTime(), FHasDateTime = true;
    FKind = Value;
    RecreateWnd();
}

void TDateTimePicker::SetDateMode(TDTDateMode Value) {
    if (Value == FDateMode) return;
    if (FHandle) FDateTime = DateTime(), FHasDateTime = true;
    FDateMode = Value;
    RecreateWnd();
}

SYSTEMTIME TDateTimePicker::DateTime() const {
    SYSTEMTIME t = FDateTime;
    if (FHandle) SendMessageW(FHandle, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&t));
    return t;
}

void TDateTimePicker::SetDateTime(const SYSTEMTIME& Value) {
    FDateTime = Value;
    FHasDateTime = true;
    if (FHandle) InitializeWnd();
}

void TDateTimePicker::WndProc(TMessage& Message) {
    if (Message.Msg == CN_NOTIFY) {
        const auto* hdr = reinterpret_cast<const NMHDR*>(Message.LParam);
        if (hdr && hdr->code == DTN_DATETIMECHANGE && OnChange) OnChange(this);
    }
    TWinControl::WndProc(Message);
}

}  // namespace quorin
