#include "install/archiveExtract.h"

#include "guard/guardedCall.h"
#include "state/pluginFolder.h"
#include "foreign/probe.h"
#include "install/extractCommand.h"
#include "ui/failureReport.h"
#include "ui/boxText.h"
#include "describe/descriptionText.h"
#include "runtime/handles.h"
#include "runtime/text.h"
#include "state/pluginState.h"
#include "ui/messages.h"

#include <stdio.h>
#include <string.h>

namespace {

const size_t COMMAND_BYTES = 400;
char extractCommand[COMMAND_BYTES];
char targetFolder[MAX_PATH];

// A format module may write more than it should: it gets room to spare, and
// what does not fit the command buffer is refused rather than cut.
const size_t MODULE_ANSWER_BYTES = 4096;

enum Found { FOUND_NONE, FOUND, FOUND_TOO_LONG };

Found readCommandUnder(HKEY root, const char* keyPath) {
    RegistryKey key;
    if (RegOpenKeyExA(root, keyPath, 0, KEY_READ, key.out()) != ERROR_SUCCESS) return FOUND_NONE;
    DWORD type = 0;
    DWORD size = COMMAND_BYTES;
    memset(extractCommand, 0, sizeof extractCommand);
    LONG rc = RegQueryValueExA(key.get(), "Extract", nullptr, &type, reinterpret_cast<BYTE*>(extractCommand), &size);
    if (rc == ERROR_MORE_DATA) return FOUND_TOO_LONG;
    if (rc != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) {
        extractCommand[0] = 0;
        return FOUND_NONE;
    }
    // A value stored without its terminator that fills the buffer is cut: refuse it.
    if (size >= COMMAND_BYTES && !memchr(extractCommand, 0, COMMAND_BYTES)) return FOUND_TOO_LONG;
    if (size < COMMAND_BYTES) extractCommand[size] = 0;
    return extractCommand[0] ? FOUND : FOUND_NONE;
}

// The archive plugin reads each setting from the current user's key first
// (its own dialog writes there) and falls back to the machine's defaults.
Found readConfiguredCommand(const char* extension) {
    char keyPath[512];
    int n = snprintf(keyPath, sizeof keyPath, "%s\\MultiArc\\%s", startupInfo.RootKey ? startupInfo.RootKey : "",
                     extension);
    if (n < 0 || static_cast<size_t>(n) >= sizeof keyPath) return FOUND_NONE;
    Found found = readCommandUnder(HKEY_CURRENT_USER, keyPath);
    return found != FOUND_NONE ? found : readCommandUnder(HKEY_LOCAL_MACHINE, keyPath);
}

const CatalogueRecord* archivePluginRecord(const PanelState* panel) {
    if (!panel || !panel->catalogue) return nullptr;
    for (int i = 0; i < panel->catalogueCount; ++i) {
        const CatalogueRecord& r = panel->catalogue[i];
        if (equalNoCase(fileNameOf(r.item.FindData.cFileName), "multiarc")) return &r;
    }
    return nullptr;
}

struct ModuleCall {
    PFN_GetDefaultCommands fn;
    char* answer;
};

void callGetDefaultCommands(void* context) {
    ModuleCall* call = static_cast<ModuleCall*>(context);
    call->fn(0, 0, call->answer);
}

Found askFormatModule(const PanelState* panel, const char* extension) {
    const CatalogueRecord* record = archivePluginRecord(panel);
    if (!record) return FOUND_NONE;
    char modulePath[MAX_PATH];
    copyText(modulePath, sizeof modulePath, record->dllPath);
    char* slash = strrchr(modulePath, '\\');
    if (!slash) return FOUND_NONE;
    slash[1] = 0;
    cutBinFolder(modulePath);
    char formatFile[MAX_PATH];
    snprintf(formatFile, sizeof formatFile, "formats\\%s.fmt", extension);
    if (!appendWhole(modulePath, sizeof modulePath, formatFile)) return FOUND_NONE;

    HMODULE module = loadForeignLibrary(modulePath);
    if (!module) return FOUND_NONE;
    Found found = FOUND_NONE;
    auto fn = reinterpret_cast<PFN_GetDefaultCommands>(GetProcAddress(module, "GetDefaultCommands"));
    static char answer[MODULE_ANSWER_BYTES];
    memset(answer, 0, sizeof answer);
    ModuleCall call = {fn, answer};
    if (fn && !guardedCall(callGetDefaultCommands, &call)) {
        size_t length = boundedLength(answer, sizeof answer);
        if (length >= COMMAND_BYTES) {
            found = FOUND_TOO_LONG;
        } else if (length) {
            memcpy(extractCommand, answer, length + 1);
            found = FOUND;
        }
    }
    releaseProbedLibrary(module);
    return found;
}

Found lookUpCommand(const PanelState* panel, const char* extension) {
    memset(extractCommand, 0, sizeof extractCommand);
    if (!extension) return FOUND_NONE;
    Found found = readConfiguredCommand(extension);
    if (found != FOUND_NONE) return found;
    memset(extractCommand, 0, sizeof extractCommand);
    return askFormatModule(panel, extension);
}

// Runs the command in the host's console and waits for it. False, with the
// reason in the install report, when it could not start or ended with an
// error (a non-zero exit code).
bool runInConsole(char* command, const char* archiveName, const char* folder) {
    // The command is rewritten by CreateProcess's parsing rules only in
    // Unicode; a copy keeps the text for the report all the same.
    char shown[COMMAND_BYTES];
    copyText(shown, sizeof shown, command);
    collapseBlanks(shown);
    STARTUPINFOA startup;
    memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    memset(&process, 0, sizeof process);
    HANDLE screen = startupInfo.SaveScreen ? startupInfo.SaveScreen(0, 0, -1, -1) : nullptr;
    bool started = CreateProcessA(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, folder, &startup,
                                  &process) != 0;
    DWORD exitCode = 0;
    if (started) {
        WaitForSingleObject(process.hProcess, INFINITE);
        if (!GetExitCodeProcess(process.hProcess, &exitCode)) exitCode = 0;
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    if (startupInfo.RestoreScreen) {
        startupInfo.RestoreScreen(nullptr);
        startupInfo.RestoreScreen(screen);
    }
    char line[MAX_PATH + 64];
    if (!started) {
        snprintf(line, sizeof line, "%s: %s", fileNameOf(archiveName), message(MFailNotStarted));
    } else if (exitCode != 0) {
        snprintf(line, sizeof line, "%s: %s %lu", fileNameOf(archiveName), message(MFailExitCode),
                 static_cast<unsigned long>(exitCode));
    } else {
        return true;
    }
    noteFailure(line);
    char fitted[COMMAND_BYTES];
    size_t label = strlen(message(MFailCommand)) + 1;
    size_t width = boxWidth();
    shortenMiddle(fitted, sizeof fitted, shown, width > label + 20 ? width - label : 20, false);
    noteFailure(message(MFailCommand), fitted);
    return false;
}

void noteArchiveFailure(const char* archiveName, int id) {
    char line[MAX_PATH + 64];
    snprintf(line, sizeof line, "%s: %s", fileNameOf(archiveName), message(id));
    noteFailure(line);
}

}  // namespace

static_assert(sizeof(STARTUPINFOA) == 68, "start-up information");

bool extractArchiveInto(const PanelState* panel, const char* archiveName, const char* folder) {
    Found found = lookUpCommand(panel, archiveExtension(archiveName));
    if (found != FOUND) {
        noteArchiveFailure(archiveName, found == FOUND_TOO_LONG ? MFailTooLong : MFailNoCommand);
        return false;
    }
    rewriteExtractCommand(extractCommand);

    // The archiver runs in the folder it unpacks into (some unpack into
    // their working folder whatever they are told): a name relative to the
    // host's current folder would no longer resolve there.
    char archive[MAX_PATH];
    DWORD n = GetFullPathNameA(archiveName, sizeof archive, archive, nullptr);
    if (!n || n >= sizeof archive) copyText(archive, sizeof archive, archiveName);
    copyText(targetFolder, sizeof targetFolder, folder);
    char shortForm[MAX_PATH];
    n = GetShortPathNameA(targetFolder, shortForm, sizeof shortForm);
    if (n && n < sizeof shortForm) copyText(targetFolder, sizeof targetFolder, shortForm);

    if (!appendArchiveAndTarget(extractCommand, sizeof extractCommand, archive, targetFolder)) {
        noteArchiveFailure(archiveName, MFailTooLong);
        return false;
    }
    return runInConsole(extractCommand, archiveName, folder);
}
