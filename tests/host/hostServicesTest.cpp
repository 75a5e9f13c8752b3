// The services the emulator lends a plugin beyond boxes and panels, and the
// text rules of its output: what another author's plugin gets from them must
// be what the host gives, or the plugin passes here and fails there.
#include "cli/cliReport.h"
#include "console/terminalText.h"
#include "farHost.h"
#include "faults/faultReport.h"
#include "interface/farApi.h"
#include "modules/peImage.h"
#include "services/helpFile.h"
#include "services/wildcards.h"
#include "testSupport.h"

#include <gtest/gtest.h>

#include <string.h>

using namespace farhost;
using testing_support::TempDir;

namespace {

// The sample panel plugin loaded from a folder of its own, its panel open.
class HostServicesTest : public ::testing::Test {
protected:
    TempDir dir{"hostsvc"};
    std::unique_ptr<Host> host;
    Plugin* plugin = nullptr;

    void SetUp() override {
        ASSERT_TRUE(testing_support::copyTree(testing_support::fixtureDir("panel"), dir / "panel\\"));
        host.reset(new Host(HostOptions()));
        plugin = host->load(dir / "panel\\panel.dll");
        ASSERT_NE(nullptr, plugin) << host->lastError();
    }
    const PluginStartupInfo& si() const { return plugin->startupInfo(); }
    const StandardFunctionsTable& fsf() const { return *reinterpret_cast<const StandardFunctionsTable*>(si().FSF); }
};

}  // namespace

TEST_F(HostServicesTest, EveryServiceSlotIsFilled) {
    const void* const* slots = reinterpret_cast<const void* const*>(&si().Menu);
    const void* const* end = reinterpret_cast<const void* const*>(&si().Reserved);
    for (const void* const* s = slots; s < end; ++s) EXPECT_NE(nullptr, *s) << "startup slot " << (s - slots);
    EXPECT_NE(nullptr, si().ViewerControl);
    const void* const* table = reinterpret_cast<const void* const*>(si().FSF);
    for (int i = 1; i < 54; ++i) {
        if (i >= 10 && i <= 18) continue;   // reserved
        EXPECT_NE(nullptr, table[i]) << "standard function at offset " << i * 4;
    }
}

TEST_F(HostServicesTest, StandardTextAndPathFunctionsWorkInPlace) {
    struct Case {
        const char* what;
        char* (*apply)(const StandardFunctionsTable&, char*);
        const char* in;
        const char* out;
    } cases[] = {
        {"PointToName", [](const StandardFunctionsTable& f, char* s) { return f.PointToName(s); }, "C:\\Far\\Plugins\\x.dll", "x.dll"},
        {"PointToName", [](const StandardFunctionsTable& f, char* s) { return f.PointToName(s); }, "name", "name"},
        {"AddEndSlash", [](const StandardFunctionsTable& f, char* s) { f.AddEndSlash(s); return s; }, "C:\\Far", "C:\\Far\\"},
        {"AddEndSlash", [](const StandardFunctionsTable& f, char* s) { f.AddEndSlash(s); return s; }, "C:\\Far\\", "C:\\Far\\"},
        {"Unquote", [](const StandardFunctionsTable& f, char* s) { f.Unquote(s); return s; }, "\"a b\" \"c\"", "a b c"},
        {"QuoteSpaceOnly", [](const StandardFunctionsTable& f, char* s) { return f.QuoteSpaceOnly(s); }, "a b", "\"a b\""},
        {"QuoteSpaceOnly", [](const StandardFunctionsTable& f, char* s) { return f.QuoteSpaceOnly(s); }, "ab", "ab"},
        {"LTrim", [](const StandardFunctionsTable& f, char* s) { return f.LTrim(s); }, " \t x ", "x "},
        {"RTrim", [](const StandardFunctionsTable& f, char* s) { return f.RTrim(s); }, " x \t", " x"},
        {"TruncStr", [](const StandardFunctionsTable& f, char* s) { return f.TruncStr(s, 8); }, "abcdefghijkl", "...hijkl"},
        {"TruncStr", [](const StandardFunctionsTable& f, char* s) { return f.TruncStr(s, 20); }, "short", "short"},
        {"TruncPathStr", [](const StandardFunctionsTable& f, char* s) { return f.TruncPathStr(s, 14); },
         "C:\\Far\\Plugins\\Vantorel", "C:\\...Vantorel"},
        {"LStrupr", [](const StandardFunctionsTable& f, char* s) { f.LStrupr(s); return s; }, "abc\x84z", "ABC\x8EZ"},
        {"LStrlwr", [](const StandardFunctionsTable& f, char* s) { f.LStrlwr(s); return s; }, "ABC\x8EZ", "abc\x84z"},
        {"itoa", [](const StandardFunctionsTable& f, char* s) { return f.itoa(-255, s, 10); }, "", "-255"},
        {"itoa", [](const StandardFunctionsTable& f, char* s) { return f.itoa(255, s, 16); }, "", "ff"},
    };
    for (const Case& c : cases) {
        char buffer[64] = {};
        strcpy(buffer, c.in);
        char* result = c.apply(fsf(), buffer);
        EXPECT_STREQ(c.out, result) << c.what << "(" << c.in << ")";
    }
    char root[MAX_PATH];
    fsf().GetPathRoot("\\\\server\\share\\dir\\file", root);
    EXPECT_STREQ("\\\\server\\share\\", root);
    fsf().GetPathRoot("D:\\dir", root);
    EXPECT_STREQ("D:\\", root);
    EXPECT_EQ(0, fsf().LStricmp("Plugin\x84", "PLUGIN\x8E"));
    EXPECT_GT(0, fsf().LStrnicmp("abc", "abd", 3));
    EXPECT_EQ(0, fsf().LStrnicmp("abc", "abd", 2));
    EXPECT_EQ(-42, fsf().atoi("-42x"));
    EXPECT_EQ(12345678901LL, fsf().atoi64("12345678901"));
}

