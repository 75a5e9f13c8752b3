#include "catalogue/folderWalk.h"

#include "state/pluginState.h"
#include "runtime/handles.h"
#include "runtime/heap.h"
#include "runtime/text.h"

#include <string.h>

namespace {

// Identity of a folder on disk, so that a linked folder that leads back to
// one of its ancestors is recognised whatever path reaches it. Loops need a
// link, so identities are taken only when a linked folder is met, and then
// for the ancestors too, each at most once.
struct FolderId {
    const char* path;          // the folder's own working path buffer
    size_t length;             // of the folder path within it (with backslash)
    bool looked, known;
    DWORD volume, indexHigh, indexLow;
    FolderId* parent;
};

void lookUp(FolderId* id) {
    if (id->looked) return;
    id->looked = true;
    char path[MAX_PATH];
    copyTextN(path, sizeof path, id->path, id->length);
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

bool leadsToAncestor(FolderId* link) {
    lookUp(link);
    if (!link->known) return false;
    for (FolderId* a = link->parent; a; a = a->parent) {
        lookUp(a);
        if (a->known && a->volume == link->volume && a->indexHigh == link->indexHigh && a->indexLow == link->indexLow)
            return true;
    }
    return false;
}

int walk(const char* folder, VisitFunction visit, void* context, int recurse, FolderId* parent) {
    char path[MAX_PATH];
    if (boundedLength(folder, MAX_PATH) >= MAX_PATH) return 0;
    copyText(path, sizeof path, folder);
    setEndSlash(path, 1, sizeof path);
    size_t folderEnd = strlen(path);
    if (path[folderEnd - 1] != '\\' || !appendWhole(path, sizeof path, "*.*")) return 0;

    WIN32_FIND_DATAA entry;
    FindHandle find(path, &entry);
    if (!find.found()) return 0;

    FolderId self = {path, folderEnd, false, false, 0, 0, 0, parent};
    int count = 0;
    do {
        if (!strcmp(entry.cFileName, ".") || !strcmp(entry.cFileName, "..")) continue;
        ++count;
        path[folderEnd] = 0;
        if (visit) visit(&entry, path, context);
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || !recurse) continue;
        if (!appendWhole(path, sizeof path, entry.cFileName)) continue;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
            FolderId link = {path, strlen(path), false, false, 0, 0, 0, &self};
            if (leadsToAncestor(&link)) continue;
        }
        walk(path, visit, context, 1, &self);
    } while (find.next(&entry));
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
