#include "ui/fitnessReason.h"

#include "state/pluginState.h"
#include "runtime/text.h"
#include "ui/messages.h"

#include <stdio.h>

void hostFarName(char* out, size_t cap) {
    uint32_t version = hostFarVersion();
    unsigned major = (version >> 8) & 0xFF, minor = version & 0xFF;
    if (!major) major = 1, minor = 70;
    snprintf(out, cap, "%u.%02u", major, minor);
}

void fitnessReasonText(const PluginFitness& fitness, char* out, size_t cap) {
    if (!out || !cap) return;
    out[0] = 0;
    char host[16];
    switch (fitness.reason) {
    case UNFIT_NOT_WINDOWS_DLL:
        copyText(out, cap, msgText(fitness.readable ? MUnfitNotDll : (fitness.gone ? MUnfitGone : MUnfitUnreadable)));
        break;
    case UNFIT_64_BIT:
        hostFarName(host, sizeof host);
        snprintf(out, cap, message(MUnfit64Bit), host);
        break;
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
