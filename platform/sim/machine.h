// The simulated machine: disks, volumes, drive letters, mount points and the
// faults a machine file injects. The parser builds it; the calls read it.
#pragma once

#include <stdint.h>

#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/platform.h"

namespace sim::internal {

// How a disk is partitioned: the PARTITION_STYLE values.
enum class DiskStyle { Mbr = PARTITION_STYLE_MBR, Gpt = PARTITION_STYLE_GPT, Raw = PARTITION_STYLE_RAW };

constexpr uint64_t kDefaultDiskSize = uint64_t{1} << 30;

// A disk is held either in memory (its layout lives for one run) or in an
// image file, which is read and written on every layout call so that
// changes last beyond the run. An image's style and size come from the file.
struct Disk {
    unsigned number = 0;
    std::string imagePath;  // empty: held in memory
    DiskStyle style = DiskStyle::Mbr;  // memory disk only
    uint32_t signature = 0;  // memory MBR disk only
    GUID diskId{};  // memory GPT disk only
    uint64_t size = kDefaultDiskSize;  // memory disk only, in bytes
    std::vector<PARTITION_INFORMATION> entries;  // memory MBR disk only
    bool offline = false;
    bool readOnly = false;
};

struct Volume {
    std::string name;  // the machine file's name for it, e.g. V1
    unsigned disk = 0;
    std::optional<std::string> fileSystem;  // none: not formatted
    std::string label;
    std::string guidPath;  // \\?\Volume{...}\ with its trailing backslash
    unsigned partitionNumber = 1;  // its place among the volumes of its disk, from 1
};

struct Letter {
    char letter = 'A';
    std::string target;  // what QueryDosDeviceA reports
    std::optional<size_t> volume;  // index into Machine::volumes
};

struct Mount {
    size_t holder = 0;  // the volume whose folder holds the mount point
    std::string folder;  // relative to the holder's root, ending in a backslash
    size_t mounted = 0;
};

// The calls a fail line can make fail, each matched by the name it is given.
enum class FaultOperation {
    Open,
    DeviceNumber,
    GetLayout,
    SetLayout,
    GetLayoutEx,
    SetLayoutEx,
    Length,
    Attributes,
    Enumerate,
    VolumeInfo,
    VolumeName,
    MountEnum,
    LoadLibrary,
    GetProcAddress,
    Popen,
    SystemDirectory,
};

struct FaultLine {
    FaultOperation operation = FaultOperation::Open;
    std::string name;
    uint32_t code = 0;
};

// What a device path opens: a disk, or a volume (index into Machine::volumes).
struct DeviceTarget {
    bool isDisk = false;
    unsigned disk = 0;  // the disk that serves the control codes
    size_t volume = 0;  // a volume: the volume
};

// The mount points held by one volume: in machine-file order, and by folder
// (folded to lower case A-Z, as Windows compares paths).
struct HeldMounts {
    std::vector<size_t> inOrder;  // indexes into Machine::mounts
    std::unordered_map<std::string, size_t> byFolder;
};

// Volumes, mount points and fail lines are added through AddVolume, AddMount
// and AddFault, which keep the indexes beside them, so that every lookup a call makes costs the same
// however many volumes, mount points and fail lines the machine has.
struct Machine {
    unsigned major = 5;
    unsigned minor = 0;
    std::map<unsigned, Disk> disks;
    std::vector<Volume> volumes;  // in machine-file order
    std::map<char, Letter> letters;
    std::vector<Mount> mounts;  // in machine-file order: the enumeration order
    std::set<unsigned> heldDisks;  // disks another process holds open
    std::set<size_t> heldVolumes;  // volumes another process holds open

    std::unordered_map<std::string, size_t> volumeByName;
    std::unordered_map<std::string, size_t> volumeByGuidPath;  // folded
    std::vector<HeldMounts> mountsOfVolume;  // one per volume
    std::unordered_map<std::string, DWORD> faultCodes;  // by operation and folded name
    std::map<unsigned, unsigned> volumesOnDisk;
    std::vector<uint32_t> random;  // what the random source hands out, in order
    bool systemGiven = false;  // a system line was read
    std::optional<char> systemLetter;  // the system line's letter; none: "system none"
};

// The letter that holds the Windows directory: the system line's, else C
// when the machine defines C, else none.
std::optional<char> SystemLetterOf(const Machine& machine);

// The volume is numbered among its disk's volumes; its name and GUID path
// must be new to the machine.
void AddVolume(Machine* machine, Volume volume);
// The folder must be new to the holder.
void AddMount(Machine* machine, const Mount& mount);
// The operation and name must be new to the machine.
void AddFault(Machine* machine, const FaultLine& fault);

std::optional<size_t> VolumeNamed(const Machine& machine, const std::string& name);
std::optional<size_t> VolumeWithGuidPath(const Machine& machine, std::string_view guidPath);
std::optional<size_t> VolumeOfLetter(const Machine& machine, char letter);

// The volume's place among the volumes of its disk, counted from 1.
unsigned PartitionNumberOf(const Machine& machine, size_t volume);

// Indexes into Machine::mounts of the mount points held by the volume.
const std::vector<size_t>& MountsHeldBy(const Machine& machine, size_t volume);

// The holder's mount point in exactly that folder (ignoring case of A-Z).
std::optional<size_t> MountInFolder(const Machine& machine, size_t holder, std::string_view folder);

// The code of the fail line for that operation and name (ignoring case of A-Z).
std::optional<DWORD> FaultCode(const Machine& machine, FaultOperation operation, std::string_view name);

bool IsHeld(const Machine& machine, const DeviceTarget& device);

}  // namespace sim::internal
