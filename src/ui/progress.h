// The progress window of long operations: a title, the item at hand and a bar
// of block characters, drawn through the host's message service.
#pragma once
#include <windows.h>

static const unsigned char BAR_FILLED = 219;   // full block in the host's OEM code page
static const unsigned char BAR_EMPTY = 176;    // light shade
static const int BAR_CELLS = 49;
static const int LINE_CHARS = 49;

// Number of filled cells for a position of a total (total > 0): the position's
// share of 50, cut to the 49 cells the bar has.
int progressFilledCells(int position, int total);
// The line shown for an item text: whole up to 49 characters, else "..." and
// its last 43 characters. line holds LINE_CHARS + 1 bytes.
void progressLine(const char* text, char* line);

class JFarStatus {
public:
    JFarStatus();
    ~JFarStatus();
    void start(const char* title, int total, int quiet);
    void update(const char* text, int delta, int position);
    void stop();

    // For tests.
    const char* barText() const { return bar; }
    int currentPosition() const { return position; }
    int currentTotal() const { return total; }
    const char* currentTitle() const { return title; }

private:
    char bar[BAR_CELLS + 1];
    char line[LINE_CHARS + 1];
    HANDLE savedScreen;
    int quiet;
    int position;
    int total;
    const char* title;
    // Every host message box is a full redraw of the console (some 1.5 ms
    // each in FAR under Wine, as much as a tenth of what a plugin's load
    // costs), so a step is drawn only when the last drawing is a while old
    // (the first step of a run always), however far the bar moved.
    bool drawnOnce;
    DWORD drawnAt;
};

extern JFarStatus progress;
