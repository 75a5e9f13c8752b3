// The entry points of the plugin interface 1.70 the host looks for, by name.
#pragma once

namespace farhost {

constexpr const char* kEntryPoints[] = {
    "SetStartupInfo", "GetPluginInfo",   "GetMinFarVersion", "OpenPlugin",          "OpenFilePlugin",
    "ClosePlugin",    "GetOpenPluginInfo", "GetFindData",    "FreeFindData",        "GetVirtualFindData",
    "FreeVirtualFindData", "SetDirectory", "GetFiles",       "PutFiles",            "DeleteFiles",
    "MakeDirectory",  "ProcessHostFile", "SetFindList",      "Configure",           "ExitFAR",
    "ProcessKey",     "ProcessEvent",    "ProcessEditorEvent", "ProcessEditorInput", "ProcessViewerEvent",
    "Compare",
};

}  // namespace farhost
