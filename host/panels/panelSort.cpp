#include "panels/panelSort.h"

#include "common/hostText.h"

#include <windows.h>

namespace farhost {

namespace {

bool isFolder(const PanelEntry& e) {
    return (e.raw.FindData.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

int sign(int v) { return v < 0 ? -1 : (v > 0 ? 1 : 0); }

int compareNames(const PanelEntry& a, const PanelEntry& b) {
    int r = lstrcmpiA(namePart(a.name).c_str(), namePart(b.name).c_str());
    if (r == 0) r = lstrcmpiA(a.name.c_str(), b.name.c_str());
    return sign(r);
}

std::string extensionOf(const std::string& name) {
    std::string shown = namePart(name);
    size_t dot = shown.find_last_of('.');
    return (dot == std::string::npos || dot == 0) ? std::string() : shown.substr(dot + 1);
}

unsigned long long fileSize(const PanelEntry& e) {
    return (static_cast<unsigned long long>(e.raw.FindData.nFileSizeHigh) << 32) | e.raw.FindData.nFileSizeLow;
}

unsigned long long packedSize(const PanelEntry& e) {
    return (static_cast<unsigned long long>(e.raw.PackSizeHigh) << 32) | e.raw.PackSize;
}

int newerFirst(const FILETIME& a, const FILETIME& b) {
    return -CompareFileTime(&a, &b);
}

int largerFirst(unsigned long long a, unsigned long long b) {
    return a > b ? -1 : (a < b ? 1 : 0);
}

int textsPresentFirst(bool hasA, const std::string& a, bool hasB, const std::string& b) {
    bool fullA = hasA && !a.empty(), fullB = hasB && !b.empty();
    if (fullA != fullB) return fullA ? -1 : 1;
    if (!fullA) return 0;
    return sign(lstrcmpiA(a.c_str(), b.c_str()));
}

}  // namespace

int hostCompare(const PanelEntry& a, const PanelEntry& b, int sortMode) {
    int r = 0;
    switch (sortMode) {
    case SM_UNSORTED: return 0;
    case SM_EXT: r = sign(lstrcmpiA(extensionOf(a.name).c_str(), extensionOf(b.name).c_str())); break;
    case SM_MTIME: r = newerFirst(a.raw.FindData.ftLastWriteTime, b.raw.FindData.ftLastWriteTime); break;
    case SM_CTIME: r = newerFirst(a.raw.FindData.ftCreationTime, b.raw.FindData.ftCreationTime); break;
    case SM_ATIME: r = newerFirst(a.raw.FindData.ftLastAccessTime, b.raw.FindData.ftLastAccessTime); break;
    case SM_SIZE: r = largerFirst(fileSize(a), fileSize(b)); break;
    case SM_COMPRESSEDSIZE: r = largerFirst(packedSize(a), packedSize(b)); break;
    case SM_NUMLINKS: r = a.raw.NumberOfLinks > b.raw.NumberOfLinks ? -1 : (a.raw.NumberOfLinks < b.raw.NumberOfLinks ? 1 : 0); break;
    case SM_DESCR: r = textsPresentFirst(a.hasDescription, a.description, b.hasDescription, b.description); break;
    case SM_OWNER: r = textsPresentFirst(a.hasOwner, a.owner, b.hasOwner, b.owner); break;
    default: break;
    }
    return r != 0 ? r : compareNames(a, b);
}

void stableSortEntries(std::vector<PanelEntry>& items, const EntryCompare& cmp) {
    size_t n = items.size();
    if (n < 2) return;
    // Sorting indexes keeps the entries (and the pointers into them) still until the end.
    std::vector<size_t> order(n), buffer(n);
    for (size_t i = 0; i < n; ++i) order[i] = i;
    for (size_t width = 1; width < n; width *= 2) {
        for (size_t lo = 0; lo < n; lo += 2 * width) {
            size_t mid = lo + width < n ? lo + width : n;
            size_t hi = lo + 2 * width < n ? lo + 2 * width : n;
            size_t i = lo, j = mid, k = lo;
            while (i < mid && j < hi) {
                // Take from the right only when it is strictly smaller: stability.
                if (cmp(items[order[j]], items[order[i]]) < 0) buffer[k++] = order[j++];
                else buffer[k++] = order[i++];
            }
            while (i < mid) buffer[k++] = order[i++];
            while (j < hi) buffer[k++] = order[j++];
        }
        order.swap(buffer);
    }
    std::vector<PanelEntry> sorted;
    sorted.reserve(n);
    for (size_t i = 0; i < n; ++i) sorted.push_back(items[order[i]]);
    items.swap(sorted);
}

void sortPanelEntries(std::vector<PanelEntry>& items, int sortMode, int order, const EntryCompare& pluginCompare) {
    int direction = order < 0 ? -1 : 1;
    stableSortEntries(items, [&](const PanelEntry& a, const PanelEntry& b) {
        if (a.isDots != b.isDots) return a.isDots ? -1 : 1;
        if (sortMode == SM_UNSORTED) return 0;
        if (isFolder(a) != isFolder(b)) return isFolder(a) ? -1 : 1;
        if (pluginCompare) {
            int r = pluginCompare(a, b);
            if (r != -2) return direction * sign(r);
        }
        return direction * hostCompare(a, b, sortMode);
    });
}

}  // namespace farhost
