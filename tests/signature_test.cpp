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
    {.arguments = {"-es", "physicaldrive0"},
     .report = "Erase Signature on physicaldrive0 Successful.\n",
     .result = 0,
     .disk = 0,
     .signature = 0},
    {.arguments = {"-es", "PhysicalDrive0"},
     .report = "Erase Signature on PhysicalDrive0 Successful.\n",
     .result = 0,
     .disk = 0,
     .signature = 0},
    {.arguments = {"-es", "physicaldrive1", "1A2B3C4D"},
     .report = "Erase Signature on physicaldrive1 Successful.\n",
     .result = 0,
     .disk = 1,
     .signature = 0},
    {.arguments = {"-ws", "physicaldrive0", "1A2B3C4D"},
     .report = "Write Signature on physicaldrive0 Successful.\n",
     .result = 0,
     .disk = 0,
     .signature = 0x1A2B3C4D},
    {.arguments = {"-es", "physicaldrive9"},
     .report = "ERASE SIGNATURE failed: Device may not exist:  Error 2: ERROR_FILE_NOT_FOUND\n",
     .result = 2,
     .disk = 0,
     .signature = 0x5D1A2B3C},
    {.arguments = {"-es", "physicaldrive5"},
     .report = "ERASE SIGNATURE failed: Device may not exist:  Error 5: ERROR_ACCESS_DENIED\n",
     .result = 5,
     .disk = 0,
     .signature = 0x5D1A2B3C},
    {.arguments = {"-es", "physicaldrive3"},
     .report = "ERASE SIGNATURE: Could not get device information:  Error 21: ERROR_NOT_READY\n",
     .result = 21,
     .disk = 3,
     .signature = 0xAAAA},
    {.arguments = {"-es", "physicaldrive2"},
     .report = "ERASE SIGNATURE: Could not get device information:  Error 122: ERROR_INSUFFICIENT_BUFFER\n",
     .result = 122,
     .disk = 2,
     .signature = 7},
    {.arguments = {"-es", "physicaldrive4"},
     .report = "ERASE SIGNATURE: Could not erase signature:  Error 19: ERROR_WRITE_PROTECT\n",
     .result = 19,
     .disk = 4,
     .signature = 0xBBBB},
    {.arguments = {"-es", "physicaldrive7"},
     .report = "ERASE SIGNATURE failed: Device may not exist:  Error 31: ERROR_GEN_FAILURE\n",
     .result = 31,
     .disk = 7,
     .signature = 0xDDDD},
    {.arguments = {"-es", "physicaldrive8"},
     .report = "ERASE SIGNATURE failed: Device may not exist: 256\n",
     .result = 256,
     .disk = 8,
     .signature = 0xEEEE},
    {.arguments = {"-es", kLong},
     .report = "ERASE SIGNATURE failed: Device may not exist:  Error 123: ERROR_INVALID_NAME\n",
     .result = 123,
     .disk = 0,
     .signature = 0x5D1A2B3C},
    {.arguments = {"-ws", "physicaldrive5", "1A2B3C4D"},
     .report = "WRITE SIGNATURE failed: Device may not exist:  Error 5: ERROR_ACCESS_DENIED\n",
     .result = 5,
     .disk = 0,
     .signature = 0x5D1A2B3C},
    {.arguments = {"-ws", "physicaldrive3", "1A2B3C4D"},
     .report = "WRITE SIGNATURE: Could not get device information:  Error 21: ERROR_NOT_READY\n",
     .result = 21,
     .disk = 3,
     .signature = 0xAAAA},
    {.arguments = {"-ws", "physicaldrive6", "1A2B3C4D"},
     .report = "WRITE SIGNATURE: Could not write signature: 126\n",
     .result = 126,
     .disk = 6,
     .signature = 0xCCCC},
    {.arguments = {"-ws", "physicaldrive7", "1A2B3C4D"},
     .report = "WRITE SIGNATURE failed: Device may not exist:  Error 31: ERROR_GEN_FAILURE\n",
     .result = 31,
     .disk = 7,
     .signature = 0xDDDD},
    {.arguments = {"-ws", kLong, "1A2B3C4D"},
     .report = "WRITE SIGNATURE failed: Device may not exist:  Error 123: ERROR_INVALID_NAME\n",
     .result = 123,
     .disk = 0,
     .signature = 0x5D1A2B3C},
    {.arguments = {"-ws", "physicaldrive0"},
     .report = "WRITE SIGNATURE Failed:  Error 87: ERROR_INVALID_PARAMETER\n",
     .result = 87,
     .disk = 0,
     .signature = 0x5D1A2B3C},
    {.arguments = {"-ws", "1A2B3C4D", "physicaldrive0"},
     .report = "WRITE SIGNATURE: New signature needs to be 8 digits in length.\n",
     .result = -1,
     .disk = 0,
     .signature = 0x5D1A2B3C},
    {.arguments = {"-ws", "physicaldrive0", "1234567"},
     .report = "WRITE SIGNATURE: New signature needs to be 8 digits in length.\n",
     .result = -1,
     .disk = 0,
     .signature = 0x5D1A2B3C},
    {.arguments = {"-ws", "physicaldrive0", "123456789"},
     .report = "WRITE SIGNATURE: New signature needs to be 8 digits in length.\n",
     .result = -1,
     .disk = 0,
     .signature = 0x5D1A2B3C},
    {.arguments = {"-ws", "physicaldrive0", ""},
     .report = "WRITE SIGNATURE: New signature needs to be 8 digits in length.\n",
     .result = -1,
     .disk = 0,
     .signature = 0x5D1A2B3C},
    {.arguments = {"-ws", kLong, "123"},
     .report = "WRITE SIGNATURE: New signature needs to be 8 digits in length.\n",
     .result = -1,
     .disk = 0,
     .signature = 0x5D1A2B3C},
    {.arguments = {"-ws", "physicaldrive0", "ZZZZZZZZ"},
     .report = "WRITE SIGNATURE Failed:  Error 13: ERROR_INVALID_DATA\n",
     .result = 13,
     .disk = 0,
     .signature = 0x5D1A2B3C},
    {.arguments = {"-ws", "physicaldrive0", "0xZZZZZZ"},
     .report = "WRITE SIGNATURE Failed:  Error 13: ERROR_INVALID_DATA\n",
     .result = 13,
     .disk = 0,
     .signature = 0x5D1A2B3C},
    {.arguments = {"-ws", "physicaldrive0", "        "},
     .report = "WRITE SIGNATURE Failed:  Error 13: ERROR_INVALID_DATA\n",
     .result = 13,
     .disk = 0,
     .signature = 0x5D1A2B3C},
    {.arguments = {"-ws", "physicaldrive0", "-+123456"},
     .report = "WRITE SIGNATURE Failed:  Error 13: ERROR_INVALID_DATA\n",
     .result = 13,
     .disk = 0,
     .signature = 0x5D1A2B3C},
    {.arguments = {"-ws", "physicaldrive0", "0x-12345"},
     .report = "WRITE SIGNATURE Failed:  Error 13: ERROR_INVALID_DATA\n",
     .result = 13,
     .disk = 0,
     .signature = 0x5D1A2B3C},
    {.arguments = {"-ws", "physicaldrive9", "ZZZZZZZZ"},
     .report = "WRITE SIGNATURE Failed:  Error 13: ERROR_INVALID_DATA\n",
     .result = 13,
     .disk = 0,
     .signature = 0x5D1A2B3C},
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
        {.operand = "1A2B3C4D", .value = 0x1A2B3C4D},
        {.operand = "abcdef0a", .value = 0xABCDEF0A},
        {.operand = "ABCDEF0A", .value = 0xABCDEF0A},
        {.operand = "0X12AB3C", .value = 0x0012AB3C},
        {.operand = "0x12ab3c", .value = 0x0012AB3C},
        {.operand = "+1A2B3C4", .value = 0x01A2B3C4},
        {.operand = "-0A0B0C1", .value = 0xFF5F4F3F},
        {.operand = "-0000001", .value = 0xFFFFFFFF},
        {.operand = "1A2B3C4G", .value = 0x01A2B3C4},
        {.operand = " 1A2B3C4", .value = 0x01A2B3C4},
        {.operand = "\t\n\v\f\r  F", .value = 0xF},   {.operand = "00000000", .value = 0},
        {.operand = "0x000000", .value = 0},          {.operand = "FFFFFFFF", .value = 0xFFFFFFFF},
        {.operand = "7 7 7 7 ", .value = 7},          {.operand = "-0x00001", .value = 0xFFFFFFFF},
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

