// The front end: the banner and platform line, which first arguments select
// a command, and how the report and the result code leave the process.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/sim/sim.h"
#include "support/runs.h"

namespace {

const char* const kWindows2000Line = "Windows 2000\n\n";

std::string UsageWithPlatformLine(const std::string& platformLine)
{
    std::string usage = ReadWholeFile(TestDataPath("golden/usage.txt"));
    size_t at = usage.find(kWindows2000Line);
    EXPECT_NE(at, std::string::npos);
    return usage.replace(at, std::string(kWindows2000Line).size(), platformLine);
}

TEST(Usage, PlatformLineFollowsTheVersion)
{
    const struct {
        const char* version;
        const char* platformLine;
    } cases[] = {
        {.version = "5.0", .platformLine = "Windows 2000\n\n"},
        {.version = "5.2", .platformLine = "Windows .Net\n\n"},
        {.version = "5.1", .platformLine = "Unrecognized Windows Version 5.1\n\n"},
        {.version = "5.255", .platformLine = "Unrecognized Windows Version 5.255\n\n"},
        {.version = "4.0", .platformLine = "Windows NT 4.0\n\n"},
        {.version = "6.1", .platformLine = "Windows NT 4.0\n\n"},
        {.version = "10.0", .platformLine = "Windows NT 4.0\n\n"},
        {.version = "3.51", .platformLine = "Windows NT 4.0\n\n"},
    };
    for (const auto& c : cases) {
        LoadMachine(std::string("version ") + c.version + "\n");
        CommandRun run = RunInProcess({});
        EXPECT_EQ(run.output, UsageWithPlatformLine(c.platformLine)) << "version " << c.version;
        EXPECT_EQ(run.result, 0);
    }
}

TEST(Usage, AnyFirstArgumentThatNamesNoCommand)
{
    const char* const notCommands[] = {"ds", "/ds", "--ds", "-", "-dsx", "-d", "-xx", "",
                                       "-es ", "-\xC5S", "es", "-ws1"};
    sim::LoadDefaultMachine();
    std::string usage = ReadWholeFile(TestDataPath("golden/usage.txt"));
    for (const char* argument : notCommands) {
        CommandRun run = RunInProcess({argument});
        EXPECT_EQ(run.output, usage) << "argument '" << argument << "'";
        EXPECT_EQ(run.result, 0);
    }
}

TEST(CommandSelection, CaseOfTheOptionIsIgnoredAndExtraArgumentsAreNot)
{
    const struct {
        std::vector<std::string> arguments;
        std::vector<std::string> sameAs;
    } cases[] = {
        {.arguments = {"-DS"}, .sameAs = {"-ds"}},
        {.arguments = {"-Ds"}, .sameAs = {"-ds"}},
        {.arguments = {"-dS"}, .sameAs = {"-ds"}},
        {.arguments = {"-ds", "anything"}, .sameAs = {"-ds"}},
        {.arguments = {"-ES"}, .sameAs = {"-es"}},
        {.arguments = {"-Es", "physicaldrive9"}, .sameAs = {"-es", "physicaldrive9"}},
        {.arguments = {"-es", "physicaldrive9", "1A2B3C4D"}, .sameAs = {"-es", "physicaldrive9"}},
        {.arguments = {"-WS", "physicaldrive9"}, .sameAs = {"-ws", "physicaldrive9"}},
        {.arguments = {"-ws", "physicaldrive9", "ZZ", "extra"}, .sameAs = {"-ws", "physicaldrive9", "ZZ"}},
    };
    for (const auto& c : cases) {
        sim::LoadDefaultMachine();
        CommandRun expected = RunInProcess(c.sameAs);
        sim::LoadDefaultMachine();
        CommandRun run = RunInProcess(c.arguments);
        EXPECT_EQ(run.output, expected.output) << c.arguments[0];
        EXPECT_EQ(run.result, expected.result) << c.arguments[0];
        EXPECT_NE(run.output, ReadWholeFile(TestDataPath("golden/usage.txt")));
    }
}

TEST(CommandSelection, MissingOperandsReachTheCommandAsAbsent)
{
    sim::LoadDefaultMachine();
    const struct {
        std::vector<std::string> arguments;
        const char* report;
        int result;
    } cases[] = {
        {.arguments = {"-es"},
         .report = "ERASE SIGNATURE failed: Device may not exist:  Error 2: ERROR_FILE_NOT_FOUND\n",
         .result = 2},
        {.arguments = {"-ws"},
         .report = "WRITE SIGNATURE Failed:  Error 87: ERROR_INVALID_PARAMETER\n",
         .result = 87},
        {.arguments = {"-ws", "physicaldrive1"},
         .report = "WRITE SIGNATURE Failed:  Error 87: ERROR_INVALID_PARAMETER\n",
         .result = 87},
    };
    for (const auto& c : cases) {
        CommandRun run = RunInProcess(c.arguments);
        EXPECT_EQ(run.output, c.report);
        EXPECT_EQ(run.result, c.result);
    }
    // The absent device operand is named "(null)" in the device path.
    sim::LoadDefaultMachine();
    RunInProcess({"-es"});
    bool openedNull = false;
    for (const std::string& call : sim::CallLog()) {
        openedNull = openedNull || call == "CreateFileA \\\\.\\(null)";
    }
    EXPECT_TRUE(openedNull);
}

}  // namespace
