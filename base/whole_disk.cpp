#include "base/whole_disk.h"

#include <stddef.h>
#include <string.h>

namespace {

const int kInsufficientBuffer = 122;

static_assert(offsetof(DRIVE_LAYOUT_INFORMATION_EX, PartitionEntry) == kLayoutExHeadSize,
              "the extended layout head is 48 bytes");
static_assert(sizeof(PARTITION_INFORMATION_EX) == kLayoutExEntrySize,
              "an extended layout entry is 144 bytes");

DWORD LayoutExSizeFor(DWORD entries)
{
    return kLayoutExHeadSize + entries * kLayoutExEntrySize;
}

}  // namespace

HANDLE OpenDeviceForReading(const char* devicePath)
{
    return CreateFileA(devicePath, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                       OPEN_EXISTING, 0, nullptr);
}

bool ReadLayoutEx(HANDLE device, LayoutExBuffer* layout)
{
    for (DWORD entries = kLayoutExFirstEntries; entries <= kLayoutExMaxEntries; entries *= 2) {
        layout->size = LayoutExSizeFor(entries);
        memset(layout->bytes, 0, layout->size);
        DWORD returned = 0;
        if (DeviceIoControl(device, IOCTL_DISK_GET_DRIVE_LAYOUT_EX, nullptr, 0, layout->bytes,
                            layout->size, &returned, nullptr)) {
            return true;
        }
        if (GetLastError() != kInsufficientBuffer) {
            return false;
        }
    }
    return false;
}

DWORD LayoutExStyle(const LayoutExBuffer* layout)
{
    DWORD style;
    memcpy(&style, layout->bytes + offsetof(DRIVE_LAYOUT_INFORMATION_EX, PartitionStyle),
           sizeof style);
    return style;
}

DWORD LayoutExPartitionCount(const LayoutExBuffer* layout)
{
    DWORD count;
    memcpy(&count, layout->bytes + offsetof(DRIVE_LAYOUT_INFORMATION_EX, PartitionCount),
           sizeof count);
    return count;
}

DWORD LayoutExSignature(const LayoutExBuffer* layout)
{
    DWORD signature;
    memcpy(&signature, layout->bytes + offsetof(DRIVE_LAYOUT_INFORMATION_EX, Mbr.Signature),
           sizeof signature);
    return signature;
}

GUID LayoutExDiskId(const LayoutExBuffer* layout)
{
    GUID id;
    memcpy(&id, layout->bytes + offsetof(DRIVE_LAYOUT_INFORMATION_EX, Gpt.DiskId), sizeof id);
    return id;
}

bool ReadDiskLength(HANDLE disk, uint64_t* length)
{
    GET_LENGTH_INFORMATION info = {};
    DWORD returned = 0;
    if (!DeviceIoControl(disk, IOCTL_DISK_GET_LENGTH_INFO, nullptr, 0, &info, sizeof info,
                         &returned, nullptr)) {
        return false;
    }
    if (info.Length.QuadPart < 0) {
        return false;
    }
    *length = static_cast<uint64_t>(info.Length.QuadPart);
    return true;
}

bool ReadDiskAttributes(HANDLE disk, DWORDLONG* attributes)
{
    GET_DISK_ATTRIBUTES info = {};
    DWORD returned = 0;
    if (!DeviceIoControl(disk, IOCTL_DISK_GET_DISK_ATTRIBUTES, nullptr, 0, &info, sizeof info,
                         &returned, nullptr)) {
        return false;
    }
    *attributes = info.Attributes;
    return true;
}

bool AppendGuid(Text* text, const GUID* guid)
{
    const BYTE* d = guid->Data4;
    return TextAppendF(text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                       static_cast<unsigned>(guid->Data1), static_cast<unsigned>(guid->Data2),
                       static_cast<unsigned>(guid->Data3), d[0], d[1], d[2], d[3], d[4], d[5],
                       d[6], d[7]);
}

bool GuidsEqual(const GUID* a, const GUID* b)
{
    return memcmp(a, b, sizeof(GUID)) == 0;
}
