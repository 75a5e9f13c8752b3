#include "foreign/substituteMessages.h"

#include "foreign/langFileText.h"
#include "runtime/heap.h"
#include "runtime/handles.h"
#include "runtime/text.h"
#include "ui/messages.h"

#include <stdint.h>
#include <stdio.h>
#include <string.h>
#include <new>

char substituteModulePath[MAX_PATH];
JPlugMsgs* substituteMessages;
const char* substituteLanguageFiles;

namespace {

// What answers a text that cannot be found: nothing, as FAR shows a
// plugin's menu items when its language file is missing. A placeholder would
// reach the list as the plugin's description.
const char ANSWER_NONE[] = "";

// The first line of a language file is read up to this many characters to
// learn its language.
constexpr int LANGUAGE_LINE_CHARS = 1023;

// Message texts as they are read, before the table learns its final count.
class TextList {
public:
    ~TextList() {
        for (unsigned i = 0; i < count_; ++i) heapFree(items_[i]);
        heapFree(items_);
    }
    // Appends a copy of text; an entry whose copy fails is kept as nullptr so
    // that later ids stay where the file puts them. False when the list
    // itself cannot grow.
    bool add(const char* text) {
        if (count_ == capacity_) {
            unsigned grown = capacity_ ? capacity_ * 2 : 32;
            char** items = static_cast<char**>(heapAlloc(grown * sizeof(char*)));
            if (!items) return false;
            if (count_) memcpy(items, items_, count_ * sizeof(char*));
            heapFree(items_);
            items_ = items;
            capacity_ = grown;
        }
        items_[count_++] = heapDup(text);
        return true;
    }
    unsigned count() const { return count_; }
    // Hands the texts over to an array of exactly count entries.
    char** release() {
        char** exact = heapArray<char*>(count_);
        if (!exact) return nullptr;
        if (count_) memcpy(exact, items_, count_ * sizeof(char*));
        heapFree(items_);
        items_ = nullptr;
        count_ = capacity_ = 0;
        return exact;
    }

private:
    char** items_ = nullptr;
    unsigned count_ = 0;
    unsigned capacity_ = 0;
};

// The choice among a folder's language files: the one in the host's
// language, else the last English one.
struct LanguageChoice {
    const char* current;
    FILE* fallback;
};

// Looks at the first line of one *.lng file of folder: the file, open and
// read from its start, when it is in the host's language; an English one is
// kept open as the fallback. Each file is opened once: under Wine an open
// costs more than reading a whole language file.
FILE* tryLanguageFile(const char* folder, const char* name, LanguageChoice* choice) {
    char path[MAX_PATH];
    copyText(path, sizeof path, folder);
    if (!appendWhole(path, sizeof path, name)) return nullptr;
    FILE* file = fopen(path, "rt");
    if (!file) return nullptr;
    char line[LANGUAGE_LINE_CHARS + 1] = {};
    size_t length = 0;
    const char* language = fgets(line, sizeof line, file) ? languageNameOf(line, &length) : nullptr;
    bool wanted = language && choice->current && sameLanguage(language, length, choice->current);
    if (!wanted && !(language && sameLanguage(language, length, "English"))) {
        fclose(file);
        return nullptr;
    }
    if (choice->fallback) fclose(choice->fallback);
    choice->fallback = file;
    rewind(file);
    return wanted ? file : nullptr;
}

// The chosen language file of folder, open and read from its start; nullptr
// when there is none.
FILE* openLanguageFile(const char* folder) {
    LanguageChoice choice = {msgText(MLanguageName), nullptr};
    if (substituteLanguageFiles) {
        for (const char* name = substituteLanguageFiles; *name; name += strlen(name) + 1)
            if (FILE* file = tryLanguageFile(folder, name, &choice)) return file;
        return choice.fallback;
    }
    char pattern[MAX_PATH];
    copyText(pattern, sizeof pattern, folder);
    if (!appendWhole(pattern, sizeof pattern, "*.lng")) return nullptr;
    WIN32_FIND_DATAA data;
    FindHandle search(pattern, &data);
    if (!search.found()) return nullptr;
    do {
        if (FILE* file = tryLanguageFile(folder, data.cFileName, &choice)) return file;
    } while (search.next(&data));
    return choice.fallback;
}

bool addMessage(const char* text, void* list) {
    return static_cast<TextList*>(list)->add(text);
}

void releaseMessages() {
    if (!substituteMessages) return;
    substituteMessages->~JPlugMsgs();
    heapFree(substituteMessages);
    substituteMessages = nullptr;
}

} // namespace

JPlugMsgs::JPlugMsgs(const char* modulePath) {
    if (!modulePath) return;
    const char* slash = strrchr(modulePath, '\\');
    if (!slash) return;
    char folder[MAX_PATH];
    size_t folderLength = static_cast<size_t>(slash - modulePath) + 1;
    if (folderLength >= sizeof folder) return;
    copyTextN(folder, sizeof folder, modulePath, folderLength);

    FILE* file = openLanguageFile(folder);
    if (!file) return;
    TextList list;
    bool read = readMessageLines(readFilePiece, file, addMessage, &list);
    fclose(file);
    if (!read) return;
    unsigned found = list.count();
    texts = list.release();
    count = texts ? found : 0;
}

JPlugMsgs::~JPlugMsgs() {
    if (texts) {
        for (unsigned i = 0; i < count; ++i) heapFree(texts[i]);
        heapFree(texts);
    }
    texts = nullptr;
    count = 0;
}

const char* WINAPI substituteGetMsg(int pluginNumberOrCode, int msgIdOrPath) {
    switch (pluginNumberOrCode) {
    case SUBSTITUTE_SET_MODULE: {
        releaseMessages();
        // The path travels in the 32-bit message-id slot.
        const char* path = reinterpret_cast<const char*>(static_cast<uintptr_t>(static_cast<unsigned>(msgIdOrPath)));
        copyText(substituteModulePath, sizeof substituteModulePath, path);
        return nullptr;
    }
    case SUBSTITUTE_RELEASE:
        releaseMessages();
        return nullptr;
    default:
        break;
    }

    if (!substituteMessages) {
        void* memory = heapAlloc(sizeof(JPlugMsgs));
        if (!memory) return ANSWER_NONE;
        substituteMessages = new (memory) JPlugMsgs(substituteModulePath);
    }
    if (!substituteMessages->texts) return ANSWER_NONE;
    unsigned id = static_cast<unsigned>(msgIdOrPath);
    if (id >= substituteMessages->count) return ANSWER_NONE;
    const char* text = substituteMessages->texts[id];
    return text ? text : ANSWER_NONE;
}
