// The machines the benchmarks run on, shared by the in-process benchmarks
// and bench/measure.sh (through "disksig_bench machines DIR").
#pragma once

#include <string>

namespace bench {

// Drive C: with `mountPoints` volumes in its folders 001\, 002\, ... Labels
// and folder names are short, so that even 500 entries fit the working text
// (each mount-point entry is 58 characters) and every entry is reported.
// `unmountedVolumes` more volumes, defined between C:'s and the mounted ones
// but neither mounted nor given a letter, are there only to be looked past.
std::string MountPointMachine(int mountPoints, int unmountedVolumes = 0);

// The unmounted volumes of the machine that has thousands of them.
constexpr int kUnmountedVolumes = 5000;

// 64 disks held in memory, MBR and GPT in turn with distinct identifiers,
// and a volume with a drive letter on each of the first 26, A: to Z:.
std::string ListingMachine();

// Disk 1 held in the MBR image disk1.img, for "-ws physicaldrive1".
std::string ImageDiskMachine();

// The 1024-byte MBR image that disk1.img starts as.
std::string DiskImage();

// Writes mounts-10.machine, mounts-100.machine, mounts-500.machine,
// unmounted-5000.machine (10 mount points among 5000 unmounted volumes),
// disks-64.machine, image-disk.machine and disk1.img into the folder. False
// on failure.
bool WriteMachines(const std::string& folder);

}  // namespace bench
