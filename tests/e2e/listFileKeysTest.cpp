// FAR's own file keys on the list of plugins. The list's items are real
// folders, so every key with which FAR's panel code (far/filelist.cpp)
// would change, rename, link, wipe or create on them is refused with a hint
// of its own, in FAR 1.70 and FAR 1.75 alike; in a plugin's folder the same
// keys are FAR's again and act on that folder.
#include "harness.h"
#include "../../src/ui/messages.h"

using namespace testing_support;

namespace {

const int kNumDel = 0x109;           // FAR 1.75's keypad Delete
const int kDragMove = 0x1004;        // FAR's key for a moving mouse drag

struct FileKey {
    const char* name;
    int vk;
    unsigned state;
    int hint;   // the hint's message, or -1: the key is left to FAR in the list too
};

// One row per key; the source lines are those of FileList::ProcessKey.
const FileKey kFileKeys[] = {
    {"F6 (move, rename)", VK_F6, 0, MHintMove},
    {"moving drag", kDragMove, 0, MHintDragMove},
    {"AltF6 (link)", VK_F6, PKF_ALT, MHintLink},
    {"F7 (make folder)", VK_F7, 0, MHintMakeFolder},
    {"ShiftF4 (new file)", VK_F4, PKF_SHIFT, MHintNewFile},
    {"AltF4 (attributes on a folder)", VK_F4, PKF_ALT, MHintAltEdit},
    {"CtrlShiftF4 (attributes on a folder)", VK_F4, PKF_CONTROL | PKF_SHIFT, MHintCtrlShiftEdit},
    {"AltDel (wipe)", VK_DELETE, PKF_ALT, MHintWipe},
    {"AltNumDel (wipe)", kNumDel, PKF_ALT, MHintWipe},
    {"AltDecimal (wipe in 1.75)", VK_DECIMAL, PKF_ALT, MHintWipe},
    {"CtrlA (attributes)", 'A', PKF_CONTROL, MHintAttributes},
    {"CtrlG (apply command)", 'G', PKF_CONTROL, MHintApplyCommand},
    // Left to FAR: copying out changes nothing in the list; FAR describes
    // files of its own panels only; archives and viewing skip folders.
    // (Alt+F5, FAR's printing, which skips folders too, switches plugins off and on;
    // Shift+F3, FAR's archive commands, searches for the plugin behind a fault.)
    {"F5 (copy out)", VK_F5, 0, -1},
    {"CtrlZ (description)", 'Z', PKF_CONTROL, -1},
    {"ShiftF2 (unpack)", VK_F2, PKF_SHIFT, -1},
    {"AltF3 (view)", VK_F3, PKF_ALT, -1},
};

}  // namespace

class ListFileKeysTest : public HostTest {
protected:
    farhost::Panel* panel = nullptr;

    void startIn(bool far175) {
        FarSetup setup;
        setup.far175 = far175;
        start(setup);
        panel = vantorel->open();
        ASSERT_NE(nullptr, panel);
    }
    // What Vantorel's ProcessKey answered for the plain call of the key.
    int press(int vk, unsigned state) {
        host->clearTranscript();
        panel->key(vk, state);
        for (auto it = host->transcript.rbegin(); it != host->transcript.rend(); ++it)
            if (it->compare(0, 13, "> ProcessKey(") == 0 && it->find("PKF_PREPROCESS|") == std::string::npos &&
                it->find("(0x1001)") == std::string::npos)
                return atoi(it->c_str() + it->rfind('=') + 1);
        ADD_FAILURE() << "ProcessKey was not called";
        return -1;
    }
    void selectItem(const std::string& name) {
        const auto& items = panel->items();
        for (size_t i = 0; i < items.size(); ++i)
            if (items[i].name == name) return panel->setCurrent(static_cast<int>(i));
        ADD_FAILURE() << "no item " << name;
    }
    static std::string currentFolder() {
        char buffer[MAX_PATH] = "";
        GetCurrentDirectoryA(sizeof buffer, buffer);
        std::string folder = buffer;
        if (!folder.empty() && folder.back() == '\\') folder.pop_back();
        return folder;
    }
};

TEST_F(ListFileKeysTest, FarsFileKeysAreRefusedInTheListAndActOnTheBrowsedFolder) {
    for (bool far175 : {false, true}) {
        SCOPED_TRACE(far175 ? "FAR 1.75" : "FAR 1.70");
        host.reset();
        addFixture("recorder", "Rec\\");
        startIn(far175);
        selectItem(pluginsDir() + "Rec");
        for (const FileKey& row : kFileKeys) {
            SCOPED_TRACE(row.name);
            EXPECT_EQ(row.hint < 0 ? 0 : 1, press(row.vk, row.state));
            if (row.hint < 0) {
                EXPECT_TRUE(host->messages.empty());
                continue;
            }
            ASSERT_EQ(1u, host->messages.size());
            const farhost::MessageCall& box = host->messages[0];
            ASSERT_EQ(3u, box.lines.size());   // the host's own OK button
            EXPECT_EQ(static_cast<DWORD>(FMSG_WARNING | FMSG_MB_OK), box.flags);
            EXPECT_EQ("Vantorel", box.lines[0]);
            EXPECT_EQ(text(row.hint), box.lines[1]);
            EXPECT_EQ(text(MHintWhereItWorks), box.lines[2]);
            EXPECT_EQ(std::vector<std::string>{"OK"}, box.buttons);
        }
        // One hint per key: no two keys share a text.
        for (const FileKey& a : kFileKeys)
            for (const FileKey& b : kFileKeys)
                if (&a != &b && a.hint >= 0 && a.hint == b.hint)
                    EXPECT_TRUE(a.vk == VK_DELETE || a.vk == kNumDel || a.vk == VK_DECIMAL) << a.name << b.name;

        // In the plugin's folder FAR acts, and on the folder shown: names typed
        // into its commands resolve against the process's current folder,
        // which FAR leaves wherever the other half last put it.
        ASSERT_TRUE(panel->enter());
        std::string browsed = pluginsDir() + "Rec";
        for (const FileKey& row : kFileKeys) {
            SCOPED_TRACE(row.name);
            if (row.vk == VK_F7 && row.state == 0) continue;   // Vantorel makes the folder itself (its own test)
            ASSERT_TRUE(SetCurrentDirectoryA(farDir().c_str()));
            EXPECT_EQ(0, press(row.vk, row.state));
            EXPECT_TRUE(host->messages.empty());
            EXPECT_EQ(0, lstrcmpiA(browsed.c_str(), currentFolder().c_str())) << currentFolder();
        }
        SetCurrentDirectoryA(dir.path().c_str());
        host.reset();
        ASSERT_TRUE(fileExists(pluginsDir() + "Rec\\recorder.dll"));
        ASSERT_TRUE(removeTree(pluginsDir() + "Rec"));
    }
}

// FAR 1.75 deletes on Shift with the keypad's decimal point as on Shift+Del:
// in the list that is Vantorel's unload, never FAR's delete of the folder.
TEST_F(ListFileKeysTest, ShiftWithTheKeypadsDecimalPointUnloadsAsShiftDel) {
    addFixture("recorder", "Rec\\");
    startIn(true);
    selectItem(pluginsDir() + "Rec");
    EXPECT_EQ(1, press(VK_DECIMAL, PKF_SHIFT));
    ASSERT_EQ(1u, host->messages.size());
    EXPECT_EQ(text(MNotLoaded), host->messages[0].lines[1]);
    EXPECT_TRUE(fileExists(pluginsDir() + "Rec\\recorder.dll"));
}
