#include "farRecords/recordByHandle.h"

#include "dll/peImageFacts.h"
#include "farRecords/recordByHandleScan.h"

#include <stdint.h>

namespace {

// The host keeps the address of each of its entry points the plugin exports.
constexpr int EXPORT_COUNT = FAR_ENTRY_POINT_COUNT;

// Memory is read in chunks with the next window behind each, so that a record
// whose handle ends one chunk is still seen whole.
constexpr size_t CHUNK_WORDS = 16384;
constexpr size_t READ_WORDS = CHUNK_WORDS + HOST_RECORD_WINDOW;

struct ModuleFacts {
    uint32_t base, end;
    uint32_t exports[EXPORT_COUNT];
    int exportCount;
};

bool readModuleFacts(HMODULE module, ModuleFacts* facts) {
    const char* base = reinterpret_cast<const char*>(module);
    MEMORY_BASIC_INFORMATION info;
    if (!VirtualQuery(base, &info, sizeof info) || info.Type != MEM_IMAGE) return false;
    const IMAGE_DOS_HEADER* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    if (dos->e_magic != IMAGE_DOS_SIGNATURE) return false;
    const IMAGE_NT_HEADERS32* nt = reinterpret_cast<const IMAGE_NT_HEADERS32*>(base + dos->e_lfanew);
    if (nt->Signature != IMAGE_NT_SIGNATURE) return false;
    facts->base = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(base));
    facts->end = facts->base + nt->OptionalHeader.SizeOfImage;
    facts->exportCount = 0;
    for (int i = 0; i < EXPORT_COUNT; ++i) {
        FARPROC address = GetProcAddress(module, FAR_ENTRY_POINTS[i]);
        if (address) facts->exports[facts->exportCount++] = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(address));
    }
    return true;
}

bool overlaps(uintptr_t start, uintptr_t end, uintptr_t otherStart, uintptr_t otherEnd) {
    return start < otherEnd && otherStart < end;
}


struct Search {
    const ModuleFacts* facts;
    uint32_t* buffer;
    uintptr_t skipStart[2], skipEnd[2];   // our stack, our buffer
    int found;
    uint32_t* first;
};

void searchRegion(Search* search, uintptr_t start, uintptr_t end) {
    HANDLE self = GetCurrentProcess();
    for (uintptr_t at = start; at < end && search->found < 2; at += CHUNK_WORDS * 4) {
        size_t words = (end - at) / 4;
        if (words > READ_WORDS) words = READ_WORDS;
        SIZE_T read = 0;
        // A page another thread gives back meanwhile is a failed read, not a fault.
        if (!ReadProcessMemory(self, reinterpret_cast<void*>(at), search->buffer, words * 4, &read)) continue;
        words = read / 4;
        size_t hits[2];
        int n = findHostRecords(search->buffer, words, CHUNK_WORDS, search->facts->base, search->facts->exports,
                                search->facts->exportCount, hits, 2);
        for (int i = 0; i < n && search->found < 2; ++i) {
            if (search->found == 0) search->first = reinterpret_cast<uint32_t*>(at + hits[i] * 4);
            ++search->found;
        }
    }
}

}  // namespace

bool hostMemorySearchable(const MEMORY_BASIC_INFORMATION& info) {
    if (info.State != MEM_COMMIT || info.Type != MEM_PRIVATE) return false;
    if (info.Protect & (PAGE_GUARD | PAGE_NOACCESS)) return false;
    return (info.Protect & 0xFF) == PAGE_READWRITE;
}

HostRecordOutcome detachFromHost(HMODULE module) {
    ModuleFacts facts;
    // Without two exports to go by, no place can be told for certain.
    if (!module || !readModuleFacts(module, &facts) || facts.exportCount < 2) return HOST_RECORD_NOT_FOUND;

    Search search = {};
    search.facts = &facts;
    search.buffer = static_cast<uint32_t*>(VirtualAlloc(nullptr, READ_WORDS * 4, MEM_COMMIT, PAGE_READWRITE));
    if (!search.buffer) return HOST_RECORD_NOT_FOUND;
    const NT_TIB* tib = reinterpret_cast<const NT_TIB*>(NtCurrentTeb());
    search.skipStart[0] = reinterpret_cast<uintptr_t>(tib->StackLimit);
    search.skipEnd[0] = reinterpret_cast<uintptr_t>(tib->StackBase);
    search.skipStart[1] = reinterpret_cast<uintptr_t>(search.buffer);
    search.skipEnd[1] = search.skipStart[1] + READ_WORDS * 4;

    MEMORY_BASIC_INFORMATION info;
    uintptr_t address = 0;
    while (search.found < 2 && VirtualQuery(reinterpret_cast<void*>(address), &info, sizeof info)) {
        uintptr_t start = reinterpret_cast<uintptr_t>(info.BaseAddress);
        uintptr_t end = start + info.RegionSize;
        if (end <= address) break;
        address = end;
        if (!hostMemorySearchable(info)) continue;
        if (overlaps(start, end, search.skipStart[0], search.skipEnd[0]) ||
            overlaps(start, end, search.skipStart[1], search.skipEnd[1]))
            continue;
        searchRegion(&search, start, end);
    }
    VirtualFree(search.buffer, 0, MEM_RELEASE);

    if (search.found == 0) return HOST_RECORD_NOT_FOUND;
    if (search.found > 1) return HOST_RECORD_AMBIGUOUS;
    // The window stops at the end of the region the record lies in.
    if (!VirtualQuery(search.first, &info, sizeof info) || !hostMemorySearchable(info)) return HOST_RECORD_NOT_FOUND;
    uintptr_t regionEnd = reinterpret_cast<uintptr_t>(info.BaseAddress) + info.RegionSize;
    size_t words = (regionEnd - reinterpret_cast<uintptr_t>(search.first)) / 4;
    if (words > HOST_RECORD_WINDOW + 1) words = HOST_RECORD_WINDOW + 1;
    clearImageAddresses(search.first, words, facts.base, facts.end);
    return HOST_RECORD_CLEARED;
}
