#include "install/extractCommand.h"

#include "runtime/text.h"

#include <string.h>

void removeBraceGroups(char* command) {
    char* open = strchr(command, '{');
    while (open) {
        char* close = strchr(open, '}');
        if (!close) {
            *open = 0;
            return;
        }
        memmove(open, close + 1, strlen(close + 1) + 1);
        open = strchr(open, '{');
    }
}

void removePercentWords(char* command) {
    char* percent = strchr(command, '%');
    while (percent) {
        char* start = percent;
        while (start > command && start[-1] != ' ') --start;
        if (start > command) --start;   // the blank before the word goes with it
        char* end = strchr(percent, ' ');
        if (!end) end = percent + strlen(percent);
        memmove(start, end, strlen(end) + 1);
        percent = strchr(start, '%');
    }
}

void rewriteExtractCommand(char* command) {
    removeBraceGroups(command);
    removePercentWords(command);
}

namespace {

// Appends " text" (quoted when it holds a blank), then suffix inside the quotes.
bool appendWord(char* out, size_t cap, const char* text, const char* suffix) {
    bool quote = strchr(text, ' ') != nullptr;
    return appendWhole(out, cap, quote ? " \"" : " ") && appendWhole(out, cap, text) &&
           appendWhole(out, cap, suffix) && (!quote || appendWhole(out, cap, "\""));
}

}  // namespace

bool appendArchiveAndTarget(char* command, size_t cap, const char* archive, const char* target) {
    size_t length = strlen(command);
    // Inside quotes a backslash before the closing quote would escape it for
    // the archiver's command-line parser: double it there.
    bool targetQuoted = strchr(target, ' ') != nullptr;
    if (appendWord(command, cap, archive, "") && appendWord(command, cap, target, targetQuoted ? "\\\\" : "\\"))
        return true;
    command[length] = 0;
    return false;
}

const char* archiveExtension(const char* name) {
    const char* dot = strrchr(name, '.');
    return dot ? dot + 1 : nullptr;
}
