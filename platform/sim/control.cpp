// The test-facing controls of sim.h.
#include "platform/sim/sim.h"

#include <errno.h>
#include <stdio.h>
#include <string.h>

#include <filesystem>

#include "platform/sim/default_machine.h"
#include "platform/sim/drive_layout.h"
#include "platform/sim/machine_parser.h"
#include "platform/sim/pipe_calls.h"
#include "platform/sim/resources.h"
#include "platform/sim/sim_state.h"

namespace sim {

namespace {

using namespace internal;

// A new machine starts a new run: nothing counted, nothing injected, nothing
// handed out. Tokens handed out before stay invalid.
void StartNewRun()
{
    ClosePipesLeftOpen();
    State& state = Current();
    state.lastError = 0;
    state.calls = 0;
    state.callLog.clear();
    state.failingCall = 0;
    state.failingCode = 0;
    state.resources.clear();
    state.lastLayoutWritten.clear();
    state.nextRandom = 0;
}

// The whole file, or false with errno set (a folder fails on its first read).
bool ReadWholeFile(const std::string& path, std::string* text)
{
    FILE* file = fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return false;
    }
    char chunk[4096];
    size_t got = 0;
    while ((got = fread(chunk, 1, sizeof chunk, file)) > 0) {
        text->append(chunk, got);
    }
    int reason = ferror(file) ? errno : 0;
    fclose(file);
    errno = reason;
    return reason == 0;
}

}  // namespace

bool LoadMachineText(const std::string& text, const std::string& baseDir, const std::string& sourceName,
                     std::string* error)
{
    StartNewRun();
    Machine machine;
    std::string fault;
    bool loaded = ParseMachineText(text, baseDir, sourceName, &machine, &fault);
    Current().machine = loaded ? std::move(machine) : Machine{};
    if (!loaded && error != nullptr) {
        *error = fault;
    }
    return loaded;
}

bool LoadMachineFile(const std::string& path, std::string* error)
{
    std::string text;
    if (!ReadWholeFile(path, &text)) {
        int reason = errno;
        StartNewRun();
        Current().machine = Machine{};
        if (error != nullptr) {
            *error = path + ":0: cannot read: " + strerror(reason);
        }
        return false;
    }
    std::string baseDir = std::filesystem::path(path).parent_path().string();
    return LoadMachineText(text, baseDir, path, error);
}

void LoadDefaultMachine()
{
    LoadMachineText(DefaultMachineText(), "", "default machine", nullptr);
}

Outstanding CountOutstanding()
{
    return Outstanding{CountResources(ResourceKind::Device), CountResources(ResourceKind::Module),
                       CountResources(ResourceKind::Enumeration), static_cast<int>(Current().pipes.size())};
}

bool NothingOutstanding()
{
    Outstanding outstanding = CountOutstanding();
    return outstanding.handles == 0 && outstanding.modules == 0 && outstanding.enumerations == 0 &&
           outstanding.pipes == 0;
}

long CallCount()
{
    return Current().calls;
}

const std::vector<std::string>& CallLog()
{
    return Current().callLog;
}

void FailNthCall(long k, uint32_t code)
{
    Current().failingCall = k > 0 ? k : 0;
    Current().failingCode = code;
}

bool DiskSignature(unsigned disk, uint32_t* signature)
{
    auto found = Current().machine.disks.find(disk);
    DiskLayout layout;
    DWORD error = 0;
    if (found == Current().machine.disks.end() || !ReadDiskLayout(found->second, &layout, &error)) {
        return false;
    }
    *signature = layout.signature;
    return true;
}

const std::vector<unsigned char>& LastLayoutWritten()
{
    return internal::Current().lastLayoutWritten;
}

}  // namespace sim
