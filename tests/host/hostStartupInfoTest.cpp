// The emulator's own rules: if these drift from the host's, every
// end-to-end test of the plugin tests against the wrong host.
// The services a plugin is lent, through a real loaded plugin.
#include "farHost.h"
#include "testSupport.h"

#include <gtest/gtest.h>

#include <string.h>

using namespace farhost;
using testing_support::TempDir;
using testing_support::writeFile;

// ---- Services, through a real loaded plugin ---------------------------------------

namespace {

// A plugin DLL of the test build in a folder of its own, with our own language files.
class ServicesTest : public ::testing::Test {
protected:
    TempDir dir{"hostsvc"};
    std::unique_ptr<Host> host;
    Plugin* plugin = nullptr;

    void SetUp() override {
        ASSERT_TRUE(testing_support::copyFile(testing_support::fixtureDir("notes") + "notes.dll", dir / "notes.dll"));
        ASSERT_TRUE(writeFile(dir / "mineEng.lng", ".Language=English,English\n\"Notes\"\n\"Second\"\n\"Third\"\n"));
        ASSERT_TRUE(writeFile(dir / "mineRus.lng", ".Language=Russian,Russian\n\"\x87\xA0\xAC\xA5\xE2\xAA\xA8\"\n"));
        host.reset(new Host(HostOptions()));
        plugin = host->load(dir / "notes.dll");
        ASSERT_NE(nullptr, plugin) << host->lastError();
    }
    const PluginStartupInfo& si() const { return plugin->startupInfo(); }
};

}  // namespace

TEST_F(ServicesTest, StartupInfoCarriesTheHostsServices) {
    const PluginStartupInfo& info = si();
    EXPECT_EQ(372, info.StructSize);
    EXPECT_EQ(dir / "notes.dll", std::string(info.ModuleName));
    EXPECT_EQ(host->rootKey(), std::string(info.RootKey));
    EXPECT_EQ(plugin->record()->rootKey, info.RootKey) << "the host's copy in its record";
    EXPECT_EQ(0, info.ModuleNumber) << "the first record of the host's array";
    ASSERT_NE(nullptr, info.FSF);
    EXPECT_EQ(228, info.FSF->StructSize);   // the released 1.70's table
    EXPECT_TRUE(info.GetMsg && info.Message && info.Dialog && info.Control && info.SaveScreen && info.RestoreScreen &&
                info.ShowHelp && info.FSF->ExpandEnvironmentStr && info.FSF->Trim);

    ASSERT_TRUE(testing_support::copyFile(dir / "notes.dll", dir / "second\\notes.dll"));
    Plugin* second = host->load(dir / "second\\notes.dll");
    ASSERT_NE(nullptr, second) << host->lastError();
    EXPECT_EQ(1, second->startupInfo().ModuleNumber);
}

TEST_F(ServicesTest, GetMsgFollowsTheHostLanguageAndKeepsOldTextsAlive) {
    const char* english = si().GetMsg(si().ModuleNumber, 1);
    ASSERT_NE(nullptr, english);
    EXPECT_STREQ("Second", english);
    // Past the table: the host's box about a damaged language file, and "".
    EXPECT_STREQ("", si().GetMsg(si().ModuleNumber, 3));
    EXPECT_STREQ("", si().GetMsg(si().ModuleNumber, -1));
    EXPECT_EQ(2u, host->problems.size());

    host->setLanguage("Russian");
    EXPECT_STREQ("\x87\xA0\xAC\xA5\xE2\xAA\xA8", si().GetMsg(si().ModuleNumber, 0));
    EXPECT_STREQ("", si().GetMsg(si().ModuleNumber, 1));
    EXPECT_STREQ("Second", english);   // handed out earlier, still readable

    host->setLanguage("German");
    EXPECT_STREQ("Notes", si().GetMsg(si().ModuleNumber, 0));
}

TEST_F(ServicesTest, MessageWithoutButtonsDrawsAndStaysUntilRestore) {
    HANDLE screen = si().SaveScreen(0, 0, -1, -1);
    ASSERT_NE(nullptr, screen);
    const char* items[] = {"Scan", "C:\\x.dll", "", "\xDB\xB0\xB0"};
    EXPECT_EQ(-1, si().Message(0, 0, "", items, 4, 0));
    ASSERT_NE(nullptr, host->boxOnScreen());
    EXPECT_EQ("Scan", host->boxOnScreen()->lines[0]);
    si().RestoreScreen(screen);
    EXPECT_EQ(nullptr, host->boxOnScreen());
    EXPECT_EQ(0, host->unrestoredScreens());
    EXPECT_TRUE(host->problems.empty());
}

