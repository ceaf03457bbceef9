// The identifiers that every other disk of the machine holds, as "-ld"
// enumerates the disks.
#pragma once

#include "base/disk_list.h"
#include "base/text.h"
#include "platform/platform.h"

struct HeldIdentifiers {
    unsigned count;
    DWORD style[kMaxDisks];
    DWORD signature[kMaxDisks];
    GUID diskId[kMaxDisks];
};

// Reads the layout of every disk but `skipped` through a read-only handle.
// A disk that can't be opened or read is left out, with a warning line in
// the report. Returns 0, or the error code of the failed enumeration.
int CollectOtherIdentifiers(DWORD skipped, HeldIdentifiers* held, Text* report);

bool SignatureHeld(const HeldIdentifiers* held, DWORD signature);
bool DiskIdHeld(const HeldIdentifiers* held, const GUID* diskId);
