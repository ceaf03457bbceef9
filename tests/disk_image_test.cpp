// "-es" and "-ws" on a disk backed by an MBR image, run as the built program:
// the only bytes that may change are the four of the signature, and only when
// the command reports success.
#include <gtest/gtest.h>

#include <stdint.h>
#include <stdio.h>

#include <string>
#include <vector>

#include "support/runs.h"

namespace {

const size_t kSectors = 128;
const size_t kSignatureOffset = 440;

// An image whose every byte is distinct from its neighbours, so that a write
// of the wrong bytes anywhere shows. Two partitions, 0x55AA at the end of
// the first sector.
std::string MakeImage(uint32_t signature)
{
    std::string image(kSectors * 512, '\0');
    for (size_t i = 0; i < image.size(); ++i) {
        image[i] = static_cast<char>((i * 7 + 3) & 0xFF);
    }
    for (size_t i = 0; i < 4; ++i) {
        image[kSignatureOffset + i] = static_cast<char>((signature >> (8 * i)) & 0xFF);
    }
    const unsigned char entries[64] = {
        0x80, 0x01, 0x01, 0x00, 0x07, 0xFE, 0xFF, 0xFF, 63,  0, 0, 0, 100, 0, 0, 0,
        0x00, 0xFE, 0xFF, 0xFF, 0x83, 0xFE, 0xFF, 0xFF, 163, 0, 0, 0, 20,  0, 0, 0,
    };
    image.replace(446, 64, reinterpret_cast<const char*>(entries), 64);
    image[510] = static_cast<char>(0x55);
    image[511] = static_cast<char>(0xAA);
    return image;
}

std::string WithSignature(std::string image, uint32_t signature)
{
    for (size_t i = 0; i < 4; ++i) {
        image[kSignatureOffset + i] = static_cast<char>((signature >> (8 * i)) & 0xFF);
    }
    return image;
}

// The disk id as util-linux reads it from the image, or "" without sfdisk.
std::string SfdiskDiskId(const std::string& imagePath)
{
    std::string command = "sfdisk --disk-id '" + imagePath + "' 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    char line[64] = "";
    if (pipe == nullptr) {
        return "";
    }
    if (fgets(line, sizeof line, pipe) == nullptr) {
        line[0] = '\0';
    }
    pclose(pipe);
    std::string id(line);
    return id.empty() ? id : id.substr(0, id.find('\n'));
}

struct ImageCase {
    std::vector<std::string> arguments;
    std::string failLine;
    std::string output;
    int status;
    bool changes;
    uint32_t signature;  // what the image carries afterwards when it changes
};

TEST(DiskImage, OnlyTheSignatureBytesChangeAndOnlyOnSuccess)
{
    const ImageCase cases[] = {
        {.arguments = {"-ws", "physicaldrive1", "1A2B3C4D"},
         .failLine = "",
         .output = "Write Signature on physicaldrive1 Successful.\n",
         .status = 0,
         .changes = true,
         .signature = 0x1A2B3C4D},
        {.arguments = {"-ws", "physicaldrive1", "-0000001"},
         .failLine = "",
         .output = "Write Signature on physicaldrive1 Successful.\n",
         .status = 0,
         .changes = true,
         .signature = 0xFFFFFFFF},
        {.arguments = {"-es", "physicaldrive1"},
         .failLine = "",
         .output = "Erase Signature on physicaldrive1 Successful.\n",
         .status = 0,
         .changes = true,
         .signature = 0},
        {.arguments = {"-es", "physicaldrive1"},
         .failLine = "fail set-layout \\\\.\\physicaldrive1 19",
         .output = "ERASE SIGNATURE: Could not erase signature:  Error 19: ERROR_WRITE_PROTECT\n",
         .status = 19,
         .changes = false,
         .signature = 0},
        {.arguments = {"-ws", "physicaldrive1", "1A2B3C4D"},
         .failLine = "fail get-layout \\\\.\\PHYSICALDRIVE1 23",
         .output = "WRITE SIGNATURE: Could not get device information:  Error 23: ERROR_CRC\n",
         .status = 23,
         .changes = false,
         .signature = 0},
        {.arguments = {"-ws", "physicaldrive1", "1A2B3C4D"},
         .failLine = "fail open \\\\.\\physicaldrive1 32",
         .output = "WRITE SIGNATURE failed: Device may not exist:  Error 32: ERROR_SHARING_VIOLATION\n",
         .status = 32,
         .changes = false,
         .signature = 0},
        {.arguments = {"-ws", "physicaldrive1", "ZZZZZZZZ"},
         .failLine = "",
         .output = "WRITE SIGNATURE Failed:  Error 13: ERROR_INVALID_DATA\n",
         .status = 13,
         .changes = false,
         .signature = 0},
        {.arguments = {"-ws", "physicaldrive1", "1A2B3C4"},
         .failLine = "",
         .output = "WRITE SIGNATURE: New signature needs to be 8 digits in length.\n",
         .status = 255,
         .changes = false,
         .signature = 0},
    };
    const uint32_t original = 0x5D1A2B3C;
    for (const ImageCase& c : cases) {
        std::string folder = TemporaryFolder();
        std::string imagePath = folder + "/disk1.img";
        WriteWholeFile(imagePath, MakeImage(original));
        WriteWholeFile(folder + "/test.machine", "disk 1 image disk1.img\n" + c.failLine + "\n");
        ProgramRun run = RunProgram(c.arguments, {"DISKSIG_MACHINE=" + folder + "/test.machine"});
        std::string what = c.arguments[0] + " " + c.failLine;
        EXPECT_EQ(run.output, c.output) << what;
        EXPECT_EQ(run.status, c.status) << what;
        EXPECT_EQ(run.errors, "") << what;
        std::string expected = c.changes ? WithSignature(MakeImage(original), c.signature) : MakeImage(original);
        EXPECT_TRUE(ReadWholeFile(imagePath) == expected) << what << ": image bytes differ";
        std::string id = SfdiskDiskId(imagePath);
        if (!id.empty()) {
            char want[16];
            snprintf(want, sizeof want, "0x%08x", c.changes ? c.signature : original);
            EXPECT_EQ(id, want) << what;
        }
    }
}

}  // namespace
