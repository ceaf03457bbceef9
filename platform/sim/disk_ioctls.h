// The outcome of one control code, and the control codes that read what a
// whole disk is: its extended layout, its length and its attributes.
#pragma once

#include <stddef.h>

#include "platform/platform.h"
#include "platform/sim/sim_state.h"

namespace sim::internal {

struct IoctlResult {
    bool ok = false;
    DWORD error = 0;  // when not ok
    DWORD bytes = 0;  // when ok
};

inline IoctlResult Failed(DWORD error)
{
    return IoctlResult{false, error, 0};
}

inline IoctlResult Done(size_t bytes)
{
    return IoctlResult{true, 0, static_cast<DWORD>(bytes)};
}

// IOCTL_DISK_GET_DRIVE_LAYOUT_EX: the layout of the disk, or of the disk
// holding the volume.
IoctlResult GetDriveLayoutEx(const Resource& device, void* out, DWORD outSize);

// IOCTL_DISK_SET_DRIVE_LAYOUT_EX: a disk handle opened for writing stores
// the layout's new identifier (see WriteDiskLayoutEx).
IoctlResult SetDriveLayoutEx(const Resource& device, const void* in, DWORD inSize);

// IOCTL_DISK_GET_LENGTH_INFO and IOCTL_DISK_GET_DISK_ATTRIBUTES: a disk
// handle only; the simulated volumes have no length of their own.
IoctlResult GetLengthInfo(const Resource& device, void* out, DWORD outSize);
IoctlResult GetDiskAttributes(const Resource& device, void* out, DWORD outSize);

}  // namespace sim::internal
