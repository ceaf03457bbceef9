// The values a machine-file field can hold, each parsed strictly so that a
// typing slip is refused instead of read as something else.
#pragma once

#include <stdint.h>

#include <string>

#include "platform/platform.h"

namespace sim::internal {

// 1 to 10 decimal digits, at most 4294967295.
bool ParseDecimal(const std::string& field, uint32_t* value);

// 1 to 8 hexadecimal digits, without a prefix.
bool ParseHex32(const std::string& field, uint32_t* value);

// MAJOR.MINOR, each a decimal of 0 to 255.
bool ParseVersion(const std::string& field, unsigned* major, unsigned* minor);

// One letter of A to Z, upper case.
bool ParseDriveLetter(const std::string& field, char* letter);

// {8-4-4-4-12 hexadecimal digits}, braces included.
bool IsGuidText(const std::string& field);

// The same text as a GUID: Data1-Data2-Data3-Data4[0..1]-Data4[2..7].
bool ParseGuid(const std::string& field, GUID* guid);

// A byte count: decimal digits, optionally followed by K, M, G or T (powers
// of 1024), at most 2^63 - 1 in all.
bool ParseSize(const std::string& field, uint64_t* size);

}  // namespace sim::internal