TEST_F(HostServicesTest, StandardCLibraryFunctionsTakeThePluginsArguments) {
    char buffer[64];
    EXPECT_EQ(12, fsf().sprintf(buffer, "%s=%04d|%c", "count", 42, 'z'));
    EXPECT_STREQ("count=0042|z", buffer);
    int number = 0;
    char word[16] = {};
    EXPECT_EQ(2, fsf().sscanf("size 1234", "%15s %d", word, &number));
    EXPECT_STREQ("size", word);
    EXPECT_EQ(1234, number);

    int values[] = {5, 1, 4, 2, 3};
    fsf().qsort(values, 5, sizeof(int), [](const void* a, const void* b) {
        return *static_cast<const int*>(a) - *static_cast<const int*>(b);
    });
    EXPECT_EQ((std::vector<int>{1, 2, 3, 4, 5}), std::vector<int>(values, values + 5));
    int key = 4;
    const void* found = fsf().bsearch(&key, values, 5, sizeof(int), [](const void* a, const void* b) {
        return *static_cast<const int*>(a) - *static_cast<const int*>(b);
    });
    EXPECT_EQ(&values[3], found);
    // qsortex passes its parameter to every comparison: here the sort direction.
    int direction = -1;
    fsf().qsortex(values, 5, sizeof(int),
                  [](const void* a, const void* b, void* p) {
                      return *static_cast<int*>(p) * (*static_cast<const int*>(a) - *static_cast<const int*>(b));
                  },
                  &direction);
    EXPECT_EQ((std::vector<int>{5, 4, 3, 2, 1}), std::vector<int>(values, values + 5));

    fsf().CopyToClipboard("copied text");
    char* pasted = fsf().PasteFromClipboard();
    ASSERT_NE(nullptr, pasted);
    EXPECT_STREQ("copied text", pasted);
    fsf().DeleteBuffer(pasted);
}

