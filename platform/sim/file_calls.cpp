// CreateFileA and CloseHandle: opening disks and volumes by device path.
#include <optional>
#include <string>

#include "platform/platform.h"
#include "platform/sim/call_accounting.h"
#include "platform/sim/error_codes.h"
#include "platform/sim/field_values.h"
#include "platform/sim/resources.h"
#include "platform/sim/text_compare.h"

using namespace sim::internal;

namespace {

const std::string kDevicePrefix = "\\\\.\\";
const std::string kPhysicalDrive = "physicaldrive";

std::optional<Resource> VolumeDevice(const Machine& machine, std::optional<size_t> volume)
{
    if (!volume) {
        return std::nullopt;
    }
    Resource device;
    device.volume = *volume;
    device.disk = machine.volumes[*volume].disk;
    return device;
}

// "physicaldriveN" in any case, N written as Windows names disks: decimal
// without leading zeros.
std::optional<Resource> DiskDevice(const Machine& machine, const std::string& rest)
{
    std::string digits = rest.substr(kPhysicalDrive.size());
    uint32_t number = 0;
    if (!ParseDecimal(digits, &number) || (digits.size() > 1 && digits[0] == '0') ||
        machine.disks.count(number) == 0) {
        return std::nullopt;
    }
    Resource device;
    device.isDisk = true;
    device.disk = number;
    return device;
}

// \\.\X:, \\.\physicaldriveN, or a volume GUID path less its last backslash.
std::optional<Resource> FindDevice(const Machine& machine, const std::string& path)
{
    if (StartsWithIgnoringCase(path, kDevicePrefix)) {
        std::string rest = path.substr(kDevicePrefix.size());
        if (rest.size() == 2 && rest[1] == ':') {
            char letter = static_cast<char>(LowerAZ(rest[0]) - 'a' + 'A');
            return VolumeDevice(machine, VolumeOfLetter(machine, letter));
        }
        if (StartsWithIgnoringCase(rest, kPhysicalDrive)) {
            return DiskDevice(machine, rest);
        }
        return std::nullopt;
    }
    return VolumeDevice(machine, VolumeWithGuidPath(machine, path + "\\"));
}

}  // namespace

// A device can only be opened as it exists: any other disposition would
// create or truncate a file on Windows, which is never what the system means.
HANDLE CreateFileA(LPCSTR fileName, DWORD desiredAccess, DWORD, LPSECURITY_ATTRIBUTES,
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
    std::optional<Resource> device = fileName ? FindDevice(Current().machine, path) : std::nullopt;
    if (!device) {
        SetLastErrorCode(kErrorFileNotFound);
        return INVALID_HANDLE_VALUE;
    }
    device->kind = ResourceKind::Device;
    device->name = path;
    device->writable = (desiredAccess & GENERIC_WRITE) != 0;
    return HandleOf(AddResource(std::move(*device)));
}

BOOL CloseHandle(HANDLE object)
{
    return ReleaseByCall("CloseHandle", TokenOf(object), ResourceKind::Device);
}
