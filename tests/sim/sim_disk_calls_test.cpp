// The disk-side calls against a small machine: QueryDosDeviceA, CreateFileA
// and the three control codes, with a disk held in memory and one backed by
// an MBR image made here.
#include <gtest/gtest.h>

#include <stdio.h>

#include <set>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/sim/sim.h"
#include "support/sim_fixture.h"
#include "support/runs.h"

namespace {

using simtest::LayoutBuffer;
using simtest::OpenDevice;

const uint32_t kImageSignature = 0xA1B2C3D4;
const std::vector<simtest::MbrSlot> kImageSlots = {
    {.status = 0x80, .type = 0x07, .firstLba = 2048, .sectors = 20480},
    {.status = 0x00, .type = 0x83, .firstLba = 22528, .sectors = 4096},
};
const std::string kLongTarget = "\\Device\\" + std::string(300, 'x');

class SimDiskCalls : public testing::Test {
protected:
    void SetUp() override
    {
        folder_ = TemporaryFolder();
        image_ = folder_ + "/disk1.img";
        WriteWholeFile(image_, simtest::MbrImage(kImageSignature, kImageSlots));
        LoadMachine("disk 0 signature 5D1A2B3C\n"
                    "disk 1 image disk1.img\n"
                    "disk 2 signature 7 partitions 64\n"
                    "volume V1 disk 0 fs NTFS label SYSTEM\n"
                    "volume V2 disk 0 fs FAT32 label DOS\n"
                    "volume V3 disk 1 fs NTFS guid {aaaaaaaa-bbbb-cccc-dddd-eeeeeeeeeeee}\n"
                    "volume V4 disk 2\n"
                    "letter A \\Device\\Floppy0\n"
                    "letter C \\Device\\HarddiskVolume1 V1\n"
                    "letter D \\Device\\HarddiskVolume2 V2\n"
                    "letter E \\Device\\HarddiskVolume3 V3\n"
                    "letter G \\Device\\HarddiskVolume4 V4\n"
                    "letter L " + kLongTarget + "\n",
                    folder_);
    }

    void TearDown() override { EXPECT_TRUE(sim::NothingOutstanding()); }

