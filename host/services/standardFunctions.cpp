// The host's standard functions (the FSF table): the C library helpers, the
// host's own text and path helpers and an in-memory clipboard. Texts are in
// the OEM code page, as the host's are.
#include "services/services.h"

#include "common/hostText.h"
#include "interface/farApi.h"
#include "services/wildcards.h"

#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace farhost {

namespace {

// The host's clipboard: kept in memory, so that runs never touch the desktop's.
std::string g_clipboard;

unsigned char oemUpper(unsigned char c) {
    char buffer[2] = {static_cast<char>(c), 0};
    OemToCharBuffA(buffer, buffer, 1);
    CharUpperBuffA(buffer, 1);
    CharToOemBuffA(buffer, buffer, 1);
    return static_cast<unsigned char>(buffer[0]);
}

unsigned char oemLower(unsigned char c) {
    char buffer[2] = {static_cast<char>(c), 0};
    OemToCharBuffA(buffer, buffer, 1);
    CharLowerBuffA(buffer, 1);
    CharToOemBuffA(buffer, buffer, 1);
    return static_cast<unsigned char>(buffer[0]);
}

bool oemAlpha(unsigned char c) {
    char buffer[2] = {static_cast<char>(c), 0};
    OemToCharBuffA(buffer, buffer, 1);
    return IsCharAlphaA(buffer[0]) != 0;
}

int WINAPI fsfAtoi(const char* s) { return s ? atoi(s) : 0; }
__int64 WINAPI fsfAtoi64(const char* s) { return s ? _atoi64(s) : 0; }
char* WINAPI fsfItoa(int value, char* s, int radix) { return s ? _itoa(value, s, radix) : s; }
char* WINAPI fsfItoa64(__int64 value, char* s, int radix) { return s ? _i64toa(value, s, radix) : s; }

int __cdecl fsfSprintf(char* buffer, const char* format, ...) {
    if (!buffer || !format) return -1;
    va_list args;
    va_start(args, format);
    int n = vsprintf(buffer, format, args);
    va_end(args);
    return n;
}

int __cdecl fsfSscanf(const char* s, const char* format, ...) {
    if (!s || !format) return -1;
    va_list args;
    va_start(args, format);
    int n = vsscanf(s, format, args);
    va_end(args);
    return n;
}

void WINAPI fsfQsort(void* base, size_t count, size_t width, SortCompare compare) {
    if (base && compare && width) qsort(base, count, width, compare);
}

void* WINAPI fsfBsearch(const void* key, const void* base, size_t count, size_t width, SortCompare compare) {
    return base && compare && width ? bsearch(key, base, count, width, compare) : nullptr;
}

// Insertion sort through a byte buffer: stable, and needs nothing but the
// comparison the plugin gives with its parameter.
void WINAPI fsfQsortex(void* base, size_t count, size_t width, SortCompareEx compare, void* param) {
    if (!base || !compare || !width || count < 2) return;
    char* items = static_cast<char*>(base);
    std::string held(width, 0);
    for (size_t i = 1; i < count; ++i) {
        memcpy(&held[0], items + i * width, width);
        size_t j = i;
        while (j > 0 && compare(items + (j - 1) * width, held.data(), param) > 0) {
            memcpy(items + j * width, items + (j - 1) * width, width);
            --j;
        }
        memcpy(items + j * width, held.data(), width);
    }
}

int WINAPI fsfIsLower(unsigned c) { return oemAlpha(c & 0xFF) && oemLower(c & 0xFF) == (c & 0xFF); }
int WINAPI fsfIsUpper(unsigned c) { return oemAlpha(c & 0xFF) && oemUpper(c & 0xFF) == (c & 0xFF); }
int WINAPI fsfIsAlpha(unsigned c) { return oemAlpha(c & 0xFF); }
int WINAPI fsfIsAlphanum(unsigned c) { return oemAlpha(c & 0xFF) || ((c & 0xFF) >= '0' && (c & 0xFF) <= '9'); }
unsigned WINAPI fsfUpper(unsigned c) { return oemUpper(c & 0xFF); }
unsigned WINAPI fsfLower(unsigned c) { return oemLower(c & 0xFF); }

void WINAPI fsfUpperBuf(char* buffer, int length) {
    for (int i = 0; buffer && i < length; ++i) buffer[i] = static_cast<char>(oemUpper(static_cast<unsigned char>(buffer[i])));
}

void WINAPI fsfLowerBuf(char* buffer, int length) {
    for (int i = 0; buffer && i < length; ++i) buffer[i] = static_cast<char>(oemLower(static_cast<unsigned char>(buffer[i])));
}

void WINAPI fsfStrupr(char* s) { fsfUpperBuf(s, s ? static_cast<int>(strlen(s)) : 0); }
void WINAPI fsfStrlwr(char* s) { fsfLowerBuf(s, s ? static_cast<int>(strlen(s)) : 0); }

int WINAPI fsfStrnicmp(const char* a, const char* b, int n) {
    if (!a || !b) return a == b ? 0 : (a ? 1 : -1);
    for (int i = 0; i < n; ++i) {
        int x = oemUpper(static_cast<unsigned char>(a[i])), y = oemUpper(static_cast<unsigned char>(b[i]));
        if (x != y) return x < y ? -1 : 1;
        if (!x) return 0;
    }
    return 0;
}

int WINAPI fsfStricmp(const char* a, const char* b) { return fsfStrnicmp(a, b, 0x7FFFFFFF); }

void WINAPI fsfUnquote(char* s) {
    if (!s) return;
    char* out = s;
    for (const char* in = s; *in; ++in)
        if (*in != '"') *out++ = *in;
    *out = 0;
}

char* WINAPI fsfLTrim(char* s) {
    if (!s) return s;
    size_t start = strspn(s, " \t");
    memmove(s, s + start, strlen(s + start) + 1);
    return s;
}

char* WINAPI fsfRTrim(char* s) {
    if (!s) return s;
    size_t len = strlen(s);
    while (len > 0 && (s[len - 1] == ' ' || s[len - 1] == '\t')) s[--len] = 0;
    return s;
}

// Too long a text keeps its end, led by "...".
char* WINAPI fsfTruncStr(char* s, int maxLength) {
    if (!s || maxLength < 0) return s;
    int len = static_cast<int>(strlen(s));
    if (len <= maxLength) return s;
    if (maxLength < 3) {
        s[maxLength] = 0;
        return s;
    }
    memmove(s + 3, s + len - (maxLength - 3), maxLength - 3 + 1);
    memcpy(s, "...", 3);
    return s;
}

// Too long a path keeps its root, then "...", then its end.
char* WINAPI fsfTruncPathStr(char* s, int maxLength) {
    if (!s || maxLength < 0) return s;
    int len = static_cast<int>(strlen(s));
    if (len <= maxLength) return s;
    int root = 0;
    if (len > 2 && s[1] == ':' && s[2] == '\\') root = 3;
    if (root + 3 >= maxLength) return fsfTruncStr(s, maxLength);
    int tail = maxLength - root - 3;
    memmove(s + root + 3, s + len - tail, tail + 1);
    memcpy(s + root, "...", 3);
    return s;
}

char* WINAPI fsfQuoteSpaceOnly(char* s) {
    if (!s || !strchr(s, ' ')) return s;
    size_t len = strlen(s);
    memmove(s + 1, s, len);
    s[0] = '"';
    s[len + 1] = '"';
    s[len + 2] = 0;
    return s;
}

char* WINAPI fsfPointToName(char* path) {
    if (!path) return path;
    char* name = path;
    for (char* p = path; *p; ++p)
        if (*p == '\\' || *p == '/' || *p == ':') name = p + 1;
    return name;
}

void WINAPI fsfGetPathRoot(const char* path, char* root) {
    if (!root) return;
    std::string p = boundedText(path, MAX_PATH);
    std::string r;
    if (p.size() >= 2 && p[1] == ':') {
        r = p.substr(0, 2) + "\\";
    } else if (p.compare(0, 2, "\\\\") == 0) {
        size_t server = p.find('\\', 2);
        size_t share = server == std::string::npos ? std::string::npos : p.find('\\', server + 1);
        r = (share == std::string::npos ? p : p.substr(0, share)) + "\\";
    }
    copyBounded(root, MAX_PATH, r);
}

BOOL WINAPI fsfAddEndSlash(char* path) {
    if (!path) return FALSE;
    size_t len = strlen(path);
    if (len > 0 && (path[len - 1] == '\\' || path[len - 1] == '/')) return TRUE;
    path[len] = '\\';
    path[len + 1] = 0;
    return TRUE;
}

int WINAPI fsfCopyToClipboard(const char* data) {
    g_clipboard = boundedText(data, 1 << 20);
    if (Host* host = Host::current())
        ServiceAccess::transcribe(*host, "CopyToClipboard(" + std::to_string(g_clipboard.size()) + " bytes)");
    return TRUE;
}

// The plugin gives the buffer back through DeleteBuffer.
char* WINAPI fsfPasteFromClipboard() {
    if (g_clipboard.empty()) return nullptr;
    char* copy = static_cast<char*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, g_clipboard.size() + 1));
    if (copy) memcpy(copy, g_clipboard.data(), g_clipboard.size());
    return copy;
}

