#include "modules/pluginRecord.h"

#include "common/hostText.h"

#include <string.h>

namespace farhost {

namespace {

const char* const kExportNames[kExportCount] = {
    "SetStartupInfo", "OpenPlugin", "OpenFilePlugin", "ClosePlugin", "GetPluginInfo", "GetOpenPluginInfo",
    "GetFindData", "FreeFindData", "GetVirtualFindData", "FreeVirtualFindData", "SetDirectory", "GetFiles",
    "PutFiles", "DeleteFiles", "MakeDirectory", "ProcessHostFile", "SetFindList", "Configure", "ExitFAR",
    "ProcessKey", "ProcessEvent", "ProcessEditorEvent", "Compare", "ProcessEditorInput", "GetMinFarVersion",
    "ProcessViewerEvent", "ProcessDialogEvent",
};

// The host's own heap, as the released host's records lie in its runtime's
// heap: apart from the process heap, where the system's loader keeps its own
// entries (each with the module's handle) and where a record could otherwise
// lie within reach of one.
HANDLE recordHeap() {
    static HANDLE heap = HeapCreate(0, 0, 0);
    return heap;
}

}  // namespace

const char* exportName(Export e) {
    int i = static_cast<int>(e);
    return i >= 0 && i < kExportCount ? kExportNames[i] : "";
}

Export exportByName(const char* name) {
    for (int i = 0; i < kExportCount; ++i)
        if (name && strcmp(kExportNames[i], name) == 0) return static_cast<Export>(i);
    return Export::Count;
}

RecordLayout recordLayout(bool far175) {
    RecordLayout layout;
    if (far175) {
        layout.size = sizeof(PluginRecord175);
        layout.entryCount = kEntryPoints170 + 1;
    }
    return layout;
}

FARPROC* entrySlot(PluginRecord* record, Export which, const RecordLayout& layout) {
    int i = static_cast<int>(which);
    if (!record || i < 0 || i >= layout.entryCount) return nullptr;
    if (i < kEntryPoints170) return &record->entries[i];
    return &reinterpret_cast<PluginRecord175*>(record)->processDialogEvent;
}

FARPROC entryOf(const PluginRecord* record, Export which, const RecordLayout& layout) {
    FARPROC* slot = entrySlot(const_cast<PluginRecord*>(record), which, layout);
    return slot ? *slot : nullptr;
}

PluginRecords::~PluginRecords() {
    if (base_) HeapFree(recordHeap(), 0, base_);
}

bool PluginRecords::layOut(int capacity, const RecordLayout& layout) {
    HANDLE heap = recordHeap();
    if (base_ || !heap || capacity <= 0) return false;
    base_ = static_cast<unsigned char*>(
        HeapAlloc(heap, HEAP_ZERO_MEMORY, static_cast<SIZE_T>(capacity) * static_cast<SIZE_T>(layout.size)));
    if (!base_) return false;
    capacity_ = capacity;
    layout_ = layout;
    return true;
}

PluginRecord* PluginRecords::append(const char* path) {
    if (!base_ || count_ >= capacity_) return nullptr;
    PluginRecord* record = at(count_++);
    copyBounded(record->modulePath, sizeof record->modulePath, path ? path : "");
    return record;
}

PluginRecord* PluginRecords::at(int index) const {
    if (!base_ || index < 0 || index >= count_) return nullptr;
    return reinterpret_cast<PluginRecord*>(base_ + static_cast<size_t>(index) * layout_.size);
}

int PluginRecords::indexOf(const char* path) const {
    for (int i = 0; i < count_; ++i)
        if (path && lstrcmpiA(at(i)->modulePath, path) == 0) return i;
    return -1;
}

void fillPluginRecord(PluginRecord* record, HMODULE module, const RecordLayout& layout) {
    record->module = module;
    record->workFlags &= ~kWorkCached;
    for (int i = 0; i < layout.entryCount; ++i)
        *entrySlot(record, static_cast<Export>(i), layout) = GetProcAddress(module, kExportNames[i]);
    record->callFlags |= kCallLoaded;
}

void clearPluginRecord(PluginRecord* record, const RecordLayout& layout) {
    record->module = nullptr;
    record->callFlags = 0;
    for (int i = 0; i < layout.entryCount; ++i) *entrySlot(record, static_cast<Export>(i), layout) = nullptr;
}

bool holdsExports(const PluginRecord* record, const RecordLayout& layout) {
    for (int i = 0; i < layout.entryCount; ++i)
        if (entryOf(record, static_cast<Export>(i), layout)) return true;
    return false;
}

bool fillMessageTable(PluginRecord* record, const char* languageFile, const char* const* texts, int count) {
    HANDLE heap = recordHeap();
    if (!heap || count <= 0) return false;
    size_t size = 0;
    for (int i = 0; i < count; ++i) size += strlen(texts[i]) + 1;
    auto* list = static_cast<char*>(HeapAlloc(heap, 0, size));
    auto* strings = static_cast<char**>(HeapAlloc(heap, 0, sizeof(char*) * count));
    if (!list || !strings) {
        if (list) HeapFree(heap, 0, list);
        if (strings) HeapFree(heap, 0, strings);
        return false;
    }
    char* at = list;
    for (int i = 0; i < count; ++i) {
        size_t n = strlen(texts[i]) + 1;
        memcpy(at, texts[i], n);
        strings[i] = at;
        at += n;
    }
    record->messages.strings = strings;
    record->messages.list = list;
    record->messages.size = static_cast<long>(size);
    record->messages.count = count;
    copyBounded(record->languageFile, sizeof record->languageFile, languageFile ? languageFile : "");
    return true;
}

void dropMessageTable(PluginRecord* record) {
    // As the host closes a plugin's language: the table is forgotten, its
    // texts stay where plugins may still hold them.
    memset(&record->messages, 0, sizeof record->messages);
}

bool addressInLoadedModule(const void* address, const char* path) {
    HMODULE holder = nullptr;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            static_cast<const char*>(address), &holder) ||
        !holder)
        return false;
    char name[MAX_PATH + 1] = {};
    DWORD n = GetModuleFileNameA(holder, name, MAX_PATH);
    return n > 0 && n < MAX_PATH && equalNoCase(name, path);
}

}  // namespace farhost