// Another process holding the disk open, sharing reading and writing, stops
// neither command: both open the disk sharing both.
TEST(SignatureCommands, WorkOnADiskAnotherProcessHolds)
{
    const struct {
        std::vector<std::string> arguments;
        std::string report;
        uint32_t signature;
    } cases[] = {
        {.arguments = {"-es", "physicaldrive0"},
         .report = "Erase Signature on physicaldrive0 Successful.\n",
         .signature = 0},
        {.arguments = {"-ws", "physicaldrive0", "1A2B3C4D"},
         .report = "Write Signature on physicaldrive0 Successful.\n",
         .signature = 0x1A2B3C4D},
    };
    for (const auto& c : cases) {
        LoadMachine("disk 0 signature 5D1A2B3C\nheld \\\\.\\physicaldrive0\n");
        CommandRun run = RunInProcess(c.arguments);
        EXPECT_EQ(run.output, c.report) << c.arguments[0];
        EXPECT_EQ(run.result, 0) << c.arguments[0];
        uint32_t signature = 0;
        ASSERT_TRUE(sim::DiskSignature(0, &signature));
        EXPECT_EQ(signature, c.signature) << c.arguments[0];
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

// The device path "\\.\" + operand fills a MAX_PATH buffer exactly at 255
// characters of operand: that one is opened and fails as the platform says;
// one more is refused whole before anything is opened.
TEST(SignatureCommands, DeviceOperandFillsTheDevicePathExactly)
{
    const struct {
        size_t length;
        bool opened;
        int result;
        std::string errorText;
    } cases[] = {
        {.length = 255, .opened = true, .result = 2, .errorText = " Error 2: ERROR_FILE_NOT_FOUND"},
        {.length = 256, .opened = false, .result = 123, .errorText = " Error 123: ERROR_INVALID_NAME"},
    };
    for (const auto& c : cases) {
        for (const std::vector<std::string>& arguments :
             {std::vector<std::string>{"-es", std::string(c.length, 'a')},
              std::vector<std::string>{"-ws", std::string(c.length, 'a'), "1A2B3C4D"}}) {
            SCOPED_TRACE(arguments[0] + " with a device operand of " + std::to_string(c.length));
            LoadMachine(kDisks);
            CommandRun run = RunInProcess(arguments);
            std::string opening = arguments[0] == "-es" ? "ERASE" : "WRITE";
            EXPECT_EQ(run.output, opening + " SIGNATURE failed: Device may not exist: " + c.errorText + "\n");
            EXPECT_EQ(run.result, c.result);
            std::vector<std::string> opens;
            for (const std::string& call : sim::CallLog()) {
                if (call.rfind("CreateFileA", 0) == 0) {
                    opens.push_back(call);
                }
            }
            EXPECT_EQ(opens, c.opened ? std::vector<std::string>{"CreateFileA \\\\.\\" + arguments[1]}
                                      : std::vector<std::string>{});
        }
    }
}

// Every hexadecimal digit, of either case, in every one of the eight places.
TEST(SignatureOperand, EveryDigitInEveryPlace)
{
    const struct {
        const char* operand;
        uint32_t value;
    } cases[] = {
        {.operand = "01234567", .value = 0x01234567},
        {.operand = "12345678", .value = 0x12345678},
        {.operand = "23456789", .value = 0x23456789},
        {.operand = "3456789a", .value = 0x3456789A},
        {.operand = "456789ab", .value = 0x456789AB},
        {.operand = "56789abc", .value = 0x56789ABC},
        {.operand = "6789abcd", .value = 0x6789ABCD},
        {.operand = "789abcde", .value = 0x789ABCDE},
        {.operand = "89abcdef", .value = 0x89ABCDEF},
        {.operand = "9abcdefA", .value = 0x9ABCDEFA},
        {.operand = "abcdefAB", .value = 0xABCDEFAB},
        {.operand = "bcdefABC", .value = 0xBCDEFABC},
        {.operand = "cdefABCD", .value = 0xCDEFABCD},
        {.operand = "defABCDE", .value = 0xDEFABCDE},
        {.operand = "efABCDEF", .value = 0xEFABCDEF},
        {.operand = "fABCDEF0", .value = 0xFABCDEF0},
        {.operand = "ABCDEF01", .value = 0xABCDEF01},
        {.operand = "BCDEF012", .value = 0xBCDEF012},
        {.operand = "CDEF0123", .value = 0xCDEF0123},
        {.operand = "DEF01234", .value = 0xDEF01234},
        {.operand = "EF012345", .value = 0xEF012345},
        {.operand = "F0123456", .value = 0xF0123456},
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

}  // namespace
