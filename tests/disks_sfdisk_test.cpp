// "-ld" on images that the real sfdisk made: the identifier it reports for
// a GPT disk is the disk GUID that "sfdisk --disk-id" reads, and for an MBR
// disk the disk identifier it reads.
#include <stdio.h>
#include <stdlib.h>

#include <string>

#include <gtest/gtest.h>

#include "platform/sim/sim.h"
#include "support/runs.h"

namespace {

// The first line that the shell command prints.
std::string FirstLine(const std::string& command)
{
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return "";
    }
    char line[128] = "";
    if (fgets(line, sizeof line, pipe) == nullptr) {
        line[0] = '\0';
    }
    pclose(pipe);
    std::string text(line);
    return text.substr(0, text.find('\n'));
}

std::string Upper(std::string text)
{
    for (char& c : text) {
        c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    }
    return text;
}

struct LabelCase {
    const char* label;    // sfdisk's label type
    const char* labelId;  // as sfdisk is given it
    const char* size;     // of the image file
};

// GUIDs with every digit in every group, and with high bits set in each field,
// so that a field read in the wrong byte order or case shows.
const LabelCase kLabelCases[] = {
    {"gpt", "9E2C7A10-3B4D-4F5E-8A6B-7C8D9E0F1A2B", "128K"},
    {"gpt", "01234567-89ab-cdef-0123-456789abcdef", "1M"},
    {"gpt", "FEDCBA98-7654-3210-FEDC-BA9876543210", "256K"},
    {"gpt", "00000001-0002-0003-0405-060708090A0B", "128K"},
    {"dos", "0x0badf00d", "64K"},
    {"dos", "0x80000001", "64K"},
};

TEST(DisksSfdisk, TheIdentifierIsWhatSfdiskReads)
{
    std::string folder = TemporaryFolder();
    for (const LabelCase& c : kLabelCases) {
        SCOPED_TRACE(c.labelId);
        std::string image = folder + "/disk.img";
        std::string make = "rm -f " + image + " && truncate -s " + c.size + " " + image +
                           " && printf 'label: " + c.label + "\\nlabel-id: " + c.labelId +
                           "\\n' | sfdisk -q " + image + " > /dev/null 2>&1";
        ASSERT_EQ(system(make.c_str()), 0) << make;
        std::string sfdiskId = FirstLine("sfdisk --disk-id " + image + " 2>/dev/null");
        ASSERT_FALSE(sfdiskId.empty());
        LoadMachine("disk 3 image disk.img\n", folder);
        CommandRun run = RunInProcess({"-ld", "json"});
        ASSERT_EQ(run.result, 0) << run.output;
        bool gpt = std::string(c.label) == "gpt";
        std::string expected = gpt ? "\"style\": \"GPT\", \"signature\": null, \"guid\": \"{" +
                                         Upper(sfdiskId) + "}\""
                                   : "\"style\": \"MBR\", \"signature\": \"" +
                                         Upper(sfdiskId.substr(2)) + "\", \"guid\": null";
        EXPECT_NE(run.output.find(expected), std::string::npos) << run.output;
    }
}

}  // namespace
