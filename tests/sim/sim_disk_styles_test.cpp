// Whole disks of every partition style: the extended layout, length and
// attribute control codes on MBR, GPT and RAW disks held in memory or in
// images (GPT ones made by the real sfdisk), the plain layout calls refusing
// what is not MBR, and QueryDosDeviceA listing every DOS device name.
#include <gtest/gtest.h>

#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/sim/sim.h"
#include "support/sim_fixture.h"
#include "support/runs.h"

namespace {

using simtest::OpenDevice;

const char kGptDiskId[] = "1B2C3D4E-0000-4000-8000-00000000AAAA";
const uint64_t kGptImageSize = 4 << 20;
const uint64_t kMbrImageSize = 4096;
const uint32_t kMbrImageSignature = 0xA1B2C3D4;
const std::vector<simtest::MbrSlot> kMbrSlots = {{.status = 0x80, .type = 0x07, .firstLba = 2048, .sectors = 20480}};

std::string Shell(const std::string& command)
{
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return output;
    }
    char buffer[512];
    size_t got = 0;
    while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        output.append(buffer, got);
    }
    return pclose(pipe) == 0 ? output : std::string();
}

// A 4 MiB GPT image with two 1 MiB partitions, the first named "data";
// false without a working sfdisk.
bool MakeGptImage(const std::string& path)
{
    WriteWholeFile(path, std::string(kGptImageSize, '\0'));
    std::string script = std::string("label: gpt\\nlabel-id: ") + kGptDiskId +
                         "\\nsize=1M, type=L, name=\"data\"\\nsize=1M, type=U\\n";
    return !Shell("printf '" + script + "' | sfdisk -q '" + path + "' 2>&1 && echo made").empty();
}

std::string GuidText(const GUID& guid)
{
    char text[40];
    snprintf(text, sizeof text, "%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X", static_cast<unsigned>(guid.Data1),
             guid.Data2, guid.Data3, guid.Data4[0], guid.Data4[1], guid.Data4[2], guid.Data4[3], guid.Data4[4],
             guid.Data4[5], guid.Data4[6], guid.Data4[7]);
    return text;
}

HANDLE OpenForReading(const std::string& path)
{
    return CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                       nullptr);
}

// The extended layout as the control code returned it, head and entries.
struct LayoutEx {
    BOOL ok = FALSE;
    DWORD error = 0;
    DWORD returned = 0;
    DRIVE_LAYOUT_INFORMATION_EX head{};
    std::vector<PARTITION_INFORMATION_EX> entries;
};

LayoutEx ReadLayoutEx(HANDLE device, DWORD size = 64 * 1024)
{
    std::vector<uint64_t> buffer(size / 8 + 1);
    LayoutEx layout;
    layout.ok = DeviceIoControl(device, IOCTL_DISK_GET_DRIVE_LAYOUT_EX, nullptr, 0, buffer.data(), size,
                                &layout.returned, nullptr);
    if (!layout.ok) {
        layout.error = GetLastError();
        return layout;
    }
    const auto* bytes = reinterpret_cast<const unsigned char*>(buffer.data());
    memcpy(&layout.head, bytes, 48);
    layout.entries.resize(layout.head.PartitionCount);
    for (size_t i = 0; i < layout.entries.size(); ++i) {
        memcpy(&layout.entries[i], bytes + 48 + 144 * i, 144);
    }
    return layout;
}

LayoutEx ReadLayoutExOf(const std::string& path)
{
    HANDLE device = OpenForReading(path);
    EXPECT_NE(device, INVALID_HANDLE_VALUE) << path;
    LayoutEx layout = ReadLayoutEx(device);
    CloseHandle(device);
    return layout;
}

class SimDiskStyles : public testing::Test {
protected:
    void SetUp() override
    {
        folder_ = TemporaryFolder();
        gptImage_ = folder_ + "/gpt.img";
        if (!MakeGptImage(gptImage_)) {
            GTEST_SKIP() << "sfdisk is needed to make GPT images";
        }
        WriteWholeFile(folder_ + "/mbr.img", simtest::MbrImage(kMbrImageSignature, kMbrSlots, kMbrImageSize));
        std::string raw(3000, '\0');
        for (size_t i = 0; i < raw.size(); ++i) {
            raw[i] = static_cast<char>((i * 7 + 3) & 0xff);
        }
        WriteWholeFile(folder_ + "/raw.img", raw);
        LoadMachine(kMachine, folder_);
    }

