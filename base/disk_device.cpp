#include "base/disk_device.h"

#include <stddef.h>
#include <string.h>

static_assert(sizeof(PARTITION_INFORMATION) == 32, "a layout entry is 32 bytes");
static_assert(offsetof(DRIVE_LAYOUT_INFORMATION, PartitionEntry) == 8, "the layout head is 8 bytes");

namespace {

void ClearLayout(LayoutBuffer* layout)
{
    memset(layout->bytes, 0, sizeof layout->bytes);
}

DWORD LayoutSignature(const LayoutBuffer* layout)
{
    DWORD signature;
    memcpy(&signature, layout->bytes + offsetof(DRIVE_LAYOUT_INFORMATION, Signature),
           sizeof signature);
    return signature;
}

}  // namespace

HANDLE OpenDevice(const char* devicePath)
{
    return CreateFileA(devicePath, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                       nullptr, OPEN_EXISTING, 0, nullptr);
}

bool ReadDeviceNumber(HANDLE device, DWORD* deviceNumber)
{
    STORAGE_DEVICE_NUMBER number = {};
    DWORD returned = 0;
    if (!DeviceIoControl(device, IOCTL_STORAGE_GET_DEVICE_NUMBER, nullptr, 0, &number,
                         sizeof number, &returned, nullptr)) {
        return false;
    }
    *deviceNumber = number.DeviceNumber;
    return true;
}

bool ReadLayout(HANDLE device, LayoutBuffer* layout)
{
    ClearLayout(layout);
    DWORD returned = 0;
    return DeviceIoControl(device, IOCTL_DISK_GET_DRIVE_LAYOUT, nullptr, 0, layout->bytes,
                           kLayoutBufferSize, &returned, nullptr) != 0;
}

bool ReadDiskSignature(HANDLE device, LayoutBuffer* layout, DWORD* signature)
{
    if (!ReadLayout(device, layout)) {
        return false;
    }
    *signature = LayoutSignature(layout);
    return true;
}

void SetLayoutSignature(LayoutBuffer* layout, DWORD signature)
{
    memcpy(layout->bytes + offsetof(DRIVE_LAYOUT_INFORMATION, Signature), &signature,
           sizeof signature);
}
