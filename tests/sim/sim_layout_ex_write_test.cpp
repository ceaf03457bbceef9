// IOCTL_DISK_SET_DRIVE_LAYOUT_EX: a new disk identifier stored in memory or
// in an image (only the identifier's bytes, and a GPT image's header CRCs,
// change; the real sgdisk and sfdisk accept the result), and every refusal.
#include <gtest/gtest.h>

#include <stdio.h>
#include <string.h>

#include <set>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/sim/sim.h"
#include "support/runs.h"
#include "support/sim_fixture.h"

namespace {

const char kGptDiskId[] = "1B2C3D4E-0000-4000-8000-00000000AAAA";
const GUID kNewId = {0x8E4F1A07, 0x1234, 0x4ABC, {0x9D, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07}};
const char kNewIdText[] = "8E4F1A07-1234-4ABC-9D01-020304050607";
const size_t kGptImageSize = 4 << 20;

std::string Shell(const std::string& command, int* status = nullptr)
{
    std::string output;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    char buffer[512];
    size_t got = 0;
    while (pipe != nullptr && (got = fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        output.append(buffer, got);
    }
    int code = pipe != nullptr ? pclose(pipe) : -1;
    if (status != nullptr) {
        *status = code;
    }
    return output;
}

// The extended layout of a disk as bytes, read through a read-write handle.
std::vector<uint64_t> ReadLayout(HANDLE disk, DWORD* returned)
{
    std::vector<uint64_t> buffer(64 * 1024 / 8);
    EXPECT_TRUE(DeviceIoControl(disk, IOCTL_DISK_GET_DRIVE_LAYOUT_EX, nullptr, 0, buffer.data(), 64 * 1024, returned,
                                nullptr));
    return buffer;
}

DRIVE_LAYOUT_INFORMATION_EX* Head(std::vector<uint64_t>* layout)
{
    return reinterpret_cast<DRIVE_LAYOUT_INFORMATION_EX*>(layout->data());
}

PARTITION_INFORMATION_EX* Entry(std::vector<uint64_t>* layout, size_t i)
{
    return reinterpret_cast<PARTITION_INFORMATION_EX*>(reinterpret_cast<unsigned char*>(layout->data()) + 48 +
                                                       144 * i);
}

BOOL SetLayoutEx(HANDLE disk, std::vector<uint64_t>* layout, DWORD size)
{
    DWORD returned = 0;
    return DeviceIoControl(disk, IOCTL_DISK_SET_DRIVE_LAYOUT_EX, layout->data(), size, nullptr, 0, &returned,
                           nullptr);
}

class SimLayoutExWrite : public testing::Test {
protected:
    void SetUp() override
    {
        folder_ = TemporaryFolder();
        WriteWholeFile(folder_ + "/gpt.img", std::string(kGptImageSize, '\0'));
        std::string script = std::string("label: gpt\\nlabel-id: ") + kGptDiskId +
                             "\\nsize=1M, type=L, name=\"data\"\\nsize=1M, type=U\\n";
        int status = 0;
        Shell("printf '" + script + "' | sfdisk -q '" + folder_ + "/gpt.img'", &status);
        if (status != 0) {
            GTEST_SKIP() << "sfdisk is needed to make GPT images";
        }
        WriteWholeFile(folder_ + "/mbr.img",
                  simtest::MbrImage(0xA1B2C3D4, {{.status = 0x80, .type = 0x07, .firstLba = 2, .sectors = 4}}, 4096));
        LoadMachine(kMachine, folder_);
    }

    void TearDown() override { EXPECT_TRUE(sim::NothingOutstanding()); }

    static constexpr const char* kMachine =
        "disk 0 signature 5D1A2B3C\n"
        "disk 1 image mbr.img\n"
        "disk 3 image gpt.img\n"
        "disk 4 gpt {1B2C3D4E-0000-4000-8000-00000000AAAA} offline\n"
        "disk 5 signature 1 readonly\n"
        "disk 6 raw\n"
        "disk 7 gpt {1B2C3D4E-0000-4000-8000-00000000BBBB} readonly\n"
        "volume V1 disk 0 fs NTFS\n"
        "letter C \\Device\\HarddiskVolume1 V1\n"
        "fail set-layout-ex \\\\.\\PHYSICALDRIVE4 21\n";

    std::string folder_;
};

// The new identifier reads back on every style and storage; an image changes
// in exactly the identifier's bytes (and a GPT image's header CRCs).
TEST_F(SimLayoutExWrite, StoresTheNewIdentifier)
{
    const std::string before = ReadWholeFile(folder_ + "/gpt.img");
    const uint64_t backup = kGptImageSize / 512 - 1;
    std::set<size_t> gptBytes;
    for (uint64_t lba : {uint64_t{1}, backup}) {
        for (size_t at : {16, 17, 18, 19}) {
            gptBytes.insert(lba * 512 + at);
        }
        for (size_t at = 56; at < 72; ++at) {
            gptBytes.insert(lba * 512 + at);
        }
    }
    const struct {
        const char* path;
        const char* image;  // null: held in memory
        std::set<size_t> changed;
    } cases[] = {
        {.path = "\\\\.\\physicaldrive0", .image = nullptr, .changed = {}},
        {.path = "\\\\.\\physicaldrive1", .image = "mbr.img", .changed = {440, 441, 442, 443}},
        {.path = "\\\\.\\physicaldrive3", .image = "gpt.img", .changed = gptBytes},
        {.path = "\\\\.\\PhysicalDrive4", .image = nullptr, .changed = {}},
    };
    for (const auto& c : cases) {
        std::string image = c.image != nullptr ? folder_ + "/" + c.image : std::string();
        std::string old = c.image != nullptr ? ReadWholeFile(image) : std::string();
        sim::LoadMachineText(std::string(kMachine).substr(0, std::string(kMachine).find("fail")), folder_, "m",
                             nullptr);
        HANDLE disk = simtest::OpenDevice(c.path);
        DWORD size = 0;
        std::vector<uint64_t> layout = ReadLayout(disk, &size);
        bool gpt = Head(&layout)->PartitionStyle == PARTITION_STYLE_GPT;
        if (gpt) {
            Head(&layout)->Gpt.DiskId = kNewId;
        } else {
            Head(&layout)->Mbr.Signature = 0x8E4F1A07;
        }
        EXPECT_TRUE(SetLayoutEx(disk, &layout, size)) << c.path << " " << GetLastError();
        DWORD again = 0;
        std::vector<uint64_t> read = ReadLayout(disk, &again);
        EXPECT_EQ(again, size);
        if (!gpt) {
            Head(&layout)->Mbr.CheckSum = Head(&read)->Mbr.CheckSum;  // follows from the image's new bytes
        }
        EXPECT_EQ(memcmp(read.data(), layout.data(), size), 0) << c.path << ": the layout reads back as written";
        CloseHandle(disk);
        if (c.image != nullptr) {
            std::vector<size_t> differing = simtest::DifferingOffsets(old, ReadWholeFile(image));
            EXPECT_EQ(std::set<size_t>(differing.begin(), differing.end()), c.changed) << c.path;
        }
    }
    std::string gptImage = folder_ + "/gpt.img";
    int status = 0;
    std::string verify = Shell("sgdisk -v '" + gptImage + "'", &status);
    EXPECT_EQ(status, 0) << verify;
    EXPECT_NE(verify.find("No problems found"), std::string::npos) << verify;
    EXPECT_EQ(Shell("sfdisk --disk-id '" + gptImage + "'"), std::string(kNewIdText) + "\n");
    EXPECT_EQ(Shell("sfdisk --disk-id '" + folder_ + "/mbr.img'"), "0x8e4f1a07\n");
    EXPECT_NE(before, ReadWholeFile(gptImage));
}

// Everything that is refused changes nothing: the layout read stays and an
// image keeps every byte.
TEST_F(SimLayoutExWrite, RefusalsChangeNothing)
{
    using Shape = void (*)(std::vector<uint64_t>*, DWORD*);
    const struct {
        const char* what;
        const char* path;
        bool writable;
        Shape shape;
        DWORD error;
    } cases[] = {
        {"read-only handle", "\\\\.\\physicaldrive1", false, [](std::vector<uint64_t>*, DWORD*) {}, 5},
        {"volume handle", "\\\\.\\C:", true, [](std::vector<uint64_t>*, DWORD*) {}, 1},
        {"head cut short", "\\\\.\\physicaldrive1", true, [](std::vector<uint64_t>*, DWORD* s) { *s = 47; }, 87},
        {"last entry cut short", "\\\\.\\physicaldrive3", true, [](std::vector<uint64_t>*, DWORD* s) { *s -= 1; }, 87},
        {"style changed", "\\\\.\\physicaldrive1", true,
         [](std::vector<uint64_t>* l, DWORD*) { Head(l)->PartitionStyle = PARTITION_STYLE_GPT; }, 87},
        {"unknown style", "\\\\.\\physicaldrive1", true,
         [](std::vector<uint64_t>* l, DWORD*) { Head(l)->PartitionStyle = 3; }, 87},
        {"an entry fewer", "\\\\.\\physicaldrive3", true,
         [](std::vector<uint64_t>* l, DWORD* s) {
             Head(l)->PartitionCount = 1;
             *s -= 144;
         },
         87},
        {"MBR entry moved", "\\\\.\\physicaldrive1", true,
         [](std::vector<uint64_t>* l, DWORD*) { Entry(l, 0)->StartingOffset.QuadPart += 512; }, 87},
        {"MBR type changed", "\\\\.\\physicaldrive1", true,
         [](std::vector<uint64_t>* l, DWORD*) { Entry(l, 0)->Mbr.PartitionType = 0x0C; }, 87},
        {"GPT entry renamed", "\\\\.\\physicaldrive3", true,
         [](std::vector<uint64_t>* l, DWORD*) { Entry(l, 1)->Gpt.Name[0] = 'x'; }, 87},
        {"GPT entry's id changed", "\\\\.\\physicaldrive3", true,
         [](std::vector<uint64_t>* l, DWORD*) { Entry(l, 0)->Gpt.PartitionId.Data1 ^= 1; }, 87},
        {"GPT usable length changed", "\\\\.\\physicaldrive3", true,
         [](std::vector<uint64_t>* l, DWORD*) { Head(l)->Gpt.UsableLength.QuadPart -= 512; }, 87},
        {"read-only MBR disk", "\\\\.\\physicaldrive5", true, [](std::vector<uint64_t>*, DWORD*) {}, 19},
        {"read-only GPT disk", "\\\\.\\physicaldrive7", true, [](std::vector<uint64_t>*, DWORD*) {}, 19},
        {"RAW disk", "\\\\.\\physicaldrive6", true, [](std::vector<uint64_t>*, DWORD*) {}, 1},
        {"fail line", "\\\\.\\physicaldrive4", true, [](std::vector<uint64_t>*, DWORD*) {}, 21},
    };
    const std::string mbrImage = ReadWholeFile(folder_ + "/mbr.img");
    const std::string gptImage = ReadWholeFile(folder_ + "/gpt.img");
    for (const auto& c : cases) {
        HANDLE disk = c.writable ? simtest::OpenDevice(c.path)
                                 : CreateFileA(c.path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                               OPEN_EXISTING, 0, nullptr);
        DWORD size = 0;
        std::vector<uint64_t> layout = ReadLayout(disk, &size);
        const std::vector<uint64_t> original = layout;
        Head(&layout)->Mbr.Signature ^= 0x01010101;  // GPT: the disk GUID's first field
        c.shape(&layout, &size);
        EXPECT_FALSE(SetLayoutEx(disk, &layout, size)) << c.what;
        EXPECT_EQ(GetLastError(), c.error) << c.what;
        DWORD again = 0;
        EXPECT_EQ(ReadLayout(disk, &again), original) << c.what;
        CloseHandle(disk);
        EXPECT_EQ(ReadWholeFile(folder_ + "/mbr.img"), mbrImage) << c.what;
        EXPECT_EQ(ReadWholeFile(folder_ + "/gpt.img"), gptImage) << c.what;
    }
}

// A GPT image whose backup header is gone can't take a new GUID: 1393, and
// neither header changes.
TEST_F(SimLayoutExWrite, GptImageWithoutItsBackupHeaderIsRefused)
{
    std::string image = ReadWholeFile(folder_ + "/gpt.img");
    image.replace(kGptImageSize - 512, 8, "NOT PART");
    WriteWholeFile(folder_ + "/gpt.img", image);
    HANDLE disk = simtest::OpenDevice("\\\\.\\physicaldrive3");
    DWORD size = 0;
    std::vector<uint64_t> layout = ReadLayout(disk, &size);
    Head(&layout)->Gpt.DiskId = kNewId;
    EXPECT_FALSE(SetLayoutEx(disk, &layout, size));
    EXPECT_EQ(GetLastError(), 1393u);
    CloseHandle(disk);
    EXPECT_EQ(ReadWholeFile(folder_ + "/gpt.img"), image);
}

}  // namespace
