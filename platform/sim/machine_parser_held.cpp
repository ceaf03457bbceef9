// The held line: held PATH, a device that another process holds open.
#include "platform/sim/device_paths.h"
#include "platform/sim/field_cursor.h"
#include "platform/sim/machine_parser_lines.h"

namespace sim::internal {

// PATH is resolved as CreateFileA resolves it, so that every path that opens
// the device (\\.\C: and C's volume GUID path alike) finds it held.
bool ParseHeldLine(const Fields& fields, ParseContext* context, std::string* fault)
{
    FieldCursor cursor(fields);
    std::string path;
    if (!cursor.Take("device path", &path, fault)) {
        return false;
    }
    std::optional<DeviceTarget> device = DeviceAtPath(context->machine, path);
    if (!device) {
        *fault = "held device " + Quoted(path) + " is not a device of the machine";
        return false;
    }
    if (IsHeld(context->machine, *device)) {
        *fault = "held device " + path + " is defined twice";
        return false;
    }
    if (!cursor.Finish(fault)) {
        return false;
    }
    if (device->isDisk) {
        context->machine.heldDisks.insert(device->disk);
    } else {
        context->machine.heldVolumes.insert(device->volume);
    }
    return true;
}

}  // namespace sim::internal
