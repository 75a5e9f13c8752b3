#include "farRecords/recordTable.h"

#include "farRecords/recordByHandle.h"
#include "runtime/text.h"
#include "state/pluginState.h"

#include <stdint.h>
#include <string.h>

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace {

// Far beyond any FAR installation's plugin count.
const int MAX_RECORDS = 4096;
const size_t CHUNK_BYTES = 64 * 1024;

// Reads FAR's memory without ever faulting: a page that went away is a failed read.
bool readMemory(const void* at, void* out, size_t bytes) {
    SIZE_T read = 0;
    return ReadProcessMemory(GetCurrentProcess(), at, out, bytes, &read) && read == bytes;
}

struct OwnRecordSearch {
    const FarRecordLayout* layout;
    uint32_t handle;
    char path[MAX_PATH];
    uint32_t addresses[FRE_COUNT];
    uint8_t* found;
    int hits;
};

void checkCandidate(OwnRecordSearch* search, uintptr_t handleAt) {
    if (handleAt < FAR_RECORD_HANDLE) return;
    uint8_t* record = reinterpret_cast<uint8_t*>(handleAt - FAR_RECORD_HANDLE);
    uint8_t copy[1600];
    if (search->layout->size > sizeof copy || !readMemory(record, copy, search->layout->size)) return;
    if (!recordOfLoadedModule(copy, *search->layout, search->path, search->handle, search->addresses)) return;
    if (search->hits++ == 0) search->found = record;
}

void searchRegion(OwnRecordSearch* search, uintptr_t start, uintptr_t end, uint32_t* buffer) {
    for (uintptr_t at = start; at < end; at += CHUNK_BYTES) {
        size_t bytes = end - at < CHUNK_BYTES ? end - at : CHUNK_BYTES;
        if (!readMemory(reinterpret_cast<void*>(at), buffer, bytes)) continue;
        for (size_t i = 0; i < bytes / 4; ++i)
            if (buffer[i] == search->handle) checkCandidate(search, at + 4 * i);
    }
}

}  // namespace

void entryAddresses(HMODULE module, uint32_t* addresses) {
    for (int i = 0; i < FRE_COUNT; ++i)
        addresses[i] = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(GetProcAddress(module, FAR_RECORD_ENTRY_NAMES[i])));
}

FarTableOutcome findFarRecordTable(FarRecordTable* table) {
    memset(table, 0, sizeof *table);
    table->layout = farRecordLayout(hostFarVersion());
    if (!table->layout) return FAR_TABLE_UNKNOWN_BUILD;

    OwnRecordSearch search;
    memset(&search, 0, sizeof search);
    search.layout = table->layout;
    HMODULE own = reinterpret_cast<HMODULE>(&__ImageBase);
    search.handle = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(own));
    DWORD n = GetModuleFileNameA(own, search.path, sizeof search.path);
    if (!n || n >= sizeof search.path) return FAR_TABLE_NOT_FOUND;
    entryAddresses(own, search.addresses);

    uint32_t* buffer = static_cast<uint32_t*>(VirtualAlloc(nullptr, CHUNK_BYTES, MEM_COMMIT, PAGE_READWRITE));
    if (!buffer) return FAR_TABLE_NOT_FOUND;
    const NT_TIB* tib = reinterpret_cast<const NT_TIB*>(NtCurrentTeb());
    uintptr_t stackStart = reinterpret_cast<uintptr_t>(tib->StackLimit);
    uintptr_t stackEnd = reinterpret_cast<uintptr_t>(tib->StackBase);
    uintptr_t bufferStart = reinterpret_cast<uintptr_t>(buffer);
    MEMORY_BASIC_INFORMATION info;
    for (uintptr_t address = 0; VirtualQuery(reinterpret_cast<void*>(address), &info, sizeof info);) {
        uintptr_t start = reinterpret_cast<uintptr_t>(info.BaseAddress);
        uintptr_t end = start + info.RegionSize;
        if (end <= address) break;
        address = end;
        if (!hostMemorySearchable(info) || (start < stackEnd && stackStart < end) ||
            (start <= bufferStart && bufferStart < end))
            continue;
        searchRegion(&search, start, end, buffer);
    }
    VirtualFree(buffer, 0, MEM_RELEASE);
    if (search.hits != 1) return FAR_TABLE_NOT_FOUND;

    uintptr_t base = reinterpret_cast<uintptr_t>(search.found) -
                     static_cast<uintptr_t>(startupInfo.ModuleNumber) * table->layout->size;
    table->base = reinterpret_cast<uint8_t*>(base);
    uint8_t copy[1600];
    while (table->count < MAX_RECORDS &&
           readMemory(table->base + static_cast<size_t>(table->count) * table->layout->size, copy,
                      table->layout->size) &&
           farRecordPath(copy))
        ++table->count;
    // Vantorel's own record must lie inside the table it was found in.
    if (startupInfo.ModuleNumber < 0 || startupInfo.ModuleNumber >= table->count) return FAR_TABLE_NOT_FOUND;
    return FAR_TABLE_FOUND;
}

uint8_t* farRecordOf(const FarRecordTable& table, const char* path) {
    uint8_t* found = nullptr;
    int hits = 0;
    for (int i = 0; i < table.count; ++i) {
        uint8_t* record = table.base + static_cast<size_t>(i) * table.layout->size;
        const char* own = farRecordPath(record);
        if (own && equalNoCase(own, path) && hits++ == 0) found = record;
    }
    return hits == 1 ? found : nullptr;
}
