#include "dll/peImageFacts.h"

#include <string.h>

const char* const FAR_ENTRY_POINTS[FAR_ENTRY_POINT_COUNT] = {
    "SetStartupInfo",     "GetPluginInfo",     "OpenPlugin",         "OpenFilePlugin",   "ClosePlugin",
    "GetFindData",        "FreeFindData",      "GetVirtualFindData", "FreeVirtualFindData",
    "SetDirectory",       "GetFiles",          "PutFiles",           "DeleteFiles",      "MakeDirectory",
    "ProcessHostFile",    "SetFindList",       "Configure",          "ExitFAR",          "ProcessKey",
    "ProcessEvent",       "ProcessEditorEvent", "Compare",           "ProcessEditorInput",
    "ProcessViewerEvent", "GetOpenPluginInfo", "GetMinFarVersion", "ProcessDialogEvent",
};

namespace {

const uint16_t MACHINE_I386 = 0x14C;
const uint16_t MAGIC_PE32 = 0x10B;
const uint16_t MAGIC_PE32_PLUS = 0x20B;
const uint16_t FILE_EXECUTABLE_IMAGE = 0x0002;
const uint16_t FILE_DLL = 0x2000;
const uint32_t SECTION_HEADER_SIZE = 40;
const uint32_t EXPORT_DIRECTORY_SIZE = 40;
const uint32_t IMPORT_DESCRIPTOR_SIZE = 20;
// More imports than any real DLL has: a table that goes on longer is taken
// as malformed rather than read for ever.
const uint32_t MAX_IMPORTED_DLLS = 1024;
const uint32_t MAX_IMPORTS = 65536;

uint16_t read16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

uint32_t read32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}

// Whether [offset, offset + length) lies inside a buffer of size bytes.
bool inside(uint64_t offset, uint64_t length, size_t size) {
    return offset <= size && length <= size - offset;
}

// The bytes at rva as the file holds them, and how many follow there
// (in *available); nullptr when the address lies in no section's file data.
const uint8_t* bytesAt(const PeImage& image, uint64_t rva, uint32_t* available) {
    if (rva > 0xFFFFFFFFu) return nullptr;
    if (rva < image.headersSize && rva < image.size) {
        uint64_t end = image.headersSize < image.size ? image.headersSize : image.size;
        *available = static_cast<uint32_t>(end - rva);
        return image.data + rva;
    }
    for (uint32_t i = 0; i < image.sectionCount; ++i) {
        const uint8_t* section = image.data + image.sectionTable + i * SECTION_HEADER_SIZE;
        uint32_t va = read32(section + 12);
        uint32_t rawSize = read32(section + 16);
        uint32_t rawOffset = read32(section + 20);
        if (rva < va || rva - va >= rawSize) continue;
        // openPeImage has checked that every section's data lies inside the buffer.
        *available = static_cast<uint32_t>(rawSize - (rva - va));
        return image.data + rawOffset + (rva - va);
    }
    return nullptr;
}

// length bytes at rva, or nullptr when not all of them are in the file.
const uint8_t* blockAt(const PeImage& image, uint64_t rva, uint64_t length) {
    uint32_t available = 0;
    const uint8_t* p = bytesAt(image, rva, &available);
    return p && length <= available ? p : nullptr;
}

// The name at rva when it is terminated within PE_NAME_CHARS + 1 bytes of
// file data, else nullptr.
const char* nameAt(const PeImage& image, uint64_t rva) {
    uint32_t available = 0;
    const uint8_t* p = bytesAt(image, rva, &available);
    if (!p) return nullptr;
    size_t limit = available < PE_NAME_CHARS + 1 ? available : PE_NAME_CHARS + 1;
    return memchr(p, 0, limit) ? reinterpret_cast<const char*>(p) : nullptr;
}

}  // namespace

