// The machine the simulator runs when DISKSIG_MACHINE names none: the drive
// letters, disks and labels of a Windows 2000 computer with four disks, and a
// chain of two volumes mounted below C:.
#include <gtest/gtest.h>

#include <string>

#include "platform/platform.h"
#include "platform/sim/sim.h"
#include "sim_fixture.h"

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
    {'A', "\\Device\\Floppy0", 0, 0, nullptr, nullptr},
    {'C', "\\Device\\HarddiskVolume1", 0, 0x5D1A2B3C, "NTFS", "SYSTEM"},
    {'D', "\\Device\\HarddiskVolume2", 0, 0x5D1A2B3C, "FAT32", ""},
    {'E', "\\Device\\CdRom0", 0, 0, nullptr, nullptr},
    {'F', "\\Device\\HarddiskDmVolumes\\Dg0\\Volume1", 1, 0, "NTFS", "DATA"},
    {'G', "\\Device\\HarddiskVolume4", 2, 0x12AB00, nullptr, nullptr},
    {'H', "\\Device\\HarddiskVolume5", 3, 7, "NTFS", "BACKUP"},
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
    EXPECT_TRUE(simtest::GetLayout(volume, &layout, 2048, &returned)) << path;
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

TEST(SimDefaultMachine, IsAWindows2000ComputerWithFourDisks)
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

// Its disks are held in memory: a new signature lasts until the machine is
// loaded again.
TEST(SimDefaultMachine, ForgetsWrittenSignaturesWhenLoadedAgain)
{
    sim::LoadDefaultMachine();
    HANDLE disk = simtest::OpenDevice("\\\\.\\physicaldrive3");
    simtest::LayoutBuffer layout;
    DWORD returned = 0;
    ASSERT_TRUE(simtest::GetLayout(disk, &layout, 2048, &returned));
    layout.SetSignature(0x1A2B3C4D);
    EXPECT_TRUE(simtest::SetLayout(disk, &layout, 2048));
    CloseHandle(disk);
    uint32_t signature = 0;
    EXPECT_TRUE(sim::DiskSignature(3, &signature));
    EXPECT_EQ(signature, 0x1A2B3C4Du);
    sim::LoadDefaultMachine();
    EXPECT_TRUE(sim::DiskSignature(3, &signature));
    EXPECT_EQ(signature, 7u);
}

}  // namespace
