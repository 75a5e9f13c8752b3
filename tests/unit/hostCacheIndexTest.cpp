// Reading FAR's plugin cache as FAR reads it at its start: the slot of a DLL
// is the first whose Name is its path and whose ID is the file's.
#include "farRecords/cacheSlot.h"
#include "farRecords/hostCacheMenus.h"
#include "state/pluginState.h"

#include <gtest/gtest.h>

#include <string>

namespace {

WIN32_FIND_DATAA foundOf(DWORD size, DWORD created, DWORD written) {
    WIN32_FIND_DATAA f = {};
    f.nFileSizeLow = size;
    f.nFileSizeHigh = 7;   // FAR's ID leaves out the high words
    f.ftCreationTime.dwLowDateTime = created;
    f.ftCreationTime.dwHighDateTime = 0x01d00000;
    f.ftLastWriteTime.dwLowDateTime = written;
    f.ftLastWriteTime.dwHighDateTime = 0x01d00001;
    return f;
}

std::string idOf(const WIN32_FIND_DATAA& f) {
    char id[32];
    hostCacheId(id, sizeof id, f);
    return id;
}

class HostCacheIndexTest : public ::testing::Test {
protected:
    std::string base = "Software\\VantorelTests\\cacheIndex-" + std::to_string(GetCurrentProcessId());
    std::string rootKey = base + "\\Far\\Plugins";
    const char* savedRoot = nullptr;

    void SetUp() override {
        savedRoot = startupInfo.RootKey;
        startupInfo.RootKey = rootKey.c_str();
    }
    void TearDown() override {
        startupInfo.RootKey = savedRoot;
        deleteKeyTree(HKEY_CURRENT_USER, base.c_str());
    }
    HKEY slot(int n) {
        HKEY h = nullptr;
        std::string key = base + "\\Far\\PluginsCache\\Plugin" + std::to_string(n);
        RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h, nullptr);
        return h;
    }
    void text(HKEY h, const char* name, const std::string& value) {
        RegSetValueExA(h, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>(value.size() + 1));
    }
    void number(HKEY h, const char* name, DWORD value) {
        RegSetValueExA(h, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    }
    void addSlot(int n, const std::string& name, const std::string& id, DWORD preload = 0) {
        HKEY h = slot(n);
        text(h, "Name", name);
        text(h, "ID", id);
        number(h, "Preload", preload);
        RegCloseKey(h);
    }
};

}  // namespace

TEST(HostCacheId, IsSizeCreationAndWriteTimeInHexWithoutLeadingZeros) {
    struct Case {
        DWORD size, created, written;
        const char* id;
    } cases[] = {
        {0xe400, 0xa14def00, 0xa37ea900, "e400a14def00a37ea900"},   // the example FAR's own source gives
        {0x10, 0, 0xabc, "100abc"},
        {0xffffffff, 0x0000000f, 0x00f00000, "ffffffffff00000"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.id, idOf(foundOf(c.size, c.created, c.written))) << c.id;
}

TEST_F(HostCacheIndexTest, FindsTheFirstSlotWhoseNameAndIdMatchUpToTheFirstGap) {
    WIN32_FIND_DATAA a = foundOf(100, 1, 2), b = foundOf(200, 3, 4), c = foundOf(300, 5, 6);
    addSlot(0, "C:\\Far\\Plugins\\A\\a.dll", idOf(a));
    addSlot(1, "C:\\Far\\Plugins\\B\\b.dll", idOf(foundOf(200, 3, 5)));   // an older build
    addSlot(2, "c:\\far\\plugins\\b\\B.DLL", idOf(b));
    addSlot(3, "C:\\Far\\Plugins\\B\\b.dll", idOf(b));
    addSlot(4, "C:\\Far\\Plugins\\C\\c.dll", idOf(c), 1);
    addSlot(6, "C:\\Far\\Plugins\\D\\d.dll", idOf(a));   // after the gap FAR reads nothing
    HostCacheIndex index;
    ASSERT_TRUE(index.read());
    bool preload = true;
    EXPECT_EQ(0, index.find("C:\\Far\\Plugins\\A\\a.dll", a, &preload));
    EXPECT_FALSE(preload);
    EXPECT_EQ(-1, index.find("C:\\Far\\Plugins\\A\\a.dll", b, &preload)) << "another file at the path";
    EXPECT_EQ(2, index.find("C:\\Far\\Plugins\\B\\b.dll", b, &preload));
    EXPECT_EQ(-1, index.find("C:\\Far\\Plugins\\B\\b2.dll", b, &preload));
    EXPECT_EQ(4, index.find("C:\\Far\\Plugins\\C\\c.dll", c, &preload));
    EXPECT_TRUE(preload);
    EXPECT_EQ(-1, index.find("C:\\Far\\Plugins\\D\\d.dll", a, &preload));
}

// The first string of the first list a slot holds, in the order a
// description takes them, cut as a probe's copy is.
TEST_F(HostCacheIndexTest, ASlotsMenusAreTheFirstListItHoldsCutAsAProbesCopy) {
    WIN32_FIND_DATAA f = foundOf(1, 2, 3);
    struct Case {
        const char* disk;
        const char* plugins;
        const char* config;
        int list;
        std::string text;
    } cases[] = {
        {"Disk", "Plugins", "Config", 0, "Disk"},
        {nullptr, "Plugins", "Config", 1, "Plugins"},
        {nullptr, nullptr, "Config", 2, "Config"},
        {"", "Plugins", nullptr, 0, ""},   // an empty first string is still a list
        {nullptr, nullptr, nullptr, -1, ""},
    };
    std::string longText(300, 'x');
    const int n = sizeof cases / sizeof cases[0];
    for (int i = 0; i < n; ++i) {
        addSlot(i, "C:\\p\\" + std::to_string(i) + ".dll", idOf(f));
        HKEY h = slot(i);
        if (cases[i].disk) text(h, "DiskMenuString0", cases[i].disk);
        if (cases[i].plugins) text(h, "PluginMenuString0", cases[i].plugins);
        if (cases[i].config) text(h, "PluginConfigString0", cases[i].config);
        text(h, "PluginMenuString1", "second");
        RegCloseKey(h);
    }
    addSlot(n, "C:\\p\\long.dll", idOf(f));
    HKEY h = slot(n);
    text(h, "PluginMenuString0", longText);
    RegCloseKey(h);
    addSlot(n + 1, "C:\\p\\number.dll", idOf(f));
    h = slot(n + 1);
    number(h, "DiskMenuString0", 5);   // not a text: the plugin is asked instead
    RegCloseKey(h);
    HostCacheIndex index;
    ASSERT_TRUE(index.read());
    HostCacheMenus menus;
    for (int i = 0; i < n; ++i) {
        SCOPED_TRACE(i);
        ASSERT_TRUE(index.menus(i, &menus));
        for (int k = 0; k < 3; ++k) EXPECT_EQ(k == cases[i].list ? 1 : 0, menus.counts[k]) << k;
        if (cases[i].list >= 0) EXPECT_EQ(cases[i].text, menus.texts[cases[i].list]);
    }
    ASSERT_TRUE(index.menus(n, &menus));
    EXPECT_EQ(std::string(127, 'x'), menus.texts[1]);
    EXPECT_FALSE(index.menus(n + 1, &menus));
}

TEST_F(HostCacheIndexTest, NoCacheKeyNoSlots) {
    HostCacheIndex index;
    EXPECT_FALSE(index.read());
    bool preload;
    EXPECT_EQ(-1, index.find("C:\\x.dll", foundOf(1, 2, 3), &preload));
}
