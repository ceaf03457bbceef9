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
    WriteFile(folder + "/short.img", std::string(511, '\x01'));
    WriteFile(folder + "/good.img", simtest::MbrImage(1, {}));
    WriteFile(folder + "/badcrc.img", simtest::ProtectiveGptHead(92));
    WriteFile(folder + "/bigheader.img", simtest::ProtectiveGptHead(600));
    const struct {
        const char* text;
        const char* expected;
    } cases[] = {
        {"# fine\n\ndsk 0 signature 1\n", "m.machine:3: unknown keyword \"dsk\""},
        {"Disk 0 signature 1\n", "m.machine:1: unknown keyword \"Disk\""},
        {"disk 0\n", "m.machine:1: missing signature, gpt, raw or image"},
        {"disk 0 signature\n", "m.machine:1: missing signature"},
        {"disk 0 signature 1 partitions\n", "m.machine:1: missing partition count"},
        {"disk 0 image\n", "m.machine:1: missing image path"},
        {"disk 0 signature 1\nvolume V\n", "m.machine:2: missing disk"},
        {"disk 0 signature 1\nvolume V disk 0 fs\n", "m.machine:2: missing value of fs"},
        {"letter C\n", "m.machine:1: missing device target"},
        {"mount\n", "m.machine:1: missing holding volume"},
        {"fail open \\\\.\\C:\n", "m.machine:1: missing error code"},
        {"version\n", "m.machine:1: missing version number"},
        {"letter c \\Device\\Floppy0\n", "m.machine:1: drive letter \"c\" is not one of A-Z"},
        {"letter CD \\Device\\Floppy0\n", "m.machine:1: drive letter \"CD\" is not one of A-Z"},
        {"letter 1 \\Device\\Floppy0\n", "m.machine:1: drive letter \"1\" is not one of A-Z"},
        {"disk x signature 1\n", "m.machine:1: bad disk number \"x\""},
        {"disk -1 signature 1\n", "m.machine:1: bad disk number \"-1\""},
        {"disk 0 signature 5D1A2B3G\n", "m.machine:1: bad signature \"5D1A2B3G\""},
        {"disk 0 signature 0x1\n", "m.machine:1: bad signature \"0x1\""},
        {"disk 0 signature 123456789\n", "m.machine:1: bad signature \"123456789\""},
        {"disk 0 signature 1 partitions 4097\n", "m.machine:1: bad partition count \"4097\""},
        {"disk 0 signature 1 sectors 4\n", "m.machine:1: unexpected field \"sectors\""},
        {"disk 0 floppy 1\n", "m.machine:1: unknown disk field \"floppy\""},
        {"fail open X 4294967296\n", "m.machine:1: bad error code \"4294967296\""},
        {"fail open X -1\n", "m.machine:1: bad error code \"-1\""},
        {"fail read X 5\n", "m.machine:1: unknown fail operation \"read\""},
        {"version 5\n", "m.machine:1: bad version \"5\""},
        {"version 5.256\n", "m.machine:1: bad version \"5.256\""},
        {"version 5.0\nversion 4.0\n", "m.machine:2: version is defined twice"},
        {"disk 0 signature 1\nvolume V disk 0 label \"MY DATA\n", "m.machine:2: unclosed quote"},
        {"disk 0 signature 1\nvolume V disk 0 label \"A\"B\n", "m.machine:2: text right after a closing quote"},
        {"disk 0 signature 1\nvolume V disk 0 size 4\n", "m.machine:2: unknown volume field \"size\""},
        {"disk 0 signature 1\nvolume V disk 0 fs NTFS fs FAT\n", "m.machine:2: fs is given twice"},
        {"disk 0 signature 1\nvolume V disk 0 guid {1234}\n", "m.machine:2: bad guid \"{1234}\""},
        {"disk 0 signature 1\nvolume \"\" disk 0\n", "m.machine:2: empty volume name"},
        {"disk 0 signature 1\nvolume V disk 1\n", "m.machine:2: disk 1 is not defined"},
        {"letter C \\Device\\HarddiskVolume1 V1\n", "m.machine:1: volume V1 is not defined"},
        {"disk 0 signature 1\nvolume V disk 0\nmount V mnt\\ W\n", "m.machine:3: volume W is not defined"},
        {"disk 0 signature 1\nvolume V disk 0\nmount W mnt\\ V\n", "m.machine:3: volume W is not defined"},
        {"disk 0 signature 1\nvolume V disk 0\nmount V mnt V\n", "m.machine:3: mount folder \"mnt\" must be"},
        {"disk 0 signature 1\nvolume V disk 0\nmount V \\mnt\\ V\n", "m.machine:3: mount folder \"\\mnt\\\""},
        {"fail open X 5 extra\n", "m.machine:1: unexpected field \"extra\""},
        {"disk 0 signature 1\ndisk 0 signature 2\n", "m.machine:2: disk 0 is defined twice"},
        {"disk 0 signature 1\nvolume V disk 0\nvolume V disk 0\n", "m.machine:3: volume V is defined twice"},
        {"letter A \\Device\\Floppy0\nletter A \\Device\\Floppy1\n", "m.machine:2: letter A is defined twice"},
        {"disk 0 signature 1\nvolume V disk 0\nvolume W disk 0\nmount V mnt\\ W\nmount V MNT\\ V\n",
         "m.machine:5: mount folder MNT\\ is defined twice"},
        {"disk 0 signature 1\n"
         "volume V disk 0 guid {11111111-0000-0000-0000-000000000002}\n"
         "volume W disk 0 guid {11111111-0000-0000-0000-000000000002}\n",
         "m.machine:3: guid of volume W is already the guid of volume V"},
        {"fail open \\\\.\\C: 5\nfail open \\\\.\\c: 21\n", "m.machine:2: fail open \\\\.\\c: is defined twice"},
        {"disk 0 image missing.img\n", "m.machine:1: image missing.img cannot be read"},
        {"disk 0 image short.img\n", "m.machine:1: image short.img is shorter than one 512-byte sector"},
        {"disk 0 image good.img partitions 64\n", "m.machine:1: unexpected field \"partitions\""},
        {"disk 0 signature 1 size 5X\n", "m.machine:1: bad size \"5X\""},
        {"disk 0 signature 1 size 5k\n", "m.machine:1: bad size \"5k\""},
        {"disk 0 raw size G\n", "m.machine:1: bad size \"G\""},
        {"disk 0 raw size -1\n", "m.machine:1: bad size \"-1\""},
        {"disk 0 raw size 8388608T\n", "m.machine:1: bad size \"8388608T\""},
        {"disk 0 raw size\n", "m.machine:1: missing size"},
        {"disk 0 signature 1 size 1G size 2G\n", "m.machine:1: size is given twice"},
        {"disk 0 signature 1 partitions 4 partitions 4\n", "m.machine:1: partitions is given twice"},
        {"disk 0 signature 1 offlne\n", "m.machine:1: unexpected field \"offlne\""},
        {"disk 0 raw Offline\n", "m.machine:1: unexpected field \"Offline\""},
        {"disk 0 signature 1 offline readonly offline\n", "m.machine:1: offline is given twice"},
        {"disk 0 signature 1 readonly size 1G\n", "m.machine:1: size must come before offline and readonly"},
        {"disk 0 gpt\n", "m.machine:1: missing disk GUID"},
        {"disk 0 gpt {1234}\n", "m.machine:1: bad disk GUID \"{1234}\""},
        {"disk 0 gpt 1B2C3D4E-0000-4000-8000-00000000AAAA\n", "m.machine:1: bad disk GUID \"1B2C3D4E-"},
        {"disk 0 gpt {1B2C3D4E-0000-4000-8000-00000000AAAG}\n", "m.machine:1: bad disk GUID"},
        {"disk 0 gpt {1B2C3D4E-0000-4000-8000-00000000AAAA} partitions 4\n",
         "m.machine:1: unexpected field \"partitions\""},
        {"disk 0 raw 7\n", "m.machine:1: unexpected field \"7\""},
        {"disk 0 image good.img size 1G\n", "m.machine:1: unexpected field \"size\""},
        {"disk 0 image good.img readonly readonly\n", "m.machine:1: readonly is given twice"},
        {"disk 0 image badcrc.img\n", "m.machine:1: image badcrc.img has a GPT header whose CRC32 is wrong"},
        {"disk 0 image bigheader.img\n", "m.machine:1: image bigheader.img has a GPT header size of 600"},
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
    WriteFile(folder + "/m.machine",
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
        {"C:\\", "100% %s  two\tspaces", "NTFS", "\\Device\\HarddiskVolume1"},
        {"D:\\", "a#b", "", "\\Device\\Two Words"},
        {"E:\\", "# not a comment", "FAT32", "\\Device\\HarddiskVolume3"},
        {"F:\\", "", "NTFS", "\\\\?\\odd\\\\"},
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
        {"", 0x0005},
        {"version 4.0\n", 0x0004},
        {"version 5.1\n", 0x0105},
        {"version 10.0\n", 0x000a},
        {"version 255.255\n", 0xffff},
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
}

}  // namespace
