// "-ld" beyond the golden cases: its operands, machines larger than the
// listing holds, a report too small for the listing, and the calls it makes.
#include <stdlib.h>

#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "base/text.h"
#include "disks/list_disks.h"
#include "platform/sim/sim.h"
#include "support/runs.h"

namespace {

const char kTwoDisks[] = "disk 0 signature 1A2B3C4D\ndisk 1 gpt {1B2C3D4E-0000-4000-8000-00000000AAAA}\n";
const char kRefusal[] = "LIST DISKS: Unknown operand \"%s\"; the only operand accepted is json.\n";

std::string Refusal(const std::string& shown)
{
    std::string line = kRefusal;
    return line.replace(line.find("%s"), 2, shown);
}

struct OperandCase {
    std::vector<std::string> arguments;
    bool listed;          // the listing is printed (table or document)
    bool json;
    std::string refused;  // what the refusal line shows, when not listed
};

const std::string kLong(65, 'x');

const OperandCase kOperandCases[] = {
    {{"-ld"}, true, false, ""},
    {{"-LD"}, true, false, ""},
    {{"-lD", "json"}, true, true, ""},
    {{"-ld", "JSON"}, true, true, ""},
    {{"-ld", "jSoN"}, true, true, ""},
    {{"-ld", "xml"}, false, false, "xml"},
    {{"-ld", "jsonx"}, false, false, "jsonx"},
    {{"-ld", "jso"}, false, false, "jso"},
    {{"-ld", ""}, false, false, ""},
    {{"-ld", "json", "json"}, false, false, "json"},
    {{"-ld", "json", "extra"}, false, false, "extra"},
    {{"-ld", "text", "json"}, false, false, "text"},
    {{"-ld", kLong}, false, false, std::string(64, 'x') + "..."},
    {{"-ld", std::string(64, 'y')}, false, false, std::string(64, 'y')},
};

TEST(ListDisksOperands, OnlyJsonIsAcceptedAndAnythingElseIsNamed)
{
    for (const OperandCase& c : kOperandCases) {
        LoadMachine(kTwoDisks);
        CommandRun run = RunInProcess(c.arguments);
        std::string shown = c.arguments.size() > 1 ? c.arguments[1] : "";
        SCOPED_TRACE(c.arguments[0] + " " + shown.substr(0, 10));
        if (!c.listed) {
            EXPECT_EQ(run.output, Refusal(c.refused));
            EXPECT_EQ(run.result, 87);
            for (const std::string& call : sim::CallLog()) {
                EXPECT_EQ(call.compare(0, 10, "GetVersion"), 0) << "a refused run called " << call;
            }
            continue;
        }
        EXPECT_EQ(run.result, 0);
        EXPECT_EQ(run.output.compare(0, 2, c.json ? "{\"" : "DI"), 0) << run.output;
    }
}

// Disks 0 to count - 1, each with its own signature unless collide is set,
// which gives disks 0 and 1 the same one.
std::string ManyDisks(unsigned count, bool collide)
{
    std::string text;
    for (unsigned disk = 0; disk < count; ++disk) {
        unsigned signature = (collide && disk == 1) ? 1 : disk + 1;
        text += "disk " + std::to_string(disk) + " signature " + std::to_string(signature) + "\n";
    }
    return text;
}

size_t Count(const std::string& text, const std::string& piece)
{
    size_t count = 0;
    for (size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1)) {
        ++count;
    }
    return count;
}

struct ManyCase {
    unsigned disks;
    bool collide;
    int result;
};

