// Resolving the paths the volume calls take: "X:\", a volume GUID path, and
// either followed by mount folders ("C:\mnt\archive\",
// "\\?\Volume{...}\mnt\archive\old\").
#pragma once

#include <optional>
#include <string>

#include "platform/sim/machine.h"

namespace sim::internal {

enum class PathEnd {
    Volume,  // the path names the root of a volume
    NotAMountPoint,  // a known volume's root, then a folder that is no mount point
    Unknown,  // no volume root: unknown letter, GUID or form
    NoVolume,  // a defined letter with no volume behind it (floppy, CD-ROM)
};

struct ResolvedPath {
    PathEnd end = PathEnd::Unknown;
    size_t volume = 0;  // when end is Volume
};

ResolvedPath ResolveVolumePath(const Machine& machine, const std::string& path);

}  // namespace sim::internal