TEST(HostWildcards, MasksMatchAsTheHostMatchesThem) {
    struct Case {
        const char* mask;
        const char* name;
        bool list;
        bool matches;
    } cases[] = {
        {"*.dll", "Plugin.DLL", false, true},  {"*.dll", "plugin.dll.bak", false, false},
        {"p?ug*", "plugin.dll", false, true},  {"*.*", "README", false, true},
        {"*.", "README", false, true},         {"*.", "a.txt", false, false},
        {"a*b*c", "aXbYc", false, true},       {"a*b*c", "aXbY", false, false},
        {"*.hlf,*.lng", "x.lng", true, true},  {"*.hlf;*.diz", "file_id.diz", true, true},
        {"\"my *.txt\",*.x", "my notes.txt", true, true}, {"*.hlf,*.lng", "x.dll", true, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.matches, c.list ? matchesMaskList(c.mask, c.name) : matchesMask(c.mask, c.name))
            << c.mask << " ~ " << c.name;
}

TEST_F(HostServicesTest, MenusAndInputBoxesAnswerFromTheScriptElseAsEnterWould) {
    typedef int(WINAPI * InputBoxFunction)(const char*, const char*, const char*, const char*, char*, int,
                                           const char*, DWORD);
    auto menu = reinterpret_cast<FarMenuFunction>(si().Menu);
    auto inputBox = reinterpret_cast<InputBoxFunction>(si().InputBox);
    FarMenuItem items[3] = {};
    strcpy(items[0].Text, "First");
    items[1].Separator = 1;
    strcpy(items[2].Text, "Third");
    items[2].Selected = 1;
    host->queueMenuAnswer(0);
    host->queueMenuAnswer(1);   // a separator cannot be chosen
    EXPECT_EQ(0, menu(si().ModuleNumber, -1, -1, 0, 0, "Title", "", "", nullptr, nullptr, items, 3));
    EXPECT_EQ(-1, menu(si().ModuleNumber, -1, -1, 0, 0, "Title", "", "", nullptr, nullptr, items, 3));
    EXPECT_EQ(2, menu(si().ModuleNumber, -1, -1, 0, 0, "Title", "", "", nullptr, nullptr, items, 3));
    ASSERT_EQ(3u, host->menus.size());
    EXPECT_EQ((std::vector<std::string>{"First", "-", "Third"}), host->menus[0].items);
    EXPECT_EQ(1u, host->problems.size());

    char text[8];
    DialogScript accept;
    accept.result = 0;
    accept.edits[2] = "a text longer than the buffer";
    host->queueDialog(accept);
    EXPECT_TRUE(inputBox("Title", "Prompt", nullptr, "old", text, sizeof text, nullptr, 0));
    EXPECT_STREQ("a text ", text);
    host->queueDialog(DialogScript());   // Esc
    strcpy(text, "kept");
    EXPECT_FALSE(inputBox("Title", "Prompt", nullptr, "old", text, sizeof text, nullptr, 0));
    EXPECT_STREQ("kept", text);
}

TEST_F(HostServicesTest, AdvControlAnswersTheBasicsAndTheRestIsNotedOnceAsNotEmulated) {
    typedef int(WINAPI * AdvControlFunction)(int, int, void*);
    auto adv = reinterpret_cast<AdvControlFunction>(si().AdvControl);
    EXPECT_EQ(0x0146, adv(si().ModuleNumber, ACTL_GETFARVERSION, nullptr) & 0xFFFF);
    char wordDiv[80];
    EXPECT_GT(adv(si().ModuleNumber, ACTL_GETSYSWORDDIV, wordDiv), 0);
    EXPECT_NE(nullptr, strchr(wordDiv, '.'));
    EXPECT_TRUE(host->problems.empty());

    EXPECT_EQ(0, adv(si().ModuleNumber, ACTL_KEYMACRO, nullptr));
    EXPECT_EQ(0, adv(si().ModuleNumber, ACTL_KEYMACRO, nullptr));
    typedef int(WINAPI * ViewerFunction)(const char*, const char*, int, int, int, int, DWORD);
    EXPECT_FALSE(reinterpret_cast<ViewerFunction>(si().Viewer)("x", nullptr, 0, 0, -1, -1, 0));
    EXPECT_EQ((std::vector<std::string>{"plugin called AdvControl(7), which is not emulated",
                                        "plugin called Viewer, which is not emulated"}),
              host->problems);
    EXPECT_EQ(2, host->notEmulatedCalls());
    EXPECT_EQ(0, exitCodeOf(*host, false));
    EXPECT_EQ(1, exitCodeOf(*host, true));
}

TEST_F(HostServicesTest, GetDirListGivesEveryNameBelowTheFolderAndFreeDirListTakesItBack) {
    ASSERT_TRUE(testing_support::writeFile(dir / "tree\\a.txt", "a"));
    ASSERT_TRUE(testing_support::writeFile(dir / "tree\\sub\\b.txt", "bb"));
    auto getDirList = reinterpret_cast<FarGetDirListFunction>(si().GetDirList);
    auto freeDirList = reinterpret_cast<FarFreeDirListFunction>(si().FreeDirList);
    PluginPanelItem* items = nullptr;
    int count = 0;
    ASSERT_TRUE(getDirList((dir / "tree").c_str(), &items, &count));
    std::vector<std::string> names;
    for (int i = 0; i < count; ++i) names.push_back(items[i].FindData.cFileName);
    std::sort(names.begin(), names.end());
    EXPECT_EQ((std::vector<std::string>{"a.txt", "sub", "sub\\b.txt"}), names);
    freeDirList(items);
    EXPECT_TRUE(host->problems.empty());
    EXPECT_FALSE(getDirList((dir / "missing").c_str(), &items, &count));
    EXPECT_EQ(0, count);
}

TEST_F(HostServicesTest, InsSelectsWhatGetPanelInfoReportsAndCtrlZShowsDescriptionsInTheHostsColumns) {
    Panel* panel = plugin->open();
    ASSERT_NE(nullptr, panel);
    ASSERT_TRUE(panel->setCurrentByName("readme.txt"));
    EXPECT_EQ(1, panel->key(VK_INSERT));
    EXPECT_EQ(1, panel->key(VK_INSERT));   // the next one too
    PanelInfo info;
    ASSERT_EQ(1, si().Control(panel->handle(), FCTL_GETPANELINFO, &info));
    ASSERT_EQ(2, info.SelectedItemsNumber);
    EXPECT_STREQ("readme.txt", info.SelectedItems[0].FindData.cFileName);
    EXPECT_STREQ("russian.txt", info.SelectedItems[1].FindData.cFileName);
    EXPECT_NE(0u, info.PanelItems[info.CurrentItem - 1].Flags & PPIF_SELECTED);

    EXPECT_EQ(std::string::npos, panel->render(100).find("Read me first"));
    EXPECT_EQ(1, panel->key('Z', PKF_CONTROL));
    std::string shown = panel->render(100);
    EXPECT_NE(std::string::npos, shown.find("Read me first")) << shown;
    EXPECT_NE(std::string::npos, shown.find("   *readme.txt")) << shown;
    panel->key('5', PKF_CONTROL);
    panel->key('Z', PKF_CONTROL);   // mode 5 has its own description column
    EXPECT_NE(std::string::npos, panel->render(100).find("Read me first"));
}

TEST(HostHelpViewer, TopicsLoseTheirMarkup) {
    std::string content =
        ".Language=English,English\r\n"
        "@Contents\r\n"
        "$ #Sample#\r\n"
        "   Press #Enter# to open ~the folder~@Folder@; ## is a hash.\r\n"
        "\r\n"
        "@Folder\r\n"
        "Inside.\r\n";
    EXPECT_EQ((std::vector<std::string>{"Contents", "Folder"}), helpTopics(content));
    EXPECT_EQ((std::vector<std::string>{" Sample", "   Press Enter to open the folder; # is a hash."}),
              helpTopicText(content, "contents"));
    EXPECT_EQ(std::vector<std::string>{"Inside."}, helpTopicText(content, "Folder"));
    EXPECT_TRUE(helpTopicText(content, "Missing").empty());
}

TEST(HostOutput, TerminalTextShowsControlsAsPicturesAndOemAsUtf8) {
    struct Case {
        std::string oem;
        unsigned codePage;
        std::string utf8;
    } cases[] = {
        {"a\tb", 437, "a\xE2\x90\x89" "b"},
        {"\x1b[31m", 437, "\xE2\x90\x9B[31m"},
        {"line\nnext\r", 437, "line\nnext\xE2\x90\x8D"},
        {std::string("\0\x7F", 2), 437, "\xE2\x90\x80\xE2\x90\xA1"},
        {"\xDB\xB0", 437, "\xE2\x96\x88\xE2\x96\x91"},
        {"\x8F\xE0\xA8", 866, "\xD0\x9F\xD1\x80\xD0\xB8"},
        {"\x8F", 437, "\xC3\x85"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.utf8, terminalText(c.oem, c.codePage)) << c.oem;
}

TEST(HostFaultReport, FaultsAreToldByExportAccessAndPlace) {
    FaultInfo write;
    write.code = EXCEPTION_ACCESS_VIOLATION;
    write.access = 1;
    write.target = 0;
    write.address = reinterpret_cast<void*>(0x10);
    EXPECT_EQ("GetFindData faulted: write to 0x00000000 at 0x00000010 (exception 0xC0000005, access violation)",
              describeFault("GetFindData", write));

    FaultInfo raised;
    raised.code = 0xE0FA1501;
    raised.address = reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "RaiseException"));
    std::string text = describeFault("GetPluginInfo", raised);
    EXPECT_EQ(0u, text.find("GetPluginInfo faulted: exception raised at kernel32.dll+0x")) << text;
    EXPECT_NE(std::string::npos, text.find("(exception 0xE0FA1501)")) << text;

    struct Case {
        const char* exported;
        const char* undecorated;
    } names[] = {{"ClosePlugin@4", "ClosePlugin"}, {"_GetFindData@16", "GetFindData"}, {"ClosePlugin", ""},
                 {"Odd@x", ""}, {"@4", ""}, {"Name@", ""}};
    for (const auto& n : names) EXPECT_EQ(n.undecorated, undecoratedName(n.exported)) << n.exported;
}

TEST(HostReport, MaskedEditsShowTheirMaskNotThePointer) {
    DialogCall d;
    FarDialogItem item;
    memset(&item, 0, sizeof item);
    item.Type = DI_FIXEDIT;
    item.Flags = DIF_MASKEDIT;
    item.Mask = "99";
    strcpy(item.Data, "12");
    d.before = d.after = {item};
    d.masks = {"99"};
    std::string text = printDialog(d);
    EXPECT_NE(std::string::npos, text.find("mask=\"99\"")) << text;
    EXPECT_EQ(std::string::npos, text.find("selected=")) << text;
}
