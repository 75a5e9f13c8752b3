#include "ui/messages.h"

#include "state/pluginState.h"

const char* const PLUGIN_TITLE = "Vantorel";

const char* msgText(int id) {
    if (!startupInfo.GetMsg) return nullptr;
    return startupInfo.GetMsg(startupInfo.ModuleNumber, id);
}

const char* message(int id) {
    const char* text = msgText(id);
    return text ? text : "";
}

int showText(const char* text) {
    if (!startupInfo.Message) return -1;
    const char* items[2] = {PLUGIN_TITLE, text ? text : "(NULL)"};
    return startupInfo.Message(0, FMSG_WARNING | FMSG_MB_OK, "", items, 2, 0);
}

const char* okButton() {
    const uint32_t FAR_1_75 = 0x014B;
    const char* text = msgText((hostFarVersion() & 0xFFFF) >= FAR_1_75 ? MOk : MOkOlderHost);
    return text && *text ? text : "OK";
}

int showMsg(int id) {
    return showText(msgText(id));
}
