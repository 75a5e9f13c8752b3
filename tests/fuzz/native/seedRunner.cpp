// The main of a fuzz target built without libFuzzer (scripts/fuzz.sh
// --check): feeds the target an empty input and then each file named on the
// command line once. A target whose output breaks its rule aborts, as it
// does under the fuzzer.
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
    LLVMFuzzerTestOneInput(nullptr, 0);
    for (int i = 1; i < argc; ++i) {
        FILE* file = fopen(argv[i], "rb");
        if (!file) continue;   // an empty corpus folder passes its pattern as is
        std::vector<uint8_t> bytes;
        int c;
        while ((c = fgetc(file)) != EOF) bytes.push_back(static_cast<uint8_t>(c));
        fclose(file);
        LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    }
    return 0;
}
