// The host's plugin cache in the registry, kept as the host keeps it:
// PluginsCache\Plugin<N> beside the Plugins key of the RootKey, N from 0 with
// no gaps, one slot per plugin DLL by its full path (Name), with an ID that
// changes when the file does, its menus, prefix and flags, and under Exports
// its SysID and whether it has the entries the host may start it through. At
// a start, a DLL whose slot matches (Name and ID) is not loaded: its record
// is built from the slot, and the menus read the slot while it stays unloaded.
#include "core/host.h"
#include "common/winHandles.h"

#include "common/hostText.h"

#include <shlwapi.h>
#include <stdio.h>

namespace farhost {

namespace {

// PluginInfo.Flags: the plugin asks to be loaded at every start.
constexpr DWORD kPreloadFlag = 0x0001;

// The entries a slot records as 0/1 flags, with the record's word of each.
const Export kFlagged[] = {Export::OpenPlugin, Export::OpenFilePlugin, Export::SetFindList,
                           Export::ProcessEditorInput, Export::ProcessEditorEvent, Export::ProcessViewerEvent,
                           Export::ProcessDialogEvent};

bool setText(HKEY key, const char* name, const std::string& value) {
    return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
}

void setNumber(HKEY key, const char* name, DWORD value) {
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

// Size, creation and write time of the file, as the host writes them.
std::string fileId(const WIN32_FIND_DATAA& found) {
    char id[40];
    snprintf(id, sizeof id, "%lx%lx%lx", static_cast<unsigned long>(found.nFileSizeLow),
             static_cast<unsigned long>(found.ftCreationTime.dwLowDateTime),
             static_cast<unsigned long>(found.ftLastWriteTime.dwLowDateTime));
    return id;
}

std::string readText(HKEY root, const std::string& key, const std::string& name) {
    RegKey k;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &k.h) != ERROR_SUCCESS) return std::string();
    char value[1024] = {};
    DWORD size = sizeof value - 1, type = 0;
    if (RegQueryValueExA(k.h, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(value), &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        return std::string();
    return boundedText(value, sizeof value);
}

bool readNumber(HKEY root, const std::string& key, const std::string& name, DWORD& value) {
    RegKey k;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &k.h) != ERROR_SUCCESS) return false;
    DWORD size = sizeof value, type = 0;
    return RegQueryValueExA(k.h, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) ==
               ERROR_SUCCESS &&
           type == REG_DWORD;
}

}  // namespace

std::string Host::pluginsCacheKey() const {
    std::string root = options_.rootKey;
    size_t cut = root.find_last_of('\\');
    std::string base = cut == std::string::npos ? std::string() : root.substr(0, cut);
    return (base.empty() ? std::string() : base + "\\") + "PluginsCache";
}

std::string Host::slotText(int slot, const std::string& name) const {
    return readText(HKEY_CURRENT_USER, pluginsCacheKey() + "\\Plugin" + std::to_string(slot), name);
}

DWORD Host::slotNumber(int slot, const std::string& name, DWORD otherwise) const {
    DWORD value = otherwise;
    return readNumber(HKEY_CURRENT_USER, pluginsCacheKey() + "\\Plugin" + std::to_string(slot), name, value)
               ? value
               : otherwise;
}

int Host::cacheSlot(const std::string& path, int from) const {
    // The slot the record names first, then every slot from 0, by Name alone.
    for (int i = -1;; ++i) {
        if (i == -1 && from <= 0) continue;
        int slot = i == -1 ? from : i;
        // As the host reads it: an empty slot ends the search, also the
        // record's own when later slots moved down past it.
        std::string name = slotText(slot, "Name");
        if (name.empty()) return -1;
        if (equalNoCase(name, path)) return slot;
    }
}

std::vector<std::string> Host::cachedItems(Plugin* plugin, const char* valuePrefix) const {
    std::vector<std::string> items;
    int slot = plugin->record_ ? cacheSlot(plugin->path_, plugin->record_->cachePos) : -1;
    if (slot < 0) return items;
    for (int i = 0; i < 64; ++i) {
        std::string text = slotText(slot, valuePrefix + std::to_string(i));
        if (text.empty()) break;
        items.push_back(text);
    }
    return items;
}

void Host::applyPluginsCache() {
    const RecordLayout& layout = records_.layout();
    for (int index = 0; index < records_.count(); ++index) {
        PluginRecord* record = records_.at(index);
        Plugin* plugin = byIndex_[index];
        if (leftOut(plugin->path_)) continue;
        // A slot whose Name and ID match the DLL as found now.
        std::string id = fileId(record->findData);
        int slot = -1;
        for (int i = 0;; ++i) {
            std::string name = slotText(i, "Name");
            if (name.empty()) break;
            if (equalNoCase(name, plugin->path_) && slotText(i, "ID") == id) {
                slot = i;
                break;
            }
        }
        if (slot < 0 || slotNumber(slot, "Preload") == 1) continue;
        std::string exports = pluginsCacheKey() + "\\Plugin" + std::to_string(slot) + "\\Exports";
        DWORD sysId = 0;
        readNumber(HKEY_CURRENT_USER, exports, "SysID", sysId);
        record->sysId = sysId;
        for (Export which : kFlagged) {
            DWORD flag = 0;
            readNumber(HKEY_CURRENT_USER, exports, exportName(which), flag);
            if (FARPROC* word = entrySlot(record, which, layout))
                *word = reinterpret_cast<FARPROC>(static_cast<ULONG_PTR>(flag));
        }
        record->cachePos = slot;
        record->workFlags = kWorkCached;
        this->transcribe("> known from the plugin cache (Plugin" + std::to_string(slot) + "), not loaded: " + plugin->path_);
    }
}

