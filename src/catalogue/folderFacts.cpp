#include "catalogue/folderFacts.h"

#include "describe/descriptionExtractor.h"
#include "runtime/folderWalk.h"
#include "describe/versionExtractor.h"
#include "runtime/heap.h"
#include "runtime/text.h"

#include <string.h>

namespace {

const char TOTAL = 't';
const char DESCRIPTION = 'd';
const char VERSION = 'v';
const size_t VERSION_BYTES = 16;
const size_t DESCRIPTION_BYTES = 128;

unsigned char upper(unsigned char c) { return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 32) : c; }

unsigned hashOf(char kind, const char* text) {
    unsigned h = 2166136261u ^ static_cast<unsigned char>(kind);
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p) h = (h ^ upper(*p)) * 16777619u;
    return h;
}

}  // namespace

FolderFacts::FolderFacts(int expectedFolders) : slots(nullptr), capacity(0), used(0), walks(0), reads(0) {
    // Three kinds of fact a folder, and kept at most half full, so that a probe
    // ends at an empty slot soon.
    unsigned wanted = expectedFolders > 0 ? static_cast<unsigned>(expectedFolders) * 6 + 1 : 17;
    slots = heapArray<Slot>(wanted);
    if (slots) capacity = wanted;
}

FolderFacts::~FolderFacts() {
    for (unsigned i = 0; i < capacity; ++i) {
        heapFree(slots[i].folder);
        heapFree(slots[i].text);
    }
    heapFree(slots);
}

FolderFacts::Slot* FolderFacts::find(char kind, const char* folder, bool* found) {
    *found = false;
    if (!capacity) return nullptr;
    for (unsigned i = hashOf(kind, folder) % capacity;; i = (i + 1) % capacity) {
        Slot& slot = slots[i];
        if (!slot.folder) return &slot;
        if (slot.kind == kind && equalNoCase(slot.folder, folder)) {
            *found = true;
            return &slot;
        }
    }
}

void FolderFacts::remember(Slot* slot, char kind, const char* folder) {
    // A table fuller than expected only stops remembering; one slot always
    // stays empty so that every search ends.
    if (!slot || used + 1 >= capacity) return;
    slot->folder = heapDup(folder);
    if (!slot->folder) return;
    slot->kind = kind;
    ++used;
}

DWORD FolderFacts::totalOf(const char* folder) {
    bool found;
    Slot* slot = find(TOTAL, folder, &found);
    if (found) return slot->total;
    DWORD total = 0;
    walkFolder(folder, sumFileSizes, &total, 1);
    ++walks;
    remember(slot, TOTAL, folder);
    if (slot && slot->folder) slot->total = total;
    return total;
}

void FolderFacts::filesDescriptionOf(const char* folder, char* description) {
    bool found;
    Slot* slot = find(DESCRIPTION, folder, &found);
    if (found) {
        copyText(description, DESCRIPTION_BYTES, slot->text ? slot->text : "");
        return;
    }
    extractDescription(description, folder, nullptr);
    ++reads;
    remember(slot, DESCRIPTION, folder);
    if (slot && slot->folder && description[0]) slot->text = heapDup(description);
}

bool FolderFacts::dizVersionOf(const char* folder, char* version) {
    bool found;
    Slot* slot = find(VERSION, folder, &found);
    if (found) {
        if (!slot->text) return false;
        memcpy(version, slot->text, VERSION_BYTES);
        return true;
    }
    char read[VERSION_BYTES] = {};
    bool has = dizVersion(read, folder);
    ++reads;
    remember(slot, VERSION, folder);
    if (has) {
        memcpy(version, read, VERSION_BYTES);
        if (slot && slot->folder) {
            slot->text = static_cast<char*>(heapAlloc(VERSION_BYTES));
            if (slot->text) memcpy(slot->text, read, VERSION_BYTES);
        }
    }
    return has;
}
