#include "catalogue/catalogueBuild.h"

#include "cache/cacheFile.h"
#include "describe/descriptionExtractor.h"
#include "describe/descriptionLanguage.h"
#include "describe/descriptionText.h"
#include "catalogue/folderFacts.h"
#include "catalogue/pluginListing.h"
#include "catalogue/loadMark.h"
#include "foreign/loadedModules.h"
#include "dll/dllFileBytes.h"
#include "dll/pluginFitness.h"
#include "state/pluginFolder.h"
#include "foreign/probe.h"
#include "foreign/substituteMessages.h"
#include "describe/versionExtractor.h"
#include "describe/versionText.h"
#include "state/pluginState.h"
#include "farRecords/unloadedPlugins.h"
#include "runtime/handles.h"
#include "runtime/heap.h"
#include "runtime/text.h"

#include <string.h>

namespace {

const char SCAN_TITLE[] = "Scan";

// Probes the plugin of a DLL examined afresh: the host's own module of it as
// it is, else the DLL loaded here (*loadedHere). languageFiles: the *.lng
// files of the DLL's folder as the listing found them, or nullptr.
HMODULE probeAfresh(const CatalogueRecord* r, const DllFileBytes& dll, const LoadedModules& loaded,
                    const char* languageFiles, PluginInfo* answered, bool* loadedHere) {
    *loadedHere = false;
    if (r->module) return probePlugin(r->dllPath, r->module, answered, false);
    // A DLL without any of the host's entry points is no plugin: loading it
    // would only run its start-up code.
    if (isSwitchedOff(r->dllPath) || !exportsFarEntryPointIn(dll.data(), dll.size())) return nullptr;
    substituteLanguageFiles = languageFiles;
    HMODULE probed;
    if (loaded.complete()) {
        probed = loadAndProbeUnheldPlugin(r->dllPath, answered);
        *loadedHere = probed != nullptr;
    } else {
        probed = loadAndProbePlugin(r->dllPath, answered, loadedHere);
    }
    substituteLanguageFiles = nullptr;
    return probed;
}

// Asks the plugin for its menu strings (unless probing is off) and extracts
// the description; the answers are copied before the DLL is freed and before
// the substitute messages they may point into are released.
// dll holds the DLL file's bytes (none when it could not be read); loaded is
// the snapshot r->module was just looked up in.
// Returns the language tag the description depends on (0: none).
DWORD examinePlugin(CatalogueRecord* r, const char* pluginFolder, const DllFileBytes& dll, const LoadedModules& loaded,
                    const char* languageFiles, FolderFacts& facts, const BuildSettings& settings) {
    PluginInfo answered;
    memset(&answered, 0, sizeof answered);
    HMODULE probed = nullptr;
    bool loadedHere = false;
    if (settings.probe) probed = probeAfresh(r, dll, loaded, languageFiles, &answered, &loadedHere);
    bool answeredInfo = probed && answered.StructSize != 0;
    MenuSnapshot snapshot;
    if (answeredInfo) snapshotMenuStrings(&answered, &snapshot);
    memset(r->description, 0, sizeof r->description);
    DWORD tag = 0;
    if (answeredInfo) {
        extractDescription(r->description, pluginFolder, &snapshot.info);
        if (menuDescriptionOf(&snapshot.info)) tag = settings.language;
    } else {
        facts.filesDescriptionOf(pluginFolder, r->description);
    }
    if (loadedHere) releasePlugin(probed);
    if (settings.probe) substituteGetMsg(SUBSTITUTE_RELEASE, 0);
    return tag;
}

// What every record of one build reads and keeps.
struct Build {
    const PluginListing& listing;
    const CachedRecords* cache;
    LoadedModules& loaded;
    FolderFacts& facts;
    int forceRescan;
    const BuildSettings& settings;
    const BuildSink& sink;
    DllFileBytes& bytes;      // of the DLL examined last
    // A probed plugin's code may have removed or replaced a DLL the listing
    // holds: from then on each DLL is asked for again before it is used.
    bool foreignCodeRan;
};

// The find data of the index-th DLL: the listing's, or after foreign code has
// run, what the file system says now. False when the DLL is gone.
bool currentFindData(const Build& b, int index, WIN32_FIND_DATAA* out) {
    memcpy(out, &b.listing.found(index), sizeof *out);
    if (!b.foreignCodeRan) return true;
    const char* path = b.listing.path(index);
    WIN32_FILE_ATTRIBUTE_DATA now;
    if (!GetFileAttributesExA(path, GetFileExInfoStandard, &now) || (now.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    if (!memcmp(&now.ftLastWriteTime, &out->ftLastWriteTime, sizeof(FILETIME)) &&
        now.nFileSizeLow == out->nFileSizeLow && now.nFileSizeHigh == out->nFileSizeHigh)
        return true;
    HANDLE find = FindFirstFileA(path, out);
    if (find != INVALID_HANDLE_VALUE) {
        FindClose(find);
        return true;
    }
    memset(out, 0, sizeof *out);
    out->ftCreationTime = now.ftCreationTime;
    out->ftLastAccessTime = now.ftLastAccessTime;
    out->ftLastWriteTime = now.ftLastWriteTime;
    out->nFileSizeHigh = now.nFileSizeHigh;
    return true;
}

// The cached record of the DLL when it still holds for the file's write
// time; the build copies it and says whether its description can stay.
const CatalogueRecord* cachedRecordOf(const char* path, const FILETIME& written, const Build& b, bool* keep) {
    const CatalogueRecord* cached = findCachedRecord(path, b.cache);
    // A plugin just switched off or on is the same file under the other name.
    char other[MAX_PATH];
    if (!cached && switchedName(path, other, sizeof other)) cached = findCachedRecord(other, b.cache);
    if (!cached || memcmp(&cached->item.FindData.ftLastWriteTime, &written, sizeof(FILETIME))) return nullptr;
    // A description asked in another language than FAR's now is asked again.
    *keep = !b.forceRescan && describedInLanguage(*cached, b.settings.language);
    return cached;
}

// The item of a DLL that is there: from its cached record, or afresh from its
// find data; *reused tells which.
void takeItem(const char* path, int index, const WIN32_FIND_DATAA& found, CatalogueRecord* r, PluginPanelItem* p,
              Build& b, bool* reused) {
    if (const CatalogueRecord* cached = cachedRecordOf(path, found.ftLastWriteTime, b, reused)) {
        memcpy(r, cached, sizeof *r);
        copyText(r->dllPath, sizeof r->dllPath, path);
    }
    if (*reused) {
        memcpy(p, &r->item, sizeof *p);
    } else {
        memcpy(&p->FindData, &found, sizeof p->FindData);
        p->FindData.nFileSizeLow = 0;
        b.sink.step(path, index);
        char sizeFolder[MAX_PATH];
        sizeFolderOf(r->dllPath, sizeFolder);
        DWORD total;
        if (!b.listing.folders().totalOf(sizeFolder, &total)) total = b.facts.totalOf(sizeFolder);
        p->FindData.nFileSizeLow = total;
        p->PackSize = total;
    }
    // An item is a folder, and FAR's footer counts no folder as a file: like
    // FAR's own folders it adds no bytes there, and the folder's total is the
    // packed size the columns show (also in records of older caches).
    p->FindData.nFileSizeLow = 0;
    p->FindData.nFileSizeHigh = 0;
    p->FindData.dwFileAttributes = 0;
    r->module = b.loaded.find(fileNameOf(r->dllPath));
    LoadState state = r->module                  ? LOAD_LOADED
                      : isSwitchedOff(r->dllPath) ? LOAD_SWITCHED_OFF
                      : findUnloaded(r->dllPath)  ? LOAD_UNLOADED_HERE
                                                  : LOAD_NOT_LOADED;
    applyLoadMark(p, state, b.settings.markLoaded);
}

void buildRecord(int index, CatalogueRecord* r, PluginPanelItem* p, Build& b) {
    const char* path = b.listing.path(index);
    copyText(r->dllPath, sizeof r->dllPath, path);
    WIN32_FIND_DATAA found;
    bool fresh = false, reused = false;
    if (!currentFindData(b, index, &found)) {
        p->FindData.dwFileAttributes = FILE_ATTRIBUTE_HIDDEN;
        r->missing = 1;
    } else {
        takeItem(path, index, found, r, p, b, &reused);
        fresh = !reused;
    }

    p->FindData.dwFileAttributes |= FILE_ATTRIBUTE_DIRECTORY;
    pluginFolderOf(r->dllPath, p->FindData.cFileName, false);

    // A DLL examined afresh is read once, for its entry points and its version.
    const DllFileBytes& dll = b.bytes;
    if (fresh) {
        b.bytes.open(r->dllPath);
        char folder[MAX_PATH], dllFolder[MAX_PATH];
        pluginFolderOf(r->dllPath, folder, true);
        sizeFolderOf(r->dllPath, dllFolder);
        const char* languageFiles = b.listing.folders().languageFilesOf(dllFolder);
        p->Reserved[0] = examinePlugin(r, folder, dll, b.loaded, languageFiles, b.facts, b.settings);
        // The plugin's own code may have loaded a DLL that later records name.
        if (b.settings.probe) {
            b.loaded.invalidate();
            b.foreignCodeRan = true;
        }
    }
    p->Description = r->description;
    if (fresh) {
        p->Owner = nullptr;
        char versionFolder[MAX_PATH];
        if (resourceVersionIn(r, dll.data(), dll.size()) ||
            (versionFolderOf(r->dllPath, versionFolder, sizeof versionFolder) &&
             b.facts.dizVersionOf(versionFolder, r->version)))
            p->Owner = r->version;
    } else if (reused) {
        applyCachedVersion(r, p);
    } else {
        p->Owner = nullptr;
    }
    p->NumberOfLinks = static_cast<DWORD>(index);
    memcpy(&r->item, p, sizeof *p);
}

}  // namespace

int buildCatalogue(PanelState* panel, PluginPanelItem** items, int* count, int opMode, const BuildSettings& settings,
                   const BuildSink& sink) {
    releaseCatalogue(panel);

    PluginListing listing;
    listing.discover();
    int n = listing.count();
    sink.start(SCAN_TITLE, n, opMode & (OPM_SILENT | OPM_FIND));
    if (n == 0) {
        sink.noPlugins();
        sink.stop();
        return 0;
    }

    CachedRecords cache = readCache();
    PluginPanelItem* panelItems = heapArray<PluginPanelItem>(n);
    CatalogueRecord* catalogue = heapArray<CatalogueRecord>(n);
    if (!panelItems || !catalogue) {
        heapFree(panelItems);
        heapFree(catalogue);
        releaseCache(&cache);
        sink.stop();
        return 0;
    }

    LoadedModules loaded;
    FolderFacts facts(n);
    DllFileBytes bytes;
    Build build = {listing, &cache, loaded, facts, panel->forceRescan, settings, sink, bytes, false};
    for (int index = 0; index < n; ++index) buildRecord(index, &catalogue[index], &panelItems[index], build);

    panel->catalogue = catalogue;
    panel->catalogueCount = n;
    panel->panelItems = panelItems;
    *items = panelItems;
    *count = n;

    writeCache(catalogue, n);
    sink.stop();
    panel->forceRescan = 0;
    releaseCache(&cache);
    return 1;
}
