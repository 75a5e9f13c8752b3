// The emulator's own rules: if these drift from the host's, every
// end-to-end test of the plugin tests against the wrong host.
// Key names of scripts and the transcript, and the keys that answer a box.
#include "common/keyNames.h"
#include "console/consoleKeys.h"
#include "interface/farApi.h"

#include <gtest/gtest.h>

using namespace farhost;

// ---- Key names ------------------------------------------------------------------

TEST(KeyNames, ScriptNamesMapToKeysAndBack) {
    struct Case {
        const char* name;
        int vk;
        unsigned state;
        const char* canonical;
    } cases[] = {
        {"Down", VK_DOWN, 0, "Down"},
        {"enter", VK_RETURN, 0, "Enter"},
        {"Esc", VK_ESCAPE, 0, "Esc"},
        {"F1", VK_F1, 0, "F1"},
        {"F12", VK_F12, 0, "F12"},
        {"ShiftF5", VK_F5, PKF_SHIFT, "ShiftF5"},
        {"Ctrl+F4", VK_F4, PKF_CONTROL, "CtrlF4"},
        {"ShiftAltF3", VK_F3, PKF_ALT | PKF_SHIFT, "AltShiftF3"},
        {"Ctrl1", '1', PKF_CONTROL, "Ctrl1"},
        {"ctrla", 'A', PKF_CONTROL, "CtrlA"},
        {"PgDn", VK_NEXT, 0, "PgDn"},
    };
    for (const Case& c : cases) {
        int vk = 0;
        unsigned state = 99;
        ASSERT_TRUE(parseKeyName(c.name, vk, state)) << c.name;
        EXPECT_EQ(c.vk, vk) << c.name;
        EXPECT_EQ(c.state, state) << c.name;
        EXPECT_EQ(c.canonical, keyName(vk, state)) << c.name;
    }
    for (const char* bad : {"", "Ctrl", "Foo", "F0", "F99", "CtrlShift", "Shift+"}) {
        int vk;
        unsigned state;
        EXPECT_FALSE(parseKeyName(bad, vk, state)) << bad;
    }
}

TEST(KeyNames, KeysAnswerABoxByButtonOrder) {
    struct Case {
        int vk;
        unsigned state;
        size_t buttons;
        int answer;   // -2: not an answer, the box keeps waiting
    } cases[] = {
        {VK_RETURN, 0, 2, 0},  {'Y', 0, 2, 0},   {'Y', PKF_SHIFT, 2, 0}, {'N', 0, 2, 1},
        {'N', 0, 1, -2},       {VK_ESCAPE, 0, 2, -1}, {VK_ESCAPE, 0, 0, -1}, {'3', 0, 3, 2},
        {'4', 0, 3, -2},       {'0', 0, 3, -2},  {VK_RETURN, PKF_CONTROL, 2, -2}, {VK_DELETE, PKF_SHIFT, 2, -2},
        {VK_RETURN, 0, 0, -2},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.answer, answerForKey(c.vk, c.state, c.buttons)) << keyName(c.vk, c.state) << " of " << c.buttons;
}
