#include "platform/sim/device_paths.h"

#include "platform/sim/field_values.h"
#include "platform/sim/text_compare.h"

namespace sim::internal {

namespace {

const std::string kDevicePrefix = "\\\\.\\";
const std::string kPhysicalDrive = "physicaldrive";

std::optional<DeviceTarget> VolumeDevice(const Machine& machine, std::optional<size_t> volume)
{
    if (!volume) {
        return std::nullopt;
    }
    DeviceTarget device;
    device.volume = *volume;
    device.disk = machine.volumes[*volume].disk;
    return device;
}

std::optional<DeviceTarget> DiskDevice(const Machine& machine, const std::string& rest)
{
    std::string digits = rest.substr(kPhysicalDrive.size());
    uint32_t number = 0;
    if (!ParseDecimal(digits, &number) || (digits.size() > 1 && digits[0] == '0') ||
        machine.disks.count(number) == 0) {
        return std::nullopt;
    }
    DeviceTarget device;
    device.isDisk = true;
    device.disk = number;
    return device;
}

}  // namespace

std::optional<DeviceTarget> DeviceAtPath(const Machine& machine, const std::string& path)
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

}  // namespace sim::internal
