#include "commands/faultSearchDisk.h"

#include "farRecords/folderRelease.h"
#include "farRecords/recordSync.h"
#include "folders/besidePlugins.h"
#include "folders/fileOps.h"
#include "runtime/heap.h"
#include "runtime/text.h"
#include "state/pluginState.h"

#include <string.h>

namespace {

const char SEARCH_FILE[] = "Vantorel.search";
const char NEW_SUFFIX[] = ".new";
constexpr size_t TEXT_CAP = SEARCH_MAX_FOLDERS * (SEARCH_PATH_CHARS + 4) + 128;

bool searchPath(char* out, size_t cap, bool fresh) {
    if (!pluginsRoot || !*pluginsRoot || !besidePluginsFolder(pluginsRoot, SEARCH_FILE, out, cap)) return false;
    return !fresh || appendWhole(out, cap, NEW_SUFFIX);
}

bool readWhole(const char* path, SearchState* state) {
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    char* text = static_cast<char*>(heapAlloc(TEXT_CAP));
    DWORD read = 0;
    bool ok = text && ReadFile(file, text, TEXT_CAP, &read, nullptr) && read < TEXT_CAP &&
              readSearchText(text, read, state);
    CloseHandle(file);
    heapFree(text);
    return ok;
}

}  // namespace

bool loadSearch(SearchState* state) {
    char path[MAX_PATH];
    if (searchPath(path, sizeof path, false) && readWhole(path, state)) return true;
    // FAR ended between the removal of the old state and the move of the new.
    return searchPath(path, sizeof path, true) && readWhole(path, state);
}

bool searchFilePath(char* out, size_t cap) { return searchPath(out, cap, false); }

bool searchFileExists() {
    char path[MAX_PATH], fresh[MAX_PATH];
    if (!searchPath(path, sizeof path, false) || !searchPath(fresh, sizeof fresh, true)) return false;
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES || GetFileAttributesA(fresh) != INVALID_FILE_ATTRIBUTES;
}

bool saveSearch(const SearchState& state) {
    char path[MAX_PATH], fresh[MAX_PATH];
    if (!searchPath(path, sizeof path, false) || !searchPath(fresh, sizeof fresh, true)) return false;
    char* text = static_cast<char*>(heapAlloc(TEXT_CAP));
    if (!text) return false;
    size_t length = searchText(state, text, TEXT_CAP);
    // The old state stays until the new one is whole on the disk.
    if (GetFileAttributesA(fresh) != INVALID_FILE_ATTRIBUTES) fsDeleteFile(fresh);
    bool ok = length && fsWriteNew(fresh, text, length);
    heapFree(text);
    if (!ok) return false;
    if (GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES && !fsDeleteFile(path)) return false;
    return fsMove(fresh, path);
}

void dropSearch() {
    char path[MAX_PATH];
    for (int fresh = 1; fresh >= 0; --fresh)
        if (searchPath(path, sizeof path, fresh != 0) && GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES)
            fsDeleteFile(path);
}

bool switchSearchFolder(HANDLE panel, const char* folder, bool off, bool* restart, SwitchFailure* failure) {
    if (off) {
        // A plugin FAR cannot let go of now (its panel is open, FAR's records
        // are not known) is renamed all the same: FAR passes it over at its
        // next start.
        ReleasedPlugins released;
        if (releasePluginsUnder(panel, folder, &released)) *restart = true;
    }
    if (switchDllsUnder(folder, off, failure) < 0) {
        syncRecordsUnder(folder);   // FAR gets back what it let go of
        return false;
    }
    RecordsSynced synced = syncRecordsUnder(folder);
    if (synced.unknownBuild || synced.noTable || synced.loaded || (!off && synced.unknown)) *restart = true;
    return true;
}
