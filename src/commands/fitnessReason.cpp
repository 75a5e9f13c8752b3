#include "commands/fitnessReason.h"

#include "runtime/text.h"
#include "ui/messages.h"

#include <stdio.h>

void fitnessReasonText(const PluginFitness& fitness, char* out, size_t cap) {
    if (!out || !cap) return;
    out[0] = 0;
    switch (fitness.reason) {
    case UNFIT_NOT_WINDOWS_DLL: copyText(out, cap, msgText(fitness.readable ? MUnfitNotDll : MUnfitUnreadable)); break;
    case UNFIT_64_BIT: copyText(out, cap, msgText(MUnfit64Bit)); break;
    case UNFIT_UNICODE_BUILD: copyText(out, cap, msgText(MUnfitUnicode)); break;
    case UNFIT_DECORATED: copyText(out, cap, msgText(MUnfitDecorated)); break;
    case UNFIT_NO_ENTRY_POINTS: copyText(out, cap, msgText(MUnfitNoEntryPoints)); break;
    case UNFIT_MISSING_DLL: snprintf(out, cap, "%s %s", msgText(MUnfitMissingDll), fitness.dll); break;
    case UNFIT_MISSING_IMPORT:
        snprintf(out, cap, "%s %s (%s)", msgText(MUnfitMissingImport), fitness.function, fitness.dll);
        break;
    default: break;
    }
}
