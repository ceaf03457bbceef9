// Every physical disk of the machine, by number: the DOS device names
// "PhysicalDriveN", which the disks commands open as \\.\PhysicalDriveN.
#pragma once

#include "platform/platform.h"

// Disks a list holds. Numbers past the list are counted, never dropped
// without a word.
const unsigned kMaxDisks = 256;

// The buffer of DOS device names starts at this size and doubles while the
// names don't fit, up to the largest size; names that need more fail the
// enumeration with 122 (ERROR_INSUFFICIENT_BUFFER).
const DWORD kDeviceNamesFirstSize = 16384;
const DWORD kDeviceNamesLargestSize = 262144;

struct DiskList {
    DWORD numbers[kMaxDisks];  // increasing, each once
    unsigned count;
    unsigned unlisted;  // disk names past the list's capacity
};

// Fills the list with the number of every PhysicalDriveN name (compared
// ignoring case, N decimal without leading zeros), in increasing order.
// Returns 0, or the error code of the failed enumeration.
int ListPhysicalDrives(DiskList* disks);

// True with the number when the DOS device name is PhysicalDriveN.
bool ParsePhysicalDriveName(const char* name, DWORD* number);
