// "-ds" on the older platform generation: the label text is the first line
// of "dir not.there", read through a real pipe from the interpreter named by
// COMSPEC. The interpreter here is a stand-in script that records how it was
// called and prints what the case gives it.
#include <stdlib.h>
#include <sys/stat.h>

#include <ostream>
#include <string>

#include <gtest/gtest.h>

#include "platform/sim/sim.h"
#include "support/report_support.h"
#include "support/runs.h"

namespace {

// The stand-in interpreter, in a fresh folder: appends its arguments to
// calls.txt, then prints output.txt.
class Interpreter {
public:
    explicit Interpreter(const std::string& output) : folder_(TemporaryFolder())
    {
        WriteWholeFile(folder_ + "/output.txt", output);
        WriteWholeFile(Path(), "#!/bin/sh\nprintf '%s\\n' \"$*\" >> '" + folder_ +
                              "/calls.txt'\ncat '" + folder_ + "/output.txt'\n");
        chmod(Path().c_str(), 0755);
    }
    std::string Path() const { return folder_ + "/cmd"; }
    std::string Calls() const { return ReadWholeFile(folder_ + "/calls.txt"); }
    std::string Folder() const { return folder_; }

private:
    std::string folder_;
};

// C, F and H reach the label step; D's open and G's layout read fail first.
std::string ExpectedReport(const std::string& firstPiece, const std::string& laterPiece)
{
    return "C:\tphysicaldrive0\tSignature = 1" + firstPiece +
           "D:Error opening \\\\.\\D:. Error: 5:  Error 5: ERROR_ACCESS_DENIED\n"
           "F:\tphysicaldrive1\tUnknown signature on Dynamic Disk" + laterPiece +
           "G:\tphysicaldrive1\tDISPLAY SIGNATURE: Could not get device information:  Error 21: "
           "ERROR_NOT_READY\n"
           "H:\tphysicaldrive0\tSignature = 1" + laterPiece;
}

std::string ExpectedReport(const std::string& labelPiece)
{
    return ExpectedReport(labelPiece, labelPiece);
}

const char kListing[] =
    " Volume Serial Number is 1A2B-3C4D\n\n Directory of C:\\\n\nFile Not Found\n";
const std::string kLine126 = " Volume in drive C is " + std::string(104, 'L');
const std::string kLine127 = kLine126 + "M";
const std::string kLine200 = kLine127 + std::string(73, 'N');

struct DirCase {
    const char* name;
    std::string output;      // what the interpreter prints
    std::string machineEnd;  // lines added to the machine file
    std::string labelPiece;  // what each letter that reaches the label step gets
    int calls;               // interpreter runs
};

const DirCase kDirCases[] = {
    {.name = "header",
     .output = std::string(" Volume in drive C is SYSTEM\n") + kListing,
     .machineEnd = "",
     .labelPiece = "\t Volume in drive C is SYSTEM\n",
     .calls = 3},
    {.name = "percent",
     .output = std::string(" Volume in drive C is 100% %s %n\n") + kListing,
     .machineEnd = "",
     .labelPiece = "\t Volume in drive C is 100% %s %n\n",
     .calls = 3},
    {.name = "line126",
     .output = kLine126 + "\n" + kListing,
     .machineEnd = "",
     .labelPiece = "\t" + kLine126 + "\n",
     .calls = 3},
    {.name = "line127",
     .output = kLine127 + "\n" + kListing,
     .machineEnd = "",
     .labelPiece = "\t" + kLine127,
     .calls = 3},
    {.name = "line200",
     .output = kLine200 + "\n" + kListing,
     .machineEnd = "",
     .labelPiece = "\t" + kLine127,
     .calls = 3},
    {.name = "empty", .output = "", .machineEnd = "", .labelPiece = "", .calls = 3},
    {.name = "refused",
     .output = kListing,
     .machineEnd = "fail popen \"dir not.there\" 8\n",
     .labelPiece = "\tVolume Name = PROBLEM RETRIEVING.\n",
     .calls = 0},
};

void PrintTo(const DirCase& testCase, std::ostream* out)
{
    *out << testCase.name;
}

class ReportDirHeader : public testing::TestWithParam<DirCase> {
protected:
    // The machine file with the case's lines, beside the interpreter.
    std::string WriteMachine(const Interpreter& interpreter) const
    {
        std::string path = interpreter.Folder() + "/older.machine";
        WriteWholeFile(path, ReadWholeFile(ReportMachinePath("older-generation")) + GetParam().machineEnd);
        return path;
    }
    std::string ExpectedCalls() const
    {
        std::string calls;
        for (int i = 0; i < GetParam().calls; ++i) {
            calls += "/c dir not.there\n";
        }
        return calls;
    }
};

TEST_P(ReportDirHeader, ProgramAppendsTheFirstLineOfDir)
{
    Interpreter interpreter(GetParam().output);
    ProgramRun run = RunProgram({"-ds"}, {"DISKSIG_MACHINE=" + WriteMachine(interpreter),
                                          "COMSPEC=" + interpreter.Path()});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output, ExpectedReport(GetParam().labelPiece));
    EXPECT_EQ(interpreter.Calls(), ExpectedCalls());
}

TEST_P(ReportDirHeader, EntryPointClosesEveryPipe)
{
    Interpreter interpreter(GetParam().output);
    LoadMachine(ReadWholeFile(WriteMachine(interpreter)));
    setenv("COMSPEC", interpreter.Path().c_str(), 1);
    auto run = RunInProcess({"-ds"});
    unsetenv("COMSPEC");
    EXPECT_EQ(run.result, 0);
    EXPECT_EQ(run.output, ExpectedReport(GetParam().labelPiece));
    EXPECT_EQ(interpreter.Calls(), ExpectedCalls());
}

INSTANTIATE_TEST_SUITE_P(Outputs, ReportDirHeader, testing::ValuesIn(kDirCases),
                         [](const testing::TestParamInfo<DirCase>& testCase) {
                             return std::string(testCase.param.name);
                         });

// A read from the pipe that fails without reaching the end of the output
// ends the read for that letter: nothing is appended, and the pipe is still
// closed. The next letter reads as usual.
TEST(ReportDirHeaderRead, FailedReadAppendsNothing)
{
    Interpreter interpreter(std::string(" Volume in drive C is SYSTEM\n") + kListing);
    LoadReportMachine("older-generation");
    setenv("COMSPEC", interpreter.Path().c_str(), 1);
    RunInProcess({"-ds"});
    long firstRead = CallNumber("pipe-read dir not.there");
    ASSERT_GT(firstRead, 0);
    LoadReportMachine("older-generation");
    sim::FailNthCall(firstRead, 5);
    auto run = RunInProcess({"-ds"});
    unsetenv("COMSPEC");
    EXPECT_EQ(run.result, 0);
    EXPECT_EQ(run.output, ExpectedReport("", "\t Volume in drive C is SYSTEM\n"));
}

}  // namespace
