// "-ld" with every platform call of a run failing in turn, once with code 5
// and once with last-error 0 (named 31). Whatever fails, the run releases
// everything it opened (RunInProcess checks), changes no image, and either
// says in one line that the enumeration failed or completes the listing:
// every disk of the clean run is listed, in order, the document parses, and
// only the disk the failed call concerned differs from the clean listing.
#include <stdlib.h>

#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/sim/sim.h"
#include "support/runs.h"

namespace {

struct Scenario {
    const char* name;
    const char* machine;  // under golden/disks/, or "" for the default machine
    std::vector<std::string> images;  // image files it names, under golden/disks/
};

const Scenario kScenarios[] = {
    {"DefaultMachine", "", {}},
    {"ImageDisks", "image-disks", {"images/mbr.img", "images/gpt.img", "images/raw.img"}},
};

struct CodeCase {
    uint32_t injected;
    std::string errorText;
};

const CodeCase kCodes[] = {{5, " Error 5: ERROR_ACCESS_DENIED"}, {0, " Error 31: ERROR_GEN_FAILURE"}};

void PrintTo(const Scenario& scenario, std::ostream* out)
{
    *out << scenario.name;
}

bool StartsWith(const std::string& text, const std::string& start)
{
    return text.compare(0, start.size(), start) == 0;
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find('\n', start);
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

// The document's disk lines by number.
std::map<std::string, std::string> DiskLines(const std::string& document)
{
    std::map<std::string, std::string> disks;
    for (const std::string& line : Lines(document)) {
        if (StartsWith(line, "  {\"number\": ")) {
            disks[line.substr(13, line.find(',') - 13)] = line;
        }
    }
    return disks;
}

// The disk a call concerns: the number in "\\.\PhysicalDriveN" of the open
// the call follows, or the disk whose clean line holds the letter "X:".
std::string DiskOfCall(const std::vector<std::string>& log, size_t failed,
                       const std::map<std::string, std::string>& clean)
{
    for (size_t i = failed + 1; i-- > 0;) {
        const std::string& call = log[i];
        size_t drive = call.find("PhysicalDrive");
        if (StartsWith(call, "CreateFileA ") && drive != std::string::npos) {
            return call.substr(drive + 13);
        }
        size_t letter = call.find(':');
        if ((StartsWith(call, "CreateFileA \\\\.\\") || StartsWith(call, "QueryDosDeviceA ")) &&
            letter != std::string::npos) {
            std::string quoted = "\"" + call.substr(letter - 1, 2) + "\"";
            for (const auto& disk : clean) {
                if (disk.second.find(quoted) != std::string::npos) {
                    return disk.first;
                }
            }
            return "";
        }
    }
    return "";
}

// The first word of each line of the table after its header.
std::vector<std::string> DiskNames(const std::string& table)
{
    std::vector<std::string> names;
    for (const std::string& line : Lines(table)) {
        if (StartsWith(line, "physicaldrive")) {
            names.push_back(line.substr(0, line.find(' ')));
        }
    }
    return names;
}

bool ParsesAsJson(const std::string& text, const std::string& folder)
{
    WriteWholeFile(folder + "/document.json", text);
    std::string command = "jq -e '.disks | length >= 0' " + folder + "/document.json > /dev/null 2>&1";
    return system(command.c_str()) == 0;
}

class DisksFaults : public testing::TestWithParam<std::tuple<Scenario, CodeCase>> {
protected:
    const Scenario& Get() const { return std::get<0>(GetParam()); }
    const CodeCase& Code() const { return std::get<1>(GetParam()); }

    void SetUp() override
    {
        folder_ = TemporaryFolder();
        for (const std::string& image : Get().images) {
            std::string copy = folder_ + "/" + image;
            std::string parent = copy.substr(0, copy.rfind('/'));
            ASSERT_EQ(system(("mkdir -p " + parent).c_str()), 0);
            WriteWholeFile(copy, ReadWholeFile(TestDataPath("golden/disks/" + image)));
            images_[image] = ReadWholeFile(copy);
        }
    }

    void Load()
    {
        if (std::string(Get().machine).empty()) {
            sim::LoadDefaultMachine();
        } else {
            LoadMachine(ReadWholeFile(TestDataPath("golden/disks/" + std::string(Get().machine) + ".machine")),
                        folder_);
        }
    }

    void ExpectImagesKept()
    {
        for (const auto& image : images_) {
            EXPECT_EQ(ReadWholeFile(folder_ + "/" + image.first), image.second) << image.first;
        }
    }

    std::string folder_;
    std::map<std::string, std::string> images_;
};

TEST_P(DisksFaults, EveryCallFailingInTurnStillListsEveryDisk)
{
    Load();
    CommandRun clean = RunInProcess({"-ld", "json"});
    const std::vector<std::string> cleanLog = sim::CallLog();
    const std::map<std::string, std::string> cleanDisks = DiskLines(clean.output);
    ASSERT_FALSE(cleanDisks.empty());
    Load();
    const std::vector<std::string> cleanNames = DiskNames(RunInProcess({"-ld"}).output);
    ASSERT_EQ(cleanNames.size(), cleanDisks.size());
    for (size_t k = 1; k <= cleanLog.size(); ++k) {
        const std::string& failedCall = cleanLog[k - 1];
        SCOPED_TRACE("call " + std::to_string(k) + " failing: " + failedCall);
        Load();
        sim::FailNthCall(static_cast<long>(k), Code().injected);
        CommandRun run = RunInProcess({"-ld", "json"});
        ExpectImagesKept();
        if (failedCall == "QueryDosDeviceA (null)") {
            EXPECT_EQ(run.output, "LIST DISKS: Could not enumerate the disks:" + Code().errorText + "\n");
            EXPECT_EQ(run.result, Code().injected == 0 ? 31 : 5);
            continue;
        }
        EXPECT_TRUE(run.result == 0 || run.result == 1) << run.result;
        EXPECT_TRUE(ParsesAsJson(run.output, folder_)) << run.output;
        std::map<std::string, std::string> disks = DiskLines(run.output);
        ASSERT_EQ(disks.size(), cleanDisks.size()) << run.output;
        std::string concerned = DiskOfCall(cleanLog, k - 1, cleanDisks);
        for (const auto& disk : cleanDisks) {
            if (disk.first != concerned) {
                EXPECT_EQ(disks[disk.first], disk.second) << "a disk the failure did not concern";
            }
        }
        Load();
        sim::FailNthCall(static_cast<long>(k), Code().injected);
        CommandRun table = RunInProcess({"-ld"});
        EXPECT_EQ(table.result, run.result);
        EXPECT_EQ(DiskNames(table.output), cleanNames) << table.output;
    }
}

INSTANTIATE_TEST_SUITE_P(Scenarios, DisksFaults,
                         testing::Combine(testing::ValuesIn(kScenarios), testing::ValuesIn(kCodes)),
                         [](const testing::TestParamInfo<DisksFaults::ParamType>& testCase) {
                             return std::string(std::get<0>(testCase.param).name) + "_Code" +
                                    std::to_string(std::get<1>(testCase.param).injected);
                         });

}  // namespace
