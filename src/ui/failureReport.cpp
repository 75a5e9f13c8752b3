#include "ui/failureReport.h"

#include "ui/boxText.h"
#include "runtime/text.h"
#include "ui/messages.h"

#include <windows.h>

#include <stdio.h>
#include <string.h>

namespace {

// A box taller than the host's screen is cut by the host: keep the first few.
const int KEPT_LINES = 12;
const size_t LINE_BYTES = 2 * MAX_PATH + 64;

char lines[KEPT_LINES][LINE_BYTES];
int noted;

char* nextLine() { return noted < KEPT_LINES ? lines[noted] : nullptr; }

}  // namespace

void clearFailureReport() { noted = 0; }

void noteFailure(const char* first, const char* second) {
    if (char* line = nextLine()) {
        copyText(line, LINE_BYTES, first ? first : "");
        if (second) {
            appendText(line, LINE_BYTES, " ");
            appendText(line, LINE_BYTES, second);
        }
    }
    ++noted;
}

void noteItemFailure(const char* name, const char* reason) {
    if (char* line = nextLine()) {
        copyText(line, LINE_BYTES, name ? name : "");
        appendText(line, LINE_BYTES, ": ");
        appendText(line, LINE_BYTES, reason ? reason : "");
    }
    ++noted;
}

void notePathFailure(const char* first, const char* path, const char* reason) {
    if (!first) first = "";
    if (!path) path = "";
    size_t width = boxWidth();
    size_t fixed = strlen(first) + 1 + (reason ? strlen(reason) + 2 : 0);
    // Too little room for the path beside the reason: the reason goes on a line of its own.
    size_t least = strlen(path) < 20 ? strlen(path) : 20;
    bool ownLine = reason && fixed + least > width;
    if (ownLine) fixed = strlen(first) + 2;
    size_t room = width > fixed + least ? width - fixed : least;
    char shown[MAX_PATH];
    shortenMiddle(shown, sizeof shown, path, room, true);
    if (char* line = nextLine()) {
        if (ownLine) snprintf(line, LINE_BYTES, "%s %s:", first, shown);
        else snprintf(line, LINE_BYTES, "%s %s%s%s", first, shown, reason ? ": " : "", reason ? reason : "");
    }
    ++noted;
    if (!ownLine) return;
    if (char* line = nextLine()) snprintf(line, LINE_BYTES, "  %s", reason);
    ++noted;
}

int failureCount() { return noted; }

int failureLinesKept() { return noted < KEPT_LINES ? noted : KEPT_LINES; }

const char* failureLine(int index) {
    return index >= 0 && index < failureLinesKept() ? lines[index] : "";
}

size_t boxWidth() {
    CONSOLE_SCREEN_BUFFER_INFO info;
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    int columns = 80;
    if (out && out != INVALID_HANDLE_VALUE && GetConsoleScreenBufferInfo(out, &info))
        columns = info.srWindow.Right - info.srWindow.Left + 1;
    return boxTextWidth(columns);
}

void describeWindowsError(unsigned long code, char* out, size_t cap) {
    int id = windowsErrorMessageId(code);
    const char* own = id >= 0 ? msgText(id) : nullptr;
    if (own) {
        copyText(out, cap, own);
        return;
    }
    char system[256];
    DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, system,
                             sizeof system, nullptr);
    // The system's text ends with a full stop and a line break; the box's lines end with neither.
    while (n && (system[n - 1] == '\n' || system[n - 1] == '\r' || system[n - 1] == '.' || system[n - 1] == ' '))
        system[--n] = 0;
    if (n) {
        // Its first letter in lower case: the reason follows a colon.
        if (system[0] >= 'A' && system[0] <= 'Z' && !(system[1] >= 'A' && system[1] <= 'Z')) system[0] += 'a' - 'A';
        copyText(out, cap, system);
        return;
    }
    const char* format = msgText(MErrCode);
    snprintf(out, cap, format ? format : "%lu", code);
}
