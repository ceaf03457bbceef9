// The volume line: volume NAME disk N [fs FS] [label LABEL] [guid {GUID}],
// its named fields in any order after the name.
#include <map>

#include "platform/sim/field_cursor.h"
#include "platform/sim/field_values.h"
#include "platform/sim/machine_parser_lines.h"
#include "platform/sim/volume_guid.h"

namespace sim::internal {

namespace {

using NamedFields = std::map<std::string, std::string>;

bool IsVolumeField(const std::string& key)
{
    return key == "disk" || key == "fs" || key == "label" || key == "guid";
}

bool TakeNamedFields(FieldCursor* cursor, NamedFields* named, std::string* fault)
{
    std::string key;
    while (!cursor->AtEnd()) {
        cursor->Take("volume field", &key, fault);
        if (!IsVolumeField(key)) {
            *fault = "unknown volume field \"" + key + "\"";
            return false;
        }
        if (named->count(key) != 0) {
            *fault = key + " is given twice";
            return false;
        }
        std::string what = "value of " + key;
        if (!cursor->Take(what.c_str(), &(*named)[key], fault)) {
            return false;
        }
    }
    return true;
}

bool ResolveDisk(const Machine& machine, const NamedFields& named, Volume* volume, std::string* fault)
{
    auto disk = named.find("disk");
    if (disk == named.end()) {
        *fault = "missing disk";
        return false;
    }
    if (!ParseDecimal(disk->second, &volume->disk)) {
        *fault = "bad disk number \"" + disk->second + "\"";
        return false;
    }
    if (machine.disks.count(volume->disk) == 0) {
        *fault = "disk " + disk->second + " is not defined";
        return false;
    }
    return true;
}

bool ResolveGuidPath(const Machine& machine, const NamedFields& named, Volume* volume, std::string* fault)
{
    auto guid = named.find("guid");
    if (guid != named.end() && !IsGuidText(guid->second)) {
        *fault = "bad guid \"" + guid->second + "\" (want {8-4-4-4-12 hex digits})";
        return false;
    }
    volume->guidPath = guid != named.end() ? GuidPathFromGuid(guid->second) : DerivedGuidPath(volume->name);
    if (std::optional<size_t> owner = VolumeWithGuidPath(machine, volume->guidPath)) {
        *fault = "guid of volume " + volume->name + " is already the guid of volume " +
                 machine.volumes[*owner].name;
        return false;
    }
    return true;
}

}  // namespace

bool ParseVolumeLine(const Fields& fields, ParseContext* context, std::string* fault)
{
    FieldCursor cursor(fields);
    Volume volume;
    NamedFields named;
    if (!cursor.Take("volume name", &volume.name, fault)) {
        return false;
    }
    if (volume.name.empty()) {
        *fault = "empty volume name";
        return false;
    }
    if (VolumeNamed(context->machine, volume.name)) {
        *fault = "volume " + volume.name + " is defined twice";
        return false;
    }
    if (!TakeNamedFields(&cursor, &named, fault) || !ResolveDisk(context->machine, named, &volume, fault) ||
        !ResolveGuidPath(context->machine, named, &volume, fault)) {
        return false;
    }
    if (named.count("fs") != 0) {
        volume.fileSystem = named["fs"];
    }
    volume.label = named["label"];
    AddVolume(&context->machine, std::move(volume));
    return true;
}

}  // namespace sim::internal
