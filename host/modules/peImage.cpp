#include "modules/peImage.h"

#include "common/hostText.h"

#include <string.h>

namespace farhost {

namespace {

const IMAGE_DATA_DIRECTORY* directory(HMODULE module, int which) {
    const BYTE* base = reinterpret_cast<const BYTE*>(module);
    auto dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    if (!module || dos->e_magic != IMAGE_DOS_SIGNATURE) return nullptr;
    auto nt = reinterpret_cast<const IMAGE_NT_HEADERS32*>(base + dos->e_lfanew);
    if (nt->Signature != IMAGE_NT_SIGNATURE || nt->OptionalHeader.NumberOfRvaAndSizes <= static_cast<DWORD>(which))
        return nullptr;
    const IMAGE_DATA_DIRECTORY* d = &nt->OptionalHeader.DataDirectory[which];
    return d->VirtualAddress && d->Size ? d : nullptr;
}

}  // namespace

std::vector<std::string> exportNames(HMODULE module) {
    std::vector<std::string> names;
    const IMAGE_DATA_DIRECTORY* d = directory(module, IMAGE_DIRECTORY_ENTRY_EXPORT);
    if (!d) return names;
    const BYTE* base = reinterpret_cast<const BYTE*>(module);
    auto exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + d->VirtualAddress);
    auto nameRvas = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
    for (DWORD i = 0; i < exports->NumberOfNames && i < 65536; ++i)
        names.push_back(boundedText(reinterpret_cast<const char*>(base + nameRvas[i]), 512));
    return names;
}

std::string undecoratedName(const std::string& exported) {
    size_t at = exported.rfind('@');
    if (at == std::string::npos || at == 0 || at + 1 >= exported.size()) return std::string();
    for (size_t i = at + 1; i < exported.size(); ++i)
        if (exported[i] < '0' || exported[i] > '9') return std::string();
    size_t start = exported[0] == '_' ? 1 : 0;
    return exported.substr(start, at - start);
}

bool rerouteImport(HMODULE module, const char* dll, const char* function, void* replacement) {
    const IMAGE_DATA_DIRECTORY* d = directory(module, IMAGE_DIRECTORY_ENTRY_IMPORT);
    if (!d) return false;
    BYTE* base = reinterpret_cast<BYTE*>(module);
    bool done = false;
    for (auto imp = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + d->VirtualAddress); imp->Name; ++imp) {
        if (!equalNoCase(boundedText(reinterpret_cast<const char*>(base + imp->Name), MAX_PATH), dll)) continue;
        DWORD lookupRva = imp->OriginalFirstThunk ? imp->OriginalFirstThunk : imp->FirstThunk;
        auto lookup = reinterpret_cast<IMAGE_THUNK_DATA32*>(base + lookupRva);
        auto slots = reinterpret_cast<IMAGE_THUNK_DATA32*>(base + imp->FirstThunk);
        for (; lookup->u1.AddressOfData; ++lookup, ++slots) {
            if (lookup->u1.Ordinal & IMAGE_ORDINAL_FLAG32) continue;
            auto byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + lookup->u1.AddressOfData);
            if (strcmp(reinterpret_cast<const char*>(byName->Name), function) != 0) continue;
            DWORD old = 0;
            if (!VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE, &old)) continue;
            slots->u1.Function = reinterpret_cast<DWORD>(replacement);
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, old, &old);
            done = true;
        }
    }
    return done;
}

}  // namespace farhost
