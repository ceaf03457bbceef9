// "-ld" end to end: each machine file's table and JSON document, byte for
// byte, and the exit status, from the built program and from the entry point
// run in this process (where the simulator also proves that nothing is left
// open). Every document is read back by a real JSON parser (jq).
//
// The cases are the files in golden/disks/: NAME.machine and beside it
// NAME.txt (the table), NAME.json (the document) and NAME.status (the exit
// status of both); the default.* files alone are the embedded default
// machine's. Adding a case is adding its files. With DISKSIG_UPDATE_GOLDEN=1
// in the environment, the program's runs rewrite each expected file that
// differs from what it printed, for a reviewer to diff.
#include <stdlib.h>

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/sim/sim.h"
#include "support/golden.h"
#include "support/runs.h"

namespace {

const char kGoldenFolder[] = "golden/disks";
const char kDefaultCase[] = "default";

std::string GoldenPath(const std::string& name, const char* extension)
{
    return TestDataPath(std::string(kGoldenFolder) + "/" + name + extension);
}

// True when jq reads the text as one JSON document.
bool ParsesAsJson(const std::string& text)
{
    std::string path = TemporaryFolder() + "/document.json";
    WriteWholeFile(path, text);
    std::string command = "jq -e 'has(\"disks\")' " + path + " > /dev/null 2>&1";
    return system(command.c_str()) == 0;
}

// One form of the listing: its operands and the extension of its expected file.
struct Form {
    std::vector<std::string> arguments;
    const char* extension;
};

const Form kForms[] = {{{"-ld"}, ".txt"}, {{"-ld", "json"}, ".json"}};

class DisksGolden : public testing::TestWithParam<std::string> {
protected:
    bool IsDefault() const { return GetParam() == kDefaultCase; }
    std::string MachinePath() const { return IsDefault() ? "" : GoldenPath(GetParam(), ".machine"); }

    bool CaseIsWhole() const
    {
        if (!IsDefault() && !std::filesystem::exists(MachinePath())) {
            ADD_FAILURE() << GetParam() << " has no machine file";
            return false;
        }
        for (const char* extension : {".txt", ".json", ".status"}) {
            if (!UpdatingGolden() && !std::filesystem::exists(GoldenPath(GetParam(), extension))) {
                ADD_FAILURE() << GetParam() << " has no " << extension
                              << " file (DISKSIG_UPDATE_GOLDEN=1 writes it)";
                return false;
            }
        }
        return true;
    }

    int ExpectedStatus() const { return std::stoi(ReadWholeFile(GoldenPath(GetParam(), ".status"))); }
};

TEST_P(DisksGolden, ProgramPrintsTheListing)
{
    SCOPED_TRACE(std::string(kGoldenFolder) + "/" + GetParam());
    if (!CaseIsWhole()) {
        return;
    }
    std::vector<int> statuses;
    for (const Form& form : kForms) {
        ProgramRun run = RunProgram(form.arguments, {"DISKSIG_MACHINE=" + MachinePath()});
        CompareWithGolden(GoldenPath(GetParam(), form.extension), run.output);
        EXPECT_EQ(run.errors, "");
        statuses.push_back(run.status);
    }
    EXPECT_EQ(statuses[0], statuses[1]) << "the table and the document end alike";
    CompareWithGolden(GoldenPath(GetParam(), ".status"), std::to_string(statuses[0]) + "\n");
}

TEST_P(DisksGolden, EntryPointBuildsTheSameListing)
{
    SCOPED_TRACE(std::string(kGoldenFolder) + "/" + GetParam());
    if (UpdatingGolden() || !CaseIsWhole()) {
        return;
    }
    for (const Form& form : kForms) {
        if (IsDefault()) {
            sim::LoadDefaultMachine();
        } else {
            LoadMachine(ReadWholeFile(MachinePath()), TestDataPath(kGoldenFolder));
        }
        CommandRun run = RunInProcess(form.arguments);
        EXPECT_EQ(run.output, ReadWholeFile(GoldenPath(GetParam(), form.extension)));
        EXPECT_EQ(run.result & 0xff, ExpectedStatus());
    }
}

// A document is what the listing printed, unless the enumeration failed or
// the listing could not be printed: then the one message line stands there.
TEST_P(DisksGolden, EveryDocumentParsesAsJson)
{
    std::string path = GoldenPath(GetParam(), ".json");
    if (!std::filesystem::exists(path)) {
        return;
    }
    std::string document = ReadWholeFile(path);
    if (document.compare(0, 11, "LIST DISKS:") == 0) {
        EXPECT_EQ(document.find('\n'), document.size() - 1) << "one message line";
        return;
    }
    EXPECT_TRUE(ParsesAsJson(document)) << path;
}

INSTANTIATE_TEST_SUITE_P(Cases, DisksGolden,
                         testing::ValuesIn(GoldenCaseNames(kGoldenFolder, {".machine", ".txt",
                                                                           ".json", ".status"})),
                         GoldenTestName);

}  // namespace
