// The volume-side calls against a small machine with a chain of mount
// points: volume information, volume names, mount-point enumeration, volume
// GUID paths, and the library calls that hand out GetVolumeInformationA.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/sim/sim.h"
#include "support/sim_fixture.h"
#include "support/runs.h"

namespace {

const std::string kGuidC = "\\\\?\\Volume{00000000-0000-0000-0000-0000000000c0}\\";
const std::string kGuidA = "\\\\?\\Volume{00000000-0000-0000-0000-0000000000a0}\\";
const std::string kGuidB = "\\\\?\\Volume{00000000-0000-0000-0000-0000000000b0}\\";
const std::string kGuidX = "\\\\?\\Volume{00000000-0000-0000-0000-0000000000f0}\\";

// C holds three mount points, in an order that is not sorted; ARCHIVE holds
// one; X has no file system.
const char kMachine[] =
    "disk 0 signature 1\n"
    "disk 1 signature 2\n"
    "volume VC disk 0 fs NTFS label SYSTEM guid {00000000-0000-0000-0000-0000000000c0}\n"
    "volume VA disk 1 fs NTFS label ARCHIVE guid {00000000-0000-0000-0000-0000000000a0}\n"
    "volume VB disk 1 fs FAT32 label BACKUP guid {00000000-0000-0000-0000-0000000000b0}\n"
    "volume VX disk 1 guid {00000000-0000-0000-0000-0000000000f0}\n"
    "volume VS disk 0 fs NTFS label \"\"\n"
    "letter A \\Device\\Floppy0\n"
    "letter C \\Device\\HarddiskVolume1 VC\n"
    "letter S \\Device\\HarddiskVolume5 VS\n"
    "letter X \\Device\\HarddiskVolume9 VX\n"
    "mount VC mnt\\archive\\ VA\n"
    "mount VC Zeta\\ VX\n"
    "mount VC alpha\\ VS\n"
    "mount VA old\\ VB\n";

class SimVolumeCalls : public testing::Test {
protected:
    void SetUp() override { LoadMachine(kMachine); }
    void TearDown() override { EXPECT_TRUE(sim::NothingOutstanding()); }
};

TEST_F(SimVolumeCalls, VolumeInformationOfRootsAndMountedFolders)
{
    const struct {
        std::string path;
        const char* label;  // null: the call fails
        const char* fileSystem;
        DWORD error;
    } cases[] = {
        {.path = "C:\\", .label = "SYSTEM", .fileSystem = "NTFS", .error = 0},
        {.path = "c:\\", .label = "SYSTEM", .fileSystem = "NTFS", .error = 0},
        {.path = kGuidC, .label = "SYSTEM", .fileSystem = "NTFS", .error = 0},
        {.path = kGuidA, .label = "ARCHIVE", .fileSystem = "NTFS", .error = 0},
        {.path = "C:\\mnt\\archive\\", .label = "ARCHIVE", .fileSystem = "NTFS", .error = 0},
        {.path = "C:\\mnt\\archive\\old\\", .label = "BACKUP", .fileSystem = "FAT32", .error = 0},
        {.path = kGuidC + "mnt\\archive\\", .label = "ARCHIVE", .fileSystem = "NTFS", .error = 0},
        {.path = "S:\\", .label = "", .fileSystem = "NTFS", .error = 0},
        {.path = "X:\\", .label = nullptr, .fileSystem = nullptr, .error = 1005},
        {.path = kGuidX, .label = nullptr, .fileSystem = nullptr, .error = 1005},
        {.path = "A:\\", .label = nullptr, .fileSystem = nullptr, .error = 21},
        {.path = "Q:\\", .label = nullptr, .fileSystem = nullptr, .error = 3},
        {.path = "C:", .label = nullptr, .fileSystem = nullptr, .error = 3},
        {.path = "C:\\Windows\\", .label = nullptr, .fileSystem = nullptr, .error = 144},
    };
    for (const auto& c : cases) {
        char label[1024] = "kept";
        char fileSystem[1024] = "kept";
        DWORD flags = 0;
        BOOL ok = GetVolumeInformationA(c.path.c_str(), label, sizeof label, nullptr, nullptr, &flags, fileSystem,
                                        sizeof fileSystem);
        EXPECT_EQ(ok != 0, c.label != nullptr) << c.path;
        if (c.label != nullptr) {
            EXPECT_STREQ(label, c.label) << c.path;
            EXPECT_STREQ(fileSystem, c.fileSystem) << c.path;
        } else {
            EXPECT_EQ(GetLastError(), c.error) << c.path;
            EXPECT_STREQ(fileSystem, "kept") << c.path;
            EXPECT_STREQ(label, "kept") << c.path;
        }
    }
}

// SYSTEM needs 7 bytes and NTFS 5; a buffer too small gets nothing.
TEST_F(SimVolumeCalls, VolumeInformationNeverWritesPastItsBuffers)
{
    const struct {
        DWORD labelSize;
        DWORD fileSystemSize;
        bool ok;
    } cases[] = {
        {.labelSize = 7, .fileSystemSize = 5, .ok = true},
        {.labelSize = 6, .fileSystemSize = 5, .ok = false},
        {.labelSize = 7, .fileSystemSize = 4, .ok = false},
        {.labelSize = 0, .fileSystemSize = 5, .ok = false},
    };
    for (const auto& c : cases) {
        char label[16];
        char fileSystem[16];
        memset(label, 'x', sizeof label);
        memset(fileSystem, 'x', sizeof fileSystem);
        BOOL ok = GetVolumeInformationA("C:\\", label, c.labelSize, nullptr, nullptr, nullptr, fileSystem,
                                        c.fileSystemSize);
        EXPECT_EQ(ok != 0, c.ok) << c.labelSize << "/" << c.fileSystemSize;
        if (!c.ok) {
            EXPECT_EQ(GetLastError(), 24u);
        }
        EXPECT_EQ(label[ok ? 7 : 0], 'x');
        EXPECT_EQ(fileSystem[ok ? 5 : 0], 'x');
    }
    DWORD serial = 0;
    DWORD longest = 0;
    EXPECT_TRUE(GetVolumeInformationA("C:\\", nullptr, 0, &serial, &longest, nullptr, nullptr, 0));
    EXPECT_EQ(longest, 255u);
}

TEST_F(SimVolumeCalls, VolumeNameOfRootsAndMountPoints)
{
    const struct {
        std::string path;
        DWORD length;
        std::string name;  // empty: the call fails
        DWORD error;
    } cases[] = {
        {.path = "C:\\", .length = 1024, .name = kGuidC, .error = 0},
        {.path = "c:\\", .length = 1024, .name = kGuidC, .error = 0},
        {.path = kGuidC, .length = 1024, .name = kGuidC, .error = 0},
        {.path = kGuidC + "mnt\\archive\\", .length = 1024, .name = kGuidA, .error = 0},
        {.path = kGuidC + "MNT\\Archive\\", .length = 1024, .name = kGuidA, .error = 0},
        {.path = kGuidA + "old\\", .length = 1024, .name = kGuidB, .error = 0},
        {.path = "C:\\mnt\\archive\\old\\", .length = 1024, .name = kGuidB, .error = 0},
        {.path = "C:\\", .length = 50, .name = kGuidC, .error = 0},
        {.path = "C:\\", .length = 49, .name = "", .error = 122},
        {.path = kGuidC + "mnt\\", .length = 1024, .name = "", .error = 4390},
        {.path = kGuidC + "mnt\\archive", .length = 1024, .name = "", .error = 4390},
        {.path = "C:\\mnt\\archive\\new\\", .length = 1024, .name = "", .error = 4390},
        {.path = "Q:\\", .length = 1024, .name = "", .error = 2},
        {.path = "A:\\", .length = 1024, .name = "", .error = 2},
        {.path = "\\\\?\\Volume{12345678-0000-0000-0000-000000000000}\\", .length = 1024, .name = "", .error = 2},
    };
    for (const auto& c : cases) {
        char name[1024];
        memset(name, 'x', sizeof name);
        BOOL ok = GetVolumeNameForVolumeMountPointA(c.path.c_str(), name, c.length);
        EXPECT_EQ(ok != 0, !c.name.empty()) << c.path;
        if (ok) {
            EXPECT_EQ(std::string(name), c.name) << c.path;
        } else {
            EXPECT_EQ(GetLastError(), c.error) << c.path;
            EXPECT_EQ(name[0], 'x') << c.path;
        }
    }
}

std::vector<std::string> MountPointsOf(const std::string& volume)
{
    std::vector<std::string> found;
    char mount[1024];
    HANDLE search = FindFirstVolumeMountPointA(volume.c_str(), mount, sizeof mount);
    if (search == INVALID_HANDLE_VALUE) {
        return found;
    }
    do {
        found.push_back(mount);
    } while (found.size() < 100 && FindNextVolumeMountPointA(search, mount, sizeof mount));  // ends even if it doesn't
    EXPECT_EQ(GetLastError(), 18u);
    EXPECT_FALSE(FindNextVolumeMountPointA(search, mount, sizeof mount)) << "the end stays the end";
    EXPECT_TRUE(FindVolumeMountPointClose(search));
    return found;
}

TEST_F(SimVolumeCalls, MountPointsComeInMachineFileOrder)
{
    EXPECT_EQ(MountPointsOf(kGuidC), (std::vector<std::string>{"mnt\\archive\\", "Zeta\\", "alpha\\"}));
    EXPECT_EQ(MountPointsOf(kGuidA), (std::vector<std::string>{"old\\"}));
    const struct {
        std::string volume;
        DWORD error;
    } refusals[] = {
        {.volume = kGuidB, .error = 18},
        {.volume = "C:\\", .error = 2},
        {.volume = kGuidC.substr(0, 48), .error = 2},
        {.volume = "\\\\?\\Volume{12345678-0000-0000-0000-000000000000}\\", .error = 2},
    };
    for (const auto& c : refusals) {
        char mount[1024] = "kept";
        EXPECT_EQ(FindFirstVolumeMountPointA(c.volume.c_str(), mount, sizeof mount), INVALID_HANDLE_VALUE);
        EXPECT_EQ(GetLastError(), c.error) << c.volume;
        EXPECT_STREQ(mount, "kept");
    }
}

TEST_F(SimVolumeCalls, MountEnumerationWithSmallBuffersAndReleasedHandles)
{
    char mount[1024];
    memset(mount, 'x', sizeof mount);
    EXPECT_EQ(FindFirstVolumeMountPointA(kGuidC.c_str(), mount, 12), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), 234u);
    EXPECT_EQ(mount[0], 'x');
    EXPECT_EQ(sim::CountOutstanding().enumerations, 0);

