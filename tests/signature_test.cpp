// "-es" and "-ws": every path's one message line, result code and what the
// disk carries afterwards.
#include <gtest/gtest.h>

#include <stdint.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "platform/sim/sim.h"
#include "support/runs.h"

namespace {

// Disks 0 and 1 take any change; the fail lines give each other path a disk.
const char* const kDisks = R"(
disk 0 signature 5D1A2B3C
disk 1 signature 1234 partitions 1
disk 2 signature 7 partitions 64
disk 3 signature AAAA
disk 4 signature BBBB
disk 6 signature CCCC
disk 7 signature DDDD
disk 8 signature EEEE
fail open \\.\physicaldrive5 5
fail get-layout \\.\physicaldrive3 21
fail set-layout \\.\physicaldrive4 19
fail set-layout \\.\physicaldrive6 126
fail open \\.\physicaldrive7 0
fail open \\.\physicaldrive8 256
)";

struct SignatureCase {
    std::vector<std::string> arguments;
    std::string report;
    int result;
    unsigned disk;                     // the disk to look at afterwards
    std::optional<uint32_t> signature; // what it carries then
};

const std::string kLong(300, 'a');

const SignatureCase kCases[] = {
    {{"-es", "physicaldrive0"}, "Erase Signature on physicaldrive0 Successful.\n", 0, 0, 0},
    {{"-es", "PhysicalDrive0"}, "Erase Signature on PhysicalDrive0 Successful.\n", 0, 0, 0},
    {{"-es", "physicaldrive1", "1A2B3C4D"}, "Erase Signature on physicaldrive1 Successful.\n", 0, 1, 0},
    {{"-ws", "physicaldrive0", "1A2B3C4D"}, "Write Signature on physicaldrive0 Successful.\n", 0, 0,
     0x1A2B3C4D},
    {{"-es", "physicaldrive9"}, "ERASE SIGNATURE failed: Device may not exist:  Error 2: ERROR_FILE_NOT_FOUND\n",
     2, 0, 0x5D1A2B3C},
    {{"-es", "physicaldrive5"}, "ERASE SIGNATURE failed: Device may not exist:  Error 5: ERROR_ACCESS_DENIED\n",
     5, 0, 0x5D1A2B3C},
    {{"-es", "physicaldrive3"},
     "ERASE SIGNATURE: Could not get device information:  Error 21: ERROR_NOT_READY\n", 21, 3, 0xAAAA},
    {{"-es", "physicaldrive2"},
     "ERASE SIGNATURE: Could not get device information:  Error 122: ERROR_INSUFFICIENT_BUFFER\n", 122, 2, 7},
    {{"-es", "physicaldrive4"}, "ERASE SIGNATURE: Could not erase signature:  Error 19: ERROR_WRITE_PROTECT\n",
     19, 4, 0xBBBB},
    {{"-es", "physicaldrive7"}, "ERASE SIGNATURE failed: Device may not exist:  Error 31: ERROR_GEN_FAILURE\n",
     31, 7, 0xDDDD},
    {{"-es", "physicaldrive8"}, "ERASE SIGNATURE failed: Device may not exist: 256\n", 256, 8, 0xEEEE},
    {{"-es", kLong}, "ERASE SIGNATURE failed: Device may not exist:  Error 123: ERROR_INVALID_NAME\n", 123, 0,
     0x5D1A2B3C},
    {{"-ws", "physicaldrive5", "1A2B3C4D"},
     "WRITE SIGNATURE failed: Device may not exist:  Error 5: ERROR_ACCESS_DENIED\n", 5, 0, 0x5D1A2B3C},
    {{"-ws", "physicaldrive3", "1A2B3C4D"},
     "WRITE SIGNATURE: Could not get device information:  Error 21: ERROR_NOT_READY\n", 21, 3, 0xAAAA},
    {{"-ws", "physicaldrive6", "1A2B3C4D"}, "WRITE SIGNATURE: Could not write signature: 126\n", 126, 6, 0xCCCC},
    {{"-ws", "physicaldrive7", "1A2B3C4D"},
     "WRITE SIGNATURE failed: Device may not exist:  Error 31: ERROR_GEN_FAILURE\n", 31, 7, 0xDDDD},
    {{"-ws", kLong, "1A2B3C4D"}, "WRITE SIGNATURE failed: Device may not exist:  Error 123: ERROR_INVALID_NAME\n",
     123, 0, 0x5D1A2B3C},
    {{"-ws", "physicaldrive0"}, "WRITE SIGNATURE Failed:  Error 87: ERROR_INVALID_PARAMETER\n", 87, 0, 0x5D1A2B3C},
    {{"-ws", "1A2B3C4D", "physicaldrive0"}, "WRITE SIGNATURE: New signature needs to be 8 digits in length.\n",
     -1, 0, 0x5D1A2B3C},
    {{"-ws", "physicaldrive0", "1234567"}, "WRITE SIGNATURE: New signature needs to be 8 digits in length.\n",
     -1, 0, 0x5D1A2B3C},
    {{"-ws", "physicaldrive0", "123456789"}, "WRITE SIGNATURE: New signature needs to be 8 digits in length.\n",
     -1, 0, 0x5D1A2B3C},
    {{"-ws", "physicaldrive0", ""}, "WRITE SIGNATURE: New signature needs to be 8 digits in length.\n", -1, 0,
     0x5D1A2B3C},
    {{"-ws", kLong, "123"}, "WRITE SIGNATURE: New signature needs to be 8 digits in length.\n", -1, 0, 0x5D1A2B3C},
    {{"-ws", "physicaldrive0", "ZZZZZZZZ"}, "WRITE SIGNATURE Failed:  Error 13: ERROR_INVALID_DATA\n", 13, 0,
     0x5D1A2B3C},
    {{"-ws", "physicaldrive0", "0xZZZZZZ"}, "WRITE SIGNATURE Failed:  Error 13: ERROR_INVALID_DATA\n", 13, 0,
     0x5D1A2B3C},
    {{"-ws", "physicaldrive0", "        "}, "WRITE SIGNATURE Failed:  Error 13: ERROR_INVALID_DATA\n", 13, 0,
     0x5D1A2B3C},
    {{"-ws", "physicaldrive0", "-+123456"}, "WRITE SIGNATURE Failed:  Error 13: ERROR_INVALID_DATA\n", 13, 0,
     0x5D1A2B3C},
    {{"-ws", "physicaldrive0", "0x-12345"}, "WRITE SIGNATURE Failed:  Error 13: ERROR_INVALID_DATA\n", 13, 0,
     0x5D1A2B3C},
    {{"-ws", "physicaldrive9", "ZZZZZZZZ"}, "WRITE SIGNATURE Failed:  Error 13: ERROR_INVALID_DATA\n", 13, 0,
     0x5D1A2B3C},
};

