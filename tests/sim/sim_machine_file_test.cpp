// The machine-file format: what it refuses, with the line and the fault, and
// how fields, quotes and comments are read.
#include <gtest/gtest.h>

#include <string>

#include "platform/platform.h"
#include "platform/sim/sim.h"
#include "support/sim_fixture.h"
#include "support/runs.h"

namespace {

// Every fault class a machine file can have, each with the line it is on.
TEST(SimMachineFile, RefusesAFaultyLineNamingFileLineAndFault)
{
    std::string folder = TemporaryFolder();
    WriteWholeFile(folder + "/short.img", std::string(511, '\x01'));
    WriteWholeFile(folder + "/good.img", simtest::MbrImage(1, {}));
    WriteWholeFile(folder + "/badcrc.img", simtest::ProtectiveGptHead(92));
    WriteWholeFile(folder + "/bigheader.img", simtest::ProtectiveGptHead(600));
    const struct {
        const char* text;
        const char* expected;
    } cases[] = {
        {.text = "# fine\n\ndsk 0 signature 1\n", .expected = "m.machine:3: unknown keyword \"dsk\""},
        {.text = "Disk 0 signature 1\n", .expected = "m.machine:1: unknown keyword \"Disk\""},
        {.text = "disk 0\n", .expected = "m.machine:1: missing signature, gpt, raw or image"},
        {.text = "disk 0 signature\n", .expected = "m.machine:1: missing signature"},
        {.text = "disk 0 signature 1 partitions\n", .expected = "m.machine:1: missing partition count"},
        {.text = "disk 0 image\n", .expected = "m.machine:1: missing image path"},
        {.text = "disk 0 signature 1\nvolume V\n", .expected = "m.machine:2: missing disk"},
        {.text = "disk 0 signature 1\nvolume V disk 0 fs\n", .expected = "m.machine:2: missing value of fs"},
        {.text = "letter C\n", .expected = "m.machine:1: missing device target"},
        {.text = "mount\n", .expected = "m.machine:1: missing holding volume"},
        {.text = "fail open \\\\.\\C:\n", .expected = "m.machine:1: missing error code"},
        {.text = "version\n", .expected = "m.machine:1: missing version number"},
        {.text = "letter c \\Device\\Floppy0\n", .expected = "m.machine:1: drive letter \"c\" is not one of A-Z"},
        {.text = "letter CD \\Device\\Floppy0\n", .expected = "m.machine:1: drive letter \"CD\" is not one of A-Z"},
        {.text = "letter 1 \\Device\\Floppy0\n", .expected = "m.machine:1: drive letter \"1\" is not one of A-Z"},
        {.text = "disk x signature 1\n", .expected = "m.machine:1: bad disk number \"x\""},
        {.text = "disk -1 signature 1\n", .expected = "m.machine:1: bad disk number \"-1\""},
        {.text = "disk 0 signature 5D1A2B3G\n", .expected = "m.machine:1: bad signature \"5D1A2B3G\""},
        {.text = "disk 0 signature 0x1\n", .expected = "m.machine:1: bad signature \"0x1\""},
        {.text = "disk 0 signature 123456789\n", .expected = "m.machine:1: bad signature \"123456789\""},
        {.text = "disk 0 signature 1 partitions 4097\n", .expected = "m.machine:1: bad partition count \"4097\""},
        {.text = "disk 0 signature 1 sectors 4\n", .expected = "m.machine:1: unexpected field \"sectors\""},
        {.text = "disk 0 floppy 1\n", .expected = "m.machine:1: unknown disk field \"floppy\""},
        {.text = "fail open X 4294967296\n", .expected = "m.machine:1: bad error code \"4294967296\""},
        {.text = "fail open X -1\n", .expected = "m.machine:1: bad error code \"-1\""},
        {.text = "fail read X 5\n", .expected = "m.machine:1: unknown fail operation \"read\""},
        {.text = "version 5\n", .expected = "m.machine:1: bad version \"5\""},
        {.text = "version 5.256\n", .expected = "m.machine:1: bad version \"5.256\""},
        {.text = "version 5.0\nversion 4.0\n", .expected = "m.machine:2: version is defined twice"},
        {.text = "disk 0 signature 1\nvolume V disk 0 label \"MY DATA\n", .expected = "m.machine:2: unclosed quote"},
        {.text = "disk 0 signature 1\nvolume V disk 0 label \"A\"B\n",
         .expected = "m.machine:2: text right after a closing quote"},
        {.text = "disk 0 signature 1\nvolume V disk 0 size 4\n",
         .expected = "m.machine:2: unknown volume field \"size\""},
        {.text = "disk 0 signature 1\nvolume V disk 0 fs NTFS fs FAT\n",
         .expected = "m.machine:2: fs is given twice"},
        {.text = "disk 0 signature 1\nvolume V disk 0 guid {1234}\n", .expected = "m.machine:2: bad guid \"{1234}\""},
        {.text = "disk 0 signature 1\nvolume \"\" disk 0\n", .expected = "m.machine:2: empty volume name"},
        {.text = "disk 0 signature 1\nvolume V disk 1\n", .expected = "m.machine:2: disk 1 is not defined"},
        {.text = "letter C \\Device\\HarddiskVolume1 V1\n", .expected = "m.machine:1: volume V1 is not defined"},
        {.text = "held\n", .expected = "m.machine:1: missing device path"},
        {.text = "letter E \\Device\\CdRom0\nheld \\\\.\\E:\n",
         .expected = "m.machine:2: held device \"\\\\.\\E:\" is not a device of the machine"},
        {.text = "disk 0 signature 1\nheld \\\\.\\physicaldrive00\n",
         .expected = "m.machine:2: held device \"\\\\.\\physicaldrive00\" is not a device of the machine"},
        {.text = "disk 0 signature 1\nheld \\\\.\\physicaldrive0\nheld \\\\.\\PHYSICALDRIVE0\n",
         .expected = "m.machine:3: held device \\\\.\\PHYSICALDRIVE0 is defined twice"},
        {.text = "disk 0 signature 1\nheld \\\\.\\physicaldrive0 x\n",
         .expected = "m.machine:2: unexpected field \"x\""},
        {.text = "disk 0 signature 1\nvolume V disk 0\nmount V mnt\\ W\n",
         .expected = "m.machine:3: volume W is not defined"},
        {.text = "disk 0 signature 1\nvolume V disk 0\nmount W mnt\\ V\n",
         .expected = "m.machine:3: volume W is not defined"},
        {.text = "disk 0 signature 1\nvolume V disk 0\nmount V mnt V\n",
         .expected = "m.machine:3: mount folder \"mnt\" must be"},
        {.text = "disk 0 signature 1\nvolume V disk 0\nmount V \\mnt\\ V\n",
         .expected = "m.machine:3: mount folder \"\\mnt\\\""},
        {.text = "fail open X 5 extra\n", .expected = "m.machine:1: unexpected field \"extra\""},
        {.text = "disk 0 signature 1\ndisk 0 signature 2\n", .expected = "m.machine:2: disk 0 is defined twice"},
        {.text = "disk 0 signature 1\nvolume V disk 0\nvolume V disk 0\n",
         .expected = "m.machine:3: volume V is defined twice"},
        {.text = "letter A \\Device\\Floppy0\nletter A \\Device\\Floppy1\n",
         .expected = "m.machine:2: letter A is defined twice"},
        {.text = "disk 0 signature 1\nvolume V disk 0\nvolume W disk 0\nmount V mnt\\ W\nmount V MNT\\ V\n",
         .expected = "m.machine:5: mount folder MNT\\ is defined twice"},
        {.text = "disk 0 signature 1\n"
                 "volume V disk 0 guid {11111111-0000-0000-0000-000000000002}\n"
                 "volume W disk 0 guid {11111111-0000-0000-0000-000000000002}\n",
         .expected = "m.machine:3: guid of volume W is already the guid of volume V"},
        {.text = "fail open \\\\.\\C: 5\nfail open \\\\.\\c: 21\n",
         .expected = "m.machine:2: fail open \\\\.\\c: is defined twice"},
        {.text = "disk 0 image missing.img\n", .expected = "m.machine:1: image missing.img cannot be read"},
        {.text = "disk 0 image short.img\n",
         .expected = "m.machine:1: image short.img is shorter than one 512-byte sector"},
        {.text = "disk 0 image good.img partitions 64\n", .expected = "m.machine:1: unexpected field \"partitions\""},
        {.text = "disk 0 signature 1 size 5X\n", .expected = "m.machine:1: bad size \"5X\""},
        {.text = "disk 0 signature 1 size 5k\n", .expected = "m.machine:1: bad size \"5k\""},
        {.text = "disk 0 raw size G\n", .expected = "m.machine:1: bad size \"G\""},
        {.text = "disk 0 raw size -1\n", .expected = "m.machine:1: bad size \"-1\""},
        {.text = "disk 0 raw size 8388608T\n", .expected = "m.machine:1: bad size \"8388608T\""},
        {.text = "disk 0 raw size\n", .expected = "m.machine:1: missing size"},
        {.text = "disk 0 signature 1 size 1G size 2G\n", .expected = "m.machine:1: size is given twice"},
        {.text = "disk 0 signature 1 partitions 4 partitions 4\n",
         .expected = "m.machine:1: partitions is given twice"},
        {.text = "disk 0 signature 1 offlne\n", .expected = "m.machine:1: unexpected field \"offlne\""},
        {.text = "disk 0 raw Offline\n", .expected = "m.machine:1: unexpected field \"Offline\""},
        {.text = "disk 0 signature 1 offline readonly offline\n", .expected = "m.machine:1: offline is given twice"},
        {.text = "disk 0 signature 1 readonly size 1G\n",
         .expected = "m.machine:1: size must come before offline and readonly"},
        {.text = "disk 0 gpt\n", .expected = "m.machine:1: missing disk GUID"},
        {.text = "disk 0 gpt {1234}\n", .expected = "m.machine:1: bad disk GUID \"{1234}\""},
        {.text = "disk 0 gpt 1B2C3D4E-0000-4000-8000-00000000AAAA\n",
         .expected = "m.machine:1: bad disk GUID \"1B2C3D4E-"},
        {.text = "disk 0 gpt {1B2C3D4E-0000-4000-8000-00000000AAAG}\n", .expected = "m.machine:1: bad disk GUID"},
        {.text = "disk 0 gpt {1B2C3D4E-0000-4000-8000-00000000AAAA} partitions 4\n",
         .expected = "m.machine:1: unexpected field \"partitions\""},
        {.text = "disk 0 raw 7\n", .expected = "m.machine:1: unexpected field \"7\""},
        {.text = "disk 0 image good.img size 1G\n", .expected = "m.machine:1: unexpected field \"size\""},
        {.text = "disk 0 image good.img readonly readonly\n", .expected = "m.machine:1: readonly is given twice"},
        {.text = "disk 0 image badcrc.img\n",
         .expected = "m.machine:1: image badcrc.img has a GPT header whose CRC32 is wrong"},
        {.text = "disk 0 image bigheader.img\n",
         .expected = "m.machine:1: image bigheader.img has a GPT header size of 600"},
    };
    for (const auto& c : cases) {
        std::string error;
        EXPECT_FALSE(sim::LoadMachineText(c.text, folder, "m.machine", &error)) << c.text;
        EXPECT_NE(error.find(c.expected), std::string::npos) << c.text << "\ngave: " << error;
        EXPECT_EQ(error.find('\n'), std::string::npos) << error;
    }
}

// A refused machine is left empty, not half loaded.
TEST(SimMachineFile, RefusedMachineIsEmpty)
{
    std::string error;
    ASSERT_FALSE(sim::LoadMachineText("letter C \\Device\\HarddiskVolume1\nbogus\n", "", "m", &error));
    char target[256];
    EXPECT_EQ(QueryDosDeviceA("C:", target, sizeof target), 0u);
    EXPECT_EQ(GetLastError(), 2u);
}

TEST(SimMachineFile, UnreadableFileIsRefusedWithLineZero)
{
    std::string folder = TemporaryFolder();
    std::string error;
    EXPECT_FALSE(sim::LoadMachineFile(folder + "/none.machine", &error));
    EXPECT_EQ(error, folder + "/none.machine:0: cannot read: No such file or directory");
    EXPECT_FALSE(sim::LoadMachineFile(folder, &error)) << "a folder is no machine file";
}

// Quotes, comments, tabs and Windows line ends, seen through the labels and
// targets the calls give back.
TEST(SimMachineFile, ReadsFieldsAsWritten)
{
    std::string folder = TemporaryFolder();
    WriteWholeFile(folder + "/m.machine",
              "disk 0 signature 1 # a comment after a field\r\n"
              "\tvolume V1\tdisk 0 fs NTFS label \"100% %s  two\tspaces\"\r\n"
              "volume V2 disk 0 fs \"\" label a#b\n"
              "volume V3 disk 0 fs FAT32 label \"# not a comment\"\n"
              "volume V4 disk 0 fs NTFS label \"\" #\"x\n"
              "letter C \\Device\\HarddiskVolume1 V1\n"
              "letter D \"\\Device\\Two Words\" V2\n"
              "letter E \\Device\\HarddiskVolume3 V3\n"
              "letter F \\\\?\\odd\\\\ V4   \n");
    std::string error;
    ASSERT_TRUE(sim::LoadMachineFile(folder + "/m.machine", &error)) << error;
    const struct {
        const char* root;
        const char* label;
        const char* fileSystem;
        const char* target;
    } cases[] = {
        {.root = "C:\\",
         .label = "100% %s  two\tspaces",
         .fileSystem = "NTFS",
         .target = "\\Device\\HarddiskVolume1"},
        {.root = "D:\\", .label = "a#b", .fileSystem = "", .target = "\\Device\\Two Words"},
        {.root = "E:\\", .label = "# not a comment", .fileSystem = "FAT32", .target = "\\Device\\HarddiskVolume3"},
        {.root = "F:\\", .label = "", .fileSystem = "NTFS", .target = "\\\\?\\odd\\\\"},
    };
    for (const auto& c : cases) {
        char label[64] = "?";
        char fileSystem[64] = "?";
        DWORD flags = 0;
        EXPECT_TRUE(GetVolumeInformationA(c.root, label, sizeof label, nullptr, nullptr, &flags, fileSystem,
                                          sizeof fileSystem))
            << c.root;
        EXPECT_STREQ(label, c.label) << c.root;
        EXPECT_STREQ(fileSystem, c.fileSystem) << c.root;
        char target[256];
        std::string drive = std::string(1, c.root[0]) + ":";
        EXPECT_GT(QueryDosDeviceA(drive.c_str(), target, sizeof target), 0u);
        EXPECT_STREQ(target, c.target);
    }
}

TEST(SimMachineFile, VersionDefaultsToWindows2000)
{
    const struct {
        const char* text;
        DWORD version;
    } cases[] = {
        {.text = "", .version = 0x0005},
        {.text = "version 4.0\n", .version = 0x0004},
        {.text = "version 5.1\n", .version = 0x0105},
        {.text = "version 10.0\n", .version = 0x000a},
        {.text = "version 255.255\n", .version = 0xffff},
    };
    for (const auto& c : cases) {
        LoadMachine(c.text);
        EXPECT_EQ(GetVersion() & 0xffff, c.version) << c.text;
    }
}

// The reference example of docs/machine-file.md, with its image beside it,
// loads and means what the document says.
TEST(SimMachineFile, DocumentedExampleLoads)
{
    std::string error;
    ASSERT_TRUE(sim::LoadMachineFile(TestDataPath("machines/sim/reference.machine"), &error)) << error;
    EXPECT_EQ(GetVersion() & 0xffff, 5u);
    EXPECT_EQ(simtest::VolumeNameOf("\\\\?\\Volume{11111111-0000-0000-0000-000000000002}\\"),
              "\\\\?\\Volume{11111111-0000-0000-0000-000000000002}\\");
    EXPECT_EQ(simtest::VolumeNameOf("C:\\mnt\\archive\\"),
              "\\\\?\\Volume{11111111-0000-0000-0000-000000000002}\\");
    EXPECT_EQ(simtest::OpenDevice("\\\\.\\H:"), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), 5u);
    uint32_t signature = 0;
    EXPECT_TRUE(sim::DiskSignature(1, &signature));
    EXPECT_EQ(signature, 0x0BADF00Du);
    for (const auto& disk : {std::pair<const char*, uint64_t>{"\\\\.\\physicaldrive3", DISK_ATTRIBUTE_OFFLINE},
                             {"\\\\.\\physicaldrive4", DISK_ATTRIBUTE_READ_ONLY}}) {
        HANDLE device = simtest::OpenDevice(disk.first);
        GET_DISK_ATTRIBUTES attributes{};
        DWORD returned = 0;
        EXPECT_TRUE(DeviceIoControl(device, IOCTL_DISK_GET_DISK_ATTRIBUTES, nullptr, 0, &attributes,
                                    sizeof attributes, &returned, nullptr));
        EXPECT_EQ(attributes.Attributes, disk.second) << disk.first;
        CloseHandle(device);
    }
    char directory[16] = "";
    EXPECT_EQ(GetSystemWindowsDirectoryA(directory, sizeof directory), 10u);
    EXPECT_STREQ(directory, "C:\\WINDOWS");
}

}  // namespace
