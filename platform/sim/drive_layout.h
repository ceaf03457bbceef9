// A disk's drive layout as IOCTL_DISK_GET_DRIVE_LAYOUT reports it and
// IOCTL_DISK_SET_DRIVE_LAYOUT takes it.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <vector>

#include "platform/platform.h"
#include "platform/sim/machine.h"

namespace sim::internal {

static_assert(sizeof(PARTITION_INFORMATION) == 32, "a layout entry is 32 bytes");
static_assert(offsetof(DRIVE_LAYOUT_INFORMATION, PartitionEntry) == 8, "the layout head is 8 bytes");

constexpr size_t kLayoutHeadSize = 8;

struct DiskLayout {
    uint32_t signature = 0;
    std::vector<PARTITION_INFORMATION> entries;
};

// An image disk reports the four MBR slots; a memory disk its own entries.
// On failure *error is the Windows code.
bool ReadDiskLayout(const Disk& disk, DiskLayout* layout, DWORD* error);

// The signature and entries go back to the disk. The entry count must be the
// one the disk reports. An image changes in bytes 440-509 only, and only where
// the layout differs from what the image holds.
bool WriteDiskLayout(Disk* disk, const DiskLayout& layout, DWORD* error);

size_t LayoutSize(size_t entryCount);
void StoreLayout(const DiskLayout& layout, void* buffer);

// Reads a layout handed in as DRIVE_LAYOUT_INFORMATION; false when the
// buffer is shorter than its head or than its PartitionCount entries.
bool LoadLayout(const void* buffer, size_t size, DiskLayout* layout);

}  // namespace sim::internal
