// The bounded text helpers against models over std::string. Every buffer is a
// heap block of exactly its stated capacity, so a write or read past it is an
// AddressSanitizer finding.
#include "fuzzTarget.h"

#include "runtime/text.h"

#include <stdlib.h>
#include <string.h>
#include <vector>

namespace {

const char NAME[] = "text";

// A block of exactly size bytes holding bytes (cut to fit), terminated when
// terminate is true and it fits.
struct Block {
    Block(const std::string& bytes, size_t size, bool terminate) : size(size), data(static_cast<char*>(malloc(size ? size : 1))) {
        size_t n = bytes.size() < size ? bytes.size() : size;
        memcpy(data, bytes.data(), n);
        memset(data + n, 'Q', size - n);
        if (terminate && size) data[n < size ? n : size - 1] = 0;
    }
    ~Block() { free(data); }
    Block(const Block&) = delete;
    Block& operator=(const Block&) = delete;
    size_t size;
    char* data;
};

void checkCopies(const std::string& src, size_t cap, size_t n) {
    std::string text = cText(src);
    // copyText: at most cap-1 characters of the terminated source.
    {
        Block dst("", cap, false);
        size_t copied = copyText(dst.data, cap, text.c_str());
        size_t want = cap ? (text.size() < cap - 1 ? text.size() : cap - 1) : 0;
        FUZZ_EXPECT(NAME, copied == want);
        if (cap) FUZZ_EXPECT(NAME, std::string(dst.data) == text.substr(0, want));
    }
    // copyTextN and boundedLength over a source of exactly n bytes, which
    // need not hold a terminator.
    {
        Block source(src, n, false);
        size_t bounded = boundedLength(source.data, n);
        size_t model = cText(std::string(source.data, n)).size();
        FUZZ_EXPECT(NAME, bounded == model);
        Block dst("", cap, false);
        size_t copied = copyTextN(dst.data, cap, source.data, n);
        size_t want = cap ? (model < cap - 1 ? model : cap - 1) : 0;
        FUZZ_EXPECT(NAME, copied == want);
        if (cap) FUZZ_EXPECT(NAME, std::string(dst.data) == std::string(source.data, want));
    }
}

void checkAppends(const std::string& head, const std::string& tail, size_t cap) {
    if (cap == 0) return;
    std::string start = cText(head).substr(0, cap - 1);
    std::string more = cText(tail);
    {
        Block dst(start, cap, true);
        bool all = appendText(dst.data, cap, more.c_str());
        std::string want = (start + more).substr(0, cap - 1);
        FUZZ_EXPECT(NAME, std::string(dst.data) == want);
        FUZZ_EXPECT(NAME, all == (start.size() + more.size() <= cap - 1));
    }
    {
        Block dst(start, cap, true);
        bool all = appendWhole(dst.data, cap, more.c_str());
        bool fits = start.size() + more.size() <= cap - 1;
        FUZZ_EXPECT(NAME, all == fits);
        FUZZ_EXPECT(NAME, std::string(dst.data) == (fits ? start + more : start));
    }
}

void checkComparisons(const std::string& a, const std::string& b) {
    std::string text = cText(a), word = cText(b);
    size_t want = std::string::npos;
    for (size_t i = 0; i + word.size() <= text.size(); ++i)
        if (modelSameNoCase(text.substr(i, word.size()), word)) {
            want = i;
            break;
        }
    const char* found = findNoCase(text.c_str(), word.c_str());
    FUZZ_EXPECT(NAME, want == std::string::npos ? found == nullptr : found == text.c_str() + want);
    FUZZ_EXPECT(NAME, equalNoCase(text.c_str(), word.c_str()) == modelSameNoCase(text, word));
    bool prefix = word.size() <= text.size() && modelSameNoCase(text.substr(0, word.size()), word);
    FUZZ_EXPECT(NAME, startsWithNoCase(text.c_str(), word.c_str()) == prefix);
}

void checkEndSlash(const std::string& path, int wanted, size_t cap) {
    if (cap == 0) return;
    std::string start = cText(path).substr(0, cap - 1);
    Block buffer(start, cap, true);
    setEndSlash(buffer.data, wanted, cap);
    std::string want = start;
    if (!start.empty()) {
        bool slash = start.back() == '\\';
        if (wanted && !slash && start.size() + 1 < cap) want += '\\';
        if (!wanted && slash) want.pop_back();
    }
    FUZZ_EXPECT(NAME, std::string(buffer.data) == want);
}

}  // namespace

FUZZ_TARGET(fuzzText) {
    FuzzInput in(data, size);
    size_t cap = in.byte() % 48;
    size_t n = in.byte() % 48;
    int wanted = in.byte() & 1;
    std::string a = in.part();
    std::string b = in.rest();
    checkCopies(a, cap, n);
    checkAppends(a, b, cap);
    checkComparisons(a, b);
    checkEndSlash(a, wanted, cap);
    return 0;
}
