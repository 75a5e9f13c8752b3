#include "foreign/langFileText.h"

#include "runtime/text.h"

#include <string.h>

const char* languageNameOf(const char* line, size_t* length) {
    if (!line || !startsWithNoCase(line, ".Language")) return nullptr;
    const char* equals = strchr(line, '=');
    if (!equals) return nullptr;
    const char* name = equals + 1;
    while (*name == ' ') ++name;
    const char* comma = strchr(name, ',');
    if (!comma) return nullptr;
    if (length) *length = static_cast<size_t>(comma - name);
    return name;
}

bool sameLanguage(const char* name, size_t length, const char* wanted) {
    if (!name || !wanted) return false;
    for (size_t i = 0; i < length; ++i)
        if (!wanted[i] || lowerAscii(name[i]) != lowerAscii(wanted[i])) return false;
    return wanted[length] == 0;
}

char* messageTextOf(char* line) {
    if (!line || line[0] != '"') return nullptr;
    line[strcspn(line, "\r\n")] = 0;
    char* closing = strrchr(line, '"');
    if (closing != line) *closing = 0;  // a missing closing quote keeps the rest
    char* text = line + 1;
    // Each search starts afresh, so a run of backslashes shrinks to one.
    for (;;) {
        char* at = strstr(text, "\\\"");
        if (!at) at = strstr(text, "\\\\");
        if (!at) break;
        memmove(at, at + 1, strlen(at + 1) + 1);
    }
    return text;
}

bool readMessageLines(PieceReader read, void* readContext, MessageSink add, void* addContext) {
    char line[MESSAGE_PIECE_CHARS + 1];
    bool atLineStart = true;
    for (;;) {
        int length = readPiece(read, readContext, line, sizeof line);
        if (length < 0) return true;
        bool startsLine = atLineStart;
        atLineStart = pieceEndsLine(line, static_cast<size_t>(length), sizeof line);
        if (!startsLine) continue;
        if (const char* text = messageTextOf(line)) {
            if (!add(text, addContext)) return false;
        }
    }
}
