// The chain of volumes that a mount-point walk is inside: the drive letter's
// own volume first, then each volume the walk has descended into, down to
// the level that runs now. Each level's volume GUID path stays here while
// the levels below it run, so that its enumeration can go on after them and
// so that the walk can tell a volume mounted inside itself.
//
// The names are kept one after another, each with its terminator, in one
// buffer of fixed size rather than one buffer per level on the stack.
#pragma once

#include <stddef.h>

// Holds over 1300 levels of the platform's 49-character volume GUID paths:
// more than a 1024-character path prefix can nest.
const size_t kVolumeChainCapacity = 65536;

struct VolumeChain {
    char names[kVolumeChainCapacity];
    size_t used;  // bytes that the names take, terminators included
};

void ClearVolumeChain(VolumeChain* chain);

bool ChainHasRoomFor(const VolumeChain* chain, const char* volume);

// Adds the volume as the innermost level; false, leaving the chain as it
// was, when it has no room for it.
bool PushVolume(VolumeChain* chain, const char* volume);

// Drops the innermost level.
void PopVolume(VolumeChain* chain);

// The innermost level's volume ("" for an empty chain). The text stays in
// place while levels are pushed and popped above it.
const char* InnermostVolume(const VolumeChain* chain);

bool ChainHoldsVolume(const VolumeChain* chain, const char* volume);
