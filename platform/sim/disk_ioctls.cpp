#include "platform/sim/disk_ioctls.h"

#include <string.h>

#include "platform/sim/drive_layout.h"
#include "platform/sim/error_codes.h"

namespace sim::internal {

namespace {

const Disk& DiskOf(const Resource& device)
{
    return Current().machine.disks.at(device.disk);
}

}  // namespace

IoctlResult GetDriveLayoutEx(const Resource& device, void* out, DWORD outSize)
{
    DiskLayoutEx layout;
    DWORD error = 0;
    if (!ReadDiskLayoutEx(DiskOf(device), &layout, &error)) {
        return Failed(error);
    }
    size_t size = LayoutExSize(layout.entries.size());
    if (out == nullptr || outSize < size) {
        return Failed(kErrorInsufficientBuffer);
    }
    StoreLayoutEx(layout, out);
    return Done(size);
}

IoctlResult SetDriveLayoutEx(const Resource& device, const void* in, DWORD inSize)
{
    if (!device.isDisk) {
        return Failed(kErrorInvalidFunction);
    }
    if (!device.writable) {
        return Failed(kErrorAccessDenied);
    }
    DiskLayoutEx layout;
    if (!LoadLayoutEx(in, inSize, &layout)) {
        return Failed(kErrorInvalidParameter);
    }
    DWORD error = 0;
    if (!WriteDiskLayoutEx(&Current().machine.disks.at(device.disk), layout, &error)) {
        return Failed(error);
    }
    return Done(0);
}

IoctlResult GetLengthInfo(const Resource& device, void* out, DWORD outSize)
{
    if (!device.isDisk) {
        return Failed(kErrorInvalidFunction);
    }
    GET_LENGTH_INFORMATION length;
    if (out == nullptr || outSize < sizeof length) {
        return Failed(kErrorInsufficientBuffer);
    }
    uint64_t size = 0;
    DWORD error = 0;
    if (!ReadDiskSize(DiskOf(device), &size, &error)) {
        return Failed(error);
    }
    length.Length.QuadPart = static_cast<int64_t>(size);
    memcpy(out, &length, sizeof length);
    return Done(sizeof length);
}

IoctlResult GetDiskAttributes(const Resource& device, void* out, DWORD outSize)
{
    if (!device.isDisk) {
        return Failed(kErrorInvalidFunction);
    }
    GET_DISK_ATTRIBUTES attributes;
    if (out == nullptr || outSize < sizeof attributes) {
        return Failed(kErrorInsufficientBuffer);
    }
    const Disk& disk = DiskOf(device);
    memset(&attributes, 0, sizeof attributes);
    attributes.Version = sizeof attributes;
    attributes.Attributes = (disk.offline ? DISK_ATTRIBUTE_OFFLINE : 0) | (disk.readOnly ? DISK_ATTRIBUTE_READ_ONLY : 0);
    memcpy(out, &attributes, sizeof attributes);
    return Done(sizeof attributes);
}

}  // namespace sim::internal
