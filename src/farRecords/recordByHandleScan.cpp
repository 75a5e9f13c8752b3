#include "farRecords/recordByHandleScan.h"

namespace {

bool listed(uint32_t word, const uint32_t* values, int count) {
    for (int i = 0; i < count; ++i)
        if (values[i] == word) return true;
    return false;
}

}  // namespace

bool isHostRecordAt(const uint32_t* words, size_t count, size_t at, uint32_t handle, const uint32_t* exports,
                    int exportCount) {
    if (at >= count || words[at] != handle || handle == 0) return false;
    size_t end = at + 1 + HOST_RECORD_WINDOW;
    if (end > count) end = count;
    // Distinct exports seen: one address repeated is not two exports.
    uint32_t seen[2];
    int found = 0;
    for (size_t i = at + 1; i < end; ++i) {
        uint32_t w = words[i];
        // Another copy of the handle starts another record, or is a stray
        // copy (the loader's own list) in front of the real one.
        if (w == handle) break;
        if (!w || !listed(w, exports, exportCount) || listed(w, seen, found)) continue;
        seen[found++] = w;
        if (found == 2) return true;
    }
    return false;
}

int findHostRecords(const uint32_t* words, size_t count, size_t searchCount, uint32_t handle,
                    const uint32_t* exports, int exportCount, size_t* hits, int maxHits) {
    if (searchCount > count) searchCount = count;
    int found = 0;
    for (size_t i = 0; i < searchCount; ++i) {
        if (words[i] != handle || !isHostRecordAt(words, count, i, handle, exports, exportCount)) continue;
        if (hits && found < maxHits) hits[found] = i;
        ++found;
    }
    return found;
}

int clearImageAddresses(uint32_t* words, size_t count, uint32_t imageStart, uint32_t imageEnd) {
    int cleared = 0;
    for (size_t i = 0; i < count; ++i) {
        if (words[i] >= imageStart && words[i] < imageEnd) {
            words[i] = 0;
            ++cleared;
        }
    }
    return cleared;
}
