// Which plugin is behind a fault: a guided search that switches half of the
// suspects off at a time, inside one FAR session, and asks the user after
// each try whether the fault is still there.
#pragma once
#include "state/catalogueRecord.h"
#include "state/panelState.h"

// Starts a search among the selected plugins (all but Vantorel when count is
// 0), or, while one is under way, asks for the answer to the last try.
void searchFaultyPlugin(PanelState* panel, CatalogueRecord* const* selected, int count);
// At the first read of the list in a FAR session: a search FAR's end
// interrupted is offered to go on, or everything is put back. The list is
// read right after, so the panel is not asked to read it again.
void offerToResumeSearch(PanelState* panel);
