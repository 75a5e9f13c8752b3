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

namespace {

const char ANSWER_BUG[] = "Bug!";
const char ANSWER_TOO_BIG[] = "TooBig!";

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

// Picks the language file among the *.lng files of folder: the one in the
// host's language, else the last English one. False when there is none.
bool chooseLanguageFile(const char* folder, char* chosen) {
    const char* current = msgText(MLanguageName);
    char path[MAX_PATH];
    copyText(path, sizeof path, folder);
    if (!appendWhole(path, sizeof path, "*.lng")) return false;

    char fallback[MAX_PATH] = "";
    WIN32_FIND_DATAA data;
    FindHandle search(path, &data);
    if (!search.found()) return false;
    do {
        copyText(path, sizeof path, folder);
        if (!appendWhole(path, sizeof path, data.cFileName)) continue;
        FileHandle file(path, "rt");
        if (!file.get()) continue;
        char line[LANGUAGE_LINE_CHARS + 1] = {};
        if (!fgets(line, sizeof line, file.get())) continue;
        size_t length = 0;
        const char* name = languageNameOf(line, &length);
        if (!name) continue;
        if (current && sameLanguage(name, length, current)) {
            copyText(chosen, MAX_PATH, path);
            return true;
        }
        if (sameLanguage(name, length, "English")) copyText(fallback, sizeof fallback, path);
    } while (search.next(&data));

    if (!fallback[0]) return false;
    copyText(chosen, MAX_PATH, fallback);
    return true;
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

    char chosen[MAX_PATH];
    if (!chooseLanguageFile(folder, chosen)) return;
    FileHandle file(chosen, "rt");
    if (!file.get()) return;
    TextList list;
    if (!readMessageLines(readFilePiece, file.get(), addMessage, &list)) return;
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
        if (!memory) return ANSWER_BUG;
        substituteMessages = new (memory) JPlugMsgs(substituteModulePath);
    }
    if (!substituteMessages->texts) return ANSWER_BUG;
    unsigned id = static_cast<unsigned>(msgIdOrPath);
    if (id >= substituteMessages->count) return ANSWER_TOO_BIG;
    const char* text = substituteMessages->texts[id];
    return text ? text : ANSWER_BUG;
}
