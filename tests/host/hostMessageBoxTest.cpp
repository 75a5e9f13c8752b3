// The emulator's own rules: if these drift from the host's, every
// end-to-end test of the plugin tests against the wrong host.
// Message boxes as the host builds them from a plugin's items and flags.
#include "common/hostText.h"
#include "farHost.h"
#include "services/messageBox.h"

#include <gtest/gtest.h>

using namespace farhost;

// ---- Message boxes --------------------------------------------------------------

TEST(MessageBoxRules, ButtonSetsOfTheFlags) {
    struct Case {
        DWORD flags;
        std::vector<std::string> buttons;
    } cases[] = {
        {0, {}},
        {FMSG_MB_OK, {"OK"}},
        {FMSG_MB_OKCANCEL, {"OK", "Cancel"}},
        {FMSG_MB_ABORTRETRYIGNORE, {"Abort", "Retry", "Ignore"}},
        {FMSG_MB_YESNO | FMSG_WARNING, {"Yes", "No"}},
        {FMSG_MB_YESNOCANCEL, {"Yes", "No", "Cancel"}},
        {FMSG_MB_RETRYCANCEL, {"Retry", "Cancel"}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> buttons{"stale"};
        EXPECT_TRUE(buttonsFromFlags(c.flags, buttons)) << c.flags;
        EXPECT_EQ(c.buttons, buttons) << c.flags;
    }
    std::vector<std::string> buttons;
    EXPECT_FALSE(buttonsFromFlags(0x70000, buttons));
}

TEST(MessageBoxRules, AllInOneSplitsAtNewlinesAndTakesButtonsFromTheEnd) {
    const char* text = "Title\nFirst line\n\nOK\nCancel";
    MessageBoxText box = readMessageBox(FMSG_ALLINONE, reinterpret_cast<const char* const*>(text), 0, 2);
    EXPECT_EQ((std::vector<std::string>{"Title", "First line", "", "OK", "Cancel"}), box.lines);
    EXPECT_EQ(3u, box.textLines);
    EXPECT_EQ((std::vector<std::string>{"OK", "Cancel"}), box.buttons);
    EXPECT_TRUE(box.problems.empty());
}

TEST(MessageBoxRules, ButtonFlagsMakeEveryItemALine) {
    const char* items[] = {"Vantorel", "Unload it?", "Yes"};
    MessageBoxText box = readMessageBox(FMSG_MB_YESNO, items, 3, 1);
    EXPECT_EQ((std::vector<std::string>{"Vantorel", "Unload it?", "Yes"}), box.lines);
    EXPECT_EQ(3u, box.textLines);
    EXPECT_EQ((std::vector<std::string>{"Yes", "No"}), box.buttons);

    const char* all = "Vantorel\nDone";
    box = readMessageBox(FMSG_ALLINONE | FMSG_MB_OK, reinterpret_cast<const char* const*>(all), 0, 0);
    EXPECT_EQ((std::vector<std::string>{"Vantorel", "Done"}), box.lines);
    EXPECT_EQ(std::vector<std::string>{"OK"}, box.buttons);
}

TEST(MessageBoxRules, LastItemsAreButtonsWithoutFlags) {
    const char* items[] = {"Scan", "C:\\x.dll", "", "\xDB\xB0"};
    MessageBoxText box = readMessageBox(0, items, 4, 0);
    EXPECT_EQ(4u, box.lines.size());
    EXPECT_EQ(4u, box.textLines);
    EXPECT_TRUE(box.buttons.empty());
    EXPECT_EQ("\xDB\xB0", box.lines[3]);

    box = readMessageBox(0, items, 4, 2);
    EXPECT_EQ(4u, box.lines.size());
    EXPECT_EQ(2u, box.textLines);
    EXPECT_EQ((std::vector<std::string>{"", "\xDB\xB0"}), box.buttons);
}

TEST(MessageBoxRules, BadTextsAreRecordedNotFollowed) {
    const char* items[] = {"Title", nullptr, "OK"};
    MessageBoxText box = readMessageBox(0, items, 3, 1);
    EXPECT_EQ((std::vector<std::string>{"Title", "(null)", "OK"}), box.lines);
    EXPECT_EQ(1u, box.problems.size());

    std::vector<char> endless(5000, 'a');   // no terminator anywhere
    const char* longItems[] = {"Title", endless.data()};
    box = readMessageBox(0, longItems, 2, 0);
    ASSERT_EQ(2u, box.lines.size());
    EXPECT_EQ(kMaxPluginText, box.lines[1].size());
    EXPECT_EQ(1u, box.problems.size());

    box = readMessageBox(0, items, 1, 3);   // more buttons than items
    EXPECT_EQ(std::vector<std::string>{"Title"}, box.buttons);
    EXPECT_EQ(1u, box.problems.size());

    box = readMessageBox(0x70000, items, 1, 0);
    EXPECT_EQ(1u, box.problems.size());
}
