// F3 on a plugin: what the file tells about it and whether the FAR it runs
// in can use it, and if not why, read without loading it. The user's commonest question
// about a plugin is why it does not show up.
#include "commands/pluginCommands.h"

#include "guard/guardedCall.h"
#include "dll/pluginFitness.h"
#include "describe/versionText.h"
#include "runtime/handles.h"
#include "runtime/text.h"
#include "state/pluginFolder.h"
#include "state/pluginState.h"
#include "ui/dateText.h"
#include "ui/fitnessReason.h"
#include "farRecords/cacheSlot.h"
#include "farRecords/recordTable.h"
#include "farRecords/unloadedPlugins.h"
#include "ui/messages.h"

#include <stdio.h>
#include <string.h>

namespace {

// Lines are kept within what FAR's box shows on an 80-column screen (the
// screen width less 15): a longer text goes on in the next line, indented,
// so that nothing of it is lost.
const size_t LINE_CHARS = 64;
const size_t INDENT = 3;
const int MAX_LINES = 24;
const DWORD SUBKEY_NAME_CHARS = 100;

// Where the next piece of a text is cut: after the last blank or backslash
// that lets the piece fit, or at the width when there is none.
size_t pieceLength(const char* text, size_t width) {
    size_t length = strlen(text);
    if (length <= width) return length;
    for (size_t cut = width; cut > width / 2; --cut)
        if (text[cut - 1] == ' ' || text[cut - 1] == '\\') return cut;
    return width;
}

struct Box {
    char lines[MAX_LINES][LINE_CHARS + 1];
    const char* items[MAX_LINES + 1];
    int count = 0;

    char* next() {
        if (count == MAX_LINES) return nullptr;
        char* line = lines[count++];
        line[0] = 0;
        return line;
    }
    void add(const char* text) {
        if (!text) text = "";
        size_t indent = 0;
        do {
            char* line = next();
            if (!line) return;
            memset(line, ' ', indent);
            size_t piece = pieceLength(text, LINE_CHARS - indent);
            copyTextN(line + indent, LINE_CHARS + 1 - indent, text, piece);
            text += piece;
            indent = INDENT;
        } while (*text);
    }
    void add(const char* label, const char* value) {
        char text[2 * MAX_PATH];
        snprintf(text, sizeof text, "%s: %s", label, value);
        add(text);
    }
};

// The FAR the plugin runs in, as its texts name it ("1.70", "1.75").
struct HostName {
    char text[16];
    uint32_t version;
};

HostName hostName() {
    HostName name;
    name.version = hostFarVersion();
    hostFarName(name.text, sizeof name.text);
    return name;
}

// A message whose text names the FAR version (%s).
void addWithHost(Box* box, int id, const HostName& host) {
    char text[2 * LINE_CHARS];
    snprintf(text, sizeof text, message(id), host.text);
    box->add(text);
}

// FAR calls ProcessDialogEvent from 1.71 build 2307 on.
bool hostCallsDialogEvent(uint32_t version) {
    unsigned major = (version >> 8) & 0xFF, minor = version & 0xFF, build = version >> 16;
    if (!major) return false;
    return major > 1 || minor > 71 || (minor == 71 && build >= 2307);
}

// Names after a label, as many lines as they need.
void addNameList(Box* box, const char* label, const char* const* names, int count) {
    char text[1024];
    snprintf(text, sizeof text, "%s:", label);
    if (!count) {
        appendText(text, sizeof text, " ");
        appendText(text, sizeof text, message(MInfoNone));
    }
    for (int i = 0; i < count; ++i) {
        char word[80];
        snprintf(word, sizeof word, " %s%s", names[i], i + 1 < count ? "," : "");
        appendText(text, sizeof text, word);
    }
    box->add(text);
}

void addFileFacts(Box* box, const CatalogueRecord* record) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(record->dllPath, GetFileExInfoStandard, &data)) return;
    char line[2 * LINE_CHARS];
    char date[32];
    fileDateText(date, sizeof date, data.ftLastWriteTime);
    char size[16];
    snprintf(size, sizeof size, "%lu", static_cast<unsigned long>(data.nFileSizeLow));
    insertThousands(size, sizeof size);
    snprintf(line, sizeof line, "%s: %s %s   %s: %s", msgText(MInfoFileSize), size, msgText(MInstallBytes),
             msgText(MInfoDate), date);
    box->add(line);
    char version[VERSION_CHARS + 1];
    copyTextN(version, sizeof version, record->version, boundedLength(record->version, VERSION_CHARS));
    if (version[0]) box->add(msgText(MColumnVersion), version);
}

