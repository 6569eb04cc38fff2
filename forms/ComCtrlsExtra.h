// More common controls, each a thin wrapper: progress bar ("msctls_progress32"), up-down
// ("msctls_updown32") and date-time picker ("SysDateTimePick32"). Windows only.
#pragma once

#include "forms/Controls.h"

#include <commctrl.h>

namespace quorin {

enum class TProgressBarOrientation { pbHorizontal, pbVertical };

class TProgressBar : public TWinControl {
    QUORIN_CLASS(TProgressBar, TWinControl)
public:
    explicit TProgressBar(TComponent* AOwner);
    int Min() const { return FMin; }
    void SetMin(int Value);
    int Max() const { return FMax; }
    void SetMax(int Value);
    int Position() const;
    void SetPosition(int Value);
    TProgressBarOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TProgressBarOrientation Value);

protected:
    void CreateParams(TCreateParams& Params) override;
    void InitializeWnd() override;
    int FMin = 0, FMax = 100, FPosition = 0;
    TProgressBarOrientation FOrientation = TProgressBarOrientation::pbHorizontal;
};

enum class TUDOrientation { udHorizontal, udVertical };

class TUpDown : public TWinControl {
    QUORIN_CLASS(TUpDown, TWinControl)
public:
    explicit TUpDown(TComponent* AOwner);
    int Min() const { return FMin; }
    void SetMin(int Value);
    int Max() const { return FMax; }
    void SetMax(int Value);
    int Position() const;
    void SetPosition(int Value);
    TUDOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TUDOrientation Value);
    TNotifyEvent OnChanging;

protected:
    void CreateParams(TCreateParams& Params) override;
    void InitializeWnd() override;
    void WndProc(TMessage& Message) override;
    int FMin = 0, FMax = 100, FPosition = 0;
    TUDOrientation FOrientation = TUDOrientation::udVertical;
};

enum class TDateTimeKind { dtkDate, dtkTime };
enum class TDTDateMode { dmComboBox, dmUpDown };

class TDateTimePicker : public TWinControl {
    QUORIN_CLASS(TDateTimePicker, TWinControl)
public:
    explicit TDateTimePicker(TComponent* AOwner);
    TDateTimeKind Kind() const { return FKind; }
    void SetKind(TDateTimeKind Value);
    TDTDateMode DateMode() const { return FDateMode; }
    void SetDateMode(TDTDateMode Value);
    // The shown date and time.
    SYSTEMTIME DateTime() const;
    void SetDateTime(const SYSTEMTIME& Value);
    TNotifyEvent OnChange;

protected:
    void CreateParams(TCreateParams& Params) override;
    void InitializeWnd() override;
    void WndProc(TMessage& Message) override;
    TDateTimeKind FKind = TDateTimeKind::dtkDate;
    TDTDateMode FDateMode = TDTDateMode::dmComboBox;
    SYSTEMTIME FDateTime{};
    bool FHasDateTime = false;
};

}  // namespace quorin
