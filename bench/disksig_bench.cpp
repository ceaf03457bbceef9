// In-process benchmarks of the entry point on the simulated machine: "-ds" on
// machines of 10, 100 and 500 mount points and on one of 10 mount points among
// 5000 unmounted volumes, "-ld" and "-ld json" on 64 disks and 26 letters, and
// "-ws" on an image-backed disk. Each iteration is one whole command: the
// entry point, every platform call, and the report printed (to /dev/null). The machine is loaded anew
// before each iteration, outside the timing, so that the simulator's call log
// starts empty every time.
//
// "disksig_bench machines DIR" writes the machine files instead, for
// bench/measure.sh.
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "app/disksig.h"
#include "bench_machines.h"
#include "platform/sim/sim.h"

namespace {

// Standard output goes to /dev/null while a benchmark runs, and back to the
// benchmark's reporter afterwards.
class QuietStdout {
public:
    QuietStdout() : saved_(dup(STDOUT_FILENO))
    {
        fflush(stdout);
        int quiet = open("/dev/null", O_WRONLY);
        dup2(quiet, STDOUT_FILENO);
        close(quiet);
    }
    ~QuietStdout()
    {
        fflush(stdout);
        dup2(saved_, STDOUT_FILENO);
        close(saved_);
    }
    QuietStdout(const QuietStdout&) = delete;
    QuietStdout& operator=(const QuietStdout&) = delete;

private:
    int saved_;
};

struct CommandLine {
    std::vector<std::string> words;
    std::vector<char*> argv;

    explicit CommandLine(std::vector<std::string> arguments) : words(std::move(arguments))
    {
        for (std::string& word : words) {
            argv.push_back(word.data());
        }
        argv.push_back(nullptr);
    }
    int Run() { return DiskSigMain(static_cast<int>(words.size()), argv.data()); }
};

void Load(const std::string& text, const std::string& folder, benchmark::State& state)
{
    std::string error;
    if (!sim::LoadMachineText(text, folder, "bench.machine", &error)) {
        state.SkipWithError(error.c_str());
    }
}

void DisplaySignatures(benchmark::State& state, int mountPoints, int unmountedVolumes)
{
    const std::string machine = bench::MountPointMachine(mountPoints, unmountedVolumes);
    const double entries = mountPoints + 1.0;  // the drive letter's and one per mount point
    CommandLine command({"disksig", "-ds"});
    QuietStdout quiet;
    for (auto _ : state) {
        state.PauseTiming();
        Load(machine, "", state);
        state.ResumeTiming();
        benchmark::DoNotOptimize(command.Run());
    }
    state.counters["entries"] = entries;
    state.counters["time_per_entry"] =
        benchmark::Counter(entries * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_DisplaySignatures(benchmark::State& state)
{
    DisplaySignatures(state, static_cast<int>(state.range(0)), 0);
}
BENCHMARK(BM_DisplaySignatures)->Arg(10)->Arg(100)->Arg(500)->Unit(benchmark::kMicrosecond);

// Argument 0 the table, 1 the JSON document; an entry is one disk.
void BM_ListDisks(benchmark::State& state)
{
    const std::string machine = bench::ListingMachine();
    const double entries = 64;
    CommandLine command(state.range(0) == 0 ? std::vector<std::string>{"disksig", "-ld"}
                                            : std::vector<std::string>{"disksig", "-ld", "json"});
    QuietStdout quiet;
    for (auto _ : state) {
        state.PauseTiming();
        Load(machine, "", state);
        state.ResumeTiming();
        if (command.Run() != 0) {
            state.SkipWithError("-ld found a collision or failed");
            break;
        }
    }
    state.counters["entries"] = entries;
    state.counters["time_per_entry"] =
        benchmark::Counter(entries * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_ListDisks)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// 10 mount points on a machine that defines thousands of volumes it never
// mounts.
void BM_DisplaySignaturesAmongUnmounted(benchmark::State& state)
{
    DisplaySignatures(state, 10, static_cast<int>(state.range(0)));
}
BENCHMARK(BM_DisplaySignaturesAmongUnmounted)->Arg(bench::kUnmountedVolumes)->Unit(benchmark::kMicrosecond);

void BM_WriteSignature(benchmark::State& state)
{
    char pattern[] = "/tmp/disksig-bench-XXXXXX";
    if (mkdtemp(pattern) == nullptr) {
        state.SkipWithError("no temporary folder");
        return;
    }
    const std::string folder = pattern;
    bench::WriteMachines(folder);
    const std::string machine = bench::ImageDiskMachine();
    CommandLine command({"disksig", "-ws", "physicaldrive1", "1A2B3C4D"});
    {
        QuietStdout quiet;
        for (auto _ : state) {
            state.PauseTiming();
            Load(machine, folder, state);
            state.ResumeTiming();
            if (command.Run() != 0) {
                state.SkipWithError("-ws failed");
                break;
            }
        }
    }
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_WriteSignature)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && strcmp(argv[1], "machines") == 0) {
        return bench::WriteMachines(argv[2]) ? 0 : 1;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
