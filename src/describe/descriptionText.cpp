#include "describe/descriptionText.h"

#include "far/farPlugin.h"
#include "runtime/text.h"

#include <string.h>

namespace {

// Characters that follow the words removed from a file_id.diz line: version
// numbers with their "v", "a"/"b" suffixes, brackets and separators.
const char REMOVAL_SET[] = "v 0123456789.+:ab()";

struct RemovedWord {
    const char* word;
    const char* trailing;
};

const RemovedWord REMOVED_WORDS[] = {
    {"plugin", REMOVAL_SET},
    {"for", nullptr},
    {"far ", REMOVAL_SET},
    {"(version", REMOVAL_SET},
    {"version", REMOVAL_SET},
};

// Three characters each; the punctuation mark goes together with its spaces.
const char* const SPACED_PUNCTUATION[] = {" , ", "  ,", " ; ", "  ;", " . ", "  ."};

const char HELP_CONTENTS_KEY[] = ".plugincontents";

inline bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

inline bool inSet(const char* set, char c) {
    return c != 0 && strchr(set, c) != nullptr;
}

void deleteChars(char* at, size_t n) {
    size_t rest = strlen(at + n);
    memmove(at, at + n, rest + 1);
}

void cutAtLineEnd(char* text) {
    text[strcspn(text, "\r\n")] = 0;
}

// Deletes the spaced punctuation marks. Three characters are compared, yet
// only positions with four more characters behind them are examined.
void removeSpacedPunctuation(char* text) {
    for (size_t i = 0; i + 4 < strlen(text); ++i) {
        for (const char* mark : SPACED_PUNCTUATION) {
            if (strncmp(text + i, mark, 3) == 0) {
                deleteChars(text + i, 3);
                break;
            }
        }
    }
}

void stripEnd(char* text) {
    size_t n = strlen(text);
    while (n > 0 && strchr(" .,;:", text[n - 1])) --n;
    text[n] = 0;
}

} // namespace

void collapseBlanks(char* text) {
    if (!text) return;
    for (char* p = text; *p; ++p) {
        if (!isBlank(*p)) continue;
        char* end = p + 1;
        while (isBlank(*end)) ++end;
        if (*end == 0) return;  // trailing run stays
        if (end - p >= 2) deleteChars(p + 1, static_cast<size_t>(end - p - 1));
    }
}

void removeWord(char* text, const char* word, const char* set) {
    if (!text || !word || !*word) return;
    char* at = findNoCase(text, word);
    if (!at) return;
    deleteChars(at, strlen(word));
    if (!set) return;
    size_t run = 0;
    while (inSet(set, at[run])) ++run;
    if (run) deleteChars(at, run);
}

void cleanDizLine(const char* line, char* out, size_t cap) {
    if (!out || cap == 0) return;
    out[0] = 0;
    if (!line) return;

    char work[300];
    copyText(work, sizeof work, line);
    cutAtLineEnd(work);
    collapseBlanks(work);
    // Lines of plugins whose names begin with J are left their words.
    if (work[0] != 'J' && work[0] != 'j') {
        for (const RemovedWord& w : REMOVED_WORDS) removeWord(work, w.word, w.trailing);
    }
    removeSpacedPunctuation(work);
    stripEnd(work);
    collapseBlanks(work);

    const char* start = work;
    while (*start == ' ') ++start;
    copyTextN(out, cap, start, DESCRIPTION_CHARS);
}

const char* menuDescriptionOf(const PluginInfo* info) {
    const char* const* list = nullptr;
    if (info->DiskMenuStringsNumber)
        list = info->DiskMenuStrings;
    else if (info->PluginMenuStringsNumber)
        list = info->PluginMenuStrings;
    else if (info->PluginConfigStringsNumber)
        list = info->PluginConfigStrings;
    else
        return "";
    return list ? list[0] : nullptr;
}

bool helpContentsText(const char* line, char* out, size_t cap) {
    if (!line || !startsWithNoCase(line, HELP_CONTENTS_KEY)) return false;
    if (out && cap) out[0] = 0;
    const char* equals = strchr(line, '=');
    if (!equals) return true;
    const char* text = equals + 1;
    while (*text == '\r' || *text == '\n') ++text;
    copyTextN(out, cap, text, strcspn(text, "\r\n"));
    return true;
}

bool scanHelpContents(PieceReader read, void* context, char* out, size_t cap) {
    char piece[HELP_PIECE_CHARS + 1];
    for (int reads = 0; reads < HELP_READS; ++reads) {
        if (readPiece(read, context, piece, sizeof piece) < 0) return false;
        if (helpContentsText(piece, out, cap)) return true;
    }
    return false;
}
