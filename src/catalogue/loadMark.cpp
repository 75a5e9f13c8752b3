#include "catalogue/loadMark.h"

namespace {

// The host reads these after GetFindData returns: they live as long as the DLL.
const char* loadedMark[1] = {"*"};
const char* unloadedMark[1] = {"-"};
const char* switchedOffMark[1] = {"o"};

}  // namespace

LoadMark loadMarkOf(LoadState state, bool markLoaded) {
    // A plugin the user unloaded here is marked whatever the setting: it is
    // gone from FAR until Shift+F6 or a restart, and the list must say so.
    // So is one switched off: FAR does not know it at all.
    if (!markLoaded && state != LOAD_UNLOADED_HERE && state != LOAD_SWITCHED_OFF) return {0, ""};
    switch (state) {
    case LOAD_LOADED: return {FILE_ATTRIBUTE_SYSTEM, loadedMark[0]};
    case LOAD_UNLOADED_HERE: return {0, unloadedMark[0]};
    case LOAD_SWITCHED_OFF: return {0, switchedOffMark[0]};
    default: return {0, ""};
    }
}

void applyLoadMark(PluginPanelItem* item, LoadState state, bool markLoaded) {
    LoadMark mark = loadMarkOf(state, markLoaded);
    item->FindData.dwFileAttributes |= mark.attributes;
    item->CustomColumnData = nullptr;
    item->CustomColumnNumber = 0;
    if (mark.text == loadedMark[0]) item->CustomColumnData = const_cast<char**>(loadedMark);
    else if (mark.text == unloadedMark[0]) item->CustomColumnData = const_cast<char**>(unloadedMark);
    else if (mark.text == switchedOffMark[0]) item->CustomColumnData = const_cast<char**>(switchedOffMark);
    if (item->CustomColumnData) item->CustomColumnNumber = 1;
}
