// The least a scan of each kind must do over a plugins tree, written as plain
// code beside the scans it is compared with. Each floor finds the DLLs with a
// bare listing first, as every scan must, then:
// - read floor: opens each DLL once and reads what a scan reads of it without
//   loading it (headers, export and import tables, version resource), and
//   looks up each plugin folder's help file and file_id.diz once;
// - load floor: loads each DLL once, makes the calls a probe must make in a
//   minimal host (SetStartupInfo, GetPluginInfo, ExitFAR when exported) and
//   releases it.
#pragma once
#include <string>
#include <vector>

// The full paths of the *.dll files under folder (ending with a backslash),
// and the number of entries listed on the way.
long listDlls(const std::string& folder, std::vector<std::string>* dlls);

// Each runs its floor once over the tree under pluginsRoot; the number of
// DLLs handled.
int readFloor(const std::string& pluginsRoot);
int loadFloor(const std::string& pluginsRoot);
