// How the panel looks in the host: title, flags, view modes, key bar, and the
// view mode each of list and browse mode keeps.
#pragma once
#include "far/farPlugin.h"

// Exchanges the panel's current view mode with the one remembered in saved
// (-1: nothing remembered yet, so only the current mode is recorded).
void swapViewMode(HANDLE panel, int* saved);

static const DWORD LIST_MODE_FLAGS = OPIF_RAWSELECTION | OPIF_REALNAMES | OPIF_SHOWNAMESONLY | OPIF_EXTERNALGET |
                                     OPIF_EXTERNALDELETE | OPIF_USEATTRHIGHLIGHTING;
static const DWORD BROWSE_MODE_FLAGS = OPIF_USEHIGHLIGHTING | OPIF_RAWSELECTION | OPIF_REALNAMES |
                                       OPIF_SHOWNAMESONLY | OPIF_EXTERNALGET | OPIF_EXTERNALPUT |
                                       OPIF_EXTERNALDELETE | OPIF_EXTERNALMKDIR;
static_assert(LIST_MODE_FLAGS == 0xA870, "list mode flags");
static_assert(BROWSE_MODE_FLAGS == 0x7874, "browse mode flags");