    HANDLE outer = FindFirstVolumeMountPointA(kGuidC.c_str(), mount, 13);
    ASSERT_NE(outer, INVALID_HANDLE_VALUE);
    EXPECT_STREQ(mount, "mnt\\archive\\");
    HANDLE inner = FindFirstVolumeMountPointA(kGuidA.c_str(), mount, sizeof mount);
    ASSERT_NE(inner, INVALID_HANDLE_VALUE);
    EXPECT_NE(inner, outer);
    EXPECT_EQ(sim::CountOutstanding().enumerations, 2);
    EXPECT_FALSE(FindNextVolumeMountPointA(outer, mount, 5));
    EXPECT_EQ(GetLastError(), 234u);
    EXPECT_TRUE(FindNextVolumeMountPointA(outer, mount, 6)) << "a retry gets the same mount point";
    EXPECT_STREQ(mount, "Zeta\\");
    EXPECT_FALSE(CloseHandle(outer)) << "an enumeration is not a file handle";
    EXPECT_TRUE(FindVolumeMountPointClose(inner));
    EXPECT_TRUE(FindVolumeMountPointClose(outer));
    EXPECT_FALSE(FindNextVolumeMountPointA(outer, mount, sizeof mount));
    EXPECT_EQ(GetLastError(), 6u);
    EXPECT_FALSE(FindVolumeMountPointClose(outer));
    EXPECT_EQ(GetLastError(), 6u);
}

