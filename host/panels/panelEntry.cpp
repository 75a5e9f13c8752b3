// Items copied out of a plugin's arrays: each copy points its item's texts
// at its own strings.
#include "panels/panelEntry.h"

namespace farhost {

PanelEntry::PanelEntry(const PanelEntry& other)
    : raw(other.raw), name(other.name), description(other.description), owner(other.owner),
      hasDescription(other.hasDescription), hasOwner(other.hasOwner), isDots(other.isDots),
      customColumns(other.customColumns) {
    repoint();
}

PanelEntry& PanelEntry::operator=(const PanelEntry& other) {
    if (this == &other) return *this;
    raw = other.raw;
    name = other.name;
    description = other.description;
    owner = other.owner;
    hasDescription = other.hasDescription;
    hasOwner = other.hasOwner;
    isDots = other.isDots;
    customColumns = other.customColumns;
    repoint();
    return *this;
}

void PanelEntry::repoint() {
    raw.Description = hasDescription ? const_cast<char*>(description.c_str()) : nullptr;
    raw.Owner = hasOwner ? const_cast<char*>(owner.c_str()) : nullptr;
    customPointers_.clear();
    for (std::string& c : customColumns) customPointers_.push_back(const_cast<char*>(c.c_str()));
    raw.CustomColumnData = customPointers_.empty() ? nullptr : customPointers_.data();
    raw.CustomColumnNumber = static_cast<int>(customPointers_.size());
}

}  // namespace farhost
