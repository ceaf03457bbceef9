// "-us" and "-wg" end to end on the simulator: every outcome as output and
// exit status, a collision fixed and gone from "-ld", GPT and MBR images
// changed in exactly the identifier's bytes (checked by sgdisk and sfdisk),
// and every platform call failing in turn.
#include <gtest/gtest.h>

#include <stdio.h>

#include <set>
#include <string>
#include <vector>

#include "platform/sim/sim.h"
#include "support/runs.h"
#include "support/sim_fixture.h"

namespace {

const char kOnline[] = "An offline disk must now be brought online: Disk Management, or diskpart's \"online disk\".\n";
const char kRepair[] =
    "The boot configuration names this disk by its identifier; repair it with:\n"
    "  bcdedit /set {bootmgr} device partition=C:\n"
    "  bcdedit /set {default} device partition=C:\n"
    "  bcdedit /set {default} osdevice partition=C:\n";

// Disks 0 and 3 share a signature (3 is offline), 4 and 5 a disk GUID; C: is
// on disk 0.
const std::string kMachine =
    "disk 0 signature 5D1A2B3C\n"
    "disk 3 signature 5D1A2B3C offline\n"
    "disk 4 gpt {1B2C3D4E-0000-4000-8000-00000000AAAA}\n"
    "disk 5 gpt {1B2C3D4E-0000-4000-8000-00000000AAAA} offline\n"
    "disk 6 raw\n"
    "volume V1 disk 0 fs NTFS\n"
    "letter C \\Device\\HarddiskVolume1 V1\n";

TEST(Identifier, EveryOutcome)
{
    const std::string refusedBoot =
        std::string("UNIQUE IDENTIFIER refused: physicaldrive0 holds the Windows directory; a new identifier makes "
                    "its next boot fail with 0xc000000e.\n") +
        kRepair + "Nothing was written; add force to change it and then run those commands.\n";
    const std::string badGuid = " is not a disk GUID (32 hexadecimal digits as XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX, "
                                "not all zero).\n";
    const struct {
        const char* what;
        std::string extra;  // machine lines after kMachine
        std::vector<std::string> arguments;
        std::string output;
        int status;
    } cases[] = {
        {"no device", "", {"-us"}, "UNIQUE IDENTIFIER failed: no device given (physicaldriveN).\n", 87},
        {"unknown operand", "", {"-us", "physicaldrive3", "forced"},
         "UNIQUE IDENTIFIER failed: unknown operand \"forced\" (only force may follow the device).\n", 87},
        {"device too long", "", {"-us", std::string(300, 'x')},
         "UNIQUE IDENTIFIER failed: the device name is too long: Error 123: ERROR_INVALID_NAME\n", 123},
        {"no such disk", "", {"-us", "physicaldrive9"},
         "UNIQUE IDENTIFIER failed: could not open the disk: Error 2: ERROR_FILE_NOT_FOUND\n", 2},
        {"collision fixed on the offline disk", "random 8E4F1A07\n", {"-us", "physicaldrive3"},
         std::string("physicaldrive3: signature 5D1A2B3C -> 8E4F1A07 (verified)\n") + kOnline, 0},
        {"a clash drawn first is skipped", "random 5D1A2B3C 0 8E4F1A07\n", {"-us", "physicaldrive3"},
         std::string("physicaldrive3: signature 5D1A2B3C -> 8E4F1A07 (verified)\n") + kOnline, 0},
        {"the random source runs out", "random 5D1A2B3C\n", {"-us", "physicaldrive3"},
         "UNIQUE IDENTIFIER failed: the random source failed: Error 31: ERROR_GEN_FAILURE\n", 31},
        {"GPT: a version 4 GUID", "random 5D1A2B3C 8E4F1A07 11111111 22222222\n", {"-us", "physicaldrive5"},
         std::string("physicaldrive5: disk GUID {1B2C3D4E-0000-4000-8000-00000000AAAA} -> "
                     "{5D1A2B3C-1A07-4E4F-9111-111122222222} (verified)\n") +
             kOnline,
         0},
        {"RAW refused", "random 1\n", {"-us", "physicaldrive6"},
         "UNIQUE IDENTIFIER refused: physicaldrive6 has no partition table to hold an identifier (RAW).\n", 1},
        {"boot disk refused", "random 1\n", {"-us", "physicaldrive0"}, refusedBoot, 5},
        {"boot disk with force", "random 1\n", {"-us", "physicaldrive0", "force"},
         std::string("physicaldrive0: signature 5D1A2B3C -> 00000001 (verified)\n") + kOnline + kRepair, 0},
        {"system disk unknown", "system none\nrandom 1\n", {"-us", "physicaldrive3"},
         "UNIQUE IDENTIFIER refused: the disk Windows boots from can't be determined: Error 2: "
         "ERROR_FILE_NOT_FOUND\nNothing was written; add force to change the disk anyway.\n",
         2},
        {"system disk unknown, force", "system none\nrandom 1\n", {"-us", "physicaldrive3", "force"},
         std::string("physicaldrive3: signature 5D1A2B3C -> 00000001 (verified)\n") + kOnline, 0},
        {"an unreadable disk is named", "random 1\nfail get-layout-ex \\\\.\\PhysicalDrive4 21\n",
         {"-us", "physicaldrive3"},
         std::string("warning: physicaldrive4 skipped, its identifier is unknown: Error 21: ERROR_NOT_READY\n"
                     "physicaldrive3: signature 5D1A2B3C -> 00000001 (verified)\n") +
             kOnline,
         0},
        {"write fails", "random 1\nfail set-layout-ex \\\\.\\physicaldrive3 19\n", {"-us", "physicaldrive3"},
         "UNIQUE IDENTIFIER failed: could not write the new identifier, the disk is unchanged: Error 19: "
         "ERROR_WRITE_PROTECT\n",
         19},
        {"-wg no GUID", "", {"-wg", "physicaldrive5"}, "WRITE GUID failed: no disk GUID given.\n", 87},
        {"-wg no device", "", {"-wg"}, "WRITE GUID failed: no device given (physicaldriveN).\n", 87},
        {"-wg short", "", {"-wg", "physicaldrive5", "1B2C3D4E-0000-4000-8000-00000000AAA"},
         "WRITE GUID failed: \"1B2C3D4E-0000-4000-8000-00000000AAA\"" + badGuid, 13},
        {"-wg hyphen moved", "", {"-wg", "physicaldrive5", "1B2C3D4E0-000-4000-8000-00000000AAAA"},
         "WRITE GUID failed: \"1B2C3D4E0-000-4000-8000-00000000AAAA\"" + badGuid, 13},
        {"-wg one brace", "", {"-wg", "physicaldrive5", "{1B2C3D4E-0000-4000-8000-00000000AAAB"},
         "WRITE GUID failed: \"{1B2C3D4E-0000-4000-8000-00000000AAAB\"" + badGuid, 13},
        {"-wg not hex", "", {"-wg", "physicaldrive5", "1B2C3D4E-0000-4000-8000-00000000AAAG"},
         "WRITE GUID failed: \"1B2C3D4E-0000-4000-8000-00000000AAAG\"" + badGuid, 13},
        {"-wg nil", "", {"-wg", "physicaldrive5", "{00000000-0000-0000-0000-000000000000}"},
         "WRITE GUID failed: \"{00000000-0000-0000-0000-000000000000}\"" + badGuid, 13},
        {"-wg MBR target", "", {"-wg", "physicaldrive3", "1B2C3D4E-0000-4000-8000-00000000AAAB"},
         "WRITE GUID refused: physicaldrive3 is an MBR disk; use -us for a new unique signature or -ws to write "
         "one.\n",
         1},
        {"-wg duplicate", "", {"-wg", "physicaldrive5", "1b2c3d4e-0000-4000-8000-00000000aaaa"},
         "WRITE GUID refused: another disk already has that disk GUID.\n", 183},
        {"-wg braces", "", {"-wg", "physicaldrive5", "{1b2c3d4e-0000-4000-8000-00000000aaab}"},
         std::string("physicaldrive5: disk GUID {1B2C3D4E-0000-4000-8000-00000000AAAA} -> "
                     "{1B2C3D4E-0000-4000-8000-00000000AAAB} (verified)\n") +
             kOnline,
         0},
        {"-wg no braces", "", {"-wg", "PhysicalDrive5", "1B2C3D4E-0000-4000-8000-00000000AAAB"},
         std::string("PhysicalDrive5: disk GUID {1B2C3D4E-0000-4000-8000-00000000AAAA} -> "
                     "{1B2C3D4E-0000-4000-8000-00000000AAAB} (verified)\n") +
             kOnline,
         0},
    };
    for (const auto& c : cases) {
        LoadMachine(kMachine + c.extra);
        std::vector<std::string> arguments = c.arguments;
        CommandRun run = RunInProcess(arguments);
        EXPECT_EQ(run.output, c.output) << c.what;
        EXPECT_EQ(run.result, c.status) << c.what;
    }
}

// After "-us" on each disk of a collision, "-ld" finds none and exits 0.
TEST(Identifier, FixedCollisionsAreGoneFromTheListing)
{
    LoadMachine(kMachine + "random 8E4F1A07 11111111 22222222 33333333 44444444\n");
    EXPECT_EQ(RunInProcess({"-ld"}).result, 1);
    EXPECT_EQ(RunInProcess({"-us", "physicaldrive3"}).result, 0);
    EXPECT_EQ(RunInProcess({"-us", "physicaldrive5"}).result, 0);
    CommandRun listing = RunInProcess({"-ld"});
    EXPECT_EQ(listing.result, 0) << listing.output;
    EXPECT_EQ(listing.output.find("COLLISION"), std::string::npos) << listing.output;
    EXPECT_NE(listing.output.find("8E4F1A07"), std::string::npos) << listing.output;
}

std::string Shell(const std::string& command, int* status)
{
    std::string output;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    char buffer[512];
    size_t got = 0;
    while (pipe != nullptr && (got = fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        output.append(buffer, got);
    }
    *status = pipe != nullptr ? pclose(pipe) : -1;
    return output;
}

// The images change in the identifier's bytes and header CRCs only.
TEST(Identifier, ImagesChangeInTheIdentifierOnly)
{
    std::string folder = TemporaryFolder();
    const size_t size = 4 << 20;
    WriteWholeFile(folder + "/gpt.img", std::string(size, '\0'));
    int status = 0;
    Shell("printf 'label: gpt\\nlabel-id: 1B2C3D4E-0000-4000-8000-00000000AAAA\\nsize=1M, type=L\\n' | sfdisk -q '" +
              folder + "/gpt.img'",
          &status);
    if (status != 0) {
        GTEST_SKIP() << "sfdisk is needed to make GPT images";
    }
    WriteWholeFile(folder + "/mbr.img",
                   simtest::MbrImage(0x5D1A2B3C, {{.status = 0x80, .type = 0x07, .firstLba = 2, .sectors = 4}}, 4096));
    const std::string gptBefore = ReadWholeFile(folder + "/gpt.img");
    const std::string mbrBefore = ReadWholeFile(folder + "/mbr.img");
    LoadMachine("disk 1 image mbr.img\ndisk 2 image gpt.img\ndisk 4 gpt {1B2C3D4E-0000-4000-8000-00000000AAAA}\n"
                "system none\nrandom 5D1A2B3C 8E4F1A07 8E4F1A07 11111111 22222222 33333333\n",
                folder);
    EXPECT_EQ(RunInProcess({"-us", "physicaldrive1", "force"}).result, 0);
    CommandRun gpt = RunInProcess({"-us", "physicaldrive2", "force"});
    EXPECT_EQ(gpt.result, 0) << gpt.output;
    std::vector<size_t> mbrChanged = simtest::DifferingOffsets(mbrBefore, ReadWholeFile(folder + "/mbr.img"));
    EXPECT_EQ(std::set<size_t>(mbrChanged.begin(), mbrChanged.end()), (std::set<size_t>{440, 441, 442, 443}));
    std::set<size_t> named;
    for (size_t lba : {size_t{1}, size / 512 - 1}) {
        for (size_t at = 16; at < 20; ++at) {
            named.insert(lba * 512 + at);
        }
        for (size_t at = 56; at < 72; ++at) {
            named.insert(lba * 512 + at);
        }
    }
    for (size_t offset : simtest::DifferingOffsets(gptBefore, ReadWholeFile(folder + "/gpt.img"))) {
        EXPECT_EQ(named.count(offset), 1u) << "byte " << offset << " changed";
    }
    std::string verify = Shell("sgdisk -v '" + folder + "/gpt.img'", &status);
    EXPECT_EQ(status, 0) << verify;
    EXPECT_NE(verify.find("No problems found"), std::string::npos) << verify;
    EXPECT_EQ(Shell("sfdisk --disk-id '" + folder + "/gpt.img'", &status), "8E4F1A07-1111-4111-A222-222233333333\n");
    EXPECT_EQ(Shell("sfdisk --disk-id '" + folder + "/mbr.img'", &status), "0x8e4f1a07\n");
}

// Every platform call of both commands failing in turn: one failure line
// naming the code (which the run returns), nothing outstanding (checked by
// RunInProcess), the disk unchanged unless the write went through, and a
// failed read-back reported as such.
TEST(Identifier, EveryCallFailingInTurn)
{
    const std::string machine = kMachine + "random 8E4F1A07 11111111 22222222 33333333 44444444\n";
    const std::vector<std::vector<std::string>> commands = {
        {"-us", "physicaldrive3"},
        {"-us", "physicaldrive5"},
        {"-wg", "physicaldrive5", "1B2C3D4E-0000-4000-8000-00000000AAAB"},
    };
    for (const auto& arguments : commands) {
        LoadMachine(machine);
        ASSERT_EQ(RunInProcess(arguments).result, 0);
        const long calls = sim::CallCount();
        const std::vector<std::string> log = sim::CallLog();
        for (long k = 1; k <= calls; ++k) {
            LoadMachine(machine);
            sim::FailNthCall(k, 21);
            CommandRun run = RunInProcess(arguments);
            std::string what = arguments[1] + " call " + std::to_string(k) + " " + log[k - 1];
            bool release = log[k - 1].rfind("CloseHandle", 0) == 0 || log[k - 1].rfind("FreeLibrary", 0) == 0;
            bool warning = run.output.rfind("warning: ", 0) == 0;
            if (release || warning) {
                EXPECT_EQ(run.result, 0) << what << "\n" << run.output;
                continue;
            }
            EXPECT_EQ(run.result, 21) << what << "\n" << run.output;
            EXPECT_NE(run.output.find(" Error 21: ERROR_NOT_READY"), std::string::npos) << what << run.output;
            bool afterWrite = run.output.find("read back") != std::string::npos;
            EXPECT_EQ(afterWrite, log[k - 1] == "DeviceIoControl 0x00070050" &&
                                      k > 1 && log[k - 2] == "DeviceIoControl 0x0007c054")
                << what << run.output;
            uint32_t signature = 0;
            ASSERT_TRUE(sim::DiskSignature(3, &signature));
            EXPECT_EQ(signature == 0x5D1A2B3C, !afterWrite || arguments[1] != "physicaldrive3") << what;
        }
    }
}

}  // namespace
