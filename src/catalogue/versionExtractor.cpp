#include "catalogue/versionExtractor.h"

#include "catalogue/versionText.h"
#include "runtime/heap.h"
#include "runtime/handles.h"
#include "runtime/text.h"

#include <stdio.h>

namespace {

// A line of file_id.diz is read up to this many characters at a time.
constexpr int DIZ_LINE_CHARS = 259;

class VersionBlock {
public:
    explicit VersionBlock(const char* path) {
        DWORD ignored = 0;
        DWORD size = GetFileVersionInfoSizeA(path, &ignored);
        if (!size) return;
        // Two spare zero bytes end any text that runs to the block's end.
        block_ = heapAlloc(size + 2);
        if (block_ && !GetFileVersionInfoA(path, 0, size, block_)) {
            heapFree(block_);
            block_ = nullptr;
        }
    }
    ~VersionBlock() { heapFree(block_); }
    VersionBlock(const VersionBlock&) = delete;
    VersionBlock& operator=(const VersionBlock&) = delete;

    // The FileVersion string of the first translation, or nullptr.
    const char* fileVersion() const {
        if (!block_) return nullptr;
        void* value = nullptr;
        UINT length = 0;
        if (!VerQueryValueA(block_, "\\VarFileInfo\\Translation", &value, &length) || !value ||
            length < 2 * sizeof(WORD))
            return nullptr;
        const WORD* pair = static_cast<const WORD*>(value);
        char query[64];
        snprintf(query, sizeof query, "\\StringFileInfo\\%04x%04x\\FileVersion", pair[0], pair[1]);
        value = nullptr;
        length = 0;
        if (!VerQueryValueA(block_, query, &value, &length) || !value) return nullptr;
        return static_cast<const char*>(value);
    }

private:
    void* block_ = nullptr;
};

} // namespace

bool resourceVersion(CatalogueRecord* record, const char* dllPath) {
    VersionBlock info(dllPath);
    const char* text = info.fileVersion();
    if (!text) return false;
    storeVersion(record->version, text, VERSION_CHARS);
    return true;
}

bool dizVersion(char* version, const char* folder) {
    char path[MAX_PATH];
    copyText(path, sizeof path, folder);
    if (!appendWhole(path, sizeof path, "file_id.diz")) return false;
    FileHandle file(path, "rt");
    if (!file.get()) return false;
    bool found = false;
    char line[DIZ_LINE_CHARS + 1];
    while (!found && fgets(line, sizeof line, file.get())) {
        lowerLetters(line);
        size_t length = 0;
        if (const char* text = findVersion(line, &length)) {
            storeVersion(version, text, length);
            found = true;
        }
    }
    return found;
}

void extractVersion(CatalogueRecord* record, PluginPanelItem* item) {
    if (!record || !item) return;
    item->Owner = nullptr;
    char dllPath[MAX_PATH];
    copyText(dllPath, sizeof dllPath, record->dllPath);
    char folder[MAX_PATH];
    if (resourceVersion(record, dllPath) ||
        (versionFolderOf(dllPath, folder, sizeof folder) && dizVersion(record->version, folder)))
        item->Owner = record->version;
}

void applyCachedVersion(CatalogueRecord* record, PluginPanelItem* item) {
    if (!record || !item) return;
    item->Owner = item->Owner && record->version[0] ? record->version : nullptr;
}
