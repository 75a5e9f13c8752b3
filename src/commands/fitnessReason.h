// Why FAR 1.70 would not take a DLL as a plugin, as one line for a box.
#pragma once
#include "dll/pluginFitness.h"

#include <stddef.h>

// The reason's text (with the DLL or function it names); empty for a DLL FAR
// keeps as a plugin. out holds cap bytes.
void fitnessReasonText(const PluginFitness& fitness, char* out, size_t cap);
