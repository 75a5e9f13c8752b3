#include "ui/progress.h"

#include "state/pluginState.h"
#include "runtime/text.h"
#include "ui/messages.h"

#include <string.h>

JFarStatus progress;

int progressFilledCells(int position, int total) {
    if (total <= 0) return 0;
    int f = static_cast<int>(position * 1.0 / total * 50.0);
    if (f < 0) f = 0;
    return f > BAR_CELLS ? BAR_CELLS : f;
}

void progressLine(const char* text, char* line) {
    size_t n = strlen(text);
    if (n <= static_cast<size_t>(LINE_CHARS)) {
        copyText(line, LINE_CHARS + 1, text);
    } else {
        memcpy(line, "...", 3);
        memcpy(line + 3, text + n - 43, 43);
        line[46] = 0;
    }
    line[LINE_CHARS] = 0;
}

namespace {

// The window is redrawn at most this often: ten times a second moves the
// bar and the path line smoothly enough.
constexpr DWORD REDRAW_MS = 100;

}  // namespace

JFarStatus::JFarStatus()
    : savedScreen(nullptr), quiet(0), position(0), total(0), title(PLUGIN_TITLE), drawnOnce(false), drawnAt(0) {
    memset(bar, BAR_EMPTY, BAR_CELLS);
    bar[BAR_CELLS] = 0;
    line[0] = 0;
}

JFarStatus::~JFarStatus() {
    stop();
}

void JFarStatus::start(const char* newTitle, int newTotal, int newQuiet) {
    quiet = newQuiet;
    if (newTitle) title = newTitle;
    if (newTotal) total = newTotal;
    position = 0;
    drawnOnce = false;
    savedScreen = nullptr;
    if (!quiet && startupInfo.SaveScreen) savedScreen = startupInfo.SaveScreen(0, 0, -1, -1);
}

void JFarStatus::update(const char* text, int delta, int newPosition) {
    if (quiet) return;
    position += delta;
    if (newPosition) position = newPosition;
    if (text) progressLine(text, line);
    if (position > total) total = position;
    if (total) {
        int filled = progressFilledCells(position, total);
        memset(bar, BAR_FILLED, filled);
        memset(bar + filled, BAR_EMPTY, BAR_CELLS - filled);
        bar[BAR_CELLS] = 0;
    }
    if (!startupInfo.Message) return;
    DWORD now = GetTickCount();
    if (drawnOnce && now - drawnAt < REDRAW_MS) return;
    drawnOnce = true;
    drawnAt = now;
    const char* items[4] = {title, line, "", bar};
    startupInfo.Message(0, 0, "", items, 4, 0);
}

void JFarStatus::stop() {
    if (!quiet && savedScreen && startupInfo.RestoreScreen) startupInfo.RestoreScreen(savedScreen);
    savedScreen = nullptr;
    quiet = 0;
}