    void TearDown() override { EXPECT_TRUE(sim::NothingOutstanding()); }

    static constexpr const char* kMachine =
        "disk 0 signature 5D1A2B3C size 500G\n"
        "disk 1 image mbr.img readonly\n"
        "disk 3 image gpt.img\n"
        "disk 4 gpt {1B2C3D4E-0000-4000-8000-00000000aaaa} size 2T offline\n"
        "disk 6 raw size 1536K offline readonly\n"
        "disk 9 image raw.img readonly offline\n"
        "volume V1 disk 0 fs NTFS\n"
        "volume V3 disk 3 fs NTFS\n"
        "letter C \\Device\\HarddiskVolume1 V1\n"
        "letter G \\Device\\HarddiskVolume2 V3\n";

    std::string folder_;
    std::string gptImage_;
};

// The head of the extended layout for each style, through a read-only
// handle on the disk or on a volume of it.
TEST_F(SimDiskStyles, ExtendedLayoutHeadOfEveryStyle)
{
    const uint64_t twoTerabytes = 2ULL << 40;
    const struct {
        const char* path;
        DWORD style;
        DWORD count;
        DWORD signature;     // MBR
        const char* diskId;  // GPT
        int64_t usableOffset;
        int64_t usableLength;
        DWORD maxCount;
    } cases[] = {
        {.path = "\\\\.\\physicaldrive0",
         .style = 0,
         .count = 4,
         .signature = 0x5D1A2B3C,
         .diskId = nullptr,
         .usableOffset = 0,
         .usableLength = 0,
         .maxCount = 0},
        {.path = "\\\\.\\C:",
         .style = 0,
         .count = 4,
         .signature = 0x5D1A2B3C,
         .diskId = nullptr,
         .usableOffset = 0,
         .usableLength = 0,
         .maxCount = 0},
        {.path = "\\\\.\\PhysicalDrive1",
         .style = 0,
         .count = 4,
         .signature = kMbrImageSignature,
         .diskId = nullptr,
         .usableOffset = 0,
         .usableLength = 0,
         .maxCount = 0},
        {.path = "\\\\.\\physicaldrive3",
         .style = 1,
         .count = 2,
         .signature = 0,
         .diskId = kGptDiskId,
         .usableOffset = 34 * 512,
         .usableLength = (8158 - 34 + 1) * 512LL,
         .maxCount = 128},
        {.path = "\\\\.\\G:",
         .style = 1,
         .count = 2,
         .signature = 0,
         .diskId = kGptDiskId,
         .usableOffset = 34 * 512,
         .usableLength = (8158 - 34 + 1) * 512LL,
         .maxCount = 128},
        {.path = "\\\\.\\PHYSICALDRIVE4",
         .style = 1,
         .count = 0,
         .signature = 0,
         .diskId = kGptDiskId,
         .usableOffset = 34 * 512,
         .usableLength = static_cast<int64_t>(twoTerabytes - 67 * 512),
         .maxCount = 128},
        {.path = "\\\\.\\physicaldrive6",
         .style = 2,
         .count = 0,
         .signature = 0,
         .diskId = nullptr,
         .usableOffset = 0,
         .usableLength = 0,
         .maxCount = 0},
        {.path = "\\\\.\\physicaldrive9",
         .style = 2,
         .count = 0,
         .signature = 0,
         .diskId = nullptr,
         .usableOffset = 0,
         .usableLength = 0,
         .maxCount = 0},
    };
    for (const auto& c : cases) {
        LayoutEx layout = ReadLayoutExOf(c.path);
        ASSERT_TRUE(layout.ok) << c.path << " " << layout.error;
        EXPECT_EQ(layout.returned, 48u + 144 * c.count) << c.path;
        EXPECT_EQ(layout.head.PartitionStyle, c.style) << c.path;
        EXPECT_EQ(layout.head.PartitionCount, c.count) << c.path;
        if (c.style == 0) {
            EXPECT_EQ(layout.head.Mbr.Signature, c.signature) << c.path;
        } else if (c.style == 1) {
            EXPECT_EQ(GuidText(layout.head.Gpt.DiskId), c.diskId) << c.path;
            EXPECT_EQ(layout.head.Gpt.StartingUsableOffset.QuadPart, c.usableOffset) << c.path;
            EXPECT_EQ(layout.head.Gpt.UsableLength.QuadPart, c.usableLength) << c.path;
            EXPECT_EQ(layout.head.Gpt.MaxPartitionCount, c.maxCount) << c.path;
        }
    }
}

