// Finding the host's own record of a loaded plugin in a block of memory. The
// host keeps, per plugin it loaded, the module handle and, within 2 KB after
// it, the addresses of the plugin's exports, and it calls through those
// addresses after testing them for null. Pure rules over 32-bit words.
#pragma once
#include <stddef.h>
#include <stdint.h>

// Words after the handle that may hold the record's export addresses (2 KB).
constexpr size_t HOST_RECORD_WINDOW = 512;

// Whether words[at] is the handle of a host record: words[at] == handle and
// at least two of the distinct addresses in exports[0..exportCount) occur in
// the words after it, within HOST_RECORD_WINDOW, before count and before the
// next copy of the handle.
bool isHostRecordAt(const uint32_t* words, size_t count, size_t at, uint32_t handle, const uint32_t* exports,
                    int exportCount);
// Host records whose handle lies in words[0..searchCount); their windows may
// reach on to count (a chunk read with the next 2 KB behind it). Stores at
// most maxHits indexes in hits (may be null) and returns how many there are.
int findHostRecords(const uint32_t* words, size_t count, size_t searchCount, uint32_t handle,
                    const uint32_t* exports, int exportCount, size_t* hits, int maxHits);
// Clears every word in words[0..count) that points into [imageStart,
// imageEnd): the handle (the image's base) and every export address. Returns
// how many were cleared.
int clearImageAddresses(uint32_t* words, size_t count, uint32_t imageStart, uint32_t imageEnd);
