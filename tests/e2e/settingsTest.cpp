// The settings record: what is read from the registry, what the dialog shows,
// and what confirming it stores.
#include "harness.h"

using namespace testing_support;

namespace {

std::string record(std::initializer_list<int> bytes) {
    std::string s;
    for (int b : bytes) s += static_cast<char>(b);
    return s;
}

// The record as the plugin holds it, seen through the dialog it shows.
std::string recordShownInDialog(farhost::Host& host, farhost::Plugin* plugin) {
    plugin->configure(0);
    const farhost::DialogCall& d = host.dialogs.back();
    std::string r;
    r += static_cast<char>(d.before[1].Selected);
    r += static_cast<char>(d.before[2].Selected);
    r += static_cast<char>(d.before[3].Data[0] == ' ' ? 0 : d.before[3].Data[0] - '0');
    r += static_cast<char>(d.before[5].Data[0] - '0');
    r += static_cast<char>(d.before[8].Selected);
    r += static_cast<char>(d.before[7].Selected);
    return r;
}

}  // namespace

TEST_F(HostTest, StoredValuesReplaceAsManyLeadingBytesAsTheyHold) {
    struct Case { std::string stored; DWORD type; std::string expected; } cases[] = {
        {record({0, 1, 5, 2, 1, 1}), REG_BINARY, record({0, 1, 5, 2, 1, 1})},
        {record({0, 1, 5, 2}), REG_BINARY, record({0, 1, 5, 2, 0, 0})},                 // 4 bytes: 4 and 5 kept
        {record({0, 1, 5, 2, 1, 1, 9, 9}), REG_BINARY, record({1, 0, 0, 1, 0, 0})},      // too long: unchanged
        {record({0, 1, 5, 2, 1, 1}), REG_SZ, record({1, 0, 0, 1, 0, 0})},               // another type: unchanged
        {record({0, 1, 5, 2, 1, 1}), REG_DWORD, record({1, 0, 0, 1, 0, 0})},
    };
    for (const Case& c : cases) {
        start();
        storeSettings(c.stored, c.type);
        EXPECT_EQ(c.expected, recordShownInDialog(*host, vantorel)) << c.stored.size() << " bytes, type " << c.type;
        host.reset();
    }
}

TEST_F(HostTest, DialogWithoutStoredSettingsShowsTheDefaults) {
    start();
    EXPECT_EQ(0, vantorel->configure(0));
    ASSERT_EQ(1u, host->dialogs.size());
    const farhost::DialogCall& d = host->dialogs[0];
    EXPECT_EQ(vantorel->moduleNumber(), d.pluginNumber);
    EXPECT_EQ(-1, d.x1);
    EXPECT_EQ(-1, d.y1);
    EXPECT_EQ(53, d.x2);
    EXPECT_EQ(13, d.y2);
    EXPECT_EQ("Settings", d.helpTopic);   // F1 opens the help's Settings topic
    ASSERT_EQ(13u, d.before.size());
    // The disk menu above the plugins menu, as the help lists them; separators
    // above the probing box and the buttons.
    struct Item { int type, x1, y1, x2, y2, focus; DWORD flags; int def; } items[] = {
        {DI_DOUBLEBOX, 3, 1, 49, 11, 0, 0, 0}, {DI_CHECKBOX, 5, 2, 0, 0, 1, 0, 0}, {DI_CHECKBOX, 5, 3, 0, 0, 0, 0, 0},
        {DI_FIXEDIT, 6, 4, 6, 3, 0, DIF_MASKEDIT, 0}, {DI_TEXT, 8, 4, 0, 0, 0, 0, 0},
        {DI_FIXEDIT, 6, 5, 6, 3, 0, DIF_MASKEDIT, 0}, {DI_TEXT, 8, 5, 0, 0, 0, 0, 0},
        {DI_CHECKBOX, 5, 6, 0, 0, 0, 0, 0}, {DI_CHECKBOX, 5, 8, 0, 0, 0, 0, 0},
        {DI_BUTTON, 0, 10, 0, 0, 0, DIF_CENTERGROUP, 1}, {DI_BUTTON, 0, 10, 0, 0, 0, DIF_CENTERGROUP, 0},
        {DI_TEXT, 3, 7, 0, 0, 0, 0x10200, 0}, {DI_TEXT, 3, 9, 0, 0, 0, 0x10200, 0},
    };
    for (int i = 0; i < 13; ++i) {
        const FarDialogItem& it = d.before[i];
        EXPECT_EQ(items[i].type, it.Type) << i;
        EXPECT_EQ(items[i].x1, it.X1) << i;
        EXPECT_EQ(items[i].y1, it.Y1) << i;
        EXPECT_EQ(items[i].x2, it.X2) << i;
        EXPECT_EQ(items[i].y2, it.Y2) << i;
        EXPECT_EQ(items[i].focus, it.Focus) << i;
        EXPECT_EQ(items[i].flags, it.Flags) << i;
        EXPECT_EQ(items[i].def, it.DefaultButton) << i;
    }
    EXPECT_STREQ("Vantorel", d.before[0].Data);
    EXPECT_EQ(1, d.before[1].Selected);
    EXPECT_EQ(0, d.before[2].Selected);
    EXPECT_STREQ(" ", d.before[3].Data);   // hotkey 0: FAR numbers the item itself
    EXPECT_STREQ("1", d.before[5].Data);
    EXPECT_EQ(0, d.before[7].Selected);
    EXPECT_EQ(0, d.before[8].Selected);
    // Each label is its own message from the language file.
    std::set<std::string> labels;
    for (int i : {1, 2, 4, 6, 7, 8, 9, 10}) {
        EXPECT_NE('\0', d.before[i].Data[0]) << i;
        labels.insert(d.before[i].Data);
    }
    EXPECT_EQ(8u, labels.size());
    EXPECT_EQ("", storedSettings());   // Esc stored nothing
}

