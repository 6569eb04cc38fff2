// Makes the skin engine's components known to the layout loader by class name, so a
// stored layout can hold them. Called once at start-up, before the first form is loaded.
#pragma once

namespace quorin {

void RegisterSkinClasses();

} // namespace quorin
