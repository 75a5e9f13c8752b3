// File masks as the host compares them: '*' and '?', any case; "*.*" also
// takes names without a dot. A mask list separates masks by ',' or ';'.
#pragma once

#include <string>

namespace farhost {

bool matchesMask(const std::string& mask, const std::string& name);
bool matchesMaskList(const std::string& masks, const std::string& name);

}  // namespace farhost
