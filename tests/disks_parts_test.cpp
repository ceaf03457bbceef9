// The pieces of "-ld" that need no machine: which DOS device names are
// disks, how sizes read, and which disks collide.
#include <stdint.h>
#include <string.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "base/disk_list.h"
#include "base/text.h"
#include "disks/disk_survey.h"
#include "disks/listing.h"

namespace {

struct NameCase {
    const char* name;
    bool isDisk;
    DWORD number;
};

const NameCase kNameCases[] = {
    {"PhysicalDrive0", true, 0},
    {"physicaldrive12", true, 12},
    {"PHYSICALDRIVE3", true, 3},
    {"PhysicalDrive4294967295", true, 4294967295u},
    {"PhysicalDrive4294967296", false, 0},   // past 32 bits
    {"PhysicalDrive99999999999", false, 0},
    {"PhysicalDrive", false, 0},             // no number
    {"PhysicalDrive01", false, 0},           // would open PhysicalDrive1
    {"PhysicalDrive1x", false, 0},
    {"PhysicalDrive-1", false, 0},
    {"PhysicalDrive 1", false, 0},
    {"PhysicalDrives1", false, 0},
    {"PhysicalDisk1", false, 0},
    {"C:", false, 0},
    {"", false, 0},
};

TEST(DiskNames, OnlyPhysicalDriveWithADecimalNumberIsADisk)
{
    for (const NameCase& c : kNameCases) {
        DWORD number = 77;
        EXPECT_EQ(ParsePhysicalDriveName(c.name, &number), c.isDisk) << c.name;
        EXPECT_EQ(number, c.isDisk ? c.number : 77u) << c.name;
    }
}

struct SizeCase {
    uint64_t bytes;
    const char* shown;
};

const uint64_t kKiB = 1024;
const uint64_t kGiB = kKiB * kKiB * kKiB;
const uint64_t kTiB = kGiB * kKiB;

const SizeCase kSizeCases[] = {
    {0, "0 B"},
    {512, "512 B"},
    {1023, "1023 B"},
    {1024, "1.0 KiB"},
    {1535, "1.5 KiB"},                   // 1.499 rounds up
    {1024 * 1024 - 52, "1023.9 KiB"},    // 1023.949
    {1024 * 1024 - 51, "1.0 MiB"},       // 1023.950 would read 1024.0 KiB
    {500 * kGiB, "500.0 GiB"},
    {500107862016ull, "465.8 GiB"},      // a "500 GB" disk
    {kTiB - 1, "1.0 TiB"},
    {2 * kTiB, "2.0 TiB"},
    {1024 * kTiB, "1024.0 TiB"},         // TiB is the largest unit
    {0x7FFFFFFFFFFFFFFFull, "8388608.0 TiB"},
};

TEST(DiskSizes, BinaryUnitsWithOneDecimal)
{
    for (const SizeCase& c : kSizeCases) {
        char storage[32];
        Text cell = TextOver(storage, sizeof storage);
        FormatSize(c.bytes, &cell);
        EXPECT_STREQ(cell.chars, c.shown) << c.bytes;
    }
}

// A disk as the survey would leave it: "M5" an MBR disk with signature 5,
// "G1" a GPT disk with a GUID ending in 1, "R" a RAW disk, "F" a failed
// layout read; a trailing "o" marks it offline.
DiskEntry Disk(DWORD number, const std::string& kind)
{
    DiskEntry disk;
    memset(&disk, 0, sizeof disk);
    disk.number = number;
    disk.attributesKnown = true;
    disk.attributes = kind.back() == 'o' ? DISK_ATTRIBUTE_OFFLINE : 0;
    if (kind[0] == 'M') {
        disk.style = PARTITION_STYLE_MBR;
        disk.signature = static_cast<DWORD>(std::stoul(kind.substr(1), nullptr, 16));
    } else if (kind[0] == 'G') {
        disk.style = PARTITION_STYLE_GPT;
        disk.diskId.Data4[7] = static_cast<BYTE>(std::stoul(kind.substr(1), nullptr, 16));
    } else if (kind[0] == 'R') {
        disk.style = PARTITION_STYLE_RAW;
    } else {
        disk.failedStep = DiskStep::Layout;
        disk.errorCode = 21;
    }
    return disk;
}

struct CollisionCase {
    const char* what;
    std::vector<std::string> disks;  // numbered 0, 1, ...
    std::vector<unsigned> starts;    // the disks that start a collision
    std::vector<unsigned> changed;   // the disk each one's fix line names
};

const CollisionCase kCollisionCases[] = {
    {"two MBR disks", {"M5", "M7", "M5"}, {0}, {2}},
    {"signature 0 is none", {"M0", "M0", "R", "R"}, {}, {}},
    {"two GPT disks", {"G1", "G2", "G1"}, {0}, {2}},
    {"styles never mix", {"M1", "G1"}, {}, {}},
    {"failed disks have no identifier", {"F", "F", "M9"}, {}, {}},
    {"three disks, one offline", {"M5", "M5o", "M5"}, {0}, {1}},
    {"two groups", {"M5", "G3", "M5", "G3o", "G3"}, {0, 1}, {2, 3}},
};

TEST(DiskCollisions, SameNonzeroSignatureOrSameGuid)
{
    static DiskSurvey survey;
    for (const CollisionCase& c : kCollisionCases) {
        survey.count = 0;
        for (const std::string& kind : c.disks) {
            survey.disks[survey.count] = Disk(survey.count, kind);
            ++survey.count;
        }
        std::vector<unsigned> starts;
        std::vector<unsigned> changed;
        for (unsigned i = 0; i < survey.count; ++i) {
            if (StartsCollision(&survey, i)) {
                starts.push_back(i);
                changed.push_back(DiskToChange(&survey, i));
            }
        }
        EXPECT_EQ(starts, c.starts) << c.what;
        EXPECT_EQ(changed, c.changed) << c.what;
        EXPECT_EQ(HasCollision(&survey), !c.starts.empty()) << c.what;
    }
}

}  // namespace
