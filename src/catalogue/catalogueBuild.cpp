#include "catalogue/catalogueBuild.h"

#include "cache/cacheFile.h"
#include "describe/descriptionExtractor.h"
#include "describe/descriptionLanguage.h"
#include "describe/descriptionText.h"
#include "catalogue/folderFacts.h"
#include "catalogue/pluginDiscovery.h"
#include "catalogue/loadMark.h"
#include "foreign/loadedModules.h"
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

// Asks the plugin for its menu strings (unless probing is off) and extracts
// the description; the answers are copied before the DLL is freed and before
// the substitute messages they may point into are released.
// dll holds the DLL file's bytes (none when it could not be read); loaded is
// the snapshot r->module was just looked up in.
// Returns the language tag the description depends on (0: none).
DWORD examinePlugin(CatalogueRecord* r, const char* pluginFolder, const MappedFile& dll, const LoadedModules& loaded,
                    FolderFacts& facts, const BuildSettings& settings) {
    PluginInfo answered;
    memset(&answered, 0, sizeof answered);
    HMODULE probed = nullptr;
    bool loadedHere = false;
    // A DLL without any of the host's entry points is no plugin: loading it
    // would only run its start-up code.
    if (settings.probe) {
        if (r->module) {
            probed = probePlugin(r->dllPath, r->module, &answered, false);
        } else if (!isSwitchedOff(r->dllPath) && exportsFarEntryPointIn(dll.data(), dll.size())) {
            if (loaded.complete()) {
                probed = loadAndProbeUnheldPlugin(r->dllPath, &answered);
                loadedHere = probed != nullptr;
            } else {
                probed = loadAndProbePlugin(r->dllPath, &answered, &loadedHere);
            }
        }
    }
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

void buildRecord(const char* path, int index, CatalogueRecord* r, PluginPanelItem* p,
                 const CachedRecords* cache, LoadedModules& loaded, FolderFacts& facts, int forceRescan,
                 const BuildSettings& settings, const BuildSink& sink) {
    copyText(r->dllPath, sizeof r->dllPath, path);

    // A plain attribute query settles whether the DLL is still there and
    // whether its cached record holds; only a plugin examined afresh needs
    // the full listing (for its short name).
    WIN32_FILE_ATTRIBUTE_DATA attributes;
    bool fresh = false, reused = false;
    if (!GetFileAttributesExA(r->dllPath, GetFileExInfoStandard, &attributes) ||
        (attributes.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        p->FindData.dwFileAttributes = FILE_ATTRIBUTE_HIDDEN;
        r->missing = 1;
    } else {
        const CatalogueRecord* cached = findCachedRecord(r->dllPath, cache);
        // A plugin just switched off or on is the same file under the other name.
        char other[MAX_PATH];
        if (!cached && switchedName(r->dllPath, other, sizeof other)) cached = findCachedRecord(other, cache);
        if (cached && !memcmp(&cached->item.FindData.ftLastWriteTime, &attributes.ftLastWriteTime, sizeof(FILETIME))) {
            memcpy(r, cached, sizeof *r);
            copyText(r->dllPath, sizeof r->dllPath, path);
            // A description asked in another language than FAR's now is asked again.
            reused = !forceRescan && describedInLanguage(*cached, settings.language);
        }
        fresh = !reused;
        if (fresh) {
            WIN32_FIND_DATAA found;
            HANDLE find = FindFirstFileA(path, &found);
            if (find != INVALID_HANDLE_VALUE) {
                FindClose(find);
                memcpy(&p->FindData, &found, sizeof p->FindData);
            } else {
                p->FindData.ftCreationTime = attributes.ftCreationTime;
                p->FindData.ftLastAccessTime = attributes.ftLastAccessTime;
                p->FindData.ftLastWriteTime = attributes.ftLastWriteTime;
                p->FindData.nFileSizeHigh = attributes.nFileSizeHigh;
            }
            p->FindData.nFileSizeLow = 0;
            sink.step(path, index);
            char sizeFolder[MAX_PATH];
            sizeFolderOf(r->dllPath, sizeFolder);
            p->FindData.nFileSizeLow = facts.totalOf(sizeFolder);
            p->PackSize = p->FindData.nFileSizeLow;
        } else {
            memcpy(p, &r->item, sizeof *p);
        }
        p->FindData.dwFileAttributes = 0;
        r->module = loaded.find(fileNameOf(r->dllPath));
        LoadState state = r->module                  ? LOAD_LOADED
                          : isSwitchedOff(r->dllPath) ? LOAD_SWITCHED_OFF
                          : findUnloaded(r->dllPath)  ? LOAD_UNLOADED_HERE
                                                      : LOAD_NOT_LOADED;
        applyLoadMark(p, state, settings.markLoaded);
    }

    p->FindData.dwFileAttributes |= FILE_ATTRIBUTE_DIRECTORY;
    pluginFolderOf(r->dllPath, p->FindData.cFileName, false);

    // A DLL examined afresh is read once, for its entry points and its version.
    MappedFile dll;
    if (fresh) {
        dll.open(r->dllPath);
        char folder[MAX_PATH];
        pluginFolderOf(r->dllPath, folder, true);
        p->Reserved[0] = examinePlugin(r, folder, dll, loaded, facts, settings);
        // The plugin's own code may have loaded a DLL that later records name.
        if (settings.probe) loaded.invalidate();
    }
    p->Description = r->description;
    if (fresh) {
        p->Owner = nullptr;
        char versionFolder[MAX_PATH];
        if (resourceVersionIn(r, dll.data(), dll.size()) ||
            (versionFolderOf(r->dllPath, versionFolder, sizeof versionFolder) &&
             facts.dizVersionOf(versionFolder, r->version)))
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

    JStack stack;
    discoverPlugins(&stack);
    int n = stack.count();
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
    int index = 0;
    while (char* path = stack.pop()) {
        char working[MAX_PATH];
        copyText(working, sizeof working, path);
        heapFree(path);
        if (index < n) buildRecord(working, index, &catalogue[index], &panelItems[index], &cache, loaded,
                                    facts, panel->forceRescan, settings, sink);
        ++index;
    }

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
