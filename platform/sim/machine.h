// The simulated machine: disks, volumes, drive letters, mount points and the
// faults a machine file injects. The parser builds it; the calls read it.
#pragma once

#include <stdint.h>

#include <map>
#include <optional>
#include <string>
#include <string_view>
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
    Length,
    Attributes,
    Enumerate,
    VolumeInfo,
    VolumeName,
    MountEnum,
    LoadLibrary,
    GetProcAddress,
    Popen,
};

struct FaultLine {
    FaultOperation operation = FaultOperation::Open;
    std::string name;
    uint32_t code = 0;
};

struct Machine {
    unsigned major = 5;
    unsigned minor = 0;
    std::map<unsigned, Disk> disks;
    std::vector<Volume> volumes;  // in machine-file order
    std::map<char, Letter> letters;
    std::vector<Mount> mounts;  // in machine-file order: the enumeration order
    std::vector<FaultLine> faults;
};

std::optional<size_t> VolumeNamed(const Machine& machine, const std::string& name);
std::optional<size_t> VolumeWithGuidPath(const Machine& machine, std::string_view guidPath);
std::optional<size_t> VolumeOfLetter(const Machine& machine, char letter);

// The volume's place among the volumes of its disk, counted from 1.
unsigned PartitionNumberOf(const Machine& machine, size_t volume);

// Indexes into Machine::mounts of the mount points held by the volume.
std::vector<size_t> MountsHeldBy(const Machine& machine, size_t volume);

}  // namespace sim::internal
