// Reading machine-file text into a Machine.
#pragma once

#include <string>

#include "platform/sim/machine.h"

namespace sim::internal {

// Image paths are relative to baseDir (the current directory when it is
// empty). On a fault *error is "SOURCE:LINE: what" and *machine is unchanged.
bool ParseMachineText(const std::string& text, const std::string& baseDir,
                      const std::string& sourceName, Machine* machine, std::string* error);

}  // namespace sim::internal
