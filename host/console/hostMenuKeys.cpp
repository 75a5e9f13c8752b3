#include "console/hostMenuKeys.h"

namespace farhost {

bool hostMenuKey(Host& host, int vk, unsigned controlState) {
    if (vk == VK_F11 && controlState == 0) {
        host.idle();
        host.pluginsMenu();
        return true;
    }
    if ((vk == VK_F1 || vk == VK_F2) && controlState == PKF_ALT) {
        host.idle();
        host.diskMenu();
        return true;
    }
    return false;
}

}  // namespace farhost
