// Services a typical panel plugin needs beyond boxes and panels: menus,
// input boxes, the basic AdvControl commands, folder listings, name masks.
#include "services/services.h"

#include "common/hostText.h"
#include "interface/farApi.h"
#include "services/wildcards.h"

#include <string.h>

namespace farhost {

namespace {

int WINAPI menu(int pluginNumber, int x, int y, int maxHeight, DWORD flags, const char* title, const char* bottom,
                const char* helpTopic, const int* breakKeys, int* breakCode, const FarMenuItem* items,
                int itemsNumber) {
    Host* host = Host::current();
    if (!host) return -1;
    if (breakCode) *breakCode = -1;
    MenuCall call;
    call.pluginNumber = pluginNumber;
    call.title = boundedText(title, kMaxPluginText);
    call.bottom = boundedText(bottom, kMaxPluginText);
    call.helpTopic = boundedText(helpTopic, kMaxPluginText);
    if (!items && itemsNumber > 0) {
        ServiceAccess::problem(*host, "Menu: null item array with " + std::to_string(itemsNumber) + " items");
        itemsNumber = 0;
    }
    call.selected = -1;
    for (int i = 0; i < itemsNumber; ++i) {
        bool terminated = true;
        std::string text = boundedText(items[i].Text, sizeof items[i].Text, &terminated);
        if (!terminated) ServiceAccess::problem(*host, "Menu: item " + std::to_string(i) + " Text is not terminated");
        call.items.push_back(items[i].Separator ? std::string("-") : text);
        if (items[i].Selected && call.selected < 0) call.selected = i;
    }
    if (call.selected < 0) call.selected = 0;
    int answer;
    if (ServiceAccess::nextMenuAnswer(*host, answer)) call.answer = answer;
    else if (host->askMenu) call.answer = host->askMenu(call);
    else call.answer = itemsNumber > 0 ? call.selected : -1;
    if (call.answer >= itemsNumber || (call.answer >= 0 && items[call.answer].Separator)) {
        ServiceAccess::problem(*host, "Menu script: no item " + std::to_string(call.answer) + " to choose");
        call.answer = -1;
    }
    std::string line = "Menu: \"" + call.title + "\"";
    for (const std::string& item : call.items) line += " [" + item + "]";
    host->menus.push_back(call);
    ServiceAccess::transcribe(*host, line + " -> " + std::to_string(call.answer));
    return call.answer;
}

int WINAPI inputBox(const char* title, const char* subTitle, const char* historyName, const char* srcText,
                    char* destText, int destLength, const char* helpTopic, DWORD flags) {
    Host* host = Host::current();
    if (!host) return FALSE;
    DialogCall call;
    call.helpTopic = boundedText(helpTopic, kMaxPluginText);
    FarDialogItem edit;
    memset(&edit, 0, sizeof edit);
    edit.Type = DI_EDIT;
    copyBounded(edit.Data, sizeof edit.Data, boundedText(srcText, kMaxPluginText));
    FarDialogItem frame = edit;
    frame.Type = DI_DOUBLEBOX;
    copyBounded(frame.Data, sizeof frame.Data, boundedText(title, kMaxPluginText));
    FarDialogItem prompt = edit;
    prompt.Type = DI_TEXT;
    copyBounded(prompt.Data, sizeof prompt.Data, boundedText(subTitle, kMaxPluginText));
    call.before = {frame, prompt, edit};
    call.masks.assign(3, std::string());
    // Scripts and people answer an input box as a dialog: item 2 is the edit line.
    DialogScript script;
    if (!ServiceAccess::nextDialogScript(*host, script) && host->askDialog) host->askDialog(call, script);
    std::string text = script.edits.count(2) ? script.edits[2] : std::string(edit.Data);
    bool accepted = script.result >= 0;
    if (accepted && destText && destLength > 0) copyBounded(destText, static_cast<size_t>(destLength), text);
    copyBounded(call.before[2].Data, sizeof call.before[2].Data, text);
    call.after = call.before;
    call.result = accepted ? 1 : -1;
    host->dialogs.push_back(call);
    ServiceAccess::transcribe(*host, "InputBox: \"" + boundedText(title, kMaxPluginText) + "\" \"" +
                                     boundedText(subTitle, kMaxPluginText) + "\" -> " +
                                     (accepted ? "\"" + text + "\"" : std::string("Esc")));
    return accepted ? TRUE : FALSE;
}

int WINAPI advControl(int moduleNumber, int command, void* param) {
    Host* host = Host::current();
    if (!host) return 0;
    int result = 0;
    std::string name;
    switch (command) {
    case ACTL_GETFARVERSION:
        name = "ACTL_GETFARVERSION";
        result = static_cast<int>(host->farVersion());
        if (param) *static_cast<DWORD*>(param) = static_cast<DWORD>(result);
        break;
    case ACTL_GETSYSWORDDIV: {
        name = "ACTL_GETSYSWORDDIV";
        static const char kWordDiv[] = "~!%^&*()+|{}:\"<>?`-=\\[];',./";
        if (param) copyBounded(static_cast<char*>(param), 80, kWordDiv);
        result = static_cast<int>(sizeof kWordDiv - 1);
        break;
    }
    case ACTL_WAITKEY:
        name = "ACTL_WAITKEY";   // no one to wait for: as if a key came at once
        result = 1;
        break;
    case ACTL_GETCOLOR:
        name = "ACTL_GETCOLOR";
        result = 0x1B;   // light cyan on blue, the panels' colour
        break;
    case ACTL_GETWINDOWCOUNT:
        name = "ACTL_GETWINDOWCOUNT";
        result = 1;   // the panels
        break;
    case ACTL_COMMIT:
        name = "ACTL_COMMIT";
        result = 1;
        break;
    case ACTL_GETFARHWND:
        name = "ACTL_GETFARHWND";
        result = static_cast<int>(reinterpret_cast<intptr_t>(GetConsoleWindow()));
        break;
    case ACTL_GETSYSTEMSETTINGS:
    case ACTL_GETPANELSETTINGS:
    case ACTL_GETINTERFACESETTINGS:
    case ACTL_GETCONFIRMATIONS:
    case ACTL_GETDESCSETTINGS:
        name = "ACTL_GET*SETTINGS " + std::to_string(command);
        result = 0;   // every option off
        break;
    default:
        host->notEmulated("AdvControl(" + std::to_string(command) + ")");
        return 0;
    }
    ServiceAccess::transcribe(*host, "AdvControl(" + name + ") -> " + std::to_string(result));
    return result;
}

// A listing handed to the plugin: the count lives in front of the items, so
// that FreeDirList, which gets the array alone, can give back every text.
struct DirListHeader {
    int count;
    int magic;
};
constexpr int kDirListMagic = 0x4C524944;

void listFolder(const std::string& root, const std::string& rel, std::vector<PluginPanelItem>& items, int depth) {
    if (depth > 32) return;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((root + rel + "*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return;
    std::vector<std::string> folders;
    do {
        std::string name = boundedText(data.cFileName, sizeof data.cFileName);
        if (name == "." || name == "..") continue;
        PluginPanelItem item;
        memset(&item, 0, sizeof item);
        memcpy(&item.FindData, &data, sizeof item.FindData);
        copyBounded(item.FindData.cFileName, sizeof item.FindData.cFileName, rel + name);
        items.push_back(item);
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) folders.push_back(rel + name + "\\");
    } while (FindNextFileA(find, &data));
    FindClose(find);
    for (const std::string& f : folders) listFolder(root, f, items, depth + 1);
}

// Every file and folder below dir, names relative to dir.
int WINAPI getDirList(const char* dir, PluginPanelItem** items, int* count) {
    Host* host = Host::current();
    if (!items || !count) return FALSE;
    *items = nullptr;
    *count = 0;
    std::string root = boundedText(dir, MAX_PATH);
    if (root.empty() || GetFileAttributesA(root.c_str()) == INVALID_FILE_ATTRIBUTES) {
        if (host) ServiceAccess::transcribe(*host, "GetDirList(\"" + root + "\") -> FALSE");
        return FALSE;
    }
    if (root.back() != '\\') root += '\\';
    std::vector<PluginPanelItem> found;
    listFolder(root, "", found, 0);
    size_t bytes = sizeof(DirListHeader) + found.size() * sizeof(PluginPanelItem);
    auto* block = static_cast<char*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, bytes));
    if (!block) return FALSE;
    auto* header = reinterpret_cast<DirListHeader*>(block);
    header->count = static_cast<int>(found.size());
    header->magic = kDirListMagic;
    auto* list = reinterpret_cast<PluginPanelItem*>(block + sizeof(DirListHeader));
    if (!found.empty()) memcpy(list, found.data(), found.size() * sizeof(PluginPanelItem));
    *items = list;
    *count = header->count;
    if (host)
        ServiceAccess::transcribe(*host, "GetDirList(\"" + root + "\") -> " + std::to_string(header->count) + " items");
    return TRUE;
}

void WINAPI freeDirList(const PluginPanelItem* items) {
    if (!items) return;
    auto* header = reinterpret_cast<DirListHeader*>(const_cast<char*>(reinterpret_cast<const char*>(items)) -
                                                    sizeof(DirListHeader));
    Host* host = Host::current();
    if (header->magic != kDirListMagic) {
        if (host) ServiceAccess::problem(*host, "FreeDirList: not an array GetDirList gave (or freed twice)");
        return;
    }
    header->magic = 0;
    HeapFree(GetProcessHeap(), 0, header);
}

int WINAPI cmpName(const char* pattern, const char* string, int skipPath) {
    std::string name = boundedText(string, MAX_PATH);
    if (skipPath) name = namePart(name);
    return matchesMask(boundedText(pattern, MAX_PATH), name) ? TRUE : FALSE;
}

}  // namespace

void fillExtraServices(PluginStartupInfo& info) {
    info.Menu = reinterpret_cast<void*>(static_cast<FarMenuFunction>(&menu));
    info.InputBox = reinterpret_cast<void*>(&inputBox);
    info.AdvControl = reinterpret_cast<void*>(&advControl);
    info.GetDirList = reinterpret_cast<void*>(static_cast<FarGetDirListFunction>(&getDirList));
    info.FreeDirList = reinterpret_cast<void*>(static_cast<FarFreeDirListFunction>(&freeDirList));
    info.CmpName = reinterpret_cast<void*>(&cmpName);
}

}  // namespace farhost
