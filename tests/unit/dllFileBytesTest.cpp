#include "dll/dllFileBytes.h"
#include "testSupport.h"

#include <gtest/gtest.h>
#include <string>

using namespace testing_support;

// One reader goes from file to file through a scan, reading small files into
// the buffer it keeps and mapping large ones: each file must come out whole,
// whatever came before it.
TEST(DllFileBytes, EachFileComesWholeWhateverWasReadBefore) {
    TempDir dir("bytes");
    const struct { const char* name; size_t size; } files[] = {
        {"mid.dll", 100000}, {"small.dll", 3},   {"empty.dll", 0},     {"large.dll", (4u << 20) + 5},
        {"small2.dll", 7},   {"gone.dll", 0},    {"mid2.dll", 200000},
    };
    for (const auto& f : files) {
        if (std::string(f.name) == "gone.dll") continue;
        std::string bytes(f.size, '\0');
        for (size_t i = 0; i < f.size; ++i) bytes[i] = static_cast<char>(i * 7 + f.size);
        ASSERT_TRUE(writeFile(dir / f.name, bytes));
    }
    DllFileBytes reader;
    for (const auto& f : files) {
        reader.open((dir / f.name).c_str());
        ASSERT_EQ(f.size, reader.size()) << f.name;
        if (!f.size) {
            EXPECT_EQ(nullptr, reader.data()) << f.name;
            continue;
        }
        ASSERT_NE(nullptr, reader.data()) << f.name;
        EXPECT_EQ(readFile(dir / f.name), std::string(reinterpret_cast<const char*>(reader.data()), reader.size()))
            << f.name;
    }
}
