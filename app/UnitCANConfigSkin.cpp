// The Window menu's Skin submenu: the built-in skin, skin files, no skin.
#include "app/UnitCANConfig.h"

namespace quorin {

void TFormCANConfig::InitSkins() {}
void TFormCANConfig::BuildSkinMenu() {}

} // namespace quorin
