// The plugin interface 1.70 as the host declares it: its structures, its
// constants, the services it lends and the exports it calls. These are the
// host's own declarations, kept apart from any plugin's: a structure a plugin
// declares too small is the plugin's mistake to be caught, not one to be
// shared. `using namespace farhost::api` brings the interface's names alone.
#pragma once

#include "interface/farConstants.h"
#include "interface/farServices.h"
#include "interface/farStructures.h"
