// Injected faults (fail lines and FailNthCall), the last-error code, and the
// accounting of what the simulator hands out and takes back.
#include <gtest/gtest.h>

#include <stdio.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/sim/sim.h"
#include "support/sim_fixture.h"
#include "support/runs.h"

namespace {

using simtest::OpenDevice;

const std::string kGuidC = "\\\\?\\Volume{00000000-0000-0000-0000-0000000000c0}\\";
const std::string kGuidD = "\\\\?\\Volume{00000000-0000-0000-0000-0000000000d0}\\";

const std::string kMachine =
    "disk 0 signature 1\n"
    "disk 1 signature 2\n"
    "volume VC disk 0 fs NTFS label SYSTEM guid {00000000-0000-0000-0000-0000000000c0}\n"
    "volume VD disk 1 fs NTFS label DATA guid {00000000-0000-0000-0000-0000000000d0}\n"
    "volume VE disk 1 fs NTFS label DEEP\n"
    "letter C \\Device\\HarddiskVolume1 VC\n"
    "letter D \\Device\\HarddiskVolume2 VD\n"
    "mount VC mnt\\ VD\n"
    "mount VD sub\\ VE\n";

// A control code sent on a freshly opened device; the handle is closed
// before returning, which leaves the last-error code alone.
bool Control(const std::string& path, DWORD controlCode, DWORD signature = 0)
{
    HANDLE device = OpenDevice(path);
    EXPECT_NE(device, INVALID_HANDLE_VALUE) << path;
    simtest::LayoutBuffer layout;
    DWORD returned = 0;
    bool ok = false;
    if (controlCode == IOCTL_DISK_SET_DRIVE_LAYOUT) {
        ok = simtest::ReadLayout(device, &layout, 2048, &returned) &&
             (layout.SetSignature(signature), simtest::WriteLayout(device, &layout, 2048));
    } else {
        ok = DeviceIoControl(device, controlCode, nullptr, 0, layout.bytes, 2048, &returned, nullptr);
    }
    CloseHandle(device);
    return ok;
}

bool Opens(const std::string& path)
{
    HANDLE device = OpenDevice(path);
    return device != INVALID_HANDLE_VALUE && CloseHandle(device);
}

bool HasVolumeInformation(const std::string& root)
{
    char label[64];
    char fileSystem[64];
    return GetVolumeInformationA(root.c_str(), label, sizeof label, nullptr, nullptr, nullptr, fileSystem,
                                 sizeof fileSystem);
}

bool EnumerationStarts(const std::string& volume)
{
    char mount[64];
    HANDLE search = FindFirstVolumeMountPointA(volume.c_str(), mount, sizeof mount);
    return search != INVALID_HANDLE_VALUE && FindVolumeMountPointClose(search);
}

bool Loads(const char* module)
{
    HMODULE loaded = LoadLibraryA(module);
    return loaded != nullptr && FreeLibrary(loaded);
}

bool FindsProcedure(const char* name)
{
    HMODULE kernel = LoadLibraryA("KERNEL32.dll");
    bool found = GetProcAddress(kernel, name) != nullptr;
    FreeLibrary(kernel);
    return found;
}

bool PipeOpens(const char* command)
{
    FILE* pipe = _popen(command, "rt");
    return pipe != nullptr && _pclose(pipe) == 0;
}

// Each fail line fails its call on its name, in any case of A-Z, with its
// code (0 included), and leaves the same call on another name alone.
TEST(SimFaults, FailLineFailsItsCallOnItsNameOnly)
{
    const struct {
        std::string line;
        std::function<bool()> hit;
        std::function<bool()> miss;  // null: no other name succeeds
        DWORD code;
    } cases[] = {
        {"fail open \\\\.\\c: 5", [] { return Opens("\\\\.\\C:"); }, [] { return Opens("\\\\.\\D:"); }, 5},
        {"fail open \\\\.\\C: 0", [] { return Opens("\\\\.\\C:"); }, [] { return Opens("\\\\.\\D:"); }, 0},
        {"fail device-number \\\\.\\C: 1", [] { return Control("\\\\.\\C:", IOCTL_STORAGE_GET_DEVICE_NUMBER); },
         [] { return Control("\\\\.\\D:", IOCTL_STORAGE_GET_DEVICE_NUMBER); }, 1},
        {"fail get-layout \\\\.\\physicaldrive0 21",
         [] { return Control("\\\\.\\PhysicalDrive0", IOCTL_DISK_GET_DRIVE_LAYOUT); },
         [] { return Control("\\\\.\\C:", IOCTL_DISK_GET_DRIVE_LAYOUT); }, 21},
        {"fail set-layout \\\\.\\physicaldrive0 19",
         [] { return Control("\\\\.\\physicaldrive0", IOCTL_DISK_SET_DRIVE_LAYOUT, 0x55); },
         [] { return Control("\\\\.\\physicaldrive1", IOCTL_DISK_SET_DRIVE_LAYOUT, 0x66); }, 19},
        {"fail volume-info c:\\ 21", [] { return HasVolumeInformation("C:\\"); },
         [] { return HasVolumeInformation(kGuidC); }, 21},
        {"fail volume-name " + kGuidC + "mnt\\ 87", [] { return !simtest::VolumeNameOf(kGuidC + "MNT\\").empty(); },
         [] { return !simtest::VolumeNameOf("C:\\mnt\\").empty(); }, 87},
        {"fail mount-enum " + kGuidC + " 5", [] { return EnumerationStarts(kGuidC); },
         [] { return EnumerationStarts(kGuidD); }, 5},
        {"fail load-library KERNEL32.dll 8", [] { return Loads("kernel32.DLL"); }, [] { return Loads("kernel32"); },
         8},
        {"fail get-proc-address GetVolumeInformationA 1", [] { return FindsProcedure("GetVolumeInformationA"); },
         nullptr, 1},
        {"fail popen \"exit 0\" 4", [] { return PipeOpens("EXIT 0"); }, [] { return PipeOpens("exit  0"); }, 4},
    };
    for (const auto& c : cases) {
        LoadMachine(kMachine + c.line + "\n");
        EXPECT_FALSE(Opens("\\\\.\\Q:"));  // last-error 2 beforehand, so that code 0 shows
        EXPECT_FALSE(c.hit()) << c.line;
        EXPECT_EQ(GetLastError(), c.code) << c.line;
        if (c.miss) {
            EXPECT_TRUE(c.miss()) << c.line;
        }
        EXPECT_TRUE(sim::NothingOutstanding()) << c.line;
    }
    uint32_t signature = 0;
    EXPECT_TRUE(sim::DiskSignature(0, &signature));
    EXPECT_EQ(signature, 1u) << "the failed layout write left disk 0 alone";
}

// The four calls of one drive letter; FailNthCall fails exactly the k-th,
// whatever its code, and a failed close still closes.
TEST(SimFaults, FailNthCallFailsExactlyThatCall)
{
    for (uint32_t code : {0u, 31u, 0xFFFFFFFFu}) {
        for (long k = 1; k <= 4; ++k) {
            LoadMachine(kMachine);
            sim::FailNthCall(k, code);
            char target[256];
            EXPECT_EQ(QueryDosDeviceA("C:", target, sizeof target) == 0, k == 1) << k;
            HANDLE device = OpenDevice("\\\\.\\C:");
            EXPECT_EQ(device == INVALID_HANDLE_VALUE, k == 2) << k;
            if (k == 2) {
                EXPECT_EQ(GetLastError(), code);
                continue;
            }
            STORAGE_DEVICE_NUMBER number;
            DWORD returned = 0;
            EXPECT_EQ(DeviceIoControl(device, IOCTL_STORAGE_GET_DEVICE_NUMBER, nullptr, 0, &number, sizeof number,
                                      &returned, nullptr) == 0,
                      k == 3)
                << k;
            EXPECT_EQ(CloseHandle(device) == 0, k == 4) << k;
            EXPECT_EQ(GetLastError(), k == 1 || k >= 3 ? code : 0) << k;
            EXPECT_TRUE(sim::NothingOutstanding()) << k;
            EXPECT_FALSE(CloseHandle(device)) << "closed even when the close was made to fail";
        }
    }
}

TEST(SimFaults, FailNthCallFiresOnceAndCanBeTurnedOff)
{
    LoadMachine(kMachine);
    sim::FailNthCall(1, 5);
    sim::FailNthCall(0, 5);
    EXPECT_TRUE(Opens("\\\\.\\C:"));
    sim::FailNthCall(sim::CallCount() + 1, 5);
    EXPECT_FALSE(Opens("\\\\.\\C:"));
    EXPECT_TRUE(Opens("\\\\.\\C:"));
    sim::FailNthCall(sim::CallCount() + 1, 5);
    LoadMachine(kMachine);
    EXPECT_TRUE(Opens("\\\\.\\C:")) << "a new machine forgets the injected fault";
}

// Every release made to fail still releases; the resource is gone after.
TEST(SimFaults, FailedReleaseStillReleases)
{
    LoadMachine(kMachine);
    HMODULE module = LoadLibraryA("KERNEL32.dll");
    sim::FailNthCall(sim::CallCount() + 1, 7);
    EXPECT_FALSE(FreeLibrary(module));
    EXPECT_EQ(GetLastError(), 7u);
    EXPECT_EQ(GetProcAddress(module, "GetVolumeInformationA"), nullptr);

    char mount[64];
    HANDLE search = FindFirstVolumeMountPointA(kGuidC.c_str(), mount, sizeof mount);
    sim::FailNthCall(sim::CallCount() + 1, 7);
    EXPECT_FALSE(FindVolumeMountPointClose(search));
    EXPECT_FALSE(FindNextVolumeMountPointA(search, mount, sizeof mount));
    EXPECT_EQ(GetLastError(), 6u);

    FILE* pipe = _popen("exit 0", "r");
    ASSERT_NE(pipe, nullptr);
    sim::FailNthCall(sim::CallCount() + 1, 7);
    EXPECT_EQ(_pclose(pipe), -1);
    EXPECT_TRUE(sim::NothingOutstanding());
}

// As on Windows: a success leaves the last failure's code in place, and so
// does a close.
TEST(SimFaults, LastErrorIsTheLastFailuresCode)
{
    LoadMachine(kMachine);
    EXPECT_EQ(GetLastError(), 0u);
    EXPECT_FALSE(Opens("\\\\.\\Q:"));
    EXPECT_EQ(GetLastError(), 2u);
    char target[256];
    EXPECT_GT(QueryDosDeviceA("C:", target, sizeof target), 0u);
    HANDLE device = OpenDevice("\\\\.\\C:");
    EXPECT_TRUE(CloseHandle(device));
    EXPECT_EQ(GetLastError(), 2u);
    EXPECT_EQ(QueryDosDeviceA("C:", target, 3), 0u);
    EXPECT_EQ(GetLastError(), 122u);
}

TEST(SimFaults, CountsWhatIsHandedOutAndTakenBack)
{
    LoadMachine(kMachine);
    std::vector<HANDLE> devices = {OpenDevice("\\\\.\\C:"), OpenDevice("\\\\.\\C:"), OpenDevice("\\\\.\\D:")};
    HMODULE module = LoadLibraryA("KERNEL32.dll");
    char mount[64];
    HANDLE search = FindFirstVolumeMountPointA(kGuidC.c_str(), mount, sizeof mount);
    FILE* pipe = _popen("exit 0", "r");
    sim::Outstanding held = sim::CountOutstanding();
    EXPECT_EQ(held.handles, 3);
    EXPECT_EQ(held.modules, 1);
    EXPECT_EQ(held.enumerations, 1);
    EXPECT_EQ(held.pipes, 1);
    EXPECT_FALSE(sim::NothingOutstanding());
    for (HANDLE device : devices) {
        EXPECT_NE(device, nullptr);
        EXPECT_NE(device, INVALID_HANDLE_VALUE);
        EXPECT_NE(device, search);
        EXPECT_EQ(std::count(devices.begin(), devices.end(), device), 1) << "each handle is its own";
        EXPECT_TRUE(CloseHandle(device));
    }
    EXPECT_TRUE(FreeLibrary(module));
    EXPECT_TRUE(FindVolumeMountPointClose(search));
    EXPECT_EQ(_pclose(pipe), 0);
    EXPECT_TRUE(sim::NothingOutstanding());
}

// A new machine starts a new run: no calls, no last error, and what the old
// run held is gone and can't be used.
TEST(SimFaults, LoadingAMachineStartsANewRun)
{
    LoadMachine(kMachine);
    HANDLE device = OpenDevice("\\\\.\\C:");
    EXPECT_FALSE(Opens("\\\\.\\Q:"));
    LoadMachine(kMachine);
    EXPECT_EQ(sim::CallCount(), 0);
    EXPECT_TRUE(sim::CallLog().empty());
    EXPECT_EQ(GetLastError(), 0u);
    EXPECT_TRUE(sim::NothingOutstanding());
    EXPECT_FALSE(CloseHandle(device));
    EXPECT_EQ(GetLastError(), 6u);
}

// GetVersion and GetLastError are not counted; every other call is logged
// with the name or control code it was given.
TEST(SimFaults, CallLogNamesEachCall)
{
    LoadMachine(kMachine);
    GetVersion();
    char target[256];
    QueryDosDeviceA("C:", target, sizeof target);
    GetLastError();
    EXPECT_TRUE(Control("\\\\.\\C:", IOCTL_DISK_GET_DRIVE_LAYOUT));
    EXPECT_TRUE(EnumerationStarts(kGuidD));
    EXPECT_TRUE(FindsProcedure("GetVolumeInformationA"));
    const std::vector<std::string> expected = {
        "QueryDosDeviceA C:",
        "CreateFileA \\\\.\\C:",
        "DeviceIoControl 0x0007400c",
        "CloseHandle \\\\.\\C:",
        "FindFirstVolumeMountPointA " + kGuidD,
        "FindVolumeMountPointClose " + kGuidD,
        "LoadLibraryA KERNEL32.dll",
        "GetProcAddress GetVolumeInformationA",
        "FreeLibrary KERNEL32.dll",
    };
    EXPECT_EQ(sim::CallLog(), expected);
    EXPECT_EQ(sim::CallCount(), static_cast<long>(expected.size()));
}

}  // namespace
