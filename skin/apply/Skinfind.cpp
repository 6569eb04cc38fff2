// The framework control behind a window, kept apart from the skin data unit: the
// framework's headers and the skin's pixel headers each define the colour helpers.
#include <windows.h>

#include "forms/Controls.h"
#include "skin/apply/Skinclasses.h"

namespace quorin {

TWinControl* FindControlx(void* window) { return window ? FindControl(static_cast<HWND>(window)) : nullptr; }

}  // namespace quorin
