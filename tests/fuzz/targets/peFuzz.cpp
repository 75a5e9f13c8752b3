// The DLL reader against a model: the fuzzer's bytes choose export names,
// imports and the word size; a small writer of its own lays them out as a
// DLL image, which the reader must give back exactly. The same image cut
// short anywhere must read as no image at all, and with bytes overwritten
// anywhere must never be read outside the buffer (the sanitizers watch) nor
// yield a name that is not terminated where it lies.
#include "fuzzTarget.h"

#include "dll/peImageFacts.h"
#include "dll/peVersion.h"

#include <stdlib.h>
#include <string.h>
#include <string>
#include <vector>

namespace {

const char NAME[] = "pe";

struct Import {
    std::string dll;
    std::vector<std::string> functions;   // "" is an import by number
};

struct ModelImage {
    bool wide = false;
    std::vector<std::string> exports;
    std::vector<Import> imports;
};

void put16(std::string& b, size_t at, uint32_t v) {
    b[at] = static_cast<char>(v & 0xFF);
    b[at + 1] = static_cast<char>((v >> 8) & 0xFF);
}

void put32(std::string& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

// One section holding every table, at file offset 0x400 and address 0x1000.
const uint32_t FILE_AT = 0x400;
const uint32_t RVA_AT = 0x1000;

struct SectionWriter {
    std::string data;
    uint32_t rva(size_t offset) const { return RVA_AT + static_cast<uint32_t>(offset); }
    size_t reserve(size_t n) {
        size_t at = data.size();
        data.append(n, '\0');
        return at;
    }
    size_t text(const std::string& s) {
        size_t at = data.size();
        data += s;
        data += '\0';
        return at;
    }
};

std::string writeImage(const ModelImage& m) {
    SectionWriter s;
    uint32_t exportRva = 0, importRva = 0;
    if (!m.exports.empty()) {
        size_t dir = s.reserve(40);
        size_t names = s.reserve(4 * m.exports.size());
        put32(s.data, dir + 24, static_cast<uint32_t>(m.exports.size()));
        put32(s.data, dir + 32, s.rva(names));
        for (size_t i = 0; i < m.exports.size(); ++i) {
            size_t at = s.text(m.exports[i]);
            put32(s.data, names + 4 * i, s.rva(at));
        }
        exportRva = s.rva(dir);
    }
    if (!m.imports.empty()) {
        size_t table = s.reserve(20 * (m.imports.size() + 1));
        const size_t thunk = m.wide ? 8 : 4;
        for (size_t d = 0; d < m.imports.size(); ++d) {
            const Import& imp = m.imports[d];
            size_t lookup = s.reserve(thunk * (imp.functions.size() + 1));
            for (size_t f = 0; f < imp.functions.size(); ++f) {
                size_t entry = lookup + thunk * f;
                if (imp.functions[f].empty()) {
                    put32(s.data, entry, 7);
                    put32(s.data, entry + (m.wide ? 4 : 0), m.wide ? 0x80000000u : 0x80000007u);
                } else {
                    size_t hint = s.reserve(2);
                    s.text(imp.functions[f]);
                    put32(s.data, entry, s.rva(hint));
                }
            }
            size_t name = s.text(imp.dll);
            put32(s.data, table + 20 * d, s.rva(lookup));
            put32(s.data, table + 20 * d + 12, s.rva(name));
            put32(s.data, table + 20 * d + 16, s.rva(lookup));
        }
        importRva = s.rva(table);
    }
    // Never an empty section: cutting the file short must always cut into it.
    if (s.data.empty()) s.reserve(1);
    while (s.data.size() % 0x200) s.data += '\0';

    std::string b(FILE_AT, '\0');
    b[0] = 'M';
    b[1] = 'Z';
    const size_t pe = 0x80;
    put32(b, 0x3C, pe);
    memcpy(&b[pe], "PE\0\0", 4);
    size_t fh = pe + 4;
    put16(b, fh, m.wide ? 0x8664 : 0x14C);
    put16(b, fh + 2, 1);
    uint32_t optionalSize = m.wide ? 240 : 224;
    put16(b, fh + 16, optionalSize);
    put16(b, fh + 18, 0x2102);   // executable image, 32-bit machine, DLL
    size_t opt = fh + 20;
    put16(b, opt, m.wide ? 0x20B : 0x10B);
    put32(b, opt + 60, FILE_AT);   // size of headers
    size_t dirs = opt + (m.wide ? 112 : 96);
    put32(b, opt + (m.wide ? 108 : 92), 16);
    put32(b, dirs, exportRva);
    put32(b, dirs + 4, exportRva ? 40 : 0);
    put32(b, dirs + 8, importRva);
    put32(b, dirs + 12, importRva ? 20 : 0);
    size_t section = opt + optionalSize;
    memcpy(&b[section], ".rdata", 6);
    put32(b, section + 8, static_cast<uint32_t>(s.data.size()));
    put32(b, section + 12, RVA_AT);
    put32(b, section + 16, static_cast<uint32_t>(s.data.size()));
    put32(b, section + 20, FILE_AT);
    return b + s.data;
}

// Names the reader accepts: terminated, not empty (an empty import name
// stands for an import by number here), not too long.
std::string modelName(const std::string& raw) {
    return cText(raw).substr(0, PE_NAME_CHARS);
}

struct Seen {
    std::vector<std::string> exports;
    std::vector<std::pair<std::string, std::string>> imports;   // "" for by number
    const uint8_t* begin;
    const uint8_t* end;
};

bool terminatedInside(const Seen* seen, const char* name) {
    const uint8_t* p = reinterpret_cast<const uint8_t*>(name);
    if (p < seen->begin || p >= seen->end) return false;
    return memchr(p, 0, seen->end - p) != nullptr;
}

bool seeExport(const char* name, void* context) {
    Seen* seen = static_cast<Seen*>(context);
    FUZZ_EXPECT(NAME, terminatedInside(seen, name));
    seen->exports.push_back(name);
    return true;
}

bool seeImport(const char* dll, const char* function, void* context) {
    Seen* seen = static_cast<Seen*>(context);
    FUZZ_EXPECT(NAME, terminatedInside(seen, dll));
    if (function) FUZZ_EXPECT(NAME, terminatedInside(seen, function));
    seen->imports.push_back({dll, function ? function : ""});
    return true;
}

// Reads the whole image with the reader; false when it is no image or a
// table is malformed.
bool readBack(const std::string& image, Seen* seen, PeImageKind* kind) {
    // A copy of exactly the image's size, so that the sanitizer sees any
    // read past its end.
    uint8_t* copy = static_cast<uint8_t*>(malloc(image.size() ? image.size() : 1));
    memcpy(copy, image.data(), image.size());
    seen->begin = copy;
    seen->end = copy + image.size();
    PeImage pe;
    *kind = openPeImage(&pe, copy, image.size());
    bool ok = *kind != PE_NOT_IMAGE && forEachPeExport(pe, seeExport, seen) && forEachPeImport(pe, seeImport, seen);
    PluginImageFacts facts;
    readPluginImageFacts(copy, image.size(), &facts);
    FUZZ_EXPECT(NAME, ok ? facts.kind == *kind : facts.kind == PE_NOT_IMAGE);
    // The version text, when any, lies wholly inside the file's bytes.
    const uint8_t* text = nullptr;
    size_t chars = 0;
    if (*kind != PE_NOT_IMAGE && peFileVersion(pe, &text, &chars))
        FUZZ_EXPECT(NAME, text >= copy && text + 2 * chars <= copy + image.size());
    free(copy);
    return ok;
}

// The entry points the model expects from the export names.
void modelFacts(const ModelImage& m, uint32_t* plain, uint32_t* wide, uint32_t* decorated) {
    *plain = *wide = *decorated = 0;
    for (const std::string& e : m.exports) {
        for (int i = 0; i < FAR_ENTRY_POINT_COUNT; ++i) {
            std::string ep = FAR_ENTRY_POINTS[i];
            if (e == ep) *plain |= entryPointBit(i);
            if (e == ep + "W") *wide |= entryPointBit(i);
            std::string bare = !e.empty() && e[0] == '_' ? e.substr(1) : e;
            if (bare.size() > ep.size() + 1 && bare.compare(0, ep.size(), ep) == 0 && bare[ep.size()] == '@' &&
                bare.find_first_not_of("0123456789", ep.size() + 1) == std::string::npos)
                *decorated |= entryPointBit(i);
        }
    }
    *decorated &= ~*plain;
}

}  // namespace

FUZZ_TARGET(fuzzPe) {
    FuzzInput in(data, size);
    uint8_t mode = in.byte();
    if (mode % 4 == 3) {
        // Bytes as they come: only the sanitizers and the name checks judge.
        std::string raw = in.rest();
        Seen seen;
        PeImageKind kind;
        readBack(raw, &seen, &kind);
        return 0;
    }

    ModelImage m;
    m.wide = (in.byte() & 1) != 0;
    uint8_t exportCount = in.byte() % 16;
    uint8_t importCount = in.byte() % 6;
    for (int i = 0; i < exportCount && !in.empty(); ++i) {
        std::string name = modelName(in.part());
        if (!name.empty()) m.exports.push_back(name);
    }
    for (int d = 0; d < importCount && !in.empty(); ++d) {
        Import imp;
        imp.dll = modelName(in.part());
        if (imp.dll.empty()) continue;
        uint8_t functions = in.byte() % 6;
        for (int f = 0; f < functions; ++f) imp.functions.push_back(modelName(in.part()));
        m.imports.push_back(imp);
    }
    std::string image = writeImage(m);

    Seen seen;
    PeImageKind kind;
    bool ok = readBack(image, &seen, &kind);
    FUZZ_EXPECT(NAME, ok);
    FUZZ_EXPECT(NAME, kind == (m.wide ? PE_IMAGE_64 : PE_IMAGE_32));
    FUZZ_EXPECT(NAME, seen.exports == m.exports);
    std::vector<std::pair<std::string, std::string>> imports;
    for (const Import& imp : m.imports)
        for (const std::string& f : imp.functions) imports.push_back({imp.dll, f});
    FUZZ_EXPECT(NAME, seen.imports == imports);

    PluginImageFacts facts;
    readPluginImageFacts(reinterpret_cast<const uint8_t*>(image.data()), image.size(), &facts);
    uint32_t plain, wide, decorated;
    modelFacts(m, &plain, &wide, &decorated);
    FUZZ_EXPECT(NAME, facts.exportCount == m.exports.size());
    FUZZ_EXPECT(NAME, facts.entryPoints == plain && facts.wide == wide && facts.decorated == decorated);

    size_t where = (static_cast<size_t>(in.byte()) << 8 | in.byte()) % image.size();
    if (mode % 4 == 1) {
        // Cut short anywhere: the section's data is missing, so no image.
        Seen cut;
        FUZZ_EXPECT(NAME, !readBack(image.substr(0, where), &cut, &kind) && kind == PE_NOT_IMAGE);
    } else if (mode % 4 == 2) {
        // Overwritten anywhere: whatever comes back lies inside the buffer.
        std::string patch = in.rest();
        image.replace(where, patch.size() < image.size() - where ? patch.size() : image.size() - where, patch);
        Seen broken;
        readBack(image, &broken, &kind);
    }
    return 0;
}