    std::string folder_;
    std::string image_;
};

TEST_F(SimDiskCalls, QueryDosDeviceGivesTargetWithTwoTerminators)
{
    const std::string target = "\\Device\\HarddiskVolume1";
    const struct {
        const char* name;
        DWORD max;
        DWORD result;
        DWORD error;
    } cases[] = {
        {.name = "C:", .max = 256, .result = 25, .error = 0},  {.name = "c:", .max = 256, .result = 25, .error = 0},
        {.name = "C:", .max = 25, .result = 25, .error = 0},   {.name = "C:", .max = 24, .result = 0, .error = 122},
        {.name = "L:", .max = 256, .result = 0, .error = 122}, {.name = "B:", .max = 256, .result = 0, .error = 2},
        {.name = "C", .max = 256, .result = 0, .error = 2},    {.name = "C:\\", .max = 256, .result = 0, .error = 2},
    };
    for (const auto& c : cases) {
        std::string buffer(400, 'x');
        DWORD result = QueryDosDeviceA(c.name, buffer.data(), c.max);
        EXPECT_EQ(result, c.result) << c.name << " " << c.max;
        if (result != 0) {
            EXPECT_EQ(buffer.substr(0, result), target + '\0' + '\0') << c.name;
        } else {
            EXPECT_EQ(GetLastError(), c.error) << c.name << " " << c.max;
        }
        EXPECT_EQ(buffer.substr(result), std::string(400 - result, 'x')) << "written past: " << c.name;
    }
}

TEST_F(SimDiskCalls, CreateFileOpensDriveLettersDisksAndVolumeNames)
{
    const struct {
        const char* path;
        bool opens;
    } cases[] = {
        {.path = "\\\\.\\C:", .opens = true},
        {.path = "\\\\.\\c:", .opens = true},
        {.path = "\\\\.\\physicaldrive1", .opens = true},
        {.path = "\\\\.\\PhysicalDrive0", .opens = true},
        {.path = "\\\\.\\PHYSICALDRIVE2", .opens = true},
        {.path = "\\\\?\\Volume{aaaaaaaa-bbbb-cccc-dddd-eeeeeeeeeeee}", .opens = true},
        {.path = "\\\\?\\VOLUME{AAAAAAAA-BBBB-CCCC-DDDD-EEEEEEEEEEEE}", .opens = true},
        {.path = "\\\\?\\Volume{aaaaaaaa-bbbb-cccc-dddd-eeeeeeeeeeee}\\", .opens = false},
        {.path = "\\\\.\\A:", .opens = false},
        {.path = "\\\\.\\B:", .opens = false},
        {.path = "\\\\.\\L:", .opens = false},
        {.path = "\\\\.\\physicaldrive3", .opens = false},
        {.path = "\\\\.\\physicaldrive01", .opens = false},
        {.path = "\\\\.\\physicaldrive", .opens = false},
        {.path = "\\\\.\\physicaldrive1x", .opens = false},
        {.path = "\\\\.\\(null)", .opens = false},
        {.path = "C:", .opens = false},
        {.path = "\\\\.\\C:\\", .opens = false},
        {.path = "", .opens = false},
    };
    for (const auto& c : cases) {
        HANDLE device = OpenDevice(c.path);
        if (c.opens) {
            EXPECT_NE(device, INVALID_HANDLE_VALUE) << c.path;
            EXPECT_NE(device, nullptr) << c.path;
            EXPECT_TRUE(CloseHandle(device)) << c.path;
        } else {
            EXPECT_EQ(device, INVALID_HANDLE_VALUE) << c.path;
            EXPECT_EQ(GetLastError(), 2u) << c.path;
        }
    }
    EXPECT_EQ(CreateFileA(nullptr, 0, 0, nullptr, OPEN_EXISTING, 0, nullptr), INVALID_HANDLE_VALUE);
}

TEST_F(SimDiskCalls, DeviceNumberNamesDiskAndPartition)
{
    const struct {
        const char* path;
        DWORD disk;
        DWORD partition;
    } cases[] = {
        {.path = "\\\\.\\C:", .disk = 0, .partition = 1},
        {.path = "\\\\.\\D:", .disk = 0, .partition = 2},
        {.path = "\\\\.\\E:", .disk = 1, .partition = 1},
        {.path = "\\\\?\\Volume{aaaaaaaa-bbbb-cccc-dddd-eeeeeeeeeeee}", .disk = 1, .partition = 1},
        {.path = "\\\\.\\physicaldrive2", .disk = 2, .partition = 0},
        {.path = "\\\\.\\G:", .disk = 2, .partition = 1},
    };
    for (const auto& c : cases) {
        HANDLE device = OpenDevice(c.path);
        STORAGE_DEVICE_NUMBER number = {0, 99, 99};
        DWORD returned = 0;
        EXPECT_TRUE(DeviceIoControl(device, IOCTL_STORAGE_GET_DEVICE_NUMBER, nullptr, 0, &number, sizeof number,
                                    &returned, nullptr))
            << c.path;
        EXPECT_EQ(returned, 12u);
        EXPECT_EQ(number.DeviceType, FILE_DEVICE_DISK);
        EXPECT_EQ(number.DeviceNumber, c.disk) << c.path;
        EXPECT_EQ(number.PartitionNumber, c.partition) << c.path;
        CloseHandle(device);
    }
}

TEST_F(SimDiskCalls, DeviceNumberRefusesABufferShorterThanTwelveBytes)
{
    HANDLE device = OpenDevice("\\\\.\\C:");
    unsigned char buffer[16];
    memset(buffer, 0xee, sizeof buffer);
    DWORD returned = 5;
    EXPECT_FALSE(DeviceIoControl(device, IOCTL_STORAGE_GET_DEVICE_NUMBER, nullptr, 0, buffer, 11, &returned,
                                 nullptr));
    EXPECT_EQ(GetLastError(), 122u);
    EXPECT_EQ(returned, 0u);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), 16), std::string(16, '\xee'));
    CloseHandle(device);
}

