// DeviceIoControl: the control codes the system sends to disks and volumes.
#include <stdio.h>
#include <string.h>

#include <optional>
#include <string>

#include "platform/platform.h"
#include "platform/sim/call_accounting.h"
#include "platform/sim/disk_ioctls.h"
#include "platform/sim/drive_layout.h"
#include "platform/sim/error_codes.h"
#include "platform/sim/resources.h"

using namespace sim::internal;

namespace {

std::optional<FaultOperation> FaultOperationOf(DWORD controlCode)
{
    switch (controlCode) {
    case IOCTL_STORAGE_GET_DEVICE_NUMBER:
        return FaultOperation::DeviceNumber;
    case IOCTL_DISK_GET_DRIVE_LAYOUT:
        return FaultOperation::GetLayout;
    case IOCTL_DISK_SET_DRIVE_LAYOUT:
        return FaultOperation::SetLayout;
    case IOCTL_DISK_GET_DRIVE_LAYOUT_EX:
        return FaultOperation::GetLayoutEx;
    case IOCTL_DISK_SET_DRIVE_LAYOUT_EX:
        return FaultOperation::SetLayoutEx;
    case IOCTL_DISK_GET_LENGTH_INFO:
        return FaultOperation::Length;
    case IOCTL_DISK_GET_DISK_ATTRIBUTES:
        return FaultOperation::Attributes;
    default:
        return std::nullopt;
    }
}

std::string ControlCodeText(DWORD controlCode)
{
    char text[16];
    snprintf(text, sizeof text, "0x%08x", static_cast<unsigned>(controlCode));
    return text;
}

IoctlResult GetDeviceNumber(const Resource& device, void* out, DWORD outSize)
{
    STORAGE_DEVICE_NUMBER number;
    if (out == nullptr || outSize < sizeof number) {
        return Failed(kErrorInsufficientBuffer);
    }
    number.DeviceType = FILE_DEVICE_DISK;
    number.DeviceNumber = device.disk;
    number.PartitionNumber = device.isDisk ? 0 : PartitionNumberOf(Current().machine, device.volume);
    memcpy(out, &number, sizeof number);
    return Done(sizeof number);
}

IoctlResult GetDriveLayout(const Resource& device, void* out, DWORD outSize)
{
    DiskLayout layout;
    DWORD error = 0;
    if (!ReadDiskLayout(Current().machine.disks.at(device.disk), &layout, &error)) {
        return Failed(error);
    }
    size_t size = LayoutSize(layout.entries.size());
    if (out == nullptr || outSize < size) {
        return Failed(kErrorInsufficientBuffer);
    }
    StoreLayout(layout, out);
    return Done(size);
}

// Only a disk takes a layout; a volume refuses it as Windows volumes do.
IoctlResult SetDriveLayout(const Resource& device, const void* in, DWORD inSize)
{
    if (!device.isDisk) {
        return Failed(kErrorInvalidFunction);
    }
    if (!device.writable) {
        return Failed(kErrorAccessDenied);
    }
    const unsigned char* bytes = static_cast<const unsigned char*>(in);
    Current().lastLayoutWritten.assign(bytes, bytes + (in != nullptr ? inSize : 0));
    DiskLayout layout;
    if (!LoadLayout(in, inSize, &layout)) {
        return Failed(kErrorInvalidParameter);
    }
    DWORD error = 0;
    if (!WriteDiskLayout(&Current().machine.disks.at(device.disk), layout, &error)) {
        return Failed(error);
    }
    return Done(0);
}

IoctlResult Dispatch(const Resource& device, DWORD controlCode, const void* in, DWORD inSize, void* out,
                     DWORD outSize)
{
    switch (controlCode) {
    case IOCTL_STORAGE_GET_DEVICE_NUMBER:
        return GetDeviceNumber(device, out, outSize);
    case IOCTL_DISK_GET_DRIVE_LAYOUT:
        return GetDriveLayout(device, out, outSize);
    case IOCTL_DISK_SET_DRIVE_LAYOUT:
        return SetDriveLayout(device, in, inSize);
    case IOCTL_DISK_GET_DRIVE_LAYOUT_EX:
        return GetDriveLayoutEx(device, out, outSize);
    case IOCTL_DISK_SET_DRIVE_LAYOUT_EX:
        return SetDriveLayoutEx(device, in, inSize);
    case IOCTL_DISK_GET_LENGTH_INFO:
        return GetLengthInfo(device, out, outSize);
    case IOCTL_DISK_GET_DISK_ATTRIBUTES:
        return GetDiskAttributes(device, out, outSize);
    default:
        return Failed(kErrorInvalidFunction);
    }
}

}  // namespace

BOOL DeviceIoControl(HANDLE device, DWORD controlCode, LPVOID inBuffer, DWORD inBufferSize, LPVOID outBuffer,
                     DWORD outBufferSize, LPDWORD bytesReturned, LPOVERLAPPED)
{
    const Resource* opened = LookUpResource(TokenOf(device), ResourceKind::Device);
    std::string path = opened != nullptr ? opened->name : std::string();
    IoctlResult result;
    if (!StartCall("DeviceIoControl", ControlCodeText(controlCode), FaultOperationOf(controlCode), path)) {
        result = Failed(GetLastError());
    } else if (opened == nullptr) {
        result = Failed(kErrorInvalidHandle);
    } else {
        result = Dispatch(*opened, controlCode, inBuffer, inBufferSize, outBuffer, outBufferSize);
    }
    if (bytesReturned != nullptr) {
        *bytesReturned = result.bytes;
    }
    if (!result.ok) {
        SetLastErrorCode(result.error);
    }
    return result.ok ? TRUE : FALSE;
}