// Without a guid field a volume's name gives its GUID, the same in every run
// and on every platform; the letter and mount lookups agree on it.
TEST_F(SimVolumeCalls, DerivedVolumeGuidPathsAreStable)
{
    std::string derived = simtest::VolumeNameOf("S:\\");
    EXPECT_EQ(derived, "\\\\?\\Volume{093b6d07-b5cc-568e-3572-57cb043064df}\\");
    EXPECT_EQ(simtest::VolumeNameOf(kGuidC + "alpha\\"), derived);
    LoadMachine("disk 0 signature 1\nvolume VS disk 0\nvolume VT disk 0\n"
                "letter S \\Device\\HarddiskVolume1 VS\nletter T \\Device\\HarddiskVolume2 VT\n");
    EXPECT_EQ(simtest::VolumeNameOf("S:\\"), derived) << "the name alone decides";
    EXPECT_NE(simtest::VolumeNameOf("T:\\"), derived);
    EXPECT_EQ(simtest::VolumeNameOf("T:\\").size(), 49u);
}

using GetVolumeInformationFunction = BOOL(WINAPI*)(LPCSTR, LPSTR, DWORD, LPDWORD, LPDWORD, LPDWORD, LPSTR, DWORD);

TEST_F(SimVolumeCalls, LibraryHandsOutACallableGetVolumeInformation)
{
    const struct {
        const char* module;
        bool loads;
    } modules[] = {
        {.module = "KERNEL32.dll", .loads = true},      {.module = "kernel32", .loads = true},
        {.module = "Kernel32.DLL", .loads = true},      {.module = "user32.dll", .loads = false},
        {.module = "kernel32.dll.bak", .loads = false}, {.module = "", .loads = false},
    };
    for (const auto& c : modules) {
        HMODULE module = LoadLibraryA(c.module);
        EXPECT_EQ(module != nullptr, c.loads) << c.module;
        if (module == nullptr) {
            EXPECT_EQ(GetLastError(), 126u) << c.module;
            continue;
        }
        for (const char* missing : {"GetVolumeInformationW", "getvolumeinformationa", "CreateFileA"}) {
            EXPECT_EQ(GetProcAddress(module, missing), nullptr) << missing;
            EXPECT_EQ(GetLastError(), 127u) << missing;
        }
        EXPECT_EQ(GetProcAddress(module, reinterpret_cast<LPCSTR>(1)), nullptr) << "ordinal 1";
        FARPROC found = GetProcAddress(module, "GetVolumeInformationA");
        ASSERT_NE(found, nullptr);
        auto entry = reinterpret_cast<GetVolumeInformationFunction>(reinterpret_cast<void*>(found));
        char label[64] = "";
        char fileSystem[64] = "";
        DWORD flags = 0;
        EXPECT_TRUE(entry("C:\\", label, sizeof label, nullptr, nullptr, &flags, fileSystem, sizeof fileSystem));
        EXPECT_STREQ(label, "SYSTEM");
        EXPECT_EQ(sim::CallLog().back(), "GetVolumeInformationA C:\\") << "a call through the entry counts";
        EXPECT_TRUE(FreeLibrary(module));
        EXPECT_EQ(GetProcAddress(module, "GetVolumeInformationA"), nullptr) << "a freed module is gone";
        EXPECT_EQ(GetLastError(), 6u);
        EXPECT_FALSE(FreeLibrary(module));
    }
}

}  // namespace