// The four MBR slots, as the driver reports them, through the disk and
// through a volume on it.
TEST_F(SimDiskCalls, LayoutOfAnImageDiskIsItsFourMbrSlots)
{
    const struct {
        int64_t offset;
        int64_t length;
        DWORD hidden;
        DWORD number;
        BYTE type;
        bool boot;
    } slots[] = {
        {.offset = 2048LL * 512, .length = 20480LL * 512, .hidden = 2048, .number = 1, .type = 0x07, .boot = true},
        {.offset = 22528LL * 512, .length = 4096LL * 512, .hidden = 22528, .number = 2, .type = 0x83, .boot = false},
        {.offset = 0, .length = 0, .hidden = 0, .number = 0, .type = 0, .boot = false},
        {.offset = 0, .length = 0, .hidden = 0, .number = 0, .type = 0, .boot = false},
    };
    for (const char* path : {"\\\\.\\physicaldrive1", "\\\\.\\E:"}) {
        HANDLE device = OpenDevice(path);
        LayoutBuffer layout;
        DWORD returned = 0;
        ASSERT_TRUE(simtest::ReadLayout(device, &layout, 2048, &returned)) << path;
        CloseHandle(device);
        EXPECT_EQ(returned, 8u + 4 * 32);
        EXPECT_EQ(layout.Count(), 4u);
        EXPECT_EQ(layout.Signature(), kImageSignature);
        for (size_t i = 0; i < 4; ++i) {
            PARTITION_INFORMATION entry = layout.Entry(i);
            EXPECT_EQ(entry.StartingOffset.QuadPart, slots[i].offset) << path << " slot " << i;
            EXPECT_EQ(entry.PartitionLength.QuadPart, slots[i].length) << path << " slot " << i;
            EXPECT_EQ(entry.HiddenSectors, slots[i].hidden) << path << " slot " << i;
            EXPECT_EQ(entry.PartitionNumber, slots[i].number) << path << " slot " << i;
            EXPECT_EQ(entry.PartitionType, slots[i].type) << path << " slot " << i;
            EXPECT_EQ(entry.BootIndicator != 0, slots[i].boot) << path << " slot " << i;
            EXPECT_EQ(entry.RecognizedPartition != 0, slots[i].type != 0) << path << " slot " << i;
            EXPECT_EQ(entry.RewritePartition, 0) << path << " slot " << i;
        }
    }
}

// A layout handed back as it was read, with a new signature, changes the
// four signature bytes and nothing else; the change outlives the machine.
TEST_F(SimDiskCalls, WritingTheLayoutBackChangesOnlyTheSignatureBytes)
{
    std::string before = ReadWholeFile(image_);
    HANDLE disk = OpenDevice("\\\\.\\physicaldrive1");
    LayoutBuffer layout;
    DWORD returned = 0;
    ASSERT_TRUE(simtest::ReadLayout(disk, &layout, 2048, &returned));
    layout.SetSignature(0x1A2B3C4D);
    EXPECT_TRUE(simtest::WriteLayout(disk, &layout, 2048));
    CloseHandle(disk);
    std::vector<size_t> changed = simtest::DifferingOffsets(before, ReadWholeFile(image_));
    EXPECT_EQ(changed, (std::vector<size_t>{440, 441, 442, 443}));
    EXPECT_EQ(ReadWholeFile(image_).substr(440, 4), "\x4d\x3c\x2b\x1a");

    LoadMachine("disk 1 image disk1.img\n", folder_);
    uint32_t signature = 0;
    EXPECT_TRUE(sim::DiskSignature(1, &signature));
    EXPECT_EQ(signature, 0x1A2B3C4Du);
}

