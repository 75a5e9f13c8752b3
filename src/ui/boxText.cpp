#include "ui/boxText.h"

#include "runtime/text.h"
#include "ui/messages.h"

#include <string.h>

namespace {

// How much of a path's start names where it lies: the drive or the server
// and share, with their backslash.
size_t rootLength(const char* path) {
    size_t length = strlen(path);
    if (length >= 3 && path[1] == ':' && path[2] == '\\') return 3;
    if (length > 2 && path[0] == '\\' && path[1] == '\\') {
        const char* server = strchr(path + 2, '\\');
        if (!server) return 0;
        const char* share = strchr(server + 1, '\\');
        return share ? static_cast<size_t>(share - path) + 1 : 0;
    }
    return 0;
}

}  // namespace

void shortenMiddle(char* out, size_t cap, const char* text, size_t width, bool isPath) {
    if (!cap) return;
    size_t length = strlen(text);
    if (length <= width || width < 5) {
        copyText(out, cap, text);
        return;
    }
    size_t room = width - 3;
    size_t head = isPath ? rootLength(text) : room / 2;
    if (head > room * 2 / 3) head = room / 2;   // a root that long leaves too little of the end
    size_t tail = room - head;
    copyTextN(out, cap, text, head);
    appendText(out, cap, "...");
    appendText(out, cap, text + length - tail);
}

size_t boxTextWidth(int columns) {
    // The host's boxes show at most the screen's width less 16 characters.
    if (columns < 56) columns = 56;
    return static_cast<size_t>(columns - 16);
}

int windowsErrorMessageId(unsigned long code) {
    switch (code) {
    case 32:    // ERROR_SHARING_VIOLATION
    case 33:    // ERROR_LOCK_VIOLATION
        return MErrInUse;
    case 206:   // ERROR_FILENAME_EXCED_RANGE
    case 111:   // ERROR_BUFFER_OVERFLOW: a name longer than the file system takes
        return MErrNameTooLong;
    case 5:     // ERROR_ACCESS_DENIED
        return MErrAccess;
    case 39:    // ERROR_HANDLE_DISK_FULL
    case 112:   // ERROR_DISK_FULL
        return MErrDiskFull;
    default: return -1;
    }
}
