#include "catalogue/folderListing.h"

#include "runtime/heap.h"
#include "runtime/text.h"

#include <string.h>

namespace {

unsigned hashOf(const char* path) {
    unsigned h = 2166136261u;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(path); *p; ++p)
        h = (h ^ static_cast<unsigned char>(lowerAscii(static_cast<char>(*p)))) * 16777619u;
    return h;
}

// folder with exactly one trailing backslash into out (MAX_PATH bytes);
// false when it does not fit.
bool withSlash(const char* folder, char* out) {
    if (boundedLength(folder, MAX_PATH) >= MAX_PATH) return false;
    copyText(out, MAX_PATH, folder);
    setEndSlash(out, 1, MAX_PATH);
    size_t n = strlen(out);
    return n && out[n - 1] == '\\';
}

}  // namespace

FolderListing::~FolderListing() {
    for (int i = 0; i < count; ++i) {
        heapFree(folders[i].path);
        heapFree(folders[i].languageFiles);
    }
    heapFree(folders);
    heapFree(index);
}

int FolderListing::find(const char* path, unsigned hash) const {
    if (!indexSize) return -1;
    for (unsigned i = hash & (indexSize - 1);; i = (i + 1) & (indexSize - 1)) {
        int at = index[i] - 1;
        if (at < 0) return -1;
        if (folders[at].hash == hash && equalNoCase(folders[at].path, path)) return at;
    }
}

bool FolderListing::grow() {
    int wanted = capacity ? capacity * 2 : 64;
    Folder* bigger = heapArray<Folder>(static_cast<size_t>(wanted));
    unsigned size = static_cast<unsigned>(wanted) * 2;
    int* bigIndex = heapArray<int>(size);
    if (!bigger || !bigIndex) {
        heapFree(bigger);
        heapFree(bigIndex);
        return false;
    }
    if (count) memcpy(bigger, folders, sizeof(Folder) * static_cast<size_t>(count));
    heapFree(folders);
    heapFree(index);
    folders = bigger;
    capacity = wanted;
    index = bigIndex;
    indexSize = size;
    for (int at = 0; at < count; ++at) {
        unsigned i = folders[at].hash & (indexSize - 1);
        while (index[i]) i = (i + 1) & (indexSize - 1);
        index[i] = at + 1;
    }
    return true;
}

FolderListing::Folder* FolderListing::add(const char* path) {
    unsigned hash = hashOf(path);
    int at = find(path, hash);
    if (at >= 0) return &folders[at];
    if (count == capacity && !grow()) return nullptr;
    char* copy = heapDup(path);
    if (!copy) return nullptr;
    Folder& f = folders[count];
    f.path = copy;
    f.hash = hash;
    unsigned i = hash & (indexSize - 1);
    while (index[i]) i = (i + 1) & (indexSize - 1);
    index[i] = ++count;
    return &f;
}

void FolderListing::addFile(const char* folder, const char* name, DWORD size) {
    // A folder left out for want of memory is walked again when asked for.
    Folder* f = add(folder);
    if (!f) return;
    f->own += size;
    size_t length = strlen(name);
    if (length < 4 || !equalNoCase(name + length - 4, ".lng")) return;
    size_t used = 0;
    if (f->languageFiles)
        while (f->languageFiles[used]) used += strlen(f->languageFiles + used) + 1;
    char* longer = static_cast<char*>(heapAlloc(used + length + 2));
    if (!longer) return;     // the table then searches the folder itself
    if (used) memcpy(longer, f->languageFiles, used);
    memcpy(longer + used, name, length + 1);
    heapFree(f->languageFiles);
    f->languageFiles = longer;
}

void FolderListing::addLink(const char* folder) {
    if (Folder* f = add(folder)) f->linked = true;
}

void FolderListing::finish(const char* top) {
    size_t topLength = strlen(top);
    int seen = count;    // the folders added below come with nothing of their own
    for (int i = 0; i < seen; ++i) {
        DWORD own = folders[i].own;
        bool linked = folders[i].linked;
        folders[i].total += own;
        char path[MAX_PATH];
        copyText(path, sizeof path, folders[i].path);
        for (size_t n = strlen(path); n > topLength;) {
            size_t start = n - 1;      // the last name runs from start to the backslash at n - 1
            while (start > 0 && path[start - 1] != '\\') --start;
            if (start == 0 || start < topLength) break;
            path[start] = 0;
            n = start;
            Folder* above = add(path);
            if (!above) continue;
            above->total += own;
            above->linked = above->linked || linked;
        }
    }
}

bool FolderListing::totalOf(const char* folder, DWORD* total) const {
    char path[MAX_PATH];
    if (!withSlash(folder, path)) return false;
    int at = find(path, hashOf(path));
    if (at < 0 || folders[at].linked) return false;
    *total = folders[at].total;
    return true;
}

const char* FolderListing::languageFilesOf(const char* folder) const {
    char path[MAX_PATH];
    if (!withSlash(folder, path)) return nullptr;
    int at = find(path, hashOf(path));
    if (at < 0) return nullptr;
    return folders[at].languageFiles ? folders[at].languageFiles : "\0";
}