void Host::savePluginSettings(Plugin* plugin, const PluginInfo& info) {
    PluginRecord* record = plugin->record_;
    if (!record) return;
    const RecordLayout& layout = records_.layout();
    // A plugin the host could never start from its menus, files or events gets no slot.
    bool startable = plugin->has("GetPluginInfo");
    for (Export which : kFlagged) startable = startable || entryOf(record, which, layout);
    if (!startable) return;
    record->sysId = info.Reserved;   // the host reads it as the SysID
    // Its own slot (by Name), else the first free one.
    int slot = 0;
    for (;; ++slot) {
        std::string name = slotText(slot, "Name");
        if (name.empty() || equalNoCase(name, plugin->path_)) break;
    }
    std::string path = pluginsCacheKey() + "\\Plugin" + std::to_string(slot);
    SHDeleteKeyA(HKEY_CURRENT_USER, path.c_str());
    wrotePluginsCache_ = true;
    ++slotsWritten_;
    RegKey key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key.h, nullptr) !=
        ERROR_SUCCESS) {
        problem("cannot write the plugin cache key HKCU\\" + path);
        return;
    }
    setText(key.h, "Name", plugin->path_);
    setText(key.h, "ID", fileId(record->findData));
    if (info.Flags & kPreloadFlag) {
        setNumber(key.h, "Preload", 1);
        record->workFlags |= kWorkPreloaded;
        return;
    }
    setNumber(key.h, "Preload", 0);
    record->workFlags &= ~kWorkPreloaded;
    auto text = [](const char* const* strings, int i) {
        return strings && strings[i] ? boundedText(strings[i], kMaxPluginText) : std::string();
    };
    for (int i = 0; i < info.DiskMenuStringsNumber && i < 64; ++i) {
        setText(key.h, ("DiskMenuString" + std::to_string(i)).c_str(), text(info.DiskMenuStrings, i));
        if (info.DiskMenuNumbers)
            setNumber(key.h, ("DiskMenuNumber" + std::to_string(i)).c_str(), static_cast<DWORD>(info.DiskMenuNumbers[i]));
    }
    for (int i = 0; i < info.PluginMenuStringsNumber && i < 64; ++i)
        setText(key.h, ("PluginMenuString" + std::to_string(i)).c_str(), text(info.PluginMenuStrings, i));
    for (int i = 0; i < info.PluginConfigStringsNumber && i < 64; ++i)
        setText(key.h, ("PluginConfigString" + std::to_string(i)).c_str(), text(info.PluginConfigStrings, i));
    setText(key.h, "CommandPrefix", info.CommandPrefix ? boundedText(info.CommandPrefix, kMaxPluginText) : "");
    setNumber(key.h, "Flags", info.Flags);
    RegKey exports;
    if (RegCreateKeyExA(key.h, "Exports", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &exports.h, nullptr) !=
        ERROR_SUCCESS) {
        problem("cannot write the plugin cache key HKCU\\" + path + "\\Exports");
        return;
    }
    setNumber(exports.h, "SysID", record->sysId);
    for (Export which : kFlagged)
        if (entrySlot(record, which, layout)) setNumber(exports.h, exportName(which), entryOf(record, which, layout) ? 1 : 0);
    this->transcribe("> plugin cache: Plugin" + std::to_string(slot) + " written for " + plugin->path_);
}

void Host::removeStaleCacheSlots() {
    // Slots of DLLs that are gone; the ones after move down, so the numbers stay contiguous.
    std::string base = pluginsCacheKey() + "\\Plugin";
    for (int i = 0;; ++i) {
        std::string name = slotText(i, "Name");
        if (name.empty()) break;
        if (GetFileAttributesA(name.c_str()) != INVALID_FILE_ATTRIBUTES) continue;
        int last = i;
        while (!slotText(last + 1, "Name").empty()) ++last;
        for (int j = i; j < last; ++j) {
            SHDeleteKeyA(HKEY_CURRENT_USER, (base + std::to_string(j)).c_str());
            RegKey to;
            if (RegCreateKeyExA(HKEY_CURRENT_USER, (base + std::to_string(j)).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                nullptr, &to.h, nullptr) == ERROR_SUCCESS)
                SHCopyKeyA(HKEY_CURRENT_USER, (base + std::to_string(j + 1)).c_str(), to.h, 0);
        }
        SHDeleteKeyA(HKEY_CURRENT_USER, (base + std::to_string(last)).c_str());
        --i;
    }
}

void Host::loadIfCacheAbsent() {
    RegKey cache;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, pluginsCacheKey().c_str(), 0, KEY_READ, &cache.h) == ERROR_SUCCESS) return;
    for (Plugin* plugin : std::vector<Plugin*>(byIndex_))
        if (plugin->known()) prepare(plugin);
}

void Host::removePluginsCache() { SHDeleteKeyA(HKEY_CURRENT_USER, pluginsCacheKey().c_str()); }

}  // namespace farhost
