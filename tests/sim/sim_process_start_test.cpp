// The process hooks on the simulated machine: PlatformStart loads the machine
// (or refuses it in one line on standard error) and PlatformExitStatus keeps
// a failure from reading as success in 8 bits.
#include <gtest/gtest.h>

#include <limits.h>
#include <stdlib.h>

#include <optional>
#include <string>

#include "platform/platform.h"
#include "platform/sim/sim.h"
#include "support/runs.h"

namespace {

class MachineVariable {
public:
    explicit MachineVariable(const char* value)
    {
        if (const char* old = getenv("DISKSIG_MACHINE")) {
            saved_ = old;
        }
        value != nullptr ? setenv("DISKSIG_MACHINE", value, 1) : unsetenv("DISKSIG_MACHINE");
    }
    ~MachineVariable()
    {
        saved_ ? setenv("DISKSIG_MACHINE", saved_->c_str(), 1) : unsetenv("DISKSIG_MACHINE");
    }

private:
    std::optional<std::string> saved_;
};

TEST(SimProcessStart, LoadsTheNamedMachineOrRefusesIt)
{
    std::string folder = TemporaryFolder();
    WriteWholeFile(folder + "/good.machine", "version 4.0\nletter Q \\Device\\Floppy0\n");
    WriteWholeFile(folder + "/bad.machine", "version 4.0\nletter q \\Device\\Floppy0\n");
    const std::string good = folder + "/good.machine";
    const std::string bad = folder + "/bad.machine";
    const std::string none = folder + "/none.machine";
    const struct {
        const char* variable;  // null: unset
        int result;
        const char* errors;
        DWORD version;  // of the machine loaded
    } cases[] = {
        {.variable = good.c_str(), .result = 0, .errors = "", .version = 4},
        {.variable = nullptr, .result = 0, .errors = "", .version = 5},
        {.variable = "", .result = 0, .errors = "", .version = 5},
    };
    for (const auto& c : cases) {
        MachineVariable variable(c.variable);
        LoadMachine("version 9.0\n");
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        EXPECT_EQ(PlatformStart(), c.result);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), c.errors);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
        EXPECT_EQ(GetVersion() & 0xff, c.version) << (c.variable ? c.variable : "(unset)");
    }
    const struct {
        std::string path;
        std::string errors;
    } refusals[] = {
        {.path = bad, .errors = "disksig: " + bad + ":2: drive letter \"q\" is not one of A-Z\n"},
        {.path = none, .errors = "disksig: " + none + ":0: cannot read: No such file or directory\n"},
        {.path = folder, .errors = "disksig: " + folder + ":0: cannot read: Is a directory\n"},
    };
    for (const auto& c : refusals) {
        MachineVariable variable(c.path.c_str());
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        EXPECT_EQ(PlatformStart(), 2);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), c.errors);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    }
}

TEST(SimProcessStart, ExitStatusNeverTurnsAFailureIntoZero)
{
    const struct {
        int code;
        int lowByte;  // what the shell sees
    } cases[] = {
        {.code = 0, .lowByte = 0},
        {.code = 2, .lowByte = 2},
        {.code = 87, .lowByte = 87},
        {.code = -1, .lowByte = 255},
        {.code = 4390, .lowByte = 4390 & 0xff},
        {.code = 256, .lowByte = 1},
        {.code = 1280, .lowByte = 1},
        {.code = INT_MIN, .lowByte = 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PlatformExitStatus(c.code) & 0xff, c.lowByte) << c.code;
        EXPECT_EQ(PlatformExitStatus(c.code) == 0, c.code == 0) << c.code;
    }
}

}  // namespace
