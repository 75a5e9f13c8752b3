#include "catalogue/folderWalk.h"

#include "entry/pluginState.h"
#include "runtime/heap.h"
#include "runtime/text.h"

#include <string.h>

namespace {

struct FindHandle {
    HANDLE h;
    explicit FindHandle(HANDLE handle) : h(handle) {}
    ~FindHandle() { if (h != INVALID_HANDLE_VALUE) FindClose(h); }
};

// Identity of a folder on disk, so that a linked folder that leads back to
// one of its ancestors is recognised whatever path reaches it.
struct FolderId {
    DWORD volume, indexHigh, indexLow;
    bool known;
    const FolderId* parent;
};

FolderId folderIdentity(const char* path, const FolderId* parent) {
    FolderId id = {0, 0, 0, false, parent};
    HANDLE h = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                           FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return id;
    BY_HANDLE_FILE_INFORMATION info;
    if (GetFileInformationByHandle(h, &info) && (info.nFileIndexHigh || info.nFileIndexLow)) {
        id.volume = info.dwVolumeSerialNumber;
        id.indexHigh = info.nFileIndexHigh;
        id.indexLow = info.nFileIndexLow;
        id.known = true;
    }
    CloseHandle(h);
    return id;
}

bool onAncestorChain(const FolderId& id) {
    if (!id.known) return false;
    for (const FolderId* a = id.parent; a; a = a->parent)
        if (a->known && a->volume == id.volume && a->indexHigh == id.indexHigh && a->indexLow == id.indexLow)
            return true;
    return false;
}

int walk(const char* folder, VisitFunction visit, void* context, int recurse, const FolderId* parent) {
    char path[MAX_PATH];
    if (boundedLength(folder, MAX_PATH) >= MAX_PATH) return 0;
    copyText(path, sizeof path, folder);
    setEndSlash(path, 1, sizeof path);
    size_t folderEnd = strlen(path);
    if (path[folderEnd - 1] != '\\' || !appendWhole(path, sizeof path, "*.*")) return 0;

    WIN32_FIND_DATAA entry;
    FindHandle find(FindFirstFileA(path, &entry));
    if (find.h == INVALID_HANDLE_VALUE) return 0;

    FolderId self = {0, 0, 0, false, parent};
    bool selfKnown = false;
    int count = 0;
    do {
        if (!strcmp(entry.cFileName, ".") || !strcmp(entry.cFileName, "..")) continue;
        ++count;
        path[folderEnd] = 0;
        if (visit) visit(&entry, path, context);
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || !recurse) continue;
        if (!appendWhole(path, sizeof path, entry.cFileName)) continue;
        if (!selfKnown) {
            char own[MAX_PATH];
            copyTextN(own, sizeof own, path, folderEnd);
            self = folderIdentity(own, parent);
            selfKnown = true;
        }
        FolderId child = folderIdentity(path, &self);
        if (onAncestorChain(child)) continue;
        walk(path, visit, context, 1, &self);
    } while (FindNextFileA(find.h, &entry));
    return count;
}

}  // namespace

int walkFolder(const char* folder, VisitFunction visit, void* context, int recurse) {
    if (!folder) return 0;
    return walk(folder, visit, context, recurse, nullptr);
}

int sumFileSizes(const WIN32_FIND_DATAA* entry, const char*, void* total) {
    if (total && !(entry->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        *static_cast<DWORD*>(total) += entry->nFileSizeLow;
    return 0;
}

int collectDll(const WIN32_FIND_DATAA* entry, const char* folder, void* stack) {
    if (entry->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return 0;
    const char* dot = strrchr(entry->cFileName, '.');
    if (!dot || !equalNoCase(dot, ".dll")) return 0;
    char path[MAX_PATH];
    copyText(path, sizeof path, folder);
    if (!appendWhole(path, sizeof path, entry->cFileName)) return 0;
    char* copy = heapDup(path);
    if (!copy) return 0;
    static_cast<JStack*>(stack)->push(copy);
    return 1;
}

void JStack::push(char* text) {
    Node* node = heapArray<Node>(1);
    if (!node) {
        heapFree(text);
        return;
    }
    node->text = text;
    node->next = top;
    top = node;
}

char* JStack::pop() {
    if (!top) return nullptr;
    Node* node = top;
    char* text = node->text;
    top = node->next;
    heapFree(node);
    return text;
}

int JStack::count() const {
    int n = 0;
    for (Node* node = top; node; node = node->next) ++n;
    return n;
}

void JStack::clear() {
    while (char* text = pop()) heapFree(text);
}

void discoverPlugins(JStack* stack) {
    walkFolder(pluginsRoot, collectDll, stack, 1);
    if (personalPluginsFolder) walkFolder(personalPluginsFolder, collectDll, stack, 1);
}
