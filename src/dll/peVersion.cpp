#include "dll/peVersion.h"

#include <string.h>

namespace {

const uint32_t RESOURCE_VERSION = 16;
const uint32_t VERSION_INFO_ID = 1;
const uint32_t SUBDIRECTORY = 0x80000000u;
// Deeper than any version resource: a tree that goes on is taken as malformed.
const int MAX_NODES = 4096;

uint16_t read16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

uint32_t read32(const uint8_t* p) {
    return static_cast<uint32_t>(read16(p)) | (static_cast<uint32_t>(read16(p + 2)) << 16);
}

// One level of the resource tree: the entry of this id (or, when there is
// none and anyId is set, the first entry), as its raw offset word.
bool resourceEntry(const PeImage& image, uint32_t directory, uint32_t id, bool anyId, uint32_t* offset) {
    const uint8_t* header = peBlockAt(image, static_cast<uint64_t>(image.resourceRva) + directory, 16);
    if (!header) return false;
    uint32_t count = static_cast<uint32_t>(read16(header + 12)) + read16(header + 14);
    const uint8_t* entries = peBlockAt(image, static_cast<uint64_t>(image.resourceRva) + directory + 16,
                                       static_cast<uint64_t>(count) * 8);
    if (!entries || !count) return false;
    for (uint32_t i = 0; i < count; ++i) {
        if (read32(entries + 8 * i) == id) {
            *offset = read32(entries + 8 * i + 4);
            return true;
        }
    }
    if (!anyId) return false;
    *offset = read32(entries + 4);
    return true;
}

// The version resource's bytes: type 16, name 1 (else the first), the first language.
const uint8_t* versionResource(const PeImage& image, uint32_t* size) {
    if (!image.resourceRva) return nullptr;
    uint32_t offset = 0;
    if (!resourceEntry(image, 0, RESOURCE_VERSION, false, &offset) || !(offset & SUBDIRECTORY)) return nullptr;
    if (!resourceEntry(image, offset & ~SUBDIRECTORY, VERSION_INFO_ID, true, &offset) || !(offset & SUBDIRECTORY))
        return nullptr;
    if (!resourceEntry(image, offset & ~SUBDIRECTORY, 0, true, &offset) || (offset & SUBDIRECTORY)) return nullptr;
    const uint8_t* data = peBlockAt(image, static_cast<uint64_t>(image.resourceRva) + offset, 16);
    if (!data) return nullptr;
    *size = read32(data + 4);
    return peBlockAt(image, read32(data), *size);
}

// A node of the version tree: length, value length, type, UTF-16 key, then
// the value and the children, each on a four-byte boundary of the block.
struct Node {
    const uint8_t* start;
    uint32_t length;           // the whole node, children included
    const uint8_t* key;        // UTF-16, terminated inside the node
    uint32_t keyChars;
    const uint8_t* value;
    uint32_t valueBytes;       // as far as the node holds it
    uint32_t childrenAt;       // offset of the first child from start
};

uint32_t aligned(uint32_t offset) {
    return (offset + 3) & ~3u;
}

bool readNode(const uint8_t* start, uint32_t room, Node* node) {
    if (room < 6) return false;
    uint32_t length = read16(start);
    if (length < 6 || length > room) return false;
    node->start = start;
    node->length = length;
    node->key = start + 6;
    uint32_t at = 6;
    node->keyChars = 0;
    while (at + 1 < length && read16(start + at)) {
        at += 2;
        ++node->keyChars;
    }
    if (at + 1 >= length) return false;
    at = aligned(at + 2);
    uint32_t valueLength = read16(start + 2);
    // Text values count characters, binary ones bytes; some compilers wrote
    // bytes for text too, and the node's length is what bounds the value.
    uint32_t valueBytes = read16(start + 4) == 1 ? valueLength * 2 : valueLength;
    if (at > length) at = length;
    if (valueBytes > length - at) valueBytes = length - at;
    node->value = start + at;
    node->valueBytes = valueBytes;
    node->childrenAt = aligned(at + valueBytes);
    return true;
}

// Whether the node's key equals ascii, without regard to case (as the
// system's lookup compares).
bool keyIs(const Node& node, const char* ascii) {
    size_t n = strlen(ascii);
    if (node.keyChars != n) return false;
    for (size_t i = 0; i < n; ++i) {
        uint16_t c = read16(node.key + 2 * i);
        char a = ascii[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<uint16_t>(c + 32);
        if (a >= 'A' && a <= 'Z') a = static_cast<char>(a + 32);
        if (c != static_cast<uint8_t>(a)) return false;
    }
    return true;
}

// The child of parent whose key is ascii.
bool childNamed(const Node& parent, const char* ascii, Node* child, int* budget) {
    for (uint32_t at = parent.childrenAt; at + 6 <= parent.length; ) {
        if (--*budget < 0) return false;
        if (!readNode(parent.start + at, parent.length - at, child)) return false;
        if (keyIs(*child, ascii)) return true;
        at = aligned(at + child->length);
    }
    return false;
}

}  // namespace

bool peFileVersion(const PeImage& image, const uint8_t** text, size_t* length) {
    uint32_t size = 0;
    const uint8_t* block = versionResource(image, &size);
    Node root, translations, translation, strings, table, version;
    if (!block || !readNode(block, size, &root)) return false;
    int budget = MAX_NODES;
    if (!childNamed(root, "VarFileInfo", &translations, &budget) ||
        !childNamed(translations, "Translation", &translation, &budget) || translation.valueBytes < 4)
        return false;
    static const char HEX[] = "0123456789abcdef";
    char tableName[9];
    uint32_t pair = (static_cast<uint32_t>(read16(translation.value)) << 16) | read16(translation.value + 2);
    for (int i = 0; i < 8; ++i) tableName[i] = HEX[(pair >> (28 - 4 * i)) & 0xF];
    tableName[8] = 0;
    if (!childNamed(root, "StringFileInfo", &strings, &budget) || !childNamed(strings, tableName, &table, &budget) ||
        !childNamed(table, "FileVersion", &version, &budget))
        return false;
    size_t chars = 0;
    while (chars * 2 + 1 < version.valueBytes && read16(version.value + 2 * chars)) ++chars;
    *text = version.value;
    *length = chars;
    return true;
}
