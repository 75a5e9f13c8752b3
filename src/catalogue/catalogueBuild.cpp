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
#include "dll/peImageFacts.h"
#include "dll/pluginFitness.h"
#include "state/pluginFolder.h"
#include "foreign/probe.h"
#include "foreign/substituteMessages.h"
#include "describe/versionExtractor.h"
#include "describe/versionText.h"
#include "state/pluginState.h"
#include "farRecords/hostCacheMenus.h"
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
    HostCacheIndex& hostCache;   // read at the first plugin examined afresh
    bool hostCacheRead;
};

// FAR's cache answers for a plugin when it describes the DLL as it is now:
// FAR asked the plugin at its start what a probe would ask. Not for a plugin
// FAR loads at every start (its slot keeps nothing else).
enum HostCacheAnswer { HOST_CACHE_SILENT, HOST_CACHE_MENUS, HOST_CACHE_NO_INFO };

HostCacheAnswer askHostCache(const CatalogueRecord* r, const WIN32_FIND_DATAA& found, const DllFileBytes& dll,
                             Build& b, MenuSnapshot* snapshot) {
    if (!b.hostCacheRead) {
        b.hostCacheRead = true;
        b.hostCache.read();
    }
    bool preload = false;
    int slot = b.hostCache.find(r->dllPath, found, &preload);
    HostCacheMenus menus;
    if (slot < 0 || preload || !b.hostCache.menus(slot, &menus)) return HOST_CACHE_SILENT;
    memset(snapshot, 0, sizeof *snapshot);
    snapshot->info.StructSize = sizeof snapshot->info;
    const char* const** lists[3] = {&snapshot->info.DiskMenuStrings, &snapshot->info.PluginMenuStrings,
                                    &snapshot->info.PluginConfigStrings};
    int* counts[3] = {&snapshot->info.DiskMenuStringsNumber, &snapshot->info.PluginMenuStringsNumber,
                      &snapshot->info.PluginConfigStringsNumber};
    bool any = false;
    for (int k = 0; k < 3; ++k) {
        if (!menus.counts[k]) continue;
        any = true;
        copyText(snapshot->texts[k], sizeof snapshot->texts[k], menus.texts[k]);
        snapshot->lists[k][0] = snapshot->texts[k];
        *lists[k] = snapshot->lists[k];
        *counts[k] = 1;
    }
    // FAR keeps a slot also for a plugin that cannot answer at all, which a
    // probe would find without answers.
    if (!any) {
        PluginImageFacts facts;
        readPluginImageFacts(dll.data(), dll.size(), &facts);
        if (!(facts.entryPoints & entryPointBit(EP_GET_PLUGIN_INFO))) return HOST_CACHE_NO_INFO;
    }
    return HOST_CACHE_MENUS;
}

// Learns the plugin's menu strings (unless probing is off), from FAR's cache
// when it describes this very file, else by asking the plugin, and extracts
// the description by the same rule either way. A plugin's answers are copied
// before its DLL is freed and before the substitute messages they may point
// into are released. found: the DLL's find data; languageFiles: the *.lng
// files of its folder as the listing found them, or nullptr.
// Returns the language tag the description depends on (0: none).
DWORD examinePlugin(CatalogueRecord* r, const char* pluginFolder, const WIN32_FIND_DATAA& found,
                    const char* languageFiles, Build& b) {
    const BuildSettings& settings = b.settings;
    MenuSnapshot snapshot;
    HostCacheAnswer cached = HOST_CACHE_SILENT;
    if (settings.probe && !r->module && !isSwitchedOff(r->dllPath))
        cached = askHostCache(r, found, b.bytes, b, &snapshot);
    PluginInfo answered;
    memset(&answered, 0, sizeof answered);
    HMODULE probed = nullptr;
    bool loadedHere = false;
    bool asked = settings.probe && cached == HOST_CACHE_SILENT;
    if (asked) probed = probeAfresh(r, b.bytes, b.loaded, languageFiles, &answered, &loadedHere);
    bool answeredInfo = cached == HOST_CACHE_MENUS || (probed && answered.StructSize != 0);
    if (probed && answered.StructSize != 0) snapshotMenuStrings(&answered, &snapshot);
    memset(r->description, 0, sizeof r->description);
    DWORD tag = 0;
    if (answeredInfo) {
        extractDescription(r->description, pluginFolder, &snapshot.info);
        if (menuDescriptionOf(&snapshot.info)) tag = settings.language;
    } else {
        b.facts.filesDescriptionOf(pluginFolder, r->description);
    }
    if (loadedHere) releasePlugin(probed);
    if (settings.probe) substituteGetMsg(SUBSTITUTE_RELEASE, 0);
    // The plugin's own code may have loaded a DLL that later records name.
    if (asked) {
        b.loaded.invalidate();
        b.foreignCodeRan = true;
    }
    return tag;
}

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
        p->Reserved[0] = examinePlugin(r, folder, found, languageFiles, b);
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
    HostCacheIndex hostCache;
    Build build = {listing, &cache, loaded, facts, panel->forceRescan, settings, sink, bytes, false, hostCache, false};
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
