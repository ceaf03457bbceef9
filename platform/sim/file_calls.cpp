// CreateFileA and CloseHandle: opening disks and volumes by device path.
#include <optional>
#include <string>

#include "platform/platform.h"
#include "platform/sim/call_accounting.h"
#include "platform/sim/device_paths.h"
#include "platform/sim/error_codes.h"
#include "platform/sim/resources.h"
#include "platform/sim/text_compare.h"

using namespace sim::internal;

namespace {

// The access rights that reach a device's data, which share modes govern:
// the generic rights and the specific read, write, append, execute and
// delete rights.
const DWORD kGenericExecute = 0x20000000u;
const DWORD kGenericAll = 0x10000000u;
const DWORD kFileDataRights = 0x00000027u;  // FILE_READ_DATA, _WRITE_DATA, _APPEND_DATA, FILE_EXECUTE
const DWORD kDelete = 0x00010000u;
const DWORD kDataAccess = GENERIC_READ | GENERIC_WRITE | kGenericExecute | kGenericAll | kFileDataRights | kDelete;
const DWORD kShareReadWrite = FILE_SHARE_READ | FILE_SHARE_WRITE;

// A held device is open in another process for reading and writing, sharing
// both. As on Windows, an open that reaches the data must then share reading
// and writing too; one that asks for no data access (0: query only) is not
// checked against the holder.
bool SharingViolation(const Machine& machine, const DeviceTarget& device, DWORD desiredAccess, DWORD shareMode)
{
    return IsHeld(machine, device) && (desiredAccess & kDataAccess) != 0 &&
           (shareMode & kShareReadWrite) != kShareReadWrite;
}

Resource DeviceResource(const DeviceTarget& device, const std::string& path, DWORD desiredAccess)
{
    Resource resource;
    resource.kind = ResourceKind::Device;
    resource.name = path;
    resource.isDisk = device.isDisk;
    resource.disk = device.disk;
    resource.volume = device.volume;
    resource.writable = (desiredAccess & GENERIC_WRITE) != 0;
    return resource;
}

}  // namespace

// A device can only be opened as it exists: any other disposition would
// create or truncate a file on Windows, which is never what the system means.
HANDLE CreateFileA(LPCSTR fileName, DWORD desiredAccess, DWORD shareMode, LPSECURITY_ATTRIBUTES,
                   DWORD creationDisposition, DWORD, HANDLE)
{
    std::string path = TextOrNull(fileName);
    if (!StartCall("CreateFileA", path, FaultOperation::Open, path)) {
        return INVALID_HANDLE_VALUE;
    }
    if (creationDisposition != OPEN_EXISTING) {
        SetLastErrorCode(kErrorInvalidParameter);
        return INVALID_HANDLE_VALUE;
    }
    const Machine& machine = Current().machine;
    std::optional<DeviceTarget> device = fileName ? DeviceAtPath(machine, path) : std::nullopt;
    if (!device) {
        SetLastErrorCode(kErrorFileNotFound);
        return INVALID_HANDLE_VALUE;
    }
    if (SharingViolation(machine, *device, desiredAccess, shareMode)) {
        SetLastErrorCode(kErrorSharingViolation);
        return INVALID_HANDLE_VALUE;
    }
    return HandleOf(AddResource(DeviceResource(*device, path, desiredAccess)));
}

BOOL CloseHandle(HANDLE object)
{
    return ReleaseByCall("CloseHandle", TokenOf(object), ResourceKind::Device);
}
