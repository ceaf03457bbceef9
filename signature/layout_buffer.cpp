#include "signature/layout_buffer.h"

#include <stddef.h>
#include <string.h>

static_assert(sizeof(PARTITION_INFORMATION) == 32, "a layout entry is 32 bytes");
static_assert(offsetof(DRIVE_LAYOUT_INFORMATION, PartitionEntry) == 8, "the layout head is 8 bytes");

void ClearLayout(LayoutBuffer* layout)
{
    memset(layout->bytes, 0, sizeof layout->bytes);
}

HANDLE OpenDevice(const char* devicePath)
{
    return CreateFileA(devicePath, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                       nullptr, OPEN_EXISTING, 0, nullptr);
}

bool ReadLayout(HANDLE device, LayoutBuffer* layout)
{
    ClearLayout(layout);
    DWORD returned = 0;
    return DeviceIoControl(device, IOCTL_DISK_GET_DRIVE_LAYOUT, nullptr, 0, layout->bytes,
                           kLayoutBufferSize, &returned, nullptr) != 0;
}

DWORD LayoutSignature(const LayoutBuffer* layout)
{
    DWORD signature;
    memcpy(&signature, layout->bytes + offsetof(DRIVE_LAYOUT_INFORMATION, Signature),
           sizeof signature);
    return signature;
}

void SetLayoutSignature(LayoutBuffer* layout, DWORD signature)
{
    memcpy(layout->bytes + offsetof(DRIVE_LAYOUT_INFORMATION, Signature), &signature,
           sizeof signature);
}