void WINAPI fsfDeleteBuffer(char* buffer) {
    if (buffer) HeapFree(GetProcessHeap(), 0, buffer);
}

int WINAPI fsfGetNumberOfLinks(const char* name) {
    HANDLE file = CreateFileA(name ? name : "", 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    BY_HANDLE_FILE_INFORMATION info;
    int links = GetFileInformationByHandle(file, &info) ? static_cast<int>(info.nNumberOfLinks) : 1;
    CloseHandle(file);
    return links;
}

// Walks dir (subfolders with FRS_RECUR), calling fn for every name that
// matches mask; fn answering 0 stops the walk.
bool searchFolder(const std::string& dir, const std::string& mask, RecursiveSearchFunction fn, DWORD flags,
                  void* param, int depth) {
    if (depth > 32) return true;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((dir + "*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return true;
    std::vector<std::string> folders;
    bool go = true;
    do {
        std::string name = boundedText(data.cFileName, sizeof data.cFileName);
        if (name == "." || name == "..") continue;
        bool folder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (matchesMaskList(mask, name)) go = fn(&data, (dir + name).c_str(), param) != 0;
        if (folder && (flags & FRS_RECUR)) folders.push_back(name);
    } while (go && FindNextFileA(find, &data));
    FindClose(find);
    for (size_t i = 0; go && i < folders.size(); ++i)
        go = searchFolder(dir + folders[i] + "\\", mask, fn, flags, param, depth + 1);
    return go;
}

void WINAPI fsfRecursiveSearch(const char* dir, const char* mask, RecursiveSearchFunction fn, DWORD flags, void* param) {
    if (!dir || !fn) return;
    std::string start = boundedText(dir, MAX_PATH);
    if (!start.empty() && start.back() != '\\') start += '\\';
    searchFolder(start, mask ? boundedText(mask, MAX_PATH) : std::string("*"), fn, flags, param, 0);
}

char* WINAPI fsfMkTemp(char* dest, const char* prefix) {
    if (!dest) return dest;
    char folder[MAX_PATH] = {};
    if (!GetTempPathA(sizeof folder, folder)) return nullptr;
    std::string lead = prefix && *prefix ? boundedText(prefix, 8) : std::string("FAR");
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 1000; ++attempt) {
        char name[MAX_PATH];
        snprintf(name, sizeof name, "%s%s%05X.TMP", folder, lead.c_str(),
                 static_cast<unsigned>((GetCurrentProcessId() * 31 + ++counter) & 0xFFFFF));
        if (GetFileAttributesA(name) == INVALID_FILE_ATTRIBUTES) {
            copyBounded(dest, MAX_PATH, name);
            return dest;
        }
    }
    return nullptr;
}

int WINAPI fsfProcessName(const char* mask, char* name, DWORD flags) {
    std::string m = boundedText(mask, MAX_PATH), n = boundedText(name, MAX_PATH);
    if (flags & PN_SKIPPATH) n = namePart(n);
    switch (flags & 0xFF) {
    case PN_CMPNAME: return matchesMask(m, n);
    case PN_CMPNAMELIST: return matchesMaskList(m, n);
    default:
        if (Host* host = Host::current()) host->notEmulated("ProcessName(PN_GENERATENAME)");
        return FALSE;
    }
}

}  // namespace

void Services::fillStandardFunctions(FarStandardFunctions& fsf) {
    memset(&fsf, 0, sizeof fsf);
    StandardFunctionsTable& t = reinterpret_cast<StandardFunctionsTable&>(fsf);
    t.StructSize = sizeof(FarStandardFunctions);
    t.atoi = fsfAtoi;
    t.atoi64 = fsfAtoi64;
    t.itoa = fsfItoa;
    t.itoa64 = fsfItoa64;
    t.sprintf = fsfSprintf;
    t.sscanf = fsfSscanf;
    t.qsort = fsfQsort;
    t.bsearch = fsfBsearch;
    t.qsortex = fsfQsortex;
    t.LIsLower = fsfIsLower;
    t.LIsUpper = fsfIsUpper;
    t.LIsAlpha = fsfIsAlpha;
    t.LIsAlphanum = fsfIsAlphanum;
    t.LUpper = fsfUpper;
    t.LLower = fsfLower;
    t.LUpperBuf = fsfUpperBuf;
    t.LLowerBuf = fsfLowerBuf;
    t.LStrupr = fsfStrupr;
    t.LStrlwr = fsfStrlwr;
    t.LStricmp = fsfStricmp;
    t.LStrnicmp = fsfStrnicmp;
    t.Unquote = fsfUnquote;
    t.ExpandEnvironmentStr = &Services::expandEnvironmentStr;
    t.LTrim = fsfLTrim;
    t.RTrim = fsfRTrim;
    t.Trim = &Services::trim;
    t.TruncStr = fsfTruncStr;
    t.TruncPathStr = fsfTruncPathStr;
    t.QuoteSpaceOnly = fsfQuoteSpaceOnly;
    t.PointToName = fsfPointToName;
    t.GetPathRoot = fsfGetPathRoot;
    t.AddEndSlash = fsfAddEndSlash;
    t.CopyToClipboard = fsfCopyToClipboard;
    t.PasteFromClipboard = fsfPasteFromClipboard;
    t.GetNumberOfLinks = fsfGetNumberOfLinks;
    t.FarRecursiveSearch = fsfRecursiveSearch;
    t.MkTemp = fsfMkTemp;
    t.DeleteBuffer = fsfDeleteBuffer;
    t.ProcessName = fsfProcessName;
    fillNotEmulatedStandardFunctions(fsf);
}

DWORD WINAPI Services::expandEnvironmentStr(const char* src, char* dst, size_t size) {
    if (!dst || size == 0) return 0;
    // src and dst may be the same buffer: expand from a copy.
    std::string source = boundedText(src, 32768);
    DWORD need = ExpandEnvironmentStringsA(source.c_str(), nullptr, 0);
    std::string expanded;
    if (need > 0) {
        std::vector<char> buffer(need + 1, 0);
        DWORD got = ExpandEnvironmentStringsA(source.c_str(), buffer.data(), need + 1);
        if (got > 0 && got <= need + 1) expanded = buffer.data();
    }
    if (expanded.empty() && !source.empty()) expanded = source;
    copyBounded(dst, size, expanded);
    return static_cast<DWORD>(strlen(dst));
}

char* WINAPI Services::trim(char* text) {
    if (!text) return text;
    size_t len = strlen(text);
    size_t start = 0;
    while (start < len && (text[start] == ' ' || text[start] == '\t')) ++start;
    while (len > start && (text[len - 1] == ' ' || text[len - 1] == '\t')) --len;
    memmove(text, text + start, len - start);
    text[len - start] = 0;
    return text;
}

}  // namespace farhost