PeImageKind openPeImage(PeImage* image, const uint8_t* data, size_t size) {
    memset(image, 0, sizeof *image);
    if (!data || size < 0x40 || data[0] != 'M' || data[1] != 'Z') return PE_NOT_IMAGE;
    uint64_t pe = read32(data + 0x3C);
    if (!inside(pe, 4 + 20, size) || memcmp(data + pe, "PE\0\0", 4) != 0) return PE_NOT_IMAGE;
    const uint8_t* fileHeader = data + pe + 4;
    uint16_t machine = read16(fileHeader);
    uint32_t sectionCount = read16(fileHeader + 2);
    uint32_t optionalSize = read16(fileHeader + 16);
    uint16_t characteristics = read16(fileHeader + 18);
    if ((characteristics & (FILE_DLL | FILE_EXECUTABLE_IMAGE)) != (FILE_DLL | FILE_EXECUTABLE_IMAGE))
        return PE_NOT_IMAGE;
    uint64_t optional = pe + 4 + 20;
    if (optionalSize < 2 || !inside(optional, optionalSize, size)) return PE_NOT_IMAGE;
    const uint8_t* header = data + optional;
    uint16_t magic = read16(header);
    uint32_t directoriesAt;
    uint32_t countAt;
    if (magic == MAGIC_PE32 && machine == MACHINE_I386) {
        directoriesAt = 96;
        countAt = 92;
    } else if (magic == MAGIC_PE32_PLUS) {
        directoriesAt = 112;
        countAt = 108;
    } else {
        return PE_NOT_IMAGE;
    }
    if (optionalSize < directoriesAt) return PE_NOT_IMAGE;
    uint32_t directoryCount = read32(header + countAt);
    uint32_t room = (optionalSize - directoriesAt) / 8;
    if (directoryCount > room) directoryCount = room;

    uint64_t sectionTable = optional + optionalSize;
    if (!inside(sectionTable, static_cast<uint64_t>(sectionCount) * SECTION_HEADER_SIZE, size)) return PE_NOT_IMAGE;
    for (uint32_t i = 0; i < sectionCount; ++i) {
        const uint8_t* section = data + sectionTable + i * SECTION_HEADER_SIZE;
        // A section whose data the file does not hold: a truncated file.
        uint32_t rawSize = read32(section + 16);
        if (rawSize && !inside(read32(section + 20), rawSize, size)) return PE_NOT_IMAGE;
    }

    image->data = data;
    image->size = size;
    image->wide = magic == MAGIC_PE32_PLUS;
    image->sectionTable = static_cast<uint32_t>(sectionTable);
    image->sectionCount = sectionCount;
    image->headersSize = read32(header + 60);
    if (directoryCount > 0) {
        image->exportRva = read32(header + directoriesAt);
        image->exportSize = read32(header + directoriesAt + 4);
    }
    if (directoryCount > 1) {
        image->importRva = read32(header + directoriesAt + 8);
        image->importSize = read32(header + directoriesAt + 12);
    }
    if (directoryCount > 2) {
        image->resourceRva = read32(header + directoriesAt + 16);
        image->resourceSize = read32(header + directoriesAt + 20);
    }
    return image->wide ? PE_IMAGE_64 : PE_IMAGE_32;
}

const uint8_t* peBlockAt(const PeImage& image, uint64_t rva, uint64_t length) {
    return blockAt(image, rva, length);
}

bool forEachPeExport(const PeImage& image, PeNameVisit visit, void* context) {
    if (!image.data) return false;
    if (!image.exportRva) return true;
    const uint8_t* directory = blockAt(image, image.exportRva, EXPORT_DIRECTORY_SIZE);
    if (!directory) return false;
    uint32_t count = read32(directory + 24);
    const uint8_t* names = blockAt(image, read32(directory + 32), static_cast<uint64_t>(count) * 4);
    if (!names && count) return false;
    for (uint32_t i = 0; i < count; ++i) {
        const char* name = nameAt(image, read32(names + 4 * i));
        if (!name) return false;
        if (!visit(name, context)) return true;
    }
    return true;
}

