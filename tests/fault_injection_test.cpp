// Every platform call of a run, made to fail in turn.
//
// For each scenario a clean run first counts the platform calls N and keeps
// the call log, the output and the disk images. Then the scenario runs N more
// times, run k with call k failing, once with a typical last-error code and
// once with last-error 0. Whatever fails, a run must release every handle,
// module, enumeration and pipe (RunInProcess checks), leave the disk images
// as they were unless a layout write succeeded, and name in its messages the
// code of the failure (31, ERROR_GEN_FAILURE, when the last-error reads 0).
// "-es"/"-ws" leave exactly one message line and return its code; "-ds"
// returns 0 and keeps every entry that did not depend on the failed call.
#include <stdlib.h>
#include <sys/stat.h>

#include <map>
#include <regex>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "platform/sim/sim.h"
#include "support/sim_fixture.h"
#include "support/runs.h"

namespace {

enum class Command { Signature, Report };

struct Scenario {
    const char* name;
    const char* machine;  // under machines/reliability/, or "" for the default machine
    std::vector<std::string> images;  // image files that machine names
    std::vector<std::string> arguments;
    Command command;
    bool standIn;  // COMSPEC names a stand-in interpreter
};

const Scenario kScenarios[] = {
    {.name = "Erase",
     .machine = "image-disk",
     .images = {"disk1.img"},
     .arguments = {"-es", "physicaldrive1"},
     .command = Command::Signature,
     .standIn = false},
    {.name = "Write",
     .machine = "image-disk",
     .images = {"disk1.img"},
     .arguments = {"-ws", "physicaldrive1", "1A2B3C4D"},
     .command = Command::Signature,
     .standIn = false},
    {.name = "ReportDefaultMachine",
     .machine = "",
     .images = {},
     .arguments = {"-ds"},
     .command = Command::Report,
     .standIn = false},
    {.name = "ReportMountChain",
     .machine = "image-mount-chain",
     .images = {"disk0.img"},
     .arguments = {"-ds"},
     .command = Command::Report,
     .standIn = false},
    {.name = "ReportOlderGeneration",
     .machine = "image-older-generation",
     .images = {"disk0.img"},
     .arguments = {"-ds"},
     .command = Command::Report,
     .standIn = true},
};

struct CodeCase {
    uint32_t injected;
    int named;  // the code the messages and the result carry
    std::string errorText;
};

const CodeCase kCodes[] = {
    {.injected = 5, .named = 5, .errorText = " Error 5: ERROR_ACCESS_DENIED"},
    {.injected = 0, .named = 31, .errorText = " Error 31: ERROR_GEN_FAILURE"},
};

void PrintTo(const Scenario& scenario, std::ostream* out)
{
    *out << scenario.name;
}

void PrintTo(const CodeCase& code, std::ostream* out)
{
    *out << "last-error " << code.injected;
}

const std::string kDeviceNumberCall = "DeviceIoControl 0x002d1080";
const std::string kSetLayoutCall = "DeviceIoControl 0x0007c010";
const std::string kDirectLineStart = "ERROR: DISPLAY SIGNATURE: Could not get device number: ";

bool StartsWith(const std::string& text, const std::string& start)
{
    return text.compare(0, start.size(), start) == 0;
}

bool EndsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// Every error code that a message of the output names: "Error: 5:" in the
// open failure, " Error 5: " in an error text.
std::vector<int> NamedCodes(const std::string& output)
{
    static const std::regex kNamed("Error:? (-?[0-9]+):");
    std::vector<int> codes;
    for (std::sregex_iterator it(output.begin(), output.end(), kNamed), end; it != end; ++it) {
        codes.push_back(std::stoi((*it)[1].str()));
    }
    return codes;
}

// One entry of the "-ds" report, as the clean run's call log shows it: a
// drive letter, or a mount point below a letter or below another mount
// point. Every call of the run belongs to one entry; a failed call may change
// its entry and the entries below it, and nothing else.
struct Entry {
    int parent = -1;
    bool reported = false;  // has text in the report (a letter must be a hard disk)
    bool isLetter = false;
    char letter = 0;
    size_t start = 0;  // where its text starts in the clean report
    size_t end = 0;    // where the text of it and everything below it ends
};

struct ReportMap {
    std::vector<Entry> entries;
    std::vector<int> owner;  // the entry each call belongs to, by call index
};

bool IsRootPath(const std::string& path)
{
    return path.size() == 3 && path[1] == ':' && path[2] == '\\';
}

std::string ArgumentOf(const std::string& call)
{
    return call.substr(call.find(' ') + 1);
}

// An enumeration of a volume's mount points, as the log names it (the
// volume GUID path), and the entry whose volume it enumerates.
struct Enumeration {
    std::string volume;
    int owner;
};

// Drops the enumerations that never started (their first call failed: the
// log can't tell) from the top, down to the first that `keeps`.
template <typename Keeps>
void DropUntil(std::vector<Enumeration>* enumerations, Keeps keeps)
{
    while (!enumerations->empty() && !keeps(enumerations->back())) {
        enumerations->pop_back();
    }
}

ReportMap MapCalls(const std::vector<std::string>& log)
{
    ReportMap map;
    int current = -1;
    std::vector<Enumeration> enumerating;
    for (const std::string& call : log) {
        std::string argument = ArgumentOf(call);
        auto enumerates = [&](const Enumeration& e) { return e.volume == argument; };
        auto holds = [&](const Enumeration& e) { return StartsWith(argument, e.volume); };
        if (StartsWith(call, "QueryDosDeviceA ")) {
            map.entries.push_back(Entry{-1, false, true, argument.empty() ? '?' : argument[0]});
            current = static_cast<int>(map.entries.size()) - 1;
            enumerating.clear();
        } else if (StartsWith(call, "FindFirstVolumeMountPointA ")) {
            enumerating.push_back(Enumeration{argument, current});
        } else if (StartsWith(call, "FindNextVolumeMountPointA ")) {
            DropUntil(&enumerating, enumerates);
            current = enumerating.empty() ? current : enumerating.back().owner;
        } else if (StartsWith(call, "FindVolumeMountPointClose ")) {
            DropUntil(&enumerating, enumerates);
            if (!enumerating.empty()) {
                current = enumerating.back().owner;
                enumerating.pop_back();
            }
        } else if (StartsWith(call, "GetVolumeNameForVolumeMountPointA ") && !IsRootPath(argument)) {
            DropUntil(&enumerating, holds);
            map.entries.push_back(Entry{enumerating.empty() ? -1 : enumerating.back().owner, true, false, 0});
            current = static_cast<int>(map.entries.size()) - 1;
        } else if (StartsWith(call, "CreateFileA \\\\.\\") && current >= 0) {
            map.entries[static_cast<size_t>(current)].reported = true;  // a hard-disk letter
        }
        map.owner.push_back(current);
    }
    return map;
}

bool IsBelow(const std::vector<Entry>& entries, size_t entry, size_t ancestor)
{
    for (int at = static_cast<int>(entry); at >= 0; at = entries[static_cast<size_t>(at)].parent) {
        if (static_cast<size_t>(at) == ancestor) {
            return true;
        }
    }
    return false;
}

// Where each reported entry starts in the clean report: a letter's at "X:"
// followed by its tab or its open failure, a mount point's at its head
// "  X:\". Entries follow one another depth first, as the calls do.
void PlaceEntries(const std::string& report, ReportMap* map)
{
    std::vector<Entry>& entries = map->entries;
    size_t from = 0;
    for (Entry& entry : entries) {
        if (!entry.reported) {
            continue;
        }
        size_t at = from;
        for (; at + 4 < report.size(); ++at) {
            bool letterStart = entry.isLetter && report[at] == entry.letter && report[at + 1] == ':' &&
                               (report[at + 2] == '\t' || report[at + 2] == 'E');
            bool headStart = !entry.isLetter && report.compare(at, 2, "  ") == 0 &&
                             report[at + 3] == ':' && report[at + 4] == '\\';
            if (letterStart || headStart) {
                break;
            }
        }
        ASSERT_LT(at + 4, report.size()) << "no place in the clean report for entry " << (&entry - &entries[0]);
        entry.start = at;
        from = at + 1;
    }
    // An entry's span reaches to the next reported entry not below it; an
    // entry without text has an empty span where it would stand.
    for (size_t i = entries.size(); i-- > 0;) {
        size_t next = report.size();
        for (size_t j = i + 1; j < entries.size(); ++j) {
            if (entries[j].reported && !IsBelow(entries, j, i)) {
                next = entries[j].start;
                break;
            }
        }
        if (!entries[i].reported) {
            entries[i].start = next;
        }
        entries[i].end = next;
    }
}

// A stand-in for the platform's command interpreter: prints a header line.
std::string WriteStandIn(const std::string& folder)
{
    std::string path = folder + "/cmd";
    WriteWholeFile(path, "#!/bin/sh\nprintf ' Volume in drive C is SYSTEM\\n'\n");
    chmod(path.c_str(), 0755);
    return path;
}

class FaultInjection : public testing::TestWithParam<std::tuple<Scenario, CodeCase>> {
protected:
    void SetUp() override
    {
        folder_ = TemporaryFolder();
        if (Get().standIn) {
            setenv("COMSPEC", WriteStandIn(folder_).c_str(), 1);
        }
    }
    void TearDown() override { unsetenv("COMSPEC"); }

