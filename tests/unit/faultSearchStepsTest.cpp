// The narrowing of a search for the plugin behind a fault, and its state
// file's text.
#include "commands/faultSearchSteps.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <stdio.h>
#include <string>
#include <string.h>

namespace {

SearchState searchOf(int suspects, std::set<int> required = {}) {
    SearchState state;
    memset(&state, 0, sizeof state);
    state.count = suspects;
    for (int i = 0; i < suspects; ++i) {
        snprintf(state.entries[i].folder, SEARCH_PATH_CHARS, "C:\\Far\\Plugins\\P%02d", i);
        state.entries[i].role = required.count(i) ? ROLE_REQUIRED : ROLE_SUSPECT;
    }
    return state;
}

// Answers as a user would whose fault comes with any plugin of `faulty`
// that is on; the plugin named, -1 for none alone, and the answers given.
int search(SearchState& state, std::set<int> faulty, int* answers, int cannotTellFirst = 0) {
    *answers = 0;
    for (int guard = 0; guard < 40; ++guard) {
        planStep(&state);
        bool fault = false;
        for (int f : faulty) fault |= !state.entries[f].off;
        SearchAnswer answer = cannotTellFirst-- > 0 ? ANSWER_CANNOT_TELL : fault ? ANSWER_STILL_THERE : ANSWER_GONE;
        if (answer != ANSWER_CANNOT_TELL) ++*answers;
        SearchOutcome outcome = answerStep(&state, answer);
        if (outcome == SEARCH_FOUND) return firstSuspect(state);
        if (outcome == SEARCH_NONE_ALONE) return -1;
    }
    return -2;
}

}  // namespace

// Every plugin of n is found, in no more answers than the box promised.
TEST(FaultSearchSteps, EveryPluginIsFoundWithinTheStepsPromised) {
    for (int n : {1, 2, 3, 5, 8, 20, 33, 128}) {
        int promised = stepsLeft(n, false);
        int most = 0;
        for (int culprit = 0; culprit < n; ++culprit) {
            SearchState state = searchOf(n);
            int answers = 0;
            ASSERT_EQ(culprit, search(state, {culprit}, &answers)) << n << " plugins";
            EXPECT_LE(answers, promised) << n << " plugins, faulty " << culprit;
            most = std::max(most, answers);
        }
        EXPECT_EQ(promised, most) << n << ": the promise is the worst case, not more";
    }
}

TEST(FaultSearchSteps, StepsLeftFollowTheHalves) {
    struct Case {
        int suspects;
        bool confirmed;
        int steps;
    } cases[] = {{0, false, 0}, {1, true, 0}, {1, false, 1}, {2, false, 2}, {2, true, 1},
                 {3, true, 2},  {4, true, 2}, {5, true, 3},  {20, false, 5}, {20, true, 5}, {32, false, 6}};
    for (const Case& c : cases) EXPECT_EQ(c.steps, stepsLeft(c.suspects, c.confirmed)) << c.suspects;
}

TEST(FaultSearchSteps, HalfTheSuspectsGoOffTheRequiredNever) {
    SearchState state = searchOf(9, {0, 4});
    EXPECT_EQ(4, planStep(&state)) << "the larger half of 7";
    EXPECT_FALSE(state.entries[0].off);
    EXPECT_FALSE(state.entries[4].off);
    // "cannot tell": the other half is tried instead.
    std::set<int> first;
    for (int i = 0; i < 9; ++i)
        if (state.entries[i].off) first.insert(i);
    EXPECT_EQ(SEARCH_GOES_ON, answerStep(&state, ANSWER_CANNOT_TELL));
    EXPECT_EQ(7, suspectCount(state));
    planStep(&state);
    int again = 0;
    for (int i = 0; i < 9; ++i) again += state.entries[i].off && first.count(i);
    EXPECT_LT(again, 4) << "another half";
    EXPECT_FALSE(state.entries[0].off);
}

// Cleared by "still there" while off: kept off at every later try; the
// plugin the fault needs never goes off; with the fault in a required plugin
// no single one is named.
TEST(FaultSearchSteps, ClearedByStillThereStaysOffAndNoSingleOneIsSaid) {
    SearchState state = searchOf(6, {2});
    int answers = 0;
    EXPECT_EQ(-1, search(state, {2}, &answers));
    EXPECT_EQ(0, suspectCount(state));
    for (int i = 0; i < 6; ++i)
        if (i != 2) EXPECT_EQ(ROLE_STAYS_OFF, state.entries[i].role) << i;
    planStep(&state);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(i != 2, state.entries[i].off != 0) << i;

    SearchState two = searchOf(20);
    int found = search(two, {3, 17}, &answers);
    EXPECT_TRUE(found == 3 || found == 17);
    int other = found == 3 ? 17 : 3;
    EXPECT_EQ(ROLE_STAYS_OFF, two.entries[other].role);
    EXPECT_LE(answers, 5);
    EXPECT_EQ(7, search(two = searchOf(20), {7}, &answers, 2)) << "after two \"cannot tell\"";
}

TEST(FaultSearchSteps, TheStateFileTextReadsBackAndRefusesACutOne) {
    SearchState state = searchOf(5, {1});
    planStep(&state);
    answerStep(&state, ANSWER_GONE);
    planStep(&state);
    static char text[SEARCH_MAX_FOLDERS * (SEARCH_PATH_CHARS + 4) + 128];
    size_t length = searchText(state, text, sizeof text);
    ASSERT_GT(length, 0u);
    SearchState back;
    ASSERT_TRUE(readSearchText(text, length, &back));
    EXPECT_EQ(0, memcmp(&state, &back, sizeof state)) << text;
    // A write that did not finish (FAR ended) is no state.
    for (size_t cut : {length - 1, length - 5, size_t(10)}) EXPECT_FALSE(readSearchText(text, cut, &back)) << cut;
    std::string wrong(text, length);
    wrong[wrong.find("\nS") + 1] = 'X';
    EXPECT_FALSE(readSearchText(wrong.data(), wrong.size(), &back));
    EXPECT_EQ(0u, searchText(state, text, 40)) << "a text that does not fit is not written";
}
