#include "skin/apply/Skinclasses.h"

#include "skin/apply/Skincaption.h"
#include "skin/resources/Winskindata.h"

namespace quorin {

// Naming the classes here also keeps their units in the program: a static library's
// self-registering class would otherwise be left out when nothing else refers to it.
void RegisterSkinClasses() { RegisterClasses<TSkinData, TSkinCaption>(); }

} // namespace quorin
