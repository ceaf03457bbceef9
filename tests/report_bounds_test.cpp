// "-ds" on machines too large for some buffer: reports past 4096 bytes and
// past the working text, deep chains of mount points, labels too long for
// their line, and folder paths too long to form. The machines are made here.
#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/sim/sim.h"
#include "support/report_support.h"
#include "support/runs.h"
#include "support/sim_fixture.h"

namespace {

const std::string kTruncationLine = "DISPLAY SIGNATURE: Report truncated.\n";
const size_t kLongestReport = 32767;  // the working text less its terminator
// The room kept for the truncation line is never the report's own.
const size_t kLongestWholeReport = kLongestReport - kTruncationLine.size();

// A machine whose drive C: is the volume ROOT on disk 0 (signature 1), and
// what its report starts with.
const std::string kRootMachine =
    "disk 0 signature 1\nvolume ROOT disk 0 fs NTFS label ROOT\n"
    "letter C \\Device\\HarddiskVolume1 ROOT\n";
const std::string kRootEntry = "C:\tphysicaldrive0\tSignature = 1\tVolume Name = ROOT.\n";

std::string Numbered(const char* stem, int number)
{
    std::string digits = std::to_string(number);
    return stem + std::string(digits.size() < 3 ? 3 - digits.size() : 0, '0') + digits;
}

// The pieces of one mount-point entry, each as the report shows it.
std::vector<std::string> MountPointPieces(const std::string& folder, const std::string& label)
{
    return {"  " + folder + " ", "\tphysicaldrive0", "\tSignature = 1.",
            "\tVolume Name = " + label + ".\n"};
}

// C: with `count` volumes mounted in folders of it, side by side (nested
// false) or each inside the one before (nested true).
struct MountedMachine {
    std::string text = kRootMachine;
    std::vector<std::string> pieces = {kRootEntry};
};

MountedMachine MachineWithMounts(int count, bool nested, size_t firstLabelPadding = 0)
{
    MountedMachine machine;
    std::string holder = "ROOT";
    std::string folder = "C:\\";
    for (int i = 0; i < count; ++i) {
        std::string volume = Numbered("M", i);
        std::string label = volume + std::string(i == 0 ? firstLabelPadding : 0, 'p');
        std::string mountPoint = nested ? std::string("d\\") : Numbered("folder", i) + "\\";
        machine.text += "volume " + volume + " disk 0 fs NTFS label " + label + "\n" +
                        "mount " + holder + " " + mountPoint + " " + volume + "\n";
        std::vector<std::string> entry = MountPointPieces(folder + mountPoint, label);
        machine.pieces.insert(machine.pieces.end(), entry.begin(), entry.end());
        if (nested) {
            holder = volume;
            folder += mountPoint;
        }
    }
    return machine;
}

std::string Joined(const std::vector<std::string>& pieces)
{
    std::string text;
    for (const std::string& piece : pieces) {
        text += piece;
    }
    return text;
}

// A report that did not fit: whole pieces from the start, as many as fit
// with the truncation line after them, then that line.
void ExpectTruncatedAfterWholePieces(const std::string& report, const std::vector<std::string>& pieces)
{
    ASSERT_GE(report.size(), kTruncationLine.size());
    ASSERT_LE(report.size(), kLongestReport);
    ASSERT_EQ(report.substr(report.size() - kTruncationLine.size()), kTruncationLine);
    std::string kept = report.substr(0, report.size() - kTruncationLine.size());
    std::string whole;
    size_t next = 0;
    while (next < pieces.size() && whole.size() < kept.size()) {
        whole += pieces[next++];
    }
    ASSERT_EQ(kept, whole) << "the report is not cut between two pieces";
    ASSERT_LT(next, pieces.size());
    EXPECT_GT(kept.size() + pieces[next].size() + kTruncationLine.size(), kLongestReport)
        << "a piece that fits was dropped";
}

struct SizeCase {
    const char* name;
    int mounts;
    bool nested;
    bool truncated;
};

const SizeCase kSizeCases[] = {
    {.name = "PastTheOldReport", .mounts = 80, .nested = false, .truncated = false},  // about 6 KB, once cut at 4096
    {.name = "PastTheWorkingText", .mounts = 500, .nested = false, .truncated = true},  // about 35 KB
    {.name = "NestedWhole", .mounts = 150, .nested = true, .truncated = false},         // 150 levels, about 31 KB
    {.name = "NestedPastTheWorkingText", .mounts = 400, .nested = true, .truncated = true},
};

void PrintTo(const SizeCase& testCase, std::ostream* out)
{
    *out << testCase.name;
}

class ReportSize : public testing::TestWithParam<SizeCase> {};

TEST_P(ReportSize, ReportIsWholeOrEndsWithTheTruncationLine)
{
    MountedMachine machine = MachineWithMounts(GetParam().mounts, GetParam().nested);
    auto run = ReportOfMachine(machine.text);
    EXPECT_EQ(run.result, 0);
    if (GetParam().truncated) {
        ExpectTruncatedAfterWholePieces(run.output, machine.pieces);
    } else {
        EXPECT_EQ(run.output, Joined(machine.pieces));
    }
}

INSTANTIATE_TEST_SUITE_P(Machines, ReportSize, testing::ValuesIn(kSizeCases),
                         [](const testing::TestParamInfo<SizeCase>& testCase) {
                             return std::string(testCase.param.name);
                         });

// The cut of a full report falls wherever the first piece that does not fit
// begins, here inside a mount-point entry's line.
TEST(ReportTruncation, LineStartsAtTheCutInsideALine)
{
    MountedMachine machine = MachineWithMounts(500, false);
    auto run = ReportOfMachine(machine.text);
    std::string kept = run.output.substr(0, run.output.size() - kTruncationLine.size());
    ASSERT_FALSE(kept.empty());
    EXPECT_NE(kept.back(), '\n');
}

// Labels as long as the 1024-character label buffer holds. A label line is
// 17 characters besides the label; the drive letter's line buffer holds 511
// characters, the mount point's 1023.
struct LabelCase {
    size_t length;
    size_t shownAtLetter;
    size_t shownAtMountPoint;
};

const LabelCase kLabelCases[] = {
    {.length = 494, .shownAtLetter = 494, .shownAtMountPoint = 494},
    {.length = 495, .shownAtLetter = 494, .shownAtMountPoint = 495},
    {.length = 1000, .shownAtLetter = 494, .shownAtMountPoint = 1000},
    {.length = 1006, .shownAtLetter = 494, .shownAtMountPoint = 1006},
    {.length = 1007, .shownAtLetter = 494, .shownAtMountPoint = 1006},
    {.length = 1023, .shownAtLetter = 494, .shownAtMountPoint = 1006},
};

void PrintTo(const LabelCase& testCase, std::ostream* out)
{
    *out << "label of " << testCase.length;
}

class ReportLongLabel : public testing::TestWithParam<LabelCase> {};

TEST_P(ReportLongLabel, LabelIsCutInsideTheLine)
{
    std::string label;
    while (label.size() < GetParam().length) {
        label += static_cast<char>('a' + label.size() % 26);
    }
    auto run = ReportOfMachine("disk 0 signature 1\n"
                              "volume V disk 0 fs NTFS label " + label + "\n"
                              "letter C \\Device\\HarddiskVolume1 V\n"
                              "volume W disk 0 fs NTFS label " + label + "\n"
                              "mount V m\\ W\n");
    EXPECT_EQ(run.output, "C:\tphysicaldrive0\tSignature = 1\tVolume Name = " +
                              label.substr(0, GetParam().shownAtLetter) + ".\n" +
                              "  C:\\m\\ \tphysicaldrive0\tSignature = 1.\tVolume Name = " +
                              label.substr(0, GetParam().shownAtMountPoint) + ".\n");
}

INSTANTIATE_TEST_SUITE_P(Lengths, ReportLongLabel, testing::ValuesIn(kLabelCases),
                         [](const testing::TestParamInfo<LabelCase>& testCase) {
                             return "Length" + std::to_string(testCase.param.length);
                         });

// Folder paths past 1024 characters: C:\A...\B...\ would be 1205 long, and
// the mount-point path of the 980-character folder (after the 49-character
// volume GUID path) 1030. Each is named and not looked up; what follows it
// is reported.
TEST(ReportPathTooLong, MountPointIsNamedAndNotLookedUp)
{
    std::string a(600, 'A');
    std::string b(600, 'B');
    std::string c(980, 'C');
    auto run = ReportOfMachine(kRootMachine +
                              "volume VA disk 0 fs NTFS label VA\nmount ROOT " + a + "\\ VA\n"
                              "volume VB disk 0 fs NTFS label VB\nmount VA " + b + "\\ VB\n"
                              "volume VK disk 0 fs NTFS label VK\nmount VA ok\\ VK\n"
                              "volume VC disk 0 fs NTFS label VC\nmount ROOT " + c + "\\ VC\n");
    std::string tooLong = "Path too long: not reported.\n";
    EXPECT_EQ(run.output,
              kRootEntry +
                  "  C:\\" + a + "\\ \tphysicaldrive0\tSignature = 1.\tVolume Name = VA.\n" +
                  "  C:\\" + a + "\\" + b + "\\ " + tooLong +
                  "  C:\\" + a + "\\ok\\ \tphysicaldrive0\tSignature = 1.\tVolume Name = VK.\n" +
                  "  C:\\" + c + "\\ " + tooLong);
    for (const std::string& call : sim::CallLog()) {
        if (call.rfind("GetVolumeNameForVolumeMountPointA", 0) == 0) {
            EXPECT_TRUE(call.find(b) == std::string::npos && call.find(c) == std::string::npos)
                << "looked up: " << call.substr(0, 80) << "...";
        }
    }
}


// A full working text stops the walk of mount points, not the visit of the
// letters: a later letter's device number that can't be read is still said.
TEST(ReportFull, LettersAfterAFullTextStillSayWhatWentWrong)
{
    MountedMachine machine = MachineWithMounts(600, false);
    machine.text += "volume ZV disk 0 fs NTFS label ZV\nletter Z \\Device\\HarddiskVolume9 ZV\n"
                    "fail device-number \\\\.\\Z: 21\n";
    CommandRun run = ReportOfMachine(machine.text);
    const std::string direct = "ERROR: DISPLAY SIGNATURE: Could not get device number:  Error 21: ERROR_NOT_READY\n";
    EXPECT_EQ(run.output.rfind(direct, 0), 0u);
    ExpectTruncatedAfterWholePieces(run.output.substr(direct.size()), machine.pieces);
    EXPECT_EQ(run.result, 0);
}

// Reports that end exactly at the longest whole report, or one character
// past it: the first mounted volume's label is lengthened to the length.
struct FitCase {
    const char* name;
    size_t pastTheLongest;  // characters the whole report would have past it
    bool truncated;
};

const FitCase kFitCases[] = {
    {.name = "LongestWholeReport", .pastTheLongest = 0, .truncated = false},
    {.name = "OneCharacterMore", .pastTheLongest = 1, .truncated = true},
};

void PrintTo(const FitCase& testCase, std::ostream* out)
{
    *out << testCase.name;
}

class ReportFit : public testing::TestWithParam<FitCase> {};

TEST_P(ReportFit, LongestWholeReportArrivesWhole)
{
    const int mounts = 487;  // about 50 characters short of the longest
    size_t shortBy = kLongestWholeReport - Joined(MachineWithMounts(mounts, false).pieces).size();
    MountedMachine machine = MachineWithMounts(mounts, false, shortBy + GetParam().pastTheLongest);
    ASSERT_EQ(Joined(machine.pieces).size(), kLongestWholeReport + GetParam().pastTheLongest);
    auto run = ReportOfMachine(machine.text);
    EXPECT_EQ(run.result, 0);
    if (GetParam().truncated) {  // the last label line is the piece refused
        machine.pieces.pop_back();
        EXPECT_EQ(run.output, Joined(machine.pieces) + kTruncationLine);
    } else {
        EXPECT_EQ(run.output, Joined(machine.pieces));
    }
}

INSTANTIATE_TEST_SUITE_P(Lengths, ReportFit, testing::ValuesIn(kFitCases),
                         [](const testing::TestParamInfo<FitCase>& testCase) {
                             return std::string(testCase.param.name);
                         });

// Paths that fill their 1024-character buffers exactly, or one character
// past: the mount-point path (the holding volume's GUID path, then the mount
// point) of C:\X...\, and the folder path C:\A...\B...\ of a volume mounted
// in a folder of another.
struct PathFitCase {
    const char* name;
    size_t mountPointPath;  // of the innermost mount point, 0 when it follows
    size_t folderPath;      // of the innermost mount point, 0 when it follows
    bool reported;
};

const PathFitCase kPathFitCases[] = {
    {.name = "MountPointPathOf1023", .mountPointPath = 1023, .folderPath = 0, .reported = true},
    {.name = "MountPointPathOf1024", .mountPointPath = 1024, .folderPath = 0, .reported = false},
    {.name = "FolderPathOf1023", .mountPointPath = 0, .folderPath = 1023, .reported = true},
    {.name = "FolderPathOf1024", .mountPointPath = 0, .folderPath = 1024, .reported = false},
};

void PrintTo(const PathFitCase& testCase, std::ostream* out)
{
    *out << testCase.name;
}

class ReportPathFit : public testing::TestWithParam<PathFitCase> {};

// A folder name that makes a path of `length` from the `before` characters
// ahead of it, backslash included.
std::string FolderFilling(size_t length, size_t before, char c)
{
    return std::string(length - before - 1, c) + "\\";
}

TEST_P(ReportPathFit, PathThatFillsItsBufferIsReported)
{
    LoadMachine(kRootMachine);
    const size_t guidPath = simtest::VolumeNameOf("C:\\").size();  // with its backslash
    ASSERT_EQ(guidPath, 49u);
    const size_t drive = 3;  // "C:\"
    std::string outer = GetParam().mountPointPath != 0 ? FolderFilling(GetParam().mountPointPath, guidPath, 'X')
                                                       : std::string(600, 'A') + "\\";
    std::string machine = kRootMachine + "volume VA disk 0 fs NTFS label VA\nmount ROOT " + outer + " VA\n";
    std::string folder = "C:\\" + outer;
    std::string entries = "  " + folder + " \tphysicaldrive0\tSignature = 1.\tVolume Name = VA.\n";
    std::string inner = "VA";
    if (GetParam().folderPath != 0) {
        std::string b = FolderFilling(GetParam().folderPath, drive + outer.size(), 'B');
        machine += "volume VB disk 0 fs NTFS label VB\nmount VA " + b + " VB\n";
        folder += b;
        inner = "VB";
    } else {
        entries.clear();
    }
    std::string head = "  " + folder + " ";
    auto run = ReportOfMachine(machine);
    EXPECT_EQ(run.output, kRootEntry + entries + head +
                              (GetParam().reported ? "\tphysicaldrive0\tSignature = 1.\tVolume Name = " + inner + ".\n"
                                                   : std::string("Path too long: not reported.\n")));
}

INSTANTIATE_TEST_SUITE_P(Lengths, ReportPathFit, testing::ValuesIn(kPathFitCases),
                         [](const testing::TestParamInfo<PathFitCase>& testCase) {
                             return std::string(testCase.param.name);
                         });

// Once a piece is refused nothing more can reach the report, so the walk asks
// the platform for no more mount points and opens no more mounted volumes;
// the letters after it are still visited. The pieces before the refused one
// fill the longest whole report exactly.
struct StopCase {
    const char* name;
    size_t piece;     // of the mount point's entry: head, device, signature, label
    bool opened;      // the refused piece's volume was opened before it
    bool labelAsked;  // and its label asked for
};

const StopCase kStopCases[] = {
    {.name = "Head", .piece = 0, .opened = false, .labelAsked = false},
    {.name = "PhysicalDrive", .piece = 1, .opened = true, .labelAsked = false},
    {.name = "Signature", .piece = 2, .opened = true, .labelAsked = false},
    {.name = "LabelLine", .piece = 3, .opened = true, .labelAsked = true},
};

void PrintTo(const StopCase& testCase, std::ostream* out)
{
    *out << testCase.name;
}

class ReportStop : public testing::TestWithParam<StopCase> {};

// The mount point whose entry holds the refused piece, and the label padding
// that makes the pieces before it fill the longest whole report.
struct RefusedPiece {
    int mount;
    size_t padding;
    size_t index;  // among the machine's pieces
};

RefusedPiece PieceAtTheLongest(const std::vector<std::string>& pieces, size_t piece)
{
    RefusedPiece refused = {0, 0, 0};
    size_t before = 0;
    for (size_t i = 0; i < pieces.size(); ++i) {
        if (i >= 5 && (i - 1) % 4 == piece && before <= kLongestWholeReport) {
            refused = {static_cast<int>((i - 1) / 4), kLongestWholeReport - before, i};
        }
        before += pieces[i].size();
    }
    return refused;
}

TEST_P(ReportStop, WalkStopsAskingAtTheFirstRefusedPiece)
{
    RefusedPiece refused = PieceAtTheLongest(MachineWithMounts(600, false).pieces, GetParam().piece);
    MountedMachine machine = MachineWithMounts(600, false, refused.padding);
    machine.text += "volume DV disk 0 fs NTFS label DV\nletter D \\Device\\HarddiskVolume9 DV\n"
                    "mount DV again\\ M001\n";
    auto run = ReportOfMachine(machine.text);
    machine.pieces.resize(refused.index);
    ASSERT_EQ(run.output, Joined(machine.pieces) + kTruncationLine);
    const auto& log = sim::CallLog();
    std::string lookup = "\\" + Numbered("folder", refused.mount) + "\\";
    auto at = std::find_if(log.begin(), log.end(), [&](const std::string& call) {
        return call.rfind("GetVolumeNameForVolumeMountPointA", 0) == 0 && call.ends_with(lookup);
    });
    ASSERT_NE(at, log.end()) << "the refused mount point was not looked up";
    bool letterVisited = false;
    for (auto call = at + 1; call != log.end(); ++call) {
        EXPECT_NE(call->rfind("FindFirstVolumeMountPointA", 0), 0u) << *call;
        EXPECT_NE(call->rfind("FindNextVolumeMountPointA", 0), 0u) << *call;
        EXPECT_NE(call->rfind("GetVolumeNameForVolumeMountPointA", 0), 0u) << *call;
        EXPECT_TRUE(GetParam().opened || call->rfind("CreateFileA \\\\?\\", 0) != 0) << *call;
        EXPECT_TRUE(GetParam().labelAsked || call->rfind("GetVolumeInformationA \\\\?\\", 0) != 0) << *call;
        letterVisited = letterVisited || *call == "CreateFileA \\\\.\\D:";
    }
    EXPECT_TRUE(letterVisited);
}

INSTANTIATE_TEST_SUITE_P(Pieces, ReportStop, testing::ValuesIn(kStopCases),
                         [](const testing::TestParamInfo<StopCase>& testCase) {
                             return std::string(testCase.param.name);
                         });

}  // namespace