// A changed entry re-encodes only the fields that changed, and reads back as
// it was written.
TEST_F(SimDiskCalls, ChangedEntryRewritesOnlyItsChangedFields)
{
    using Change = void (*)(PARTITION_INFORMATION*);
    const std::set<size_t> startBytes = {1, 2, 3, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
    const std::set<size_t> lengthBytes = {5, 6, 7, 12, 13, 14, 15};
    const struct {
        const char* what;
        size_t slot;
        Change change;
        std::set<size_t> allowed;  // offsets within the slot's 16 bytes
    } cases[] = {
        {.what = "boot flag off",
         .slot = 0,
         .change = [](PARTITION_INFORMATION* e) { e->BootIndicator = 0; },
         .allowed = {0}},
        {.what = "boot flag on",
         .slot = 1,
         .change = [](PARTITION_INFORMATION* e) { e->BootIndicator = 1; },
         .allowed = {0}},
        {.what = "type",
         .slot = 1,
         .change = [](PARTITION_INFORMATION* e) { e->PartitionType = 0x07; },
         .allowed = {4}},
        {.what = "start",
         .slot = 1,
         .change = [](PARTITION_INFORMATION* e) { e->StartingOffset.QuadPart += 512 * 100; },
         .allowed = startBytes},
        {.what = "length",
         .slot = 0,
         .change = [](PARTITION_INFORMATION* e) { e->PartitionLength.QuadPart = 512LL * 70000; },
         .allowed = lengthBytes},
        {.what = "new slot",
         .slot = 2,
         .change =
             [](PARTITION_INFORMATION* e) {
                 e->StartingOffset.QuadPart = 512LL * 30000;
                 e->PartitionLength.QuadPart = 512LL * 10;
                 e->PartitionType = 0x0c;
             },
         .allowed = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}},
        {.what = "number and hidden sectors are not stored",
         .slot = 0,
         .change =
             [](PARTITION_INFORMATION* e) {
                 e->PartitionNumber = 9;
                 e->HiddenSectors = 1;
                 e->RewritePartition = 1;
             },
         .allowed = {}},
    };
    for (const auto& c : cases) {
        WriteWholeFile(image_, simtest::MbrImage(kImageSignature, kImageSlots));
        std::string before = ReadWholeFile(image_);
        HANDLE disk = OpenDevice("\\\\.\\physicaldrive1");
        LayoutBuffer layout;
        DWORD returned = 0;
        ASSERT_TRUE(simtest::ReadLayout(disk, &layout, 2048, &returned));
        PARTITION_INFORMATION entry = layout.Entry(c.slot);
        c.change(&entry);
        layout.SetEntry(c.slot, entry);
        EXPECT_TRUE(simtest::WriteLayout(disk, &layout, 2048)) << c.what;
        LayoutBuffer reread;
        ASSERT_TRUE(simtest::ReadLayout(disk, &reread, 2048, &returned));
        CloseHandle(disk);
        for (size_t offset : simtest::DifferingOffsets(before, ReadWholeFile(image_))) {
            size_t slotStart = 446 + 16 * c.slot;
            EXPECT_TRUE(offset >= slotStart && c.allowed.count(offset - slotStart) == 1)
                << c.what << ": byte " << offset << " changed";
        }
        PARTITION_INFORMATION got = reread.Entry(c.slot);
        EXPECT_EQ(got.StartingOffset.QuadPart, entry.StartingOffset.QuadPart) << c.what;
        EXPECT_EQ(got.PartitionLength.QuadPart, entry.PartitionLength.QuadPart) << c.what;
        EXPECT_EQ(got.PartitionType, entry.PartitionType) << c.what;
        EXPECT_EQ(got.BootIndicator != 0, entry.BootIndicator != 0) << c.what;
    }
}

TEST_F(SimDiskCalls, SetLayoutRefusesWhatTheDiskCannotTake)
{
    using Spoil = void (*)(LayoutBuffer*);
    const struct {
        const char* what;
        const char* path;
        DWORD size;
        Spoil spoil;
        DWORD error;
    } cases[] = {
        {.what = "shorter than the head",
         .path = "\\\\.\\physicaldrive1",
         .size = 4,
         .spoil = [](LayoutBuffer*) {},
         .error = 87},
        {.what = "shorter than its entries",
         .path = "\\\\.\\physicaldrive1",
         .size = 8 + 3 * 32,
         .spoil = [](LayoutBuffer*) {},
         .error = 87},
        {.what = "count not the disk's",
         .path = "\\\\.\\physicaldrive1",
         .size = 2048,
         .spoil = [](LayoutBuffer* l) { memset(l->bytes, 5, 1); },
         .error = 87},
        {.what = "offset not whole sectors",
         .path = "\\\\.\\physicaldrive1",
         .size = 2048,
         .spoil =
             [](LayoutBuffer* l) {
                 PARTITION_INFORMATION e = l->Entry(0);
                 e.StartingOffset.QuadPart += 1;
                 l->SetEntry(0, e);
             },
         .error = 87},
        {.what = "a volume takes no layout",
         .path = "\\\\.\\E:",
         .size = 2048,
         .spoil = [](LayoutBuffer*) {},
         .error = 1},
        {.what = "a memory disk's count",
         .path = "\\\\.\\physicaldrive0",
         .size = 2048,
         .spoil = [](LayoutBuffer* l) { memset(l->bytes, 3, 1); },
         .error = 87},
    };
    std::string before = ReadWholeFile(image_);
    for (const auto& c : cases) {
        HANDLE device = OpenDevice(c.path);
        LayoutBuffer layout;
        DWORD returned = 0;
        ASSERT_TRUE(simtest::ReadLayout(device, &layout, 2048, &returned)) << c.what;
        layout.SetSignature(0x01020304);
        c.spoil(&layout);
        EXPECT_FALSE(simtest::WriteLayout(device, &layout, c.size)) << c.what;
        EXPECT_EQ(GetLastError(), c.error) << c.what;
        CloseHandle(device);
    }
    EXPECT_EQ(ReadWholeFile(image_), before);
    uint32_t signature = 0;
    EXPECT_TRUE(sim::DiskSignature(0, &signature));
    EXPECT_EQ(signature, 0x5D1A2B3Cu);
}