TEST_F(ServicesTest, MessageWithButtonsTakesQueuedAnswersThenTheDefault) {
    const char* items[] = {"Vantorel", "Unload?"};
    host->answerMessages({1, 0});
    host->defaultAnswer = -1;
    EXPECT_EQ(1, si().Message(si().ModuleNumber, FMSG_MB_YESNO | FMSG_WARNING, "", items, 2, 0));
    EXPECT_EQ(0, si().Message(si().ModuleNumber, FMSG_MB_YESNO, "", items, 2, 0));
    EXPECT_EQ(-1, si().Message(si().ModuleNumber, FMSG_MB_YESNO, "", items, 2, 0));
    ASSERT_EQ(3u, host->messages.size());
    EXPECT_EQ((std::vector<std::string>{"Yes", "No"}), host->messages[0].buttons);
    EXPECT_EQ(1, host->messages[0].answer);
    EXPECT_EQ(nullptr, host->boxOnScreen());   // boxes with buttons close when answered
}

TEST_F(ServicesTest, ScreensMustBeRestoredOnceEach) {
    HANDLE a = si().SaveScreen(0, 0, -1, -1);
    HANDLE b = si().SaveScreen(0, 0, -1, -1);
    EXPECT_NE(a, b);
    EXPECT_EQ(2, host->unrestoredScreens());
    si().RestoreScreen(a);
    si().RestoreScreen(nullptr);   // a plain redraw
    EXPECT_TRUE(host->problems.empty());
    si().RestoreScreen(a);
    EXPECT_EQ(1u, host->problems.size());
    si().RestoreScreen(reinterpret_cast<HANDLE>(0x1234));
    EXPECT_EQ(2u, host->problems.size());
    EXPECT_EQ(1, host->unrestoredScreens());
    host->unload(plugin);
    EXPECT_EQ(3u, host->problems.size());   // the screen still saved at unload
}

TEST_F(ServicesTest, DialogAppliesTheScriptWithinTheItemBuffers) {
    FarDialogItem items[3];
    memset(items, 0, sizeof items);
    items[0].Type = DI_DOUBLEBOX;
    strcpy(items[0].Data, "Vantorel");
    items[1].Type = DI_CHECKBOX;
    items[1].Selected = 1;
    items[2].Type = DI_FIXEDIT;
    strcpy(items[2].Data, "0");

    DialogScript script;
    script.result = 2;
    script.edits[2] = std::string(600, '7');
    script.checks[1] = 0;
    host->queueDialog(script);
    EXPECT_EQ(2, si().Dialog(si().ModuleNumber, -1, -1, 53, 13, "", items, 3));
    EXPECT_EQ(511u, strlen(items[2].Data));
    EXPECT_EQ(0, items[1].Selected);
    ASSERT_EQ(1u, host->dialogs.size());
    EXPECT_STREQ("0", host->dialogs[0].before[2].Data);
    EXPECT_EQ(1, host->dialogs[0].before[1].Selected);
    EXPECT_EQ(0, host->dialogs[0].after[1].Selected);

    EXPECT_EQ(-1, si().Dialog(si().ModuleNumber, -1, -1, 53, 13, "", items, 3));   // unscripted: Esc
    EXPECT_TRUE(host->problems.empty());

    memset(items[0].Data, 'x', sizeof items[0].Data);
    si().Dialog(si().ModuleNumber, -1, -1, 53, 13, "", items, 3);
    EXPECT_EQ(1u, host->problems.size());
}

TEST_F(ServicesTest, StandardFunctionsWorkInPlaceAndWithinBounds) {
    char text[32] = " \t padded words\t  ";
    EXPECT_EQ(text, si().FSF->Trim(text));
    EXPECT_STREQ("padded words", text);
    char blanks[8] = "   ";
    EXPECT_STREQ("", si().FSF->Trim(blanks));

    SetEnvironmentVariableA("FARHOST_TEST_VAR", "C:\\Expanded");
    char path[64] = "%FARHOST_TEST_VAR%\\Plugins";
    si().FSF->ExpandEnvironmentStr(path, path, sizeof path);
    EXPECT_STREQ("C:\\Expanded\\Plugins", path);
    char small[8];
    memset(small, 'z', sizeof small);
    si().FSF->ExpandEnvironmentStr("%FARHOST_TEST_VAR%", small, 6);
    EXPECT_STREQ("C:\\Ex", small);
    EXPECT_EQ('z', small[6]);
}

TEST_F(ServicesTest, ControlOnAnUnknownPanelAnswersZero) {
    PanelInfo info;
    EXPECT_EQ(0, si().Control(reinterpret_cast<HANDLE>(77), FCTL_GETPANELINFO, &info));
    EXPECT_EQ(0, si().Control(reinterpret_cast<HANDLE>(77), FCTL_UPDATEPANEL, nullptr));
}

TEST_F(ServicesTest, ShowHelpIsRecorded) {
    EXPECT_TRUE(si().ShowHelp("C:\\Far\\Plugins\\Net", nullptr, 0xC0000004));
    ASSERT_EQ(1u, host->helps.size());
    EXPECT_EQ("C:\\Far\\Plugins\\Net", host->helps[0].moduleName);
    EXPECT_EQ("(none)", host->helps[0].topic);
    EXPECT_EQ(0xC0000004u, host->helps[0].flags);
}
