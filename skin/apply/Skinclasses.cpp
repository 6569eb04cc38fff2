#include "skin/apply/Skinclasses.h"

#include "skin/apply/Skincaption.h"
#include "skin/apply/Winskindlg.h"
#include "skin/resources/Winskindata.h"

namespace quorin {

// Naming the classes here also keeps their units in the program: a static library's
// self-registering class would otherwise be left out when nothing else refers to it.
// The skin data components of the layout then create the window-side skin manager.
void RegisterSkinClasses() {
    RegisterClasses<TSkinData, TSkinCaption>();
    RegisterSkinManager();
}

}  // namespace quorin