// 64 entries need 8 + 64 * 32 bytes: more than the system's 2048.
TEST_F(SimDiskCalls, LayoutLargerThanTheBufferFailsWithInsufficientBuffer)
{
    HANDLE device = OpenDevice("\\\\.\\G:");
    LayoutBuffer layout;
    memset(layout.bytes, 0xee, sizeof layout.bytes);
    DWORD returned = 0;
    EXPECT_FALSE(simtest::ReadLayout(device, &layout, 2048, &returned));
    EXPECT_EQ(GetLastError(), 122u);
    EXPECT_EQ(layout.bytes[0], 0xee);
    ASSERT_TRUE(simtest::ReadLayout(device, &layout, 8 + 64 * 32, &returned));
    EXPECT_EQ(returned, 8u + 64 * 32);
    EXPECT_EQ(layout.Count(), 64u);
    EXPECT_EQ(layout.Signature(), 7u);
    for (size_t i = 0; i < 64; ++i) {
        EXPECT_EQ(layout.Entry(i).PartitionType, 0) << i;
    }
    CloseHandle(device);
}

// A memory disk keeps a written signature for the rest of the run only.
TEST_F(SimDiskCalls, MemoryDiskKeepsItsSignatureForTheRun)
{
    HANDLE disk = OpenDevice("\\\\.\\physicaldrive0");
    LayoutBuffer layout;
    DWORD returned = 0;
    ASSERT_TRUE(simtest::ReadLayout(disk, &layout, 2048, &returned));
    EXPECT_EQ(returned, 8u + 4 * 32);
    layout.SetSignature(0);
    EXPECT_TRUE(simtest::WriteLayout(disk, &layout, 2048));
    CloseHandle(disk);
    HANDLE volume = OpenDevice("\\\\.\\D:");
    ASSERT_TRUE(simtest::ReadLayout(volume, &layout, 2048, &returned));
    CloseHandle(volume);
    EXPECT_EQ(layout.Signature(), 0u);
    uint32_t signature = 1;
    EXPECT_TRUE(sim::DiskSignature(0, &signature));
    EXPECT_EQ(signature, 0u);

    LoadMachine("disk 0 signature 5D1A2B3C\n");
    EXPECT_TRUE(sim::DiskSignature(0, &signature));
    EXPECT_EQ(signature, 0x5D1A2B3Cu);
    EXPECT_FALSE(sim::DiskSignature(1, &signature));
}

TEST_F(SimDiskCalls, ControlCallsRefuseUnknownCodesHandlesAndLostImages)
{
    HANDLE volume = OpenDevice("\\\\.\\C:");
    unsigned char out[64];
    DWORD returned = 0;
    EXPECT_FALSE(DeviceIoControl(volume, 0x00070000, nullptr, 0, out, sizeof out, &returned, nullptr));
    EXPECT_EQ(GetLastError(), 1u);
    EXPECT_TRUE(CloseHandle(volume));
    EXPECT_FALSE(DeviceIoControl(volume, IOCTL_STORAGE_GET_DEVICE_NUMBER, nullptr, 0, out, sizeof out, &returned,
                                 nullptr));
    EXPECT_EQ(GetLastError(), 6u) << "a closed handle is no longer usable";
    EXPECT_FALSE(CloseHandle(volume));
    EXPECT_EQ(GetLastError(), 6u);
    EXPECT_FALSE(CloseHandle(INVALID_HANDLE_VALUE));
    EXPECT_FALSE(CloseHandle(nullptr));

    HANDLE disk = OpenDevice("\\\\.\\physicaldrive1");
    remove(image_.c_str());
    LayoutBuffer layout;
    EXPECT_FALSE(simtest::ReadLayout(disk, &layout, 2048, &returned));
    EXPECT_EQ(GetLastError(), 1117u);
    CloseHandle(disk);
}


