// "-ds" end to end: each machine file's report, byte for byte, from the
// built program and from the entry point run in this process (where the
// simulator also proves that nothing is left open).
#include <ostream>
#include <string>

#include <gtest/gtest.h>

#include "platform/sim/sim.h"
#include "report_support.h"
#include "support/runs.h"

namespace {

struct GoldenCase {
    const char* name;  // the machine file and the golden report; "default" is
                       // the embedded machine, named by no machine file
};

const GoldenCase kGoldenCases[] = {
    {"default"},               // the road of one run, with a two-level chain
    {"drive-letters"},         // every kind of letter, labels with and without
    {"mount-chain"},           // a chain of mount points three levels deep
    {"letter-selection"},      // selection by device target, signature digits
    {"letter-failures"},       // open, device number, layout; too large a layout
    {"labels"},                // empty label, no file system, failed lookup, "%"
    {"label-no-module"},       // the label service's module can't be loaded
    {"label-no-entry-point"},  // the module lacks the label service
    {"mount-failures"},        // every failure of the walk, and a deeper prefix
    {"mount-tree"},            // enumeration order, depth first, double listings
    {"mount-cycles"},          // a volume mounted inside itself, directly or not
};

void PrintTo(const GoldenCase& testCase, std::ostream* out)
{
    *out << testCase.name;
}

class ReportGolden : public testing::TestWithParam<GoldenCase> {
protected:
    bool IsDefault() const { return std::string(GetParam().name) == "default"; }
};

TEST_P(ReportGolden, ProgramPrintsTheReport)
{
    std::string machine = IsDefault() ? "" : ReportMachinePath(GetParam().name);
    ProgramRun run = RunProgram({"-ds"}, {"DISKSIG_MACHINE=" + machine});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output, GoldenReport(GetParam().name));
    EXPECT_EQ(run.errors, "");
}

TEST_P(ReportGolden, EntryPointBuildsTheSameReport)
{
    if (IsDefault()) {
        sim::LoadDefaultMachine();
    } else {
        LoadReportMachine(GetParam().name);
    }
    auto run = RunInProcess({"-ds"});
    EXPECT_EQ(run.result, 0);
    EXPECT_EQ(run.output, GoldenReport(GetParam().name));
}

INSTANTIATE_TEST_SUITE_P(Machines, ReportGolden, testing::ValuesIn(kGoldenCases),
                         [](const testing::TestParamInfo<GoldenCase>& testCase) {
                             std::string name = testCase.param.name;
                             std::erase(name, '-');
                             return name;
                         });

}  // namespace
