// The built program as an admin runs it: what reaches standard output and
// standard error, and the exit status the shell sees.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/runs.h"

namespace {

TEST(Program, UsageOnTheDefaultMachine)
{
    ProgramRun run = RunProgram({}, {"DISKSIG_MACHINE="});
    EXPECT_EQ(run.output, ReadWholeFile(TestDataPath("golden/usage.txt")));
    EXPECT_EQ(run.errors, "");
    EXPECT_EQ(run.status, 0);
}

// Linux keeps 8 bits of an exit status; a failure must never read as 0.
TEST(Program, ExitStatusKeepsFailuresNonzero)
{
    std::string folder = TemporaryFolder();
    WriteWholeFile(folder + "/m.machine",
              "disk 0 signature 1\n"
              "fail open \\\\.\\physicaldrive1 256\n"
              "fail open \\\\.\\physicaldrive2 1280\n"
              "fail open \\\\.\\physicaldrive3 4390\n");
    const struct {
        std::vector<std::string> arguments;
        int status;
    } cases[] = {
        {.arguments = {"-es", "physicaldrive0"}, .status = 0},
        {.arguments = {"-ws", "physicaldrive0"}, .status = 87},
        {.arguments = {"-ws", "physicaldrive0", "1"}, .status = 255},
        {.arguments = {"-es", "physicaldrive1"}, .status = 1},
        {.arguments = {"-es", "physicaldrive2"}, .status = 1},
        {.arguments = {"-es", "physicaldrive3"}, .status = 4390 & 0xFF},
    };
    for (const auto& c : cases) {
        ProgramRun run = RunProgram(c.arguments, {"DISKSIG_MACHINE=" + folder + "/m.machine"});
        EXPECT_EQ(run.status, c.status) << c.arguments[0] << " " << c.arguments[1];
    }
}

// A machine file that can't be used stops the run before the entry point:
// one line on standard error naming the file and line, nothing on standard
// output, status 2.
TEST(Program, RefusesAMachineFileItCannotUse)
{
    std::string folder = TemporaryFolder();
    const struct {
        const char* text;
        const char* where;
    } cases[] = {
        {.text = "disk 0 signature 1\n\nfloppy 1\n", .where = "bad.machine:3"},
        {.text = "version 5.0\nletter 1 \\Device\\HarddiskVolume1\n", .where = "bad.machine:2"},
        {.text = "disk 0 image missing.img\n", .where = "bad.machine:1"},
    };
    for (const auto& c : cases) {
        WriteWholeFile(folder + "/bad.machine", c.text);
        ProgramRun run = RunProgram({"-ds"}, {"DISKSIG_MACHINE=" + folder + "/bad.machine"});
        EXPECT_EQ(run.output, "") << c.text;
        EXPECT_EQ(run.status, 2) << c.text;
        EXPECT_NE(run.errors.find(c.where), std::string::npos) << run.errors;
        EXPECT_EQ(run.errors.find('\n'), run.errors.size() - 1) << run.errors;
    }
    ProgramRun missing = RunProgram({}, {"DISKSIG_MACHINE=" + folder + "/none.machine"});
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.output, "");
    EXPECT_NE(missing.errors.find("none.machine"), std::string::npos) << missing.errors;
}

}  // namespace