struct MinVersionCall {
    PFN_GetMinFarVersion fn;
    int answer;
};

void callMinVersion(void* context) {
    MinVersionCall* call = static_cast<MinVersionCall*>(context);
    call->answer = call->fn();
}

// Loaded: the host has the DLL under this very path now.
void addLoadState(Box* box, HMODULE module) {
    box->add(msgText(module ? MInfoLoaded : MInfoNotLoaded));
    if (!module) return;
    auto minVersion = reinterpret_cast<PFN_GetMinFarVersion>(GetProcAddress(module, "GetMinFarVersion"));
    if (!minVersion) return;
    MinVersionCall call = {minVersion, 0};
    if (guardedCall(callMinVersion, &call)) return;
    unsigned answer = static_cast<unsigned>(call.answer);
    char line[2 * LINE_CHARS];
    // The host's version number: major in the second byte, minor in the
    // first, the build above them.
    int n = snprintf(line, sizeof line, "%s %u.%u", msgText(MInfoMinVersion), (answer >> 8) & 0xFF, answer & 0xFF);
    if (answer >> 16 && n > 0 && static_cast<size_t>(n) < sizeof line)
        snprintf(line + n, sizeof line - n, " build %u", answer >> 16);
    box->add(line);
}

// The host's own record of the plugin from its last start: the subkey of its
// plugin cache whose Name is the DLL's path.
// FAR's ID of a plugin file, as FAR writes it into its cache: size, creation
// and write time (their low words) in hex.
void hostCacheId(const char* dllPath, char* id, size_t cap) {
    id[0] = 0;
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA(dllPath, &found);
    if (find == INVALID_HANDLE_VALUE) return;
    FindClose(find);
    snprintf(id, cap, "%lx%lx%lx", static_cast<unsigned long>(found.nFileSizeLow),
             static_cast<unsigned long>(found.ftCreationTime.dwLowDateTime),
             static_cast<unsigned long>(found.ftLastWriteTime.dwLowDateTime));
}

