// What every fuzz target shares: its entry function, the way it reports a
// result that disagrees with the model of its rule, and a reader for the
// fuzzer's bytes. The same target sources build natively with libFuzzer (one
// program per target, VANTOREL_LIBFUZZER defined) and into the unit tests,
// which replay the saved inputs of tests/fuzz/corpus/.
#pragma once
#include <stddef.h>
#include <stdint.h>
#include <string.h>
#include <string>

typedef int (*FuzzEntry)(const uint8_t* data, size_t size);

// Called when a target's output breaks its rule. The native build prints and
// aborts, so that libFuzzer keeps the input as a finding; the unit tests
// record a failure and go on.
typedef void (*FuzzFailureHandler)(const char* target, const char* what);
extern FuzzFailureHandler fuzzFailure;

#define FUZZ_EXPECT(target, condition) \
    do { \
        if (!(condition)) fuzzFailure(target, #condition); \
    } while (0)

#ifdef VANTOREL_LIBFUZZER
#define FUZZ_TARGET(name) \
    int name(const uint8_t* data, size_t size); \
    extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) { return name(data, size); } \
    int name(const uint8_t* data, size_t size)
#else
#define FUZZ_TARGET(name) int name(const uint8_t* data, size_t size)
#endif

// Takes the fuzzer's bytes apart: single bytes for choices and sizes, and
// byte strings up to a separator.
class FuzzInput {
public:
    FuzzInput(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    uint8_t byte() { return at_ < size_ ? data_[at_++] : 0; }
    // The bytes up to the next 0xFF (dropped) or the end.
    std::string part() {
        size_t start = at_;
        while (at_ < size_ && data_[at_] != 0xFF) ++at_;
        std::string s(reinterpret_cast<const char*>(data_ + start), at_ - start);
        if (at_ < size_) ++at_;
        return s;
    }
    std::string rest() {
        std::string s(reinterpret_cast<const char*>(data_ + at_), size_ - at_);
        at_ = size_;
        return s;
    }
    bool empty() const { return at_ >= size_; }

private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};

// The text of s up to its first NUL: what a C string made of s holds.
inline std::string cText(const std::string& s) {
    return s.substr(0, strlen(s.c_str()));
}

// The models compare letters A-Z without their case, every other byte exactly.
inline char modelLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

inline bool modelSameNoCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (modelLower(a[i]) != modelLower(b[i])) return false;
    return true;
}
