// One file or folder as the host's file panels know it: the find data of
// a single name, in the 8-bit layout plugin items carry.
#pragma once

#include "interface/farApi.h"

#include <string>
#include <vector>

namespace farhost {

// The find data of path (no wildcards); false, and zeroed find data, when
// there is no such file or folder.
bool findEntry(const std::string& path, FarFindData& data);

// The entries of a folder, "." and ".." left out, in the order the file
// system lists them.
std::vector<FarFindData> listFolder(const std::string& dir);

// WIN32_FIND_DATAA into the host's find data (the same fields, packed).
void toFarFindData(const WIN32_FIND_DATAA& from, FarFindData& to);

}  // namespace farhost
