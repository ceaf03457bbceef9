// Volume GUID paths: "\\?\Volume{GUID}\", 49 characters.
#pragma once

#include <stdint.h>

#include <string>

namespace sim::internal {

// The path for a GUID given as {8-4-4-4-12}.
std::string GuidPathFromGuid(const std::string& guid);

// A GUID path derived from the volume's name alone, so that it is the same
// in every run and on every platform (the name's FNV-1a hashes, in lower-case
// hexadecimal as Windows writes volume names).
std::string DerivedGuidPath(const std::string& volumeName);

// A serial number for the volume, taken from its GUID path.
uint32_t VolumeSerialNumber(const std::string& guidPath);

}  // namespace sim::internal
