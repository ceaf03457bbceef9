// The system's own services that are not about disks: the random source that
// ADVAPI32.dll exports, found through GetProcAddress.
#pragma once

#include "platform/platform.h"

namespace sim::internal {

// RtlGenRandom, exported as SystemFunction036: fills the buffer from the
// machine's random line, 4 bytes per value, little-endian. Fails (FALSE)
// with 31 when the values run out, with 87 for a length that is not a
// multiple of 4 or a null buffer; a failure takes no value and writes nothing.
BOOLEAN WINAPI SystemFunction036(PVOID buffer, ULONG length);

}  // namespace sim::internal