TEST_F(HostTest, AStoredHotkeyOf12ShowsCharacter60AndConfirmingStoresZero) {
    start();
    storeSettings(record({1, 0, 12, 1, 0, 0}));
    farhost::DialogScript confirm;
    confirm.result = 9;
    host->queueDialog(confirm);
    EXPECT_EQ(1, vantorel->configure(0));
    EXPECT_EQ(60, static_cast<unsigned char>(host->dialogs[0].before[3].Data[0]));
    EXPECT_EQ(record({1, 0, 0, 1, 0, 0}), storedSettings());
}

TEST_F(HostTest, CancelAndEscStoreNothing) {
    for (int result : {10, -1}) {
        start();
        farhost::DialogScript script;
        script.result = result;
        script.checks[1] = 1;
        script.edits[3] = "5";
        host->queueDialog(script);
        EXPECT_EQ(0, vantorel->configure(0)) << result;
        EXPECT_EQ("", storedSettings()) << result;
        // and the record in memory is unchanged too
        EXPECT_EQ(0, vantorel->getPluginInfo().PluginMenuStringsNumber) << result;
        host.reset();
    }
}

TEST_F(HostTest, ConfirmingStoresExactlySixBinaryBytesInRecordOrder) {
    start();
    farhost::DialogScript script;
    script.result = 9;
    script.checks = {{1, 0}, {2, 1}, {7, 1}, {8, 1}};   // 1: disk menu, 2: plugins menu
    script.edits = {{3, "4"}, {5, "x"}};     // a non-digit becomes 0
    host->queueDialog(script);
    EXPECT_EQ(1, vantorel->configure(0));
    DWORD type = 0;
    EXPECT_EQ(record({0, 1, 4, 0, 1, 1}), storedSettings(&type));
    EXPECT_EQ(static_cast<DWORD>(REG_BINARY), type);
    PluginInfo info = vantorel->getPluginInfo();
    EXPECT_EQ(0, info.DiskMenuStringsNumber);
    EXPECT_EQ(1, info.PluginMenuStringsNumber);
    ASSERT_NE(nullptr, info.DiskMenuNumbers);
    EXPECT_EQ(4, info.DiskMenuNumbers[0]);
}

TEST_F(HostTest, ARootKeyTooLongForTheSettingsPathIsRefusedNotCut) {
    start();
    PluginStartupInfo info = vantorel->startupInfo();
    std::string longKey = host->rootKey() + "\\" + std::string(190, 'k');
    info.RootKey = longKey.c_str();
    reinterpret_cast<PFN_SetStartupInfo>(vantorel->proc("SetStartupInfo"))(&info);
    farhost::DialogScript confirm;
    confirm.result = 9;
    host->queueDialog(confirm);
    EXPECT_EQ(1, vantorel->configure(0));
    // Saving is refused with its message; nothing lands under a cut key name.
    ASSERT_FALSE(host->messages.empty());
    EXPECT_EQ("Cannot save the settings", host->messages.back().lines.at(1));
    std::string cut = (longKey + "\\J\\Vantorel").substr(0, 199);
    HKEY h;
    EXPECT_NE(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, cut.c_str(), 0, KEY_READ, &h));
}

TEST_F(HostTest, SwitchingOffBothMenusAsksFirstAndNoShowsTheDialogAgain) {
    start();
    farhost::DialogScript bothOff;
    bothOff.result = 9;
    bothOff.checks = {{1, 0}, {2, 0}};
    host->queueDialog(bothOff);
    farhost::DialogScript cancel;
    cancel.result = 10;
    host->queueDialog(cancel);
    host->queueMessageAnswer(1);   // No
    EXPECT_EQ(0, vantorel->configure(0));
    ASSERT_EQ(1u, host->messages.size());
    EXPECT_EQ(0x40001u, host->messages[0].flags);   // a warning with Yes and No
    ASSERT_EQ(2u, host->dialogs.size());
    EXPECT_EQ(0, host->dialogs[1].before[1].Selected);   // shown again as the user left it
    EXPECT_EQ("", storedSettings());

    host->clearTranscript();
    host->queueDialog(bothOff);
    host->queueMessageAnswer(0);   // Yes
    EXPECT_EQ(1, vantorel->configure(0));
    EXPECT_EQ(1u, host->dialogs.size());
    EXPECT_EQ(record({0, 0, 0, 1, 0, 0}), storedSettings());
}
