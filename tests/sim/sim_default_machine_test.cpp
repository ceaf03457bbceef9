// The machine the simulator runs when DISKSIG_MACHINE names none: the drive
// letters, disks and labels of a Windows 2000 computer with four disks, and a
// chain of two volumes mounted below C:.
#include <gtest/gtest.h>

#include <string>

#include "platform/platform.h"
#include "platform/sim/sim.h"
#include "support/sim_fixture.h"

namespace {

struct DriveFacts {
    char letter;
    const char* target;  // null: the letter is not defined
    DWORD disk;
    DWORD signature;  // of the disk's layout, read through the letter
    const char* fileSystem;  // null: no file system
    const char* label;
};

const DriveFacts kDrives[] = {
    {.letter = 'A',
     .target = "\\Device\\Floppy0",
     .disk = 0,
     .signature = 0,
     .fileSystem = nullptr,
     .label = nullptr},
    {.letter = 'C',
     .target = "\\Device\\HarddiskVolume1",
     .disk = 0,
     .signature = 0x5D1A2B3C,
     .fileSystem = "NTFS",
     .label = "SYSTEM"},
    {.letter = 'D',
     .target = "\\Device\\HarddiskVolume2",
     .disk = 0,
     .signature = 0x5D1A2B3C,
     .fileSystem = "FAT32",
     .label = ""},
    {.letter = 'E', .target = "\\Device\\CdRom0", .disk = 0, .signature = 0, .fileSystem = nullptr, .label = nullptr},
    {.letter = 'F',
     .target = "\\Device\\HarddiskDmVolumes\\Dg0\\Volume1",
     .disk = 1,
     .signature = 0,
     .fileSystem = "NTFS",
     .label = "DATA"},
    {.letter = 'G',
     .target = "\\Device\\HarddiskVolume4",
     .disk = 2,
     .signature = 0x12AB00,
     .fileSystem = nullptr,
     .label = nullptr},
    {.letter = 'H',
     .target = "\\Device\\HarddiskVolume5",
     .disk = 3,
     .signature = 7,
     .fileSystem = "NTFS",
     .label = "BACKUP"},
};

bool IsHardDisk(const DriveFacts& drive)
{
    return std::string(drive.target).find("\\Device\\Harddisk") == 0;
}

void ExpectVolume(const std::string& path, DWORD disk, DWORD signature, const char* fileSystem, const char* label)
{
    std::string name = simtest::VolumeNameOf(path);
    HANDLE volume = simtest::OpenDevice(name.substr(0, name.size() - 1));
    ASSERT_NE(volume, INVALID_HANDLE_VALUE) << path;
    STORAGE_DEVICE_NUMBER number;
    DWORD returned = 0;
    EXPECT_TRUE(DeviceIoControl(volume, IOCTL_STORAGE_GET_DEVICE_NUMBER, nullptr, 0, &number, sizeof number,
                                &returned, nullptr));
    EXPECT_EQ(number.DeviceNumber, disk) << path;
    simtest::LayoutBuffer layout;
    EXPECT_TRUE(simtest::ReadLayout(volume, &layout, 2048, &returned)) << path;
    EXPECT_EQ(layout.Signature(), signature) << path;
    CloseHandle(volume);
    char labelText[1024] = "";
    char fileSystemText[1024] = "";
    BOOL ok = GetVolumeInformationA(name.c_str(), labelText, sizeof labelText, nullptr, nullptr, nullptr,
                                    fileSystemText, sizeof fileSystemText);
    EXPECT_EQ(ok != 0, fileSystem != nullptr) << path;
    if (fileSystem != nullptr) {
        EXPECT_STREQ(fileSystemText, fileSystem) << path;
        EXPECT_STREQ(labelText, label) << path;
    }
}

TEST(SimDefaultMachine, IsAWindows2000ComputerWhoseLettersLeadToFourDisks)
{
    sim::LoadDefaultMachine();
    EXPECT_EQ(GetVersion() & 0xffff, 0x0005u);
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        const DriveFacts* drive = nullptr;
        for (const DriveFacts& facts : kDrives) {
            drive = facts.letter == letter ? &facts : drive;
        }
        char target[256] = "";
        std::string name = std::string(1, letter) + ":";
        EXPECT_EQ(QueryDosDeviceA(name.c_str(), target, sizeof target) != 0, drive != nullptr) << letter;
        if (drive == nullptr) {
            continue;
        }
        EXPECT_STREQ(target, drive->target);
        EXPECT_EQ(simtest::VolumeNameOf(name + "\\").empty(), !IsHardDisk(*drive)) << letter;
        if (IsHardDisk(*drive)) {
            ExpectVolume(name + "\\", drive->disk, drive->signature, drive->fileSystem, drive->label);
        }
    }
    EXPECT_TRUE(sim::NothingOutstanding());
}

