// "-ds" with one platform call made to fail in the middle of a run, where a
// machine file can't name the call.
#include <ostream>
#include <string>

#include <gtest/gtest.h>

#include "platform/sim/sim.h"
#include "support/report_support.h"
#include "support/runs.h"

namespace {

// C: holds the volume M in three folders; D: follows.
const std::string kMachine =
    "disk 0 signature 1\ndisk 1 signature 2\n"
    "volume ROOT disk 0 fs NTFS label ROOT guid {00000000-0000-0000-0000-0000000000aa}\n"
    "volume M disk 1 fs NTFS label M guid {00000000-0000-0000-0000-0000000000bb}\n"
    "volume DV disk 0 fs NTFS label DV\n"
    "letter C \\Device\\HarddiskVolume1 ROOT\n"
    "letter D \\Device\\HarddiskVolume2 DV\n"
    "mount ROOT a\\ M\nmount ROOT b\\ M\nmount ROOT c\\ M\n";
const std::string kRootVolume = "\\\\?\\Volume{00000000-0000-0000-0000-0000000000aa}\\";
const std::string kMountedDevice = "\\\\?\\Volume{00000000-0000-0000-0000-0000000000bb}";

const std::string kRootLine = "C:\tphysicaldrive0\tSignature = 1\tVolume Name = ROOT.\n";
const std::string kDLine = "D:\tphysicaldrive0\tSignature = 1\tVolume Name = DV.\n";

std::string MountLine(const char* folder)
{
    return std::string("  C:\\") + folder + "\\ \tphysicaldrive1\tSignature = 2.\tVolume Name = M.\n";
}

// Runs "-ds" once to find the call, then again with that call failing.
CommandRun RunWithFailedCall(const std::string& call, const std::string& after, uint32_t code)
{
    LoadMachine(kMachine);
    RunInProcess({"-ds"});
    long number = CallNumber(call, after);
    EXPECT_GT(number, 0) << "no call " << call;
    LoadMachine(kMachine);
    sim::FailNthCall(number, code);
    return RunInProcess({"-ds"});
}

// An enumeration that fails after its first mount point ends there, without
// a message, and is still closed.
TEST(ReportEnumeration, FailedNextEndsTheVolumesMountPoints)
{
    auto run = RunWithFailedCall("FindNextVolumeMountPointA", "", 5);
    EXPECT_EQ(run.result, 0);
    EXPECT_EQ(run.output, kRootLine + MountLine("a") + kDLine);
}

// A failure whose last-error code reads 0 is reported with 31, never as 0,
// wherever the report takes a code.
struct ZeroCodeCase {
    const char* name;
    std::string call;
    std::string after;
    std::string expected;
};

const std::string kGenFailure = " Error 31: ERROR_GEN_FAILURE";
const std::string kNoDeviceInformation = "\tDISPLAY SIGNATURE: Could not get device information: ";
const std::string kLaterMounts = MountLine("b") + MountLine("c") + kDLine;

const ZeroCodeCase kZeroCodeCases[] = {
    {.name = "LetterOpen",
     .call = "CreateFileA \\\\.\\C:",
     .after = "",
     .expected = "C:Error opening \\\\.\\C:. Error: 31: " + kGenFailure + "\n" + kDLine},
    {.name = "LetterDeviceNumber",
     .call = "DeviceIoControl 0x002d1080",
     .after = "CreateFileA \\\\.\\C:",
     .expected = "ERROR: DISPLAY SIGNATURE: Could not get device number: " + kGenFailure + "\n" +
                 "C:\tphysicaldrive ERR\tSignature = 1\tVolume Name = ROOT.\n" + MountLine("a") + kLaterMounts},
    {.name = "LetterLayout",
     .call = "DeviceIoControl 0x0007400c",
     .after = "CreateFileA \\\\.\\C:",
     .expected = "C:\tphysicaldrive0" + kNoDeviceInformation + kGenFailure + "\n" + kDLine},
    {.name = "MountPointLookup",
     .call = "GetVolumeNameForVolumeMountPointA " + kRootVolume + "a\\",
     .after = "",
     .expected = kRootLine + "GetVolumeNameForVolumeMountPoint Failed: " + kGenFailure + "\n" + kLaterMounts},
    {.name = "MountedOpen",
     .call = "CreateFileA " + kMountedDevice,
     .after = "",
     .expected = kRootLine + "  C:\\a\\ Error opening C:\\. Error: 31: " + kGenFailure + "\n" + kLaterMounts},
    {.name = "MountedLayout",
     .call = "DeviceIoControl 0x0007400c",
     .after = "CreateFileA " + kMountedDevice,
     .expected = kRootLine + "  C:\\a\\ \tphysicaldrive1" + kNoDeviceInformation + kGenFailure + "\n" + kLaterMounts},
};

void PrintTo(const ZeroCodeCase& testCase, std::ostream* out)
{
    *out << testCase.name;
}

class ReportZeroCode : public testing::TestWithParam<ZeroCodeCase> {};

TEST_P(ReportZeroCode, FailureIsNamedAsGeneralFailure)
{
    auto run = RunWithFailedCall(GetParam().call, GetParam().after, 0);
    EXPECT_EQ(run.result, 0);
    EXPECT_EQ(run.output, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Calls, ReportZeroCode, testing::ValuesIn(kZeroCodeCases),
                         [](const testing::TestParamInfo<ZeroCodeCase>& testCase) {
                             return std::string(testCase.param.name);
                         });

}  // namespace
