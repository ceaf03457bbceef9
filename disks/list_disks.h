// The "-ld" command: every physical disk, MBR, GPT or RAW, offline ones too,
// with its identifier, size, state and drive letters, and the disks that
// share an identifier. Nothing is written to any disk.
#pragma once

#include "base/text.h"

// The largest listing: 256 disks with their longest fields, the letters and
// the collisions, with room to spare.
const unsigned kListingCapacity = 131072;

// Runs "-ld" with the operands that follow it: none for the table, "json"
// (any case) for the JSON document. Leaves the listing, or one message, in
// the report and returns 0 (no collision), 1 (a collision), 87 (an operand
// refused), the error code of a failed enumeration, or 122 when disks were
// left out or the listing does not fit the report.
int ListDisks(int operandCount, char* const operands[], Text* report);
