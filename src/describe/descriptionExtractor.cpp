#include "describe/descriptionExtractor.h"

#include "describe/descriptionText.h"
#include "runtime/handles.h"
#include "runtime/text.h"

#include <stdio.h>

namespace {

constexpr size_t DESCRIPTION_SIZE = 128;
// The first line of a file_id.diz is read up to this many characters.
constexpr int DIZ_LINE_CHARS = 299;

// Builds folder + name; false when the path would not fit.
bool composePath(char* path, const char* folder, const char* name) {
    path[0] = 0;
    return appendWhole(path, MAX_PATH, folder) && appendWhole(path, MAX_PATH, name);
}

void fromHelpFile(char* description, const char* folder) {
    char path[MAX_PATH];
    if (!composePath(path, folder, "*.hlf")) return;
    WIN32_FIND_DATAA data;
    FindHandle search(path, &data);
    if (!search.found()) return;
    if (!composePath(path, folder, data.cFileName)) return;
    FileHandle file(path, "rt");
    if (!file.get()) return;
    scanHelpContents(readFilePiece, file.get(), description, DESCRIPTION_SIZE);
}

void fromDizFile(char* description, const char* folder) {
    char path[MAX_PATH];
    if (!composePath(path, folder, "file_id.diz")) return;
    FileHandle file(path, "rt");
    if (!file.get()) return;
    char line[DIZ_LINE_CHARS + 1] = {};
    if (!fgets(line, sizeof line, file.get())) return;
    cleanDizLine(line, description, DESCRIPTION_SIZE);
}

bool hasMenuStrings(const PluginInfo* info) {
    return info->DiskMenuStringsNumber || info->PluginMenuStringsNumber || info->PluginConfigStringsNumber;
}

} // namespace

bool extractDescription(char* description, const char* folder, const PluginInfo* info) {
    if (!description) return false;
    description[0] = 0;
    const char* menuString = info && info->StructSize ? menuDescriptionOf(info) : nullptr;
    if (menuString) copyTextN(description, DESCRIPTION_SIZE, menuString, DESCRIPTION_CHARS);
    // An empty menu item (a plugin whose texts were not found) tells nothing;
    // a plugin with no menus at all is described by its file_id.diz alone.
    bool hasNoMenus = menuString && !menuString[0] && !hasMenuStrings(info);
    if (!description[0] && folder && !hasNoMenus) fromHelpFile(description, folder);
    if (!description[0] && folder) fromDizFile(description, folder);
    return description[0] != 0;
}
