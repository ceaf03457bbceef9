// A disk's drive layout as IOCTL_DISK_GET_DRIVE_LAYOUT reports it and
// IOCTL_DISK_SET_DRIVE_LAYOUT takes it (MBR disks only), and as
// IOCTL_DISK_GET_DRIVE_LAYOUT_EX reports it for every style; the disk's size.
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
constexpr size_t kLayoutExHeadSize = 48;

struct DiskLayout {
    uint32_t signature = 0;
    std::vector<PARTITION_INFORMATION> entries;
};

// What IOCTL_DISK_GET_DRIVE_LAYOUT_EX reports: the MBR fields, or the GPT
// ones, or neither for a RAW disk, and the entries.
struct DiskLayoutEx {
    DiskStyle style = DiskStyle::Raw;
    uint32_t signature = 0;
    uint32_t checkSum = 0;
    GUID diskId{};
    int64_t startingUsableOffset = 0;
    int64_t usableLength = 0;
    uint32_t maxPartitionCount = 0;
    std::vector<PARTITION_INFORMATION_EX> entries;
};

// An image disk reports the four MBR slots; a memory disk its own entries.
// A GPT or RAW disk has no such layout: ERROR_INVALID_FUNCTION. On failure
// *error is the Windows code.
bool ReadDiskLayout(const Disk& disk, DiskLayout* layout, DWORD* error);

// The signature and entries go back to an MBR disk (a GPT or RAW disk fails
// with ERROR_INVALID_FUNCTION, a read-only one with ERROR_WRITE_PROTECT).
// The entry count must be the one the disk reports. An image changes in
// bytes 440-509 only, and only where the layout differs from what it holds.
bool WriteDiskLayout(Disk* disk, const DiskLayout& layout, DWORD* error);

bool ReadDiskLayoutEx(const Disk& disk, DiskLayoutEx* layout, DWORD* error);

// The memory disk's size, or the image file's.
bool ReadDiskSize(const Disk& disk, uint64_t* size, DWORD* error);

size_t LayoutSize(size_t entryCount);
void StoreLayout(const DiskLayout& layout, void* buffer);

// 48 bytes of head and 144 per entry.
size_t LayoutExSize(size_t entryCount);
void StoreLayoutEx(const DiskLayoutEx& layout, void* buffer);

// Reads a layout handed in as DRIVE_LAYOUT_INFORMATION; false when the
// buffer is shorter than its head or than its PartitionCount entries.
bool LoadLayout(const void* buffer, size_t size, DiskLayout* layout);

// Reads a layout handed in as DRIVE_LAYOUT_INFORMATION_EX; false when the
// buffer is shorter than its head or than its PartitionCount entries, or its
// style is none of MBR, GPT and RAW.
bool LoadLayoutEx(const void* buffer, size_t size, DiskLayoutEx* layout);

// Stores the layout's identifier (MBR signature or GPT disk GUID) on the
// disk. The disk can't be repartitioned: a layout whose style, entry count,
// GPT usable range or entries differ from the disk's is refused with
// ERROR_INVALID_PARAMETER. A RAW disk fails with ERROR_INVALID_FUNCTION, a
// read-only one with ERROR_WRITE_PROTECT. An MBR image changes in bytes
// 440-443 only; a GPT image in its two headers' disk GUID and CRC32.
bool WriteDiskLayoutEx(Disk* disk, const DiskLayoutEx& layout, DWORD* error);

// A failed read or write of an image: 5 for a permission error, else 1117.
DWORD ErrorOfErrno(int errorNumber);

}  // namespace sim::internal