bool forEachPeImport(const PeImage& image, PeImportVisit visit, void* context) {
    if (!image.data) return false;
    if (!image.importRva) return true;
    const uint32_t thunkSize = image.wide ? 8 : 4;
    uint32_t imports = 0;
    for (uint32_t index = 0;; ++index) {
        if (index == MAX_IMPORTED_DLLS) return false;
        uint64_t at = image.importRva + static_cast<uint64_t>(index) * IMPORT_DESCRIPTOR_SIZE;
        const uint8_t* descriptor = blockAt(image, at, IMPORT_DESCRIPTOR_SIZE);
        if (!descriptor) return false;
        uint32_t lookup = read32(descriptor);
        uint32_t nameRva = read32(descriptor + 12);
        uint32_t bound = read32(descriptor + 16);
        if (!nameRva && !bound) return true;
        const char* dll = nameAt(image, nameRva);
        if (!dll) return false;
        for (uint64_t thunk = lookup ? lookup : bound;; thunk += thunkSize) {
            const uint8_t* entry = blockAt(image, thunk, thunkSize);
            if (!entry || ++imports > MAX_IMPORTS) return false;
            uint32_t low = read32(entry);
            uint32_t high = image.wide ? read32(entry + 4) : 0;
            if (!low && !high) break;
            bool byNumber = image.wide ? (high & 0x80000000u) != 0 : (low & 0x80000000u) != 0;
            const char* function = nullptr;
            if (!byNumber) {
                if (high || (low & 0x80000000u)) return false;
                // A two-byte hint comes before the name.
                function = blockAt(image, low, 2) ? nameAt(image, static_cast<uint64_t>(low) + 2) : nullptr;
                if (!function) return false;
            }
            if (!visit(dll, function, context)) return true;
        }
    }
}

namespace {

bool sameUpTo(const char* name, const char* entryPoint, size_t* length) {
    size_t n = strlen(entryPoint);
    *length = n;
    return strncmp(name, entryPoint, n) == 0;
}

// "Name@12" or "_Name@12": the stdcall decoration a linker leaves when it is
// not told to drop it.
bool decoratedAs(const char* name, const char* entryPoint) {
    if (*name == '_') ++name;
    size_t n;
    if (!sameUpTo(name, entryPoint, &n) || name[n] != '@' || !name[n + 1]) return false;
    for (const char* p = name + n + 1; *p; ++p)
        if (*p < '0' || *p > '9') return false;
    return true;
}

bool noteExport(const char* name, void* context) {
    PluginImageFacts* facts = static_cast<PluginImageFacts*>(context);
    ++facts->exportCount;
    for (int i = 0; i < FAR_ENTRY_POINT_COUNT; ++i) {
        size_t n;
        if (!strcmp(name, FAR_ENTRY_POINTS[i]))
            facts->entryPoints |= entryPointBit(i);
        else if (sameUpTo(name, FAR_ENTRY_POINTS[i], &n) && name[n] == 'W' && !name[n + 1])
            facts->wide |= entryPointBit(i);
        else if (decoratedAs(name, FAR_ENTRY_POINTS[i]))
            facts->decorated |= entryPointBit(i);
    }
    return true;
}

bool anyImport(const char*, const char*, void*) {
    return true;
}

struct NameSearch {
    const char* name;
    bool found;
};

bool matchExport(const char* name, void* context) {
    NameSearch* search = static_cast<NameSearch*>(context);
    search->found = !strcmp(name, search->name);
    return !search->found;
}

}  // namespace

void readPluginImageFacts(const uint8_t* data, size_t size, PluginImageFacts* facts) {
    memset(facts, 0, sizeof *facts);
    PeImage image;
    PeImageKind kind = openPeImage(&image, data, size);
    if (kind == PE_NOT_IMAGE) return;
    if (!forEachPeExport(image, noteExport, facts) || !forEachPeImport(image, anyImport, nullptr)) {
        memset(facts, 0, sizeof *facts);
        return;
    }
    // Names the host looks up plainly are not also counted as decorated.
    facts->decorated &= ~facts->entryPoints;
    facts->kind = kind;
}

PluginUnfitness exportVerdict(const PluginImageFacts& facts) {
    if (facts.kind == PE_NOT_IMAGE) return UNFIT_NOT_WINDOWS_DLL;
    if (facts.kind == PE_IMAGE_64) return UNFIT_64_BIT;
    // FAR 1.70 keeps a DLL for its own entry points only.
    if (facts.entryPoints & FAR170_ENTRY_POINTS)
        return facts.entryPoints & entryPointBit(EP_SET_STARTUP_INFO) ? PLUGIN_FIT : PLUGIN_FIT_NO_STARTUP;
    if (facts.wide) return UNFIT_UNICODE_BUILD;
    if (facts.decorated) return UNFIT_DECORATED;
    return UNFIT_NO_ENTRY_POINTS;
}

bool peExports(const PeImage& image, const char* name) {
    NameSearch search = {name, false};
    return forEachPeExport(image, matchExport, &search) && search.found;
}