// The GPT image's disk GUID, usable range and entries are what util-linux
// wrote and reads back.
TEST_F(SimDiskStyles, GptImageLayoutIsWhatSfdiskWrote)
{
    LayoutEx layout = ReadLayoutExOf("\\\\.\\physicaldrive3");
    ASSERT_TRUE(layout.ok);
    EXPECT_EQ(GuidText(layout.head.Gpt.DiskId) + "\n", Shell("sfdisk --disk-id '" + gptImage_ + "'"));
    std::string dump = Shell("sfdisk --dump '" + gptImage_ + "'");
    int64_t firstUsable = layout.head.Gpt.StartingUsableOffset.QuadPart / 512;
    int64_t lastUsable = firstUsable + layout.head.Gpt.UsableLength.QuadPart / 512 - 1;
    EXPECT_NE(dump.find("first-lba: " + std::to_string(firstUsable) + "\n"), std::string::npos) << dump;
    EXPECT_NE(dump.find("last-lba: " + std::to_string(lastUsable) + "\n"), std::string::npos) << dump;
    ASSERT_EQ(layout.entries.size(), 2u);
    for (size_t i = 0; i < layout.entries.size(); ++i) {
        const PARTITION_INFORMATION_EX& entry = layout.entries[i];
        EXPECT_EQ(entry.PartitionStyle, PARTITION_STYLE_GPT);
        EXPECT_EQ(entry.PartitionNumber, i + 1);
        char line[256];
        snprintf(line, sizeof line, "gpt.img%zu : start=%12lld, size=%12lld, type=%s, uuid=%s", i + 1,
                 static_cast<long long>(entry.StartingOffset.QuadPart / 512),
                 static_cast<long long>(entry.PartitionLength.QuadPart / 512),
                 GuidText(entry.Gpt.PartitionType).c_str(), GuidText(entry.Gpt.PartitionId).c_str());
        EXPECT_NE(dump.find(line), std::string::npos) << line << "\nnot in:\n" << dump;
    }
    const WCHAR data[] = {'d', 'a', 't', 'a', 0};
    EXPECT_EQ(memcmp(layout.entries[0].Gpt.Name, data, sizeof data), 0);
    EXPECT_EQ(layout.entries[1].Gpt.Name[0], 0);
}

// MBR entries: the image's slots, or the memory disk's unused ones; the
// checksum makes the words of the image's first sector sum to zero.
TEST_F(SimDiskStyles, ExtendedLayoutOfAnMbrDiskCarriesItsSlots)
{
    LayoutEx image = ReadLayoutExOf("\\\\.\\physicaldrive1");
    ASSERT_TRUE(image.ok);
    const PARTITION_INFORMATION_EX& first = image.entries[0];
    EXPECT_EQ(first.PartitionStyle, PARTITION_STYLE_MBR);
    EXPECT_EQ(first.StartingOffset.QuadPart, 2048LL * 512);
    EXPECT_EQ(first.PartitionLength.QuadPart, 20480LL * 512);
    EXPECT_EQ(first.PartitionNumber, 1u);
    EXPECT_EQ(first.Mbr.PartitionType, 0x07);
    EXPECT_TRUE(first.Mbr.BootIndicator);
    EXPECT_TRUE(first.Mbr.RecognizedPartition);
    EXPECT_EQ(first.Mbr.HiddenSectors, 2048u);
    for (size_t i = 1; i < 4; ++i) {
        EXPECT_EQ(image.entries[i].Mbr.PartitionType, 0) << i;
        EXPECT_EQ(image.entries[i].PartitionNumber, 0u) << i;
    }
    std::string sector = ReadWholeFile(folder_ + "/mbr.img").substr(0, 512);
    uint32_t sum = image.head.Mbr.CheckSum;
    for (size_t at = 0; at < 512; at += 4) {
        uint32_t word = 0;
        memcpy(&word, sector.data() + at, 4);
        sum += word;
    }
    EXPECT_EQ(sum, 0u);

    LayoutEx memory = ReadLayoutExOf("\\\\.\\physicaldrive0");
    ASSERT_TRUE(memory.ok);
    for (const PARTITION_INFORMATION_EX& entry : memory.entries) {
        EXPECT_EQ(entry.PartitionStyle, PARTITION_STYLE_MBR);
        EXPECT_EQ(entry.Mbr.PartitionType, 0);
        EXPECT_EQ(entry.PartitionLength.QuadPart, 0);
    }
}

