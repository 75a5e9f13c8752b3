// The boxes and menus of the search for the plugin behind a fault.
#pragma once
#include "commands/faultSearchSteps.h"
#include "state/panelState.h"

// The menu that starts a search: Enter on a plugin marks it as one the
// fault needs (it stays on), Enter on the first line starts. False on Esc.
bool chooseRequired(SearchState* state);
// What to do now: try the fault, come back, press the key again.
void showStep(PanelState* panel, const SearchState& state, bool restart);
enum AskedAnswer { ASKED_STILL_THERE, ASKED_GONE, ASKED_CANNOT_TELL, ASKED_PUT_BACK };
AskedAnswer askAnswer(PanelState* panel, const SearchState& state);
// The end: the plugin found (folder), or none alone (folder null).
void showResult(PanelState* panel, const char* folder, bool restart);
// FAR ended in the middle of a search: go on (true) or put everything back.
bool askGoOn(const SearchState& state);
// Every plugin is back; or, with failure, where putting back stopped.
void showPutBack(bool restart);
void showStopped(const char* path, DWORD error, int why);
