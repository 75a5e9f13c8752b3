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
    const char* items[3] = {PLUGIN_TITLE, text ? text : "(NULL)", "OK"};
    return startupInfo.Message(0, FMSG_WARNING, "", items, 3, 1);
}

int showMsg(int id) {
    return showText(msgText(id));
}
