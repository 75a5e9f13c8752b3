// Putting one unit in place whole: it is made in a staging folder beside the
// plugins tree and moved into place only when complete, with the plugins FAR
// has loaded from its target let go of first and FAR's records made to agree
// with whatever folder ends up there.
#pragma once
#include "install/drop.h"

namespace installing {

// A unit that cannot go where it should is told at once and not asked about
// (true): its folder's path is too long, a file is in its way, a path in it
// cannot be read, or its DLLs are two installed plugins or a loose one.
bool refuseIfCannotGo(InstallUnit& unit);
// The staging folder for a unit, or false with the failure noted.
bool stageFor(InstallUnit& unit);
void discardStage(InstallUnit& unit);
// Copies a folder tree into folder (which exists); 1 when every step succeeded.
int copyTreeInto(const char* source, const char* folder);
// Moves a finished stage into place; the stage is gone either way.
bool placeUnit(Drop& drop, InstallUnit& unit);

}  // namespace installing
