#include "state/pluginState.h"
#include "ui/progress.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

std::vector<std::vector<std::string>> drawn;
int saves = 0, restores = 0;

int WINAPI recordMessage(int, DWORD, const char*, const char* const* items, int n, int) {
    std::vector<std::string> lines;
    for (int i = 0; i < n; ++i) lines.push_back(items[i]);
    drawn.push_back(lines);
    return -1;
}
HANDLE WINAPI saveScreen(int, int, int, int) { ++saves; return reinterpret_cast<HANDLE>(0x1234); }
void WINAPI restoreScreen(HANDLE) { ++restores; }

class ProgressWindow : public ::testing::Test {
protected:
    void SetUp() override {
        drawn.clear();
        saves = restores = 0;
        saved = startupInfo;
        startupInfo.Message = recordMessage;
        startupInfo.SaveScreen = saveScreen;
        startupInfo.RestoreScreen = restoreScreen;
    }
    void TearDown() override { startupInfo = saved; }
    PluginStartupInfo saved;
};

int filledIn(const std::string& bar) {
    int n = 0;
    for (unsigned char c : bar) n += c == BAR_FILLED;
    return n;
}

}  // namespace

TEST(ProgressBar, FillsTheShareOfFiftyCutToFortyNineCells) {
    struct Case { int position, total, filled; } cases[] = {
        {0, 200, 0}, {99, 200, 24}, {100, 200, 25}, {199, 200, 49}, {200, 200, 49}, {1, 3, 16}, {5, 0, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.filled, progressFilledCells(c.position, c.total)) << c.position << "/" << c.total;
}

TEST(ProgressLine, ShowsFortyNineCharactersWholeAndCutsLongerOnes) {
    char line[LINE_CHARS + 1];
    std::string t49(49, 'a');
    progressLine(t49.c_str(), line);
    EXPECT_EQ(t49, line);
    std::string t50 = std::string(7, 'b') + std::string(43, 'c');
    progressLine(t50.c_str(), line);
    EXPECT_EQ("..." + std::string(43, 'c'), line);
    std::string t300(299, 'z');
    t300 += 'E';
    progressLine(t300.c_str(), line);
    EXPECT_EQ(46u, strlen(line));
    EXPECT_EQ('E', line[45]);
}

TEST_F(ProgressWindow, DrawsTitleLineBlankAndBarWithoutButtons) {
    JFarStatus status;
    status.start("Scan", 200, 0);
    EXPECT_EQ(1, saves);
    status.update(nullptr, 0, 0);
    ASSERT_EQ(1u, drawn.size());
    ASSERT_EQ(4u, drawn[0].size());
    EXPECT_EQ("Scan", drawn[0][0]);
    EXPECT_EQ("", drawn[0][2]);
    EXPECT_EQ(49u, drawn[0][3].size());
    EXPECT_EQ(0, filledIn(drawn[0][3]));
    Sleep(120);
    status.update("C:\\x.dll", 0, 100);
    ASSERT_EQ(2u, drawn.size());
    EXPECT_EQ("C:\\x.dll", drawn[1][1]);
    EXPECT_EQ(25, filledIn(drawn[1][3]));
    status.stop();
    EXPECT_EQ(1, restores);
}

TEST_F(ProgressWindow, APositionBeyondTheTotalRaisesItAndFillsTheBar) {
    JFarStatus status;
    status.start("Copy", 10, 0);
    status.update("f", 30, 0);
    EXPECT_EQ(30, status.currentTotal());
    EXPECT_EQ(49, filledIn(drawn.back()[3]));
    status.stop();
}

TEST_F(ProgressWindow, AQuietRunSavesDrawsAndRestoresNothing) {
    JFarStatus status;
    status.start("Scan", 5, OPM_SILENT);
    status.update("x", 1, 3);
    EXPECT_EQ(0, status.currentPosition());
    status.stop();
    EXPECT_EQ(0, saves);
    EXPECT_TRUE(drawn.empty());
    EXPECT_EQ(0, restores);
}

TEST_F(ProgressWindow, ARunWithoutTitleOrTotalKeepsThePreviousOnes) {
    JFarStatus status;
    status.start("Copying", 50, 0);
    status.stop();
    status.start(nullptr, 0, 0);
    EXPECT_STREQ("Copying", status.currentTitle());
    EXPECT_EQ(50, status.currentTotal());
    status.stop();
}

// Every host message box redraws the whole console: a scan of a thousand
// plugins must not draw a thousand boxes, nor one for every cell the bar moves.
TEST_F(ProgressWindow, AQuickRunIsDrawnAtMostTenTimesASecond) {
    JFarStatus status;
    DWORD began = GetTickCount();
    status.start("Scan", 1000, 0);
    for (int i = 0; i < 1000; ++i) status.update("C:\\p.dll", 0, i);
    DWORD elapsed = GetTickCount() - began;
    EXPECT_EQ(49, filledIn(status.barText())) << "the bar follows every step, drawn or not";
    status.stop();
    // The first step, then one for each tenth of a second spent.
    EXPECT_GE(drawn.size(), 1u);
    EXPECT_LE(drawn.size(), 1u + elapsed / 100 + 1);
    int last = -1;
    for (const auto& box : drawn) {
        EXPECT_GE(filledIn(box[3]), last);
        last = filledIn(box[3]);
    }
}
