#include "commands/installReport.h"

#include "runtime/text.h"

#include <windows.h>

namespace {

// A box taller than the host's screen is cut by the host: keep the first few.
const int KEPT_LINES = 12;
// A path is never cut (the host cuts what its screen cannot show).
const size_t LINE_BYTES = 2 * MAX_PATH + 64;

char lines[KEPT_LINES][LINE_BYTES];
int noted;

}  // namespace

void clearInstallReport() { noted = 0; }

void noteInstallFailure(const char* first, const char* second) {
    if (noted < KEPT_LINES) {
        char* line = lines[noted];
        copyText(line, LINE_BYTES, first ? first : "");
        if (second) {
            appendText(line, LINE_BYTES, " ");
            appendText(line, LINE_BYTES, second);
        }
    }
    ++noted;
}

int installFailureCount() { return noted; }

int installFailureLinesKept() { return noted < KEPT_LINES ? noted : KEPT_LINES; }

const char* installFailureLine(int index) {
    return index >= 0 && index < installFailureLinesKept() ? lines[index] : "";
}
