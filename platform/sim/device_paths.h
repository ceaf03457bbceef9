// Resolving the device paths CreateFileA takes: "\\.\X:",
// "\\.\physicaldriveN" and a volume GUID path less its last backslash.
#pragma once

#include <optional>
#include <string>

#include "platform/sim/machine.h"

namespace sim::internal {

// The disk or volume the path opens, or none. The prefix, the letter and
// "physicaldrive" are compared ignoring case of A-Z; N is decimal without
// leading zeros, as Windows names disks.
std::optional<DeviceTarget> DeviceAtPath(const Machine& machine, const std::string& path);

}  // namespace sim::internal
