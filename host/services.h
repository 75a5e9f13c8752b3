// The services the host lends to plugins: stdcall functions whose addresses
// go into each plugin's PluginStartupInfo. They reach the host through
// Host::current().
#pragma once

#include "farHost.h"

namespace farhost {

struct Services {
    static const char* WINAPI getMsg(int pluginNumber, int msgId);
    static int WINAPI message(int pluginNumber, DWORD flags, const char* helpTopic,
                              const char* const* items, int itemsNumber, int buttonsNumber);
    static int WINAPI dialog(int pluginNumber, int x1, int y1, int x2, int y2, const char* helpTopic,
                             FarDialogItem* items, int itemsNumber);
    static int WINAPI control(HANDLE hPlugin, int command, void* param);
    static HANDLE WINAPI saveScreen(int x1, int y1, int x2, int y2);
    static void WINAPI restoreScreen(HANDLE screen);
    static BOOL WINAPI showHelp(const char* moduleName, const char* topic, DWORD flags);
    static DWORD WINAPI expandEnvironmentStr(const char* src, char* dst, size_t size);
    static char* WINAPI trim(char* text);

    static void fillStandardFunctions(FarStandardFunctions& fsf);
    // Service pointers of one plugin's startup info; other slots stay null.
    static void fillStartupInfo(PluginStartupInfo& info, FarStandardFunctions* fsf);
};

}  // namespace farhost