void addHostCacheEntry(Box* box, const char* dllPath) {
    RegistryKey cache;
    char entry[SUBKEY_NAME_CHARS] = "";
    char id[48] = "";
    bool found = false;
    char cacheKey[MAX_PATH + 32];
    if (hostCacheKeyName(cacheKey, sizeof cacheKey) &&
        RegOpenKeyExA(HKEY_CURRENT_USER, cacheKey, 0, KEY_READ, cache.out()) == ERROR_SUCCESS) {
        for (DWORD index = 0; !found; ++index) {
            DWORD length = SUBKEY_NAME_CHARS;
            if (RegEnumKeyExA(cache.get(), index, entry, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
                break;
            RegistryKey plugin;
            if (RegOpenKeyExA(cache.get(), entry, 0, KEY_READ, plugin.out()) != ERROR_SUCCESS) continue;
            char name[MAX_PATH + 1];
            DWORD size = MAX_PATH;
            DWORD type = 0;
            if (RegQueryValueExA(plugin.get(), "Name", nullptr, &type, reinterpret_cast<BYTE*>(name), &size) !=
                    ERROR_SUCCESS || type != REG_SZ)
                continue;
            name[size < MAX_PATH ? size : MAX_PATH] = 0;
            if (lstrcmpiA(name, dllPath) != 0) continue;
            found = true;
            size = sizeof id - 1;
            if (RegQueryValueExA(plugin.get(), "ID", nullptr, &type, reinterpret_cast<BYTE*>(id), &size) !=
                    ERROR_SUCCESS || type != REG_SZ)
                size = 0;
            id[size] = 0;
        }
    }
    if (!found) {
        box->add(msgText(MInfoNoCacheEntry));
        return;
    }
    // The entry's ID tells whether FAR read this very file or an older one;
    // FAR compares them at start.
    char current[48];
    hostCacheId(dllPath, current, sizeof current);
    bool same = id[0] && !lstrcmpiA(id, current);
    box->add(msgText(MInfoCacheEntry), msgText(same ? MInfoCacheThisFile : MInfoCacheOlderFile));
}

void addEntryPoints(Box* box, const PluginImageFacts& facts, const HostName& host) {
    const char* names[FAR_ENTRY_POINT_COUNT];
    int count = 0;
    for (int i = 0; i < FAR_ENTRY_POINT_COUNT; ++i)
        if (facts.entryPoints & entryPointBit(i)) names[count++] = FAR_ENTRY_POINTS[i];
    char label[2 * LINE_CHARS];
    snprintf(label, sizeof label, message(MInfoEntryPoints), host.text);
    addNameList(box, label, names, count);
    if ((facts.entryPoints & entryPointBit(EP_PROCESS_DIALOG_EVENT)) && !hostCallsDialogEvent(host.version))
        addWithHost(box, MInfoDialogEvent, host);
}

// Why the FAR it runs in cannot use the DLL.
void addUnfitReason(Box* box, const PluginFitness& fitness) {
    char reason[2 * MAX_PATH];
    fitnessReasonText(fitness, reason, sizeof reason);
    if (reason[0]) box->add(reason);
}

void addVerdict(Box* box, const PluginFitness& fitness, const HostName& host) {
    if (fitness.reason == PLUGIN_FIT) {
        addWithHost(box, MInfoFit, host);
        return;
    }
    if (fitness.reason == PLUGIN_FIT_NO_STARTUP) {
        addWithHost(box, MInfoFitBut, host);
        box->add(msgText(MNoStartup));
        return;
    }
    addWithHost(box, MInfoUnfit, host);
    addUnfitReason(box, fitness);
}

// The box title names the plugin: its folder's name, as the list shows it.
void addPluginTitle(Box* box, const CatalogueRecord* record) {
    char folder[MAX_PATH];
    copyTextN(folder, sizeof folder, record->item.FindData.cFileName,
              boundedLength(record->item.FindData.cFileName, MAX_PATH));
    const char* slash = strrchr(folder, '\\');
    const char* name = slash && slash[1] ? slash + 1 : folder;
    if (!*name) name = PLUGIN_TITLE;
    box->add(PLUGIN_TITLE, name);
}

void showBox(Box* box, DWORD flags) {
    for (int i = 0; i < box->count; ++i) box->items[i] = box->lines[i];
    startupInfo.Message(startupInfo.ModuleNumber, flags, "", box->items, box->count, 0);
}

}  // namespace

void showLoadFailure(const CatalogueRecord* record) {
    if (!startupInfo.Message) return;
    char path[MAX_PATH];
    copyTextN(path, sizeof path, record->dllPath, boundedLength(record->dllPath, MAX_PATH));
    PluginFitness fitness;
    checkPluginFile(path, &fitness);
    if (fitness.reason == PLUGIN_FIT || fitness.reason == PLUGIN_FIT_NO_STARTUP) {
        showMsg(MLoadFailed);
        return;
    }
    Box box;
    addPluginTitle(&box, record);
    box.add(msgText(MLoadFailedBecause));
    addUnfitReason(&box, fitness);
    showBox(&box, FMSG_WARNING | FMSG_LEFTALIGN | FMSG_MB_OK);
}

void showPluginInfo(PanelState* panel, const CatalogueRecord* record) {
    if (!startupInfo.Message) return;
    Box box;
    addPluginTitle(&box, record);
    char path[MAX_PATH];
    copyTextN(path, sizeof path, record->dllPath, boundedLength(record->dllPath, MAX_PATH));
    box.add(path);
    addFileFacts(&box, record);
    addLoadState(&box, GetModuleHandleA(path));
    if (findUnloaded(path)) box.add(msgText(MInfoUnloadedByUs));
    if (isSwitchedOff(path)) box.add(msgText(MInfoSwitchedOff));
    addHostCacheEntry(&box, path);

    PluginFitness fitness;
    checkPluginFile(path, &fitness);
    HostName host = hostName();
    addEntryPoints(&box, fitness.facts, host);
    addVerdict(&box, fitness, host);

    char previous[2 * LINE_CHARS], space[2 * LINE_CHARS];
    describePreviousBuild(record, previous, sizeof previous, space, sizeof space);
    if (!previous[0]) {
        showBox(&box, FMSG_LEFTALIGN | FMSG_MB_OK);
        return;
    }
    box.add(previous);
    box.add(space);
    // Room for the three buttons after the lines.
    while (box.count > MAX_LINES - 3) --box.count;
    for (int i = 0; i < box.count; ++i) box.items[i] = box.lines[i];
    const char* buttons[3] = {okButton(), msgText(MBtnGoBack), msgText(MBtnDropPrevious)};
    for (const char* button : buttons) box.items[box.count++] = button;
    int answer = startupInfo.Message(startupInfo.ModuleNumber, FMSG_LEFTALIGN, "", box.items, box.count, 3);
    if (answer == 1) goBackToPreviousBuild(panel, record);
    else if (answer == 2) dropPreviousBuild(record);
}
