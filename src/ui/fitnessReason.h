// Why the FAR Vantorel runs in would not take a DLL as a plugin, as one line
// for a box.
#pragma once
#include "dll/pluginFitness.h"

#include <stddef.h>

// The reason's text (with the DLL or function it names); empty for a DLL FAR
// keeps as a plugin. out holds cap bytes.
void fitnessReasonText(const PluginFitness& fitness, char* out, size_t cap);

// The FAR Vantorel runs in as its texts name it: "1.70", "1.75" (from the
// version the host answers; 1.70 when it answers none).
void hostFarName(char* out, size_t cap);