TEST(SignatureCommands, EveryPathLeavesOneMessageAndItsCode)
{
    for (const SignatureCase& c : kCases) {
        LoadMachine(kDisks);
        CommandRun run = RunInProcess(c.arguments);
        std::string line = c.arguments[0] + " " + (c.arguments.size() > 1 ? c.arguments[1].substr(0, 20) : "");
        EXPECT_EQ(run.output, c.report) << line;
        EXPECT_EQ(run.result, c.result) << line;
        uint32_t signature = 0;
        ASSERT_TRUE(sim::DiskSignature(c.disk, &signature)) << line;
        EXPECT_EQ(signature, *c.signature) << line;
    }
}

TEST(SignatureCommands, ChecksOnTheOperandsComeBeforeAnyDeviceIsOpened)
{
    const std::vector<std::string> refusedEarly[] = {
        {"-ws"}, {"-ws", "physicaldrive0"}, {"-ws", "physicaldrive0", "1234567"},
        {"-ws", "physicaldrive0", "ZZZZZZZZ"}, {"-ws", kLong, "1A2B3C4D"}, {"-es", kLong},
    };
    for (const auto& arguments : refusedEarly) {
        LoadMachine(kDisks);
        RunInProcess(arguments);
        for (const std::string& call : sim::CallLog()) {
            EXPECT_NE(call.rfind("CreateFileA", 0), 0u) << arguments[0] << ": " << call;
        }
    }
}

TEST(SignatureOperand, ConvertedAsHexadecimalFormattedInput)
{
    const struct {
        const char* operand;
        uint32_t value;
    } cases[] = {
        {"1A2B3C4D", 0x1A2B3C4D}, {"abcdef0a", 0xABCDEF0A}, {"ABCDEF0A", 0xABCDEF0A},
        {"0X12AB3C", 0x0012AB3C}, {"0x12ab3c", 0x0012AB3C}, {"+1A2B3C4", 0x01A2B3C4},
        {"-0A0B0C1", 0xFF5F4F3F}, {"-0000001", 0xFFFFFFFF}, {"1A2B3C4G", 0x01A2B3C4},
        {" 1A2B3C4", 0x01A2B3C4}, {"\t\n\v\f\r  F", 0xF},   {"00000000", 0},
        {"0x000000", 0},          {"FFFFFFFF", 0xFFFFFFFF}, {"7 7 7 7 ", 7},
        {"-0x00001", 0xFFFFFFFF},
    };
    for (const auto& c : cases) {
        LoadMachine(kDisks);
        CommandRun run = RunInProcess({"-ws", "physicaldrive0", c.operand});
        EXPECT_EQ(run.result, 0) << c.operand;
        uint32_t signature = 0;
        ASSERT_TRUE(sim::DiskSignature(0, &signature));
        EXPECT_EQ(signature, c.value) << c.operand;
    }
}


// The driver is handed the whole buffer; past the layout it read, nothing
// but zeros may go back.
TEST(SignatureCommands, HandsBackTheLayoutAsReadAndZerosAfterIt)
{
    LoadMachine("disk 1 signature 1234 partitions 1\n");
    RunInProcess({"-ws", "physicaldrive1", "1A2B3C4D"});
    const std::vector<unsigned char>& written = sim::LastLayoutWritten();
    ASSERT_EQ(written.size(), 2048u);
    const unsigned char head[8] = {1, 0, 0, 0, 0x4D, 0x3C, 0x2B, 0x1A};
    EXPECT_TRUE(std::equal(head, head + 8, written.begin()));
    EXPECT_TRUE(std::all_of(written.begin() + 8 + 32, written.end(), [](unsigned char b) { return b == 0; }));
}

}  // namespace
