// The keys the host keeps for itself whatever panel is active: the plugins
// menu (F11) and the disk menus (Alt+F1, Alt+F2). Each builds its menu the
// way the host does, asking every loaded plugin (see Host::pluginsMenu).
#pragma once

#include "core/host.h"

namespace farhost {

// True when the key is one of the host's menu keys (the menu was shown and
// left with Esc).
bool hostMenuKey(Host& host, int vk, unsigned controlState);

}  // namespace farhost
