#include "foreign/probe.h"

#include "guard/guardedCall.h"
#include "foreign/substituteMessages.h"
#include "state/pluginState.h"
#include "runtime/text.h"

#include <string.h>

ReleaseLibraryFunction releaseLibrary = FreeLibrary;
LoadLibraryFunction loadLibrary = LoadLibraryExA;

namespace {

struct StartupCall {
    PFN_SetStartupInfo fn;
    const PluginStartupInfo* info;
};

struct InfoCall {
    PFN_GetPluginInfo fn;
    PluginInfo* info;
};

struct ReleaseCall {
    HMODULE module;
};

struct LoadCall {
    const char* path;
    HMODULE module;
};

void callLoad(void* context) {
    LoadCall* call = static_cast<LoadCall*>(context);
    call->module = loadLibrary(call->path, nullptr, 0);
}

void callSetStartupInfo(void* context) {
    StartupCall* call = static_cast<StartupCall*>(context);
    call->fn(call->info);
}

void callGetPluginInfo(void* context) {
    InfoCall* call = static_cast<InfoCall*>(context);
    call->fn(call->info);
}

void callRelease(void* context) {
    releaseLibrary(static_cast<ReleaseCall*>(context)->module);
}

struct ExitCall {
    PFN_ExitFAR fn;
};

void callExitFar(void* context) {
    static_cast<ExitCall*>(context)->fn();
}

}  // namespace

HMODULE probePlugin(const char* dllPath, HMODULE module, PluginInfo* info, bool giveStartupInfo) {
    if (!module) return nullptr;
    auto setStartupInfo = reinterpret_cast<PFN_SetStartupInfo>(GetProcAddress(module, "SetStartupInfo"));
    auto getPluginInfo = reinterpret_cast<PFN_GetPluginInfo>(GetProcAddress(module, "GetPluginInfo"));

    PluginStartupInfo copy;
    memcpy(&copy, &startupInfo, sizeof copy);
    copyText(copy.ModuleName, sizeof copy.ModuleName, dllPath);
    substituteGetMsg(SUBSTITUTE_SET_MODULE, static_cast<int>(reinterpret_cast<intptr_t>(dllPath)));
    copy.GetMsg = substituteGetMsg;

    if (info) memset(info, 0, sizeof *info);
    if (setStartupInfo && giveStartupInfo) {
        StartupCall call = {setStartupInfo, &copy};
        if (guardedCall(callSetStartupInfo, &call)) return module;   // a plugin that faults tells nothing
    }
    if (info && getPluginInfo) {
        InfoCall call = {getPluginInfo, info};
        if (guardedCall(callGetPluginInfo, &call)) memset(info, 0, sizeof *info);
    }
    return module;
}

HMODULE loadForeignLibrary(const char* dllPath) {
    if (!dllPath) return nullptr;
    // Keep a foreign DLL's load failure from raising the system's error box.
    UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    LoadCall call = {dllPath, nullptr};
    // A DLL whose start-up code faults is as good as one that did not load.
    bool faulted = guardedCall(callLoad, &call) != 0;
    SetErrorMode(oldMode);
    return faulted ? nullptr : call.module;
}

HMODULE heldModule(const char* dllPath) {
    return dllPath && *dllPath ? GetModuleHandleA(dllPath) : nullptr;
}

HMODULE loadAndProbePlugin(const char* dllPath, PluginInfo* info, bool* loadedHere) {
    *loadedHere = false;
    if (HMODULE held = heldModule(dllPath)) return probePlugin(dllPath, held, info, false);
    HMODULE module = loadAndProbeUnheldPlugin(dllPath, info);
    *loadedHere = module != nullptr;
    return module;
}

HMODULE loadAndProbeUnheldPlugin(const char* dllPath, PluginInfo* info) {
    HMODULE module = loadForeignLibrary(dllPath);
    if (!module) return nullptr;
    return probePlugin(dllPath, module, info, true);
}

DWORD callPluginExit(HMODULE module) {
    auto exitFar = module ? reinterpret_cast<PFN_ExitFAR>(GetProcAddress(module, "ExitFAR")) : nullptr;
    if (!exitFar) return 0;
    ExitCall call = {exitFar};
    return guardedCall(callExitFar, &call);
}

DWORD releasePlugin(HMODULE module) {
    // A plugin that faulted on its way out is released all the same.
    DWORD exitCode = callPluginExit(module);
    DWORD releaseCode = releaseProbedLibrary(module);
    return exitCode ? exitCode : releaseCode;
}

DWORD releaseProbedLibrary(HMODULE module) {
    if (!module) return 0;
    ReleaseCall call = {module};
    return guardedCall(callRelease, &call);
}

namespace {

struct CopyCall {
    const char* const* list;
    char* out;
    bool isNull;
};

void copyFirstString(void* context) {
    CopyCall* call = static_cast<CopyCall*>(context);
    const char* text = call->list[0];
    call->isNull = text == nullptr;
    if (text) copyText(call->out, 128, text);
}

}  // namespace

void snapshotMenuStrings(const PluginInfo* answered, MenuSnapshot* out) {
    memset(out, 0, sizeof *out);
    out->info = *answered;
    struct Slot {
        const char* const* PluginInfo::*list;
        int PluginInfo::*count;
    };
    static const Slot slots[3] = {
        {&PluginInfo::DiskMenuStrings, &PluginInfo::DiskMenuStringsNumber},
        {&PluginInfo::PluginMenuStrings, &PluginInfo::PluginMenuStringsNumber},
        {&PluginInfo::PluginConfigStrings, &PluginInfo::PluginConfigStringsNumber},
    };
    for (int k = 0; k < 3; ++k) {
        const char* const* list = answered->*slots[k].list;
        if (!list || answered->*slots[k].count == 0) continue;
        CopyCall call = {list, out->texts[k], false};
        bool faulted = guardedCall(copyFirstString, &call) != 0;
        out->texts[k][127] = 0;
        out->lists[k][0] = (faulted || call.isNull) ? nullptr : out->texts[k];
        out->info.*slots[k].list = out->lists[k];
    }
}