// The 256 lowest numbers are listed, the rest counted and said; collisions
// among the listed disks still take status 1.
TEST(ListDisksCapacity, DisksPastTheListAreCountedNeverDropped)
{
    for (const ManyCase& c : {ManyCase{256, false, 0}, ManyCase{300, false, 122},
                              ManyCase{300, true, 1}}) {
        SCOPED_TRACE(std::to_string(c.disks) + " disks");
        unsigned unlisted = c.disks - 256;
        LoadMachine(ManyDisks(c.disks, c.collide));
        CommandRun table = RunInProcess({"-ld"});
        EXPECT_EQ(table.result, c.result);
        EXPECT_EQ(Count(table.output, "\nphysicaldrive"), 256u);
        EXPECT_NE(table.output.find("\nphysicaldrive255 "), std::string::npos);
        EXPECT_EQ(table.output.find("physicaldrive256"), std::string::npos);
        std::string notListed = "NOT LISTED: " + std::to_string(unlisted) +
                                " more disks past the first 256; their collisions are not checked\n";
        EXPECT_EQ(Count(table.output, notListed), unlisted != 0 ? 1u : 0u);
        LoadMachine(ManyDisks(c.disks, c.collide));
        CommandRun json = RunInProcess({"-ld", "json"});
        EXPECT_EQ(json.result, c.result);
        EXPECT_EQ(Count(json.output, "\"device\""), 256u);
        EXPECT_NE(json.output.find("\"unlisted\": " + std::to_string(unlisted) + "}\n"), std::string::npos);
    }
}

// Names of 1100 disks take more than the first 16 KiB: the enumeration is
// asked again with twice the room, once.
TEST(ListDisksCapacity, TheNameBufferGrowsWhileTheNamesDontFit)
{
    LoadMachine(ManyDisks(1100, false));
    CommandRun run = RunInProcess({"-ld", "json"});
    EXPECT_EQ(run.result, 122);
    EXPECT_NE(run.output.find("\"unlisted\": 844}\n"), std::string::npos);
    const std::vector<std::string>& log = sim::CallLog();
    EXPECT_EQ(std::count(log.begin(), log.end(), "QueryDosDeviceA (null)"), 2);
}

int ListInto(const char* form, size_t capacity, std::string* output)
{
    LoadMachine(kTwoDisks);
    std::vector<char> storage(capacity);
    Text report = TextOver(storage.data(), storage.size());
    char json[] = "json";
    char* operands[] = {json};
    int result = ListDisks(form[0] != '\0' ? 1 : 0, operands, &report);
    *output = report.chars;
    EXPECT_TRUE(sim::NothingOutstanding());
    return result;
}

// A report too small for the listing holds only the message, in either
// form: never a cut table or document. One byte more than the listing and
// its terminator need is enough.
TEST(ListDisksCapacity, AListingTooLargeForItsTextEndsWithOneMessage)
{
    const std::string message =
        "LIST DISKS: The listing does not fit in its output text: Error 122: ERROR_INSUFFICIENT_BUFFER\n";
    for (const char* form : {"", "json"}) {
        SCOPED_TRACE(form);
        std::string whole;
        ASSERT_EQ(ListInto(form, 4096, &whole), 0);
        std::string output;
        EXPECT_EQ(ListInto(form, whole.size() + 1, &output), 0);
        EXPECT_EQ(output, whole);
        for (size_t capacity : {whole.size(), message.size() + 1}) {
            EXPECT_EQ(ListInto(form, capacity, &output), 122) << capacity;
            EXPECT_EQ(output, message) << capacity;
        }
    }
}

// A listing only reads: each disk and hard-disk letter is opened once and
// closed, and no layout write is ever sent.
TEST(ListDisksCalls, EveryDiskIsOpenedAndClosedAndNothingIsWritten)
{
    sim::LoadDefaultMachine();
    CommandRun run = RunInProcess({"-ld"});
    EXPECT_EQ(run.result, 1);
    size_t opens = 0;
    size_t closes = 0;
    for (const std::string& call : sim::CallLog()) {
        opens += call.compare(0, 12, "CreateFileA ") == 0;
        closes += call.compare(0, 12, "CloseHandle ") == 0;
        EXPECT_EQ(call.find("0x0007c"), std::string::npos) << "a layout write: " << call;
    }
    EXPECT_EQ(opens, closes);
    EXPECT_EQ(opens, 6u + 5u) << "six disks and the five hard-disk letters";
}

}  // namespace
