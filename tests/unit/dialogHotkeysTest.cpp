// The configuration dialog as a user meets it in either language: no two of
// its items may answer the same Alt+letter.
#include "testSupport.h"
#include "ui/messages.h"

#include <gtest/gtest.h>
#include <set>
#include <string>
#include <vector>

using namespace testing_support;

namespace {

// The message lines of a language file, in id order.
std::vector<std::string> messagesOf(const std::string& path) {
    std::vector<std::string> out;
    for (std::string line : readLines(path)) {
        if (line.empty() || line[0] != '"') continue;
        while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
        out.push_back(line.substr(1, line.size() - 2));
    }
    return out;
}

// Letters of the host's code page 866 compared without their case.
unsigned char foldOem(unsigned char c) {
    if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 32);
    if (c >= 0xA0 && c <= 0xAF) return static_cast<unsigned char>(c - 0x20);   // а..п
    if (c >= 0xE0 && c <= 0xEF) return static_cast<unsigned char>(c - 0x50);   // р..я
    if (c == 0xF1) return 0xF0;                                                 // ё
    return c;
}

}  // namespace

TEST(ConfigurationDialog, HotkeysAreDistinctInEveryLanguage) {
    const int items[] = {MCfgDiskMenu, MCfgPluginsMenu, MCfgDiskMenuNumber, MCfgStartView,
                         MCfgSkipProbing, MCfgMarkLoaded, MCfgOk, MCfgCancel};
    for (const char* file : {"VantorelEng.lng", "VantorelRus.lng"}) {
        std::vector<std::string> messages = messagesOf(distDir() + file);
        ASSERT_GT(messages.size(), static_cast<size_t>(MCfgCancel)) << file;
        std::set<unsigned char> seen;
        int hotkeys = 0;
        for (int id : items) {
            const std::string& text = messages[id];
            size_t amp = text.find('&');
            if (amp == std::string::npos || amp + 1 >= text.size()) continue;
            ++hotkeys;
            EXPECT_TRUE(seen.insert(foldOem(static_cast<unsigned char>(text[amp + 1]))).second)
                << file << ": the hotkey of \"" << text << "\" is taken";
        }
        EXPECT_GE(hotkeys, 7) << file;
    }
}
