// A plugin's version: from the DLL's version resource, else from the first
// version number in its folder's file_id.diz. The panel shows it through the
// item's Owner, which stays nullptr when there is none.
#pragma once
#include "state/catalogueRecord.h"

#include <stddef.h>
#include <stdint.h>

// Sets item->Owner to record->version when a version is found (and fills the
// field), to nullptr otherwise. Reads record->dllPath.
void extractVersion(CatalogueRecord* record, PluginPanelItem* item);

// The two sources apart, for a build that reads each folder's file_id.diz
// once: the DLL's own FileVersion into record->version; the first version
// number of folder's file_id.diz (folder ends with a backslash) into
// version (16 bytes, unterminated when full).
bool resourceVersion(CatalogueRecord* record, const char* dllPath);
// The DLL's own FileVersion from the bytes of its file the caller holds.
bool resourceVersionIn(CatalogueRecord* record, const uint8_t* data, size_t size);
bool dizVersion(char* version, const char* folder);

// For a record taken from the cache, or one whose DLL is missing: Owner points
// to record->version when the item's stored Owner was set and the version is
// not empty, else nullptr. The stored Owner is never followed.
void applyCachedVersion(CatalogueRecord* record, PluginPanelItem* item);