TEST(SimDefaultMachine, HoldsTheArchiveChainBelowC)
{
    sim::LoadDefaultMachine();
    std::string c = simtest::VolumeNameOf("C:\\");
    std::string archive = simtest::VolumeNameOf(c + "mnt\\archive\\");
    std::string backup = simtest::VolumeNameOf(archive + "old\\");
    ExpectVolume(c + "mnt\\archive\\", 2, 0x12AB00, "NTFS", "ARCHIVE");
    ExpectVolume(archive + "old\\", 3, 7, "NTFS", "BACKUP");
    EXPECT_NE(archive, simtest::VolumeNameOf("G:\\")) << "ARCHIVE is a volume of its own on disk 2";
    EXPECT_NE(backup, simtest::VolumeNameOf("H:\\")) << "so is BACKUP on disk 3";
    char mount[1024];
    for (const std::string& volume : {backup, simtest::VolumeNameOf("D:\\"), simtest::VolumeNameOf("H:\\")}) {
        EXPECT_EQ(FindFirstVolumeMountPointA(volume.c_str(), mount, sizeof mount), INVALID_HANDLE_VALUE);
    }
    EXPECT_TRUE(sim::NothingOutstanding());
}

// Two disks without letters: a clone of disk 0 that Windows took offline for
// its colliding signature, and a GPT disk; every disk has a size.
TEST(SimDefaultMachine, HasAnOfflineCloneAndAGptDiskWithoutLetters)
{
    sim::LoadDefaultMachine();
    const struct {
        DWORD number;
        DWORD style;
        DWORD signature;
        GUID diskId;
        int64_t size;
        uint64_t attributes;
    } disks[] = {
        {.number = 0, .style = 0, .signature = 0x5D1A2B3C, .diskId = {}, .size = 500LL << 30, .attributes = 0},
        {.number = 1, .style = 0, .signature = 0, .diskId = {}, .size = 1LL << 30, .attributes = 0},
        {.number = 2, .style = 0, .signature = 0x12AB00, .diskId = {}, .size = 1LL << 30, .attributes = 0},
        {.number = 3, .style = 0, .signature = 7, .diskId = {}, .size = 1LL << 30, .attributes = 0},
        {.number = 4,
         .style = 0,
         .signature = 0x5D1A2B3C,
         .diskId = {},
         .size = 500LL << 30,
         .attributes = DISK_ATTRIBUTE_OFFLINE},
        {.number = 6,
         .style = 1,
         .signature = 0,
         .diskId = {0x6F1B2C3D, 0x4E5F, 0x4A6B, {0x8C, 0x7D, 0x9E, 0x0F, 0x1A, 0x2B, 0x3C, 0x4D}},
         .size = 2LL << 40,
         .attributes = 0},
    };
    std::string names(4096, '\0');
    names.resize(QueryDosDeviceA(nullptr, names.data(), 4096));
    for (const auto& disk : disks) {
        std::string path = "\\\\.\\physicaldrive" + std::to_string(disk.number);
        std::string listed = std::string(1, '\0') + "PhysicalDrive" + std::to_string(disk.number) + '\0';
        EXPECT_NE(names.find(listed), std::string::npos) << path;
        HANDLE device = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
        alignas(8) unsigned char layout[48 + 4 * 144];
        DRIVE_LAYOUT_INFORMATION_EX head;
        GET_LENGTH_INFORMATION length;
        GET_DISK_ATTRIBUTES attributes;
        DWORD returned = 0;
        ASSERT_TRUE(DeviceIoControl(device, IOCTL_DISK_GET_DRIVE_LAYOUT_EX, nullptr, 0, layout, sizeof layout,
                                    &returned, nullptr))
            << path;
        memcpy(&head, layout, 48);
        EXPECT_TRUE(DeviceIoControl(device, IOCTL_DISK_GET_LENGTH_INFO, nullptr, 0, &length, sizeof length,
                                    &returned, nullptr));
        EXPECT_TRUE(DeviceIoControl(device, IOCTL_DISK_GET_DISK_ATTRIBUTES, nullptr, 0, &attributes,
                                    sizeof attributes, &returned, nullptr));
        CloseHandle(device);
        EXPECT_EQ(head.PartitionStyle, disk.style) << path;
        if (disk.style == 0) {
            EXPECT_EQ(head.Mbr.Signature, disk.signature) << path;
        } else {
            EXPECT_EQ(memcmp(&head.Gpt.DiskId, &disk.diskId, sizeof(GUID)), 0) << path;
        }
        EXPECT_EQ(length.Length.QuadPart, disk.size) << path;
        EXPECT_EQ(attributes.Attributes, disk.attributes) << path;
    }
    EXPECT_EQ(names.find("PhysicalDrive5"), std::string::npos);
    EXPECT_TRUE(sim::NothingOutstanding());
}

// Its disks are held in memory: a new signature lasts until the machine is
// loaded again.
TEST(SimDefaultMachine, ForgetsWrittenSignaturesWhenLoadedAgain)
{
    sim::LoadDefaultMachine();
    HANDLE disk = simtest::OpenDevice("\\\\.\\physicaldrive3");
    simtest::LayoutBuffer layout;
    DWORD returned = 0;
    ASSERT_TRUE(simtest::ReadLayout(disk, &layout, 2048, &returned));
    layout.SetSignature(0x1A2B3C4D);
    EXPECT_TRUE(simtest::WriteLayout(disk, &layout, 2048));
    CloseHandle(disk);
    uint32_t signature = 0;
    EXPECT_TRUE(sim::DiskSignature(3, &signature));
    EXPECT_EQ(signature, 0x1A2B3C4Du);
    sim::LoadDefaultMachine();
    EXPECT_TRUE(sim::DiskSignature(3, &signature));
    EXPECT_EQ(signature, 7u);
}

}  // namespace