// What makes an image GPT, MBR or RAW, with the plain layout read taking
// only an MBR one.
TEST_F(SimDiskStyles, ImageStyleIsReadFromItsFirstTwoSectors)
{
    using Shape = void (*)(std::string*);
    const std::string gpt = ReadWholeFile(gptImage_);
    const std::string mbr = simtest::MbrImage(1, kMbrSlots);
    const struct {
        const char* what;
        const std::string* start;
        Shape shape;
        DWORD style;
    } cases[] = {
        {.what = "sfdisk's GPT", .start = &gpt, .shape = [](std::string*) {}, .style = 1},
        {.what = "protective entry in slot 3",
         .start = &gpt,
         .shape =
             [](std::string* i) {
                 i->replace(446 + 48, 16, i->substr(446, 16));
                 i->replace(446, 16, std::string(16, '\0'));
             },
         .style = 1},
        {.what = "no EFI PART at LBA 1", .start = &gpt, .shape = [](std::string* i) { (*i)[512] = 'e'; }, .style = 0},
        {.what = "no 0xEE entry", .start = &gpt, .shape = [](std::string* i) { (*i)[446 + 4] = 0x07; }, .style = 0},
        {.what = "GPT without 55 AA", .start = &gpt, .shape = [](std::string* i) { (*i)[511] = 0; }, .style = 1},
        {.what = "MBR", .start = &mbr, .shape = [](std::string*) {}, .style = 0},
        {.what = "MBR of one sector", .start = &mbr, .shape = [](std::string* i) { i->resize(512); }, .style = 0},
        {.what = "no 55 AA", .start = &mbr, .shape = [](std::string* i) { (*i)[510] = 0; }, .style = 2},
        {.what = "0xEE entry of one sector",
         .start = &mbr,
         .shape =
             [](std::string* i) {
                 i->resize(512);
                 (*i)[446 + 4] = static_cast<char>(0xEE);
             },
         .style = 0},
        {.what = "zeros", .start = &mbr, .shape = [](std::string* i) { i->assign(512, '\0'); }, .style = 2},
    };
    for (const auto& c : cases) {
        std::string image = *c.start;
        c.shape(&image);
        WriteWholeFile(folder_ + "/shaped.img", image);
        LoadMachine("disk 5 image shaped.img\n", folder_);
        LayoutEx layout = ReadLayoutExOf("\\\\.\\physicaldrive5");
        ASSERT_TRUE(layout.ok) << c.what << " " << layout.error;
        EXPECT_EQ(layout.head.PartitionStyle, c.style) << c.what;
        HANDLE disk = OpenForReading("\\\\.\\physicaldrive5");
        simtest::LayoutBuffer plain;
        DWORD returned = 0;
        EXPECT_EQ(simtest::ReadLayout(disk, &plain, 2048, &returned) != 0, c.style == 0) << c.what;
        CloseHandle(disk);
        uint64_t length = 0;
        HANDLE again = OpenForReading("\\\\.\\physicaldrive5");
        EXPECT_TRUE(DeviceIoControl(again, IOCTL_DISK_GET_LENGTH_INFO, nullptr, 0, &length, 8, &returned, nullptr));
        CloseHandle(again);
        EXPECT_EQ(length, image.size()) << c.what;
    }
}

