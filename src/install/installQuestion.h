// The install questions: their lines (paths shortened in the middle to the
// box's width), the warnings, and buttons whose default is the safe one.
#pragma once
#include "install/installUnit.h"

#include <stddef.h>

// A question's lines, kept until it is asked (too big for the host's stack:
// it lives on the heap).
class InstallQuestion {
public:
    static const int LINES = 48;
    static const size_t WIDTH = 2 * MAX_PATH;
    InstallQuestion() : warning(false), count(0) {}
    // The next line to write (WIDTH bytes); past the last one a scratch line.
    char* next();
    void add(const char* line);
    // A path on a line of its own, indented, shortened in its middle to fit.
    void addPath(const char* path);
    // Buttons: Yes and No without a warning; with one the safe answer
    // (Cancel) comes first and is the default; only Cancel when nothing can
    // go on. True when the user chose to go on. The lines are gone after.
    bool ask(bool canGoOn, bool allInOne);
    bool warning;   // something the user should know: warning colours, Cancel first

private:
    char text[LINES][WIDTH];
    char scratch[WIDTH];
    int count;
};

// Whether a build of version incoming is older than the installed one, in
// the order the list's version sort shows.
bool isOlderBuild(const char* incoming, const char* installed);
// "name is no FAR 1.70 plugin:" and F3's reason on the next line.
void addUnfitLines(InstallQuestion& q, const char* path);
// The installed plugin a unit replaces (with both versions, "older" when the
// new one is), a folder that is there, the host holding it.
// arriving, when given, is the folder whose content goes to the unit's
// target: the user's files it would replace are named.
void addTargetLines(InstallQuestion& q, const InstallUnit& unit, const char* newDll, const char* arriving);
// "Your copies of these files stay ...", and the files below installed
// whose copies in arriving differ; one such file found otherwise (count
// counts them, 0 at first).
void addKeptLines(InstallQuestion& q, const char* installed, const char* arriving);
void addKeptFileLine(InstallQuestion& q, const char* below, int* count);
