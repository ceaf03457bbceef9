// The one simulated machine of the process and what a run has done with it:
// the last-error code, the call count and log, the injected fault, and the
// handles, modules, enumerations and pipes that are handed out.
#pragma once

#include <stdint.h>
#include <sys/types.h>

#include <map>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/sim/machine.h"

namespace sim::internal {

enum class ResourceKind { Device, Enumeration, Module };

// Something handed out under a token (a HANDLE or HMODULE value).
struct Resource {
    ResourceKind kind = ResourceKind::Device;
    std::string name;  // what it was acquired with: device path, volume path, module
    bool isDisk = false;  // Device: a disk handle rather than a volume handle
    bool writable = false;  // Device: opened with GENERIC_WRITE
    unsigned disk = 0;  // Device: the disk that serves the control codes
    size_t volume = 0;  // volume handle, Enumeration: the volume
    size_t nextMount = 0;  // Enumeration: the place among the volume's mount points that FindNext gives
};

struct PipeRecord {
    pid_t child = 0;
    std::string command;
};

struct State {
    Machine machine;
    DWORD lastError = 0;
    long calls = 0;
    std::vector<std::string> callLog;
    long failingCall = 0;  // 0: no injected fault
    DWORD failingCode = 0;
    std::map<uintptr_t, Resource> resources;
    std::map<FILE*, PipeRecord> pipes;
    std::vector<unsigned char> lastLayoutWritten;  // the whole input of the last set-layout
    size_t nextRandom = 0;  // the random line's value the random source hands out next
};

// Starts out holding the default machine, so that a program that never
// loads one still has a machine to talk to.
State& Current();

}  // namespace sim::internal
