// "-ds" end to end: each machine file's report, byte for byte, from the
// built program and from the entry point run in this process (where the
// simulator also proves that nothing is left open).
//
// The cases are the files in golden/report/: NAME.machine and beside it
// NAME.txt, the report it gives; default.txt alone is the report of the
// embedded default machine. Adding a case is adding the two files. With
// DISKSIG_UPDATE_GOLDEN=1 in the environment, the program's run rewrites
// each NAME.txt that differs from what it printed, for a reviewer to diff.
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "platform/sim/sim.h"
#include "support/golden.h"
#include "support/runs.h"

namespace {

const char kGoldenFolder[] = "golden/report";
const char kDefaultCase[] = "default";  // the embedded machine, named by no machine file

std::string GoldenPath(const std::string& name, const char* extension)
{
    return TestDataPath(std::string(kGoldenFolder) + "/" + name + extension);
}


class ReportGolden : public testing::TestWithParam<std::string> {
protected:
    bool IsDefault() const { return GetParam() == kDefaultCase; }
    std::string MachinePath() const { return IsDefault() ? "" : GoldenPath(GetParam(), ".machine"); }
    std::string ExpectedPath() const { return GoldenPath(GetParam(), ".txt"); }

    // False, with the test failed, when one of the case's two files is missing
    // (the expected output may be missing in update mode: it is written).
    bool CaseIsWhole() const
    {
        if (!IsDefault() && !std::filesystem::exists(MachinePath())) {
            ADD_FAILURE() << ExpectedPath() << " has no machine file beside it";
            return false;
        }
        if (!UpdatingGolden() && !std::filesystem::exists(ExpectedPath())) {
            ADD_FAILURE() << MachinePath() << " has no expected output beside it"
                          << " (DISKSIG_UPDATE_GOLDEN=1 writes it)";
            return false;
        }
        return true;
    }
};

TEST_P(ReportGolden, ProgramPrintsTheReport)
{
    SCOPED_TRACE(std::string(kGoldenFolder) + "/" + GetParam());
    if (!CaseIsWhole()) {
        return;
    }
    ProgramRun run = RunProgram({"-ds"}, {"DISKSIG_MACHINE=" + MachinePath()});
    CompareWithGolden(ExpectedPath(), run.output);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.errors, "");
}

TEST_P(ReportGolden, EntryPointBuildsTheSameReport)
{
    SCOPED_TRACE(std::string(kGoldenFolder) + "/" + GetParam());
    if (!CaseIsWhole()) {
        return;
    }
    if (IsDefault()) {
        sim::LoadDefaultMachine();
    } else {
        LoadMachine(ReadWholeFile(MachinePath()), TestDataPath(kGoldenFolder));
    }
    auto run = RunInProcess({"-ds"});
    EXPECT_EQ(run.result, 0);
    EXPECT_EQ(run.output, ReadWholeFile(ExpectedPath()));
}

INSTANTIATE_TEST_SUITE_P(Machines, ReportGolden, testing::ValuesIn(GoldenCaseNames(kGoldenFolder, {".machine", ".txt"})),
                         GoldenTestName);

}  // namespace
