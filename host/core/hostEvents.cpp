// The ways into plugins that may start one, other than the menus: the command
// line's prefixes, files opened through OpenFilePlugin, the editor's and the
// viewer's events. Each goes through every plugin in the array's order whose
// record has the entry, loading those known from the plugin cache first.
#include "core/host.h"

#include "common/hostText.h"

namespace farhost {

void Host::setLanguage(const std::string& language) {
    options_.language = language;
    for (int i = 0; i < records_.count(); ++i) dropMessageTable(records_.at(i));
}

Panel* Host::commandLine(const std::string& command) {
    size_t colon = command.find(':');
    if (colon == std::string::npos || colon == 0) return nullptr;
    std::string prefix = command.substr(0, colon);
    loadIfCacheAbsent();
    for (Plugin* plugin : std::vector<Plugin*>(byIndex_)) {
        if (!plugin->record_ || (!plugin->known() && !plugin->has("GetPluginInfo"))) continue;
        bool holds = false;
        for (const std::string& own : splitText(plugin->commandPrefix(), ':')) holds = holds || equalNoCase(own, prefix);
        if (!holds) continue;
        // The text stays alive for the length of the call.
        static std::string text;
        text = command.substr(colon + 1);
        return plugin->open(OPEN_COMMANDLINE, static_cast<int>(reinterpret_cast<intptr_t>(text.c_str())));
    }
    transcribe("> no plugin has the command prefix \"" + prefix + "\"");
    return nullptr;
}

int Host::editorEvent(int event, void* param) {
    int result = 0;
    for (Plugin* plugin : std::vector<Plugin*>(byIndex_)) {
        auto fn = reinterpret_cast<PFN_ProcessEditorEvent>(plugin->enter(Export::ProcessEditorEvent));
        if (!fn) continue;
        ActivePanelScope scope(this, nullptr);
        if (plugin->call("ProcessEditorEvent", [&] { result = fn(event, param); }))
            transcribe("> ProcessEditorEvent(" + std::to_string(event) + ") of " + namePart(plugin->path_) + " = " +
                       std::to_string(result));
    }
    return result;
}

bool Host::editorInput(const INPUT_RECORD& input) {
    for (Plugin* plugin : std::vector<Plugin*>(byIndex_)) {
        auto fn = reinterpret_cast<PFN_ProcessEditorInput>(plugin->enter(Export::ProcessEditorInput));
        if (!fn) continue;
        ActivePanelScope scope(this, nullptr);
        int taken = 0;
        if (plugin->call("ProcessEditorInput", [&] { taken = fn(&input); }))
            transcribe("> ProcessEditorInput of " + namePart(plugin->path_) + " = " + std::to_string(taken));
        if (taken) return true;
    }
    return false;
}

int Host::viewerEvent(int event, void* param) {
    int result = 0;
    for (Plugin* plugin : std::vector<Plugin*>(byIndex_)) {
        auto fn = reinterpret_cast<PFN_ProcessViewerEvent>(plugin->enter(Export::ProcessViewerEvent));
        if (!fn) continue;
        ActivePanelScope scope(this, nullptr);
        if (plugin->call("ProcessViewerEvent", [&] { result = fn(event, param); }))
            transcribe("> ProcessViewerEvent(" + std::to_string(event) + ") of " + namePart(plugin->path_) + " = " +
                       std::to_string(result));
    }
    return result;
}

int Host::dialogEvent(int event, void* param) {
    // Only FAR 1.75's record has the word; the first plugin that takes the event ends the round.
    for (Plugin* plugin : std::vector<Plugin*>(byIndex_)) {
        auto fn = reinterpret_cast<PFN_ProcessDialogEvent>(plugin->enter(Export::ProcessDialogEvent));
        if (!fn) continue;
        ActivePanelScope scope(this, nullptr);
        int taken = 0;
        if (plugin->call("ProcessDialogEvent", [&] { taken = fn(event, param); }))
            transcribe("> ProcessDialogEvent(" + std::to_string(event) + ") of " + namePart(plugin->path_) + " = " +
                       std::to_string(taken));
        if (taken) return taken;
    }
    return 0;
}

Panel* Host::openFilePlugin(const std::string& fileName) {
    // The start of the file, as the host reads it for the plugins to look at.
    std::vector<unsigned char> data(128 * 1024);
    DWORD read = 0;
    HANDLE file = CreateFileA(fileName.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        ReadFile(file, data.data(), static_cast<DWORD>(data.size()), &read, nullptr);
        CloseHandle(file);
    }
    for (Plugin* plugin : std::vector<Plugin*>(byIndex_))
        if (Panel* panel = plugin->openFile(fileName.c_str(), data.data(), static_cast<int>(read))) return panel;
    return nullptr;
}

}  // namespace farhost
