// The platform's cryptographic random source: RtlGenRandom, which ADVAPI32
// exports as SystemFunction036, found at run time so that the executable's
// load-time imports stay as they are.
#pragma once

#include "platform/platform.h"

// Fills the buffer with random bytes. Returns 0, or the error code of the
// step that failed (loading ADVAPI32, finding the procedure, or the draw).
int DrawRandom(void* buffer, ULONG size);