TEST_F(SimDiskStyles, LengthAttributesAndDeviceNumberOfEveryDisk)
{
    const struct {
        const char* path;
        DWORD number;
        uint64_t length;
        uint64_t attributes;
    } cases[] = {
        {.path = "\\\\.\\physicaldrive0", .number = 0, .length = 500ULL << 30, .attributes = 0},
        {.path = "\\\\.\\physicaldrive1",
         .number = 1,
         .length = kMbrImageSize,
         .attributes = DISK_ATTRIBUTE_READ_ONLY},
        {.path = "\\\\.\\physicaldrive3", .number = 3, .length = kGptImageSize, .attributes = 0},
        {.path = "\\\\.\\physicaldrive4", .number = 4, .length = 2ULL << 40, .attributes = DISK_ATTRIBUTE_OFFLINE},
        {.path = "\\\\.\\physicaldrive6",
         .number = 6,
         .length = 1536ULL << 10,
         .attributes = DISK_ATTRIBUTE_OFFLINE | DISK_ATTRIBUTE_READ_ONLY},
        {.path = "\\\\.\\physicaldrive9",
         .number = 9,
         .length = 3000,
         .attributes = DISK_ATTRIBUTE_OFFLINE | DISK_ATTRIBUTE_READ_ONLY},
    };
    for (const auto& c : cases) {
        HANDLE disk = OpenForReading(c.path);
        GET_LENGTH_INFORMATION length{};
        GET_DISK_ATTRIBUTES attributes;
        memset(&attributes, 0xee, sizeof attributes);
        STORAGE_DEVICE_NUMBER number = {0, 99, 99};
        DWORD returned = 0;
        EXPECT_TRUE(
            DeviceIoControl(disk, IOCTL_DISK_GET_LENGTH_INFO, nullptr, 0, &length, sizeof length, &returned, nullptr))
            << c.path;
        EXPECT_EQ(returned, 8u);
        EXPECT_EQ(static_cast<uint64_t>(length.Length.QuadPart), c.length) << c.path;
        EXPECT_TRUE(DeviceIoControl(disk, IOCTL_DISK_GET_DISK_ATTRIBUTES, nullptr, 0, &attributes, sizeof attributes,
                                    &returned, nullptr))
            << c.path;
        EXPECT_EQ(returned, 16u);
        EXPECT_EQ(attributes.Version, 16u) << c.path;
        EXPECT_EQ(attributes.Reserved1, 0u) << c.path;
        EXPECT_EQ(attributes.Attributes, c.attributes) << c.path;
        EXPECT_TRUE(DeviceIoControl(disk, IOCTL_STORAGE_GET_DEVICE_NUMBER, nullptr, 0, &number, sizeof number,
                                    &returned, nullptr));
        EXPECT_EQ(number.DeviceType, FILE_DEVICE_DISK);
        EXPECT_EQ(number.DeviceNumber, c.number) << c.path;
        EXPECT_EQ(number.PartitionNumber, 0u) << c.path;
        CloseHandle(disk);
    }
}

// A volume has no length or attributes of its own in the simulator.
TEST_F(SimDiskStyles, LengthAndAttributesAreReadFromTheDiskOnly)
{
    HANDLE volume = OpenForReading("\\\\.\\G:");
    unsigned char out[64];
    DWORD returned = 0;
    for (DWORD code : {IOCTL_DISK_GET_LENGTH_INFO, IOCTL_DISK_GET_DISK_ATTRIBUTES}) {
        EXPECT_FALSE(DeviceIoControl(volume, code, nullptr, 0, out, sizeof out, &returned, nullptr)) << code;
        EXPECT_EQ(GetLastError(), 1u) << code;
    }
    CloseHandle(volume);
}