    const Scenario& Get() const { return std::get<0>(GetParam()); }
    const CodeCase& Code() const { return std::get<1>(GetParam()); }

    // A fresh machine with fresh images, so that every run starts alike.
    void LoadFresh()
    {
        for (const std::string& image : Get().images) {
            WriteWholeFile(folder_ + "/" + image,
                      simtest::MbrImage(0x5D1A2B3C,
                                        {{.status = 0x80, .type = 0x07, .firstLba = 63, .sectors = 100},
                                         {.status = 0x00, .type = 0x83, .firstLba = 163, .sectors = 20}}));
        }
        if (std::string(Get().machine).empty()) {
            sim::LoadDefaultMachine();
        } else {
            LoadMachine(ReadWholeFile(TestDataPath("machines/reliability/" + std::string(Get().machine) +
                                              ".machine")),
                        folder_);
        }
    }

    std::map<std::string, std::string> Images() const
    {
        std::map<std::string, std::string> images;
        for (const std::string& image : Get().images) {
            images[image] = ReadWholeFile(folder_ + "/" + image);
        }
        return images;
    }

    std::string folder_;
};

void ExpectSignatureRun(const CommandRun& run, const CommandRun& clean, bool wrote, const CodeCase& code)
{
    EXPECT_EQ(run.output.find('\n'), run.output.size() - 1) << "not exactly one message line:\n" << run.output;
    EXPECT_EQ(run.result == 0, wrote) << "a run succeeds exactly when its layout write does";
    if (run.result == 0) {
        EXPECT_EQ(run.output, clean.output);
        return;
    }
    EXPECT_EQ(run.result, code.named);
    EXPECT_TRUE(EndsWith(run.output, code.errorText + "\n")) << run.output;
}

void ExpectReportRun(const CommandRun& run, const std::string& clean, const ReportMap& map, size_t failed,
                     const std::string& failedCall, const CodeCase& code)
{
    EXPECT_EQ(run.result, 0);
    std::string report = run.output;
    const Entry& owner = map.entries[static_cast<size_t>(map.owner[failed])];
    if (owner.isLetter && failedCall == kDeviceNumberCall) {
        ASSERT_TRUE(StartsWith(report, kDirectLineStart + code.errorText + "\n")) << report;
        report.erase(0, report.find('\n') + 1);
    }
    EXPECT_FALSE(StartsWith(report, kDirectLineStart)) << report;
    std::string before = clean.substr(0, owner.start);
    std::string after = clean.substr(owner.end);
    EXPECT_TRUE(report.size() >= before.size() + after.size() && StartsWith(report, before) &&
                EndsWith(report, after))
        << "entries that did not depend on the failed call changed.\nClean:\n"
        << clean << "\nKept before the failed entry:\n" << before << "\nKept after it:\n" << after
        << "\nGot:\n" << report;
}

TEST_P(FaultInjection, EveryCallFailingInTurnKeepsWhatThePlatformPromises)
{
    LoadFresh();
    std::map<std::string, std::string> original = Images();
    CommandRun clean = RunInProcess(Get().arguments);
    const std::vector<std::string> cleanLog = sim::CallLog();
    std::map<std::string, std::string> written = Images();
    const long calls = sim::CallCount();
    ASSERT_GT(calls, 0);
    ASSERT_EQ(static_cast<long>(cleanLog.size()), calls);
    ReportMap map;
    if (Get().command == Command::Report) {
        ASSERT_EQ(clean.result, 0);
        ASSERT_EQ(written, original) << "\"-ds\" wrote to a disk";
        map = MapCalls(cleanLog);
        PlaceEntries(clean.output, &map);
        if (HasFatalFailure()) {
            return;
        }
    }
    for (long k = 1; k <= calls; ++k) {
        const std::string& failedCall = cleanLog[static_cast<size_t>(k - 1)];
        SCOPED_TRACE("call " + std::to_string(k) + " of " + std::to_string(calls) + " failing: " + failedCall);
        LoadFresh();
        sim::FailNthCall(k, Code().injected);
        CommandRun run = RunInProcess(Get().arguments);
        const std::vector<std::string>& log = sim::CallLog();
        ASSERT_GE(log.size(), static_cast<size_t>(k));
        ASSERT_EQ(log[static_cast<size_t>(k - 1)], failedCall) << "the run took another road before the failure";
        bool wrote = false;
        for (size_t i = 0; i < log.size(); ++i) {
            wrote = wrote || (StartsWith(log[i], kSetLayoutCall) && i + 1 != static_cast<size_t>(k));
        }
        EXPECT_EQ(Images(), wrote ? written : original) << "disk images changed without a layout write";
        for (int named : NamedCodes(run.output)) {
            EXPECT_EQ(named, Code().named) << run.output;
        }
        if (Get().command == Command::Signature) {
            ExpectSignatureRun(run, clean, wrote, Code());
        } else {
            ExpectReportRun(run, clean.output, map, static_cast<size_t>(k - 1), failedCall, Code());
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Scenarios, FaultInjection,
                         testing::Combine(testing::ValuesIn(kScenarios), testing::ValuesIn(kCodes)),
                         [](const testing::TestParamInfo<FaultInjection::ParamType>& testCase) {
                             return std::string(std::get<0>(testCase.param).name) + "_Code" +
                                    std::to_string(std::get<1>(testCase.param).injected);
                         });

}  // namespace