// A device is opened only as it exists, and only a handle opened for writing
// may hand a layout back.
TEST_F(SimDiskCalls, OpenDispositionAndWriteAccessAreEnforced)
{
    EXPECT_EQ(CreateFileA("\\\\.\\physicaldrive0", GENERIC_READ | GENERIC_WRITE, 0, nullptr, 2, 0, nullptr),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), 87u);
    HANDLE readOnly = CreateFileA("\\\\.\\physicaldrive0", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(readOnly, INVALID_HANDLE_VALUE);
    unsigned char layout[2048] = {};
    DWORD returned = 0;
    ASSERT_TRUE(DeviceIoControl(readOnly, IOCTL_DISK_GET_DRIVE_LAYOUT, nullptr, 0, layout, sizeof layout,
                                &returned, nullptr));
    EXPECT_FALSE(DeviceIoControl(readOnly, IOCTL_DISK_SET_DRIVE_LAYOUT, layout, sizeof layout, nullptr, 0,
                                 &returned, nullptr));
    EXPECT_EQ(GetLastError(), 5u);
    CloseHandle(readOnly);
}

}  // namespace

namespace {

// Another process holds C: and disk 1 open for reading and writing, sharing
// both. An open that reaches their data must share both as well, whichever
// path names the device; an open for no data access is not checked, and the
// devices beside them (D:, disk 0 under C:) are not held.
TEST(SimHeldDevices, AnOpenThatDoesNotShareReadingAndWritingIsRefused)
{
    LoadMachine("disk 0 signature 1\ndisk 1 signature 2\n"
                "volume V1 disk 0 fs NTFS guid {00000000-0000-0000-0000-0000000000c1}\n"
                "volume V2 disk 0 fs NTFS\n"
                "letter C \\Device\\HarddiskVolume1 V1\nletter D \\Device\\HarddiskVolume2 V2\n"
                "held \\\\.\\C:\nheld \\\\.\\physicaldrive1\n");
    const DWORD both = FILE_SHARE_READ | FILE_SHARE_WRITE;
    const DWORD readWrite = GENERIC_READ | GENERIC_WRITE;
    const struct {
        const char* path;
        DWORD access;
        DWORD share;
        DWORD error;  // 0: opens
    } cases[] = {
        {.path = "\\\\.\\C:", .access = readWrite, .share = both, .error = 0},
        {.path = "\\\\.\\C:", .access = GENERIC_READ, .share = both, .error = 0},
        {.path = "\\\\.\\C:", .access = GENERIC_READ, .share = FILE_SHARE_READ, .error = 32},
        {.path = "\\\\.\\C:", .access = readWrite, .share = FILE_SHARE_WRITE, .error = 32},
        {.path = "\\\\.\\C:", .access = GENERIC_WRITE, .share = 0, .error = 32},
        {.path = "\\\\.\\c:", .access = GENERIC_READ, .share = FILE_SHARE_READ, .error = 32},
        {.path = "\\\\?\\Volume{00000000-0000-0000-0000-0000000000c1}", .access = GENERIC_READ, .share = FILE_SHARE_READ, .error = 32},
        {.path = "\\\\.\\C:", .access = 0, .share = 0, .error = 0},
        {.path = "\\\\.\\physicaldrive1", .access = readWrite, .share = FILE_SHARE_READ, .error = 32},
        {.path = "\\\\.\\PhysicalDrive1", .access = readWrite, .share = both, .error = 0},
        {.path = "\\\\.\\D:", .access = readWrite, .share = 0, .error = 0},
        {.path = "\\\\.\\physicaldrive0", .access = readWrite, .share = 0, .error = 0},
        {.path = "\\\\.\\physicaldrive2", .access = readWrite, .share = 0, .error = 2},
    };
    for (const auto& c : cases) {
        HANDLE device = CreateFileA(c.path, c.access, c.share, nullptr, OPEN_EXISTING, 0, nullptr);
        std::string what = std::string(c.path) + " access " + std::to_string(c.access) + " share " +
                           std::to_string(c.share);
        if (c.error == 0) {
            EXPECT_NE(device, INVALID_HANDLE_VALUE) << what;
            EXPECT_TRUE(CloseHandle(device)) << what;
        } else {
            EXPECT_EQ(device, INVALID_HANDLE_VALUE) << what;
            EXPECT_EQ(GetLastError(), c.error) << what;
        }
    }
    EXPECT_TRUE(sim::NothingOutstanding());
}

}  // namespace