// Each output record needs its whole size; one byte less fails with 122 and
// writes nothing, as does no buffer at all.
TEST_F(SimDiskStyles, TooSmallOutputBuffersFailAndWriteNothing)
{
    const struct {
        const char* path;
        DWORD code;
        DWORD needed;
    } cases[] = {
        {.path = "\\\\.\\physicaldrive0", .code = IOCTL_DISK_GET_DRIVE_LAYOUT_EX, .needed = 48 + 4 * 144},
        {.path = "\\\\.\\physicaldrive3", .code = IOCTL_DISK_GET_DRIVE_LAYOUT_EX, .needed = 48 + 2 * 144},
        {.path = "\\\\.\\physicaldrive4", .code = IOCTL_DISK_GET_DRIVE_LAYOUT_EX, .needed = 48},
        {.path = "\\\\.\\physicaldrive6", .code = IOCTL_DISK_GET_DRIVE_LAYOUT_EX, .needed = 48},
        {.path = "\\\\.\\physicaldrive3", .code = IOCTL_DISK_GET_LENGTH_INFO, .needed = 8},
        {.path = "\\\\.\\physicaldrive4", .code = IOCTL_DISK_GET_DISK_ATTRIBUTES, .needed = 16},
    };
    for (const auto& c : cases) {
        HANDLE disk = OpenForReading(c.path);
        std::vector<uint64_t> buffer(128, 0xeeeeeeeeeeeeeeeeULL);
        const std::vector<uint64_t> untouched = buffer;
        DWORD returned = 7;
        EXPECT_FALSE(DeviceIoControl(disk, c.code, nullptr, 0, buffer.data(), c.needed - 1, &returned, nullptr))
            << c.path << " " << c.code;
        EXPECT_EQ(GetLastError(), 122u);
        EXPECT_EQ(returned, 0u);
        EXPECT_EQ(buffer, untouched) << c.path << " " << c.code;
        EXPECT_FALSE(DeviceIoControl(disk, c.code, nullptr, 0, nullptr, 0, &returned, nullptr));
        EXPECT_EQ(GetLastError(), 122u);
        EXPECT_TRUE(DeviceIoControl(disk, c.code, nullptr, 0, buffer.data(), c.needed, &returned, nullptr))
            << c.path << " " << c.code;
        EXPECT_EQ(returned, c.needed);
        CloseHandle(disk);
    }
}

// The plain layout calls know only MBR: on a GPT or RAW disk, through the
// disk or a volume, both fail with 1 and nothing changes.
TEST_F(SimDiskStyles, PlainLayoutCallsRefuseGptAndRawDisks)
{
    const std::string gptBefore = ReadWholeFile(gptImage_);
    const std::string rawBefore = ReadWholeFile(folder_ + "/raw.img");
    for (const char* path : {"\\\\.\\physicaldrive3", "\\\\.\\G:", "\\\\.\\physicaldrive4", "\\\\.\\physicaldrive6",
                             "\\\\.\\physicaldrive9"}) {
        HANDLE device = OpenDevice(path);
        simtest::LayoutBuffer layout;
        memset(layout.bytes, 0, sizeof layout.bytes);
        DWORD returned = 0;
        EXPECT_FALSE(simtest::ReadLayout(device, &layout, 2048, &returned)) << path;
        EXPECT_EQ(GetLastError(), 1u) << path;
        layout.bytes[0] = 4;
        layout.SetSignature(0x01020304);
        EXPECT_FALSE(simtest::WriteLayout(device, &layout, 8 + 4 * 32)) << path;
        EXPECT_EQ(GetLastError(), 1u) << path;
        CloseHandle(device);
    }
    EXPECT_EQ(ReadWholeFile(gptImage_), gptBefore);
    EXPECT_EQ(ReadWholeFile(folder_ + "/raw.img"), rawBefore);
    LayoutEx memory = ReadLayoutExOf("\\\\.\\physicaldrive4");
    EXPECT_EQ(GuidText(memory.head.Gpt.DiskId), kGptDiskId);
    EXPECT_EQ(ReadLayoutExOf("\\\\.\\physicaldrive6").head.PartitionStyle, 2u);
}

