#include "platform/sim/machine.h"

#include "platform/sim/text_compare.h"

namespace sim::internal {

std::optional<size_t> VolumeNamed(const Machine& machine, const std::string& name)
{
    for (size_t i = 0; i < machine.volumes.size(); ++i) {
        if (machine.volumes[i].name == name) {
            return i;
        }
    }
    return std::nullopt;
}

std::optional<size_t> VolumeWithGuidPath(const Machine& machine, std::string_view guidPath)
{
    for (size_t i = 0; i < machine.volumes.size(); ++i) {
        if (EqualIgnoringCase(machine.volumes[i].guidPath, guidPath)) {
            return i;
        }
    }
    return std::nullopt;
}

std::optional<size_t> VolumeOfLetter(const Machine& machine, char letter)
{
    auto found = machine.letters.find(letter);
    if (found == machine.letters.end()) {
        return std::nullopt;
    }
    return found->second.volume;
}

unsigned PartitionNumberOf(const Machine& machine, size_t volume)
{
    unsigned number = 1;
    for (size_t i = 0; i < volume; ++i) {
        if (machine.volumes[i].disk == machine.volumes[volume].disk) {
            ++number;
        }
    }
    return number;
}

std::vector<size_t> MountsHeldBy(const Machine& machine, size_t volume)
{
    std::vector<size_t> held;
    for (size_t i = 0; i < machine.mounts.size(); ++i) {
        if (machine.mounts[i].holder == volume) {
            held.push_back(i);
        }
    }
    return held;
}

}  // namespace sim::internal
