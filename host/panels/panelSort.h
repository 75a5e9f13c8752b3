// The host's ordering of panel items: ".." first, folders before files, the
// plugin's own Compare when it has an answer, else the host's rule for the
// sort mode. Stable, and safe with a plugin whose answers contradict each other.
#pragma once

#include "panels/panelEntry.h"

#include <functional>
#include <vector>

namespace farhost {

// Three-way comparison; -2 from a plugin means "use the host's rule".
using EntryCompare = std::function<int(const PanelEntry&, const PanelEntry&)>;

// The host's own rule for one sort mode (<0, 0, >0): names without regard to
// case, extensions, times and sizes newest/largest first, descriptions and
// owners by text (items without one last); ties go by name.
int hostCompare(const PanelEntry& a, const PanelEntry& b, int sortMode);

// Merge sort that keeps equal items in their order; never reads out of range
// whatever cmp answers.
void stableSortEntries(std::vector<PanelEntry>& items, const EntryCompare& cmp);

// The whole host order. pluginCompare may be empty. order is 1, or -1 in
// reverse: ".." and folders stay first, the rest (the plugin's answer too) is
// multiplied by it.
void sortPanelEntries(std::vector<PanelEntry>& items, int sortMode, int order, const EntryCompare& pluginCompare);

}  // namespace farhost