// A GPT image is taken only when its primary header holds its CRC32 and
// its entries lie within the file; the refusal names the line.
TEST_F(SimDiskStyles, GptImagesAreCheckedWhenTheMachineLoads)
{
    using Spoil = void (*)(std::string*);
    const struct {
        const char* what;
        Spoil spoil;
        const char* fault;  // null: loads
    } cases[] = {
        {.what = "as sfdisk wrote it", .spoil = [](std::string*) {}, .fault = nullptr},
        {.what = "disk GUID changed",
         .spoil = [](std::string* i) { (*i)[512 + 56] ^= 1; },
         .fault = "has a GPT header whose CRC32 is wrong"},
        {.what = "CRC changed",
         .spoil = [](std::string* i) { (*i)[512 + 16] ^= 1; },
         .fault = "has a GPT header whose CRC32 is wrong"},
        {.what = "header size 91",
         .spoil = [](std::string* i) { (*i)[512 + 12] = 91; },
         .fault = "has a GPT header size of 91"},
        {.what = "entries cut off",
         .spoil = [](std::string* i) { i->resize(4096); },
         .fault = "has GPT partition entries beyond its end"},
        {.what = "entry array changed", .spoil = [](std::string* i) { (*i)[1024 + 40] ^= 1; }, .fault = nullptr},
    };
    const std::string gpt = ReadWholeFile(gptImage_);
    for (const auto& c : cases) {
        std::string image = gpt;
        c.spoil(&image);
        WriteWholeFile(folder_ + "/spoilt.img", image);
        std::string error;
        bool loaded = sim::LoadMachineText("# spoilt\ndisk 2 image spoilt.img\n", folder_, "m", &error);
        EXPECT_EQ(loaded, c.fault == nullptr) << c.what << ": " << error;
        if (c.fault != nullptr) {
            EXPECT_EQ(error, std::string("m:2: image spoilt.img ") + c.fault) << c.what;
        }
    }
}

// A read-only disk is read like any other but takes no layout.
TEST_F(SimDiskStyles, ReadOnlyDiskKeepsItsLayout)
{
    const std::string before = ReadWholeFile(folder_ + "/mbr.img");
    HANDLE disk = OpenDevice("\\\\.\\physicaldrive1");
    simtest::LayoutBuffer layout;
    DWORD returned = 0;
    ASSERT_TRUE(simtest::ReadLayout(disk, &layout, 2048, &returned));
    layout.SetSignature(0x01020304);
    EXPECT_FALSE(simtest::WriteLayout(disk, &layout, 2048));
    EXPECT_EQ(GetLastError(), 19u);
    CloseHandle(disk);
    EXPECT_EQ(ReadWholeFile(folder_ + "/mbr.img"), before);
}

// Every name in an order that is not the disks' order, each terminated, and
// one more terminator; a buffer one byte short takes nothing.
TEST_F(SimDiskStyles, NullNameListsEveryDosDeviceName)
{
    const char kNames[] =
        "NUL\0PhysicalDrive9\0C:\0PhysicalDrive6\0G:\0PhysicalDrive4\0PhysicalDrive3\0"
        "PhysicalDrive1\0PhysicalDrive0\0COM1\0PIPE\0GLOBALROOT\0";
    const std::string expected(kNames, sizeof kNames);  // with the array's own terminator as the last
    std::string buffer(400, 'x');
    long callsBefore = sim::CallCount();
    DWORD stored = QueryDosDeviceA(nullptr, buffer.data(), 400);
    EXPECT_EQ(sim::CallCount(), callsBefore + 1);
    EXPECT_EQ(sim::CallLog().back(), "QueryDosDeviceA (null)");
    ASSERT_EQ(stored, expected.size());
    EXPECT_EQ(buffer.substr(0, stored), expected);
    EXPECT_EQ(buffer.substr(stored), std::string(400 - stored, 'x'));

    std::string small(400, 'x');
    EXPECT_EQ(QueryDosDeviceA(nullptr, small.data(), stored - 1), 0u);
    EXPECT_EQ(GetLastError(), 122u);
    EXPECT_EQ(small, std::string(400, 'x'));
    EXPECT_EQ(QueryDosDeviceA(nullptr, nullptr, 0), 0u);
    EXPECT_EQ(GetLastError(), 122u);
}

