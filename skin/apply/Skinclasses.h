// Makes the skin engine's components known to the layout loader by class name, so a
// stored layout can hold them (called once at start-up, before the first form is loaded),
// and finds the framework control behind a window for the painters.
#pragma once

namespace quorin {

class TWinControl;

void RegisterSkinClasses();

// The framework control attached to a window, or null for a window the framework did
// not create (a message box, a control of the platform's own dialogs).
TWinControl* FindControlx(void* window);

}  // namespace quorin
