#include "describe/versionExtractor.h"

#include "dll/peVersion.h"
#include "describe/versionText.h"
#include "runtime/heap.h"
#include "runtime/handles.h"
#include "runtime/text.h"

#include <stdio.h>

namespace {

// A line of file_id.diz is read up to this many characters at a time.
constexpr int DIZ_LINE_CHARS = 259;
// More of a FileVersion text than the version field could ever show.
constexpr size_t VERSION_READ_CHARS = 128;

// The DLL's FileVersion, read from its file's bytes: loading it as data would
// map it as a module once more.
bool fileVersionOf(const uint8_t* data, size_t size, char* out, size_t cap) {
    PeImage image;
    if (openPeImage(&image, data, size) == PE_NOT_IMAGE) return false;
    const uint8_t* text = nullptr;
    size_t length = 0;
    if (!peFileVersion(image, &text, &length)) return false;
    WCHAR wide[VERSION_READ_CHARS];
    if (length > VERSION_READ_CHARS) length = VERSION_READ_CHARS;
    for (size_t i = 0; i < length; ++i) wide[i] = static_cast<WCHAR>(text[2 * i] | (text[2 * i + 1] << 8));
    int n = length ? WideCharToMultiByte(CP_ACP, 0, wide, static_cast<int>(length), out, static_cast<int>(cap - 1),
                                         nullptr, nullptr)
                   : 0;
    out[n > 0 ? n : 0] = 0;
    return true;
}

} // namespace

bool resourceVersionIn(CatalogueRecord* record, const uint8_t* data, size_t size) {
    char text[VERSION_READ_CHARS * 2 + 1];
    if (!fileVersionOf(data, size, text, sizeof text)) return false;
    storeVersion(record->version, text, VERSION_CHARS);
    return true;
}

bool resourceVersion(CatalogueRecord* record, const char* dllPath) {
    MappedFile file(dllPath);
    return resourceVersionIn(record, file.data(), file.size());
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