TEST_F(SimDiskStyles, NewCallsAreLoggedAndCanBeMadeToFail)
{
    HANDLE disk = OpenForReading("\\\\.\\physicaldrive3");
    const struct {
        DWORD code;
        const char* logged;
        DWORD size;
    } cases[] = {
        {.code = IOCTL_DISK_GET_DRIVE_LAYOUT_EX, .logged = "DeviceIoControl 0x00070050", .size = 4096},
        {.code = IOCTL_DISK_GET_LENGTH_INFO, .logged = "DeviceIoControl 0x0007405c", .size = 8},
        {.code = IOCTL_DISK_GET_DISK_ATTRIBUTES, .logged = "DeviceIoControl 0x000700f0", .size = 16},
    };
    for (const auto& c : cases) {
        std::vector<uint64_t> buffer(512);
        DWORD returned = 0;
        sim::FailNthCall(sim::CallCount() + 1, 1117);
        EXPECT_FALSE(DeviceIoControl(disk, c.code, nullptr, 0, buffer.data(), c.size, &returned, nullptr));
        EXPECT_EQ(GetLastError(), 1117u);
        EXPECT_EQ(sim::CallLog().back(), c.logged);
        sim::FailNthCall(0, 0);
        EXPECT_TRUE(DeviceIoControl(disk, c.code, nullptr, 0, buffer.data(), c.size, &returned, nullptr));
    }
    CloseHandle(disk);
}

}  // namespace

// The fail lines of the whole-disk calls: the control codes match by the
// device path the handle was opened with, the enumeration by the name "-".
TEST(SimDiskStyleFaults, FailLinesNameTheWholeDiskCalls)
{
    LoadMachine(
        "disk 0 signature 5D1A2B3C\n"
        "disk 4 gpt {1B2C3D4E-0000-4000-8000-00000000AAAA}\n"
        "volume V disk 0\n"
        "letter C \\Device\\HarddiskVolume1 V\n"
        "fail get-layout-ex \\\\.\\physicaldrive4 21\n"
        "fail length \\\\.\\PHYSICALDRIVE0 1117\n"
        "fail attributes \\\\.\\physicaldrive0 50\n"
        "fail get-layout-ex \\\\.\\C: 5\n"
        "fail enumerate - 8\n");
    const struct {
        const char* path;
        DWORD code;
        DWORD error;  // 0: succeeds
    } cases[] = {
        {.path = "\\\\.\\PhysicalDrive4", .code = IOCTL_DISK_GET_DRIVE_LAYOUT_EX, .error = 21},
        {.path = "\\\\.\\physicaldrive4", .code = IOCTL_DISK_GET_LENGTH_INFO, .error = 0},
        {.path = "\\\\.\\physicaldrive0", .code = IOCTL_DISK_GET_LENGTH_INFO, .error = 1117},
        {.path = "\\\\.\\physicaldrive0", .code = IOCTL_DISK_GET_DISK_ATTRIBUTES, .error = 50},
        {.path = "\\\\.\\physicaldrive0", .code = IOCTL_DISK_GET_DRIVE_LAYOUT_EX, .error = 0},
        {.path = "\\\\.\\c:", .code = IOCTL_DISK_GET_DRIVE_LAYOUT_EX, .error = 5},
        {.path = "\\\\.\\C:", .code = IOCTL_DISK_GET_DRIVE_LAYOUT, .error = 0},
    };
    for (const auto& c : cases) {
        HANDLE device = OpenForReading(c.path);
        std::vector<uint64_t> buffer(512);
        DWORD returned = 0;
        BOOL ok = DeviceIoControl(device, c.code, nullptr, 0, buffer.data(), 4096, &returned, nullptr);
        EXPECT_EQ(ok != 0, c.error == 0) << c.path << " " << c.code;
        if (!ok) {
            EXPECT_EQ(GetLastError(), c.error) << c.path << " " << c.code;
        }
        CloseHandle(device);
    }
    char names[512];
    EXPECT_EQ(QueryDosDeviceA(nullptr, names, sizeof names), 0u);
    EXPECT_EQ(GetLastError(), 8u);
    EXPECT_GT(QueryDosDeviceA("C:", names, sizeof names), 0u);
    EXPECT_TRUE(sim::NothingOutstanding());
}
