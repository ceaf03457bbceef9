#include "platform/sim/volume_paths.h"

#include "platform/sim/text_compare.h"


namespace sim::internal {

namespace {

const size_t kGuidPathLength = 49;

// The volume whose root the path starts with, and what follows the root.
ResolvedPath ResolveRoot(const Machine& machine, const std::string& path, std::string* rest)
{
    ResolvedPath root;
    if (path.size() >= 3 && path[1] == ':' && path[2] == '\\') {
        auto letter = machine.letters.find(static_cast<char>(LowerAZ(path[0]) - 'a' + 'A'));
        if (letter != machine.letters.end()) {
            root.end = letter->second.volume ? PathEnd::Volume : PathEnd::NoVolume;
            root.volume = letter->second.volume.value_or(0);
        }
        *rest = path.substr(3);
        return root;
    }
    if (std::optional<size_t> volume = VolumeWithGuidPath(machine, path.substr(0, kGuidPathLength))) {
        root.end = PathEnd::Volume;
        root.volume = *volume;
        *rest = path.substr(kGuidPathLength);
    }
    return root;
}

// Of the volume's mount folders that begin the rest, the longest: each
// beginning of the rest that ends in a backslash is looked up, longest first.
std::optional<size_t> MountBeginning(const Machine& machine, size_t volume, const std::string& rest)
{
    for (size_t end = rest.rfind('\\'); end != std::string::npos && end > 0; end = rest.rfind('\\', end - 1)) {
        if (std::optional<size_t> mount = MountInFolder(machine, volume, std::string_view(rest).substr(0, end + 1))) {
            return mount;
        }
    }
    return std::nullopt;
}

}  // namespace

ResolvedPath ResolveVolumePath(const Machine& machine, const std::string& path)
{
    std::string rest;
    ResolvedPath resolved = ResolveRoot(machine, path, &rest);
    while (resolved.end == PathEnd::Volume && !rest.empty()) {
        std::optional<size_t> mount = MountBeginning(machine, resolved.volume, rest);
        if (!mount) {
            resolved.end = PathEnd::NotAMountPoint;
            break;
        }
        resolved.volume = machine.mounts[*mount].mounted;
        rest = rest.substr(machine.mounts[*mount].folder.size());
    }
    return resolved;
}

}  // namespace sim::internal
