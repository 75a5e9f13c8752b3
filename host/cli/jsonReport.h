// The report of a run for tools: the transcript, the boxes, the problems, the
// faults and the exit code as JSON, texts converted from the OEM code page.
#pragma once

#include "core/host.h"

#include <string>

namespace farhost {

std::string jsonReport(const Host& host, int exitCode, unsigned codePage);

// A JSON string (quotes included) of OEM text: UTF-8, control characters escaped.
std::string jsonString(const std::string& oem, unsigned codePage);

}  // namespace farhost
