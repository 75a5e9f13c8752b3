// The services the host lends to plugins: stdcall functions whose addresses
// go into each plugin's PluginStartupInfo. They reach the host through
// Host::current().
#pragma once

#include "core/host.h"

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

    static void fillStandardFunctions(FarStandardFunctions& fsf);   // standardFunctions.cpp
    // Service pointers of one plugin's startup info; other slots stay null.
    static void fillStartupInfo(PluginStartupInfo& info, FarStandardFunctions* fsf);
};

// What the services of other files may reach inside the host.
struct ServiceAccess {
    static void transcribe(Host& host, const std::string& text) { host.transcribe(text); }
    static void problem(Host& host, const std::string& text) { host.problem(text); }
    static bool nextMenuAnswer(Host& host, int& answer) {
        if (host.menuAnswers_.empty()) return false;
        answer = host.menuAnswers_.front();
        host.menuAnswers_.pop_front();
        return true;
    }
    static bool nextDialogScript(Host& host, DialogScript& script) {
        if (host.dialogScripts_.empty()) return false;
        script = host.dialogScripts_.front();
        host.dialogScripts_.pop_front();
        return true;
    }
    static Panel* panel(Host& host, HANDLE handle) { return host.findPanel(handle); }
};

// The other services, each file filling its own slots of the startup info:
// Menu, InputBox, AdvControl, GetDirList, FreeDirList, CmpName (extraServices.cpp);
// stubs that note the call and fail as the host would (notEmulated.cpp),
// among them the standard functions about keys, code tables and owners.
void fillExtraServices(PluginStartupInfo& info);
void fillNotEmulatedServices(PluginStartupInfo& info);
void fillNotEmulatedStandardFunctions(FarStandardFunctions& fsf);

}  // namespace farhost
