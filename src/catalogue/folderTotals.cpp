#include "catalogue/folderTotals.h"

#include "catalogue/folderWalk.h"
#include "runtime/heap.h"
#include "runtime/text.h"

namespace {

unsigned char upper(unsigned char c) { return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 32) : c; }

unsigned hashOf(const char* text) {
    unsigned h = 2166136261u;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p) h = (h ^ upper(*p)) * 16777619u;
    return h;
}

}  // namespace

FolderTotals::FolderTotals(int expectedFolders) : slots(nullptr), capacity(0), used(0), walks(0) {
    // Kept at most half full, so a probe ends at an empty slot soon.
    unsigned wanted = expectedFolders > 0 ? static_cast<unsigned>(expectedFolders) * 2 + 1 : 17;
    slots = heapArray<Slot>(wanted);
    if (slots) capacity = wanted;
}

FolderTotals::~FolderTotals() {
    for (unsigned i = 0; i < capacity; ++i) heapFree(slots[i].folder);
    heapFree(slots);
}

DWORD FolderTotals::of(const char* folder) {
    Slot* slot = nullptr;
    if (capacity) {
        for (unsigned i = hashOf(folder) % capacity;; i = (i + 1) % capacity) {
            if (!slots[i].folder) {
                slot = &slots[i];
                break;
            }
            if (equalNoCase(slots[i].folder, folder)) return slots[i].total;
        }
    }
    DWORD total = 0;
    walkFolder(folder, sumFileSizes, &total, 1);
    ++walks;
    // A full table (more folders than expected) only stops remembering.
    if (slot && used + 1 < capacity) {
        slot->folder = heapDup(folder);
        if (slot->folder) {
            slot->total = total;
            ++used;
        }
    }
    return total;
}
