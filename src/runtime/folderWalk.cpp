#include "runtime/folderWalk.h"

#include "runtime/handles.h"
#include "runtime/heap.h"
#include "runtime/text.h"

#include <string.h>

namespace {

// Identity of a folder on disk, so that a linked folder that leads back into
// the walk is recognised whatever path reaches it.
struct FolderId {
    bool looked, known;
    DWORD volume, indexHigh, indexLow;
};

void lookUp(const char* path, FolderId* id) {
    if (id->looked) return;
    id->looked = true;
    HANDLE h = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                           FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return;
    BY_HANDLE_FILE_INFORMATION info;
    if (GetFileInformationByHandle(h, &info) && (info.nFileIndexHigh || info.nFileIndexLow)) {
        id->volume = info.dwVolumeSerialNumber;
        id->indexHigh = info.nFileIndexHigh;
        id->indexLow = info.nFileIndexLow;
        id->known = true;
    }
    CloseHandle(h);
}

bool sameFolder(const FolderId& a, const FolderId& b) {
    return a.known && b.known && a.volume == b.volume && a.indexHigh == b.indexHigh && a.indexLow == b.indexLow;
}

// The folders one walk has entered, and the folders above its start. Loops
// need a link, so identities are taken only when a linked folder is met, and
// then each folder's at most once.
class WalkedFolders {
public:
    WalkedFolders() : entries(nullptr), count(0), capacity(0) {}
    ~WalkedFolders() {
        for (int i = 0; i < count; ++i) heapFree(entries[i].path);
        heapFree(entries);
    }
    WalkedFolders(const WalkedFolders&) = delete;
    WalkedFolders& operator=(const WalkedFolders&) = delete;

    // Remembers a folder (path with trailing backslash); the start first.
    void enter(const char* path) {
        if (count == capacity && !grow()) return;
        Entry& e = entries[count];
        e.path = heapDup(path);
        if (!e.path) return;
        memset(&e.id, 0, sizeof e.id);
        ++count;
    }

    // A linked folder that leads to a folder already entered, or to one above
    // the start, would walk something twice (or for ever).
    bool leadsBack(const char* link) {
        FolderId target = {};
        lookUp(link, &target);
        if (!target.known) return false;
        for (int i = 0; i < count; ++i) {
            lookUp(entries[i].path, &entries[i].id);
            if (sameFolder(entries[i].id, target)) return true;
        }
        return count > 0 && aboveStart(entries[0].path, target);
    }

private:
    struct Entry {
        char* path;
        FolderId id;
    };
    Entry* entries;
    int count, capacity;

    bool grow() {
        int wanted = capacity ? capacity * 2 : 32;
        Entry* bigger = heapArray<Entry>(static_cast<size_t>(wanted));
        if (!bigger) return false;
        if (entries) memcpy(bigger, entries, sizeof(Entry) * static_cast<size_t>(count));
        heapFree(entries);
        entries = bigger;
        capacity = wanted;
        return true;
    }

    static bool aboveStart(const char* start, const FolderId& target) {
        char path[MAX_PATH];
        copyText(path, sizeof path, start);
        size_t length = strlen(path);
        if (length && path[length - 1] == '\\') path[--length] = 0;
        while (char* slash = strrchr(path, '\\')) {
            slash[1] = 0;              // "C:\" keeps its backslash
            FolderId above = {};
            lookUp(path, &above);
            if (sameFolder(above, target)) return true;
            *slash = 0;
        }
        return false;
    }
};

int walk(const char* folder, VisitFunction visit, void* context, int recurse, WalkedFolders* walked) {
    char path[MAX_PATH];
    if (boundedLength(folder, MAX_PATH) >= MAX_PATH) return 0;
    copyText(path, sizeof path, folder);
    setEndSlash(path, 1, sizeof path);
    size_t folderEnd = strlen(path);
    if (path[folderEnd - 1] != '\\') return 0;
    if (recurse) walked->enter(path);
    if (!appendWhole(path, sizeof path, "*.*")) return 0;

    WIN32_FIND_DATAA entry;
    FindHandle find(path, &entry);
    if (!find.found()) return 0;

    int count = 0;
    do {
        if (!strcmp(entry.cFileName, ".") || !strcmp(entry.cFileName, "..")) continue;
        ++count;
        path[folderEnd] = 0;
        if (visit) visit(&entry, path, context);
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || !recurse) continue;
        if (!appendWhole(path, sizeof path, entry.cFileName)) continue;
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) && walked->leadsBack(path)) continue;
        walk(path, visit, context, 1, walked);
    } while (find.next(&entry));
    return count;
}

}  // namespace

int walkFolder(const char* folder, VisitFunction visit, void* context, int recurse) {
    if (!folder) return 0;
    WalkedFolders walked;
    return walk(folder, visit, context, recurse, &walked);
}

int sumFileSizes(const WIN32_FIND_DATAA* entry, const char*, void* total) {
    if (total && !(entry->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        *static_cast<DWORD*>(total) += entry->nFileSizeLow;
    return 0;
}

namespace {

struct Named {
    const char* name;
    bool found;
};

int noteNamed(const WIN32_FIND_DATAA* entry, const char*, void* context) {
    Named* named = static_cast<Named*>(context);
    if (!(entry->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && equalNoCase(entry->cFileName, named->name))
        named->found = true;
    return 0;
}

}  // namespace

bool fileNamedUnder(const char* folder, const char* name) {
    Named named = {name, false};
    walkFolder(folder, noteNamed, &named, 1);
    return named.found;
}
