#include "platform/sim/machine.h"

#include "platform/sim/text_compare.h"

namespace sim::internal {

namespace {

// One key per operation and folded name.
std::string FaultKey(FaultOperation operation, std::string_view name)
{
    return std::to_string(static_cast<int>(operation)) + ' ' + FoldedAZ(name);
}

}  // namespace

void AddVolume(Machine* machine, Volume volume)
{
    size_t index = machine->volumes.size();
    volume.partitionNumber = ++machine->volumesOnDisk[volume.disk];
    machine->volumeByName.emplace(volume.name, index);
    machine->volumeByGuidPath.emplace(FoldedAZ(volume.guidPath), index);
    machine->mountsOfVolume.emplace_back();
    machine->volumes.push_back(std::move(volume));
}

void AddMount(Machine* machine, const Mount& mount)
{
    HeldMounts& held = machine->mountsOfVolume[mount.holder];
    held.inOrder.push_back(machine->mounts.size());
    held.byFolder.emplace(FoldedAZ(mount.folder), machine->mounts.size());
    machine->mounts.push_back(mount);
}

void AddFault(Machine* machine, const FaultLine& fault)
{
    machine->faultCodes.emplace(FaultKey(fault.operation, fault.name), fault.code);
}

std::optional<size_t> VolumeNamed(const Machine& machine, const std::string& name)
{
    auto found = machine.volumeByName.find(name);
    if (found == machine.volumeByName.end()) {
        return std::nullopt;
    }
    return found->second;
}

std::optional<size_t> VolumeWithGuidPath(const Machine& machine, std::string_view guidPath)
{
    auto found = machine.volumeByGuidPath.find(FoldedAZ(guidPath));
    if (found == machine.volumeByGuidPath.end()) {
        return std::nullopt;
    }
    return found->second;
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
    return machine.volumes[volume].partitionNumber;
}

const std::vector<size_t>& MountsHeldBy(const Machine& machine, size_t volume)
{
    return machine.mountsOfVolume[volume].inOrder;
}

std::optional<size_t> MountInFolder(const Machine& machine, size_t holder, std::string_view folder)
{
    const auto& byFolder = machine.mountsOfVolume[holder].byFolder;
    auto found = byFolder.find(FoldedAZ(folder));
    if (found == byFolder.end()) {
        return std::nullopt;
    }
    return found->second;
}

std::optional<DWORD> FaultCode(const Machine& machine, FaultOperation operation, std::string_view name)
{
    if (machine.faultCodes.empty()) {
        return std::nullopt;
    }
    auto found = machine.faultCodes.find(FaultKey(operation, name));
    if (found == machine.faultCodes.end()) {
        return std::nullopt;
    }
    return found->second;
}

bool IsHeld(const Machine& machine, const DeviceTarget& device)
{
    return device.isDisk ? machine.heldDisks.count(device.disk) != 0
                         : machine.heldVolumes.count(device.volume) != 0;
}

std::optional<char> SystemLetterOf(const Machine& machine)
{
    if (machine.systemGiven) {
        return machine.systemLetter;
    }
    if (machine.letters.count('C') != 0) {
        return 'C';
    }
    return std::nullopt;
}

}  // namespace sim::internal
